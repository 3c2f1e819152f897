#pragma once

// Labels: text painted on the parent (TLabel) or in a window of its own (TStaticText).

#include "framework/controls.h"

#include <QPointer>

class TCustomLabel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlTypes::TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(TControl* FocusControl READ FocusControl WRITE SetFocusControl)

public:
    explicit TCustomLabel(QWidget* parent = nullptr);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    TControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TControl* c) { focusControl_ = c; }

protected:
    void Paint() override;
    QSize AutoSizeExtent() const override;
    int TextFlags() const;

private:
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    QPointer<TControl> focusControl_;
};

class TLabel : public TCustomLabel {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr) : TCustomLabel(parent) {}
};

class TStaticText : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)

public:
    explicit TStaticText(QWidget* parent = nullptr);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; update(); }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s) { borderStyle_ = s; update(); }
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v) { showAccelChar_ = v; update(); }

protected:
    void PaintControl() override;
    QSize AutoSizeExtent() const override;

private:
    TAlignment alignment_ = taLeftJustify;
    TBorderStyle borderStyle_ = bsNone;
    bool showAccelChar_ = true;
};
