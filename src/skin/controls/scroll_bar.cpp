#include "skin/controls/scroll_bar.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/picture.h"
#include "skin/controls/button.h"
#include "skin/controls/track_bar.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <algorithm>

TsuiScrollBar::TsuiScrollBar(QWidget* parent)
    : TCustomControl(parent), sliderHead_(std::make_unique<TBitmap>()), sliderMiddle_(std::make_unique<TBitmap>()),
      sliderTail_(std::make_unique<TBitmap>())
{
    style_ = StartUIStyle(parent);
    SetFillsBackground(true);
    track_ = new TsuiScrollTrackBar(this);
    track_->SetParent(this);
    track_->SetShowTick(false);
    track_->SetTabStop(false);
    track_->SetTransparent(false);
    track_->SetMax(100);
    endButton_ = new TsuiImageButton(this);
    endButton_->SetParent(this);
    startButton_ = new TsuiImageButton(this);
    startButton_->SetParent(this);
    for (TsuiImageButton* b : {startButton_, endButton_}) {
        b->SetTabStop(false);
        b->SetMouseContinuouslyDownInterval(100);
    }
    startButton_->OnMouseContinuouslyDown = [this](TObject*) { LineDecrease(); };
    endButton_->OnMouseContinuouslyDown = [this](TObject*) { LineIncrease(); };
    SetHeight(185);
    SetUIStyle(style_);
}

TsuiScrollBar::~TsuiScrollBar() = default;

bool TsuiScrollBar::BindEvent(const QString& name, const TMethodRef& handler)
{
    return BindEventTo(name, "OnChange", track_->OnChange, handler, "TObject*") || TCustomControl::BindEvent(name, handler);
}

TNotifyEvent& TsuiScrollBar::OnChange() { return track_->OnChange; }

void TsuiScrollBar::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiScrollBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiScrollBar::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    track_->SetColor(Color());
    LoadThemePictures();
    LayoutParts();
}

void TsuiScrollBar::SetOrientation(TsuiProgressBarOrientation o)
{
    if (orientation_ == o)
        return;
    orientation_ = o;
    LoadThemePictures();
    LayoutParts();
}

int TsuiScrollBar::Max() const { return track_->Max(); }
void TsuiScrollBar::SetMax(int v) { track_->SetMax(v); }
int TsuiScrollBar::Min() const { return track_->Min(); }
void TsuiScrollBar::SetMin(int v) { track_->SetMin(v); }
int TsuiScrollBar::Position() const { return track_->Position(); }

void TsuiScrollBar::SetPosition(int v)
{
    if (v != track_->Position())
        track_->SetPosition(v);
}

int TsuiScrollBar::PageSize() const { return track_->PageSize(); }

void TsuiScrollBar::SetPageSize(int v)
{
    track_->SetPageSize(v);
    BuildSlider();
}

int TsuiScrollBar::LargeChange() const { return int16_t(track_->PageSize()); }
void TsuiScrollBar::SetLargeChange(int v) { track_->SetPageSize(v); }

void TsuiScrollBar::SetSmallChange(int v) { smallChange_ = std::clamp(v, 1, 32767); }

void TsuiScrollBar::SetLineButton(int v)
{
    if (v == lineButton_)
        return;
    const int room = orientation_ == suiHorizontal ? Width() - startButton_->Width() - endButton_->Width()
                                                   : Height() - startButton_->Height() - endButton_->Height();
    if (v > room)
        return;
    lineButton_ = v;
    BuildSlider();
}

void TsuiScrollBar::SetSliderVisible(bool v)
{
    if (track_->Slider()->Visible() != v)
        track_->Slider()->SetVisible(v);
}

bool TsuiScrollBar::SliderVisible() const { return track_->Slider()->Visible(); }

int TsuiScrollBar::GetLastChange() const { return track_->LastChange(); }

void TsuiScrollBar::LineDecrease() { track_->SetPosition(track_->Position() - smallChange_); }
void TsuiScrollBar::LineIncrease() { track_->SetPosition(track_->Position() + smallChange_); }

void TsuiScrollBar::SetVisible(bool v)
{
    TCustomControl::SetVisible(v);
    if (!track_)
        return;
    track_->SetVisible(v);
    startButton_->SetVisible(v);
    endButton_->SetVisible(v);
}

void TsuiScrollBar::ColorChanged()
{
    TCustomControl::ColorChanged();
    if (track_)
        track_->SetColor(Color());
}

void TsuiScrollBar::Resize()
{
    TCustomControl::Resize();
    if (track_ && !layingOut_)
        LayoutParts();
}

void TsuiScrollBar::LoadThemePictures()
{
    track_->SetBarImage(nullptr);
    SetColor(ThemeColor(fileTheme_, style_, ThemeItem::ScrollBarBackgroundColor));
    TBitmap* pieces[] = {sliderHead_.get(), sliderMiddle_.get(), sliderTail_.get()};
    for (int i = 0; i < 3; ++i)
        ThemeImageSafe(fileTheme_, style_, ThemeItem::ScrollBarSliderImage, pieces[i], 3, i + 1);
    for (int i = 0; i < 6; ++i) {
        TBitmap frame;
        if (!ThemeImageSafe(fileTheme_, style_, ThemeItem::ScrollBarButtonImage, &frame, 6, i + 1))
            continue;
        if (orientation_ == suiHorizontal)
            RotateBitmapLeft(&frame);
        TPicture pic;
        pic.SetGraphic(&frame);
        TsuiImageButton* b = i < 3 ? startButton_ : endButton_;
        switch (i % 3) {
        case 0: b->SetPicNormal(&pic); break;
        case 1: b->SetPicMouseOn(&pic); break;
        default: b->SetPicMouseDown(&pic); break;
        }
    }
    if (orientation_ == suiVertical)
        for (TBitmap* p : pieces)
            RotateBitmapRight(p);
    startButton_->SetAutoSize(true);
    endButton_->SetAutoSize(true);
    update();
}

void TsuiScrollBar::LayoutParts()
{
    if (layingOut_)
        return;
    layingOut_ = true;
    track_->SetOrientation(orientation_);
    if (Height() == 0 || Width() == 0) {
        SetVisible(false);
        layingOut_ = false;
        return;
    }
    TsuiImageButton* s = startButton_;
    TsuiImageButton* e = endButton_;
    s->SetBounds(0, 0, s->Width(), s->Height());
    if (orientation_ == suiVertical) {
        track_->SetBounds(0, s->Height(), track_->Width(), Height() - e->Height() - s->Height() - 1);
        e->SetBounds(0, Height() - e->Height(), e->Width(), e->Height());
        SetWidth(s->Width());
    } else {
        track_->SetBounds(s->Width(), 0, Width() - e->Width() - s->Width(), track_->Height());
        e->SetBounds(Width() - e->Width(), 0, e->Width(), e->Height());
        SetHeight(s->Height());
    }
    layingOut_ = false;
    BuildSlider();
}

void TsuiScrollBar::BuildSlider()
{
    if (sliderHead_->Empty())
        return;
    const bool vertical = orientation_ == suiVertical;
    const int thickness = vertical ? sliderHead_->Width() : sliderHead_->Height();
    int length = 0;
    if (lineButton_ > 0) {
        lineButton_ = std::max(lineButton_, 18);
        length = lineButton_;
    } else {
        int p = track_->PageSize();
        if (p < 10 || p > 100)
            p = 10;
        const int trackLength = vertical ? track_->Height() : track_->Width();
        if (trackLength > 0)
            length = p * trackLength / 100;
    }
    TBitmap slider;
    if (length > 0) {
        if (vertical)
            slider.SetSize(thickness, length);
        else
            slider.SetSize(length, thickness);
        TCanvas* c = slider.Canvas();
        c->Draw(0, 0, sliderHead_.get());
        if (vertical) {
            const int tailTop = length - sliderTail_->Height();
            c->StretchDraw(Rect(0, sliderHead_->Height(), thickness, tailTop), sliderMiddle_.get());
            c->Draw(0, tailTop, sliderTail_.get());
        } else {
            const int tailLeft = length - sliderTail_->Width();
            c->StretchDraw(Rect(sliderHead_->Width(), 0, tailLeft, thickness), sliderMiddle_.get());
            c->Draw(tailLeft, 0, sliderTail_.get());
        }
    }
    track_->SetSliderImage(&slider);
    track_->FitSlider();
}
