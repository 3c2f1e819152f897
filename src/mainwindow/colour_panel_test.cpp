#include "mainwindow/colour_panel.h"

#include "document/newiconview.h"
#include "mainwindow/document_windows.h"

#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "imaging/bitmap/image32.h"
#include "mainwindow/entercolor.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/testing_main_window.h"

#include <QCoreApplication>
#include <QFile>

namespace {

class ColourPanel : public MainWindowTest {
protected:
    void WriteConfiguration(const QByteArray& text)
    {
        QFile f(ConfigPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString ConfigPath() const { return dir_.path() + "/data/rozazuvidodiro.ini"; }
    QByteArray ConfigText() const
    {
        QFile f(ConfigPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A main window whose panel holds the stored colours, as after the start-up.
    Ticonmain* Start()
    {
        auto* main = new Ticonmain;
        main->PrimeColorPanel();
        return main;
    }

    static int Bar(Ticonmain* main, const char* channel)
    {
        return main->FindComponent(QStringLiteral("colorbar") + channel)->property("Position").toInt();
    }
    static QString Edit(Ticonmain* main, const QString& name) { return main->EditText(name); }
    static QString Stored(Ticonmain* main, const char* target)
    {
        QStringList v;
        for (const char* c : {"a", "r", "g", "b"})
            v << main->EditText(QLatin1String(target) + c);
        return v.join(',');
    }
    static QString Bars(Ticonmain* main)
    {
        return QStringLiteral("%1,%2,%3,%4").arg(Bar(main, "a")).arg(Bar(main, "r")).arg(Bar(main, "g")).arg(Bar(main, "b"));
    }
    static uint32_t SwatchPixel(Ticonmain* main, const char* swatch, int x = 5, int y = 5)
    {
        auto* image = qobject_cast<TImage32*>(main->FindComponent(swatch));
        return image->Bitmap()->Width() > x ? *image->Bitmap()->PixelAddress(x, y) : 0;
    }
    static QString Label(Ticonmain* main, const char* name)
    {
        return main->FindComponent(name)->property("Caption").toString();
    }
};

} // namespace

TEST(ColourRules, PaletteReductionUsesTheFormatsTable)
{
    const struct {
        const char* Kind;
        QRgb In, Out;
    } cases[] = {
        {"XP", 0xC81E1E, 0xC81E1E},   {"16.8M", 0x123456, 0x123456}, {"16", 0xC81E1E, 0xFF0000},
        {"16", 0x7F7F7F, 0x808080},   {"256", 0x303132, 0x313131},   {"Mono", 0x303030, 0x000000},
        {"Mono", 0xC0C0C0, 0xFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReduceToFormatPalette(c.Kind, c.In), c.Out) << c.Kind << " " << std::hex << c.In;
    EXPECT_TRUE(IsPaletteKind("Mono"));
    EXPECT_FALSE(IsPaletteKind("16.8M"));
}

TEST(ColourRules, HtmlColorText)
{
    int r = -1, g = -1, b = -1;
    EXPECT_TRUE(ParseHtmlColor("FF8000", r, g, b));
    EXPECT_EQ(QString("%1,%2,%3").arg(r).arg(g).arg(b), "255,128,0");
    EXPECT_TRUE(ParseHtmlColor("  0a0B0c ", r, g, b));
    EXPECT_EQ(QString("%1,%2,%3").arg(r).arg(g).arg(b), "10,11,12");
    r = g = b = -1;
    for (const char* other : {"#FF8000", "FF80", "", "FF80000"})
        EXPECT_FALSE(ParseHtmlColor(other, r, g, b)) << other;
    EXPECT_EQ(r, -1);
    for (const char* bad : {"GG8000", "FF80 0", "-FFFFF", "0x1234"})
        EXPECT_THROW(ParseHtmlColor(bad, r, g, b), EConvertError) << bad;
    EXPECT_EQ(r, -1);
    EXPECT_EQ(HtmlColorText(255, 128, 0), "FF8000");
}

TEST_F(ColourPanel, BarsEditsHexAndSwatchesFollowTheEditedColour)
{
    Ticonmain* main = Start();
    EXPECT_EQ(Stored(main, "up"), "255,0,0,0");
    EXPECT_EQ(SwatchPixel(main, "up"), 0xFF000000u);
    EXPECT_EQ(SwatchPixel(main, "down"), 0xFFFFFFFFu);

    main->SetTrackBarPosition("colorbarr", 255);
    EXPECT_EQ(Edit(main, "colorr"), "255");
    EXPECT_EQ(Edit(main, "coloredit"), "FF0000");
    EXPECT_EQ(Edit(main, "upcode"), "FF0000");
    EXPECT_EQ(Stored(main, "up"), "255,255,0,0");
    EXPECT_EQ(Label(main, "rlabel"), "R:255");
    EXPECT_EQ(SwatchPixel(main, "up"), 0xFFFF0000u);
    // Every live change reaches the configuration, red alone included.
    EXPECT_TRUE(ConfigText().contains("r=255"));

    // The secondary colour: its swatch, hidden edits and section change, the primary's do not.
    main->downClick(nullptr);
    EXPECT_FALSE(main->ColorPanelLive);
    EXPECT_EQ(Bars(main), "255,255,255,255");
    main->Timer1Timer(nullptr);
    EXPECT_TRUE(main->ColorPanelLive);
    main->SetTrackBarPosition("colorbarg", 10);
    main->SetTrackBarPosition("colorbara", 128);
    EXPECT_EQ(Stored(main, "down"), "128,255,10,255");
    EXPECT_EQ(Stored(main, "up"), "255,255,0,0");
    EXPECT_EQ(Edit(main, "downcode"), "FF0AFF");
    EXPECT_EQ(Label(main, "alabel"), "A:128");
    // Half transparent: the pattern shows through, and the last column is the pattern alone.
    EXPECT_NE(SwatchPixel(main, "down", 5, 5) & 0xFFFFFF, 0xFF0AFFu);
    EXPECT_NE(SwatchPixel(main, "down", 1, 1), SwatchPixel(main, "down", 5, 1));
    EXPECT_EQ(SwatchPixel(main, "up", 24, 5), 0xFFFF0000u);
    EXPECT_NE(SwatchPixel(main, "up", 25, 5), 0xFFFF0000u);

    // Back on the primary: the panel shows it again, with its code.
    main->upClick(nullptr);
    EXPECT_EQ(Bars(main), "255,255,0,0");
    EXPECT_EQ(Edit(main, "coloredit"), "FF0000");
    EXPECT_EQ(Edit(main, "colora"), "255");
}

TEST_F(ColourPanel, TheStoredColoursComeBackAfterARestartUnmixed)
{
    WriteConfiguration("[up_color]\na=200\nr=10\ng=20\nb=30\n[down_color]\na=100\nr=40\ng=50\nb=60\n");
    Ticonmain* main = Start();
    EXPECT_EQ(Stored(main, "up"), "200,10,20,30");
    EXPECT_EQ(Stored(main, "down"), "100,40,50,60");
    EXPECT_EQ(Bars(main), "200,10,20,30");
    EXPECT_EQ(main->SwatchTarget, "up");
    EXPECT_EQ(Edit(main, "downcode"), "28323C");
    // Priming wrote nothing.
    EXPECT_EQ(ConfigText(), "[up_color]\na=200\nr=10\ng=20\nb=30\n[down_color]\na=100\nr=40\ng=50\nb=60\n");

    main->SetTrackBarPosition("colorbarb", 99);
    main->downClick(nullptr);
    main->Timer1Timer(nullptr);
    main->SetTrackBarPosition("colorbarr", 7);
    delete main;

    main = Start();
    EXPECT_EQ(Stored(main, "up"), "200,10,20,99");
    EXPECT_EQ(Stored(main, "down"), "100,7,50,60");
}

TEST_F(ColourPanel, NumberEditsRefuseWhatIsNoColourComponent)
{
    Ticonmain* main = Start();
    QStringList boxes;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        boxes << r.Text;
        r.Result = IDOK;
        return true;
    });
    const struct {
        const char* Edit;
        const char* Text;
        const char* Message;
        int Bar;
        const char* Shown;
    } cases[] = {
        {"colorg", "300", "please input numbers < 256", 255, "255"},
        {"colora", "300", "please enter numbers < 256", 255, "255"},
        {"colorb", "", "please enter a positive integer.", 0, "0"},
        {"colorr", "12a", "please enter a positive integer.", 0, "0"},
        {"colorr", "-5", "", 0, "0"},
        {"colorr", "42", "", 42, "42"},
    };
    for (const auto& c : cases) {
        boxes.clear();
        main->SetEditText(c.Edit, c.Text);
        EXPECT_EQ(boxes.join('|'), c.Message) << c.Edit << " " << c.Text;
        EXPECT_EQ(Bar(main, c.Edit + 5), c.Bar) << c.Edit << " " << c.Text;
        EXPECT_EQ(Edit(main, c.Edit), c.Shown) << c.Edit << " " << c.Text;
    }
    EXPECT_EQ(Stored(main, "up"), "255,42,255,0");

    // Only digits and backspace are typed.
    for (const auto& [key, kept] : {std::pair{'7', true}, {'\b', true}, {'x', false}, {'-', false}, {' ', false}}) {
        QChar k(key);
        main->colorrKeyPress(nullptr, k);
        EXPECT_EQ(!k.isNull(), kept) << key;
    }
}

TEST_F(ColourPanel, SwapAndDefaults)
{
    Ticonmain* main = Start();
    main->SetTrackBarPosition("colorbarr", 255);
    main->Image43Click(nullptr);
    EXPECT_EQ(Stored(main, "up"), "255,255,255,255");
    EXPECT_EQ(Stored(main, "down"), "255,255,0,0");
    EXPECT_EQ(Edit(main, "upcode"), "FFFFFF");
    EXPECT_EQ(Edit(main, "downcode"), "FF0000");
    EXPECT_EQ(SwatchPixel(main, "up"), 0xFFFFFFFFu);
    EXPECT_EQ(SwatchPixel(main, "down"), 0xFFFF0000u);
    // The bars keep the colour edited before the swap until the next change writes them all.
    EXPECT_EQ(Bars(main), "255,255,0,0");
    main->SetTrackBarPosition("colorbarg", 1);
    EXPECT_EQ(Stored(main, "up"), "255,255,1,0");

    main->downClick(nullptr);
    main->Timer1Timer(nullptr);
    main->Image42Click(nullptr);
    EXPECT_EQ(Stored(main, "up"), "255,0,0,0");
    EXPECT_EQ(Stored(main, "down"), "255,255,255,255");
    EXPECT_EQ(Bars(main), "255,255,255,255");
    EXPECT_EQ(Edit(main, "upcode"), "000000");
    EXPECT_EQ(Edit(main, "downcode"), "FFFFFF");
    EXPECT_EQ(SwatchPixel(main, "up"), 0xFF000000u);
    EXPECT_EQ(SwatchPixel(main, "down"), 0xFFFFFFFFu);
    delete main;
    main = Start();
    EXPECT_EQ(Stored(main, "up"), "255,0,0,0");
    EXPECT_EQ(Stored(main, "down"), "255,255,255,255");
}

TEST_F(ColourPanel, TheColourDialogGivesAnOpaqueColourTheFormatCanHold)
{
    Ticonmain* main = Start();
    main->SetTrackBarPosition("colorbara", 90);
    const struct {
        const char* Kind;
        QRgb Chosen;
        const char* Bars;
    } cases[] = {
        {"XP", 0xC81E1E, "255,200,30,30"},
        {"16", 0xC81E1E, "255,255,0,0"},
        {"Mono", 0x303030, "255,0,0,0"},
    };
    for (const auto& c : cases) {
        main->NewImageKind = c.Kind;
        TColor offered = 0;
        TDialogAnswererScope answers([&](TDialogRequest& r) {
            auto* dialog = qobject_cast<TColorDialog*>(r.Dialog);
            offered = dialog->Color();
            dialog->SetColor(TColor(qRed(c.Chosen) | qGreen(c.Chosen) << 8 | qBlue(c.Chosen) << 16));
            r.Result = 1;
            return true;
        });
        // The click that comes with the double-click starts the pause; the choice ends it.
        main->downClick(nullptr);
        main->downDblClick(nullptr);
        EXPECT_EQ(Bars(main), c.Bars) << c.Kind;
        EXPECT_EQ(Stored(main, "down"), c.Bars) << c.Kind;
        EXPECT_EQ(offered, TColor(0xFFFFFF)) << c.Kind;
        main->Image42Click(nullptr);
    }
    // Cancel changes nothing.
    TDialogAnswererScope cancel([](TDialogRequest& r) {
        r.Result = 0;
        return true;
    });
    main->upDblClick(nullptr);
    EXPECT_EQ(Stored(main, "down"), "255,255,255,255");
}

TEST_F(ColourPanel, OpacityOnAPaletteFormatReducesTheBarsColour)
{
    Ticonmain* main = Start();
    main->SetTrackBarPosition("colorbarr", 200);
    main->SetTrackBarPosition("colorbarg", 30);
    main->SetTrackBarPosition("colorbarb", 30);
    main->NewImageKind = "16";
    main->SetTrackBarPosition("colorbara", 100);
    EXPECT_EQ(Bars(main), "255,255,0,0");
    EXPECT_EQ(Stored(main, "up"), "255,255,0,0");
    EXPECT_EQ(Edit(main, "colora"), "255");
}

TEST_F(ColourPanel, APaletteFormatOpenedFromAFileOffersItsOwnColours)
{
    Ticonmain* main = Start();
    auto* document = qobject_cast<Tnewiconview*>(CreateDocumentWindow("iconview1", "Project 1"));
    ASSERT_NE(document, nullptr);
    document->InitFormatTable(16, 16, "16");
    document->SetFormatPalette(1, {0x303030, 0x101010, 0xFF0000}, 4);
    main->ActiveDocumentName = "iconview1";
    main->NewImageKind = "16";
    main->SetTrackBarPosition("colorbarr", 60);
    main->SetTrackBarPosition("colorbarg", 50);
    main->SetTrackBarPosition("colorbarb", 50);
    main->SetTrackBarPosition("colorbara", 100);
    EXPECT_EQ(Bars(main), "255,48,48,48");
    // Another kind than the document's current format: the fixed table of the panel's kind.
    main->NewImageKind = "Mono";
    main->SetTrackBarPosition("colorbara", 100);
    EXPECT_EQ(Bars(main), "255,0,0,0");
}

TEST_F(ColourPanel, TheColourValueDialogSetsRedGreenAndBlue)
{
    Ticonmain* main = Start();
    main->SetTrackBarPosition("colorbara", 77);
    const struct {
        const char* Text;
        const char* Bars;
    } cases[] = {
        {"FF8000", "77,255,128,0"},
        {"  ff8000 ", "77,255,128,0"},
        {"#123456", "77,0,0,0"},
        {"1234", "77,0,0,0"},
    };
    for (const auto& c : cases) {
        main->Image42Click(nullptr);
        main->SetTrackBarPosition("colorbara", 77);
        QString shown;
        TDialogAnswererScope answers([&](TDialogRequest& r) {
            auto* dialog = qobject_cast<Tentercolor*>(r.Dialog);
            EXPECT_EQ(dialog, entercolor);
            dialog->FormShow(nullptr);
            shown = dialog->FindComponent("Edit1")->property("Text").toString();
            dialog->FindComponent("Edit1")->setProperty("Text", QString(c.Text));
            dialog->suiButton1Click(nullptr);
            r.Result = mrOk;
            return true;
        });
        main->coloreditClick(nullptr);
        EXPECT_EQ(shown, "000000") << c.Text;
        EXPECT_EQ(Bars(main), c.Bars) << c.Text;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(entercolor, nullptr);

    // Six characters that are no colour: the conversion error, nothing set, the dialog open.
    auto* dialog = new Tentercolor;
    dialog->Show();
    dialog->FindComponent("Edit1")->setProperty("Text", QString("GG8000"));
    EXPECT_THROW(dialog->suiButton1Click(nullptr), EConvertError);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Bars(main), "77,0,0,0");
    EXPECT_EQ(dialog->Caption(), "Enter Color Value");
    dialog->suiButton2Click(nullptr);
    EXPECT_FALSE(dialog->isVisible());
    delete dialog;
}

TEST_F(ColourPanel, OpacityPercentMovesTheMasterOpacity)
{
    Ticonmain* main = Start();
    QStringList boxes;
    TDialogAnswererScope answers([&](TDialogRequest& r) {
        boxes << r.Text;
        r.Result = IDOK;
        return true;
    });
    auto layer = [&] { return main->FindComponent("layer_a")->property("Position").toInt(); };
    main->SetEditText("opacity", "50");
    EXPECT_EQ(layer(), 127);
    // Each typed change starts with a key press, which lifts the track bar's guard.
    main->MasterOpacityFromTrackBar = false;
    main->SetEditText("opacity", "900");
    EXPECT_EQ(layer(), 255);
    main->MasterOpacityFromTrackBar = false;
    main->SetEditText("opacity", "abc");
    EXPECT_EQ(layer(), 255);
    EXPECT_EQ(boxes.size(), 1);
    // The track bar writing its own percent does not come back.
    main->MasterOpacityFromTrackBar = true;
    main->SetEditText("opacity", "10");
    EXPECT_EQ(layer(), 255);
    QChar k('5');
    main->opacityKeyPress(nullptr, k);
    EXPECT_FALSE(main->MasterOpacityFromTrackBar);
}
