#pragma once

// Test support for the seams between windows: the whole program started through its own start
// routine, with the few moves a person makes between its windows (a second project, a document
// brought to the front by its title bar, a picture of one colour).

#include "app/start/testing_whole_program.h"

#include "document/createico.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/ini_file.h"
#include "platform/gdip.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>

class WindowSeams : public WholeProgram {
protected:
    void SetUp() override
    {
        // No update check over the network at start: these tests let the program's events run.
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        TIniFile(dir.filePath(QStringLiteral("data/rozazuvidodiro.ini")))
            .WriteString(QStringLiteral("liveupdate"), QStringLiteral("openorclose"), QStringLiteral("close"));
        WholeProgram::SetUp();
    }

    static Tnewiconview* Document(int n) { return qobject_cast<Tnewiconview*>(FindForm(QStringLiteral("iconview%1").arg(n))); }
    // "New Icon Project From Current Image" in the active document's menu: a project like it.
    static Tnewiconview* ProjectFromActiveDocument()
    {
        const int next = iconmain->DocumentCounter + 1;
        EXPECT_TRUE(ClickComponentByName(FindForm(iconmain->ActiveDocumentName), "NewIconProjectFromThisImage1"));
        return Document(next);
    }
    // File > New with the size and kind radio buttons of "Create a New Icon" (for example
    // "iconsize32", "iconcolor16").
    static Tnewiconview* NewProject(const char* size, const char* kind)
    {
        TDialogAnswererScope person([&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Tcreateico*>(r.Dialog);
            if (!dialog)
                return false;
            dialog->FormShow(dialog);
            ClickComponentByName(dialog, QLatin1String(size));
            ClickComponentByName(dialog, QLatin1String(kind));
            ClickComponentByName(dialog, "iconsetok");
            r.Result = mrOk;
            return true;
        });
        const QString before = iconmain->ActiveDocumentName;
        EXPECT_TRUE(ClickComponentByName(iconmain, "New1"));
        // A new project may take the name of one closed before.
        return iconmain->ActiveDocumentName == before ? nullptr : Document(iconmain->ActiveDocumentNumber);
    }
    // Lets the program's pending work run, windows closed meanwhile taken down.
    static void LetEventsRun()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    // The frame brings a document to the front as a click on its title bar does.
    static void ClickTitleBar(TForm* document)
    {
        iconmain->ClientArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->MdiFrame()));
    }
    // Fills the current format with one opaque colour and has the document show it again.
    static void Fill(Tnewiconview* document, QRgb colour)
    {
        GdipImageData(document->CurrentImage())->fill(colour);
        document->RebuildView();
        document->UpdateThumbnails();
        document->RepaintFormatList();
    }
    static QImage Picture(Tnewiconview* document) { return GdipImageData(document->CurrentImage())->copy(); }
    // The colour at the centre of a picture of the main window ("iconshow", "icon2", ...).
    static QRgb CentreOf(const char* picture)
    {
        const QImage image = iconmain->Picture(QLatin1String(picture));
        return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
    }
};
