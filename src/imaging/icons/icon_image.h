#pragma once

// One image of an editable icon (TAdvancedIcon): its directory entry, its bytes in the .ico image
// layout and, once asked for, an icon handle made from them. Images move between icons whole, so
// an image never refers back to the file or icon it came from.

#include "framework/object.h"
#include "imaging/icons/icon_format.h"
#include "platform/icon_handle.h"

#include <QByteArray>
#include <memory>

class THiResIcon;
class TStream;

class TIconImage : public TObject {
public:
    // No handle, no data, entry zero.
    TIconImage();
    // Destroys the handle.
    ~TIconImage() override;
    TIconImage(const TIconImage&) = delete;
    TIconImage& operator=(const TIconImage&) = delete;

    // A new image with the source's entry, a copy of its data and a copy of its handle (made on
    // the source first when needed), so that it outlives the source.
    static std::unique_ptr<TIconImage> CreateCopy(TIconImage* source);

    // The handle made from the data at the entry's size, cached and owned by the image; null when
    // there is no data or the data makes no icon.
    virtual HICON GetHandle();
    // A new icon picture, owned by the caller, holding a copy of the handle.
    virtual std::unique_ptr<THiResIcon> CreateHiResIcon();
    // Appends the data, when there is any.
    void WriteData(TStream* stream) const;

    HICON Handle() const { return handle_; }
    // The 12 leading bytes of the directory entry; ImageOffset is not used.
    const IconDirEntry& Entry() const { return entry_; }
    // The image bytes; empty when there are none.
    const QByteArray& Data() const { return data_; }

protected:
    // Takes the entry's width and height from the image's own header, so that the directory
    // lists the real size (256 as 0). Data that is no readable bitmap (PNG images among them)
    // keeps the entry as it was.
    void NormalizeSize();

    HICON handle_ = nullptr;
    IconDirEntry entry_;
    QByteArray data_;
};

// An image read from an .ico file.
class TFileIconImage : public TIconImage {
public:
    // Reads the 16-byte directory entry at the stream's position and the entry's bytes at its
    // image offset, then leaves the stream right after the entry. An entry or image that the
    // stream does not hold whole raises the framework's read error.
    explicit TFileIconImage(TStream* stream);
};
