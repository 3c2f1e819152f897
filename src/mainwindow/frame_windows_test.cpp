#include "document/animation_builders.h"
#include "framework/bit_btn.h"
#include "framework/bitmap.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/plugin.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/cursors.h"
#include "framework/image.h"
#include "framework/label.h"
#include "framework/picture.h"
#include "framework/timer.h"
#include "framework/menus.h"
#include "mainwindow/list_form.h"
#include "mainwindow/photoshop_exchange.h"
#include "mainwindow/printing.h"
#include "mainwindow/testing_recording_document.h"
#include "mainwindow/web_window.h"
#include "mainwindow/welcome.h"
#include "platform/program_paths.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace {

class FrameWindows : public MainWindowWithDocument {
protected:
    QString Path(const QString& relative) const { return QDir(dir_.path()).filePath(relative); }
    // The document's command control now does `work` instead of recording its click.
    void Bind(const char* control, std::function<void()> work)
    {
        auto* button = qobject_cast<TControl*>(document->form->FindComponent(control));
        button->OnClick = [work](TObject*) { work(); };
    }
    QImage PictureOf(const char* image) const
    {
        auto* i = qobject_cast<TImage*>(main->FindComponent(image));
        TBitmap bitmap;
        bitmap.Assign(i->Picture()->Graphic());
        return BitmapToQImage(bitmap);
    }
};

} // namespace

TEST_F(FrameWindows, CaptionButtonsActOnTheActiveDocumentAndHide)
{
    for (const char* button : {"min", "mno", "cls"}) {
        for (const char* panel : {"minok", "mnook", "clsok"})
            main->SetControlVisible(panel, true);
        document->form->SetWindowState(wsMaximized);
        ClickComponentByName(main, button);
        for (const char* panel : {"minok", "mnook", "clsok"})
            EXPECT_FALSE(Visible(panel)) << button << panel;
    }
    EXPECT_EQ(document->Take(), QStringList{"BitBtn46"});
    EXPECT_FALSE(document->form->isVisible());

    // Hovering one button lights it alone; the tool bar puts all three back.
    main->minMouseMove(nullptr, {}, 1, 1);
    EXPECT_EQ(PictureOf("min"), PictureOf("tr1"));
    EXPECT_EQ(PictureOf("mno"), PictureOf("trr2"));
    main->clsMouseMove(nullptr, {}, 1, 1);
    EXPECT_EQ(PictureOf("min"), PictureOf("trr1"));
    EXPECT_EQ(PictureOf("cls"), PictureOf("tr3"));
    main->ToolBar1MouseMove(nullptr, {}, 1, 1);
    EXPECT_EQ(PictureOf("cls"), PictureOf("trr3"));
    EXPECT_NE(PictureOf("tr3"), PictureOf("trr3"));
}

TEST_F(FrameWindows, TestCurrentIconShowsTheImageAsCursorUntilUsedAgain)
{
    QString written;
    Bind("BitBtn22", [&] {
        written = main->CommandArgument;
        QFile::remove(written);
        QFile::copy(TestDataPath("platform/deerstalker.cur"), written);
    });
    ClickComponentByName(main, "ToolButton28");
    EXPECT_EQ(written, main->HotSpotCursorPath());
    EXPECT_TRUE(main->SystemCursorReplaced);
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_FALSE(QApplication::overrideCursor()->pixmap().isNull());
    EXPECT_FALSE(main->isMinimized());

    written.clear();
    ClickComponentByName(main, "ToolButton28");
    EXPECT_TRUE(written.isEmpty());
    EXPECT_FALSE(main->SystemCursorReplaced);
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_TRUE(main->acceptDrops());

    // Without a cursor file nothing is replaced.
    QFile::remove(main->HotSpotCursorPath());
    Bind("BitBtn22", [] {});
    ClickComponentByName(main, "ToolButton28");
    EXPECT_FALSE(main->SystemCursorReplaced);
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(FrameWindows, TheHotSpotCommandLoadsTheCursorAsCursor100)
{
    struct : TAnimationBuilders {
        void InsertGifPicture(const QString&) override {}
        int AniFrameCount() override { return 0; }
        void AddAniFrame(const QString&, const QString&) override {}
        void ShowCursorHotSpot(const QImage& picture) override { shown = picture; }
        QImage shown;
    } builders;
    SetAnimationBuilders(&builders);
    Bind("BitBtn22", [&] { QFile::copy(TestDataPath("platform/deerstalker.cur"), main->CommandArgument); });
    ClickComponentByName(main, "SetHotSpotforCursors1");
    SetAnimationBuilders(nullptr);
    EXPECT_FALSE(builders.shown.isNull());
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_TRUE(main->HotSpotForCursor);
    EXPECT_TRUE(HasCursorShape(100));
    EXPECT_EQ(Screen->Cursor(), 100);
    Screen->SetCursor(crDefault);
}

TEST_F(FrameWindows, PrintingWritesThePictureToAPdfWithoutAPrinter)
{
    const struct {
        int Side, Units;
    } sizes[] = {{48, 242}, {16, 80}, {1, 4}};
    for (const auto& s : sizes) {
        const TRect r = PrintPictureRect(s.Side, s.Side);
        EXPECT_EQ(r, (TRect{1200, 1600, 1200 + s.Units, 1600 + s.Units})) << s.Side;
    }

    auto* save = qobject_cast<TSaveDialog*>(main->FindComponent("SavePictureDialog1"));
    save->SetFileName("/somewhere/kept.png");
    QString exportedTo;
    Bind("Button1", [&] {
        exportedTo = save->FileName();
        EXPECT_EQ(main->CommandArgument, "bmp");
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(exportedTo, "BMP");
    });
    document->form->SetCaption("Project 1");
    const QString pdf = Path("page.pdf");
    DialogPrinter()->setOutputFormat(QPrinter::PdfFormat);
    DialogPrinter()->setOutputFileName(pdf);
    ClickComponentByName(main, "Print1");
    DialogPrinter()->setOutputFileName(QString());
    EXPECT_TRUE(exportedTo.endsWith("UndoTemp/print.bmp"));
    EXPECT_EQ(save->FileName(), "/somewhere/kept.png");
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");
    EXPECT_TRUE(requests.isEmpty());

    // An export that writes nothing stops before any page: no stale picture prints.
    QFile::remove(pdf);
    Bind("Button1", [] {});
    DialogPrinter()->setOutputFileName(pdf);
    EXPECT_THROW(main->Print1Click(nullptr), Exception);
    DialogPrinter()->setOutputFileName(QString());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(save->FileName(), "/somewhere/kept.png");
}

// With no printer on the system every print is a PDF of its own on the desktop: a second print,
// or a file of that name that was there, is never written over.
TEST_F(FrameWindows, PrintsWithoutAPrinterNeverWriteOverAFileOnTheDesktop)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    // The desktop is a folder of this test's own, named where the desktop's folder is looked up.
    const QString userDirs = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/user-dirs.dirs";
    QDir().mkpath(QFileInfo(userDirs).absolutePath());
    QFile dirs(userDirs);
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"" + Path("desk").toUtf8() + "\"\n");
    dirs.close();
    ASSERT_EQ(DesktopFolder(), Path("desk"));
    QDir().mkpath(Path("desk"));
    QFile users(Path("desk/Brelnova Studio print.pdf"));
    ASSERT_TRUE(users.open(QIODevice::WriteOnly));
    users.write("mine");
    users.close();

    Bind("Button1", [&] {
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(qobject_cast<TSaveDialog*>(main->FindComponent("SavePictureDialog1"))->FileName(), "BMP");
    });
    DialogPrinter()->setOutputFileName(QString());
    ClickComponentByName(main, "Print1");
    ClickComponentByName(main, "Print1");
    DialogPrinter()->setOutputFileName(QString());
    QFile::remove(userDirs);

    ASSERT_TRUE(users.open(QIODevice::ReadOnly));
    EXPECT_EQ(users.readAll(), "mine");
    for (const char* name : {"desk/Brelnova Studio print (2).pdf", "desk/Brelnova Studio print (3).pdf"}) {
        QFile page(Path(name));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(page.read(5), "%PDF-");
    }
    EXPECT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests.last().contains("print (3).pdf")) << requests.last().toStdString();
}

TEST_F(FrameWindows, TheExchangeFileIsPickedUpOnlyAfterStartUp)
{
    // The drive folders live under the user's data folder: a folder of the test's own.
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", Path("share").toUtf8());
    QStringList received;
    SetExchangeReceiver([&](const QString& path, int source) { received << path + " " + QString::number(source); });
    auto* poll = qobject_cast<TTimer*>(main->FindComponent("Timer2"));
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->Interval(), 200);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(ExchangeFilePath(), "BMP"));
    QFile exchange(ExchangeFilePath());
    ASSERT_TRUE(exchange.open(QIODevice::ReadOnly));
    const QByteArray whole = exchange.readAll();
    exchange.close();

    main->StartupStage = 1;
    main->Timer2Timer(nullptr);
    EXPECT_TRUE(received.isEmpty());
    main->StartupStage = 2;
    // A bitmap still being written (shorter than its header says) waits for the next look.
    for (int part : {0, 3, 40}) {
        ASSERT_TRUE(exchange.open(QIODevice::WriteOnly));
        exchange.write(whole.left(part));
        exchange.close();
        main->Timer2Timer(nullptr);
        EXPECT_TRUE(received.isEmpty()) << part;
        EXPECT_TRUE(poll->Enabled());
    }
    ASSERT_TRUE(exchange.open(QIODevice::WriteOnly));
    exchange.write(whole);
    exchange.close();
    main->Timer2Timer(nullptr);
    EXPECT_EQ(received, QStringList{ExchangeFilePath() + " 119"});
    EXPECT_FALSE(poll->Enabled());
    ResumeExchangePoll();
    EXPECT_TRUE(poll->Enabled());

    QFile::remove(ExchangeFilePath());
    SetExchangeReceiver(nullptr);
    EXPECT_EQ(ExchangeFilePath(), Path("share/brelnova-studio/drives/c/deduriveredovizur.bmp"));
    dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
}

TEST_F(FrameWindows, InstallingThePlugInAsksForTheFolderAndReportsAMissingFile)
{
    // No Photoshop in the registry: the folder dialog asks.
    QStringList forms;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm)
            forms << r.Dialog->objectName();
        requests << r.Text;
        r.Result = r.Kind == TDialogRequest::dkForm ? mrCancel : IDOK;
        return true;
    });
    ClickComponentByName(main, "InstallPhotoshopPlugIn1");
    EXPECT_EQ(forms, QStringList{"plugin"});

    Tplugin* dialog = PluginDialog();
    QDir(dir_.path()).mkpath("plugins");
    dialog->SetLocationText(Path("plugins") + "/");
    requests.clear();
    dialog->suiButton2Click(nullptr);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].contains("is not installed with Brelnova Studio")) << requests[0].toStdString();

    QDir(dir_.path()).mkpath("suk");
    for (const char* content : {"first", "second"}) {
        QFile plugIn(Path("suk/Brelnova Studio.8BE"));
        ASSERT_TRUE(plugIn.open(QIODevice::WriteOnly));
        plugIn.write(content);
        plugIn.close();
        requests.clear();
        dialog->suiButton2Click(nullptr);
        EXPECT_EQ(requests, QStringList{"Install Brelnova Studio to Adobe Photoshop Plug-Ins successfully."});
        QFile installed(Path("plugins/Brelnova Studio/Brelnova Studio.8BE"));
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
        EXPECT_EQ(installed.readAll(), QByteArray(content));
    }
    EXPECT_EQ(QDir(Path("plugins/Brelnova Studio")).entryList(QDir::Files).size(), 1);

    // A folder that does not exist is refused without writing anything.
    dialog->SetLocationText(Path("nowhere") + "/");
    requests.clear();
    dialog->suiButton2Click(nullptr);
    EXPECT_EQ(requests, QStringList{"Please select Photoshop plug-in location:"});
    EXPECT_FALSE(QFile::exists(Path("nowhere")));
}

TEST_F(FrameWindows, TheTipWindowWalksEveryTipInOrderAndRemembersTheCheckBox)
{
    ASSERT_EQ(Twelcome::Tips().size(), 19);
    EXPECT_EQ(Twelcome::StartNumber(0), 1);
    EXPECT_EQ(Twelcome::StartNumber(6), 6);
    EXPECT_EQ(Twelcome::WelcomeLine(1), "  Welcome to use Brelnova Studio V1.0");
    EXPECT_EQ(Twelcome::WelcomeLine(2), "  The software can let you design icon effectively.");
    EXPECT_EQ(Twelcome::Tips()[8], "You can rotate a selected image 90, 180 or arbitrary angle.");
    EXPECT_EQ(Twelcome::Tips()[13].count("\r\n"), 2);

    Twelcome* tips = nullptr;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        tips = qobject_cast<Twelcome*>(r.Dialog);
        tips->FormShow(tips); // what showing it runs
        EXPECT_EQ(tips->Caption(), "Welcome - Tip  of the day");
        const int start = tips->TipNumber;
        EXPECT_GE(start, 1);
        EXPECT_LE(start, 6);
        auto* text = qobject_cast<TLabel*>(tips->FindComponent("showtext"));
        EXPECT_EQ(text->Caption(), Twelcome::WelcomeLine(start));
        for (int press = 1; press <= 20; ++press) {
            tips->suiButton2Click(nullptr);
            const int expected = (start + press - 1) % 19 + 1;
            EXPECT_EQ(tips->TipNumber, expected) << press;
            EXPECT_EQ(text->Caption(), Twelcome::Tips()[expected - 1]);
        }
        // Long tips wrap within the page.
        EXPECT_LE(text->Left() + text->Width(), tips->FindComponent("suiGroupBox1")->property("Width").toInt());
        tips->FindComponent("suiCheckBox1")->setProperty("Checked", true);
        tips->suiButton4Click(nullptr);
        r.Result = mrCancel;
        return true;
    });
    ClickComponentByName(main, "Tipoftheday1");
    ASSERT_TRUE(tips);
    QFile ini(Path("data/rozazuvidodiro.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("openorclose=close"));
    Twelcome again;
    EXPECT_FALSE(again.FindComponent("suiCheckBox1")->property("Checked").toBool());
}

TEST_F(FrameWindows, HelpAndWebPagesOpenTheirWindows)
{
    ClickComponentByName(main, "BRELNOVACommunityForum1");
    ASSERT_TRUE(brelnovaforum);
    EXPECT_EQ(brelnovaforum->WebBrowser1->LocationURL(), kForumPage);
    EXPECT_EQ(LastShellOpen(), kForumPage);
    auto* palette = qobject_cast<TControl*>(main->FindComponent("Panel3"));
    EXPECT_EQ(brelnovaforum->Left(), palette->Width() + 4);
    Tbrelnovaforum* first = brelnovaforum;
    brelnovaforum->SetLeft(0);
    ClickComponentByName(main, "SubscribeNewsletters1");
    EXPECT_EQ(brelnovaforum, first);
    EXPECT_EQ(brelnovaforum->Left(), palette->Width() + 4);
    EXPECT_EQ(brelnovaforum->WebBrowser1->LocationURL(), kNewsletterPage);

    // Without help pages beside the program the help says so.
    EXPECT_THROW(main->Help1Click(nullptr), Exception);
    QDir(dir_.path()).mkpath("help");
    QFile page(Path("help/index.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html>contents</html>");
    page.close();
    EXPECT_NO_THROW(main->Help1Click(nullptr));
}

namespace {

// What a click led to: the modal windows and boxes it asked for, by class or kind.
class Walk : public FrameWindows {
protected:
    QStringList asked;
    QString folderAnswer; // what the folder browser answers; empty: cancelled
    TDialogAnswererScope person{[this](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm) {
            asked << r.Dialog->metaObject()->className();
            r.Result = mrCancel;
        } else if (r.Kind == TDialogRequest::dkPrinterSetup) {
            asked << "printer setup";
        } else if (r.Kind == TDialogRequest::dkBrowseFolder) {
            asked << "folder";
            r.Text = folderAnswer;
            r.Result = folderAnswer.isEmpty() ? 0 : 1;
        } else {
            asked << "message";
            r.Result = IDOK;
        }
        return true;
    }};
    // Clicks the named component of form; an error raised counts as a message shown.
    void Click(TForm* form, const char* name)
    {
        asked.clear();
        try {
            EXPECT_TRUE(ClickComponentByName(form, name)) << name;
        } catch (const Exception&) {
            asked << "message";
        }
    }
    std::function<bool()> Ran(const char* command)
    {
        return [this, command] { return document->Take() == QStringList{command}; };
    }
    std::function<bool()> Asked(const char* what)
    {
        return [this, what] { return asked.contains(what); };
    }
    int Count(const char* cls) const
    {
        int n = 0;
        for (TForm* f : Screen->FormList())
            n += f->inherits(cls);
        return n;
    }
};

} // namespace

TEST_F(Walk, EveryCommandOfTheFrameAnswersByName)
{
    // A document window in the frame for Cascade to place.
    main->Show();
    auto* child = new TForm(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->Show();
    child->SetBounds(300, 200, 120, 100);

    int snapshots = 0;
    const struct {
        const char* Name;
        std::function<bool()> Done;
    } rows[] = {
        {"min", [&] { return document->form->WindowState() == wsMinimized; }},
        {"mno", Ran("BitBtn46")},
        {"ToolButton28", [&] { return document->Take() == QStringList{"BitBtn22"} && asked == QStringList{"message"}; }},
        {"ToolButton18", Ran("BitBtn22")},
        {"SetHotSpotforCursors1", Ran("BitBtn22")},
        {"N34", [&] { return document->Take() == QStringList{"BitBtn25"} && Count("Tmyiconshow") == ++snapshots; }},
        {"Image17", Asked("message")},
        {"Image37", Asked("message")},
        {"RxGIFAnimator2", [] { return LastShellOpen() == kMakerHomePage; }},
        {"clickno", Ran("Ps1")},
        {"clickup", Ran("Ps1")},
        {"SendCurrentImagetoPhotoshop1", Ran("Ps1")},
        {"InstallPhotoshopPlugIn1", Asked("Tplugin")},
        {"PrintSetup1", Asked("printer setup")},
        {"PrintwithPreview1", Ran("Print")},
        {"ToolButton56", Ran("Print")},
        {"Print1", [&] { return document->Take() == QStringList{"Button1"} && asked == QStringList{"message"}; }},
        {"MacOS1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 1; }},
        {"WinXP1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 2; }},
        {"DeepBlue1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 3; }},
        {"Proteim1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 4; }},
        {"BlueGlass1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 5; }},
        {"RestoreDefault1", [&] { return document->Take() == QStringList{"BitBtn19"} && main->SkinStyle == 0; }},
        {"Tile1", [&] { return main->TileMode() == tbVertical; }},
        {"Cascade1", [&] { return child->Left() != 300 || child->Top() != 200; }},
        {"Help1", Asked("message")},
        {"ToolButton25", Asked("message")},
        {"About1", Asked("TForm36")},
        {"SubscribeNewsletters1", [] { return brelnovaforum && brelnovaforum->WebBrowser1->LocationURL() == kNewsletterPage; }},
        {"BRELNOVACommunityForum1", [] { return brelnovaforum->WebBrowser1->LocationURL() == kForumPage; }},
        {"Tipoftheday1", Asked("Twelcome")},
        {"cls", [&] { return !document->form->isVisible(); }},
    };
    for (const auto& row : rows) {
        document->Take();
        Click(main, row.Name);
        EXPECT_TRUE(row.Done()) << row.Name << " asked " << asked.join(", ").toStdString();
    }
    // The forum's tool button reaches the same page.
    ClickComponentByName(main, "SubscribeNewsletters1");
    Click(main, "ToolButton24");
    EXPECT_EQ(brelnovaforum->WebBrowser1->LocationURL(), kForumPage);
}

TEST_F(Walk, EveryButtonOfThePlugInPrintAndTipWindowsAnswersByName)
{
    // The plug-in folder dialog: "..." puts the chosen folder with its separator into the edit.
    Tplugin* dialog = PluginDialog();
    folderAnswer = dir_.path();
    Click(dialog, "suiButton1");
    EXPECT_EQ(asked, QStringList{"folder"});
    EXPECT_EQ(dialog->LocationText(), dir_.path() + "/");
    Click(dialog, "suiButton2"); // no plug-in file beside the program
    EXPECT_EQ(asked, QStringList{"message"});
    dialog->Show();
    Click(dialog, "suiButton3");
    EXPECT_FALSE(dialog->isVisible());

    // The print page prints at once and closes, freeing itself.
    QPointer<TListForm> page = new TListForm(nullptr);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    page->SetPage(picture, "Project 1");
    page->Show();
    Click(page, "ToolButton17");
    EXPECT_EQ(document->Take(), QStringList{"Button1"});
    EXPECT_EQ(asked, QStringList{"message"}); // the export wrote no picture
    EXPECT_TRUE(page->isVisible());
    Click(page, "ToolButton28");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(page.isNull());

    // The tip window: help, web site, the skin chooser's road and close.
    Twelcome tips;
    tips.FormShow(&tips);
    Click(&tips, "suiButton1");
    EXPECT_EQ(asked, QStringList{"message"}); // no help pages beside the program
    Click(&tips, "suiButton3");
    EXPECT_EQ(LastShellOpen(), kMakerHomePage);
    bool chooser = false;
    qobject_cast<TMenuItem*>(main->FindComponent("FromOutsideFile1"))->OnClick = [&](TObject*) { chooser = true; };
    Click(&tips, "suiButton5");
    EXPECT_TRUE(chooser);
    EXPECT_TRUE(asked.isEmpty());
    const int before = tips.TipNumber;
    Click(&tips, "suiButton2");
    EXPECT_EQ(tips.TipNumber, before % 19 + 1);
    tips.Show();
    Click(&tips, "suiButton4");
    EXPECT_FALSE(tips.isVisible());
}

TEST_F(Walk, ThePrintPageCentresThePictureAndTheHeadingAtAnySize)
{
    TListForm page;
    // Transparent on the left half, half-transparent blue on the right.
    QImage picture(48, 32, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 24; x < 48; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 255, 128));
    page.SetPage(picture, "Project 7");
    TBitmap shown;
    shown.Assign(qobject_cast<TImage*>(page.FindComponent("QRImage1"))->Picture()->Graphic());
    const QImage onPaper = BitmapToQImage(shown);
    EXPECT_EQ(onPaper.pixel(3, 3) & 0xFFFFFF, 0xFFFFFFu); // the paper, not black
    EXPECT_NEAR(qRed(onPaper.pixel(30, 3)), 127, 1);
    EXPECT_EQ(qBlue(onPaper.pixel(30, 3)), 255);
    auto part = [&](const char* name) { return qobject_cast<TControl*>(page.FindComponent(name)); };
    for (const QSize size : {QSize(679, 601), QSize(1000, 760), QSize(900, 480)}) {
        page.SetBounds(0, 0, size.width(), size.height());
        page.FormPaint(&page);
        TControl* panel = part("Panel1");
        TControl* report = part("QuickRep");
        TControl* title = part("title");
        TControl* image = part("QRImage1");
        EXPECT_EQ(report->Width(), panel->Width() - 450) << size.width();
        EXPECT_EQ(report->Height(), panel->Height() - 50);
        EXPECT_EQ(report->Left(), (panel->Width() - report->Width()) / 2);
        EXPECT_EQ(report->Top(), (panel->Height() - report->Height()) / 2);
        EXPECT_EQ(title->Left(), (report->Width() - title->Width()) / 2);
        EXPECT_EQ(image->Width(), 48);
        EXPECT_EQ(image->Height(), 32);
        EXPECT_EQ(image->Left(), (report->Width() - 48) / 2);
        EXPECT_EQ(image->Top(), (report->Height() - 32) / 2);
    }
    EXPECT_EQ(part("title")->Caption(), "Project 7");
}

TEST_F(Walk, EachSnapshotIsANewWindowOverTheDocumentArea)
{
    main->Show();
    auto* templ = new TForm(nullptr);
    templ->setObjectName("newiconview");
    templ->SetFormStyle(fsMDIChild);
    templ->Show();
    templ->SetBounds(0, 0, 600, 420);
    QPointer<TForm> first;
    for (int use = 1; use <= 2; ++use) {
        Click(main, "N34");
        EXPECT_EQ(Count("Tmyiconshow"), use);
        EXPECT_EQ(document->Take(), QStringList{"BitBtn25"});
        QList<TForm*> shown;
        for (TForm* f : Screen->FormList())
            if (f->inherits("Tmyiconshow"))
                shown << f;
        for (TForm* f : shown) {
            EXPECT_EQ(f->Width(), templ->Width());
            EXPECT_EQ(f->Height(), templ->Height());
        }
        if (!first)
            first = shown.value(0);
    }
    EXPECT_FALSE(first.isNull()); // the earlier one stays open
}
