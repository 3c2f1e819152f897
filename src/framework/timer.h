#pragma once

// The window timer: OnTimer every Interval milliseconds while Enabled, on the GUI thread.

#include "framework/definition_target.h"
#include "framework/object.h"

#include <QObject>

class QTimer;

class TTimer : public QObject, public TPersistent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(QString Name READ objectName WRITE setObjectName)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    explicit TTimer(QObject* owner = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    int Tag() const { return tag_; }
    void SetTag(int t) { tag_ = t; }

    TNotifyEvent OnTimer;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // Runs OnTimer once, as a tick would.
    void Timer();

private:
    void UpdateTimer();
    QTimer* timer_;
    bool enabled_ = true;
    int interval_ = 1000;
    int tag_ = 0;
};
