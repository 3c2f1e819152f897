#pragma once

// TRxImageControl: the base of the two players. It paints its whole area itself (its colour,
// then the picture through DrawContent), keeps a drawing lock around every change of its state
// and every tick, and plays through an owned TRxTimer.
//
// Ticks: with AsyncDrawing off the timer hands each tick to the GUI thread, which advances,
// notifies and repaints. With AsyncDrawing on the timer thread advances the frame and prepares
// it under the drawing lock, then hands the notification and the repaint to the GUI thread.
// Widgets are painted on the GUI thread only, and no thread waits for another while it holds the
// drawing lock. Lock order: drawing lock, then bitmap canvas locks.

#include "framework/controls.h"

#include <atomic>
#include <memory>
#include <mutex>

class TRxTimer;

class TRxImageControl : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool AsyncDrawing READ AsyncDrawing WRITE SetAsyncDrawing)

public:
    explicit TRxImageControl(QWidget* parent = nullptr);
    ~TRxImageControl() override;

    bool AsyncDrawing() const { return asyncDrawing_; }
    void SetAsyncDrawing(bool value);

    void SetVisible(bool v) override;

    // Repaints at once on the GUI thread; from another thread asks the GUI thread to.
    void PaintNow();
    // The player's clock (owned).
    TRxTimer* Timer() const { return timer_.get(); }

    TNotifyEvent OnFrameChanged;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    // Draws the picture onto Canvas(); the client area is already filled with Color.
    virtual void DrawContent() = 0;
    // Under the drawing lock: moves to the next frame; false when the tick does nothing.
    virtual bool AdvanceFrame() = 0;
    // Under the drawing lock, right after AdvanceFrame, on the thread that ticks.
    virtual void PrepareFrame() {}
    // On the GUI thread after a frame advanced: OnFrameChanged and the repaint; the players add
    // their own steps. Returns false when the control went away in a handler.
    virtual bool FrameAdvanced();

    void Paint() override;
    void PaintContent();
    // Re-fits the control and asks for a repaint (not while it is being drawn).
    void ContentChanged();
    bool Drawing() const { return drawing_; }
    bool Destroying() const { return destroying_; }
    // The first thing a player's destructor does: no event fires and no tick runs afterwards.
    void BeginDestroy();

    // Starts and stops the timer with the control's tick as its handler.
    void StartTimer();
    void StopTimer();

    bool event(QEvent* e) override;

    mutable std::recursive_mutex drawLock_;

private:
    // The timer comes as the tick's sender, so the timer thread never reads timer_.
    void TimerTick(TRxTimer* timer);
    bool CanTick() const { return tickable_; }
    void UpdateTickable();

    std::unique_ptr<TRxTimer> timer_;
    bool asyncDrawing_ = false;
    bool drawing_ = false;
    bool destroying_ = false;
    // Whether a tick may act: visible and on a parent. Read by the timer thread.
    std::atomic<bool> tickable_{false};
};
