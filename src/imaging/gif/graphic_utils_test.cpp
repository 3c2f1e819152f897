#include "imaging/gif/graphic_utils.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/cursors.h"
#include "framework/graphics.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QWidget>
#include <gtest/gtest.h>

TEST(GraphicUtils, IntegersRectanglesAndBytes)
{
    int a = 3, b = 9;
    SwapIntegers(a, b);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(MaxInteger(-2, 5), 5);
    EXPECT_EQ(MinInteger(-2, 5), -2);
    const TRect r = Rect(1, 2, 11, 22);
    EXPECT_EQ(RectWidth(r), 10);
    EXPECT_EQ(RectHeight(r), 20);
    EXPECT_TRUE(IsPointWithinBounds({11, 22}, r)) << "right and bottom edges are inside";
    EXPECT_TRUE(IsPointWithinBounds({1, 2}, r));
    EXPECT_FALSE(IsPointWithinBounds({12, 5}, r));

    EXPECT_EQ(AllocGlobalBlock(0), nullptr);
    void* block = AllocGlobalBlock(7);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(SameBytes(block, "\0\0\0\0\0\0\0", 7));
    MoveBytes(block, "abcdefg", 7);
    MoveBytes(OffsetPointer(block, 1), block, 6);
    EXPECT_TRUE(SameBytes(block, "aabcdef", 7));
    FreeGlobalBlock(block);
    EXPECT_EQ(block, nullptr);
}

TEST(GraphicUtils, VersionTextLayout)
{
    EXPECT_EQ(FormatKernelVersion("6.1.0-18-amd64"), "Linux 6.01.000 18-amd64");
    EXPECT_EQ(FormatKernelVersion("5.15.2600"), "Linux 5.15.2600");
    EXPECT_TRUE(FormatWindowsVersion().startsWith("Linux "));
}

TEST(GraphicUtils, WaitCursorNests)
{
    SetApplicationCursor(crCross);
    BeginWaitCursor();
    BeginWaitCursor();
    EndWaitCursor();
    EXPECT_EQ(ApplicationCursor(), crHourGlass);
    EndWaitCursor();
    EXPECT_EQ(ApplicationCursor(), crCross);
    SetApplicationCursor(crArrow);
    EndWaitCursor();
    EXPECT_EQ(ApplicationCursor(), crArrow) << "an unpaired end changes nothing";
    EXPECT_EQ(WaitCursorNesting(), 0);
    SetApplicationCursor(crDefault);
}

TEST(GraphicUtils, TextIsShortenedWithEllipsis)
{
    TBitmap b(200, 20);
    TCanvas* c = b.Canvas();
    EXPECT_EQ(FitTextWithEllipsis("fits", c, 200), "fits");
    const QString ten = "WWWWWWWWWW";
    const QString first = FitTextWithEllipsis(ten, c, c->TextWidth("WWWWWWWW..."));
    EXPECT_EQ(first, "WWWWWWWW...") << "the first shortening drops two characters";
    EXPECT_EQ(FitTextWithEllipsis(ten, c, 1), "...");
}

TEST(GraphicUtils, TransparentDrawingLeavesTheKeyColourOut)
{
    TBitmap source(2, 2, pf24bit);
    source.SetPixelArgb(0, 0, 0xFFFF00FF);
    source.SetPixelArgb(1, 0, 0xFF112233);
    source.SetPixelArgb(0, 1, 0xFF445566);
    source.SetPixelArgb(1, 1, 0xFFFF00FF);
    TBitmap target(4, 4, pf24bit);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(Rect(0, 0, 4, 4));
    // A target width of 0 draws at the bitmap's own width.
    DrawBitmapTransparent(target.Canvas(), 1, 1, 0, 0, &source, 0, 0, 0, 0, clFuchsia);
    target.Canvas()->FinishDrawing();
    EXPECT_EQ(target.PixelArgb(1, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(target.PixelArgb(2, 1) & 0xFFFFFF, 0x112233u);
    EXPECT_EQ(target.PixelArgb(1, 2) & 0xFFFFFF, 0x445566u);
    EXPECT_EQ(target.PixelArgb(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(target.PixelArgb(3, 3) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(GraphicUtils, DisabledBitmapShowsTheShapeInShadowAndHighlight)
{
    TBitmap glyph(3, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            glyph.SetPixelArgb(x, y, 0xFFC0C0C0);
    glyph.SetPixelArgb(1, 1, 0xFF000000);
    std::unique_ptr<TBitmap> d(MakeDisabledBitmapEx(&glyph, 0xC0C0C0, 0x0000FF, true, 0x00FF00, 0xFF0000));
    EXPECT_EQ(d->PixelArgb(1, 1) & 0xFFFFFF, 0x00FF00u) << "shape in the shadow colour";
    EXPECT_EQ(d->PixelArgb(2, 2) & 0xFFFFFF, 0x0000FFu) << "highlight one pixel right and down";
    EXPECT_EQ(d->PixelArgb(0, 0) & 0xFFFFFF, 0xFF0000u) << "face elsewhere";
}

TEST(GraphicUtils, ReductionOfBitmapsByFormat)
{
    TBitmap b(5, 3, pf24bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            b.SetPixelArgb(x, y, 0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 100));
    struct Case {
        TPixelFormat format;
        int bits;
    } cases[] = {{pf8bit, 8}, {pf4bit, 4}, {pf1bit, 1}, {pf24bit, 24}};
    for (const Case& c : cases) {
        std::unique_ptr<TMemoryStream> s(ReduceBitmapColors(&b, c.format, MethodTrunc666));
        EXPECT_EQ(s->Position(), 0);
        TDibInfo info;
        ASSERT_TRUE(ParseDib(s->Bytes(), info));
        EXPECT_EQ(info.BitCount, c.bits);
        EXPECT_EQ(info.Width, 5);
    }
    std::unique_ptr<TMemoryStream> same(ReduceBitmapColors(&b, pf24bit, MethodGrayscale));
    TBitmap back;
    back.LoadFromStream(same.get());
    EXPECT_EQ(back.PixelArgb(4, 2), b.PixelArgb(4, 2)) << "24 bits come back unchanged";

    QString shown;
    ShowInformationMessage = [&](const QString& text) { shown = text; };
    EXPECT_THROW(ReduceBitmapColors(&b, pf16bit, MethodFrequency), EAbort);
    EXPECT_EQ(shown, "Function not yet implemented");
    TBitmap empty;
    EXPECT_THROW(ReduceBitmapColors(&empty, pf8bit, MethodFrequency), EInvalidGraphic);
}

// Reduction to 256 colours copies the picture straight into the rows it reduces; the image is
// byte for byte the one made from the bitmap's 24-bit BMP image, for every source depth, odd
// widths and every method.
TEST(GraphicUtils, ReductionToEightBitsMatchesTheReductionOfTheTwentyFourBitImage)
{
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit})
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {7, 5}, {33, 9}}) {
            TBitmap b(w, h, format);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    b.SetPixelArgb(x, y, uint32_t(x * 37 + y * 11) << 24 | uint32_t(x * 53) << 16 |
                                             uint32_t(y * 97 + x) << 8 | uint32_t(x * y * 29));
            const QByteArray dib24 = BitmapToDIBFile(&b, nullptr, pf24bit);
            for (uint8_t method = MethodFrequency; method <= MethodGrayscale; ++method) {
                SCOPED_TRACE(testing::Message() << "bits " << b.BitsPerPixel() << " " << w << "x" << h
                                                << " method " << int(method));
                if (format == pf8bit && method != MethodGrayscale)
                    continue; // already 8 bits: saved as it is
                std::unique_ptr<TMemoryStream> s(ReduceBitmapColors(&b, pf8bit, method));
                ASSERT_EQ(s->Bytes(), ReduceDib24To8(dib24, method));
            }
        }
}

namespace {

// The visible focus frames on the screen.
QList<QWidget*> ScreenFrames()
{
    QList<QWidget*> frames;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("ScreenFocusFrame") && w->isVisible())
            frames << w;
    return frames;
}

class TEventRecorder : public QObject {
public:
    QList<int> Seen;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Quit || e->type() >= QEvent::User) {
            Seen << e->type();
            return true; // a quit request must not end the tests
        }
        return false;
    }
};

} // namespace

TEST(GraphicUtils, ScreenFocusFrameIsDrawnNestedAndTakenAwayByDrawingItAgain)
{
    const TRect r = Rect(20, 30, 60, 55);
    DrawScreenFocusFrame(r, 3);
    const QList<QWidget*> shown = ScreenFrames();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0]->geometry(), QRect(20, 30, 40, 25));
    // The window shows the three rectangles' lines and lets the screen show through inside them.
    const QRegion lines = shown[0]->mask();
    for (int i = 0; i < 3; ++i)
        for (const QPoint p : {QPoint(10, i), QPoint(i, 12), QPoint(39 - i, 12), QPoint(10, 24 - i)})
            EXPECT_TRUE(lines.contains(p)) << "rectangle " << i << " at " << p.x() << "," << p.y();
    EXPECT_FALSE(lines.intersects(QRect(3, 3, 34, 19)));
    // Dotted: black dots on white along each line.
    const QImage image = shown[0]->grab().toImage();
    QSet<QRgb> top;
    for (int x = 0; x < image.width(); ++x)
        top.insert(image.pixel(x, 0) & 0xFFFFFFu);
    EXPECT_EQ(top, (QSet<QRgb>{0u, 0xFFFFFFu}));

    // Another frame comes beside it; each goes when it is drawn again.
    DrawScreenFocusFrame(Rect(0, 0, 10, 10), 1);
    EXPECT_EQ(ScreenFrames().size(), 2);
    DrawScreenFocusFrame(r, 3);
    ASSERT_EQ(ScreenFrames().size(), 1);
    EXPECT_EQ(ScreenFrames()[0]->geometry(), QRect(0, 0, 10, 10));
    DrawScreenFocusFrame(Rect(0, 0, 10, 10), 1);
    EXPECT_TRUE(ScreenFrames().isEmpty());
}

// One posted event is removed and the others of its type stay queued; a quit request that is
// removed is posted again.
TEST(GraphicUtils, DiscardPendingMessageRemovesOneAndPostsAQuitAgain)
{
    const int a = QEvent::User + 1, b = QEvent::User + 2;
    const struct {
        const char* Name;
        QList<int> Posted; // to the application
        int Discarded;
        QList<int> Delivered;
    } cases[] = {
        {"one of its type", {a, b, a}, a, {b, a}},
        {"the first of any type", {b, a}, 0, {a}},
        {"a quit request", {QEvent::Quit, a}, QEvent::Quit, {a, QEvent::Quit}},
        {"a quit request removed as the first of any type", {QEvent::Quit, a}, 0, {a, QEvent::Quit}},
        {"nothing of the type", {a}, b, {a}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.Name);
        TEventRecorder recorder;
        qApp->installEventFilter(&recorder);
        for (int type : t.Posted)
            QCoreApplication::postEvent(qApp, new QEvent(QEvent::Type(type)));
        DiscardPendingMessage(qApp, t.Discarded);
        EXPECT_TRUE(recorder.Seen.isEmpty()) << "nothing is delivered by the call";
        QCoreApplication::sendPostedEvents(qApp, 0);
        EXPECT_EQ(recorder.Seen, t.Delivered);
        qApp->removeEventFilter(&recorder);
    }

    // For one receiver only: the events of another stay as they are.
    TEventRecorder mine, other;
    QObject me, you;
    me.installEventFilter(&mine);
    you.installEventFilter(&other);
    QCoreApplication::postEvent(&you, new QEvent(QEvent::Type(a)));
    QCoreApplication::postEvent(&me, new QEvent(QEvent::Type(a)));
    QCoreApplication::postEvent(&me, new QEvent(QEvent::Type(a)));
    DiscardPendingMessage(&me, a);
    QCoreApplication::sendPostedEvents(nullptr, 0);
    EXPECT_EQ(mine.Seen, QList<int>{a});
    EXPECT_EQ(other.Seen, QList<int>{a});
}

