// A sheet of the skinned windows in the five built-in styles and the default skin file: a message
// box and an MDI frame with a menu and two document windows. Set BRELNOVA_FORM_SHEET to a PNG path
// to keep the picture and look at it.

#include "framework/application.h"
#include "framework/forms.h"
#include "framework/label.h"
#include "framework/menus.h"
#include "skin/controls/button.h"
#include "skin/controls/message_dialog.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/form_menu_bar.h"
#include "skin/mdi_form.h"
#include "skin/menus.h"
#include "skin/skin_testing.h"

#include <QMdiArea>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

const QColor SheetBackground(0x6E, 0x7B, 0x8B);

// The window as a person sees it: its shape cut out of the sheet's background.
QImage Seen(QWidget* window)
{
    QImage img = Shot(window);
    if (!window->mask().isEmpty()) {
        QPainter p(&img);
        p.setClipRegion(QRegion(img.rect()) - window->mask());
        p.fillRect(img.rect(), SheetBackground);
    }
    return img;
}

QImage MessageBoxSpecimen(TsuiUIStyle style, TsuiFileTheme* file)
{
    TsuiMessageDialog d;
    d.SetButtonCount(3);
    d.SetButton1Caption(QStringLiteral("&Yes"));
    d.SetButton2Caption(QStringLiteral("&No"));
    d.SetButton2ModalResult(mrNo);
    d.SetCaption(QStringLiteral("Brelnova Studio"));
    d.SetText(QStringLiteral("Save changes to Project 1 before closing?"));
    d.SetIconType(suiWarning);
    d.SetUIStyle(style);
    d.SetFileTheme(file);
    std::unique_ptr<TfrmMsg> w(d.BuildWindow());
    w->Show();
    QApplication::processEvents();
    return Seen(w.get());
}

QImage MdiSpecimen(TsuiUIStyle style, TsuiFileTheme* file)
{
    TForm frame;
    frame.SetFormStyle(fsMDIForm);
    frame.SetBorderStyle(bsSizeable);
    frame.SetCaption(QStringLiteral("Brelnova Studio"));
    auto* skin = new TsuiMDIForm(&frame);
    auto* menu = new TsuiMainMenu(&frame);
    for (const char* caption : {"&File", "&Edit", "&Image", "S&kins", "&Help"}) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(QString::fromLatin1(caption));
        menu->Items()->Add(item);
    }
    menu->HookItems();
    skin->SetMenu(menu);
    skin->SetFileTheme(file);
    skin->SetUIStyle(style);
    frame.SetBounds(0, 0, 560, 380);
    Application->SetMainForm(&frame);
    ShowActive(&frame);
    for (int i = 1; i <= 2; ++i) {
        auto* child = new TForm(&frame);
        child->SetFormStyle(fsMDIChild);
        child->SetBounds(0, 0, 260, 190);
        auto* s = new TsuiForm(child);
        s->SetParent(child);
        s->SetFileTheme(file);
        s->SetUIStyle(style);
        s->SetCaption(QStringLiteral("Project %1").arg(i));
        auto* label = new TLabel(s);
        label->SetParent(s);
        label->SetBounds(16, 50, 200, 16);
        label->SetCaption(QStringLiteral("32 x 32, 32-bit"));
        child->Show();
    }
    QApplication::processEvents();
    skin->Cascade();
    QApplication::processEvents();
    QImage img = Seen(&frame);
    // Children go first: a child destroyed by its sub-window's destruction reads a half-gone
    // sub-window.
    QList<TForm*> children;
    for (int i = 0; i < frame.MDIChildCount(); ++i)
        children << frame.MDIChildren(i);
    qDeleteAll(children);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Application->SetMainForm(nullptr);
    return img;
}

} // namespace

TEST(SuiFormSheet, DialogsAndMdiFramesInEveryStyle)
{
    auto* file = new TsuiFileTheme(nullptr);
    file->SetThemeFile(QStringLiteral(BRELNOVA_TESTDATA "/../assets/suk/ziroz.sui"));
    std::unique_ptr<TsuiFileTheme> owner(file);
    struct Column {
        TsuiUIStyle Style;
        TsuiFileTheme* File;
    };
    const Column columns[] = {{MacOS, nullptr},    {WinXP, nullptr},     {DeepBlue, nullptr},
                              {Protein, nullptr},  {BlueGlass, nullptr}, {FromThemeFile, file}};
    std::vector<std::pair<QImage, QImage>> shots;
    for (const Column& c : columns) {
        shots.emplace_back(MessageBoxSpecimen(c.Style, c.File), MdiSpecimen(c.Style, c.File));
        // Every window drew something of its own (not one flat colour).
        for (const QImage* img : {&shots.back().first, &shots.back().second}) {
            ASSERT_FALSE(img->isNull());
            EXPECT_NE(Px(*img, 0, img->height() / 2), Px(*img, img->width() / 2, img->height() / 2));
        }
    }
    const QByteArray out = qgetenv("BRELNOVA_FORM_SHEET");
    if (out.isEmpty())
        return;
    const int gap = 12;
    int w = gap, h = 0;
    for (const auto& [box, mdi] : shots) {
        w += std::max(box.width(), mdi.width()) + gap;
        h = std::max(h, gap + box.height() + gap + mdi.height() + gap);
    }
    QImage sheet(w, h, QImage::Format_RGB32);
    sheet.fill(SheetBackground);
    QPainter p(&sheet);
    int x = gap;
    for (const auto& [box, mdi] : shots) {
        p.drawImage(x, gap, box);
        p.drawImage(x, gap + box.height() + gap, mdi);
        x += std::max(box.width(), mdi.width()) + gap;
    }
    p.end();
    EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(out)));
}
