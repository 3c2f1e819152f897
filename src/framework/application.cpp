#include "framework/application.h"

#include "framework/controls.h"
#include "framework/cursors.h"
#include "framework/dialogs.h"
#include "framework/forms.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <exception>

// Both live as long as the process; Qt objects they touch are looked up when used, so they may
// be created before the QApplication.
TApplication* const Application = new TApplication;
TScreen* const Screen = new TScreen;

// ---------------------------------------------------------------------------------------------

void RunGuarded(const std::function<void()>& fn, TObject* sender)
{
    try {
        fn();
    } catch (const Exception& e) {
        Application->HandleException(e, sender);
    } catch (const std::exception& e) {
        Application->HandleException(Exception(QString::fromLocal8Bit(e.what())), sender);
    } catch (...) {
        Application->HandleException(Exception(QStringLiteral("Unknown exception")), sender);
    }
}

// ---------------------------------------------------------------------------------------------

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

QString TApplication::Title() const
{
    if (!title_.isEmpty())
        return title_;
    return QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
}

void TApplication::SetTitle(const QString& t)
{
    title_ = t;
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(t);
}

QString TApplication::ExeName() const
{
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

void TApplication::Terminate()
{
    terminated_ = true;
    // quit() would first ask every window to close, and a form refuses a close it did not run
    // itself (the main form is still inside its own Close here), so the loop would go on.
    if (QCoreApplication::instance())
        QCoreApplication::exit(0);
}

void TApplication::ProcessMessages()
{
    EnsureInstalled();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::FormCreated(TForm* form)
{
    EnsureInstalled();
    if (!mainForm_)
        SetMainForm(form); // forgets the form again when it is destroyed
}

TForm* TApplication::MainForm() const { return mainForm_; }

void TApplication::SetMainForm(TForm* form)
{
    mainForm_ = form;
    if (form)
        connect(form, &QObject::destroyed, this, [this, form] {
            if (mainForm_ == form)
                mainForm_ = nullptr;
        });
}

void TApplication::Run()
{
    EnsureInstalled();
    if (mainForm_)
        mainForm_->Show();
    if (!terminated_)
        QApplication::exec();
    terminated_ = true;
}

void TApplication::Minimize()
{
    for (TForm* f : Screen->FormList())
        if (f->isWindow() && f->isVisible())
            f->showMinimized();
    if (OnMinimize)
        RunGuarded([&] { OnMinimize(this); });
}

void TApplication::Restore()
{
    // A window minimised from maximised comes back maximised.
    for (TForm* f : Screen->FormList())
        if (f->isWindow() && f->isMinimized()) {
            f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
            f->show();
        }
    if (OnRestore)
        RunGuarded([&] { OnRestore(this); });
}

void TApplication::BringToFront()
{
    if (TForm* f = Screen->ActiveForm() ? Screen->ActiveForm() : mainForm_) {
        f->raise();
        f->activateWindow();
    }
}

bool TApplication::Active() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TApplication::HandleException(const Exception& e, TObject* sender)
{
    // An exception raised while one is being shown is shown too, but cannot recurse forever.
    if (inException_) {
        qWarning("%s", qPrintable(e.Message()));
        return;
    }
    inException_ = true;
    try {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (...) {
        qWarning("Exception in the exception handler: %s", qPrintable(e.Message()));
    }
    inException_ = false;
}

void TApplication::ShowException(const Exception& e)
{
    QString msg = e.Message();
    if (!msg.isEmpty() && !msg.endsWith(QLatin1Char('.')))
        msg += QLatin1Char('.');
    MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    return ::MessageBox(text, caption.isEmpty() ? Title() : caption, flags);
}

void TApplication::SetHint(const QString& h)
{
    if (h == hint_)
        return;
    hint_ = h;
    if (OnHint)
        RunGuarded([&] { OnHint(this); });
}

void TApplication::EnsureInstalled()
{
    if (installed_ || !QCoreApplication::instance())
        return;
    installed_ = true;
    QCoreApplication::instance()->installEventFilter(this);
}

bool TApplication::eventFilter(QObject* watched, QEvent* e)
{
    if (!OnMessage || !watched->isWidgetType())
        return false;
    const QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease)
        return false;
    // Qt delivers a key to the focus widget and then to its parents; the handler sees it once.
    auto* w = static_cast<QWidget*>(watched);
    if (w != QApplication::focusWidget() && !w->isWindow())
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const bool alt = k->modifiers() & Qt::AltModifier;
    bool handled = false;
    TMsg msg;
    msg.hwnd = watched;
    msg.lParam = k->isAutoRepeat() ? 0x40000000 : 0;
    RunGuarded([&] {
        const WORD vk = QtKeyToVirtualKey(k->key());
        if (vk != 0) {
            msg.message = t == QEvent::KeyPress ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
            msg.wParam = vk;
            OnMessage(msg, handled);
        }
        const QString text = k->text();
        if (!handled && t == QEvent::KeyPress) {
            QChar ch = text.isEmpty() ? QChar() : text[0];
            // Alt+letter arrives as a system character, as the menu code expects.
            if (alt && ch.isNull() && vk >= 32 && vk < 127)
                ch = QChar(vk).toLower();
            if (!ch.isNull()) {
                msg.message = alt ? WM_SYSCHAR : WM_CHAR;
                msg.wParam = ch.unicode();
                OnMessage(msg, handled);
            }
        }
    });
    return handled;
}

// ---------------------------------------------------------------------------------------------

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Application->EnsureInstalled();
}

bool TQtApplication::notify(QObject* receiver, QEvent* e)
{
    bool result = false;
    RunGuarded([&] { result = QApplication::notify(receiver, e); });
    return result;
}

// ---------------------------------------------------------------------------------------------

TScreen::TScreen() = default;

int TScreen::Width() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

TRect TScreen::WorkAreaRect() const
{
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return {};
    const QRect r = s->availableGeometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

TForm* TScreen::Forms(int index) const
{
    return index >= 0 && index < forms_.size() ? forms_[index] : nullptr;
}

TForm* TScreen::ActiveForm() const
{
    QWidget* w = QApplication::activeWindow();
    if (auto f = qobject_cast<TForm*>(w)) {
        // Inside an MDI frame the active child is the active form.
        if (TForm* child = f->ActiveMDIChild())
            return child;
        return f;
    }
    for (TForm* f : forms_)
        if (f->isActiveWindow())
            return f;
    return nullptr;
}

TControl* TScreen::ActiveControl() const
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto c = qobject_cast<TControl*>(w))
            return c;
    return nullptr;
}

int TScreen::Cursor() const { return ApplicationCursor(); }

void TScreen::SetCursor(int c) { SetApplicationCursor(c); }

QCursor TScreen::Cursors(int index) const { return CursorShape(index); }

void TScreen::SetCursors(int index, const QCursor& cursor) { SetCursorShape(index, cursor); }

void TScreen::AddForm(TForm* f)
{
    if (!forms_.contains(f))
        forms_.append(f);
}

void TScreen::RemoveForm(TForm* f) { forms_.removeAll(f); }
