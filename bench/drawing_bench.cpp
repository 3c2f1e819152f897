// The shape tools' commits and the paint bucket on a 255 x 255 format, each beside QPainter
// drawing the same shape on a 255 x 255 ARGB image, so the ratio shows. An engine commit also
// rebuilds the backdrop canvas (here at zoom 1), which the QPainter side does not do.

#include "drawing/ellipse_tool.h"
#include "drawing/filled_ellipse_tool.h"
#include "drawing/filled_rectangle_tool.h"
#include "drawing/frame3d_tool.h"
#include "drawing/paint_bucket.h"
#include "drawing/rectangle_tool.h"
#include "drawing/testing_drawing_target.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kSide = 255;
const QColor kPrimary(200, 30, 30);
const QColor kSecondary(30, 30, 200);

std::unique_ptr<TTestingDrawingTarget> Target(const QString& kind, int tool, int style, int penWidth)
{
    auto t = std::make_unique<TTestingDrawingTarget>(kSide, kSide, kind, 1);
    t->CurrentTool = tool;
    t->FillStyle = style;
    t->PenWidth = penWidth;
    t->SetPrimary(255, 200, 30, 30);
    t->SetSecondary(255, 30, 30, 200);
    return t;
}

void RunCommit(benchmark::State& state, TDrawingEngine commit, const QString& kind, int tool, int style, int pen)
{
    auto t = Target(kind, tool, style, pen);
    t->Press(10, 10);
    t->MoveTo(244, 244);
    t->Release();
    for (auto _ : state)
        commit(*t, QStringLiteral("dorvelt"));
}

template <typename Draw>
void RunPainter(benchmark::State& state, bool antialias, Draw draw)
{
    QImage img(kSide, kSide, QImage::Format_ARGB32);
    img.fill(0);
    for (auto _ : state) {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, antialias);
        draw(p);
    }
    benchmark::DoNotOptimize(img.constBits());
}

const QRect kBox(10, 10, 234, 234);

// What every commit costs around its figure: the backdrop rebuilt and the format drawn over it
// (a drag that keeps its start's column has no figure).
void BM_CommitWithoutFigure(benchmark::State& s)
{
    auto t = Target("XP", 6, 1, 1);
    t->Press(10, 10);
    t->MoveTo(10, 244);
    t->Release();
    for (auto _ : s)
        FilledRectangleCommit(*t, QStringLiteral("dorvelt"));
}
BENCHMARK(BM_CommitWithoutFigure);

void BM_RectangleEngine(benchmark::State& s) { RunCommit(s, RectangleCommit, "16.8M", 5, 1, 3); }
void BM_RectanglePainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        p.setPen(QPen(kPrimary, 3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawRect(kBox);
    });
}
BENCHMARK(BM_RectangleEngine);
BENCHMARK(BM_RectanglePainter);

void BM_FilledRectangleSolidEngine(benchmark::State& s) { RunCommit(s, FilledRectangleCommit, "XP", 6, 1, 1); }
void BM_FilledRectangleSolidPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) { p.fillRect(kBox, kPrimary); });
}
BENCHMARK(BM_FilledRectangleSolidEngine);
BENCHMARK(BM_FilledRectangleSolidPainter);

void BM_FilledRectangleGradientEngine(benchmark::State& s) { RunCommit(s, FilledRectangleCommit, "XP", 6, 2, 1); }
void BM_FilledRectangleGradientPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        QLinearGradient g(0, 9, 0, 245);
        g.setColorAt(0, kPrimary);
        g.setColorAt(1, kSecondary);
        p.fillRect(kBox, g);
    });
}
BENCHMARK(BM_FilledRectangleGradientEngine);
BENCHMARK(BM_FilledRectangleGradientPainter);

void BM_DiamondEngine(benchmark::State& s) { RunCommit(s, FilledRectangleCommit, "XP", 6, 7, 1); }
void BM_DiamondPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        for (int k = 0; 2 * k < kBox.width(); ++k)
            p.fillRect(kBox.adjusted(k, k, -k, -k), QColor(200 - k, 30, 30 + k));
    });
}
BENCHMARK(BM_DiamondEngine);
BENCHMARK(BM_DiamondPainter);

void BM_EllipseAliasedEngine(benchmark::State& s) { RunCommit(s, EllipseCommit, "16.8M", 7, 1, 3); }
void BM_EllipseAliasedPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        p.setPen(QPen(kPrimary, 3));
        p.drawEllipse(kBox);
    });
}
BENCHMARK(BM_EllipseAliasedEngine);
BENCHMARK(BM_EllipseAliasedPainter);

void BM_EllipseSmoothEngine(benchmark::State& s) { RunCommit(s, EllipseCommit, "XP", 7, 1, 3); }
void BM_EllipseSmoothPainter(benchmark::State& s)
{
    RunPainter(s, true, [](QPainter& p) {
        p.setPen(QPen(kPrimary, 3));
        p.drawEllipse(QRectF(kBox).translated(0.5, 0.5));
    });
}
BENCHMARK(BM_EllipseSmoothEngine);
BENCHMARK(BM_EllipseSmoothPainter);

void BM_FilledEllipseAliasedEngine(benchmark::State& s) { RunCommit(s, FilledEllipseCommit, "16.8M", 8, 1, 1); }
void BM_FilledEllipseAliasedPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kPrimary);
        p.drawEllipse(kBox);
    });
}
BENCHMARK(BM_FilledEllipseAliasedEngine);
BENCHMARK(BM_FilledEllipseAliasedPainter);

void BM_FilledEllipseSmoothEngine(benchmark::State& s) { RunCommit(s, FilledEllipseCommit, "XP", 8, 1, 1); }
void BM_FilledEllipseSmoothPainter(benchmark::State& s)
{
    RunPainter(s, true, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kPrimary);
        p.drawEllipse(QRectF(kBox).translated(0.5, 0.5));
    });
}
BENCHMARK(BM_FilledEllipseSmoothEngine);
BENCHMARK(BM_FilledEllipseSmoothPainter);

void BM_Frame3DEngine(benchmark::State& s) { RunCommit(s, Frame3DCommit, "XP", 11, 1, 5); }
void BM_Frame3DPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) {
        const int x = kBox.x(), y = kBox.y(), w = kBox.width(), h = kBox.height();
        p.setPen(kPrimary);
        for (int i = 0; i <= 2; ++i) {
            p.drawLine(x + i, y + i, x + i, y + h - i);
            p.drawLine(x + i, y + i, x + w - i, y + i);
        }
        p.setPen(kSecondary);
        for (int i = 0; i <= 2; ++i) {
            p.drawLine(x + w - i, y + h - i, x + w - i, y + i);
            p.drawLine(x + w - i, y + h - i, x + i, y + h - i);
        }
    });
}
BENCHMARK(BM_Frame3DEngine);
BENCHMARK(BM_Frame3DPainter);

// The bucket fills a 255 x 255 area of one colour, the whole format.
void BM_BucketEngine(benchmark::State& s)
{
    auto t = Target("XP", 3, 1, 1);
    t->Press(128, 128);
    for (auto _ : s) {
        t->Fill(0);
        BucketFill(*t);
    }
}
void BM_BucketPainter(benchmark::State& s)
{
    RunPainter(s, false, [](QPainter& p) { p.fillRect(QRect(0, 0, kSide, kSide), kPrimary); });
}
BENCHMARK(BM_BucketEngine);
BENCHMARK(BM_BucketPainter);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
