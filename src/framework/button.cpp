#include "framework/button.h"

#include "framework/application.h"
#include "framework/forms.h"

#include <QPushButton>

TButton::TButton(QWidget* parent) : TWinControl(parent), button_(new QPushButton)
{
    SetInnerWidget(button_);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetParentFont(true);
    connect(button_, &QPushButton::clicked, this, [this] { RunGuarded([this] { Click(); }, this); });
}

void TButton::SetDefault(bool v)
{
    default_ = v;
    button_->setDefault(v);
}

void TButton::TextChanged()
{
    button_->setText(Caption());
    TWinControl::TextChanged();
}

void TButton::Click()
{
    if (modalResult_ != 0)
        if (TForm* f = ParentForm())
            f->SetModalResult(modalResult_);
    TWinControl::Click();
}
