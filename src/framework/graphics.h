#pragma once

// Colours and the drawing tools of the canvas: the framework colour 0x00BBGGRR with its named
// constants and system colours, and the pen, brush and font objects a canvas draws with.

#include "framework/object.h"
#include "framework/types.h"

#include <QString>
#include <cstdint>

class QColor;
class QFont;
class TBitmap;

// ---- Colours -------------------------------------------------------------------------------

// A value with the top byte 0xFF names a system colour: its low byte indexes the system-colour
// table. 0x02000000 marks a palette-relative colour; it is ignored when the colour is resolved.
inline constexpr TColor clSystemColor = 0xFF000000;

inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clHotLight = clSystemColor | 26;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
inline constexpr TColor clMenuHighlight = clSystemColor | 29;
inline constexpr TColor clMenuBar = clSystemColor | 30;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

// No colour at all (a transparent or background colour that is not used).
inline constexpr TColor clNone = 0x1FFFFFFF;
// "Take the default": for a transparent colour, the bottom-left pixel of the bitmap.
inline constexpr TColor clDefault = 0x20000000;

// Number of entries of the system-colour table.
inline constexpr int SystemColorCount = 31;

// Resolves a system colour through the fixed system-colour table; any other value is returned as
// it stands (clNone and clDefault included).
TColor ColorToRGB(TColor color);
// The resolved 0x00BBGGRR of a colour, without flag bits.
inline uint32_t ColorToBGR(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }
inline uint8_t GetRValue(TColor c) { return uint8_t(c); }
inline uint8_t GetGValue(TColor c) { return uint8_t(c >> 8); }
inline uint8_t GetBValue(TColor c) { return uint8_t(c >> 16); }
inline constexpr TColor RGB(int r, int g, int b)
{
    return TColor(uint8_t(r)) | TColor(uint8_t(g)) << 8 | TColor(uint8_t(b)) << 16;
}
// 0xAARRGGBB with alpha 255 from a framework colour (system colours resolved).
inline uint32_t ColorToArgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
// The framework colour of 0x??RRGGBB (the alpha byte is dropped).
inline TColor ArgbToColor(uint32_t argb)
{
    return (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
}
// An opaque QColor; clNone gives a fully transparent one.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

// ---- Pixel formats shared by bitmaps and pictures ------------------------------------------

enum TPixelFormat : uint8_t {
    pfDevice = 0,
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6,
    pf32bit = 7,
    pfCustom = 8,
};

// ---- Drawing tools ---------------------------------------------------------------------------

// Base of pen, brush and font: tells its canvas when a property changes.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// The raster mix of pen and target, as binary raster operations.
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor,
};

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode value);

    void Assign(TPersistent* source) override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);
    // A pattern bitmap (not owned) tiles the fills instead of the colour; null for none.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* value);

    void Assign(TPersistent* source) override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle bits.
using TFontStyles = uint8_t;
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
public:
    // Screen resolution that converts between point sizes and pixel heights.
    static constexpr int PixelsPerInch = 96;

    QString Name() const { return name_; }
    void SetName(const QString& value);
    // Point size; Height is the same measure in pixels, negative for the character height.
    int Size() const;
    void SetSize(int value);
    int Height() const { return height_; }
    void SetHeight(int value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t value);

    void Assign(TPersistent* source) override;
    QFont ToQFont() const;

private:
    QString name_ = QStringLiteral("MS Sans Serif");
    int height_ = -11;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = fpDefault;
    uint8_t charset_ = 1;
};
