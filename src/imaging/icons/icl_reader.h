#pragma once

// The readers behind TIconLibrary::LoadFromFile: T32BitReader over a PE file loaded as a data
// file, T16BitReader over the resource table of an NE file. Each fills Names with the library's
// groups, in resource order, each with its icon object.

#include "imaging/icons/icon_library.h"
#include "platform/module.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TFileStream;
class TStream;
class TStringList;

// How many bytes the icons of one library may hold in memory. Groups may share one directory and
// entries one image, so a small file could otherwise ask for its images many thousand times over.
// Every image copied and every directory entry counts against it.
class TICLBudget {
public:
    // Room for a few times the file: sharing in real libraries is rare and small.
    explicit TICLBudget(int64_t fileSize);
    // Counts bytes against the budget; raises EICLReadError when it is spent.
    void Take(int64_t bytes);
    // What each directory entry costs (its entry and handle tables).
    static constexpr int64_t EntryCost = 64;

private:
    int64_t left_;
};

class TICLReader : public TObject {
public:
    explicit TICLReader(const QString& fileName);
    // Frees the icons that were not handed over.
    ~TICLReader() override;
    TICLReader(const TICLReader&) = delete;
    TICLReader& operator=(const TICLReader&) = delete;

    const QString& FileName() const { return fileName_; }
    // Group names with their TMultiIcon objects; whoever takes an object out of the list owns it.
    TStringList* Names() const { return names_.get(); }

    // True when the reader filled Names.
    virtual bool ReadIcons() = 0;

protected:
    void FreeNames();

    QString fileName_;
    std::unique_ptr<TStringList> names_;
};

class T32BitReader : public TICLReader {
public:
    explicit T32BitReader(const QString& fileName);
    // Frees the module.
    ~T32BitReader() override;

    // False when the file does not load as a data file, a group directory is cut short or the
    // icons would not fit the budget; a group or image resource that is missing raises the
    // framework's resource-not-found error.
    bool ReadIcons() override;

private:
    HMODULE module_ = nullptr;
    bool loaded_ = false;
};

// One 12-byte entry of an NE resource table.
struct TNEResource {
    uint16_t Position = 0; // file position >> shift
    uint16_t Length = 0;   // length >> shift
    uint16_t Flags = 0;
    uint16_t Id = 0;
    uint16_t Handle = 0;
    uint16_t Usage = 0;
};

class T16BitReader : public TICLReader {
public:
    // Opens the file (read-only); a file that cannot be opened raises the framework's open error.
    explicit T16BitReader(const QString& fileName);
    ~T16BitReader() override;

    // Every error of the file is caught here: false, and Names stays empty.
    bool ReadIcons() override;

    // The file name without folder and extension, which generated group names start with.
    const QString& LibraryName() const { return libraryName_; }
    uint16_t Shift() const { return shift_; }
    const std::vector<TNEResource>& IconTable() const { return iconTable_; }
    const std::vector<TNEResource>& GroupTable() const { return groupTable_; }
    TICLBudget& Budget() { return budget_; }

    // Checks the MZ and NE headers and finds the resource and resident-name tables.
    void ReadHeader();
    // Reads the alignment shift and the type blocks, keeping the icon and group tables.
    void ReadResourceTable();
    // The length-prefixed names after the end of the types, without the module name "ICL" that
    // comes first.
    void ReadNames(std::vector<QString>& names);
    // Names resource #index of the table "<library> 007" (index 6) and appends its padded bytes
    // to the stream. A resource that does not lie inside the file raises EICLReadError.
    void ReadResource(int index, const std::vector<TNEResource>& table, QString& name, TStream* stream);
    // Index of the first icon (or group) entry whose identifier is identifier + 0x8000 in 16
    // bits; raises EICLReadError "Icon Resource Not Found" when there is none.
    int FindResource(uint16_t identifier, const std::vector<TNEResource>& table);

private:
    void ReadTypeBlock(uint16_t typeId);

    std::unique_ptr<TFileStream> stream_;
    int64_t fileSize_ = 0;
    TICLBudget budget_;
    QString libraryName_;
    uint16_t shift_ = 0;
    uint16_t neOffset_ = 0;
    int64_t resourceTablePos_ = 0;
    int64_t namesTablePos_ = 0;
    int64_t namesPos_ = 0; // right after the end of the types
    uint16_t iconCount_ = 0;
    uint16_t groupCount_ = 0;
    bool haveIcons_ = false;
    bool haveGroups_ = false;
    std::vector<TNEResource> iconTable_;
    std::vector<TNEResource> groupTable_;
    // First index of each identifier in the icon table, so that finding an image does not walk
    // the table once per directory entry.
    std::unordered_map<uint16_t, int> iconIndex_;
};
