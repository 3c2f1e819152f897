#include "framework/collection.h"

#include "framework/exceptions.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection)
{
    SetCollection(collection);
}

TCollectionItem::~TCollectionItem()
{
    if (collection_)
        collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection)
{
    if (collection_ == collection)
        return;
    if (collection_)
        collection_->RemoveItem(this);
    if (collection)
        collection->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!collection_)
        return -1;
    auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int index)
{
    const int cur = Index();
    if (cur < 0 || cur == index)
        return;
    auto& items = collection_->items_;
    if (index < 0 || index >= int(items.size()))
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    items.erase(items.begin() + cur);
    items.insert(items.begin() + index, this);
    Changed(true);
}

QString TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const QString&)
{
    Changed(false);
}

void TCollectionItem::Changed(bool allItems)
{
    if (collection_ && collection_->updateCount_ == 0)
        collection_->Update(allItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------

TCollection::TCollection(ItemFactory factory, TPersistent* owner)
    : factory_(std::move(factory)), owner_(owner)
{
}

TCollection::~TCollection()
{
    updateCount_ = 1;
    while (!items_.empty())
        delete items_.back();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[size_t(index)];
}

void TCollection::SetItem(int index, TCollectionItem* value)
{
    Items(index)->Assign(value);
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = factory_(this);
    // A factory that did not pass the collection to the item's constructor still gets it added.
    if (item->collection_ != this)
        item->SetCollection(this);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    BeginUpdate();
    TCollectionItem* item = Add();
    item->SetIndex(index);
    EndUpdate();
    return item;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear()
{
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (TCollectionItem* item : items_)
        if (item->id_ == id)
            return item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++updateCount_;
}

void TCollection::EndUpdate()
{
    if (updateCount_ <= 0)
        return;
    --updateCount_;
    Changed();
}

void TCollection::Assign(TPersistent* source)
{
    if (auto src = dynamic_cast<TCollection*>(source)) {
        if (src == this)
            return;
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* item : src->items_)
                Add()->Assign(item);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TCollection::Update(TCollectionItem*)
{
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification)
{
}

void TCollection::Changed()
{
    if (updateCount_ == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, cnAdded);
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    Changed();
}
