#include "platform/module.h"

#include "platform/system_metrics.h"

#include <QFile>

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct TModule {
    std::unique_ptr<TExeResources> Resources;
    std::mutex DataMutex;
    std::map<size_t, QByteArray> Data; // loaded resources by entry index
};

using TModulePtr = std::shared_ptr<TModule>;

class TModuleTable {
public:
    HMODULE Add(TModulePtr module)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        const uintptr_t value = FNext;
        FNext += 16;
        FModules.emplace(value, std::move(module));
        return reinterpret_cast<HMODULE>(value);
    }
    TModulePtr Get(HMODULE handle)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        const auto it = FModules.find(reinterpret_cast<uintptr_t>(handle));
        return it == FModules.end() ? nullptr : it->second;
    }
    bool Remove(HMODULE handle)
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FModules.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
    }

private:
    std::mutex FMutex;
    uintptr_t FNext = uintptr_t(3) << 40;
    std::unordered_map<uintptr_t, TModulePtr> FModules;
};

TModuleTable& Modules()
{
    static TModuleTable* table = new TModuleTable;
    return *table;
}

thread_local QString LastError;

// Resource handles are entry indices plus one, checked against the module on every use.
HRSRC ToHandle(const TExeResources& res, const TResourceEntry* entry)
{
    if (!entry)
        return nullptr;
    return reinterpret_cast<HRSRC>(uintptr_t(entry - res.Entries().data()) + 1);
}

const TResourceEntry* FromHandle(const TModule& module, HRSRC handle, size_t* index = nullptr)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value > module.Resources->Entries().size())
        return nullptr;
    if (index)
        *index = value - 1;
    return &module.Resources->Entries()[value - 1];
}

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

HICON IconFromImage(const QByteArray& image)
{
    const int side = GetSystemMetrics(SM_CXICON);
    return CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(image.constData()), uint32_t(image.size()), true,
                                    kIconResourceVersion, side, GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
}

// The group's image that ExtractIcon shows: the best one for the system icon size; null when
// the group's directory or that image cannot be read.
const TResourceEntry* BestGroupImage(const TExeResources& res, const TResourceEntry* group)
{
    QByteArray directory;
    if (!group || !res.ReadData(*group, directory))
        return nullptr;
    const auto* dir = reinterpret_cast<const uint8_t*>(directory.constData());
    const int id = LookupIconIdFromDirectoryEx(dir, size_t(directory.size()), true, 0, 0, LR_DEFAULTSIZE);
    const TResourceEntry* icon = id ? res.Find(RT_ICON, TResourceId(id)) : nullptr;
    return icon && icon->Readable ? icon : nullptr;
}

// The groups that give an icon, in directory order: those whose bytes lie outside the file are
// not counted, so that every index below the count extracts one.
std::vector<TResourceId> ExtractableGroups(const TExeResources& res)
{
    std::vector<TResourceId> groups;
    for (const TResourceId& name : res.Names(RT_GROUP_ICON))
        if (BestGroupImage(res, res.Find(RT_GROUP_ICON, name)))
            groups.push_back(name);
    return groups;
}

// An icon of an executable's group: the group's best image for the system icon size.
HICON ExtractFromModule(const TExeResources& res, int index)
{
    const std::vector<TResourceId> groups = ExtractableGroups(res);
    const TResourceEntry* group = nullptr;
    if (index >= 0) {
        if (size_t(index) >= groups.size())
            return nullptr;
        group = res.Find(RT_GROUP_ICON, groups[size_t(index)]);
    } else if (index < -1 && -index <= 0xFFFF) {
        group = res.Find(RT_GROUP_ICON, TResourceId(-index));
    }
    const TResourceEntry* icon = BestGroupImage(res, group);
    QByteArray image;
    if (!icon || !res.ReadData(*icon, image))
        return nullptr;
    return IconFromImage(image);
}

// An .ico or .cur file: its best image for the system icon size. Only the directory and that
// image are read.
HICON ExtractFromIconFile(QFile& file)
{
    const QByteArray head = file.read(6);
    if (head.size() != 6)
        return nullptr;
    const auto* h = reinterpret_cast<const uint8_t*>(head.constData());
    const qint64 count = Get16(h + 4);
    const QByteArray directory = head + file.read(count * 16);
    const auto* p = reinterpret_cast<const uint8_t*>(directory.constData());
    const int index = BestIconDirectoryEntry(p, size_t(directory.size()), Get16(h + 2) == 1, 0, 0, true);
    if (index < 0)
        return nullptr;
    const uint8_t* e = p + 6 + 16 * size_t(index);
    const qint64 length = Get32(e + 8);
    const qint64 offset = Get32(e + 12);
    if (offset > file.size() || length > file.size() - offset || !file.seek(offset))
        return nullptr;
    const QByteArray image = file.read(length);
    return image.size() == length ? IconFromImage(image) : nullptr;
}

bool IsIconFileHeader(const QByteArray& head)
{
    const auto* p = reinterpret_cast<const uint8_t*>(head.constData());
    return head.size() >= 6 && Get16(p) == 0 && (Get16(p + 2) == 1 || Get16(p + 2) == 2) && Get16(p + 4) > 0;
}

} // namespace

HMODULE LoadLibraryEx(const QString& lpLibFileName, void*, uint32_t dwFlags)
{
    if (!(dwFlags & (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))) {
        LastError = QStringLiteral("Only modules loaded as data files are supported");
        return nullptr;
    }
    QString error;
    auto resources = TExeResources::FromFile(lpLibFileName, &error);
    if (!resources) {
        LastError = error;
        return nullptr;
    }
    auto module = std::make_shared<TModule>();
    module->Resources = std::move(resources);
    LastError.clear();
    return Modules().Add(std::move(module));
}

bool FreeLibrary(HMODULE hLibModule)
{
    return hLibModule && Modules().Remove(hLibModule);
}

QString LastModuleError()
{
    return LastError;
}

const TExeResources* ModuleResources(HMODULE hModule)
{
    const TModulePtr module = Modules().Get(hModule);
    return module ? module->Resources.get() : nullptr;
}

bool EnumResourceTypes(HMODULE hModule, const ENUMRESTYPEPROC& lpEnumFunc)
{
    const TModulePtr module = Modules().Get(hModule);
    if (!module || !lpEnumFunc)
        return false;
    const std::vector<TResourceId> types = module->Resources->Types();
    for (const TResourceId& type : types)
        if (!lpEnumFunc(hModule, type))
            break;
    return !types.empty();
}

bool EnumResourceNames(HMODULE hModule, const TResourceId& lpType, const ENUMRESNAMEPROC& lpEnumFunc)
{
    const TModulePtr module = Modules().Get(hModule);
    if (!module || !lpEnumFunc)
        return false;
    const std::vector<TResourceId> names = module->Resources->Names(lpType);
    for (const TResourceId& name : names)
        if (!lpEnumFunc(hModule, lpType, name))
            break;
    return !names.empty();
}

HRSRC FindResource(HMODULE hModule, const TResourceId& lpName, const TResourceId& lpType)
{
    const TModulePtr module = Modules().Get(hModule);
    if (!module)
        return nullptr;
    return ToHandle(*module->Resources, module->Resources->Find(lpType, lpName));
}

HRSRC FindResourceEx(HMODULE hModule, const TResourceId& lpType, const TResourceId& lpName, uint16_t wLanguage)
{
    const TModulePtr module = Modules().Get(hModule);
    if (!module)
        return nullptr;
    return ToHandle(*module->Resources, module->Resources->Find(lpType, lpName, wLanguage));
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    const TModulePtr module = Modules().Get(hModule);
    size_t index = 0;
    const TResourceEntry* entry = module ? FromHandle(*module, hResInfo, &index) : nullptr;
    if (!entry)
        return nullptr;
    std::lock_guard<std::mutex> lock(module->DataMutex);
    auto it = module->Data.find(index);
    if (it == module->Data.end()) {
        QByteArray bytes;
        if (!module->Resources->ReadData(*entry, bytes))
            return nullptr;
        it = module->Data.emplace(index, std::move(bytes)).first;
    }
    // constData() of an empty array still points at a valid (empty) buffer.
    return it->second.constData();
}

uint32_t SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    const TModulePtr module = Modules().Get(hModule);
    const TResourceEntry* entry = module ? FromHandle(*module, hResInfo) : nullptr;
    return entry ? entry->Size : 0;
}

HICON ExtractIcon(HINSTANCE, const QString& lpszExeFileName, int nIconIndex)
{
    if (nIconIndex == -1)
        return reinterpret_cast<HICON>(uintptr_t(ExtractIconCount(lpszExeFileName)));
    QFile file(lpszExeFileName);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray head = file.peek(6);
    if (IsIconFileHeader(head)) {
        // An icon file holds one icon.
        return nIconIndex == 0 ? ExtractFromIconFile(file) : nullptr;
    }
    file.close();
    const auto res = TExeResources::FromFile(lpszExeFileName);
    return res ? ExtractFromModule(*res, nIconIndex) : nullptr;
}

unsigned ExtractIconCount(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    if (IsIconFileHeader(file.peek(6)))
        return 1;
    file.close();
    const auto res = TExeResources::FromFile(fileName);
    return res ? unsigned(ExtractableGroups(*res).size()) : 0;
}
