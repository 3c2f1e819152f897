#include "framework/timer.h"

#include "framework/application.h"

#include <QTimer>

TTimer::TTimer(QObject* owner) : TComponent(owner), timer_(new QTimer(this))
{
    connect(timer_, &QTimer::timeout, this, [this] { Timer(); });
}

void TTimer::SetEnabled(bool v)
{
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(int ms)
{
    interval_ = ms;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    // The handler may be assigned after the timer was enabled; a tick without one does nothing.
    timer_->stop();
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
}

void TTimer::Timer()
{
    if (OnTimer)
        RunGuarded([this] { OnTimer(this); }, this);
}

bool TTimer::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnTimer", OnTimer, h, "TObject*");
}
