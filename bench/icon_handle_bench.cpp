// Icon decoding and drawing, the work behind every icon opened: our DIB and PNG icon decoder beside
// Qt's own BMP and PNG readers on the same pixels, and icon drawing beside a plain image draw.
// Compare each pair's times: the ratio is the figure of merit.
#include "platform/icon_handle.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

QImage Picture(int side)
{
    QImage img(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            img.setPixel(x, y, qRgba(x * 255 / side, y * 255 / side, (x ^ y) & 255, (x + y) * 255 / (2 * side)));
    return img;
}

QByteArray Encode(const QImage& img, const char* format)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return out;
}

// A 32-bit icon image: header, bottom-up BGRA rows, AND mask.
QByteArray Dib32(const QImage& img)
{
    const int side = img.width();
    const int maskStride = ((side + 31) / 32) * 4;
    QByteArray out(40 + side * side * 4 + maskStride * side, '\0');
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    const int32_t header[3] = {40, side, 2 * side};
    std::memcpy(p, header, sizeof header);
    p[12] = 1;
    p[14] = 32;
    for (int y = 0; y < side; ++y)
        std::memcpy(p + 40 + (side - 1 - y) * side * 4, img.constScanLine(y), size_t(side) * 4);
    return out;
}

struct TData {
    QByteArray Dib, Png, Bmp;
};

const TData& Data(int side)
{
    static std::map<int, TData> cache;
    auto it = cache.find(side);
    if (it == cache.end()) {
        const QImage img = Picture(side);
        it = cache.emplace(side, TData{Dib32(img), Encode(img, "PNG"), Encode(img, "BMP")}).first;
    }
    return it->second;
}

void DecodeIcon(benchmark::State& state, const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (auto _ : state) {
        HICON h = CreateIconFromResourceEx(p, uint32_t(bytes.size()), true, kIconResourceVersion, 0, 0, 0);
        benchmark::DoNotOptimize(h);
        DestroyIcon(h);
    }
}

void QtDecode(benchmark::State& state, const QByteArray& bytes, const char* format)
{
    for (auto _ : state) {
        QImage img = QImage::fromData(bytes, format);
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_IconFromDib(benchmark::State& state) { DecodeIcon(state, Data(int(state.range(0))).Dib); }
void BM_QtBmpReader(benchmark::State& state) { QtDecode(state, Data(int(state.range(0))).Bmp, "BMP"); }
void BM_IconFromPng(benchmark::State& state) { DecodeIcon(state, Data(int(state.range(0))).Png); }
void BM_QtPngReader(benchmark::State& state) { QtDecode(state, Data(int(state.range(0))).Png, "PNG"); }

BENCHMARK(BM_IconFromDib)->Arg(32)->Arg(256);
BENCHMARK(BM_QtBmpReader)->Arg(32)->Arg(256);
BENCHMARK(BM_IconFromPng)->Arg(32)->Arg(256);
BENCHMARK(BM_QtPngReader)->Arg(32)->Arg(256);

void BM_DrawIconEx(benchmark::State& state)
{
    const QByteArray& dib = Data(48).Dib;
    HICON h = CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(dib.constData()), uint32_t(dib.size()), true,
                                       kIconResourceVersion, 0, 0, 0);
    QImage canvas(64, 64, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (auto _ : state)
        DrawIconEx(&painter, 8, 8, h, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(h);
}

void BM_QtDrawImage(benchmark::State& state)
{
    const QImage img = Picture(48).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage canvas(64, 64, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (auto _ : state)
        painter.drawImage(QPoint(8, 8), img);
}

BENCHMARK(BM_DrawIconEx);
BENCHMARK(BM_QtDrawImage);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
