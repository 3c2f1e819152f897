#include "imaging/gif/animated_image.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/qimage_bridge.h"
#include "imaging/gif/graphic_utils.h"
#include "imaging/gif/graphic_utils_controls.h"
#include "imaging/gif/rx_timer.h"

#include <QImage>
#include <QPointer>
#include <algorithm>

namespace {
// The palette-relative flag of a colour; a glyph's key colour is kept without it.
inline constexpr TColor PaletteRelative = 0x02000000;
} // namespace

TAnimatedImage::TAnimatedImage(QWidget* parent) : TRxImageControl(parent), glyph_(std::make_unique<TBitmap>())
{
    glyph_->OnChange = [this](TObject*) {
        if (!updatingGlyph_)
            GlyphUpdated();
    };
    Timer()->SetEnabled(false);
    Timer()->SetInterval(100);
    SetAutoSize(true);
}

TAnimatedImage::~TAnimatedImage()
{
    BeginDestroy();
    active_ = false;
    glyph_->OnChange = nullptr;
}

// ---- The strip ---------------------------------------------------------------------------------

void TAnimatedImage::SetGlyph(TBitmap* value)
{
    {
        std::lock_guard lock(drawLock_);
        updatingGlyph_ = true;
        try {
            glyph_->Assign(value);
        } catch (...) {
            updatingGlyph_ = false;
            throw;
        }
        updatingGlyph_ = false;
    }
    GlyphUpdated();
}

void TAnimatedImage::GlyphUpdated()
{
    if (Destroying())
        return;
    {
        std::lock_guard lock(drawLock_);
        transparentColor_ = glyph_->Empty() ? clNone : glyph_->TransparentColor() & ~PaletteRelative;
    }
    CountGlyphs();
    ContentChanged();
}

// A strip whose length is a whole multiple of its thickness holds square glyphs; any other
// bitmap is one glyph.
void TAnimatedImage::CountGlyphs()
{
    std::lock_guard lock(drawLock_);
    numGlyphs_ = 1;
    glyphNum_ = 0;
    const int w = glyph_->Width(), h = glyph_->Height();
    if (orientation_ == goHorizontal && h > 0 && w % h == 0)
        numGlyphs_ = w / h;
    else if (orientation_ == goVertical && w > 0 && h % w == 0)
        numGlyphs_ = h / w;
    ComputeGlyphSize();
}

void TAnimatedImage::ComputeGlyphSize()
{
    std::lock_guard lock(drawLock_);
    numGlyphs_ = std::max(1, numGlyphs_);
    const int w = glyph_->Width(), h = glyph_->Height();
    if (orientation_ == goHorizontal) {
        glyphHeight_ = h;
        glyphWidth_ = w / numGlyphs_;
    } else {
        glyphWidth_ = w;
        glyphHeight_ = h / numGlyphs_;
    }
}

void TAnimatedImage::ShowInactiveGlyph()
{
    std::lock_guard lock(drawLock_);
    if (!active_ && inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_ && inactiveGlyph_ != glyphNum_)
        glyphNum_ = inactiveGlyph_;
}

int TAnimatedImage::ShownGlyph() const
{
    std::lock_guard lock(drawLock_);
    if (!active_ && inactiveGlyph_ >= 0 && inactiveGlyph_ < numGlyphs_)
        return inactiveGlyph_;
    return glyphNum_;
}

// ---- Properties --------------------------------------------------------------------------------

void TAnimatedImage::SetActive(bool value)
{
    if (value == active_ || Destroying())
        return;
    QPointer<TAnimatedImage> self(this);
    if (value) {
        StartTimer();
        active_ = Timer()->Enabled();
        Fire(OnStart, this);
        return;
    }
    StopTimer();
    active_ = false;
    ShowInactiveGlyph();
    Fire(OnFrameChanged, this);
    if (self)
        Fire(OnStop, this);
    if (self)
        ContentChanged();
}

void TAnimatedImage::SetCenter(bool value)
{
    if (value == center_)
        return;
    center_ = value;
    ContentChanged();
    if (active_)
        PaintNow();
}

void TAnimatedImage::SetStretch(bool value)
{
    if (value == stretch_)
        return;
    stretch_ = value;
    ContentChanged();
    if (active_)
        PaintNow();
}

void TAnimatedImage::SetOrientation(TGlyphOrientation value)
{
    if (value == orientation_)
        return;
    {
        std::lock_guard lock(drawLock_);
        orientation_ = value;
    }
    GlyphUpdated();
}

void TAnimatedImage::SetOpaque(bool value)
{
    if (value == opaque_)
        return;
    opaque_ = value;
    ContentChanged();
}

void TAnimatedImage::SetTransparentColor(TColor value)
{
    if (value == transparentColor_)
        return;
    {
        std::lock_guard lock(drawLock_);
        transparentColor_ = value;
    }
    ContentChanged();
}

void TAnimatedImage::SetGlyphNum(int value)
{
    {
        std::lock_guard lock(drawLock_);
        if (value == glyphNum_ || value < 0 || value >= numGlyphs_)
            return;
        glyphNum_ = value;
    }
    ShowInactiveGlyph();
    QPointer<TAnimatedImage> self(this);
    Fire(OnFrameChanged, this);
    if (self)
        ContentChanged();
}

void TAnimatedImage::SetInactiveGlyph(int value)
{
    if (value < 0)
        value = -1;
    {
        std::lock_guard lock(drawLock_);
        // A definition may set it before the strip that makes it valid.
        if (value == inactiveGlyph_ || (value >= numGlyphs_ && !IsLoading()))
            return;
        inactiveGlyph_ = value;
    }
    ShowInactiveGlyph();
    QPointer<TAnimatedImage> self(this);
    Fire(OnFrameChanged, this);
    if (self)
        ContentChanged();
}

void TAnimatedImage::SetNumGlyphs(int value)
{
    {
        std::lock_guard lock(drawLock_);
        numGlyphs_ = std::max(1, value);
        if (inactiveGlyph_ < numGlyphs_) {
            ShowInactiveGlyph();
        } else {
            inactiveGlyph_ = -1;
            glyphNum_ = 0;
        }
        // A glyph beyond the new strip would be cut from outside the bitmap.
        if (glyphNum_ >= numGlyphs_)
            glyphNum_ = 0;
        ComputeGlyphSize();
    }
    QPointer<TAnimatedImage> self(this);
    Fire(OnFrameChanged, this);
    if (self)
        ContentChanged();
}

unsigned TAnimatedImage::Interval() const { return Timer() ? Timer()->Interval() : 0; }

void TAnimatedImage::SetInterval(unsigned ms)
{
    if (Timer())
        Timer()->SetInterval(ms);
}

QSize TAnimatedImage::AutoSizeExtent() const
{
    if (glyphWidth_ <= 0 || glyphHeight_ <= 0)
        return size();
    const TAlign a = Align();
    return QSize(a == alNone || a == alLeft || a == alRight ? glyphWidth_ : width(),
                 a == alNone || a == alTop || a == alBottom ? glyphHeight_ : height());
}

void TAnimatedImage::Loaded()
{
    ComputeGlyphSize();
    ShowInactiveGlyph();
    TRxImageControl::Loaded();
}

// ---- Drawing and playing -----------------------------------------------------------------------

void TAnimatedImage::DrawContent()
{
    std::lock_guard lock(drawLock_);
    const int index = ShownGlyph();
    if (!opaque_)
        PaintParentBackground(this, Canvas());
    const int gw = glyphWidth_, gh = glyphHeight_;
    if (gw <= 0 || gh <= 0)
        return;
    const TRect source = orientation_ == goHorizontal ? Bounds(index * gw, 0, gw, gh) : Bounds(0, index * gh, gw, gh);
    TRect dest;
    if (stretch_)
        dest = ClientRect();
    else if (center_)
        dest = Bounds((ClientWidth() - gw) / 2, (ClientHeight() - gh) / 2, gw, gh);
    else
        dest = Bounds(0, 0, gw, gh);
    DrawBitmapRectTransparent(Canvas(), dest.Left, dest.Top, dest.Width(), dest.Height(), source, glyph_.get(),
                              transparentColor_);
}

// The inactive glyph belongs to the stopped control: playing steps over it.
bool TAnimatedImage::AdvanceFrame()
{
    const int count = numGlyphs_;
    if (count <= 1)
        return false;
    auto next = [count](int i) { return i >= count - 1 || i < 0 ? 0 : i + 1; };
    int glyph = next(glyphNum_);
    if (glyph == inactiveGlyph_)
        glyph = next(glyph);
    glyphNum_ = glyph;
    return true;
}

// ---- Window definitions ------------------------------------------------------------------------

bool TAnimatedImage::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) != 0)
        return TRxImageControl::ReadDefinitionProperty(name, value, reader);
    const QString path = reader.AssetPath(reader.StringValue(value));
    TBitmap strip;
    try {
        if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
            strip.LoadFromFile(path);
        } else {
            const QImage image(path);
            if (image.isNull())
                reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
            QImageToBitmap(image, strip);
        }
    } catch (const Exception& e) {
        reader.Error(QStringLiteral("Cannot load picture %1: %2").arg(path, e.Message()));
    }
    SetGlyph(&strip);
    return true;
}
