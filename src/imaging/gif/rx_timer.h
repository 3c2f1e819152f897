#pragma once

// TRxTimer: a timer component whose clock runs on a worker thread of its own (TTimerThread) or,
// with Threaded off, on a window-system timer of a hidden object. Threaded ticks are handed to
// the GUI thread (SyncEvent on) or run on the worker thread (SyncEvent off, the handler then does
// its own locking). The animation controls play with it.
//
// Configuration happens on the GUI thread. The hand-over of a tick to the GUI thread is a queued
// call that the worker waits for; destroying the timer or quitting the application cancels the
// wait, so neither can deadlock on a tick in flight, and no tick is delivered once the
// application is quitting.

#include "framework/component.h"
#include "framework/definition_target.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace RxTimerTypes {
Q_NAMESPACE
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
Q_ENUM_NS(TThreadPriority)
} // namespace RxTimerTypes
using namespace RxTimerTypes;

class TRxTimer;
class TRxTimerWindow;

// The worker thread of one timer. It is made suspended with the timer and lives until the timer
// goes; the timer resumes it only while it has something to tick.
class TTimerThread {
public:
    explicit TTimerThread(TRxTimer* owner);
    ~TTimerThread(); // tells the thread to terminate and waits for it

    void Suspend();
    // Resumes with a fresh full interval.
    void Resume();
    bool Suspended() const;
    bool Terminated() const;
    void SetInterval(unsigned ms);
    unsigned Interval() const;
    void SetPriority(TThreadPriority priority);
    // True on the worker thread itself.
    bool IsCurrentThread() const;

private:
    struct State;
    void Terminate();
    std::shared_ptr<State> state_;
};

class TRxTimer : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(uint Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(bool SyncEvent READ SyncEvent WRITE SetSyncEvent)
    Q_PROPERTY(bool Threaded READ Threaded WRITE SetThreaded)
    Q_PROPERTY(RxTimerTypes::TThreadPriority ThreadPriority READ ThreadPriority WRITE SetThreadPriority)

public:
    explicit TRxTimer(QObject* AOwner = nullptr);
    ~TRxTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool SyncEvent() const { return syncEvent_; }
    void SetSyncEvent(bool value) { syncEvent_ = value; }
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);

    // The tick handler (sender: the timer). Binding the first handler or removing the last one
    // starts or stops the clock; replacing one handler by another leaves it running.
    TNotifyEvent OnTimer() const;
    void SetOnTimer(TNotifyEvent handler);
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // Calls OnTimer when enabled, bound and not being destroyed.
    void Fire();
    // Runs method on the GUI thread and waits for it; on the GUI thread it runs at once. From
    // another thread nothing runs once the timer is being destroyed or the application quits
    // (false then), so a caller never waits on a GUI thread that will not come back.
    bool RunOnGuiThread(const std::function<void()>& method);

    // For tests and callers that want to know what drives the clock.
    bool ThreadRunning() const;
    bool WindowTimerActive() const;

    // True once the application is quitting; ticks stop then.
    static bool ApplicationTerminating();

private:
    friend class TTimerThread;
    friend class TRxTimerWindow;
    struct PendingCall;

    void Reconfigure();
    void ReleaseWindow();
    bool Idle() const;
    // One tick of the worker thread.
    void ThreadTick();
    void CancelPendingCalls(bool destroying);
    static void WatchApplicationQuit();

    std::atomic<bool> enabled_{true};
    std::atomic<unsigned> interval_{1000};
    std::atomic<bool> syncEvent_{true};
    bool threaded_ = true;
    TThreadPriority priority_ = tpNormal;
    std::atomic<bool> destroying_{false};

    mutable std::mutex handlerLock_;
    TNotifyEvent onTimer_;

    std::mutex pendingLock_;
    std::vector<std::shared_ptr<PendingCall>> pending_;

    std::unique_ptr<TTimerThread> thread_;
    TRxTimerWindow* window_ = nullptr;
};
