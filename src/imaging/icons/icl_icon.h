#pragma once

// The icons of an icon library. Both copy their images into memory while the library is read, so
// they outlive the reader and the module they came from.

#include "framework/streams.h"
#include "imaging/icons/resource_icon.h"

#include <QString>
#include <vector>

class T16BitReader;
class TICLBudget;

// An icon group of a 32-bit library, executable or DLL.
class TICL32Icon : public TResourceIcon {
public:
    // Reads the group (heights taken as widths) and copies its images. A missing group or image
    // raises the framework's resource-not-found error; images beyond the budget raise
    // EICLReadError.
    TICL32Icon(HMODULE module, const QString& groupName, TICLBudget* budget = nullptr);
    TICL32Icon(HMODULE module, int groupId, TICLBudget* budget = nullptr);
    ~TICL32Icon() override;

    // Count 4-byte offsets, then the images; each entry's bytes-in-resource is its image's size.
    TMemoryStream* Images() { return &images_; }

    void CopyImageData(TStream* stream, uint16_t index) override;

protected:
    QByteArray ReadImageBytes(uint16_t index) override;

private:
    void CopyImages(TICLBudget* budget);

    TMemoryStream images_;
};

// An icon group of a 16-bit library.
class TICL16Icon : public TMultiIcon {
public:
    // Reads group #groupIndex of the reader's group table and the images it names. A directory
    // whose header is not an icon's leaves the icon invalid and empty; errors of the file raise
    // EICLReadError or the framework's read error.
    TICL16Icon(T16BitReader* reader, int groupIndex);
    ~TICL16Icon() override;

    // The generated name of the group ("icons 007").
    const QString& Name() const { return name_; }
    // The group's images at the offsets recorded in its entries, each padded as in the file.
    TMemoryStream* Images() { return &images_; }

    // Appends the entry's bytes-in-resource bytes, as far as the library held them.
    void CopyImageData(TStream* stream, uint16_t index) override;

protected:
    IconDirEntry ReadEntry(TStream* stream) override;
    QByteArray ReadImageBytes(uint16_t index) override;

private:
    QString name_;
    TMemoryStream images_;
    std::vector<int64_t> stored_; // bytes held for each image
};
