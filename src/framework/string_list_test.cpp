#include "framework/collection.h"
#include "framework/exceptions.h"
#include "framework/list.h"
#include "framework/string_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StringList, SortedListsHandleDuplicatesAsAsked)
{
    TStringList l;
    l.SetSorted(true);
    EXPECT_EQ(l.Add("b"), 0);
    EXPECT_EQ(l.Add("A"), 0);
    EXPECT_EQ(l.Add("c"), 2);
    EXPECT_EQ(l.Add("B"), 1); // dupIgnore: the existing index, nothing added
    EXPECT_EQ(l.ToStringList(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(l.IndexOf("C"), 2);
    l.SetDuplicates(dupError);
    try {
        l.Add("a");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    l.SetDuplicates(dupAccept);
    l.Add("a");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_THROW(l.Insert(0, "z"), EStringListError);
    try {
        l.Get(4);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (4)");
    }
}

TEST(StringList, CommaTextAndNameValues)
{
    TStringList l;
    l.SetCommaText(" a, \"b c\" ,\"say \"\"hi\"\"\",,d e");
    EXPECT_EQ(l.ToStringList(), QStringList({"a", "b c", "say \"hi\"", "", "d", "e"}));
    EXPECT_EQ(l.CommaText(), "a,\"b c\",\"say \"\"hi\"\"\",,d,e");
    TStringList one;
    one.Add("");
    EXPECT_EQ(one.CommaText(), "\"\"");

    TStringList v;
    v.SetText("Form.Label1.Caption=Open\r\nx=1=2\nnovalue\r");
    EXPECT_EQ(v.Count(), 3);
    EXPECT_EQ(v.Values("FORM.LABEL1.CAPTION"), "Open");
    EXPECT_EQ(v.Values("x"), "1=2");
    EXPECT_EQ(v.Names(2), "");
    v.SetValue("x", "");
    v.SetValue("y", "5");
    EXPECT_EQ(v.Text(), "Form.Label1.Caption=Open\r\nnovalue\r\ny=5\r\n");
}

TEST(StringList, ChangeEventsFireOncePerUpdateAndFilesRoundTrip)
{
    TStringList l;
    int changes = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.BeginUpdate();
    l.Add("x");
    l.Add("\u00e4\u00f6");
    l.EndUpdate();
    l.EndUpdate(); // unpaired: ignored
    EXPECT_EQ(changes, 1);

    QTemporaryDir dir;
    const QString file = dir.filePath("l.txt");
    l.SaveToFile(file);
    TStringList r;
    r.LoadFromFile(file);
    EXPECT_TRUE(r.Equals(&l));
    EXPECT_THROW(r.LoadFromFile(dir.filePath("missing.txt")), EFOpenError);
    EXPECT_EQ(r.Count(), 2);
}

TEST(List, IndexErrorsCarryTheFixedText)
{
    TList l;
    int a = 1, b = 2;
    l.Add(&a);
    l.Add(nullptr);
    l.Add(&b);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l.IndexOf(&b), 1);
    l.Move(1, 0);
    EXPECT_EQ(l.First(), &b);
    try {
        l.Delete(2);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
}

namespace {
class TNamedItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    QString name;
    void Assign(TPersistent* source) override
    {
        if (auto s = dynamic_cast<TNamedItem*>(source))
            name = s->name;
        else
            TCollectionItem::Assign(source);
    }
};
class TCountingCollection : public TCollection {
public:
    TCountingCollection() : TCollection(CollectionItemFactory<TNamedItem>()) {}
    int updates = 0;

protected:
    void Update(TCollectionItem*) override { ++updates; }
};
} // namespace

TEST(Collection, ItemsKeepIdsMoveAndAssign)
{
    TCountingCollection c;
    auto* a = static_cast<TNamedItem*>(c.Add());
    auto* b = static_cast<TNamedItem*>(c.Add());
    a->name = "a";
    b->name = "b";
    b->SetIndex(0);
    EXPECT_EQ(c.Items(0), b);
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(c.FindItemID(1), b);
    delete b;
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(a->Index(), 0);

    TCountingCollection copy;
    copy.Add();
    copy.updates = 0;
    copy.Assign(&c);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_EQ(static_cast<TNamedItem*>(copy.Items(0))->name, "a");
    EXPECT_EQ(copy.updates, 1);
    EXPECT_THROW(copy.Items(1), EListError);
}
