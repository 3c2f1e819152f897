// The GIF codec beside giflib (decoding and encoding the same animation) and the colour reduction
// beside ImageMagick's quantiser (time and mean squared error on one photo-like picture).
#include "framework/bitmap.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_image.h"

#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstring>
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
const TBitmap& Photo()
{
    static std::unique_ptr<TBitmap> photo = [] {
        auto owned = std::make_unique<TBitmap>(kPhoto, kPhoto, pf24bit);
        TBitmap& b = *owned;
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0, 4);
        for (int y = 0; y < kPhoto; ++y)
            for (int x = 0; x < kPhoto; ++x) {
                double r = 90 + 80 * std::sin(x * 0.02) + 40 * std::cos(y * 0.03);
                double g = 110 + 70 * std::cos((x + y) * 0.015);
                double bl = 140 + 60 * std::sin(y * 0.025) - 30 * std::cos(x * 0.05);
                const double dx = x - 160, dy = y - 100;
                if (dx * dx + dy * dy < 40 * 40) {
                    r = 220 - dy;
                    g = 60 + dx;
                    bl = 40;
                }
                auto c = [&](double v) { return uint32_t(std::clamp(v + noise(rng), 0.0, 255.0)); };
                b.SetPixelArgb(x, y, 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(bl));
            }
        return owned;
    }();
    return *photo;
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
    Magick::InitializeMagick(*argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
