#include "document/createico.h"
#include "document/format_list.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/ini_file.h"
#include "mainwindow/testing_started_program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>

namespace {

class NewProjectRoad : public StartedProgram {
protected:
    // Runs open; when the new-project dialog shows, act works in it. Returns whether it showed.
    bool ThroughNew(const std::function<void()>& open, const std::function<void(Tcreateico&)>& act)
    {
        bool shown = false;
        TDialogAnswererScope person([&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Tcreateico*>(r.Dialog);
            if (!dialog)
                return false;
            shown = true;
            // An answered modal window is not shown: its showing's work is done here.
            dialog->FormShow(dialog);
            act(*dialog);
            r.Result = mrOk;
            return true;
        });
        open();
        return shown;
    }
    static void Click(TForm& form, const char* name) { ASSERT_TRUE(ClickComponentByName(&form, name)) << name; }
};

} // namespace

TEST_F(NewProjectRoad, NewFromMenuButtonKeysAndAnEmptyTileMakesAProjectInTheFrame)
{
    const struct {
        const char* Road;
        std::function<void()> Open;
        const char* SizeRadio;
        const char* KindRadio;
        const char* Format;
    } roads[] = {
        {"New1", [] { ClickComponentByName(iconmain, "New1"); }, "iconsize16", "iconcolor1", "16 * 16 - Mono"},
        {"ToolButton1", [] { ClickComponentByName(iconmain, "ToolButton1"); }, "iconsize128", "iconcolor256",
         "128 * 128 - 256"},
        {"Ctrl+N",
         [] {
             QKeyEvent down(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
             QApplication::sendEvent(iconmain, &down);
         },
         "iconsize32", "iconcolor24", "32 * 32 - 16.8M"},
        {"empty tile", [] { iconmain->icon9Click(nullptr); }, "iconsize72", "iconcolorxp", "72 * 72 - XP"},
    };
    int n = 1;
    for (const auto& road : roads) {
        SCOPED_TRACE(road.Road);
        const bool shown = ThroughNew(road.Open, [&](Tcreateico& dialog) {
            Click(dialog, road.SizeRadio);
            Click(dialog, road.KindRadio);
            Click(dialog, "iconsetok");
        });
        ASSERT_TRUE(shown);
        const QString name = "iconview" + QString::number(++n);
        auto* project = qobject_cast<Tnewiconview*>(FindForm(name));
        ASSERT_NE(project, nullptr);
        EXPECT_EQ(FormatCaption(*project, 1), road.Format);
        EXPECT_EQ(project->Caption(), "Project " + QString::number(n));
        EXPECT_EQ(iconmain->ActiveDocumentName, name);
        EXPECT_EQ(iconmain->DocumentCounter, n);
        EXPECT_EQ(project->FormStyle(), fsMDIChild);
        EXPECT_TRUE(project->isVisible());
    }
}

TEST_F(NewProjectRoad, SetToDefaultWritesTheKeysTheMainWindowReadsAndCancelMakesNothing)
{
    ASSERT_TRUE(ThroughNew([] { ClickComponentByName(iconmain, "New1"); }, [&](Tcreateico& dialog) {
        Click(dialog, "iconsize96");
        Click(dialog, "iconcolor16");
        Click(dialog, "setdefault");
        Click(dialog, "iconcancel");
    }));
    EXPECT_EQ(FindForm("iconview2"), nullptr);
    EXPECT_EQ(iconmain->DocumentCounter, 1);
    // The main window reads the same keys for its new images.
    for (const auto& [key, value] : {std::pair{"x", "96"}, {"y", "96"}, {"color", "16"}})
        EXPECT_EQ(TIniFile(dir.filePath("data/rozazuvidodiro.ini")).ReadString("default", key, "no"), value);
}

TEST_F(NewProjectRoad, AProjectFromADocumentsPopupIsTheFramesLikeAnyOther)
{
    ASSERT_TRUE(ClickComponentByName(doc, "NewIconProjectFromThisImage1"));
    QPointer<Tnewiconview> project = qobject_cast<Tnewiconview*>(FindForm("iconview2"));
    ASSERT_TRUE(project);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
    EXPECT_EQ(project->Caption(), "Project 2");
    EXPECT_EQ(project->FormStyle(), fsMDIChild);

    // The frame bringing a project to the front makes it the active document.
    iconmain->ClientArea()->setActiveSubWindow(nullptr);
    doc->suiForm1Click(doc);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
    iconmain->ClientArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(project->parentWidget()));
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");

    // When it goes, the project left becomes the active one again.
    delete project.data();
    QCoreApplication::processEvents();
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview1");
}
