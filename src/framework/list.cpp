#include "framework/list.h"

#include "framework/exceptions.h"

#include <algorithm>

TList::~TList() = default;

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
}

void TList::SetCount(int count)
{
    if (count < 0)
        throw EListError(QString::fromLatin1(FrameworkText::ListCountError).arg(count));
    items_.resize(size_t(count), nullptr);
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListCapacityError).arg(capacity));
    items_.reserve(size_t(capacity));
}

void* TList::Items(int index) const
{
    CheckIndex(index);
    return items_[size_t(index)];
}

void TList::Put(int index, void* item)
{
    CheckIndex(index);
    items_[size_t(index)] = item;
}

int TList::Add(void* item)
{
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void* item)
{
    const int i = IndexOf(item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* item)
{
    return Remove(item) >= 0 ? item : nullptr;
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void TList::Clear()
{
    items_.clear();
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[size_t(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack()
{
    items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(const TListSortCompare& compare)
{
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}
