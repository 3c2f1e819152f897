#include "mainwindow/iconmain_files.h"

#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "framework/testing_forms.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/open_dispatch.h"
#include "mainwindow/program_start.h"
#include "platform/program_paths.h"
#include "testsupport/testdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainWindowFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("data");
        SetProgramFolder(dir.path());
        QFile::copy(TestDataPath("icons/pillow/hopper.ico"), dir.filePath("Hop.ico"));
    }
    void TearDown() override
    {
        FreeEveryForm();
        SetProgramFolder(QString());
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(MainWindowFiles, TheCommandLineFileOpensAsAProjectAndEntersTheHistory)
{
    const QString path = dir.filePath("Hop.ico");
    StartProgram({path});
    ASSERT_TRUE(iconmain);
    iconmain->Timer3Timer(nullptr);
    auto* project = qobject_cast<Tnewiconview*>(FindForm("iconview1"));
    ASSERT_TRUE(project);
    EXPECT_EQ(project->Caption(), "New Icon 1");
    EXPECT_EQ(project->SavedFileName, path);
    EXPECT_EQ(iconmain->FindComponent("userfilename")->property("Text").toString(), path);

    // The start-up fills the recent files after the open, from the history that now holds it.
    EXPECT_EQ(iconmain->RecentPaths[1], path);
    auto* combo = qobject_cast<TCustomComboBox*>(iconmain->FindComponent("userfilename"));
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->Items()->Count(), 2); // opened once, listed once from the history
    EXPECT_EQ(iconmain->FindComponent("N1Untitled1")->property("Caption").toString(), "1 - " + RecentItemLabel(path));
    EXPECT_EQ(iconmain->FindComponent("N2Untitled1")->property("Caption").toString(), "2 - Untitled");

    // The document's close question answered Yes runs the main window's Save.
    QFile::remove(path);
    iconmain->RunMainCommand("ToolButton3Click");
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(MainWindowFiles, KeptImagesAreCountedOnTheStatusLineWithinItsPanel)
{
    const QString path = dir.filePath("pillow.ico");
    QFile::copy(TestDataPath("icons/pillow/pillow.ico"), path);
    StartProgram({path});
    ASSERT_TRUE(iconmain);
    iconmain->Timer3Timer(nullptr);
    auto* project = qobject_cast<Tnewiconview*>(FindForm("iconview1"));
    ASSERT_TRUE(project);
    // Painting the document rewrites the pointer labels; the count stays.
    project->FormPaint(project);
    auto* label = qobject_cast<QWidget*>(iconmain->FindComponent("openstatus"));
    auto* before = qobject_cast<QWidget*>(iconmain->FindComponent("projectcaption"));
    ASSERT_TRUE(label && before);
    const QString text = label->property("Caption").toString();
    EXPECT_EQ(text, "1 image(s) kept unedited");
    const QString beforeText = before->property("Caption").toString();
    EXPECT_LT(before->x() + before->fontMetrics().horizontalAdvance(beforeText), label->x());
    EXPECT_LE(label->x() + label->fontMetrics().horizontalAdvance(text), label->parentWidget()->width());
    if (auto* after = qobject_cast<QWidget*>(iconmain->FindComponent("helpkey")))
        EXPECT_LT(label->x() + label->fontMetrics().horizontalAdvance(text), after->x());
}

TEST_F(MainWindowFiles, OpenAndSaveRunThroughTheMainWindowsDialogs)
{
    StartProgram({});
    ASSERT_TRUE(iconmain);
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkOpen) {
            r.Dialog->setProperty("FileName", dir.filePath("Hop.ico"));
            r.Result = 1;
            return true;
        }
        return false;
    });
    {
        TIconmainFiles files(*iconmain);
        OpenCommand(files);
    }
    EXPECT_TRUE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->FindComponent("OpenDialog1")->property("FileName").toString(), dir.filePath("Hop.ico"));
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
    // The dialog offers the thirteen entries, all supported files first, in either case.
    auto* dialog = qobject_cast<TOpenDialog*>(iconmain->FindComponent("OpenDialog1"));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->Filter().count('|'), 25);
    EXPECT_EQ(dialog->FilterIndex(), 13);
    EXPECT_TRUE(dialog->Filter().contains("|*.ico;*.ICO|Cursors (*.cur)|"));
}

TEST_F(MainWindowFiles, AFileDroppedOnTheMainWindowOpens)
{
    StartProgram({});
    ASSERT_TRUE(iconmain);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir.filePath("Hop.ico")), QUrl::fromLocalFile(dir.filePath("other.ico"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(iconmain, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(iconmain, &drop);
    auto* project = qobject_cast<Tnewiconview*>(FindForm("iconview1"));
    ASSERT_TRUE(project);
    EXPECT_EQ(project->SavedFileName, dir.filePath("Hop.ico"));
    EXPECT_FALSE(FindForm("iconview2"));
}
