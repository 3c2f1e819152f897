#pragma once

// Published properties as stored text: TPropsStorage turns the properties named in a list of
// "Component.Property" entries into keys "Component_Property" of a section and back, by kind:
// integers, characters, enumerations (bool as False/True), sets, floats, strings, variants,
// 64-bit integers, string lists (QStringList), component references and nested objects.

#include "framework/object.h"

#include <QString>
#include <functional>

class QMetaProperty;
class QObject;
class TForm;
class TStrings;

// "Component.Property" when both are given, else empty.
QString MakeStoredPropName(const QString& componentName, const QString& propertyName);
// The trimmed parts before and after the first "."; false when either is empty.
bool SplitStoredPropName(const QString& entry, QString& componentName, QString& propertyName);
// Binds the entries to root's components (fromForm: entries naming no component are deleted), or
// rewrites them with their components' current names (entries without a living component of
// root are deleted). Walks from the last entry to the first.
void SyncStoredPropList(QObject* root, TStrings* list, bool fromForm);
// The form whose name equals name without regard to case, or null.
TForm* FindFormByName(const QString& name);

class TPropsStorage : public TObject {
public:
    using TReadStringEvent = std::function<QString(const QString& section, const QString& key, const QString& def)>;
    using TWriteStringEvent = std::function<void(const QString& section, const QString& key, const QString& value)>;
    using TEraseSectionEvent = std::function<void(const QString& section)>;

    TPropsStorage() = default;

    QObject* AObject = nullptr; // whose properties are handled
    QString Prefix;
    QString Section;
    TReadStringEvent OnReadString;
    TWriteStringEvent OnWriteString;
    TEraseSectionEvent OnEraseSection;

    void WriteProperties(QObject* root, TStrings* list);
    void ReadProperties(QObject* root, TStrings* list);

    virtual QString ReadKey(const QString& section, const QString& key, const QString& def);
    virtual void WriteKey(const QString& section, const QString& key, const QString& value);
    virtual void ClearSection(const QString& section);
    virtual QString KeyName(const QString& propertyName) const { return Prefix + propertyName; }
    virtual TPropsStorage* NewChild() { return new TPropsStorage; }

    // One property of AObject.
    void WriteProperty(const QMetaProperty& p);
    void ReadProperty(const QMetaProperty& p);

private:
    void WriteObjectProperties(QObject* object, const QString& prefix);
    void ReadObjectProperties(QObject* object, const QString& prefix);

    QObject* root_ = nullptr;
};
