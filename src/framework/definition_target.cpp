#include "framework/definition_target.h"

#include "framework/exceptions.h"

#include <QMetaObject>

TMethodRef::TMethodRef(QObject* target, int methodIndex) : target_(target), index_(methodIndex) {}

QString TMethodRef::Name() const
{
    if (!target_ || index_ < 0)
        return {};
    return QString::fromLatin1(target_->metaObject()->method(index_).name());
}

QByteArray TMethodRef::Parameters() const
{
    if (!target_ || index_ < 0)
        return {};
    return target_->metaObject()->method(index_).parameterTypes().join(',');
}

void TMethodRef::Call(void** argv) const
{
    // The window may be gone while a component it owned still fires (during its destruction).
    if (!target_ || index_ < 0)
        return;
    QMetaObject::metacall(target_, QMetaObject::InvokeMetaMethod, index_, argv);
}

TDefinitionTarget::~TDefinitionTarget() = default;

bool TDefinitionTarget::ReadDefinitionProperty(const QString&, const TDefValue&, TDefinitionReader&)
{
    return false;
}

bool TDefinitionTarget::BindEvent(const QString&, const TMethodRef&) { return false; }

bool TDefinitionTarget::InsertDefinitionChild(QObject*) { return false; }

void CheckHandlerParameters(const TMethodRef& handler, const char* eventName, const char* params)
{
    QList<QByteArray> wanted = QByteArray(params).split(',');
    for (QByteArray& w : wanted)
        w = QMetaObject::normalizedType(w.trimmed().constData());
    const QByteArray have = handler.Parameters();
    if (wanted.join(',') != have)
        throw EReadError(QStringLiteral("Handler %1(%2) does not fit %3(%4)")
                             .arg(handler.Name(), QString::fromLatin1(have), QString::fromLatin1(eventName),
                                  QString::fromLatin1(wanted.join(','))));
}
