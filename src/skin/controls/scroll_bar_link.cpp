#include "skin/controls/scroll_bar_link.h"

#include "framework/controls.h"
#include "skin/controls/scroll_bar.h"
#include "skin/file_theme.h"
#include "skin/theme_lookup.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <cstdlib>

TsuiScrollBarLink::TsuiScrollBarLink(TControl* control, LinkKind kind, int inset)
    : QObject(control), control_(control), kind_(kind), inset_(inset)
{
    control_->installEventFilter(this);
}

TsuiScrollBarLink::~TsuiScrollBarLink() = default;

int TsuiScrollBarLink::ThumbLength(const QWidget* widget)
{
    auto* bar = qobject_cast<const QScrollBar*>(widget);
    if (!bar)
        return 0;
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_None;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    return std::abs(bar->orientation() == Qt::Horizontal ? r.width() : r.height());
}

void TsuiScrollBarLink::WatchInput(QWidget* widget)
{
    if (widget)
        widget->installEventFilter(this);
}

void TsuiScrollBarLink::Release(TsuiScrollBar* bar)
{
    if (!bar)
        return;
    bar->OnChange() = nullptr;
    bar->SetLineButton(0);
    bar->SetMax(100);
    bar->SetEnabled(true);
    disconnect(bar, &QObject::destroyed, this, nullptr);
}

void TsuiScrollBarLink::Attach(Qt::Orientation o, TsuiScrollBar* bar)
{
    QPointer<TsuiScrollBar>& slot = o == Qt::Vertical ? vBar_ : hBar_;
    if (slot == bar)
        return;
    Release(slot);
    slot = bar;
    if (!bar) {
        UpdateNativeBars();
        return;
    }
    if (kind_ == lkLoose)
        bar->SetSmallChange(5);
    bar->SetOrientation(o == Qt::Vertical ? suiVertical : suiHorizontal);
    bar->OnChange() = [this, o](TObject*) { BarChanged(o); };
    // A freed bar is forgotten; a strict link recomputes the native bars.
    connect(bar, &QObject::destroyed, this, [this, o] {
        (o == Qt::Vertical ? vBar_ : hBar_) = nullptr;
        UpdateNativeBars();
    });
    bar->BringToFront();
    UpdateNativeBars();
    PlaceScrollBars();
}

void TsuiScrollBarLink::UpdateNativeBars()
{
    if (kind_ == lkStrict && SetNativeScrollBars)
        SetNativeScrollBars(bool(hBar_), bool(vBar_));
}

void TsuiScrollBarLink::ApplyStyle(TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    const TsuiUIStyle effective = UsesFileTheme(fileTheme, style) ? FromThemeFile : EffectiveThemeStyle(fileTheme, style);
    for (TsuiScrollBar* bar : {hBar_.data(), vBar_.data()}) {
        if (!bar)
            continue;
        bar->SetFileTheme(fileTheme);
        bar->SetUIStyle(effective);
    }
}

void TsuiScrollBarLink::HideScrollBars()
{
    for (TsuiScrollBar* bar : {hBar_.data(), vBar_.data()})
        if (bar)
            bar->SetVisible(false);
}

void TsuiScrollBarLink::FollowVisibility(bool visible)
{
    if (visible)
        PlaceScrollBars();
    else
        HideScrollBars();
}

void TsuiScrollBarLink::PlaceScrollBars()
{
    const int l = control_->Left(), t = control_->Top(), w = control_->Width(), h = control_->Height();
    const int in = inset_;
    auto counts = [this](TsuiScrollBar* other) { return other && (kind_ == lkStrict || other->Visible()); };
    if (TsuiScrollBar* hb = hBar_) {
        const int width = counts(vBar_) ? w - vBar_->Width() - in : w - in;
        if (kind_ == lkStrict) {
            hb->SetVisible(h >= hb->Height());
            hb->SetBounds(l + 1, t + h - hb->Height() - in, width, hb->Height());
        } else if (h < hb->Height()) {
            hb->SetTop(t);
        } else {
            hb->SetBounds(l + 1, t + h - hb->Height() - in, width, hb->Height());
        }
    }
    if (TsuiScrollBar* vb = vBar_) {
        const int height = counts(hBar_) ? h - hBar_->Height() - in : h - in;
        if (kind_ == lkStrict) {
            vb->SetVisible(w >= vb->Width());
            vb->SetBounds(l + w - vb->Width() - in, t + 1, vb->Width(), height);
        } else if (w < vb->Width()) {
            vb->SetLeft(l);
        } else {
            vb->SetBounds(l + w - vb->Width() - in, t + 1, vb->Width(), height);
        }
    }
    SyncScrollBars();
}

void TsuiScrollBarLink::SyncOne(Qt::Orientation o, TsuiScrollBar* bar)
{
    if (!bar || !NativeInfo)
        return;
    const TsuiNativeScrollInfo info = NativeInfo(o);
    const bool enabled = control_->Enabled();
    if (info.Usable && enabled) {
        bar->SetLineButton(info.ThumbLength);
        if (kind_ == lkStrict && o == Qt::Horizontal)
            bar->SetSmallChange(3 * bar->PageSize());
        bar->SetEnabled(true);
        if (kind_ == lkStrict)
            bar->SetSliderVisible(true);
        else
            bar->SetVisible(true);
    } else if (info.Usable && kind_ == lkLoose) {
        bar->SetEnabled(false);
    } else {
        bar->SetLineButton(0);
        bar->SetEnabled(false);
        if (kind_ == lkStrict)
            bar->SetSliderVisible(false);
        else
            bar->SetVisible(false);
    }
    bar->SetMax(info.Max);
    bar->SetMin(info.Min);
    bar->SetPosition(info.Position);
}

void TsuiScrollBarLink::SyncScrollBars()
{
    if (scrollingFromBar_ && kind_ == lkStrict)
        return;
    if (kind_ == lkLoose && control_->IsLoading())
        return;
    syncing_ = true;
    if (kind_ == lkStrict) {
        SyncOne(Qt::Horizontal, hBar_);
        SyncOne(Qt::Vertical, vBar_);
    } else {
        SyncOne(Qt::Vertical, vBar_);
        SyncOne(Qt::Horizontal, hBar_);
    }
    syncing_ = false;
}

void TsuiScrollBarLink::BarChanged(Qt::Orientation o)
{
    if (syncing_)
        return;
    TsuiScrollBar* bar = o == Qt::Vertical ? vBar_.data() : hBar_.data();
    if (!bar || !ScrollFromBar)
        return;
    if (kind_ == lkStrict)
        scrollingFromBar_ = true;
    ScrollFromBar(o, bar);
    control_->Invalidate();
    scrollingFromBar_ = false;
    if (kind_ == lkLoose)
        SyncScrollBars();
}

bool TsuiScrollBarLink::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::Wheel:
        // After the control has handled it.
        QMetaObject::invokeMethod(this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            leftDown_ = true;
        QMetaObject::invokeMethod(this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
        break;
    case QEvent::MouseMove:
        if (leftDown_)
            QMetaObject::invokeMethod(this, [this] { SyncScrollBars(); }, Qt::QueuedConnection);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            leftDown_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, e);
}
