// The preview of every effect of the Effects and Filters menus on a 255 x 255 format, as a
// slider release computes it (the work copy loaded, the operations run, alpha put back), and
// beside it the bare Magick++ operation where the effect is one, on the same pixels. A slider
// keeps up while one preview fits in a 16 ms frame.

#include "framework/magick_bridge.h"
#include "imaging/toolkit/imaging_control.h"
#include "imaging/toolkit/imaging_files.h"
#include "mainwindow/effect_table.h"

#include <Magick++.h>
#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <random>

namespace {

using MagickCore::Quantum;

constexpr int Side = 255;

// Colour noise with a transparent border and a half-transparent band, as an icon has.
TRGBABuffer Picture()
{
    TRGBABuffer p;
    p.Width = p.Height = Side;
    p.Pixels.resize(size_t(Side) * Side * 4);
    std::mt19937 rng(1);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            uint8_t* d = p.Pixels.data() + (size_t(y) * Side + x) * 4;
            const uint32_t r = rng();
            d[0] = uint8_t(r), d[1] = uint8_t(r >> 8), d[2] = uint8_t(r >> 16);
            const bool border = x < 16 || y < 16 || x >= Side - 16 || y >= Side - 16;
            d[3] = border ? 0 : (y < 64 ? 128 : 255);
        }
    return p;
}

TSliderPositions Defaults(const TEffectSpec& e)
{
    TSliderPositions s{};
    for (int k = 0; k < SliderCount(e.Layout); ++k)
        s[size_t(k)] = e.Sliders[size_t(k)].Default;
    return s;
}

void Preview(benchmark::State& state, const TEffectSpec* e)
{
    const TRGBABuffer source = Picture();
    ImagingControl control;
    const TSliderPositions s = Defaults(*e);
    uint32_t seed = 1;
    for (auto _ : state) {
        TRGBABuffer out = ComputeEffect(*e, control, source, s, 0x00FF00FF, seed++);
        benchmark::DoNotOptimize(out.Pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

using MagickOp = std::function<void(Magick::Image&)>;

void Convolve(Magick::Image& m, std::initializer_list<double> k)
{
    double sum = 0;
    for (double v : k)
        sum += v;
    std::vector<double> n;
    for (double v : k)
        n.push_back(v / sum);
    m.convolve(3, n.data());
}

// The library's operation behind the effects that are one, at the slider defaults.
const std::map<int, MagickOp>& MagickOps()
{
    static const std::map<int, MagickOp> ops = {
        {57, [](Magick::Image& m) { m.negate(false); }},
        {21, [](Magick::Image& m) { m.blur(0, 1.0); }},
        {22, [](Magick::Image& m) { Convolve(m, {1, 1, 1, 1, 8, 1, 1, 1, 1}); }},
        {25, [](Magick::Image& m) { Convolve(m, {1, 2, 1, 2, 12, 2, 1, 2, 1}); }},
        {23, [](Magick::Image& m) { m.sharpen(0, 1.0); }},
        {24, [](Magick::Image& m) { m.blur(0, 2.0); }},
        {5, [](Magick::Image& m) { m.type(Magick::GrayscaleMatteType); }},
        {26,
         [](Magick::Image& m) {
             m.edge(1.0);
             m.negate(false);
         }},
        {2,
         [](Magick::Image& m) {
             m.brightnessContrast(0, 0);
             m.brightnessContrast(20, 0);
         }},
        {48, [](Magick::Image& m) { m.solarize(1 * (QuantumRange / 255.0)); }},
        {56, [](Magick::Image& m) { m.spread(5); }},
        {344, [](Magick::Image& m) { m.spread(2); }},
        {42, [](Magick::Image& m) { m.swirl(150); }},
        {406,
         [](Magick::Image& m) {
             m.attenuate(10);
             m.addNoise(Magick::UniformNoise);
         }},
        {1, [](Magick::Image& m) { m.modulate(100, 100, 100); }},
        {4, [](Magick::Image& m) { m.gamma(1.2); }},
    };
    return ops;
}

void Peer(benchmark::State& state, const MagickOp* op)
{
    InitializeImaging();
    Magick::Image base;
    base.quiet(true);
    RGBAToMagick(Picture(), base);
    for (auto _ : state) {
        Magick::Image m = base;
        (*op)(m);
        benchmark::DoNotOptimize(m.getConstPixels(0, 0, 1, 1));
    }
    state.SetItemsProcessed(state.iterations() * Side * Side);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitializeImaging();
    for (const TEffectSpec& e : EffectTable()) {
        const std::string name = std::to_string(e.Code) + "_" + e.Component;
        benchmark::RegisterBenchmark(("BM_EffectPreview/" + name).c_str(), Preview, &e)->Unit(benchmark::kMillisecond);
        if (auto op = MagickOps().find(e.Code); op != MagickOps().end())
            benchmark::RegisterBenchmark(("BM_MagickOp/" + name).c_str(), Peer, &op->second)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
