#include "document/iconset.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/image.h"
#include "mainwindow/testing_recording_document.h"
#include "mainwindow/program_start.h"
#include "mainwindow/xyset.h"

#include <QImage>
#include <QTest>
#include <QWindow>

namespace {

class Palette : public MainWindowWithDocument {
protected:
    void Click(int n) { ClickComponentByName(main, QStringLiteral("tool_%1").arg(n)); }
    // 0 normal, 1 selected, 2 hover, -1 not shown (or more than one shown).
    int Shown(int n) const
    {
        const bool v[3] = {Visible(QStringLiteral("tool_%1").arg(n)), Visible(QStringLiteral("tool_%1_click").arg(n)),
                           Visible(QStringLiteral("tool_%1_up").arg(n))};
        if (v[0] + v[1] + v[2] != 1)
            return -1;
        return v[0] ? 0 : v[1] ? 1 : 2;
    }
    bool Checked(const char* item) const { return main->FindComponent(item)->property("Checked").toBool(); }
    TImage* Picture(const QString& name) const { return qobject_cast<TImage*>(main->FindComponent(name)); }
};

} // namespace

TEST_F(Palette, ToolsSetTheToolItsImageAndTheCheckMark)
{
    const struct {
        int Image;
        int Tool;
        const char* Item;
    } rows[] = {
        {1, 12, "Pencil1"},      {2, 2, "Line1"},           {3, 4, "Brush1"},  {4, 5, "Rectangle1"},
        {5, 6, "FilledRectangle1"}, {6, 7, "Ellipse1"},     {7, 8, "FilledEllipse1"}, {10, 11, "N3DFrame1"},
        {11, 3, "PaintBucket1"}, {0, 1, "Selection1"},
    };
    const char* items[] = {"Selection1", "Pencil1", "Brush1", "PaintBucket1", "Line1", "Rectangle1",
                           "FilledRectangle1", "Ellipse1", "FilledEllipse1", "ColorPicker1", "Text1", "N3DFrame1"};
    for (const auto& row : rows) {
        Click(row.Image);
        EXPECT_EQ(main->CurrentTool, row.Tool) << row.Image;
        EXPECT_EQ(main->ToolImageIndex, row.Image);
        for (const char* item : items)
            EXPECT_EQ(Checked(item), QLatin1String(item) == QLatin1String(row.Item)) << row.Image << " " << item;
        for (int i = 0; i <= 11; ++i)
            EXPECT_EQ(Shown(i), i == row.Image ? 1 : 0) << row.Image << " shows " << i;
    }
    // Selection shows the overlay and restarts the canvas drawing.
    EXPECT_TRUE(document->overlay->Visible());
    EXPECT_EQ(document->Take(), QStringList({"BitBtn4", "BitBtn1"}));
    EXPECT_EQ(main->CanvasTouched, 2);

    // The colour picker hands back to the tool chosen before it.
    Click(2);
    Click(9);
    EXPECT_EQ(main->CurrentTool, 10);
    EXPECT_EQ(main->ToolImageIndex, 2);
    // The Tools items and the keys run the same handlers.
    ClickComponentByName(main, "Brush1");
    EXPECT_EQ(main->CurrentTool, 4);
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
    // Text is chosen and shows its options window.
    Click(8);
    EXPECT_EQ(main->CurrentTool, 9);
    EXPECT_EQ(main->ToolImageIndex, 8);
    ASSERT_TRUE(iconset);
    EXPECT_TRUE(iconset->isVisible());
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
    iconset->Close();
}

TEST_F(Palette, AToolChangeRestartsTheCanvasOnlyAfterItWasPressed)
{
    for (int touched : {0, 2}) {
        main->CanvasTouched = touched;
        Click(4);
        EXPECT_TRUE(document->Take().isEmpty()) << touched;
        EXPECT_FALSE(document->overlay->Visible());
    }
    main->CanvasTouched = 1;
    Click(6);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn4", "BitBtn1"}));
    EXPECT_EQ(main->CanvasTouched, 2);
    // A dropped floating selection stays as it lies: no redraw.
    document->form->FindComponent("BitBtn5")->setProperty("Caption", "true");
    main->CanvasTouched = 1;
    Click(3);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn4"}));
}

TEST_F(Palette, WidthsAndFillStylesAreExclusiveWithinTheirGroup)
{
    const struct {
        int Image, Width, Cap;
    } widths[] = {{13, 1, 1}, {14, 3, 1}, {15, 5, 1}, {16, 7, 1}, {17, 1, 2}, {18, 3, 2}, {19, 5, 2}, {20, 7, 2}};
    for (const auto& w : widths) {
        Click(w.Image);
        EXPECT_EQ(main->PenWidth, w.Width) << w.Image;
        EXPECT_EQ(main->LineCapStyle, w.Cap) << w.Image;
        for (int i = 13; i <= 20; ++i)
            EXPECT_EQ(main->PaletteSelected[size_t(i)], i == w.Image);
        EXPECT_TRUE(main->PaletteSelected[21]); // the fill group keeps its choice
    }
    Click(5); // Filled Rectangle offers the diamond
    const struct {
        int Image, Style;
    } fills[] = {{22, 2}, {23, 3}, {24, 4}, {29, 5}, {30, 6}, {31, 7}, {21, 1}};
    for (const auto& f : fills) {
        Click(f.Image);
        EXPECT_EQ(main->FillStyle, f.Style) << f.Image;
        EXPECT_EQ(Shown(f.Image), 1);
        for (int i : {21, 22, 23, 24, 29, 30, 31, 32})
            EXPECT_EQ(main->PaletteSelected[size_t(i)], i == f.Image) << f.Image << " " << i;
    }
}

TEST_F(Palette, DiamondGradientBelongsToTheFilledRectangle)
{
    EXPECT_FALSE(Visible("tool_31"));
    EXPECT_TRUE(Visible("Image4"));
    Click(5);
    EXPECT_EQ(Shown(31), 0);
    EXPECT_FALSE(Visible("Image4"));
    Click(31);
    EXPECT_EQ(main->FillStyle, 7);
    Click(6); // Ellipse: back to Solid
    EXPECT_EQ(main->FillStyle, 1);
    EXPECT_EQ(Shown(21), 1);
    EXPECT_EQ(Shown(31), -1);
    EXPECT_TRUE(Visible("Image4"));
    // Other fills survive a tool change.
    Click(24);
    Click(7);
    EXPECT_EQ(main->FillStyle, 4);
    EXPECT_EQ(Shown(24), 1);
}

TEST_F(Palette, FlipButtonsPressAndComeBackUp)
{
    TImage* flip = Picture("tool_26");
    flip->OnMouseDown(flip, mbLeft, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(26), 1);
    Click(26);
    EXPECT_EQ(Shown(26), 0);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn11"}));
    for (int i = 25; i <= 28; ++i)
        EXPECT_EQ(Shown(i), 0);
}

TEST_F(Palette, AFlipButtonPressedAndReleasedWithTheMouseRunsItsCommand)
{
    // Through the window, as a real mouse: the hover picture takes the press, the pressed picture
    // replaces it under the pointer, and the release still completes the click.
    main->show();
    QWindow* window = main->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    TImage* hover = Picture("tool_26_up");
    const QPoint at = hover->mapTo(main->window(), QPoint(5, 5));
    main->HoverToolImage(26, 4);
    ASSERT_EQ(Shown(26), 2);
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    EXPECT_EQ(Shown(26), 1);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn11"}));
    EXPECT_EQ(Shown(26), 0);
}

TEST_F(Palette, HoverShowsOverTheChosenToolOnlyUntilTheBackground)
{
    Click(2);
    Picture("tool_4")->OnMouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(4), 2);
    // Over the chosen tool the other hover stays until the mouse reaches another tool.
    Picture("tool_2_click")->OnMouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(4), 2);
    EXPECT_EQ(Shown(2), 1);
    Picture("tool_6")->OnMouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(4), 0);
    EXPECT_EQ(Shown(6), 2);
    Picture("tool_27")->OnMouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(27), 2);
    Picture("Image1")->OnMouseMove(nullptr, TShiftState(), 1, 1);
    EXPECT_EQ(Shown(6), 0);
    EXPECT_EQ(Shown(2), 1);
}

TEST_F(Palette, ImageGradientTakesAReadablePictureOrFallsBack)
{
    const QString picture = dir_.filePath("fill.png");
    QImage(4, 4, QImage::Format_ARGB32).save(picture);
    const QString broken = dir_.filePath("broken.png");
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();

    QString choose; // the file the person picks; empty cancels
    QStringList boxes;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        if (r.Kind == TDialogRequest::dkOpen) {
            if (!choose.isEmpty())
                qobject_cast<TOpenDialog*>(r.Dialog)->SetFileName(choose);
            r.Result = choose.isEmpty() ? 0 : 1;
        } else {
            boxes << r.Text;
            r.Result = IDOK;
        }
        return true;
    });
    Click(32); // cancelled at the first use: Solid
    EXPECT_EQ(main->FillStyle, 1);
    EXPECT_EQ(Shown(21), 1);

    choose = picture;
    Click(32);
    EXPECT_EQ(main->FillStyle, 8);
    EXPECT_EQ(main->GradientImageFile, picture);
    EXPECT_EQ(Shown(32), 1);

    Click(22);
    choose = broken; // refused with a message; the earlier choice stays
    Click(32);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.value(0).contains("broken.png")) << boxes.value(0).toStdString();
    EXPECT_EQ(main->FillStyle, 2);
    EXPECT_EQ(main->GradientImageFile, picture);

    choose.clear(); // cancelled after a choice: the earlier picture again
    Click(32);
    EXPECT_EQ(main->FillStyle, 8);
    EXPECT_EQ(main->GradientImageFile, picture);
}

TEST_F(Palette, RadialButtonOpensTheCentreDialogOnRightClickAndDoubleClick)
{
    Click(22);
    TImage* radial = Picture("tool_24");
    radial->OnMouseDown(radial, mbRight, TShiftState(ssRight), 1, 1);
    radial->OnDblClick(radial);
    Picture("Image36")->OnClick(nullptr);
    QStringList forms;
    for (const QString& r : requests)
        if (r.startsWith(QString::number(TDialogRequest::dkForm)))
            forms << r;
    EXPECT_EQ(forms.size(), 3);
    EXPECT_EQ(main->FillStyle, 2);
    ASSERT_TRUE(xyset);
}

// The start tool is Line, and a shown document re-applies the tool of the palette's image: the
// two agree, so the first project starts with Line, not with Selection.
using PaletteStart = MainWindowTest;

TEST_F(PaletteStart, TheFirstProjectStartsWithTheLine)
{
    StartProgram({});
    ASSERT_TRUE(iconmain);
    iconmain->Timer3Timer(nullptr);
    ASSERT_TRUE(FindForm("iconview1"));
    EXPECT_EQ(iconmain->CurrentTool, 2);
    EXPECT_TRUE(iconmain->PaletteSelected[2]);
    EXPECT_TRUE(iconmain->FindComponent("Line1")->property("Checked").toBool());
    EXPECT_EQ(iconmain->PenWidth, 1);
    EXPECT_EQ(iconmain->LineCapStyle, 1);
}
