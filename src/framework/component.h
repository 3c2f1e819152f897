#pragma once

// The component model on QObject. A component's name is its objectName; its owner is recorded by
// InsertComponent (TComponent's constructor does it with the QObject parent), and destroying an
// owner destroys every component it still owns, also those whose QObject parent is elsewhere (a
// control owned by a form but placed on a panel). The free functions work on any QObject owner, so
// forms and controls built on QWidget use the same ownership, lookup and property access.
//
// Published properties are Q_PROPERTYs under the framework's names; the helpers at the end get and
// set them by name without regard to case, as the language switcher and the stored-properties
// code do. All of it is used on the GUI thread only.

#include "framework/object.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};

// What an object implements to hear about components: an owner hears of its components being
// inserted and removed, and an object that asked for a free notification hears of that object's
// destruction. The pointer of a removed object is for comparison only: it may be half destroyed.
class TFreeNotify {
public:
    virtual void Notification(QObject* AComponent, TOperation Operation) = 0;

protected:
    ~TFreeNotify() = default;
};

class TComponent : public QObject, public TPersistent, public TFreeNotify {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    explicit TComponent(QObject* AOwner);
    ~TComponent() override;

    QString Name() const { return objectName(); }
    // Raises EComponentError when another component of the owner has the name (without regard to
    // case) or the name is not an identifier; an empty name is allowed.
    virtual void SetName(const QString& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    QObject* Owner() const;
    int ComponentCount() const;
    QObject* Components(int index) const;
    QObject* FindComponent(const QString& name) const;

    // Asks to be told (through Notification with opRemove) when AComponent is destroyed.
    void FreeNotification(QObject* AComponent);
    void RemoveFreeNotification(QObject* AComponent);

    unsigned ComponentState() const { return state_; }
    // The window-definition loader brackets property setting with these; EndLoading calls Loaded.
    void BeginLoading() { state_ |= csLoading | csReading; }
    void EndLoading();

    // An owner forwards the notification to every component it owns, as the framework does.
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    // Called after the definition's properties are set.
    virtual void Loaded();

private:
    int tag_ = 0;
    unsigned state_ = 0;
    QList<QObject*> watched_;
};

// --- ownership for any QObject -----------------------------------------------------------------

// Makes owner own component (taking it from a previous owner); owner null just releases it. The
// QObject parent is left as it is. The owner (when it implements TFreeNotify) hears opInsert.
void InsertComponent(QObject* owner, QObject* component);
// Releases component from owner; the owner and the components it owns hear opRemove.
void RemoveComponent(QObject* owner, QObject* component);
QObject* ComponentOwner(const QObject* component);
int ComponentCount(const QObject* owner);
// The owner's components in the order they were inserted; null for an index out of range.
QObject* ComponentAt(const QObject* owner, int index);
QList<QObject*> OwnedComponents(const QObject* owner);
// The owned component whose name equals name without regard to case; null when none or when the
// name is empty. Components owned by components are not searched.
QObject* FindComponent(const QObject* owner, const QString& name);
// Destroys what owner owns, last inserted first, without notifying them of each other. Owners
// built on QWidget call it first thing in their destructor; it also runs when an owner goes.
void DestroyComponents(QObject* owner);
// Name checks of SetName for any component (raises EComponentError), then setObjectName.
void SetComponentName(QObject* component, const QString& name);
bool IsValidIdent(const QString& name);

// --- published properties by name --------------------------------------------------------------

// Index of the object's Q_PROPERTY named name without regard to case, -1 when none.
int FindPublishedProperty(const QObject* object, const QString& name);
bool GetPublishedProperty(const QObject* object, const QString& name, QVariant* value);
// Sets a writable property, converting the value to the property's type; false when there is no
// such property or the value does not convert.
bool SetPublishedProperty(QObject* object, const QString& name, const QVariant& value);

// "Component.Property" on a window: the component is found among the components root owns, the
// property on it. A path without "." names a property of root itself. A property part holding a
// further "." names no property.
bool GetPropertyByPath(const QObject* root, const QString& path, QVariant* value);
bool SetPropertyByPath(QObject* root, const QString& path, const QVariant& value);
