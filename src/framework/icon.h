#pragma once

// TIcon: the framework's icon picture. It holds an icon handle of the platform layer and the
// bytes of the .ico file it was loaded from. Loading goes through whatever graphic class is
// registered for "ico" when that is not TIcon itself (the imaging layer registers its own icon
// picture), which then also draws the icon; the handle is made from the file's best image.

#include "framework/graphic.h"
#include "platform/icon_handle.h"

#include <QByteArray>
#include <memory>

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override;
    int GetWidth() override;
    int GetHeight() override;
    // An icon's size comes from its image: changing it raises EInvalidGraphicOperation
    // ("Cannot change the size of an icon") once the icon holds an image.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    // Reads an .ico file. A malformed one raises EInvalidGraphic ("Icon image is not valid") and
    // leaves the icon as it was.
    void LoadFromStream(TStream* stream) override;
    // Writes the file the icon was loaded from, or a one-image 32-bit .ico of the handle.
    void SaveToStream(TStream* stream) override;
    void Assign(TPersistent* source) override;

    // The icon handle (owned by the icon); null when there is none.
    HICON Handle() const { return handle_; }
    // Takes ownership of the handle; the file bytes are forgotten.
    void SetHandle(HICON value);
    // Gives the handle to the caller; the icon becomes empty.
    HICON ReleaseHandle();
    // The icon as one non-premultiplied ARGB32 image (empty image without one).
    QImage ToImage();

private:
    void Reset();

    HICON handle_ = nullptr;
    QByteArray data_;
    std::unique_ptr<TGraphic> delegate_;
    int width_ = 0;
    int height_ = 0;
};
