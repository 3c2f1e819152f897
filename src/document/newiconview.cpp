#include "document/newiconview.h"

#include "document/canvas_mouse.h"
#include "document/command_dialog_fields.h"

#include "controls/controls_classes.h"
#include "controls/tov_language.h"
#include "document/editor_state.h"
#include "document/fontopen.h"
#include "document/my_list_box.h"
#include "document/picture_view.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/commands.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "framework/scroll_box.h"
#include "framework/qimage_bridge.h"
#include "framework/sysutils.h"
#include "framework/timer.h"
#include "imaging/bitmap/image32.h"
#include "imaging/bitmap/layers.h"
#include "platform/program_paths.h"
#include "skin/controls/skin_controls.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/skin_forms.h"
#include "skin/theme_manager.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace {

const QString kTemplateName = QStringLiteral("newiconview");

TEditorState* State()
{
    return RequiredEditorState();
}

QImage& OptionsTile()
{
    static QImage tile;
    return tile;
}

// A GDI+ image holding a copy of the picture, for drawing the format over it.
GpBitmap* BitmapFromImage(const QImage& image)
{
    return GdipImageFromQImage(image);
}

// The current format drawn with the thumbnail modes onto target at (0, 0), scaled to w x h.
void DrawThumbnail(GpBitmap* target, GpBitmap* format, bool smooth, int w, int h)
{
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(target, &g);
    GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
    if (smooth)
        GdipSetSmoothingMode(g, SmoothingModeHighQuality);
    GdipDrawImageRectI(g, format, 0, 0, w, h);
    GdipDeleteGraphics(g);
}

// A grid colour of the editing options (0xAARRGGBB, as every window keeps it), drawn opaque.
TColor32 GridColor(uint32_t value)
{
    return MakeColor32(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF), 255);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared pieces

TRect& SelectionRect()
{
    return FontOpen().SelectionRect;
}

void SetEditingOptionsTile(const QImage& tile)
{
    OptionsTile() = tile;
}

QImage EditingOptionsTile()
{
    return OptionsTile();
}

void RegisterDocumentClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(document);
    RegisterImagingBitmapClasses();
    RegisterSkinControlClasses();
    RegisterSkinFormClasses();
    RegisterControlsClasses();
    RegisterMyListBoxClass();
}

int InitialZoom(int width, int height)
{
    // These three sizes fill a 480 x 480 canvas.
    if (width == height && (width == 48 || width == 32 || width == 24))
        return width == 48 ? 10 : width == 32 ? 15 : 20;
    const int c = std::max(width, height);
    if (c >= 241)
        return 1;
    if (c >= 161)
        return 2;
    if (c >= 121)
        return 3;
    if (c >= 96)
        return 4;
    if (c >= 80)
        return 5;
    if (c >= 64)
        return 6;
    if (c >= 48)
        return 7;
    if (c >= 32)
        return 10;
    if (c >= 24)
        return 15;
    return 20;
}

TSize PreviewSize(int width, int height)
{
    if (width <= 80 && height <= 80)
        return {width, height};
    const int longer = std::max(width, height);
    const int shorter = std::min(width, height);
    // The shorter side loses as many pixels as the longer one; once that would leave nothing
    // (sides 80 or more apart) it is scaled by the same factor instead.
    int other = shorter - (longer - 80);
    if (other < 1)
        other = std::max(1, int((shorter * 80 + longer / 2) / longer));
    return width >= height ? TSize{80, other} : TSize{other, 80};
}

// ---------------------------------------------------------------------------------------------
// Creation

Tnewiconview::Tnewiconview(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/newiconview.wdf"));
}

Tnewiconview::~Tnewiconview()
{
    FreeGridLayer();
}

bool Tnewiconview::IsTemplate() const
{
    return objectName() == kTemplateName;
}

void Tnewiconview::TextChanged()
{
    TForm::TextChanged();
    if (suiForm1 && suiForm1->Caption() != Caption())
        suiForm1->SetCaption(Caption());
}

void Tnewiconview::BindComponents()
{
    suiForm1 = qobject_cast<TsuiForm*>(FindComponent(QStringLiteral("suiForm1")));
    iconview = qobject_cast<TImage32*>(FindComponent(QStringLiteral("iconview")));
    iconviewbg = qobject_cast<TImage32*>(FindComponent(QStringLiteral("iconviewbg")));
    ScrollBox2 = qobject_cast<TControl*>(FindComponent(QStringLiteral("ScrollBox2")));
    PaintBox1 = qobject_cast<TControl*>(FindComponent(QStringLiteral("PaintBox1")));
    MyListBox1 = qobject_cast<TControl*>(FindComponent(QStringLiteral("MyListBox1")));
    bgimage = qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage")));
    copybm = qobject_cast<TImage*>(FindComponent(QStringLiteral("copybm")));
    // A stroke changes few pixels of the canvas at a time: repaints redraw only those.
    if (iconview)
        iconview->SetPartialRepaint(true);
}

int Tnewiconview::DocumentNumber() const
{
    return IsTemplate() ? 1 : objectName().mid(8).toInt();
}

void Tnewiconview::SizeToMainWindow()
{
    TEditorState* s = State();
    const TRect panel3 = s->ControlBounds(QStringLiteral("Panel3"));
    const TRect panel4 = s->ControlBounds(QStringLiteral("Panel4"));
    const TRect panel17 = s->ControlBounds(QStringLiteral("Panel17"));
    const TRect band = s->ControlBounds(QStringLiteral("CoolBar1"));
    SetBounds(-4, IsTemplate() ? 5000 : -2, panel4.Left - panel3.Width() + 4, panel17.Top - band.Bottom);
}

void Tnewiconview::FormCreate(TObject*)
{
    BindComponents();
    TEditorState* s = State();
    ListClicked = true;

    // The template is the first document; every later one is a project, which takes over the
    // template's checkerboard so that a tile chosen in the editing options applies to it too.
    Tnewiconview* templ = nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        auto* other = qobject_cast<Tnewiconview*>(w);
        if (other && other != this && other->objectName() == kTemplateName)
            templ = other;
    }
    if (templ) {
        setObjectName(kTemplateName + QStringLiteral("_1"));
        if (templ->bgimage && bgimage)
            bgimage->Picture()->Assign(templ->bgimage->Picture());
        // The new document may take a closed one's name: backups of that one must not come back.
        DiscardCommandBackups();
    }

    if (auto* language = qobject_cast<TtovLanguage*>(FindComponent(QStringLiteral("brelnova"))))
        language->ApplyToForm(this);
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(ProgramPath(QStringLiteral("suk\\ziroz.sui")));
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(s->MainUIStyle()));

    FormatTable.SetCaptureState(1);
    FormatTable.SetPatternPath(0, QStringLiteral("image\\16color\\17.bmp"));
    FormatTable.SetPatternPath(1, QStringLiteral("image\\16color\\18.bmp"));
    AddingStandardFormat = false;
    FormatTable.SetCurrentFormat(1);
    FormatTable.SetFormatCount(1);
    SizeToMainWindow();
    InitFormats(s->NewImageWidth, s->NewImageHeight, s->NewImageKind);
    CreateGridLayer();
    ResetBackdrop(QStringLiteral("dorvelt"));
    ListClicked = false;
    if (auto* caption = qobject_cast<TControl*>(FindComponent(QStringLiteral("xp48text"))))
        caption->SetCaption(FormatTable.Width(1) + QStringLiteral(" * ") + FormatTable.Height(1) +
                            QStringLiteral(" - ") + FormatTable.Kind(1));
    FormatTable.SetUndoStateCount(1, 1);
    AttachCanvasMouse(this);
}

void Tnewiconview::InitFormats(int width, int height, const QString& kind)
{
    InitFormatTable(width, height, kind);
    TEditorState* s = State();
    if (kind == QLatin1String("XP")) {
        s->SetControlVisible(QStringLiteral("colorxp"), true);
        s->SetControlVisible(QStringLiteral("color1"), false);
    } else if (kind == QLatin1String("Mono")) {
        s->SetControlVisible(QStringLiteral("color1"), true);
        s->SetControlVisible(QStringLiteral("colorxp"), false);
    }

    Zoom = InitialZoom(width, height);
    const int cw = Zoom * width, ch = Zoom * height;
    PlaceCanvas((ScrollBox2->Width() - cw) / 2 - 1, (ScrollBox2->Height() - ch) / 2 - 1, cw, ch);
    bgimage->SetAutoSize(true);
    iconview->Bitmap()->SetSize(cw, ch);
    FillCheckerboard(iconview);
}

void Tnewiconview::FormShow(TObject*)
{
    TEditorState* s = State();
    if (s->CurrentTool != 1) {
        PaintBox1->Hide();
        s->SelectToolImage(s->ToolImageIndex, 1);
        s->RunMainCommand(QStringLiteral("tool_%1Click").arg(s->ToolImageIndex));
    }
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(s->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(s->MainUIStyle()));
}

// ---------------------------------------------------------------------------------------------
// Activation and closing

void Tnewiconview::suiForm1Click(TObject*)
{
    TEditorState* s = State();
    s->RedrawToolImages();
    s->SetLabelText(QStringLiteral("userfilename"), SavedFileName);
    s->CurrentFilePath = SavedFileName;
    s->ActiveDocumentName = objectName();
    s->ActiveDocumentNumber = DocumentNumber();
    const QPoint hotSpot = FormatHotSpot(CurrentFormat());
    s->HotSpotX = hotSpot.x();
    s->HotSpotY = hotSpot.y();
    s->ActivateDocument(s->ActiveDocumentNumber);
}

void Tnewiconview::suiForm1MouseUp(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    suiForm1Click(Sender);
}

void Tnewiconview::ActivateMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    suiForm1Click(Sender);
}

void Tnewiconview::ActivateMouseMove(TObject* Sender, TShiftState, int, int)
{
    suiForm1Click(Sender);
}

void Tnewiconview::FormCloseQuery(TObject*, bool& CanClose)
{
    TEditorState* s = State();
    if (s->ClosingForUpdate == 1 || IsTemplate())
        return;
    const QString text = QStringLiteral("Save changes to the Brelnova Studio \"") + Caption() +
                         QStringLiteral("\"before closing ?");
    const int answer = MessageDlg(text, mtWarning, mbYesNoCancel);
    QDir().rmdir(ScratchPath(QStringLiteral("newicon")));
    // The strip has tiles for documents 1 to 24 only; a later document has none to clear.
    const int n = objectName().mid(8, 2).trimmed().toInt();
    if (answer == mrNo) {
        s->ClearPreview();
        if (s->HasDocumentTile(n))
            s->ClearDocumentTile(n);
    } else if (answer == mrYes) {
        s->SaveNotDone = false;
        // Save works on the active document and its file: this one, which may not be the active
        // one when the program or another window closes it. The other stays active afterwards.
        const QString active = s->ActiveDocumentName;
        suiForm1Click(this);
        s->RunMainCommand(QStringLiteral("ToolButton3Click"));
        auto* before = qobject_cast<Tnewiconview*>(FindForm(active));
        if (before && before != this)
            before->suiForm1Click(before);
        // Cancelling the Save dialog keeps the document open rather than dropping its changes.
        if (s->SaveNotDone) {
            s->SaveNotDone = false;
            CanClose = false;
            return;
        }
        if (s->HasDocumentTile(n))
            s->ClearDocumentTile(n);
    } else {
        CanClose = false;
    }
}

void Tnewiconview::FormClose(TObject*, TCloseAction& Action)
{
    SetModalResult(mrNone);
    Action = caFree;
}

void Tnewiconview::FormDestroy(TObject*)
{
    // The undo files stay in the scratch folder until the main window empties it.
    FreeGridLayer();
}

void Tnewiconview::Timer2Timer(TObject* Sender)
{
    if (auto* timer = qobject_cast<TTimer*>(dynamic_cast<QObject*>(Sender)))
        timer->SetEnabled(false);
    ClickComponentByName(this, QStringLiteral("BitBtn37"));
}

// ---------------------------------------------------------------------------------------------
// Canvas drawing

void Tnewiconview::FillCheckerboard(TImage32* target)
{
    FillCheckerboard(target, target->Width(), target->Height());
}

void Tnewiconview::FillCheckerboard(TImage32* target, int width, int height)
{
    TBitmap32* bitmap = target->Bitmap();
    if (bitmap->IsEmpty())
        return;
    TGraphic* tile = bgimage->Picture()->Graphic();
    TBitmap pattern;
    if (tile && !tile->Empty()) {
        pattern.SetSize(tile->Width(), tile->Height());
        pattern.Canvas()->Draw(0, 0, tile);
    } else {
        pattern.SetSize(8, 8);
        pattern.Canvas()->Brush()->SetColor(clWhite);
        pattern.Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->Brush()->SetBitmap(&pattern);
    canvas->FillRect(Rect(0, 0, width, height));
    canvas->Brush()->SetBitmap(nullptr);
}

void Tnewiconview::DrawFormatOver(TImage32* target)
{
    GpGraphics* g = nullptr;
    GdipCreateFromHDC(target->Bitmap()->DC(), &g);
    GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    GdipDrawImageRectI(g, CurrentImage(), 0, 0, target->Width(), target->Height());
    GdipDeleteGraphics(g);
}

void Tnewiconview::RepaintFormatList()
{
    if (MyListBox1)
        MyListBox1->Repaint();
}

namespace {

// Both update brackets of a canvas, closed on every path.
class TCanvasUpdate {
public:
    explicit TCanvasUpdate(TImage32* image) : image_(image)
    {
        image_->BeginUpdate();
        image_->Bitmap()->BeginUpdate();
    }
    ~TCanvasUpdate()
    {
        image_->Bitmap()->EndUpdate();
        image_->EndUpdate();
    }
    TCanvasUpdate(const TCanvasUpdate&) = delete;
    TCanvasUpdate& operator=(const TCanvasUpdate&) = delete;

private:
    TImage32* image_;
};

void RepaintCanvas(TImage32* image)
{
    image->Repaint();
}

} // namespace

void Tnewiconview::SetCanvasSize(int width, int height)
{
    iconview->SetBounds(iconview->Left(), iconview->Top(), width, height);
    iconviewbg->SetBounds(iconviewbg->Left(), iconviewbg->Top(), width, height);
    PaintBox1->SetBoundsRect(iconview->BoundsRect());
    if (auto* box = qobject_cast<TScrollBox*>(ScrollBox2))
        box->UpdateScrollBars();
    NoteGridLines();
}

void Tnewiconview::NoteGridLines()
{
    // The canvas repaints only the pixels of its bitmap that changed; the grid's lines change
    // with the zoom and the format even where the pixels stay (two formats of one canvas size),
    // so a change of those tells the canvas to repaint whole.
    const std::array<int, 3> lines{Zoom, CurrentWidth, CurrentHeight};
    if (!GridLayer || lines == gridLines_)
        return;
    gridLines_ = lines;
    GridLayer->Changed();
}

void Tnewiconview::RememberViewCentre()
{
    // The image point in the middle of the view, as a share of the canvas: a zoom keeps it in the
    // middle, so that zooming a scrolled canvas stays on what the user was looking at.
    auto* box = qobject_cast<TScrollBox*>(ScrollBox2);
    if (!box || iconview->Width() < 1 || iconview->Height() < 1)
        return;
    anchorX_ = std::clamp((box->ClientWidth() / 2.0 - iconview->Left()) / iconview->Width(), 0.0, 1.0);
    anchorY_ = std::clamp((box->ClientHeight() / 2.0 - iconview->Top()) / iconview->Height(), 0.0, 1.0);
}

void Tnewiconview::PlaceCanvas(int left, int top, int width, int height)
{
    auto* box = qobject_cast<TScrollBox*>(ScrollBox2);
    if (!box) {
        iconview->SetBounds(left, top, width, height);
        PaintBox1->SetBoundsRect(iconview->BoundsRect());
        return;
    }
    const double fx = anchorX_, fy = anchorY_;
    anchorX_ = anchorY_ = 0.5;
    box->HorzScrollBar()->SetPosition(0);
    box->VertScrollBar()->SetPosition(0);
    // A canvas larger than the view starts at its edge: the scroll range reaches from there to
    // its far side, so no pixel lies where scrolling cannot go.
    iconview->SetBounds(std::max(0, left), std::max(0, top), width, height);
    PaintBox1->SetBoundsRect(iconview->BoundsRect());
    box->UpdateScrollBars();
    box->HorzScrollBar()->SetPosition(int(iconview->Left() + fx * width - box->ClientWidth() / 2.0));
    box->VertScrollBar()->SetPosition(int(iconview->Top() + fy * height - box->ClientHeight() / 2.0));
}

void Tnewiconview::CopyBackdropToCanvas()
{
    {
        TCanvasUpdate update(iconview);
        iconview->Bitmap()->SetSize(Zoom * CurrentWidth, Zoom * CurrentHeight);
        iconview->Bitmap()->DrawBitmap(0, 0, iconviewbg->Bitmap());
    }
    RepaintCanvas(iconview);
}

void Tnewiconview::ClearBackdrop()
{
    {
        TCanvasUpdate update(iconviewbg);
        FillCheckerboard(iconviewbg);
    }
    RepaintCanvas(iconviewbg);
    iconviewbg->SetTop(600);
    iconviewbg->Hide();
}

void Tnewiconview::ResetBackdrop(const QString& marker)
{
    {
        TCanvasUpdate update(iconviewbg);
        iconviewbg->Bitmap()->SetSize(iconviewbg->Width(), iconviewbg->Height());
        FillCheckerboard(iconviewbg);
    }
    if (marker != QLatin1String("ok")) {
        FormatTable.SetCurrentFormat(1);
        SetFormatImage(1, NewTransparentBitmap(CurrentWidth, CurrentHeight));
    }
}

void Tnewiconview::ResetCanvas(const QString& marker)
{
    {
        TCanvasUpdate update(iconview);
        iconview->Bitmap()->SetSize(iconview->Width(), iconview->Height());
        // The checkerboard covers the backdrop's area.
        FillCheckerboard(iconview, iconviewbg->Width(), iconviewbg->Height());
    }
    if (marker != QLatin1String("ok")) {
        FormatTable.SetCurrentFormat(1);
        SetFormatImage(1, NewTransparentBitmap(CurrentWidth, CurrentHeight));
    }
}

void Tnewiconview::RebuildView(const QString&)
{
    OpacityBaseStale = true;
    iconviewbg->SetBounds(iconviewbg->Left(), iconviewbg->Top(), iconview->Width(), iconview->Height());
    {
        TCanvasUpdate update(iconviewbg);
        iconviewbg->Bitmap()->SetSize(iconviewbg->Width(), iconviewbg->Height());
        FillCheckerboard(iconviewbg);
        DrawFormatOver(iconviewbg);
    }
    RepaintCanvas(iconviewbg);
    SetCanvasSize(Zoom * CurrentWidth, Zoom * CurrentHeight);
    CopyBackdropToCanvas();
    PaintBox1->Hide();
    RepaintFormatList();
}

void Tnewiconview::FreeGridLayer()
{
    delete GridLayer;
    GridLayer = nullptr;
}

void Tnewiconview::CreateGridLayer(const QString&)
{
    auto* layer = iconview->Layers()->Add<TPositionedLayer>();
    layer->SetLocation(TFloatRect{0, 0, float(iconview->Width()), float(iconview->Height())});
    layer->SetScaled(true);
    layer->SetMouseEvents(true);
    // A repaint of part of the canvas draws the grid over that part alone.
    layer->PaintHandler = [this](TObject*, TBitmap32* buffer) {
        const TRect area = iconview->PaintArea();
        if (area == buffer->GetBounds())
            PaintGrid(buffer);
        else if (!PaintGrid(buffer, area))
            iconview->PaintWhole();
    };
    layer->SetUserValue(1);
    layer->SetIndex(2);
    GridLayer = layer;
    gridLines_ = {Zoom, CurrentWidth, CurrentHeight};
}

namespace {

void DrawGridLine(TBitmap32* buffer, const TGridLine& line)
{
    buffer->SetPenColor(line.Colour);
    buffer->MovePenTo(float(line.X1), float(line.Y1));
    buffer->SmoothLineTo(float(line.X2), float(line.Y2));
}

// The part of the line inside area (which lies within the buffer), drawn forwards. The pen mixes
// its colour into each pixel of a line from the start up to, not including, the end (a backward
// line: from the start down to, not including, the end), once and with the same weight, whatever
// part of the line it draws, as long as no edge of the buffer cuts the line.
void DrawGridLinePart(TBitmap32* buffer, const TGridLine& line, const TRect& area)
{
    int x1 = line.X1, y1 = line.Y1, x2 = line.X2, y2 = line.Y2;
    if (x2 < x1) {
        x1 = line.X2 + 1;
        x2 = line.X1 + 1;
    }
    if (y2 < y1) {
        y1 = line.Y2 + 1;
        y2 = line.Y1 + 1;
    }
    // The run from .. to along the line at across, cut to the area's range lo .. hi along it and
    // acrossLo .. acrossHi across it; false when nothing is left.
    const auto cut = [](int across, int acrossLo, int acrossHi, int& from, int& to, int lo, int hi) {
        from = std::max(from, lo);
        to = std::min(to, hi);
        return across >= acrossLo && across < acrossHi && from < to;
    };
    const bool inside = y1 == y2 ? cut(y1, area.Top, area.Bottom, x1, x2, area.Left, area.Right)
                                 : cut(x1, area.Left, area.Right, y1, y2, area.Top, area.Bottom);
    if (inside)
        DrawGridLine(buffer, {x1, y1, x2, y2, line.Colour});
}

} // namespace

std::vector<TGridLine> Tnewiconview::GridLines() const
{
    TEditorState* s = EditorState();
    const uint32_t major = s ? s->GridColor1 : 0xFF8E8C8C, minor = s ? s->GridColor2 : 0xFFC0C0C0;
    const int z = Zoom, w = CurrentWidth, h = CurrentHeight;
    // Below zoom 5 the lines keep 5 screen pixels apart rather than follow the image pixels.
    const int step = z >= 5 ? z : 5;
    const int rows = z >= 5 ? h : z * h / 5;
    const int columns = z >= 5 ? w : z * w / 5;
    std::vector<TGridLine> lines;
    lines.reserve(size_t(std::max(0, rows) + std::max(0, columns) + 4));
    for (int i = 1; i <= rows; ++i)
        lines.push_back({1, i * step, z * w - 1, i * step, GridColor(i % 8 == 0 ? major : minor)});
    for (int i = 1; i <= columns; ++i)
        lines.push_back({i * step, 1, i * step, z * h - 1, GridColor(i % 8 == 0 ? major : minor)});
    const TColor32 black = MakeColor32(0, 0, 0, 255);
    lines.push_back({0, 0, 0, z * h, black});
    lines.push_back({0, 0, z * w - 1, 0, black});
    lines.push_back({z * w - 1, 0, z * w - 1, z * h - 1, black});
    lines.push_back({0, z * h - 1, z * w, z * h - 1, black});
    return lines;
}

void Tnewiconview::PaintGrid(TBitmap32* buffer)
{
    if (PaintGrid(buffer, buffer->GetBounds()))
        return;
    // Lines the buffer's edge cuts end in a plot of their own, which spreads the plots along the
    // whole line: they are drawn whole.
    for (const TGridLine& line : GridLines())
        DrawGridLine(buffer, line);
}

bool Tnewiconview::PaintGrid(TBitmap32* buffer, const TRect& area)
{
    if (Zoom * CurrentWidth > buffer->Width() || Zoom * CurrentHeight > buffer->Height())
        return false;
    TRect clip;
    if (!IntersectRects(clip, area, buffer->GetBounds()) || IsEmptyRect(clip))
        return true;
    const std::vector<TGridLine> lines = GridLines();
    // Band by band, so that the columns' pixels of a band are still cached from its rows. Each
    // pixel takes the lines over it in the same order as when they are drawn whole one by one.
    constexpr int kBand = 64;
    for (int top = clip.Top; top < clip.Bottom; top += kBand) {
        const TRect band{clip.Left, top, clip.Right, std::min(top + kBand, clip.Bottom)};
        for (const TGridLine& line : lines)
            DrawGridLinePart(buffer, line, band);
    }
    return true;
}

void Tnewiconview::ApplyZoom(const QString& marker)
{
    RememberViewCentre();
    FreeGridLayer();
    const int previous = Zoom;
    if (marker == QLatin1String("big")) {
        if (Zoom + 1 <= ScrollBox2->Width() / CurrentWidth + 3)
            ++Zoom;
    } else {
        --Zoom;
    }
    if (Zoom < 1)
        Zoom = previous;

    const int cw = Zoom * CurrentWidth, ch = Zoom * CurrentHeight;
    SetCanvasSize(cw, ch);
    const int sw = ScrollBox2->Width(), sh = ScrollBox2->Height();
    int left = 0, top = 0;
    if (cw >= 480) {
        left = sw > cw ? (sw - cw) / 2 : 0;
        top = sh > ch ? (sh - ch) / 2 : 0;
    } else {
        left = (sw - cw) / 2;
        top = (sh - ch) / 2;
    }
    PlaceCanvas(left, top, cw, ch);

    ResetBackdrop(QStringLiteral("ok"));
    if (!GridOff)
        CreateGridLayer();
    {
        TCanvasUpdate update(iconviewbg);
        DrawFormatOver(iconviewbg);
    }
    CopyBackdropToCanvas();
    ShowSelectionAtZoom();
}

void Tnewiconview::ShowStatusLabels()
{
    TEditorState* s = State();
    const int f = CurrentFormat();
    s->SetLabelText(QStringLiteral("bigbig"), QString::number(Zoom * 100) + QStringLiteral(" %"));
    s->SetLabelText(QStringLiteral("beginxy"), QStringLiteral("0,0"));
    s->SetLabelText(QStringLiteral("whsize"), QStringLiteral("0,0"));
    s->SetLabelText(QStringLiteral("formaticon"), FormatTable.Width(f) + QStringLiteral(" * ") + FormatTable.Height(f) +
                                                      QStringLiteral(" - ") + FormatTable.Kind(f));
}

void Tnewiconview::FormPaint(TObject*)
{
    // The window's own area is repainted when it changes size; nothing to fit before the first
    // format exists, and a resize made by the refit itself does not refit again.
    if (refitting_ || !iconview || CurrentWidth < 1 || CurrentHeight < 1)
        return;
    refitting_ = true;
    const int sw = ScrollBox2->Width(), sh = ScrollBox2->Height();
    if (sh / CurrentHeight < sw / CurrentWidth)
        Zoom = (sh - 4) / CurrentHeight;
    else
        Zoom = (sw - 4) / CurrentWidth;
    if (Zoom < 1)
        Zoom = 1;
    // The zoom label shows the zoom just fitted.
    ShowStatusLabels();
    const int cw = Zoom * CurrentWidth, ch = Zoom * CurrentHeight;
    SetCanvasSize(cw, ch);
    PlaceCanvas((sw - cw) / 2, (sh - ch) / 2, cw, ch);

    if (WindowState() == wsMaximized) {
        if (IsTemplate()) {
            SetWindowState(wsNormal);
        } else {
            TEditorState* s = State();
            for (const char* name : {"minok", "mnook", "clsok"})
                s->SetControlVisible(QLatin1String(name), true);
            {
                TCanvasUpdate update(iconviewbg);
                iconviewbg->Bitmap()->SetSize(cw, ch);
                FillCheckerboard(iconviewbg);
                DrawFormatOver(iconviewbg);
            }
            {
                TCanvasUpdate update(iconview);
                iconview->Bitmap()->SetSize(cw, ch);
                FillCheckerboard(iconview);
                DrawFormatOver(iconview);
            }
            RepaintCanvas(iconviewbg);
            RepaintCanvas(iconview);
        }
    }
    refitting_ = false;
}

void Tnewiconview::ShowHoverCell(int x, int y)
{
    if (x <= 0 || y <= 0 || Zoom <= 0)
        return;
    TEditorState* s = State();
    {
        TCanvasUpdate update(iconview);
        ResetCanvas(QStringLiteral("ok"));
        DrawFormatOver(iconview);
        const int cx = x / Zoom, cy = y / Zoom;
        const TColor32 colour =
            MakeColor32(StrToInt(s->EditText(QStringLiteral("upr"))), StrToInt(s->EditText(QStringLiteral("upg"))),
                        StrToInt(s->EditText(QStringLiteral("upb"))), StrToInt(s->EditText(QStringLiteral("upa"))));
        iconview->Bitmap()->FillRectBlendSafe(Zoom * cx, Zoom * cy, Zoom * cx + Zoom, Zoom * cy + Zoom, colour);
    }
    RepaintCanvas(iconview);
}

void Tnewiconview::HideHoverCell()
{
    if (!iconview || !CurrentImage())
        return;
    {
        TCanvasUpdate update(iconview);
        ResetCanvas(QStringLiteral("ok"));
        DrawFormatOver(iconview);
    }
    RepaintCanvas(iconview);
}

void Tnewiconview::DrawFloatingOverlay(const QString&)
{
    TEditorState* s = State();
    OpacityBaseStale = true;
    s->SetTrackBarPosition(QStringLiteral("layer_a"), 255);
    FitSelectionToZoom();
    const TRect sel = SelectionRect();
    {
        TCanvasUpdate update(iconviewbg);
        FillCheckerboard(iconviewbg);
        DrawFormatOver(iconviewbg);
        if (GpImage* floating = s->FloatingImage) {
            UINT fw = 0, fh = 0;
            GdipGetImageWidth(floating, &fw);
            GdipGetImageHeight(floating, &fh);
            GpGraphics* g = nullptr;
            GdipCreateFromHDC(iconviewbg->Bitmap()->DC(), &g);
            GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor);
            GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
            GdipDrawImageRectI(g, floating, Zoom * (sel.Left / Zoom), Zoom * (sel.Top / Zoom), int(fw) * Zoom,
                               int(fh) * Zoom);
            GdipDeleteGraphics(g);
        }
    }
    RepaintCanvas(iconviewbg);
    CopyBackdropToCanvas();
    iconviewbg->SetTop(600);
    iconviewbg->Hide();
}

void Tnewiconview::UpdateThumbnails(const QString&)
{
    TEditorState* s = State();
    // Each project paints its own tile, whichever document is in front; the template has none.
    const int n = IsTemplate() ? 0 : DocumentNumber();
    const int w = CurrentWidth, h = CurrentHeight;
    const bool smooth = CurrentKind == QLatin1String("XP") && s->CurrentTool != 6;

    // The strip has tiles for documents 1 to 24 only.
    if (s->HasDocumentTile(n)) {
        const int tw = (w < 38 || h < 38) ? w : 38, th = (w < 38 || h < 38) ? h : 38;
        const TRect bg = s->ControlBounds(QStringLiteral("iconbg") + QString::number(n + 3));
        const TRect bounds = Bounds(bg.Left + (bg.Width() - tw) / 2, bg.Top + (bg.Height() - th) / 2, tw, th);
        QImage back(tw, th, QImage::Format_ARGB32);
        back.fill(0);
        {
            QPainter p(&back);
            p.drawImage(0, 0, s->Picture(QStringLiteral("copybm")));
        }
        GpBitmap* tile = BitmapFromImage(back);
        const bool scaled = w > 38 || h > 38;
        DrawThumbnail(tile, CurrentImage(), smooth, scaled ? tw : w, scaled ? th : h);
        s->SetDocumentTile(n, bounds, *GdipImageData(tile));
        GdipDisposeImage(tile);
    }

    // The preview shows the document in front; work on one behind leaves it alone.
    if (objectName().compare(s->ActiveDocumentName, Qt::CaseInsensitive) == 0) {
        const TSize size = PreviewSize(w, h);
        const TRect frame = s->ControlBounds(QStringLiteral("Imageoo"));
        const TRect bounds = Bounds(frame.Left + (frame.Width() - size.cx) / 2,
                                    frame.Top + (frame.Height() - size.cy) / 2, size.cx, size.cy);
        QImage back(size.cx, size.cy, QImage::Format_ARGB32);
        back.fill(0);
        const QImage pattern = PictureOfImage(copybm);
        if (!pattern.isNull()) {
            QPainter p(&back);
            p.fillRect(back.rect(), QBrush(pattern));
        }
        GpBitmap* preview = BitmapFromImage(back);
        const bool scaled = w > 80 || h > 80;
        DrawThumbnail(preview, CurrentImage(), smooth, scaled ? size.cx : w, scaled ? size.cy : h);
        s->SetPreview(bounds, *GdipImageData(preview));
        GdipDisposeImage(preview);
    }

    iconviewbg->SetTop(600);
    iconviewbg->Hide();
}

void Tnewiconview::SelectWholeCanvas()
{
    TEditorState* s = State();
    OpacityBaseStale = true;
    s->SetTrackBarPosition(QStringLiteral("layer_a"), 255);
    PaintBox1->Show();
    const int z = Zoom;
    TakeSelection();
    SelectionRect() = Rect(0, 0, z * (iconview->Width() / z + 1), z * (iconview->Height() / z + 1));
    DrawSelectionMarquee();
}

void Tnewiconview::LoadUndoState(const QString& pathOrMarker)
{
    TEditorState* s = State();
    OpacityBaseStale = true;
    s->SetTrackBarPosition(QStringLiteral("layer_a"), 255);
    if (pathOrMarker != QLatin1String("dorvelt")) {
        GpImage* state = nullptr;
        GdipLoadImageFromFile(pathOrMarker, &state);
        UINT sw = 0, sh = 0;
        GdipGetImageWidth(state, &sw);
        GdipGetImageHeight(state, &sh);
        // A state from the other side of a quarter turn brings the size it had back (read first:
        // a new place in the sorted list renames the history's files).
        if (state && CurrentWidth != CurrentHeight && int(sw) == CurrentHeight && int(sh) == CurrentWidth &&
            !TurnedSizeTaken())
            TakeTurnedSize();
        LoadStateImage(state);
        GdipDisposeImage(state);
    } else if (CaptureWindow().PasteConfirmed == 1) {
        GpImage* capture = nullptr;
        const QString shot = ScratchPath(QStringLiteral("selectimage.bmp"));
        GdipLoadImageFromFile(shot, &capture);
        if (!capture)
            MessageDlg(QStringLiteral("The captured picture cannot be read: ") + shot, mtWarning, MsgDlgButtons({mbOK}));
        if (capture) {
            GpGraphics* g = nullptr;
            GdipGetImageGraphicsContext(CurrentImage(), &g);
            GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
            if (CurrentKind == QLatin1String("XP"))
                GdipSetSmoothingMode(g, SmoothingModeHighQuality);
            GdipDrawImageI(g, capture, 0, 0);
            GdipDeleteGraphics(g);
            GdipDisposeImage(capture);
            ReducePaletteFormat(*this);
        }
        CaptureWindow().CloseWindow();
    }
    iconviewbg->Hide();
    {
        TCanvasUpdate update(iconviewbg);
        FillCheckerboard(iconviewbg);
        DrawFormatOver(iconviewbg);
    }
    CopyBackdropToCanvas();
    PaintBox1->Hide();
    RepaintFormatList();
}

// ---------------------------------------------------------------------------------------------
// Commands

void Tnewiconview::BitBtn1Click(TObject*)
{
    // Pixels that land in the format are a step of their own, so that an undo takes back no more
    // than the move.
    if (DropFloatingIntoFormat())
        RecordStepWithoutBaseCheck();
}

bool Tnewiconview::DropFloatingIntoFormat()
{
    TEditorState* s = State();
    FitSelectionToZoom();
    TRect& sel = SelectionRect();
    if (MovingSelection)
        MarqueeDotted = false;
    // Only floating pixels have anything to drop: selected pixels that were never lifted still
    // lie in the format where they are shown, and lifting the format under a paste would lose it.
    // They land where they were last shown, even when the rectangle was emptied meanwhile.
    const bool floating = HasFloatingPixels();
    const TRect cells = floating && IsRectEmpty(sel) ? FloatingCells : SelectionCells(sel, Zoom);
    if (FloatingSelection) {
        ReplaceImage(s->FloatingImage, CloneImage(PastedImage));
        FloatingSelection = false;
    }
    if (floating)
        LandFloatingPixels(cells);
    for (TImage32* canvas : {iconviewbg, iconview}) {
        {
            TCanvasUpdate update(canvas);
            FillCheckerboard(canvas);
            DrawFormatOver(canvas);
        }
        RepaintCanvas(canvas);
    }
    RepaintFormatList();
    MoveStarted = false;
    sel = Rect(0, 0, 0, 0);
    ReplaceImage(s->FloatingImage, NewTransparentBitmap(CurrentWidth, CurrentHeight));
    if (PaintBox1)
        PaintBox1->update();
    return floating;
}

void Tnewiconview::LandFloatingPixels(const TRect& cells)
{
    CompositeInto(CurrentImage(), State()->FloatingImage, cells.Left, cells.Top);
    if (PaletteBitsOfKind(CurrentKind) == 0)
        return;
    // A palette format holds its table's colours from the moment pixels land in it.
    ReducePaletteFormat(*this);
    for (TImage32* canvas : {iconviewbg, iconview}) {
        {
            TCanvasUpdate update(canvas);
            FillCheckerboard(canvas);
            DrawFormatOver(canvas);
        }
        RepaintCanvas(canvas);
    }
}

void Tnewiconview::BitBtn2Click(TObject*)
{
    ApplyZoom(QStringLiteral("big"));
    State()->SetLabelText(QStringLiteral("bigbig"), QString::number(Zoom * 100) + QStringLiteral(" %"));
}

void Tnewiconview::BitBtn3Click(TObject*)
{
    ApplyZoom(QStringLiteral("small"));
    State()->SetLabelText(QStringLiteral("bigbig"), QString::number(Zoom * 100) + QStringLiteral(" %"));
}

void Tnewiconview::BitBtn5Click(TObject*)
{
    // Its caption is a state flag for the main window; the click itself does nothing.
}

void Tnewiconview::BitBtn7Click(TObject*)
{
    GridOff = true;
    FreeGridLayer();
    RepaintCanvas(iconview);
}

void Tnewiconview::BitBtn8Click(TObject*)
{
    GridOff = false;
    FreeGridLayer();
    CreateGridLayer();
    RepaintCanvas(iconview);
}

void Tnewiconview::Grid1Click(TObject*)
{
    auto* grid1 = qobject_cast<TMenuItem*>(FindComponent(QStringLiteral("Grid1")));
    auto* grid2 = qobject_cast<TMenuItem*>(FindComponent(QStringLiteral("Grid2")));
    const bool on = !((grid1 && grid1->Checked()) || (grid2 && grid2->Checked()));
    if (on)
        BitBtn8Click(this);
    else
        BitBtn7Click(this);
    FormPaint(this);
    if (grid1)
        grid1->SetChecked(on);
    if (grid2)
        grid2->SetChecked(on);
    State()->SetMenuChecked(QStringLiteral("LineGrid1"), on);
}

// Each item runs the main window's command of its own caption.
void Tnewiconview::Zoomin1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("ToolButton13Click"));
}

void Tnewiconview::Zoomout1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("ToolButton14Click"));
}

void Tnewiconview::FittoWindowZomm1Click(TObject*)
{
    State()->RunMainCommand(QStringLiteral("ToolButton16Click"));
}

void Tnewiconview::BitBtn26Click(TObject*)
{
    FormPaint(this);
    ResetBackdrop(QStringLiteral("ok"));
    {
        TCanvasUpdate update(iconviewbg);
        DrawFormatOver(iconviewbg);
    }
    CopyBackdropToCanvas();
    ShowStatusLabels();
    ShowSelectionAtZoom();
}

void Tnewiconview::BitBtn19Click(TObject*)
{
    TEditorState* s = State();
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(s->SkinFileName);
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(s->SkinStyle));
}

void Tnewiconview::BitBtn20Click(TObject*)
{
    Close();
}

void Tnewiconview::BitBtn23Click(TObject*)
{
    // Moving lifted pixels is not a recorded step: undoing it puts them back where they came from.
    if (CancelFloatingPixels())
        return;
    UndoStep();
    RebuildView();
    UpdateThumbnails();
}

void Tnewiconview::BitBtn24Click(TObject*)
{
    CancelFloatingPixels();
    if (!RedoStep())
        return;
    RebuildView();
    UpdateThumbnails();
}

void Tnewiconview::BitBtn40Click(TObject*)
{
    TEditorState* s = State();
    SetWidth(s->ControlBounds(QStringLiteral("Panel4")).Left - s->ControlBounds(QStringLiteral("Panel3")).Width() + 4);
    FormPaint(this);
}

void Tnewiconview::BitBtn41Click(TObject*)
{
    // The document's own list-column strip, not the main window's tool palette.
    auto* strip = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel3")));
    SetWidth(State()->ControlBounds(QString()).Width() - (strip ? strip->Width() : 0));
    FormPaint(this);
}

void Tnewiconview::Button9Click(TObject*)
{
    // New grid colours reach a grid that is shown; one switched off stays off.
    FreeGridLayer();
    if (!GridOff)
        CreateGridLayer();
    const QImage tile = EditingOptionsTile();
    if (!tile.isNull() && bgimage) {
        // The options' tile is laid as a pattern over the whole of the document's tile.
        const QImage current = PictureOfImage(bgimage);
        QImage repainted(current.isNull() ? tile.size() : current.size(), QImage::Format_ARGB32);
        repainted.fill(0);
        {
            QPainter p(&repainted);
            p.fillRect(repainted.rect(), QBrush(tile));
        }
        TBitmap bitmap;
        QImageToBitmap(repainted, bitmap);
        bgimage->Picture()->Assign(&bitmap);
    }
    RebuildView();
}
