#pragma once

// Check boxes and radio buttons. Changing Checked, by a click or from code, runs OnClick; a
// radio button that becomes checked clears the radio buttons beside it in the same parent.

#include "framework/controls.h"

class QAbstractButton;

namespace CheckBoxTypes {
Q_NAMESPACE
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
Q_ENUM_NS(TCheckBoxState)
enum TLeftRight { taLeftJustifyText, taRightJustifyText };
} // namespace CheckBoxTypes
using namespace CheckBoxTypes;

class TButtonControl : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

public:
    bool Checked() const;
    virtual void SetChecked(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool WordWrap() const { return false; }
    void SetWordWrap(bool) {}

protected:
    TButtonControl(QAbstractButton* button, QWidget* parent);
    QAbstractButton* ButtonWidget() const { return button_; }
    void TextChanged() override;
    // The state changed: the framework clicks.
    void Toggled();

private:
    QAbstractButton* button_;
    TAlignment alignment_ = taRightJustify;
    bool settingState_ = false;
    friend class TCheckBox;
    friend class TRadioButton;
};

class TCheckBox : public TButtonControl {
    Q_OBJECT
    Q_PROPERTY(CheckBoxTypes::TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)

public:
    explicit TCheckBox(QWidget* parent = nullptr);
    TCheckBoxState State() const;
    void SetState(TCheckBoxState s);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v);
    void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }

private:
    bool allowGrayed_ = false;
};

class TRadioButton : public TButtonControl {
    Q_OBJECT
public:
    explicit TRadioButton(QWidget* parent = nullptr);
    void SetChecked(bool v) override;
};
