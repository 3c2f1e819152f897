#pragma once

// A multi-image icon: the directory of an .ico file or of an icon-group resource, whose images
// become icon handles only when one is asked for. TFileIcon and TResourceIcon supply the image
// bytes; this class keeps the directory and the handles and writes .ico files from them.

#include "framework/object.h"
#include "imaging/icons/icon_format.h"
#include "platform/icon_handle.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TCanvas;
class THiResIcon;
class TStream;

class TMultiIcon : public TObject {
public:
    ~TMultiIcon() override;
    TMultiIcon(const TMultiIcon&) = delete;
    TMultiIcon& operator=(const TMultiIcon&) = delete;

    // True when the header had reserved 0 and type 1.
    bool Valid() const { return valid_; }
    uint16_t Count() const { return count_; }

    // The icon handle of image #index, created on first use and owned by this object; null for an
    // index at or above Count or for bytes that make no icon (tried again at the next request).
    virtual HICON GetIconHandle(uint16_t index);
    // The entry's width and height bytes; 0 for an index at or above Count.
    virtual void GetImageSize(uint16_t index, int& width, int& height);
    // The 12 leading bytes of the entry (width to bytes in resource); false, and nothing written,
    // for an index at or above Count.
    virtual bool GetEntry(uint16_t index, uint8_t entry[IconEntryCommonSize]);
    // Reads the header and the entries. A header other than {0, 1, ...} gives valid false and
    // count 0; a directory shorter than its count raises the framework's read error.
    virtual void ReadDirectory(TStream* stream, bool& valid, uint16_t& count);
    // Back to no directory (frees the handles).
    virtual void Reset();
    // Appends image #index's bytes to the stream; nothing for an index at or above Count.
    virtual void CopyImageData(TStream* stream, uint16_t index) = 0;

    // Draws image #index with its top-left corner at x, y, at the entry's size.
    virtual void DrawImage(TCanvas* canvas, int x, int y, uint16_t index);
    // A new icon picture, owned by the caller, holding a copy of image #index's handle; null when
    // there is no handle.
    std::unique_ptr<THiResIcon> CreateHiResIcon(uint16_t index);

    // All images as one .ico file, created or replaced; no file when Count is 0.
    void SaveToFile(const QString& fileName);
    // All images as an .ico file written at the stream's position: header, entries whose offsets
    // (relative to that position) lead to the images in order, then the images.
    void SaveToStream(TStream* stream);
    // Image #index alone as a one-image .ico file; no file for an index at or above Count.
    void SaveImageToFile(const QString& fileName, uint16_t index);
    void SaveImageToStream(TStream* stream, uint16_t index);

protected:
    TMultiIcon();

    // One entry as the descendant's directory stores it (16-byte file or 14-byte group records).
    virtual IconDirEntry ReadEntry(TStream* stream);
    // How many image bytes the source holds, or -1 when it does not say. Writing refuses
    // directories whose images add up to more: entries that share one image's bytes would
    // multiply them in the written file.
    virtual int64_t SourceSize() { return -1; }
    // The bytes of image #index as far as the source holds them (for creating its handle).
    virtual QByteArray ReadImageBytes(uint16_t index) = 0;
    // Creates an icon from one image's bytes at the image's own size.
    static HICON CreateIconFromData(const QByteArray& data);
    const IconDirEntry& Entry(uint16_t index) const { return entries_[index]; }
    IconDirEntry& Entry(uint16_t index) { return entries_[index]; }

private:
    void DestroyHandles();

    bool valid_ = false;
    uint16_t count_ = 0;
    std::vector<IconDirEntry> entries_;
    std::vector<HICON> handles_;
};
