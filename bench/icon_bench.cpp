// Loading a multi-image .ico and decoding every image: the alpha icon picture beside Qt's own ICO
// reader on the same bytes. The closing line gives the ratio of their CPU times (below 1: ours is
// faster).
#include "framework/streams.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

// 16 to 48 pixels at 4, 8 and 32 bits, 64 and 128 at 32 bits, and a 256-pixel PNG: the make-up of
// a typical current icon file.
QByteArray MakeTypicalIcon()
{
    using namespace icontest;
    std::vector<Image> images;
    auto picture = [](int size, int x, int y) {
        const int r = 255 * x / size, g = 255 * y / size, b = 255 - r;
        const int dx = 2 * x - size, dy = 2 * y - size;
        const int a = dx * dx + dy * dy < size * size ? 255 : 0;
        return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    };
    for (int bits : {4, 8, 32})
        for (int size : {16, 24, 32, 48}) {
            Dib d;
            d.Width = d.Height = size;
            d.Bits = bits;
            if (bits <= 8)
                for (uint32_t i = 0; i < (1u << bits); ++i)
                    d.Palette.push_back(i * 0x010101u * (bits == 4 ? 17 : 1));
            d.Pixel = [=](int x, int y) {
                const uint32_t c = picture(size, x, y);
                return bits <= 8 ? (c & 0xFF) >> (8 - bits) : c;
            };
            d.Mask = [=](int x, int y) { return (picture(size, x, y) >> 24) == 0; };
            images.push_back(MakeImage(d));
        }
    for (int size : {64, 128}) {
        Dib d;
        d.Width = d.Height = size;
        d.Pixel = [=](int x, int y) { return picture(size, x, y); };
        images.push_back(MakeImage(d));
    }
    QImage big(256, 256, QImage::Format_ARGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            big.setPixel(x, y, picture(256, x, y));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    big.save(&buf, "PNG");
    images.push_back({png, 0, 0, 32, 0});
    return MakeIco(images);
}

const QByteArray& TypicalIcon()
{
    static const QByteArray bytes = MakeTypicalIcon();
    return bytes;
}

void BM_IconXPLoadAll(benchmark::State& state)
{
    const QByteArray& bytes = TypicalIcon();
    for (auto _ : state) {
        TMemoryStream stream(bytes);
        TIconXP icon;
        icon.LoadFromStream(&stream);
        benchmark::DoNotOptimize(icon.Formats()->GetItem(icon.Formats()->Count() - 1)->Pixels().data());
        if (icon.Formats()->Count() != 15)
            state.SkipWithError("not every image decoded");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_IconXPLoadAll);

void BM_QtIcoReaderLoadAll(benchmark::State& state)
{
    const QByteArray& bytes = TypicalIcon();
    for (auto _ : state) {
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        QImageReader reader(&buf, "ico");
        int n = 0;
        do {
            QImage img = reader.read();
            benchmark::DoNotOptimize(img.constBits());
            n += !img.isNull();
        } while (reader.jumpToNextImage());
        if (n != 15)
            state.SkipWithError("Qt's reader did not decode every image");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_QtIcoReaderLoadAll);

// Prints the runs as usual and, at the end, the time of ours over the time of Qt's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the median stands for the benchmark; otherwise its one run.
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (median || (r.run_type == Run::RT_Iteration && !medians_.count(r.run_name.function_name)))
                perIteration_[r.run_name.function_name] = r.GetAdjustedCPUTime();
            if (median)
                medians_.insert(r.run_name.function_name);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        auto ours = perIteration_.find("BM_IconXPLoadAll");
        auto qt = perIteration_.find("BM_QtIcoReaderLoadAll");
        if (ours != perIteration_.end() && qt != perIteration_.end() && qt->second > 0)
            std::printf("TIconXP / Qt ICO reader time ratio: %.3f\n", ours->second / qt->second);
    }

private:
    std::map<std::string, double> perIteration_;
    std::set<std::string> medians_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
