#include "framework/graphics.h"

#include <QColor>
#include <QFont>
#include <cmath>

namespace {

// The system colours of the classic grey desktop theme, indexed by the low byte of a system
// colour. Every subsystem resolves system colours through this one table, so a window looks the
// same on every Linux desktop. Values are 0x00BBGGRR.
constexpr TColor kSystemColors[SystemColorCount] = {
    RGB(212, 208, 200), // 0 scroll bar
    RGB(58, 110, 165),  // 1 desktop background
    RGB(10, 36, 106),   // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(212, 208, 200), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(212, 208, 200), // 10 active border
    RGB(212, 208, 200), // 11 inactive border
    RGB(128, 128, 128), // 12 application workspace
    RGB(10, 36, 106),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(212, 208, 200), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(212, 208, 200), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(64, 64, 64),    // 21 3D dark shadow
    RGB(212, 208, 200), // 22 3D light
    RGB(0, 0, 0),       // 23 tooltip text
    RGB(255, 255, 225), // 24 tooltip background
    RGB(181, 181, 181), // 25 (unused slot)
    RGB(0, 0, 128),     // 26 hot-tracked item
    RGB(166, 202, 240), // 27 active caption gradient
    RGB(192, 192, 192), // 28 inactive caption gradient
    RGB(10, 36, 106),   // 29 menu highlight
    RGB(212, 208, 200), // 30 menu bar
};

} // namespace

TColor ColorToRGB(TColor color)
{
    if ((color & 0xFF000000) == clSystemColor) {
        const unsigned index = color & 0xFF;
        return index < SystemColorCount ? kSystemColors[index] : clBlack;
    }
    return color;
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone)
        return QColor(0, 0, 0, 0);
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor QColorToColor(const QColor& color)
{
    if (!color.isValid() || color.alpha() == 0)
        return clNone;
    const QRgb rgb = color.rgb();
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// ---- TGraphicsObject -----------------------------------------------------------------------

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TPen ------------------------------------------------------------------------------------

void TPen::SetColor(TColor value)
{
    if (value != color_) {
        color_ = value;
        Changed();
    }
}

void TPen::SetWidth(int value)
{
    if (value < 0)
        value = 0;
    if (value != width_) {
        width_ = value;
        Changed();
    }
}

void TPen::SetStyle(TPenStyle value)
{
    if (value != style_) {
        style_ = value;
        Changed();
    }
}

void TPen::SetMode(TPenMode value)
{
    if (value != mode_) {
        mode_ = value;
        Changed();
    }
}

void TPen::Assign(TPersistent* source)
{
    if (auto p = dynamic_cast<TPen*>(source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

// ---- TBrush ----------------------------------------------------------------------------------

void TBrush::SetColor(TColor value)
{
    // Choosing a colour makes a cleared brush solid again, as the framework does.
    if (value != color_ || style_ == bsClear) {
        color_ = value;
        if (style_ == bsClear)
            style_ = bsSolid;
        Changed();
    }
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (value != style_) {
        style_ = value;
        Changed();
    }
}

void TBrush::SetBitmap(TBitmap* value)
{
    if (value != bitmap_) {
        bitmap_ = value;
        Changed();
    }
}

void TBrush::Assign(TPersistent* source)
{
    if (auto b = dynamic_cast<TBrush*>(source)) {
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

// ---- TFont -----------------------------------------------------------------------------------

void TFont::SetName(const QString& value)
{
    if (!value.isEmpty() && value != name_) {
        name_ = value;
        Changed();
    }
}

int TFont::Size() const
{
    // Negative heights are character heights in pixels, positive ones cell heights; both convert
    // back to points the same way.
    return -static_cast<int>(std::lround(height_ * 72.0 / PixelsPerInch));
}

void TFont::SetSize(int value)
{
    SetHeight(-static_cast<int>(std::lround(value * double(PixelsPerInch) / 72.0)));
}

void TFont::SetHeight(int value)
{
    if (value != height_) {
        height_ = value;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles value)
{
    if (value != style_) {
        style_ = value;
        Changed();
    }
}

void TFont::SetColor(TColor value)
{
    if (value != color_) {
        color_ = value;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch value)
{
    if (value != pitch_) {
        pitch_ = value;
        Changed();
    }
}

void TFont::SetCharset(uint8_t value)
{
    if (value != charset_) {
        charset_ = value;
        Changed();
    }
}

void TFont::Assign(TPersistent* source)
{
    if (auto f = dynamic_cast<TFont*>(source)) {
        name_ = f->name_;
        height_ = f->height_;
        style_ = f->style_;
        color_ = f->color_;
        pitch_ = f->pitch_;
        charset_ = f->charset_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

QFont TFont::ToQFont() const
{
    QFont font(name_);
    // Fonts of the original desktop are not installed here; fall back on the desktop's sans
    // serif (or fixed) face with the same metrics request.
    font.setStyleHint(pitch_ == fpFixed ? QFont::Monospace : QFont::SansSerif);
    if (height_ < 0)
        font.setPixelSize(-height_);
    else if (height_ > 0)
        font.setPixelSize(std::max(1, height_ * 4 / 5)); // cell height includes the leading
    else
        font.setPixelSize(11);
    font.setBold(style_ & fsBold);
    font.setItalic(style_ & fsItalic);
    font.setUnderline(style_ & fsUnderline);
    font.setStrikeOut(style_ & fsStrikeOut);
    return font;
}
