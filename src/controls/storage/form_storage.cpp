#include "controls/storage/form_storage.h"

#include "controls/storage/placement_store.h"
#include "controls/storage/props_storage.h"
#include "controls/storage/str_utils.h"
#include "framework/definition_reader.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/string_list.h"

// --- TStoredValue ------------------------------------------------------------------------------

TStoredValue::TStoredValue(TCollection* collection) : TCollectionItem(collection) {}

void TStoredValue::SetName(const QString& name)
{
    if (name == name_)
        return;
    if (auto values = dynamic_cast<TStoredValues*>(Collection()); values && !name.isEmpty()) {
        const int other = values->IndexOfName(name);
        if (other >= 0 && values->Items(other) != this)
            throw EStringListError(QString::fromLatin1(FrameworkText::DuplicateString));
    }
    name_ = name;
    Changed(false);
}

QString TStoredValue::DisplayName() const
{
    return name_.isEmpty() ? TCollectionItem::DisplayName() : name_;
}

void TStoredValue::Assign(TPersistent* source)
{
    if (auto other = dynamic_cast<TStoredValue*>(source)) {
        Value = other->Value.isValid() ? other->Value : QVariant();
        SetName(other->Name());
        KeyString = other->KeyString;
        return;
    }
    TCollectionItem::Assign(source);
}

TFormStorage* TStoredValue::Storage() const
{
    auto values = dynamic_cast<TStoredValues*>(Collection());
    return values ? values->Storage() : nullptr;
}

void TStoredValue::SaveValue()
{
    TFormStorage* storage = Storage();
    if (!storage)
        return;
    QVariant copy = Value;
    if (OnSave)
        OnSave(this, copy);
    QString text = copy.toString();
    if (!KeyString.isEmpty())
        text = HexXorEncode(KeyString, text);
    storage->WriteValue(name_, text);
}

void TStoredValue::RestoreValue()
{
    TFormStorage* storage = Storage();
    if (!storage)
        return;
    QString def = Value.toString();
    if (!KeyString.isEmpty())
        def = HexXorEncode(KeyString, def);
    QString text = storage->ReadValue(name_, def);
    if (!KeyString.isEmpty())
        text = HexXorDecode(KeyString, text);
    QVariant restored(text);
    if (OnRestore)
        OnRestore(this, restored);
    Value = restored;
}

// --- TStoredValues -----------------------------------------------------------------------------

TStoredValues::TStoredValues(TFormStorage* storage)
    : TCollection(CollectionItemFactory<TStoredValue>()), storage_(storage)
{
}

int TStoredValues::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TStoredValues::SaveValues()
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->SaveValue();
}

void TStoredValues::RestoreValues()
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->RestoreValue();
}

// --- TFormStorage ------------------------------------------------------------------------------

TFormStorage::TFormStorage(QObject* AOwner)
    : TFormPlacement(AOwner), storedProps_(std::make_unique<TStringList>()),
      storedValues_(std::make_unique<TStoredValues>(this))
{
    // Every component an entry is bound to is watched, so no entry outlives its component.
    storedProps_->OnChange = [this](TObject*) { WatchStoredComponents(); };
}

TFormStorage::~TFormStorage()
{
    storedProps_->OnChange = nullptr;
    storedValues_.reset();
    storedProps_.reset();
}

void TFormStorage::SetStoredProps(TStrings* value)
{
    storedProps_->Assign(value);
    WatchStoredComponents();
}

void TFormStorage::WatchStoredComponents()
{
    for (int i = 0; i < storedProps_->Count(); ++i) {
        TObject* bound = storedProps_->GetObject(i);
        if (auto c = dynamic_cast<QObject*>(bound)) {
            watched_.insert(c, bound);
            FreeNotification(c);
        }
    }
}

void TFormStorage::Notification(QObject* AComponent, TOperation Operation)
{
    TFormPlacement::Notification(AComponent, Operation);
    if (Operation != opRemove || !storedProps_ || (ComponentState() & csDestroying))
        return;
    // The object is half destroyed: it is found by the address recorded while it was whole.
    const auto it = watched_.find(AComponent);
    if (it == watched_.end())
        return;
    TObject* gone = it.value();
    watched_.erase(it);
    for (int i = storedProps_->Count() - 1; i >= 0; --i)
        if (storedProps_->GetObject(i) == gone)
            storedProps_->Delete(i);
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    SyncStoredPropList(Owner(), storedProps_.get(), true);
}

bool TFormStorage::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("StoredProps.Strings"), Qt::CaseInsensitive) == 0) {
        storedProps_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return false;
}

void TFormStorage::SavePlacement()
{
    TFormPlacement::SavePlacement();
    SaveStoredProps();
    storedValues_->SaveValues();
}

void TFormStorage::RestorePlacement()
{
    TFormPlacement::RestorePlacement();
    SetRestored(true);
    RestoreStoredProps();
    storedValues_->RestoreValues();
}

void TFormStorage::SaveStoredProps()
{
    TPropsStorage storage;
    storage.Section = IniSectionInUse();
    storage.OnWriteString = [this](const QString& section, const QString& key, const QString& value) {
        WriteStorageString(section, key, value);
    };
    storage.OnEraseSection = [this](const QString& section) { StoreEraseSection(StoreObject(), section); };
    storage.WriteProperties(Owner(), storedProps_.get());
}

void TFormStorage::RestoreStoredProps()
{
    TPropsStorage storage;
    storage.Section = IniSectionInUse();
    storage.OnReadString = [this](const QString& section, const QString& key, const QString& def) {
        return ReadStorageString(section, key, def);
    };
    try {
        storage.ReadProperties(Owner(), storedProps_.get());
    } catch (const std::exception&) {
        // The form opens with whatever could be read.
    }
}
