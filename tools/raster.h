#pragma once

// A tiny deterministic rasterizer for the build-time art: shapes are inside-tests sampled 4 x 4 per
// pixel, paints are colour functions, and layers are blended source-over in floating point. It
// gives the same bytes on every machine, which an antialiasing painter of a toolkit does not
// promise.

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct RGBA {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB (screen order) with an optional alpha 0..255.
RGBA Rgb(uint32_t rgb, int alpha = 255);
RGBA Mix(const RGBA& a, const RGBA& b, float t);
RGBA Lighter(const RGBA& c, float t); // towards white
RGBA Darker(const RGBA& c, float t);  // towards black
RGBA Grey(const RGBA& c, float t);    // towards its own grey

using Shape = std::function<bool(float x, float y)>;
using Paint = std::function<RGBA(float x, float y)>;

Shape RoundRect(float x0, float y0, float x1, float y1, float r);
// A rectangle with only its top corners rounded.
Shape TopRoundRect(float x0, float y0, float x1, float y1, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape Polygon(std::vector<std::pair<float, float>> pts);
// A polyline of the given width with round joins and caps.
Shape Stroke(std::vector<std::pair<float, float>> pts, float width);
Shape Minus(Shape a, Shape b);
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);

Paint Solid(const RGBA& c);
// Piecewise-linear vertical gradient: stops are (y, colour) in increasing y.
Paint VGrad(std::vector<std::pair<float, RGBA>> stops);
Paint HGrad(std::vector<std::pair<float, RGBA>> stops);

class Pic {
public:
    Pic() = default;
    Pic(int w, int h, const RGBA& fill = {});
    int W() const { return w_; }
    int H() const { return h_; }
    RGBA& At(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    const RGBA& At(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }

    void Fill(const Shape& s, const Paint& p);
    void Fill(const Shape& s, const RGBA& c) { Fill(s, Solid(c)); }
    // Draws another picture with its top-left at (x, y).
    void Blit(const Pic& src, int x, int y);
    Pic Crop(int x, int y, int w, int h) const;
    Pic FlipX() const;

    // Every pixel composited over an opaque background.
    Pic Flatten(const RGBA& background) const;
    // Pixels at least half covered are composited over `under`; the rest become `key`, so the
    // picture can be drawn with `key` as its transparent colour without a fringe.
    Pic Keyed(const RGBA& key, const RGBA& under) const;

    QImage ToImage() const;

private:
    int w_ = 0, h_ = 0;
    std::vector<RGBA> px_;
};

// Frames side by side, left to right.
Pic Strip(const std::vector<Pic>& frames);

// Writers of our own, so that the bytes do not depend on a toolkit's image plugins: a 24-bit
// bottom-up BMP with the classic 40-byte header, and an icon file of 32-bit entries.
QByteArray BmpBytes(const Pic& p);
QByteArray IcoBytes(const std::vector<Pic>& sizes);
bool WriteFileIfChanged(const QString& path, const QByteArray& bytes);

// The pictures of a generator that writes PNG files into one folder of the project.
struct TArtFile {
    const char* File;
    std::function<QImage()> Draw;
};
// The whole main of such a generator: "tool OUT_DIR" writes every picture to OUT_DIR/folder/,
// "tool --check ROOT" compares those under ROOT/folder/ with what it draws. Returns the exit
// code.
int WriteOrCheckArt(int argc, char** argv, const char* tool, const QString& folder, const std::vector<TArtFile>& art);
