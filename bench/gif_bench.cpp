// The GIF codec beside giflib (decoding and encoding the same animation, and decoding to RGBA
// pictures of every size and the real files of testdata) and the colour reduction beside
// ImageMagick's quantiser (time and mean squared error on one photo-like picture).
#include "framework/bitmap.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_image.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <utility>
#include <algorithm>
#include <gif_lib.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kFrames = 100, kWidth = 320, kHeight = 240;

// A moving pattern over 256 colours: smooth bands with some noise, as a screen recording has.
std::vector<std::unique_ptr<TBitmap>> MakeFrames()
{
    std::vector<std::unique_ptr<TBitmap>> frames;
    std::mt19937 rng(1);
    TPaletteEntries palette(256);
    for (int i = 0; i < 256; ++i)
        palette[size_t(i)] = qRgb(i, (i * 3) & 255, 255 - i);
    for (int f = 0; f < kFrames; ++f) {
        auto b = std::make_unique<TBitmap>(kWidth, kHeight, pf8bit);
        b->SetPalette(palette);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = b->ScanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                int v = int(64 + 60 * std::sin((x + f * 3) * 0.05) + 60 * std::cos((y - f * 2) * 0.04));
                if (rng() % 16 == 0)
                    v += int(rng() % 16);
                row[x] = uint8_t(std::clamp(v, 0, 255));
            }
        }
        frames.push_back(std::move(b));
    }
    return frames;
}

const std::vector<std::unique_ptr<TBitmap>>& Frames()
{
    static auto frames = MakeFrames();
    return frames;
}

const QByteArray& AnimationBytes()
{
    static QByteArray bytes = [] {
        TGIFImage gif;
        for (const auto& f : Frames())
            gif.AddFrame(f.get());
        gif.SetLooping(true);
        gif.EncodeAllFrames();
        TMemoryStream s;
        gif.WriteGif(&s, false);
        return s.Bytes();
    }();
    return bytes;
}

void SetPixelRate(benchmark::State& state)
{
    state.counters["Mpixel/s"] = benchmark::Counter(double(kFrames) * kWidth * kHeight * double(state.iterations()) / 1e6,
                                                    benchmark::Counter::kIsRate);
}

// ---- Decoding ---------------------------------------------------------------------------------

void BM_DecodeTGIFImage(benchmark::State& state)
{
    const QByteArray& bytes = AnimationBytes();
    for (auto _ : state) {
        TMemoryStream s(bytes);
        TGIFImage gif;
        gif.ReadGif(s.Size(), &s, false);
        gif.DecodeAllFrames();
        benchmark::DoNotOptimize(gif.GetFrame(kFrames - 1)->GetBitmap());
    }
    SetPixelRate(state);
}
BENCHMARK(BM_DecodeTGIFImage)->Unit(benchmark::kMillisecond);

// The codec alone: frames to BMP images, without making framework bitmaps of them.
void BM_DecodeTGIFFramesToDib(benchmark::State& state)
{
    const QByteArray& bytes = AnimationBytes();
    for (auto _ : state) {
        TMemoryStream s(bytes);
        TGIFImage gif;
        gif.ReadGif(s.Size(), &s, false);
        for (int i = 0; i < gif.GetCount(); ++i)
            benchmark::DoNotOptimize(gif.GetFrame(i)->DecodeToDib());
    }
    SetPixelRate(state);
}
BENCHMARK(BM_DecodeTGIFFramesToDib)->Unit(benchmark::kMillisecond);

struct MemoryReader {
    const QByteArray* bytes;
    int pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int n)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    n = std::min<int>(n, int(r->bytes->size()) - r->pos);
    std::memcpy(buf, r->bytes->constData() + r->pos, size_t(n));
    r->pos += n;
    return n;
}

void BM_DecodeGiflib(benchmark::State& state)
{
    const QByteArray& bytes = AnimationBytes();
    for (auto _ : state) {
        MemoryReader reader{&bytes};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib could not read the animation");
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[gif->ImageCount - 1].RasterBits);
        DGifCloseFile(gif, &error);
    }
    SetPixelRate(state);
}
BENCHMARK(BM_DecodeGiflib)->Unit(benchmark::kMillisecond);

// ---- Decoding to RGBA: the square animations of every size and the real files -------------
// Both sides end with every frame as 0xAARRGGBB pixels through its colour table, by the same
// mapping code, so the difference is the decoding.

constexpr int kSquareFrames = 20;

// Smooth bands with noise over 256 colours, moving from frame to frame.
QByteArray SquareAnimation(int side)
{
    static std::map<int, QByteArray> made;
    auto found = made.find(side);
    if (found != made.end())
        return found->second;
    std::mt19937 rng(3);
    TPaletteEntries palette(256);
    for (int i = 0; i < 256; ++i)
        palette[size_t(i)] = qRgb(i, (i * 7) & 255, 255 - i);
    TGIFImage gif;
    for (int f = 0; f < kSquareFrames; ++f) {
        TBitmap b(side, side, pf8bit);
        b.SetPalette(palette);
        for (int y = 0; y < side; ++y) {
            uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < side; ++x) {
                int v = int(128 + 50 * std::sin((x + f * 5) * 0.03) + 50 * std::cos((y - f * 3) * 0.02));
                if (rng() % 8 == 0)
                    v += int(rng() % 24);
                row[x] = uint8_t(std::clamp(v, 0, 255));
            }
        }
        gif.AddFrame(&b);
    }
    gif.SetLooping(true);
    gif.EncodeAllFrames();
    TMemoryStream s;
    gif.WriteGif(&s, false);
    return made[side] = s.Bytes();
}

// BRELNOVA_TESTDATA, else the testdata folder found upwards from the program or the current
// folder (the build folder sits inside the source tree).
QByteArray TestFile(const QString& relative)
{
    const QByteArray root = qgetenv("BRELNOVA_TESTDATA");
    QStringList roots;
    if (!root.isEmpty())
        roots << QString::fromLocal8Bit(root);
    for (QString start : {QCoreApplication::applicationDirPath(), QDir::currentPath()})
        for (QDir dir(start);;) {
            roots << dir.filePath(QStringLiteral("testdata"));
            if (!dir.cdUp())
                break;
        }
    for (const QString& r : roots) {
        QFile f(QDir(r).filePath(relative));
        if (f.open(QIODevice::ReadOnly))
            return f.readAll();
    }
    return {};
}

const char* const kRealFiles[] = {"gif/other/aero.gif", "gif/other/test-animation.gif",
                                  "gif/suite/max-codes.gif", "gif/suite/4095-codes-clear.gif",
                                  "gif/suite/large-codes.gif", "gif/suite/high-color.gif"};

// The pictures of all frames one after the other; the buffer is kept from one decoding to the
// next, so that neither side pays for growing it.
struct Rgba {
    std::vector<uint32_t> pixels;
    size_t used = 0;
    void Map(const uint8_t* indices, int count, const uint32_t* table)
    {
        if (used + size_t(count) > pixels.size())
            pixels.resize(std::max(pixels.size() * 2, used + size_t(count)));
        uint32_t* out = pixels.data() + used;
        for (int i = 0; i < count; ++i)
            out[i] = table[indices[i]];
        used += size_t(count);
    }
};

void DecodeRgbaBrelnova(const QByteArray& bytes, Rgba& out)
{
    TMemoryStream s(bytes);
    TGIFImage gif;
    gif.ReadGif(s.Size(), &s, false);
    std::vector<uint8_t> unpacked;
    for (int i = 0; i < gif.GetCount(); ++i) {
        TBitmap* b = gif.GetFrame(i)->GetBitmap();
        if (b->Empty())
            continue;
        uint32_t table[256];
        const TPaletteEntries& palette = b->Palette();
        const size_t colors = std::min<size_t>(palette.size(), 256);
        for (size_t c = 0; c < colors; ++c)
            table[c] = 0xFF000000u | palette[c];
        std::fill(table + colors, table + 256, 0);
        const int w = b->Width(), bits = b->BitsPerPixel();
        unpacked.resize(size_t(w) + 8);
        // The rows lie one after the other, top row first.
        const uint8_t* rows = std::as_const(*b).ScanLine(0);
        const size_t stride = size_t(b->BytesPerLine());
        for (int y = 0; y < b->Height(); ++y) {
            const uint8_t* row = rows + size_t(y) * stride;
            if (bits == 8) {
                out.Map(row, w, table);
                continue;
            }
            // Packed rows are unpacked a byte at a time.
            uint8_t* u = unpacked.data();
            if (bits == 4) {
                for (int i = 0; i < (w + 1) / 2; ++i) {
                    u[2 * i] = row[i] >> 4;
                    u[2 * i + 1] = row[i] & 15;
                }
            } else {
                for (int i = 0; i < (w + 7) / 8; ++i)
                    for (int k = 0; k < 8; ++k)
                        u[8 * i + k] = (row[i] >> (7 - k)) & 1;
            }
            out.Map(u, w, table);
        }
    }
}

bool DecodeRgbaGiflib(const QByteArray& bytes, Rgba& out)
{
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (!gif)
        return false;
    if (DGifSlurp(gif) != GIF_OK && gif->ImageCount == 0) {
        DGifCloseFile(gif, &error);
        return false;
    }
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        uint32_t table[256];
        const int colors = map ? std::clamp(map->ColorCount, 0, 256) : 0;
        for (int c = 0; c < colors; ++c)
            table[c] = 0xFF000000u | qRgb(map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue);
        std::fill(table + colors, table + 256, 0);
        if (image.RasterBits)
            out.Map(image.RasterBits, image.ImageDesc.Width * image.ImageDesc.Height, table);
    }
    DGifCloseFile(gif, &error);
    return true;
}

template <typename Decode>
void RunRgba(benchmark::State& state, const QByteArray& bytes, Decode decode)
{
    if (bytes.isEmpty()) {
        state.SkipWithError("no such file");
        return;
    }
    size_t pixels = 0;
    Rgba out;
    decode(bytes, out); // sizes the buffer
    for (auto _ : state) {
        out.used = 0;
        if (!decode(bytes, out)) {
            state.SkipWithError("not decoded");
            return;
        }
        pixels = out.used;
        benchmark::DoNotOptimize(out.pixels.data());
    }
    state.counters["Mpixel/s"] = benchmark::Counter(double(pixels) * double(state.iterations()) / 1e6,
                                                    benchmark::Counter::kIsRate);
}

void BM_DecodeRgbaBrelnova(benchmark::State& state)
{
    RunRgba(state, SquareAnimation(int(state.range(0))), [](const QByteArray& b, Rgba& out) {
        DecodeRgbaBrelnova(b, out);
        return true;
    });
}
void BM_DecodeRgbaGiflib(benchmark::State& state)
{
    RunRgba(state, SquareAnimation(int(state.range(0))), DecodeRgbaGiflib);
}
BENCHMARK(BM_DecodeRgbaBrelnova)->RangeMultiplier(2)->Range(64, 2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeRgbaGiflib)->RangeMultiplier(2)->Range(64, 2048)->Unit(benchmark::kMillisecond);

void BM_DecodeFileBrelnova(benchmark::State& state)
{
    RunRgba(state, TestFile(QString::fromLatin1(kRealFiles[state.range(0)])), [](const QByteArray& b, Rgba& out) {
        DecodeRgbaBrelnova(b, out);
        return true;
    });
    state.SetLabel(kRealFiles[state.range(0)]);
}
void BM_DecodeFileGiflib(benchmark::State& state)
{
    RunRgba(state, TestFile(QString::fromLatin1(kRealFiles[state.range(0)])), DecodeRgbaGiflib);
    state.SetLabel(kRealFiles[state.range(0)]);
}
BENCHMARK(BM_DecodeFileBrelnova)->DenseRange(0, std::size(kRealFiles) - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeFileGiflib)->DenseRange(0, std::size(kRealFiles) - 1)->Unit(benchmark::kMicrosecond);

// ---- Encoding ---------------------------------------------------------------------------------

void BM_EncodeTGIFImage(benchmark::State& state)
{
    for (auto _ : state) {
        TGIFImage gif;
        for (const auto& f : Frames())
            gif.AddFrame(f.get());
        TMemoryStream s;
        gif.WriteGif(&s, false);
        benchmark::DoNotOptimize(s.Memory());
        state.counters["bytes"] = double(s.Size());
    }
    SetPixelRate(state);
}
BENCHMARK(BM_EncodeTGIFImage)->Unit(benchmark::kMillisecond);

int WriteToMemory(GifFileType* gif, const GifByteType* buf, int n)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(buf), n);
    return n;
}

void BM_EncodeGiflib(benchmark::State& state)
{
    for (auto _ : state) {
        QByteArray out;
        int error = 0;
        GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
        const TPaletteEntries& palette = Frames()[0]->Palette();
        std::vector<GifColorType> colors(256);
        for (int i = 0; i < 256; ++i)
            colors[size_t(i)] = {uint8_t(qRed(palette[size_t(i)])), uint8_t(qGreen(palette[size_t(i)])),
                                 uint8_t(qBlue(palette[size_t(i)]))};
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
        for (const auto& f : Frames()) {
            EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
            for (int y = 0; y < kHeight; ++y)
                EGifPutLine(gif, f->ScanLine(y), kWidth);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        state.counters["bytes"] = double(out.size());
    }
    SetPixelRate(state);
}
BENCHMARK(BM_EncodeGiflib)->Unit(benchmark::kMillisecond);

// ---- Colour reduction -------------------------------------------------------------------------

constexpr int kPhoto = 256;

// Smooth lighting, a few coloured objects and sensor noise.
const TBitmap& PhotoOfSide(int side)
{
    static std::map<int, std::unique_ptr<TBitmap>> made;
    std::unique_ptr<TBitmap>& owned = made[side];
    if (owned)
        return *owned;
    owned = std::make_unique<TBitmap>(side, side, pf24bit);
    TBitmap& b = *owned;
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 4);
    const double k = 256.0 / side;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double sx = x * k, sy = y * k;
            double r = 90 + 80 * std::sin(sx * 0.02) + 40 * std::cos(sy * 0.03);
            double g = 110 + 70 * std::cos((sx + sy) * 0.015);
            double bl = 140 + 60 * std::sin(sy * 0.025) - 30 * std::cos(sx * 0.05);
            const double dx = sx - 160, dy = sy - 100;
            if (dx * dx + dy * dy < 40 * 40) {
                r = 220 - dy;
                g = 60 + dx;
                bl = 40;
            }
            auto c = [&](double v) { return uint32_t(std::clamp(v + noise(rng), 0.0, 255.0)); };
            b.SetPixelArgb(x, y, 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(bl));
        }
    return b;
}

const TBitmap& Photo()
{
    return PhotoOfSide(kPhoto);
}

double MeanSquaredError(const TBitmap& a, TBitmap& b)
{
    double sum = 0;
    for (int y = 0; y < kPhoto; ++y)
        for (int x = 0; x < kPhoto; ++x) {
            const uint32_t p = a.PixelArgb(x, y), q = b.PixelArgb(x, y);
            for (int s = 0; s < 24; s += 8) {
                const double d = double((p >> s) & 255) - double((q >> s) & 255);
                sum += d * d;
            }
        }
    return sum / (3.0 * kPhoto * kPhoto);
}

void BM_ReduceBrelnova(benchmark::State& state)
{
    const auto method = uint8_t(state.range(0));
    const int colours = int(state.range(1));
    TBitmap photo;
    photo.Assign(const_cast<TBitmap*>(&Photo()));
    std::unique_ptr<TMemoryStream> out;
    for (auto _ : state)
        out.reset(ReduceBitmapColors(&photo, colours == 16 ? pf4bit : pf8bit, method));
    TBitmap result;
    result.LoadFromStream(out.get());
    state.counters["MSE"] = MeanSquaredError(Photo(), result);
}
// Methods 0..5 to 256 colours; 16 colours is the 4-bit reduction (the methods make 8-bit images).
BENCHMARK(BM_ReduceBrelnova)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {256}})
    ->Args({0, 16})
    ->Unit(benchmark::kMillisecond);

// One method on a 1024 x 1024 picture: the whole call, from the framework bitmap to the stream.
void BM_ReduceLarge(benchmark::State& state)
{
    TBitmap photo;
    photo.Assign(const_cast<TBitmap*>(&PhotoOfSide(1024)));
    std::unique_ptr<TMemoryStream> out;
    for (auto _ : state)
        out.reset(ReduceBitmapColors(&photo, pf8bit, uint8_t(state.range(0))));
    state.counters["bytes"] = double(out->Size());
}
BENCHMARK(BM_ReduceLarge)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_ReduceImageMagick(benchmark::State& state)
{
    const int colours = int(state.range(0));
    std::vector<uint8_t> rgb(size_t(kPhoto) * kPhoto * 3);
    for (int y = 0; y < kPhoto; ++y)
        for (int x = 0; x < kPhoto; ++x) {
            const uint32_t p = Photo().PixelArgb(x, y);
            uint8_t* d = rgb.data() + (size_t(y) * kPhoto + x) * 3;
            d[0] = uint8_t(p >> 16);
            d[1] = uint8_t(p >> 8);
            d[2] = uint8_t(p);
        }
    Magick::Image reduced;
    for (auto _ : state) {
        Magick::Image image(kPhoto, kPhoto, "RGB", Magick::CharPixel, rgb.data());
        image.quantizeColors(size_t(colours));
        image.quantizeDither(false);
        image.quantize();
        reduced = image;
    }
    std::vector<uint8_t> back(rgb.size());
    reduced.write(0, 0, kPhoto, kPhoto, "RGB", Magick::CharPixel, back.data());
    double sum = 0;
    for (size_t i = 0; i < rgb.size(); ++i) {
        const double d = double(rgb[i]) - double(back[i]);
        sum += d * d;
    }
    state.counters["MSE"] = sum / double(rgb.size());
}
BENCHMARK(BM_ReduceImageMagick)->Arg(256)->Arg(16)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Magick::InitializeMagick(*argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
