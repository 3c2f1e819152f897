#pragma once

// TIconXP: the picture class of the system for .ico files. Every image of the file is decoded to
// 32-bit blue, green, red, alpha pixels (TIconXPFormats), so icons with alpha and icons with a
// transparency mask both draw with true transparency; the bytes of the file are kept as a
// compact copy that SaveToStream writes back. While an application runs, the picture-format
// registry gives "ico" to this class instead of the framework's icon.

#include "framework/exceptions.h"
#include "framework/graphic.h"
#include "framework/graphics.h"

#include <cstdint>
#include <memory>
#include <vector>

class TMemoryStream;
class TStream;
class TIconXPFormats;
struct IconFileHeader;
struct IconDirEntry;

BRELNOVA_EXCEPTION(EIconInvalid, EInvalidGraphic)

namespace IconXPText {
inline constexpr const char* InvalidIcon = "Invalid icon format!";
inline constexpr const char* NotSupported = "Sorry, not supported yet!";
inline constexpr const char* Description = "Icons";
} // namespace IconXPText

class TIconXP : public TGraphic {
public:
    TIconXP();
    ~TIconXP() override;
    TIconXP(const TIconXP&) = delete;
    TIconXP& operator=(const TIconXP&) = delete;

    // The file as last loaded: header, entries (offsets leading to the images laid out one after
    // another in directory order) and every image's bytes.
    TMemoryStream* FileCopy() const { return fileCopy_.get(); }
    TIconXPFormats* Formats() const { return formats_.get(); }

    void Assign(TPersistent* source) override;
    // Draws the current image, unscaled, at the rectangle's top-left.
    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override;
    // Size and depth of the current image (chosen for the wish); the wish itself while empty.
    int GetWidth() override;
    int GetHeight() override;
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    virtual TPixelFormat GetPixelFormat();
    virtual void SetPixelFormat(TPixelFormat value);

    // Decodes an .ico file from the stream's position. A header whose type is not 1 raises
    // EIconInvalid and leaves the picture empty; a directory or an image that the stream does not
    // hold raises the framework's read error and keeps the images read before it.
    void LoadFromStream(TStream* stream) override;
    // Writes FileCopy whole.
    void SaveToStream(TStream* stream) override;
    // Raise "Sorry, not supported yet!".
    void LoadFromClipboardFormat(TClipFormat format, const QByteArray& data) override;
    void SaveToClipboardFormat(TClipFormat& format, QByteArray& data) override;

private:
    void TruncateFileCopy(const IconFileHeader& header, const std::vector<IconDirEntry>& entries, int loaded);

    std::unique_ptr<TMemoryStream> fileCopy_;
    std::unique_ptr<TIconXPFormats> formats_;
};
