#include "mainwindow/printing.h"

#include "framework/commands.h"
#include "mainwindow/testing_recording_document.h"

using Printing = MainWindowWithDocument;

// Without a project the print commands ask for one; the template document behind the projects
// is never printed.
TEST_F(Printing, WithoutAProjectEveryPrintCommandAsksForOne)
{
    TRecordingDocument templ("newiconview");
    for (const char* active : {"newiconview", "iconview9"}) {
        main->ActiveDocumentName = QLatin1String(active);
        for (const char* command : {"Print1", "PrintwithPreview1", "ToolButton56"}) {
            requests.clear();
            ASSERT_TRUE(ClickComponentByName(main, QLatin1String(command))) << command;
            EXPECT_EQ(requests, QStringList{"0: Open or create an icon project first."}) << active << " " << command;
            EXPECT_TRUE(templ.Take().isEmpty()) << active << " " << command;
        }
    }
    EXPECT_TRUE(document->Take().isEmpty());

    // With a project the command reaches it and asks nothing.
    main->ActiveDocumentName = "iconview1";
    requests.clear();
    ClickComponentByName(main, "PrintwithPreview1");
    EXPECT_EQ(document->Take(), QStringList{"Print"});
    EXPECT_TRUE(requests.isEmpty());
}
