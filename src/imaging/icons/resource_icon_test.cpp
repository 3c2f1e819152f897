#include "imaging/icons/resource_icon.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

// The module fixtures of the platform layer: group 1 holds a 16x16 32-bit red image and a 32x32
// 4-bit green one; the named groups APPICON (in the DLL) and HAPPY (in the library) one image each.

namespace {

struct Module {
    explicit Module(const QString& path) : handle(LoadLibraryEx(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Module() { FreeLibrary(handle); }
    HMODULE handle;
};

} // namespace

TEST(ResourceIcon, ReadsGroupsAndWritesThemAsIconFiles)
{
    const std::pair<const char*, const char*> modules[] = {{"platform/exe/icons32.dll", "APPICON"},
                                                           {"platform/exe/icons16.icl", "HAPPY"}};
    for (auto [file, groupName] : modules) {
        SCOPED_TRACE(file);
        Module module(TestDataPath(file));
        ASSERT_NE(module.handle, nullptr);
        TResourceIcon icon(module.handle, 1);
        EXPECT_TRUE(icon.Valid());
        ASSERT_EQ(icon.Count(), 2);
        int w = 0, h = 0;
        ASSERT_TRUE(GetIconSize(icon.GetIconHandle(1), &w, &h));
        EXPECT_EQ(w, 32);

        TMemoryStream file;
        icon.SaveToStream(&file);
        file.SetPosition(0);
        TIconXP picture;
        picture.LoadFromStream(&file);
        ASSERT_EQ(picture.Formats()->Count(), 2);
        EXPECT_EQ(picture.Formats()->GetItem(0)->Pixels()[0], 0xFFFF0000u);
        EXPECT_EQ(picture.Formats()->GetItem(1)->PixelFormat(), 2);
        EXPECT_EQ(picture.Formats()->GetItem(1)->Pixels()[0], 0xFF00FF00u);

        TMemoryStream one;
        TResourceIcon named(module.handle, QString::fromLatin1(groupName));
        named.SaveImageToStream(&one, 0);
        EXPECT_EQ(icontest::ReadLE32(one.Bytes(), 6 + 12), 22u);
        EXPECT_EQ(one.Size(), 22 + icontest::ReadLE32(one.Bytes(), 6 + 8));

        EXPECT_THROW(TResourceIcon(module.handle, 99), EResNotFound);
    }
}

// Old group resources misreport heights: a 32-wide entry that says 16 high is read as 32 by 32.
TEST(ResourceIcon, GroupEntriesAreSquare)
{
    const QString source = TestDataPath("platform/exe/icons16.icl");
    QByteArray bytes;
    uint64_t groupOffset = 0;
    {
        Module module(source);
        ASSERT_NE(module.handle, nullptr);
        for (const TResourceEntry& e : ModuleResources(module.handle)->Entries())
            if (e.Type == TResourceId(RT_GROUP_ICON) && e.Name == TResourceId(1))
                groupOffset = e.Offset;
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        bytes = f.readAll();
    }
    ASSERT_NE(groupOffset, 0u);
    const int heightByte = int(groupOffset) + 6 + 14 + 1;
    ASSERT_EQ(uint8_t(bytes[heightByte]), 32);
    bytes[heightByte] = 16;
    QTemporaryDir dir;
    const QString patched = dir.filePath("patched.icl");
    QFile out(patched);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    Module module(patched);
    TResourceIcon icon(module.handle, 1);
    int w = 0, h = 0;
    icon.GetImageSize(1, w, h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
}
