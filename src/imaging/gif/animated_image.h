#pragma once

// TAnimatedImage: plays a strip of equal glyphs cut from one bitmap at a fixed interval, with an
// optional glyph of its own shown while it is stopped.

#include "imaging/gif/rx_image_control.h"

#include <atomic>
#include <memory>

class TBitmap;

namespace AnimatedImageTypes {
Q_NAMESPACE
enum TGlyphOrientation { goHorizontal, goVertical };
Q_ENUM_NS(TGlyphOrientation)
} // namespace AnimatedImageTypes
using namespace AnimatedImageTypes;

class TAnimatedImage : public TRxImageControl {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(AnimatedImageTypes::TGlyphOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int GlyphNum READ GlyphNum WRITE SetGlyphNum)
    Q_PROPERTY(uint Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int InactiveGlyph READ InactiveGlyph WRITE SetInactiveGlyph)
    Q_PROPERTY(uint TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(bool Opaque READ Opaque WRITE SetOpaque)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)

public:
    explicit TAnimatedImage(QWidget* parent = nullptr);
    ~TAnimatedImage() override;

    // The strip (owned); SetGlyph copies the given bitmap into it.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* value);

    bool Active() const { return active_; }
    void SetActive(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    TGlyphOrientation Orientation() const { return orientation_; }
    void SetOrientation(TGlyphOrientation value);
    int GlyphNum() const { return glyphNum_; }
    void SetGlyphNum(int value);
    unsigned Interval() const;
    void SetInterval(unsigned ms);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    int InactiveGlyph() const { return inactiveGlyph_; }
    void SetInactiveGlyph(int value);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor value);
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);

    int GlyphWidth() const { return glyphWidth_; }
    int GlyphHeight() const { return glyphHeight_; }
    // The glyph drawn now: the inactive one while stopped, when it names a glyph.
    int ShownGlyph() const;

    void Loaded() override;
    // "Glyph" names a picture file (an asset path).
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void DrawContent() override;
    bool AdvanceFrame() override;
    QSize AutoSizeExtent() const override;

private:
    void GlyphUpdated();
    void CountGlyphs();
    void ComputeGlyphSize();
    void ShowInactiveGlyph();

    std::unique_ptr<TBitmap> glyph_;
    bool updatingGlyph_ = false;
    bool active_ = false;
    bool center_ = false;
    bool opaque_ = false;
    bool stretch_ = true;
    TGlyphOrientation orientation_ = goHorizontal;
    // Written under the drawing lock, read without it by the GUI thread.
    std::atomic<int> glyphNum_{0};
    int numGlyphs_ = 1;
    int inactiveGlyph_ = -1;
    TColor transparentColor_ = clNone;
    int glyphWidth_ = 0;
    int glyphHeight_ = 0;
};
