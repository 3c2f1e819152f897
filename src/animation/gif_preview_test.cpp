#include "animation/gif_preview.h"

#include "controls/speed_bar.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/scroll_bar.h"
#include "imaging/gif/gif_animator.h"
#include "imaging/gif/gif_image.h"

#include <gtest/gtest.h>

namespace {

void AddFrames(TGIFImage& gif, int count, int size)
{
    for (int i = 0; i < count; ++i) {
        TBitmap b;
        b.SetSize(size, size);
        b.Canvas()->Brush()->SetColor(TColor(0x10 * i));
        b.Canvas()->FillRect(Rect(0, 0, size, size));
        gif.AddFrame(&b);
    }
    gif.EncodeAllFrames();
}

bool On(TPreviewForm* f, const char* name) { return qobject_cast<TSpeedItem*>(f->FindComponent(QLatin1String(name)))->Enabled(); }

// Shows the preview of gif and runs check on the window while it is up.
void Preview(TGIFImage& gif, const std::function<void(TPreviewForm*)>& check)
{
    TDialogAnswererScope answer([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        check(ActiveGifPreview());
        r.Result = mrCancel;
        return true;
    });
    ShowGifPreview(&gif);
}

TEST(GifPreview, AOneFramePictureHasNothingToPlay)
{
    TGIFImage gif;
    AddFrames(gif, 1, 16);
    bool seen = false;
    Preview(gif, [&](TPreviewForm* f) {
        seen = true;
        for (const char* off : {"PlayBtn", "StopBtn", "BackBtn", "NextBtn", "ForwardBtn"})
            EXPECT_FALSE(On(f, off)) << off;
        auto* slider = qobject_cast<TTrackBar*>(f->FindComponent("Slider"));
        EXPECT_FALSE(slider->Enabled());
        EXPECT_EQ(slider->Max(), 1);
        EXPECT_FALSE(qobject_cast<TSpeedBar*>(f->FindComponent("SpeedBar"))->Enabled());
        // A small animation still gets a window 270 wide and 70 high for the picture.
        auto* panel = qobject_cast<TControl*>(f->FindComponent("ImagePanel"));
        EXPECT_EQ(panel->Width(), 270 + 2 * (2 + 1));
        EXPECT_EQ(panel->Height(), 70 + 2 * (2 + 1));
    });
    EXPECT_TRUE(seen);
}

TEST(GifPreview, PlaysAtOnceAndStepsRoundWhenLooping)
{
    TGIFImage gif;
    AddFrames(gif, 3, 16);
    gif.SetLooping(true);
    Preview(gif, [&](TPreviewForm* f) {
        TRxGIFAnimator* image = f->Animator();
        EXPECT_TRUE(image->Animate());
        EXPECT_TRUE(On(f, "StopBtn"));
        // Esc while playing only stops.
        QChar esc(27);
        f->FormKeyPress(f, esc);
        EXPECT_FALSE(image->Animate());
        EXPECT_EQ(f->ModalResult(), mrNone);
        f->RewindBtnClick(f);
        f->BackBtnClick(f);
        EXPECT_EQ(image->FrameIndex(), 2);
        f->NextBtnClick(f);
        EXPECT_EQ(image->FrameIndex(), 0);
        // Not looping: Back stays on the first frame and is disabled there.
        image->SetLoop(false);
        f->UpdateButtons();
        EXPECT_FALSE(On(f, "BackBtn"));
        f->BackBtnClick(f);
        EXPECT_EQ(image->FrameIndex(), 0);
        f->ForwardBtnClick(f);
        EXPECT_EQ(image->FrameIndex(), 2);
        EXPECT_EQ(qobject_cast<TTrackBar*>(f->FindComponent("Slider"))->Position(), 2);
        // F9 plays; a second Esc after stopping closes.
        WORD f9 = 120;
        f->FormKeyDown(f, f9, TShiftState());
        EXPECT_TRUE(image->Animate());
        EXPECT_EQ(f9, 0);
        esc = QChar(27);
        f->FormKeyPress(f, esc);
        EXPECT_FALSE(image->Animate());
        esc = QChar(27);
        f->FormKeyPress(f, esc);
        EXPECT_EQ(f->ModalResult(), mrCancel);
    });
    // The preview played a copy: the builder's picture is as it was.
    EXPECT_EQ(gif.FrameIndex, 2);
    EXPECT_EQ(gif.GetCount(), 3);
}

} // namespace
