#include "framework/object.h"

#include "framework/exceptions.h"

#include <QObject>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

TObject::~TObject() = default;

QString TObject::ClassName() const
{
    // A QObject-derived class reports its meta-object name; others their demangled type name.
    if (auto q = dynamic_cast<const QObject*>(this))
        return QString::fromLatin1(q->metaObject()->className());
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status), std::free);
    return status == 0 ? QString::fromLatin1(name.get()) : QString::fromLatin1(typeid(*this).name());
}

void TPersistent::Assign(TPersistent* source)
{
    if (source) {
        source->AssignTo(this);
        return;
    }
    AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    const QString src = ClassName();
    const QString dst = dest ? dest->ClassName() : QStringLiteral("nil");
    // Assigning nil to an object is reported with the source named "nil".
    throw EConvertError(QString::fromLatin1(FrameworkText::AssignError)
                            .arg(dest == this ? QStringLiteral("nil") : src, dst));
}
