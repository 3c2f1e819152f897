#pragma once

// Window definitions in text form: a tree of `object Name: TClass ... end` blocks, each with
// `Property = value` lines. The parser only builds the tree; TDefinitionReader turns it into
// components.

#include "framework/exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

BRELNOVA_EXCEPTION(EParserError, Exception)

struct TDefProperty;

// One property value as written: 12, 1.5, 'text', alClient, [akLeft, akTop], ( ... ),
// < item ... end >, { 0A1B }.
struct TDefValue {
    enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkCollection, vkBinary };
    struct TItem {
        std::vector<TDefProperty> Properties;
    };

    TKind Kind = vkInteger;
    qint64 Int = 0;
    double Float = 0;
    QString Str;                  // vkString text or vkIdent name (dots kept: Form1.Menu)
    QStringList SetItems;         // vkSet
    std::vector<TDefValue> Items; // vkList
    std::vector<TItem> CollectionItems;
    QByteArray Binary;

    bool IsIdent(const char* name) const;
    // Short description for error texts: the value as it would be written.
    QString ToText() const;
};

struct TDefProperty {
    QString Name; // may be a path: Font.Name, Items.Strings
    TDefValue Value;
    int Line = 0;
};

struct TDefObject {
    QString Name;
    QString ClassName;
    bool Inherited = false;
    int Line = 0;
    std::vector<TDefProperty> Properties;
    std::vector<TDefObject> Children;

    const TDefProperty* FindProperty(const QString& name) const;
};

// Parses one definition. Raises EParserError ("Line N: ...") on malformed text; never reads past
// the buffer and refuses nesting deeper than a window could sensibly have.
TDefObject ParseDefinition(const QByteArray& text);
