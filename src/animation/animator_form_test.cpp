#include "animation/animator_form.h"
#include "animation/gif_preview.h"
#include "animation/palette_form.h"

#include "controls/combo_edit.h"
#include "controls/spin_edit.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/check_box.h"
#include "framework/clipboard.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/label.h"
#include "framework/memo.h"
#include "framework/string_list.h"
#include "framework/speed_button.h"
#include "imaging/gif/gif_animator.h"
#include "imaging/gif/gif_image.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"

#include "framework/commands.h"
#include "framework/page_control.h"
#include "framework/paint_box.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Stands for the desktop's browser: it records what it was asked to show.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> shown;
public slots:
    void Show(const QUrl& url) { shown << url; }
};

class GifBuilder : public ::testing::Test {
protected:
    BrowserStandIn browser;
    QTemporaryDir dir;
    std::unique_ptr<TAnimatorForm> form;
    std::unique_ptr<TDialogAnswererScope> answers;
    QString saveAs;           // the file the Save dialog chooses; empty cancels it
    QString openFile;         // the file the Open dialog chooses; empty cancels it
    int saveQuestion = mrNo;  // the answer to "Save changes to current animation?"
    QStringList questions;
    QStringList errors;
    QStringList saveStarted;  // the name each Save dialog started with

    void SetUp() override
    {
        qputenv("BRELNOVA_REGISTRY", dir.filePath("registry.txt").toUtf8());
        SetProgramFolder(dir.path());
        RegisterGifFormat();
        QDesktopServices::setUrlHandler("file", &browser, "Show");
        answers = std::make_unique<TDialogAnswererScope>([this](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkSave || r.Kind == TDialogRequest::dkOpen) {
                const QString chosen = r.Kind == TDialogRequest::dkSave ? saveAs : openFile;
                if (r.Kind == TDialogRequest::dkSave)
                    saveStarted << static_cast<TOpenDialog*>(r.Dialog)->FileName();
                static_cast<TOpenDialog*>(r.Dialog)->SetFileName(chosen);
                r.Result = chosen.isEmpty() ? 0 : 1;
                return true;
            }
            if (r.Kind == TDialogRequest::dkMessageBox) {
                errors << r.Text;
                r.Result = 1;
                return true;
            }
            if (r.Kind == TDialogRequest::dkMessageDlg) {
                questions << r.Text;
                r.Result = saveQuestion;
                return true;
            }
            return false;
        });
        form = std::make_unique<TAnimatorForm>();
    }
    void TearDown() override
    {
        form.reset();
        answers.reset();
        QDesktopServices::unsetUrlHandler("file");
        SetProgramFolder(QString());
        qunsetenv("BRELNOVA_REGISTRY");
    }

    // A picture file of one colour with a transparent quarter.
    QString Picture(const QString& name, QRgb colour, int w = 20, int h = 10)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(colour);
        for (int y = 0; y < h / 2; ++y)
            for (int x = 0; x < w / 2; ++x)
                image.setPixel(x, y, 0);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    TGIFImage* Gif() const { return form->Image(); }
    template <class T>
    T* Part(const char* name) const { return qobject_cast<T*>(form->FindComponent(QLatin1String(name))); }
    QString Text(const char* name) const { return Part<TLabel>(name)->Caption(); }
    bool Enabled(const char* name) const { return qobject_cast<TControl*>(form->FindComponent(QLatin1String(name)))->Enabled(); }
    TColor PixelColour(TGIFFrame* frame, int x, int y) const { return frame->GetBitmap()->Canvas()->Pixel(x, y); }

    // Three frames: red, green, blue, each marked by its delay.
    void BuildThree()
    {
        // As the user inserts them, from files of several formats.
        for (const auto& [name, colour] : {std::pair{"a.png", qRgb(255, 0, 0)}, {"b.bmp", qRgb(0, 255, 0)}, {"c.tif", qRgb(0, 0, 255)}}) {
            openFile = Picture(name, colour);
            form->InsertBtnClick(nullptr);
        }
        openFile.clear();
        for (int i = 0; i < 3; ++i)
            Gif()->GetFrame(i)->SetDelay(uint16_t(100 * (i + 1)));
    }
    std::vector<int> Delays() const
    {
        std::vector<int> d;
        for (int i = 0; i < Gif()->GetCount(); ++i)
            d.push_back(Gif()->GetFrame(i)->Delay());
        return d;
    }
};

TEST_F(GifBuilder, AThreeFrameAnimationIsSavedAndReadBackWithEveryProperty)
{
    BuildThree();
    ASSERT_EQ(Gif()->GetCount(), 3);
    EXPECT_EQ(Text("GIFVersion"), "89a");

    // Set through the window's own controls, as a person would.
    form->SelectFrame(1, true);
    Part<TRxSpinEdit>("DelayTime")->SetValue(25);
    Part<TComboBox>("DisposalCombo")->SetItemIndex(2);
    Part<TComboBox>("DisposalCombo")->OnChange(nullptr);
    Part<TRxSpinEdit>("ImageLeft")->SetValue(4);
    form->SelectFrame(2, true);
    Gif()->GetFrame(2)->SetTransparentColor(TColor(0xFF0000)); // blue, as TColor
    // The background is picked from the palette of the third frame, the only one holding blue.
    {
        TDialogAnswererScope pick([](TDialogRequest& r) {
            auto* palette = qobject_cast<TPaletteForm*>(r.Dialog);
            if (r.Kind != TDialogRequest::dkForm || !palette)
                return false;
            int row = -1, col = -1;
            palette->FindColorCell(TColor(0xFF0000), row, col);
            auto* grid = dynamic_cast<TDrawGrid*>(palette->FindComponent("ColorGrid"));
            grid->SetRow(row);
            grid->SetCol(col);
            r.Result = mrOk;
            return true;
        });
        form->BackColorButtonClick(nullptr);
    }
    EXPECT_EQ(ColorToRGB(Gif()->GetBackgroundColor()), TColor(0xFF0000));
    Part<TCheckBox>("LoopBox")->SetChecked(true);
    Part<TRxSpinEdit>("RepeatCnt")->SetValue(3);
    Part<TMemo>("FrameComment")->Lines()->SetText("third frame");
    Part<TMemo>("TrailingComment")->Lines()->SetText("made here\nsecond line");
    EXPECT_EQ(Gif()->GetFrame(1)->Delay(), 250);
    EXPECT_EQ(Gif()->GetFrame(1)->Disposal(), 2);
    EXPECT_EQ(Gif()->GetScreenWidth(), 24); // the screen grew to cover the moved frame
    EXPECT_TRUE(Gif()->Looping);
    EXPECT_EQ(Gif()->RepeatCount, 3);
    EXPECT_TRUE(form->Modified);

    saveAs = dir.filePath("three.gif");
    form->SaveBtnClick(nullptr); // no name yet: Save asks for one
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(form->FileName, saveAs);
    EXPECT_TRUE(form->Caption().endsWith(" - three.gif")) << form->Caption().toStdString();
    const QByteArray written = [&] { QFile f(saveAs); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    ASSERT_TRUE(written.startsWith("GIF89a"));
    // The screen's background index names blue in the global table.
    ASSERT_TRUE(uint8_t(written[10]) & 0x80);
    const int background = uint8_t(written[11]);
    EXPECT_EQ(written.mid(13 + 3 * background, 3), QByteArray("\x00\x00\xFF", 3));

    form->NewBtn1Click(nullptr);
    EXPECT_EQ(Gif()->GetCount(), 0);
    openFile = saveAs;
    form->OpenBtnClick(nullptr);
    ASSERT_EQ(Gif()->GetCount(), 3);
    EXPECT_FALSE(form->Modified);
    EXPECT_EQ(Delays(), (std::vector<int>{100, 250, 300}));
    EXPECT_EQ(Gif()->GetFrame(1)->Disposal(), 2);
    EXPECT_EQ(Gif()->GetFrame(1)->Origin().X, 4);
    EXPECT_EQ(ColorToRGB(Gif()->GetFrame(2)->TransparentColor()), TColor(0xFF0000));
    EXPECT_EQ(ColorToRGB(Gif()->GetBackgroundColor()), TColor(0xFF0000));
    EXPECT_TRUE(Gif()->Looping);
    EXPECT_EQ(Gif()->RepeatCount, 3);
    EXPECT_EQ(Gif()->GetFrame(2)->GetComment()->Text().trimmed(), "third frame");
    EXPECT_EQ(Gif()->GetComment()->Count(), 2);
    // Pixels as inserted: the visible part keeps its colour.
    EXPECT_EQ(ColorToRGB(PixelColour(Gif()->GetFrame(0), 15, 8)), TColor(0x0000FF));
    EXPECT_EQ(ColorToRGB(PixelColour(Gif()->GetFrame(2), 15, 8)), TColor(0xFF0000));
    // The transparent quarter became the frame's transparent colour.
    EXPECT_EQ(PixelColour(Gif()->GetFrame(0), 0, 0), ColorToRGB(Gif()->GetFrame(0)->TransparentColor()));

    // Saving again without a stroke writes the same file.
    form->SaveBtnClick(nullptr);
    QFile again(saveAs);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), written);

    const QString gifsicle = QStandardPaths::findExecutable("gifsicle");
    if (gifsicle.isEmpty())
        GTEST_SKIP() << "gifsicle is not installed";
    QProcess info;
    info.start(gifsicle, {"--info", saveAs});
    ASSERT_TRUE(info.waitForFinished(10000));
    EXPECT_EQ(info.exitCode(), 0) << info.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(out.contains("3 images")) << out.toStdString();
    EXPECT_TRUE(out.contains("loop count 3")) << out.toStdString();
    EXPECT_TRUE(out.contains(QString("background %1").arg(background))) << out.toStdString();
}

TEST_F(GifBuilder, InsertPutsTheFrameAfterTheCurrentOneAndPasteAppends)
{
    BuildThree();
    form->SelectFrame(1, true);
    form->InsertPictureFile(Picture("new.png", qRgb(9, 9, 9)));
    EXPECT_EQ(Delays(), (std::vector<int>{100, 200, 0, 300}));
    EXPECT_EQ(Gif()->FrameIndex, 2);

    form->SelectFrame(0, true);
    form->InsertPictureFile(Picture("new2.png", qRgb(8, 8, 8)));
    EXPECT_EQ(Delays(), (std::vector<int>{100, 0, 200, 0, 300}));
    EXPECT_EQ(Gif()->FrameIndex, 1);

    // Copy the third frame (delay 200) through the "GIF Image" format; paste appends it.
    form->SelectFrame(2, true);
    form->CopyBtnClick(nullptr);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_GIFIMAGE));
    EXPECT_TRUE(Enabled("PasteBtn"));
    form->PasteBtnClick(nullptr);
    ASSERT_EQ(Gif()->GetCount(), 6);
    EXPECT_EQ(Gif()->FrameIndex, 5);
    EXPECT_EQ(Gif()->GetFrame(5)->Delay(), 200);
    EXPECT_EQ(ColorToRGB(PixelColour(Gif()->GetFrame(5), 15, 8)), TColor(0x00FF00));

    // Cut takes the current frame away after copying it.
    form->CutBtnClick(nullptr);
    EXPECT_EQ(Gif()->GetCount(), 5);
    EXPECT_EQ(Gif()->FrameIndex, 4);
}

TEST_F(GifBuilder, FirstInsertsUseScratchNumbersOneAndTwoAndAFileThatIsNoPictureAddsNothing)
{
    openFile = Picture("first.png", qRgb(1, 2, 3));
    form->InsertBtnClick(nullptr);
    openFile = Picture("second.png", qRgb(4, 5, 6));
    form->InsertBtnClick(nullptr);
    EXPECT_TRUE(QFile::exists(ScratchPath("gif1.gif")));
    EXPECT_TRUE(QFile::exists(ScratchPath("gif2.gif")));
    EXPECT_TRUE(QFile::exists(ScratchPath("gifgifgif.png")));
    ASSERT_EQ(Gif()->GetCount(), 2);
    // The visible colour survives the key colour: no visible pixel turned transparent.
    TGIFFrame* f = Gif()->GetFrame(1);
    EXPECT_NE(PixelColour(f, 15, 8), ColorToRGB(f->TransparentColor()));
    EXPECT_EQ(PixelColour(f, 0, 0), ColorToRGB(f->TransparentColor()));

    QFile bad(dir.filePath("bad.gif"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("GIF89a\x01");
    bad.close();
    EXPECT_ANY_THROW(form->InsertPictureFile(bad.fileName()));
    EXPECT_EQ(Gif()->GetCount(), 2);
}

TEST_F(GifBuilder, LoopingAndRepeatFollowEachOther)
{
    BuildThree();
    auto* loop = Part<TCheckBox>("LoopBox");
    auto* repeatAll = Part<TCheckBox>("RepeatForever");
    auto* count = Part<TRxSpinEdit>("RepeatCnt");
    loop->SetChecked(true);
    count->SetValue(0);
    count->OnChange(count);
    EXPECT_TRUE(repeatAll->Checked());
    EXPECT_EQ(Gif()->RepeatCount, 0);
    count->SetValue(3);
    EXPECT_FALSE(repeatAll->Checked());
    EXPECT_EQ(Gif()->RepeatCount, 3);
    repeatAll->SetChecked(true);
    EXPECT_EQ(Gif()->RepeatCount, 0);
    EXPECT_EQ(count->GetValueAsInteger(), 3);
    loop->SetChecked(false);
    EXPECT_FALSE(loop->Checked());
    EXPECT_FALSE(repeatAll->Enabled());
    EXPECT_FALSE(count->Enabled());
    EXPECT_FALSE(Gif()->Looping);
}

TEST_F(GifBuilder, ThumbnailsFollowTheCurrentFrame)
{
    for (int i = 0; i < 9; ++i)
        form->InsertPictureFile(Picture(QString("f%1.png").arg(i), qRgb(i * 20, 0, 0)));
    form->SelectFrame(0, true);
    EXPECT_EQ(Text("No1"), "1");
    form->SelectFrame(8, true);
    EXPECT_EQ(Text("No1"), "6");
    EXPECT_EQ(Text("No4"), "9");
    form->SelectFrame(1, true);
    EXPECT_EQ(Text("No1"), "2");
    EXPECT_EQ(Text("No4"), "5");
    // The duration shows the delay in hundredths; a disposal beyond 3 shows "Undefined".
    Gif()->GetFrame(1)->SetDelay(250);
    Gif()->GetFrame(1)->SetDisposal(5);
    form->ShowProperties();
    EXPECT_EQ(Part<TRxSpinEdit>("DelayTime")->GetValueAsInteger(), 25);
    EXPECT_EQ(Part<TComboBox>("DisposalCombo")->ItemIndex(), 0);
}

TEST_F(GifBuilder, MovingAndDeletingFramesAndTheButtonsTheyLeave)
{
    BuildThree();
    form->SelectFrame(0, true);
    form->ToolButton11Click(nullptr); // the first frame cannot move backward
    EXPECT_EQ(Delays(), (std::vector<int>{100, 200, 300}));
    form->DownBtnClick(nullptr);
    EXPECT_EQ(Delays(), (std::vector<int>{200, 100, 300}));
    EXPECT_EQ(Gif()->FrameIndex, 1);
    form->SelectFrame(2, true);
    form->DownBtnClick(nullptr); // nor the last forward
    EXPECT_EQ(Delays(), (std::vector<int>{200, 100, 300}));

    Clipboard()->Clear();
    for (int i = 0; i < 3; ++i)
        form->DeleteBtnClick(nullptr);
    EXPECT_EQ(Gif()->GetCount(), 0);
    for (const char* on : {"newbtn", "OpenBtn", "InsertBtn", "suiButton6"})
        EXPECT_TRUE(Enabled(on)) << on;
    for (const char* off : {"SaveBtn", "saveasbtn", "CutBtn", "CopyBtn", "DeleteBtn", "PasteBtn", "UpBtn", "DownBtn", "left",
                            "reght", "edit", "Previewsee", "see"})
        EXPECT_FALSE(Enabled(off)) << off;
}

TEST_F(GifBuilder, PendingChangesAreAskedAboutAndTheBrowserPreviewKeepsThem)
{
    BuildThree();
    saveQuestion = mrCancel;
    openFile = dir.filePath("never.gif");
    form->OpenBtnClick(nullptr);
    ASSERT_EQ(questions, QStringList{"Save changes to current animation?"});
    EXPECT_EQ(Gif()->GetCount(), 3); // cancelled before the open dialog

    // Closing asks too; Cancel keeps the window and its frames.
    form->Show();
    form->suiButton6Click(nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(questions.size(), 2);

    form->seeClick(nullptr);
    EXPECT_TRUE(QFile::exists(ScratchPath("gifpreview.gif")));
    EXPECT_TRUE(form->Modified);
    EXPECT_TRUE(form->FileName.isEmpty());

    // A file that is no GIF leaves an empty picture and no name.
    QFile bad(dir.filePath("bad.gif"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a gif at all");
    bad.close();
    saveQuestion = mrNo;
    openFile = bad.fileName();
    form->OpenBtnClick(nullptr);
    EXPECT_EQ(Gif()->GetCount(), 0);
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(GifBuilder, TheBrowserOnlyShowsTheAnimationWhichKeepsItsFileAndFolders)
{
    BuildThree();
    saveAs = dir.filePath("kept.gif");
    form->ToolButton13Click(nullptr);
    ASSERT_EQ(form->FileName, saveAs);
    form->DeleteBtnClick(nullptr);
    ASSERT_TRUE(form->Modified);
    auto* save = Part<TSaveDialog>("SaveDialog");
    auto* open = Part<TOpenDialog>("OpenDialog");
    const QStringList before = {save->FileName(), save->InitialDir(), open->FileName(), open->InitialDir(), form->Caption()};

    ASSERT_TRUE(ClickComponentByName(form.get(), "see"));
    ASSERT_EQ(browser.shown.size(), 1);
    EXPECT_EQ(browser.shown[0].toLocalFile(), ScratchPath("gifpreview.gif"));
    EXPECT_TRUE(QFile::exists(ScratchPath("gifpreview.gif")));
    EXPECT_EQ(form->FileName, saveAs);
    EXPECT_TRUE(Enabled("SaveBtn"));
    EXPECT_TRUE(form->Modified);
    EXPECT_EQ((QStringList{save->FileName(), save->InitialDir(), open->FileName(), open->InitialDir(), form->Caption()}), before);
    EXPECT_TRUE(errors.isEmpty());

    // With no browser to show it, the builder says so.
    QDesktopServices::setUrlHandler("file", &browser, "NoBrowserHere");
    ASSERT_TRUE(ClickComponentByName(form.get(), "see"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("There is no browser to show the animation.")) << errors[0].toStdString();
    EXPECT_EQ(form->FileName, saveAs);
}

TEST_F(GifBuilder, AfterOpeningOneFrameThePagesHaveTheFocusAndTheStatusLineIsHidden)
{
    openFile = Picture("one.png", qRgb(0, 0, 255));
    form->InsertBtnClick(nullptr);
    saveAs = dir.filePath("one.gif");
    form->ToolButton13Click(nullptr);
    form->NewBtn1Click(nullptr);
    // Three frames, with the focus on the frame position as a click on a thumbnail leaves it.
    BuildThree();
    form->Show();
    QApplication::processEvents();
    form->PaintBoxMouseDown(Part<TPaintBox>("PaintBox2"), mbLeft, TShiftState(), 5, 5);
    ASSERT_TRUE(Part<TControl>("FramePos")->Focused());
    auto* status = Part<TControl>("Status");
    auto* progress = Part<TControl>("Progress");
    EXPECT_FALSE(status->Visible());

    // Both show while the file opens.
    bool shownWhileOpening = false;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkMessageDlg) {
            r.Result = mrNo; // the three frames need not be kept
            return true;
        }
        if (r.Kind != TDialogRequest::dkOpen)
            return false;
        shownWhileOpening = status->Visible() && progress->Visible();
        static_cast<TOpenDialog*>(r.Dialog)->SetFileName(saveAs);
        r.Result = 1;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(form.get(), "OpenBtn"));
    ASSERT_EQ(Gif()->GetCount(), 1);
    EXPECT_TRUE(shownWhileOpening);
    EXPECT_FALSE(status->Visible());
    EXPECT_FALSE(progress->Visible());
    EXPECT_FALSE(Part<TControl>("FramePos")->Enabled());
    auto* pages = Part<TPageControl>("PageControl1");
    EXPECT_TRUE(pages->Focused());
}

TEST_F(GifBuilder, EveryButtonOfTheWindowRunsWithAndWithoutFrames)
{
    saveAs = dir.filePath("walk.gif");
    int previews = 0;
    TDialogAnswererScope forms([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkForm) {
            ++previews;
            r.Result = mrCancel;
            return true;
        }
        if (r.Kind == TDialogRequest::dkSave || r.Kind == TDialogRequest::dkOpen) {
            const QString chosen = r.Kind == TDialogRequest::dkSave ? saveAs : openFile;
            static_cast<TOpenDialog*>(r.Dialog)->SetFileName(chosen);
            r.Result = chosen.isEmpty() ? 0 : 1;
            return true;
        }
        r.Result = r.Kind == TDialogRequest::dkMessageDlg ? mrNo : 0;
        return true;
    });
    SetGifFrameEditor([](const QString&) {});
    const char* buttons[] = {"newbtn", "OpenBtn", "SaveBtn", "saveasbtn", "InsertBtn", "CutBtn", "CopyBtn", "PasteBtn", "DeleteBtn",
                             "UpBtn", "DownBtn", "edit", "Previewsee", "see", "left", "reght"};
    for (bool frames : {false, true}) {
        if (frames)
            BuildThree();
        // Open and Insert choose this picture.
        openFile = Picture("walk.png", qRgb(1, 1, 1));
        for (const char* name : buttons) {
            auto* c = qobject_cast<TControl*>(form->FindComponent(QLatin1String(name)));
            ASSERT_TRUE(c && c->OnClick) << name;
            try {
                c->OnClick(c);
            } catch (const Exception& e) {
                ADD_FAILURE() << name << ": " << e.Message().toStdString();
            }
            if (frames && Gif()->GetCount() == 0)
                BuildThree();
        }
    }
    EXPECT_GE(previews, 1);
    EXPECT_TRUE(QFile::exists(ScratchPath("gif0.bmp")) || QFile::exists(ScratchPath("gif1.bmp")) ||
                QFile::exists(ScratchPath("gif2.bmp")));
    SetGifFrameEditor(nullptr);
}

} // namespace

namespace {

TEST_F(GifBuilder, KeepsItsPlacementAndFoldersInTheRegistryUnderItsCompanyAndTitle)
{
    form.reset();
    Application->SetTitle("Brelnova Studio");
    form = std::make_unique<TAnimatorForm>();
    Part<TOpenDialog>("OpenDialog")->SetInitialDir(dir.path());
    form->Show();
    form->SetBounds(30, 40, form->Width(), form->Height());
    form->Close();
    EXPECT_FALSE(form->isVisible());
    const QString key = "Software\\RX\\Brelnova Studio\\TAnimatorForm";
    RegistryValue v;
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, "NormPos", &v));
    EXPECT_TRUE(v.Text().startsWith("30,40,"));
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, "OpenDialog_InitialDir", &v));
    EXPECT_EQ(v.Text(), dir.path());
    Application->SetTitle(QString());
}

} // namespace

TEST_F(GifBuilder, SaveAsAsksBeforeWritingOverAFileAndANewAnimationStartsWithNoName)
{
    BuildThree();
    saveAs = dir.filePath("first.gif");
    form->ToolButton13Click(nullptr);
    QFile first(saveAs);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray written = first.readAll();
    first.close();

    // Another animation: its dialog starts with no name, never the file saved before.
    form->NewBtn1Click(nullptr);
    BuildThree();
    questions.clear();
    saveStarted.clear();
    form->ToolButton13Click(nullptr);
    EXPECT_EQ(saveStarted, QStringList{QString()});
    // That file chosen all the same: asked first, and No keeps it.
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("first.gif") && questions[0].contains("replace")) << questions[0].toStdString();
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), written);
    EXPECT_TRUE(form->FileName.isEmpty());
}

#include "animator_form_test.moc"
