#pragma once

// How every skinned control reads its theme: from the skin file when its style is FromThemeFile
// and the file is loaded, else from the built-in style. Also the off-screen buffer the skinned
// controls paint into and the font names of the skins.

#include "framework/types.h"
#include "skin/theme_items.h"

#include <QImage>
#include <QString>
#include <memory>

class QFont;
class QObject;
class TBitmap;
class TCanvas;
class TFont;
class TsuiFileTheme;

TColor ThemeColor(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item);
int ThemeInteger(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item);
bool ThemeBool(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item);
// The item's picture (frameCount 0) or frame frameIndex of frameCount into bitmap. A picture the
// skin file holds but that does not read as a bitmap is reported by the exception of the bitmap
// reader; ThemeImageSafe leaves the bitmap as it was instead and returns false.
void ThemeImage(TsuiFileTheme* fileTheme, TsuiUIStyle style, int item, TBitmap* bitmap, int frameCount = 0,
                int frameIndex = 0);
bool ThemeImageSafe(TsuiFileTheme* fileTheme, TsuiUIStyle style, int item, TBitmap* bitmap, int frameCount = 0,
                    int frameIndex = 0);
// The built-in style that stands in when the value does not come from the file.
TsuiUIStyle EffectiveThemeStyle(const TsuiFileTheme* fileTheme, TsuiUIStyle style);
// True when values come from the skin file.
bool UsesFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle style);

// The style a new skinned control starts with when created with this parent or owner: the
// style of the form it lands on (see GetOwnerFormUIStyle).
TsuiUIStyle StartUIStyle(QObject* parentOrOwner);

// A named picture of the skinned controls ("PANEL_BUTTON", "MENU_CHECKED"), read once and kept.
// An empty bitmap when the program has no such picture.
const TBitmap& SkinPicture(const QString& name);

// The fonts the skins name were made for another desktop; here they stand for the desktop's
// sans serif face. Installed once for the whole process (any QFont naming them resolves to it).
void InstallSkinFontSubstitutes();

// An off-screen picture of a control's size with a canvas on it: a skinned control paints into
// it and copies it onto the screen in one block.
class TsuiOffscreen {
public:
    TsuiOffscreen(int width, int height);
    ~TsuiOffscreen();
    TsuiOffscreen(const TsuiOffscreen&) = delete;
    TsuiOffscreen& operator=(const TsuiOffscreen&) = delete;

    TCanvas* Canvas() { return canvas_.get(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // Ends drawing and copies the picture to (x, y) of target.
    void CopyTo(TCanvas* target, int x = 0, int y = 0);
    // Ends drawing; the picture as it stands.
    const QImage& Image();

private:
    QImage image_;
    std::unique_ptr<TCanvas> canvas_;
};

// Text helpers on a canvas in its font and font colour, with the "&" mnemonic underlined.
// Draws text with Qt alignment flags inside rect.
void DrawMnemonicText(TCanvas* canvas, const TRect& rect, int flags, const QString& text);
void DrawMnemonicTextAt(TCanvas* canvas, int x, int y, const QString& text);
// Width and height of one line of the text in the font, mnemonics left out.
TSize MnemonicTextExtent(const TFont* font, const QString& text);
