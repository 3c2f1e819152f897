#include "import/searchimage.h"

#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/edit.h"
#include "framework/label.h"
#include "framework/list_view.h"
#include "framework/menus.h"
#include "framework/string_list.h"
#include "import/disk_scan.h"
#include "import/formscreen.h"
#include "import/import_test_support.h"
#include "import/import_windows.h"
#include "mainwindow/file_host.h"
#include "skin/controls/status_bar.h"

#include <QDir>
#include <QFile>
#include <QDeadlineTimer>
#include <QImage>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>
#include <unistd.h>

using namespace importtest;

namespace {

// A tree with pictures, icons and folders that the fragment does or does not name, and a
// symbolic link back to the root, which a walk that followed links would enter for ever.
class SearchTree : public ImportWindowTest {
protected:
    void SetUp() override
    {
        ImportWindowTest::SetUp();
        root = dir.filePath("tree");
        for (const char* folder : {"img", "logos", "a/b/c", "deep"})
            QDir().mkpath(root + "/" + folder);
        QImage red(4, 3, QImage::Format_ARGB32);
        red.fill(0xFFFF0000u);
        for (const char* f : {"logo.png", "img/logo.png", "logos/logo.png", "photo.JPEG"})
            ASSERT_TRUE(red.save(root + "/" + f, f[strlen(f) - 1] == 'G' ? "JPEG" : "PNG"));
        for (const char* f : {"anim.GIF", "app.ico", "a/b/c/lib.icl", "a/x.ico", "notes.txt", "deep/empty.bmp", "run.exe"})
            Touch(root + "/" + f);
        ASSERT_EQ(symlink(root.toUtf8().constData(), (root + "/a/loop").toUtf8().constData()), 0);
    }
    void Touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QStringList Found(TSearchKind kind, const QString& fragment = QString())
    {
        std::atomic<bool> stop{false};
        QStringList out;
        ScanFolder(root, fragment, kind, stop, [&](const TSearchResult& r, const QString&) { out << r.Address.mid(root.size() + 1); });
        out.sort();
        return out;
    }
    Tsearchimage* Window()
    {
        auto* w = new Tsearchimage;
        w->Show();
        auto* drives = qobject_cast<TCustomComboBox*>(w->FindComponent("suiDriveComboBox1"));
        drives->SetItemIndex(drives->Items()->Add(root + "/"));
        return w;
    }
    void SetText(Tsearchimage* w, const char* name, const QString& text)
    {
        if (auto* combo = qobject_cast<TCustomComboBox*>(w->FindComponent(name)))
            combo->SetText(text);
        else
            qobject_cast<TCustomEdit*>(w->FindComponent(name))->SetText(text);
    }
    QString root;
};

} // namespace

TEST_F(SearchTree, EachKindFindsItsFilesAndNeverFollowsLinks)
{
    EXPECT_EQ(Found(TSearchKind::Icons), QStringList({"a/b/c/lib.icl", "a/x.ico", "app.ico"}));
    EXPECT_EQ(Found(TSearchKind::Pictures), QStringList({"a/x.ico", "anim.GIF", "app.ico", "deep/empty.bmp", "img/logo.png",
                                                         "logo.png", "logos/logo.png", "photo.JPEG"}));
    const QStringList all = Found(TSearchKind::AllFiles);
    EXPECT_TRUE(all.contains("run.exe"));
    EXPECT_TRUE(all.contains("a/b/c/lib.icl"));
    EXPECT_FALSE(all.contains("notes.txt"));
    EXPECT_EQ(all.size(), 10);
}

TEST_F(SearchTree, AFragmentLimitsFilesAndTheFoldersEntered)
{
    // "img" lacks the fragment, so its logo is not reached; "logos" holds it.
    EXPECT_EQ(Found(TSearchKind::Pictures, "LOGO"), QStringList({"logo.png", "logos/logo.png"}));
    // Letters the walk's pattern matcher would read as its own are taken literally.
    EXPECT_TRUE(Found(TSearchKind::Pictures, "[").isEmpty());
    EXPECT_EQ(Found(TSearchKind::Icons, "P.I?O"), QStringList({"app.ico"}));
}

TEST_F(SearchTree, AStopEndsTheWalkAtOnceAndAMissingRootFindsNothing)
{
    std::atomic<bool> stop{false};
    int seen = 0;
    ScanFolder(root, QString(), TSearchKind::AllFiles, stop, [&](const TSearchResult&, const QString&) {
        ++seen;
        stop = true;
    });
    EXPECT_EQ(seen, 1);
    std::atomic<bool> go{false};
    EXPECT_EQ(ScanFolder(root + "/nothing", QString(), TSearchKind::AllFiles, go, [](const TSearchResult&, const QString&) {}), 0);
}

TEST_F(SearchTree, TheWindowListsResultsAndRefusesToCloseWhileSearching)
{
    Tsearchimage* w = Window();
    SetText(w, "suiComboBox2", "Icons or Icon Libraries");
    ClickComponent(w->FindComponent("suiButton2"));
    EXPECT_TRUE(w->Searching);
    EXPECT_FALSE(qobject_cast<TControl*>(w->FindComponent("suiButton2"))->Enabled());
    // Closing while the search runs is refused with a word to the user.
    w->Close();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Messages, QStringList({"Please stop searching."}));
    w->WaitForWorker();
    EXPECT_FALSE(w->Searching);
    EXPECT_EQ(w->ResultCount, 3);
    auto* list = qobject_cast<TListView*>(w->FindComponent("ListView"));
    ASSERT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(qobject_cast<TLabel*>(w->FindComponent("Label1"))->Caption(), "Search has completed");
    QStringList names;
    for (const TSearchResult& r : w->Results)
        names << r.FileName;
    names.sort();
    EXPECT_EQ(names, QStringList({"app.ico", "lib.icl", "x.ico"}));
    const TListItem* first = list->Items()->Item(0);
    EXPECT_EQ(first->SubItems()->Strings(1), w->Results[0].Extension);
    EXPECT_EQ(first->SubItems()->Strings(4), w->Results[0].Address);
}

TEST_F(SearchTree, BadKindOrLocationIsSaidAndNothingStarts)
{
    Tsearchimage* w = Window();
    SetText(w, "suiComboBox2", "  ");
    ClickComponent(w->FindComponent("suiButton2"));
    SetText(w, "suiComboBox2", "Pictures");
    auto* drives = qobject_cast<TCustomComboBox*>(w->FindComponent("suiDriveComboBox1"));
    drives->SetItemIndex(drives->Items()->Add(root + "/gone/"));
    ClickComponent(w->FindComponent("suiButton2"));
    EXPECT_FALSE(w->Searching);
    ASSERT_EQ(Messages.size(), 2);
    EXPECT_EQ(Messages[0], "Please select search type");
    EXPECT_TRUE(Messages[1].startsWith("The location cannot be searched"));
}

TEST_F(SearchTree, ResultsOpenShowFullScreenAndFillTheLargeIconGrid)
{
    Tsearchimage* w = Window();
    SetText(w, "suiComboBox2", "Pictures");
    SetText(w, "find", "logo");
    ClickComponent(w->FindComponent("suiButton2"));
    w->WaitForWorker();
    ASSERT_EQ(w->ResultCount, 2);

    // Commands without a selection say why they do nothing.
    for (const char* name : {"ToolButton13", "ToolButton14", "N2", "N6", "N17"}) {
        Messages.clear();
        ClickComponent(w->FindComponent(name));
        EXPECT_EQ(Messages.size(), 1) << name;
    }
    Messages.clear();

    w->SelectResult(0);
    EXPECT_EQ(w->SelectedResult, 0);
    EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("ToolButton12"))->Enabled());
    ClickComponent(w->FindComponent("N2"));
    ASSERT_NE(w->LastFullScreen, nullptr);
    EXPECT_EQ(w->LastFullScreen->ShownPicture.size(), QSize(4, 3));
    // The menu item shows the kept viewer again; the tool button makes a new one every time.
    QList<Tformscreen*> viewers{w->LastFullScreen};
    ClickComponent(w->FindComponent("N2"));
    EXPECT_EQ(w->LastFullScreen, viewers[0]);
    for (int i = 0; i < 2; ++i) {
        ClickComponent(w->FindComponent("ToolButton13"));
        EXPECT_FALSE(viewers.contains(w->LastFullScreen)) << i;
        viewers << w->LastFullScreen;
        EXPECT_EQ(formscreen, w->LastFullScreen);
        EXPECT_TRUE(w->LastFullScreen->isVisible());
        EXPECT_EQ(w->LastFullScreen->ShownPicture.size(), QSize(4, 3));
    }
    ClickComponent(w->FindComponent("N17"));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains("Size: 0 bytes") || Messages[0].contains("bytes"));

    // Large icons: result count div 6 + 6 rows; details brings the list back.
    ClickComponent(w->FindComponent("N11"));
    auto* grid = w->FindComponent("DrawGrid1");
    EXPECT_EQ(grid->property("RowCount").toInt(), 6);
    EXPECT_TRUE(qobject_cast<TControl*>(grid)->Visible());
    ClickComponent(w->FindComponent("N14"));
    EXPECT_FALSE(qobject_cast<TControl*>(grid)->Visible());
    EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("ListView"))->Visible());
    const QImage shot = w->grab().toImage();
    EXPECT_FALSE(shot.isNull());
}

TEST_F(SearchTree, StopDuringAWalkKeepsTheResultsSoFarAndEveryCommandActs)
{
    // Enough files that the walk is still going when Stop is pressed.
    QDir().mkpath(root + "/many");
    for (int i = 0; i < 20000; ++i)
        Touch(root + QStringLiteral("/many/%1.ico").arg(i));
    Tsearchimage* w = Window();
    SetText(w, "suiComboBox2", "Icons or Icon Libraries");
    ClickComponent(w->FindComponent("suiButton2"));
    ClickComponent(w->FindComponent("suiButton3"));
    EXPECT_FALSE(w->Searching);
    EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("suiButton2"))->Enabled());
    EXPECT_FALSE(qobject_cast<TControl*>(w->FindComponent("suiButton3"))->Enabled());
    w->WaitForWorker();
    const int kept = w->ResultCount;
    EXPECT_LT(kept, 20003);
    EXPECT_EQ(qobject_cast<TListView*>(w->FindComponent("ListView"))->Items()->Count(), kept);
    // Stopped, the window closes.
    w->Close();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SearchTree, ResultsOpenEditAndFillTheGridSixToARow)
{
    for (int i = 0; i < 8; ++i)
        Touch(root + QStringLiteral("/deep/%1.gif").arg(i));
    Tsearchimage* w = Window();
    SetText(w, "suiComboBox2", "Pictures");
    ClickComponent(w->FindComponent("suiButton2"));
    w->WaitForWorker();
    ASSERT_EQ(w->ResultCount, 16);

    // List and details switch the list's style; large icons: 16 div 6 + 6 rows.
    auto* list = qobject_cast<TListView*>(w->FindComponent("ListView"));
    for (auto [name, style] : {std::pair{"ToolButton2", vsList}, {"N14", vsReport}, {"N13", vsList}, {"ToolButton3", vsReport}}) {
        ClickComponent(w->FindComponent(name));
        EXPECT_EQ(list->ViewStyle(), style) << name;
    }
    ClickComponent(w->FindComponent("ToolButton15"));
    auto* grid = qobject_cast<TDrawGrid*>(w->FindComponent("DrawGrid1"));
    EXPECT_EQ(grid->RowCount(), 8);
    EXPECT_TRUE(grid->Visible());
    // A blank cell turns the commands off; a result's cell turns them on and selects it.
    bool can = true;
    grid->OnSelectCell(grid, 5, 4, can);
    EXPECT_FALSE(qobject_cast<TControl*>(w->FindComponent("ToolButton13"))->Enabled());
    const int k = int(std::find_if(w->Results.begin(), w->Results.end(), [](const TSearchResult& r) { return r.FileName == "logo.png"; })
                      - w->Results.begin());
    ASSERT_LT(k, 16);
    grid->OnSelectCell(grid, k % 6, k / 6, can);
    EXPECT_EQ(w->SelectedResult, k);
    EXPECT_TRUE(qobject_cast<TControl*>(w->FindComponent("ToolButton13"))->Enabled());
    // A 0-byte picture's cell reads 0*0 and 0 KB; every cell draws without reading past a result.
    const QImage shot = grid->grab().toImage();
    EXPECT_FALSE(shot.isNull());

    // Open from the grid, the tool button, the menu and the list hands the picture to the import
    // window.
    InstallImportWindows();
    for (const char* name : {"DrawGrid1", "ToolButton12", "N1", "ListView"}) {
        if (loadimagedorv)
            delete loadimagedorv;
        Messages.clear();
        if (QString(name) == "DrawGrid1")
            grid->OnDblClick(grid);
        else if (QString(name) == "ListView")
            list->OnDblClick(list);
        else
            ClickComponent(w->FindComponent(name));
        ASSERT_NE(loadimagedorv, nullptr) << name;
        EXPECT_EQ(loadimagedorv->SelectedPicture.size(), QSize(4, 3)) << name;
        EXPECT_TRUE(Messages.isEmpty()) << name << ": " << Messages.join("; ").toStdString();
    }
    SetFileWindowHooks({});
    // Edit on a file that went away says so.
    QFile::remove(w->Results[k].Address);
    Messages.clear();
    ClickComponent(w->FindComponent("N6"));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith("The file no longer exists"));
}

TEST_F(SearchTree, TheLocationButtonAddsTheChosenFolder)
{
    Tsearchimage* w = Window();
    QString answer = root + "/logos";
    SetDialogAnswerer([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkBrowseFolder) {
            r.Text = answer;
            r.Result = answer.isEmpty() ? 0 : 1;
            return true;
        }
        Messages << r.Text;
        r.Result = IDOK;
        return true;
    });
    ClickComponent(w->FindComponent("suiButton5"));
    auto* drives = qobject_cast<TCustomComboBox*>(w->FindComponent("suiDriveComboBox1"));
    EXPECT_EQ(drives->Text(), root + "/logos/");
    const int entries = drives->Items()->Count();
    ClickComponent(w->FindComponent("suiButton5")); // the same folder again is not listed twice
    EXPECT_EQ(drives->Items()->Count(), entries);
    answer = root + "/nowhere";
    ClickComponent(w->FindComponent("suiButton5"));
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_EQ(drives->Text(), root + "/logos/");
    answer.clear(); // cancelled: nothing changes
    ClickComponent(w->FindComponent("suiButton5"));
    EXPECT_EQ(drives->Items()->Count(), entries);
}

// Every button, tool button and menu command of the window is bound; the tests above run each
// of them by name.
TEST_F(SearchTree, EveryCommandOfTheWindowHasItsHandler)
{
    Tsearchimage* w = Window();
    EXPECT_EQ(CommandsWithoutHandler(w), QStringList());
    for (const char* name : {"suiButton2", "suiButton3", "suiButton5", "ToolButton12", "ToolButton13", "ToolButton14",
                             "ToolButton15", "ToolButton2", "ToolButton3", "N1", "N2", "N6", "N11", "N13", "N14", "N17"})
        EXPECT_TRUE(HasClickHandler(w->FindComponent(name))) << name;
}

// A walk that finds three files, then spends a long time in folders without a match: the three
// are listed and counted while it goes on, and the window answers meanwhile.
TEST_F(SearchTree, ResultsAndTheirCountArriveWhileTheWalkGoesOn)
{
    Tsearchimage* w = Window();
    std::atomic<bool> release{false};
    w->Walk = [&](const QString& from, const QString&, TSearchKind, const std::atomic<bool>& stop, const TSearchSink& sink,
                  const TFolderHook& entered) -> int64_t {
        for (int i = 0; i < 3; ++i) {
            TSearchResult r;
            r.FileName = QStringLiteral("%1.ico").arg(i);
            r.Extension = ".ico";
            r.Address = from + r.FileName;
            sink(r, from);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        while (!release && !stop) {
            entered();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return 3;
    };
    SetText(w, "suiComboBox2", "Icons or Icon Libraries");
    ClickComponent(w->FindComponent("suiButton2"));
    auto* list = qobject_cast<TListView*>(w->FindComponent("ListView"));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    QDeadlineTimer deadline(10000);
    while (list->Items()->Count() < 3 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(w->WorkerRunning());
    EXPECT_TRUE(w->Searching);
    EXPECT_EQ(list->Items()->Count(), 3);
    auto* bar = qobject_cast<TsuiStatusBar*>(w->FindComponent("suiStatusBar1"));
    EXPECT_EQ(bar->Panels()->Items(3)->Text(), "3");
    EXPECT_EQ(bar->Panels()->Items(1)->Text(), root + "/");
    EXPECT_GT(ticks, 0) << "the window's own events ran during the walk";
    release = true;
    w->WaitForWorker();
    EXPECT_FALSE(w->Searching);
    EXPECT_EQ(qobject_cast<TLabel*>(w->FindComponent("Label1"))->Caption(), "Search has completed");
}
