#pragma once

// An icon picture that reports and draws the real size of the icon it holds, where the
// framework's icon would assume the system icon size.

#include "framework/icon.h"

class THiResIcon : public TIcon {
public:
    THiResIcon();
    ~THiResIcon() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    int GetWidth() override;
    int GetHeight() override;
    // A dump of the icon's bitmaps for no file format of the system: a 40-byte block (0, colour
    // width, height, planes, bits per pixel, zeros), the colour bits, then the mask bits. An icon
    // whose bitmaps cannot be read raises EInvalidGraphic and writes nothing.
    void SaveToStream(TStream* stream) override;

    // Takes the size from the icon's bitmaps when it changed since the last time.
    virtual void UpdateSize();
    bool SizeStale() const { return sizeStale_; }

protected:
    void Changed(TObject* sender) override;

private:
    int width_;
    int height_;
    bool sizeStale_ = false;
};
