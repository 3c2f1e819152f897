#include "imaging/gif/rx_timer.h"

#include "framework/application.h"
#include "imaging/gif/graphic_utils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Processes events until cond holds or ms pass.
bool WaitFor(const std::function<bool()>& cond, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void Pump(int ms)
{
    WaitFor([] { return false; }, ms);
}

void SleepWithoutEvents(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct ExceptionCatcher {
    ExceptionCatcher()
    {
        Application->OnException = [this](TObject*, const Exception& e) {
            ++count;
            message = e.Message();
        };
    }
    ~ExceptionCatcher() { Application->OnException = nullptr; }
    std::atomic<int> count{0};
    QString message;
};

} // namespace

TEST(RxTimer, DefaultsAndIdleStates)
{
    TRxTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.SyncEvent());
    EXPECT_TRUE(timer.Threaded());
    EXPECT_EQ(timer.ThreadPriority(), tpNormal);
    // Without a handler the thread stays suspended.
    EXPECT_FALSE(timer.ThreadRunning());

    std::atomic<int> ticks{0};
    timer.SetInterval(0);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_FALSE(timer.ThreadRunning()) << "interval 0 never ticks";
    timer.SetInterval(5);
    EXPECT_TRUE(timer.ThreadRunning());
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.ThreadRunning());
    Pump(60);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    timer.SetOnTimer(nullptr);
    EXPECT_FALSE(timer.ThreadRunning());
}

TEST(RxTimer, ThreadedTicksRunOnTheGuiThreadWithTheTimerAsSender)
{
    TRxTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    bool onGui = true;
    TObject* sender = nullptr;
    timer.SetOnTimer([&](TObject* s) {
        ++ticks;
        onGui = onGui && QThread::currentThread() == qApp->thread();
        sender = s;
    });
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    EXPECT_TRUE(onGui);
    EXPECT_EQ(sender, &timer);
}

TEST(RxTimer, IntervalChangeWhileRunningTakesEffect)
{
    TRxTimer timer(nullptr);
    timer.SetInterval(100000);
    std::atomic<int> ticks{0};
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    Pump(50);
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(5);
    EXPECT_TRUE(WaitFor([&] { return ticks >= 2; }));
}

TEST(RxTimer, ReplacingTheHandlerDoesNotRestartTheClock)
{
    TRxTimer timer(nullptr);
    timer.SetInterval(150);
    std::atomic<int> first{0}, second{0};
    timer.SetOnTimer([&](TObject*) { ++first; });
    // A reconfiguration restarts the sleep; swapping handlers every 30 ms would then starve it.
    QElapsedTimer t;
    t.start();
    bool useSecond = false;
    while (t.elapsed() < 600) {
        useSecond = !useSecond;
        if (useSecond)
            timer.SetOnTimer([&](TObject*) { ++second; });
        else
            timer.SetOnTimer([&](TObject*) { ++first; });
        Pump(30);
    }
    EXPECT_GE(first + second, 2);
}

TEST(RxTimer, WindowTimerModeAndBack)
{
    TRxTimer timer(nullptr);
    timer.SetInterval(10);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_TRUE(timer.ThreadRunning());
    timer.SetThreaded(false);
    EXPECT_FALSE(timer.ThreadRunning());
    EXPECT_TRUE(timer.WindowTimerActive());
    ASSERT_TRUE(WaitFor([&] { return ticks >= 2; }));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.WindowTimerActive());
    timer.SetEnabled(true);
    timer.SetThreaded(true);
    EXPECT_FALSE(timer.WindowTimerActive());
    EXPECT_TRUE(timer.ThreadRunning());
    const int before = ticks;
    EXPECT_TRUE(WaitFor([&] { return ticks >= before + 2; }));
}

TEST(RxTimer, WindowTimerErrorsGoToTheApplication)
{
    ExceptionCatcher catcher;
    TRxTimer timer(nullptr);
    timer.SetThreaded(false);
    timer.SetInterval(5);
    timer.SetOnTimer([](TObject*) { throw EConvertError(QStringLiteral("bad tick")); });
    ASSERT_TRUE(WaitFor([&] { return catcher.count > 0; }));
    EXPECT_EQ(catcher.message, QStringLiteral("bad tick"));
}

TEST(RxTimer, UnsynchronisedTicksRunOnTheWorkerAndReportErrorsOnTheGuiThread)
{
    ExceptionCatcher catcher;
    TRxTimer timer(nullptr);
    timer.SetSyncEvent(false);
    timer.SetInterval(5);
    std::atomic<int> ticks{0};
    std::atomic<bool> offGui{true};
    timer.SetOnTimer([&](TObject*) {
        offGui = offGui && QThread::currentThread() != qApp->thread();
        if (++ticks == 1)
            throw EAbort(QString()); // silent
        if (ticks == 2)
            throw EConvertError(QStringLiteral("worker tick"));
    });
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3 && catcher.count > 0; }));
    timer.SetEnabled(false);
    EXPECT_TRUE(offGui);
    Pump(20);
    EXPECT_EQ(catcher.count, 1);
    EXPECT_EQ(catcher.message, QStringLiteral("worker tick"));
}

// The worker hands a tick to the GUI thread and waits; the GUI thread destroys the timer before
// it processes the queued tick. Neither side may wait for the other, and the tick must not run.
TEST(RxTimer, DestructionWhileATickIsQueued)
{
    for (int round = 0; round < 40; ++round) {
        std::atomic<int> ticks{0};
        auto* timer = new TRxTimer(nullptr);
        timer->SetInterval(1);
        timer->SetOnTimer([&](TObject*) { ++ticks; });
        SleepWithoutEvents(5); // the worker is now waiting for the GUI thread
        delete timer;
        Pump(5);
        EXPECT_EQ(ticks, 0);
    }
}

TEST(RxTimer, DestructionFromItsOwnTickAndFromAWaitingWorker)
{
    // Destroyed inside its own handler on the GUI thread.
    for (int round = 0; round < 20; ++round) {
        auto* timer = new TRxTimer(nullptr);
        timer->SetInterval(1);
        bool gone = false;
        timer->SetOnTimer([&](TObject* sender) {
            delete dynamic_cast<TRxTimer*>(sender);
            gone = true;
        });
        ASSERT_TRUE(WaitFor([&] { return gone; }));
    }
    // An unsynchronised tick that hands work to the GUI thread is let go by the destruction.
    for (int round = 0; round < 20; ++round) {
        auto* timer = new TRxTimer(nullptr);
        timer->SetSyncEvent(false);
        timer->SetInterval(1);
        std::atomic<int> handed{0}, refused{0};
        timer->SetOnTimer([&, timer](TObject*) {
            if (timer->RunOnGuiThread([&] { ++handed; }))
                return;
            ++refused;
        });
        SleepWithoutEvents(5);
        delete timer;
        EXPECT_EQ(handed, 0);
    }
}

TEST(RxTimer, RunOnGuiThreadFromTheGuiThreadRunsAtOnce)
{
    TRxTimer timer(nullptr);
    int ran = 0;
    EXPECT_TRUE(timer.RunOnGuiThread([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
}

TEST(RxTimer, PrioritySurvivesAndStillTicks)
{
    TRxTimer timer(nullptr);
    timer.SetThreadPriority(tpLower);
    timer.SetInterval(5);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_TRUE(WaitFor([&] { return ticks >= 2; }));
    EXPECT_EQ(timer.ThreadPriority(), tpLower);
}
