#pragma once

// The resources of Windows executables, DLLs and icon libraries, read without running anything:
// the resource directory of 32-bit (PE32) and 64-bit (PE32+) images and the resource table of
// 16-bit (NE) images. Every offset, size and name is checked against the file; a malformed
// directory refuses the file with an error text, a single malformed resource is left out (or kept
// listed but unreadable when only its data lies outside the file).

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// Resource types the system reads.
constexpr int RT_CURSOR = 1;
constexpr int RT_BITMAP = 2;
constexpr int RT_ICON = 3;
constexpr int RT_MENU = 4;
constexpr int RT_DIALOG = 5;
constexpr int RT_STRING = 6;
constexpr int RT_RCDATA = 10;
constexpr int RT_GROUP_CURSOR = 12;
constexpr int RT_GROUP_ICON = 14;
constexpr int RT_VERSION = 16;

// A resource type or name: a 16-bit integer identifier or a string. Strings compare without
// regard to case, as the resource compiler stores them in capitals; the string "#123" stands for
// the identifier 123.
class TResourceId {
public:
    TResourceId() = default;
    TResourceId(int id) : FId(uint16_t(id)) {}
    TResourceId(const QString& name);
    TResourceId(const char* name) : TResourceId(QString::fromLatin1(name)) {}

    bool IsInt() const { return FName.isEmpty(); }
    uint16_t Id() const { return FId; }
    const QString& Name() const { return FName; }
    // The name, or the identifier in decimal.
    QString ToString() const { return IsInt() ? QString::number(FId) : FName; }

    friend bool operator==(const TResourceId& a, const TResourceId& b);

private:
    uint16_t FId = 0;
    QString FName;
};

inline TResourceId MAKEINTRESOURCE(int id) { return TResourceId(id); }
inline bool IS_INTRESOURCE(const TResourceId& id) { return id.IsInt(); }

enum class TExeKind { None, PE32, PE32Plus, NE };

// One resource: type, name and language as the directory lists them, and where its bytes are.
struct TResourceEntry {
    TResourceId Type;
    TResourceId Name;
    uint16_t Language = 0; // 0 in NE images, which have no languages
    uint64_t Offset = 0;   // file position of the data
    uint32_t Size = 0;
    bool Readable = true;  // false when the data lies outside the file
};

class TByteSource;

class TExeResources {
public:
    ~TExeResources();

    // Reads the resource directory of a file, which stays open for the data until destruction.
    // Null, with *error set, when the file cannot be read or its directory is malformed.
    static std::unique_ptr<TExeResources> FromFile(const QString& fileName, QString* error = nullptr);
    // The same over bytes in memory.
    static std::unique_ptr<TExeResources> FromData(const QByteArray& data, QString* error = nullptr);

    TExeKind Kind() const { return FKind; }
    // Every resource, in directory order: by type, then by name, then by language.
    const std::vector<TResourceEntry>& Entries() const { return FEntries; }
    // The distinct types, and the distinct names of one type, in directory order.
    std::vector<TResourceId> Types() const;
    std::vector<TResourceId> Names(const TResourceId& type) const;
    // The resource of a type and name in the given language; for language -1 the language-neutral
    // one, else US English, else the first listed. Null when there is none.
    const TResourceEntry* Find(const TResourceId& type, const TResourceId& name, int language = -1) const;
    // The bytes of a resource; false when they cannot be read.
    bool ReadData(const TResourceEntry& entry, QByteArray& out) const;

private:
    TExeResources() = default;
    static std::unique_ptr<TExeResources> Parse(std::unique_ptr<TByteSource> source, QString* error);
    bool ParsePe(uint32_t peOffset, QString& error);
    bool ParseNe(uint32_t neOffset, QString& error);

    std::unique_ptr<TByteSource> FSource;
    TExeKind FKind = TExeKind::None;
    std::vector<TResourceEntry> FEntries;
};
