#include "skin/controls/memo.h"

#include "framework/canvas.h"
#include "skin/controls/scroll_bar_link.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QPlainTextEdit>
#include <QScrollBar>

TsuiMemo::TsuiMemo(QWidget* parent) : TCustomMemo(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetBorderStyle(bsNone);
    SetBorderWidth(2);
    SetInnerBorder(2);
    link_ = new TsuiScrollBarLink(this, TsuiScrollBarLink::lkStrict, 2);
    link_->NativeInfo = [this](Qt::Orientation o) {
        QScrollBar* b = o == Qt::Vertical ? Editor()->verticalScrollBar() : Editor()->horizontalScrollBar();
        const Qt::ScrollBarPolicy policy =
            o == Qt::Vertical ? Editor()->verticalScrollBarPolicy() : Editor()->horizontalScrollBarPolicy();
        TsuiNativeScrollInfo info;
        info.Usable = policy != Qt::ScrollBarAlwaysOff && b->maximum() > b->minimum() && b->isEnabled();
        info.Min = b->minimum();
        info.Max = b->maximum();
        info.Page = b->pageStep();
        info.Position = b->value();
        info.ThumbLength = TsuiScrollBarLink::ThumbLength(b);
        return info;
    };
    link_->ScrollFromBar = [this](Qt::Orientation o, TsuiScrollBar* bar) {
        (o == Qt::Vertical ? Editor()->verticalScrollBar() : Editor()->horizontalScrollBar())->setValue(bar->Position());
    };
    link_->SetNativeScrollBars = [this](bool h, bool v) { SetScrollBars(h && v ? ssBoth : v ? ssVertical : h ? ssHorizontal : ssNone); };
    // Text changes, native scrolling and the editor's size all show in its scroll bars.
    for (QScrollBar* b : {Editor()->verticalScrollBar(), Editor()->horizontalScrollBar()}) {
        connect(b, &QScrollBar::valueChanged, link_, [this] { link_->SyncScrollBars(); });
        connect(b, &QScrollBar::rangeChanged, link_, [this] { link_->SyncScrollBars(); });
    }
    link_->WatchInput(Editor());
    link_->WatchInput(Editor()->viewport());
    SetUIStyle(style_);
}

TsuiMemo::~TsuiMemo() = default;

TsuiScrollBar* TsuiMemo::VScrollBar() const { return link_->VScrollBar(); }
void TsuiMemo::SetVScrollBar(TsuiScrollBar* bar) { link_->SetVScrollBar(bar); }
TsuiScrollBar* TsuiMemo::HScrollBar() const { return link_->HScrollBar(); }
void TsuiMemo::SetHScrollBar(TsuiScrollBar* bar) { link_->SetHScrollBar(bar); }

void TsuiMemo::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiMemo::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    SetBorderColor(ThemeColor(fileTheme_, style_, ThemeItem::ControlBorderColor));
    link_->ApplyStyle(style_, fileTheme_);
    update();
}

void TsuiMemo::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiMemo::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomMemo::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiMemo::SetBounds(int left, int top, int width, int height)
{
    TCustomMemo::SetBounds(left, top, width, height);
    if (link_)
        link_->PlaceScrollBars();
}

void TsuiMemo::SetVisible(bool v)
{
    TCustomMemo::SetVisible(v);
    if (link_)
        link_->FollowVisibility(v);
}

void TsuiMemo::EnabledChanged()
{
    TCustomMemo::EnabledChanged();
    if (link_)
        link_->SyncScrollBars();
}

void TsuiMemo::PaintControl()
{
    DrawWindowFrame(Canvas(), TSize{Width(), Height()}, borderColor_, Color(), true);
}
