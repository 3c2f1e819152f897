// Blends of whole images and rectangles on TBitmap32 beside the same work done by QPainter
// (SourceOver) in the same program, so the ratio shows.

#include "imaging/bitmap/bitmap32.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <random>

namespace {

void FillNoise(TColor32* p, int n, unsigned seed)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < n; ++i)
        p[i] = rng();
}

// A source with every alpha value (the hard case: no all-opaque or all-clear runs).
void Sources(TBitmap32& src, TBitmap32& dst, int side)
{
    src.SetSize(side, side);
    dst.SetSize(side, side);
    FillNoise(src.Bits(), side * side, 1);
    FillNoise(dst.Bits(), side * side, 2);
}

QImage NoiseImage(int side, unsigned seed, QImage::Format format)
{
    QImage img(side, side, QImage::Format_ARGB32);
    FillNoise(reinterpret_cast<TColor32*>(img.bits()), side * side, seed);
    return img.convertToFormat(format);
}

void BM_BlendLine(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 src, dst;
    Sources(src, dst, side);
    for (auto _ : state) {
        for (int y = 0; y < side; ++y)
            BlendSpan(src.RowAddress(y), dst.RowAddress(y), side);
        benchmark::DoNotOptimize(dst.Bits());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

void BM_BlendMem(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 src, dst;
    Sources(src, dst, side);
    const int n = side * side;
    for (auto _ : state) {
        const TColor32* s = src.Bits();
        TColor32* d = dst.Bits();
        for (int i = 0; i < n; ++i)
            BlendInto(s[i], d[i]);
        benchmark::DoNotOptimize(dst.Bits());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The per-pixel path as drawing code uses it: one blended pixel at a time over the whole bitmap.
void BM_BlendPixel(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 src, dst;
    Sources(src, dst, side);
    for (auto _ : state) {
        for (int y = 0; y < side; ++y) {
            const TColor32* s = src.RowAddress(y);
            for (int x = 0; x < side; ++x)
                dst.BlendPixel(x, y, s[x]);
        }
        benchmark::DoNotOptimize(dst.Bits());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

// The same through the routine's pointer, as every call went before the slot ran it inline.
void BM_BlendIntoPointer(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 src, dst;
    Sources(src, dst, side);
    const int n = side * side;
    TBlendInto volatile routine = BlendInto;
    const TBlendInto blend = routine;
    for (auto _ : state) {
        const TColor32* s = src.Bits();
        TColor32* d = dst.Bits();
        for (int i = 0; i < n; ++i)
            blend(s[i], d[i]);
        benchmark::DoNotOptimize(dst.Bits());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_DrawBitmapBlend(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 src, dst;
    Sources(src, dst, side);
    src.SetDrawMode(dmBlend);
    for (auto _ : state)
        dst.DrawBitmap(0, 0, &src);
    state.SetItemsProcessed(state.iterations() * side * side);
}

void BM_FillRectBlend(benchmark::State& state)
{
    const int side = int(state.range(0));
    TBitmap32 dst;
    dst.SetSize(side, side);
    FillNoise(dst.Bits(), side * side, 3);
    for (auto _ : state)
        dst.FillRectBlend(0, 0, side, side, 0x80FF4020);
    state.SetItemsProcessed(state.iterations() * side * side);
}

void QtDrawImage(benchmark::State& state, QImage::Format format)
{
    const int side = int(state.range(0));
    const QImage src = NoiseImage(side, 1, format);
    QImage dst = NoiseImage(side, 2, format);
    for (auto _ : state) {
        QPainter p(&dst);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawImage(0, 0, src);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

void QtFillRect(benchmark::State& state, QImage::Format format)
{
    const int side = int(state.range(0));
    QImage dst = NoiseImage(side, 3, format);
    const QColor c(0xFF, 0x40, 0x20, 0x80);
    for (auto _ : state) {
        QPainter p(&dst);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillRect(0, 0, side, side, c);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

void BM_QPainterDrawImage_ARGB32(benchmark::State& s) { QtDrawImage(s, QImage::Format_ARGB32); }
void BM_QPainterDrawImage_Premultiplied(benchmark::State& s) { QtDrawImage(s, QImage::Format_ARGB32_Premultiplied); }
void BM_QPainterFillRect_ARGB32(benchmark::State& s) { QtFillRect(s, QImage::Format_ARGB32); }
void BM_QPainterFillRect_Premultiplied(benchmark::State& s) { QtFillRect(s, QImage::Format_ARGB32_Premultiplied); }

} // namespace

BENCHMARK(BM_BlendLine)->Arg(256)->Arg(1024);
BENCHMARK(BM_BlendMem)->Arg(256)->Arg(1024);
BENCHMARK(BM_BlendPixel)->Arg(256)->Arg(1024);
BENCHMARK(BM_BlendIntoPointer)->Arg(256)->Arg(1024);
BENCHMARK(BM_DrawBitmapBlend)->Arg(256)->Arg(1024);
BENCHMARK(BM_QPainterDrawImage_ARGB32)->Arg(256)->Arg(1024);
BENCHMARK(BM_QPainterDrawImage_Premultiplied)->Arg(256)->Arg(1024);
BENCHMARK(BM_FillRectBlend)->Arg(256)->Arg(1024);
BENCHMARK(BM_QPainterFillRect_ARGB32)->Arg(256)->Arg(1024);
BENCHMARK(BM_QPainterFillRect_Premultiplied)->Arg(256)->Arg(1024);

BENCHMARK_MAIN();
