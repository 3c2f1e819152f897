#include "document/icon_document.h"
#include "document/scratch_folder.h"
#include "document/testing_editor_state.h"
#include "framework/exceptions.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TTestDocument : public TIconDocument {
public:
    explicit TTestDocument(QString name, int w = 4, int h = 3, const QString& kind = "XP") : name_(std::move(name))
    {
        InitFormatTable(w, h, kind);
        FormatTable.SetCurrentFormat(1);
        FormatTable.SetFormatCount(1);
        FormatTable.SetUndoStateCount(1, 1);
        SetFormatImage(1, NewTransparentBitmap(w, h));
    }
    // Adds a format as the format commands do: counters at 0, a blank picture.
    int AddFormat(int w, int h)
    {
        const int f = FormatCount() + 1;
        FormatTable.SetFormatCount(f);
        FormatTable.SetFormat(f, w, h, "XP");
        SetFormatImage(f, NewTransparentBitmap(w, h));
        return f;
    }
    void Select(int f)
    {
        FormatTable.SetCurrentFormat(f);
        CurrentWidth = FormatTable.Width(f).toInt();
        CurrentHeight = FormatTable.Height(f).toInt();
        CurrentKind = FormatTable.Kind(f);
    }
    // A stroke as the canvas makes it: base state and redo tail at the press, one step at the
    // release. The picture is marked with the value so that each state can be told apart; the
    // low alphas would not survive a premultiplied round trip.
    void Stroke(uint32_t value)
    {
        EnsureBaseState();
        DropRedoTail();
        Paint(value);
        RecordStep();
    }
    void Paint(uint32_t value)
    {
        QImage* img = GdipImageData(CurrentImage());
        img->setPixel(0, 0, value);
        img->setPixel(1, 0, 0x01FF8040);
        if (img->width() > 2)
            img->setPixel(2, 0, 0x7F102030);
    }
    uint32_t Mark() const { return GdipImageData(CurrentImage())->pixel(0, 0); }
    QImage Image() const { return *GdipImageData(CurrentImage()); }

protected:
    QString DocumentName() const override { return name_; }

private:
    QString name_;
};

class UndoHistory : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(dir.path()); }
    void TearDown() override { SetProgramFolder(QString()); }
    bool UndoEnabled() { return state.Enabled.value("ToolButton5") && state.Enabled.value("Undo1"); }
    bool RedoEnabled() { return state.Enabled.value("ToolButton6") && state.Enabled.value("Redo1"); }

    QTemporaryDir dir;
    TTestingEditorState state;
};

} // namespace

TEST(FormatTable, FirstFormatTicksOnlyItsStandardEntry)
{
    struct Case {
        int w, h;
        const char* kind;
        int ticked; // 0: none
    } cases[] = {{32, 32, "XP", 2}, {24, 24, "XP", 0}, {48, 48, "Mono", 13}, {16, 16, "16.8M", 6},
                 {32, 16, "XP", 0}, {16, 16, "256", 9}, {64, 64, "XP", 0}};
    for (const Case& c : cases) {
        TTestDocument doc("iconview1", c.w, c.h, c.kind);
        const TFormatTable& t = doc.FormatTable;
        for (int j = 1; j <= 15; ++j) {
            EXPECT_EQ(t.StandardFlag(j), j == c.ticked ? "TRUE" : "FALSE") << c.w << "x" << c.h << c.kind << " j" << j;
            EXPECT_EQ(t.StandardWidth(j).toInt(), StandardFormats[j - 1].Width);
        }
        // Format 1 lives in cells 3, 4, 5 and the checklist from cell 307 on, as other code indexes them.
        EXPECT_EQ(t.Text(3), QString::number(c.w));
        EXPECT_EQ(t.Text(4), QString::number(c.h));
        EXPECT_EQ(t.Text(5), c.kind);
        EXPECT_EQ(doc.CurrentWidth, c.w);
        EXPECT_EQ(doc.CurrentKind, c.kind);
    }
    TTestDocument doc("iconview1", 32, 32, "XP");
    EXPECT_EQ(doc.FormatTable.Text(303 + 4 * 2 + 3), "TRUE");
    EXPECT_EQ(doc.FormatTable.Text(303 + 4 * 15 + 2), "Mono");
}

TEST(FormatTable, CellsHoldTextOrIntegerAndRefuseOutOfRange)
{
    TFormatTable t;
    t.SetCurrentFormat(3);
    t.SetUndoStateCount(100, 7);
    t.SetUndoFileNumber(100, 1000, 42);
    EXPECT_EQ(t.Integer(102118), 3);
    EXPECT_EQ(t.Integer(101607 + 200), 7);
    EXPECT_EQ(t.Integer(507 + 1001 * 100 + 1000), 42);
    t.SetPatternPath(1, "image\\16color\\18.bmp");
    EXPECT_EQ(t.Text(102123), "image\\16color\\18.bmp");
    t.SetText(10, "x");
    t.SetInteger(10, 5);
    EXPECT_EQ(t.Text(10), "");
    EXPECT_EQ(t.Integer(10), 5);
    EXPECT_THROW(t.Integer(102127), EListError);
    EXPECT_THROW(t.SetText(-1, "x"), EListError);
    EXPECT_NO_THROW(t.Integer(102126));
}

TEST_F(UndoHistory, OneStrokeUndoneAndRedoneThroughPngFiles)
{
    TTestDocument doc("iconview1");
    const QImage blank = doc.Image();
    doc.Stroke(0x05123456);
    const QImage stroked = doc.Image();
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/1_1.png")));
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/1_2.png")));
    EXPECT_EQ(doc.FormatTable.UndoStateCount(1), 2);
    EXPECT_TRUE(UndoEnabled());

    doc.UndoStep();
    EXPECT_EQ(doc.Image(), blank);
    // The oldest state has none before it: Undo goes off, and clicks past it change nothing.
    EXPECT_FALSE(UndoEnabled());
    EXPECT_TRUE(RedoEnabled());
    doc.UndoStep();
    doc.UndoStep();
    EXPECT_EQ(doc.Image(), blank);
    EXPECT_EQ(doc.UndoneCount[1], 1);

    // One Redo per Undo.
    EXPECT_TRUE(doc.RedoStep());
    EXPECT_EQ(doc.Image(), stroked); // exact, low alphas included
    EXPECT_TRUE(UndoEnabled());
    EXPECT_FALSE(RedoEnabled());
    EXPECT_EQ(doc.UndoneCount[1], 0);
}

TEST_F(UndoHistory, NewStrokeAfterUndoReplacesTheUndoneState)
{
    TTestDocument doc("iconview1");
    doc.Stroke(0xFF000001);
    doc.Stroke(0xFF000002);
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000001u);
    doc.Stroke(0xFF000003);
    EXPECT_EQ(doc.FormatTable.UndoStateCount(1), 3);
    EXPECT_EQ(doc.UndoneCount[1], 0);
    EXPECT_EQ(QImage(ScratchPath("iconview1/1_3.png")).pixel(0, 0), 0xFF000003u);
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000001u);
}

TEST_F(UndoHistory, RedoWithNothingUndoneDoesNothing)
{
    TTestDocument doc("iconview1");
    doc.Stroke(0xFF000001);
    doc.Stroke(0xFF000002);
    doc.UndoStep();
    doc.Stroke(0xFF000003); // the file of the dropped state 3 is reused; an old state 3 is gone
    doc.Paint(0xFF0000AA);  // a change not yet recorded stays too
    EXPECT_FALSE(doc.RedoStep());
    EXPECT_EQ(doc.Mark(), 0xFF0000AAu);
    EXPECT_EQ(doc.UndoneCount[1], 0);
    EXPECT_EQ(doc.FormatTable.UndoStateCount(1), 3);
}

TEST_F(UndoHistory, FormatsAndDocumentsKeepSeparateHistories)
{
    TTestDocument a("iconview1"), b("iconview2");
    const int f2 = a.AddFormat(2, 2);
    a.Stroke(0xFF000001);
    a.Select(f2);
    EXPECT_EQ(a.FormatTable.UndoStateCount(f2), 0);
    a.Stroke(0xFF000002); // base saved at the press, count straight to 2
    EXPECT_EQ(a.FormatTable.UndoStateCount(f2), 2);
    b.Stroke(0xFF000003);
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/2_1.png")));
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/2_2.png")));
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview2/1_2.png")));

    a.Select(1);
    a.UndoStep();
    EXPECT_EQ(a.Mark(), 0u);
    a.Select(f2);
    EXPECT_EQ(a.Mark(), 0xFF000002u); // switching formats touched neither history
    a.UndoStep();
    EXPECT_EQ(a.Mark(), 0u);
    EXPECT_EQ(b.Mark(), 0xFF000003u);
}

TEST_F(UndoHistory, StateThatFailsToLoadKeepsTheCurrentPicture)
{
    TTestDocument doc("iconview1");
    doc.Stroke(0xFF000001);
    doc.Stroke(0xFF000002);
    QFile::remove(ScratchPath("iconview1/1_2.png"));
    QFile broken(ScratchPath("iconview1/1_1.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG not really");
    broken.close();
    doc.UndoStep(); // state 2 is gone
    EXPECT_EQ(doc.Mark(), 0xFF000002u);
    doc.UndoStep(); // state 1 is garbage
    EXPECT_EQ(doc.Mark(), 0xFF000002u);
    EXPECT_EQ(doc.Image().size(), QSize(4, 3));
}

TEST_F(UndoHistory, MoreThanAThousandStatesDropTheOldest)
{
    TTestDocument doc("iconview1", 3, 1);
    for (uint32_t k = 1; k <= 1005; ++k)
        doc.Stroke(0xFF000000u | k);
    // States were: the blank base, then one per stroke; the newest 1000 stay.
    EXPECT_EQ(doc.FormatTable.UndoStateCount(1), 1000);
    EXPECT_EQ(QDir(doc.HistoryFolder()).entryList({"1_*.png"}, QDir::Files).size(), 1000);
    for (int k = 0; k < 999; ++k)
        doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000000u | 6);
    EXPECT_FALSE(UndoEnabled());
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000000u | 6);
    doc.RedoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000000u | 7);
    // A new stroke in the middle reuses the files of the dropped tail and keeps counting.
    doc.Stroke(0xFF00FFFF);
    EXPECT_EQ(doc.FormatTable.UndoStateCount(1), 3);
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000000u | 7);
}

TEST_F(UndoHistory, HistoriesFollowTheirFormatsWhenSortedOrRemoved)
{
    TTestDocument doc("iconview1", 2, 2);
    doc.AddFormat(2, 2);
    doc.AddFormat(2, 2);
    for (int f = 1; f <= 3; ++f) {
        doc.Select(f);
        doc.Stroke(0xFF000000u | uint32_t(f * 16 + 1));
        doc.Stroke(0xFF000000u | uint32_t(f * 16 + 2));
    }
    doc.Select(2);
    doc.UndoStep(); // format 2 has one step undone

    // Sort: the format numbered 3 becomes 1, 1 becomes 2, 2 becomes 3; the pictures move with them.
    const std::vector<int> order{0, 3, 1, 2};
    std::array<GpBitmap*, 4> images{};
    for (int k = 1; k <= 3; ++k)
        images[size_t(k)] = doc.FormatImages[size_t(order[size_t(k)])];
    for (int k = 1; k <= 3; ++k)
        doc.FormatImages[size_t(k)] = images[size_t(k)];
    doc.ReorderFormatHistories(order);

    doc.Select(3); // the old format 2, one step undone
    EXPECT_EQ(doc.UndoneCount[3], 1);
    EXPECT_TRUE(doc.RedoStep());
    EXPECT_EQ(doc.Mark(), 0xFF000022u);
    doc.Select(1); // the old format 3
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000031u);

    // Remove format 1 (the old 3): the others move down and keep their own states.
    doc.SetFormatImage(1, nullptr);
    doc.FormatImages[1] = doc.FormatImages[2];
    doc.FormatImages[2] = doc.FormatImages[3];
    doc.FormatImages[3] = nullptr;
    doc.RemoveFormatHistory(1, 3);
    doc.FormatTable.SetFormatCount(2);
    EXPECT_FALSE(QFile::exists(ScratchPath("iconview1/3_1.png")));
    EXPECT_EQ(doc.FormatTable.UndoStateCount(3), 0);
    doc.Select(1); // the old format 1
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000011u);
    doc.Select(2); // the old format 2
    doc.UndoStep();
    EXPECT_EQ(doc.Mark(), 0xFF000021u);
}

TEST_F(UndoHistory, ANewDocumentUnderAClosedOnesNameStartsWithAnEmptyHistory)
{
    {
        TTestDocument closed("iconview1");
        closed.Stroke(0xFF0000AA);
        closed.Stroke(0xFF0000BB);
    }
    ASSERT_TRUE(QFile::exists(ScratchPath("iconview1/1_1.png")));

    // Same name, same first format, new picture: the closed document's states never come back.
    TTestDocument fresh("iconview1");
    fresh.Paint(0xFF0000CC);
    fresh.Stroke(0xFF0000DD);
    fresh.UndoStep();
    EXPECT_EQ(fresh.Mark(), 0xFF0000CCu);
    fresh.UndoStep();
    EXPECT_EQ(fresh.Mark(), 0xFF0000CCu);
    EXPECT_FALSE(QFile::exists(ScratchPath("iconview1/1_3.png")));
}
