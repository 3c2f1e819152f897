// Scrolling, pan window and magnifier of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/cursors.h"
#include "framework/icon.h"
#include "imaging/toolkit/toolkit_panwindow.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

// A scroll bar's information as the window system keeps it: range and page, in scroll-bar units.
struct TScrollBarInfo {
    uint32_t Size = 28;
    uint32_t Mask = 0;
    int32_t Min = 0;
    int32_t Max = 0;
    int32_t Page = -1; // -1 until the first picture sets it
    int32_t Pos = 0;
    int32_t TrackPos = 0;
};
static_assert(sizeof(TScrollBarInfo) == 28);

} // namespace

// Binds one axis to its control; nothing more.
class TToolkitScrollInfo : public TObject {
public:
    TToolkitScrollInfo(TToolkitImage* owner, int axis) : Owner(owner), Axis(axis) {}
    TToolkitImage* Owner;
    int Axis; // 0 horizontal, 1 vertical
};

struct TToolkitImage::TScrollState {
    TToolkitScrollInfo Info[2];
    TScrollBarInfo Bar[2];
    int Shift[2] = {0, 0};
    const int LineStep[2] = {1, 2};
    bool Scrolling = false;
    int SyncDepth = 0;
    QScrollBar* Bars[2] = {nullptr, nullptr};
    QWidget* Corner = nullptr;
    TScrollFilter* Filter = nullptr;
    QPointer<QWidget> FilteredWindow;
    int WheelRest = 0;

    TKPanWindow PanWindow = nullptr;
    uint32_t PanFlags = 1;
    uint8_t PanVisible = 0;
    std::unique_ptr<TIcon> PanIcon;

    bool MagActive = false;
    int MagValues[11] = {};

    QPointer<QWidget> ZoomFrame;

    explicit TScrollState(TToolkitImage* owner) : Info{TToolkitScrollInfo(owner, 0), TToolkitScrollInfo(owner, 1)} {}
};

// Watches the control (size, cursor) and its top window (minimising) for the scroll state.
struct TToolkitImage::TScrollFilter : QObject {
    explicit TScrollFilter(TToolkitImage* control) : QObject(control), Control(control) {}
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        TToolkitImage* c = Control;
        if (e->type() == QEvent::WindowStateChange && watched == c->window()) {
            if (c->scrollState_->PanWindow && c->window()->isMinimized())
                TK_HidePanWindow(c->scrollState_->PanWindow);
        } else if (watched == c) {
            switch (e->type()) {
            case QEvent::Resize:
                c->PlaceScrollBars();
                c->UpdateMagnifier();
                if (c->scrollState_->PanWindow && c->window()->isMinimized())
                    TK_HidePanWindow(c->scrollState_->PanWindow);
                break;
            case QEvent::Enter:
            case QEvent::MouseMove:
                // Where the window system would ask the control for its cursor.
                if (TK_IsMagnifierOn(c) && !c->MagGlassCursorSuppress && (c->MagGlassFlags & TKMF_OwnerCursor))
                    c->Fire(c->OnMagGlassCursor, c);
                break;
            default:
                break;
            }
        }
        return false;
    }
    TToolkitImage* Control;
};

void TToolkitImage::TScrollStateDeleter::operator()(TScrollState* state) const
{
    delete state;
}

TToolkitImage::TScrollState& TToolkitImage::ScrollState()
{
    if (!scrollState_) {
        scrollState_.reset(new TScrollState(this));
        TScrollState& st = *scrollState_;
        for (int axis = 0; axis < 2; ++axis) {
            auto* bar = new QScrollBar(axis == 0 ? Qt::Horizontal : Qt::Vertical, this);
            bar->setFocusPolicy(Qt::NoFocus);
            bar->hide();
            bar->setRange(0, 0);
            bar->setSingleStep(st.LineStep[axis]);
            connect(bar, &QAbstractSlider::actionTriggered, this, [this, axis, bar](int action) {
                int code;
                switch (action) {
                case QAbstractSlider::SliderSingleStepSub: code = 0; break;
                case QAbstractSlider::SliderSingleStepAdd: code = 1; break;
                case QAbstractSlider::SliderPageStepSub: code = 2; break;
                case QAbstractSlider::SliderPageStepAdd: code = 3; break;
                case QAbstractSlider::SliderMove: code = 5; break;
                case QAbstractSlider::SliderToMinimum: code = 6; break;
                case QAbstractSlider::SliderToMaximum: code = 7; break;
                default: return;
                }
                ScrollMessage(axis, code, bar->sliderPosition());
                // The bar shows where the view is, not where the bar itself would have gone.
                const int position = axis == 0 ? scrollX_ : scrollY_;
                bar->setSliderPosition(position >> scrollState_->Shift[axis]);
            });
            connect(bar, &QAbstractSlider::sliderReleased, this, [this, axis, bar] {
                ScrollMessage(axis, 4, bar->sliderPosition());
                const int position = axis == 0 ? scrollX_ : scrollY_;
                bar->setSliderPosition(position >> scrollState_->Shift[axis]);
            });
            st.Bars[axis] = bar;
        }
        st.Corner = new QWidget(this);
        st.Corner->setAutoFillBackground(true);
        st.Corner->hide();
        st.Filter = new TScrollFilter(this);
        installEventFilter(st.Filter);
        PlaceScrollBars();
    }
    return *scrollState_;
}

void TToolkitImage::ShutDownScroll()
{
    if (!scrollState_)
        return;
    TScrollState& st = *scrollState_;
    if (TK_IsMagnifierOn(this))
        TK_StopMagnifier(this);
    st.MagActive = false;
    ClosePanWindow();
    if (st.ZoomFrame)
        TK_RemoveScreenFrame(st.ZoomFrame);
    if (st.FilteredWindow && st.Filter)
        st.FilteredWindow->removeEventFilter(st.Filter);
}

bool TToolkitImage::ScrollStepApplying() const
{
    return scrollState_ && scrollState_->Scrolling;
}

// ---- Scroll bars -----------------------------------------------------------------------------

int TToolkitImage::ShownScrollBarWidth() const
{
    if (!scrollState_ || scrollState_->Bars[1]->isHidden())
        return 0;
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int TToolkitImage::ShownScrollBarHeight() const
{
    if (!scrollState_ || scrollState_->Bars[0]->isHidden())
        return 0;
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int TToolkitImage::ClientWidth() const
{
    return std::max(0, TCustomPanel::ClientWidth() - ShownScrollBarWidth());
}

int TToolkitImage::ClientHeight() const
{
    return std::max(0, TCustomPanel::ClientHeight() - ShownScrollBarHeight());
}

void TToolkitImage::PlaceScrollBars()
{
    if (!scrollState_)
        return;
    TScrollState& st = *scrollState_;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int vb = ShownScrollBarWidth(), hb = ShownScrollBarHeight();
    st.Bars[0]->setGeometry(0, height() - extent, std::max(0, width() - vb), extent);
    st.Bars[1]->setGeometry(width() - extent, 0, extent, std::max(0, height() - hb));
    st.Corner->setGeometry(width() - extent, height() - extent, extent, extent);
    st.Corner->setVisible(vb > 0 && hb > 0);
    if (vb > 0 && hb > 0)
        st.Corner->raise();
}

// Range halving keeps a long view within what a bar can count; the page is fixed by the first
// picture shown and kept for all later ones.
void TToolkitImage::SetUpScrollBar(int axis, int range, bool redraw)
{
    TScrollState& st = ScrollState();
    int shift = 0;
    while (range > 32767) {
        range = (range + 1) / 2;
        ++shift;
    }
    st.Shift[axis] = shift;
    TScrollBarInfo& info = st.Bar[axis];
    info.Size = 28;
    info.Mask = 3;
    if (info.Page == -1 && IsBitmapAllocated(&ToolkitBitmap))
        info.Page = int(std::trunc((axis == 0 ? BitmapViewWidth(ToolkitBitmap) : BitmapViewHeight(ToolkitBitmap)) / 10.0));
    if (info.Page == 0)
        info.Page = 1;
    info.Min = 0;
    info.Max = range + info.Page - 1;
    QScrollBar* bar = st.Bars[axis];
    const QSignalBlocker block(bar);
    bar->setRange(info.Min, std::max(info.Min, info.Max - info.Page + 1));
    bar->setPageStep(std::max(1, info.Page >> shift));
    bar->setSingleStep(std::max(1, st.LineStep[axis] >> shift));
    if (redraw)
        bar->update();
}

void TToolkitImage::WriteScrollBarPositions()
{
    TScrollState& st = ScrollState();
    const int positions[2] = {scrollX_, scrollY_};
    for (int axis = 0; axis < 2; ++axis) {
        st.Bar[axis].Pos = positions[axis] >> st.Shift[axis];
        const QSignalBlocker block(st.Bars[axis]);
        st.Bars[axis]->setValue(st.Bar[axis].Pos);
    }
}

// The bars follow the ranges; a bar shows only while its range is not 0. Showing or hiding one
// changes the client area, which the geometry then follows once.
void TToolkitImage::SyncScrollBars(bool hideOnly)
{
    TScrollState& st = ScrollState();
    const bool before[2] = {!st.Bars[0]->isHidden(), !st.Bars[1]->isHidden()};
    if (hideOnly) {
        st.Bars[0]->hide();
        st.Bars[1]->hide();
    } else {
        SetUpScrollBar(0, scrollRangeX_, false);
        SetUpScrollBar(1, scrollRangeY_, false);
        WriteScrollBarPositions();
        st.Bars[0]->setVisible(scrollRangeX_ != 0);
        st.Bars[1]->setVisible(scrollRangeY_ != 0);
    }
    if (before[0] == !st.Bars[0]->isHidden() && before[1] == !st.Bars[1]->isHidden())
        return;
    PlaceScrollBars();
    if (st.SyncDepth < 2 && !(busy_ & bsDestroying)) {
        ++st.SyncDepth;
        UpdateRects();
        --st.SyncDepth;
    }
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetUpScrollBarsForPaint()
{
    if (autoScroll_ && !AutoSize())
        SyncScrollBars(false);
}

// ---- Scrolling -------------------------------------------------------------------------------

int TToolkitImage::ScrollPage(int axis)
{
    TScrollBarInfo& info = ScrollState().Bar[axis];
    // A page is known once a picture has been shown; a control that has not painted yet takes it
    // the same way rather than scrolling by the unset -1.
    if (info.Page == -1 && IsBitmapAllocated(&ToolkitBitmap)) {
        info.Page = int(std::trunc((axis == 0 ? BitmapViewWidth(ToolkitBitmap) : BitmapViewHeight(ToolkitBitmap)) / 10.0));
        if (info.Page == 0)
            info.Page = 1;
    }
    return std::max(0, info.Page);
}

void TToolkitImage::HandleHScroll(int code, int thumbPosition)
{
    ScrollMessage(0, code, thumbPosition);
}

void TToolkitImage::HandleVScroll(int code, int thumbPosition)
{
    ScrollMessage(1, code, thumbPosition);
}

void TToolkitImage::ScrollMessage(int axis, int code, int thumbPosition)
{
    if (!enableScroll_ || testAttribute(Qt::WA_WState_InPaintEvent))
        return;
    TScrollState& st = ScrollState();
    st.Scrolling = true;
    const int position = axis == 0 ? scrollX_ : scrollY_;
    const int range = axis == 0 ? scrollRangeX_ : scrollRangeY_;
    int change = 0;
    switch (code) {
    case 0: change = -st.LineStep[axis]; break;
    case 1: change = st.LineStep[axis]; break;
    case 2: change = -ScrollPage(axis); break;
    case 3: change = ScrollPage(axis); break;
    case 4:
    case 5: change = int(std::min<int64_t>(int64_t(thumbPosition) << st.Shift[axis], INT32_MAX)) - position; break;
    case 6: change = -position; break;
    case 7: change = range - position; break;
    default: break;
    }
    change = std::clamp(change, -position, std::max(-position, range - position));
    if (change != 0 && autoScroll_)
        Fire(OnBeforeScroll, this);
    if (autoScroll_)
        ScrollStep(axis == 0 ? change : 0, axis == 1 ? change : 0);
    UpdatePanWindow();
    UpdateMagnifier();
    st.Scrolling = false;
    if (autoScroll_)
        Fire(OnScroll, this);
}

void TToolkitImage::ScrollStep(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    TScrollState& st = ScrollState();
    const bool wasScrolling = st.Scrolling;
    st.Scrolling = true;
    dx = std::clamp(dx, -scrollX_, std::max(-scrollX_, scrollRangeX_ - scrollX_));
    dy = std::clamp(dy, -scrollY_, std::max(-scrollY_, scrollRangeY_ - scrollY_));
    scrollX_ += dx;
    scrollY_ += dy;
    // Only an axis that moves takes the origin along: a centred picture keeps its place across.
    if (dx != 0) {
        view_.Left -= dx;
        if (view_.Left > 0) {
            view_.Left = 0;
            scrollX_ = 0;
        }
    }
    if (dy != 0) {
        view_.Top -= dy;
        if (view_.Top > 0) {
            view_.Top = 0;
            scrollY_ = 0;
        }
    }
    ViewLeft = view_.Left;
    ViewTop = view_.Top;
    const bool floaterShown = HideFloaterForScroll();
    WriteScrollBarPositions();
    if (DoubleBuffer) {
        MoveChildControls(dx, dy);
        Invalidate();
    } else {
        const QRect inner(inset_, inset_, std::max(0, ClientWidth() - 2 * inset_), std::max(0, ClientHeight() - 2 * inset_));
        const QRect viewRect(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height);
        const QRect area = inner & viewRect;
        if (!area.isEmpty() && (dx != 0 || dy != 0)) {
            scroll(-dx, -dy, area);
            MoveChildControls(dx, dy);
            const QRegion exposed = QRegion(area) - QRegion(area.translated(-dx, -dy) & area);
            if (isVisible() && !exposed.isEmpty())
                repaint(exposed);
        } else {
            MoveChildControls(dx, dy);
            Invalidate();
        }
    }
    ShowFloaterAfterScroll(floaterShown);
    if (!wasScrolling) {
        // A step asked for from outside the scroll handlers keeps the pan window and the glass on it.
        PanWindowUpdate();
        UpdateMagnifier();
    }
    st.Scrolling = wasScrolling;
}

void TToolkitImage::MoveChildControls(int dx, int dy)
{
    if ((busy_ & bsDestroying) || (dx == 0 && dy == 0))
        return;
    const QList<TControl*> children = ControlList();
    if (children.isEmpty())
        return;
    const bool refresh = autoRepaint_ || ScrollStepApplying();
    for (TControl* child : children) {
        child->SetBounds(child->Left() - dx, child->Top() - dy, child->Width(), child->Height());
        if (refresh)
            child->Refresh();
    }
    update();
}

// ---- Keys and wheel --------------------------------------------------------------------------

void TToolkitImage::KeyDown(WORD& key, TShiftState shift)
{
    // The framework's own key handling is OnKeyDown, which this control fires below itself, once.
    if (enableKeyboard_) {
        switch (key) {
        case VK_PRIOR: ScrollMessage(1, 2, 0); break;
        case VK_NEXT: ScrollMessage(1, 3, 0); break;
        case VK_LEFT: ScrollMessage(0, 0, 0); break;
        case VK_RIGHT: ScrollMessage(0, 1, 0); break;
        case VK_UP: ScrollMessage(1, 0, 0); break;
        case VK_DOWN: ScrollMessage(1, 1, 0); break;
        default: break;
        }
    }
    if (Focused() && OnKeyDown)
        Fire(OnKeyDown, this, key, shift & TShiftState(ssShift | ssAlt | ssCtrl));
}

void TToolkitImage::KeyUp(WORD& key, TShiftState shift)
{
    if (Focused() && OnKeyUp)
        Fire(OnKeyUp, this, key, shift & TShiftState(ssShift | ssAlt | ssCtrl));
}

void TToolkitImage::wheelEvent(QWheelEvent* e)
{
    TCustomPanel::wheelEvent(e);
    e->accept();
    if (WheelOff || (e->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)))
        return;
    TScrollState& st = ScrollState();
    const QPoint angle = e->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    // A notch of a wheel is 120; fine-grained wheels and touch pads add up to one.
    st.WheelRest += delta;
    const bool across = (e->modifiers() & Qt::ShiftModifier) != 0;
    while (std::abs(st.WheelRest) >= 120) {
        const bool forward = st.WheelRest > 0;
        st.WheelRest -= forward ? 120 : -120;
        if (across)
            ScrollMessage(0, forward ? 3 : 2, 0);
        else
            ScrollMessage(1, forward ? 2 : 3, 0);
    }
}

// ---- Pan window ------------------------------------------------------------------------------

uint8_t TToolkitImage::PanWinVisible() const
{
    return scrollState_ ? scrollState_->PanVisible : 0;
}

QWidget* TToolkitImage::PanWindowHandle() const
{
    return scrollState_ ? scrollState_->PanWindow : nullptr;
}

uint32_t TToolkitImage::PanWinFlags() const
{
    return scrollState_ ? scrollState_->PanFlags : 1;
}

void TToolkitImage::SetPanWinVisible(uint8_t v)
{
    TScrollState& st = ScrollState();
    st.PanVisible = v;
    if (v > 1)
        return;
    const QPointer<QWidget> focused = QApplication::focusWidget();
    if (v == 1) {
        if (!st.PanWindow && HasBitmap) {
            const QImage icon = st.PanIcon ? st.PanIcon->ToImage() : QImage();
            TKPanWindow panWindow = nullptr;
            const int result = TK_CreatePanWindow(this, &ToolkitBitmap, st.PanFlags, panWinX_, panWinY_, panWinWidth_,
                                                  panWinHeight_, QStringLiteral("TK_PANWINDOW_32"), &icon, panWinPointer_,
                                                  panWinSysMenu_, PanWinCallback, this, &panWindow);
            if (result == TK_Success && st.PanWindow) {
                PanWindowUpdate();
                if (st.FilteredWindow != window()) {
                    if (st.FilteredWindow)
                        st.FilteredWindow->removeEventFilter(st.Filter);
                    st.FilteredWindow = window();
                    st.FilteredWindow->installEventFilter(st.Filter);
                }
            }
        }
    } else {
        ClosePanWindow();
    }
    if (focused && focused != QApplication::focusWidget()) {
        focused->activateWindow();
        focused->setFocus();
    }
}

void TToolkitImage::ClosePanWindow()
{
    if (scrollState_ && scrollState_->PanWindow)
        TK_DestroyPanWindow(scrollState_->PanWindow);
}

int TToolkitImage::PanWinCallback(QWidget* window, int32_t kind, int32_t x, int32_t y, void* userData)
{
    auto* c = static_cast<TToolkitImage*>(userData);
    TScrollState& st = c->ScrollState();
    switch (kind) {
    case 0:
        st.PanWindow = window;
        break;
    case 1: {
        const bool wasScrolling = st.Scrolling;
        st.Scrolling = true;
        const int newX = std::clamp(RoundHalfEven(x * c->zoomX_), 0, c->scrollRangeX_);
        const int newY = std::clamp(RoundHalfEven(y * c->zoomY_), 0, c->scrollRangeY_);
        if (c->centerImage_ && (c->view_.Width < c->ClientWidth() || c->view_.Height < c->ClientHeight()))
            c->Centre();
        c->NotifyPanned();
        if (c->autoRepaint_) {
            c->ScrollStep(newX - c->scrollX_, newY - c->scrollY_);
        } else {
            // Without repainting the view still goes there; it shows at the next paint.
            if (newX != c->scrollX_) {
                c->view_.Left += c->scrollX_ - newX;
                c->scrollX_ = newX;
            }
            if (newY != c->scrollY_) {
                c->view_.Top += c->scrollY_ - newY;
                c->scrollY_ = newY;
            }
            c->ViewLeft = c->view_.Left;
            c->ViewTop = c->view_.Top;
            c->WriteScrollBarPositions();
        }
        c->UpdateMagnifier();
        st.Scrolling = wasScrolling;
        break;
    }
    case 2:
        st.PanWindow = nullptr;
        st.PanVisible = 0;
        break;
    default:
        break;
    }
    c->Fire(c->OnPanWin, c, window, int(kind));
    return 1;
}

// The frame stands for the client area: the picture's rectangle widened by the share of the
// client area the frame inset takes.
int TToolkitImage::PanWindowUpdate()
{
    if (!scrollState_ || !scrollState_->PanWindow || !HasBitmap)
        return TK_Success;
    const double cw = ClientWidth(), ch = ClientHeight();
    const int width = RoundHalfEven(std::max(1.0, cw * view_.Width / std::max(cw - 2 * inset_, 1e-10)));
    const int height = RoundHalfEven(std::max(1.0, ch * view_.Height / std::max(ch - 2 * inset_, 1e-10)));
    return TK_UpdatePanWindow(scrollState_->PanWindow, &ToolkitBitmap, scrollState_->PanFlags | TKPW_NewFrame,
                              TKRect{view_.Left, view_.Top, width, height}, panWinRectColor_, panWinTitle_);
}

void TToolkitImage::UpdatePanWindow()
{
    // The end of every geometry change: the bars follow the new ranges at once, so the client area
    // is settled before the next paint.
    if (autoScroll_ && !AutoSize())
        SyncScrollBars(false);
    else if (scrollState_ && !(scrollState_->Bars[0]->isHidden() && scrollState_->Bars[1]->isHidden()))
        SyncScrollBars(true);
    PanWindowUpdate();
}

void TToolkitImage::PanWindowPropertyChanged(const char* name)
{
    const int result = PanWindowUpdate();
    ResultCheck(name, result);
}

void TToolkitImage::MovePanWindow(const char* name)
{
    TScrollState& st = ScrollState();
    if (!st.PanWindow) {
        LastResult = 1;
        return;
    }
    TK_MovePanWindow(st.PanWindow, panWinX_, panWinY_, panWinWidth_, panWinHeight_, TK_IsPanWindowVisible(st.PanWindow));
    PanWindowPropertyChanged(name);
}

void TToolkitImage::SetPanWinFlagBits(uint32_t clear, uint32_t set, const char* name)
{
    TScrollState& st = ScrollState();
    st.PanFlags = (st.PanFlags & ~clear) | set;
    PanWindowPropertyChanged(name);
}

// ---- Magnifier -------------------------------------------------------------------------------

bool TToolkitImage::MagGlassActive() const
{
    return scrollState_ && scrollState_->MagActive;
}

uint32_t TToolkitImage::MagPaintFlags() const
{
    uint32_t flags = magGlassPaintDither_ == pdOrdered ? 1 : 0;
    if (magGlassBitonalScaling_ == btsFavorBlack)
        flags += 64;
    else if (magGlassBitonalScaling_ == btsScaleToGray)
        flags += 16;
    switch (magGlassPaintPalette_) {
    case ppFixed: flags += 0x80; break;
    case ppAutoNetscape: flags += 0x100; break;
    case ppFixedNetscape: flags += 0x180; break;
    default: break;
    }
    if (magGlassPaintScaling_ == psResample)
        flags += 0x200;
    else if (magGlassPaintScaling_ == psBicubic)
        flags += 0x400;
    return flags;
}

TRect TToolkitImage::MagDestination() const
{
    return Bounds(view_.Left + inset_, view_.Top + inset_, view_.Width, view_.Height);
}

int TToolkitImage::StartMagGlass(int Width, int Height, int Magnification, int BorderWidth, int BorderColor,
                                 bool Elliptic, int Offset, bool LeftButtonOnly, int CrossHairColor, bool KeepInside,
                                 bool CrossHair)
{
    if (!HasBitmap) {
        LastResult = TK_ErrBitmapHandle;
        throw EToolkitImageError(QStringLiteral("%1 \nStartMagGlass: Image not allocated.").arg(MessageName()));
    }
    TScrollState& st = ScrollState();
    if (st.MagActive || TK_IsMagnifierOn(this)) {
        LastResult = TK_ErrParameter;
        return LastResult;
    }
    const int values[11] = {Width,  Height, Magnification,  BorderWidth, BorderColor, Elliptic ? -1 : 0,
                            Offset, LeftButtonOnly ? -1 : 0, CrossHairColor, KeepInside ? -1 : 0, CrossHair ? -1 : 0};
    std::copy(std::begin(values), std::end(values), st.MagValues);
    return ResultCheck("StartMagGlass", StartMagnifierWithKeptValues());
}

int TToolkitImage::StartMagnifierWithKeptValues()
{
    TScrollState& st = ScrollState();
    const int* a = st.MagValues;
    TKMagOptions options;
    options.A1 = a[0];
    options.A2 = a[1];
    options.A3 = a[2];
    options.A4 = a[3];
    options.Cursor = magGlassPointer_;
    options.A5 = a[4];
    options.A6 = a[5];
    options.A7 = a[6];
    options.A8 = a[7];
    options.PaintFlags = MagPaintFlags();
    options.Mask = 0;
    options.MaskSize = 0;
    options.Flags = MagGlassFlags;
    options.A9 = a[8];
    options.A10 = a[9];
    options.A11 = a[10];
    const TRect d = MagDestination();
    const int result = TK_StartMagnifier(this, &ToolkitBitmap, TKRect{d.Left, d.Top, d.Width(), d.Height()}, &options,
                                         MagGlassCallbackEnabled ? MagGlassCallback : nullptr, this);
    if (result == TK_Success) {
        st.MagActive = true;
        TK_SetMagnifierPaintOptions(this, MagGlassPaintOptions);
    }
    return result;
}

int TToolkitImage::StopMagGlass()
{
    LastResult = 0;
    if (TK_IsMagnifierOn(this)) {
        LastResult = TK_StopMagnifier(this);
        ScrollState().MagActive = false;
    }
    return ResultCheck("StopMagGlass", LastResult);
}

void TToolkitImage::UpdateMagnifier()
{
    if (!MagGlassActive())
        return;
    const TRect d = MagDestination();
    TK_UpdateMagnifier(this, TKRect{d.Left, d.Top, d.Width(), d.Height()}, MagPaintFlags());
}

void TToolkitImage::RestartMagnifier()
{
    if (!MagGlassActive() || !TK_IsMagnifierOn(this))
        return;
    TScrollState& st = *scrollState_;
    TK_StopMagnifier(this);
    st.MagActive = false;
    // A control left without a picture has nothing to magnify: the glass simply goes.
    if (!HasBitmap)
        return;
    ResultCheck("StartMagGlass", StartMagnifierWithKeptValues());
}

int TToolkitImage::MagGlassCallback(int32_t first, int32_t second, int32_t third, void* userData)
{
    auto* c = static_cast<TToolkitImage*>(userData);
    if (!c->MagGlassCallbackEnabled)
        return -100;
    c->Fire(c->OnMagGlass, c, int(first), int(third), int(second));
    return 1;
}

// ---- Zoom-in capture -------------------------------------------------------------------------

void TToolkitImage::ZoomInTimer()
{
    TScrollState& st = ScrollState();
    const QPoint cursor = QCursor::pos();
    if (st.ZoomFrame)
        TK_RemoveScreenFrame(st.ZoomFrame);
    st.ZoomFrame = nullptr;
    if (BitmapList) {
        int32_t count = 0;
        if (TK_GetBitmapListCount(BitmapList, &count) == TK_Success && count > 0)
            TK_DeleteBitmapListItems(BitmapList, 0, count);
    }
    // A zoom factor of 0 would divide by nothing: it counts as 1 percent.
    const int64_t factor = std::max(1, PaintZoomFactor());
    const int64_t wantW = int64_t(ClientWidth() - 2 * inset_) * 100 / factor;
    const int64_t wantH = int64_t(ClientHeight() - 2 * inset_) * 100 / factor;
    QRect screenArea;
    if (QScreen* screen = QGuiApplication::screenAt(cursor))
        screenArea = screen->virtualGeometry();
    else if (QScreen* primary = QGuiApplication::primaryScreen())
        screenArea = primary->virtualGeometry();
    const int64_t left = cursor.x() - wantW / 2, top = cursor.y() - wantH / 2;
    int64_t l = std::max<int64_t>(left, screenArea.left()), t = std::max<int64_t>(top, screenArea.top());
    int64_t r = std::min<int64_t>(left + wantW, int64_t(screenArea.left()) + screenArea.width());
    int64_t b = std::min<int64_t>(top + wantH, int64_t(screenArea.top()) + screenArea.height());
    if (r <= l)
        r = l + 1;
    if (b <= t)
        b = t + 1;
    const TRect rect = Rect(int(l), int(t), int(r), int(b));
    if (enableZoomInRect_ && ZoomInTarget && !(rect == TRect{})) {
        TRect frame = rect;
        InflateRect(frame, 1, 1);
        st.ZoomFrame = TK_DrawScreenFrame(ZoomInTarget, TKRect{frame.Left, frame.Top, frame.Width(), frame.Height()},
                                          0xFFFFFF);
    }
    LastZoomInRect = rect;
    TKBitmap captured;
    const int result = TK_CaptureScreenRect(TKRect{rect.Left, rect.Top, rect.Width(), rect.Height()}, &captured);
    LastResult = result;
    if (result != TK_Success)
        return;
    if (TK_CopyBitmap(&captured, &ToolkitBitmap) == TK_Success) {
        HasBitmap = 1;
        ImageChanged();
    }
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetAutoScroll(bool v)
{
    autoScroll_ = v;
    if (HasBitmap) {
        TScrollState& st = ScrollState();
        st.Scrolling = true;
        if (v) {
            scrollX_ = std::clamp(scrollX_, 0, scrollRangeX_);
            scrollY_ = std::clamp(scrollY_, 0, scrollRangeY_);
            view_.Left = -scrollX_;
            view_.Top = -scrollY_;
            ViewLeft = view_.Left;
            ViewTop = view_.Top;
            ViewWidth = view_.Width;
            ViewHeight = view_.Height;
            SetUpScrollBar(0, scrollRangeX_, true);
            SetUpScrollBar(1, scrollRangeY_, true);
            WriteScrollBarPositions();
        } else {
            SetUpScrollBar(0, 0, true);
            SetUpScrollBar(1, 0, true);
        }
        st.Scrolling = false;
        UpdateRects();
    }
    LastResult = 1;
}

void TToolkitImage::SetHScrollStep(int v)
{
    if (v <= 0) {
        LastResult = 0;
        throw ERangeError(QStringLiteral("%1 \nHScrollStep: Scroll step out of range.").arg(MessageName()));
    }
    ScrollStep(-scrollX_, -scrollY_);
    hScrollStep_ = v;
    SetPaintSizeMode(paintSizeMode_);
}

void TToolkitImage::SetVScrollStep(int v)
{
    if (v <= 0) {
        LastResult = 0;
        throw ERangeError(QStringLiteral("%1 \nVScrollStep: Scroll step out of range.").arg(MessageName()));
    }
    ScrollStep(-scrollX_, -scrollY_);
    vScrollStep_ = v;
    SetPaintSizeMode(paintSizeMode_);
}

void TToolkitImage::SetEnableScroll(bool v)
{
    enableScroll_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableKeyboard(bool v)
{
    enableKeyboard_ = v;
    LastResult = 1;
}

int TToolkitImage::PanWinX() const
{
    auto* self = const_cast<TToolkitImage*>(this);
    TKRect r;
    if (scrollState_ && TK_IsPanWindowVisible(scrollState_->PanWindow) && TK_PanWindowRect(scrollState_->PanWindow, &r))
        self->panWinX_ = r.Left;
    self->LastResult = 1;
    return panWinX_;
}

int TToolkitImage::PanWinY() const
{
    auto* self = const_cast<TToolkitImage*>(this);
    TKRect r;
    if (scrollState_ && TK_IsPanWindowVisible(scrollState_->PanWindow) && TK_PanWindowRect(scrollState_->PanWindow, &r))
        self->panWinY_ = r.Top;
    self->LastResult = 1;
    return panWinY_;
}

int TToolkitImage::PanWinWidth() const
{
    auto* self = const_cast<TToolkitImage*>(this);
    TKRect r;
    if (scrollState_ && TK_IsPanWindowVisible(scrollState_->PanWindow) && TK_PanWindowRect(scrollState_->PanWindow, &r))
        self->panWinWidth_ = r.Width;
    self->LastResult = 1;
    return panWinWidth_;
}

int TToolkitImage::PanWinHeight() const
{
    auto* self = const_cast<TToolkitImage*>(this);
    TKRect r;
    if (scrollState_ && TK_IsPanWindowVisible(scrollState_->PanWindow) && TK_PanWindowRect(scrollState_->PanWindow, &r))
        self->panWinHeight_ = r.Height;
    self->LastResult = 1;
    return panWinHeight_;
}

void TToolkitImage::SetPanWinX(int v)
{
    panWinX_ = v;
    MovePanWindow("PanWinX");
}

void TToolkitImage::SetPanWinY(int v)
{
    panWinY_ = v;
    MovePanWindow("PanWinY");
}

void TToolkitImage::SetPanWinWidth(int v)
{
    panWinWidth_ = v;
    MovePanWindow("PanWinWidth");
}

void TToolkitImage::SetPanWinHeight(int v)
{
    panWinHeight_ = v;
    MovePanWindow("PanWinHeight");
}

void TToolkitImage::SetPanWinPaintPalette(TPaletteType v)
{
    panWinPaintPalette_ = v;
    switch (v) {
    case ppAuto: SetPanWinFlagBits(0x180, 0, "PanWinPaintPalette"); break;
    case ppFixed: SetPanWinFlagBits(0x100, 0x80, "PanWinPaintPalette"); break;
    case ppAutoNetscape: SetPanWinFlagBits(0x80, 0x100, "PanWinPaintPalette"); break;
    case ppFixedNetscape: SetPanWinFlagBits(0, 0x180, "PanWinPaintPalette"); break;
    }
}

void TToolkitImage::SetPanWinBitonalScaling(TBitonalScaling v)
{
    panWinBitonalScaling_ = v;
    switch (v) {
    case btsNormal: SetPanWinFlagBits(0x50, 0, "PanWinBitonalScaling"); break;
    case btsFavorBlack: SetPanWinFlagBits(0x10, 0x40, "PanWinBitonalScaling"); break;
    case btsScaleToGray: SetPanWinFlagBits(0x40, 0x10, "PanWinBitonalScaling"); break;
    }
}

void TToolkitImage::SetPanWinPaintDither(TPaintDither v)
{
    panWinPaintDither_ = v;
    if (v == pdOrdered)
        SetPanWinFlagBits(0, 0x1, "PanWinPaintDither");
    else
        SetPanWinFlagBits(0x1, 0, "PanWinPaintDither");
}

void TToolkitImage::SetPanWinPaintScaling(TPaintScaling v)
{
    panWinPaintScaling_ = v;
    switch (v) {
    case psNormal: SetPanWinFlagBits(0x600, 0, "PanWinPaintScaling"); break;
    case psResample: SetPanWinFlagBits(0x400, 0x200, "PanWinPaintScaling"); break;
    case psBicubic: SetPanWinFlagBits(0x200, 0x400, "PanWinPaintScaling"); break;
    }
}

void TToolkitImage::SetPanWinPointer(int v)
{
    panWinPointer_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinRectColor(uint v)
{
    panWinRectColor_ = v;
    PanWindowPropertyChanged("PanWinRectColor");
}

void TToolkitImage::SetPanWinSysMenu(bool v)
{
    panWinSysMenu_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPanWinTitle(const QString& v)
{
    panWinTitle_ = v;
    PanWindowPropertyChanged("PanWinTitle");
}

TIcon* TToolkitImage::PanWinIcon() const
{
    return scrollState_ ? scrollState_->PanIcon.get() : nullptr;
}

void TToolkitImage::SetPanWinIcon(TIcon* icon)
{
    TScrollState& st = ScrollState();
    if (!icon || icon->GetEmpty()) {
        st.PanIcon.reset();
    } else {
        if (!st.PanIcon)
            st.PanIcon = std::make_unique<TIcon>();
        st.PanIcon->Assign(icon);
    }
    LastResult = 1;
}

void TToolkitImage::SetMagGlassPaintPalette(TPaletteType v)
{
    magGlassPaintPalette_ = v;
    LastResult = 1;
    RestartMagnifier();
}

void TToolkitImage::SetMagGlassBitonalScaling(TBitonalScaling v)
{
    magGlassBitonalScaling_ = v;
    LastResult = 1;
    RestartMagnifier();
}

void TToolkitImage::SetMagGlassPaintDither(TPaintDither v)
{
    magGlassPaintDither_ = v;
    LastResult = 1;
    RestartMagnifier();
}

void TToolkitImage::SetMagGlassPaintScaling(TPaintScaling v)
{
    magGlassPaintScaling_ = v;
    LastResult = 1;
    RestartMagnifier();
}

void TToolkitImage::SetMagGlassPointer(int v)
{
    magGlassPointer_ = v;
    LastResult = 1;
    RestartMagnifier();
}

void TToolkitImage::SetEnableZoomInRect(bool v)
{
    enableZoomInRect_ = v;
    LastResult = 1;
}
