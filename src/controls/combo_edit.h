#pragma once

// TComboEdit: a single-line edit with a small button inside its right edge. The button (and
// ClickKey, Alt+Down) raises OnButtonClick. With DirectInput off nothing can be typed, cut or
// pasted, yet the edit keeps its caret and text. TCustomComboEdit also carries the protocol of a
// drop-down popup window for descendants that supply one.

#include "controls/speed_button.h"
#include "framework/edit.h"

#include <QPointer>
#include <QVariant>
#include <memory>

class TBitmap;
class TCustomComboEdit;

namespace ComboEditTypes {
Q_NAMESPACE
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
Q_ENUM_NS(TGlyphKind)
enum TPopupAlign { epaRight, epaLeft };
Q_ENUM_NS(TPopupAlign)
} // namespace ComboEditTypes
using namespace ComboEditTypes;

// The three dots of an ellipsis button, black on white, for a button of that width.
std::unique_ptr<TBitmap> MakeEllipsisGlyph(int buttonWidth);

// The button of a combo edit.
class TEditButton : public TRxSpeedButton {
    Q_OBJECT
public:
    explicit TEditButton(QWidget* parent = nullptr);
    TCustomComboEdit* ComboEdit() const { return edit_; }
    void SetComboEdit(TCustomComboEdit* edit) { edit_ = edit; }
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TCustomComboEdit* edit_ = nullptr;
    bool noAction_ = false;
};

class TCustomComboEdit : public TMaskEdit {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QString ButtonHint READ ButtonHint WRITE SetButtonHint)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(int ClickKey READ ClickKey WRITE SetClickKey)
    Q_PROPERTY(bool DirectInput READ DirectInput WRITE SetDirectInput)
    Q_PROPERTY(ComboEditTypes::TGlyphKind GlyphKind READ GlyphKind WRITE SetGlyphKind)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)

public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    int ButtonWidth() const;
    void SetButtonWidth(int width);
    // A framework shortcut (key with scShift, scCtrl, scAlt).
    int ClickKey() const { return clickKey_; }
    void SetClickKey(int key) { clickKey_ = key; }
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool v);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);
    int NumGlyphs() const;
    void SetNumGlyphs(int n);
    // The combo edit's own read-only flag: no typing and no button.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TBitmap* Glyph() const;
    // Setting a glyph makes the kind gkCustom.
    void SetGlyph(TBitmap* bitmap);
    // Whether the text may change at all: not while the combo edit is read-only.
    bool EditCanModify() const { return !readOnly_; }

    TEditButton* Button() const { return button_; }
    TWinControl* ButtonContainer() const { return buttonWindow_; }
    int MinHeight() const;

    // Presses the button in code (not while read-only, unless the button is always enabled).
    void EditButtonClick();
    // Cut and paste only while typing is allowed.
    void CutToClipboard();
    void PasteFromClipboard();

    // The popup, for descendants that supply one.
    TWinControl* Popup() const { return popup_; }
    bool PopupVisible() const { return popupVisible_; }
    TPopupAlign PopupAlign() const { return popupAlign_; }
    void SetPopupAlign(TPopupAlign a) { popupAlign_ = a; }
    virtual void DropDown(bool disableEdit);
    // Closes the popup, taking its value when accepting.
    void PopupCloseUp(bool accept);

    void SetBounds(int left, int top, int width, int height) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnButtonClick;

protected:
    // The picture of gkDefault; none in the base. ownedByCaller: the caller frees it.
    virtual TBitmap* DefaultGlyph(bool& ownedByCaller) const;
    virtual void ShowPopup(const QPoint& origin);
    virtual void HidePopup();
    virtual bool AcceptPopup(QVariant& value);
    virtual void TakePopupValue(const QVariant& value);
    virtual void PushPopupValue(const QVariant& value);
    virtual void PullPopupValue(QVariant& value);
    virtual void PopupTextChanged() {}
    void SetPopup(TWinControl* popup) { popup_ = popup; }
    void SetAlwaysEnable(bool v) { alwaysEnable_ = v; }

    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class PopupWatcher;
    void ArrangeButton();
    void RecreateGlyph();
    void ApplyInput();
    bool InputBlocked() const { return !directInput_ || readOnly_ || editDisabledByPopup_; }

    TWinControl* buttonWindow_ = nullptr;
    TEditButton* button_ = nullptr;
    bool readOnly_ = false;
    bool directInput_ = true;
    TGlyphKind glyphKind_ = gkCustom;
    int defaultNumGlyphs_ = 1;
    int clickKey_ = 0x8000 | 40; // Alt+Down
    TPopupAlign popupAlign_ = epaRight;
    QPointer<TWinControl> popup_;
    bool popupVisible_ = false;
    bool editDisabledByPopup_ = false;
    bool alwaysEnable_ = false;
    TAlignment alignment_ = taLeftJustify;
    bool fixedButtonWidth_ = false;
    std::unique_ptr<PopupWatcher> watcher_;
};

class TComboEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TComboEdit(QWidget* parent = nullptr) : TCustomComboEdit(parent) {}
};
