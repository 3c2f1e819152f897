#include "framework/scroll_box.h"

#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/panel.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <utility>

void TControlScrollBar::SetPosition(int p) { owner_->ScrollTo(kind_, p); }

void TControlScrollBar::SetRange(int r)
{
    range_ = std::max(0, r);
    owner_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v)
{
    visible_ = v;
    owner_->UpdateScrollBars();
}

bool TControlScrollBar::IsScrollBarVisible() const
{
    QScrollBar* bar = kind_ == Qt::Horizontal ? owner_->hbar_ : owner_->vbar_;
    return !bar->isHidden();
}

TScrollBox::TScrollBox(QWidget* parent)
    : TWinControl(parent),
      horz_(std::make_unique<TControlScrollBar>(this, Qt::Horizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, Qt::Vertical)),
      hbar_(new QScrollBar(Qt::Horizontal, this)),
      vbar_(new QScrollBar(Qt::Vertical, this))
{
    hbar_->hide();
    vbar_->hide();
    connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) { ScrollTo(Qt::Horizontal, v); });
    connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) { ScrollTo(Qt::Vertical, v); });
    SetBounds(0, 0, 185, 41);
    SetParentFont(true);
    SetTabStop(false);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::SetAutoScroll(bool v)
{
    autoScroll_ = v;
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    UpdateScrollBars();
    update();
}

int TScrollBox::ClientWidth() const
{
    return std::max(0, width() - 2 * Edge() - (vbar_->isHidden() ? 0 : vbar_->sizeHint().width()));
}

int TScrollBox::ClientHeight() const
{
    return std::max(0, height() - 2 * Edge() - (hbar_->isHidden() ? 0 : hbar_->sizeHint().height()));
}

void TScrollBox::AdjustClientRect(TRect& rect) const
{
    TWinControl::AdjustClientRect(rect);
    OffsetRect(rect, Edge(), Edge());
    // Aligned children scroll with the rest.
    OffsetRect(rect, -horz_->position_, -vert_->position_);
}

void TScrollBox::AlignControls(TControl* control, TRect& rect)
{
    TWinControl::AlignControls(control, rect);
    UpdateScrollBars();
}

void TScrollBox::resizeEvent(QResizeEvent* e)
{
    TWinControl::resizeEvent(e);
    UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars()
{
    if (updating_)
        return;
    updating_ = true;
    // The extent of the children in unscrolled coordinates.
    int right = 0, bottom = 0;
    for (TControl* c : ControlList()) {
        if (!c->Visible() || c->Align() == alClient)
            continue;
        right = std::max(right, c->Left() + c->Width() + horz_->position_ - Edge());
        bottom = std::max(bottom, c->Top() + c->Height() + vert_->position_ - Edge());
    }
    horz_->calcRange_ = autoScroll_ ? std::max(right, horz_->range_) : horz_->range_;
    vert_->calcRange_ = autoScroll_ ? std::max(bottom, vert_->range_) : vert_->range_;
    // Showing one bar narrows the other direction; two passes settle it.
    for (int pass = 0; pass < 2; ++pass) {
        const int cw = width() - 2 * Edge() - (vbar_->isHidden() ? 0 : vbar_->sizeHint().width());
        const int ch = height() - 2 * Edge() - (hbar_->isHidden() ? 0 : hbar_->sizeHint().height());
        hbar_->setVisible(horz_->visible_ && horz_->calcRange_ > cw);
        vbar_->setVisible(vert_->visible_ && vert_->calcRange_ > ch);
    }
    const int cw = ClientWidth(), ch = ClientHeight();
    const int hb = hbar_->isHidden() ? 0 : hbar_->sizeHint().height();
    const int vb = vbar_->isHidden() ? 0 : vbar_->sizeHint().width();
    hbar_->setGeometry(Edge(), height() - Edge() - hb, width() - 2 * Edge() - vb, hb);
    vbar_->setGeometry(width() - Edge() - vb, Edge(), vb, height() - 2 * Edge() - hb);
    hbar_->setRange(0, std::max(0, horz_->calcRange_ - cw));
    hbar_->setPageStep(std::max(1, cw));
    hbar_->setSingleStep(horz_->increment_);
    vbar_->setRange(0, std::max(0, vert_->calcRange_ - ch));
    vbar_->setPageStep(std::max(1, ch));
    vbar_->setSingleStep(vert_->increment_);
    hbar_->raise();
    vbar_->raise();
    updating_ = false;
    // A shrunk range pulls the position back.
    if (horz_->position_ > hbar_->maximum())
        ScrollTo(Qt::Horizontal, hbar_->maximum());
    if (vert_->position_ > vbar_->maximum())
        ScrollTo(Qt::Vertical, vbar_->maximum());
}

void TScrollBox::ScrollTo(Qt::Orientation kind, int position)
{
    TControlScrollBar* bar = kind == Qt::Horizontal ? horz_.get() : vert_.get();
    QScrollBar* q = kind == Qt::Horizontal ? hbar_ : vbar_;
    position = std::clamp(position, 0, std::max(0, q->maximum()));
    const int delta = bar->position_ - position;
    if (delta == 0)
        return;
    bar->position_ = position;
    const bool was = updating_;
    updating_ = true;
    if (q->value() != position)
        q->setValue(position);
    updating_ = was;
    if (kind == Qt::Horizontal)
        ScrollBy(delta, 0);
    else
        ScrollBy(0, delta);
}

void TScrollBox::ScrollBy(int dx, int dy)
{
    DisableAlign();
    for (TControl* c : ControlList())
        c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    EnableAlign();
}

void TScrollBox::ScrollInView(TControl* control)
{
    if (!control || control->Parent() != this)
        return;
    if (control->Left() < Edge())
        ScrollTo(Qt::Horizontal, horz_->position_ + control->Left() - Edge());
    else if (control->Left() + control->Width() > ClientWidth() + Edge())
        ScrollTo(Qt::Horizontal, horz_->position_ + control->Left() + control->Width() - ClientWidth() - Edge());
    if (control->Top() < Edge())
        ScrollTo(Qt::Vertical, vert_->position_ + control->Top() - Edge());
    else if (control->Top() + control->Height() > ClientHeight() + Edge())
        ScrollTo(Qt::Vertical, vert_->position_ + control->Top() + control->Height() - ClientHeight() - Edge());
}

void TScrollBox::wheelEvent(QWheelEvent* e)
{
    bool handled = false;
    const QPoint g = e->globalPosition().toPoint();
    Fire(OnMouseWheel, this, ShiftStateFromQt(e->modifiers(), e->buttons()), e->angleDelta().y(), TPoint{g.x(), g.y()}, handled);
    if (!handled) {
        // Shift turns the wheel sideways; a tilting wheel or a touchpad gives the sideways part
        // itself. One notch (120) moves three increments.
        int dx = e->angleDelta().x(), dy = e->angleDelta().y();
        if (dx == 0 && (e->modifiers() & Qt::ShiftModifier))
            std::swap(dx, dy);
        if (dy != 0 && !vbar_->isHidden())
            ScrollTo(Qt::Vertical, vert_->position_ - dy * vert_->increment_ * 3 / 120);
        if (dx != 0 && !hbar_->isHidden())
            ScrollTo(Qt::Horizontal, horz_->position_ - dx * horz_->increment_ * 3 / 120);
    }
    e->accept();
}

void TScrollBox::PaintControl()
{
    TWinControl::PaintControl();
    if (borderStyle_ == bsSingle) {
        TRect r = Rect(0, 0, Width(), Height());
        Frame3D(Canvas(), r, clBtnShadow, clBtnHighlight, 1);
        Frame3D(Canvas(), r, cl3DDkShadow, cl3DLight, 1);
    }
}

bool TScrollBox::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    TControlScrollBar* bar = n.startsWith(QLatin1String("horzscrollbar.")) ? horz_.get()
                             : n.startsWith(QLatin1String("vertscrollbar.")) ? vert_.get()
                                                                              : nullptr;
    if (!bar)
        return TWinControl::ReadDefinitionProperty(name, value, reader);
    const QString field = n.section(QLatin1Char('.'), 1);
    if (field == QLatin1String("visible"))
        bar->visible_ = reader.BoolValue(value);
    else if (field == QLatin1String("range"))
        bar->range_ = int(reader.IntegerValue(value));
    else if (field == QLatin1String("increment"))
        bar->SetIncrement(int(reader.IntegerValue(value)));
    else if (field == QLatin1String("position"))
        ; // positions are restored by scrolling once the window exists
    else if (field == QLatin1String("tracking") || field == QLatin1String("smooth") || field == QLatin1String("margin"))
        ;
    else
        return false;
    return true;
}
