#pragma once

// Window hooks: TRxWindowHook sees every event of one control before and after the control
// handles it. The hooks of one control share a TControlHook, an event filter on that control;
// the process-wide THookList owns the control hooks and frees an unused one through a posted
// message, so that nothing is freed inside the event handling of the control it watches.
//
// A message here is a Qt event: Msg is its type, Event the event itself, Result what the
// control's handling returned (1 handled, 0 not). GUI thread only.

#include "framework/component.h"
#include "framework/controls.h"
#include "framework/definition_target.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>

class QEvent;
class TControlHook;

struct TMessage {
    unsigned Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
    QEvent* Event = nullptr;
};

using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

// The posted message that frees a control hook once it has no window hooks left.
inline constexpr int HookMsgRelease = 0xB053;

class TRxWindowHook : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(TWinControl* WinControl READ WinControl WRITE SetWinControl)

public:
    explicit TRxWindowHook(QObject* AOwner = nullptr);
    ~TRxWindowHook() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    TWinControl* WinControl() const;
    void SetWinControl(TWinControl* value);
    // The control hook this hook is attached to; null while inactive.
    TControlHook* ControlHook() const { return controlHook_; }

    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    // "IsForm" True hooks the owner when the owner is a form.
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void Loaded() override;

private:
    friend class TControlHook;
    void Attach();
    void Detach();

    bool active_ = true;
    bool destroying_ = false;
    bool isForm_ = false;
    TWinControl* control_ = nullptr;
    TControlHook* controlHook_ = nullptr;
};

// The event filter of one hooked control.
class TControlHook : public QObject {
public:
    TControlHook();
    ~TControlHook() override;

    QWidget* Control() const { return control_; }
    void SetControl(QWidget* control);
    // Installs the filter (once) when there is a control that is not being destroyed.
    void HookControl();
    void UnhookControl();
    bool Hooked() const { return installed_; }
    // Attached window hooks in attachment order.
    const QList<TRxWindowHook*>& Hooks() const { return hooks_; }
    void Attach(TRxWindowHook* hook);
    void Detach(TRxWindowHook* hook);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Walk(bool after, TMessage& msg, bool& handled);
    bool AnyAfterHandler() const;
    void ControlDestroyed();

    QWidget* control_ = nullptr;
    QMetaObject::Connection destroyedConnection_;
    QList<TRxWindowHook*> hooks_;
    bool installed_ = false;
    bool destroying_ = false;
    const QEvent* redispatched_ = nullptr;
};

// Every control hook of the process.
class THookList : public QObject {
public:
    // The list, made on first use (null when create is false and there is none yet); it is
    // freed with the application.
    static THookList* Instance(bool create = true);

    TControlHook* Find(const QWidget* control) const;
    // The control's hook, made when missing.
    TControlHook* Get(QWidget* control);
    bool Contains(const TControlHook* hook) const { return items_.contains(const_cast<TControlHook*>(hook)); }
    int Count() const { return int(items_.size()); }
    void Remove(TControlHook* hook) { items_.removeOne(hook); }
    // Posts HookMsgRelease for the hook.
    void PostRelease(TControlHook* hook);

protected:
    void customEvent(QEvent* e) override;

private:
    THookList() = default;
    ~THookList() override;
    QList<TControlHook*> items_;
};
