#include "controls/button_glyph.h"

#include "controls/control_text.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "imaging/gif/graphic_utils.h"

#include <QImage>
#include <QStringList>
#include <algorithm>

namespace {

TGlyphCache* glyphCache = nullptr;

// A bitmap that is white where the picture has the colour and black elsewhere.
std::unique_ptr<TBitmap> MaskOf(TBitmap* image, TColor color)
{
    const uint32_t key = ColorToArgb(color) & 0xFFFFFF;
    auto mask = std::make_unique<TBitmap>(image->Width(), image->Height());
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x)
            mask->SetPixelArgb(x, y, (image->PixelArgb(x, y) & 0xFFFFFF) == key ? 0xFFFFFFFFu : 0xFF000000u);
    return mask;
}

void Pixel(TCanvas* c, int x, int y, TColor color) { c->SetPixel(x, y, color); }

void HLine(TCanvas* c, int x1, int x2, int y, TColor color)
{
    for (int x = x1; x <= x2; ++x)
        Pixel(c, x, y, color);
}

// The image-list entry greyed as a disabled control shows it: the shape of its pixels drawn
// over white, embossed in the highlight and shadow colours.
void DrawImageListDisabled(TImageList* list, TCanvas* canvas, int x, int y, int index, TColor highlight,
                           TColor shadow, bool drawHighlight)
{
    const QImage image = list->Image(index);
    if (image.isNull())
        return;
    QImage shape(image.size(), QImage::Format_ARGB32);
    shape.fill(0);
    for (int row = 0; row < image.height(); ++row)
        for (int col = 0; col < image.width(); ++col) {
            const QRgb p = image.pixel(col, row);
            const int a = qAlpha(p);
            // The pixel as drawn over white: the shape is what is not white.
            const int r = (qRed(p) * a + 255 * (255 - a)) / 255, g = (qGreen(p) * a + 255 * (255 - a)) / 255,
                      b = (qBlue(p) * a + 255 * (255 - a)) / 255;
            if (r != 255 || g != 255 || b != 255)
                shape.setPixel(col, row, 0xFF000000u);
        }
    auto paint = [&](int px, int py, TColor color) {
        QImage tinted = shape;
        const QRgb c = ColorToArgb(color);
        for (int row = 0; row < tinted.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(tinted.scanLine(row));
            for (int col = 0; col < tinted.width(); ++col)
                if (line[col])
                    line[col] = c;
        }
        canvas->BlendImage(Bounds(px, py, tinted.width(), tinted.height()), tinted, Rect(0, 0, tinted.width(), tinted.height()));
    };
    if (drawHighlight)
        paint(x + 1, y + 1, highlight);
    paint(x, y, shadow);
}

} // namespace

// ---- TGlyphList ---------------------------------------------------------------------------------

TGlyphList::TGlyphList(int width, int height) : TImageList(width, height) {}

int TGlyphList::TakeSlot()
{
    for (size_t i = 0; i < slots_.size(); ++i)
        if (!slots_[i])
            return int(i);
    QImage empty(Width(), Height(), QImage::Format_ARGB32);
    empty.fill(0);
    TImageList::AddImage(empty);
    slots_.push_back(false);
    return int(slots_.size()) - 1;
}

int TGlyphList::AddImage(TBitmap* image, TBitmap* mask)
{
    const int slot = TakeSlot();
    Replace(slot, image, mask);
    slots_[size_t(slot)] = true;
    ++used_;
    return slot;
}

int TGlyphList::AddImageMasked(TBitmap* image, TColor maskColor)
{
    const std::unique_ptr<TBitmap> mask = MaskOf(image, maskColor);
    return AddImage(image, mask.get());
}

void TGlyphList::FreeSlot(int index)
{
    if (index < 0 || size_t(index) >= slots_.size() || !slots_[size_t(index)])
        return;
    slots_[size_t(index)] = false;
    --used_;
}

// ---- TGlyphCache --------------------------------------------------------------------------------

TGlyphCache::~TGlyphCache()
{
    for (TGlyphList* l : lists_)
        delete l;
}

TGlyphList* TGlyphCache::ListForSize(int width, int height)
{
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height)
            return *it;
    lists_.push_back(new TGlyphList(width, height));
    return lists_.back();
}

void TGlyphCache::ReleaseList(TGlyphList* list)
{
    if (!list || list->UsedCount() > 0)
        return;
    const auto it = std::find(lists_.begin(), lists_.end(), list);
    if (it == lists_.end())
        return;
    lists_.erase(it);
    delete list;
}

TGlyphCache* GlyphCache() { return glyphCache; }

// ---- TRxButtonGlyph -----------------------------------------------------------------------------

TRxButtonGlyph::TRxButtonGlyph() : strip_(std::make_unique<TBitmap>())
{
    strip_->OnChange = [this](TObject*) { StripChanged(); };
}

TRxButtonGlyph::~TRxButtonGlyph()
{
    strip_->OnChange = nullptr;
    ReleaseImages();
    if (glyphCache && glyphCache->Empty()) {
        delete glyphCache;
        glyphCache = nullptr;
    }
}

TGlyphList* TRxButtonGlyph::ListForSize(int width, int height)
{
    if (!glyphCache)
        glyphCache = new TGlyphCache;
    return glyphCache->ListForSize(width, height);
}

void TRxButtonGlyph::ReleaseImages()
{
    for (int& index : indices_) {
        if (index != -1 && glyphList_)
            glyphList_->FreeSlot(index);
        index = -1;
    }
    if (glyphList_ && glyphCache)
        glyphCache->ReleaseList(glyphList_);
    glyphList_ = nullptr;
}

void TRxButtonGlyph::StripChanged()
{
    ReleaseImages();
    const int w = strip_->Width(), h = strip_->Height();
    if (h > 0) {
        transparentColor_ = strip_->TransparentColor() & ~TColor(0x02000000);
        if (w % h == 0) {
            numGlyphs_ = w / h;
            if (numGlyphs_ > 5 || numGlyphs_ < 1)
                numGlyphs_ = 1;
        }
    }
    if (OnChange)
        OnChange();
}

void TRxButtonGlyph::AssignGlyph(TBitmap* bitmap)
{
    ReleaseImages();
    if (bitmap && !bitmap->Empty()) {
        strip_->Assign(bitmap);
    } else {
        strip_->OnChange = nullptr;
        strip_ = std::make_unique<TBitmap>();
        strip_->OnChange = [this](TObject*) { StripChanged(); };
    }
    StripChanged();
}

void TRxButtonGlyph::SetGlyphCount(int n)
{
    if (n == 0 || n == numGlyphs_)
        return;
    ReleaseImages();
    numGlyphs_ = std::clamp(n, 1, 5);
}

TColor TRxButtonGlyph::GreyColor(TColor c) const
{
    const TColor rgb = ColorToRGB(c) & 0xFFFFFF;
    if (c == transparentColor_ || rgb == (ColorToRGB(transparentColor_) & 0xFFFFFF) || rgb == (ColorToRGB(clBtnFace) & 0xFFFFFF))
        return c;
    const int g = (77 * GetRValue(rgb) + 150 * GetGValue(rgb) + 29 * GetBValue(rgb)) >> 8;
    return RGB(g, g, g);
}

int TRxButtonGlyph::StateImageIndex(SpeedButtonState state)
{
    if (state == StateDown && numGlyphs_ < 3)
        state = StateUp;
    if (indices_[state] != -1)
        return indices_[state];
    const int stripW = strip_->Width(), stripH = strip_->Height();
    if (strip_->Empty() || stripW <= 0 || stripH <= 0)
        return -1;
    const int w = stripW / numGlyphs_, h = stripH;
    if (w <= 0)
        return -1;
    glyphList_ = ListForSize(w, h);
    TBitmap picture(w, h);
    int index = -1;
    if (state == StateDisabled && numGlyphs_ < 2) {
        // The embossed look of the black outline pixels.
        TBitmap outline(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                outline.SetPixelArgb(x, y, (strip_->PixelArgb(x, y) & 0xFFFFFF) == 0 ? 0xFF000000u : 0xFFFFFFFFu);
        std::unique_ptr<TBitmap> disabled(MakeDisabledBitmap(&outline, clWhite));
        index = glyphList_->AddImageMasked(disabled.get(), clBtnFace);
    } else if (state == StateInactive && numGlyphs_ < 5) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.SetPixelArgb(x, y, ColorToArgb(GreyColor(ArgbToColor(strip_->PixelArgb(x, y)))));
        index = glyphList_->AddImageMasked(&picture, transparentColor_);
    } else {
        const int number = int(state) < numGlyphs_ ? int(state) : 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.SetPixelArgb(x, y, strip_->PixelArgb(number * w + x, y));
        index = glyphList_->AddImageMasked(&picture, transparentColor_);
    }
    indices_[state] = index;
    return index;
}

int TRxButtonGlyph::ImageListStateIndex(SpeedButtonState state, TImageList* list, int index)
{
    if (indices_[state] != -1)
        return indices_[state];
    if (!list || list->Width() <= 0 || list->Height() <= 0 || list->Count() == 0)
        return -1;
    const int w = list->Width(), h = list->Height();
    glyphList_ = ListForSize(w, h);
    TBitmap picture(w, h);
    picture.Canvas()->Brush()->SetColor(clBtnFace);
    picture.Canvas()->FillRect(Rect(0, 0, w, h));
    list->Draw(picture.Canvas(), 0, 0, index, true);
    picture.Canvas()->FinishDrawing();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.SetPixelArgb(x, y, ColorToArgb(GreyColor(ArgbToColor(picture.PixelArgb(x, y)))));
    indices_[state] = glyphList_->AddImageMasked(&picture, clBtnFace);
    return indices_[state];
}

TSize TRxButtonGlyph::GlyphSize(TImageList* list, int imageIndex) const
{
    if (list && imageIndex >= 0 && imageIndex < list->Count())
        return {list->Width(), list->Height()};
    if (!strip_->Empty() && strip_->Width() > 0)
        return {strip_->Width() / numGlyphs_, strip_->Height()};
    return {0, 0};
}

TSize TRxButtonGlyph::DrawStateGlyph(TCanvas* canvas, TPoint at, SpeedButtonState state)
{
    const int index = StateImageIndex(state);
    if (index < 0 || !glyphList_)
        return {0, 0};
    glyphList_->Draw(canvas, at.X, at.Y, index, true);
    return {glyphList_->Width(), glyphList_->Height()};
}

TSize TRxButtonGlyph::DrawListGlyph(TCanvas* canvas, TPoint at, TImageList* list, int index, SpeedButtonState state)
{
    if (!list || index < 0 || index >= list->Count())
        return {0, 0};
    if (state == StateDisabled) {
        DrawImageListDisabled(list, canvas, at.X, at.Y, index, clBtnHighlight, clBtnShadow, true);
    } else if (state == StateInactive) {
        const int grey = ImageListStateIndex(state, list, index);
        if (grey >= 0 && glyphList_)
            glyphList_->Draw(canvas, at.X, at.Y, grey, true);
    } else {
        list->Draw(canvas, at.X, at.Y, index, true);
    }
    return {list->Width(), list->Height()};
}

QString TRxButtonGlyph::FitCaption(TCanvas* canvas, const QString& text, int width) const
{
    if (wordWrap_)
        return text.left(255);
    QStringList lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = FitTextWithEllipsis(line, canvas, width);
    QString result = lines.join(QLatin1Char('\n'));
    while (!result.isEmpty() && (result.back() == QLatin1Char(' ') || result.back() == QLatin1Char('\n')))
        result.chop(1);
    return result.left(255);
}

TRxButtonGlyph::Layout TRxButtonGlyph::ComputeLayout(TCanvas* canvas, const TRect& client, QString& caption,
                                                     TButtonLayout layout, int margin, int spacing, bool dropDownMark,
                                                     TImageList* list, int imageIndex, uint32_t textFlags)
{
    const TPoint c{client.Width(), client.Height()};
    TSize g = GlyphSize(list, imageIndex);
    const bool vertical = layout == blGlyphTop || layout == blGlyphBottom;

    // 1-3: the room left for the caption, the caption shortened to it and measured.
    TSize room;
    if (vertical) {
        room.cx = c.X;
        room.cy = c.Y - g.cy - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0);
    } else {
        room.cx = c.X - g.cx - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0) - (dropDownMark ? 9 : 0);
        room.cy = c.Y;
    }
    room.cx = std::max(0, room.cx);
    room.cy = std::max(0, room.cy);
    caption = FitCaption(canvas, caption, room.cx);
    TSize t;
    if (!caption.isEmpty()) {
        TRect box = Rect(0, 0, room.cx, 0);
        DrawText(canvas, caption, box, DT_CALCRECT | DT_VCENTER | DT_CENTER | (wordWrap_ ? DT_WORDBREAK : 0) | textFlags);
        t = {std::min(box.Width(), room.cx), std::min(box.Height(), room.cy)};
    }
    // 4: room for the drop-down mark.
    if (dropDownMark) {
        if (g.cx == 0 || g.cy == 0 || layout == blGlyphLeft)
            t.cx += 9;
        else
            g.cx += 6;
    }
    // 5: centred across the layout direction.
    TPoint glyphPos, textPos;
    if (vertical) {
        glyphPos.X = c.X / 2 - g.cx / 2;
        textPos.X = c.X / 2 - t.cx / 2;
    } else {
        glyphPos.Y = c.Y / 2 - g.cy / 2;
        textPos.Y = c.Y / 2 - t.cy / 2;
    }
    // 6-7: automatic margin and spacing along it.
    if (t.cx == 0 || g.cx == 0)
        spacing = 0;
    const int along = vertical ? c.Y : c.X, glyphAlong = vertical ? g.cy : g.cx, textAlong = vertical ? t.cy : t.cx;
    if (margin == -1 && spacing == -1) {
        spacing = (along - glyphAlong - textAlong) / 3;
        margin = spacing;
    } else if (margin == -1) {
        margin = along / 2 - (spacing + glyphAlong + textAlong) / 2;
    } else if (spacing == -1) {
        spacing = (along - margin - glyphAlong) / 2 - textAlong / 2;
    }
    // 8: placed by the layout.
    switch (layout) {
    case blGlyphLeft:
        glyphPos.X = margin;
        textPos.X = margin + g.cx + spacing;
        break;
    case blGlyphRight:
        glyphPos.X = c.X - margin - g.cx;
        textPos.X = glyphPos.X - spacing - t.cx;
        break;
    case blGlyphTop:
        glyphPos.Y = margin;
        textPos.Y = margin + g.cy + spacing;
        break;
    case blGlyphBottom:
        glyphPos.Y = c.Y - margin - g.cy;
        textPos.Y = glyphPos.Y - spacing - t.cy;
        break;
    }
    Layout result;
    result.glyph = {glyphPos.X + client.Left, glyphPos.Y + client.Top};
    result.caption = Bounds(textPos.X + client.Left, textPos.Y + client.Top, t.cx, t.cy);
    return result;
}

void TRxButtonGlyph::DrawCaption(TCanvas* canvas, const QString& caption, TRect rect, SpeedButtonState state,
                                 uint32_t flags) const
{
    canvas->Brush()->SetStyle(bsClear);
    const QString text = caption.left(255);
    flags |= DT_VCENTER | (wordWrap_ ? DT_WORDBREAK : 0);
    if (state == StateDisabled) {
        const TColor saved = canvas->Font()->Color();
        TRect shifted = rect;
        OffsetRect(shifted, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawText(canvas, text, shifted, flags);
        canvas->Font()->SetColor(clBtnShadow);
        DrawText(canvas, text, rect, flags);
        canvas->Font()->SetColor(saved);
    } else {
        DrawText(canvas, text, rect, flags);
    }
}

void TRxButtonGlyph::DrawDropDownMark(TCanvas* canvas, int x, int y, SpeedButtonState state)
{
    auto mark = [canvas](int mx, int my, TColor color) {
        HLine(canvas, mx, mx + 6, my - 1, color);
        HLine(canvas, mx + 1, mx + 5, my, color);
        HLine(canvas, mx + 2, mx + 4, my + 1, color);
        Pixel(canvas, mx + 3, my + 2, color);
    };
    if (state == StateDisabled) {
        mark(x + 1, y + 1, clBtnHighlight);
        mark(x, y, clBtnShadow);
    } else {
        mark(x, y, clBtnText);
    }
}

TRect TRxButtonGlyph::DrawGlyphAndText(TCanvas* canvas, const TRect& client, QString& caption, TButtonLayout layout,
                                       int margin, int spacing, bool dropDownMark, TImageList* list, int imageIndex,
                                       SpeedButtonState state, uint32_t textFlags)
{
    const Layout l = ComputeLayout(canvas, client, caption, layout, margin, spacing, dropDownMark, list, imageIndex, textFlags);
    const bool useList = list && imageIndex >= 0 && imageIndex < list->Count() && list->Width() > 0;
    const TSize drawn = useList ? DrawListGlyph(canvas, l.glyph, list, imageIndex, state) : DrawStateGlyph(canvas, l.glyph, state);
    DrawCaption(canvas, caption, l.caption, state, textFlags);
    if (dropDownMark) {
        int x, y;
        if (layout != blGlyphLeft && (strip_->Width() > 0 || useList)) {
            x = l.glyph.X + drawn.cx + 1;
            y = l.glyph.Y + drawn.cy / 2;
        } else {
            x = caption.isEmpty() ? (client.Left + client.Right - 7) / 2 : l.caption.Right + 3;
            y = l.caption.Top + l.caption.Height() / 2;
        }
        DrawDropDownMark(canvas, x, y, state);
    }
    return l.caption;
}

TRect TRxButtonGlyph::DrawPlain(TCanvas* canvas, const TRect& client, QString& caption, TButtonLayout layout, int margin,
                                int spacing, bool dropDownMark, SpeedButtonState state, uint32_t textFlags)
{
    return DrawGlyphAndText(canvas, client, caption, layout, margin, spacing, dropDownMark, nullptr, -1, state, textFlags);
}

// ---- Frames -------------------------------------------------------------------------------------

void Frame3D(TCanvas* canvas, TRect& rect, TColor topLeft, TColor bottomRight)
{
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(topLeft);
    canvas->Polyline({{l, b}, {l, t}, {r, t}});
    canvas->Pen()->SetColor(bottomRight);
    canvas->Polyline({{r, t}, {r, b}, {l - 1, b}});
    InflateRect(rect, -1, -1);
}

TRect DrawSpeedButtonFrame(TCanvas* canvas, TRect rect, bool down, bool flat, TButtonStyle style)
{
    const bool newStyle = style == bsNew || style == bsAutoDetect;
    if (down) {
        if (newStyle) {
            Frame3D(canvas, rect, clWindowFrame, clBtnHighlight);
            if (!flat)
                Frame3D(canvas, rect, clBtnShadow, clBtnFace);
        } else if (!flat) {
            Frame3D(canvas, rect, clWindowFrame, clWindowFrame);
            canvas->Pen()->SetColor(clBtnShadow);
            canvas->Polyline({{rect.Left, rect.Bottom - 1}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
        } else {
            Frame3D(canvas, rect, clWindowFrame, clBtnHighlight);
        }
    } else {
        if (newStyle) {
            if (flat) {
                Frame3D(canvas, rect, clBtnHighlight, clBtnShadow);
            } else {
                Frame3D(canvas, rect, clBtnHighlight, clWindowFrame);
                Frame3D(canvas, rect, clBtnFace, clBtnShadow);
            }
        } else if (!flat) {
            Frame3D(canvas, rect, clWindowFrame, clWindowFrame);
            Frame3D(canvas, rect, clBtnHighlight, clBtnShadow);
        } else {
            Frame3D(canvas, rect, clBtnHighlight, clWindowFrame);
        }
    }
    InflateRect(rect, -1, -1);
    return rect;
}

// ---- TButtonImage -------------------------------------------------------------------------------

TButtonImage::TButtonImage() { glyph_.SetGlyphCount(1); }
TButtonImage::~TButtonImage() = default;

void TButtonImage::DrawButtonImage(TCanvas* canvas, int x, int y, int margin, int spacing, TButtonLayout layout,
                                   TFont* font, TImageList* list, int imageIndex, uint32_t textFlags)
{
    const TColor savedBrush = canvas->Brush()->Color();
    TFont savedFont;
    savedFont.Assign(canvas->Font());
    auto restore = [&] {
        canvas->Brush()->SetColor(savedBrush);
        canvas->Font()->Assign(&savedFont);
    };
    try {
        TRect r = Bounds(x, y, buttonSize_.X, buttonSize_.Y);
        canvas->Brush()->SetColor(clBtnFace);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(r);
        Frame3D(canvas, r, clBtnShadow, clWindowFrame);
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
        if (font)
            canvas->Font()->Assign(font);
        QString caption = caption_;
        glyph_.DrawGlyphAndText(canvas, r, caption, layout, margin, spacing, false, list, imageIndex, StateUp, textFlags);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}
