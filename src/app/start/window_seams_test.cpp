#include "app/start/testing_window_seams.h"

#include "document/copyimageokok.h"
#include "framework/label.h"
#include "imaging/bitmap/image32.h"
#include "mainwindow/set_color.h"
#include "settings/setwindow.h"
#include "skin/controls/color_box.h"
#include "skin/controls/message_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

// Tile and Cascade arrange the user's projects, and the frame's window switching goes from one
// to the other; the hidden template stays parked out of sight and never comes to the front.
TEST_F(WindowSeams, TileAndCascadeLeaveTheTemplateParked)
{
    Tnewiconview* second = ProjectFromActiveDocument();
    ASSERT_TRUE(second);
    TForm* templ = FindForm("newiconview");
    ASSERT_TRUE(templ && templ->MdiFrame());
    const QRect parked = templ->MdiFrame()->geometry();
    const QRect area = iconmain->ClientArea()->viewport()->rect();
    ASSERT_FALSE(parked.intersects(area));
    for (const char* command : {"Tile1", "Cascade1", "Tile1"}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(ClickComponentByName(iconmain, command));
        EXPECT_EQ(templ->MdiFrame()->geometry(), parked);
        EXPECT_FALSE(templ->Active());
        EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");
        for (Tnewiconview* project : {doc, second}) {
            const QRect frame = project->MdiFrame()->geometry();
            EXPECT_TRUE(area.contains(frame) && frame.width() > area.width() / 3) << project->objectName().toStdString();
        }
    }
    for (const char* name : {"iconview1", "iconview2", "iconview1"}) {
        QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        QApplication::sendEvent(FindForm(iconmain->ActiveDocumentName), &ctrlTab);
        QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        QApplication::sendEvent(FindForm(iconmain->ActiveDocumentName), &ctrlUp);
        EXPECT_FALSE(templ->Active());
        EXPECT_EQ(iconmain->ActiveDocumentName, name);
    }
}

// Whichever way a document comes to the front, the colour panel works with its kind: a colour
// with opacity in a true-colour document is not snapped to the 16-colour table of the project
// made last.
TEST_F(WindowSeams, TheColourPanelFollowsTheDocumentInFront)
{
    const struct {
        const char* Road;
        std::function<void()> Activate;
    } roads[] = {
        {"title bar", [this] { ClickTitleBar(doc); }},
        {"tile", [] { iconmain->icon1Click(nullptr); }},
        {"click", [this] { doc->suiForm1Click(doc); }},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.Road);
        Tnewiconview* sixteen = NewProject("iconsize32", "iconcolor16");
        ASSERT_TRUE(sixteen);
        ASSERT_EQ(iconmain->NewImageKind, "16");
        road.Activate();
        ASSERT_EQ(iconmain->ActiveDocumentName, "iconview1");
        EXPECT_EQ(iconmain->NewImageKind, doc->FormatTable.Kind(doc->CurrentFormat()));
        EXPECT_EQ(iconmain->NewImageWidth, doc->CurrentWidth);
        if (!iconmain->ColorPanelLive)
            iconmain->Timer1Timer(nullptr);
        for (const auto& [bar, value] : {std::pair{"colorbarr", 0x80}, {"colorbarg", 0x40}, {"colorbarb", 0xC0}, {"colorbara", 140}})
            iconmain->SetTrackBarPosition(bar, value);
        EXPECT_EQ(iconmain->EditText("coloredit"), "8040C0");
        for (const auto& [edit, value] : {std::pair{"upa", "140"}, {"upr", "128"}, {"upg", "64"}, {"upb", "192"}})
            EXPECT_EQ(iconmain->EditText(edit), value) << edit;
        EXPECT_TRUE(qobject_cast<TControl*>(iconmain->FindComponent("colorbara"))->Visible());
        delete sixteen;
        LetEventsRun();
    }
}

// Cut, Copy and Delete work through the rectangle of the document it was drawn in: another
// document in front has nothing selected.
TEST_F(WindowSeams, ASelectionBelongsToTheDocumentItWasDrawnIn)
{
    Fill(doc, qRgb(200, 30, 30));
    Tnewiconview* second = ProjectFromActiveDocument();
    ASSERT_TRUE(second);
    Fill(second, qRgb(30, 30, 200));
    ClickTitleBar(doc);
    ASSERT_TRUE(ClickComponentByName(iconmain, "Selectall1"));
    const QImage first = Picture(doc), other = Picture(second);

    ClickTitleBar(second);
    ASSERT_EQ(iconmain->ActiveDocumentName, "iconview2");
    for (const char* command : {"ToolButton8", "ToolButton9", "ToolButton11"}) {
        SCOPED_TRACE(command);
        ClickComponentByName(iconmain, command);
        EXPECT_EQ(Picture(second), other);
        EXPECT_EQ(Picture(doc), first);
        ASSERT_EQ(second->FormatCount(), 1);
    }

    // Back in the document it was drawn in, the selection is still there to cut.
    ClickTitleBar(doc);
    ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton8"));
    EXPECT_EQ(qAlpha(Picture(doc).pixel(5, 5)), 0);
    EXPECT_EQ(Picture(second), other);
}

// The paste box pastes into the document it was opened for, even when another one came to the
// front while it was open, and goes when that document closes.
TEST_F(WindowSeams, APasteGoesWhereItWasStarted)
{
    Tnewiconview* second = ProjectFromActiveDocument();
    ASSERT_TRUE(second);
    ASSERT_TRUE(ClickComponentByName(iconmain, "Selectall1"));
    ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton9"));
    ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton10"));
    ASSERT_TRUE(copyimageokok && copyimageokok->isVisible());
    Tnewiconview* third = ProjectFromActiveDocument();
    ASSERT_TRUE(third);
    ASSERT_EQ(iconmain->ActiveDocumentName, "iconview3");

    ASSERT_TRUE(ClickComponentByName(copyimageokok, "suiButton1"));
    EXPECT_TRUE(second->FloatingSelection);
    EXPECT_FALSE(third->FloatingSelection);
    EXPECT_EQ(iconmain->ActiveDocumentName, "iconview2");

    // A box left open for a document that closes goes with it.
    ASSERT_TRUE(ClickComponentByName(iconmain, "ToolButton10"));
    ASSERT_TRUE(copyimageokok->isVisible());
    delete second;
    EXPECT_FALSE(copyimageokok->isVisible());
}

// The question of the Editing Options' OK is a window of the dialog's own, shown above it.
TEST_F(WindowSeams, TheEditingOptionsQuestionStandsAboveTheDialog)
{
    ASSERT_TRUE(ClickComponentByName(iconmain, "EditingOptions1"));
    ASSERT_TRUE(setwindow && setwindow->isVisible());
    QWidget* owner = nullptr;
    QString text;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        auto* box = qobject_cast<TfrmMsg*>(r.Dialog);
        if (!box)
            return false;
        text = box->lbl->Caption();
        owner = box->parentWidget() ? box->parentWidget()->window() : nullptr;
        EXPECT_TRUE(box->isWindow());
        r.Result = mrCancel;
        return true;
    });
    ASSERT_TRUE(ClickComponentByName(setwindow, "suiButton1"));
    EXPECT_EQ(text, "Save changes to the Brelnova Studio parameter ?");
    EXPECT_EQ(owner, setwindow);
}

// Grid colours chosen in the Editing Options are the colours the canvas grid is drawn in, and
// the selection colour reaches the main window's state in the same form.
TEST_F(WindowSeams, EditingOptionsColoursArriveAsChosen)
{
    ASSERT_TRUE(ClickComponentByName(iconmain, "EditingOptions1"));
    ASSERT_TRUE(setwindow);
    auto choose = [](int box, const char* name) {
        auto* colours = qobject_cast<TsuiCustomColorBox*>(setwindow->FindComponent(QStringLiteral("suiColorBox%1").arg(box)));
        ASSERT_TRUE(colours);
        for (int i = 0; i < colours->ColorCount(); ++i)
            if (colours->ColorNames(i).endsWith(QLatin1String(name))) {
                colours->SetSelected(colours->Colors(i));
                return;
            }
        FAIL() << name;
    };
    choose(4, "Red");  // the grid's every eighth line
    choose(3, "Lime"); // the grid's other lines
    choose(5, "Blue"); // the selection
    ASSERT_TRUE(ClickComponentByName(setwindow, "suiButton10"));
    EXPECT_EQ(iconmain->GridColor1, 0xFFFF0000u);
    EXPECT_EQ(iconmain->GridColor2, 0xFF00FF00u);
    EXPECT_EQ(iconmain->SelectionColor, 0xFF0000FFu);

    ASSERT_FALSE(doc->GridOff);
    const int z = doc->Zoom;
    ASSERT_GE(z, 5);
    // What the canvas shows: the picture with the grid layer over it.
    const QImage canvas = doc->iconview->grab().toImage();
    const auto near = [](QRgb pixel, int r, int g, int b) {
        return std::abs(qRed(pixel) - r) < 40 && std::abs(qGreen(pixel) - g) < 40 && std::abs(qBlue(pixel) - b) < 40;
    };
    const QRgb minorLine = canvas.pixel(3 * z + z / 2, z), majorLine = canvas.pixel(3 * z + z / 2, 8 * z);
    EXPECT_TRUE(near(minorLine, 0, 255, 0)) << std::hex << minorLine;
    EXPECT_TRUE(near(majorLine, 255, 0, 0)) << std::hex << majorLine;
}

// The preview shows the document in front however it came there, and every document paints
// its own tile: work on a document behind reaches neither the preview nor another's tile.
TEST_F(WindowSeams, ThePreviewAndTheTilesShowTheRightDocument)
{
    const QRgb red = qRgb(220, 20, 20), blue = qRgb(20, 20, 220);
    Fill(doc, red);
    Tnewiconview* second = ProjectFromActiveDocument();
    ASSERT_TRUE(second);
    Fill(second, blue);
    EXPECT_EQ(CentreOf("iconshow"), blue);

    ClickTitleBar(doc);
    EXPECT_EQ(CentreOf("iconshow"), red);
    iconmain->icon2Click(nullptr);
    EXPECT_EQ(CentreOf("iconshow"), blue);
    iconmain->icon1Click(nullptr);
    EXPECT_EQ(CentreOf("iconshow"), red);
    Tnewiconview* third = NewProject("iconsize32", "iconcolorxp");
    ASSERT_TRUE(third);
    EXPECT_NE(CentreOf("iconshow"), red);

    // An effect opened on the first document and cancelled while the second is in front: the
    // first document's restore paints its own tile, not the second's, nor the preview.
    iconmain->icon1Click(nullptr);
    ASSERT_TRUE(ClickComponentByName(iconmain, "Mosaic1"));
    ASSERT_TRUE(set_color && set_color->isVisible());
    set_color->RunCurrentEffect();
    iconmain->icon2Click(nullptr);
    ASSERT_EQ(CentreOf("icon2"), blue);
    ASSERT_TRUE(ClickComponentByName(set_color, "suiButton3"));
    EXPECT_EQ(CentreOf("icon1"), red);
    EXPECT_EQ(CentreOf("icon2"), blue);
    EXPECT_EQ(CentreOf("iconshow"), blue);
}

// The tab strip marks the tile of the document in front after every activation and close.
TEST_F(WindowSeams, TheTabStripMarksTheDocumentInFront)
{
    const QImage marked = iconmain->Picture("imagebgbg");
    auto markedTiles = [&marked] {
        QList<int> tiles;
        for (int n = 1; n <= 24; ++n)
            if (iconmain->Picture(QStringLiteral("iconbg%1").arg(n + 3)) == marked)
                tiles << n;
        return tiles;
    };
    Tnewiconview* second = ProjectFromActiveDocument();
    ASSERT_TRUE(second);
    EXPECT_EQ(markedTiles(), QList<int>{2});
    ClickTitleBar(doc);
    EXPECT_EQ(markedTiles(), QList<int>{1});
    Tnewiconview* third = NewProject("iconsize16", "iconcolor256");
    ASSERT_TRUE(third);
    EXPECT_EQ(markedTiles(), QList<int>{3});
    ClickTitleBar(second);
    EXPECT_EQ(markedTiles(), QList<int>{2});

    // Closing the document in front marks the one that takes its place; closing the last marks
    // none.
    {
        TDialogAnswererScope person([](TDialogRequest& r) {
            r.Result = mrNo;
            return true;
        });
        ASSERT_TRUE(ClickComponentByName(iconmain, "Close1"));
        LetEventsRun();
        ASSERT_FALSE(Document(2));
        ASSERT_TRUE(Document(iconmain->ActiveDocumentNumber));
        EXPECT_EQ(markedTiles(), QList<int>{iconmain->ActiveDocumentNumber});
        for (int n : {1, 3}) {
            if (Tnewiconview* d = Document(n))
                d->Close();
            LetEventsRun();
        }
    }
    EXPECT_EQ(markedTiles(), QList<int>{});
}
