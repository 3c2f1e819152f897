#pragma once

// Editable icons: TAdvancedIcon holds a list of independent images (TIconImageList) that can be
// loaded from an .ico file, moved from one icon to another and written out as one .ico file. The
// document puts a saved project together this way from one-image files, one per format.

#include "framework/object.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TAdvancedIcon;
class TIconImage;
class TStream;

// A growable list that owns its images. Counts are those of an .ico directory: at most 65535.
class TIconImageList : public TObject {
public:
    TIconImageList();
    // Frees every image.
    ~TIconImageList() override;
    TIconImageList(const TIconImageList&) = delete;
    TIconImageList& operator=(const TIconImageList&) = delete;

    uint16_t Count() const { return uint16_t(items_.size()); }
    uint16_t Capacity() const { return capacity_; }
    // Room for max(n, Count) images.
    void SetCapacity(int n);

    // Appends the image and takes it over. A list already holding 65535 images raises EListError
    // ("List count out of bounds (65536)") and frees the image.
    void Add(std::unique_ptr<TIconImage> image);
    // Removes image #index; with freeImage clear it goes back to the caller. Any other index does
    // nothing and gives null.
    std::unique_ptr<TIconImage> Delete(int index, bool freeImage);
    // Image #index, null at or above Count.
    TIconImage* GetItem(int index) const;
    // Moves image #index of the icon's list here (appended); a null icon or a missing index
    // changes neither list. A full list raises as Add does and leaves the image where it was.
    void TakeImageFrom(TAdvancedIcon* icon, int index);
    // Frees every image; Count and Capacity become 0.
    void Clear();

private:
    std::vector<std::unique_ptr<TIconImage>> items_;
    uint16_t capacity_ = 0;
};

class TAdvancedIcon : public TObject {
public:
    // An empty icon.
    TAdvancedIcon();
    ~TAdvancedIcon() override;
    TAdvancedIcon(const TAdvancedIcon&) = delete;
    TAdvancedIcon& operator=(const TAdvancedIcon&) = delete;

    TIconImageList* Images() const { return images_.get(); }

    // Replaces the images with copies of the source's (own data and handles).
    virtual void AssignIcon(TAdvancedIcon* source);

    // Replaces the images with those of an .ico file, one per directory entry in directory order.
    // A file that cannot be opened raises the framework's file-open error. A header that is not an
    // icon's (a cursor file among them), a directory or image that the file does not hold whole,
    // or images that together claim more bytes than the file holds give false and no images.
    bool LoadFromFile(const QString& fileName);
    // The same over a whole .ico held in a stream, read from its start.
    bool LoadFromStream(TStream* stream);
    // Reads the 6-byte header: true when reserved is 0 and type 1, and then the capacity is set
    // to the count.
    bool ReadHeader(TStream* stream, uint16_t& count);

    // Writes the icon through memory, replacing the file only when the icon has images; an icon
    // without images leaves the file as it is.
    void SaveToFile(const QString& fileName);
    // Writes the icon at the stream's position: header, one entry per image in list order with
    // offsets relative to that position, then the images. Nothing for an icon without images.
    void SaveToStream(TStream* stream);

private:
    std::unique_ptr<TIconImageList> images_;
};
