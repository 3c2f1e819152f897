#include "skin/controls/track_bar.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

TShiftState MouseShift(QMouseEvent* e) { return ShiftStateFromQt(e->modifiers(), e->buttons()); }

TMouseButton MouseButtonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TsuiTrackBarSlider

TsuiTrackBarSlider::TsuiTrackBarSlider(TsuiTrackBar* track)
    : TCustomControl(track), track_(track), picture_(std::make_unique<TBitmap>())
{
    SetControlStyle(ControlStyle() & ~TControlStyle(csAcceptsControls));
    SetFillsBackground(false);
    setFocusPolicy(Qt::NoFocus);
    SetParent(track);
}

TsuiTrackBarSlider::~TsuiTrackBarSlider() = default;

void TsuiTrackBarSlider::SetPicture(TBitmap* picture)
{
    if (picture)
        picture_->Assign(picture);
    else
        picture_ = std::make_unique<TBitmap>();
    FitToPicture();
    update();
}

void TsuiTrackBarSlider::SetTransparent(bool v)
{
    transparent_ = v;
    update();
}

void TsuiTrackBarSlider::FitToPicture()
{
    if (!picture_->Empty())
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
}

void TsuiTrackBarSlider::Paint()
{
    if (picture_->Empty())
        return;
    // A transparent slider leaves its corner colour out and shows the bar beneath it.
    picture_->SetTransparent(transparent_);
    Canvas()->Draw(0, 0, picture_.get());
}

void TsuiTrackBarSlider::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    track_->SliderMouseDown(MouseButtonOf(e->button()), MouseShift(e), p.x(), p.y());
}

void TsuiTrackBarSlider::mouseMoveEvent(QMouseEvent* e)
{
    // The track bar holds the mouse while the slider is dragged.
    const QPoint p = e->position().toPoint() + pos();
    track_->MouseMove(MouseShift(e), p.x(), p.y());
}

void TsuiTrackBarSlider::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    track_->EndMouse();
    track_->SliderMouseUp(MouseButtonOf(e->button()), MouseShift(e), p.x(), p.y());
}

// ---------------------------------------------------------------------------------------------
// TsuiTrackBar

TsuiTrackBar::TsuiTrackBar(QWidget* parent)
    : TCustomControl(parent), barImage_(std::make_unique<TBitmap>()), barStrip_(std::make_unique<TBitmap>())
{
    style_ = StartUIStyle(parent);
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    slider_ = new TsuiTrackBarSlider(this);
    SetParentColor(true);
    SetTabStop(true);
    ApplyTheme();
}

TsuiTrackBar::~TsuiTrackBar() = default;

bool TsuiTrackBar::BindEvent(const QString& name, const TMethodRef& handler)
{
    return BindEventTo(name, "OnChange", OnChange, handler, "TObject*") || TCustomControl::BindEvent(name, handler);
}

TBitmap* TsuiTrackBar::SliderImage() const { return slider_->Picture(); }

void TsuiTrackBar::SetSliderImage(TBitmap* bitmap)
{
    slider_->SetPicture(bitmap);
    update();
}

void TsuiTrackBar::SetBarImage(TBitmap* bitmap)
{
    if (bitmap)
        barImage_->Assign(bitmap);
    else
        barImage_ = std::make_unique<TBitmap>();
    ApplyTheme();
}

void TsuiTrackBar::SetOrientation(TsuiProgressBarOrientation o)
{
    if (orientation_ == o)
        return;
    orientation_ = o;
    ApplyTheme();
}

void TsuiTrackBar::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    ApplyTheme();
    if (style_ == MacOS)
        SetTransparent(true);
}

void TsuiTrackBar::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiTrackBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiTrackBar::SetMin(int v)
{
    if (v == min_)
        return;
    min_ = std::min(v, max_);
    if (position_ < min_)
        position_ = min_;
    UpdateSlider();
}

void TsuiTrackBar::SetMax(int v)
{
    if (v == max_)
        return;
    max_ = std::max(v, min_);
    if (position_ > max_)
        position_ = max_;
    UpdateSlider();
}

void TsuiTrackBar::SetPosition(int v)
{
    position_ = std::clamp(v, min_, max_);
    UpdateSlider();
}

void TsuiTrackBar::SetPageSize(int v)
{
    if (v >= 0 && v <= max_)
        pageSize_ = v;
}

void TsuiTrackBar::SetLineSize(int v)
{
    if (v >= 0 && v <= max_)
        lineSize_ = v;
}

void TsuiTrackBar::SetShowTick(bool v)
{
    showTick_ = v;
    update();
}

void TsuiTrackBar::SetTransparent(bool v)
{
    transparent_ = v;
    update();
}

void TsuiTrackBar::SetFrequency(int v)
{
    frequency_ = v;
    update();
}

void TsuiTrackBar::LoadThemePictures()
{
    if (KeepsOwnPictures())
        return;
    ThemeImageSafe(fileTheme_, style_, ThemeItem::TrackBarBarImage, barImage_.get());
    TBitmap slider;
    const int item = orientation_ == suiHorizontal ? ThemeItem::TrackBarSliderImage : ThemeItem::TrackBarSliderVImage;
    if (ThemeImageSafe(fileTheme_, style_, item, &slider))
        slider_->SetPicture(&slider);
    slider_->SetTransparent(IsSliderTransparent());
}

void TsuiTrackBar::BuildBarStrip()
{
    barStrip_ = std::make_unique<TBitmap>();
    if (barImage_->Empty())
        return;
    // A vertical bar is the horizontal picture drawn to the bar's length and turned.
    const int length = orientation_ == suiHorizontal ? Width() : Height();
    if (length <= 0)
        return;
    barStrip_->SetSize(length, barImage_->Height());
    TCanvas* c = barStrip_->Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, length, barImage_->Height()));
    DrawThreePartBar(barImage_.get(), c, Rect(0, 0, length, barImage_->Height()), false);
    if (orientation_ == suiVertical)
        RotateBitmapLeft(barStrip_.get());
}

void TsuiTrackBar::ApplyTheme()
{
    LoadThemePictures();
    slider_->SetTransparent(IsSliderTransparent());
    BuildBarStrip();
    FitThickness();
    UpdateSlider();
    update();
}

void TsuiTrackBar::FitThickness()
{
    const int bar = barImage_->Empty() ? 0 : barImage_->Height();
    if (orientation_ == suiHorizontal)
        SetHeight(std::max(bar, slider_->Height()));
    else
        SetWidth(std::max(bar, slider_->Width()));
    update();
}

void TsuiTrackBar::Resize()
{
    TCustomControl::Resize();
    // Fitting the thickness resizes again; one level is enough.
    if (!slider_ || applyingTheme_)
        return;
    applyingTheme_ = true;
    ApplyTheme();
    applyingTheme_ = false;
}

TPoint TsuiTrackBar::GetSliderOrigin() const
{
    const int sw = slider_->Width(), sh = slider_->Height();
    const int w = Width(), h = Height();
    const int64_t range = int64_t(max_) - min_;
    if (orientation_ == suiHorizontal) {
        const int left = range == 0 ? 0 : int((int64_t(position_) - min_) * (w - sw) / range);
        return {left, std::max(h - sh, 0) / 2};
    }
    const int top = range == 0 ? 0 : int((int64_t(position_) - min_) * (h - sh) / range);
    return {std::max(w - sw, 0) / 2, top};
}

int TsuiTrackBar::PositionFromPoint(int x, int y) const
{
    const bool horizontal = orientation_ == suiHorizontal;
    const int s = horizontal ? slider_->Width() : slider_->Height();
    const int len = horizontal ? Width() : Height();
    const int c = horizontal ? x : y;
    if (s == len)
        return 0;
    const double v = double(c - s / 2) * (double(max_) - min_) / double(len - s);
    return min_ + int(std::nearbyint(v)); // the default rounding mode takes halves to even
}

void TsuiTrackBar::UpdateSlider()
{
    const TPoint o = GetSliderOrigin();
    slider_->SetBounds(o.X, o.Y, slider_->Width(), slider_->Height());
    update();
    if (position_ != lastPosition_) {
        lastChange_ = position_ - lastPosition_;
        lastPosition_ = position_;
        Fire(OnChange, this);
    }
}

QList<int> TsuiTrackBar::TickValues() const
{
    QList<int> values;
    if (min_ == max_)
        return values;
    values << min_;
    if (frequency_ > 0)
        for (int64_t v = int64_t(min_) + frequency_; v < max_; v += frequency_)
            values << int(v);
    values << max_;
    return values;
}

void TsuiTrackBar::DrawTicks(TCanvas* canvas)
{
    const int sw = slider_->Width(), sh = slider_->Height();
    const int w = Width(), h = Height();
    const int64_t range = int64_t(max_) - min_;
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    for (int v : TickValues()) {
        if (orientation_ == suiHorizontal) {
            const int x = int((w - sw) * (int64_t(v) - min_) / range) + sw / 2;
            canvas->MoveTo(x, h - 3);
            canvas->LineTo(x, h);
        } else {
            const int y = int((h - sh) * (int64_t(v) - min_) / range) + sh / 2;
            canvas->MoveTo(0, y);
            canvas->LineTo(3, y);
            canvas->MoveTo(w - 3, y);
            canvas->LineTo(w, y);
        }
    }
}

void TsuiTrackBar::Paint()
{
    const int w = Width(), h = Height();
    TsuiOffscreen buffer(w, h);
    TCanvas* c = buffer.Canvas();
    if (transparent_) {
        PaintParentUnderControl(c, this);
    } else {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect(0, 0, w, h));
    }
    if (!barStrip_->Empty()) {
        const int bh = barImage_->Height();
        if (orientation_ == suiHorizontal)
            c->Draw(0, (h - bh) / 2, barStrip_.get());
        else
            c->Draw((w - bh) / 2, 0, barStrip_.get());
    }
    if (Focused() && TabStop())
        c->DrawFocusRect(Rect(0, 0, w, h));
    if (showTick_)
        DrawTicks(c);
    buffer.CopyTo(Canvas());
}

void TsuiTrackBar::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    switch (key) {
    case VK_PRIOR: SetPosition(position_ - pageSize_); break;
    case VK_NEXT: SetPosition(position_ + pageSize_); break;
    case VK_END: SetPosition(max_); break;
    case VK_HOME: SetPosition(min_); break;
    case VK_LEFT:
    case VK_UP: SetPosition(position_ - lineSize_); break;
    case VK_RIGHT:
    case VK_DOWN: SetPosition(position_ + lineSize_); break;
    default: break;
    }
}

void TsuiTrackBar::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    update();
}

void TsuiTrackBar::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}

void TsuiTrackBar::TakeFocus()
{
    if (Enabled() && CanFocus())
        SetFocus();
}

void TsuiTrackBar::PageToward(int c, int p, int step)
{
    const TPoint o = GetSliderOrigin();
    const int s = orientation_ == suiHorizontal ? o.X : o.Y;
    if (c > s)
        SetPosition(std::min(position_ + step, p));
    else if (c < s)
        SetPosition(std::max(position_ - step, p));
}

void TsuiTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    mousePos_ = {x, y};
    const int c = orientation_ == suiHorizontal ? x : y;
    PageToward(c, PositionFromPoint(x, y), pageSize_);
    if (!repeatTimer_) {
        repeatTimer_ = new QTimer(this);
        repeatTimer_->setInterval(100);
        connect(repeatTimer_, &QTimer::timeout, this, [this] { RepeatTick(); });
        repeatTimer_->start();
    }
    TakeFocus();
}

void TsuiTrackBar::RepeatTick()
{
    const int c = orientation_ == suiHorizontal ? mousePos_.X : mousePos_.Y;
    const int step = orientation_ == suiHorizontal ? 3 * pageSize_ : pageSize_;
    PageToward(c, PositionFromPoint(mousePos_.X, mousePos_.Y), step);
}

void TsuiTrackBar::StopRepeat()
{
    delete repeatTimer_;
    repeatTimer_ = nullptr;
}

void TsuiTrackBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    mousePos_ = {x, y};
    if (!dragging_) {
        if (x < 0 || x > Width() || y < 0 || y > Height())
            StopRepeat();
        return;
    }
    position_ = std::clamp(PositionFromPoint(x, y), min_, max_);
    const TPoint o = GetSliderOrigin();
    slider_->SetBounds(o.X, o.Y, slider_->Width(), slider_->Height());
    if (position_ != lastPosition_) {
        lastChange_ = position_ - lastPosition_;
        Fire(OnChange, this);
        lastPosition_ = position_;
    }
}

void TsuiTrackBar::EndMouse()
{
    StopRepeat();
    dragging_ = false;
}

void TsuiTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    EndMouse();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TsuiTrackBar::SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    dragging_ = true;
    TakeFocus();
    Fire(OnMouseDown, this, button, shift, x + slider_->Left(), y + slider_->Top());
}

void TsuiTrackBar::SliderMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Fire(OnMouseUp, this, button, shift, x + slider_->Left(), y + slider_->Top());
}

// ---------------------------------------------------------------------------------------------
// TsuiScrollTrackBar

TsuiScrollTrackBar::TsuiScrollTrackBar(QWidget* parent) : TsuiTrackBar(parent)
{
    // The scroll bar gives this track its pictures; the base loaded the theme's.
    SetBarImage(nullptr);
    Slider()->SetPicture(nullptr);
    Slider()->SetTransparent(false);
}

void TsuiScrollTrackBar::FitSlider()
{
    Slider()->FitToPicture();
    FitThickness();
    UpdateSlider();
}
