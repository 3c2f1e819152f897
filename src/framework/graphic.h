#pragma once

// TGraphic: the abstract picture (bitmap, icon, JPEG, ...) that pictures hold and canvases draw.

#include "framework/object.h"
#include "framework/types.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class TCanvas;
class TStream;

// A clipboard format: the standard numbers below, or a number from RegisterClipboardFormat.
using TClipFormat = uint32_t;

class TGraphic : public TPersistent {
public:
    TGraphic();
    ~TGraphic() override;

    // Draws the picture into rect of the canvas (scaled when rect differs from its size).
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    // File transfers go through memory: a failed save leaves an existing file untouched.
    virtual void LoadFromFile(const QString& fileName);
    virtual void SaveToFile(const QString& fileName);
    // Clipboard data of one format. The default raises EInvalidGraphic ("Unsupported clipboard
    // format" / "Cannot copy ... to the clipboard").
    virtual void LoadFromClipboardFormat(TClipFormat format, const QByteArray& data);
    virtual void SaveToClipboardFormat(TClipFormat& format, QByteArray& data);

    bool Empty() const { return GetEmpty(); }
    int Width() { return GetWidth(); }
    int Height() { return GetHeight(); }

    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    bool Modified() const { return modified_; }
    void SetModified(bool value);

    TNotifyEvent OnChange;

protected:
    // Marks the graphic modified and tells its owner.
    virtual void Changed(TObject* sender);

private:
    bool transparent_ = false;
    bool modified_ = false;
};

// Fixed texts of the graphics classes.
namespace GraphicsText {
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* InvalidIcon = "Icon image is not valid";
inline constexpr const char* InvalidImage = "Invalid image";
inline constexpr const char* UnknownClipboardFormat = "Unsupported clipboard format";
inline constexpr const char* ChangeIconSize = "Cannot change the size of an icon";
inline constexpr const char* OutOfResources = "Out of system resources";
} // namespace GraphicsText
