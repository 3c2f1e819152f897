#include "mainwindow/xyset.h"

#include "document/editor_state.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/sysutils.h"
#include "framework/timer.h"
#include "mainwindow/iconmain.h"
#include "platform/gdip.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QImage>
#include <cmath>

Txyset* xyset = nullptr;

namespace {

ARGB ColourOf(const TEditorState& state, const char* prefix)
{
    // A colour edit that holds no number fails with the conversion error, as elsewhere.
    auto part = [&](const char* c) { return uint32_t(StrToInt(state.EditText(QLatin1String(prefix) + QLatin1String(c)))) & 0xFF; };
    return part("a") << 24 | part("r") << 16 | part("g") << 8 | part("b");
}

} // namespace

Txyset::Txyset(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    LoadDefinition(QStringLiteral(":/mainwindow/xyset.wdf"));
}

Txyset::~Txyset()
{
    if (xyset == this)
        xyset = nullptr;
}

void Txyset::StartFromCentre()
{
    TEditorState* state = EditorState();
    if (!state)
        return;
    DragActive = false;
    CenterX = int(std::lround(state->RadialCenterX * 100));
    CenterY = int(std::lround(state->RadialCenterY * 100));
    ShowPosition(CenterX, CenterY);
    DrawPreview(state->RadialCenterX * 100, state->RadialCenterY * 100);
}

void Txyset::FormShow(TObject*)
{
    if (!iconmain)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(iconmain->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(iconmain->MainUIStyle()));
}

void Txyset::DrawPreview(double cx, double cy)
{
    auto* preview = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image1")));
    auto* tile = qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage")));
    TEditorState* state = EditorState();
    if (!preview || !state)
        return;
    const ARGB rim = ColourOf(*state, "up");
    const ARGB centre = ColourOf(*state, "down");
    const int w = preview->Width(), h = preview->Height();

    QImage canvas(w, h, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    GpImage* target = GdipImageFromQImage(canvas);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(target, &g);
    GdipSetInterpolationMode(g, InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(g, PixelOffsetModeHalf);
    GdipSetSmoothingMode(g, SmoothingModeHighQuality);

    TGraphic* tileGraphic = tile ? tile->Picture()->Graphic() : nullptr;
    if (tileGraphic && !tileGraphic->Empty()) {
        TBitmap bitmap;
        bitmap.SetSize(tileGraphic->Width(), tileGraphic->Height());
        bitmap.Canvas()->Draw(0, 0, tileGraphic);
        GpImage* tileImage = GdipImageFromQImage(BitmapToQImage(bitmap));
        GpTexture* brush = nullptr;
        GdipCreateTexture(tileImage, WrapModeTile, &brush);
        GdipFillRectangleI(g, brush, 0, 0, w, h);
        GdipDeleteBrush(brush);
        GdipDisposeImage(tileImage);
    }

    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathEllipseI(path, 0, 0, w, h);
    GpPathGradient* brush = nullptr;
    GdipCreatePathGradientFromPath(path, &brush);
    const GpPointF point{REAL(cx), REAL(cy)};
    GdipSetPathGradientCenterPoint(brush, &point);
    GdipSetPathGradientCenterColor(brush, centre);
    INT one = 1;
    GdipSetPathGradientSurroundColorsWithCount(brush, &rim, &one);
    GdipFillPath(g, brush, path);
    GdipDeleteBrush(brush);
    GdipDeletePath(path);
    GdipDeleteGraphics(g);

    TBitmap result;
    QImageToBitmap(*GdipImageData(target), result);
    GdipDisposeImage(target);
    preview->Picture()->Assign(&result);
}

void Txyset::ShowPosition(int x, int y)
{
    // Inside the preview the halves are the position in per cent.
    const QString px = QString::number(x / 2), py = QString::number(y / 2);
    if (QObject* label = FindComponent(QStringLiteral("Label2")))
        label->setProperty("Caption", px + QLatin1Char(',') + py);
    if (QObject* edit = FindComponent(QStringLiteral("Edit1")))
        edit->setProperty("Text", px);
    if (QObject* edit = FindComponent(QStringLiteral("Edit2")))
        edit->setProperty("Text", py);
}

void Txyset::Image1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    DragActive = true;
}

void Txyset::Image1MouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!DragActive)
        return;
    ShowPosition(X, Y);
    if (QWidget* label = qobject_cast<QWidget*>(FindComponent(QStringLiteral("Label2"))))
        label->repaint();
    CenterX = X;
    CenterY = Y;
    DrawPreview(X, Y);
}

void Txyset::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    DragActive = false;
}

void Txyset::suiButton1Click(TObject*)
{
    Close();
}

void Txyset::suiButton2Click(TObject*)
{
    if (TEditorState* state = EditorState()) {
        state->RadialCenterX = CenterX / 100.0;
        state->RadialCenterY = CenterY / 100.0;
    }
    Close();
}

void Txyset::Timer1Timer(TObject*)
{
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer1"))))
        timer->SetEnabled(false);
    TEditorState* state = EditorState();
    if (!state)
        return;
    DrawPreview(state->RadialCenterX * 100, state->RadialCenterY * 100);
    ShowPosition(int(std::trunc(state->RadialCenterX * 100)), int(std::trunc(state->RadialCenterY * 100)));
}
