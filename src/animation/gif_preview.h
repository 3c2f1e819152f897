#pragma once

// The preview player: plays a copy of the GIF builder's animation before it is saved, with
// play, stop, rewind, frame steps, a slider over the frames and the keys F9, Enter and Esc.

#include "framework/forms.h"

class TGIFImage;
class TRxGIFAnimator;

class TPreviewForm : public TForm {
    Q_OBJECT

public:
    explicit TPreviewForm(QWidget* owner = nullptr);

    TRxGIFAnimator* Animator() const;
    void UpdateButtons();
    void FitWindowSize();

    Q_INVOKABLE void PlayBtnClick(TObject* Sender);
    Q_INVOKABLE void StopBtnClick(TObject* Sender);
    Q_INVOKABLE void RewindBtnClick(TObject* Sender);
    Q_INVOKABLE void BackBtnClick(TObject* Sender);
    Q_INVOKABLE void NextBtnClick(TObject* Sender);
    Q_INVOKABLE void ForwardBtnClick(TObject* Sender);
    Q_INVOKABLE void SliderChange(TObject* Sender);
    Q_INVOKABLE void ImageFrameChanged(TObject* Sender);
    Q_INVOKABLE void ImageChanged(TObject* Sender);
    Q_INVOKABLE void ImageStartStop(TObject* Sender);
    Q_INVOKABLE void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    Q_INVOKABLE void FormKeyPress(TObject* Sender, QChar& Key);

private:
    int FrameCount() const;
    void StepTo(int index);
};

// Plays a copy of image in a new modal preview window, freed afterwards.
void ShowGifPreview(TGIFImage* image);
// The window of the preview being shown, or null (for tests and the screenshots).
TPreviewForm* ActiveGifPreview();
