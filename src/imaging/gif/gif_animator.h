#pragma once

// TRxGIFAnimator: plays a GIF image frame by frame with the delays stored in the file, composing
// each frame with the disposal methods of GIF 89a on a cached bitmap of the previous one.

#include "framework/types.h"
#include "imaging/gif/rx_image_control.h"

#include <atomic>
#include <memory>

class TBitmap;
class TGIFImage;

class TRxGIFAnimator : public TRxImageControl {
    Q_OBJECT
    Q_PROPERTY(bool Animate READ Animate WRITE SetAnimate)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(int FrameIndex READ FrameIndex WRITE SetFrameIndex)
    Q_PROPERTY(bool Loop READ Loop WRITE SetLoop)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TRxGIFAnimator(QWidget* parent = nullptr);
    ~TRxGIFAnimator() override;

    // The control's own image; SetImage copies the given one into it (null empties it).
    TGIFImage* Image() const { return image_.get(); }
    void SetImage(TGIFImage* value);

    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    int FrameIndex() const { return frameIndex_; }
    // Ignores an unchanged index and one outside the frames.
    void SetFrameIndex(int value);
    bool Loop() const { return loop_; }
    void SetLoop(bool value) { loop_ = value; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    // The delay of the frame shown, 50 to 10000 ms; 0 (no ticking) without a second frame.
    unsigned FrameDelay() const;

    // The frame composed with everything before it that stays visible, as shown; its
    // transparent colour (clNone when none) goes to transparentColor. The bitmap belongs to the
    // control and is valid until the next composition.
    TBitmap* ComposeAnimationFrame(int index, TColor& transparentColor);

    TNotifyEvent OnChange;

    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    // "Image" names a GIF file (an asset path); "Image.Data" is GIF form data.
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void DrawContent() override;
    bool AdvanceFrame() override;
    void PrepareFrame() override;
    bool FrameAdvanced() override;
    QSize AutoSizeExtent() const override;

private:
    void ImageUpdated();
    void StopPlaying();
    void DropCache();

    std::unique_ptr<TGIFImage> image_;
    bool updatingImage_ = false;
    bool animate_ = false;
    bool center_ = false;
    bool loop_ = true;
    bool stretch_ = false;
    bool transparent_ = true;
    // Written under the drawing lock, read without it by the GUI thread.
    std::atomic<int> frameIndex_{0};

    std::unique_ptr<TBitmap> cache_;
    int cacheIndex_ = -1;
    TColor cacheColor_ = clNone;
};
