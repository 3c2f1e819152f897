#include "imaging/gif/window_hook.h"

#include "framework/application.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

THookList* g_hookList = nullptr;

class THookReleaseEvent : public QEvent {
public:
    explicit THookReleaseEvent(TControlHook* hook) : QEvent(QEvent::Type(HookMsgRelease)), Hook(hook) {}
    QPointer<TControlHook> Hook;
};

// Events that Qt passes on to the parent when the control leaves them unaccepted. They are
// handed to the control's own handler directly, so that Qt's propagation, which goes on after
// the filter, sees the control's answer once.
bool PropagatesToParent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::StatusTip:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- TRxWindowHook -----------------------------------------------------------------------------

TRxWindowHook::TRxWindowHook(QObject* AOwner) : TComponent(AOwner) {}

TRxWindowHook::~TRxWindowHook()
{
    destroying_ = true;
    SetActive(false);
    SetWinControl(nullptr);
}

void TRxWindowHook::SetActive(bool value)
{
    if (value == active_)
        return;
    if (value)
        Attach();
    else
        Detach();
    active_ = value;
}

void TRxWindowHook::Attach()
{
    if (control_ && !destroying_)
        THookList::Instance()->Get(control_)->Attach(this);
}

void TRxWindowHook::Detach()
{
    if (TControlHook* hook = controlHook_) {
        hook->Detach(this);
        // An emptied control hook goes once control returns to the event loop.
        if (hook->Hooks().isEmpty())
            if (THookList* list = THookList::Instance(false))
                list->PostRelease(hook);
    }
}

TWinControl* TRxWindowHook::WinControl() const
{
    if (controlHook_)
        return qobject_cast<TWinControl*>(controlHook_->Control());
    return control_;
}

void TRxWindowHook::SetWinControl(TWinControl* value)
{
    if (value == control_)
        return;
    const bool wasActive = active_;
    Detach();
    active_ = false;
    if (control_)
        RemoveFreeNotification(control_);
    control_ = value;
    if (value)
        FreeNotification(value);
    if (wasActive)
        SetActive(true);
}

void TRxWindowHook::Notification(QObject* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && (AComponent == control_ || AComponent == Owner() || !Owner()))
        SetWinControl(nullptr);
}

bool TRxWindowHook::BindEvent(const QString& name, const TMethodRef& handler)
{
    return BindEventTo(name, "BeforeMessage", BeforeMessage, handler, "TObject*,TMessage&,bool&")
        || BindEventTo(name, "AfterMessage", AfterMessage, handler, "TObject*,TMessage&,bool&");
}

bool TRxWindowHook::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("IsForm"), Qt::CaseInsensitive) != 0)
        return TDefinitionTarget::ReadDefinitionProperty(name, value, reader);
    isForm_ = reader.BoolValue(value);
    if (isForm_)
        if (auto* form = qobject_cast<TForm*>(Owner()))
            SetWinControl(form);
    return true;
}

void TRxWindowHook::Loaded()
{
    TComponent::Loaded();
    if (isForm_ && !control_)
        if (auto* form = qobject_cast<TForm*>(Owner()))
            SetWinControl(form);
}

// ---- TControlHook ------------------------------------------------------------------------------

TControlHook::TControlHook() = default;

TControlHook::~TControlHook()
{
    destroying_ = true;
    if (g_hookList)
        g_hookList->Remove(this);
    while (!hooks_.isEmpty())
        Detach(hooks_.last());
    SetControl(nullptr);
}

void TControlHook::SetControl(QWidget* control)
{
    if (control == control_)
        return;
    UnhookControl();
    if (destroyedConnection_)
        disconnect(destroyedConnection_);
    control_ = control;
    if (control)
        destroyedConnection_ = connect(control, &QObject::destroyed, this, [this] { ControlDestroyed(); });
    if (!hooks_.isEmpty())
        HookControl();
}

void TControlHook::ControlDestroyed()
{
    // The filter goes with the control; a later control at the same address is a new one.
    installed_ = false;
    control_ = nullptr;
    destroyedConnection_ = {};
}

void TControlHook::HookControl()
{
    if (!control_ || destroying_ || installed_)
        return;
    control_->installEventFilter(this);
    installed_ = true;
}

void TControlHook::UnhookControl()
{
    if (control_ && installed_)
        control_->removeEventFilter(this);
    installed_ = false;
}

void TControlHook::Attach(TRxWindowHook* hook)
{
    if (!hook || hooks_.contains(hook))
        return;
    hooks_.append(hook);
    hook->controlHook_ = this;
    SetControl(hook->control_);
    HookControl();
}

void TControlHook::Detach(TRxWindowHook* hook)
{
    if (!hook)
        return;
    if (hook->controlHook_ == this)
        hook->controlHook_ = nullptr;
    hooks_.removeOne(hook);
    if (hooks_.isEmpty())
        UnhookControl();
}

bool TControlHook::AnyAfterHandler() const
{
    for (TRxWindowHook* h : hooks_)
        if (h->AfterMessage)
            return true;
    return false;
}

// The newest hook hears first; the first hook that handles the message ends the walk. A handler
// may detach hooks or destroy the control, so the walk checks both at every step.
void TControlHook::Walk(bool after, TMessage& msg, bool& handled)
{
    if (destroying_ || !control_ || hooks_.isEmpty())
        return;
    QList<QPointer<TRxWindowHook>> order;
    for (TRxWindowHook* h : hooks_)
        order.append(h);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TRxWindowHook* h = *it;
        if (!h || !hooks_.contains(h))
            continue;
        const THookMessageEvent& event = after ? h->AfterMessage : h->BeforeMessage;
        if (event)
            RunGuarded([&] { event(h, msg, handled); }, h);
        if (handled || destroying_ || !control_)
            break;
    }
}

bool TControlHook::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != control_ || e == redispatched_ || destroying_ || hooks_.isEmpty())
        return false;
    const QEvent::Type type = e->type();
    TMessage msg;
    msg.Msg = unsigned(type);
    msg.Event = e;
    bool handled = false;
    if (type != QEvent::Quit)
        Walk(false, msg, handled);
    // A deferred delete always reaches the control: a hook must not keep it alive.
    const bool alwaysDeliver = type == QEvent::DeferredDelete;
    if (handled && !alwaysDeliver)
        return true;
    if (!AnyAfterHandler())
        return false;

    // Deliver now, so that the after events see the control's answer.
    QPointer<TControlHook> self(this);
    QPointer<QObject> target(watched);
    bool result;
    if (PropagatesToParent(type)) {
        result = watched->event(e);
    } else {
        const QEvent* outer = redispatched_;
        redispatched_ = e;
        result = QCoreApplication::sendEvent(watched, e);
        if (self)
            redispatched_ = outer;
    }
    if (!self)
        return true;
    msg.Result = result ? 1 : 0;
    if (target && control_)
        Walk(true, msg, handled);
    return true;
}

// ---- THookList ---------------------------------------------------------------------------------

THookList* THookList::Instance(bool create)
{
    if (!g_hookList && create) {
        g_hookList = new THookList;
        qAddPostRoutine([] {
            delete g_hookList;
            g_hookList = nullptr;
        });
    }
    return g_hookList;
}

THookList::~THookList()
{
    while (!items_.isEmpty())
        delete items_.takeLast();
    if (g_hookList == this)
        g_hookList = nullptr;
}

TControlHook* THookList::Find(const QWidget* control) const
{
    if (!control)
        return nullptr;
    for (TControlHook* h : items_)
        if (h->Control() == control)
            return h;
    return nullptr;
}

TControlHook* THookList::Get(QWidget* control)
{
    if (TControlHook* h = Find(control))
        return h;
    auto* h = new TControlHook;
    h->SetControl(control);
    items_.append(h);
    return h;
}

void THookList::PostRelease(TControlHook* hook)
{
    QCoreApplication::postEvent(this, new THookReleaseEvent(hook));
}

void THookList::customEvent(QEvent* e)
{
    if (int(e->type()) != HookMsgRelease)
        return QObject::customEvent(e);
    RunGuarded([&] {
        TControlHook* hook = static_cast<THookReleaseEvent*>(e)->Hook;
        if (hook && items_.contains(hook) && hook->Hooks().isEmpty())
            delete hook;
    });
}
