#pragma once

// The framework's collections: a list of items of one class that the collection creates, owns,
// numbers and notifies about. A collection may have an owner (the component that publishes it).

#include "framework/object.h"

#include <QString>
#include <functional>
#include <vector>

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    // Adds itself to collection (when given).
    explicit TCollectionItem(TCollection* collection);
    // Takes itself out of its collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return collection_; }
    // Moves the item to another collection (or none).
    void SetCollection(TCollection* collection);
    int Index() const;
    // Moves the item inside its collection.
    void SetIndex(int index);
    // A number unique in the collection, kept when items move.
    int ID() const { return id_; }
    // The class name unless a descendant names its items.
    virtual QString DisplayName() const;
    virtual void SetDisplayName(const QString& name);

protected:
    // Tells the collection of a change to this item, or to all items.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection* collection)>;

    explicit TCollection(ItemFactory factory, TPersistent* owner = nullptr);
    // Frees the items.
    ~TCollection() override;

    TPersistent* Owner() const { return owner_; }
    int Count() const { return int(items_.size()); }
    // Raises EListError "List index out of bounds (n)".
    TCollectionItem* Items(int index) const;
    // Assigns value to the item at index.
    void SetItem(int index, TCollectionItem* value);
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;

    // Changes inside an update bracket are reported once, when the bracket closes.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Copies a collection's items: clears this one and adds one item per source item, assigned
    // from it.
    void Assign(TPersistent* source) override;

protected:
    // A change of item, or of every item when item is null. Nothing by default.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    void Changed();

private:
    friend class TCollectionItem;
    ItemFactory factory_;
    TPersistent* owner_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;

    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
};

// The factory for a collection of T items.
template <class T>
TCollection::ItemFactory CollectionItemFactory()
{
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
}
