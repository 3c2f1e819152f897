#include "skin/controls/draw_grid.h"

#include "framework/canvas.h"
#include "skin/controls/scroll_bar.h"
#include "skin/controls/scroll_bar_link.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QScrollBar>

TsuiCustomDrawGrid::TsuiCustomDrawGrid(QWidget* parent) : TDrawGrid(parent)
{
    style_ = StartUIStyle(parent);
    TCustomGrid::SetCtl3D(false);
    SetBorderWidth(1);
    link_ = new TsuiScrollBarLink(this, TsuiScrollBarLink::lkStrict, 1);
    link_->NativeInfo = [this](Qt::Orientation o) {
        QScrollBar* b = NativeScrollBar(o);
        TsuiNativeScrollInfo info;
        info.Usable = !b->isHidden() && b->isEnabled();
        info.Min = b->minimum();
        info.Max = b->maximum();
        info.Page = b->pageStep();
        info.Position = b->value();
        info.ThumbLength = TsuiScrollBarLink::ThumbLength(b);
        return info;
    };
    link_->ScrollFromBar = [this](Qt::Orientation o, TsuiScrollBar* bar) { NativeScrollBar(o)->setValue(bar->Position()); };
    link_->SetNativeScrollBars = [this](bool h, bool v) { SetScrollBars(h && v ? ssBoth : v ? ssVertical : h ? ssHorizontal : ssNone); };
    SetUIStyle(style_);
    link_->SyncScrollBars();
}

TsuiCustomDrawGrid::~TsuiCustomDrawGrid() = default;

void TsuiCustomDrawGrid::ScrollBarsChanged()
{
    if (link_)
        link_->SyncScrollBars();
}

void TsuiCustomDrawGrid::TopLeftChanged()
{
    if (!link_->ScrollingFromBar())
        link_->SyncScrollBars();
    TDrawGrid::TopLeftChanged();
}

void TsuiCustomDrawGrid::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::ControlBorderColor);
    SetFixedColor(ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedBackgroundColor));
    SetColor(ThemeColor(fileTheme_, style, ThemeItem::ControlBackgroundColor));
    fixedFontColor_ = ThemeColor(fileTheme_, style, ThemeItem::MenuSelectedFontColor);
    const TColor font = ThemeColor(fileTheme_, style, ThemeItem::MenuFontColor);
    Font()->SetColor(font == clWhite ? clBlack : font);
    link_->ApplyStyle(style, fileTheme_);
    update();
}

void TsuiCustomDrawGrid::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiCustomDrawGrid::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiCustomDrawGrid::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetFocusedColor(TColor c)
{
    focusedColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetSelectedColor(TColor c)
{
    selectedColor_ = c;
    update();
}

void TsuiCustomDrawGrid::SetFixedFontColor(TColor c)
{
    fixedFontColor_ = c;
    update();
}

TColor TsuiCustomDrawGrid::FontColor() const { return Font()->Color(); }

void TsuiCustomDrawGrid::SetFontColor(TColor c)
{
    Font()->SetColor(c);
    update();
}

TsuiScrollBar* TsuiCustomDrawGrid::VScrollBar() const { return link_->VScrollBar(); }
void TsuiCustomDrawGrid::SetVScrollBar(TsuiScrollBar* bar) { link_->SetVScrollBar(bar); }
TsuiScrollBar* TsuiCustomDrawGrid::HScrollBar() const { return link_->HScrollBar(); }
void TsuiCustomDrawGrid::SetHScrollBar(TsuiScrollBar* bar) { link_->SetHScrollBar(bar); }

void TsuiCustomDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    TCanvas* c = Canvas();
    if (DefaultDrawing() && !(state & gdFixed)) {
        c->Brush()->SetStyle(bsSolid);
        if (state & gdFocused)
            c->Brush()->SetColor(focusedColor_);
        else if (state & gdSelected)
            c->Brush()->SetColor(selectedColor_);
        else
            c->Brush()->SetColor(Color());
        c->FillRect(rect);
    }
    TDrawGrid::DrawCell(col, row, rect, state);
}

void TsuiCustomDrawGrid::Paint()
{
    TDrawGrid::Paint();
    DrawWindowFrame(Canvas(), TSize{Width(), Height()}, borderColor_, Color(), true);
}

void TsuiCustomDrawGrid::SetBounds(int left, int top, int width, int height)
{
    TDrawGrid::SetBounds(left, top, width, height);
    if (link_)
        link_->PlaceScrollBars();
}

void TsuiCustomDrawGrid::SetVisible(bool v)
{
    TDrawGrid::SetVisible(v);
    if (link_)
        link_->FollowVisibility(v);
}

void TsuiCustomDrawGrid::EnabledChanged()
{
    TDrawGrid::EnabledChanged();
    if (link_)
        link_->SyncScrollBars();
}
