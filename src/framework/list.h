#pragma once

// The framework's list of untyped pointers; the list owns nothing it holds.

#include "framework/object.h"

#include <functional>
#include <vector>

class TList : public TObject {
public:
    using TListSortCompare = std::function<int(void* item1, void* item2)>;

    ~TList() override;

    int Count() const { return int(items_.size()); }
    // Raises EListError "List count out of bounds (n)" for a negative count; new places are null.
    void SetCount(int count);
    int Capacity() const { return int(items_.capacity()); }
    void SetCapacity(int capacity);

    // Index errors raise EListError "List index out of bounds (n)".
    void* Items(int index) const;
    void* operator[](int index) const { return Items(index); }
    void Put(int index, void* item);
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    // Drops the null entries.
    void Pack();
    void Sort(const TListSortCompare& compare);

private:
    std::vector<void*> items_;
    void CheckIndex(int index) const;
};
