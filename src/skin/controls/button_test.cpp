#include "skin/controls/button.h"

#include "framework/bitmap.h"
#include "framework/edit.h"
#include "framework/forms.h"
#include "framework/picture.h"
#include "skin/controls/skin_controls.h"
#include "skin/file_theme.h"
#include "skin/skin_testing.h"
#include "skin/theme_pictures.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace SkinTest;

namespace {

// The frame of the style's button picture that a state shows.
std::unique_ptr<TBitmap> ButtonFrame(TsuiUIStyle style, int frame)
{
    auto b = std::make_unique<TBitmap>();
    LoadBuiltinThemeFrame(style, ThemeItem::ButtonImage, b.get(), 3, frame);
    return b;
}

QRgb FramePx(TBitmap& b, int x, int y) { return b.PixelArgb(x, y) & 0xFFFFFF; }

struct ButtonForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>();
    TsuiButton* button;
    explicit ButtonForm(TsuiUIStyle style = DeepBlue, const QString& caption = QStringLiteral("OK"))
    {
        form->SetBounds(0, 0, 300, 200);
        button = new TsuiButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(10, 10, 80, 27);
        button->SetUIStyle(style);
        button->SetCaption(caption);
    }
};

} // namespace

// The state picture is stretched over the whole button with its corners as they are, in every
// style: normal, mouse over, pressed and disabled.
TEST(SuiButton, StatePicturesKeepTheirCorners)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        ButtonForm f(style, QString());
        TsuiButton* b = f.button;
        b->SetTransparent(false);
        struct Case {
            const char* name;
            int frame;
            std::function<void()> setup;
        };
        const Case cases[] = {
            {"normal", 1, [] {}},
            {"mouse over", 2, [&] { Enter(b); }},
            {"pressed", 3, [&] { Press(b, {5, 5}); }},
            {"disabled", 1, [&] {
                 Leave(b);
                 b->SetEnabled(false);
             }},
        };
        for (const Case& c : cases) {
            c.setup();
            auto framePtr = ButtonFrame(style, c.frame);
            TBitmap& frame = *framePtr;
            ASSERT_FALSE(frame.Empty());
            const QImage shot = Shot(b);
            const int fw = frame.Width(), fh = frame.Height();
            // Pixels of the corner pieces that no later piece overdraws.
            EXPECT_EQ(Px(shot, 0, 0), FramePx(frame, 0, 0)) << int(style) << c.name;
            EXPECT_EQ(Px(shot, 2, 1), FramePx(frame, 2, 1)) << int(style) << c.name;
            EXPECT_EQ(Px(shot, 79, 26), FramePx(frame, fw - 1, fh - 1)) << int(style) << c.name;
            EXPECT_EQ(Px(shot, 0, 26), FramePx(frame, 0, fh - 1)) << int(style) << c.name;
        }
    }
}

TEST(SuiButton, CaptionCentredAndGreyWhenDisabled)
{
    ButtonForm f(DeepBlue, QStringLiteral("OK"));
    TsuiButton* b = f.button;
    QImage shot = Shot(b);
    // The caption's dark pixels lie around the middle of the button.
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    const QRgb face = Px(shot, 40, 3);
    for (int y = 3; y < 24; ++y)
        for (int x = 3; x < 77; ++x)
            if (qGray(Px(shot, x, y)) < qGray(face) - 80) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 40, 2);
    EXPECT_NEAR((minY + maxY) / 2.0, 13.5, 2.5);

    b->SetEnabled(false);
    shot = Shot(b);
    // Text is smoothed, so its darkest pixels come near the grey and its shadow near white.
    int darkest = 255, brightest = 0;
    for (int y = 3; y < 24; ++y)
        for (int x = 10; x < 70; ++x) {
            const QRgb c = Px(shot, x, y);
            EXPECT_LE(std::abs(qRed(c) - qBlue(c)), 40) << x << "," << y;
            darkest = std::min(darkest, qGray(c));
            brightest = std::max(brightest, qGray(c));
        }
    EXPECT_NEAR(darkest, 0x80, 12);
    EXPECT_GE(brightest, 0xF4);
}

// A focused button shows a dotted frame two pixels inside its edge, except in MacOS and
// BlueGlass, where its caption turns bold instead.
TEST(SuiButton, FocusFrameOrBoldCaption)
{
    for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
        ButtonForm f(style, QStringLiteral("Close"));
        auto* other = new TsuiButton(f.form.get());
        other->SetParent(f.form.get());
        other->SetBounds(100, 10, 80, 27);
        ShowActive(f.form.get());
        other->SetFocus();
        const QImage plain = Shot(f.button);
        f.button->SetFocus();
        ASSERT_TRUE(f.button->Focused());
        const QImage focused = Shot(f.button);
        int frameDiff = 0, captionDiff = 0;
        for (int x = 4; x < 76; ++x)
            frameDiff += Px(plain, x, 2) != Px(focused, x, 2);
        for (int y = 6; y < 21; ++y)
            for (int x = 10; x < 70; ++x)
                captionDiff += Px(plain, x, y) != Px(focused, x, y);
        const bool bold = style == MacOS || style == BlueGlass;
        EXPECT_EQ(frameDiff > 10, !bold) << int(style);
        EXPECT_EQ(captionDiff > 5, bold) << int(style);
    }
}

TEST(SuiButton, MouseClickHoverAndModalResult)
{
    ButtonForm f;
    TsuiButton* b = f.button;
    int clicks = 0, enters = 0, exits = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    b->OnMouseExit = [&](TObject*) { ++exits; };
    b->SetModalResult(mrOk);

    Enter(b);
    EXPECT_TRUE(b->MouseOver());
    Press(b, {5, 5});
    EXPECT_TRUE(b->Pressed());
    Release(b, {5, 5});
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f.form->ModalResult(), mrOk);

    // A button with ModalResult 0 hands 0 on too.
    b->SetModalResult(0);
    Click(b, {5, 5});
    EXPECT_EQ(f.form->ModalResult(), 0);
    EXPECT_EQ(clicks, 2);

    // Moving out while pressed lets go of the pressed look; releasing outside clicks nothing.
    Press(b, {5, 5});
    Move(b, {200, 5});
    EXPECT_FALSE(b->Pressed());
    EXPECT_FALSE(b->MouseOver());
    Release(b, {200, 5});
    EXPECT_EQ(clicks, 2);
    Leave(b);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);

    // A double click is two clicks.
    Press(b, {5, 5});
    Release(b, {5, 5});
    Mouse(b, QEvent::MouseButtonDblClick, {5, 5});
    Release(b, {5, 5});
    EXPECT_EQ(clicks, 4);
}

TEST(SuiButton, ModalWindowClosesWithTheButtonsResult)
{
    RegisterSkinControlClasses();
    TForm dlg;
    dlg.LoadDefinitionText(R"(object Dlg: TForm
  Width = 200
  Height = 100
  object OkButton: TsuiButton
    Left = 10
    Top = 10
    Caption = 'OK'
    ModalResult = 1
    UIStyle = WinXP
  end
end
)");
    auto* ok = qobject_cast<TsuiButton*>(dlg.FindComponent(QStringLiteral("OkButton")));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Width(), 80);
    EXPECT_EQ(ok->Height(), 27);
    EXPECT_EQ(ok->UIStyle(), WinXP);
    QTimer::singleShot(0, ok, [ok] { Click(ok, {5, 5}); });
    EXPECT_EQ(dlg.ShowModal(), mrOk);
}

// Enter clicks the focused push button, or the Default one while an edit has the focus; Escape
// the Cancel one; Ctrl+Enter none; Space clicks on its release.
TEST(SuiButton, KeyboardClicks)
{
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    auto make = [&](const QString& name, int x) {
        auto* b = new TsuiButton(&form);
        b->SetParent(&form);
        b->SetName(name);
        b->SetBounds(x, 10, 80, 27);
        return b;
    };
    TsuiButton* okB = make(QStringLiteral("OkB"), 10);
    TsuiButton* cancelB = make(QStringLiteral("CancelB"), 100);
    TsuiButton* otherB = make(QStringLiteral("OtherB"), 190);
    okB->SetDefault(true);
    cancelB->SetCancel(true);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 60, 100, 21);
    QStringList log;
    for (TsuiButton* b : {okB, cancelB, otherB})
        b->OnClick = [&log](TObject* s) { log << static_cast<TControl*>(s)->Name(); };
    ShowActive(&form);

    edit->SetFocus();
    EXPECT_TRUE(okB->ActsAsDefault());
    QWidget* editTarget = QApplication::focusWidget();
    ASSERT_NE(editTarget, nullptr);
    KeyClick(editTarget, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    KeyClick(editTarget, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    KeyClick(editTarget, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(log, (QStringList{"OkB", "CancelB"}));

    log.clear();
    otherB->SetFocus();
    EXPECT_TRUE(otherB->ActsAsDefault());
    EXPECT_FALSE(okB->ActsAsDefault());
    KeyClick(otherB, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    Key(otherB, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(otherB->Pressed());
    EXPECT_EQ(log, (QStringList{"OtherB"}));
    Key(otherB, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(log, (QStringList{"OtherB", "OtherB"}));

    // The accelerator of the caption clicks an enabled button only.
    log.clear();
    cancelB->SetCaption(QStringLiteral("&Cancel"));
    KeyClick(otherB, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(log, (QStringList{"CancelB"}));
    cancelB->SetEnabled(false);
    KeyClick(otherB, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(log, (QStringList{"CancelB"}));
}

TEST(SuiButton, RepeatFiresWhileHeld)
{
    for (int interval : {20, -5}) {
        ButtonForm f;
        TsuiButton* b = f.button;
        b->SetMouseContinuouslyDownInterval(interval);
        int ticks = 0;
        b->OnMouseContinuouslyDown = [&](TObject*) { ++ticks; };
        Enter(b);
        Press(b, {5, 5});
        EXPECT_TRUE(b->Repeating());
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 120)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        EXPECT_GE(ticks, interval < 0 ? 10 : 3) << interval;
        Leave(b);
        EXPECT_FALSE(b->Repeating());
        const int after = ticks;
        QApplication::processEvents();
        EXPECT_EQ(ticks, after);

        // Let go outside the button: the repeating stops as well.
        Press(b, {5, 5});
        Move(b, {300, 5});
        Release(b, {300, 5});
        EXPECT_FALSE(b->Repeating());
    }
}

TEST(SuiButton, TwoCellGlyphShowsSecondCellWhenDisabled)
{
    ButtonForm f(DeepBlue, QString());
    TBitmap glyph(32, 16, pf24bit);
    // Top-left pixel is the mask colour; cell 0 red, cell 1 blue.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            glyph.SetPixelArgb(x, y, (x == 0 && y == 0) ? 0xFF00FF00u : x < 16 ? 0xFFFF0000u : 0xFF0000FFu);
    f.button->SetGlyph(&glyph);
    // No caption: the glyph sits at ((80 - 16 - 0 - 4) / 2, (27 - 16) / 2) = (30, 5).
    QImage shot = Shot(f.button);
    EXPECT_EQ(Px(shot, 38, 12), 0xFF0000u);
    f.button->SetEnabled(false);
    shot = Shot(f.button);
    EXPECT_EQ(Px(shot, 38, 12), 0x0000FFu);
    // The mask colour of the top-left pixel lets the button show through.
    EXPECT_NE(Px(shot, 30, 5), 0x00FF00u);
}

TEST(SuiButton, GlyphLayoutPlacesCaptionOrigin)
{
    ButtonForm f(DeepBlue, QStringLiteral("Open"));
    TBitmap glyph(16, 16, pf24bit);
    f.button->SetGlyph(&glyph);
    const QFontMetrics fm(f.button->Font()->ToQFont());
    const int tw = fm.horizontalAdvance(QStringLiteral("Open")), th = fm.height();
    struct Case {
        TButtonLayout layout;
        TPoint origin;
    };
    const int gxLeft = (80 - 16 - tw - 4) / 2, gyTop = (27 - th - 16 - 4) / 2, gyBottom = (27 + th + 4 - 16) / 2;
    const Case cases[] = {
        {blGlyphLeft, {gxLeft + 16 + 4, (27 - th) / 2}},
        {blGlyphRight, {(80 + tw + 4 - 16) / 2 - tw - 4, (27 - th) / 2}},
        {blGlyphTop, {(80 - tw) / 2, gyTop + 16 + 4}},
        {blGlyphBottom, {(80 - tw) / 2, gyBottom - th - 4}},
    };
    for (const Case& c : cases) {
        f.button->SetLayout(c.layout);
        Shot(f.button);
        EXPECT_EQ(f.button->CaptionOrigin().X, c.origin.X) << int(c.layout);
        EXPECT_EQ(f.button->CaptionOrigin().Y, c.origin.Y) << int(c.layout);
    }
}

// Styles with transparent buttons take it from the theme; a freed skin-file component puts the
// button back to DeepBlue.
TEST(SuiButton, StyleTransparencyAndFreedFileTheme)
{
    ButtonForm f(MacOS);
    EXPECT_TRUE(f.button->Transparent());
    f.button->SetUIStyle(WinXP);
    EXPECT_FALSE(f.button->Transparent());
    f.button->SetUIStyle(BlueGlass);
    EXPECT_TRUE(f.button->Transparent());

    auto* theme = new TsuiFileTheme(f.form.get());
    f.button->SetUIStyle(FromThemeFile);
    f.button->SetFileTheme(theme);
    delete theme;
    EXPECT_EQ(f.button->FileTheme(), nullptr);
    EXPECT_EQ(f.button->UIStyle(), DeepBlue);
    EXPECT_FALSE(f.button->Transparent());
}

TEST(SuiButton, AutoSizeTakesOneFrameOfTheBuiltinPicture)
{
    ButtonForm f(MacOS);
    f.button->SetAutoSize(true);
    EXPECT_EQ(f.button->Width(), 252 / 3);
    EXPECT_EQ(f.button->Height(), 23);
    f.button->SetUIStyle(BlueGlass);
    f.button->SetAutoSize(true);
    EXPECT_EQ(f.button->Width(), 231 / 3);
    EXPECT_EQ(f.button->Height(), 27);
}

TEST(SuiArrowButton, TriangleAndNoCaption)
{
    TForm form;
    auto* a = new TsuiArrowButton(&form);
    a->SetParent(&form);
    a->SetBounds(0, 0, 16, 11);
    a->SetCaption(QStringLiteral("x"));
    // x0 = 5, y0 = 4: the up triangle's tip is at (8, 4), its base on row 7.
    QImage shot = Shot(a);
    EXPECT_EQ(Px(shot, 8, 4), 0u);
    EXPECT_EQ(Px(shot, 6, 6), 0u);
    EXPECT_NE(Px(shot, 6, 4), 0u);
    a->SetArrow(suiDown);
    shot = Shot(a);
    EXPECT_EQ(Px(shot, 6, 4), 0u);
    EXPECT_EQ(Px(shot, 8, 6), 0u);
}

TEST(SuiImageButton, OwnPicturesByStateWithFallback)
{
    TForm form;
    auto* b = new TsuiImageButton(&form);
    b->SetParent(&form);
    b->SetBounds(0, 0, 30, 20);
    EXPECT_EQ(b->UIStyle(), FromThemeFile);
    b->SetUIStyle(WinXP);
    EXPECT_EQ(b->UIStyle(), FromThemeFile);
    auto pic = [](TPicture& p, QRgb colour) {
        TBitmap bmp(10, 8, pf24bit);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                bmp.SetPixelArgb(x, y, (x == 0 && y == 0) ? 0xFF000000u : colour);
        p.SetGraphic(&bmp);
    };
    TPicture normal, down;
    pic(normal, 0xFF102030);
    pic(down, 0xFF405060);
    b->SetPicNormal(&normal);
    b->SetPicMouseDown(&down);
    EXPECT_EQ(Px(Shot(b), 5, 5), 0x102030u);
    Enter(b);
    EXPECT_EQ(Px(Shot(b), 5, 5), 0x102030u); // no mouse-over picture: the normal one
    Press(b, {2, 2});
    EXPECT_EQ(Px(Shot(b), 5, 5), 0x405060u);
    b->SetAutoSize(true);
    EXPECT_EQ(b->Width(), 10);
    EXPECT_EQ(b->Height(), 8);
}
