// The main window's ways out through the document: exports from the Save dialog and the PNG
// dialog, the snapshot window and the print page.
#include "document/myiconshow.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/label.h"
#include "mainwindow/list_form.h"
#include "mainwindow/testing_started_program.h"

#include <QFile>
#include <QImageReader>

namespace {

class ExportCommands : public StartedProgram {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    // Answers the next file dialog with the name and filter entry, and every box with OK,
    // noting its text.
    void AnswerFiles(const QString& name, int entry)
    {
        // One scope at a time: a scope puts back the answerer it found when it ends.
        answer.reset();
        answer = std::make_unique<TDialogAnswererScope>([this, name, entry](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkSave) {
                auto* dialog = qobject_cast<TOpenDialog*>(r.Dialog);
                dialog->SetFileName(name);
                dialog->SetFilterIndex(entry);
                r.Result = 1;
                return true;
            }
            if (r.Kind == TDialogRequest::dkForm)
                return onForm ? onForm(r) : false;
            told << r.Text;
            r.Result = IDOK;
            return true;
        });
    }
    std::unique_ptr<TDialogAnswererScope> answer;
    std::function<bool(TDialogRequest&)> onForm;
    QStringList told;
};

} // namespace

TEST_F(ExportCommands, ExportImagesWritesTheCurrentImageInTheChosenFormat)
{
    const struct {
        int entry;
        const char* extension;
    } entries[] = {{4, "bmp"}, {5, "gif"}, {6, "emf"}, {7, "wmf"}, {9, "png"}, {10, "tif"}, {11, "tga"}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.extension);
        AnswerFiles(Path("image"), e.entry);
        ClickComponentByName(iconmain, "N39");
        EXPECT_TRUE(QFile::exists(Path(QStringLiteral("image.") + e.extension)));
    }
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
    const QImage png = QImageReader(Path("image.png")).read().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(png, Picture(doc));

    // File > Export > PNG Files takes its own dialog.
    AnswerFiles(Path("alpha"), 1);
    iconmain->Png1Click(nullptr);
    EXPECT_EQ(QImage(Path("alpha.png")).convertToFormat(QImage::Format_ARGB32), Picture(doc));

    // A place that cannot be written is reported, not passed over.
    AnswerFiles(Path("image.png/x"), 4);
    ClickComponentByName(iconmain, "N39");
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("image.png/x.bmp")) << told[0].toStdString();
}

TEST_F(ExportCommands, IconSnapshotOpensANewWindowWithTheSheetEachTime)
{
    AnswerFiles(QString(), 1);
    ClickComponentByName(iconmain, "N34");
    Tmyiconshow* first = myiconshow;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->FormStyle(), fsMDIChild);
    EXPECT_EQ(first->Caption(), "Snapshot");
    TForm* templ = FindForm("newiconview");
    EXPECT_EQ(first->Width(), templ->Width());
    EXPECT_EQ(first->Height(), templ->Height());
    const int w = doc->CurrentWidth;
    EXPECT_EQ(first->SnapshotImage.size(), QSize(w + 50 + 2 * w + 150, 350));
    EXPECT_EQ(first->SnapshotImage.pixel(50, 255 - doc->CurrentHeight), Picture(doc).pixel(0, 0));

    // The document's popup item goes the same way; the earlier window stays open.
    ClickComponentByName(doc, "CreateSnapshot1");
    EXPECT_NE(myiconshow, first);
    EXPECT_TRUE(Screen->FormList().contains(first));
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
}

TEST_F(ExportCommands, PrintWithPreviewShowsThePageWithTheImageAndTitle)
{
    AnswerFiles(QString(), 1);
    QSize pictureSize;
    QString title;
    onForm = [&](TDialogRequest& r) {
        auto* page = qobject_cast<TListForm*>(r.Dialog);
        if (!page)
            return false;
        auto* image = qobject_cast<TControl*>(page->FindComponent("QRImage1"));
        pictureSize = QSize(image->Width(), image->Height());
        title = qobject_cast<TControl*>(page->FindComponent("title"))->Caption();
        EXPECT_EQ(page->Caption(), "Brelnova Studio - Print ");
        // " Print " prints at once; " Exit " closes the page.
        EXPECT_TRUE(HasClickHandler(page->FindComponent("ToolButton17")));
        ClickComponentByName(page, "ToolButton28");
        r.Result = mrCancel;
        return true;
    };
    iconmain->PrintwithPreview1Click(nullptr);
    // The page lives only while it is shown.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ListForm, nullptr);
    EXPECT_EQ(pictureSize, QSize(doc->CurrentWidth, doc->CurrentHeight));
    EXPECT_EQ(title, doc->Caption());
    EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
}
