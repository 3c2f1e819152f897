#include "platform/gdip.h"

#include "platform/font_families.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

// ---------------------------------------------------------------------------------------------
// Objects

struct GpImage {
    QImage img; // always Format_ARGB32
};

struct GpMatrix {
    QTransform m;
};

struct GpPath {
    FillMode fillMode = FillModeAlternate;
    bool ellipse = false; // the one figure the drawing code adds: an ellipse or a rectangle
    bool hasFigure = false;
    GpRect rect{0, 0, 0, 0};
};

struct GpBrush {
    enum Kind { Solid, Linear, Texture, PathGradient } kind = Solid;
    ARGB color = 0;
    // linear
    GpRect rect{0, 0, 0, 0};
    ARGB c1 = 0, c2 = 0;
    LinearGradientMode mode = LinearGradientModeHorizontal;
    WrapMode wrap = WrapModeTile;
    // texture
    QImage texture;
    // path gradient
    GpPath path;
    GpPointF centre{0, 0};
    ARGB centreColor = 0xFFFFFFFF;
    ARGB surround = 0xFFFFFFFF;
};

struct GpPen {
    std::unique_ptr<GpBrush> brush;
    REAL width = 1;
    LineCap startCap = LineCapFlat;
    LineCap endCap = LineCapFlat;
};

struct GpFontFamily {
    QString name;
};

struct GpFont {
    QString family;
    REAL size = 0;
    INT style = 0;
    GpUnit unit = UnitPixel;
};

struct GpGraphics {
    QPainter* painter = nullptr;
    std::unique_ptr<QPainter> owned;
    QSize deviceSize;
    InterpolationMode interpolation = InterpolationModeDefault;
    PixelOffsetMode pixelOffset = PixelOffsetModeDefault;
    SmoothingMode smoothing = SmoothingModeDefault;
    TextRenderingHint textHint = TextRenderingHintSystemDefault;
    QTransform world;
    QTransform base; // the painter's transform when the graphics was made on a device context
};

const GUID EncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
const GUID EncoderSaveFlag = {0x292266fc, 0xac40, 0x47bf, {0x8c, 0xfc, 0xa8, 0x5b, 0x89, 0xa6, 0x55, 0xde}};

namespace {

inline int A(ARGB c) { return int(c >> 24); }
inline int R(ARGB c) { return int((c >> 16) & 0xFF); }
inline int G(ARGB c) { return int((c >> 8) & 0xFF); }
inline int B(ARGB c) { return int(c & 0xFF); }

inline ARGB Lerp(ARGB a, ARGB b, double t)
{
    auto mix = [t](int x, int y) { return uint32_t(std::lround(x + (y - x) * t)) & 0xFF; };
    return (mix(A(a), A(b)) << 24) | (mix(R(a), R(b)) << 16) | (mix(G(a), G(b)) << 8) | mix(B(a), B(b));
}

bool Antialiased(const GpGraphics* g)
{
    return g->smoothing == SmoothingModeHighQuality || g->smoothing == SmoothingModeAntiAlias;
}

// Puts the graphics' state into its painter before each call: the drawing code changes modes on
// the graphics object, and several graphics objects may share one device context's painter.
void Prepare(GpGraphics* g)
{
    QPainter* p = g->painter;
    p->setRenderHint(QPainter::Antialiasing, Antialiased(g));
    const bool smoothImages = g->interpolation != InterpolationModeNearestNeighbor;
    p->setRenderHint(QPainter::SmoothPixmapTransform, smoothImages);
    p->setTransform(g->world * g->base);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The drawing code puts pixel centres on whole coordinates; Qt on half coordinates.
constexpr double kCentre = 0.5;

// Source-over of one non-premultiplied pixel onto another, computed exactly: a colour drawn on a
// transparent pixel keeps its components, which QPainter's premultiplied pipeline rounds away at
// low alpha.
inline ARGB BlendOver(ARGB src, ARGB dst)
{
    const int sa = A(src);
    if (sa == 255)
        return src;
    if (sa == 0)
        return dst;
    const int da = A(dst);
    if (da == 0)
        return src;
    const int dw = da * (255 - sa); // destination weight, scaled by 255
    const int outA255 = sa * 255 + dw;
    auto ch = [&](int s, int d) { return uint32_t((s * sa * 255 + d * dw + outA255 / 2) / outA255); };
    const uint32_t outA = uint32_t((outA255 + 127) / 255);
    return (outA << 24) | (ch(R(src), R(dst)) << 16) | (ch(G(src), G(dst)) << 8) | ch(B(src), B(dst));
}

// The image a graphics draws on when it can be written pixel by pixel: an image graphics with no
// world transform. Null otherwise.
QImage* DirectTarget(GpGraphics* g)
{
    if (!g->owned || !g->world.isIdentity())
        return nullptr;
    auto* img = dynamic_cast<QImage*>(g->painter->device());
    return img && img->format() == QImage::Format_ARGB32 ? img : nullptr;
}

// The colours of a linear brush over the device pixels of area, as an image of the area's size.
QImage LinearTexture(const GpBrush& b, const QRect& area)
{
    QImage img(area.size(), QImage::Format_ARGB32);
    if (img.isNull())
        return img;
    const double x0 = b.rect.X, y0 = b.rect.Y, w = b.rect.Width, h = b.rect.Height;
    auto colour = [&](double t) {
        if (b.wrap == WrapModeClamp)
            t = std::clamp(t, 0.0, 1.0);
        else
            t -= std::floor(t);
        return Lerp(b.c1, b.c2, t);
    };
    // The axis-parallel modes repeat one row or one colour per row.
    if (b.mode == LinearGradientModeHorizontal) {
        auto* first = reinterpret_cast<ARGB*>(img.scanLine(0));
        for (int i = 0; i < area.width(); ++i)
            first[i] = colour((area.x() + i - x0) / w);
        for (int j = 1; j < area.height(); ++j)
            std::memcpy(img.scanLine(j), first, size_t(area.width()) * sizeof(ARGB));
        return img;
    }
    if (b.mode == LinearGradientModeVertical) {
        for (int j = 0; j < area.height(); ++j) {
            auto* line = reinterpret_cast<ARGB*>(img.scanLine(j));
            std::fill(line, line + area.width(), colour((area.y() + j - y0) / h));
        }
        return img;
    }
    for (int j = 0; j < area.height(); ++j) {
        auto* line = reinterpret_cast<ARGB*>(img.scanLine(j));
        const int py = area.y() + j;
        for (int i = 0; i < area.width(); ++i) {
            const int px = area.x() + i;
            // The diagonal modes scale with the rectangle: the gradient runs corner to corner, and
            // the two other corners take the middle colour whatever the rectangle's proportions.
            const double t = b.mode == LinearGradientModeForwardDiagonal ? ((px - x0) / w + (py - y0) / h) / 2
                                                                          : ((x0 + w - px) / w + (py - y0) / h) / 2;
            line[i] = colour(t);
        }
    }
    return img;
}

// Fraction of the way from the centre to the path's edge, along the ray through (px, py);
// returns a negative value outside the path (with a one-pixel fringe kept at the edge colour so
// that antialiased edges of a shape filled with this brush have a colour to blend).
double PathFraction(const GpBrush& b, double px, double py)
{
    const GpRect& r = b.path.rect;
    const double cx = b.centre.X, cy = b.centre.Y;
    const double dx = px - cx, dy = py - cy;
    if (b.path.ellipse) {
        const double a = r.Width / 2.0, bb = r.Height / 2.0;
        const double ex = r.X + a, ey = r.Y + bb;
        const double inside = ((px - ex) / a) * ((px - ex) / a) + ((py - ey) / bb) * ((py - ey) / bb);
        const double fringe = ((std::abs(px - ex) - 1) > 0 ? (std::abs(px - ex) - 1) : 0) / a;
        const double fringeY = ((std::abs(py - ey) - 1) > 0 ? (std::abs(py - ey) - 1) : 0) / bb;
        if (inside > 1 && fringe * fringe + fringeY * fringeY > 1)
            return -1;
        if (dx == 0 && dy == 0)
            return 0;
        const double ux = (cx - ex) / a, uy = (cy - ey) / bb, vx = dx / a, vy = dy / bb;
        const double vv = vx * vx + vy * vy, uv = ux * vx + uy * vy, uu = ux * ux + uy * uy;
        const double disc = uv * uv - vv * (uu - 1);
        if (disc < 0)
            return 1;
        const double s = (-uv + std::sqrt(disc)) / vv;
        return s <= 0 ? 1 : std::min(1.0, 1.0 / s);
    }
    const double left = r.X, top = r.Y, right = r.X + r.Width, bottom = r.Y + r.Height;
    if (px < left - 1 || px > right + 1 || py < top - 1 || py > bottom + 1)
        return -1;
    if (dx == 0 && dy == 0)
        return 0;
    double s = 1e300;
    if (dx > 0)
        s = std::min(s, (right - cx) / dx);
    if (dx < 0)
        s = std::min(s, (left - cx) / dx);
    if (dy > 0)
        s = std::min(s, (bottom - cy) / dy);
    if (dy < 0)
        s = std::min(s, (top - cy) / dy);
    return s <= 0 ? 1 : std::min(1.0, 1.0 / s);
}

// The colours of a path-gradient brush over the device pixels of area.
QImage PathTexture(const GpBrush& b, const QRect& area)
{
    QImage img(area.size(), QImage::Format_ARGB32);
    for (int j = 0; j < area.height(); ++j) {
        auto* line = reinterpret_cast<ARGB*>(img.scanLine(j));
        for (int i = 0; i < area.width(); ++i) {
            const double t = PathFraction(b, area.x() + i, area.y() + j);
            line[i] = t < 0 ? 0 : Lerp(b.centreColor, b.surround, t);
        }
    }
    return img;
}

// The colour a brush gives each device pixel: gradients computed once over the device, textures
// tiled from the origin.
class BrushSampler {
public:
    // Gradients are computed for the device pixels of area only; At is asked for no other.
    BrushSampler(const GpBrush& b, const QRect& area) : b_(b), origin_(area.topLeft())
    {
        if (b.kind == GpBrush::Linear)
            colours_ = LinearTexture(b, area);
        else if (b.kind == GpBrush::PathGradient)
            colours_ = PathTexture(b, area);
    }
    ARGB At(int x, int y) const
    {
        switch (b_.kind) {
        case GpBrush::Solid: return b_.color;
        case GpBrush::Texture: {
            const QImage& t = b_.texture;
            if (t.isNull())
                return 0;
            const int tx = ((x % t.width()) + t.width()) % t.width();
            const int ty = ((y % t.height()) + t.height()) % t.height();
            return reinterpret_cast<const ARGB*>(t.constScanLine(ty))[tx];
        }
        default: return reinterpret_cast<const ARGB*>(colours_.constScanLine(y - origin_.y()))[x - origin_.x()];
        }
    }

private:
    const GpBrush& b_;
    QPoint origin_;
    QImage colours_;
};

// Aliased ellipses, pixel by pixel, symmetric about their axes (Qt's aliased curves are not). A
// fill covers the pixels whose squares have their middle inside the ellipse inscribed in
// (x, y, w, h), so it fits the cells a filled rectangle of the same numbers covers. An outline
// pen wide covers the pixels whose centres, on whole coordinates as for the aliased rectangle
// outline, lie between that ellipse grown and shrunk by half the pen.
void PaintAliasedEllipse(QImage& dst, const GpBrush& brush, int x, int y, int w, int h, double pen)
{
    const bool outline = pen > 0;
    const double offset = outline ? 0.0 : 0.5;
    const double cx = x + w / 2.0, cy = y + h / 2.0;
    const double ao = w / 2.0 + pen / 2, bo = h / 2.0 + pen / 2;
    const double ai = w / 2.0 - pen / 2, bi = h / 2.0 - pen / 2;
    if (ao <= 0 || bo <= 0)
        return;
    const bool hollow = outline && ai > 0 && bi > 0;
    constexpr double eps = 1e-9;
    const int y0 = std::max(0, int(std::floor(cy - bo)) - 1), y1 = std::min(dst.height() - 1, int(std::ceil(cy + bo)) + 1);
    const int x0 = std::max(0, int(std::floor(cx - ao)) - 1), x1 = std::min(dst.width() - 1, int(std::ceil(cx + ao)) + 1);
    if (x0 > x1 || y0 > y1)
        return;
    const BrushSampler colours(brush, QRect(QPoint(x0, y0), QPoint(x1, y1)));
    for (int py = y0; py <= y1; ++py) {
        auto* d = reinterpret_cast<ARGB*>(dst.scanLine(py));
        const double sy = py + offset - cy;
        for (int px = x0; px <= x1; ++px) {
            const double sx = px + offset - cx;
            if ((sx / ao) * (sx / ao) + (sy / bo) * (sy / bo) > 1 + eps)
                continue;
            if (hollow && (sx / ai) * (sx / ai) + (sy / bi) * (sy / bi) < 1 - eps)
                continue;
            d[px] = BlendOver(colours.At(px, py), d[px]);
        }
    }
}

QColor ToQColor(ARGB c)
{
    return QColor(R(c), G(c), B(c), A(c));
}

// The QBrush that paints what the brush would paint on this graphics' device. Gradients are
// computed per pixel over the device, interpolating the four components unpremultiplied.
QBrush ToQBrush(const GpBrush& b, const GpGraphics* g)
{
    QSize size = g->deviceSize;
    if (size.isEmpty())
        size = QSize(1, 1);
    QBrush out;
    switch (b.kind) {
    case GpBrush::Solid: return QBrush(ToQColor(b.color));
    case GpBrush::Linear: out = QBrush(LinearTexture(b, QRect(QPoint(0, 0), size))); break;
    case GpBrush::PathGradient: out = QBrush(PathTexture(b, QRect(QPoint(0, 0), size))); break;
    case GpBrush::Texture: out = QBrush(b.texture); break;
    }
    // Textures are laid out in device pixels from the origin, whatever world transform is set.
    out.setTransform((g->world * g->base).inverted() * g->base);
    return out;
}

QPen ToQPen(const GpPen& pen, const GpGraphics* g)
{
    QPen p(ToQBrush(*pen.brush, g), pen.width);
    p.setJoinStyle(Qt::MiterJoin);
    p.setMiterLimit(10);
    const bool round = pen.startCap == LineCapRound || pen.endCap == LineCapRound;
    if (!Antialiased(g) && pen.width <= 1)
        p.setCapStyle(round ? Qt::RoundCap : Qt::SquareCap); // both end points covered
    else if (round)
        p.setCapStyle(Qt::RoundCap);
    else if (pen.startCap == LineCapSquare)
        p.setCapStyle(Qt::SquareCap);
    else
        p.setCapStyle(Qt::FlatCap);
    return p;
}

QImage ToARGB32(const QImage& img)
{
    return img.format() == QImage::Format_ARGB32 ? img : img.convertToFormat(QImage::Format_ARGB32);
}

QHash<QString, GdipImageDecoder>& Decoders()
{
    static QHash<QString, GdipImageDecoder> map;
    return map;
}

bool LoadImageFile(const QString& fileName, QImage& out)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (auto it = Decoders().constFind(ext); it != Decoders().constEnd()) {
        QImage img;
        if (it.value()(bytes, img) && !img.isNull()) {
            out = ToARGB32(img);
            return true;
        }
        return false;
    }
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    reader.setAutoTransform(false);
    QImage img = reader.read();
    if (img.isNull())
        return false;
    out = ToARGB32(img);
    return true;
}

struct Encoder {
    CLSID clsid;
    const char16_t* name;
    const char16_t* description;
    const char16_t* extensions;
    const char16_t* mime;
    const char* qtFormat;
};

const Encoder kEncoders[] = {
    {{0xb96b3c00, 0x0728, 0x11d3, {0x9d, 0x7b, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}}, u"BMP Encoder", u"BMP",
     u"*.BMP;*.DIB;*.RLE", u"image/bmp", "bmp"},
    {{0xb96b3c01, 0x0728, 0x11d3, {0x9d, 0x7b, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}}, u"JPEG Encoder", u"JPEG",
     u"*.JPG;*.JPEG;*.JPE;*.JFIF", u"image/jpeg", "jpeg"},
    {{0xb96b3c05, 0x0728, 0x11d3, {0x9d, 0x7b, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}}, u"TIFF Encoder", u"TIFF",
     u"*.TIF;*.TIFF", u"image/tiff", "tiff"},
    {{0xb96b3c06, 0x0728, 0x11d3, {0x9d, 0x7b, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}}, u"PNG Encoder", u"PNG",
     u"*.PNG", u"image/png", "png"},
};

inline QTransform Apply(const QTransform& current, const QTransform& op, MatrixOrder order)
{
    // Qt multiplies row vectors: a * b applies a first. Prepend puts the new operation first.
    return order == MatrixOrderAppend ? current * op : op * current;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Images

GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, uint8_t* scan0,
                                   GpBitmap** bitmap)
{
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (width <= 0 || height <= 0 || format != PixelFormat32bppARGB)
        return InvalidParameter;
    QImage img(width, height, QImage::Format_ARGB32);
    if (img.isNull())
        return OutOfMemory;
    if (scan0) {
        if (stride < width * 4)
            return InvalidParameter;
        for (int y = 0; y < height; ++y)
            std::memcpy(img.scanLine(y), scan0 + qsizetype(y) * stride, size_t(width) * 4);
    } else {
        img.fill(0);
    }
    *bitmap = new GpImage{std::move(img)};
    return Ok;
}

GpStatus GdipLoadImageFromFile(const QString& fileName, GpImage** image)
{
    if (!image)
        return InvalidParameter;
    *image = nullptr;
    if (!QFileInfo::exists(fileName))
        return Win32Error;
    QImage img;
    if (!LoadImageFile(fileName, img))
        return OutOfMemory; // what the platform answers for a file it cannot decode
    *image = new GpImage{std::move(img)};
    return Ok;
}

GpStatus GdipCreateBitmapFromFile(const QString& fileName, GpBitmap** bitmap)
{
    return GdipLoadImageFromFile(fileName, bitmap);
}

GpStatus GdipCloneImage(GpImage* image, GpImage** clone)
{
    if (!image || !clone)
        return InvalidParameter;
    *clone = new GpImage{image->img.copy()};
    return Ok;
}

GpStatus GdipDisposeImage(GpImage* image)
{
    if (!image)
        return InvalidParameter;
    delete image;
    return Ok;
}

GpStatus GdipGetImageWidth(GpImage* image, UINT* width)
{
    if (!image || !width)
        return InvalidParameter;
    *width = UINT(image->img.width());
    return Ok;
}

GpStatus GdipGetImageHeight(GpImage* image, UINT* height)
{
    if (!image || !height)
        return InvalidParameter;
    *height = UINT(image->img.height());
    return Ok;
}

GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color)
{
    if (!bitmap || !color || x < 0 || y < 0 || x >= bitmap->img.width() || y >= bitmap->img.height())
        return InvalidParameter;
    *color = reinterpret_cast<const ARGB*>(bitmap->img.constScanLine(y))[x];
    return Ok;
}

GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color)
{
    if (!bitmap || x < 0 || y < 0 || x >= bitmap->img.width() || y >= bitmap->img.height())
        return InvalidParameter;
    reinterpret_cast<ARGB*>(bitmap->img.scanLine(y))[x] = color;
    return Ok;
}

GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType type)
{
    if (!image || type < 0 || type > 7)
        return InvalidParameter;
    const QImage& src = image->img;
    const int w = src.width(), h = src.height();
    const int quarter = type & 3; // clockwise quarter turns, applied before the flip
    const bool flipX = type >= 4;
    const bool swap = quarter & 1;
    const int nw = swap ? h : w, nh = swap ? w : h;
    QImage dst(nw, nh, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const ARGB*>(src.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            int dx = x, dy = y;
            switch (quarter) {
            case 1: dx = h - 1 - y; dy = x; break;
            case 2: dx = w - 1 - x; dy = h - 1 - y; break;
            case 3: dx = y; dy = w - 1 - x; break;
            default: break;
            }
            if (flipX)
                dx = nw - 1 - dx;
            reinterpret_cast<ARGB*>(dst.scanLine(dy))[dx] = s[x];
        }
    }
    image->img = std::move(dst);
    return Ok;
}

GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    if (!numEncoders || !size)
        return InvalidParameter;
    *numEncoders = UINT(std::size(kEncoders));
    *size = UINT(sizeof(ImageCodecInfo) * std::size(kEncoders));
    return Ok;
}

GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    if (!encoders || numEncoders != std::size(kEncoders) || size < sizeof(ImageCodecInfo) * numEncoders)
        return InvalidParameter;
    for (UINT i = 0; i < numEncoders; ++i) {
        const Encoder& e = kEncoders[i];
        encoders[i] = ImageCodecInfo{e.clsid, e.name, e.description, e.extensions, e.mime};
    }
    return Ok;
}

int FindEncoderByMimeType(const QString& mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    GdipGetImageEncodersSize(&count, &size);
    if (size == 0)
        return -1;
    std::vector<ImageCodecInfo> info(count);
    GdipGetImageEncoders(count, size, info.data());
    int found = -1;
    for (UINT i = 0; i < count; ++i) {
        if (QString::fromUtf16(info[i].MimeType) == mimeType) {
            if (clsid)
                *clsid = info[i].Clsid;
            found = int(i);
        }
    }
    return found;
}

GpStatus GdipSaveImageToFile(GpImage* image, const QString& fileName, const CLSID* encoder,
                             const EncoderParameters* params)
{
    if (!image || !encoder)
        return InvalidParameter;
    const Encoder* e = nullptr;
    for (const Encoder& candidate : kEncoders)
        if (candidate.clsid == *encoder)
            e = &candidate;
    if (!e)
        return FileNotFound; // no such encoder
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return Win32Error;
    QImageWriter writer(&file, e->qtFormat);
    if (params) {
        for (uint32_t i = 0; i < params->Count && i < 1; ++i) {
            const EncoderParameter& p = params->Parameter[i];
            if (p.Guid == EncoderQuality && p.NumberOfValues >= 1 && p.Value)
                writer.setQuality(int(*static_cast<const uint32_t*>(p.Value)));
        }
    }
    if (!writer.write(image->img)) {
        file.cancelWriting();
        return Win32Error;
    }
    return file.commit() ? Ok : Win32Error;
}

QImage* GdipImageData(GpImage* image)
{
    return image ? &image->img : nullptr;
}

GpImage* GdipImageFromQImage(const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return nullptr;
    return new GpImage{ToARGB32(image).copy()};
}

void GdipRegisterImageDecoder(const QString& extension, GdipImageDecoder decoder)
{
    if (decoder)
        Decoders().insert(extension.toLower(), decoder);
    else
        Decoders().remove(extension.toLower());
}

// ---------------------------------------------------------------------------------------------
// Graphics

GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics)
{
    if (!image || !graphics)
        return InvalidParameter;
    auto g = new GpGraphics;
    g->owned = std::make_unique<QPainter>(&image->img);
    g->painter = g->owned.get();
    g->deviceSize = image->img.size();
    *graphics = g;
    return Ok;
}

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
    if (!hdc || !graphics || !hdc->isActive())
        return InvalidParameter;
    auto g = new GpGraphics;
    g->painter = hdc;
    hdc->save();
    g->base = hdc->transform();
    QPaintDevice* dev = hdc->device();
    g->deviceSize = dev ? QSize(dev->width(), dev->height()) : QSize();
    *graphics = g;
    return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    if (!graphics->owned)
        graphics->painter->restore();
    delete graphics;
    return Ok;
}

GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode)
{
    if (!graphics)
        return InvalidParameter;
    graphics->interpolation = mode;
    return Ok;
}

GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode)
{
    if (!graphics)
        return InvalidParameter;
    graphics->pixelOffset = mode;
    return Ok;
}

GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode)
{
    if (!graphics)
        return InvalidParameter;
    graphics->smoothing = mode;
    return Ok;
}

GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode)
{
    if (!graphics)
        return InvalidParameter;
    graphics->textHint = mode;
    return Ok;
}

GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix)
{
    if (!graphics || !matrix)
        return InvalidParameter;
    graphics->world = matrix->m;
    return Ok;
}

GpStatus GdipResetWorldTransform(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    graphics->world.reset();
    return Ok;
}

GpStatus GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order)
{
    if (!graphics)
        return InvalidParameter;
    graphics->world = Apply(graphics->world, QTransform::fromTranslate(dx, dy), order);
    return Ok;
}

GpStatus GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order)
{
    if (!graphics)
        return InvalidParameter;
    graphics->world = Apply(graphics->world, QTransform().rotate(angle), order);
    return Ok;
}

GpStatus GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order)
{
    if (!graphics)
        return InvalidParameter;
    graphics->world = Apply(graphics->world, QTransform::fromScale(sx, sy), order);
    return Ok;
}

GpStatus GdipCreateMatrix(GpMatrix** matrix)
{
    if (!matrix)
        return InvalidParameter;
    *matrix = new GpMatrix;
    return Ok;
}

GpStatus GdipDeleteMatrix(GpMatrix* matrix)
{
    if (!matrix)
        return InvalidParameter;
    delete matrix;
    return Ok;
}

GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL dx, REAL dy, MatrixOrder order)
{
    if (!matrix)
        return InvalidParameter;
    matrix->m = Apply(matrix->m, QTransform::fromTranslate(dx, dy), order);
    return Ok;
}

GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order)
{
    if (!matrix)
        return InvalidParameter;
    matrix->m = Apply(matrix->m, QTransform().rotate(angle), order);
    return Ok;
}

GpStatus GdipScaleMatrix(GpMatrix* matrix, REAL sx, REAL sy, MatrixOrder order)
{
    if (!matrix)
        return InvalidParameter;
    matrix->m = Apply(matrix->m, QTransform::fromScale(sx, sy), order);
    return Ok;
}

// ---------------------------------------------------------------------------------------------
// Drawing

GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height)
{
    if (!graphics || !image || width == 0 || height == 0)
        return InvalidParameter;
    Prepare(graphics);
    QPainter* p = graphics->painter;
    const QImage& src = image->img;
    const QRectF target(x, y, width, height);
    const bool highQuality = graphics->interpolation == InterpolationModeHighQualityBicubic ||
                             graphics->interpolation == InterpolationModeHighQualityBilinear;
    const bool sameSize = std::abs(width) == src.width() && std::abs(height) == src.height();
    if (highQuality && !sameSize && graphics->world.isIdentity() && width > 0 && height > 0) {
        // Area-averaging reduction gives the smooth thumbnails the high-quality modes stand for.
        const QImage scaled = src.scaled(QSize(int(std::lround(width)), int(std::lround(height))),
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p->drawImage(target, scaled);
        return Ok;
    }
    if (sameSize && width > 0 && height > 0 && x == std::floor(x) && y == std::floor(y)) {
        if (QImage* dst = DirectTarget(graphics)) {
            const int ox = int(x), oy = int(y);
            const int x0 = std::max(0, ox), y0 = std::max(0, oy);
            const int x1 = std::min(dst->width(), ox + src.width()), y1 = std::min(dst->height(), oy + src.height());
            for (int yy = y0; yy < y1; ++yy) {
                const auto* s = reinterpret_cast<const ARGB*>(src.constScanLine(yy - oy));
                auto* d = reinterpret_cast<ARGB*>(dst->scanLine(yy));
                for (int xx = x0; xx < x1; ++xx)
                    d[xx] = BlendOver(s[xx - ox], d[xx]);
            }
            return Ok;
        }
        if (graphics->world.isIdentity())
            p->setRenderHint(QPainter::SmoothPixmapTransform, false); // 1:1 copies stay exact
    }
    p->drawImage(target, src);
    return Ok;
}

GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    return GdipDrawImageRect(graphics, image, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y)
{
    if (!image)
        return InvalidParameter;
    return GdipDrawImageRect(graphics, image, REAL(x), REAL(y), REAL(image->img.width()),
                             REAL(image->img.height()));
}

GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2)
{
    if (!graphics || !pen)
        return InvalidParameter;
    Prepare(graphics);
    QPainter* p = graphics->painter;
    p->setPen(ToQPen(*pen, graphics));
    p->setBrush(Qt::NoBrush);
    if (Antialiased(graphics)) {
        p->drawLine(QPointF(x1 + kCentre, y1 + kCentre), QPointF(x2 + kCentre, y2 + kCentre));
    } else if (pen->width > 1) {
        // A thick aliased line covers the cells whose centres lie on it, end cells included:
        // nudge the ends outwards so that Qt's tie rule does not drop the first cell.
        QLineF line(x1 + kCentre, y1 + kCentre, x2 + kCentre, y2 + kCentre);
        if (line.length() > 0) {
            const QPointF d = (line.p2() - line.p1()) / line.length() * 0.01;
            line = QLineF(line.p1() - d, line.p2() + d);
        }
        p->drawLine(line);
    } else {
        p->drawLine(x1, y1, x2, y2); // thin aliased lines: Qt's line stepping covers both ends
    }
    return Ok;
}

GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    if (!graphics || !pen)
        return InvalidParameter;
    Prepare(graphics);
    QPainter* p = graphics->painter;
    p->setPen(ToQPen(*pen, graphics));
    p->setBrush(Qt::NoBrush);
    if (Antialiased(graphics) || pen->width > 1)
        p->drawRect(QRectF(x + kCentre, y + kCentre, width, height));
    else
        p->drawRect(QRect(x, y, width, height));
    return Ok;
}

GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    if (!graphics || !pen)
        return InvalidParameter;
    if (QImage* dst = DirectTarget(graphics); dst && !Antialiased(graphics) && pen->width > 0) {
        PaintAliasedEllipse(*dst, *pen->brush, x, y, width, height, pen->width);
        return Ok;
    }
    Prepare(graphics);
    QPainter* p = graphics->painter;
    p->setPen(ToQPen(*pen, graphics));
    p->setBrush(Qt::NoBrush);
    p->drawEllipse(QRectF(x + kCentre, y + kCentre, width, height));
    return Ok;
}

GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    if (!graphics || !brush)
        return InvalidParameter;
    if (width <= 0 || height <= 0)
        return Ok;
    if (QImage* dst = DirectTarget(graphics)) {
        const int x0 = std::max(0, x), y0 = std::max(0, y);
        const int x1 = std::min(dst->width(), x + width), y1 = std::min(dst->height(), y + height);
        if (x0 >= x1 || y0 >= y1)
            return Ok;
        if (brush->kind == GpBrush::Solid && A(brush->color) == 255) {
            for (int yy = y0; yy < y1; ++yy) {
                auto* d = reinterpret_cast<ARGB*>(dst->scanLine(yy));
                std::fill(d + x0, d + x1, brush->color);
            }
            return Ok;
        }
        const BrushSampler colours(*brush, QRect(x0, y0, x1 - x0, y1 - y0));
        for (int yy = y0; yy < y1; ++yy) {
            auto* d = reinterpret_cast<ARGB*>(dst->scanLine(yy));
            for (int xx = x0; xx < x1; ++xx)
                d[xx] = BlendOver(colours.At(xx, yy), d[xx]);
        }
        return Ok;
    }
    Prepare(graphics);
    QPainter* p = graphics->painter;
    // A filled rectangle covers exactly columns x .. x + width - 1: its edges fall on pixel
    // boundaries, so antialiasing changes nothing and is left off to keep the edges exact.
    p->setRenderHint(QPainter::Antialiasing, false);
    p->fillRect(QRect(x, y, width, height), ToQBrush(*brush, graphics));
    return Ok;
}

GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    if (!graphics || !brush)
        return InvalidParameter;
    if (width <= 0 || height <= 0)
        return Ok;
    if (QImage* dst = DirectTarget(graphics); dst && !Antialiased(graphics)) {
        PaintAliasedEllipse(*dst, *brush, x, y, width, height, 0);
        return Ok;
    }
    Prepare(graphics);
    QPainter* p = graphics->painter;
    p->setPen(Qt::NoPen);
    p->setBrush(ToQBrush(*brush, graphics));
    p->drawEllipse(QRectF(x + kCentre, y + kCentre, width, height));
    return Ok;
}

GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path)
{
    if (!graphics || !brush || !path)
        return InvalidParameter;
    if (!path->hasFigure)
        return Ok;
    return path->ellipse
               ? GdipFillEllipseI(graphics, brush, path->rect.X, path->rect.Y, path->rect.Width, path->rect.Height)
               : GdipFillRectangleI(graphics, brush, path->rect.X, path->rect.Y, path->rect.Width, path->rect.Height);
}

GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color)
{
    if (!graphics)
        return InvalidParameter;
    QPainter* p = graphics->painter;
    p->save();
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(QPoint(0, 0), graphics->deviceSize), ToQColor(color));
    p->restore();
    return Ok;
}

// ---------------------------------------------------------------------------------------------
// Brushes, paths, pens

GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush)
{
    if (!brush)
        return InvalidParameter;
    auto b = new GpBrush;
    b->kind = GpBrush::Solid;
    b->color = color;
    *brush = b;
    return Ok;
}

GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      WrapMode wrapMode, GpLineGradient** brush)
{
    if (!brush)
        return InvalidParameter;
    *brush = nullptr;
    if (!rect || rect->Width <= 0 || rect->Height <= 0 || mode < 0 || mode > 3)
        return OutOfMemory; // the platform refuses an empty gradient rectangle this way
    auto b = new GpBrush;
    if (color1 == color2) {
        // One plain colour: a solid brush paints exactly the same and needs no texture.
        b->kind = GpBrush::Solid;
        b->color = color1;
    } else {
        b->kind = GpBrush::Linear;
    }
    b->rect = *rect;
    b->c1 = color1;
    b->c2 = color2;
    b->mode = mode;
    b->wrap = wrapMode;
    *brush = b;
    return Ok;
}

GpStatus GdipCreateTexture(GpImage* image, WrapMode wrapMode, GpTexture** brush)
{
    if (!brush)
        return InvalidParameter;
    *brush = nullptr;
    if (!image)
        return InvalidParameter;
    auto b = new GpBrush;
    b->kind = GpBrush::Texture;
    b->texture = image->img.copy(); // never share pixels with an image a painter may be open on
    b->wrap = wrapMode;
    *brush = b;
    return Ok;
}

GpStatus GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush)
{
    if (!brush)
        return InvalidParameter;
    *brush = nullptr;
    if (!path || !path->hasFigure || path->rect.Width <= 0 || path->rect.Height <= 0)
        return OutOfMemory;
    auto b = new GpBrush;
    b->kind = GpBrush::PathGradient;
    b->path = *path;
    // The default centre is the middle of the path's bounds.
    b->centre = {REAL(path->rect.X + path->rect.Width / 2.0), REAL(path->rect.Y + path->rect.Height / 2.0)};
    *brush = b;
    return Ok;
}

GpStatus GdipSetPathGradientCenterPoint(GpPathGradient* brush, const GpPointF* point)
{
    if (!brush || !point || brush->kind != GpBrush::PathGradient)
        return InvalidParameter;
    brush->centre = *point;
    return Ok;
}

GpStatus GdipSetPathGradientCenterPointI(GpPathGradient* brush, const GpPoint* point)
{
    if (!point)
        return InvalidParameter;
    GpPointF f{REAL(point->X), REAL(point->Y)};
    return GdipSetPathGradientCenterPoint(brush, &f);
}

GpStatus GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB color)
{
    if (!brush || brush->kind != GpBrush::PathGradient)
        return InvalidParameter;
    brush->centreColor = color;
    return Ok;
}

GpStatus GdipGetPathGradientPointCount(GpPathGradient* brush, INT* count)
{
    if (!brush || !count || brush->kind != GpBrush::PathGradient)
        return InvalidParameter;
    // The flattened outline: four Bezier segments for an ellipse, four corners for a rectangle.
    *count = brush->path.ellipse ? 13 : 4;
    return Ok;
}

GpStatus GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* colors, INT* count)
{
    if (!brush || !colors || !count || *count < 1 || brush->kind != GpBrush::PathGradient)
        return InvalidParameter;
    // The drawing code passes one colour for the whole outline.
    brush->surround = colors[0];
    return Ok;
}

GpStatus GdipDeleteBrush(GpBrush* brush)
{
    if (!brush)
        return InvalidParameter;
    delete brush;
    return Ok;
}

GpStatus GdipCreatePath(FillMode fillMode, GpPath** path)
{
    if (!path)
        return InvalidParameter;
    *path = new GpPath;
    (*path)->fillMode = fillMode;
    return Ok;
}

GpStatus GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height)
{
    if (!path)
        return InvalidParameter;
    path->ellipse = true;
    path->hasFigure = true;
    path->rect = {x, y, width, height};
    return Ok;
}

GpStatus GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height)
{
    if (!path)
        return InvalidParameter;
    path->ellipse = false;
    path->hasFigure = true;
    path->rect = {x, y, width, height};
    return Ok;
}

GpStatus GdipDeletePath(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    delete path;
    return Ok;
}

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen)
{
    if (!pen)
        return InvalidParameter;
    auto p = new GpPen;
    p->brush = std::make_unique<GpBrush>();
    p->brush->color = color;
    p->width = width;
    *pen = p;
    return Ok;
}

GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen)
{
    if (!pen)
        return InvalidParameter;
    *pen = nullptr;
    if (!brush)
        return InvalidParameter;
    auto p = new GpPen;
    p->brush = std::make_unique<GpBrush>(*brush); // the pen keeps its own copy of the brush
    p->width = width;
    *pen = p;
    return Ok;
}

GpStatus GdipSetPenStartCap(GpPen* pen, LineCap cap)
{
    if (!pen)
        return InvalidParameter;
    pen->startCap = cap;
    return Ok;
}

GpStatus GdipSetPenEndCap(GpPen* pen, LineCap cap)
{
    if (!pen)
        return InvalidParameter;
    pen->endCap = cap;
    return Ok;
}

GpStatus GdipDeletePen(GpPen* pen)
{
    if (!pen)
        return InvalidParameter;
    delete pen;
    return Ok;
}

// ---------------------------------------------------------------------------------------------
// Text

GpStatus GdipCreateFontFamilyFromName(const QString& name, void*, GpFontFamily** family)
{
    if (!family)
        return InvalidParameter;
    *family = nullptr;
    // Qt would quietly substitute another family; the drawing code expects a missing family to
    // fail, so look it up first (Windows fonts the system names find their stand-ins).
    const QString f = InstalledFontFamily(name);
    if (f.isEmpty())
        return FontFamilyNotFound;
    *family = new GpFontFamily{f};
    return Ok;
}

GpStatus GdipDeleteFontFamily(GpFontFamily* family)
{
    if (!family)
        return InvalidParameter;
    delete family;
    return Ok;
}

GpStatus GdipCreateFont(const GpFontFamily* family, REAL size, INT style, GpUnit unit, GpFont** font)
{
    if (!font)
        return InvalidParameter;
    *font = nullptr;
    if (!family || size <= 0)
        return InvalidParameter;
    *font = new GpFont{family->name, size, style, unit};
    return Ok;
}

GpStatus GdipDeleteFont(GpFont* font)
{
    if (!font)
        return InvalidParameter;
    delete font;
    return Ok;
}

GpStatus GdipDrawString(GpGraphics* graphics, const QString& text, INT length, const GpFont* font,
                        const GpPointF* layout, const GpStringFormat*, const GpBrush* brush)
{
    if (!graphics || !font || !layout || !brush)
        return InvalidParameter;
    const QString s = length < 0 ? text : text.left(length);
    if (s.isEmpty())
        return Ok;
    QFont f(font->family);
    double px = font->size;
    if (font->unit == UnitPoint)
        px = font->size * 96.0 / 72.0;
    f.setPixelSize(std::max(1, int(std::lround(px))));
    f.setBold(font->style & FontStyleBold);
    f.setItalic(font->style & FontStyleItalic);
    f.setUnderline(font->style & FontStyleUnderline);
    f.setStrikeOut(font->style & FontStyleStrikeout);
    const bool aa = graphics->textHint == TextRenderingHintSystemDefault ||
                    graphics->textHint == TextRenderingHintAntiAlias ||
                    graphics->textHint == TextRenderingHintAntiAliasGridFit ||
                    graphics->textHint == TextRenderingHintClearTypeGridFit;
    f.setHintingPreference(graphics->textHint == TextRenderingHintAntiAlias ? QFont::PreferNoHinting
                                                                            : QFont::PreferDefaultHinting);
    f.setStyleStrategy(aa ? QFont::PreferAntialias : QFont::NoAntialias);
    Prepare(graphics);
    QPainter* p = graphics->painter;
    p->setRenderHint(QPainter::Antialiasing, aa);
    const QFontMetricsF fm(f);
    QPainterPath path;
    const QStringList lines = s.split(QLatin1Char('\n'));
    double y = layout->Y + fm.ascent();
    for (const QString& line : lines) {
        path.addText(QPointF(layout->X, y), f, line);
        y += fm.lineSpacing();
    }
    p->fillPath(path, ToQBrush(*brush, graphics));
    return Ok;
}
