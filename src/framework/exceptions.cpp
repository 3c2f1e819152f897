#include "framework/exceptions.h"

#include <QApplication>
#include <QMessageBox>

Exception::Exception(const QString& message)
    : message_(message), utf8_(message.toStdString())
{
}

void Exception::SetMessage(const QString& message)
{
    message_ = message;
    utf8_ = message.toStdString();
}

void RaiseAssertion(const QString& text)
{
    throw EAssertionFailed(text);
}

namespace {
TExceptionDisplay& DisplayHook()
{
    static TExceptionDisplay display;
    return display;
}
} // namespace

QString ExceptionDisplayText(const std::exception& e)
{
    QString text;
    if (auto fe = dynamic_cast<const Exception*>(&e))
        text = fe->Message();
    else
        text = QString::fromUtf8(e.what());
    if (!text.isEmpty() && text.back().unicode() > '.')
        text += QLatin1Char('.');
    return text;
}

void SetExceptionDisplay(TExceptionDisplay display)
{
    DisplayHook() = std::move(display);
}

void ShowException(const std::exception& e)
{
    const QString text = ExceptionDisplayText(e);
    QString title = QGuiApplication::applicationDisplayName();
    if (title.isEmpty())
        title = QCoreApplication::applicationName();
    if (DisplayHook()) {
        DisplayHook()(title, text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(QApplication::activeWindow(), title, text);
    else
        qWarning("%s", qUtf8Printable(text));
}
