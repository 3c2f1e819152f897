#include "imaging/icons/icl_reader.h"

#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/icons/icl_icon.h"
#include "imaging/icons/library_name_text.h"

#include <QFileInfo>
#include <algorithm>

namespace {

constexpr int64_t kBudgetFloor = int64_t(16) << 20;
constexpr int64_t kBudgetCeiling = int64_t(1) << 30;
// Positions are 16-bit values shifted left; beyond 24 the file would be larger than any library.
constexpr uint16_t kMaxShift = 24;
constexpr int kTypeBlockSize = 8;
constexpr int kResourceEntrySize = 12;

[[noreturn]] void Fail(const char* text)
{
    throw EICLReadError(QString::fromLatin1(text));
}

} // namespace

TICLBudget::TICLBudget(int64_t fileSize) : left_(std::min(kBudgetCeiling, 4 * std::max<int64_t>(fileSize, 0) + kBudgetFloor))
{
}

void TICLBudget::Take(int64_t bytes)
{
    if (bytes > left_)
        Fail(ICLText::TableError);
    left_ -= bytes;
}

TICLReader::TICLReader(const QString& fileName) : fileName_(fileName), names_(std::make_unique<TStringList>()) {}

TICLReader::~TICLReader()
{
    FreeNames();
}

void TICLReader::FreeNames()
{
    for (int i = 0; i < names_->Count(); ++i)
        delete names_->Objects(i);
    names_->Clear();
}

T32BitReader::T32BitReader(const QString& fileName) : TICLReader(fileName) {}

T32BitReader::~T32BitReader()
{
    if (loaded_)
        FreeLibrary(module_);
}

bool T32BitReader::ReadIcons()
{
    module_ = LoadLibraryEx(fileName_, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    loaded_ = module_ != nullptr;
    if (!loaded_)
        return false;
    TICLBudget budget(QFileInfo(fileName_).size());
    try {
        EnumResourceNames(module_, TResourceId(RT_GROUP_ICON), [&](HMODULE, const TResourceId&, const TResourceId& name) {
            std::unique_ptr<TICL32Icon> icon;
            try {
                if (name.IsInt())
                    icon = std::make_unique<TICL32Icon>(module_, int(name.Id()), &budget);
                else
                    icon = std::make_unique<TICL32Icon>(module_, name.Name(), &budget);
            } catch (const EResNotFound&) {
                // A group whose bytes lie past the end of the file: this icon only is left out.
                return true;
            }
            names_->AddObject(name.ToString(), icon.release());
            return true;
        });
    } catch (const EICLReadError&) {
        FreeNames();
        return false;
    } catch (const EReadError&) {
        // A group directory shorter than its count: as damaged as a 16-bit table error, and
        // handled the same way.
        FreeNames();
        return false;
    }
    return true;
}

T16BitReader::T16BitReader(const QString& fileName)
    : TICLReader(fileName),
      stream_(std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite)),
      fileSize_(stream_->Size()),
      budget_(fileSize_),
      libraryName_(QFileInfo(fileName).completeBaseName())
{
}

T16BitReader::~T16BitReader() = default;

bool T16BitReader::ReadIcons()
{
    try {
        ReadHeader();
        ReadResourceTable();
        std::vector<QString> names;
        ReadNames(names);
        const bool named = names.size() == groupTable_.size();
        for (int i = 0; i < int(groupTable_.size()); ++i) {
            auto icon = std::make_unique<TICL16Icon>(this, i);
            names_->AddObject(named ? names[size_t(i)] : icon->Name(), icon.get());
            icon.release();
        }
    } catch (const Exception&) {
        FreeNames();
        return false;
    }
    return true;
}

void T16BitReader::ReadHeader()
{
    char mz[2] = {};
    stream_->SetPosition(0);
    stream_->ReadBuffer(mz, 2);
    if (mz[0] != 'M' || mz[1] != 'Z')
        Fail(ICLText::NotValid);
    stream_->SetPosition(60);
    neOffset_ = stream_->ReadWord();
    if (neOffset_ < 60)
        Fail(ICLText::InvalidOffset);
    char ne[2] = {};
    stream_->SetPosition(neOffset_);
    stream_->ReadBuffer(ne, 2);
    if (ne[0] != 'N' || ne[1] != 'E')
        Fail(ICLText::InvalidHeader);
    stream_->SetPosition(int64_t(neOffset_) + 36);
    const uint16_t table = stream_->ReadWord();
    if (table == 0)
        Fail(ICLText::NoResources);
    const uint16_t names = stream_->ReadWord();
    if (names == 0)
        Fail(ICLText::NoNames);
    resourceTablePos_ = int64_t(neOffset_) + table;
    namesTablePos_ = int64_t(neOffset_) + names;
}

void T16BitReader::ReadResourceTable()
{
    stream_->SetPosition(resourceTablePos_);
    shift_ = stream_->ReadWord();
    if (shift_ > kMaxShift)
        Fail(ICLText::TableError);
    haveIcons_ = haveGroups_ = false;
    iconTable_.clear();
    groupTable_.clear();
    iconIndex_.clear();
    for (;;) {
        const uint16_t typeId = stream_->ReadWord();
        if (typeId == 0)
            break;
        ReadTypeBlock(typeId);
    }
    namesPos_ = stream_->Position();
    if (!haveIcons_ || !haveGroups_)
        Fail(ICLText::TableError);
    iconCount_ = uint16_t(iconTable_.size());
    groupCount_ = uint16_t(groupTable_.size());
    for (int i = 0; i < int(iconTable_.size()); ++i)
        iconIndex_.emplace(iconTable_[size_t(i)].Id, i);
}

void T16BitReader::ReadTypeBlock(uint16_t typeId)
{
    const uint16_t count = stream_->ReadWord();
    stream_->ReadDWord();
    const int64_t bytes = int64_t(count) * kResourceEntrySize;
    if (stream_->Position() + bytes > fileSize_)
        Fail(ICLText::TableError);
    const bool icons = (typeId & 0x8000) && (typeId & 0xFF) == RT_ICON;
    const bool groups = (typeId & 0x8000) && (typeId & 0xFF) == RT_GROUP_ICON;
    if (!icons && !groups) {
        stream_->Seek(bytes, soCurrent);
        return;
    }
    QByteArray raw(qsizetype(bytes), '\0');
    stream_->ReadBuffer(raw.data(), bytes);
    std::vector<TNEResource> table(count);
    const auto* p = reinterpret_cast<const uint8_t*>(raw.constData());
    for (TNEResource& r : table) {
        r = {GetLE16(p), GetLE16(p + 2), GetLE16(p + 4), GetLE16(p + 6), GetLE16(p + 8), GetLE16(p + 10)};
        p += kResourceEntrySize;
    }
    if (icons) {
        iconTable_ = std::move(table);
        haveIcons_ = true;
    } else {
        groupTable_ = std::move(table);
        haveGroups_ = true;
    }
}

void T16BitReader::ReadNames(std::vector<QString>& names)
{
    names.clear();
    stream_->SetPosition(namesPos_);
    // Only the module name in front is left out: a first group may be called "ICL" as well.
    for (bool first = true;; first = false) {
        const uint8_t length = stream_->ReadByte();
        if (length == 0)
            break;
        QByteArray bytes(length, '\0');
        stream_->ReadBuffer(bytes.data(), length);
        if (first && bytes == "ICL")
            continue;
        names.push_back(DecodeLibraryName(bytes));
    }
}

void T16BitReader::ReadResource(int index, const std::vector<TNEResource>& table, QString& name, TStream* stream)
{
    name = QStringLiteral("%1 %2").arg(libraryName_).arg(index + 1, 3, 10, QLatin1Char('0'));
    if (index < 0 || size_t(index) >= table.size())
        Fail(ICLText::TableError);
    const TNEResource& r = table[size_t(index)];
    const int64_t position = int64_t(r.Position) << shift_;
    const int64_t length = int64_t(r.Length) << shift_;
    if (position > fileSize_ || length > fileSize_ - position)
        Fail(ICLText::TableError);
    budget_.Take(length);
    stream_->SetPosition(position);
    if (length > 0)
        stream->CopyFrom(stream_.get(), length);
}

int T16BitReader::FindResource(uint16_t identifier, const std::vector<TNEResource>& table)
{
    const uint16_t wanted = uint16_t(identifier + 0x8000);
    if (&table == &iconTable_) {
        const auto it = iconIndex_.find(wanted);
        if (it != iconIndex_.end())
            return it->second;
    } else {
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i].Id == wanted)
                return int(i);
    }
    Fail(ICLText::IconNotFound);
}
