#pragma once

// The framework's string lists. TStrings is the abstract list of texts with associated objects
// that every list-holding control exposes (list boxes, memo lines, combo items); TStringList is
// the stand-alone list with sorting, duplicate handling and change events.

#include "framework/object.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    ~TStrings() override;

    virtual int Count() const = 0;
    virtual QString Get(int index) const = 0;
    virtual void Put(int index, const QString& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const QString& s) = 0;
    virtual void InsertObject(int index, const QString& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Adds at the end (sorted lists: at the sorted place) and returns the index.
    virtual int Add(const QString& s);
    virtual int AddObject(const QString& s, TObject* object);
    void Append(const QString& s) { Add(s); }
    void AddStrings(const TStrings* strings);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    QString Strings(int index) const { return Get(index); }
    QString operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }

    // Index of the first entry equal to s; TStrings compares without regard to case.
    virtual int IndexOf(const QString& s) const;
    // Index of the first "name=value" entry whose name part equals name.
    int IndexOfName(const QString& name) const;
    int IndexOfObject(TObject* object) const;

    // The part of entry index before its first "=", empty when it has none.
    QString Names(int index) const;
    // The part after the first "=" of the entry named name, empty when there is none.
    QString Values(const QString& name) const;
    QString ValueFromIndex(int index) const;
    // Replaces the entry's value, adds "name=value" when there is none, deletes the entry when
    // value is empty.
    void SetValue(const QString& name, const QString& value);

    // Entries joined with CR LF (each followed by one); setting splits at CR LF, LF or CR.
    QString Text() const;
    void SetText(const QString& text);
    // Comma-separated entries, quoted with '"' when they hold a blank, control character, comma
    // or quote; setting also splits at blanks outside quotes.
    QString CommaText() const;
    void SetCommaText(const QString& text);

    QStringList ToStringList() const;
    void SetStrings(const QStringList& list);
    bool Equals(const TStrings* other) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // UTF-8 text (a byte-order mark is skipped); saving writes CR LF line ends and replaces the
    // file atomically. Raise EFOpenError / EFCreateError.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream) const;

    void Assign(TPersistent* source) override;

protected:
    // Called with true when the first BeginUpdate starts and false when the last EndUpdate ends.
    virtual void SetUpdateState(bool updating);
    [[noreturn]] void IndexError(int index) const;
    // How IndexOf and the name lookups compare; TStrings ignores case.
    virtual int CompareStrings(const QString& a, const QString& b) const;

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

    TStringList();
    explicit TStringList(const QStringList& list);
    ~TStringList() override;

    int Count() const override { return int(items_.size()); }
    QString Get(int index) const override;
    // Raises EStringListError on a sorted list.
    void Put(int index, const QString& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    // Raises EStringListError on a sorted list.
    void Insert(int index, const QString& s) override;
    void InsertObject(int index, const QString& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    // On a sorted list: the existing index for a duplicate with dupIgnore, EStringListError with
    // dupError.
    int AddObject(const QString& s, TObject* object) override;
    void Exchange(int index1, int index2) override;

    int IndexOf(const QString& s) const override;
    // Binary search of a sorted list: true when found; index is where s is or belongs.
    bool Find(const QString& s, int& index) const;
    void Sort();
    void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(const QString& a, const QString& b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        QString s;
        TObject* object = nullptr;
    };
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;

    void CheckIndex(int index) const;
    void InsertItem(int index, const QString& s, TObject* object);
};
