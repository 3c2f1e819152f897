#pragma once

// Glyphs of the speed buttons: a strip of up to five pictures (up, disabled, down, exclusive,
// inactive) cut into state pictures that live in image lists shared by every glyph of the same
// size, and the layout of glyph, caption and drop-down mark inside a button.

#include "framework/bit_btn.h"
#include "framework/imagelist.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TFont;

// The visual state of a button, and the place of its picture in a glyph strip.
enum SpeedButtonState : uint8_t { StateUp = 0, StateDisabled = 1, StateDown = 2, StateExclusive = 3, StateInactive = 4 };

// An image list whose slots are taken and given back; a freed slot keeps its picture until the
// slot is taken again.
class TGlyphList : public TImageList {
    Q_OBJECT
public:
    TGlyphList(int width, int height);

    int TakeSlot();
    // Take a slot and put the picture into it; transparent where the mask is set, or where the
    // picture has the mask colour.
    int AddImage(TBitmap* image, TBitmap* mask);
    int AddImageMasked(TBitmap* image, TColor maskColor);
    void FreeSlot(int index);
    int UsedCount() const { return used_; }

private:
    std::vector<bool> slots_;
    int used_ = 0;
};

// The glyph lists of the process, one per picture size.
class TGlyphCache {
public:
    ~TGlyphCache();
    TGlyphList* ListForSize(int width, int height);
    // Frees the list when it holds no picture any more.
    void ReleaseList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

private:
    std::vector<TGlyphList*> lists_;
};

// The process's glyph cache; null while no glyph needs it.
TGlyphCache* GlyphCache();

class TRxButtonGlyph {
public:
    TRxButtonGlyph();
    ~TRxButtonGlyph();
    TRxButtonGlyph(const TRxButtonGlyph&) = delete;
    TRxButtonGlyph& operator=(const TRxButtonGlyph&) = delete;

    // The strip. Changing its pictures through this pointer re-reads it as AssignGlyph does.
    TBitmap* Glyph() const { return strip_.get(); }
    // Copies the bitmap into the strip (none empties it); the picture count follows the strip's
    // shape when it is a row of square pictures.
    void AssignGlyph(TBitmap* bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void SetGlyphCount(int n);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor c) { transparentColor_ = c; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; }

    // The owner repaints when the strip changes.
    std::function<void()> OnChange;

    // Gives the state pictures back to the shared lists.
    void ReleaseImages();
    // The glyph-list index of the state's picture, built on first use; -1 without a strip.
    int StateImageIndex(SpeedButtonState state);
    // The grey picture of an image-list entry (kept under StateInactive); -1 for an empty list.
    int ImageListStateIndex(SpeedButtonState state, TImageList* list, int index);
    TGlyphList* GlyphList() const { return glyphList_; }
    // c unchanged when it is the transparent colour or the button face, else its grey.
    TColor GreyColor(TColor c) const;

    // Where glyph and caption go inside client; caption is shortened to the room it has.
    struct Layout {
        TPoint glyph;
        TRect caption;
    };
    Layout ComputeLayout(TCanvas* canvas, const TRect& client, QString& caption, TButtonLayout layout, int margin,
                         int spacing, bool dropDownMark, TImageList* list, int imageIndex, uint32_t textFlags);
    // Draws glyph, caption and, when asked, the drop-down mark; returns the caption's rectangle.
    TRect DrawGlyphAndText(TCanvas* canvas, const TRect& client, QString& caption, TButtonLayout layout, int margin,
                           int spacing, bool dropDownMark, TImageList* list, int imageIndex, SpeedButtonState state,
                           uint32_t textFlags);
    TRect DrawPlain(TCanvas* canvas, const TRect& client, QString& caption, TButtonLayout layout, int margin,
                    int spacing, bool dropDownMark, SpeedButtonState state, uint32_t textFlags);
    // Each line shortened with "..." to width (unless word wrap), at most 255 characters.
    QString FitCaption(TCanvas* canvas, const QString& text, int width) const;
    // A downward triangle 7 pixels wide whose top row is y - 1.
    static void DrawDropDownMark(TCanvas* canvas, int x, int y, SpeedButtonState state);

private:
    TSize GlyphSize(TImageList* list, int imageIndex) const;
    TSize DrawStateGlyph(TCanvas* canvas, TPoint at, SpeedButtonState state);
    TSize DrawListGlyph(TCanvas* canvas, TPoint at, TImageList* list, int index, SpeedButtonState state);
    void DrawCaption(TCanvas* canvas, const QString& caption, TRect rect, SpeedButtonState state, uint32_t flags) const;
    void StripChanged();
    TGlyphList* ListForSize(int width, int height);

    std::unique_ptr<TBitmap> strip_;
    TGlyphList* glyphList_ = nullptr;
    int indices_[5] = {-1, -1, -1, -1, -1};
    TColor transparentColor_ = 0xFF00FF; // clFuchsia
    int numGlyphs_ = 1;
    bool wordWrap_ = false;
    TAlignment alignment_ = taCenter;
    bool assigning_ = false;
};

namespace SpeedButtonTypes {
Q_NAMESPACE
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
Q_ENUM_NS(TButtonStyle)
enum TRxDropDownMenuPos { dmpBottom, dmpRight };
Q_ENUM_NS(TRxDropDownMenuPos)
// How a drop-down menu lines up with its anchor point (the menu's own Alignment property when it
// has one).
enum TPopupAlignment { paLeft, paRight, paCenter };
Q_ENUM_NS(TPopupAlignment)
} // namespace SpeedButtonTypes
using namespace SpeedButtonTypes;

// Frame of a speed button (Style bsNew, or bsAutoDetect, is the new style); returns the area
// inside it.
TRect DrawSpeedButtonFrame(TCanvas* canvas, TRect rect, bool down, bool flat, TButtonStyle style);
// A one-pixel frame, topLeft colour on the top and left, bottomRight on the others; the
// rectangle shrinks by one.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topLeft, TColor bottomRight);

// A complete button face drawn anywhere (the speed bar's drag picture).
class TButtonImage {
public:
    TButtonImage();
    ~TButtonImage();

    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int n) { glyph_.SetGlyphCount(n); }
    TBitmap* Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(TBitmap* bitmap) { glyph_.AssignGlyph(bitmap); }
    bool WordWrap() const { return glyph_.WordWrap(); }
    void SetWordWrap(bool v) { glyph_.SetWordWrap(v); }
    TAlignment Alignment() const { return glyph_.Alignment(); }
    void SetAlignment(TAlignment a) { glyph_.SetAlignment(a); }
    TPoint ButtonSize() const { return buttonSize_; }
    void SetButtonSize(TPoint size) { buttonSize_ = size; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c) { caption_ = c; }

    void DrawButtonImage(TCanvas* canvas, int x, int y, int margin, int spacing, TButtonLayout layout, TFont* font,
                         TImageList* list, int imageIndex, uint32_t textFlags);

private:
    TRxButtonGlyph glyph_;
    TPoint buttonSize_{24, 23};
    QString caption_;
};
