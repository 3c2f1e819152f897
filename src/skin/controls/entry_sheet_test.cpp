// A sheet of the skinned range, text-entry, list, tab and page controls, the colour box and the
// URL label in the five built-in styles and the default skin file, side by side. Set
// BRELNOVA_ENTRY_SHEET to a PNG path to keep the picture and look at it.

#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "skin/controls/color_box.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/draw_grid.h"
#include "skin/controls/edit.h"
#include "skin/controls/list_view.h"
#include "skin/controls/memo.h"
#include "skin/controls/page_control.h"
#include "skin/controls/progress_bar.h"
#include "skin/controls/scroll_bar.h"
#include "skin/controls/spin_edit.h"
#include "skin/controls/tab_control.h"
#include "skin/controls/track_bar.h"
#include "skin/controls/url_label.h"
#include "skin/file_theme.h"
#include "skin/skin_testing.h"
#include "skin/theme_lookup.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

template <class T>
T* Place(TWinControl* parent, int x, int y, int w, int h)
{
    auto* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

QImage Specimen(TsuiUIStyle style, TsuiFileTheme* file)
{
    TForm form;
    form.SetBounds(0, 0, 340, 620);
    form.SetColor(ThemeColor(file, style, ThemeItem::FormBackgroundColor));
    auto skin = [&](auto* c) {
        c->SetFileTheme(file);
        c->SetUIStyle(style);
        return c;
    };

    auto* track = skin(Place<TsuiTrackBar>(&form, 6, 6, 200, 20));
    track->SetPosition(4);
    auto* vtrack = skin(Place<TsuiTrackBar>(&form, 300, 6, 20, 120));
    vtrack->SetOrientation(suiVertical);
    vtrack->SetBounds(300, 6, vtrack->Width(), 120);
    vtrack->SetPosition(7);
    auto* hbar = skin(Place<TsuiScrollBar>(&form, 6, 40, 200, 16));
    hbar->SetPageSize(30);
    hbar->SetPosition(40);
    auto* vbar = skin(Place<TsuiScrollBar>(&form, 270, 6, 16, 120));
    vbar->SetOrientation(suiVertical);
    vbar->SetBounds(270, 6, vbar->Width(), 120);
    vbar->SetLineButton(30);
    vbar->SetPosition(70);
    auto* progress = skin(Place<TsuiProgressBar>(&form, 6, 66, 200, 14));
    progress->SetPosition(37);

    auto* edit = skin(Place<TsuiEdit>(&form, 6, 90, 120, 21));
    edit->SetText(QStringLiteral("icon.ico"));
    auto* spin = skin(Place<TsuiSpinEdit>(&form, 132, 90, 70, 21));
    spin->SetMinValue(1);
    spin->SetMaxValue(255);
    spin->SetValue(48);

    auto* memo = skin(Place<TsuiMemo>(&form, 6, 120, 200, 70));
    memo->SetWordWrap(false);
    QStringList lines;
    for (int i = 0; i < 12; ++i)
        lines << QStringLiteral("Line %1 of the icon information, long enough to scroll").arg(i + 1);
    memo->Lines()->SetStrings(lines);
    memo->SetVScrollBar(Place<TsuiScrollBar>(&form, 0, 0, 16, 50));
    memo->SetHScrollBar(Place<TsuiScrollBar>(&form, 0, 0, 50, 16));
    skin(memo);

    auto* combo = skin(Place<TsuiComboBox>(&form, 6, 198, 120, 21));
    combo->SetStyle(csDropDownList);
    combo->Items()->SetStrings({"48 x 48", "32 x 32"});
    combo->SetItemIndex(0);
    auto* off = skin(Place<TsuiComboBox>(&form, 132, 198, 80, 21));
    off->SetText(QStringLiteral("Off"));
    off->SetEnabled(false);
    auto* colors = skin(Place<TsuiColorBox>(&form, 218, 198, 116, 21));
    colors->SetStyle(TColorBoxStyle(cbStandardColors) | cbPrettyNames);
    colors->SetSelected(clTeal);

    auto* tabs = skin(Place<TsuiTabControl>(&form, 6, 228, 160, 70));
    tabs->SetTabList({"Grid", "Selection", "Background", "Text"});
    tabs->SetTabIndex(1);
    auto* pages = skin(Place<TsuiPageControl>(&form, 172, 228, 162, 70));
    for (const char* caption : {"General", "Advanced"}) {
        auto* sheet = new TsuiTabSheet(&form);
        sheet->SetPageControl(pages);
        sheet->SetCaption(QString::fromLatin1(caption));
        auto* e = skin(Place<TsuiEdit>(sheet, 4, 4, 100, 21));
        e->SetText(QString::fromLatin1(caption));
    }
    skin(pages);
    pages->SetActivePage(pages->Pages(0));

    auto* grid = skin(Place<TsuiDrawGrid>(&form, 6, 306, 200, 110));
    grid->SetDefaultColWidth(40);
    grid->SetDefaultRowHeight(18);
    grid->SetRowCount(12);
    grid->OnDrawCell = [grid](TObject*, int col, int row, TRect r, TGridDrawState state) {
        TCanvas* c = grid->Canvas();
        c->Brush()->SetStyle(bsClear);
        if (state & gdFixed)
            c->TextOut(r.Left + 3, r.Top + 2, col == 0 ? QString::number(row) : QString(QChar('A' + col - 1)));
    };
    grid->SetVScrollBar(Place<TsuiScrollBar>(&form, 0, 0, 16, 50));
    skin(grid);
    grid->SetRow(2);
    grid->SetCol(2);

    auto* list = skin(Place<TsuiListView>(&form, 212, 306, 122, 110));
    list->SetViewStyle(vsReport);
    list->AddColumn()->SetCaption(QStringLiteral("Name"));
    for (int i = 0; i < 12; ++i)
        list->Items()->Add()->SetCaption(QStringLiteral("icon%1.ico").arg(i));
    list->SetVScrollBar(Place<TsuiScrollBar>(&form, 0, 0, 16, 50));
    skin(list);

    auto* link = Place<TsuiURLLabel>(&form, 6, 424, 200, 16);
    link->SetCaption(QStringLiteral("www.example.org"));

    ShowActive(&form);
    grid->SetFocus();
    QApplication::processEvents();
    return form.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(SkinEntrySheet, EveryControlInEveryStyle)
{
    TForm owner;
    auto* file = new TsuiFileTheme(&owner);
    file->SetThemeFile(QStringLiteral(BRELNOVA_TESTDATA "/../assets/suk/ziroz.sui"));
    ASSERT_TRUE(file->IsLoaded());
    struct Column {
        TsuiUIStyle style;
        TsuiFileTheme* file;
        const char* name;
    };
    const Column columns[] = {{MacOS, nullptr, "MacOS"},         {WinXP, nullptr, "WinXP"},
                              {DeepBlue, nullptr, "DeepBlue"},   {Protein, nullptr, "Protein"},
                              {BlueGlass, nullptr, "BlueGlass"}, {FromThemeFile, file, "ziroz.sui"}};
    std::vector<QImage> shots;
    for (const Column& c : columns)
        shots.push_back(Specimen(c.style, c.file));

    // The styles differ in the bars and the tab strips.
    for (size_t a = 0; a < shots.size(); ++a)
        for (size_t b = a + 1; b < shots.size(); ++b) {
            int differ = 0;
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 330; ++x)
                    differ += shots[a].pixel(x, y) != shots[b].pixel(x, y);
            EXPECT_GT(differ, 1000) << columns[a].name << " vs " << columns[b].name;
        }

    const QByteArray out = qgetenv("BRELNOVA_ENTRY_SHEET");
    if (!out.isEmpty()) {
        QImage sheet(int(shots.size()) * 350, 620, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (size_t i = 0; i < shots.size(); ++i)
            p.drawImage(int(i) * 350, 0, shots[i]);
        p.end();
        EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(out)));
        for (size_t i = 0; i < shots.size(); ++i)
            shots[i].scaled(shots[i].size() * 2).save(QString::fromLocal8Bit(out).replace(QStringLiteral(".png"), QStringLiteral("-%1.png").arg(i)));
    }
}
