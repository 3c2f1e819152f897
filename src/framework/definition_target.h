#pragma once

// What a component offers the definition reader beyond its Q_PROPERTYs: properties that are not
// plain values (Font.Name, Items.Strings, Picture, collections) and its events, which the reader
// binds by name to methods of the window.

#include <QByteArray>
#include <QMetaMethod>
#include <QPointer>
#include <QString>
#include <functional>

struct TDefValue;
class TDefinitionReader;

// A window method found by name (a slot or Q_INVOKABLE of the window class). Calling it passes
// the arguments by address, so reference parameters (bool& CanClose, WORD& Key) work as in C++.
class TMethodRef {
public:
    TMethodRef() = default;
    TMethodRef(QObject* target, int methodIndex);

    QObject* Target() const { return target_; }
    QString Name() const;
    // Normalised parameter types, comma separated: "TObject*,bool&".
    QByteArray Parameters() const;
    // argv[0] is the return slot (unused), argv[1..] point at the arguments.
    void Call(void** argv) const;

private:
    QPointer<QObject> target_;
    int index_ = -1;
};

class TDefinitionTarget {
public:
    virtual ~TDefinitionTarget();
    // Properties that are not Q_PROPERTYs. Returns false when the name is unknown here.
    virtual bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader);
    // Binds handler to the event called name. Returns false when there is no such event; raises
    // EReadError when the handler's parameters do not fit the event.
    virtual bool BindEvent(const QString& name, const TMethodRef& handler);
    // A component nested inside this one in the definition (menu items in a menu, tab sheets
    // in a page control). Returns false to let the reader parent it the usual way.
    virtual bool InsertDefinitionChild(QObject* child);
};

// Throws EReadError naming the handler when its parameters differ from params.
void CheckHandlerParameters(const TMethodRef& handler, const char* eventName, const char* params);

// Makes slot call handler. params lists the event's parameter types as they are written in
// window classes ("TObject*,TMouseButton,TShiftState,int,int").
template <class... A>
bool BindEventTo(const QString& name, const char* eventName, std::function<void(A...)>& slot,
                 const TMethodRef& handler, const char* params)
{
    if (name.compare(QLatin1String(eventName), Qt::CaseInsensitive) != 0)
        return false;
    CheckHandlerParameters(handler, eventName, params);
    slot = [handler](A... args) {
        void* argv[] = {nullptr, const_cast<void*>(static_cast<const void*>(&args))...};
        handler.Call(argv);
    };
    return true;
}
