#pragma once

// TRxLabel: a label that draws its text with a one-colour shadow, places it at the top, middle or
// bottom of its box, fits its size to the text, shows a focus rectangle while its associated
// control has the focus, moves the focus there on its accelerator key, and reports the mouse
// entering and leaving it.

#include "framework/controls.h"

#include <QPointer>

namespace ShadowLabelTypes {
Q_NAMESPACE
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
Q_ENUM_NS(TShadowPosition)
} // namespace ShadowLabelTypes
using namespace ShadowLabelTypes;

// Draws text in the shadow colour moved by size towards position, then in the canvas's font
// colour in place; with DT_CALCRECT only measures. rect becomes the union of the two boxes.
// Returns the text's height plus size (the height unchanged when it is 0 or less).
int DrawTextWithShadow(TCanvas* canvas, const QString& text, TRect& rect, uint32_t flags, TColor shadowColor,
                       TShadowPosition position, int size);

class TRxCustomLabel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(TControl* FocusControl READ FocusControlAsControl WRITE SetFocusControlAsControl)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlTypes::TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowSize READ ShadowSize WRITE SetShadowSize)
    Q_PROPERTY(ShadowLabelTypes::TShadowPosition ShadowPos READ ShadowPos WRITE SetShadowPos)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(bool ShowFocus READ ShowFocus WRITE SetShowFocus)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TRxCustomLabel(QWidget* parent = nullptr);
    ~TRxCustomLabel() override;

    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor c);
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(int size);
    TShadowPosition ShadowPos() const { return shadowPos_; }
    void SetShadowPos(TShadowPosition p);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool v);
    // True when the label does not paint its background.
    bool Transparent() const { return !(ControlStyle() & csOpaque); }
    void SetTransparent(bool v);
    void SetAutoSize(bool v) override;

    // Whether FocusControl has the focus, as the label last heard.
    bool FocusControlFocused() const { return focused_; }
    bool MouseInControl() const { return mouseIn_; }
    void RefreshHover();
    void Notification(QObject* component, TOperation operation) override;

protected:
    virtual TColor TextColor() const;
    virtual QString DisplayText() const;
    int PaintText(TCanvas* canvas, TRect& rect, uint32_t flags);
    void FitBounds();

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void TextChanged() override;
    void FontChanged() override;
    void EnabledChanged() override;
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    TControl* FocusControlAsControl() const { return focusControl_; }
    void SetFocusControlAsControl(TControl* c) { SetFocusControl(qobject_cast<TWinControl*>(c)); }
    void UpdateMnemonic();
    void FocusMoved(QWidget* now);

    QPointer<TWinControl> focusControl_;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    TColor shadowColor_ = clBtnHighlight;
    int shadowSize_ = 1;
    TShadowPosition shadowPos_ = spLeftTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    bool showFocus_ = false;
    bool focused_ = false;
    bool mouseIn_ = false;
    bool pressed_ = false;
    int mnemonicId_ = 0;
};

class TRxLabel : public TRxCustomLabel {
    Q_OBJECT
public:
    explicit TRxLabel(QWidget* parent = nullptr) : TRxCustomLabel(parent) {}
};
