// The tool palette on the main window's left panel: twelve drawing tools, two rows of pen widths,
// eight fill styles and four flip and rotate buttons. Every button is three pictures at one place
// ("tool_" + n, + "_click" selected, + "_up" hover), of which one is shown.

#include "document/newiconview.h"
#include "framework/bitmap.h"
#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/xyset.h"
#include "skin/file_theme.h"
#include "framework/timer.h"

#include <QApplication>
#include <QImageReader>

namespace {

// Palette picture sheet: one 25 x 21 cell per image number across, one row per state.
constexpr int kCellWidth = 25;
constexpr int kCellHeight = 21;

enum { stNormal, stSelected, stHover };

struct TToolRow {
    int Image;
    int Tool;         // the editor's tool number
    const char* Item; // the Tools-menu item
};

const TToolRow kTools[] = {
    {0, 1, "Selection1"},        {1, 12, "Pencil1"},         {2, 2, "Line1"},    {3, 4, "Brush1"},
    {4, 5, "Rectangle1"},        {5, 6, "FilledRectangle1"}, {6, 7, "Ellipse1"}, {7, 8, "FilledEllipse1"},
    {8, 9, "Text1"},             {9, 10, "ColorPicker1"},    {10, 11, "N3DFrame1"}, {11, 3, "PaintBucket1"},
};

constexpr int kColorPickerImage = 9;
constexpr int kTextImage = 8;
constexpr int kFilledRectangleImage = 5;
constexpr int kDiamondImage = 31;
constexpr int kSolidImage = 21;
constexpr int kRadialImage = 24;
constexpr int kImageGradientImage = 32;

int FillStyleOf(int n)
{
    switch (n) {
    case 21: return 1;
    case 22: return 2;
    case 23: return 3;
    case 24: return 4;
    case 29: return 5;
    case 30: return 6;
    case 31: return 7;
    default: return 8;
    }
}

std::vector<int> GroupImages(int group)
{
    switch (group) {
    case 1: return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    case 2: return {13, 14, 15, 16, 17, 18, 19, 20};
    case 3: return {21, 22, 23, 24, 29, 30, 31, 32};
    case 4: return {25, 26, 27, 28};
    default: return {};
    }
}

QString PictureName(int n, int state)
{
    static const char* const suffix[] = {"", "_click", "_up"};
    return QStringLiteral("tool_%1").arg(n) + QLatin1String(suffix[state]);
}

void AssignPicture(TImage* image, const QImage& picture)
{
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    image->Picture()->Assign(&bitmap);
}

} // namespace

int Ticonmain::PaletteGroup(int n) const
{
    if (n >= 0 && n <= 11)
        return 1;
    if (n >= 13 && n <= 20)
        return 2;
    if ((n >= 21 && n <= 24) || (n >= 29 && n <= 32))
        return 3;
    if (n >= 25 && n <= 28)
        return 4;
    return 0;
}

void Ticonmain::SetUpToolPalette()
{
    const QImage sheet(QStringLiteral(":/mainwindow/palette.png"));
    const QImage background(QStringLiteral(":/mainwindow/palettebg.png"));
    for (int n = 0; n <= 32; ++n) {
        const int group = PaletteGroup(n);
        if (group == 0)
            continue;
        for (int state = stNormal; state <= stHover; ++state) {
            auto* image = qobject_cast<TImage*>(FindComponent(PictureName(n, state)));
            if (!image)
                continue;
            AssignPicture(image, sheet.copy(n * kCellWidth, state * kCellHeight, kCellWidth, kCellHeight));
            image->OnMouseMove = [this, n, group](TObject*, TShiftState, int, int) { HoverToolImage(n, group); };
            if (group == 4)
                image->OnMouseDown = [this, n](TObject*, TMouseButton, TShiftState, int, int) {
                    ShowToolImageState(n, stSelected);
                };
            if (group == 2)
                image->OnDblClick = [this](TObject*) { ShowPencilSizeDialog(); };
            if (n == kRadialImage) {
                image->OnDblClick = [this](TObject*) { ShowRadialCenterDialog(); };
                // A right or middle press opens the dialog without choosing the fill style.
                image->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
                    if (!(QApplication::mouseButtons() & Qt::LeftButton))
                        ShowRadialCenterDialog();
                };
            }
        }
    }
    // The still picture that stands in for Diamond Gradient while another tool than Filled
    // Rectangle is chosen: the diamond, greyed (the sheet's unused cell 12).
    if (auto* still = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image4"))))
        AssignPicture(still, sheet.copy(12 * kCellWidth, 0, kCellWidth, kCellHeight));
    // Leaving the palette over its background or the status bar takes a hover picture away.
    if (TControl* statusBar = Control(QStringLiteral("Panel17")); statusBar && !statusBar->OnMouseMove)
        statusBar->OnMouseMove = [this](TObject*, TShiftState, int, int) { RedrawToolImages(); };
    int top = 0;
    for (const char* name : {"Image1", "Image45"}) {
        auto* image = qobject_cast<TImage*>(FindComponent(QLatin1String(name)));
        if (!image)
            continue;
        AssignPicture(image, background.copy(0, top, image->Width(), image->Height()));
        top += image->Height();
        image->OnMouseMove = [this](TObject*, TShiftState, int, int) { RedrawToolImages(); };
    }
    if (auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image36")))) {
        AssignPicture(image, sheet.copy(12 * kCellWidth, kCellHeight, 3, 3));
        image->OnClick = [this](TObject*) { ShowRadialCenterDialog(); };
    }
    if (auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image14")))) {
        AssignPicture(image, sheet.copy(12 * kCellWidth, kCellHeight, 3, 3));
        image->OnClick = [this](TObject* sender) { Image14Click(sender); };
    }
    RedrawToolImages();
}

void Ticonmain::ShowToolImageState(int n, int state)
{
    for (int s = stNormal; s <= stHover; ++s)
        SetControlVisible(PictureName(n, s), s == state);
}

void Ticonmain::SelectToolImage(int n, int group)
{
    if (PaletteGroup(n) != group)
        return;
    for (int i : GroupImages(group)) {
        PaletteSelected[size_t(i)] = false;
        if (i != kDiamondImage || CurrentTool == 6)
            ShowToolImageState(i, stNormal);
    }
    PaletteSelected[size_t(n)] = true;
    // Flip and rotate never stay pressed.
    ShowToolImageState(n, group == 4 ? stNormal : stSelected);
}

void Ticonmain::HoverToolImage(int n, int group)
{
    for (int i : GroupImages(4))
        ShowToolImageState(i, stNormal);
    if (group == 4) {
        ShowToolImageState(n, stHover);
        return;
    }
    if (group == 1 && PaletteSelected[size_t(n)]) {
        ShowToolImageState(n, stSelected);
        return;
    }
    for (int i : GroupImages(group))
        if (i != kDiamondImage || CurrentTool == 6)
            ShowToolImageState(i, PaletteSelected[size_t(i)] ? stSelected : stNormal);
    if (!PaletteSelected[size_t(n)])
        ShowToolImageState(n, stHover);
}

void Ticonmain::RedrawToolImages()
{
    for (int group = 1; group <= 3; ++group)
        for (int i : GroupImages(group))
            if (i != kDiamondImage || CurrentTool == 6)
                ShowToolImageState(i, PaletteSelected[size_t(i)] ? stSelected : stNormal);
}

void Ticonmain::CheckToolsMenuItem(int n)
{
    for (const TToolRow& row : kTools)
        SetMenuChecked(QLatin1String(row.Item), row.Image == n);
}

void Ticonmain::ToolImageClick(int n)
{
    switch (PaletteGroup(n)) {
    case 1:
        if (n == 0)
            ChooseSelectionTool();
        else
            ChooseDrawingTool(n);
        break;
    case 2:
        PenWidth = 1 + 2 * ((n - 13) % 4);
        LineCapStyle = n <= 16 ? 1 : 2;
        SelectToolImage(n, 2);
        break;
    case 3:
        if (n == kImageGradientImage) {
            ChooseImageGradient();
        } else {
            FillStyle = FillStyleOf(n);
            SelectToolImage(n, 3);
        }
        break;
    case 4: {
        static const char* const buttons[] = {"BitBtn10", "BitBtn11", "BitBtn12", "BitBtn13"};
        SelectToolImage(n, 4);
        RunDocumentCommand(*this, QLatin1String(buttons[n - 25]));
        break;
    }
    default:
        break;
    }
}

namespace {

// Diamond Gradient is offered only with Filled Rectangle; leaving that tool with the diamond
// chosen falls back to Solid.
void ShowDiamondFor(Ticonmain& main, bool filledRectangle)
{
    if (filledRectangle) {
        main.SetControlVisible(QStringLiteral("Image4"), false);
        main.SetControlVisible(QStringLiteral("tool_31"), !main.PaletteSelected[kDiamondImage]);
        main.SetControlVisible(QStringLiteral("tool_31_click"), main.PaletteSelected[kDiamondImage]);
        main.SetControlVisible(QStringLiteral("tool_31_up"), false);
        return;
    }
    for (const char* name : {"tool_31", "tool_31_click", "tool_31_up"})
        main.SetControlVisible(QLatin1String(name), false);
    main.SetControlVisible(QStringLiteral("Image4"), true);
    if (main.FillStyle == 7) {
        main.FillStyle = 1;
        main.SelectToolImage(kSolidImage, 3);
    }
}

void SetOverlayVisible(TForm* document, bool visible)
{
    if (auto* overlay = document ? qobject_cast<TControl*>(document->FindComponent(QStringLiteral("PaintBox1"))) : nullptr)
        overlay->SetVisible(visible);
}

} // namespace

void Ticonmain::ChooseDrawingTool(int n)
{
    CheckToolsMenuItem(n);
    // The tool decides whether the diamond shows, so it is stored first.
    // The colour picker hands back to the tool before it once a colour is picked.
    if (n != kColorPickerImage)
        ToolImageIndex = n;
    CurrentTool = kTools[n].Tool;
    ShowDiamondFor(*this, n == kFilledRectangleImage);
    SetOverlayVisible(ActiveDocumentWindow(*this), false);
    if (CanvasTouched == 1) {
        RestartDrawingSurface();
        CanvasTouched = 2;
    }
    SelectToolImage(n, 1);
    if (n == kTextImage)
        ShowTextOptions();
}

void Ticonmain::ChooseSelectionTool()
{
    CheckToolsMenuItem(0);
    CurrentTool = 1;
    ShowDiamondFor(*this, false);
    SelectionRect() = TRect();
    ToolImageIndex = 0;
    TForm* document = ActiveDocumentWindow(*this);
    if (!document)
        return;
    SetOverlayVisible(document, true);
    RunDocumentCommand(*this, QStringLiteral("BitBtn4"));
    RunDocumentCommand(*this, QStringLiteral("BitBtn1"));
    CanvasTouched = 2;
    SelectToolImage(0, 1);
}

void Ticonmain::RestartDrawingSurface()
{
    TForm* document = ActiveDocumentWindow(*this);
    if (!document || !document->FindComponent(QStringLiteral("BitBtn4")))
        return;
    RunDocumentCommand(*this, QStringLiteral("BitBtn4"));
    SetOverlayVisible(document, false);
    QObject* dropped = document->FindComponent(QStringLiteral("BitBtn5"));
    if (!dropped || dropped->property("Caption").toString() != QLatin1String("true"))
        RunDocumentCommand(*this, QStringLiteral("BitBtn1"));
}

void Ticonmain::ChooseImageGradient()
{
    auto* dialog = qobject_cast<TOpenDialog*>(FindComponent(QStringLiteral("OpenDialog2")));
    if (!dialog)
        return;
    const int previousStyle = FillStyle;
    const QString previousName = dialog->FileName();
    FillStyle = 8;
    if (dialog->Execute()) {
        // The drawing engines read the picture at every stroke; one they cannot read is refused
        // here, and the fill stays as it was.
        QImageReader reader(dialog->FileName());
        if (!reader.canRead()) {
            MessageBox(QStringLiteral("The picture \"%1\" cannot be read: %2")
                           .arg(dialog->FileName(), reader.errorString()),
                       QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONWARNING);
            dialog->SetFileName(previousName);
            FillStyle = previousStyle;
            return;
        }
        GradientImageFile = dialog->FileName();
    }
    // A cancelled dialog keeps the picture of an earlier choice, if there was one.
    if (!dialog->FileName().trimmed().isEmpty()) {
        SelectToolImage(kImageGradientImage, 3);
    } else {
        FillStyle = 1;
        SelectToolImage(kSolidImage, 3);
    }
}

void Ticonmain::ShowRadialCenterDialog()
{
    if (!xyset)
        xyset = new Txyset(nullptr);
    if (auto* theme = qobject_cast<TsuiFileTheme*>(xyset->FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(MainThemeFile());
    xyset->StartFromCentre();
    xyset->ShowModal();
    if (auto* timer = qobject_cast<TTimer*>(xyset->FindComponent(QStringLiteral("Timer1"))))
        timer->SetEnabled(true);
}
