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
#include "mainwindow/photoshop_exchange.h"
#include "mainwindow/printing.h"
#include "mainwindow/testing_recording_document.h"
#include "mainwindow/web_window.h"
#include "mainwindow/welcome.h"
#include "testsupport/testdata.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPrinter>

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
    QFile exchange(ExchangeFilePath());
    ASSERT_TRUE(exchange.open(QIODevice::WriteOnly));
    exchange.write("BM");
    exchange.close();

    main->StartupStage = 1;
    main->Timer2Timer(nullptr);
    EXPECT_TRUE(received.isEmpty());
    main->StartupStage = 2;
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
