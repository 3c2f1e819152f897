#include "document/replace_colors.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/bitmap.h"
#include "framework/common_dialogs.h"
#include "framework/graphics.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/sysutils.h"
#include "imaging/bitmap/bitmap32.h"

Treplace_colors* replace_colors = nullptr;

namespace {

void SetColour(int* colour, uint32_t argb)
{
    colour[0] = int(argb >> 24 & 0xFF);
    colour[1] = int(argb >> 16 & 0xFF);
    colour[2] = int(argb >> 8 & 0xFF);
    colour[3] = int(argb & 0xFF);
}

QString Hex(int v)
{
    return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

Treplace_colors::Treplace_colors(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/replace_colors.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    // An Apply made before the window existed keeps its undo file.
    TReplaceColorsFields& before = ReplaceColorsDialog();
    ApplyPhase = before.ApplyPhase;
    BackupOwner = before.BackupOwner;
    before.BackupOwner = TPictureTag();
    InstallReplaceColorsDialog(this);
}

Treplace_colors::~Treplace_colors()
{
    if (&ReplaceColorsDialog() == this)
        InstallReplaceColorsDialog(nullptr);
    if (replace_colors == this)
        replace_colors = nullptr;
}

Treplace_colors& ReplaceColors()
{
    if (!replace_colors)
        replace_colors = new Treplace_colors(nullptr);
    return *replace_colors;
}

void Treplace_colors::StartMode(int mode)
{
    TakeMainWindowSkin(*this);
    ReplaceMode = mode;
    Direction = 1;
    if (QObject* arrow = FindComponent(QStringLiteral("Label1")))
        arrow->setProperty("Caption", mode == 2 ? QStringLiteral("<- - - - - >") : QStringLiteral("- - - - - >"));
    BeginShowing();
    // The wells start from the drawing colours once per showing; a colour chosen in the dialog
    // stays until the next showing.
    SetColour(LeftColor, EditorColor(QStringLiteral("up")));
    SetColour(RightColor, EditorColor(QStringLiteral("down")));
    ShowColour(LeftColor, "Label2", "Image321", QStringLiteral("Color: "));
    ShowColour(RightColor, "Label3", "Image322", QStringLiteral("Color: "));
}

void Treplace_colors::ShowColour(int* colour, const char* label, const char* swatch, const QString& prefix)
{
    if (QObject* l = FindComponent(QLatin1String(label)))
        l->setProperty("Caption", prefix + Hex(colour[0]) + Hex(colour[1]) + Hex(colour[2]) +
                                      Hex(colour[3]));
    auto* image = qobject_cast<TImage*>(FindComponent(QLatin1String(swatch)));
    if (!image)
        return;
    TBitmap32 b;
    b.SetSize(image->Width(), image->Height());
    FillWithTile(b, Rect(0, 0, b.Width(), b.Height()));
    const uint32_t argb = uint32_t(colour[0] & 0xFF) << 24 | uint32_t(colour[1] & 0xFF) << 16 |
                          uint32_t(colour[2] & 0xFF) << 8 | uint32_t(colour[3] & 0xFF);
    b.FillRectBlend(0, 0, b.Width(), b.Height(), argb);
    QImage picture(b.Width(), b.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            picture.setPixel(x, y, *b.PixelAddress(x, y) | 0xFF000000);
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    image->Picture()->Assign(&bitmap);
}

void Treplace_colors::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Treplace_colors::PickColour(int* colour, const char* alphaEdit, const char* label, const char* swatch)
{
    auto* dialog = qobject_cast<TColorDialog*>(FindComponent(QStringLiteral("ColorDialog")));
    if (!dialog)
        return;
    dialog->SetColor(clRed);
    if (!dialog->Execute())
        return;
    const TColor c = ColorToRGB(dialog->Color());
    const int alpha = StrToInt(EditorState() ? EditorState()->EditText(QLatin1String(alphaEdit)) : QStringLiteral("255"));
    colour[0] = alpha & 0xFF;
    colour[1] = GetRValue(c);
    colour[2] = GetGValue(c);
    colour[3] = GetBValue(c);
    ShowColour(colour, label, swatch, QStringLiteral("Color:"));
}

void Treplace_colors::Image321Click(TObject*)
{
    PickColour(LeftColor, "upa", "Label2", "Image321");
}

void Treplace_colors::Image322Click(TObject*)
{
    PickColour(RightColor, "downa", "Label3", "Image322");
}

void Treplace_colors::suiButton1Click(TObject*)
{
    ApplyPhase = ApplyPhase == 0 ? 1 : 2;
    ApplyState = 1;
    Direction = Direction == 1 ? 2 : 1;
    ClickActiveDocument(QStringLiteral("bitbtn43"));
}

void Treplace_colors::suiButton2Click(TObject*)
{
    ApplyState = 2;
    ClickActiveDocument(QStringLiteral("bitbtn43"));
}

void Treplace_colors::suiButton3Click(TObject*)
{
    Close();
}
