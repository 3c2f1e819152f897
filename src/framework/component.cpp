#include "framework/component.h"

#include "framework/exceptions.h"

#include <QHash>
#include <QMetaProperty>
#include <QPointer>
#include <QSet>

namespace {

struct OwnerEntry {
    QList<QObject*> components;
    bool destroying = false;
};

// Ownership tables. Entries are removed as soon as either side is destroyed, so a pointer found
// here is always alive.
QHash<const QObject*, OwnerEntry>& Owned()
{
    static QHash<const QObject*, OwnerEntry> table;
    return table;
}

QHash<const QObject*, QObject*>& OwnerOf()
{
    static QHash<const QObject*, QObject*> table;
    return table;
}

QSet<const QObject*>& Watched()
{
    static QSet<const QObject*> set;
    return set;
}

void Notify(QObject* target, QObject* component, TOperation op)
{
    if (auto n = dynamic_cast<TFreeNotify*>(target))
        n->Notification(component, op);
}

// Takes component out of its owner's list; tells the owner unless the owner is going away.
void Detach(QObject* component, bool notify)
{
    auto it = OwnerOf().find(component);
    if (it == OwnerOf().end())
        return;
    QObject* owner = it.value();
    OwnerOf().erase(it);
    auto entry = Owned().find(owner);
    if (entry == Owned().end())
        return;
    entry->components.removeOne(component);
    if (notify && !entry->destroying)
        Notify(owner, component, opRemove);
}

void OwnerGone(QObject* owner)
{
    DestroyComponents(owner);
    Owned().remove(owner);
}

void Watch(QObject* object)
{
    if (Watched().contains(object))
        return;
    Watched().insert(object);
    // Whichever side of an ownership goes first, the tables forget it at once.
    QObject::connect(object, &QObject::destroyed, [object] {
        Watched().remove(object);
        Detach(object, true);
        if (Owned().contains(object))
            OwnerGone(object);
    });
}

} // namespace

// --- ownership ---------------------------------------------------------------------------------

void InsertComponent(QObject* owner, QObject* component)
{
    if (!component || owner == component)
        return;
    if (OwnerOf().value(component) == owner)
        return;
    RemoveComponent(ComponentOwner(component), component);
    if (!owner)
        return;
    Watch(owner);
    Watch(component);
    Owned()[owner].components.append(component);
    OwnerOf().insert(component, owner);
    Notify(owner, component, opInsert);
}

void RemoveComponent(QObject* owner, QObject* component)
{
    if (owner && component && OwnerOf().value(component) == owner)
        Detach(component, true);
}

QObject* ComponentOwner(const QObject* component)
{
    return OwnerOf().value(component);
}

int ComponentCount(const QObject* owner)
{
    auto it = Owned().constFind(owner);
    return it == Owned().constEnd() ? 0 : int(it->components.size());
}

QObject* ComponentAt(const QObject* owner, int index)
{
    auto it = Owned().constFind(owner);
    if (it == Owned().constEnd() || index < 0 || index >= it->components.size())
        return nullptr;
    return it->components.at(index);
}

QList<QObject*> OwnedComponents(const QObject* owner)
{
    return Owned().value(owner).components;
}

QObject* FindComponent(const QObject* owner, const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    auto it = Owned().constFind(owner);
    if (it == Owned().constEnd())
        return nullptr;
    for (QObject* c : it->components)
        if (c->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void DestroyComponents(QObject* owner)
{
    auto it = Owned().find(owner);
    if (it == Owned().end())
        return;
    it->destroying = true;
    for (;;) {
        it = Owned().find(owner);
        if (it == Owned().end() || it->components.isEmpty())
            break;
        QObject* c = it->components.last();
        Detach(c, false);
        // A component still parented inside the owner would go with it anyway; deleting it now
        // keeps the framework's order (last owned first) for every component.
        delete c;
    }
}

bool IsValidIdent(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (int i = 0; i < name.size(); ++i) {
        const ushort c = name[i].unicode();
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!(letter || (digit && i > 0)))
            return false;
    }
    return true;
}

void SetComponentName(QObject* component, const QString& name)
{
    if (component->objectName() == name)
        return;
    if (!name.isEmpty() && !IsValidIdent(name))
        throw EComponentError(QString::fromLatin1(FrameworkText::InvalidName).arg(name));
    if (QObject* owner = ComponentOwner(component)) {
        QObject* other = FindComponent(owner, name);
        if (other && other != component)
            throw EComponentError(QString::fromLatin1(FrameworkText::DuplicateName).arg(name));
    }
    component->setObjectName(name);
}

// --- TComponent --------------------------------------------------------------------------------

TComponent::TComponent(QObject* AOwner) : QObject(AOwner)
{
    InsertComponent(AOwner, this);
}

TComponent::~TComponent()
{
    state_ |= csDestroying;
    DestroyComponents(this);
    Owned().remove(this);
    // Tell the owner while this object is still a component.
    Detach(this, true);
}

void TComponent::SetName(const QString& name)
{
    SetComponentName(this, name);
}

QObject* TComponent::Owner() const
{
    return ComponentOwner(this);
}

int TComponent::ComponentCount() const
{
    return ::ComponentCount(this);
}

QObject* TComponent::Components(int index) const
{
    return ComponentAt(this, index);
}

QObject* TComponent::FindComponent(const QString& name) const
{
    return ::FindComponent(this, name);
}

void TComponent::FreeNotification(QObject* AComponent)
{
    if (!AComponent || AComponent == this || watched_.contains(AComponent))
        return;
    watched_.append(AComponent);
    connect(AComponent, &QObject::destroyed, this, [this, AComponent] {
        watched_.removeOne(AComponent);
        Notification(AComponent, opRemove);
    });
}

void TComponent::RemoveFreeNotification(QObject* AComponent)
{
    if (watched_.removeOne(AComponent))
        disconnect(AComponent, &QObject::destroyed, this, nullptr);
}

void TComponent::EndLoading()
{
    state_ &= ~(csLoading | csReading);
    Loaded();
}

void TComponent::Loaded()
{
}

void TComponent::Notification(QObject* AComponent, TOperation Operation)
{
    if (Operation == opRemove)
        RemoveFreeNotification(AComponent);
    if (state_ & csDestroying)
        return;
    for (QObject* c : OwnedComponents(this))
        if (c != AComponent)
            Notify(c, AComponent, Operation);
}

// --- published properties ----------------------------------------------------------------------

int FindPublishedProperty(const QObject* object, const QString& name)
{
    if (!object || name.isEmpty())
        return -1;
    const QMetaObject* mo = object->metaObject();
    const QByteArray latin = name.toLatin1();
    const int exact = mo->indexOfProperty(latin.constData());
    if (exact >= 0)
        return exact;
    for (int i = 0; i < mo->propertyCount(); ++i)
        if (QString::fromLatin1(mo->property(i).name()).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool GetPublishedProperty(const QObject* object, const QString& name, QVariant* value)
{
    const int i = FindPublishedProperty(object, name);
    if (i < 0)
        return false;
    const QMetaProperty p = object->metaObject()->property(i);
    if (!p.isReadable())
        return false;
    if (value)
        *value = p.read(object);
    return true;
}

bool SetPublishedProperty(QObject* object, const QString& name, const QVariant& value)
{
    const int i = FindPublishedProperty(object, name);
    if (i < 0)
        return false;
    const QMetaProperty p = object->metaObject()->property(i);
    if (!p.isWritable())
        return false;
    QVariant v = value;
    if (v.metaType() != p.metaType() && !p.metaType().flags().testFlag(QMetaType::IsEnumeration)
        && p.metaType().id() != QMetaType::QVariant && !v.convert(p.metaType()))
        return false;
    return p.write(object, v);
}

namespace {

// Splits "Component.Property"; the object is root itself for a path without ".".
QObject* ResolvePath(const QObject* root, const QString& path, QString* property)
{
    const int dot = int(path.indexOf(QLatin1Char('.')));
    if (dot < 0) {
        *property = path;
        return const_cast<QObject*>(root);
    }
    *property = path.mid(dot + 1);
    return FindComponent(root, path.left(dot));
}

} // namespace

bool GetPropertyByPath(const QObject* root, const QString& path, QVariant* value)
{
    QString property;
    QObject* target = ResolvePath(root, path, &property);
    return target && GetPublishedProperty(target, property, value);
}

bool SetPropertyByPath(QObject* root, const QString& path, const QVariant& value)
{
    QString property;
    QObject* target = ResolvePath(root, path, &property);
    return target && SetPublishedProperty(target, property, value);
}
