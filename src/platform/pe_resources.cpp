#include "platform/pe_resources.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

// Random access to the bytes of a module: in memory, or a file read in cached blocks so that
// listing the icons of a large DLL touches only its headers and directory.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    virtual uint64_t Size() const = 0;
    // False when [offset, offset + n) is not wholly inside the source or cannot be read.
    virtual bool Read(uint64_t offset, void* dst, size_t n) = 0;
};

namespace {

const char* const kNotExecutable = "The file is not a Windows executable";
const char* const kBadDirectory = "The resource directory of the file is damaged";
const char* const kTooMany = "The file lists too many resources";
const char* const kBadShift = "The resource alignment shift of the file is invalid";

// A directory tree whose entries are shared can repeat itself exponentially; no real module comes
// near this many resources.
constexpr size_t kMaxEntries = 1u << 20;

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(QByteArray data) : FData(std::move(data)) {}
    uint64_t Size() const override { return uint64_t(FData.size()); }
    bool Read(uint64_t offset, void* dst, size_t n) override
    {
        if (offset > Size() || n > Size() - offset)
            return false;
        if (n)
            std::memcpy(dst, FData.constData() + offset, n);
        return true;
    }

private:
    QByteArray FData;
};

class TFileSource : public TByteSource {
public:
    bool Open(const QString& name)
    {
        FFile.setFileName(name);
        if (!FFile.open(QIODevice::ReadOnly))
            return false;
        FSize = uint64_t(FFile.size());
        return true;
    }
    uint64_t Size() const override { return FSize; }
    bool Read(uint64_t offset, void* dst, size_t n) override
    {
        if (offset > FSize || n > FSize - offset)
            return false;
        std::lock_guard<std::mutex> lock(FMutex);
        auto* out = static_cast<char*>(dst);
        if (n >= kBlock) {
            return FFile.seek(qint64(offset)) && FFile.read(out, qint64(n)) == qint64(n);
        }
        while (n > 0) {
            const uint64_t block = offset / kBlock;
            const QByteArray* bytes = Block(block);
            if (!bytes)
                return false;
            const size_t within = size_t(offset - block * kBlock);
            if (within >= size_t(bytes->size()))
                return false;
            const size_t take = std::min(n, size_t(bytes->size()) - within);
            std::memcpy(out, bytes->constData() + within, take);
            out += take;
            offset += take;
            n -= take;
        }
        return true;
    }

private:
    static constexpr size_t kBlock = 16384;
    static constexpr size_t kMaxBlocks = 256;

    const QByteArray* Block(uint64_t index)
    {
        auto it = FBlocks.find(index);
        if (it != FBlocks.end())
            return &it->second;
        if (FBlocks.size() >= kMaxBlocks)
            FBlocks.clear();
        if (!FFile.seek(qint64(index * kBlock)))
            return nullptr;
        QByteArray bytes = FFile.read(qint64(kBlock));
        if (bytes.isEmpty())
            return nullptr;
        return &FBlocks.emplace(index, std::move(bytes)).first->second;
    }

    QFile FFile;
    uint64_t FSize = 0;
    std::mutex FMutex;
    std::unordered_map<uint64_t, QByteArray> FBlocks;
};

// Little-endian reads that fail instead of reading past the source.
struct TReader {
    TByteSource& Source;
    bool U16(uint64_t at, uint16_t& v)
    {
        uint8_t b[2];
        if (!Source.Read(at, b, 2))
            return false;
        v = uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool U32(uint64_t at, uint32_t& v)
    {
        uint8_t b[4];
        if (!Source.Read(at, b, 4))
            return false;
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
};

struct TSection {
    uint32_t VirtualAddress;
    uint32_t RawSize;
    uint32_t RawPointer;
};

} // namespace

TResourceId::TResourceId(const QString& name)
{
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint id = name.mid(1).toUInt(&ok);
        if (ok && id <= 0xFFFF) {
            FId = uint16_t(id);
            return;
        }
    }
    FName = name;
}

bool operator==(const TResourceId& a, const TResourceId& b)
{
    if (a.IsInt() || b.IsInt())
        return a.IsInt() && b.IsInt() && a.FId == b.FId;
    return a.FName.compare(b.FName, Qt::CaseInsensitive) == 0;
}

TExeResources::~TExeResources() = default;

std::unique_ptr<TExeResources> TExeResources::FromFile(const QString& fileName, QString* error)
{
    auto source = std::make_unique<TFileSource>();
    if (!source->Open(fileName)) {
        if (error)
            *error = QStringLiteral("Cannot open file \"%1\"").arg(fileName);
        return nullptr;
    }
    return Parse(std::move(source), error);
}

std::unique_ptr<TExeResources> TExeResources::FromData(const QByteArray& data, QString* error)
{
    return Parse(std::make_unique<TMemorySource>(data), error);
}

std::unique_ptr<TExeResources> TExeResources::Parse(std::unique_ptr<TByteSource> source, QString* error)
{
    std::unique_ptr<TExeResources> result(new TExeResources);
    result->FSource = std::move(source);
    TReader r{*result->FSource};
    QString message = QString::fromLatin1(kNotExecutable);
    uint16_t mz = 0;
    uint32_t header = 0;
    uint8_t signature[4] = {};
    bool ok = false;
    if (r.U16(0, mz) && mz == 0x5A4D && r.U32(0x3C, header) && header >= 0x40 &&
        result->FSource->Read(header, signature, 2)) {
        if (signature[0] == 'P' && signature[1] == 'E') {
            ok = result->FSource->Read(header, signature, 4) && signature[2] == 0 && signature[3] == 0 &&
                 result->ParsePe(header, message);
        } else if (signature[0] == 'N' && signature[1] == 'E') {
            ok = result->ParseNe(header, message);
        }
    }
    if (!ok) {
        if (error)
            *error = message;
        return nullptr;
    }
    return result;
}

bool TExeResources::ParsePe(uint32_t pe, QString& error)
{
    TReader r{*FSource};
    uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
    if (!r.U16(uint64_t(pe) + 6, sectionCount) || !r.U16(uint64_t(pe) + 20, optionalSize))
        return false;
    const uint64_t optional = uint64_t(pe) + 24;
    if (!r.U16(optional, magic))
        return false;
    uint64_t countField, directories;
    if (magic == 0x10B) {
        FKind = TExeKind::PE32;
        countField = optional + 92;
        directories = optional + 96;
    } else if (magic == 0x20B) {
        FKind = TExeKind::PE32Plus;
        countField = optional + 108;
        directories = optional + 112;
    } else {
        return false;
    }
    uint32_t directoryCount = 0;
    if (!r.U32(countField, directoryCount))
        return false;
    error = QString::fromLatin1(kBadDirectory);
    // The resource directory is data directory 2.
    uint32_t resourceRva = 0;
    if (directoryCount <= 2 || directories + 24 > optional + optionalSize) {
        return true; // no resources
    }
    if (!r.U32(directories + 16, resourceRva))
        return false;
    if (resourceRva == 0)
        return true;

    std::vector<TSection> sections;
    const uint64_t table = optional + optionalSize;
    if (table + uint64_t(sectionCount) * 40 > FSource->Size())
        return false;
    sections.reserve(sectionCount);
    for (uint32_t i = 0; i < sectionCount; ++i) {
        TSection s{};
        const uint64_t at = table + uint64_t(i) * 40;
        if (!r.U32(at + 12, s.VirtualAddress) || !r.U32(at + 16, s.RawSize) || !r.U32(at + 20, s.RawPointer))
            return false;
        sections.push_back(s);
    }
    // File position of an address, and how many bytes of its section follow it.
    auto toOffset = [&](uint32_t rva, uint64_t& offset, uint64_t& available) {
        for (const TSection& s : sections) {
            if (rva >= s.VirtualAddress && uint64_t(rva) < uint64_t(s.VirtualAddress) + s.RawSize) {
                offset = uint64_t(s.RawPointer) + (rva - s.VirtualAddress);
                available = s.RawSize - (rva - s.VirtualAddress);
                return true;
            }
        }
        return false;
    };

    uint64_t base = 0, limit = 0;
    if (!toOffset(resourceRva, base, limit) || base >= FSource->Size())
        return false;
    limit = std::min(limit, FSource->Size() - base);

    // Directory offsets are relative to the start of the resource directory.
    auto readName = [&](uint32_t field, TResourceId& id) {
        if (!(field & 0x80000000u)) {
            id = TResourceId(int(field & 0xFFFF));
            return true;
        }
        const uint64_t at = field & 0x7FFFFFFFu;
        uint16_t length = 0;
        if (at + 2 > limit || !r.U16(base + at, length) || at + 2 + uint64_t(length) * 2 > limit)
            return false;
        std::vector<char16_t> chars(length);
        if (length && !FSource->Read(base + at + 2, chars.data(), size_t(length) * 2))
            return false;
        const QString name = QString::fromUtf16(chars.data(), length);
        // An empty name, or one that reads like "#12", could never be asked for.
        if (name.isEmpty() || name.startsWith(QLatin1Char('#')))
            return false;
        id = TResourceId(name);
        return true;
    };
    std::unordered_set<uint32_t> visited;
    // Calls each(name field, data field) for every entry of the directory at offset.
    auto readDirectory = [&](uint32_t offset, auto&& each) {
        uint16_t named = 0, ids = 0;
        if (uint64_t(offset) + 16 > limit || !r.U16(base + offset + 12, named) || !r.U16(base + offset + 14, ids))
            return false;
        const uint32_t count = uint32_t(named) + ids;
        if (uint64_t(offset) + 16 + uint64_t(count) * 8 > limit)
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t nameField = 0, dataField = 0;
            const uint64_t at = base + offset + 16 + uint64_t(i) * 8;
            if (!r.U32(at, nameField) || !r.U32(at + 4, dataField))
                return false;
            if (!each(nameField, dataField))
                return false;
        }
        return true;
    };
    // A subdirectory is taken only once: a directory that refers back to itself or to one already
    // read is a loop or a shared subtree, and its entry is left out.
    auto enter = [&](uint32_t dataField, uint32_t& offset) {
        if (!(dataField & 0x80000000u))
            return false;
        offset = dataField & 0x7FFFFFFFu;
        return visited.insert(offset).second;
    };
    auto addData = [&](const TResourceId& type, const TResourceId& name, uint16_t language, uint32_t dataField) {
        if (FEntries.size() >= kMaxEntries)
            return false;
        uint32_t rva = 0, size = 0;
        const uint64_t at = dataField & 0x7FFFFFFFu;
        if (at + 16 > limit || !r.U32(base + at, rva) || !r.U32(base + at + 4, size))
            return true; // this resource only
        TResourceEntry e;
        e.Type = type;
        e.Name = name;
        e.Language = language;
        e.Size = size;
        uint64_t available = 0;
        e.Readable = toOffset(rva, e.Offset, available) && size <= available && e.Offset <= FSource->Size() &&
                     size <= FSource->Size() - e.Offset;
        FEntries.push_back(e);
        return true;
    };

    visited.insert(0);
    bool tooMany = false;
    const bool rootOk = readDirectory(0, [&](uint32_t typeField, uint32_t typeData) {
        TResourceId type;
        uint32_t typeDir = 0;
        if (!readName(typeField, type) || !enter(typeData, typeDir))
            return true;
        readDirectory(typeDir, [&](uint32_t nameField, uint32_t nameData) {
            TResourceId name;
            if (!readName(nameField, name))
                return true;
            uint32_t languageDir = 0;
            if (!(nameData & 0x80000000u)) {
                // A name without a language level points straight at its data.
                if (!addData(type, name, 0, nameData))
                    return !(tooMany = true);
                return true;
            }
            if (!enter(nameData, languageDir))
                return true;
            readDirectory(languageDir, [&](uint32_t languageField, uint32_t languageData) {
                if ((languageField & 0x80000000u) || (languageData & 0x80000000u))
                    return true;
                if (!addData(type, name, uint16_t(languageField), languageData))
                    return !(tooMany = true);
                return true;
            });
            return !tooMany;
        });
        return !tooMany;
    });
    if (tooMany) {
        error = QString::fromLatin1(kTooMany);
        return false;
    }
    return rootOk;
}

bool TExeResources::ParseNe(uint32_t ne, QString& error)
{
    FKind = TExeKind::NE;
    TReader r{*FSource};
    uint16_t tableField = 0, namesField = 0;
    if (!r.U16(uint64_t(ne) + 36, tableField) || !r.U16(uint64_t(ne) + 38, namesField))
        return false;
    // The resident-name table follows the resource table; when both start at the same place
    // there is no resource table.
    if (tableField == 0 || tableField == namesField)
        return true;
    error = QString::fromLatin1(kBadDirectory);
    const uint64_t table = uint64_t(ne) + tableField;
    uint16_t shift = 0;
    if (!r.U16(table, shift))
        return false;
    if (shift > 24) {
        error = QString::fromLatin1(kBadShift);
        return false;
    }
    // Names are length-prefixed, at offsets from the start of the resource table.
    auto readName = [&](uint16_t field, TResourceId& id) {
        if (field & 0x8000) {
            id = TResourceId(int(field & 0x7FFF));
            return true;
        }
        uint8_t length = 0;
        if (!FSource->Read(table + field, &length, 1) || length == 0)
            return false;
        QByteArray bytes(length, '\0');
        if (!FSource->Read(table + field + 1, bytes.data(), length))
            return false;
        if (bytes.startsWith('#'))
            return false;
        id = TResourceId(QString::fromLatin1(bytes));
        return true;
    };
    uint64_t at = table + 2;
    for (;;) {
        uint16_t typeField = 0, count = 0;
        if (!r.U16(at, typeField))
            return false;
        if (typeField == 0)
            return true;
        if (!r.U16(at + 2, count) || at + 8 + uint64_t(count) * 12 > FSource->Size())
            return false;
        TResourceId type;
        const bool typeOk = readName(typeField, type);
        for (uint32_t i = 0; i < count && typeOk; ++i) {
            const uint64_t e = at + 8 + uint64_t(i) * 12;
            uint16_t position = 0, length = 0, idField = 0;
            if (!r.U16(e, position) || !r.U16(e + 2, length) || !r.U16(e + 6, idField))
                return false;
            TResourceEntry entry;
            entry.Type = type;
            if (!readName(idField, entry.Name))
                continue;
            if (FEntries.size() >= kMaxEntries) {
                error = QString::fromLatin1(kTooMany);
                return false;
            }
            entry.Offset = uint64_t(position) << shift;
            const uint64_t size = uint64_t(length) << shift;
            entry.Size = uint32_t(std::min<uint64_t>(size, UINT32_MAX));
            entry.Readable = size <= UINT32_MAX && entry.Offset <= FSource->Size() &&
                             size <= FSource->Size() - entry.Offset;
            FEntries.push_back(entry);
        }
        at += 8 + uint64_t(count) * 12;
    }
}

namespace {

// A key under which equal identifiers (strings without regard to case) collide.
QString IdKey(const TResourceId& id)
{
    return id.IsInt() ? QLatin1Char('#') + QString::number(id.Id()) : id.Name().toUpper();
}

} // namespace

std::vector<TResourceId> TExeResources::Types() const
{
    std::vector<TResourceId> out;
    QSet<QString> seen;
    for (const TResourceEntry& e : FEntries) {
        const QString key = IdKey(e.Type);
        if (!seen.contains(key)) {
            seen.insert(key);
            out.push_back(e.Type);
        }
    }
    return out;
}

std::vector<TResourceId> TExeResources::Names(const TResourceId& type) const
{
    std::vector<TResourceId> out;
    QSet<QString> seen;
    for (const TResourceEntry& e : FEntries) {
        if (!(e.Type == type))
            continue;
        const QString key = IdKey(e.Name);
        if (!seen.contains(key)) {
            seen.insert(key);
            out.push_back(e.Name);
        }
    }
    return out;
}

const TResourceEntry* TExeResources::Find(const TResourceId& type, const TResourceId& name, int language) const
{
    // Without a language, as the window system on an English desktop: neutral, then US English,
    // then the first listed.
    const TResourceEntry* first = nullptr;
    const TResourceEntry* english = nullptr;
    for (const TResourceEntry& e : FEntries) {
        if (!(e.Type == type) || !(e.Name == name))
            continue;
        if (language >= 0) {
            if (e.Language == language)
                return &e;
            continue;
        }
        if (e.Language == 0)
            return &e;
        if (!first)
            first = &e;
        if (!english && e.Language == 0x0409)
            english = &e;
    }
    return english ? english : first;
}

bool TExeResources::ReadData(const TResourceEntry& entry, QByteArray& out) const
{
    if (!entry.Readable)
        return false;
    out.resize(qsizetype(entry.Size));
    return FSource->Read(entry.Offset, out.data(), entry.Size);
}
