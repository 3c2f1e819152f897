#pragma once

// Skinned check boxes and radio buttons: a picture of the theme's four-frame strip beside the
// caption, painted off-screen. Changing Checked, from a click or from code, fires OnClick (not
// while the window loads); a radio button that becomes checked clears the radio buttons of its
// parent with the same GroupIndex.

#include "framework/check_box.h"
#include "framework/controls.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

class TBitmap;

class TsuiCheckBox : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(CheckBoxTypes::TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    explicit TsuiCheckBox(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    TCheckBoxState State() const { return checked_ ? cbChecked : cbUnchecked; }
    // cbChecked checks; any other state (cbGrayed too) clears.
    void SetState(TCheckBoxState s) { SetChecked(s == cbChecked); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);

    // Toggles as a click does (BeforeToggle, Toggle); OnClick fires from the change of Checked.
    void Click() override;

    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    virtual bool HasFocusFrame() const;
    virtual bool IsPictureTransparent() const { return false; }
    virtual int GetImageItem() const { return ThemeItem::CheckBoxImage; }
    virtual void CheckedChanged();
    virtual void BeforeToggle() {}
    virtual void Toggle() { SetChecked(!checked_); }
    virtual bool ClickOnKeyUp() const { return true; }

    // The state's frame of the theme picture (empty when the theme has none).
    void StatePicture(TBitmap* picture);
    QSize AutoSizeExtent() const override;
    void Paint() override;
    void TextChanged() override;
    void EnabledChanged() override;
    void KeyUp(WORD& key, TShiftState shift) override;
    bool event(QEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void UpdateMnemonic();

    bool checked_ = false;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    bool transparent_ = false;
    int mnemonicId_ = 0;
};

class TsuiRadioButton : public TsuiCheckBox {
    Q_OBJECT
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)

public:
    explicit TsuiRadioButton(QWidget* parent = nullptr);

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }

protected:
    bool IsPictureTransparent() const override { return true; }
    int GetImageItem() const override { return ThemeItem::RadioButtonImage; }
    void CheckedChanged() override;
    void Toggle() override;
    bool ClickOnKeyUp() const override { return false; }
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int groupIndex_ = 0;
};
