#include "skin/theme_file_reader.h"

#include "framework/exceptions.h"
#include "framework/streams.h"

#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <set>

namespace {

constexpr int HeaderSize = 24;
constexpr int RecordSize = 77;
constexpr int NameSize = 64;
// No real skin has more than a few dozen records or megabytes of pictures; the limits stop a
// crafted chain from making the reader allocate without end.
constexpr int MaxRecords = 10000;
constexpr int64_t MaxStoredBytes = 64 * 1024 * 1024;

enum SkinRecordKind : uint8_t { srkImage = 0, srkInteger = 1, srkBool = 2, srkString = 3 };

[[noreturn]] void Invalid() { throw Exception(QString::fromLatin1(InvalidSkinFileText)); }

int32_t Int32At(const uint8_t* p) { return qFromLittleEndian<qint32>(p); }

bool MagicMatches(const char* field12)
{
    // The magic ends at the first NUL of the 12-byte field; byte 11 is never looked at when the
    // text is right, since byte 10 must then be the NUL.
    return std::memcmp(field12, SkinFileMagic, 10) == 0 && field12[10] == 0;
}

template <class Entry>
const Entry* FindFirst(const std::vector<Entry>& list, const QString& name)
{
    for (const Entry& e : list)
        if (e.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

} // namespace

bool IsValidThemeFile(const QString& fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    try {
        TFileStream fs(fileName, fmOpenRead | fmShareDenyNone);
        char magic[12];
        fs.ReadBuffer(magic, sizeof magic);
        return MagicMatches(magic);
    } catch (const Exception&) {
        return false;
    }
}

TsuiThemeFileReader::TsuiThemeFileReader(const QString& fileName) { LoadThemeFile(fileName); }

TsuiThemeFileReader::~TsuiThemeFileReader() = default;

void TsuiThemeFileReader::LoadThemeFile(const QString& fileName)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyNone);
    const int64_t fileSize = fs.Size();
    if (fileSize < HeaderSize)
        Invalid();

    uint8_t header[HeaderSize];
    fs.ReadBuffer(header, HeaderSize);
    if (!MagicMatches(reinterpret_cast<const char*>(header)))
        Invalid();
    // The header announces its own size; only the one layout we know can be read safely.
    if (Int32At(header + 12) != HeaderSize)
        Invalid();

    // A value must lie wholly inside the file; negative or overflowing fields are refused.
    auto inFile = [fileSize](int64_t offset, int64_t size) {
        return offset >= 0 && size >= 0 && offset <= fileSize && size <= fileSize - offset;
    };

    std::set<int64_t> visited;
    int64_t storedBytes = 0;
    int64_t offset = Int32At(header + 20);
    for (;;) {
        // A chain that points back at a record already read would never end.
        if (!inFile(offset, RecordSize) || !visited.insert(offset).second ||
            static_cast<int>(visited.size()) > MaxRecords)
            Invalid();
        uint8_t rec[RecordSize];
        fs.SetPosition(offset);
        fs.ReadBuffer(rec, RecordSize);
        const int64_t next = Int32At(rec + 73);
        // The record that ends the chain is read but never stored.
        if (next == 0)
            break;

        const QString name = QString::fromLatin1(reinterpret_cast<const char*>(rec),
                                                 static_cast<qsizetype>(strnlen(reinterpret_cast<const char*>(rec), NameSize)));
        const uint8_t kind = rec[64];
        const int64_t dataOffset = Int32At(rec + 65);
        const int64_t dataSize = Int32At(rec + 69);
        if (kind <= srkString) {
            if (!inFile(dataOffset, dataSize))
                Invalid();
            // Integers and booleans have one size each; anything else would read past the value.
            if ((kind == srkInteger && dataSize != 4) || (kind == srkBool && dataSize != 1))
                Invalid();
            storedBytes += dataSize;
            if (storedBytes > MaxStoredBytes)
                Invalid();
            QByteArray data(static_cast<qsizetype>(dataSize), Qt::Uninitialized);
            fs.SetPosition(dataOffset);
            fs.ReadBuffer(data.data(), dataSize);
            const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
            switch (kind) {
            case srkImage: images_.push_back({name, std::make_unique<TMemoryStream>(data)}); break;
            case srkInteger: integers_.push_back({name, Int32At(bytes)}); break;
            case srkBool: bools_.push_back({name, bytes[0]}); break;
            case srkString: strings_.append(name + QLatin1Char('=') + QString::fromLatin1(data)); break;
            }
        }
        offset = next;
    }
}

TMemoryStream* TsuiThemeFileReader::GetImageStream(const QString& name)
{
    const ImageEntry* e = FindFirst(images_, name);
    if (!e)
        return nullptr;
    e->Data->SetPosition(0);
    return e->Data.get();
}

int TsuiThemeFileReader::GetInteger(const QString& name) const
{
    const ValueEntry* e = FindFirst(integers_, name);
    return e ? e->Value : -1;
}

bool TsuiThemeFileReader::GetBool(const QString& name) const
{
    const ValueEntry* e = FindFirst(bools_, name);
    return e && (e->Value & 0xFF) != 0;
}
