#pragma once

// A form placement that also keeps chosen published properties of the form's components
// (StoredProps: "Component.Property" entries) and a list of named values (StoredValues), in the
// placement's section and at the same moments: restored when the form is shown, saved when it
// closes.

#include "controls/storage/form_placement.h"
#include "framework/collection.h"
#include "framework/definition_target.h"

#include <QHash>
#include <QVariant>

class TFormStorage;
class TStoredValue;
class TStringList;
class TStrings;

using TStoredValueEvent = std::function<void(TStoredValue* Sender, QVariant& Value)>;

class TStoredValue : public TCollectionItem {
public:
    explicit TStoredValue(TCollection* collection);

    QString Name() const { return name_; }
    // Raises EStringListError "String list does not allow duplicates" when another item has the
    // name (without regard to case); the name then stays as it was.
    void SetName(const QString& name);
    QVariant Value;
    // When not empty, the value is stored in hex-XOR form with this key.
    QString KeyString;
    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

    QString DisplayName() const override;
    void Assign(TPersistent* source) override;

    virtual void SaveValue();
    virtual void RestoreValue();

    TFormStorage* Storage() const;

private:
    QString name_;
};

class TStoredValues : public TCollection {
public:
    explicit TStoredValues(TFormStorage* storage);

    TFormStorage* Storage() const { return storage_; }
    TStoredValue* Items(int index) const { return static_cast<TStoredValue*>(TCollection::Items(index)); }
    TStoredValue* Add() { return static_cast<TStoredValue*>(TCollection::Add()); }
    int IndexOfName(const QString& name) const;

    virtual void SaveValues();
    virtual void RestoreValues();

private:
    TFormStorage* storage_;
};

class TFormStorage : public TFormPlacement, public TDefinitionTarget {
    Q_OBJECT

public:
    explicit TFormStorage(QObject* AOwner);
    ~TFormStorage() override;

    // Entries carry their component as the associated object. Entries added here at run time
    // must carry it too; entries without one are dropped at the next save or restore.
    TStringList* StoredProps() const { return storedProps_.get(); }
    // Copies the entries.
    void SetStoredProps(TStrings* value);
    TStoredValues* StoredValues() const { return storedValues_.get(); }

    void SavePlacement() override;
    void RestorePlacement() override;
    virtual void SaveStoredProps();
    virtual void RestoreStoredProps();

    // "StoredProps.Strings" of a window definition.
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    // A component bound to an entry is gone: its entries go too (its keys stay in the store).
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    // After the placement's own loading, binds the entries to the form's components.
    void Loaded() override;

private:
    void WatchStoredComponents();

    std::unique_ptr<TStringList> storedProps_;
    QHash<const QObject*, TObject*> watched_;
    std::unique_ptr<TStoredValues> storedValues_;
};
