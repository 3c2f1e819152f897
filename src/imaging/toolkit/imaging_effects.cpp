#include "imaging/toolkit/imaging_effects.h"

#include "imaging/toolkit/imaging_files.h"

#include <Magick++.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using MagickCore::Quantum;

// ---- pixels -----------------------------------------------------------------------------------

uint8_t* At(TRGBABuffer& p, int x, int y) { return p.Pixels.data() + (size_t(y) * p.Width + x) * 4; }
const uint8_t* At(const TRGBABuffer& p, int x, int y) { return p.Pixels.data() + (size_t(y) * p.Width + x) * 4; }

uint8_t Clamp8(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }
int ClampInt(double v, int lo, int hi) { return int(std::clamp(std::isfinite(v) ? v : 0.0, double(lo), double(hi))); }
double ClampReal(double v, double lo, double hi) { return std::clamp(std::isfinite(v) ? v : lo, lo, hi); }

// Colour weighted by alpha, so that resampling does not pull in the colour of transparent pixels.
struct Premul {
    double r = 0, g = 0, b = 0, a = 0;
    Premul& operator+=(const Premul& o)
    {
        r += o.r, g += o.g, b += o.b, a += o.a;
        return *this;
    }
    Premul operator*(double k) const { return {r * k, g * k, b * k, a * k}; }
};

Premul Fetch(const TRGBABuffer& p, int x, int y)
{
    const uint8_t* s = At(p, x, y);
    const double a = s[3] / 255.0;
    return {s[0] * a, s[1] * a, s[2] * a, double(s[3])};
}

void Store(TRGBABuffer& p, int x, int y, const Premul& c)
{
    uint8_t* d = At(p, x, y);
    if (c.a < 0.5) {
        d[0] = d[1] = d[2] = d[3] = 0;
        return;
    }
    const double k = 255.0 / c.a;
    d[0] = Clamp8(c.r * k);
    d[1] = Clamp8(c.g * k);
    d[2] = Clamp8(c.b * k);
    d[3] = Clamp8(c.a);
}

enum class Edge { Clamp, Transparent };

// Bilinear sample at pixel coordinates (pixel centres on whole numbers).
Premul Sample(const TRGBABuffer& p, double fx, double fy, Edge edge)
{
    if (!std::isfinite(fx) || !std::isfinite(fy))
        return {};
    if (edge == Edge::Transparent && (fx <= -1 || fy <= -1 || fx >= p.Width || fy >= p.Height))
        return {};
    fx = std::clamp(fx, -1.0, double(p.Width));
    fy = std::clamp(fy, -1.0, double(p.Height));
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const double tx = fx - x0, ty = fy - y0;
    Premul out;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const double w = (i ? tx : 1 - tx) * (j ? ty : 1 - ty);
            if (w == 0)
                continue;
            int x = x0 + i, y = y0 + j;
            if (x < 0 || y < 0 || x >= p.Width || y >= p.Height) {
                if (edge == Edge::Transparent)
                    continue;
                x = std::clamp(x, 0, p.Width - 1);
                y = std::clamp(y, 0, p.Height - 1);
            }
            out += Fetch(p, x, y) * w;
        }
    return out;
}

// Every destination pixel takes the source at the place map gives for it.
void Remap(TRGBABuffer& p, Edge edge, const std::function<void(int x, int y, double& sx, double& sy)>& map)
{
    const TRGBABuffer src = p;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            double sx = x, sy = y;
            map(x, y, sx, sy);
            Store(p, x, y, Sample(src, sx, sy, edge));
        }
}

double Luma(const uint8_t* s) { return 0.299 * s[0] + 0.587 * s[1] + 0.114 * s[2]; }

// A small generator of our own, so that results depend on the seed alone.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1].
    double Signed() { return double(Next() >> 11) / double(1ull << 53) * 2.0 - 1.0; }
    int Below(int n) { return n <= 0 ? 0 : int(Next() % uint64_t(n)); }

private:
    uint64_t state_;
};

// ---- through the image library ----------------------------------------------------------------

void WithMagick(TRGBABuffer& p, const std::function<void(Magick::Image&)>& op)
{
    InitializeImaging();
    Magick::Image image;
    image.quiet(true);
    RGBAToMagick(p, image);
    op(image);
    if (image.columns() != size_t(p.Width) || image.rows() != size_t(p.Height)) {
        // Keep the picture's size whatever the operation did.
        image.backgroundColor(Magick::Color(0, 0, 0, QuantumRange));
        image.extent(Magick::Geometry(size_t(p.Width), size_t(p.Height)));
    }
    p = MagickToRGBA(image);
}

void Convolve3(TRGBABuffer& p, std::initializer_list<double> kernel)
{
    double sum = 0;
    for (double k : kernel)
        sum += k;
    std::vector<double> normalised;
    for (double k : kernel)
        normalised.push_back(k / sum);
    WithMagick(p, [&](Magick::Image& m) { m.convolve(3, normalised.data()); });
}

// ---- colour effects of our own ----------------------------------------------------------------

void Swap(TRGBABuffer& p, int i, int j)
{
    for (size_t k = 0; k + 3 < p.Pixels.size(); k += 4)
        std::swap(p.Pixels[k + i], p.Pixels[k + j]);
}

// The emboss kernel lit from the top left: the bottom-right neighbours minus the top-left ones.
template <class F>
double EmbossAt(const TRGBABuffer& p, int x, int y, F value)
{
    auto v = [&](int dx, int dy) {
        return value(At(p, std::clamp(x + dx, 0, p.Width - 1), std::clamp(y + dy, 0, p.Height - 1)));
    };
    return v(1, 0) + v(0, 1) + v(1, 1) - v(-1, 0) - v(0, -1) - v(-1, -1);
}

enum class EmbossKind { Grey, Colour, OverPicture };

void Emboss(TRGBABuffer& p, EmbossKind kind)
{
    const TRGBABuffer src = p;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            uint8_t* d = At(p, x, y);
            const uint8_t* s = At(src, x, y);
            switch (kind) {
            case EmbossKind::Grey:
                d[0] = d[1] = d[2] = Clamp8(128 + EmbossAt(src, x, y, Luma) / 2);
                break;
            case EmbossKind::Colour:
                for (int c = 0; c < 3; ++c)
                    d[c] = Clamp8(128 + EmbossAt(src, x, y, [c](const uint8_t* q) { return double(q[c]); }) / 2);
                break;
            case EmbossKind::OverPicture: {
                const double relief = EmbossAt(src, x, y, Luma) / 2;
                for (int c = 0; c < 3; ++c)
                    d[c] = Clamp8(s[c] + relief);
                break;
            }
            }
        }
}

// Lightens (k > 0) or darkens (k < 0) a pixel by |k| / 256 of the way to white or black.
void Shade(uint8_t* d, double k)
{
    k = std::clamp(k, -256.0, 256.0);
    for (int c = 0; c < 3; ++c)
        d[c] = k >= 0 ? Clamp8(d[c] + (255 - d[c]) * k / 256) : Clamp8(d[c] * (256 + k) / 256);
}

// Rectangular bevel of depth pixels: light on the top and left bands, shade on the bottom and
// right ones; strength(distance from the edge) gives the amount.
void RectBevel(TRGBABuffer& p, int depth, const std::function<double(int)>& strength)
{
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const int left = x, top = y, right = p.Width - 1 - x, bottom = p.Height - 1 - y;
            const int nearest = std::min({left, top, right, bottom});
            if (nearest >= depth)
                continue;
            const bool lit = std::min(left, top) <= std::min(right, bottom);
            const double k = strength(nearest);
            Shade(At(p, x, y), lit ? k : -k);
        }
}

struct EllipsePoint {
    double q;      // 0 at the centre, 1 on the inscribed ellipse
    double light;  // -1 facing away from the top-left light, 1 facing it
};

EllipsePoint EllipseAt(const TRGBABuffer& p, int x, int y)
{
    const double rx = p.Width / 2.0, ry = p.Height / 2.0;
    const double dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
    const double q = std::sqrt(dx * dx + dy * dy);
    const double light = q > 0 ? -(dx + dy) / (q * std::sqrt(2.0)) : 0.0;
    return {q, light};
}

enum class EllipseKind { Raised, Sunken, Dome };

void EllipseBevel(TRGBABuffer& p, int depth, int weight, EllipseKind kind)
{
    const double band = std::clamp(double(depth) / std::max(1.0, std::min(p.Width, p.Height) / 2.0), 0.0, 1.0);
    const double amount = weight * 8.0;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const EllipsePoint e = EllipseAt(p, x, y);
            if (e.q > 1)
                continue;
            double k = 0;
            if (e.q >= 1 - band)
                k = amount * e.light;
            else if (kind == EllipseKind::Dome)
                k = amount / 2 * e.light * e.q;
            Shade(At(p, x, y), kind == EllipseKind::Sunken ? -k : k);
        }
}

// ---- the operations ---------------------------------------------------------------------------

#define EFFECT(name) void name(TRGBABuffer& p, [[maybe_unused]] const TEffectParams& a)

EFFECT(Negative) { WithMagick(p, [](Magick::Image& m) { m.negate(false); }); }
EFFECT(AntiAlias) { Convolve3(p, {1, 2, 1, 2, 12, 2, 1, 2, 1}); }
EFFECT(Blur) { WithMagick(p, [](Magick::Image& m) { m.blur(0, 1.0); }); }
EFFECT(Soften) { Convolve3(p, {1, 1, 1, 1, 8, 1, 1, 1, 1}); }
EFFECT(Sharpen) { WithMagick(p, [](Magick::Image& m) { m.sharpen(0, 1.0); }); }
EFFECT(Grayscale) { WithMagick(p, [](Magick::Image& m) { m.type(Magick::GrayscaleMatteType); }); }
EFFECT(FindEdges)
{
    WithMagick(p, [](Magick::Image& m) {
        m.edge(1.0);
        m.negate(false);
    });
}
EFFECT(Emboss1) { Emboss(p, EmbossKind::Grey); }
EFFECT(Emboss2) { Emboss(p, EmbossKind::Colour); }
EFFECT(Emboss3) { Emboss(p, EmbossKind::OverPicture); }
EFFECT(HighPass)
{
    TRGBABuffer blurred = p;
    WithMagick(blurred, [](Magick::Image& m) { m.blur(0, 2.0); });
    for (size_t i = 0; i + 3 < p.Pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            p.Pixels[i + c] = Clamp8(128.0 + p.Pixels[i + c] - blurred.Pixels[i + c]);
}
EFFECT(NeonTrace)
{
    // Sobel gradient of each channel, glowing on black.
    const TRGBABuffer src = p;
    auto v = [&](int x, int y, int c) {
        return double(At(src, std::clamp(x, 0, p.Width - 1), std::clamp(y, 0, p.Height - 1))[c]);
    };
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            for (int c = 0; c < 3; ++c) {
                const double gx = v(x + 1, y - 1, c) + 2 * v(x + 1, y, c) + v(x + 1, y + 1, c) - v(x - 1, y - 1, c) -
                                  2 * v(x - 1, y, c) - v(x - 1, y + 1, c);
                const double gy = v(x - 1, y + 1, c) + 2 * v(x, y + 1, c) + v(x + 1, y + 1, c) - v(x - 1, y - 1, c) -
                                  2 * v(x, y - 1, c) - v(x + 1, y - 1, c);
                At(p, x, y)[c] = Clamp8(std::sqrt(gx * gx + gy * gy) / 2);
            }
}
EFFECT(SwapRedBlue) { Swap(p, 0, 2); }
EFFECT(SwapGreenBlue) { Swap(p, 1, 2); }
EFFECT(SwapRedGreen) { Swap(p, 0, 1); }

EFFECT(ReflectLeftRight)
{
    Remap(p, Edge::Clamp, [&](int x, int, double& sx, double&) {
        if (x >= (p.Width + 1) / 2)
            sx = p.Width - 1 - x;
    });
}
EFFECT(ReflectUpDown)
{
    Remap(p, Edge::Clamp, [&](int, int y, double&, double& sy) {
        if (y >= (p.Height + 1) / 2)
            sy = p.Height - 1 - y;
    });
}

// The corner at (right, bottom) stays; the distance from it along each axis is squared, which
// stretches the part of the picture near the corner and squeezes the far part.
void StretchTo(TRGBABuffer& p, bool right, bool bottom)
{
    const double w = std::max(1, p.Width - 1), h = std::max(1, p.Height - 1);
    const double ax = right ? p.Width - 1 : 0, ay = bottom ? p.Height - 1 : 0;
    Remap(p, Edge::Clamp, [&](int x, int y, double& sx, double& sy) {
        const double tx = std::abs(x - ax) / w, ty = std::abs(y - ay) / h;
        sx = ax + (right ? -1 : 1) * tx * tx * w;
        sy = ay + (bottom ? -1 : 1) * ty * ty * h;
    });
}
EFFECT(StretchUpLeft) { StretchTo(p, false, false); }
EFFECT(StretchUpRight) { StretchTo(p, true, false); }
EFFECT(StretchDownLeft) { StretchTo(p, false, true); }
EFFECT(StretchDownRight) { StretchTo(p, true, true); }

EFFECT(AdjustContrast)
{
    const double c = ClampReal(a.A, -100, 100);
    WithMagick(p, [c](Magick::Image& m) { m.brightnessContrast(0, c); });
}
EFFECT(AdjustBrightness)
{
    const double b = ClampReal(a.A, -100, 100);
    WithMagick(p, [b](Magick::Image& m) { m.brightnessContrast(b, 0); });
}
EFFECT(ButtonizeSmooth)
{
    const int depth = ClampInt(a.A, 0, 1 << 16);
    RectBevel(p, depth, [depth](int d) { return 128.0 * (depth - d) / depth; });
}
EFFECT(ButtonizeSimple)
{
    const int weight = ClampInt(a.B, 0, 32);
    RectBevel(p, ClampInt(a.A, 0, 1 << 16), [weight](int) { return weight * 8.0; });
}
EFFECT(ButtonizeEllipse1) { EllipseBevel(p, ClampInt(a.A, 0, 1 << 16), ClampInt(a.B, 0, 32), EllipseKind::Raised); }
EFFECT(ButtonizeEllipse2) { EllipseBevel(p, ClampInt(a.A, 0, 1 << 16), ClampInt(a.B, 0, 32), EllipseKind::Sunken); }
EFFECT(ButtonizeEllipse3) { EllipseBevel(p, ClampInt(a.A, 0, 1 << 16), ClampInt(a.B, 0, 32), EllipseKind::Dome); }
EFFECT(MaskEllipse)
{
    // The colour is a framework colour value, 0x00BBGGRR.
    const uint32_t colour = uint32_t(int64_t(a.A));
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            if (EllipseAt(p, x, y).q > 1) {
                uint8_t* d = At(p, x, y);
                d[0] = uint8_t(colour);
                d[1] = uint8_t(colour >> 8);
                d[2] = uint8_t(colour >> 16);
            }
}
EFFECT(Posterize)
{
    // The argument is bits per channel less one: 0 gives 2 levels, 1 gives 4, 3 gives 16.
    // Our own: the library's posterize quantises the whole picture afterwards, alpha included,
    // which mixes colours of pixels of different transparency.
    const double steps = double((2 << ClampInt(a.A, 0, 7)) - 1);
    for (size_t i = 0; i + 3 < p.Pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            p.Pixels[i + c] = Clamp8(std::round(p.Pixels[i + c] * steps / 255) * 255 / steps);
}

enum class Wave { Sine, Tooth, Triangle, Random };

// Rows move sideways and columns up and down along a wave of the given form; the amplitude grows
// with depth and with the picture.
void Ripple(TRGBABuffer& p, double depth, Wave wave, uint32_t seed)
{
    const double side = std::min(p.Width, p.Height);
    const double amplitude = ClampReal(depth, 0, 1000) * side / 80.0;
    const double period = std::max(4.0, side / 3.0);
    std::vector<double> lattice;
    if (wave == Wave::Random) {
        Random random(seed);
        lattice.resize(size_t(std::max(p.Width, p.Height) / period) + 3);
        for (double& v : lattice)
            v = random.Signed();
    }
    auto form = [&](double t) {
        const double f = t - std::floor(t);
        switch (wave) {
        case Wave::Sine:
            return std::sin(2 * M_PI * t);
        case Wave::Tooth:
            return 2 * f - 1;
        case Wave::Triangle:
            return 1 - 4 * std::abs(f - 0.5);
        case Wave::Random: {
            const size_t i = std::min(size_t(std::floor(t)), lattice.size() - 2);
            return lattice[i] * (1 - f) + lattice[i + 1] * f;
        }
        }
        return 0.0;
    };
    Remap(p, Edge::Clamp, [&](int x, int y, double& sx, double& sy) {
        sx = x + amplitude * form(y / period);
        sy = y + amplitude * form(x / period);
    });
}
EFFECT(RippleSine) { Ripple(p, a.A, Wave::Sine, a.Seed); }
EFFECT(RippleTooth) { Ripple(p, a.A, Wave::Tooth, a.Seed); }
EFFECT(RippleTriangle) { Ripple(p, a.A, Wave::Triangle, a.Seed); }
EFFECT(RippleRandom) { Ripple(p, a.A, Wave::Random, a.Seed); }

EFFECT(Solarize)
{
    // The library takes the threshold in its own quantum units, 0 to 65535 here.
    const double threshold = ClampReal(a.A, 0, 255) * (QuantumRange / 255.0);
    WithMagick(p, [threshold](Magick::Image& m) { m.solarize(threshold); });
}
EFFECT(Spray)
{
    // Each visible pixel takes the colour of a pixel up to depth away, picked at random, when
    // that one is visible too: a transparent pixel has no colour to give, and the alpha of each
    // place stays.
    const int radius = ClampInt(a.A, 0, 100);
    if (radius == 0)
        return;
    const TRGBABuffer src = p;
    Random random(a.Seed);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const int sx = x + random.Below(2 * radius + 1) - radius;
            const int sy = y + random.Below(2 * radius + 1) - radius;
            if (sx < 0 || sy < 0 || sx >= p.Width || sy >= p.Height || At(src, x, y)[3] == 0)
                continue;
            const uint8_t* from = At(src, sx, sy);
            if (from[3] != 0)
                std::copy_n(from, 3, At(p, x, y));
        }
}
EFFECT(Swirl)
{
    const double degrees = ClampReal(a.A, -3600, 3600);
    WithMagick(p, [degrees](Magick::Image& m) { m.swirl(degrees); });
}

// The picture cut into square tiles of about a quarter of its smaller side.
int TileSide(const TRGBABuffer& p) { return std::max(2, std::min(p.Width, p.Height) / 4); }

EFFECT(Tile1)
{
    // Each tile is pushed by a random offset of up to depth percent of a tile's side; the gaps
    // are transparent and later tiles lie over earlier ones.
    const int side = TileSide(p);
    const double reach = ClampReal(a.A, 0, 100) / 100.0 * side;
    const TRGBABuffer src = p;
    std::fill(p.Pixels.begin(), p.Pixels.end(), 0);
    Random random(a.Seed);
    for (int ty = 0; ty < p.Height; ty += side)
        for (int tx = 0; tx < p.Width; tx += side) {
            const int dx = int(std::lround(random.Signed() * reach));
            const int dy = int(std::lround(random.Signed() * reach));
            for (int y = ty; y < std::min(ty + side, p.Height); ++y)
                for (int x = tx; x < std::min(tx + side, p.Width); ++x) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < p.Width && ny < p.Height)
                        std::copy_n(At(src, x, y), 4, At(p, nx, ny));
                }
        }
}
EFFECT(Tile2)
{
    // Each tile shrinks about its centre, by up to a half at depth 100, leaving transparent
    // joints between the tiles.
    const int side = TileSide(p);
    const double scale = 1.0 - ClampReal(a.A, 0, 100) / 200.0;
    Remap(p, Edge::Transparent, [&](int x, int y, double& sx, double& sy) {
        const int tx = x / side * side, ty = y / side * side;
        const double cx = tx + (std::min(tx + side, p.Width) - tx - 1) / 2.0;
        const double cy = ty + (std::min(ty + side, p.Height) - ty - 1) / 2.0;
        sx = cx + (x - cx) / scale;
        sy = cy + (y - cy) / scale;
        if (sx < tx - 0.5 || sy < ty - 0.5 || sx > std::min(tx + side, p.Width) - 0.5 ||
            sy > std::min(ty + side, p.Height) - 0.5)
            sx = sy = -2; // in a joint
    });
}
EFFECT(Wind)
{
    // Wind from the left: each row drags a trail of a random length up to depth pixels, each
    // pixel the weighted mean of those on its left, the nearest weighing most.
    const int depth = ClampInt(a.A, 0, 1 << 16);
    const TRGBABuffer src = p;
    Random random(a.Seed);
    for (int y = 0; y < p.Height; ++y) {
        const int length = 1 + random.Below(depth);
        for (int x = 0; x < p.Width; ++x) {
            Premul sum;
            double weights = 0;
            for (int i = 0; i < length && x - i >= 0; ++i) {
                const double w = length - i;
                sum += Fetch(src, x - i, y) * w;
                weights += w;
            }
            Store(p, x, y, sum * (1 / weights));
        }
    }
}
EFFECT(AddNoise)
{
    // amount 1 to 100; kind: 1 Gaussian, 2 multiplicative, 3 impulse, 4 Laplacian, 5 Poisson,
    // any other (the editor passes -1) uniform noise.
    const double attenuate = ClampReal(a.A, 0, 100) / 5.0;
    Magick::NoiseType type = Magick::UniformNoise;
    switch (int(a.B)) {
    case 1: type = Magick::GaussianNoise; break;
    case 2: type = Magick::MultiplicativeGaussianNoise; break;
    case 3: type = Magick::ImpulseNoise; break;
    case 4: type = Magick::LaplacianNoise; break;
    case 5: type = Magick::PoissonNoise; break;
    default: break;
    }
    if (attenuate <= 0)
        return;
    WithMagick(p, [&](Magick::Image& m) {
        Magick::SetRandomSeed(a.Seed);
        m.attenuate(attenuate);
        m.addNoise(type);
    });
}
EFFECT(Mosaic)
{
    const int bw = ClampInt(a.A, 1, std::max(1, p.Width));
    const int bh = ClampInt(a.B, 1, std::max(1, p.Height));
    for (int by = 0; by < p.Height; by += bh)
        for (int bx = 0; bx < p.Width; bx += bw) {
            const int ex = std::min(bx + bw, p.Width), ey = std::min(by + bh, p.Height);
            Premul sum;
            for (int y = by; y < ey; ++y)
                for (int x = bx; x < ex; ++x)
                    sum += Fetch(p, x, y);
            sum = sum * (1.0 / ((ex - bx) * (ey - by)));
            for (int y = by; y < ey; ++y)
                for (int x = bx; x < ex; ++x)
                    Store(p, x, y, sum);
        }
}
EFFECT(Colorize)
{
    // Hue, saturation and luminance, each -255 to 255, as shifts around the library's 100 percent.
    const double hue = 100 + ClampReal(a.A, -255, 255) * 100 / 255;
    const double saturation = 100 + ClampReal(a.B, -255, 255) * 100 / 255;
    const double brightness = 100 + ClampReal(a.C, -255, 255) * 100 / 255;
    WithMagick(p, [&](Magick::Image& m) { m.modulate(brightness, saturation, hue); });
}

// Camera shake: the picture averaged with itself moved both ways by the fraction of its size.
void Shake(TRGBABuffer& p, double fraction, bool horizontal)
{
    const double d = ClampReal(fraction, 0, 1) * (horizontal ? p.Width : p.Height);
    const TRGBABuffer src = p;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            Premul sum = Fetch(src, x, y);
            sum += Sample(src, x - (horizontal ? d : 0), y - (horizontal ? 0 : d), Edge::Clamp);
            sum += Sample(src, x + (horizontal ? d : 0), y + (horizontal ? 0 : d), Edge::Clamp);
            Store(p, x, y, sum * (1.0 / 3));
        }
}
EFFECT(ShakeLeftRight) { Shake(p, a.A, true); }
EFFECT(ShakeUpDown) { Shake(p, a.A, false); }
EFFECT(FishEye)
{
    // Inside the inscribed circle a point at radius r (1 on the circle) shows the one at
    // r^(1 + 1/f): a small f bulges the centre strongly, a large one hardly at all.
    const double f = ClampReal(a.A, 0.01, 1e6);
    const double exponent = 1 + 1 / f;
    const double cx = (p.Width - 1) / 2.0, cy = (p.Height - 1) / 2.0;
    const double radius = std::max(0.5, std::min(p.Width, p.Height) / 2.0);
    Remap(p, Edge::Clamp, [&](int x, int y, double& sx, double& sy) {
        const double dx = (x - cx) / radius, dy = (y - cy) / radius;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r >= 1 || r == 0)
            return;
        const double k = std::pow(r, exponent) / r;
        sx = cx + dx * k * radius;
        sy = cy + dy * k * radius;
    });
}
EFFECT(TweakGamma)
{
    const double gamma = ClampReal(a.A, 0.01, 10);
    WithMagick(p, [gamma](Magick::Image& m) { m.gamma(gamma); });
}
EFFECT(TexturedGlass)
{
    // A smooth random field of offsets, one random vector per cell of scale pixels, blended
    // between cells; an offset reaches at most half of chaos in pixels.
    const double cell = ClampReal(a.A, 1, 1 << 16);
    const double chaos = ClampReal(a.B, 0, 1000);
    const int cols = int(p.Width / cell) + 2, rows = int(p.Height / cell) + 2;
    std::vector<std::pair<double, double>> field(size_t(cols) * rows);
    Random random(a.Seed);
    for (auto& v : field)
        v = {random.Signed(), random.Signed()};
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    Remap(p, Edge::Clamp, [&](int x, int y, double& sx, double& sy) {
        const double gx = x / cell, gy = y / cell;
        const int ix = std::min(int(gx), cols - 2), iy = std::min(int(gy), rows - 2);
        const double tx = smooth(gx - ix), ty = smooth(gy - iy);
        auto at = [&](int i, int j) { return field[size_t(iy + j) * cols + ix + i]; };
        const double ox = (at(0, 0).first * (1 - tx) + at(1, 0).first * tx) * (1 - ty) +
                          (at(0, 1).first * (1 - tx) + at(1, 1).first * tx) * ty;
        const double oy = (at(0, 0).second * (1 - tx) + at(1, 0).second * tx) * (1 - ty) +
                          (at(0, 1).second * (1 - tx) + at(1, 1).second * tx) * ty;
        sx = x + ox * chaos / 2;
        sy = y + oy * chaos / 2;
    });
}

#undef EFFECT

using A = TEffectArgs;
constexpr TEffectFamily C = TEffectFamily::Colour;
constexpr TEffectFamily G = TEffectFamily::Geometric;

} // namespace

const std::vector<TImagingEffect>& ImagingEffects()
{
    static const std::vector<TImagingEffect> table = {
        // no arguments
        {"Negative", A::None, C, Negative},
        {"AntiAlias", A::None, C, AntiAlias},
        {"Blur", A::None, C, Blur},
        {"Emboss1", A::None, C, Emboss1},
        {"Emboss2", A::None, C, Emboss2},
        {"Emboss3", A::None, C, Emboss3},
        {"FindEdges", A::None, C, FindEdges},
        {"Grayscale", A::None, C, Grayscale},
        {"HighPass", A::None, C, HighPass},
        {"NeonTrace", A::None, C, NeonTrace},
        {"ReflectLeftRight", A::None, G, ReflectLeftRight},
        {"ReflectUpDown", A::None, G, ReflectUpDown},
        {"Sharpen", A::None, C, Sharpen},
        {"Soften", A::None, C, Soften},
        {"StretchDownLeft", A::None, G, StretchDownLeft},
        {"StretchDownRight", A::None, G, StretchDownRight},
        {"StretchUpLeft", A::None, G, StretchUpLeft},
        {"StretchUpRight", A::None, G, StretchUpRight},
        {"SwapGreenBlue", A::None, C, SwapGreenBlue},
        {"SwapRedBlue", A::None, C, SwapRedBlue},
        {"SwapRedGreen", A::None, C, SwapRedGreen},
        // one integer
        {"AdjustContrast", A::Int, C, AdjustContrast},
        {"AdjustBrightness", A::Int, C, AdjustBrightness},
        {"ButtonizeSmooth", A::Int, C, ButtonizeSmooth},
        {"MaskEllipse", A::Int, C, MaskEllipse},
        {"Posterize", A::Int, C, Posterize},
        {"RippleRandom", A::Int, G, RippleRandom},
        {"RippleSine", A::Int, G, RippleSine},
        {"RippleTooth", A::Int, G, RippleTooth},
        {"RippleTriangle", A::Int, G, RippleTriangle},
        {"Solarize", A::Int, C, Solarize},
        {"Spray", A::Int, C, Spray},
        {"Swirl", A::Int, G, Swirl},
        {"Tile1", A::Int, G, Tile1},
        {"Tile2", A::Int, G, Tile2},
        {"Wind", A::Int, G, Wind},
        // two integers
        {"AddNoise", A::IntInt, G, AddNoise},
        {"ButtonizeEllipse1", A::IntInt, C, ButtonizeEllipse1},
        {"ButtonizeEllipse2", A::IntInt, C, ButtonizeEllipse2},
        {"ButtonizeEllipse3", A::IntInt, C, ButtonizeEllipse3},
        {"ButtonizeSimple", A::IntInt, C, ButtonizeSimple},
        {"Mosaic", A::IntInt, G, Mosaic},
        // three integers
        {"Colorize", A::IntIntInt, C, Colorize},
        // one float
        {"FishEye", A::Float, G, FishEye},
        {"ShakeLeftRight", A::Float, G, ShakeLeftRight},
        {"ShakeUpDown", A::Float, G, ShakeUpDown},
        {"TweakGamma", A::Float, C, TweakGamma},
        // float, integer
        {"TexturedGlass", A::FloatInt, G, TexturedGlass},
    };
    return table;
}

const TImagingEffect* FindImagingEffect(const QString& name)
{
    for (const TImagingEffect& e : ImagingEffects())
        if (name == QLatin1String(e.Name))
            return &e;
    return nullptr;
}

void ApplyImagingEffect(const TImagingEffect& effect, TRGBABuffer& picture, const TEffectParams& params)
{
    if (picture.Empty() || picture.Pixels.size() < size_t(picture.Width) * picture.Height * 4)
        return;
    std::vector<uint8_t> alpha;
    if (effect.Family == TEffectFamily::Colour) {
        alpha.reserve(size_t(picture.Width) * picture.Height);
        for (size_t i = 3; i < picture.Pixels.size(); i += 4)
            alpha.push_back(picture.Pixels[i]);
    }
    effect.Apply(picture, params);
    if (effect.Family == TEffectFamily::Colour)
        for (size_t i = 0; i < alpha.size(); ++i)
            picture.Pixels[i * 4 + 3] = alpha[i];
}
