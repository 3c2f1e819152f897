// The filters and effects as a person uses them: an item of the Effects or Filters menu on the
// active project, the dialog's sliders, OK, Undo, Cancel and the close box, and the picture the
// document shows afterwards.

#include "document/my_list_box.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/exceptions.h"
#include "framework/menus.h"
#include "framework/palette.h"
#include "mainwindow/effect_table.h"
#include "mainwindow/set_color.h"
#include "mainwindow/testing_started_program.h"
#include "mainwindow/userrgbform.h"
#include "platform/help_viewer.h"
#include "skin/controls/track_bar.h"
#include "skin/form.h"
#include "skin/theme_manager.h"

namespace {

class Effects : public StartedProgram {
protected:
    int Steps() const { return doc->FormatTable.UndoStateCount(doc->CurrentFormat()); }

    // A press and release of the first slider.
    static void Release()
    {
        set_color->v1MouseDown(nullptr, mbLeft, TShiftState(ssLeft), 0, 0);
        set_color->v1MouseUp(nullptr, mbLeft, TShiftState(), 0, 0);
    }
    static QString Text(const char* name, const char* property = "Caption")
    {
        return set_color->FindComponent(name)->property(property).toString();
    }
    static bool Shown(const char* name) { return qobject_cast<TControl*>(set_color->FindComponent(name))->Visible(); }
    // Applies the effect as a person would: a dialog effect is released once and confirmed.
    void Apply(const TEffectSpec& e)
    {
        iconmain->LaunchEffect(e.Code);
        if (e.Mode == TEffectMode::Dialog) {
            Release();
            set_color->suiButton1Click(nullptr);
        }
    }

    QStringList requests;
    unsigned maskColour = 0; // the colour dialog's answer; 0 cancels it
    TDialogAnswererScope answers{[this](TDialogRequest& r) {
        requests << r.Text;
        if (r.Kind == TDialogRequest::dkColor) {
            if (maskColour)
                qobject_cast<TColorDialog*>(r.Dialog)->SetColor(TColor(maskColour));
            r.Result = maskColour ? 1 : 0;
        } else {
            r.Result = r.Kind == TDialogRequest::dkMessageBox ? IDOK : mrOk;
        }
        return true;
    }};
};

} // namespace

TEST_F(Effects, EveryRowOfTheTableSetsUpTheDialogOrAppliesAtOnce)
{
    maskColour = 0x00FF00FF;
    const QImage source = Picture(doc);
    int items = 0;
    for (const TEffectSpec& e : EffectTable()) {
        SCOPED_TRACE(e.Component);
        // Each row belongs to a menu item that launches it.
        auto* item = qobject_cast<TMenuItem*>(iconmain->FindComponent(e.Component));
        ASSERT_TRUE(item);
        ++items;
        EXPECT_EQ(IsGeometricEffect(e.Code), e.Geometric);
        const int steps = Steps();
        ClickComponent(item);
        if (e.Mode != TEffectMode::Dialog) {
            EXPECT_FALSE(set_color->Visible());
            // One undo step per applied effect: one Undo brings the source back, one Redo the result.
            const QImage result = Picture(doc);
            EXPECT_NE(result, source);
            ClickComponentByName(iconmain, "Undo1");
            EXPECT_EQ(Picture(doc), source);
            ClickComponentByName(iconmain, "Redo1");
            EXPECT_EQ(Picture(doc), result);
            ClickComponentByName(iconmain, "Undo1");
            continue;
        }
        ASSERT_TRUE(set_color->Visible());
        EXPECT_EQ(set_color->Caption(), e.Title);
        EXPECT_EQ(qobject_cast<TsuiForm*>(set_color->FindComponent("suiForm1"))->Caption(), e.Title);
        EXPECT_EQ(set_color->DesignHeight, e.Height);
        const int count = SliderCount(e.Layout);
        const int rowsHeight = qobject_cast<TControl*>(set_color->FindComponent("Panel2"))->Height();
        EXPECT_GE(rowsHeight, e.Height - 44);
        // Every row shown lies inside the part of the window between title and buttons, its label
        // above its slider and below the slider before.
        for (int k = 1, above = 0; k <= count; ++k) {
            const TsuiTrackBar* slider = set_color->Slider(k);
            const auto* label = qobject_cast<TControl*>(set_color->FindComponent(QStringLiteral("l%1").arg(k)));
            EXPECT_GE(label->Top(), above) << "row " << k;
            EXPECT_LE(label->Top() + label->Height(), slider->Top()) << "row " << k;
            above = slider->Top() + slider->Height();
            EXPECT_LE(above, rowsHeight) << "row " << k;
        }
        EXPECT_EQ(e.Height, (std::array{0, 90, 130, 115, 152})[size_t(e.Layout)]);
        for (int k = 1; k <= 3; ++k) {
            const std::string row = "row " + std::to_string(k);
            TsuiTrackBar* slider = set_color->Slider(k);
            ASSERT_EQ(slider->Visible(), k <= count) << row;
            EXPECT_EQ(Shown(QStringLiteral("l%1").arg(k).toLatin1()), k <= count) << row;
            const bool box = k <= count && !(e.Layout == TSliderLayout::Mosaic && k == 2);
            EXPECT_EQ(Shown(QStringLiteral("text%1").arg(k).toLatin1()), box) << row;
            if (k > count)
                continue;
            const TEffectSlider& s = e.Sliders[size_t(k - 1)];
            EXPECT_EQ(slider->Min(), s.Min) << row;
            EXPECT_EQ(slider->Max(), s.Max) << row;
            EXPECT_EQ(slider->Position(), s.Default) << row;
            EXPECT_EQ(Text(QStringLiteral("l%1").arg(k).toLatin1()), QLatin1String(s.Name) + ": " + QString::number(s.Default));
        }
        // Nothing changes before a slider is released.
        EXPECT_EQ(Picture(doc), source);
        Release();
        set_color->suiButton2Click(nullptr);
        EXPECT_TRUE(set_color->Visible()) << "Undo keeps the dialog open";
        EXPECT_EQ(Picture(doc), source);
        for (int k = 1; k <= count; ++k) {
            const TEffectSlider& s = e.Sliders[size_t(k - 1)];
            const int expected = e.HasUndoPositions ? std::clamp(e.UndoPositions[size_t(k - 1)], s.Min, s.Max) : s.Default;
            EXPECT_EQ(set_color->Slider(k)->Position(), expected) << "Undo, row " << k;
        }
        set_color->suiButton3Click(nullptr);
        EXPECT_FALSE(set_color->Visible());
        EXPECT_EQ(Steps(), steps);
    }
    EXPECT_EQ(items, 48);
    EXPECT_TRUE(requests.filter("not available").isEmpty()) << requests.join('\n').toStdString();
}

TEST_F(Effects, UndoPositionsAndArgumentsOfTheOddRows)
{
    // The positions Undo gives differ from the defaults; Undo positions beyond the range are held
    // by the slider; Diffuse keeps its slider.
    const struct {
        int Code;
        int Set;
        int AfterUndo;
    } rows[] = {{4, 3, 15}, {43, 10, 90}, {41, 3, 8}, {42, 3, 8}, {35, 5, 20}, {5, 50, 1}, {344, 3, 3}};
    for (const auto& r : rows) {
        iconmain->LaunchEffect(r.Code);
        set_color->Slider(1)->SetPosition(r.Set);
        set_color->suiButton2Click(nullptr);
        EXPECT_EQ(set_color->Slider(1)->Position(), r.AfterUndo) << r.Code;
        set_color->suiButton3Click(nullptr);
    }
}

TEST_F(Effects, ColourEffectsKeepEveryAlphaExactly)
{
    maskColour = 0x0000FF00;
    const QImage source = Picture(doc);
    for (const TEffectSpec& e : EffectTable()) {
        if (e.Geometric)
            continue;
        SCOPED_TRACE(e.Component);
        Apply(e);
        const QImage result = Picture(doc);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x) {
                const QRgb s = source.pixel(x, y), r = result.pixel(x, y);
                ASSERT_EQ(qAlpha(r), qAlpha(s)) << x << "," << y;
                if (qAlpha(s) == 0)
                    ASSERT_EQ(r, 0u) << x << "," << y;
            }
        ClickComponentByName(iconmain, "Undo1");
        ASSERT_EQ(Picture(doc), source);
    }
}

TEST_F(Effects, GeometricEffectsMoveAlphaWithThePixels)
{
    const QImage source = Picture(doc);
    const int w = source.width(), h = source.height();
    for (const TEffectSpec& e : EffectTable()) {
        if (!e.Geometric)
            continue;
        SCOPED_TRACE(e.Component);
        Apply(e);
        const QImage result = Picture(doc);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (qAlpha(result.pixel(x, y)) == 0)
                    ASSERT_EQ(result.pixel(x, y), 0u) << x << "," << y;
        ClickComponentByName(iconmain, "Undo1");
        ASSERT_EQ(Picture(doc), source);
    }

    // The mirror takes alpha along: the faint quarter becomes the mirror of the transparent one.
    Apply(*FindEffect(407));
    const QImage mirrored = Picture(doc);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            ASSERT_EQ(mirrored.pixel(w - 1 - x, y), source.pixel(x, y)) << x << "," << y;

    // A picture with nothing visible stays so under every geometric effect.
    Paint(doc, [](int, int, int, int) -> QRgb { return 0; });
    const QImage empty = Picture(doc);
    for (const TEffectSpec& e : EffectTable())
        if (e.Geometric) {
            Apply(e);
            EXPECT_EQ(Picture(doc), empty) << e.Component;
        }
}

TEST_F(Effects, OkUndoCancelAndTheCloseBox)
{
    const QImage source = Picture(doc);
    const int steps = Steps();

    // The close box after a release restores the picture.
    iconmain->LaunchEffect(47); // Posterize
    set_color->Slider(1)->SetPosition(0);
    Release();
    const QImage posterized = Picture(doc);
    EXPECT_NE(posterized, source);
    set_color->Close();
    EXPECT_EQ(Picture(doc), source);

    // OK without a result since the set-up changes nothing and records nothing.
    iconmain->LaunchEffect(47);
    set_color->suiButton1Click(nullptr);
    EXPECT_EQ(Picture(doc), source);
    EXPECT_EQ(Steps(), steps);

    // Releasing twice never builds on the earlier result; OK keeps it as one undo step.
    iconmain->LaunchEffect(47);
    set_color->Slider(1)->SetPosition(0);
    Release();
    Release();
    EXPECT_EQ(Picture(doc), posterized);
    set_color->suiButton1Click(nullptr);
    EXPECT_FALSE(set_color->Visible());
    EXPECT_EQ(Picture(doc), posterized);
    ClickComponentByName(iconmain, "Undo1");
    EXPECT_EQ(Picture(doc), source);
    ClickComponentByName(iconmain, "Redo1");
    EXPECT_EQ(Picture(doc), posterized);

    // Undo of a geometric effect restores its source exactly, the faint pixels included.
    const QImage before = Picture(doc);
    iconmain->LaunchEffect(31);
    Release();
    EXPECT_NE(Picture(doc), before);
    set_color->suiButton2Click(nullptr);
    EXPECT_EQ(Picture(doc), before);
    // After Undo, closing by the close box has nothing to restore and OK nothing to apply.
    set_color->suiButton1Click(nullptr);
    EXPECT_EQ(Picture(doc), before);
}

TEST_F(Effects, ResultsGoToTheDocumentTheDialogWasOpenedFor)
{
    const QImage source = Picture(doc);
    iconmain->LaunchEffect(47);
    set_color->Slider(1)->SetPosition(0);
    // Another project becomes active while the dialog is open.
    iconmain->DocumentCounter = 2;
    iconmain->CreateFirstProject();
    auto* other = qobject_cast<Tnewiconview*>(FindForm(iconmain->ActiveDocumentName));
    ASSERT_TRUE(other);
    ASSERT_NE(other, doc);
    const QImage untouched = Picture(other);
    Release();
    EXPECT_NE(Picture(doc), source);
    EXPECT_EQ(Picture(other), untouched);
    set_color->suiButton3Click(nullptr);
    EXPECT_EQ(Picture(doc), source);
    EXPECT_EQ(Picture(other), untouched);

    // With its document gone, a release says so and changes nothing.
    iconmain->ActiveDocumentName = "iconview1";
    iconmain->LaunchEffect(47);
    delete doc;
    requests.clear();
    Release();
    EXPECT_EQ(requests, QStringList({"The document the effect was opened for is closed."}));
    EXPECT_EQ(Picture(other), untouched);
}

TEST_F(Effects, MaskEllipseAsksForItsColourFirst)
{
    const QImage source = Picture(doc);
    maskColour = 0;
    ClickComponentByName(iconmain, "MackEllipse1");
    EXPECT_EQ(Picture(doc), source);
    EXPECT_FALSE(set_color && set_color->Visible());

    maskColour = 0x00332211; // 0x00BBGGRR
    ClickComponentByName(iconmain, "MackEllipse1");
    EXPECT_EQ(Picture(doc).pixel(0, 0), qRgba(0x11, 0x22, 0x33, 255));
    EXPECT_EQ(Picture(doc).pixel(source.width() / 4, source.height() / 4), source.pixel(source.width() / 4, source.height() / 4));
}

TEST_F(Effects, AtOnceEffectClosesTheDialogOfAnother)
{
    iconmain->LaunchEffect(21);
    ASSERT_TRUE(set_color->Visible());
    const QImage source = Picture(doc);
    ClickComponentByName(iconmain, "Negative1");
    EXPECT_FALSE(set_color->Visible());
    EXPECT_EQ(Picture(doc).pixel(0, 0), qRgba(255 - qRed(source.pixel(0, 0)), 255 - qGreen(source.pixel(0, 0)),
                                                255 - qBlue(source.pixel(0, 0)), 255));
}

TEST_F(Effects, DiffuseScattersPixels)
{
    // Black and white columns: posterizing would leave them as they are; scattering moves
    // pixels across the column edges but keeps about as much black as white.
    Paint(doc, [](int x, int, int, int) -> QRgb { return x % 8 < 4 ? 0xFF000000 : 0xFFFFFFFF; });
    const QImage source = Picture(doc);
    iconmain->LaunchEffect(344);
    set_color->Slider(1)->SetPosition(4);
    Release();
    const QImage result = Picture(doc);
    int dark = 0, moved = 0;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            dark += qRed(result.pixel(x, y)) < 128;
            moved += (qRed(result.pixel(x, y)) < 128) != (qRed(source.pixel(x, y)) < 128);
        }
    const int all = result.width() * result.height();
    EXPECT_GT(moved, all / 10);
    EXPECT_NEAR(dark, all / 2, all / 10);
}

TEST_F(Effects, SprayAndDiffuseScatterOnlyVisibleColour)
{
    // A red disc over nothing: the transparent ground has no colour to give to the disc.
    Paint(doc, [](int x, int y, int w, int h) -> QRgb {
        const int dx = 2 * x + 1 - w, dy = 2 * y + 1 - h; // twice the distance from the centre
        return dx * dx + dy * dy <= w * h * 64 / 100 ? qRgba(255, 0, 0, 255) : 0;
    });
    const QImage source = Picture(doc);
    const struct {
        int Code, Depth;
    } cases[] = {{56, 5}, {56, 20}, {344, 2}, {344, 4}};
    for (const auto& c : cases) {
        iconmain->LaunchEffect(c.Code);
        set_color->Slider(1)->SetPosition(c.Depth);
        Release();
        const QImage result = Picture(doc);
        int opaque = 0;
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x)
                if (qAlpha(result.pixel(x, y)) == 255) {
                    ++opaque;
                    ASSERT_EQ(result.pixel(x, y), qRgba(255, 0, 0, 255)) << c.Code << " at depth " << c.Depth << " at "
                                                                          << x << "," << y;
                }
        EXPECT_GT(opaque, result.width() * result.height() / 3) << c.Code;
        set_color->suiButton3Click(nullptr);
        EXPECT_EQ(Picture(doc), source);
    }
}

TEST_F(Effects, ValueBoxesMoveTheSlidersAndComputeNothing)
{
    const QImage source = Picture(doc);
    iconmain->LaunchEffect(403);
    auto* box = qobject_cast<TCustomEdit*>(set_color->FindComponent("text1"));
    box->SetText("300");
    EXPECT_EQ(set_color->Slider(1)->Position(), 100);
    EXPECT_EQ(box->Text(), "100");
    EXPECT_EQ(Text("l1"), "Depth:: 100");
    box->SetText("7");
    EXPECT_EQ(set_color->Slider(1)->Position(), 7);
    EXPECT_EQ(Picture(doc), source);
    requests.clear();
    box->SetText("x7");
    EXPECT_EQ(set_color->Slider(1)->Position(), 7);
    EXPECT_EQ(requests.size(), 1);
    EXPECT_EQ(Picture(doc), source);
    set_color->suiButton3Click(nullptr);
}

TEST_F(Effects, OnlyProjectsTakeEffects)
{
    iconmain->ActiveDocumentName = "newiconview";
    const QImage source = Picture(doc);
    iconmain->UpdateEffectItems();
    EXPECT_FALSE(qobject_cast<TMenuItem*>(iconmain->FindComponent("Blur1"))->Enabled());
    EXPECT_FALSE(qobject_cast<TMenuItem*>(iconmain->FindComponent("ColorBalance1"))->Enabled());
    iconmain->LaunchEffect(21);
    iconmain->ColorBalance1Click(nullptr);
    EXPECT_EQ(requests, QStringList({"Open or create an icon project first.", "Open or create an icon project first."}));
    EXPECT_FALSE(set_color && set_color->Visible());
    EXPECT_EQ(Picture(doc), source);

    iconmain->ActiveDocumentName = "iconview1";
    iconmain->UpdateEffectItems();
    EXPECT_TRUE(qobject_cast<TMenuItem*>(iconmain->FindComponent("Blur1"))->Enabled());
}

TEST_F(Effects, EveryButtonOfTheDialogActs)
{
    // OK, Undo and Cancel are held above; help opens the help pages or says why it cannot.
    iconmain->LaunchEffect(21);
    auto* form = qobject_cast<TsuiForm*>(set_color->FindComponent("suiForm1"));
    ASSERT_TRUE(form->OnTitleBarHelpBtnClick());
    bool refused = false;
    try {
        form->OnTitleBarHelpBtnClick()(form, 0);
    } catch (const EOSError&) {
        refused = true; // no help pages in the test's program folder
    }
    EXPECT_TRUE(HelpWindow() || refused);
    for (const char* button : {"suiButton1", "suiButton2", "suiButton3"})
        EXPECT_TRUE(HasClickHandler(set_color->FindComponent(button))) << button;
}

TEST_F(Effects, TheStripUnderThePaletteMakesThePrimaryColourTransparent)
{
    for (const auto& [edit, value] : {std::pair{"upa", "200"}, {"upr", "10"}, {"upg", "20"}, {"upb", "30"}})
        iconmain->SetEditText(edit, value);
    iconmain->downClick(nullptr);
    iconmain->FillStyle = 4;
    ASSERT_TRUE(ClickComponentByName(iconmain, "bgtm"));
    EXPECT_EQ(iconmain->EditText("upa"), "0");
    EXPECT_EQ(iconmain->EditText("upr") + iconmain->EditText("upg") + iconmain->EditText("upb"), "102030");
    EXPECT_EQ(iconmain->SwatchTarget, "up");
    EXPECT_EQ(iconmain->EditText("colora"), "0");
    EXPECT_EQ(iconmain->EditText("colorr"), "10");
    EXPECT_EQ(iconmain->TrackBarPosition("colorbara"), 0);
    EXPECT_EQ(iconmain->FillStyle, 1);
}

TEST_F(Effects, TheDialogsTakeTheMainWindowsStyleEachTimeTheyShow)
{
    auto* mainStyle = qobject_cast<TsuiThemeManager*>(iconmain->FindComponent("suiThemeManager1"));
    for (TsuiUIStyle style : {WinXP, MacOS}) {
        mainStyle->SetUIStyle(style);
        iconmain->LaunchEffect(52);
        for (const char* part : {"suiForm1", "v1", "v2", "text1", "suiButton3"})
            EXPECT_EQ(set_color->FindComponent(part)->property("UIStyle").value<TsuiUIStyle>(), style) << part;
        set_color->suiButton3Click(nullptr);
        QStringList styled;
        TDialogAnswererScope person([&](TDialogRequest& r) {
            if (auto* d = qobject_cast<TuserRGBForm*>(r.Dialog)) {
                d->FormShow(d);
                for (const char* part : {"suiForm1", "RedTrackBar", "BlueTrackBar", "text3", "suiButton1"})
                    if (d->FindComponent(part)->property("UIStyle").value<TsuiUIStyle>() == style)
                        styled << part;
            }
            r.Result = mrCancel;
            return true;
        });
        iconmain->ColorBalance1Click(nullptr);
        EXPECT_EQ(styled.size(), 5) << styled.join(' ').toStdString();
    }
}

TEST_F(Effects, APreviewBelongsToTheFormatItWasOpenedFor)
{
    // The user picks another format of the same project while the dialog is open: releases and
    // OK work on the format the effect was opened for, and the other one stays as it is.
    ClickComponentByName(doc, "Create3232WinXPImageFormat1");
    ASSERT_EQ(doc->FormatCount(), 2);
    const int first = doc->CurrentFormat();
    const QImage source = Picture(doc);
    iconmain->LaunchEffect(47);
    set_color->Slider(1)->SetPosition(0);
    doc->FormatList()->SetItemIndex(doc->CurrentFormat() == 1 ? 1 : 0);
    doc->MyListBox1Click(doc);
    ASSERT_NE(doc->CurrentFormat(), first);
    const QImage other = Picture(doc);
    requests.clear();
    Release();
    set_color->suiButton1Click(nullptr);
    EXPECT_EQ(Picture(doc), other);
    EXPECT_TRUE(requests.isEmpty()) << requests.join('\n').toStdString();
    doc->FormatList()->SetItemIndex(first - 1);
    doc->MyListBox1Click(doc);
    EXPECT_NE(Picture(doc), source);
    // The step OK recorded is the first format's.
    ClickComponentByName(iconmain, "ToolButton5");
    EXPECT_EQ(Picture(doc), source);
}

TEST_F(Effects, RandomEffectsMoveColourAndAlphaAlike)
{
    // Red squares on nothing: wherever a random effect puts something visible it is red, never
    // the black of a transparent pixel given the alpha of another place.
    Paint(doc, [](int x, int y, int, int) -> QRgb { return (x / 6 + y / 6) % 2 ? qRgba(255, 0, 0, 255) : 0; });
    for (int code : {403, 404, 33, 41, 44}) {
        iconmain->LaunchEffect(code);
        Release();
        const QImage result = Picture(doc);
        int visible = 0;
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x)
                if (qAlpha(result.pixel(x, y)) > 0) {
                    ++visible;
                    ASSERT_EQ(result.pixel(x, y) & 0xFFFFFF, 0xFF0000u) << code << " at " << x << "," << y;
                }
        EXPECT_GT(visible, 0) << code;
        set_color->suiButton3Click(nullptr);
    }
}

TEST_F(Effects, ResultsOnPaletteFormatsKeepToTheirTable)
{
    // A sixteen-colour format shows what its file will hold: only the table's colours, opaque,
    // or nothing; the colour balance keeps to it as well.
    doc->FormatTable.SetFormat(doc->CurrentFormat(), doc->CurrentWidth, doc->CurrentHeight, "16");
    doc->CurrentKind = "16";
    const TPaletteEntries& table = FixedPaletteForBits(4);
    auto onTable = [&] {
        const QImage result = Picture(doc);
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x) {
                const QRgb c = result.pixel(x, y);
                if (c == 0)
                    continue;
                if (qAlpha(c) != 255 || std::find(table.begin(), table.end(), c & 0xFFFFFF) == table.end())
                    return false;
            }
        return true;
    };
    iconmain->LaunchEffect(1);
    set_color->Slider(1)->SetPosition(90);
    Release();
    EXPECT_TRUE(onTable());
    set_color->suiButton1Click(nullptr);
    EXPECT_TRUE(onTable());

    TDialogAnswererScope person([&](TDialogRequest& r) {
        if (auto* d = qobject_cast<TuserRGBForm*>(r.Dialog)) {
            d->Bar(2)->SetPosition(77);
            d->RedTrackBarMouseDown(d, mbLeft, TShiftState(ssLeft), 0, 0);
            d->RedTrackBarMouseUp(d, mbLeft, TShiftState(), 0, 0);
            d->suiButton1Click(d);
        }
        r.Result = mrOk;
        return true;
    });
    iconmain->ColorBalance1Click(nullptr);
    EXPECT_TRUE(onTable());
}

TEST_F(Effects, FloatingPixelsAreDroppedBeforeTheEffectTakesThePicture)
{
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(qRgba(255, 0, 0, 255));
    iconmain->SelectionBuffer = GdipImageFromQImage(red);
    iconmain->PasteState = 1;
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn15"));
    ASSERT_TRUE(doc->FloatingSelection);
    ClickComponentByName(iconmain, "Negative1");
    EXPECT_FALSE(doc->FloatingSelection);
    EXPECT_EQ(Picture(doc).pixel(1, 1), qRgba(0, 255, 255, 255));
}
