#include "framework/check_box.h"

#include "framework/application.h"

#include <QCheckBox>
#include <QRadioButton>

TButtonControl::TButtonControl(QAbstractButton* button, QWidget* parent) : TWinControl(parent), button_(button)
{
    SetInnerWidget(button_);
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetParentFont(true);
    SetParentColor(true);
    // Clicks go through our own Click so that the framework's order holds.
    SetControlStyle(ControlStyle() & ~TControlStyle(csClickEvents));
}

bool TButtonControl::Checked() const { return button_->isChecked(); }

void TButtonControl::SetChecked(bool v)
{
    if (v == button_->isChecked())
        return;
    settingState_ = true;
    button_->setChecked(v);
    settingState_ = false;
    Toggled();
}

void TButtonControl::SetAlignment(TAlignment a)
{
    alignment_ = a;
    button_->setLayoutDirection(a == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TButtonControl::TextChanged()
{
    button_->setText(Caption());
    TWinControl::TextChanged();
}

void TButtonControl::Toggled() { Click(); }

TCheckBox::TCheckBox(QWidget* parent) : TButtonControl(new QCheckBox, parent)
{
    auto* cb = static_cast<QCheckBox*>(ButtonWidget());
    connect(cb, &QCheckBox::stateChanged, this, [this](int) {
        if (!settingState_)
            RunGuarded([this] { Toggled(); }, this);
    });
}

TCheckBoxState TCheckBox::State() const
{
    switch (static_cast<QCheckBox*>(ButtonWidget())->checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState s)
{
    if (s == State())
        return;
    auto* cb = static_cast<QCheckBox*>(ButtonWidget());
    settingState_ = true;
    cb->setCheckState(s == cbChecked ? Qt::Checked : s == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    settingState_ = false;
    Toggled();
}

void TCheckBox::SetAllowGrayed(bool v)
{
    allowGrayed_ = v;
    static_cast<QCheckBox*>(ButtonWidget())->setTristate(v);
}

TRadioButton::TRadioButton(QWidget* parent) : TButtonControl(new QRadioButton, parent)
{
    ButtonWidget()->setAutoExclusive(false);
    connect(ButtonWidget(), &QAbstractButton::clicked, this, [this](bool nowChecked) {
        settingState_ = true;
        // Qt toggles a non-exclusive radio button; the framework's SetChecked decides instead.
        ButtonWidget()->setChecked(!nowChecked);
        settingState_ = false;
        RunGuarded([this] { SetChecked(true); }, this);
    });
}

void TRadioButton::SetChecked(bool v)
{
    if (v == Checked())
        return;
    if (v)
        if (auto p = Parent())
            for (TControl* c : p->ControlList())
                if (auto r = qobject_cast<TRadioButton*>(c); r && r != this && r->Checked()) {
                    r->settingState_ = true;
                    r->ButtonWidget()->setChecked(false);
                    r->settingState_ = false;
                }
    settingState_ = true;
    ButtonWidget()->setChecked(v);
    settingState_ = false;
    // Only becoming checked counts as a click for a radio button.
    if (v)
        Toggled();
}
