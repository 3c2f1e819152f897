#include "framework/up_down.h"

#include "framework/application.h"

#include <QLocale>
#include <QToolButton>

TUpDown::TUpDown(QWidget* parent) : TCustomControl(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { RunGuarded([this] { Step(btNext); }, this); });
    connect(down_, &QToolButton::clicked, this, [this] { RunGuarded([this] { Step(btPrev); }, this); });
    SetOrientation(udVertical);
    SetBounds(0, 0, 17, 21);
}

void TUpDown::SetMin(int v)
{
    min_ = v;
    SetPosition(position_);
}

void TUpDown::SetMax(int v)
{
    max_ = v;
    SetPosition(position_);
}

void TUpDown::SetPosition(int v)
{
    // Min may be above Max (a reversed range); the position stays between the two.
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    position_ = IsLoading() ? v : std::clamp(v, lo, hi);
    UpdateAssociate();
}

void TUpDown::SetOrientation(TUDOrientation o)
{
    orientation_ = o;
    up_->setArrowType(o == udVertical ? Qt::UpArrow : Qt::RightArrow);
    down_->setArrowType(o == udVertical ? Qt::DownArrow : Qt::LeftArrow);
    PlaceButtons();
}

void TUpDown::SetAssociate(TControl* c)
{
    associate_ = c;
    UpdateAssociate();
}

void TUpDown::UpdateAssociate()
{
    if (!associate_ || IsLoading())
        return;
    associate_->SetText(thousands_ ? QLocale(QLocale::English).toString(position_) : QString::number(position_));
}

void TUpDown::Step(TUDBtnType button)
{
    bool allow = true;
    Fire(OnChanging, this, allow);
    if (!allow)
        return;
    const int lo = std::min(min_, max_), hi = std::max(min_, max_);
    const int dir = (button == btNext) == (max_ >= min_) ? 1 : -1;
    int p = position_ + dir * increment_;
    if (p > hi)
        p = wrap_ ? lo : hi;
    else if (p < lo)
        p = wrap_ ? hi : lo;
    position_ = p;
    UpdateAssociate();
    Fire(OnClick, this, button);
}

void TUpDown::Resize()
{
    PlaceButtons();
    TCustomControl::Resize();
}

void TUpDown::PlaceButtons()
{
    const int w = Width(), h = Height();
    if (orientation_ == udVertical) {
        up_->setGeometry(0, 0, w, h / 2);
        down_->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        down_->setGeometry(0, 0, w / 2, h);
        up_->setGeometry(w / 2, 0, w - w / 2, h);
    }
}

bool TUpDown::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnClick", OnClick, h, "TObject*,TUDBtnType")
        || BindEventTo(name, "OnChanging", OnChanging, h, "TObject*,bool&")
        || TCustomControl::BindEvent(name, h);
}
