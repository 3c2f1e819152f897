#pragma once

// The text tool's picture: the typed text drawn with a font, a style and a two-colour gradient
// into a transparent picture of 20 pixels per character by 61 rows, then cropped to the glyphs.

#include "framework/types.h"
#include "platform/gdip.h"

#include <QString>

struct TTextRenderChoice {
    QString Text;
    QString FontName;
    int FontSize = 32;  // pixels
    int FontStyle = 0;  // 0 regular, 1 bold, 2 italic, 3 bold italic
    int FillMode = 1;   // 1 horizontal, 2 vertical, 3 diagonal, 4 centred gradient
    ARGB Color1 = 0xFF000000;
    ARGB Color2 = 0xFF000000;
    // The centre of fill mode 4 in picture pixels; (200, 200) means none was chosen.
    int CenterX = 200;
    int CenterY = 200;
    // Anti-aliased shapes (the document's format is "XP").
    bool Smooth = true;
};

inline constexpr int kTextPictureHeight = 61;
// The width of the picture the text is drawn into.
inline int TextPictureWidth(const QString& text) { return 20 * int(text.size()); }

// The text drawn with the choice's brush into a new transparent picture of
// TextPictureWidth x 61; null for an empty text. The box (left, top, right, bottom, right and
// bottom exclusive) holds every pixel the glyphs touch; it is empty when nothing was drawn.
GpBitmap* RenderTextPicture(const TTextRenderChoice& choice, TRect& box);

// The box's pixels copied into a new transparent picture one row taller than the box; null for
// an empty box.
GpBitmap* CropTextPicture(GpBitmap* picture, const TRect& box);
