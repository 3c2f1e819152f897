#include "mainwindow/command_routing.h"

#include "framework/commands.h"
#include "mainwindow/testing_recording_document.h"

using Routing = MainWindowWithDocument;

TEST_F(Routing, EveryCommandReachesItsDocumentControl)
{
    const struct {
        const char* Main;
        QStringList Document;
    } rows[] = {
        {"Close1", {"BitBtn20"}},
        {"ToolButton8", {"BitBtn27"}},
        {"ToolButton9", {"BitBtn28"}},
        {"Selectall1", {"Selectall1"}},
        {"ClearAll1", {"BitBtn42"}},
        {"N30", {"BitBtn4", "BitBtn1"}},
        {"Create3232WinXPImageFormat1", {"Create3232WinXPImageFormat1"}},
        {"CreateaNewImageFormat1", {"addimageSHOW1"}},
        {"NewGIFProjectFromCurrentImage1", {"NewGifProjectFromThisImage1"}},
        {"NewANIProjectFromCurrentImage1", {"NewAniProjectFromThisImage1"}},
        {"NewIconProjectFromCurrentImage1", {"NewIconProjectFromThisImage1"}},
        {"RemoveThisImageFormat1", {"RemoveImageFormat1"}},
        {"Properties1", {"Properties1"}},
        {"LineGrid1", {"Grid2"}},
        {"Zoomin1", {"BitBtn2"}},
        {"Zoomout1", {"BitBtn3"}},
        {"FittoWindowZoom1", {"BitBtn26"}},
        {"ToolButton13", {"BitBtn2"}},
        {"ToolButton14", {"BitBtn3"}},
        {"ToolButton16", {"BitBtn26"}},
        {"ShowImageFormatList1", {"ShowImageFormatList2"}},
        {"ShowListonLeft1", {"ShowListonLeft2"}},
        {"ShowListonRight1", {"ShowListonRight2"}},
        {"ShiftLeft1", {"BitBtn33"}},
        {"ShiftRight1", {"BitBtn34"}},
        {"ShiftUp1", {"BitBtn32"}},
        {"ShiftDown1", {"BitBtn35"}},
        {"Rotate90Right1", {"BitBtn13"}},
        {"Rotate90Left1", {"BitBtn12"}},
        {"FlipHorizontal1", {"BitBtn11"}},
        {"FlipVertical1", {"BitBtn10"}},
        {"tool_25", {"BitBtn10"}},
        {"tool_26", {"BitBtn11"}},
        {"tool_27", {"BitBtn12"}},
        {"tool_28", {"BitBtn13"}},
        {"iconshow", {"BitBtn29"}},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(ClickComponentByName(main, row.Main)) << row.Main;
        EXPECT_EQ(document->Take(), row.Document) << row.Main;
    }
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();

    // Undo and Redo go only while their buttons say there is a step.
    ClickComponentByName(main, "ToolButton5");
    ClickComponentByName(main, "ToolButton6");
    EXPECT_TRUE(document->Take().isEmpty());
    main->SetControlEnabled("ToolButton5", true);
    main->SetControlEnabled("ToolButton6", true);
    ClickComponentByName(main, "ToolButton5");
    ClickComponentByName(main, "ToolButton6");
    EXPECT_EQ(document->Take(), QStringList({"BitBtn23", "BitBtn24"}));

    // The master opacity: per cent on the label and in the hidden edit, then the document.
    main->SetTrackBarPosition("layer_a", 128);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn9"}));
    EXPECT_EQ(main->FindComponent("layerok")->property("Caption").toString(), "50%");
    EXPECT_EQ(main->EditText("opacity"), "50");
    EXPECT_TRUE(main->MasterOpacityFromTrackBar);
}

TEST_F(Routing, DeleteWithASelectionDeletesItsPixelsAndLeavesNothingToCutOrPaste)
{
    // Without a selection on the canvas Delete removes the current format.
    ClickComponentByName(main, "ToolButton11");
    EXPECT_EQ(document->Take(), QStringList({"RemoveImageFormat1"}));

    document->SetOverlay(true);
    for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton10", "Cut1", "Copy1", "Paste1", "Delete1"})
        main->SetControlEnabled(name, true);
    ClickComponentByName(main, "Delete1");
    EXPECT_EQ(document->Take(), QStringList({"BitBtn31"}));
    for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton10", "ToolButton11", "Cut1", "Copy1", "Paste1",
                             "Delete1"})
        EXPECT_FALSE(Enabled(name)) << name;
    EXPECT_EQ(main->FindComponent("ToolButton11")->property("Hint").toString(), "Delete image format");
}

TEST_F(Routing, CutAndCopySetTheEditStatesEvenWithoutADocument)
{
    for (const char* button : {"ToolButton8", "ToolButton9"}) {
        main->ActiveDocumentName = "iconview7";
        main->PasteState = 2;
        for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton11", "Cut1", "Copy1", "Delete1"})
            main->SetControlEnabled(name, true);
        main->SetControlEnabled("ToolButton10", false);
        main->SetControlEnabled("Paste1", false);
        ClickComponentByName(main, button);
        EXPECT_EQ(main->PasteState, 1) << button;
        EXPECT_TRUE(Enabled("ToolButton10"));
        EXPECT_TRUE(Enabled("Paste1"));
        for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton11", "Cut1", "Copy1", "Delete1"})
            EXPECT_FALSE(Enabled(name)) << name;
    }
    EXPECT_TRUE(document->Take().isEmpty());
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Routing, AMissingDocumentOrDocumentPartIsSilent)
{
    // The active document was closed: nothing happens, nothing is said.
    main->ActiveDocumentName = "iconview9";
    ClickComponentByName(main, "ShiftLeft1");
    ClickComponentByName(main, "ToolButton11");
    EXPECT_TRUE(requests.isEmpty());

    // The document has no handler for the command: it does not take it, and nothing is said.
    main->ActiveDocumentName = "ICONVIEW1";
    document->Unbind("BitBtn33");
    document->Unbind("RemoveImageFormat1");
    ClickComponentByName(main, "ShiftLeft1");
    ClickComponentByName(main, "ToolButton11");
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
    EXPECT_TRUE(document->Take().isEmpty());

    // A disabled popup item of the document does nothing.
    qobject_cast<TMenuItem*>(document->form->FindComponent("Properties1"))->SetEnabled(false);
    ClickComponentByName(main, "Properties1");
    EXPECT_TRUE(document->Take().isEmpty());
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Routing, MenusCarryTheirCaptionsAndShortcuts)
{
    const struct {
        const char* Item;
        const char* Caption;
        const char* Keys;
    } rows[] = {
        {"New1", "New ", "Ctrl+N"},        {"Open1", "Open...", "Ctrl+O"},      {"Save1", "Save", "Ctrl+S"},
        {"Saveas1", "Save as...", "F2"},   {"Close1", "Close", "Ctrl+W"},       {"Exit1", "Exit", "Ctrl+Q"},
        {"Undo1", "Undo", "Ctrl+Z"},       {"Redo1", "Redo", "Ctrl+Y"},         {"Cut1", "Cut", "Ctrl+X"},
        {"Copy1", "Copy", "Ctrl+C"},       {"Paste1", "Paste", "Ctrl+V"},       {"Selectall1", "Select All", "Ctrl+A"},
        {"ClearAll1", "Clear All", "Ctrl+K"}, {"N30", "Cancel Select", "Ctrl+D"}, {"Zoomin1", "Zoom In", "Ctrl+0"},
        {"Zoomout1", "Zoom Out", "Ctrl+9"}, {"FittoWindowZoom1", "Fit to Window Zoom", "Ctrl+8"},
        {"ShiftLeft1", "Shift Left", "Ctrl+F1"}, {"ShiftRight1", "Shift Right", "Ctrl+F2"},
        {"ShiftUp1", "Shift Up", "Ctrl+F3"}, {"ShiftDown1", "Shift Down", "Ctrl+F4"},
        {"Rotate90Right1", "Rotate 90 Right", "Ctrl+R"}, {"Rotate90Left1", "Rotate 90 Left", "Ctrl+L"},
        {"FlipHorizontal1", "Flip Horizontal", "Ctrl+H"},
        // Ctrl+W belongs to Close.
        {"FlipVertical1", "Flip Vertical", ""},
        {"Help1", "Help", "F1"},
    };
    for (const auto& row : rows) {
        auto* item = qobject_cast<TMenuItem*>(main->FindComponent(row.Item));
        ASSERT_TRUE(item) << row.Item;
        EXPECT_EQ(item->Caption(), row.Caption);
        EXPECT_EQ(item->ShortCut() ? ShortCutToText(item->ShortCut()) : QString(), row.Keys) << row.Item;
    }
    QStringList titles;
    auto* menu = qobject_cast<TMainMenu*>(main->FindComponent("MainMenu1"));
    for (int i = 0; i < menu->Items()->Count(); ++i)
        titles << menu->Items()->Items(i)->Caption();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&Tools", "Effe&cts", "F&ilters", "&Options", "S&kins",
                                   "&Help"}));
}
