#include "controls/speed_bar_customize.h"

#include "controls/control_text.h"
#include "controls/speed_bar.h"
#include "framework/canvas.h"
#include "imaging/gif/graphic_utils.h"

#include <QCursor>

// ---- TBtnControl -----------------------------------------------------------------------------------

TBtnControl::TBtnControl(QWidget* parent) : TCustomControl(parent), image_(std::make_unique<TButtonImage>())
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QWidget::setEnabled(false);
    SetCursor(CursorDrag);
    TControl::SetVisible(false);
}

TBtnControl::~TBtnControl() = default;

void TBtnControl::InitFromItem(TSpeedItem* item)
{
    TSpeedbarButton* b = item->Button();
    image_->SetAlignment(b->Alignment());
    image_->SetGlyph(item->Glyph());
    image_->SetNumGlyphs(item->NumGlyphs());
    spacing_ = item->Spacing();
    margin_ = item->Margin();
    layout_ = item->Layout();
    image_->SetCaption(item->BtnCaption());
    image_->SetWordWrap(item->WordWrap());
    imageIndex_ = item->ImageIndex();
    TSpeedBar* bar = item->Bar();
    images_ = bar ? bar->Images() : nullptr;
    Font()->Assign(item->Font());
    if (bar)
        SetBounds(Left(), Top(), bar->BtnWidth(), bar->BtnHeight());
}

void TBtnControl::ShowAt(const TRect& screenRect)
{
    setGeometry(screenRect.Left, screenRect.Top, screenRect.Width(), screenRect.Height());
    setCursor(CursorShape(CursorDrag));
    TControl::SetVisible(true);
    show();
    raise();
}

void TBtnControl::HideImage()
{
    TControl::SetVisible(false);
    hide();
}

void TBtnControl::Resize()
{
    TCustomControl::Resize();
    image_->SetButtonSize({ClientWidth(), ClientHeight()});
}

void TBtnControl::Paint()
{
    const TAlignment a = image_->Alignment();
    const uint32_t flags = a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
    image_->DrawButtonImage(Canvas(), 0, 0, margin_, spacing_, layout_, Font(), images_, imageIndex_, flags);
}

// ---- the bar in customizing mode -------------------------------------------------------------------

void TSpeedBar::ButtonDragStart(TSpeedbarButton* button)
{
    QCursor::setPos(QPoint(button->ClientToScreen({button->Width(), button->Height()}).X,
                           button->ClientToScreen({button->Width(), button->Height()}).Y));
    button->dragImage_ = std::make_unique<TBtnControl>();
    button->dragImage_->InitFromItem(button->Item());
    button->BringToFront();
}

void TSpeedBar::ButtonDragMove(TSpeedbarButton* button, TPoint screenPoint)
{
    TBtnControl* image = button->dragImage_.get();
    if (!image)
        return;
    // The real button gives way to its picture.
    button->dragHidden_ = true;
    button->update();
    const TPoint corner{screenPoint.X - image->Width(), screenPoint.Y - image->Height()};
    const TPoint inBar = ScreenToClient(corner);
    const TRect client = ClientRect();
    if (inBar.X >= client.Left && inBar.X < client.Right && inBar.Y >= client.Top && inBar.Y < client.Bottom)
        image->ShowAt(Bounds(corner.X, corner.Y, image->Width(), image->Height()));
    else
        image->HideImage();
}

void TSpeedBar::ButtonDragEnd(TSpeedbarButton* button, TPoint screenPoint)
{
    TBtnControl* image = button->dragImage_.get();
    const TSize size = image ? TSize{image->Width(), image->Height()} : TSize{btnWidth_, btnHeight_};
    button->dragImage_.reset();
    button->dragHidden_ = false;
    TSpeedItem* item = button->Item();
    const TPoint inBar = ScreenToClient({screenPoint.X - size.cx, screenPoint.Y - size.cy});
    const TRect client = ClientRect();
    bool dropped = false;
    if (inBar.X >= client.Left && inBar.X < client.Right && inBar.Y >= client.Top && inBar.Y < client.Bottom) {
        if (MoveItem(item, inBar.X, inBar.Y)) {
            dropped = true;
            NotifyEditor(sbcButtonDropped, item);
            button->update();
        }
    } else {
        // Off the bar: the item leaves the layout.
        button->SendToBack();
        item->SetVisible(false);
    }
    if (!dropped)
        NotifyEditor(sbcLayoutChanged, this);
}

bool TSpeedBar::ResizeGripAt(int x, int y) const
{
    const int w = ClientWidth(), h = ClientHeight();
    switch (alignment_) {
    case alTop: return x > 0 && x <= w && y > h - 4 && y <= h + 4;
    case alBottom: return x > 0 && x <= w && y > -4 && y <= 4;
    case alLeft: return y > 0 && y <= h && x > w - 4 && x <= w + 4;
    case alRight: return y > 0 && y <= h && x > -4 && x <= 4;
    default: return false;
    }
}

void TSpeedBar::ResizeTo(int x, int y)
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    const TPoint p = parent->ScreenToClient(ClientToScreen({x, y}));
    if (p.X < 0 || p.Y < 0 || p.X >= parent->ClientWidth() || p.Y >= parent->ClientHeight())
        return;
    switch (alignment_) {
    case alTop:
    case alBottom: {
        const int span = alignment_ == alTop ? y - 2 * offsetV_ : ClientHeight() - 2 * offsetV_ - y;
        const int n = std::max(1, std::abs(span) / std::max(btnHeight_, 1));
        SetHeight(std::min(n * btnHeight_ + 2 * offsetV_, parent->ClientHeight()));
        break;
    }
    case alLeft:
    case alRight: {
        const int span = alignment_ == alLeft ? x - 2 * offsetH_ : ClientWidth() - 2 * offsetH_ - x;
        const int n = std::max(1, std::abs(span) / std::max(btnWidth_, 1));
        SetWidth(std::min(n * btnWidth_ + 2 * offsetH_, parent->ClientWidth()));
        break;
    }
    default: break;
    }
}
