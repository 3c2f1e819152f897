#include "framework/string_list.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "framework/sysutils.h"

#include <algorithm>

TStrings::~TStrings() = default;

void TStrings::Put(int index, const QString& s)
{
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*)
{
}

void TStrings::InsertObject(int index, const QString& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

int TStrings::Add(const QString& s)
{
    return AddObject(s, nullptr);
}

int TStrings::AddObject(const QString& s, TObject* object)
{
    const int index = Count();
    InsertObject(index, s, object);
    return index;
}

void TStrings::AddStrings(const TStrings* strings)
{
    if (!strings)
        return;
    BeginUpdate();
    for (int i = 0; i < strings->Count(); ++i)
        AddObject(strings->Get(i), strings->GetObject(i));
    EndUpdate();
}

void TStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    const QString s1 = Get(index1);
    TObject* o1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s1);
    PutObject(index2, o1);
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    BeginUpdate();
    const QString s = Get(curIndex);
    TObject* o = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, o);
    EndUpdate();
}

int TStrings::CompareStrings(const QString& a, const QString& b) const
{
    return AnsiCompareText(a, b);
}

int TStrings::IndexOf(const QString& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const QString s = Get(i);
        const int eq = int(s.indexOf(QLatin1Char('=')));
        if (eq >= 0 && CompareStrings(s.left(eq), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

QString TStrings::Names(int index) const
{
    const QString s = Get(index);
    const int eq = int(s.indexOf(QLatin1Char('=')));
    return eq >= 0 ? s.left(eq) : QString();
}

QString TStrings::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i >= 0 ? ValueFromIndex(i) : QString();
}

QString TStrings::ValueFromIndex(int index) const
{
    const QString s = Get(index);
    const int eq = int(s.indexOf(QLatin1Char('=')));
    return eq >= 0 ? s.mid(eq + 1) : QString();
}

void TStrings::SetValue(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (!value.isEmpty()) {
        if (i < 0)
            Add(name + QLatin1Char('=') + value);
        else
            Put(i, name + QLatin1Char('=') + value);
    } else if (i >= 0) {
        Delete(i);
    }
}

QString TStrings::Text() const
{
    QString out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += QLatin1String("\r\n");
    }
    return out;
}

void TStrings::SetText(const QString& text)
{
    BeginUpdate();
    Clear();
    int start = 0;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            Add(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = ++i;
            continue;
        }
        ++i;
    }
    if (start < n)
        Add(text.mid(start));
    EndUpdate();
}

QString TStrings::CommaText() const
{
    if (Count() == 1 && Get(0).isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (int i = 0; i < Count(); ++i) {
        QString s = Get(i);
        bool quote = false;
        for (QChar c : s)
            if (c.unicode() <= ' ' || c == QLatin1Char('"') || c == QLatin1Char(','))
                quote = true;
        if (quote) {
            s.replace(QLatin1Char('"'), QLatin1String("\"\""));
            s = QLatin1Char('"') + s + QLatin1Char('"');
        }
        if (i)
            out += QLatin1Char(',');
        out += s;
    }
    return out;
}

void TStrings::SetCommaText(const QString& text)
{
    BeginUpdate();
    Clear();
    const int n = int(text.size());
    auto blank = [&](int p) { return p < n && text[p].unicode() >= 1 && text[p].unicode() <= ' '; };
    int p = 0;
    while (blank(p))
        ++p;
    while (p < n) {
        QString s;
        if (text[p] == QLatin1Char('"')) {
            ++p;
            while (p < n) {
                if (text[p] == QLatin1Char('"')) {
                    if (p + 1 < n && text[p + 1] == QLatin1Char('"')) {
                        s += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += text[p++];
            }
        } else {
            const int start = p;
            while (p < n && text[p].unicode() > ' ' && text[p] != QLatin1Char(','))
                ++p;
            s = text.mid(start, p - start);
        }
        Add(s);
        while (blank(p))
            ++p;
        if (p < n && text[p] == QLatin1Char(',')) {
            do
                ++p;
            while (blank(p));
        }
    }
    EndUpdate();
}

QStringList TStrings::ToStringList() const
{
    QStringList out;
    out.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        out << Get(i);
    return out;
}

void TStrings::SetStrings(const QStringList& list)
{
    BeginUpdate();
    Clear();
    for (const QString& s : list)
        Add(s);
    EndUpdate();
}

bool TStrings::Equals(const TStrings* other) const
{
    if (!other || other->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other->Get(i))
            return false;
    return true;
}

void TStrings::BeginUpdate()
{
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate()
{
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool)
{
}

void TStrings::LoadFromFile(const QString& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TStrings::SaveToFile(const QString& fileName) const
{
    TMemoryStream m;
    SaveToStream(&m);
    m.SaveToFile(fileName);
}

void TStrings::LoadFromStream(TStream* stream)
{
    QByteArray bytes = stream->ReadAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    SetText(QString::fromUtf8(bytes));
}

void TStrings::SaveToStream(TStream* stream) const
{
    const QByteArray bytes = Text().toUtf8();
    stream->WriteBuffer(bytes.constData(), bytes.size());
}

void TStrings::Assign(TPersistent* source)
{
    if (auto src = dynamic_cast<TStrings*>(source)) {
        if (src == this)
            return;
        BeginUpdate();
        Clear();
        AddStrings(src);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::IndexError(int index) const
{
    throw EStringListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
}

// --- TStringList -------------------------------------------------------------------------------

TStringList::TStringList() = default;

TStringList::TStringList(const QStringList& list)
{
    for (const QString& s : list)
        items_.push_back({s, nullptr});
}

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
}

QString TStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[size_t(index)].s;
}

void TStringList::Put(int index, const QString& s)
{
    if (sorted_)
        throw EStringListError(QString::fromLatin1(FrameworkText::SortedListError));
    CheckIndex(index);
    Changing();
    items_[size_t(index)].s = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return items_[size_t(index)].object;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    items_[size_t(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const QString& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const QString& s, TObject* object)
{
    if (sorted_)
        throw EStringListError(QString::fromLatin1(FrameworkText::SortedListError));
    if (index < 0 || index > Count())
        IndexError(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const QString& s, TObject* object)
{
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::AddObject(const QString& s, TObject* object)
{
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == dupIgnore)
            return index;
        if (duplicates_ == dupError)
            throw EStringListError(QString::fromLatin1(FrameworkText::DuplicateString));
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[size_t(index1)], items_[size_t(index2)]);
    Changed();
}

int TStringList::CompareStrings(const QString& a, const QString& b) const
{
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(const QString& s) const
{
    if (!sorted_)
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const QString& s, int& index) const
{
    bool found = false;
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareStrings(items_[size_t(mid)].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // With duplicates the first equal entry is reported.
                if (duplicates_ != dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[size_t(a)].s, list->items_[size_t(b)].s);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (Count() < 2)
        return;
    Changing();
    // Sort an index permutation so the comparer can address entries by index.
    const std::vector<Item> before = items_;
    std::vector<int> order(before.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    for (size_t i = 0; i < order.size(); ++i)
        items_[i] = before[size_t(order[i])];
    Changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted_ == sorted)
        return;
    if (sorted)
        Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive_ == caseSensitive)
        return;
    caseSensitive_ = caseSensitive;
    if (sorted_)
        Sort();
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}
