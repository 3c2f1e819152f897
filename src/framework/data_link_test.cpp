#include "framework/data_link.h"

#include <gtest/gtest.h>

namespace {

struct TLinkProbe {
    TFieldDataLink Link;
    int Changes = 0;
    int Updates = 0;
    QByteArray Seen;
    QByteArray ToWrite;

    TLinkProbe()
    {
        Link.OnDataChange = [this](TObject*) {
            ++Changes;
            Seen = Link.Field() ? Link.Field()->AsBytes() : QByteArray();
        };
        Link.OnUpdateData = [this](TObject*) {
            ++Updates;
            Link.Field()->SetAsBytes(ToWrite);
        };
    }
};

class DataLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.AddField(QStringLiteral("Name"), ftString);
        blob = data.AddField(QStringLiteral("Picture"), ftBlob);
        data.Open();
        for (const char* value : {"first", "second"}) {
            data.Append();
            blob->SetAsBytes(QByteArray(value));
            data.Post();
        }
        data.First();
        source.SetDataSet(&data);
    }
    TMemoryDataSet data;
    TDataSource source;
    TField* blob = nullptr;
};

TEST_F(DataLinkTest, LinkFollowsTheCurrentRecordAndWritesWhatItChangedOnPost)
{
    TLinkProbe probe;
    probe.Link.SetDataSource(&source);
    probe.Link.SetFieldName(QStringLiteral("picture"));
    EXPECT_EQ(probe.Link.Field(), blob);
    EXPECT_EQ(probe.Changes, 1);
    EXPECT_EQ(probe.Seen, QByteArray("first"));

    data.Next();
    EXPECT_EQ(probe.Seen, QByteArray("second"));

    // Unmodified links are not asked; a modified one writes, without hearing its own write.
    data.Edit();
    EXPECT_TRUE(probe.Link.Editing());
    data.Post();
    EXPECT_EQ(probe.Updates, 0);
    const int changes = probe.Changes;
    data.Edit();
    probe.ToWrite = "changed";
    probe.Link.Modified();
    data.Post();
    EXPECT_EQ(probe.Updates, 1);
    EXPECT_EQ(probe.Changes, changes + 1); // the post's own record change only
    EXPECT_EQ(blob->AsBytes(), QByteArray("changed"));
    EXPECT_FALSE(probe.Link.IsModified());

    // Another writer's change is heard; a cancel brings the stored value back.
    data.Edit();
    blob->SetAsBytes("draft");
    EXPECT_EQ(probe.Seen, QByteArray("draft"));
    data.Cancel();
    EXPECT_EQ(probe.Seen, QByteArray("changed"));

    data.Close();
    EXPECT_FALSE(probe.Link.Active());
    EXPECT_EQ(probe.Link.Field(), nullptr);
}

TEST_F(DataLinkTest, WritesOutsideEditingOrTooLongAreRefused)
{
    EXPECT_THROW(blob->SetAsBytes("x"), EDatabaseError);
    EXPECT_THROW(data.FieldByName(QStringLiteral("Missing")), EDatabaseError);

    TMemoryDataSet limited;
    TField* field = limited.AddField(QStringLiteral("Data"), ftBytes, 4);
    limited.Open();
    limited.Append();
    field->SetAsBytes("abcd");
    EXPECT_THROW(field->SetAsBytes("abcde"), EDatabaseError);
    EXPECT_EQ(field->WriteBlob("abcdef"), 0);
    EXPECT_EQ(field->AsBytes(), QByteArray("abcd"));
    EXPECT_EQ(field->WriteBlob("xy"), 2);
    limited.Post();
    EXPECT_EQ(field->AsBytes(), QByteArray("xy"));
    EXPECT_EQ(limited.RecordCount(), 1);
}

TEST_F(DataLinkTest, DestroyedSourcesAndDataSetsLeaveNoLinkBehind)
{
    TLinkProbe probe;
    {
        auto transient = std::make_unique<TDataSource>();
        transient->SetDataSet(&data);
        probe.Link.SetDataSource(transient.get());
        probe.Link.SetFieldName(QStringLiteral("Picture"));
        EXPECT_TRUE(probe.Link.Active());
    }
    EXPECT_EQ(probe.Link.DataSource(), nullptr);
    EXPECT_FALSE(probe.Link.Active());
    EXPECT_EQ(probe.Link.Field(), nullptr);

    auto owned = std::make_unique<TMemoryDataSet>();
    owned->AddField(QStringLiteral("Picture"), ftBlob);
    owned->Open();
    source.SetDataSet(owned.get());
    probe.Link.SetDataSource(&source);
    EXPECT_NE(probe.Link.Field(), nullptr);
    owned.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(probe.Link.Field(), nullptr);
}

} // namespace
