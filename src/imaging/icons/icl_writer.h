#pragma once

// Writes 16-bit (NE) icon libraries, byte for byte:
//
//   0     "MZ", zeros, uint32 128 at 60 (the NE header), the bytes 0x49 0x4D at 126
//   128   "NE" header: segment table and resource table at +64 (an empty segment table), the
//         resident-name table offset at +38, target system 2 at +54, Windows 3.0 at +63
//   192   resource table: uint16 shift s; type 0x800E with G group entries 0x8001..; type 0x8003
//         with N icon entries 0x8001..; uint16 0
//         resident names: "ICL", then one length-prefixed name per group; a 0 byte
//         zero padding to 2^s, each group directory and each image padded to 2^s, then 2 zeros
//
// A resource entry is {position >> s, padded length >> s, 0x1C30, identifier, 0, 0}. A group
// directory is an icon file header and 14-byte entries whose identifiers number the images over
// the whole library from 1.

#include "imaging/icons/icon_format.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class TIconLibrary;
class TIconLibrary1;
class TMemoryStream;

class T16BitWriter {
public:
    // Takes the library's groups and a copy of every image. Raises EICLReadError for an empty
    // list and for more than 32767 groups or images, before anything is written.
    explicit T16BitWriter(TIconLibrary* library);
    explicit T16BitWriter(TIconLibrary1* library);

    // Writes the library into memory, then replaces the file with it.
    void WriteFile(const QString& fileName);
    // Writes the library into an empty stream.
    void WriteStream(TMemoryStream* stream);

    // The alignment shift of the last write.
    uint16_t Shift() const { return shift_; }

private:
    struct Image {
        std::array<uint8_t, IconEntryCommonSize> Entry{};
        QByteArray Data;
    };
    struct Group {
        QString Name;
        std::vector<Image> Images;
    };

    void CheckCounts() const;
    void WriteHeader();
    void WriteResourceTable();
    void WriteNames();
    void ComputeShift();
    void WriteData();
    void Align();
    void FillEntry(int64_t entryPos, int64_t start, int64_t end);

    std::vector<Group> groups_;
    TMemoryStream* stream_ = nullptr;
    int imageCount_ = 0;
    uint16_t shift_ = 0;
    int64_t resourceTablePos_ = 0;
    int64_t namesFieldPos_ = 0;
    std::vector<int64_t> groupEntryPos_;
    std::vector<int64_t> iconEntryPos_;
};
