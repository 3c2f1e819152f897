// A 64 x 64 bitmap stretched to 1024 x 1024 by each filter of the scaled transfer, beside
// QImage::scaled (fast and smooth) on the same pixels in the same program, so the ratio shows.

#include "imaging/bitmap/transforms.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int Source = 64;
constexpr int Target = 1024;

void Noise(TColor32* p, int n)
{
    std::mt19937 rng(1);
    for (int i = 0; i < n; ++i)
        p[i] = rng();
}

void BM_StretchOnto(benchmark::State& state)
{
    TBitmap32 src, dst;
    src.SetSize(Source, Source);
    Noise(src.Bits(), Source * Source);
    src.SetStretchFilter(TStretchFilter(state.range(0)));
    src.SetDrawMode(state.range(1) ? dmBlend : dmOpaque);
    dst.SetSize(Target, Target);
    for (auto _ : state) {
        src.StretchOnto(&dst, dst.GetBounds());
        benchmark::DoNotOptimize(dst.Bits());
    }
    state.SetItemsProcessed(state.iterations() * Target * Target);
}

void BM_QImageScaled(benchmark::State& state)
{
    QImage src(Source, Source, QImage::Format_ARGB32);
    Noise(reinterpret_cast<TColor32*>(src.bits()), Source * Source);
    const auto mode = state.range(0) ? Qt::SmoothTransformation : Qt::FastTransformation;
    for (auto _ : state) {
        QImage out = src.scaled(Target, Target, Qt::IgnoreAspectRatio, mode);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Target * Target);
}

} // namespace

// Filters: 0 nearest, 1 linear, 2 spline, 3 Lanczos, 4 Mitchell; second argument 1 blends.
BENCHMARK(BM_StretchOnto)->ArgNames({"filter", "blend"})->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
// 0 fast, 1 smooth.
BENCHMARK(BM_QImageScaled)->ArgName("smooth")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
