// Animation of the toolkit image control: an animated file plays while it loads and afterwards,
// and AnimationEnable plays any bitmap list, on a canvas of the animation's screen size driven by
// the control's timer.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/timer.h"
#include "imaging/toolkit/toolkit_playback.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// Steps whose wait came out at 0 run at once, one after the other, but only so many in a row: the
// count is shared by every control, so that animations without delays still give the GUI thread
// back at a timer tick now and then.
int g_zeroWaitSteps = 0;
constexpr int MaxZeroWaitSteps = 50;
constexpr int MaxWait = 32767;

} // namespace

struct TToolkitImage::TAnimationState {
    TTimer* Timer = nullptr;
    bool Running = false;     // AnimationEnable
    TKPlayback Playback = 0;
    TKBitmap Canvas;          // ToolkitBitmap refers to it while the animation plays
    bool Stop = false;        // set while the control goes: timer steps and AnimationEnable do nothing
    bool LoadPath = false;    // the playback is the one of a load under way
    std::vector<TKFrameInfo> Frames; // of the file being loaded, from its first page loaded
};

void TToolkitImage::TAnimationStateDeleter::operator()(TAnimationState* state) const
{
    delete state;
}

TToolkitImage::TAnimationState& TToolkitImage::AnimationState()
{
    if (!animationState_) {
        animationState_.reset(new TAnimationState);
        auto* timer = new TTimer(this);
        timer->setObjectName(QStringLiteral("AnimationTimer"));
        timer->SetEnabled(false);
        timer->SetInterval(0);
        timer->OnTimer = [this](TObject*) { AnimationTimerStep(); };
        animationState_->Timer = timer;
    }
    return *animationState_;
}

void TToolkitImage::ShutDownAnimation()
{
    if (!animationState_)
        return;
    TAnimationState& s = *animationState_;
    s.Stop = true;
    if (s.Timer) {
        s.Timer->OnTimer = nullptr;
        s.Timer->SetEnabled(false);
    }
    if (s.Playback)
        TK_DestroyPlayback(s.Playback, nullptr);
    s.Playback = 0;
    s.Running = false;
    animating_ = false;
    // The current item is the picture again, not the canvas.
    if (BitmapList)
        TK_GetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
    s.Canvas = TKBitmap();
}

// ---- Canvas ----------------------------------------------------------------------------------

int TToolkitImage::MakeAnimationCanvas(int fallbackWidth, int fallbackHeight)
{
    TAnimationState& s = AnimationState();
    int width = Animation.ScreenWidth, height = Animation.ScreenHeight;
    if (width <= 0 || height <= 0) {
        width = fallbackWidth;
        height = fallbackHeight;
    }
    uint32_t background = Animation.BackgroundColor;
    if ((background >> 24) == 1)
        background = Animation.HasPalette ? Animation.Palette[background & 0xFF] : 0;
    // The canvas holds colours at 32 bits per pixel, so the file's palette or a fixed one has no
    // part in it.
    TKBitmap canvas;
    const int r = TK_CreatePlaybackCanvas(&canvas, width, height, background);
    if (r != TK_Success)
        return r;
    s.Canvas = canvas;
    ToolkitBitmap = canvas;
    HasBitmap = 1;
    NotifyBitmapReset();
    ResetView();
    return TK_Success;
}

void TToolkitImage::ReloadCurrentItem()
{
    if (BitmapList) {
        HasBitmap = TK_GetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap) == TK_Success ? 1 : 0;
        if (!HasBitmap)
            TK_FreeBitmap(&ToolkitBitmap);
    }
    if (animationState_)
        animationState_->Canvas = TKBitmap();
    ResetView();
    Invalidate();
}

// ---- Load of an animated file ----------------------------------------------------------------

void TToolkitImage::ReadAnimationFrames(const QString& fileName, int firstPage)
{
    // Without the file's timing the pages still play, each without delay and in place.
    TAnimationState& s = AnimationState();
    if (TK_ReadFrameInfo(fileName, firstPage, s.Frames) != TK_Success)
        s.Frames.clear();
}

void TToolkitImage::TagAnimationFrames()
{
    if (!animationState_ || !BitmapList)
        return;
    const std::vector<TKFrameInfo>& frames = animationState_->Frames;
    int32_t count = 0;
    TK_GetBitmapListCount(BitmapList, &count);
    for (int32_t i = 0; i < count && size_t(i) < frames.size(); ++i) {
        TKBitmap item;
        if (TK_GetBitmapListItem(BitmapList, i, &item) == TK_Success)
            TK_SetBitmapFrameInfo(&item, &frames[size_t(i)]);
    }
}

bool TToolkitImage::BeginAnimatedLoad(int fallbackWidth, int fallbackHeight)
{
    TAnimationState& s = AnimationState();
    animating_ = true;
    int r = MakeAnimationCanvas(fallbackWidth, fallbackHeight);
    if (r == TK_Success)
        r = TK_CreatePlayback(&s.Canvas, 0, &s.Playback);
    if (r == TK_Success) {
        ResetView();
        s.LoadPath = true;
        return true;
    }
    // The load keeps its pages the usual way.
    animating_ = false;
    s.Canvas = TKBitmap();
    TK_FreeBitmap(&ToolkitBitmap);
    HasBitmap = 0;
    return false;
}

bool TToolkitImage::AnimatedLoadRunning() const
{
    return animationState_ && animationState_->LoadPath;
}

int TToolkitImage::AnimatedLoadRows(TKBitmap* bitmap, uint32_t flags, int32_t firstRow, int32_t rowCount,
                                    uint32_t& pagesDone)
{
    TAnimationState& s = AnimationState();
    const int32_t height = bitmap->Height;
    if ((flags & (TKRF_PageStart | TKRF_FirstRows)) == (TKRF_PageStart | TKRF_FirstRows)) {
        if (enableProgressEvent_)
            Fire(OnStatus, this, 0);
        rowCounter_ = rowCount;
        // True colour: there is no palette to realise for the new page.
        const TKFrameInfo info = pagesDone < s.Frames.size() ? s.Frames[pagesDone] : TKFrameInfo();
        const int r = TK_AppendPlaybackPage(s.Playback, bitmap, &info);
        if (r != TK_Success)
            return r;
    }
    TK_ValidatePlaybackRows(s.Playback, firstRow, rowCount);
    if ((flags & (TKRF_PageEnd | TKRF_LastRows)) == (TKRF_PageEnd | TKRF_LastRows)) {
        ++pagesDone;
        Fire(OnFilePage, this);
    }
    if (enableProgressEvent_) {
        if (height > 0)
            Fire(OnStatus, this, int(int64_t(rowCounter_) * 100 / height));
    } else {
        AnimationTimerStep();
    }
    return TK_Success;
}

int TToolkitImage::FinishAnimatedLoad()
{
    TAnimationState& s = AnimationState();
    s.LoadPath = false;
    int32_t state = TKPS_NeedPages;
    TK_GetPlaybackState(s.Playback, &state);
    if (state == TKPS_Ended && !Animation.Loop) {
        // It has played to its end while it loaded: the first page stays.
        animating_ = false;
        TK_DestroyPlayback(s.Playback, &BitmapList);
        s.Playback = 0;
        s.Canvas = TKBitmap();
        BitmapListIndex = 0;
        HasBitmap = BitmapList && TK_GetBitmapListItem(BitmapList, 0, &ToolkitBitmap) == TK_Success ? 1 : 0;
        return HasBitmap ? TK_Success : TK_ErrBitmapHandle;
    }
    HasBitmap = 1;
    int32_t kept = 0;
    TK_GetPlaybackIndex(s.Playback, &kept);
    int r = TK_DestroyPlayback(s.Playback, &BitmapList);
    s.Playback = 0;
    if (r == TK_Success && !BitmapList)
        r = TK_ErrBitmapHandle;
    if (r == TK_Success)
        r = MakeAnimationCanvas(FileInfoWidth, FileInfoHeight);
    if (r == TK_Success)
        r = TK_CreatePlayback(&s.Canvas, BitmapList, &s.Playback);
    if (r == TK_Success) {
        TK_SetPlaybackIndex(s.Playback, kept);
        BitmapListIndex = 0;
        s.Running = true;
        s.Timer->SetInterval(1);
        s.Timer->SetEnabled(true);
        if (autoRepaint_)
            Invalidate();
        Fire(OnChange, this);
        Fire(OnAnimate, this, true);
        AnimationTimerStep();
        return TK_Success;
    }
    if (s.Playback)
        TK_DestroyPlayback(s.Playback, nullptr);
    s.Playback = 0;
    animating_ = false;
    BitmapListIndex = 0;
    ReloadCurrentItem();
    return ResultCheck("Load", r);
}

void TToolkitImage::DropAnimatedLoad()
{
    if (!AnimatedLoadRunning())
        return;
    TAnimationState& s = *animationState_;
    s.LoadPath = false;
    if (s.Playback)
        TK_DestroyPlayback(s.Playback, nullptr);
    s.Playback = 0;
    s.Canvas = TKBitmap();
    animating_ = false;
}

// ---- Timer -----------------------------------------------------------------------------------

void TToolkitImage::AnimationTimerStep()
{
    TAnimationState& s = AnimationState();
    for (;;) {
        // While a load runs the steps come from its rows, as fast as they arrive, and the timer
        // keeps out of it.
        const bool loading = loading_;
        QElapsedTimer spent;
        spent.start();
        if (!loading)
            s.Timer->SetEnabled(false);
        if (!s.Playback)
            return;
        int32_t state = TKPS_NeedPages;
        TK_GetPlaybackState(s.Playback, &state);
        if (state != TKPS_Ended && !s.Stop) {
            while (TK_ProcessPlayback(s.Playback, &state) == TK_Success) {
                if (state == TKPS_Paint) {
                    DirectRepaint();
                } else if (state == TKPS_Waiting) {
                    // The timer has timed the page's delay. A load's rows have not: the page
                    // stays until the load is done and the timer takes over.
                    if (loading)
                        break;
                    TK_CancelPlaybackWait(s.Playback);
                } else if (state == TKPS_Ended) {
                    if (Animation.Loop)
                        continue;
                    if (!loading) {
                        g_zeroWaitSteps = 0; // the row of steps ends with the animation
                        SetAnimationEnable(false);
                        return;
                    }
                    break;
                } else {
                    break;
                }
            }
        }
        if (loading)
            return;
        int32_t delay = 0;
        TK_GetPlaybackDelay(s.Playback, &delay);
        const int wait = int(std::max<qint64>(0, std::min(MaxWait, delay) - spent.elapsed()));
        if (wait == 0 && ++g_zeroWaitSteps < MaxZeroWaitSteps)
            continue;
        g_zeroWaitSteps = 0;
        s.Timer->SetInterval(std::max(1, wait));
        s.Timer->SetEnabled(true);
        return;
    }
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetAutoAnimate(bool v)
{
    autoAnimate_ = v;
    LastResult = 1;
}

void TToolkitImage::SetAutoAnimationLoop(int v)
{
    autoAnimationLoop_ = v;
    LastResult = 1;
}

bool TToolkitImage::AnimationEnable() const
{
    return animationState_ && animationState_->Running;
}

void TToolkitImage::SetAnimationEnable(bool v)
{
    TAnimationState& s = AnimationState();
    if (s.Stop)
        return;
    if (!BitmapList && !HasBitmap) {
        LastResult = TK_ErrBitmapHandle;
        throw EToolkitImageError(QStringLiteral("%1 \nAnimationEnable: No bitmap list.").arg(MessageName()));
    }
    if (processing_ || (busy_ & bsProcessing)) {
        LastResult = 0;
        throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\n%3: %4 ")
                                     .arg(MessageName())
                                     .arg(0)
                                     .arg(QLatin1String("Processing not allowed"), ToolkitErrorText(0)));
    }
    if (v == s.Running) {
        LastResult = 1;
        return;
    }
    // Frames are whole pictures: a region drawn on the current one has no place in the playback.
    // Freed before the timer starts, so that a failure here leaves nothing running.
    if (v && HasBitmap)
        FreeRgn();
    s.Timer->SetInterval(1);
    s.Timer->SetEnabled(v);
    s.Running = v;
    int result = TK_Success;
    if (v) {
        // The list gets the current picture back (it may have been changed in place), or becomes
        // a list of it when there is none.
        if (HasBitmap && IsBitmapAllocated(&ToolkitBitmap)) {
            if (!BitmapList) {
                result = TK_CreateBitmapList(&BitmapList);
                if (result == TK_Success)
                    result = TK_InsertBitmapListItem(BitmapList, -1, &ToolkitBitmap);
                BitmapListIndex = 0;
            } else {
                TK_SetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
            }
        }
        TKBitmap first;
        if (result == TK_Success && TK_GetBitmapListItem(BitmapList, 0, &first) != TK_Success)
            result = TK_ErrBitmapHandle;
        if (result == TK_Success)
            result = MakeAnimationCanvas(first.Width, first.Height);
        Invalidate();
        if (result == TK_Success)
            result = TK_CreatePlayback(&s.Canvas, BitmapList, &s.Playback);
        if (result == TK_Success)
            animating_ = true;
        else
            ReloadCurrentItem();
    } else {
        animating_ = false;
        if (s.Playback)
            TK_DestroyPlayback(s.Playback, nullptr);
        s.Playback = 0;
        ReloadCurrentItem();
    }
    Fire(OnAnimate, this, v);
    if (result != TK_Success) {
        s.Timer->SetEnabled(false);
        s.Timer->SetInterval(0);
        s.Running = false;
        ResultCheck("AnimationEnable", result);
        return;
    }
    LastResult = TK_Success;
}
