#include "mainwindow/colour_palettes.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/qimage_bridge.h"
#include "framework/timer.h"
#include "imaging/bitmap/image32.h"
#include "mainwindow/colour_panel.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/iconmain.h"
#include "platform/program_paths.h"

#include <QFileInfo>
#include <QImage>
#include <algorithm>

int PatternNumberAt(int x, int y)
{
    if (x < 0 || y < 0 || x / 12 >= 8)
        return 0;
    return x / 12 + 8 * (y / 12) + 1;
}

int PaletteStepTop(int top, int step, int lowest, bool down)
{
    return down ? std::max(top - step, lowest) : std::min(top + step, 0);
}

int TabStripStepTop(int top, bool down)
{
    int next = down ? top - 47 : top + 47;
    if (down && next <= -304)
        next = -288;
    return std::clamp(next, -288, 0);
}

namespace {

struct TPaletteScroll {
    const char* Name;
    int Step;
    int Lowest;
};

constexpr TPaletteScroll kPalettes[] = {
    {"colorxp", 10, -304},
    {"color256", 12, -288},
    {"color16", 12, -36},
    {"color1", 12, -36},
};

const char* const kUpArrow[3] = {"move_ok", "move_up", "move_down"};
const char* const kDownArrow[3] = {"down_ok", "down_up", "down_down"};

} // namespace

// ---------------------------------------------------------------------------------------------
// Picks

void Ticonmain::PickPaletteColor(const QString& palette, int x, int y)
{
    // With the button held the pointer may leave the picture; there is no colour out there.
    const QImage picture = Picture(palette);
    if (!picture.valid(x, y))
        return;
    const QRgb c = picture.pixel(x, y);
    SetEditText(QStringLiteral("colorr"), QString::number(qRed(c)));
    SetEditText(QStringLiteral("colorg"), QString::number(qGreen(c)));
    SetEditText(QStringLiteral("colorb"), QString::number(qBlue(c)));
    SetEditText(QStringLiteral("colora"), QStringLiteral("255"));
}

void Ticonmain::PickPattern(const QString& palette, const QString& folder, int x, int y)
{
    const QImage picture = Picture(palette);
    const int n = PatternNumberAt(x, y);
    if (n == 0 || !picture.valid(x, y))
        return;
    const QString path = folder + QString::number(n) + QStringLiteral(".bmp");
    // A cell without a readable pattern file keeps the pattern chosen before.
    QImage pattern;
    try {
        const QString file = ProgramPath(path);
        if (QFileInfo(file).isFile()) {
            TBitmap bitmap;
            bitmap.LoadFromFile(file);
            pattern = BitmapToQImage(bitmap);
        }
    } catch (const Exception&) {
        pattern = QImage();
    }
    if (pattern.isNull() || pattern.width() < 1 || pattern.height() < 1)
        return;
    PatternFile = path;
    PaintSwatch(qobject_cast<TImage32*>(FindComponent(QStringLiteral("up"))), pattern, 0);
    RunDocumentCommand(*this, QStringLiteral("BitBtn14"));
}

void Ticonmain::colorxpMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    PaletteDragging = true;
    SetEditText(QStringLiteral("colora"), QStringLiteral("255"));
}

void Ticonmain::color256MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    colorxpMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::color16MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    colorxpMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::color1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    colorxpMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::colorxpMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (PaletteDragging)
        PickPaletteColor(QStringLiteral("colorxp"), X, Y);
}

void Ticonmain::colorxpMouseUp(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    PickPaletteColor(QStringLiteral("colorxp"), X, Y);
    PaletteDragging = false;
}

void Ticonmain::color256MouseMove(TObject*, TShiftState, int X, int Y)
{
    if (TControl* palette = qobject_cast<TControl*>(FindComponent(QStringLiteral("color256"))))
        palette->SetCursor(10);
    if (!PaletteDragging || X < 0 || Y < 0)
        return;
    // While dragging, the centre of the cell, so that the cell's border never gives a colour.
    PickPaletteColor(QStringLiteral("color256"), X / 12 * 12 + 6, Y / 12 * 12 + 6);
}

void Ticonmain::color256MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    PickPaletteColor(QStringLiteral("color256"), X, Y);
    PaletteDragging = false;
}

void Ticonmain::color16MouseMove(TObject*, TShiftState, int X, int Y)
{
    if (TControl* palette = qobject_cast<TControl*>(FindComponent(QStringLiteral("color16"))))
        palette->SetCursor(10);
    if (PaletteDragging)
        PickPattern(QStringLiteral("color16"), QStringLiteral("image\\16color\\"), X, Y);
}

void Ticonmain::color16MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (PaletteDragging)
        PickPattern(QStringLiteral("color16"), QStringLiteral("image\\16color\\"), X, Y);
    PaletteDragging = false;
}

void Ticonmain::color1MouseMove(TObject*, TShiftState, int X, int Y)
{
    if (TControl* palette = qobject_cast<TControl*>(FindComponent(QStringLiteral("color1"))))
        palette->SetCursor(10);
    if (PaletteDragging)
        PickPattern(QStringLiteral("color1"), QStringLiteral("image\\1color\\"), X, Y);
}

void Ticonmain::color1MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (PaletteDragging)
        PickPattern(QStringLiteral("color1"), QStringLiteral("image\\1color\\"), X, Y);
    PaletteDragging = false;
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void Ticonmain::ShowArrowImages(const char* const names[3], int shown)
{
    for (int i = 0; i < 3; ++i)
        SetControlVisible(QLatin1String(names[i]), i == shown);
}

// One step of the palette shown; true while it can go further that way.
static bool StepShownPalette(Ticonmain& main, bool down)
{
    bool more = false;
    for (const TPaletteScroll& p : kPalettes) {
        auto* palette = qobject_cast<TControl*>(main.FindComponent(QLatin1String(p.Name)));
        if (!palette || !palette->Visible())
            continue;
        const int top = PaletteStepTop(palette->Top(), p.Step, p.Lowest, down);
        palette->SetTop(top);
        more = more || PaletteStepTop(top, p.Step, p.Lowest, down) != top;
    }
    return more;
}

void Ticonmain::ScrollPalettes()
{
    auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer4")));
    const bool more = StepShownPalette(*this, PaletteScrollDown);
    // At an end the timer has nothing left to do and stops, the arrow back to its normal look.
    if (!more) {
        if (timer)
            timer->SetEnabled(false);
        ShowArrowImages(PaletteScrollDown ? kDownArrow : kUpArrow, 0);
    }
}

void Ticonmain::move_okMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    PaletteScrollDown = false;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer4"))))
        timer->SetEnabled(true);
    ShowArrowImages(kUpArrow, 2);
    ScrollPalettes();
}

void Ticonmain::down_okMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    PaletteScrollDown = true;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer4"))))
        timer->SetEnabled(true);
    ShowArrowImages(kDownArrow, 2);
    ScrollPalettes();
}

void Ticonmain::move_okMouseMove(TObject*, TShiftState, int, int)
{
    PaletteScrollDown = false;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer4"))))
        timer->SetEnabled(false);
    ShowArrowImages(kUpArrow, 1);
}

void Ticonmain::down_okMouseMove(TObject*, TShiftState, int, int)
{
    PaletteScrollDown = true;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer4"))))
        timer->SetEnabled(false);
    ShowArrowImages(kDownArrow, 1);
}

void Ticonmain::Timer4Timer(TObject*)
{
    ShowArrowImages(PaletteScrollDown ? kDownArrow : kUpArrow, 2);
    ScrollPalettes();
}
