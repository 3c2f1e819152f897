// The image commands that resample a whole 255 x 255 format: rotation by an angle and the resize
// inside the format, each beside QImage's own transform and scale of the same pixels in the same
// program, so the ratio shows.

#include "document/image_commands.h"

#include <QImage>
#include <QTransform>
#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int Side = 255;
constexpr int Angle = 30;
constexpr int NewSide = 200;

QImage Noise()
{
    QImage img(Side, Side, QImage::Format_ARGB32);
    std::mt19937 rng(1);
    for (int y = 0; y < Side; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        for (int x = 0; x < Side; ++x)
            line[x] = rng();
    }
    return img;
}

void BM_RotatedCopy(benchmark::State& state)
{
    GpBitmap* format = GdipImageFromQImage(Noise());
    for (auto _ : state) {
        GpBitmap* out = RotatedCopy(format, Angle);
        benchmark::DoNotOptimize(out);
        GdipDisposeImage(out);
    }
    GdipDisposeImage(format);
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

void BM_QImageTransformed(benchmark::State& state)
{
    const QImage src = Noise();
    const QTransform turn = QTransform().rotate(Angle);
    for (auto _ : state) {
        QImage out = src.transformed(turn, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

// Shrinking (state.range(0) = 0) and growing (1), which cuts the edges off.
void BM_ResizedCopy(benchmark::State& state)
{
    GpBitmap* format = GdipImageFromQImage(Noise());
    const int side = state.range(0) ? 2 * Side - NewSide : NewSide;
    for (auto _ : state) {
        GpBitmap* out = ResizedCopy(format, side, side);
        benchmark::DoNotOptimize(out);
        GdipDisposeImage(out);
    }
    GdipDisposeImage(format);
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

void BM_QImageScaled(benchmark::State& state)
{
    const QImage src = Noise();
    const int side = state.range(0) ? 2 * Side - NewSide : NewSide;
    for (auto _ : state) {
        QImage out = src.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

} // namespace

BENCHMARK(BM_RotatedCopy);
BENCHMARK(BM_QImageTransformed);
BENCHMARK(BM_ResizedCopy)->Arg(0)->Arg(1);
BENCHMARK(BM_QImageScaled)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
