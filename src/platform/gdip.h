#pragma once

// The vector-drawing layer: the flat drawing calls the document window and the drawing engines
// make, on QImage and QPainter. Every bitmap is 32-bit ARGB, not premultiplied. The calls keep the
// flat calling style of the drawing code (out parameters, status results that callers may
// ignore); a failing call draws nothing.
//
// Coordinates follow the drawing code's convention: pixel centres lie on whole coordinates. Qt
// puts them on half coordinates, so antialiased geometry is shifted by half a pixel on its way to
// QPainter; aliased drawing of whole-number geometry already covers the same pixels.

#include <QString>
#include <cstdint>

class QImage;
class QPainter;

// A device context is the active painter of a canvas.
using HDC = QPainter*;

using ARGB = uint32_t;
using REAL = float;
using UINT = unsigned int;
using INT = int;

enum GpStatus {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
};

using PixelFormat = int;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;

enum InterpolationMode {
    InterpolationModeDefault = 0,
    InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7,
};

enum PixelOffsetMode {
    PixelOffsetModeDefault = 0,
    PixelOffsetModeHighSpeed = 1,
    PixelOffsetModeHighQuality = 2,
    PixelOffsetModeNone = 3,
    PixelOffsetModeHalf = 4,
};

enum SmoothingMode {
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
};

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5,
};

enum LinearGradientMode {
    LinearGradientModeHorizontal = 0,
    LinearGradientModeVertical = 1,
    LinearGradientModeForwardDiagonal = 2,
    LinearGradientModeBackwardDiagonal = 3,
};

enum WrapMode { WrapModeTile = 0, WrapModeTileFlipX = 1, WrapModeTileFlipY = 2, WrapModeTileFlipXY = 3, WrapModeClamp = 4 };
enum FillMode { FillModeAlternate = 0, FillModeWinding = 1 };
enum LineCap { LineCapFlat = 0, LineCapSquare = 1, LineCapRound = 2, LineCapTriangle = 3 };
enum GpUnit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3 };
enum MatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4, FontStyleStrikeout = 8 };

enum RotateFlipType {
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
};

struct GpPoint {
    INT X;
    INT Y;
};
struct GpPointF {
    REAL X;
    REAL Y;
};
struct GpRect {
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

struct CLSID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    friend bool operator==(const CLSID&, const CLSID&) = default;
};
using GUID = CLSID;

// The quality parameter of the JPEG encoder, and the save flag (multi-frame TIFF).
extern const GUID EncoderQuality;
extern const GUID EncoderSaveFlag;
inline constexpr uint32_t EncoderValueMultiFrame = 18;
enum EncoderParameterValueType { EncoderParameterValueTypeLong = 4 };

struct EncoderParameter {
    GUID Guid;
    uint32_t NumberOfValues;
    uint32_t Type;
    void* Value;
};
struct EncoderParameters {
    uint32_t Count;
    EncoderParameter Parameter[1];
};

struct ImageCodecInfo {
    CLSID Clsid;
    const char16_t* CodecName;
    const char16_t* FormatDescription;
    const char16_t* FilenameExtension;
    const char16_t* MimeType;
};

struct GpImage;
using GpBitmap = GpImage;
struct GpGraphics;
struct GpBrush;
using GpSolidFill = GpBrush;
using GpLineGradient = GpBrush;
using GpTexture = GpBrush;
using GpPathGradient = GpBrush;
struct GpPen;
struct GpPath;
struct GpMatrix;
struct GpFontFamily;
struct GpFont;
struct GpStringFormat;

// Images and bitmaps. A bitmap of zero width or height is never made: the call fails and the
// out parameter is null; every call on a null object does nothing and reports InvalidParameter.
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, uint8_t* scan0,
                                   GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromFile(const QString& fileName, GpBitmap** bitmap);
GpStatus GdipLoadImageFromFile(const QString& fileName, GpImage** image);
GpStatus GdipCloneImage(GpImage* image, GpImage** clone);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
GpStatus GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
GpStatus GdipImageRotateFlip(GpImage* image, RotateFlipType type);
GpStatus GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
GpStatus GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
GpStatus GdipSaveImageToFile(GpImage* image, const QString& fileName, const CLSID* encoder,
                             const EncoderParameters* params);

// Graphics.
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode);
GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipResetWorldTransform(GpGraphics* graphics);
GpStatus GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
GpStatus GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);

// Matrices (for world transforms).
GpStatus GdipCreateMatrix(GpMatrix** matrix);
GpStatus GdipDeleteMatrix(GpMatrix* matrix);
GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
GpStatus GdipScaleMatrix(GpMatrix* matrix, REAL sx, REAL sy, MatrixOrder order);

// Drawing.
GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color);

// Brushes.
GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      WrapMode wrapMode, GpLineGradient** brush);
GpStatus GdipCreateTexture(GpImage* image, WrapMode wrapMode, GpTexture** brush);
GpStatus GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush);
GpStatus GdipSetPathGradientCenterPoint(GpPathGradient* brush, const GpPointF* point);
GpStatus GdipSetPathGradientCenterPointI(GpPathGradient* brush, const GpPoint* point);
GpStatus GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB color);
GpStatus GdipGetPathGradientPointCount(GpPathGradient* brush, INT* count);
GpStatus GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* colors, INT* count);
GpStatus GdipDeleteBrush(GpBrush* brush);

// Paths.
GpStatus GdipCreatePath(FillMode fillMode, GpPath** path);
GpStatus GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height);
GpStatus GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height);
GpStatus GdipDeletePath(GpPath* path);

// Pens.
GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipSetPenStartCap(GpPen* pen, LineCap cap);
GpStatus GdipSetPenEndCap(GpPen* pen, LineCap cap);
GpStatus GdipDeletePen(GpPen* pen);

// Text. A family the system does not have is FontFamilyNotFound, and nothing is drawn with it.
GpStatus GdipCreateFontFamilyFromName(const QString& name, void* fontCollection, GpFontFamily** family);
GpStatus GdipDeleteFontFamily(GpFontFamily* family);
GpStatus GdipCreateFont(const GpFontFamily* family, REAL size, INT style, GpUnit unit, GpFont** font);
GpStatus GdipDeleteFont(GpFont* font);
// The layout rectangle's top-left corner is at (layout.X, layout.Y); a length of -1 draws the
// whole text.
GpStatus GdipDrawString(GpGraphics* graphics, const QString& text, INT length, const GpFont* font,
                        const GpPointF* layout, const GpStringFormat* format, const GpBrush* brush);

// Index of the encoder whose MIME type equals mimeType exactly (the last one when several do),
// with its class identifier in clsid; -1, clsid unchanged, when there is none.
int FindEncoderByMimeType(const QString& mimeType, CLSID* clsid);

// Direct access for code of the system that needs the pixels: the image's QImage (ARGB32, not
// premultiplied), or null for a null image.
QImage* GdipImageData(GpImage* image);
// Wraps a copy of the given picture (converted to ARGB32) as a new image; null for an empty one.
GpImage* GdipImageFromQImage(const QImage& image);

// Decoders of the system's own formats, which take precedence over Qt's readers when loading an
// image file. A decoder returns false when it cannot read the bytes.
using GdipImageDecoder = bool (*)(const QByteArray& bytes, QImage& out);
void GdipRegisterImageDecoder(const QString& extension, GdipImageDecoder decoder);
