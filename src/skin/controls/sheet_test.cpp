// A sheet of every skinned control of this library in the five built-in styles and the default
// skin file, side by side. Set BRELNOVA_SHEET to a PNG path to keep the picture and look at it.

#include "framework/bitmap.h"
#include "framework/forms.h"
#include "framework/picture.h"
#include "skin/controls/button.h"
#include "skin/controls/check_box.h"
#include "skin/controls/group_box.h"
#include "skin/controls/panel.h"
#include "skin/controls/status_bar.h"
#include "skin/menus.h"
#include "skin/skin_testing.h"
#include "skin/theme_lookup.h"
#include "skin/title_bar.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

void Glyph(TBitmap& bmp)
{
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int dx = x - 8, dy = y - 8;
            const bool in = dx * dx + dy * dy < 36;
            bmp.SetPixelArgb(x, y, !in ? 0xFFFF00FFu : (x < 8 ? 0xFF2E7D32u : 0xFFF9A825u));
        }
}

template <class T>
T* Place(TWinControl* parent, int x, int y, int w, int h)
{
    auto* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

// One column of the sheet: a window holding every control in one style.
QImage Specimen(TsuiUIStyle style, TsuiFileTheme* file, const QString& name)
{
    TForm form;
    form.SetBounds(0, 0, 340, 540);
    form.SetColor(ThemeColor(file, style, ThemeItem::FormBackgroundColor));
    auto skin = [&](auto* c) {
        c->SetUIStyle(style);
        c->SetFileTheme(file);
        return c;
    };

    auto* bar = new TsuiTitleBar(&form);
    bar->SetParent(&form);
    skin(bar);
    bar->SetCaption(QStringLiteral("Brelnova Studio - ") + name + QStringLiteral(" - a caption too long to fit"));

    const int top = bar->Height() + 6;
    const char* captions[] = {"OK", "Hover", "Pressed", "Off"};
    TsuiButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = skin(Place<TsuiButton>(&form, 6 + i * 82, top, 78, 27));
        buttons[i]->SetCaption(QString::fromLatin1(captions[i]));
    }
    Enter(buttons[1]);
    Enter(buttons[2]);
    Press(buttons[2], {5, 5});
    buttons[3]->SetEnabled(false);

    TBitmap glyph;
    Glyph(glyph);
    auto* withGlyph = skin(Place<TsuiButton>(&form, 6, top + 32, 100, 27));
    withGlyph->SetCaption(QStringLiteral("&Open"));
    withGlyph->SetGlyph(&glyph);
    auto* focused = skin(Place<TsuiButton>(&form, 110, top + 32, 80, 27));
    focused->SetCaption(QStringLiteral("Focused"));
    auto* up = skin(Place<TsuiArrowButton>(&form, 196, top + 32, 16, 13));
    auto* down = skin(Place<TsuiArrowButton>(&form, 196, top + 45, 16, 13));
    down->SetArrow(suiDown);
    auto* speed = Place<TsuiToolBarSpeedButton>(&form, 220, top + 36, 18, 18);
    speed->SetColor(ThemeColor(file, style, ThemeItem::FormBackgroundColor));
    speed->SetGlyph(&glyph);
    auto* speedHot = Place<TsuiToolBarSpeedButton>(&form, 242, top + 36, 18, 18);
    speedHot->SetColor(ThemeColor(file, style, ThemeItem::FormBackgroundColor));
    speedHot->SetGlyph(&glyph);
    Enter(speedHot);

    struct Box {
        const char* caption;
        bool checked, enabled;
    };
    const Box boxes[] = {{"Checked", true, true}, {"Clear", false, true}, {"Off, set", true, false}, {"Off", false, false}};
    for (int i = 0; i < 4; ++i) {
        auto* check = skin(Place<TsuiCheckBox>(&form, 6 + (i % 2) * 110, top + 66 + (i / 2) * 20, 100, 17));
        check->SetCaption(QString::fromLatin1(boxes[i].caption));
        check->SetChecked(boxes[i].checked);
        check->SetEnabled(boxes[i].enabled);
        check->SetColor(form.Color());
        auto* radio = skin(Place<TsuiRadioButton>(&form, 6 + (i % 2) * 110, top + 110 + (i / 2) * 20, 100, 17));
        radio->SetCaption(QString::fromLatin1(boxes[i].caption));
        radio->SetGroupIndex(i);
        radio->SetChecked(boxes[i].checked);
        radio->SetEnabled(boxes[i].enabled);
        radio->SetColor(form.Color());
    }

    auto* panel = skin(Place<TsuiPanel>(&form, 6, top + 156, 150, 90));
    panel->SetCaption(QStringLiteral("Layers"));
    auto* inner = skin(Place<TsuiCheckBox>(panel, 6, 28, 100, 17));
    inner->SetCaption(QStringLiteral("Show grid"));
    inner->SetColor(clWhite);
    auto* collapsed = skin(Place<TsuiPanel>(&form, 6, top + 252, 150, 90));
    collapsed->SetCaption(QStringLiteral("Collapsed"));
    collapsed->Push();

    auto* group = skin(Place<TsuiGroupBox>(&form, 166, top + 156, 165, 90));
    group->SetGroupCaption(QStringLiteral("Size"));
    auto* groupCheck = skin(Place<TsuiCheckBox>(group, 8, 24, 100, 17));
    groupCheck->SetCaption(QStringLiteral("Keep ratio"));
    groupCheck->SetChecked(true);
    skin(group); // pushes the style into the check box

    auto* image = Place<TsuiImagePanel>(&form, 166, top + 252, 165, 40);
    TPicture tile;
    TBitmap tileBmp(8, 8, pf24bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tileBmp.SetPixelArgb(x, y, (x + y) % 8 < 4 ? 0xFFB0C4DEu : 0xFFE6EEF7u);
    tile.SetGraphic(&tileBmp);
    image->SetPicture(&tile);
    image->SetDrawStyle(suiTile);
    image->SetCaption(QStringLiteral("Tiled picture"));

    auto* status = new TsuiStatusBar(&form);
    status->SetParent(&form);
    skin(status);
    status->Panels()->Add()->SetText(QStringLiteral("Ready"));
    status->Panels()->Items(0)->SetWidth(120);
    status->Panels()->Add()->SetText(QStringLiteral("32 x 32"));

    ShowActive(&form);
    focused->SetFocus();
    QApplication::processEvents();
    QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);

    // The menu of the style, with one item under the mouse, pasted into the free corner.
    TsuiPopupMenu menu;
    menu.SetUIStyle(style);
    menu.SetFileTheme(file);
    auto add = [&](TMenuItem* parent, const char* caption) {
        auto* item = new TMenuItem(parent);
        item->SetCaption(QString::fromLatin1(caption));
        parent->Add(item);
        return item;
    };
    TMenuItem* copy = add(menu.Items(), "&Copy");
    copy->SetShortCut(ShortCut('C', TShiftState(ssCtrl)));
    add(menu.Items(), "&Paste")->SetEnabled(false);
    add(menu.Items(), "-");
    add(menu.Items(), "Show &grid")->SetChecked(true);
    add(add(menu.Items(), "Rotate"), "90 degrees");
    add(menu.Items(), "&Default item")->SetDefault(true);
    menu.Popup(0, 0);
    QMenu* qmenu = menu.PopupQMenu();
    qmenu->setActiveAction(copy->Action());
    QApplication::processEvents();
    const QImage menuShot = qmenu->grab().toImage();
    qmenu->hide();
    QPainter p(&shot);
    p.drawImage(QPoint(std::min(166, 336 - menuShot.width()), top + 300), menuShot);
    p.end();
    return shot;
}

} // namespace

TEST(SkinSheet, EveryControlInEveryStyle)
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
    const Column columns[] = {{MacOS, nullptr, "MacOS"},       {WinXP, nullptr, "WinXP"},
                              {DeepBlue, nullptr, "DeepBlue"}, {Protein, nullptr, "Protein"},
                              {BlueGlass, nullptr, "BlueGlass"}, {FromThemeFile, file, "ziroz.sui"}};
    std::vector<QImage> shots;
    for (const Column& c : columns)
        shots.push_back(Specimen(c.style, c.file, QString::fromLatin1(c.name)));

    // Every column looks different from every other one in its title bar and its buttons.
    for (size_t a = 0; a < shots.size(); ++a)
        for (size_t b = a + 1; b < shots.size(); ++b) {
            int differ = 0;
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 330; ++x)
                    differ += shots[a].pixel(x, y) != shots[b].pixel(x, y);
            EXPECT_GT(differ, 2000) << columns[a].name << " vs " << columns[b].name;
        }

    const QByteArray out = qgetenv("BRELNOVA_SHEET");
    if (!out.isEmpty()) {
        QImage sheet(int(shots.size()) * 350, 540, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (size_t i = 0; i < shots.size(); ++i)
            p.drawImage(int(i) * 350, 0, shots[i]);
        p.end();
        EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(out)));
        // Each column at twice its size beside it, for a close look.
        for (size_t i = 0; i < shots.size(); ++i)
            shots[i].scaled(shots[i].size() * 2).save(QString::fromLocal8Bit(out).replace(QStringLiteral(".png"), QStringLiteral("-%1.png").arg(i)));
    }
}
