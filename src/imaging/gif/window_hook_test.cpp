#include "imaging/gif/window_hook.h"

#include "framework/application.h"
#include "framework/forms.h"
#include "imaging/gif/gif_controls.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QEvent::Type Probe = QEvent::Type(QEvent::User + 17);

// A control that writes down what reaches its own handler.
class LoggingControl : public TWinControl {
public:
    explicit LoggingControl(QStringList* log, QWidget* parent = nullptr) : TWinControl(parent), log_(log) {}
    bool Pressed = false;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == Probe) {
            log_->append(QStringLiteral("control"));
            return true;
        }
        if (e->type() == QEvent::DeferredDelete)
            log_->append(QStringLiteral("deleted"));
        return TWinControl::event(e);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        Pressed = true;
        e->ignore();
    }

private:
    QStringList* log_;
};

class PressCounter : public TWinControl {
public:
    int Presses = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        ++Presses;
        e->ignore(); // nobody takes it: Qt walks on to the top
    }
};

// A hook that logs its before and after events under its name; it handles Probe in its before
// event when handle is set.
TRxWindowHook* MakeHook(const QString& name, QStringList* log, bool handle = false)
{
    auto* hook = new TRxWindowHook(nullptr);
    hook->BeforeMessage = [=](TObject*, TMessage& msg, bool& handled) {
        if (msg.Msg == unsigned(Probe) || msg.Msg == unsigned(QEvent::DeferredDelete)) {
            log->append(name + QStringLiteral(" before"));
            handled = handle;
        }
    };
    hook->AfterMessage = [=](TObject*, TMessage& msg, bool&) {
        if (msg.Msg == unsigned(Probe))
            log->append(name + QStringLiteral(" after ") + QString::number(msg.Result));
    };
    return hook;
}

void SendProbe(QObject* to)
{
    QEvent e(Probe);
    QCoreApplication::sendEvent(to, &e);
}

void ProcessPosted() { QCoreApplication::sendPostedEvents(); }

} // namespace

TEST(RxWindowHook, NewestHookHearsFirstAndAfterEventsFollowTheControl)
{
    QStringList log;
    LoggingControl control(&log);
    std::unique_ptr<TRxWindowHook> first(MakeHook("first", &log));
    std::unique_ptr<TRxWindowHook> second(MakeHook("second", &log));
    EXPECT_TRUE(first->Active());
    first->SetWinControl(&control);
    second->SetWinControl(&control);
    ASSERT_EQ(first->ControlHook(), second->ControlHook()) << "one control hook per control";
    SendProbe(&control);
    EXPECT_EQ(log, (QStringList{"second before", "first before", "control", "second after 1", "first after 1"}));

    log.clear();
    second->SetActive(false);
    EXPECT_EQ(second->WinControl(), &control);
    SendProbe(&control);
    EXPECT_EQ(log, (QStringList{"first before", "control", "first after 1"}));

    // Without a control the hook stays active and hears nothing.
    log.clear();
    first->SetWinControl(nullptr);
    EXPECT_TRUE(first->Active());
    SendProbe(&control);
    EXPECT_EQ(log, QStringList{"control"});
}

TEST(RxWindowHook, AHandledMessageStopsTheWalkExceptADeferredDelete)
{
    QStringList log;
    auto* control = new LoggingControl(&log);
    std::unique_ptr<TRxWindowHook> first(MakeHook("first", &log));
    std::unique_ptr<TRxWindowHook> second(MakeHook("second", &log, true));
    first->SetWinControl(control);
    second->SetWinControl(control);
    SendProbe(control);
    EXPECT_EQ(log, QStringList{"second before"});

    // A hook cannot keep the control alive; the hooks survive it and lose their control.
    log.clear();
    control->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(log, (QStringList{"second before", "deleted"}));
    EXPECT_EQ(first->WinControl(), nullptr);
    EXPECT_EQ(second->WinControl(), nullptr);
    EXPECT_TRUE(first->Active());
}

TEST(RxWindowHook, ControlDestructionFreesTheControlHookThroughThePostedMessage)
{
    QStringList log;
    auto* control = new LoggingControl(&log);
    std::unique_ptr<TRxWindowHook> hook(MakeHook("hook", &log));
    hook->SetWinControl(control);
    THookList* list = THookList::Instance();
    ProcessPosted(); // releases left by earlier tests
    const int before = list->Count();
    QPointer<TControlHook> controlHook = hook->ControlHook();
    ASSERT_TRUE(controlHook);
    delete control;
    EXPECT_EQ(hook->WinControl(), nullptr);
    EXPECT_TRUE(controlHook) << "not freed inside the destruction";
    ProcessPosted();
    EXPECT_FALSE(controlHook);
    EXPECT_EQ(list->Count(), before - 1);

    // The hook works on the next control.
    LoggingControl next(&log);
    hook->SetWinControl(&next);
    log.clear();
    SendProbe(&next);
    EXPECT_EQ(log, (QStringList{"hook before", "control", "hook after 1"}));
}

TEST(RxWindowHook, MovingToAnotherControlReleasesTheOldControlHook)
{
    QStringList log;
    LoggingControl a(&log), b(&log);
    std::unique_ptr<TRxWindowHook> hook(MakeHook("hook", &log));
    hook->SetWinControl(&a);
    THookList* list = THookList::Instance();
    ASSERT_NE(list->Find(&a), nullptr);
    hook->SetWinControl(&b);
    EXPECT_EQ(hook->WinControl(), &b);
    EXPECT_FALSE(list->Find(&a)->Hooked());
    ProcessPosted();
    EXPECT_EQ(list->Find(&a), nullptr);
    log.clear();
    SendProbe(&a);
    SendProbe(&b);
    EXPECT_EQ(log, (QStringList{"control", "hook before", "control", "hook after 1"}));
}

TEST(RxWindowHook, ErrorsInHandlersGoToTheApplicationAndTheWalkGoesOn)
{
    QStringList log;
    QStringList errors;
    Application->OnException = [&](TObject*, const Exception& e) { errors.append(e.Message()); };
    LoggingControl control(&log);
    std::unique_ptr<TRxWindowHook> first(MakeHook("first", &log));
    std::unique_ptr<TRxWindowHook> thrower(new TRxWindowHook(nullptr));
    thrower->BeforeMessage = [](TObject*, TMessage& msg, bool&) {
        if (msg.Msg == unsigned(Probe))
            throw EConvertError(QStringLiteral("hook failed"));
    };
    first->SetWinControl(&control);
    thrower->SetWinControl(&control);
    SendProbe(&control);
    Application->OnException = nullptr;
    EXPECT_EQ(errors, QStringList{"hook failed"});
    EXPECT_EQ(log, (QStringList{"first before", "control", "first after 1"}));
}

// An after hook makes the filter hand the event to the control itself; Qt's passing of an
// ignored mouse press to the parent must still happen exactly once.
TEST(RxWindowHook, IgnoredInputReachesTheParentOnce)
{
    QStringList log;
    PressCounter parent;
    parent.resize(100, 100);
    auto* child = new LoggingControl(&log, &parent);
    child->setGeometry(10, 10, 50, 50);
    parent.show();
    std::unique_ptr<TRxWindowHook> hook(new TRxWindowHook(nullptr));
    int afterPresses = 0;
    hook->AfterMessage = [&](TObject*, TMessage& msg, bool&) {
        if (msg.Msg == unsigned(QEvent::MouseButtonPress))
            ++afterPresses;
    };
    hook->SetWinControl(child);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(15, 15), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(child, &press);
    EXPECT_TRUE(child->Pressed);
    EXPECT_EQ(afterPresses, 1);
    EXPECT_EQ(parent.Presses, 1);
}

TEST(RxWindowHook, ReCreatedNativeWindowKeepsTheHook)
{
    QStringList log;
    LoggingControl control(&log);
    control.show();
    (void)control.winId();
    std::unique_ptr<TRxWindowHook> hook(MakeHook("hook", &log));
    hook->SetWinControl(&control);
    // Changing the window flags makes a new native window.
    control.setWindowFlags(control.windowFlags() | Qt::Tool);
    control.show();
    (void)control.winId();
    ProcessPosted();
    log.clear();
    SendProbe(&control);
    EXPECT_EQ(log, (QStringList{"hook before", "control", "hook after 1"}));
}

TEST(RxWindowHook, IsFormInADefinitionHooksTheOwningForm)
{
    RegisterGifControlClasses();
    TForm form;
    form.LoadDefinitionText(R"(object HookForm: TForm
  Width = 120
  Height = 80
  object Hook1: TRxWindowHook
    IsForm = True
  end
end
)");
    auto* hook = qobject_cast<TRxWindowHook*>(FindComponent(&form, QStringLiteral("Hook1")));
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(hook->WinControl(), &form);
    EXPECT_TRUE(hook->ControlHook() && hook->ControlHook()->Hooked());
}
