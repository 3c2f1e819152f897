#include "imaging/gif/rx_timer.h"

#include "framework/application.h"
#include "imaging/gif/graphic_utils.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_quitting{false};
std::mutex g_timersLock;
std::vector<TRxTimer*> g_timers;

// A tick handler's error on the worker thread is shown on the GUI thread; a silent abort is not
// an error.
void ReportTickError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [error] { RunGuarded([&] { std::rethrow_exception(error); }); },
                                  Qt::QueuedConnection);
}

int NiceOfPriority(TThreadPriority p)
{
    switch (p) {
    case tpIdle: return 19;
    case tpLowest: return 10;
    case tpLower: return 5;
    case tpNormal: return 0;
    case tpHigher: return -5;
    case tpHighest: return -10;
    case tpTimeCritical: return -20;
    }
    return 0;
}

} // namespace

// ---- TTimerThread ------------------------------------------------------------------------------

struct TTimerThread::State {
    std::mutex m;
    std::condition_variable cv;
    bool suspended = true;
    bool terminated = false;
    unsigned interval = 1000;
    // Raised by every resume, so that a sleep in progress starts over with the new settings.
    uint64_t generation = 0;
    TRxTimer* owner = nullptr;
    TThreadPriority priority = tpNormal;
    bool priorityChanged = false;
    std::thread thread;
    std::thread::id id;
};

// The worker keeps its own reference to the shared state, so that a timer destroyed from its own
// tick on the worker thread can let the thread finish on its own.
TTimerThread::TTimerThread(TRxTimer* owner) : state_(std::make_shared<State>())
{
    state_->owner = owner;
    std::shared_ptr<State> s = state_;
    std::lock_guard lock(s->m);
    s->thread = std::thread([s] {
        std::unique_lock lk(s->m);
        for (;;) {
            s->cv.wait(lk, [&] { return s->terminated || !s->suspended; });
            if (s->terminated)
                break;
            if (s->priorityChanged) {
                s->priorityChanged = false;
                // Best effort: an ordinary user may lower a thread's priority but not raise it.
                setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), NiceOfPriority(s->priority));
            }
            const uint64_t generation = s->generation;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(1u, s->interval));
            if (s->cv.wait_until(lk, deadline,
                                 [&] { return s->terminated || s->suspended || s->generation != generation; }))
                continue;
            TRxTimer* owner = s->owner;
            if (!owner)
                continue;
            lk.unlock();
            owner->ThreadTick(); // may destroy the owner; nothing of it is touched afterwards
            lk.lock();
        }
    });
    s->id = s->thread.get_id();
}

TTimerThread::~TTimerThread() { Terminate(); }

void TTimerThread::Terminate()
{
    {
        std::lock_guard lock(state_->m);
        state_->terminated = true;
        state_->owner = nullptr;
    }
    state_->cv.notify_all();
    if (!state_->thread.joinable())
        return;
    if (std::this_thread::get_id() == state_->id)
        state_->thread.detach();
    else
        state_->thread.join();
}

void TTimerThread::Suspend()
{
    {
        std::lock_guard lock(state_->m);
        state_->suspended = true;
    }
    state_->cv.notify_all();
}

void TTimerThread::Resume()
{
    {
        std::lock_guard lock(state_->m);
        state_->suspended = false;
        ++state_->generation;
    }
    state_->cv.notify_all();
}

bool TTimerThread::Suspended() const
{
    std::lock_guard lock(state_->m);
    return state_->suspended;
}

bool TTimerThread::Terminated() const
{
    std::lock_guard lock(state_->m);
    return state_->terminated;
}

void TTimerThread::SetInterval(unsigned ms)
{
    std::lock_guard lock(state_->m);
    state_->interval = ms;
}

unsigned TTimerThread::Interval() const
{
    std::lock_guard lock(state_->m);
    return state_->interval;
}

void TTimerThread::SetPriority(TThreadPriority priority)
{
    std::lock_guard lock(state_->m);
    if (priority != state_->priority) {
        state_->priority = priority;
        state_->priorityChanged = true;
    }
}

bool TTimerThread::IsCurrentThread() const { return std::this_thread::get_id() == state_->id; }

// ---- The hidden window of window-timer mode ---------------------------------------------------

class TRxTimerWindow : public QObject {
public:
    explicit TRxTimerWindow(TRxTimer* owner) : owner_(owner) {}
    int TimerId = 0;

protected:
    void timerEvent(QTimerEvent* e) override
    {
        if (e->timerId() == TimerId)
            RunGuarded([this] { owner_->Fire(); }, owner_);
    }

private:
    TRxTimer* owner_;
};

// ---- TRxTimer ----------------------------------------------------------------------------------

// A tick handed to the GUI thread: the worker waits until it ran or was cancelled.
struct TRxTimer::PendingCall {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    bool cancelled = false;

    void Finish()
    {
        {
            std::lock_guard lock(m);
            done = true;
        }
        cv.notify_all();
    }
    void Cancel()
    {
        {
            std::lock_guard lock(m);
            cancelled = true;
        }
        cv.notify_all();
    }
    bool Cancelled()
    {
        std::lock_guard lock(m);
        return cancelled;
    }
    bool Wait()
    {
        std::unique_lock lock(m);
        cv.wait(lock, [this] { return done || cancelled; });
        return done;
    }
};

TRxTimer::TRxTimer(QObject* AOwner) : TComponent(AOwner)
{
    thread_ = std::make_unique<TTimerThread>(this);
    WatchApplicationQuit();
    std::lock_guard lock(g_timersLock);
    g_timers.push_back(this);
}

TRxTimer::~TRxTimer()
{
    {
        std::lock_guard lock(g_timersLock);
        g_timers.erase(std::remove(g_timers.begin(), g_timers.end(), this), g_timers.end());
    }
    enabled_ = false;
    {
        std::lock_guard lock(handlerLock_);
        onTimer_ = nullptr;
    }
    CancelPendingCalls(true);
    thread_.reset();
    ReleaseWindow();
}

bool TRxTimer::ApplicationTerminating() { return g_quitting; }

// Ticks stop for good once the application leaves its event loop; waiting workers are let go so
// that nothing waits on a GUI thread that no longer runs queued calls.
void TRxTimer::WatchApplicationQuit()
{
    static std::once_flag once;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    std::call_once(once, [app] {
        QObject::connect(app, &QCoreApplication::aboutToQuit, [] {
            g_quitting = true;
            std::lock_guard lock(g_timersLock);
            for (TRxTimer* t : g_timers)
                t->CancelPendingCalls(false);
        });
    });
}

void TRxTimer::CancelPendingCalls(bool destroying)
{
    std::lock_guard lock(pendingLock_);
    if (destroying)
        destroying_ = true;
    for (auto& call : pending_)
        call->Cancel();
    pending_.clear();
}

void TRxTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    Reconfigure();
}

void TRxTimer::SetInterval(unsigned ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    Reconfigure();
}

void TRxTimer::SetThreaded(bool value)
{
    if (value == threaded_)
        return;
    threaded_ = value;
    Reconfigure();
}

void TRxTimer::SetThreadPriority(TThreadPriority value)
{
    if (value == priority_)
        return;
    priority_ = value;
    if (threaded_)
        Reconfigure();
}

TNotifyEvent TRxTimer::OnTimer() const
{
    std::lock_guard lock(handlerLock_);
    return onTimer_;
}

void TRxTimer::SetOnTimer(TNotifyEvent handler)
{
    bool hadHandler;
    {
        std::lock_guard lock(handlerLock_);
        hadHandler = bool(onTimer_);
        onTimer_ = std::move(handler);
        if (hadHandler == bool(onTimer_))
            return;
    }
    Reconfigure();
}

bool TRxTimer::BindEvent(const QString& name, const TMethodRef& handler)
{
    TNotifyEvent slot;
    if (!BindEventTo(name, "OnTimer", slot, handler, "TObject*"))
        return false;
    SetOnTimer(std::move(slot));
    return true;
}

bool TRxTimer::Idle() const
{
    if (interval_ == 0 || !enabled_ || destroying_)
        return true;
    std::lock_guard lock(handlerLock_);
    return !onTimer_;
}

void TRxTimer::ReleaseWindow()
{
    if (!window_)
        return;
    if (window_->TimerId)
        window_->killTimer(window_->TimerId);
    delete window_;
    window_ = nullptr;
}

void TRxTimer::Reconfigure()
{
    if (threaded_) {
        ReleaseWindow();
        thread_->Suspend();
        thread_->SetInterval(interval_);
        if (!Idle()) {
            thread_->SetPriority(priority_);
            thread_->Resume();
        }
        return;
    }
    thread_->Suspend();
    if (window_) {
        if (window_->TimerId)
            window_->killTimer(window_->TimerId);
        window_->TimerId = 0;
    } else {
        window_ = new TRxTimerWindow(this);
    }
    if (!Idle()) {
        window_->TimerId = window_->startTimer(int(std::min<unsigned>(interval_, INT32_MAX)), Qt::PreciseTimer);
        if (!window_->TimerId)
            throw EOutOfResources(QStringLiteral("Not enough timers available"));
    }
}

bool TRxTimer::ThreadRunning() const { return !thread_->Suspended(); }

bool TRxTimer::WindowTimerActive() const { return window_ && window_->TimerId != 0; }

void TRxTimer::Fire()
{
    if (!enabled_ || destroying_)
        return;
    TNotifyEvent handler = OnTimer();
    if (handler)
        handler(this);
}

bool TRxTimer::RunOnGuiThread(const std::function<void()>& method)
{
    if (QThread::currentThread() == thread()) {
        method();
        return true;
    }
    auto call = std::make_shared<PendingCall>();
    {
        std::lock_guard lock(pendingLock_);
        if (destroying_ || g_quitting || !QCoreApplication::instance())
            return false;
        pending_.push_back(call);
    }
    QMetaObject::invokeMethod(
        this,
        [call, method] {
            // The timer cancels on the GUI thread, so a call that was not cancelled before it
            // runs finds the timer and its owner alive.
            if (call->Cancelled() || Application->Terminated()) {
                call->Cancel();
                return;
            }
            struct Finish {
                PendingCall* c;
                ~Finish() { c->Finish(); }
            } finish{call.get()};
            method();
        },
        Qt::QueuedConnection);
    const bool ran = call->Wait();
    std::lock_guard lock(pendingLock_);
    pending_.erase(std::remove(pending_.begin(), pending_.end(), call), pending_.end());
    return ran;
}

void TRxTimer::ThreadTick()
{
    if (g_quitting || !enabled_ || destroying_)
        return;
    if (syncEvent_) {
        RunOnGuiThread([this] { RunGuarded([this] { Fire(); }, this); });
        return;
    }
    try {
        Fire();
    } catch (...) {
        ReportTickError(std::current_exception());
    }
}
