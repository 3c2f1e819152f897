#include "document/command_dialog_fields.h"
#include "document/copyimageokok.h"
#include "document/fontopen.h"
#include "document/gif_options.h"
#include "document/replace_colors.h"
#include "document/setsize.h"
#include "document/usericonset.h"
#include "framework/commands.h"
#include "framework/image.h"
#include "mainwindow/iconmain_files.h"
#include "mainwindow/testing_recording_document.h"

#include <functional>

namespace {

// The roads from the main window's menus and buttons through each command dialog to the
// document control it clicks.
class DialogRoads : public MainWindowWithDocument {
protected:
    // Runs open, in which a modal dialog of class D shows; the person does what act does in it.
    template <class D>
    bool Through(const std::function<void()>& open, const std::function<void(D&)>& act)
    {
        bool shown = false;
        TDialogAnswererScope person([&](TDialogRequest& r) {
            if (auto* dialog = qobject_cast<D*>(r.Dialog)) {
                shown = true;
                act(*dialog);
            }
            r.Result = mrOk;
            return true;
        });
        open();
        return shown;
    }
    template <class D>
    bool Menu(const char* item, const std::function<void(D&)>& act)
    {
        return Through<D>([&] { ClickComponentByName(main, item); }, act);
    }
    static QVariant Get(TForm& f, const char* name, const char* property)
    {
        return f.FindComponent(name)->property(property);
    }
    static void Set(TForm& f, const char* name, const char* property, const QVariant& v)
    {
        f.FindComponent(name)->setProperty(property, v);
    }
};

} // namespace

TEST_F(DialogRoads, ReplaceAndExchangeOpenTheirModeAndApplyReachesTheDocument)
{
    const struct {
        const char* Item;
        int Mode;
        const char* Arrow;
    } roads[] = {{"ReplaceColors1", 1, "- - - - - >"}, {"ExchangeColors1", 2, "<- - - - - >"}};
    for (const auto& road : roads) {
        int mode = 0, direction = 0;
        QString arrow;
        ASSERT_TRUE(Menu<Treplace_colors>(road.Item, [&](Treplace_colors& d) {
            mode = d.ReplaceMode;
            arrow = Get(d, "Label1", "Caption").toString();
            d.suiButton1Click(nullptr);
            direction = d.Direction;
        })) << road.Item;
        EXPECT_EQ(mode, road.Mode);
        EXPECT_EQ(arrow, road.Arrow);
        // Each opening starts the direction afresh: its first Apply sends 2.
        EXPECT_EQ(direction, 2);
        EXPECT_EQ(document->Take(), QStringList({"BitBtn43"}));
    }
}

TEST_F(DialogRoads, ResizeRotateAndPenWidthReachTheirCommands)
{
    main->NewImageWidth = 20;
    main->NewImageHeight = 30;
    QString shownSize;
    ASSERT_TRUE(Menu<Tsetsize>("Resize1", [&](Tsetsize& d) {
        shownSize = d.WidthText() + "x" + d.HeightText();
        d.suiButton1Click(nullptr);
    }));
    EXPECT_EQ(shownSize, "20x30");
    EXPECT_EQ(document->Take(), QStringList({"Button8"}));

    // A quarter turn chosen in the dialog runs the main window's Rotate Left on the document.
    ASSERT_TRUE(Menu<Tusericonset>("ArbitraryRotation1", [&](Tusericonset& d) {
        Set(d, "suiRadioButton1", "Checked", true);
        Set(d, "ok90", "Checked", true);
        d.suiButton6Click(nullptr);
    }));
    EXPECT_EQ(document->Take(), QStringList({"BitBtn12"}));

    // A double click on a pen-width button opens the pencil size.
    auto* pen = qobject_cast<TImage*>(main->FindComponent("tool_13"));
    ASSERT_TRUE(pen && pen->OnDblClick);
    ASSERT_TRUE(Through<Tfontopen>([&] { pen->OnDblClick(pen); },
                                   [&](Tfontopen& d) { Set(d, "suiTrackBar1", "Position", 7); }));
    EXPECT_EQ(main->PenWidth, 7);
}

TEST_F(DialogRoads, PasteShowsItsChoiceAndJpegSavesWithTheQualityChosen)
{
    ClickComponentByName(main, "ToolButton10");
    ASSERT_TRUE(copyimageokok);
    EXPECT_TRUE(copyimageokok->isVisible());
    Set(*copyimageokok, "suiRadioButton2", "Checked", true);
    copyimageokok->suiButton1Click(nullptr);
    EXPECT_EQ(document->Take(), QStringList({"BitBtn16"}));

    TIconmainFiles files(*main);
    ASSERT_TRUE(Through<TGifOptions>([&] { files.ShowJpegOptions(); }, [&](TGifOptions& d) {
        Set(d, "colorbara", "Position", 30);
        d.suiButton3Click(nullptr);
    }));
    EXPECT_EQ(document->Take(), QStringList({"Button1"}));
    EXPECT_EQ(main->CommandArgument, "jpg");
    EXPECT_EQ(JpegOptionsDialog().Quality(), 30);
}
