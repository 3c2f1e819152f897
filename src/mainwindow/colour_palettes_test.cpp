#include "mainwindow/colour_palettes.h"

#include "framework/bitmap.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/timer.h"
#include "imaging/bitmap/image32.h"
#include "document/newiconview.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/testing_main_window.h"

namespace {

class ColourPalettes : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main_ = new Ticonmain;
        main_->PrimeColorPanel();
    }

    // A palette picture whose pixel at (x, y) has red x and green y.
    void GiveCoordinatePicture(const char* palette, int w, int h)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x, y, 77));
        TBitmap bitmap;
        QImageToBitmap(image, bitmap);
        qobject_cast<TImage*>(main_->FindComponent(palette))->Picture()->Assign(&bitmap);
    }
    void WritePattern(const QString& relative, QRgb colour)
    {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(colour);
        TBitmap bitmap;
        QImageToBitmap(image, bitmap);
        QDir(dir_.path()).mkpath(QFileInfo(relative).path());
        bitmap.SaveToFile(dir_.path() + "/" + relative);
    }
    QString Picked() const
    {
        return main_->EditText("colora") + "," + main_->EditText("colorr") + "," + main_->EditText("colorg") + "," +
               main_->EditText("colorb");
    }
    int Top(const char* name) const { return qobject_cast<TControl*>(main_->FindComponent(name))->Top(); }
    bool Shown(const char* name) const { return main_->FindComponent(name)->property("Visible").toBool(); }
    TTimer* Timer4() const { return qobject_cast<TTimer*>(main_->FindComponent("Timer4")); }

    Ticonmain* main_ = nullptr;
};

} // namespace

TEST(PaletteRules, PatternCellsAndScrollSteps)
{
    const struct {
        int X, Y, N;
    } cells[] = {{0, 0, 1}, {11, 11, 1}, {12, 0, 2}, {30, 13, 11}, {95, 131, 88}, {96, 0, 0}, {-1, 5, 0}, {5, -1, 0}};
    for (const auto& c : cells)
        EXPECT_EQ(PatternNumberAt(c.X, c.Y), c.N) << c.X << "," << c.Y;
    EXPECT_EQ(PaletteStepTop(-300, 10, -304, true), -304);
    EXPECT_EQ(PaletteStepTop(-4, 10, -304, false), 0);
    // The tab strip: 0, -47, ... -282, then -288; back up by 47 to 0.
    int top = 0;
    QList<int> seen;
    for (int i = 0; i < 8; ++i)
        seen << (top = TabStripStepTop(top, true));
    EXPECT_EQ(seen, QList<int>({-47, -94, -141, -188, -235, -282, -288, -288}));
    EXPECT_EQ(TabStripStepTop(-288, false), -241);
    EXPECT_EQ(TabStripStepTop(-6, false), 0);
}

TEST_F(ColourPalettes, ColourPicksFillTheEditedColourOpaque)
{
    GiveCoordinatePicture("color256", 99, 385);
    main_->SetTrackBarPosition("colorbara", 40);
    main_->color256MouseDown(nullptr, mbLeft, {}, 13, 1);
    EXPECT_TRUE(main_->PaletteDragging);
    // While dragging the cell's centre counts; the release takes the pixel itself.
    main_->color256MouseMove(nullptr, {}, 13, 1);
    EXPECT_EQ(Picked(), "255,18,6,77");
    main_->color256MouseMove(nullptr, {}, 25, 1);
    EXPECT_EQ(Picked(), "255,30,6,77");
    // Outside the picture nothing is picked.
    main_->color256MouseMove(nullptr, {}, -5, 1);
    main_->color256MouseMove(nullptr, {}, 130, 1);
    EXPECT_EQ(Picked(), "255,30,6,77");
    main_->color256MouseUp(nullptr, mbLeft, {}, 25, 1);
    EXPECT_EQ(Picked(), "255,25,1,77");
    EXPECT_FALSE(main_->PaletteDragging);
    EXPECT_EQ(main_->EditText("upr"), "25");
    // A move without a press picks nothing.
    main_->color256MouseMove(nullptr, {}, 50, 50);
    EXPECT_EQ(Picked(), "255,25,1,77");

    // The 32-bit palette while the secondary colour is edited.
    GiveCoordinatePicture("colorxp", 97, 405);
    main_->downClick(nullptr);
    main_->Timer1Timer(nullptr);
    main_->SetTrackBarPosition("colorbara", 9);
    main_->colorxpMouseDown(nullptr, mbLeft, {}, 3, 4);
    main_->colorxpMouseMove(nullptr, {}, 60, 200);
    main_->colorxpMouseMove(nullptr, {}, 60, 999);
    main_->colorxpMouseUp(nullptr, mbLeft, {}, 61, 201);
    EXPECT_EQ(main_->EditText("downa") + "," + main_->EditText("downr") + "," + main_->EditText("downg"), "255,61,201");
    EXPECT_EQ(main_->EditText("upr"), "25");
}

TEST_F(ColourPalettes, PatternPicksChooseThePrimaryPattern)
{
    WritePattern("image/16color/11.bmp", 0xFF00FF00);
    WritePattern("image/1color/2.bmp", 0xFFFFFFFF);
    auto* document = qobject_cast<Tnewiconview*>(CreateDocumentWindow("iconview1", "Project 1"));
    main_->ActiveDocumentName = "iconview1";
    const QString colours = Picked();
    struct {
        const char* Palette;
        int X, Y;
        const char* Pattern;
    } const cases[] = {
        {"color16", 30, 13, "image\\16color\\11.bmp"}, // second row, third column
        {"color16", 42, 13, "image\\16color\\11.bmp"}, // pattern 12 is not installed: kept
        {"color16", 100, 13, "image\\16color\\11.bmp"}, // right of the eighth column: kept
        {"color1", 13, 2, "image\\1color\\2.bmp"},
    };
    for (const auto& c : cases) {
        const QString palette = c.Palette;
        const bool mono = palette == "color1";
        if (mono)
            main_->color1MouseDown(nullptr, mbLeft, {}, c.X, c.Y);
        else
            main_->color16MouseDown(nullptr, mbLeft, {}, c.X, c.Y);
        if (mono)
            main_->color1MouseUp(nullptr, mbLeft, {}, c.X, c.Y);
        else
            main_->color16MouseUp(nullptr, mbLeft, {}, c.X, c.Y);
        EXPECT_EQ(main_->PatternFile, c.Pattern) << c.X;
        // The active document takes the pattern as its primary one.
        EXPECT_EQ(document->FormatTable.PatternPath(0), c.Pattern) << c.X;
        EXPECT_FALSE(main_->PaletteDragging);
    }
    auto* up = qobject_cast<TImage32*>(main_->FindComponent("up"));
    EXPECT_EQ(*up->Bitmap()->PixelAddress(3, 3), 0xFFFFFFFFu);
    // The mouse-down set the opacity edit; the pattern pick itself leaves the colours alone.
    EXPECT_EQ(Picked(), colours);
    // Without a press a move picks no pattern.
    main_->color16MouseMove(nullptr, {}, 30, 13);
    EXPECT_EQ(main_->PatternFile, "image\\1color\\2.bmp");
}

TEST_F(ColourPalettes, ArrowsScrollTheShownPaletteAndStopAtTheEnds)
{
    main_->down_okMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_EQ(Top("colorxp"), -10);
    EXPECT_TRUE(Shown("down_down"));
    EXPECT_FALSE(Shown("down_ok"));
    int ticks = 0;
    while (Timer4()->Enabled() && ticks < 100) {
        main_->Timer4Timer(nullptr);
        ++ticks;
    }
    EXPECT_EQ(ticks, 30);
    EXPECT_EQ(Top("colorxp"), -304);
    EXPECT_TRUE(Shown("down_ok"));
    EXPECT_EQ(Top("color256"), 0);

    // Moving over an arrow stops the scroll; a hidden palette keeps its place.
    main_->move_okMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_EQ(Top("colorxp"), -294);
    EXPECT_TRUE(Timer4()->Enabled());
    main_->move_okMouseMove(nullptr, {}, 1, 1);
    EXPECT_FALSE(Timer4()->Enabled());
    EXPECT_TRUE(Shown("move_up"));

    main_->SetControlVisible("colorxp", false);
    main_->SetControlVisible("color16", true);
    main_->down_okMouseDown(nullptr, mbLeft, {}, 1, 1);
    main_->Timer4Timer(nullptr);
    main_->Timer4Timer(nullptr);
    EXPECT_EQ(Top("color16"), -36);
    EXPECT_FALSE(Timer4()->Enabled());
    EXPECT_EQ(Top("colorxp"), -294);
    // At the top an up press moves nothing and leaves no timer running.
    main_->SetControlVisible("color16", false);
    main_->SetControlVisible("color256", true);
    main_->move_okMouseDown(nullptr, mbLeft, {}, 1, 1);
    EXPECT_EQ(Top("color256"), 0);
    EXPECT_FALSE(Timer4()->Enabled());
}
