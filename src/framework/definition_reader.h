#pragma once

// Builds a window from its parsed definition: creates each component through the class
// registry, names it, sets its properties by name, binds its handlers by name to the window's
// methods, resolves references between components, and runs every Loaded hook at the end.
// Anything it cannot do (unknown class, property, value or handler) is an error at load.

#include "framework/definition_parser.h"
#include "framework/types.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class TDefinitionReader;
class TFont;
class TForm;

// Creates a component of a registered class, without owner or parent.
using TComponentFactory = std::function<QObject*()>;

// The class registry. The framework's own classes are registered on first use; other libraries
// register theirs from an init function the program and their tests call.
void RegisterComponentClass(const QString& className, TComponentFactory factory);
template <class T>
void RegisterComponentClass(const char* className)
{
    RegisterComponentClass(QString::fromLatin1(className), [] { return static_cast<QObject*>(new T(nullptr)); });
}
bool IsComponentClassRegistered(const QString& className);
QObject* CreateComponentByClassName(const QString& className);

// Reads a property of a class that does not read it itself (a class of another library, or one
// that is not a TDefinitionTarget). Looked up for the object's class and its bases.
using TPropertyReader = std::function<void(QObject* target, const TDefValue& value, TDefinitionReader& reader)>;
void RegisterPropertyReader(const QMetaObject* cls, const QString& name, TPropertyReader reader);

// Identifiers that stand for integers in definitions (clBtnFace, crHandPoint, mrOk, ...).
void RegisterIntegerIdents(std::initializer_list<std::pair<const char*, qint64>> idents);
bool IdentToInteger(const QString& ident, qint64& value);

// Every window definition compiled into the program (resources ending in ".wdf").
QStringList DefinitionResources();

class TDefinitionReader {
public:
    explicit TDefinitionReader(TForm* root);
    ~TDefinitionReader();

    void ReadRoot(const TDefObject& def);
    TForm* Root() const { return root_; }

    // Value conversions for TDefinitionTarget implementations; each raises the reader's error
    // when the value has the wrong kind.
    qint64 IntegerValue(const TDefValue& v) const;
    double FloatValue(const TDefValue& v) const;
    QString StringValue(const TDefValue& v) const;
    bool BoolValue(const TDefValue& v) const;
    QStringList StringListValue(const TDefValue& v) const;
    // A reference to another component of the window by name, resolved once every component
    // exists. apply returns false when the component has the wrong class.
    void ResolveReference(const TDefValue& v, QObject* from, std::function<bool(QObject*)> apply);
    // An asset path as written in a definition: a Qt resource (":/..."), a resource under ":/",
    // or a file under the program folder.
    QString AssetPath(const QString& path) const;
    // Reads one collection item's properties into target (list columns, status panels).
    void ReadProperties(QObject* target, const std::vector<TDefProperty>& properties);

    [[noreturn]] void Error(const QString& what) const;

    // Font.Name, Font.Height, Font.Size, Font.Style, Font.Color, Font.Charset, Font.Pitch.
    static bool ApplyFontProperty(const QString& field, const TDefValue& v, TFont* font);

private:
    QObject* ReadObject(const TDefObject& def, QObject* parent);
    void ReadProperty(QObject* target, const TDefProperty& p);
    void WriteQtProperty(QObject* target, int index, const TDefProperty& p);
    void ResolveFixups();
    void BindFields();

    struct Fixup {
        QPointer<QObject> from;
        QString name;
        QString property;
        int line;
        std::function<bool(QObject*)> apply;
    };

    TForm* root_;
    std::vector<QPointer<QObject>> created_;
    std::vector<Fixup> fixups_;
    QString contextObject_;
    QString contextProperty_;
    int contextLine_ = 0;
};
