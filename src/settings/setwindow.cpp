#include "settings/setwindow.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/commands.h"
#include "framework/graphics.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/configuration_file.h"
#include "settings/settings_classes.h"
#include "skin/controls/color_box.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/message_dialog.h"
#include "skin/controls/page_control.h"

#include <QPainter>

Tsetwindow* setwindow = nullptr;

namespace {

int CellOfStyle(const QString& style)
{
    struct TStyle {
        const char* Name;
        int Cell;
    };
    static const TStyle styles[] = {{"smaller", 4}, {"small", 5}, {"midle", 7}, {"big", 9}};
    for (const TStyle& s : styles)
        if (style == QLatin1String(s.Name))
            return s.Cell;
    return 0;
}

QImage Checkerboard(int cell, int cells, uint32_t color1, uint32_t color2)
{
    QImage tile(cell * cells, cell * cells, QImage::Format_ARGB32);
    for (int y = 0; y < tile.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x)
            row[x] = ((x / cell + y / cell) % 2 == 0) ? color1 : color2;
    }
    return tile;
}

// The colour boxes hold the class library's colour values (0x00BBGGRR or a system colour).
uint32_t ArgbOfColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TColor ColorOfArgb(uint32_t argb)
{
    return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16);
}

} // namespace

QImage MakeBackdropTile(const QString& style, uint32_t color1, uint32_t color2)
{
    const int cell = CellOfStyle(style);
    return cell ? Checkerboard(cell, 2, color1, color2) : QImage();
}

QImage DefaultBackdropTile()
{
    return Checkerboard(4, 6, 0xFFEBEBEB, 0xFFFFFFFF);
}

void PushEditingOptionsToDocuments(const QImage& tile)
{
    SetEditingOptionsTile(tile);
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main)
        return;
    for (int i = 0; i < main->MDIChildCount(); ++i) {
        TForm* child = main->MDIChildren(i);
        auto* button = child ? qobject_cast<TControl*>(child->FindComponent(QStringLiteral("Button9"))) : nullptr;
        if (button && button->Enabled())
            ClickComponent(button);
    }
}

Tsetwindow::Tsetwindow(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    setwindow = this;
    // The documents always find a backdrop here.
    BackgroundTile = DefaultBackdropTile();
    LoadDefinition(QStringLiteral(":/settings/setwindow.wdf"));
}

Tsetwindow::~Tsetwindow()
{
    if (setwindow == this)
        setwindow = nullptr;
}

TsuiColorBox* Tsetwindow::Box(int n) const
{
    return qobject_cast<TsuiColorBox*>(FindComponent(QStringLiteral("suiColorBox%1").arg(n)));
}

uint32_t Tsetwindow::BoxColor(int n) const
{
    TsuiColorBox* box = Box(n);
    return box ? ArgbOfColor(box->Selected()) : 0xFF000000u;
}

void Tsetwindow::SetBoxColor(int n, uint32_t argb)
{
    if (TsuiColorBox* box = Box(n))
        box->SetSelected(ColorOfArgb(argb));
}

QString Tsetwindow::StyleText() const
{
    auto* box = qobject_cast<TControl*>(FindComponent(QStringLiteral("suiComboBox1")));
    return box ? box->Text().trimmed() : QString();
}

QImage Tsetwindow::PreviewImage() const
{
    return preview_;
}

void Tsetwindow::FormCreate(TObject*)
{
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    // The dialog opens at its first page, "Background Color".
    auto* pages = qobject_cast<TsuiPageControl*>(FindComponent(QStringLiteral("suiPageControl1")));
    auto* first = qobject_cast<TsuiTabSheet*>(FindComponent(QStringLiteral("suiTabSheet1")));
    if (pages && first)
        pages->SetActivePage(first);
    // The first colour starts as the system's scroll-bar grey, the second green.
    SetBoxColor(1, ArgbOfColor(0xFF000000u));
    SetBoxColor(2, 0xFF008000u);
    TakeMainWindowSkin(*this);
    DrawPreview();
}

void Tsetwindow::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
    // OK on either page stores the colours of both: the page not opened must hold the colours in
    // use, not what its boxes were made with.
    LoadGridAndSelectionColors();
}

void Tsetwindow::FormPaint(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tsetwindow::DrawPreview()
{
    auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image2")));
    if (!image)
        return;
    const QImage tile = MakeBackdropTile(StyleText(), BoxColor(1), BoxColor(2));
    if (tile.isNull())
        return;
    if (preview_.size() != QSize(120, 87)) {
        preview_ = QImage(120, 87, QImage::Format_ARGB32);
        preview_.fill(0xFFFFFFFF);
    }
    {
        QPainter p(&preview_);
        p.fillRect(QRect(QPoint(6, 7), QPoint(112, 80)), QBrush(tile));
    }
    TBitmap bitmap;
    QImageToBitmap(preview_, bitmap);
    image->Picture()->Assign(&bitmap);
    image->Invalidate();
}

void Tsetwindow::suiComboBox1Change(TObject*)
{
    DrawPreview();
}

void Tsetwindow::suiColorBox1Change(TObject*)
{
    DrawPreview();
}

void Tsetwindow::suiColorBox2Change(TObject*)
{
    DrawPreview();
}

void Tsetwindow::suiTabSheet2Show(TObject*)
{
    LoadGridAndSelectionColors();
}

void Tsetwindow::LoadGridAndSelectionColors()
{
    TEditorState* state = EditorState();
    if (!state)
        return;
    SetBoxColor(5, state->SelectionColor);
    SetBoxColor(3, state->GridColor2);
    SetBoxColor(4, state->GridColor1);
}

void Tsetwindow::TakeGridAndSelectionColors()
{
    if (TEditorState* state = EditorState()) {
        state->SelectionColor = BoxColor(5);
        state->GridColor2 = BoxColor(3);
        state->GridColor1 = BoxColor(4);
    }
}

void Tsetwindow::suiButton1Click(TObject*)
{
    auto* box = qobject_cast<TsuiMessageDialog*>(FindComponent(QStringLiteral("suiMessageDialog1")));
    if (box) {
        box->SetIconType(suiWarning);
        box->SetText(QStringLiteral("Save changes to the Brelnova Studio parameter ?"));
        if (box->ShowModal() != 1) {
            Close();
            return;
        }
    }
    // A style typed by hand that names none of the four gives the default backdrop, and says so.
    BackgroundTile = MakeBackdropTile(StyleText(), BoxColor(1), BoxColor(2));
    if (BackgroundTile.isNull()) {
        BackgroundTile = DefaultBackdropTile();
        if (box) {
            box->SetIconType(suiInformation);
            box->SetText(QStringLiteral("\"%1\" is not a backdrop style (big, midle, small or smaller): the documents "
                                        "take the default backdrop.")
                             .arg(StyleText()));
            box->ShowModal();
        }
    }
    TakeGridAndSelectionColors();
    PushEditingOptionsToDocuments(BackgroundTile);
    Close();
}

void Tsetwindow::suiButton10Click(TObject*)
{
    WriteConfiguration(QStringLiteral("default"), QStringLiteral("movecolor1"), EditColorToText(BoxColor(4)));
    WriteConfiguration(QStringLiteral("default"), QStringLiteral("movecolor2"), EditColorToText(BoxColor(3)));
    WriteConfiguration(QStringLiteral("default"), QStringLiteral("movecolor3"), EditColorToText(BoxColor(5)));
    TakeGridAndSelectionColors();
    BackgroundTile = DefaultBackdropTile();
    PushEditingOptionsToDocuments(BackgroundTile);
    Close();
}

void Tsetwindow::suiButton3Click(TObject*)
{
    if (TEditorState* state = EditorState()) {
        state->GridColor1 = 0xFF8E8C8C;
        state->GridColor2 = 0xFFC0C0C0;
        state->SelectionColor = 0xFF000000;
    }
    BackgroundTile = DefaultBackdropTile();
    PushEditingOptionsToDocuments(BackgroundTile);
    Close();
}

void Tsetwindow::suiButton2Click(TObject*)
{
    Close();
}

void ShowEditingOptions()
{
    if (!setwindow)
        new Tsetwindow(nullptr);
    setwindow->Show();
}
