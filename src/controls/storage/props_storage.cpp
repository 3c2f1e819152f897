#include "controls/storage/props_storage.h"

#include "controls/storage/str_utils.h"
#include "framework/application.h"
#include "framework/component.h"
#include "framework/controls.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "framework/sysutils.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QStringList>
#include <memory>

namespace {

const QString kNull = QStringLiteral("(null)");

// Spaces and control characters off both ends.
QString TrimControls(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= ' ')
        ++b;
    while (e > b && s[e - 1].unicode() <= ' ')
        --e;
    return s.mid(b, e - b);
}

QObject* OwnedComponent(QObject* owner, const QString& name)
{
    if (auto form = qobject_cast<TForm*>(owner))
        return form->FindComponent(name);
    return FindComponent(owner, name);
}

QList<QObject*> ComponentsOf(QObject* root)
{
    if (auto form = qobject_cast<TForm*>(root)) {
        QList<QObject*> all = form->Components();
        for (QObject* o : OwnedComponents(form))
            if (!all.contains(o))
                all << o;
        return all;
    }
    return OwnedComponents(root);
}

bool IsComponentClass(const QMetaObject* mo)
{
    return mo && (mo->inherits(&TComponent::staticMetaObject) || mo->inherits(&TControl::staticMetaObject));
}

enum class Kind { None, Integer, Int64, Char, Enum, Bool, Set, Float, String, Variant, StringList, Object };

Kind KindOf(const QMetaProperty& p)
{
    if (p.isFlagType())
        return Kind::Set;
    if (p.isEnumType())
        return Kind::Enum;
    const QMetaType t = p.metaType();
    switch (t.id()) {
    case QMetaType::Bool: return Kind::Bool;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong: return Kind::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return Kind::Int64;
    case QMetaType::QChar:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return Kind::Char;
    case QMetaType::Float:
    case QMetaType::Double: return Kind::Float;
    case QMetaType::QString: return Kind::String;
    case QMetaType::QVariant: return Kind::Variant;
    case QMetaType::QStringList: return Kind::StringList;
    default: break;
    }
    if (t.flags() & QMetaType::PointerToQObject)
        return Kind::Object;
    return Kind::None;
}

// The members of a set are the single-bit values of its enumeration, lowest bit first.
QString SetText(const QMetaEnum& e, uint value)
{
    QStringList names;
    for (int bit = 0; bit < 32; ++bit) {
        const uint mask = 1u << bit;
        if (!(value & mask))
            continue;
        for (int k = 0; k < e.keyCount(); ++k)
            if (uint(e.value(k)) == mask) {
                names << QString::fromLatin1(e.key(k));
                break;
            }
    }
    return QLatin1Char('[') + names.join(QLatin1Char(',')) + QLatin1Char(']');
}

uint SetValue(const QMetaEnum& e, const QString& text)
{
    static const TCharSet delims{' ', ',', '[', ']'};
    uint value = 0;
    for (int n = 1, count = CountWords(text, delims); n <= count; ++n) {
        const QString word = NthWord(n, text, delims);
        for (int k = 0; k < e.keyCount(); ++k) {
            const uint v = uint(e.value(k));
            if (v != 0 && (v & (v - 1)) == 0 && QString::fromLatin1(e.key(k)).compare(word, Qt::CaseInsensitive) == 0) {
                value |= v;
                break;
            }
        }
    }
    return value;
}

// The text of a scalar property's value; empty for class-typed ones.
QString ValueText(QObject* object, const QMetaProperty& p, Kind kind)
{
    const QVariant v = p.read(object);
    switch (kind) {
    case Kind::Integer:
        return QString::number(p.metaType().id() == QMetaType::UInt ? qint32(v.toUInt()) : v.toLongLong());
    case Kind::Int64:
        return QString::number(v.toLongLong());
    case Kind::Char: {
        const QChar c = p.metaType().id() == QMetaType::QChar ? v.toChar() : QChar(uchar(v.toInt()));
        return QString(c);
    }
    case Kind::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Enum: {
        const char* key = p.enumerator().valueToKey(v.toInt());
        return key ? QString::fromLatin1(key) : QString();
    }
    case Kind::Set:
        return SetText(p.enumerator(), uint(v.toInt()));
    case Kind::Float:
        // Always "." whatever the locale says, so the text reads back anywhere.
        return QString::number(v.toDouble(), 'g', p.metaType().id() == QMetaType::Float ? 7 : 15);
    case Kind::String:
    case Kind::Variant:
        return v.toString();
    default:
        return {};
    }
}

void Apply(QObject* object, const QMetaProperty& p, Kind kind, const QString& text)
{
    switch (kind) {
    case Kind::Integer:
        if (p.metaType().id() == QMetaType::UInt)
            p.write(object, QVariant::fromValue(uint(StrToIntDef(text, 0))));
        else
            p.write(object, QVariant(StrToIntDef(text, 0)));
        break;
    case Kind::Int64:
        p.write(object, QVariant::fromValue(qlonglong(StrToInt64Def(text, 0))));
        break;
    case Kind::Char:
        if (!text.isEmpty()) {
            if (p.metaType().id() == QMetaType::QChar)
                p.write(object, QVariant(text[0]));
            else
                p.write(object, QVariant(int(text[0].unicode() & 0xFF)));
        }
        break;
    case Kind::Bool:
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            p.write(object, true);
        else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            p.write(object, false);
        break;
    case Kind::Enum: {
        const QMetaEnum e = p.enumerator();
        for (int k = 0; k < e.keyCount(); ++k)
            if (QString::fromLatin1(e.key(k)).compare(text, Qt::CaseInsensitive) == 0) {
                int value = e.value(k);
                p.write(object, QVariant(p.metaType(), &value));
                break;
            }
        break;
    }
    case Kind::Set: {
        int value = int(SetValue(p.enumerator(), text));
        p.write(object, QVariant(p.metaType(), &value));
        break;
    }
    case Kind::Float: {
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (ok)
            p.write(object, p.metaType().id() == QMetaType::Float ? QVariant(float(d)) : QVariant(d));
        break;
    }
    case Kind::String:
        p.write(object, text);
        break;
    case Kind::Variant:
        p.write(object, QVariant(text));
        break;
    default:
        break;
    }
}

} // namespace

QString MakeStoredPropName(const QString& componentName, const QString& propertyName)
{
    if (componentName.isEmpty() || propertyName.isEmpty())
        return {};
    return componentName + QLatin1Char('.') + propertyName;
}

bool SplitStoredPropName(const QString& entry, QString& componentName, QString& propertyName)
{
    const qsizetype dot = entry.indexOf(QLatin1Char('.'));
    if (entry.isEmpty() || dot < 0)
        return false;
    componentName = entry.left(dot).trimmed();
    propertyName = entry.mid(dot + 1).trimmed();
    return !componentName.isEmpty() && !propertyName.isEmpty();
}

void SyncStoredPropList(QObject* root, TStrings* list, bool fromForm)
{
    if (!list)
        return;
    // Entries hold their components as TObject*; only pointers of living components of root are
    // ever turned back into objects.
    QList<TObject*> living;
    if (root)
        for (QObject* c : ComponentsOf(root))
            if (auto t = dynamic_cast<TObject*>(c))
                living << t;
    for (int i = list->Count() - 1; i >= 0; --i) {
        QString component, property;
        const bool splits = SplitStoredPropName(list->Get(i), component, property);
        if (fromForm) {
            QObject* found = splits && root ? OwnedComponent(root, component) : nullptr;
            if (found && dynamic_cast<TObject*>(found))
                list->PutObject(i, dynamic_cast<TObject*>(found));
            else
                list->Delete(i);
        } else {
            TObject* object = list->GetObject(i);
            if (splits && object && living.contains(object))
                list->Put(i, MakeStoredPropName(dynamic_cast<QObject*>(object)->objectName(), property));
            else
                list->Delete(i);
        }
    }
}

TForm* FindFormByName(const QString& name)
{
    for (TForm* f : Screen->FormList())
        if (f->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

QString TPropsStorage::ReadKey(const QString& section, const QString& key, const QString& def)
{
    return OnReadString ? OnReadString(section, key, def) : QString();
}

void TPropsStorage::WriteKey(const QString& section, const QString& key, const QString& value)
{
    if (OnWriteString)
        OnWriteString(section, key, value);
}

void TPropsStorage::ClearSection(const QString& section)
{
    if (OnEraseSection)
        OnEraseSection(section);
}

void TPropsStorage::WriteProperties(QObject* root, TStrings* list)
{
    SyncStoredPropList(root, list, false);
    root_ = root;
    struct Reset {
        TPropsStorage* s;
        ~Reset() { s->root_ = nullptr; }
    } reset{this};
    for (int i = 0; i < list->Count(); ++i) {
        QString component, property;
        if (!SplitStoredPropName(list->Get(i), component, property))
            continue;
        auto object = dynamic_cast<QObject*>(list->GetObject(i));
        if (!object)
            continue;
        AObject = object;
        Prefix = object->objectName() + QLatin1Char('_');
        const int index = FindPublishedProperty(object, property);
        if (index >= 0)
            WriteProperty(object->metaObject()->property(index));
    }
}

void TPropsStorage::ReadProperties(QObject* root, TStrings* list)
{
    SyncStoredPropList(root, list, false);
    root_ = root;
    struct Reset {
        TPropsStorage* s;
        ~Reset() { s->root_ = nullptr; }
    } reset{this};
    for (int i = 0; i < list->Count(); ++i) {
        QString component, property;
        if (!SplitStoredPropName(list->Get(i), component, property))
            continue;
        auto object = dynamic_cast<QObject*>(list->GetObject(i));
        if (!object)
            continue;
        AObject = object;
        Prefix = object->objectName() + QLatin1Char('_');
        const int index = FindPublishedProperty(object, property);
        if (index >= 0)
            ReadProperty(object->metaObject()->property(index));
    }
}

void TPropsStorage::WriteProperty(const QMetaProperty& p)
{
    if (!AObject || !p.isReadable())
        return;
    const Kind kind = KindOf(p);
    const QString key = KeyName(QString::fromLatin1(p.name()));
    if (kind == Kind::StringList) {
        const QStringList items = p.read(AObject).toStringList();
        const QString listSection = Section + QLatin1Char('.') + key;
        ClearSection(listSection);
        if (!items.isEmpty()) {
            WriteKey(listSection, QStringLiteral("Count"), QString::number(items.size()));
            for (int i = 0; i < items.size(); ++i)
                WriteKey(listSection, QStringLiteral("Item%1").arg(i), items[i]);
        }
        return;
    }
    if (kind == Kind::Object) {
        QObject* value = p.read(AObject).value<QObject*>();
        if (IsComponentClass(p.metaType().metaObject()) || (value && IsComponentClass(value->metaObject()))) {
            QString text = kNull;
            if (value) {
                text = value->objectName();
                QObject* owner = ComponentOwner(value);
                if (owner && owner != root_) {
                    QString ownerName = owner->objectName();
                    if (ownerName.isEmpty()) {
                        ownerName = QString::fromLatin1(owner->metaObject()->className());
                        if (ownerName.startsWith(QLatin1Char('T')) || ownerName.startsWith(QLatin1Char('t')))
                            ownerName.remove(0, 1);
                    }
                    text = ownerName + QLatin1Char('.') + text;
                }
            }
            WriteKey(Section, key, TrimControls(text));
        } else if (value) {
            WriteObjectProperties(value, key);
        }
        return;
    }
    if (kind == Kind::None)
        return;
    const QString text = ValueText(AObject, p, kind);
    if (text.isEmpty() && kind != Kind::String && kind != Kind::Char)
        return;
    WriteKey(Section, key, TrimControls(text));
}

void TPropsStorage::ReadProperty(const QMetaProperty& p)
{
    if (!AObject || !p.isReadable())
        return;
    const Kind kind = KindOf(p);
    const QString key = KeyName(QString::fromLatin1(p.name()));
    // A nested object is read into as it is; every other kind is set.
    if (!p.isWritable() && kind != Kind::Object)
        return;
    if (kind == Kind::StringList) {
        const QString listSection = Section + QLatin1Char('.') + key;
        const int count = StrToIntDef(ReadKey(listSection, QStringLiteral("Count"), QStringLiteral("0")), 0);
        if (count > 0) {
            QStringList items;
            for (int i = 0; i < count; ++i)
                items << ReadKey(listSection, QStringLiteral("Item%1").arg(i), QString());
            p.write(AObject, items);
        }
        return;
    }
    if (kind == Kind::Object) {
        QObject* value = p.read(AObject).value<QObject*>();
        if (IsComponentClass(p.metaType().metaObject()) || (value && IsComponentClass(value->metaObject()))) {
            const QString text = TrimControls(ReadKey(Section, key, QString()));
            if (text.isEmpty())
                return;
            QObject* found = nullptr;
            if (text.compare(kNull, Qt::CaseInsensitive) != 0) {
                const qsizetype dot = text.indexOf(QLatin1Char('.'));
                const QString ownerPart = dot < 0 ? QString() : text.left(dot).trimmed();
                const QString namePart = (dot < 0 ? text : text.mid(dot + 1)).trimmed();
                QObject* owner = dot < 0 ? root_ : FindFormByName(ownerPart);
                if (!owner)
                    return;
                found = OwnedComponent(owner, namePart);
            }
            const QMetaObject* wanted = p.metaType().metaObject();
            if (!p.isWritable() || (found && wanted && !found->metaObject()->inherits(wanted)))
                return;
            p.write(AObject, QVariant(p.metaType(), &found));
        } else if (value) {
            ReadObjectProperties(value, key);
        }
        return;
    }
    if (kind == Kind::None)
        return;
    QString text = ValueText(AObject, p, kind);
    // A variant is read like a string: one that starts empty would otherwise never get back the
    // value stored for it.
    if (!text.isEmpty() || kind == Kind::String || kind == Kind::Char || kind == Kind::Variant)
        text = TrimControls(ReadKey(Section, key, text));
    else
        text.clear();
    Apply(AObject, p, kind, text);
}

void TPropsStorage::WriteObjectProperties(QObject* object, const QString& prefix)
{
    std::unique_ptr<TPropsStorage> child(NewChild());
    child->AObject = object;
    child->Prefix = prefix;
    child->Section = Section;
    child->OnWriteString = OnWriteString;
    child->OnEraseSection = OnEraseSection;
    const QMetaObject* mo = object->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i)
        if (QString::fromLatin1(mo->property(i).name()) != QLatin1String("objectName"))
            child->WriteProperty(mo->property(i));
}

void TPropsStorage::ReadObjectProperties(QObject* object, const QString& prefix)
{
    std::unique_ptr<TPropsStorage> child(NewChild());
    child->AObject = object;
    child->Prefix = prefix;
    child->Section = Section;
    child->OnReadString = OnReadString;
    const QMetaObject* mo = object->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i)
        if (QString::fromLatin1(mo->property(i).name()) != QLatin1String("objectName"))
            child->ReadProperty(mo->property(i));
}
