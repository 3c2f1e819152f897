#include "controls/combo_edit.h"
#include "controls/controls_testing.h"
#include "controls/hint_window.h"
#include "controls/shadow_label.h"
#include "controls/speed_button.h"
#include "controls/spin_edit.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/menus.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

// A 16 by 16 picture: a blue square with a black outline on fuchsia.
std::unique_ptr<TBitmap> SampleGlyph()
{
    auto b = std::make_unique<TBitmap>(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool outside = x < 2 || y < 2 || x > 13 || y > 13;
            const bool edge = x == 2 || y == 2 || x == 13 || y == 13;
            b->SetPixelArgb(x, y, outside ? 0xFFFF00FFu : edge ? 0xFF000000u : 0xFF3070E0u);
        }
    return b;
}

} // namespace

// Every utility control in its usual states on one picture. With BRELNOVA_SHEET set to a file
// name the picture is written there (and at twice its size beside it) for a person to look at.
TEST(ControlsSheet, EveryControlInItsStates)
{
    Window w;
    w.form->SetBounds(0, 0, 720, 260);
    w.form->SetColor(clBtnFace);

    // Spin edits: both button kinds, a disabled one and the float form.
    auto* s1 = w.Add<TRxSpinEdit>(10, 10, 90, 21);
    s1->SetValue(42);
    auto* s2 = w.Add<TRxSpinEdit>(110, 10, 90, 21);
    s2->SetButtonKind(bkStandard);
    s2->SetValue(30000);
    auto* s3 = w.Add<TRxSpinEdit>(210, 10, 90, 21);
    s3->SetValueType(vtFloat);
    s3->SetValue(1.5);
    s3->SetEnabled(false);
    auto* big = w.Add<TRxSpinButton>(310, 6, 30, 30);
    (void)big;

    // Speed buttons: up, down in a group, disabled, flat, caption with glyph, drop-down mark.
    auto glyph = SampleGlyph();
    int x = 10;
    auto button = [&](int width) {
        auto* b = w.Add<TRxSpeedButton>(x, 50, width, 25);
        b->SetGlyph(glyph.get());
        x += width + 6;
        return b;
    };
    button(25);
    auto* down = button(25);
    down->SetGroupIndex(1);
    down->SetDown(true);
    button(25)->SetEnabled(false);
    button(25)->SetFlat(true);
    auto* captioned = button(80);
    captioned->SetCaption(QStringLiteral("&Preview"));
    captioned->SetLayout(blGlyphLeft);
    auto* menu = new TPopupMenu(w.form.get());
    auto* marked = button(40);
    marked->SetDropDownMenu(menu);
    auto* text = button(70);
    text->SetGlyph(nullptr);
    text->SetCaption(QStringLiteral("A long caption"));

    // Combo edits: the builders' colour boxes with the ellipsis button, a drop-down kind.
    auto* trans = w.Add<TComboEdit>(10, 90, 90, 21);
    trans->SetDirectInput(false);
    trans->SetGlyphKind(gkEllipsis);
    trans->SetButtonWidth(17);
    trans->SetColor(clBlack);
    auto* back = w.Add<TComboEdit>(110, 90, 90, 21);
    back->SetGlyphKind(gkEllipsis);
    back->SetText(QStringLiteral("$00FFFFFF"));
    auto* drop = w.Add<TComboEdit>(210, 90, 90, 21);
    drop->SetGlyphKind(gkDropDown);
    drop->SetText(QStringLiteral("Leave"));

    // Labels: the builders' plain ones, a shadowed one, a disabled one.
    auto* repeat = w.Add<TRxLabel>(10, 130, 65, 17);
    repeat->SetShadowSize(0);
    repeat->SetCaption(QStringLiteral("&Repeat Count: "));
    auto* shadowed = w.Add<TRxLabel>(120, 130, 65, 17);
    shadowed->SetShadowSize(2);
    shadowed->SetShadowPos(spRightBottom);
    shadowed->SetShadowColor(clBtnShadow);
    shadowed->SetCaption(QStringLiteral("Shadowed caption"));
    auto* disabled = w.Add<TRxLabel>(260, 130, 65, 17);
    disabled->SetShadowSize(0);
    disabled->SetCaption(QStringLiteral("Transparent Color:  "));
    disabled->SetEnabled(false);
    QApplication::processEvents();

    QImage shot = w.form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Each control drew something of its own over the window colour.
    for (TControl* c : w.form->ControlList()) {
        const QImage part = shot.copy(c->geometry());
        int differ = 0;
        for (int py = 0; py < part.height(); ++py)
            for (int px = 0; px < part.width(); ++px)
                differ += (part.pixel(px, py) | 0xFF000000u) != ColorToArgb(clBtnFace);
        EXPECT_GT(differ, 20) << c->metaObject()->className() << " at " << c->Left() << "," << c->Top();
    }

    // Hint windows in the three shapes, with shadow and tail, painted below the controls.
    struct HintStyle {
        uint8_t shape, shadow;
        bool tail;
        int alignment;
    } hints[] = {{0, 3, false, 2}, {0, 0, false, 0}, {1, 3, false, 0}, {2, 3, false, 2}, {0, 2, true, 0}};
    {
        QPainter p(&shot);
        int hx = 10;
        for (const HintStyle& h : hints) {
            InstallStyledHintWindow(h.shape, h.shadow, h.tail, h.alignment);
            TRxHintWindow hint;
            hint.ActivateHintAt(Bounds(hx, 180, 1, 1), QStringLiteral("Move Backward"), {hx + 10, 175});
            const QImage picture = hint.grab().toImage();
            EXPECT_GT(picture.width(), 40);
            p.drawImage(hx, 180, picture);
            hx += picture.width() + 12;
            hint.hide();
        }
        SetHintWindowClass(nullptr);
        HintShape = 0;
        HintShadowSize = 0;
        HintTail = false;
        HintAlignment = 0;
    }

    // The button face the speed bar drags: frame and glyph as an up speed button has them.
    {
        TCanvas canvas;
        canvas.SetBits(shot.bits(), shot.width(), shot.height(), int(shot.bytesPerLine()));
        TButtonImage image;
        image.SetGlyph(glyph.get());
        image.DrawButtonImage(&canvas, 360, 10, -1, 1, blGlyphTop, nullptr, nullptr, -1, DT_CENTER);
        canvas.FinishDrawing();
        canvas.SetBits(nullptr, 0, 0, 0);
        EXPECT_EQ(shot.pixel(360, 10) | 0xFF000000u, ColorToArgb(clBtnShadow));
        EXPECT_EQ(shot.pixel(360 + 4 + 8, 10 + 3 + 8) | 0xFF000000u, 0xFF3070E0u);
    }

    const QByteArray out = qgetenv("BRELNOVA_SHEET");
    if (!out.isEmpty()) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(out)));
        shot.scaled(shot.size() * 2).save(QString::fromLocal8Bit(out).replace(QStringLiteral(".png"), QStringLiteral("-2x.png")));
    }
}
