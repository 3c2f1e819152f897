#include "framework/exceptions.h"

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
