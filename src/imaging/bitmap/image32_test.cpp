#include "imaging/bitmap/image32.h"

#include "framework/exceptions.h"
#include "framework/forms.h"
#include "imaging/bitmap/theme_nexus.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {


// The colour a grab shows at (x, y), as 0xRRGGBB.
uint32_t Shown(const QImage& shot, int x, int y)
{
    return shot.pixel(x, y) & 0xFFFFFF;
}

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, int x, int y)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A square bitmap of four colour quadrants.
void Quadrants(TBitmap32* b, int side)
{
    b->SetSize(side, side);
    const int h = side / 2;
    b->FillRectPlain(0, 0, h, h, 0xFFFF0000);
    b->FillRectPlain(h, 0, side, h, 0xFF00FF00);
    b->FillRectPlain(0, h, h, side, 0xFF0000FF);
    b->FillRectPlain(h, h, side, side, 0xFFFFFF00);
}

} // namespace

TEST(Image32, PlacementByScaleModeAndAlignment)
{
    struct Case {
        int bw, bh;
        TScaleMode mode;
        TBitmapAlign align;
        float scale, offsetX, offsetY;
        TRect rect;
    };
    const Case cases[] = {
        {32, 32, smNormal, baTopLeft, 1, 0, 0, {0, 0, 32, 32}},
        {41, 40, smNormal, baCenter, 1, 0, 0, {29, 30, 70, 70}},
        {16, 32, smResize, baTopLeft, 1, 0, 0, {0, 0, 50, 100}},
        {16, 32, smResize, baCenter, 1, 0, 0, {25, 0, 75, 100}},
        {32, 16, smResize, baCenter, 1, 0, 0, {0, 25, 100, 75}},
        {4, 4, smResize, baTopLeft, 1, 0, 0, {0, 0, 100, 100}}, // enlarged as well
        {3, 3, smScale, baTopLeft, 2.5f, 0, 0, {0, 0, 8, 8}},   // 7.5 rounds to 8
        {10, 20, smStretch, baTile, 1, 0, 0, {0, 0, 100, 100}},
        {10, 10, smNormal, baCustom, 1, 3.5f, -2.5f, {4, -2, 14, 8}},
    };
    for (const Case& c : cases) {
        TImage32 img;
        img.SetBounds(0, 0, 100, 100);
        img.Bitmap()->SetSize(c.bw, c.bh);
        img.SetScaleMode(c.mode);
        img.SetBitmapAlign(c.align);
        img.SetScale(c.scale);
        img.SetOffsetHorz(c.offsetX);
        img.SetOffsetVert(c.offsetY);
        EXPECT_EQ(img.BitmapRect(), c.rect) << c.bw << "x" << c.bh << " mode " << c.mode << " align " << c.align;
    }

    TImage32 img;
    img.SetBounds(0, 0, 100, 100);
    img.Bitmap()->SetSize(32, 32);
    const TBitmapTransformation& t = img.BitmapTransform();
    EXPECT_EQ(t.ScaleX, 65536);
    EXPECT_EQ(t.ScaleY, 65536);
    EXPECT_EQ(t.ShiftX, 0);
    EXPECT_EQ(t.RevScaleX, 65536);

    img.Bitmap()->SetSize(10, 20);
    img.SetScaleMode(smStretch);
    img.SetBitmapAlign(baCustom);
    img.SetOffsetHorz(7);
    const TBitmapTransformation& s = img.BitmapTransform();
    EXPECT_EQ(s.ScaleX, 10 * 65536);
    EXPECT_EQ(s.ScaleY, 5 * 65536);
    EXPECT_EQ(s.RevScaleX, 6554); // 6553.6
    EXPECT_EQ(s.RevScaleY, 13107);
    EXPECT_EQ(s.ShiftX, 7);
}

TEST(Image32, NothingToMapGivesAZeroTransform)
{
    TImage32 img;
    img.SetBounds(0, 0, 50, 50);
    img.SetBitmapAlign(baCenter);
    EXPECT_EQ(img.BitmapRect(), TRect{});
    EXPECT_EQ(img.BitmapTransform().ScaleX, 0);

    img.Bitmap()->SetSize(8, 8);
    EXPECT_EQ(img.BitmapTransform().ScaleX, 65536);
    img.SetBounds(0, 0, 0, 50);
    const TBitmapTransformation& t = img.BitmapTransform();
    EXPECT_EQ(t.ScaleX, 0);
    EXPECT_EQ(t.RevScaleX, 0);
    EXPECT_EQ(t.ShiftX, 0);
    EXPECT_EQ(t.ShiftY, 0);
    img.grab(); // paints without dividing by the empty rectangle
}

TEST(Image32, AutoSizeTakesTheBitmapSize)
{
    TImage32 img;
    img.SetBounds(5, 6, 50, 50);
    img.SetAutoSize(true);
    img.SetScaleMode(smScale);
    img.SetScale(1.5f);
    int resizes = 0;
    img.OnBitmapResize = [&](TObject*) { ++resizes; };
    img.Bitmap()->SetSize(11, 20);
    EXPECT_EQ(img.BoundsRect(), MakeRect(5, 6, 5 + 16, 6 + 30)); // 16.5 rounds to even
    EXPECT_EQ(resizes, 1);
    img.SetAlign(alTop); // only the height follows the bitmap then
    int w = 1, h = 1;
    img.CanAutoSize(w, h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 30);
    img.Bitmap()->SetSize(0, 0); // an empty bitmap leaves the size alone
    EXPECT_EQ(img.Height(), 30);
    EXPECT_EQ(resizes, 2);
}

TEST(Image32, ScaleIsKeptAboveAThousandth)
{
    TImage32 img;
    int changes = 0;
    img.OnChange = [&](TObject*) { ++changes; };
    img.SetScale(0);
    EXPECT_FLOAT_EQ(img.Scale(), 0.001f);
    img.SetScale(-3);
    EXPECT_EQ(changes, 1);
    img.SetScale(2);
    EXPECT_EQ(changes, 2);
}

TEST(Image32, BackgroundBitmapAndDrawModes)
{
    TImage32 img;
    img.SetBounds(0, 0, 100, 100);
    img.SetColor(clWhite);
    img.Bitmap()->SetSize(32, 32);
    img.Bitmap()->Clear(0x80FF0000);

    // dmOpaque: the bitmap's colour bytes, the control's colour in the bands right and below.
    QImage shot = img.grab().toImage();
    EXPECT_EQ(Shown(shot, 10, 10), 0xFF0000u);
    EXPECT_EQ(Shown(shot, 50, 10), 0xFFFFFFu);
    EXPECT_EQ(Shown(shot, 10, 50), 0xFFFFFFu);
    EXPECT_EQ(Shown(shot, 99, 99), 0xFFFFFFu);
    EXPECT_EQ(*img.Buffer()->PixelAddress(10, 10), 0x80FF0000u);

    // dmBlend: half-transparent pixels mixed with the control's colour.
    img.Bitmap()->SetDrawMode(dmBlend);
    TColor32 mixed = 0xFFFFFFFF;
    BlendInto(0x80FF0000, mixed);
    shot = img.grab().toImage();
    EXPECT_EQ(Shown(shot, 10, 10), mixed & 0xFFFFFF);
    EXPECT_EQ(Shown(shot, 50, 50), 0xFFFFFFu);
}

TEST(Image32, ZoomedTiledAndStaged)
{
    TImage32 img;
    img.SetBounds(0, 0, 40, 20);
    img.SetColor(clWhite);
    Quadrants(img.Bitmap(), 2);
    img.SetScaleMode(smScale);
    img.SetScale(5);
    img.SetBitmapAlign(baTile);
    std::vector<unsigned> stages;
    img.OnPaintStage = [&](TObject*, TBitmap32* buffer, unsigned stage) {
        stages.push_back(stage);
        EXPECT_EQ(buffer, img.Buffer());
    };
    img.PaintStages()->Add()->Stage = StageCustom;
    const QImage shot = img.grab().toImage();
    // Tiles of 10 x 10 repeat the 2 x 2 quadrants zoomed five times.
    EXPECT_EQ(Shown(shot, 2, 2), 0xFF0000u);
    EXPECT_EQ(Shown(shot, 7, 2), 0x00FF00u);
    EXPECT_EQ(Shown(shot, 12, 2), 0xFF0000u);
    EXPECT_EQ(Shown(shot, 37, 17), 0xFFFF00u);
    EXPECT_EQ(stages, std::vector<unsigned>{5});
}

TEST(Image32, LayersPaintByTheStageMask)
{
    TImage32 img;
    img.SetBounds(0, 0, 20, 20);
    std::vector<std::string> painted;
    auto* a = img.Layers()->Add<TCustomLayer>();
    auto* b = img.Layers()->Add<TCustomLayer>();
    a->PaintHandler = [&](TObject*, TBitmap32*) { painted.push_back("a"); };
    b->PaintHandler = [&](TObject*, TBitmap32*) { painted.push_back("b"); };
    b->SetLayerOptions(0x1); // not visible: only a stage with bit 0 paints it
    img.grab();
    EXPECT_EQ(painted, std::vector<std::string>{"a"});
    PaintStageEntry* e = img.PaintStages()->Add();
    e->Stage = StageDrawLayers;
    e->Parameter = 0x1;
    painted.clear();
    img.Invalidate();
    img.grab();
    EXPECT_EQ(painted, (std::vector<std::string>{"a", "b"}));
}

TEST(Image32, BufferGrowsWithMarginAndShrinksPastIt)
{
    TImage32 img;
    struct Step {
        int width, buffer;
    };
    // Created at 192 wide, so the buffer starts at 232.
    const Step steps[] = {{100, 100}, {101, 141}, {142, 182}, {150, 182}, {142, 182}, {141, 141}};
    for (const Step& s : steps) {
        img.SetBounds(0, 0, s.width, 50);
        img.ResizeBuffer();
        EXPECT_EQ(img.Buffer()->Width(), s.buffer) << "viewport " << s.width;
    }
    img.SetBounds(0, 0, 0, 0);
    img.ResizeBuffer();
    EXPECT_EQ(img.Buffer()->Width(), 1);
}

TEST(Image32, UpdatesSilenceChange)
{
    TImage32 img;
    int changes = 0;
    img.OnChange = [&](TObject*) { ++changes; };
    img.Bitmap()->SetSize(4, 4);
    EXPECT_EQ(changes, 1);
    img.BeginUpdate();
    img.BeginUpdate();
    img.EndUpdate();
    img.Bitmap()->Clear(0xFF00FF00);
    EXPECT_EQ(changes, 1);
    img.EndUpdate();
    EXPECT_EQ(changes, 1); // the end of an update does not repaint by itself
    img.Bitmap()->Clear(0xFF0000FF);
    EXPECT_EQ(changes, 2);
    try {
        img.EndUpdate();
        ADD_FAILURE() << "unpaired EndUpdate passed";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unpaired EndUpdate call"));
    }
    EXPECT_EQ(img.UpdateCount(), -1);
}

TEST(Image32, MouseGoesToLayersAndIsReportedWithThem)
{
    TImage32 img;
    img.SetBounds(0, 0, 100, 100);
    img.Bitmap()->SetSize(10, 10);
    img.SetScaleMode(smScale);
    img.SetScale(4);
    img.show();
    auto* layer = img.Layers()->Add<TPositionedLayer>();
    layer->SetLocation(MakeFloatRect(2, 2, 3, 3)); // bitmap pixels: control 8..12
    layer->SetScaled(true);
    std::vector<std::string> log;
    auto name = [layer](TCustomLayer* l) { return l == nullptr ? "none" : (l == layer ? "layer" : "?"); };
    img.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("down" + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };
    img.OnMouseMove = [&](TObject*, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };
    img.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("up" + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };

    // Control coordinates throughout; the layer keeps the mouse it captured.
    Send(&img, QEvent::MouseButtonPress, Qt::LeftButton, 9, 11);
    EXPECT_TRUE(img.MouseCaptured());
    Send(&img, QEvent::MouseMove, Qt::LeftButton, 80, 70);
    Send(&img, QEvent::MouseButtonRelease, Qt::LeftButton, 80, 70);
    EXPECT_FALSE(img.MouseCaptured());
    // No layer at the point: none is reported, and a left press still captures.
    Send(&img, QEvent::MouseButtonPress, Qt::LeftButton, 50, 50);
    EXPECT_TRUE(img.MouseCaptured());
    Send(&img, QEvent::MouseButtonRelease, Qt::LeftButton, 50, 50);
    Send(&img, QEvent::MouseButtonPress, Qt::RightButton, 60, 60);
    EXPECT_FALSE(img.MouseCaptured());
    Send(&img, QEvent::MouseButtonRelease, Qt::RightButton, 60, 60);
    // With the collection's mouse events off, no layer is told or reported.
    img.Layers()->SetMouseEvents(false);
    Send(&img, QEvent::MouseButtonPress, Qt::LeftButton, 9, 9);
    Send(&img, QEvent::MouseButtonRelease, Qt::LeftButton, 9, 9);
    EXPECT_EQ(log, (std::vector<std::string>{"down0 9,11 layer", "move 80,70 layer", "up0 80,70 layer",
                                             "down0 50,50 none", "up0 50,50 none", "down1 60,60 none",
                                             "up1 60,60 none", "down0 9,9 none", "up0 9,9 none"}));
}

TEST(Image32, ZoomedBitmapWithAGridLayer)
{
    // A zoomed canvas as the icon editor shows one: an 8 x 8 bitmap at 12 times, centred, with a
    // grid layer that strokes pen lines between the zoomed pixels.
    TImage32 img;
    img.SetBounds(0, 0, 120, 110);
    img.SetColor(0x00C0C0C0);
    Quadrants(img.Bitmap(), 8);
    img.Bitmap()->FillRectPlain(3, 3, 5, 5, 0x80FFFFFF);
    img.Bitmap()->SetDrawMode(dmBlend);
    img.SetScaleMode(smScale);
    img.SetScale(12);
    img.SetBitmapAlign(baCenter);
    auto* grid = img.Layers()->Add<TPositionedLayer>();
    grid->SetLocation(MakeFloatRect(0, 0, 8, 8));
    grid->SetScaled(true);
    grid->SetUserValue(1);
    grid->PaintHandler = [grid](TObject*, TBitmap32* buffer) {
        const TFloatRect r = grid->GetControlRect();
        buffer->SetPenColor(0xFF000000);
        for (int i = 0; i <= 8; ++i) {
            const float x = r.Left + i * 12.0f, y = r.Top + i * 12.0f;
            buffer->MovePenTo(x, r.Top);
            buffer->SmoothLineTo(x, r.Bottom);
            buffer->MovePenTo(r.Left, y);
            buffer->SmoothLineTo(r.Right, y);
        }
    };
    const QImage shot = img.grab().toImage();
    EXPECT_EQ(img.BitmapRect(), MakeRect(12, 7, 108, 103));
    EXPECT_EQ(Shown(shot, 5, 5), 0xC0C0C0u);       // background around the bitmap
    EXPECT_EQ(Shown(shot, 18, 13), 0xFF0000u);     // inside the first zoomed pixel
    EXPECT_EQ(Shown(shot, 102, 97), 0xFFFF00u);    // inside the last one
    EXPECT_LT(Shown(shot, 24, 40) & 0xFF, 0x10u);  // a vertical grid line
    EXPECT_LT(Shown(shot, 40, 19) >> 16, 0x10u);   // a horizontal one
    // A half-transparent white pixel of the bitmap, blended on the control's colour.
    TColor32 cell = 0xFFC0C0C0;
    BlendInto(0x80FFFFFF, cell);
    EXPECT_EQ(Shown(shot, 12 + 3 * 12 + 6, 7 + 3 * 12 + 6), cell & 0xFFFFFF);
}

// A window whose definition holds an image control with its bitmap and handlers.
class TImageWindow : public TForm {
    Q_OBJECT
public:
    explicit TImageWindow(QWidget* owner = nullptr) : TForm(owner) {}
    std::vector<std::string> Log;
    Q_INVOKABLE void ImageMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y, TCustomLayer* Layer)
    {
        Log.push_back("down " + std::to_string(X) + "," + std::to_string(Y) + (Layer ? " layer" : ""));
    }
    Q_INVOKABLE void ImageChange(TObject*) { Log.push_back("change"); }
    Q_INVOKABLE void ImageWheelDown(TObject*, TShiftState, TPoint, bool& Handled)
    {
        Log.push_back("wheel down");
        Handled = true;
    }
    Q_INVOKABLE void ImageWheelUp(TObject*, TShiftState, TPoint, bool&) { Log.push_back("wheel up"); }
    Q_INVOKABLE void ImageCanResize(TObject*, int& NewWidth, int& NewHeight, bool& Resize)
    {
        Log.push_back("can resize " + std::to_string(NewWidth) + "x" + std::to_string(NewHeight));
        Resize = NewWidth <= 150;
        NewHeight = std::min(NewHeight, 120);
    }
    Q_INVOKABLE void ImageDragOver(TObject*, TObject* Source, int X, int Y, TDragState State, bool& Accept)
    {
        Log.push_back("drag over " + std::to_string(X) + "," + std::to_string(Y) + " " + std::to_string(int(State)));
        Accept = Source == this;
    }
    Q_INVOKABLE void ImageDragDrop(TObject*, TObject*, int X, int Y)
    {
        Log.push_back("drop " + std::to_string(X) + "," + std::to_string(Y));
    }
    Q_INVOKABLE void ImageStartDrag(TObject*, TObject*& DragObject)
    {
        Log.push_back("start drag");
        DragObject = this;
    }
    Q_INVOKABLE void ImageEndDrag(TObject*, TObject* Target, int, int)
    {
        Log.push_back(Target ? "end drag on a target" : "end drag cancelled");
    }
};

TEST(Image32, DefinitionSetsPublishedPropertiesAndHandlers)
{
    RegisterImagingBitmapClasses();
    TImageWindow w;
    w.LoadDefinitionText(R"(object ImageWindow: TImageWindow
  ClientWidth = 200
  ClientHeight = 150
  object Image1: TImage32
    Left = 4
    Top = 6
    Width = 100
    Height = 100
    Bitmap.Data = {020000000100000000FF00FF0000FFFF}
    BitmapAlign = baCenter
    Scale = 2.5
    ScaleMode = smScale
    OnChange = ImageChange
    OnMouseDown = ImageMouseDown
  end
end
)");
    auto* img = w.findChild<TImage32*>(QStringLiteral("Image1"));
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->Bitmap()->Width(), 2);
    EXPECT_EQ(*img->Bitmap()->PixelAddress(1, 0), 0xFFFF0000u);
    EXPECT_EQ(img->BitmapAlign(), baCenter);
    EXPECT_FLOAT_EQ(img->Scale(), 2.5f);
    EXPECT_EQ(img->ScaleMode(), smScale);
    EXPECT_EQ(img->Color(), TColor(clWindow));
    EXPECT_EQ(img->BitmapRect(), MakeRect(47, 49, 52, 51));
    w.show();
    Send(img, QEvent::MouseButtonPress, Qt::LeftButton, 3, 4);
    Send(img, QEvent::MouseButtonRelease, Qt::LeftButton, 3, 4);
    img->Bitmap()->Clear(0);
    EXPECT_EQ(w.Log, (std::vector<std::string>{"down 3,4", "change"}));
}

TEST(Image32, DefinitionSetsTheBitmapsPropertiesAndBindsEveryEvent)
{
    RegisterImagingBitmapClasses();
    TImageWindow w;
    w.LoadDefinitionText(R"(object ImageWindow: TImageWindow
  object Image1: TImage32
    Width = 100
    Height = 100
    Bitmap.DrawMode = dmBlend
    Bitmap.MasterAlpha = 128
    Bitmap.OuterColor = -16711936
    Bitmap.StretchFilter = sfLinear
    DragCursor = crHandPoint
    OnCanResize = ImageCanResize
    OnDragDrop = ImageDragDrop
    OnDragOver = ImageDragOver
    OnEndDrag = ImageEndDrag
    OnMouseWheelDown = ImageWheelDown
    OnMouseWheelUp = ImageWheelUp
    OnStartDrag = ImageStartDrag
  end
end
)");
    auto* img = w.findChild<TImage32*>(QStringLiteral("Image1"));
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->Bitmap()->DrawMode(), dmBlend);
    EXPECT_EQ(img->Bitmap()->MasterAlpha(), 128u);
    EXPECT_EQ(img->Bitmap()->OuterColor(), 0xFF00FF00u);
    EXPECT_EQ(img->Bitmap()->StretchFilter(), sfLinear);
    EXPECT_EQ(img->DragCursor(), crHandPoint);
    EXPECT_TRUE(w.Log.empty()) << "nothing fires while the window is built";

    auto wheel = [img](int delta) {
        QWheelEvent e(QPointF(5, 5), img->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(img, &e);
        return e.isAccepted();
    };
    EXPECT_TRUE(wheel(-120));  // handled by its handler
    EXPECT_FALSE(wheel(120));  // left to the parent
    img->SetBounds(0, 0, 140, 200);
    EXPECT_EQ(QSize(img->Width(), img->Height()), QSize(140, 120));
    img->SetBounds(0, 0, 160, 100); // refused
    EXPECT_EQ(QSize(img->Width(), img->Height()), QSize(140, 120));
    img->SetBounds(10, 10, 140, 120); // a move alone asks nothing
    EXPECT_EQ(img->Left(), 10);
    EXPECT_TRUE(img->DragOver(&w, 3, 4, dsDragMove));
    EXPECT_FALSE(img->DragOver(img, 3, 4, dsDragEnter));
    img->DragDrop(&w, 7, 8);
    TObject* dragObject = nullptr;
    img->DoStartDrag(dragObject);
    EXPECT_EQ(dragObject, static_cast<TObject*>(&w));
    img->DoEndDrag(nullptr, 0, 0);
    EXPECT_EQ(w.Log, (std::vector<std::string>{"wheel down", "wheel up", "can resize 140x200", "can resize 160x100",
                                               "drag over 3,4 2", "drag over 3,4 0", "drop 7,8", "start drag",
                                               "end drag cancelled"}));
    TImage32 plain;
    EXPECT_FALSE(plain.DragOver(&w, 1, 1, dsDragMove)) << "no handler, no drop";

    // Values the bitmap cannot take, and bitmap properties that are not published.
    struct Bad {
        const char* line;
        const char* message;
    } bad[] = {{"Bitmap.DrawMode = dmSideways", "Invalid property value"},
               {"Bitmap.StretchFilter = 9", "Invalid property value"},
               {"Bitmap.MasterAlpha = -1", "Invalid property value"},
               {"Bitmap.Width = 5", "Property Bitmap.Width does not exist"}};
    for (const Bad& b : bad) {
        TImageWindow other;
        try {
            other.LoadDefinitionText(QByteArray("object ImageWindow: TImageWindow\n  object Image1: TImage32\n    ") + b.line
                                     + "\n  end\nend\n");
            ADD_FAILURE() << b.line << " was taken";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(b.message))) << b.line << ": " << e.Message().toStdString();
        }
    }
}

// A press captures the mouse only with the left button (or a listening layer): after any other
// press the pointer's moves outside the control are not the control's, but the release is still
// reported so that every press is closed.
TEST(Image32, OnlyALeftPressCapturesTheMouse)
{
    TImage32 img;
    img.SetBounds(0, 0, 100, 100);
    img.show();
    std::vector<std::string> log;
    img.OnMouseMove = [&](TObject*, TShiftState, int x, int y, TCustomLayer*) {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    img.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer*) {
        log.push_back("up" + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        Send(&img, QEvent::MouseButtonPress, button, 10, 10);
        Send(&img, QEvent::MouseMove, button, 150, 40);
        Send(&img, QEvent::MouseMove, button, 20, 30);
        Send(&img, QEvent::MouseButtonRelease, button, 150, 40);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"move 150,40", "move 20,30", "up0 150,40",
                                             "move 20,30", "up1 150,40",
                                             "move 20,30", "up2 150,40"}));
    // A layer that listens (it took a left press) holds the mouse for the other buttons too.
    auto* layer = img.Layers()->Add<TPositionedLayer>();
    layer->SetLocation(MakeFloatRect(0, 0, 50, 50));
    Send(&img, QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
    log.clear();
    Send(&img, QEvent::MouseButtonPress, Qt::RightButton, 10, 10);
    EXPECT_TRUE(img.MouseCaptured());
    Send(&img, QEvent::MouseMove, Qt::RightButton, 150, 40);
    Send(&img, QEvent::MouseButtonRelease, Qt::RightButton, 150, 40);
    EXPECT_TRUE(img.MouseCaptured());
    Send(&img, QEvent::MouseButtonRelease, Qt::LeftButton, 150, 40);
    EXPECT_FALSE(img.MouseCaptured());
    EXPECT_EQ(log, (std::vector<std::string>{"move 150,40", "up1 150,40", "up0 150,40"}));
}

TEST(Image32, ArrowKeysMoveTheFocusUnlessTheOptionsWantThem)
{
    TForm w;
    w.SetBounds(0, 0, 300, 200);
    auto* first = new TImage32(&w);
    first->SetBounds(0, 0, 50, 50);
    first->SetTabStop(true);
    auto* second = new TImage32(&w);
    second->SetBounds(60, 0, 50, 50);
    second->SetTabStop(true);
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    std::vector<int> keys;
    first->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
    auto press = [](QWidget* target, int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    first->SetFocus();
    ASSERT_TRUE(first->Focused());
    press(first, Qt::Key_Right);
    EXPECT_TRUE(second->Focused());
    press(second, Qt::Key_Up);
    EXPECT_TRUE(first->Focused());
    EXPECT_TRUE(keys.empty());
    press(first, Qt::Key_A); // other keys are the control's as ever
    EXPECT_EQ(keys, std::vector<int>({'A'}));

    first->SetOptions(pboWantArrowKeys);
    press(first, Qt::Key_Down);
    EXPECT_TRUE(first->Focused());
    EXPECT_EQ(keys, std::vector<int>({'A', VK_DOWN}));
}

TEST(ThemeNexus, HearsTheDesktopsThemeAndPaletteChangesFromStartUp)
{
    int opened = 0;
    SetThemeLibraryLoader([&](TThemeEntryPoints& e) {
        e.OpenThemeData = [&](uintptr_t, const char16_t*) { return HTHEME(++opened); };
        e.CloseThemeData = [](HTHEME) { return 0; };
        e.IsThemeActive = [] { return 1; };
        e.IsAppThemed = [] { return 1; };
        e.EnableTheming = [](int32_t) { return 0; };
        return true;
    });
    RegisterImagingBitmapClasses();
    ASSERT_TRUE(ThemeNexusListening());
    const int before = opened;

    QEvent palette(QEvent::ApplicationPaletteChange);
    QCoreApplication::sendEvent(qApp, &palette);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ThemeNexus()->ThemesInUse());
    EXPECT_EQ(opened, before + 2) << "SCROLLBAR and GLOBALS opened again";

    // A theme change reaches every window; the nexus reopens its data once.
    QWidget a, b;
    a.show();
    b.show();
    for (QWidget* top : {&a, &b}) {
        QEvent theme(QEvent::ThemeChange);
        QCoreApplication::sendEvent(top->windowHandle(), &theme);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, before + 4);

    SetThemeLibraryLoader(nullptr);
    QCoreApplication::sendEvent(qApp, &palette);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ThemeNexus()->ThemesInUse());
}

TEST(ThemeNexus, InactiveWithoutAThemeService)
{
    TThemeNexus nexus;
    EXPECT_FALSE(nexus.ThemeLibraryLoaded());
    EXPECT_FALSE(nexus.ThemesInUse());
    EXPECT_EQ(nexus.ScrollBarTheme(), 0u);
    nexus.WindowProc(TThemeNexus::ThemeChangedMessage);
    EXPECT_FALSE(nexus.ThemesInUse());
}

TEST(ThemeNexus, OpensAndReopensThemeDataOfAServiceThatIsThere)
{
    std::vector<std::string> calls;
    bool complete = true;
    int32_t active = 1;
    SetThemeLibraryLoader([&](TThemeEntryPoints& e) {
        e.OpenThemeData = [&](uintptr_t, const char16_t* cls) {
            calls.push_back("open " + QString::fromUtf16(cls).toStdString());
            return HTHEME(calls.size());
        };
        e.CloseThemeData = [&](HTHEME h) {
            calls.push_back("close " + std::to_string(h));
            return 0;
        };
        e.IsThemeActive = [&] { return active; };
        e.IsAppThemed = [] { return 1; };
        if (complete)
            e.EnableTheming = [](int32_t) { return 0; };
        return true;
    });
    {
        TThemeNexus nexus;
        EXPECT_TRUE(nexus.ThemesInUse());
        EXPECT_EQ(nexus.ScrollBarTheme(), 1u);
        EXPECT_EQ(nexus.GlobalsTheme(), 2u);
        nexus.WindowProc(TThemeNexus::ThemeChangedMessage);
        EXPECT_EQ(nexus.ScrollBarTheme(), 5u);
        // The desktop drops its theme: the handles still open are closed, none are reopened.
        active = 0;
        nexus.WindowProc(TThemeNexus::ThemeChangedMessage);
        EXPECT_FALSE(nexus.ThemesInUse());
        EXPECT_EQ(nexus.ScrollBarTheme(), 0u);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"open SCROLLBAR", "open GLOBALS", "close 1", "close 2",
                                               "open SCROLLBAR", "open GLOBALS", "close 5", "close 6"}));

    // A service without one of the entry points the nexus needs counts as absent.
    complete = false;
    active = 1;
    TThemeNexus partial;
    EXPECT_FALSE(partial.ThemeLibraryLoaded());
    EXPECT_FALSE(partial.ThemesInUse());
    SetThemeLibraryLoader(nullptr);
}

#include "image32_test.moc"

TEST(Image32, RepaintAndRefreshRebuildTheBuffer)
{
    // Changes made inside an update bracket leave the buffer marked valid; the framework's
    // Repaint and Refresh must still show them.
    TImage32 img;
    img.SetBufferValid(true);
    img.Repaint();
    EXPECT_FALSE(img.BufferValid());
    img.SetBufferValid(true);
    img.Refresh();
    EXPECT_FALSE(img.BufferValid());
}

TEST(Image32, EveryPaintShowsTheBufferAsItIsNow)
{
    // The screen's copy of the buffer is kept between paints: a part shown first, the rest
    // later, and a change after both all reach the screen.
    TImage32 img;
    img.resize(40, 40);
    Quadrants(img.Bitmap(), 40);
    QImage shot = img.grab(QRect(0, 0, 10, 10)).toImage();
    EXPECT_EQ(Shown(shot, 5, 5), 0xFF0000u);
    shot = img.grab().toImage();
    EXPECT_EQ(Shown(shot, 5, 5), 0xFF0000u);
    EXPECT_EQ(Shown(shot, 30, 5), 0x00FF00u);
    EXPECT_EQ(Shown(shot, 5, 30), 0x0000FFu);
    EXPECT_EQ(Shown(shot, 30, 30), 0xFFFF00u);
    img.Bitmap()->FillRectPlain(25, 25, 35, 35, 0x80FFFFFF);
    shot = img.grab(QRect(20, 20, 20, 20)).toImage();
    EXPECT_EQ(Shown(shot, 10, 10), 0xFFFFFFu); // alpha is not shown
    shot = img.grab().toImage();
    EXPECT_EQ(Shown(shot, 30, 30), 0xFFFFFFu);
    EXPECT_EQ(Shown(shot, 5, 5), 0xFF0000u);
    // A larger control gets a larger buffer, shown whole.
    img.resize(60, 60);
    img.Bitmap()->SetSize(60, 60);
    img.Bitmap()->Clear(0xFF123456);
    shot = img.grab().toImage();
    EXPECT_EQ(Shown(shot, 55, 55), 0x123456u);
    EXPECT_EQ(Shown(shot, 5, 5), 0x123456u);
}

TEST(Image32, PartialRepaintsLeaveTheBufferAsAWholeRepaintDoes)
{
    // Two controls alike, one repainting only what changed: after every change both buffers, and
    // both screens, hold the same pixels. The layer darkens a pattern of pixels, within the area
    // being painted only; one step it refuses a part and has the whole painted instead.
    TImage32 part, whole;
    std::vector<TRect> partAreas;
    bool refuse = false;
    for (TImage32* img : {&part, &whole}) {
        img->resize(70, 90);
        img->SetBitmapAlign(baCustom);
        img->SetOffsetHorz(3);
        img->SetOffsetVert(4);
        img->Bitmap()->SetSize(60, 80);
        for (int i = 0; i < 60 * 80; ++i)
            img->Bitmap()->Bits()[i] = 0xFF000000u | (uint32_t(i) * 2654435761u >> 8);
        auto* layer = img->Layers()->Add<TPositionedLayer>();
        const bool isPart = img == &part;
        layer->PaintHandler = [img, isPart, &partAreas, &refuse](TObject*, TBitmap32* b) {
            const TRect a = img->PaintArea();
            if (isPart)
                partAreas.push_back(a);
            if (refuse && !(a == b->GetBounds())) {
                img->PaintWhole();
                return;
            }
            for (int y = a.Top; y < a.Bottom; ++y)
                for (int x = a.Left; x < a.Right; ++x)
                    if ((x + 2 * y) % 3 == 0)
                        BlendInto(0x80000000u, *b->PixelAddress(x, y));
        };
    }
    part.SetPartialRepaint(true);
    auto expectSame = [&](const char* step) {
        SCOPED_TRACE(step);
        const QImage a = part.grab().toImage(), b = whole.grab().toImage();
        EXPECT_EQ(a, b);
        // The buffer's margin beyond the control is never shown (nor cleared).
        for (int y = 0; y < part.Height(); ++y)
            for (int x = 0; x < part.Width(); ++x)
                ASSERT_EQ(*part.Buffer()->PixelAddress(x, y), *whole.Buffer()->PixelAddress(x, y)) << x << "," << y;
    };
    auto both = [&](const std::function<void(TImage32*)>& change) {
        partAreas.clear();
        for (TImage32* img : {&part, &whole})
            change(img);
    };
    expectSame("first paint");
    const int bufferArea = part.Buffer()->Width() * part.Buffer()->Height();

    both([](TImage32* img) { img->Bitmap()->FillRectPlain(10, 12, 13, 14, 0xFF00FF00); });
    expectSame("a small change");
    ASSERT_EQ(partAreas.size(), 1u);
    EXPECT_EQ(partAreas[0], Rect(13, 16, 16, 18)); // the changed pixels, where the bitmap lies

    both([](TImage32* img) {
        img->Bitmap()->BeginUpdate();
        *img->Bitmap()->PixelAddress(2, 3) = 0xFF123456;
        *img->Bitmap()->PixelAddress(57, 76) = 0x80FFFFFF;
        img->Bitmap()->EndUpdate();
        img->Repaint();
    });
    expectSame("two pixels far apart");
    EXPECT_EQ(partAreas.size(), 2u);

    both([](TImage32* img) { img->Repaint(); });
    expectSame("nothing changed");
    EXPECT_TRUE(partAreas.empty());

    both([](TImage32* img) { img->Bitmap()->Clear(0xFF808080); });
    expectSame("everything changed");

    refuse = true;
    both([](TImage32* img) { img->Bitmap()->FillRectPlain(30, 30, 40, 35, 0xFFFF0000); });
    expectSame("a part refused");
    ASSERT_FALSE(partAreas.empty());
    EXPECT_EQ(partAreas.back(), part.Buffer()->GetBounds());
    refuse = false;

    both([](TImage32* img) {
        img->Layers()->Items(0)->SetLayerOptions(img->Layers()->Items(0)->LayerOptions());
        img->Bitmap()->FillRectPlain(0, 0, 5, 5, 0xFF0000FF);
    });
    expectSame("a layer change");
    ASSERT_FALSE(partAreas.empty());
    EXPECT_EQ(partAreas.back().Width() * partAreas.back().Height(), bufferArea);

    both([](TImage32* img) {
        img->SetOffsetHorz(5);
        img->Bitmap()->FillRectPlain(20, 20, 22, 22, 0xFF00FFFF);
    });
    expectSame("the bitmap moved");
    both([](TImage32* img) {
        img->resize(90, 100);
        img->Bitmap()->FillRectPlain(40, 60, 44, 62, 0xFFFFFF00);
    });
    expectSame("a larger control");
    both([](TImage32* img) { img->Bitmap()->FillRectPlain(41, 61, 42, 62, 0xFF000000); });
    expectSame("a small change after the resize");
    ASSERT_EQ(partAreas.size(), 1u);
    EXPECT_EQ(partAreas[0], Rect(46, 65, 47, 66));
}
