#include "skin/controls/list_view.h"

#include "framework/canvas.h"
#include "skin/controls/scroll_bar_link.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <QScrollBar>
#include <QTreeWidget>
#include <cstdlib>

TsuiListView::TsuiListView(QWidget* parent) : TListView(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetBorderStyle(bsNone);
    SetBorderWidth(2);
    SetInnerBorder(2);
    link_ = new TsuiScrollBarLink(this, TsuiScrollBarLink::lkLoose, 2);
    link_->NativeInfo = [this](Qt::Orientation o) {
        QAbstractScrollArea* view = ActiveView();
        QScrollBar* b = o == Qt::Vertical ? view->verticalScrollBar() : view->horizontalScrollBar();
        TsuiNativeScrollInfo info;
        info.Usable = b->maximum() > b->minimum();
        info.Min = b->minimum();
        info.Max = b->maximum();
        info.Page = b->pageStep();
        info.Position = b->value();
        info.ThumbLength = TsuiScrollBarLink::ThumbLength(b);
        return info;
    };
    link_->ScrollFromBar = [this](Qt::Orientation o, TsuiScrollBar* bar) {
        QAbstractScrollArea* view = ActiveView();
        const int change = bar->GetLastChange();
        if (o == Qt::Horizontal) {
            view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() + change);
        } else if (ViewStyle() == vsReport) {
            // A report scrolls by lines: one line step for each position the bar moved.
            const auto action = change > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub;
            for (int i = 0; i < std::abs(change); ++i)
                view->verticalScrollBar()->triggerAction(action);
        } else {
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + change);
        }
    };
    for (QAbstractScrollArea* view : {static_cast<QAbstractScrollArea*>(ReportWidget()), static_cast<QAbstractScrollArea*>(IconWidget())}) {
        for (QScrollBar* b : {view->verticalScrollBar(), view->horizontalScrollBar()}) {
            connect(b, &QScrollBar::valueChanged, link_, [this] { link_->SyncScrollBars(); });
            connect(b, &QScrollBar::rangeChanged, link_, [this] { link_->SyncScrollBars(); });
        }
        link_->WatchInput(view);
        link_->WatchInput(view->viewport());
    }
    connect(ReportWidget()->model(), &QAbstractItemModel::rowsRemoved, link_, [this] { link_->SyncScrollBars(); });
    connect(IconWidget()->model(), &QAbstractItemModel::rowsRemoved, link_, [this] { link_->SyncScrollBars(); });
    SetUIStyle(style_);
}

TsuiListView::~TsuiListView()
{
    // The items go while the list view is whole: deleting a shown item moves the Qt view's
    // current row, which asks the list view for its selection.
    Items()->Clear();
}

QAbstractScrollArea* TsuiListView::ActiveView() const
{
    if (ViewStyle() == vsReport)
        return ReportWidget();
    return IconWidget();
}

TsuiScrollBar* TsuiListView::VScrollBar() const { return link_->VScrollBar(); }
void TsuiListView::SetVScrollBar(TsuiScrollBar* bar) { link_->SetVScrollBar(bar); }
TsuiScrollBar* TsuiListView::HScrollBar() const { return link_->HScrollBar(); }
void TsuiListView::SetHScrollBar(TsuiScrollBar* bar) { link_->SetHScrollBar(bar); }

void TsuiListView::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiListView::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    borderColor_ = ThemeColor(fileTheme_, style_, ThemeItem::ControlBorderColor);
    link_->ApplyStyle(style_, fileTheme_);
    update();
}

void TsuiListView::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiListView::Notification(QObject* AComponent, TOperation Operation)
{
    TListView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiListView::SetBounds(int left, int top, int width, int height)
{
    // Placed before and after the list view's own size handling.
    if (link_)
        link_->PlaceScrollBars();
    TListView::SetBounds(left, top, width, height);
    if (link_)
        link_->PlaceScrollBars();
}

void TsuiListView::SetVisible(bool v)
{
    TListView::SetVisible(v);
    if (link_)
        link_->FollowVisibility(v);
}

void TsuiListView::EnabledChanged()
{
    TListView::EnabledChanged();
    if (link_)
        link_->SyncScrollBars();
}

void TsuiListView::PaintControl()
{
    DrawWindowFrame(Canvas(), TSize{Width(), Height()}, borderColor_, Color(), true);
}
