#include "platform/module.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

// Fixtures: testdata/platform/exe/ and the damaged copies among the fuzz seeds, both made by
// tools/make_exe_fixtures.py (which lists what each holds).

namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(BRELNOVA_TESTDATA "/platform/exe/") + QLatin1String(name);
}

QString Damaged(const char* name)
{
    return QStringLiteral(BRELNOVA_TESTDATA "/fuzz/pe_resources_fuzz/") + QLatin1String(name);
}

HMODULE Load(const QString& path)
{
    return LoadLibraryEx(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::vector<QString> GroupNames(HMODULE module)
{
    std::vector<QString> names;
    EnumResourceNames(module, RT_GROUP_ICON, [&](HMODULE, const TResourceId&, const TResourceId& name) {
        names.push_back(name.ToString());
        return true;
    });
    return names;
}

QByteArray Resource(HMODULE module, const TResourceId& name, const TResourceId& type, int language = -1)
{
    HRSRC found = language < 0 ? FindResource(module, name, type) : FindResourceEx(module, type, name, uint16_t(language));
    if (!found)
        return {};
    const void* data = LockResource(LoadResource(module, found));
    if (!data)
        return {};
    return QByteArray(static_cast<const char*>(data), qsizetype(SizeofResource(module, found)));
}

// The colour of the centre pixel and the size of an icon handle, which it destroys.
struct TSeen {
    QRgb Centre = 0;
    int Width = 0;
    friend bool operator==(const TSeen&, const TSeen&) = default;
};
TSeen Look(HICON icon)
{
    const QImage image = IconToImage(icon);
    DestroyIcon(icon);
    if (image.isNull())
        return {};
    return {image.pixel(image.width() * 3 / 4, image.height() / 2), image.width()};
}

// Each image of a group resource, made into an icon from its RT_ICON resource.
std::vector<TSeen> GroupImages(HMODULE module, const TResourceId& group, int language = -1)
{
    const QByteArray dir = Resource(module, group, RT_GROUP_ICON, language);
    std::vector<TSeen> out;
    const auto* p = reinterpret_cast<const uint8_t*>(dir.constData());
    for (int i = 0; dir.size() >= 6 && i < (p[4] | (p[5] << 8)) && 6 + 14 * (i + 1) <= dir.size(); ++i) {
        const uint8_t* e = p + 6 + 14 * i;
        const QByteArray image = Resource(module, int(e[12] | (e[13] << 8)), RT_ICON);
        out.push_back(Look(CreateIconFromResourceEx(reinterpret_cast<const uint8_t*>(image.constData()),
                                                    uint32_t(image.size()), true, kIconResourceVersion, 0, 0, 0)));
    }
    return out;
}

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF;
constexpr QRgb kWhite = 0xFFFFFFFF;

TEST(Module, PortableExecutablesOfBothWidths)
{
    for (const char* name : {"icons32.dll", "icons64.dll"}) {
        SCOPED_TRACE(name);
        HMODULE m = Load(Fixture(name));
        ASSERT_NE(m, nullptr) << LastModuleError().toStdString();
        EXPECT_EQ(ModuleResources(m)->Kind(), QByteArray(name) == "icons32.dll" ? TExeKind::PE32 : TExeKind::PE32Plus);
        // Directory order: named entries first, then identifiers; a group in two languages once.
        EXPECT_EQ(GroupNames(m), (std::vector<QString>{"APPICON", "1", "5", "7"}));
        EXPECT_EQ(GroupImages(m, 1), (std::vector<TSeen>{{kRed, 16}, {kGreen, 32}}));
        EXPECT_EQ(GroupImages(m, "appicon"), (std::vector<TSeen>{{kYellow, 16}}));
        EXPECT_EQ(GroupImages(m, "#5"), (std::vector<TSeen>{{kBlue, 32}})); // US English first
        EXPECT_EQ(GroupImages(m, 5, 0x0407), (std::vector<TSeen>{{kCyan, 32}}));
        EXPECT_EQ(GroupImages(m, 7), (std::vector<TSeen>{{kWhite, 32}}));
        EXPECT_EQ(Resource(m, "HELLO", "mytype"), QByteArray("hello from a named type"));
        EXPECT_EQ(Resource(m, "CONFIG", RT_RCDATA), QByteArray("configuration bytes"));
        EXPECT_EQ(FindResource(m, 2, RT_GROUP_ICON), nullptr);
        EXPECT_EQ(FindResourceEx(m, RT_GROUP_ICON, 1, 0x0407), nullptr);

        std::vector<QString> types;
        EnumResourceTypes(m, [&](HMODULE, const TResourceId& type) {
            types.push_back(type.ToString());
            return true;
        });
        EXPECT_EQ(types, (std::vector<QString>{"MYTYPE", "3", "10", "14"}));
        EXPECT_TRUE(FreeLibrary(m));
    }
}

TEST(Module, SixteenBitIconLibrary)
{
    HMODULE m = Load(Fixture("icons16.icl"));
    ASSERT_NE(m, nullptr) << LastModuleError().toStdString();
    EXPECT_EQ(ModuleResources(m)->Kind(), TExeKind::NE);
    EXPECT_EQ(GroupNames(m), (std::vector<QString>{"1", "HAPPY", "2"}));
    EXPECT_EQ(GroupImages(m, 1), (std::vector<TSeen>{{kRed, 16}, {kGreen, 32}}));
    EXPECT_EQ(GroupImages(m, "happy"), (std::vector<TSeen>{{kBlue, 32}}));
    EXPECT_EQ(GroupImages(m, 2), (std::vector<TSeen>{{kWhite, 32}}));
    // Sizes count whole alignment units (shift 4).
    EXPECT_EQ(SizeofResource(m, FindResource(m, 1, RT_GROUP_ICON)), 48u);
    EXPECT_TRUE(Resource(m, 1, "MYTYPE").startsWith("hello from a 16-bit library"));
    EXPECT_TRUE(FreeLibrary(m));
}

TEST(Module, ExtractIconCountsAndPicks)
{
    struct Case {
        QString file;
        unsigned count;
        std::vector<TSeen> icons; // ExtractIcon at index 0, 1, ...
    };
    const std::vector<Case> cases = {
        {Fixture("icons32.dll"), 4, {{kYellow, 32}, {kGreen, 32}, {kBlue, 32}, {kWhite, 32}}},
        {Fixture("icons64.dll"), 4, {{kYellow, 32}, {kGreen, 32}, {kBlue, 32}, {kWhite, 32}}},
        {Fixture("icons16.icl"), 3, {{kGreen, 32}, {kBlue, 32}, {kWhite, 32}}},
        {QStringLiteral(BRELNOVA_TESTDATA "/platform/python.ico"), 1, {{0, 32}}},
        {QStringLiteral(BRELNOVA_TESTDATA "/platform/README.txt"), 0, {}},
        {QStringLiteral(BRELNOVA_TESTDATA "/platform/no such file.dll"), 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        EXPECT_EQ(ExtractIconCount(c.file), c.count);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(ExtractIcon(nullptr, c.file, -1)), c.count);
        for (size_t i = 0; i < c.icons.size(); ++i) {
            const TSeen seen = Look(ExtractIcon(nullptr, c.file, int(i)));
            EXPECT_EQ(seen.Width, c.icons[i].Width) << i;
            if (c.icons[i].Centre) {
                EXPECT_EQ(seen.Centre, c.icons[i].Centre) << i;
            }
        }
        EXPECT_EQ(ExtractIcon(nullptr, c.file, int(c.icons.size())), nullptr);
    }
    // A negative index names a group by its identifier.
    EXPECT_EQ(Look(ExtractIcon(nullptr, Fixture("icons32.dll"), -7)).Centre, kWhite);
    EXPECT_EQ(ExtractIcon(nullptr, Fixture("icons32.dll"), -2), nullptr);
}

TEST(Module, DamagedFilesLoseOnlyWhatIsDamaged)
{
    struct Case {
        const char* file;
        bool refused;
        std::vector<QString> groups;
    };
    const std::vector<Case> cases = {
        {"bad_loop.dll", false, {"APPICON", "1", "5", "7"}}, // the looping type (MYTYPE) is left out
        {"bad_deep_loop.dll", false, {"1", "5", "7"}},
        {"bad_name.dll", false, {"1", "5", "7"}},
        {"bad_data.dll", false, {"APPICON", "1", "5", "7"}},
        {"bad_count.dll", true, {}},
        {"bad_truncated.dll", true, {}},
        {"bad_shift.icl", true, {}},
        {"bad_name.icl", false, {"1", "2"}},
        {"bad_data.icl", false, {"1", "HAPPY", "2"}},
        {"bad_truncated.icl", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        HMODULE m = Load(Damaged(c.file));
        EXPECT_EQ(m == nullptr, c.refused);
        if (!m) {
            EXPECT_FALSE(LastModuleError().isEmpty());
            EXPECT_EQ(ExtractIconCount(Damaged(c.file)), 0u);
            continue;
        }
        EXPECT_EQ(GroupNames(m), c.groups);
        FreeLibrary(m);
        // The count is that of the icons that can be extracted.
        const unsigned count = ExtractIconCount(Damaged(c.file));
        for (unsigned i = 0; i <= count; ++i) {
            HICON icon = ExtractIcon(nullptr, Damaged(c.file), int(i));
            EXPECT_EQ(icon != nullptr, i < count) << i;
            if (icon)
                DestroyIcon(icon);
        }
    }
    EXPECT_EQ(ExtractIconCount(Damaged("bad_data.dll")), 0u);

    // Images whose data lies outside the file are listed but cannot be loaded.
    HMODULE m = Load(Damaged("bad_data.dll"));
    HRSRC image = FindResource(m, 1, RT_ICON);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(LoadResource(m, image), nullptr);
    EXPECT_EQ(ExtractIcon(nullptr, Damaged("bad_data.dll"), 0), nullptr);
    FreeLibrary(m);
    m = Load(Damaged("bad_data.icl"));
    EXPECT_EQ(LoadResource(m, FindResource(m, 1, RT_ICON)), nullptr);
    EXPECT_NE(LoadResource(m, FindResource(m, 2, RT_ICON)), nullptr);
    FreeLibrary(m);
}

TEST(Module, OtherFilesAndStaleHandles)
{
    const QString ico = QStringLiteral(BRELNOVA_TESTDATA "/platform/python.ico");
    EXPECT_EQ(Load(ico), nullptr);
    EXPECT_EQ(LastModuleError(), QStringLiteral("The file is not a Windows executable"));
    EXPECT_EQ(Load(Fixture("missing.dll")), nullptr);
    EXPECT_EQ(LoadLibraryEx(Fixture("icons32.dll"), nullptr, 0), nullptr); // would have to run code

    HMODULE m = Load(Fixture("icons32.dll"));
    HMODULE other = Load(Fixture("icons16.icl"));
    HRSRC last = FindResource(m, 7, RT_GROUP_ICON);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(LoadResource(other, last), nullptr); // not a resource of the other module
    EXPECT_EQ(SizeofResource(other, last), 0u);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_FALSE(FreeLibrary(m));
    EXPECT_EQ(FindResource(m, 1, RT_GROUP_ICON), nullptr);
    EXPECT_FALSE(EnumResourceNames(m, RT_GROUP_ICON, [](HMODULE, const TResourceId&, const TResourceId&) { return true; }));
    EXPECT_EQ(ModuleResources(m), nullptr);
    FreeLibrary(other);
}

} // namespace
