#include "mainwindow/colour_panel.h"

#include "framework/application.h"
#include "framework/beep.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/ini_file.h"
#include "framework/palette.h"
#include "framework/sysutils.h"
#include "framework/timer.h"
#include "imaging/bitmap/image32.h"
#include "document/newiconview.h"
#include "framework/forms.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/entercolor.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/panel_art.h"

#include <QImage>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <cctype>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// Rules

bool IsPaletteKind(const QString& kind)
{
    return kind == QLatin1String("256") || kind == QLatin1String("16") || kind == QLatin1String("Mono");
}

QRgb ReduceToFormatPalette(const QString& kind, QRgb rgb, const std::vector<QRgb>* ownTable)
{
    // The tables the icon writer saves these kinds with; a one-bit format holds black and white.
    int bits = 0;
    if (kind == QLatin1String("256"))
        bits = 8;
    else if (kind == QLatin1String("16"))
        bits = 4;
    else if (kind == QLatin1String("Mono"))
        bits = 1;
    else
        return rgb & 0xFFFFFFu;
    const TPaletteEntries& table = ownTable && !ownTable->empty() ? *ownTable : FixedPaletteForBits(bits);
    return table[size_t(NearestColorIndex(table, rgb & 0xFFFFFFu))] & 0xFFFFFFu;
}

QString HtmlColorText(int red, int green, int blue)
{
    return IntToHex(red, 2) + IntToHex(green, 2) + IntToHex(blue, 2);
}

bool ParseHtmlColor(const QString& text, int& red, int& green, int& blue)
{
    const QString t = text.trimmed();
    if (t.size() != 6)
        return false;
    // All six characters at once, so that a fault in the last pair sets none of the three.
    for (QChar c : t)
        if (!isxdigit(c.toLatin1()))
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(t));
    const int v = StrToInt(QLatin1Char('$') + t);
    red = (v >> 16) & 0xFF;
    green = (v >> 8) & 0xFF;
    blue = v & 0xFF;
    return true;
}

void PaintSwatch(TImage32* swatch, const QImage& pattern, uint32_t argb)
{
    if (!swatch)
        return;
    TBitmap32* bitmap = swatch->Bitmap();
    swatch->BeginUpdate();
    bitmap->SetSize(26, 26);
    const QImage tile = pattern.isNull() ? QImage() : pattern.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x)
            *bitmap->PixelAddress(x, y) =
                tile.isNull() ? 0xFFFFFFFFu : (tile.pixel(x % tile.width(), y % tile.height()) | 0xFF000000u);
    bitmap->FillRectBlend(0, 0, 25, 25, argb);
    swatch->EndUpdate();
    swatch->Changed();
}

// ---------------------------------------------------------------------------------------------
// The panel on the main window

void PreparePanels(Ticonmain& main)
{
    InstallPanelPictures(main);
    // The box is read-only and acts as a button: its clicks belong to it, not to its text part.
    if (QObject* edit = main.FindComponent(QStringLiteral("coloredit")))
        for (QLineEdit* text : edit->findChildren<QLineEdit*>())
            text->setAttribute(Qt::WA_TransparentForMouseEvents);
}

namespace {

const char* const kChannels[4] = {"a", "r", "g", "b"};

int BarPosition(const Ticonmain* main, const QString& name)
{
    QObject* c = main->FindComponent(name);
    return c ? c->property("Position").toInt() : 0;
}

// A whole decimal number with an optional sign; digits beyond any range still count as whole.
bool WholeDecimal(const QString& text, qint64& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int i = (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) ? 1 : 0;
    if (i == t.size())
        return false;
    for (int k = i; k < t.size(); ++k)
        if (!t[k].isDigit() || t[k].unicode() > '9')
            return false;
    bool ok = false;
    value = t.toLongLong(&ok);
    if (!ok)
        value = t[0] == QLatin1Char('-') ? -1 : 256;
    return true;
}

// Digits and backspace pass; every key sounds, as the panel always has.
void FilterDigitKey(QChar& key)
{
    if (!(key.unicode() >= '0' && key.unicode() <= '9') && key != QChar(8))
        key = QChar();
    MessageBeep(1);
}

uint32_t Argb(int a, int r, int g, int b)
{
    return (uint32_t(a & 0xFF) << 24) | (uint32_t(r & 0xFF) << 16) | (uint32_t(g & 0xFF) << 8) | uint32_t(b & 0xFF);
}

} // namespace

// The colour table of the active document's current format, when that format is the one the
// panel's kind describes: a format opened from a file offers the colours it will be saved with.
static const TPaletteEntries* ActiveFormatTable(const Ticonmain& main)
{
    auto* doc = qobject_cast<Tnewiconview*>(FindForm(main.ActiveDocumentName));
    if (!doc || doc->FormatCount() < 1 || doc->FormatTable.Kind(doc->CurrentFormat()) != main.NewImageKind)
        return nullptr;
    return &doc->ActiveFormatPalette();
}

// Writes the four stored components of one colour to its section of the configuration file.
static void StoreColorInConfiguration(const Ticonmain& main, const QString& target)
{
    const QString section = target == QLatin1String("up") ? QStringLiteral("up_color") : QStringLiteral("down_color");
    try {
        TIniFile ini(ConfigurationFileName());
        for (const char* c : kChannels)
            ini.WriteString(section, QLatin1String(c), main.EditText(target + QLatin1String(c)));
    } catch (const Exception&) {
        // The colours live on in the panel; a configuration that cannot be written only loses
        // them at the next start, which is not worth a box on every move of a slider.
    }
}

void Ticonmain::ColorBarChanged(bool opacity)
{
    const QString target = SwatchTarget == QLatin1String("up") ? QStringLiteral("up") : QStringLiteral("down");
    if (ColorPanelLive) {
        if (opacity && IsPaletteKind(NewImageKind)) {
            const QRgb reduced = ReduceToFormatPalette(
                NewImageKind, qRgb(BarPosition(this, QStringLiteral("colorbarr")), BarPosition(this, QStringLiteral("colorbarg")),
                                   BarPosition(this, QStringLiteral("colorbarb"))),
                ActiveFormatTable(*this));
            SetTrackBarPosition(QStringLiteral("colorbara"), 255);
            SetTrackBarPosition(QStringLiteral("colorbarr"), qRed(reduced));
            SetTrackBarPosition(QStringLiteral("colorbarg"), qGreen(reduced));
            SetTrackBarPosition(QStringLiteral("colorbarb"), qBlue(reduced));
        }
        int v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = BarPosition(this, QStringLiteral("colorbar") + QLatin1String(kChannels[i]));
        for (int i = 0; i < 4; ++i)
            SetEditText(QStringLiteral("color") + QLatin1String(kChannels[i]), QString::number(v[i]));
        const QString code = HtmlColorText(v[1], v[2], v[3]);
        SetEditText(QStringLiteral("coloredit"), code);
        SetEditText(target + QStringLiteral("code"), code);
        for (int i = 0; i < 4; ++i)
            SetEditText(target + QLatin1String(kChannels[i]), QString::number(v[i]));
        PaintSwatch(qobject_cast<TImage32*>(FindComponent(target)), Picture(QStringLiteral("upok")),
                    Argb(v[0], v[1], v[2], v[3]));
        // Every live change, not only the opacity's, so that the last colour survives a restart.
        StoreColorInConfiguration(*this, target);
    }
    const char* const labels[4] = {"alabel", "rlabel", "glabel", "blabel"};
    const char* const prefixes[4] = {"A:", "R:", "G:", "B:"};
    for (int i = 0; i < 4; ++i)
        SetLabelText(QLatin1String(labels[i]),
                     QLatin1String(prefixes[i]) +
                         QString::number(BarPosition(this, QStringLiteral("colorbar") + QLatin1String(kChannels[i]))));
}

void Ticonmain::colorbaraChange(TObject*) { ColorBarChanged(true); }
void Ticonmain::colorbarrChange(TObject*) { ColorBarChanged(false); }
void Ticonmain::colorbargChange(TObject*) { ColorBarChanged(false); }
void Ticonmain::colorbarbChange(TObject*) { ColorBarChanged(false); }

void Ticonmain::ColorEditChanged(const char* channel)
{
    const QString edit = QStringLiteral("color") + QLatin1String(channel);
    const QString bar = QStringLiteral("colorbar") + QLatin1String(channel);
    const QString stored = (SwatchTarget == QLatin1String("up") ? QStringLiteral("up") : QStringLiteral("down")) +
                           QLatin1String(channel);
    qint64 value = 0;
    if (!WholeDecimal(EditText(edit), value)) {
        ShowMessage(QStringLiteral("please enter a positive integer."));
        SetEditText(edit, EditText(stored));
        return;
    }
    if (value >= 256) {
        ShowMessage(qstrcmp(channel, "a") == 0 ? QStringLiteral("please enter numbers < 256")
                                               : QStringLiteral("please input numbers < 256"));
        SetTrackBarPosition(bar, 255);
    } else {
        SetTrackBarPosition(bar, int(std::max<qint64>(value, -1)));
    }
    // A number the bar could not take is shown as the value the colour got.
    if (value < 0 || value >= 256)
        SetEditText(edit, QString::number(BarPosition(this, bar)));
}

void Ticonmain::coloraChange(TObject*) { ColorEditChanged("a"); }
void Ticonmain::colorrChange(TObject*) { ColorEditChanged("r"); }
void Ticonmain::colorgChange(TObject*) { ColorEditChanged("g"); }
void Ticonmain::colorbChange(TObject*) { ColorEditChanged("b"); }

void Ticonmain::coloraKeyPress(TObject*, QChar& Key) { FilterDigitKey(Key); }
void Ticonmain::colorrKeyPress(TObject*, QChar& Key) { FilterDigitKey(Key); }
void Ticonmain::colorgKeyPress(TObject*, QChar& Key) { FilterDigitKey(Key); }
void Ticonmain::colorbKeyPress(TObject*, QChar& Key) { FilterDigitKey(Key); }

void Ticonmain::SelectSwatch(const QString& target)
{
    // The four values arrive one by one; while they do, a bar's change must not store a mixture
    // of the old and the new colour.
    ColorPanelLive = false;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer1")))) {
        timer->SetEnabled(false);
        timer->SetEnabled(true);
    }
    SwatchTarget = target;
    SetEditText(QStringLiteral("coloredit"), EditText(target + QStringLiteral("code")));
    for (const char* c : kChannels) {
        const QString text = EditText(target + QLatin1String(c));
        SetEditText(QStringLiteral("color") + QLatin1String(c), text);
        SetTrackBarPosition(QStringLiteral("colorbar") + QLatin1String(c), StrToIntDef(text, 0));
    }
}

void Ticonmain::upClick(TObject*) { SelectSwatch(QStringLiteral("up")); }
void Ticonmain::downClick(TObject*) { SelectSwatch(QStringLiteral("down")); }

void Ticonmain::Timer1Timer(TObject*)
{
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer1"))))
        timer->SetEnabled(false);
    ColorPanelLive = true;
}

void Ticonmain::upDblClick(TObject*)
{
    auto* dialog = qobject_cast<TColorDialog*>(FindComponent(QStringLiteral("ColorDialog")));
    if (!dialog)
        return;
    const int r = BarPosition(this, QStringLiteral("colorbarr")), g = BarPosition(this, QStringLiteral("colorbarg")),
              b = BarPosition(this, QStringLiteral("colorbarb"));
    dialog->SetColor(TColor(r | (g << 8) | (b << 16)));
    if (!dialog->Execute())
        return;
    // A choice is a deliberate change: it ends the pause of the click that came with the
    // double-click, however quickly the dialog was answered.
    if (!ColorPanelLive)
        Timer1Timer(this);
    const TColor chosen = dialog->Color();
    QRgb c = qRgb(int(chosen & 0xFF), int((chosen >> 8) & 0xFF), int((chosen >> 16) & 0xFF));
    if (IsPaletteKind(NewImageKind))
        c = ReduceToFormatPalette(NewImageKind, c, ActiveFormatTable(*this));
    SetTrackBarPosition(QStringLiteral("colorbara"), 255);
    SetTrackBarPosition(QStringLiteral("colorbarr"), qRed(c));
    SetTrackBarPosition(QStringLiteral("colorbarg"), qGreen(c));
    SetTrackBarPosition(QStringLiteral("colorbarb"), qBlue(c));
}

void Ticonmain::downDblClick(TObject* Sender) { upDblClick(Sender); }

void Ticonmain::PaintSwatchFromStore(const QString& target)
{
    int v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = StrToIntDef(EditText(target + QLatin1String(kChannels[i])), 0);
    PaintSwatch(qobject_cast<TImage32*>(FindComponent(target)), Picture(QStringLiteral("upok")),
                Argb(v[0], v[1], v[2], v[3]));
}

void Ticonmain::Image43Click(TObject*)
{
    for (const char* c : {"a", "r", "g", "b", "code"}) {
        const QString up = QStringLiteral("up") + QLatin1String(c), down = QStringLiteral("down") + QLatin1String(c);
        const QString kept = EditText(up);
        SetEditText(up, EditText(down));
        SetEditText(down, kept);
    }
    PaintSwatchFromStore(QStringLiteral("up"));
    PaintSwatchFromStore(QStringLiteral("down"));
    StoreColorInConfiguration(*this, QStringLiteral("up"));
    StoreColorInConfiguration(*this, QStringLiteral("down"));
}

void Ticonmain::Image42Click(TObject*)
{
    for (const char* c : kChannels) {
        SetEditText(QStringLiteral("up") + QLatin1String(c), QStringLiteral("%1").arg(qstrcmp(c, "a") == 0 ? 255 : 0));
        SetEditText(QStringLiteral("down") + QLatin1String(c), QStringLiteral("255"));
    }
    SetEditText(QStringLiteral("upcode"), QStringLiteral("000000"));
    SetEditText(QStringLiteral("downcode"), QStringLiteral("FFFFFF"));
    // The edited colour's values are fixed here: its edits change under the bars' handlers.
    const bool up = SwatchTarget == QLatin1String("up");
    for (const char* c : kChannels)
        SetEditText(QStringLiteral("color") + QLatin1String(c),
                    QStringLiteral("%1").arg(up && qstrcmp(c, "a") != 0 ? 0 : 255));
    PaintSwatchFromStore(QStringLiteral("up"));
    PaintSwatchFromStore(QStringLiteral("down"));
    StoreColorInConfiguration(*this, QStringLiteral("up"));
    StoreColorInConfiguration(*this, QStringLiteral("down"));
}

void Ticonmain::coloreditClick(TObject*)
{
    auto* dialog = new Tentercolor(nullptr);
    dialog->ShowModal();
    dialog->Release();
}

void Ticonmain::opacityKeyPress(TObject*, QChar& Key)
{
    MasterOpacityFromTrackBar = false;
    FilterDigitKey(Key);
}

void Ticonmain::opacityChange(TObject*)
{
    if (MasterOpacityFromTrackBar)
        return;
    const QString text = EditText(QStringLiteral("opacity"));
    RunGuarded(
        [&] {
            const int64_t percent = StrToInt64(text);
            SetTrackBarPosition(QStringLiteral("layer_a"),
                                int(std::clamp<int64_t>(int64_t(std::floor(double(percent) * 2.55)), -1, 256)));
        },
        this);
}

void Ticonmain::PrimeColorPanel()
{
    // The document makes the changes of one drag of the master-opacity bar one undo step: it
    // reads whether the bar is held, and which drag it is, here.
    auto* opacityBar = qobject_cast<QWidget*>(FindComponent(QStringLiteral("layer_a")));
    if (auto* slider = opacityBar ? opacityBar->findChild<QSlider*>() : nullptr;
        slider && !slider->property("dragsCounted").toBool()) {
        slider->setProperty("dragsCounted", true);
        QObject::connect(slider, &QSlider::sliderPressed, this, [this] {
            OpacityBarHeld = true;
            ++OpacityBarDrags;
        });
        QObject::connect(slider, &QSlider::sliderReleased, this, [this] { OpacityBarHeld = false; });
    }

    // Each colour is read whole before any bar moves, and nothing is stored while the bars take
    // it: a bar's change would otherwise write the other components from bars not yet set.
    for (const char* target : {"down", "up"}) {
        const QString t = QLatin1String(target);
        int v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = std::clamp(StrToIntDef(EditText(t + QLatin1String(kChannels[i])), 0), 0, 255);
        SwatchTarget = t;
        ColorPanelLive = false;
        for (int i = 0; i < 4; ++i)
            SetTrackBarPosition(QStringLiteral("colorbar") + QLatin1String(kChannels[i]), v[i]);
        for (int i = 0; i < 4; ++i)
            SetEditText(QStringLiteral("color") + QLatin1String(kChannels[i]), QString::number(v[i]));
        ColorPanelLive = true;
        const QString code = HtmlColorText(v[1], v[2], v[3]);
        SetEditText(t + QStringLiteral("code"), code);
        SetEditText(QStringLiteral("coloredit"), code);
        PaintSwatch(qobject_cast<TImage32*>(FindComponent(t)), Picture(QStringLiteral("upok")),
                    Argb(v[0], v[1], v[2], v[3]));
    }
}
