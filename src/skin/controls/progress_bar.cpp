#include "skin/controls/progress_bar.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/picture.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QImage>
#include <algorithm>

TsuiProgressBar::TsuiProgressBar(QWidget* parent) : TCustomControl(parent), picture_(std::make_unique<TPicture>())
{
    style_ = StartUIStyle(parent);
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), 150, 12);
    SetText(QStringLiteral("50%"));
    LoadThemePictures();
}

TsuiProgressBar::~TsuiProgressBar() = default;

void TsuiProgressBar::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    LoadThemePictures();
}

void TsuiProgressBar::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiProgressBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiProgressBar::LoadThemePictures()
{
    TBitmap bar;
    if (ThemeImageSafe(fileTheme_, style_, ThemeItem::ProgressBarImage, &bar))
        picture_->SetGraphic(&bar);
    SetColor(ThemeColor(fileTheme_, style_, ThemeItem::ControlBackgroundColor));
    SetBorderColor(ThemeColor(fileTheme_, style_, ThemeItem::ControlBorderColor));
    if (orientation_ == suiVertical && picture_->Graphic()) {
        RotateBitmapLeft(picture_->Bitmap());
    }
    update();
}

void TsuiProgressBar::ApplyOrientationSize(int length)
{
    if (orientation_ == suiVertical)
        SetBounds(Left(), Top(), 12, length);
    else
        SetBounds(Left(), Top(), length, 12);
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation o)
{
    orientation_ = o;
    LoadThemePictures();
    ApplyOrientationSize(std::max(Height(), Width()));
}

void TsuiProgressBar::SetPicture(TPicture* p)
{
    picture_->Assign(p);
    update();
}

void TsuiProgressBar::ColorChanged()
{
    TCustomControl::ColorChanged();
    update();
}

void TsuiProgressBar::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiProgressBar::SetCaptionColor(TColor c)
{
    captionColor_ = c;
    update();
}

void TsuiProgressBar::SetShowCaption(bool v)
{
    showCaption_ = v;
    update();
}

void TsuiProgressBar::SetSmartShowCaption(bool v)
{
    smartShowCaption_ = v;
    update();
}

void TsuiProgressBar::SetMin(int v)
{
    min_ = v;
    UpdateCaption();
}

void TsuiProgressBar::SetMax(int v)
{
    max_ = v;
    UpdateCaption();
}

void TsuiProgressBar::SetPosition(int v)
{
    position_ = v;
    UpdateCaption();
}

int TsuiProgressBar::GetPercent() const
{
    if (min_ == max_)
        return 0;
    return int((int64_t(position_) - min_) * 100 / (int64_t(max_) - min_));
}

int TsuiProgressBar::FilledLength(int length) const
{
    if (min_ >= max_ || position_ <= min_)
        return 0;
    if (position_ > max_)
        return length;
    return int(int64_t(length) * (int64_t(position_) - min_) / (int64_t(max_) - min_));
}

void TsuiProgressBar::UpdateCaption()
{
    SetText(QString::number(GetPercent()) + QLatin1Char('%'));
    update();
}

void TsuiProgressBar::Paint()
{
    const int w = Width(), h = Height();
    TsuiOffscreen buffer(w, h);
    TCanvas* c = buffer.Canvas();
    TGraphic* graphic = picture_->Graphic();
    const bool hasPicture = graphic && !graphic->Empty();
    bool showCaption = showCaption_;
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    if (orientation_ == suiHorizontal) {
        const int f = std::max(FilledLength(w - 1), 1);
        if (hasPicture)
            c->StretchDraw(Rect(1, 1, f, h - 1), graphic);
        c->FillRect(Rect(f, 1, w - 1, h - 1));
    } else {
        // The filled part grows from the bottom and shows the picture upside down.
        const int t = std::max((h - 1) - FilledLength(h - 1), 1);
        c->FillRect(Rect(1, 1, w - 1, t));
        if (hasPicture && h - 1 > t) {
            TBitmap flipped;
            flipped.Assign(graphic);
            const QImage img = flipped.ToImage().mirrored(false, true);
            c->BlitImage(Rect(1, t, w - 1, h - 1), img, Rect(0, 0, img.width(), img.height()), cmSrcCopy);
        }
        showCaption = false;
        showCaption_ = false;
    }
    if (showCaption && !(smartShowCaption_ && position_ == min_)) {
        c->Font()->Assign(Font());
        c->Font()->SetColor(captionColor_);
        c->Brush()->SetStyle(bsClear);
        const QString text = Caption();
        c->TextOut((w - c->TextWidth(text)) / 2, (h - c->TextHeight(text)) / 2, text);
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(borderColor_);
    c->FrameRect(Rect(0, 0, w, h));
    buffer.CopyTo(Canvas());
}
