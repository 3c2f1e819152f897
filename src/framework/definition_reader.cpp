#include "framework/definition_reader.h"

#include "framework/controls.h"
#include "framework/definition_target.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/graphics.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QMetaProperty>

void RegisterFrameworkClasses(); // framework_classes.cpp

namespace {

struct Registry {
    QHash<QString, TComponentFactory> classes; // keyed by lower-case name
    QHash<QString, TPropertyReader> propertyReaders; // "class.property", lower case
    QHash<QString, qint64> idents;             // keyed by lower-case name
    bool frameworkDone = false;
};

Registry& TheRegistry()
{
    static Registry r;
    return r;
}

void EnsureFrameworkClasses()
{
    Registry& r = TheRegistry();
    if (r.frameworkDone)
        return;
    r.frameworkDone = true;
    RegisterFrameworkClasses();
}

} // namespace

void RegisterComponentClass(const QString& className, TComponentFactory factory)
{
    TheRegistry().classes.insert(className.toLower(), std::move(factory));
}

bool IsComponentClassRegistered(const QString& className)
{
    EnsureFrameworkClasses();
    return TheRegistry().classes.contains(className.toLower());
}

QObject* CreateComponentByClassName(const QString& className)
{
    EnsureFrameworkClasses();
    auto it = TheRegistry().classes.constFind(className.toLower());
    if (it == TheRegistry().classes.constEnd())
        return nullptr;
    return (*it)();
}

void RegisterPropertyReader(const QMetaObject* cls, const QString& name, TPropertyReader reader)
{
    TheRegistry().propertyReaders.insert(QString::fromLatin1(cls->className()).toLower() + QLatin1Char('.') + name.toLower(),
                                         std::move(reader));
}

namespace {

const TPropertyReader* FindPropertyReader(const QMetaObject* mo, const QString& name)
{
    EnsureFrameworkClasses();
    for (; mo; mo = mo->superClass()) {
        auto it = TheRegistry().propertyReaders.constFind(QString::fromLatin1(mo->className()).toLower() + QLatin1Char('.') + name.toLower());
        if (it != TheRegistry().propertyReaders.constEnd())
            return &*it;
    }
    return nullptr;
}

} // namespace

void RegisterIntegerIdents(std::initializer_list<std::pair<const char*, qint64>> idents)
{
    for (const auto& [name, value] : idents)
        TheRegistry().idents.insert(QString::fromLatin1(name).toLower(), value);
}

bool IdentToInteger(const QString& ident, qint64& value)
{
    EnsureFrameworkClasses();
    auto it = TheRegistry().idents.constFind(ident.toLower());
    if (it == TheRegistry().idents.constEnd())
        return false;
    value = *it;
    return true;
}

QStringList DefinitionResources()
{
    QStringList out;
    QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.wdf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

// ---------------------------------------------------------------------------------------------

TDefinitionReader::TDefinitionReader(TForm* root) : root_(root) {}
TDefinitionReader::~TDefinitionReader() = default;

void TDefinitionReader::Error(const QString& what) const
{
    QString where = contextObject_;
    if (!contextProperty_.isEmpty())
        where += QLatin1Char('.') + contextProperty_;
    throw EReadError(QStringLiteral("Error reading %1 (line %2): %3").arg(where).arg(contextLine_).arg(what));
}

void TDefinitionReader::ReadRoot(const TDefObject& def)
{
    contextObject_ = def.Name.isEmpty() ? def.ClassName : def.Name;
    contextLine_ = def.Line;
    if (!def.Name.isEmpty())
        root_->setObjectName(def.Name);
    for (const TDefProperty& p : def.Properties)
        ReadProperty(root_, p);
    for (const TDefObject& child : def.Children)
        ReadObject(child, root_);
    ResolveFixups();
    BindFields();
    // Loaded runs while the form still counts as being built, so no handler fires from it.
    for (const QPointer<QObject>& o : created_) {
        if (!o)
            continue;
        if (auto comp = qobject_cast<TComponent*>(o))
            comp->EndLoading();
        else if (o->metaObject()->indexOfMethod("Loaded()") >= 0)
            QMetaObject::invokeMethod(o, "Loaded", Qt::DirectConnection);
    }
    root_->Loaded();
}

QObject* TDefinitionReader::ReadObject(const TDefObject& def, QObject* parent)
{
    contextObject_ = def.Name.isEmpty() ? def.ClassName : def.Name;
    contextProperty_.clear();
    contextLine_ = def.Line;
    QObject* obj = nullptr;
    if (def.Inherited) {
        obj = root_->FindComponent(def.Name);
        if (!obj)
            Error(QStringLiteral("Ancestor component %1 not found").arg(def.Name));
    } else {
        if (!def.Name.isEmpty() && root_->FindComponent(def.Name))
            Error(QStringLiteral("A component named %1 already exists").arg(def.Name));
        obj = CreateComponentByClassName(def.ClassName);
        if (!obj)
            Error(QStringLiteral("Class %1 not found").arg(def.ClassName));
        if (auto comp = qobject_cast<TComponent*>(obj))
            comp->BeginLoading();
        obj->setObjectName(def.Name);
        InsertComponent(root_, obj);
        auto* target = dynamic_cast<TDefinitionTarget*>(parent);
        if (!(target && target->InsertDefinitionChild(obj))) {
            if (auto c = qobject_cast<TControl*>(obj)) {
                auto pw = qobject_cast<TWinControl*>(parent);
                if (!pw) {
                    delete obj;
                    Error(QStringLiteral("Control %1 has no parent window").arg(def.Name));
                }
                c->SetParent(pw);
            } else {
                obj->setParent(parent);
            }
        }
        created_.push_back(obj);
    }
    for (const TDefProperty& p : def.Properties)
        ReadProperty(obj, p);
    for (const TDefObject& child : def.Children)
        ReadObject(child, obj);
    return obj;
}

void TDefinitionReader::ReadProperties(QObject* target, const std::vector<TDefProperty>& properties)
{
    const QString saveObject = contextObject_;
    for (const TDefProperty& p : properties)
        ReadProperty(target, p);
    contextObject_ = saveObject;
    contextProperty_.clear();
}

namespace {

int FindPropertyIndex(const QMetaObject* mo, const QString& name)
{
    const QByteArray n = name.toLatin1();
    int i = mo->indexOfProperty(n.constData());
    if (i >= 0)
        return i;
    for (int k = 0; k < mo->propertyCount(); ++k)
        if (QString::fromLatin1(mo->property(k).name()).compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

int FindMethodIndex(const QMetaObject* mo, const QString& name)
{
    // The most derived class wins, as its handler is the one the window means.
    for (int k = mo->methodCount() - 1; k >= 0; --k)
        if (QString::fromLatin1(mo->method(k).name()).compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

bool IsEventName(const QString& name)
{
    return name.size() > 2 && name.startsWith(QLatin1String("On")) && name[2].isUpper() && !name.contains(QLatin1Char('.'));
}

} // namespace

void TDefinitionReader::ReadProperty(QObject* target, const TDefProperty& p)
{
    contextProperty_ = p.Name;
    contextLine_ = p.Line;
    auto* dt = dynamic_cast<TDefinitionTarget*>(target);
    if (IsEventName(p.Name) && p.Value.Kind == TDefValue::vkIdent) {
        const int idx = FindMethodIndex(root_->metaObject(), p.Value.Str);
        if (idx < 0)
            Error(QStringLiteral("Method %1 not found in %2").arg(p.Value.Str, QString::fromLatin1(root_->metaObject()->className())));
        try {
            if (!dt || !dt->BindEvent(p.Name, TMethodRef(root_, idx)))
                Error(QStringLiteral("Property %1 does not exist").arg(p.Name));
        } catch (const EReadError& e) {
            if (e.Message().startsWith(QLatin1String("Error reading")))
                throw;
            Error(e.Message());
        }
        return;
    }
    const QMetaObject* mo = target->metaObject();
    if (const TPropertyReader* pr = FindPropertyReader(mo, p.Name)) {
        (*pr)(target, p.Value, *this);
        return;
    }
    if (!p.Name.contains(QLatin1Char('.'))) {
        const int idx = FindPropertyIndex(mo, p.Name);
        if (idx >= 0 && mo->property(idx).isWritable()) {
            WriteQtProperty(target, idx, p);
            return;
        }
    }
    if (dt && dt->ReadDefinitionProperty(p.Name, p.Value, *this))
        return;
    if (const qsizetype dot = p.Name.indexOf(QLatin1Char('.')); dot > 0) {
        // A path through a sub-object published as a QObject pointer (Constraints, ...).
        const int idx = FindPropertyIndex(mo, p.Name.left(dot));
        if (idx >= 0) {
            QObject* sub = mo->property(idx).read(target).value<QObject*>();
            if (sub) {
                TDefProperty rest = p;
                rest.Name = p.Name.mid(dot + 1);
                ReadProperty(sub, rest);
                contextProperty_ = p.Name;
                return;
            }
        }
    }
    Error(QStringLiteral("Property %1 does not exist").arg(p.Name));
}

void TDefinitionReader::WriteQtProperty(QObject* target, int index, const TDefProperty& p)
{
    const QMetaProperty mp = target->metaObject()->property(index);
    const TDefValue& v = p.Value;
    QVariant var;
    if (mp.isEnumType()) {
        const QMetaEnum e = mp.enumerator();
        int value = 0;
        auto keyValue = [&](const QString& key) {
            for (int k = 0; k < e.keyCount(); ++k)
                if (QString::fromLatin1(e.key(k)).compare(key, Qt::CaseInsensitive) == 0)
                    return e.value(k);
            Error(QStringLiteral("Invalid property value %1").arg(key));
        };
        if (mp.isFlagType() && v.Kind == TDefValue::vkSet) {
            for (const QString& item : v.SetItems)
                value |= keyValue(item);
        } else if (!mp.isFlagType() && v.Kind == TDefValue::vkIdent) {
            value = keyValue(v.Str);
        } else if (v.Kind == TDefValue::vkInteger) {
            value = int(v.Int);
        } else {
            Error(QStringLiteral("Invalid property value"));
        }
        var = QVariant(mp.metaType(), &value);
    } else {
        const QMetaType t = mp.metaType();
        switch (t.id()) {
        case QMetaType::Bool:
            var = BoolValue(v);
            break;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::Long:
        case QMetaType::LongLong:
            var = QVariant::fromValue(IntegerValue(v));
            break;
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            var = QVariant::fromValue(quint64(IntegerValue(v)));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            var = FloatValue(v);
            break;
        case QMetaType::QString:
            var = StringValue(v);
            break;
        case QMetaType::QStringList:
            var = StringListValue(v);
            break;
        default:
            if (t.flags() & QMetaType::PointerToQObject) {
                const QMetaObject* wanted = t.metaObject();
                QPointer<QObject> tgt(target);
                ResolveReference(v, target, [tgt, mp, wanted](QObject* found) {
                    if (!tgt || (wanted && !found->metaObject()->inherits(wanted)))
                        return false;
                    QVariant ref(mp.metaType(), &found);
                    return mp.write(tgt, ref);
                });
                return;
            }
            Error(QStringLiteral("Invalid property value"));
        }
        if (!var.convert(t))
            Error(QStringLiteral("Invalid property value"));
    }
    if (!mp.write(target, var))
        Error(QStringLiteral("Invalid property value"));
}

qint64 TDefinitionReader::IntegerValue(const TDefValue& v) const
{
    if (v.Kind == TDefValue::vkInteger)
        return v.Int;
    qint64 value = 0;
    if (v.Kind == TDefValue::vkIdent && IdentToInteger(v.Str, value))
        return value;
    Error(QStringLiteral("Invalid property value %1").arg(v.ToText()));
}

double TDefinitionReader::FloatValue(const TDefValue& v) const
{
    if (v.Kind == TDefValue::vkFloat)
        return v.Float;
    if (v.Kind == TDefValue::vkInteger)
        return double(v.Int);
    Error(QStringLiteral("Invalid property value %1").arg(v.ToText()));
}

QString TDefinitionReader::StringValue(const TDefValue& v) const
{
    if (v.Kind == TDefValue::vkString)
        return v.Str;
    Error(QStringLiteral("String expected"));
}

bool TDefinitionReader::BoolValue(const TDefValue& v) const
{
    if (v.IsIdent("True"))
        return true;
    if (v.IsIdent("False"))
        return false;
    if (v.Kind == TDefValue::vkInteger && (v.Int == 0 || v.Int == 1))
        return v.Int == 1;
    Error(QStringLiteral("Invalid property value %1").arg(v.ToText()));
}

QStringList TDefinitionReader::StringListValue(const TDefValue& v) const
{
    if (v.Kind != TDefValue::vkList)
        Error(QStringLiteral("List expected"));
    QStringList out;
    for (const TDefValue& item : v.Items)
        out << StringValue(item);
    return out;
}

void TDefinitionReader::ResolveReference(const TDefValue& v, QObject* from, std::function<bool(QObject*)> apply)
{
    if (v.Kind != TDefValue::vkIdent)
        Error(QStringLiteral("Identifier expected"));
    if (v.IsIdent("nil"))
        return;
    fixups_.push_back({from, v.Str, contextObject_ + QLatin1Char('.') + contextProperty_, contextLine_, std::move(apply)});
}

void TDefinitionReader::ResolveFixups()
{
    for (Fixup& f : fixups_) {
        contextObject_ = f.property.section(QLatin1Char('.'), 0, 0);
        contextProperty_ = f.property.section(QLatin1Char('.'), 1);
        contextLine_ = f.line;
        if (!f.from)
            continue;
        // "Form.Component" names a component of this window; other windows are not reachable
        // while one is built.
        QString name = f.name;
        if (name.contains(QLatin1Char('.'))) {
            const QString owner = name.section(QLatin1Char('.'), 0, 0);
            if (owner.compare(root_->objectName(), Qt::CaseInsensitive) != 0)
                Error(QStringLiteral("Unresolved reference to %1").arg(name));
            name = name.section(QLatin1Char('.'), 1);
        }
        QObject* found = name.compare(root_->objectName(), Qt::CaseInsensitive) == 0 ? root_ : root_->FindComponent(name);
        if (!found)
            Error(QStringLiteral("Unresolved reference to %1").arg(name));
        if (!f.apply(found))
            Error(QStringLiteral("Invalid property value %1").arg(name));
    }
    fixups_.clear();
}

void TDefinitionReader::BindFields()
{
    // Published fields: a window class may declare `Q_PROPERTY(TButton* Button1 MEMBER Button1)`
    // and gets the component of that name.
    const QMetaObject* mo = root_->metaObject();
    for (int k = TForm::staticMetaObject.propertyCount(); k < mo->propertyCount(); ++k) {
        const QMetaProperty mp = mo->property(k);
        if (!(mp.metaType().flags() & QMetaType::PointerToQObject) || !mp.isWritable())
            continue;
        QObject* found = root_->FindComponent(QString::fromLatin1(mp.name()));
        if (!found)
            continue;
        contextObject_ = root_->objectName();
        contextProperty_ = QString::fromLatin1(mp.name());
        const QMetaObject* wanted = mp.metaType().metaObject();
        if (wanted && !found->metaObject()->inherits(wanted))
            Error(QStringLiteral("Component %1 is a %2, not a %3")
                      .arg(found->objectName(), QString::fromLatin1(found->metaObject()->className()),
                           QString::fromLatin1(wanted->className())));
        QVariant ref(mp.metaType(), &found);
        mp.write(root_, ref);
    }
}

QString TDefinitionReader::AssetPath(const QString& path) const
{
    if (path.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(path))
        return path;
    QString rel = path;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    const QString res = QStringLiteral(":/") + rel;
    if (QFile::exists(res))
        return res;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + rel;
}

bool TDefinitionReader::ApplyFontProperty(const QString& field, const TDefValue& v, TFont* font)
{
    const QString f = field.toLower();
    if (f == QLatin1String("name")) {
        if (v.Kind != TDefValue::vkString)
            return false;
        font->SetName(v.Str);
    } else if (f == QLatin1String("height") || f == QLatin1String("size")) {
        if (v.Kind != TDefValue::vkInteger || v.Int == 0 || v.Int < -1000 || v.Int > 1000)
            return false;
        if (f == QLatin1String("height"))
            font->SetHeight(int(v.Int));
        else
            font->SetSize(int(v.Int));
    } else if (f == QLatin1String("style")) {
        if (v.Kind != TDefValue::vkSet)
            return false;
        TFontStyles style = 0;
        for (const QString& s : v.SetItems) {
            if (s.compare(QLatin1String("fsBold"), Qt::CaseInsensitive) == 0)
                style |= fsBold;
            else if (s.compare(QLatin1String("fsItalic"), Qt::CaseInsensitive) == 0)
                style |= fsItalic;
            else if (s.compare(QLatin1String("fsUnderline"), Qt::CaseInsensitive) == 0)
                style |= fsUnderline;
            else if (s.compare(QLatin1String("fsStrikeOut"), Qt::CaseInsensitive) == 0)
                style |= fsStrikeOut;
            else
                return false;
        }
        font->SetStyle(style);
    } else if (f == QLatin1String("color")) {
        qint64 c = 0;
        if (v.Kind == TDefValue::vkInteger)
            c = v.Int;
        else if (!(v.Kind == TDefValue::vkIdent && IdentToInteger(v.Str, c)))
            return false;
        font->SetColor(TColor(c));
    } else if (f == QLatin1String("charset") || f == QLatin1String("pitch")) {
        // Character sets and pitch have no meaning for the fonts of this platform.
    } else {
        return false;
    }
    return true;
}
