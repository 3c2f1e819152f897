#include "settings/setwindow.h"

#include "framework/bitmap.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/qimage_bridge.h"
#include "framework/picture.h"
#include "framework/image.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/configuration_file.h"
#include "settings/testing_settings_program.h"
#include "settings/settings_windows.h"

namespace {

TEST(BackdropTile, EachStyleMakesTwoCellsOfItsSize)
{
    const struct {
        const char* Style;
        int Cell;
    } cases[] = {{"smaller", 4}, {"small", 5}, {"midle", 7}, {"big", 9}};
    for (const auto& c : cases) {
        const QImage tile = MakeBackdropTile(c.Style, 0xFFFFFFFF, 0xFF000000);
        ASSERT_EQ(tile.size(), QSize(2 * c.Cell, 2 * c.Cell)) << c.Style;
        const int last = c.Cell - 1;
        for (QPoint p : {QPoint(0, 0), QPoint(last, last), QPoint(c.Cell, c.Cell), QPoint(2 * last + 1, 2 * last + 1)})
            EXPECT_EQ(tile.pixel(p), 0xFFFFFFFFu) << c.Style << " colour 1 at " << p.x() << "," << p.y();
        for (QPoint p : {QPoint(c.Cell, 0), QPoint(0, c.Cell), QPoint(2 * c.Cell - 1, last)})
            EXPECT_EQ(tile.pixel(p), 0xFF000000u) << c.Style << " colour 2 at " << p.x() << "," << p.y();
    }
    EXPECT_TRUE(MakeBackdropTile("huge", 0, 0).isNull());
    EXPECT_TRUE(MakeBackdropTile("Small", 0, 0).isNull());
}

TEST(BackdropTile, DefaultIsGreyAndWhiteFourPixelCells)
{
    const QImage tile = DefaultBackdropTile();
    ASSERT_EQ(tile.size(), QSize(24, 24));
    EXPECT_EQ(tile.pixel(3, 3), qRgb(235, 235, 235));
    EXPECT_EQ(tile.pixel(4, 0), qRgb(255, 255, 255));
    EXPECT_EQ(tile.pixel(23, 23), qRgb(235, 235, 235));
}

class EditingOptions : public SettingsProgram {
protected:
    void SetUp() override
    {
        SettingsProgram::SetUp();
        ASSERT_TRUE(ClickComponentByName(iconmain, "EditingOptions1"));
        ASSERT_TRUE(setwindow);
    }
    QImage Backdrop(Tnewiconview* document = nullptr) const
    {
        TBitmap bitmap;
        bitmap.Assign((document ? document : doc)->bgimage->Picture()->Graphic());
        return BitmapToQImage(bitmap);
    }
};

TEST_F(EditingOptions, BackgroundOkAsksThenGivesEveryDocumentTheNewTile)
{
    setwindow->SetBoxColor(1, 0xFFFFFFFF);
    setwindow->SetBoxColor(2, 0xFF000000);
    auto* style = qobject_cast<TControl*>(setwindow->FindComponent("suiComboBox1"));
    style->SetText("big");
    setwindow->suiComboBox1Change(nullptr);
    EXPECT_EQ(setwindow->PreviewImage().pixel(6, 7), 0xFFFFFFFFu);
    EXPECT_EQ(setwindow->PreviewImage().pixel(15, 7), 0xFF000000u);

    QStringList asked;
    int answer = 2;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        if (r.Kind != TDialogRequest::dkForm)
            return false;
        asked << r.Dialog->findChild<QObject*>("lbl")->property("Caption").toString();
        r.Result = answer;
        return true;
    });
    // Closing the question other than with OK changes nothing: the documents keep the default.
    setwindow->suiButton1Click(nullptr);
    EXPECT_EQ(setwindow->BackgroundTile, DefaultBackdropTile());

    answer = 1;
    setwindow->suiButton1Click(nullptr);
    EXPECT_EQ(asked, QStringList({"Save changes to the Brelnova Studio parameter ?",
                                  "Save changes to the Brelnova Studio parameter ?"}));
    ASSERT_EQ(setwindow->BackgroundTile.size(), QSize(18, 18));
    // Every document has it, the template among them.
    auto* other = qobject_cast<Tnewiconview*>(FindForm("newiconview"));
    ASSERT_TRUE(other);
    for (Tnewiconview* document : {doc, other}) {
        const QImage backdrop = Backdrop(document);
        ASSERT_FALSE(backdrop.isNull()) << document->objectName().toStdString();
        EXPECT_EQ(backdrop.pixel(8, 8), 0xFFFFFFFFu) << document->objectName().toStdString();
        EXPECT_EQ(backdrop.pixel(9, 0), 0xFF000000u) << document->objectName().toStdString();
    }

    // A typed style that names none gives the default backdrop and says why.
    style->SetText("huge");
    asked.clear();
    setwindow->suiButton1Click(nullptr);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith("\"huge\" is not a backdrop style")) << asked[1].toStdString();
    EXPECT_EQ(setwindow->BackgroundTile, DefaultBackdropTile());
    EXPECT_EQ(Backdrop().pixel(3, 3), qRgb(235, 235, 235));
}

TEST_F(EditingOptions, OkOnEitherPageAtOnceKeepsTheColoursInUse)
{
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        r.Result = 1;
        return r.Kind == TDialogRequest::dkForm;
    });
    for (const char* ok : {"suiButton1", "suiButton10"}) {
        setwindow->Close();
        iconmain->GridColor1 = 0xFF102030;
        iconmain->GridColor2 = 0xFF405060;
        iconmain->SelectionColor = 0xFF708090;
        ASSERT_TRUE(ClickComponentByName(iconmain, "EditingOptions1"));
        ASSERT_TRUE(setwindow->isVisible());
        ASSERT_TRUE(ClickComponentByName(setwindow, ok));
        EXPECT_FALSE(setwindow->isVisible()) << ok;
        EXPECT_EQ(iconmain->GridColor1, 0xFF102030u) << ok;
        EXPECT_EQ(iconmain->GridColor2, 0xFF405060u) << ok;
        EXPECT_EQ(iconmain->SelectionColor, 0xFF708090u) << ok;
    }
}

TEST_F(EditingOptions, SelectionAndGridOkStoresTheColoursAndResetsTheBackdrop)
{
    setwindow->BackgroundTile = MakeBackdropTile("big", 0xFF0000FF, 0xFF00FF00);
    setwindow->suiTabSheet2Show(nullptr);
    EXPECT_EQ(setwindow->BoxColor(4), 0xFF8E8C8Cu);
    EXPECT_EQ(setwindow->BoxColor(3), 0xFFC0C0C0u);
    EXPECT_EQ(setwindow->BoxColor(5), 0xFF000000u);

    setwindow->SetBoxColor(4, 0xFF123456);
    setwindow->SetBoxColor(3, 0xFFFF0000);
    setwindow->SetBoxColor(5, 0xFF00FF00);
    setwindow->suiButton10Click(nullptr);
    EXPECT_EQ(iconmain->GridColor1, 0xFF123456u);
    EXPECT_EQ(iconmain->GridColor2, 0xFFFF0000u);
    EXPECT_EQ(iconmain->SelectionColor, 0xFF00FF00u);
    EXPECT_EQ(setwindow->BackgroundTile, DefaultBackdropTile());
    EXPECT_EQ(ReadConfiguration("default", "movecolor1"), "$FF123456");
    // A standard colour is stored by its name and read back as that colour.
    EXPECT_EQ(ReadConfiguration("default", "movecolor2"), "clRed");
    EXPECT_EQ(ReadConfiguration("default", "movecolor3"), "clLime");

    // "Default" writes nothing: the next start reads the stored colours back.
    setwindow->suiButton3Click(nullptr);
    EXPECT_EQ(iconmain->GridColor1, 0xFF8E8C8Cu);
    EXPECT_EQ(iconmain->SelectionColor, 0xFF000000u);
    LoadEditColors(*iconmain);
    EXPECT_EQ(iconmain->GridColor1, 0xFF123456u);
    EXPECT_EQ(iconmain->GridColor2, 0xFFFF0000u);
    EXPECT_EQ(iconmain->SelectionColor, 0xFF00FF00u);
}

TEST_F(EditingOptions, AGridSwitchedOffStaysOffThroughBackgroundOk)
{
    auto* grid = qobject_cast<TMenuItem*>(iconmain->FindComponent("LineGrid1"));
    ASSERT_TRUE(grid);
    ASSERT_TRUE(ClickComponentByName(iconmain, "LineGrid1"));
    ASSERT_TRUE(doc->GridOff);
    ASSERT_FALSE(doc->GridLayer);
    TDialogAnswererScope yes([](TDialogRequest& r) {
        r.Result = 1;
        return r.Kind == TDialogRequest::dkForm;
    });
    ASSERT_TRUE(ClickComponentByName(setwindow, "suiButton1"));
    EXPECT_FALSE(doc->GridLayer);
    EXPECT_TRUE(doc->GridOff);
    for (QObject* item : {static_cast<QObject*>(grid), doc->FindComponent("Grid1"), doc->FindComponent("Grid2")})
        EXPECT_FALSE(qobject_cast<TMenuItem*>(item)->Checked()) << item->objectName().toStdString();

    // Switched on again, the grid takes the options' colours at the next OK.
    ASSERT_TRUE(ClickComponentByName(iconmain, "LineGrid1"));
    ASSERT_TRUE(ClickComponentByName(iconmain, "EditingOptions1"));
    ASSERT_TRUE(ClickComponentByName(setwindow, "suiButton1"));
    EXPECT_TRUE(doc->GridLayer);
    EXPECT_TRUE(grid->Checked());
}

} // namespace
