#pragma once

// The window timer: OnTimer every Interval milliseconds while Enabled, on the GUI thread.

#include "framework/component.h"
#include "framework/definition_target.h"

class QTimer;

class TTimer : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)

public:
    explicit TTimer(QObject* owner = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int Interval() const { return interval_; }
    void SetInterval(int ms);

    TNotifyEvent OnTimer;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // Runs OnTimer once, as a tick would.
    void Timer();

private:
    void UpdateTimer();
    QTimer* timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};
