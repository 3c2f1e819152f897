#include "document/iconset.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "document/selection.h"
#include "document/text_render.h"
#include "framework/beep.h"
#include "framework/bitmap.h"
#include "framework/combo_box.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/string_list.h"
#include "framework/sysutils.h"
#include "framework/timer.h"
#include "imaging/bitmap/bitmap32.h"
#include "imaging/bitmap/image32.h"
#include "platform/font_families.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "skin/controls/check_box.h"
#include "skin/controls/color_box.h"

#include <QImage>
#include <cerrno>
#include <cstring>

Ticonset* iconset = nullptr;

namespace {

bool Checked(const TForm& form, const char* name)
{
    QObject* box = form.FindComponent(QLatin1String(name));
    return box && box->property("Checked").toBool();
}

ARGB ColourWithAlpha(const TForm& form, const char* box, int alpha)
{
    auto* colours = qobject_cast<TsuiCustomColorBox*>(form.FindComponent(QLatin1String(box)));
    const TColor c = ColorToRGB(colours ? colours->Selected() : clBlack);
    return ARGB(alpha & 0xFF) << 24 | ARGB(GetRValue(c)) << 16 | ARGB(GetGValue(c)) << 8 | GetBValue(c);
}

void ShowPicture(TImage* image, const QImage& picture)
{
    if (!image)
        return;
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    image->Picture()->Assign(&bitmap);
}

// A small sample of a fill: dark at the first colour's end, light at the second's.
QImage FillSample(int mode)
{
    QImage sample(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x) {
            double t = 0;
            if (mode == 1)
                t = x / 23.0;
            else if (mode == 2)
                t = y / 15.0;
            else if (mode == 3)
                t = (x / 23.0 + y / 15.0) / 2;
            else
                t = 1 - std::min(1.0, std::hypot((x - 11.5) / 12, (y - 7.5) / 8));
            const int v = int(40 + 200 * t);
            sample.setPixel(x, y, qRgb(v, v, 255));
        }
    return sample;
}

// The picker's background: the centred fill over its 47 x 46 pixels.
QImage PickerBackground()
{
    QImage picture(47, 46, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int v = int(60 + 180 * std::max(0.0, 1 - std::hypot(x - 23.0, y - 23.0) / 33));
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    return picture;
}

} // namespace

Ticonset::Ticonset(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    // The picture source is this window's, whoever asks for it.
    SetTextImageSource([] { return iconset ? static_cast<GpImage*>(iconset->TextImage) : nullptr; });
    LoadDefinition(QStringLiteral(":/document/iconset.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, true);
    ready_ = true;
}

Ticonset::~Ticonset()
{
    GdipDisposeImage(TextImage);
    TextImage = nullptr;
    if (iconset == this)
        iconset = nullptr;
}

Ticonset& IconSet()
{
    if (!iconset)
        iconset = new Ticonset(nullptr);
    return *iconset;
}

QString Ticonset::ComponentText(const char* name) const
{
    QObject* c = FindComponent(QLatin1String(name));
    return c ? c->property("Text").toString() : QString();
}

void Ticonset::FormCreate(TObject*)
{
    TakeMainWindowSkin(*this);
    FontStyle = 0;
    FillMode = 1;
    GradientCenterX = GradientCenterY = 200;
    QStringList sizes;
    for (int n = 1; n <= 39; ++n)
        sizes << QString::number(n);
    sizes << QString();
    QStringList opacities;
    for (int n = 255; n >= 0; --n)
        opacities << QString::number(n);
    auto fill = [&](const char* name, const QStringList& items, const QString& text) {
        if (auto* combo = qobject_cast<TCustomComboBox*>(FindComponent(QLatin1String(name)))) {
            combo->Items()->Clear();
            for (const QString& item : items)
                combo->Items()->Add(item);
            combo->SetText(text);
        }
    };
    // The text starts black and fades into blue, so each fill shows at once.
    if (auto* box = qobject_cast<TsuiCustomColorBox*>(FindComponent(QStringLiteral("suiColorBox1"))))
        box->SetSelected(clBlack);
    if (auto* box = qobject_cast<TsuiCustomColorBox*>(FindComponent(QStringLiteral("suiColorBox2"))))
        box->SetSelected(clBlue);
    fill("fontsize", sizes, QStringLiteral("32"));
    fill("ap1", opacities, QStringLiteral("255"));
    fill("ap2", opacities, QStringLiteral("255"));
    for (int mode = 1; mode <= 4; ++mode)
        ShowPicture(qobject_cast<TImage*>(FindComponent(QStringLiteral("Sample%1").arg(mode))), FillSample(mode));
    ShowPicture(qobject_cast<TImage*>(FindComponent(QStringLiteral("Sample5"))), FillSample(4));
    DrawPicker(28, 28);
}

void Ticonset::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Ticonset::FormClose(TObject*, TCloseAction&)
{
    if (TEditorState* s = EditorState())
        s->ShortcutsSuspended = 0;
}

void Ticonset::suiTabControl1MouseMove(TObject*, TShiftState, int, int)
{
    // Typing here must not choose the main window's tools.
    if (TEditorState* s = EditorState())
        s->ShortcutsSuspended = 1;
}

void Ticonset::DrawPicker(int x, int y)
{
    QImage picture = PickerBackground();
    for (int dy = 0; dy < 6; ++dy)
        for (int dx = 0; dx < 6; ++dx) {
            const int px = x - 3 + dx, py = y - 3 + dy;
            if (picture.rect().contains(px, py))
                picture.setPixel(px, py, (dx == 0 || dy == 0 || dx == 5 || dy == 5) ? qRgb(0, 0, 0) : qRgb(255, 0, 0));
        }
    ShowPicture(qobject_cast<TImage*>(FindComponent(QStringLiteral("okcan"))), picture);
}

void Ticonset::PreparePreview()
{
    auto* preview = qobject_cast<TImage32*>(FindComponent(QStringLiteral("up")));
    if (!preview)
        return;
    preview->BeginUpdate();
    preview->Bitmap()->SetSize(preview->Width(), preview->Height());
    FillWithTile(*preview->Bitmap(), Rect(1, 1, preview->Width() - 1, preview->Height() - 1));
    preview->EndUpdate();
    if (auto* tab = qobject_cast<TControl*>(FindComponent(QStringLiteral("suiTabControl2"))))
        preview->SetLeft((tab->Width() - preview->Width()) / 2);
    preview->Changed();
}

void Ticonset::Timer1Timer(TObject*)
{
    if (auto* combo = qobject_cast<TCustomComboBox*>(FindComponent(QStringLiteral("suiComboBox1")))) {
        const QString text = combo->Text();
        combo->Items()->Clear();
        for (const QString& family : InstalledFontFamilies())
            combo->Items()->Add(family);
        combo->SetText(text);
    }
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer1"))))
        timer->SetEnabled(false);
    PreparePreview();
    Edit1Change(this);
}

void Ticonset::Edit1Change(TObject*)
{
    // The window definition sets texts while it loads; the first render waits for the timer.
    if (!ready_)
        return;
    TTextRenderChoice c;
    c.Text = ComponentText("Edit1");
    c.FontName = ComponentText("suiComboBox1");
    // The numbers are read first: a text that is no number keeps the previous picture.
    c.FontSize = StrToInt(ComponentText("fontsize"));
    // A glyph of thousands of pixels only takes time to draw into a picture 61 rows high.
    if (c.FontSize < 1 || c.FontSize > 999)
        throw Exception(QStringLiteral("The font size must be from 1 to 999"));
    const int alpha1 = StrToInt(ComponentText("ap1"));
    const int alpha2 = StrToInt(ComponentText("ap2"));
    if (Checked(*this, "suiCheckBox1") && Checked(*this, "suiCheckBox2"))
        FontStyle = 3;
    c.FontStyle = FontStyle;
    c.FillMode = FillMode;
    c.Color1 = ColourWithAlpha(*this, "suiColorBox1", alpha1);
    c.Color2 = ColourWithAlpha(*this, "suiColorBox2", alpha2);
    c.CenterX = GradientCenterX;
    c.CenterY = GradientCenterY;
    // Shapes are smoothed for the format the picture will land on.
    Tnewiconview* doc = ActiveDocument();
    c.Smooth = !doc || doc->FormatTable.Kind(doc->CurrentFormat()) == QLatin1String("XP");

    TRect box;
    GpBitmap* picture = RenderTextPicture(c, box);

    if (auto* preview = qobject_cast<TImage32*>(FindComponent(QStringLiteral("up")))) {
        preview->BeginUpdate();
        TBitmap32* b = preview->Bitmap();
        if (b->Width() != preview->Width() || b->Height() != preview->Height())
            b->SetSize(preview->Width(), preview->Height());
        FillWithTile(*b, Rect(1, 1, b->Width() - 1, b->Height() - 1));
        if (picture) {
            const QImage& from = *GdipImageData(picture);
            for (int y = 0; y < from.height(); ++y)
                for (int x = 0; x < from.width(); ++x)
                    b->BlendPixelSafe(x, y, from.pixel(x, y));
        }
        preview->EndUpdate();
        preview->Changed();
    }

    GdipDisposeImage(TextImage);
    TextImage = CropTextPicture(picture, box);
    GdipDisposeImage(picture);
}

void Ticonset::SetFillMode(int mode, bool render)
{
    FillMode = mode;
    if (render)
        Edit1Change(this);
}

void Ticonset::suiRadioButton4Click(TObject*) { SetFillMode(1, true); }
void Ticonset::suiRadioButton5Click(TObject*) { SetFillMode(2, true); }
void Ticonset::suiRadioButton6Click(TObject*) { SetFillMode(3, true); }
void Ticonset::suiRadioButton7Click(TObject*) { SetFillMode(4, true); }
void Ticonset::suiRadioButton1Click(TObject*) { SetFillMode(4, false); }

void Ticonset::suiCheckBox1Click(TObject*)
{
    const bool bold = Checked(*this, "suiCheckBox1"), italic = Checked(*this, "suiCheckBox2");
    FontStyle = bold && italic ? 3 : italic ? 2 : bold ? 1 : 0;
    Edit1Change(this);
}

void Ticonset::suiCheckBox2Click(TObject* Sender)
{
    suiCheckBox1Click(Sender);
}

void Ticonset::okcanMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    if (Checked(*this, "suiRadioButton1"))
        PickingCenter = true;
}

void Ticonset::okcanMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!PickingCenter)
        return;
    DrawPicker(X, Y);
    GradientCenterX = X;
    GradientCenterY = Y;
    Edit1Change(this);
}

void Ticonset::okcanMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    PickingCenter = false;
}

void Ticonset::suiButton1Click(TObject*)
{
    // Nothing drawn (an empty text, a font that draws no pixel): there is nothing to place.
    if (!TextImage) {
        MessageBeep(0);
        return;
    }
    ClickActiveDocument(QStringLiteral("BitBtn17"));
    Close();
}

void Ticonset::suiButton2Click(TObject*)
{
    GdipDisposeImage(TextImage);
    TextImage = nullptr;
    Close();
}

void Ticonset::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    if (!HtmlHelp(this, ProgramPath(QStringLiteral("dodozizozodazo.zed")) + QStringLiteral("::/2_1.htm#Text"), 1, 0))
        throw Exception(QString::fromLocal8Bit(std::strerror(errno)));
}
