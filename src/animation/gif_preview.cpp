#include "animation/gif_preview.h"

#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "controls/speed_bar.h"
#include "framework/application.h"
#include "framework/label.h"
#include "framework/panel.h"
#include "framework/scroll_bar.h"
#include "imaging/gif/gif_animator.h"
#include "imaging/gif/gif_image.h"

#include <QPointer>
#include <algorithm>

namespace {
QPointer<TPreviewForm> shownPreview;
constexpr WORD KeyF9 = 120;
} // namespace

TPreviewForm::TPreviewForm(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    LoadDefinition(QStringLiteral(":/animation/gif_preview.wdf"));
}

TRxGIFAnimator* TPreviewForm::Animator() const { return FindPart<TRxGIFAnimator>(this, QStringLiteral("Image")); }

int TPreviewForm::FrameCount() const
{
    TRxGIFAnimator* image = Animator();
    return image && image->Image() ? image->Image()->GetCount() : 0;
}

void TPreviewForm::UpdateButtons()
{
    TRxGIFAnimator* image = Animator();
    if (!image)
        return;
    const int n = FrameCount();
    const int i = image->FrameIndex();
    const bool playing = image->Animate();
    const bool loop = image->Loop();
    auto enable = [this](const char* name, bool on) {
        if (auto* item = FindPart<TSpeedItem>(this, QLatin1String(name)))
            item->SetEnabled(on);
    };
    enable("PlayBtn", !playing && n > 1);
    enable("StopBtn", playing);
    enable("RewindBtn", i > 0);
    enable("BackBtn", !((i <= 0 && !loop) || n <= 1));
    enable("NextBtn", !((i >= n - 1 && !loop) || n <= 1));
    enable("ForwardBtn", i < n - 1);
}

void TPreviewForm::FitWindowSize()
{
    auto* panel = FindPart<TPanel>(this, QStringLiteral("ImagePanel"));
    auto* bar = FindPart<TSpeedBar>(this, QStringLiteral("SpeedBar"));
    auto* sliderPanel = FindPart<TPanel>(this, QStringLiteral("SliderPanel"));
    TRxGIFAnimator* image = Animator();
    if (!panel || !bar || !sliderPanel || !image)
        return;
    const int border = 2 * (panel->BorderWidth() + panel->BevelWidth());
    TGIFImage* gif = image->Image();
    const int w = gif ? gif->GetScreenWidth() : 0;
    const int h = gif ? gif->GetScreenHeight() : 0;
    SetClientWidth(std::min(border + std::max(w + 4, 270), Screen->Width()));
    SetClientHeight(std::min(border + bar->Height() + sliderPanel->Height() + std::max(h + 4, 70), Screen->Height()));
    // The slider reaches across the window, however wide the animation makes it.
    if (auto* slider = FindPart<TTrackBar>(this, QStringLiteral("Slider")))
        slider->SetWidth(std::max(40, ClientWidth() - slider->Left() - 6));
}

void TPreviewForm::StepTo(int index)
{
    if (TRxGIFAnimator* image = Animator())
        image->SetFrameIndex(std::clamp(index, 0, std::max(0, FrameCount() - 1)));
    UpdateButtons();
}

void TPreviewForm::PlayBtnClick(TObject*)
{
    if (TRxGIFAnimator* image = Animator())
        image->SetAnimate(true);
    UpdateButtons();
}

void TPreviewForm::StopBtnClick(TObject*)
{
    if (TRxGIFAnimator* image = Animator())
        image->SetAnimate(false);
    UpdateButtons();
}

void TPreviewForm::RewindBtnClick(TObject*) { StepTo(0); }

void TPreviewForm::BackBtnClick(TObject*)
{
    TRxGIFAnimator* image = Animator();
    if (!image)
        return;
    const int n = FrameCount();
    int i = image->FrameIndex() - 1;
    if (i < 0)
        i = image->Loop() ? i + n : 0;
    StepTo(i);
}

void TPreviewForm::NextBtnClick(TObject*)
{
    TRxGIFAnimator* image = Animator();
    if (!image)
        return;
    const int n = FrameCount();
    int i = image->FrameIndex() + 1;
    if (i >= n)
        i = image->Loop() ? i - n : n - 1;
    StepTo(i);
}

void TPreviewForm::ForwardBtnClick(TObject*) { StepTo(FrameCount() - 1); }

void TPreviewForm::SliderChange(TObject*)
{
    auto* slider = FindPart<TTrackBar>(this, QStringLiteral("Slider"));
    TRxGIFAnimator* image = Animator();
    if (!slider || !image)
        return;
    image->SetFrameIndex(slider->Position());
    slider->SetPosition(image->FrameIndex());
}

void TPreviewForm::ImageFrameChanged(TObject*)
{
    TRxGIFAnimator* image = Animator();
    if (!image)
        return;
    if (auto* slider = FindPart<TTrackBar>(this, QStringLiteral("Slider")))
        slider->SetPosition(image->FrameIndex());
    if (auto* label = FindPart<TLabel>(this, QStringLiteral("FrameNo")))
        label->SetCaption(QString::number(image->FrameIndex() + 1));
    UpdateButtons();
}

void TPreviewForm::ImageChanged(TObject*)
{
    TakeMainWindowSkin(*this);
    TRxGIFAnimator* image = Animator();
    auto* slider = FindPart<TTrackBar>(this, QStringLiteral("Slider"));
    if (!image || !slider)
        return;
    const int n = FrameCount();
    slider->SetMax(std::max(1, n - 1));
    if (auto* label = FindPart<TLabel>(this, QStringLiteral("FrameNo")))
        label->SetCaption(QString::number(image->FrameIndex() + 1));
    UpdateButtons();
    slider->SetEnabled(n > 1);
    if (auto* bar = FindPart<TSpeedBar>(this, QStringLiteral("SpeedBar")))
        bar->SetEnabled(slider->Enabled());
    FitWindowSize();
}

void TPreviewForm::ImageStartStop(TObject*) { UpdateButtons(); }

void TPreviewForm::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    auto* play = FindPart<TSpeedItem>(this, QStringLiteral("PlayBtn"));
    if (Key == KeyF9 && play && play->Enabled()) {
        PlayBtnClick(this);
        Key = 0;
    }
}

void TPreviewForm::FormKeyPress(TObject*, QChar& Key)
{
    TRxGIFAnimator* image = Animator();
    const bool playing = image && image->Animate();
    if (Key == QChar(27)) {
        if (playing)
            StopBtnClick(this);
        else
            SetModalResult(mrCancel);
        Key = QChar(0);
    } else if (Key == QChar(13) && !playing) {
        PlayBtnClick(this);
        Key = QChar(0);
    }
}

void ShowGifPreview(TGIFImage* image)
{
    TPreviewForm form;
    TRxGIFAnimator* animator = form.Animator();
    if (animator && image) {
        animator->SetImage(image);
        animator->SetLoop(image->Looping);
        if (animator->Image() && animator->Image()->GetCount() > 0)
            animator->SetFrameIndex(0);
        form.ImageChanged(&form);
        auto* play = FindPart<TSpeedItem>(&form, QStringLiteral("PlayBtn"));
        if (play && play->Enabled())
            form.PlayBtnClick(&form);
    }
    shownPreview = &form;
    form.ShowModal();
    shownPreview = nullptr;
}

TPreviewForm* ActiveGifPreview() { return shownPreview.data(); }
