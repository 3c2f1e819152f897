#include "raster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>

RGBA Rgb(uint32_t rgb, int alpha)
{
    return {float((rgb >> 16) & 0xFF) / 255.f, float((rgb >> 8) & 0xFF) / 255.f, float(rgb & 0xFF) / 255.f,
            float(alpha) / 255.f};
}

RGBA Mix(const RGBA& a, const RGBA& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

RGBA Lighter(const RGBA& c, float t) { return Mix(c, {1, 1, 1, c.a}, t); }
RGBA Darker(const RGBA& c, float t) { return Mix(c, {0, 0, 0, c.a}, t); }
RGBA Grey(const RGBA& c, float t)
{
    const float y = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
    return Mix(c, {y, y, y, c.a}, t);
}

Shape RoundRect(float x0, float y0, float x1, float y1, float r)
{
    return [=](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return false;
        const float cx = std::clamp(x, x0 + r, x1 - r);
        const float cy = std::clamp(y, y0 + r, y1 - r);
        const float dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= r * r;
    };
}

Shape TopRoundRect(float x0, float y0, float x1, float y1, float r)
{
    return [=](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return false;
        if (y >= y0 + r)
            return true;
        const float cx = std::clamp(x, x0 + r, x1 - r);
        const float dx = x - cx, dy = y - (y0 + r);
        return dx * dx + dy * dy <= r * r;
    };
}

Shape Ellipse(float cx, float cy, float rx, float ry)
{
    return [=](float x, float y) {
        const float dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.f;
    };
}

Shape Polygon(std::vector<std::pair<float, float>> pts)
{
    return [pts = std::move(pts)](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto [xi, yi] = pts[i];
            const auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    };
}

Shape Stroke(std::vector<std::pair<float, float>> pts, float width)
{
    const float h2 = width * width / 4.f;
    return [pts = std::move(pts), h2](float x, float y) {
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const auto [ax, ay] = pts[i];
            const auto [bx, by] = pts[i + 1];
            const float vx = bx - ax, vy = by - ay;
            const float len2 = vx * vx + vy * vy;
            float t = len2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0.f;
            t = std::clamp(t, 0.f, 1.f);
            const float dx = x - (ax + t * vx), dy = y - (ay + t * vy);
            if (dx * dx + dy * dy <= h2)
                return true;
        }
        return false;
    };
}

Shape Minus(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) && !b(x, y); };
}
Shape Union(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) || b(x, y); };
}
Shape Intersect(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) && b(x, y); };
}

Paint Solid(const RGBA& c)
{
    return [c](float, float) { return c; };
}

namespace {
RGBA Interpolate(const std::vector<std::pair<float, RGBA>>& stops, float v)
{
    if (v <= stops.front().first)
        return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (v <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            return Mix(stops[i - 1].second, stops[i].second, span > 0 ? (v - stops[i - 1].first) / span : 1.f);
        }
    }
    return stops.back().second;
}
} // namespace

Paint VGrad(std::vector<std::pair<float, RGBA>> stops)
{
    return [stops = std::move(stops)](float, float y) { return Interpolate(stops, y); };
}
Paint HGrad(std::vector<std::pair<float, RGBA>> stops)
{
    return [stops = std::move(stops)](float x, float) { return Interpolate(stops, x); };
}

Pic::Pic(int w, int h, const RGBA& fill) : w_(w), h_(h), px_(size_t(w) * size_t(h), fill) {}

void Pic::Fill(const Shape& s, const Paint& p)
{
    constexpr int N = 4;
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            int hits = 0;
            for (int j = 0; j < N; ++j)
                for (int i = 0; i < N; ++i)
                    hits += s(float(x) + (float(i) + 0.5f) / N, float(y) + (float(j) + 0.5f) / N);
            if (!hits)
                continue;
            RGBA src = p(float(x) + 0.5f, float(y) + 0.5f);
            src.a *= float(hits) / float(N * N);
            RGBA& dst = At(x, y);
            const float outA = src.a + dst.a * (1 - src.a);
            if (outA <= 0)
                continue;
            auto ch = [&](float s, float d) { return (s * src.a + d * dst.a * (1 - src.a)) / outA; };
            dst = {ch(src.r, dst.r), ch(src.g, dst.g), ch(src.b, dst.b), outA};
        }
    }
}

void Pic::Blit(const Pic& src, int ox, int oy)
{
    for (int y = 0; y < src.H(); ++y)
        for (int x = 0; x < src.W(); ++x) {
            const int tx = ox + x, ty = oy + y;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_)
                continue;
            const RGBA& s = src.At(x, y);
            RGBA& d = At(tx, ty);
            const float outA = s.a + d.a * (1 - s.a);
            if (outA <= 0)
                continue;
            auto ch = [&](float sv, float dv) { return (sv * s.a + dv * d.a * (1 - s.a)) / outA; };
            d = {ch(s.r, d.r), ch(s.g, d.g), ch(s.b, d.b), outA};
        }
}

Pic Pic::Crop(int x0, int y0, int w, int h) const
{
    Pic out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.At(x, y) = At(x0 + x, y0 + y);
    return out;
}

Pic Pic::FlipX() const
{
    Pic out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.At(x, y) = At(w_ - 1 - x, y);
    return out;
}

Pic Pic::Flatten(const RGBA& bg) const
{
    Pic out(w_, h_);
    for (size_t i = 0; i < px_.size(); ++i) {
        const RGBA& s = px_[i];
        out.px_[i] = {s.r * s.a + bg.r * (1 - s.a), s.g * s.a + bg.g * (1 - s.a), s.b * s.a + bg.b * (1 - s.a), 1};
    }
    return out;
}

Pic Pic::Keyed(const RGBA& key, const RGBA& under) const
{
    Pic out = Flatten(under);
    for (size_t i = 0; i < px_.size(); ++i)
        if (px_[i].a < 0.5f)
            out.px_[i] = {key.r, key.g, key.b, 1};
    return out;
}

namespace {
uint8_t Byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.f, 1.f) * 255.f)); }
void Put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void Put32(QByteArray& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
} // namespace

QImage Pic::ToImage() const
{
    QImage img(w_, h_, QImage::Format_ARGB32);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const RGBA& c = At(x, y);
            img.setPixel(x, y, qRgba(Byte(c.r), Byte(c.g), Byte(c.b), Byte(c.a)));
        }
    return img;
}

Pic Strip(const std::vector<Pic>& frames)
{
    int w = 0, h = 0;
    for (const Pic& f : frames) {
        w += f.W();
        h = std::max(h, f.H());
    }
    Pic out(w, h);
    int x = 0;
    for (const Pic& f : frames) {
        out.Blit(f, x, 0);
        x += f.W();
    }
    return out;
}

QByteArray BmpBytes(const Pic& p)
{
    const int stride = (p.W() * 3 + 3) & ~3;
    const uint32_t imageSize = uint32_t(stride * p.H());
    QByteArray b;
    b.append("BM");
    Put32(b, 14 + 40 + imageSize);
    Put32(b, 0);
    Put32(b, 14 + 40);
    Put32(b, 40);
    Put32(b, uint32_t(p.W()));
    Put32(b, uint32_t(p.H()));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, imageSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = p.H() - 1; y >= 0; --y) {
        for (int x = 0; x < p.W(); ++x) {
            const RGBA& c = p.At(x, y);
            b.append(char(Byte(c.b))).append(char(Byte(c.g))).append(char(Byte(c.r)));
        }
        b.append(QByteArray(stride - p.W() * 3, 0));
    }
    return b;
}

QByteArray IcoBytes(const std::vector<Pic>& sizes)
{
    std::vector<QByteArray> images;
    for (const Pic& p : sizes) {
        QByteArray d;
        const int maskStride = ((p.W() + 31) / 32) * 4;
        Put32(d, 40);
        Put32(d, uint32_t(p.W()));
        Put32(d, uint32_t(p.H() * 2));
        Put16(d, 1);
        Put16(d, 32);
        Put32(d, 0);
        Put32(d, uint32_t(p.W() * p.H() * 4 + maskStride * p.H()));
        for (int i = 0; i < 4; ++i)
            Put32(d, 0);
        for (int y = p.H() - 1; y >= 0; --y)
            for (int x = 0; x < p.W(); ++x) {
                const RGBA& c = p.At(x, y);
                d.append(char(Byte(c.b))).append(char(Byte(c.g))).append(char(Byte(c.r))).append(char(Byte(c.a)));
            }
        for (int y = p.H() - 1; y >= 0; --y) {
            QByteArray row(maskStride, 0);
            for (int x = 0; x < p.W(); ++x)
                if (Byte(p.At(x, y).a) == 0)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            d.append(row);
        }
        images.push_back(d);
    }
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, uint16_t(sizes.size()));
    uint32_t offset = 6 + 16 * uint32_t(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.append(char(sizes[i].W() & 0xFF)).append(char(sizes[i].H() & 0xFF)).append(char(0)).append(char(0));
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, uint32_t(images[i].size()));
        Put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const QByteArray& d : images)
        out.append(d);
    return out;
}

bool WriteFileIfChanged(const QString& path, const QByteArray& bytes)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    old.close();
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int WriteOrCheckArt(int argc, char** argv, const char* tool, const QString& folder, const std::vector<TArtFile>& art)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool check = args.size() == 3 && args[1] == QLatin1String("--check");
    if (!check && args.size() != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR | %s --check ROOT\n", tool, tool);
        return 2;
    }
    const QString out = args.last() + QLatin1Char('/') + folder + QLatin1Char('/');
    int bad = 0;
    for (const TArtFile& a : art) {
        const QImage image = a.Draw().convertToFormat(QImage::Format_ARGB32);
        if (check) {
            if (QImage(out + a.File).convertToFormat(QImage::Format_ARGB32) != image) {
                std::fprintf(stderr, "%s differs from what %s draws\n", a.File, tool);
                ++bad;
            }
        } else if (!QDir().mkpath(out) || !image.save(out + a.File)) {
            ++bad;
        }
    }
    return bad ? 1 : 0;
}
