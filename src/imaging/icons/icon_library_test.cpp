#include "imaging/icons/icon_library.h"

#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/icons/icl_icon.h"
#include "imaging/icons/icl_reader.h"
#include "imaging/icons/icl_writer.h"
#include "imaging/icons/icon_image.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library1.h"
#include "imaging/icons/icon_test_files.h"
#include "imaging/icons/library_name_text.h"
#include "platform/module.h"
#include "testsupport/testdata.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace icontest;

namespace {

QString WriteTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Image Solid(int side, int bits)
{
    Dib d;
    d.Width = d.Height = side;
    d.Bits = bits;
    if (bits <= 8)
        d.Palette.assign(size_t(1) << bits, 0x00336699);
    d.Pixel = [=](int x, int y) { return bits == 32 ? 0xFF000000u | uint32_t(x * 256 + y) : 1u; };
    return MakeImage(d);
}

std::unique_ptr<TAdvancedIcon> LoadIcon(const QTemporaryDir& dir, const std::vector<Image>& images)
{
    static int serial = 0;
    auto icon = std::make_unique<TAdvancedIcon>();
    EXPECT_TRUE(icon->LoadFromFile(WriteTemp(dir, QStringLiteral("src%1.ico").arg(++serial), MakeIco(images))));
    return icon;
}

QByteArray ImageBytes(TMultiIcon* icon, uint16_t index)
{
    TMemoryStream s;
    icon->CopyImageData(&s, index);
    return s.Bytes();
}

TMultiIcon* GroupAt(const TIconLibrary& library, int index)
{
    return dynamic_cast<TMultiIcon*>(library.Icons()->Objects(index));
}

uint16_t Word(const QByteArray& b, int at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

void PutWord(QByteArray& b, int at, uint16_t v)
{
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

// Resource table positions of a library written here: G group entries, then N icon entries.
constexpr int kTable = 192;
int GroupEntryAt(int g) { return kTable + 2 + 8 + 12 * g; }
int IconEntryAt(int groups, int i) { return kTable + 2 + 8 + 12 * groups + 8 + 12 * i; }

} // namespace

TEST(IconLibrary, WritesNamedIconsAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString tooLong(300, QLatin1Char('n'));
    const QString wide = QString(254, QLatin1Char('w')) + QString::fromUtf8("图");
    const QString chinese = QString::fromUtf8("图标");
    const std::vector<std::vector<Image>> groups = {
        {Solid(16, 32), Solid(32, 4)}, {Solid(48, 8)}, {Solid(16, 1)}, {Solid(24, 24), Solid(32, 32)}, {Solid(16, 4)}};
    const QString names[] = {QStringLiteral("a"), QString(), tooLong, wide, chinese};

    TIconLibrary1 source;
    for (size_t i = 0; i < groups.size(); ++i)
        source.Icons()->AddIcon(names[i], LoadIcon(dir, groups[i]));
    source.Icons()->AddIcon(QStringLiteral("ignored"), nullptr);
    ASSERT_EQ(source.Icons()->Count(), 5);
    const QString path = dir.filePath(QStringLiteral("lib.icl"));
    source.SaveToFile(path);

    TIconLibrary library;
    library.LoadFromFile(path);
    EXPECT_EQ(library.FileName(), path);
    const QStringList expected = {QStringLiteral("a"), QStringLiteral("Icon 2"), QString(255, QLatin1Char('n')),
                                  QString(254, QLatin1Char('w')), chinese};
    ASSERT_EQ(library.Icons()->ToStringList(), expected);
    for (int g = 0; g < 5; ++g) {
        SCOPED_TRACE(g);
        TMultiIcon* icon = GroupAt(library, g);
        auto* original = dynamic_cast<TAdvancedIcon*>(source.Icons()->Objects(g))->Images();
        ASSERT_TRUE(icon->Valid());
        ASSERT_EQ(icon->Count(), original->Count());
        for (uint16_t k = 0; k < icon->Count(); ++k) {
            uint8_t entry[IconEntryCommonSize], want[IconEntryCommonSize];
            ASSERT_TRUE(icon->GetEntry(k, entry));
            EntryToBytes(original->GetItem(k)->Entry(), want);
            EXPECT_EQ(QByteArray(reinterpret_cast<char*>(entry), 12), QByteArray(reinterpret_cast<char*>(want), 12));
            EXPECT_EQ(ImageBytes(icon, k), original->GetItem(k)->Data());
            EXPECT_NE(icon->GetIconHandle(k), nullptr);
        }
    }

    // Writing what was read gives the same file again.
    const QString again = dir.filePath(QStringLiteral("again.icl"));
    library.SaveToFile(again);
    EXPECT_EQ(ReadFile(again), ReadFile(path));
}

TEST(IconLibrary, SmallLibraryIsPackedWithoutPadding)
{
    QTemporaryDir dir;
    const Image big = Solid(32, 4), small = Solid(16, 4);
    ASSERT_EQ(big.Data.size(), 744);
    ASSERT_EQ(small.Data.size(), 296);
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("one"), LoadIcon(dir, {big, small}));
    TMemoryStream stream;
    T16BitWriter writer(&source);
    writer.WriteStream(&stream);
    const QByteArray f = stream.Bytes();

    EXPECT_EQ(writer.Shift(), 0);
    EXPECT_EQ(f.left(2), "MZ");
    EXPECT_EQ(ReadLE32(f, 60), 128u);
    EXPECT_EQ(f.mid(126, 4), QByteArray("\x49\x4DNE", 4));
    EXPECT_EQ(Word(f, 162), 64);
    EXPECT_EQ(Word(f, 164), 64);
    EXPECT_EQ(Word(f, 182), 2);
    EXPECT_EQ(f[191], 3);
    const int names = IconEntryAt(1, 2) + 2;
    EXPECT_EQ(Word(f, 166), names - 128);
    EXPECT_EQ(f.mid(names, 9), QByteArray("\x03ICL\x03one\0", 9));
    EXPECT_EQ(Word(f, kTable), 0); // shift
    EXPECT_EQ(Word(f, kTable + 2), 0x800E);
    EXPECT_EQ(Word(f, IconEntryAt(1, 0) - 8), 0x8003);
    EXPECT_EQ(Word(f, IconEntryAt(1, 0) - 6), 2);

    const int directory = names + 9;
    const int firstImage = directory + 6 + 2 * 14;
    const int expectedEntries[3][4] = {
        {GroupEntryAt(0), directory, 6 + 2 * 14, 0x8001},
        {IconEntryAt(1, 0), firstImage, 744, 0x8001},
        {IconEntryAt(1, 1), firstImage + 744, 296, 0x8002},
    };
    for (const auto& e : expectedEntries) {
        EXPECT_EQ(Word(f, e[0]), e[1]);
        EXPECT_EQ(Word(f, e[0] + 2), e[2]);
        EXPECT_EQ(Word(f, e[0] + 4), 0x1C30);
        EXPECT_EQ(Word(f, e[0] + 6), e[3]);
    }
    // The directory names the images by their running numbers.
    EXPECT_EQ(Word(f, directory + 4), 2);
    EXPECT_EQ(Word(f, directory + 6 + 12), 1);
    EXPECT_EQ(Word(f, directory + 6 + 14 + 12), 2);
    EXPECT_EQ(f.mid(firstImage, 744), big.Data);
    EXPECT_EQ(f.size(), firstImage + 744 + 296 + 2);
}

TEST(IconLibrary, LargeLibraryGetsAShiftAndPaddedBlocks)
{
    QTemporaryDir dir;
    const Image big = Solid(128, 32); // 67624 bytes: more than 16-bit positions reach
    Image odd;
    odd.Data = QByteArray(33, '\x07'); // no bitmap, kept as it is
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("big"), LoadIcon(dir, {big, odd}));
    source.Icons()->AddIcon(QStringLiteral("small"), LoadIcon(dir, {Solid(16, 4)}));
    const QString path = dir.filePath(QStringLiteral("big.icl"));
    source.SaveToFile(path);
    const QByteArray f = ReadFile(path);

    EXPECT_EQ(Word(f, kTable), 1);
    for (int i = 0; i < 3; ++i) {
        const int entry = IconEntryAt(2, i);
        const int position = Word(f, entry) << 1, length = Word(f, entry + 2) << 1;
        EXPECT_LE(position + length, f.size() - 2);
    }
    EXPECT_EQ(Word(f, IconEntryAt(2, 1) + 2), 17); // 33 bytes padded to 34
    EXPECT_EQ(f.mid(Word(f, IconEntryAt(2, 1)) << 1, 34), QByteArray(33, '\x07') + QByteArray(1, '\0'));

    TIconLibrary library;
    library.LoadFromFile(path);
    ASSERT_EQ(library.Icons()->Count(), 2);
    EXPECT_EQ(ImageBytes(GroupAt(library, 0), 0), big.Data);
    EXPECT_EQ(ImageBytes(GroupAt(library, 0), 1), odd.Data);
    EXPECT_EQ(library.Icons()->Strings(1), QStringLiteral("small"));
}

TEST(IconLibrary, Reads16BitLibraryOfAnotherWriter)
{
    // Shift 4, three groups (the second named HAPPY in its resource names), and a resource of a
    // named type. The names after the table are not one per group, so the groups get generated
    // names.
    TIconLibrary library;
    library.LoadFromFile(TestDataPath("platform/exe/icons16.icl"));
    ASSERT_EQ(library.Icons()->ToStringList(),
              QStringList({QStringLiteral("icons16 001"), QStringLiteral("icons16 002"), QStringLiteral("icons16 003")}));
    const int counts[] = {2, 1, 1};
    for (int g = 0; g < 3; ++g)
        EXPECT_EQ(GroupAt(library, g)->Count(), counts[g]);
    auto* first = dynamic_cast<TICL16Icon*>(GroupAt(library, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Name(), QStringLiteral("icons16 001"));
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(ImageBytes(first, 0).constData()) + 40), 0xFFFF0000u);
    int w = 0, h = 0;
    first->GetImageSize(1, w, h);
    EXPECT_EQ(w, 32);
    EXPECT_TRUE(GetIconSize(first->GetIconHandle(1), &w, &h));
    EXPECT_EQ(w, 32);
}

TEST(IconLibrary, LibraryWithoutNamesUsesGeneratedNames)
{
    QTemporaryDir dir;
    TIconLibrary1 source;
    for (int i = 0; i < 7; ++i)
        source.Icons()->AddIcon(QStringLiteral("g%1").arg(i), LoadIcon(dir, {Solid(16, 4)}));
    TMemoryStream stream;
    T16BitWriter(&source).WriteStream(&stream);
    QByteArray f = stream.Bytes();
    f[IconEntryAt(7, 7) + 2] = 0; // the names end before they start
    TIconLibrary library;
    library.LoadFromFile(WriteTemp(dir, QStringLiteral("sample.icl"), f));
    ASSERT_EQ(library.Icons()->Count(), 7);
    EXPECT_EQ(library.Icons()->Strings(0), QStringLiteral("sample 001"));
    EXPECT_EQ(library.Icons()->Strings(6), QStringLiteral("sample 007"));
}

// A group named like the library's module name is a group name like any other.
TEST(IconLibrary, FirstGroupNamedIclKeepsTheNames)
{
    QTemporaryDir dir;
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("ICL"), LoadIcon(dir, {Solid(16, 4)}));
    source.Icons()->AddIcon(QStringLiteral("other"), LoadIcon(dir, {Solid(16, 4)}));
    const QString path = dir.filePath(QStringLiteral("icl.icl"));
    source.SaveToFile(path);
    TIconLibrary library;
    library.LoadFromFile(path);
    EXPECT_EQ(library.Icons()->ToStringList(), QStringList({QStringLiteral("ICL"), QStringLiteral("other")}));
}

TEST(IconLibrary, Reads32BitGroupsInDirectoryOrder)
{
    for (const char* file : {"platform/exe/icons32.dll", "platform/exe/icons64.dll"}) {
        SCOPED_TRACE(file);
        TIconLibrary library;
        library.LoadFromFile(TestDataPath(file));
        ASSERT_EQ(library.Icons()->ToStringList(),
                  QStringList({QStringLiteral("APPICON"), QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("7")}));
        const int counts[] = {1, 2, 1, 1};
        for (int g = 0; g < 4; ++g) {
            TMultiIcon* icon = GroupAt(library, g);
            ASSERT_NE(dynamic_cast<TICL32Icon*>(icon), nullptr);
            ASSERT_EQ(icon->Count(), counts[g]);
            for (uint16_t k = 0; k < icon->Count(); ++k) {
                int w = 0, h = 0;
                icon->GetImageSize(k, w, h);
                EXPECT_EQ(w, h);
                uint8_t entry[IconEntryCommonSize];
                icon->GetEntry(k, entry);
                EXPECT_EQ(GetLE32(entry + 8), uint32_t(ImageBytes(icon, k).size()));
            }
        }
        // Group 5 in the neutral language is blue; the module is gone, the images stay.
        const QByteArray blue = ImageBytes(GroupAt(library, 2), 0);
        EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(blue.constData()) + 40), 0xFF0000FFu);
        int w = 0, h = 0;
        EXPECT_TRUE(GetIconSize(GroupAt(library, 1)->GetIconHandle(1), &w, &h));
        EXPECT_EQ(w, 32);

        // A 32-bit library written out as a 16-bit one keeps its groups and images.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.icl"));
        library.SaveToFile(path);
        TIconLibrary again;
        again.LoadFromFile(path);
        ASSERT_EQ(again.Icons()->ToStringList(), library.Icons()->ToStringList());
        EXPECT_EQ(ImageBytes(GroupAt(again, 1), 1), ImageBytes(GroupAt(library, 1), 1));
    }
}

TEST(IconLibrary, ResourcesPastTheEndLeaveOutOnlyTheirIcons)
{
    // A library cut short keeps its resource directory; the groups whose bytes went with the cut
    // (the group directories stand last, 40 bytes apart) are neither read nor counted. Every image
    // lies outside the file in the second one.
    QTemporaryDir dir;
    const QByteArray whole = ReadTestData("iconlib/many_groups.dll");
    const QString cut = WriteTemp(dir, "cut.dll", whole.left(whole.size() - 4000));
    const QString outside = TestDataPath("fuzz/pe_resources_fuzz/bad_data.dll");
    for (const QString& path : {cut, outside}) {
        SCOPED_TRACE(path.toStdString());
        TIconLibrary library;
        EXPECT_NO_THROW(library.LoadFromFile(path));
        EXPECT_EQ(unsigned(library.Icons()->Count()), ExtractIconCount(path));
    }
    EXPECT_EQ(ExtractIconCount(outside), 0u);
    const unsigned kept = ExtractIconCount(cut);
    EXPECT_EQ(kept, 100u);
}

TEST(IconLibrary, OtherFilesLoadNothing)
{
    QTemporaryDir dir;
    const QString files[] = {
        WriteTemp(dir, QStringLiteral("one.ico"), MakeIco({Solid(16, 4)})),
        WriteTemp(dir, QStringLiteral("text.icl"), QByteArray("MZ is not enough for a library")),
        WriteTemp(dir, QStringLiteral("empty.icl"), QByteArray()),
        dir.filePath(QStringLiteral("missing.icl")),
    };
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        TIconLibrary library;
        library.LoadFromFile(file);
        EXPECT_EQ(library.Icons()->Count(), 0);
        EXPECT_TRUE(library.FileName().isEmpty());
        bool is32 = true;
        EXPECT_FALSE(DetectLibraryKind(file, is32));
        EXPECT_FALSE(is32);
    }
    bool is32 = false;
    EXPECT_TRUE(DetectLibraryKind(TestDataPath("platform/exe/icons64.dll"), is32));
    EXPECT_TRUE(is32);
    EXPECT_TRUE(DetectLibraryKind(TestDataPath("platform/exe/icons16.icl"), is32));
    EXPECT_FALSE(is32);
}

// Damaged 16-bit libraries: every error is caught inside the reader, which then lists nothing.
TEST(IconLibrary, Damaged16BitLibrariesAreRefused)
{
    QTemporaryDir dir;
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("a"), LoadIcon(dir, {Solid(16, 4), Solid(32, 4)}));
    source.Icons()->AddIcon(QStringLiteral("b"), LoadIcon(dir, {Solid(16, 32)}));
    TMemoryStream stream;
    T16BitWriter(&source).WriteStream(&stream);
    const QByteArray good = stream.Bytes();
    const int names = 128 + Word(good, 166);

    const struct {
        const char* what;
        std::function<void(QByteArray&)> damage;
        const char* message;
    } cases[] = {
        {"no MZ", [](QByteArray& f) { f[0] = 'X'; }, ICLText::NotValid},
        {"NE offset below 60", [](QByteArray& f) { PutWord(f, 60, 10); }, ICLText::InvalidOffset},
        {"no NE", [](QByteArray& f) { f[129] = 'X'; }, ICLText::InvalidHeader},
        {"no resource table", [](QByteArray& f) { PutWord(f, 164, 0); }, ICLText::NoResources},
        {"no names table", [](QByteArray& f) { PutWord(f, 166, 0); }, ICLText::NoNames},
        {"shift above 24", [](QByteArray& f) { PutWord(f, kTable, 25); }, ICLText::TableError},
        {"shift far above 24", [](QByteArray& f) { PutWord(f, kTable, 0xFFFF); }, ICLText::TableError},
        {"shift 24", [](QByteArray& f) { PutWord(f, kTable, 24); }, ICLText::TableError},
        {"group beyond the file", [](QByteArray& f) { PutWord(f, GroupEntryAt(1), 0xFFFF); }, ICLText::TableError},
        {"group longer than the file", [](QByteArray& f) { PutWord(f, GroupEntryAt(0) + 2, 0xFFFF); }, ICLText::TableError},
        {"image beyond the file", [](QByteArray& f) { PutWord(f, IconEntryAt(2, 2), 0xFFFF); }, ICLText::TableError},
        {"entry count beyond the file", [](QByteArray& f) { PutWord(f, kTable + 4, 0x7FFF); }, ICLText::TableError},
        {"no icon table", [](QByteArray& f) { PutWord(f, IconEntryAt(2, 0) - 8, 0x8002); }, ICLText::TableError},
        {"unknown image", [](QByteArray& f) { PutWord(f, IconEntryAt(2, 1) + 6, 0x9000); }, ICLText::IconNotFound},
        {"cut in the names", [=](QByteArray& f) { f.truncate(names + 5); }, FrameworkText::ReadError},
    };
    {
        T16BitReader reader(WriteTemp(dir, QStringLiteral("good.icl"), good));
        ASSERT_TRUE(reader.ReadIcons());
        ASSERT_EQ(reader.Names()->Count(), 2);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bad = good;
        c.damage(bad);
        const QString path = WriteTemp(dir, QStringLiteral("bad.icl"), bad);
        {
            T16BitReader reader(path);
            EXPECT_FALSE(reader.ReadIcons());
            EXPECT_EQ(reader.Names()->Count(), 0);
        }
        T16BitReader reader(path);
        QString message;
        try {
            reader.ReadHeader();
            reader.ReadResourceTable();
            std::vector<QString> list;
            reader.ReadNames(list);
            for (int g = 0; g < int(reader.GroupTable().size()); ++g)
                TICL16Icon icon(&reader, g);
        } catch (const Exception& e) {
            message = e.Message();
        }
        EXPECT_EQ(message, QString::fromLatin1(c.message));

        TIconLibrary library;
        library.LoadFromFile(path);
        EXPECT_EQ(library.Icons()->Count(), 0);
    }
}

// Groups that share one directory, and entries that share one image, must not let a small file
// fill memory with copies.
TEST(IconLibrary, SharedImagesAreCopiedOnlyWithinBudget)
{
    QTemporaryDir dir;
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("big"), LoadIcon(dir, {Solid(256, 32)}));
    constexpr int kGroups = 120;
    for (int i = 1; i < kGroups; ++i)
        source.Icons()->AddIcon(QString(), LoadIcon(dir, {Solid(16, 1)}));
    TMemoryStream stream;
    T16BitWriter(&source).WriteStream(&stream);
    QByteArray f = stream.Bytes();
    {
        T16BitReader reader(WriteTemp(dir, QStringLiteral("plain.icl"), f));
        EXPECT_TRUE(reader.ReadIcons());
    }
    for (int g = 1; g < kGroups; ++g) {
        PutWord(f, GroupEntryAt(g), Word(f, GroupEntryAt(0)));
        PutWord(f, GroupEntryAt(g) + 2, Word(f, GroupEntryAt(0) + 2));
    }
    T16BitReader reader(WriteTemp(dir, QStringLiteral("shared.icl"), f));
    EXPECT_FALSE(reader.ReadIcons());
}

TEST(IconLibrary, SavingChecksTheCountsFirst)
{
    QTemporaryDir dir;
    const QString path = WriteTemp(dir, QStringLiteral("keep.icl"), QByteArray("old"));
    const QString fresh = dir.filePath(QStringLiteral("fresh.icl"));
    auto expectError = [&](const std::function<void(const QString&)>& save, const char* message) {
        for (const QString& target : {path, fresh}) {
            try {
                save(target);
                ADD_FAILURE() << "no error";
            } catch (const EICLReadError& e) {
                EXPECT_EQ(e.Message(), QString::fromLatin1(message));
            }
        }
        EXPECT_EQ(ReadFile(path), "old");
        EXPECT_FALSE(QFile::exists(fresh));
    };

    TIconLibrary emptyLibrary;
    expectError([&](const QString& f) { emptyLibrary.SaveToFile(f); }, ICLText::NoIcons);
    TIconLibrary1 emptyLibrary1;
    expectError([&](const QString& f) { emptyLibrary1.SaveToFile(f); }, ICLText::NoIcons);

    TIconLibrary manyGroups;
    for (int i = 0; i < 32768; ++i)
        manyGroups.Icons()->AddObject(QString(), nullptr);
    expectError([&](const QString& f) { manyGroups.SaveToFile(f); }, ICLText::TooMany);

    // Image numbers are 15-bit as well: 32768 images over two icons would wrap the identifiers.
    TIconLibrary1 manyImages;
    for (int i = 0; i < 2; ++i) {
        auto icon = std::make_unique<TAdvancedIcon>();
        for (int k = 0; k < 16384; ++k)
            icon->Images()->Add(std::make_unique<TIconImage>());
        manyImages.Icons()->AddIcon(QString(), std::move(icon));
    }
    expectError([&](const QString& f) { manyImages.SaveToFile(f); }, ICLText::TooMany);
    manyImages.Icons()->Delete(1);
    manyImages.Icons()->AddIcon(QString(), std::make_unique<TAdvancedIcon>());
    EXPECT_EQ(manyImages.Icons()->Strings(1), QStringLiteral("Icon 2"));
    manyImages.SaveToFile(fresh);
    EXPECT_TRUE(QFile::exists(fresh));
}

TEST(IconLibrary, IconListNamesUnnamedIconsByPosition)
{
    TIconLibrary1 library;
    library.Icons()->AddIcon(QStringLiteral("first"), std::make_unique<TAdvancedIcon>());
    library.Icons()->AddIcon(QString(), std::make_unique<TAdvancedIcon>());
    library.Icons()->AddIcon(QString(), std::make_unique<TAdvancedIcon>());
    EXPECT_EQ(library.Icons()->ToStringList(),
              QStringList({QStringLiteral("first"), QStringLiteral("Icon 2"), QStringLiteral("Icon 3")}));
    library.Icons()->Delete(0);
    library.Icons()->Clear();
    EXPECT_EQ(library.Icons()->Count(), 0);
}
// Names that fit the Western code page are stored in it, one byte a character, so other programs
// show them; the rest go as UTF-8. Both read back as written.
TEST(IconLibrary, GroupNamesUseTheWesternCodePageWhenTheyFit)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"Café", QByteArray("Caf\xE9")},
        {"€ „x“ Ÿ", QByteArray("\x80 \x84x\x93 \x9F")},
        {"Ω Café", QByteArray("\xCE\xA9 Caf\xC3\xA9")},
        {"plain", QByteArray("plain")},
    };
    QTemporaryDir dir;
    TIconLibrary1 source;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EncodeLibraryName(QString::fromUtf8(c.name)), c.bytes);
        EXPECT_EQ(DecodeLibraryName(c.bytes), QString::fromUtf8(c.name));
        source.Icons()->AddIcon(QString::fromUtf8(c.name), LoadIcon(dir, {Solid(16, 4)}));
    }
    // Another writer's bytes that are no UTF-8 are its code page; a long Western name is cut at
    // 255 characters.
    EXPECT_EQ(DecodeLibraryName(QByteArray("\xC3(\x81")), QString::fromUtf8("Ã(\u0081"));
    EXPECT_EQ(EncodeLibraryName(QString(300, QChar(0xE9))), QByteArray(255, '\xE9'));

    const QString path = dir.filePath(QStringLiteral("names.icl"));
    source.SaveToFile(path);
    EXPECT_TRUE(ReadFile(path).contains(QByteArray("\x04" "Caf\xE9\x07\x80 \x84x\x93 \x9F")));
    TIconLibrary library;
    library.LoadFromFile(path);
    EXPECT_EQ(library.Icons()->ToStringList(),
              QStringList({QString::fromUtf8("Café"), QString::fromUtf8("€ „x“ Ÿ"), QString::fromUtf8("Ω Café"),
                           QStringLiteral("plain")}));
}

// An outside resource lister sees the groups and images of a written library.
TEST(IconLibrary, WrittenLibraryListsWithResourceTool)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("wrestool"));
    if (tool.isEmpty())
        GTEST_SKIP() << "wrestool is not installed";
    QTemporaryDir dir;
    TIconLibrary1 source;
    source.Icons()->AddIcon(QStringLiteral("one"), LoadIcon(dir, {Solid(16, 4), Solid(32, 32)}));
    source.Icons()->AddIcon(QStringLiteral("two"), LoadIcon(dir, {Solid(48, 8)}));
    source.Icons()->AddIcon(QStringLiteral("three"), LoadIcon(dir, {Solid(16, 1)}));
    const QString path = dir.filePath(QStringLiteral("tool.icl"));
    source.SaveToFile(path);

    QProcess p;
    p.start(tool, {QStringLiteral("-l"), path});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QStringList groups, icons;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString name = line.section(QLatin1Char(' '), 1, 1);
        if (line.startsWith(QStringLiteral("--type=14 ")))
            groups << name;
        else if (line.startsWith(QStringLiteral("--type=3 ")))
            icons << name;
    }
    EXPECT_EQ(groups, QStringList({QStringLiteral("--name=1"), QStringLiteral("--name=2"), QStringLiteral("--name=3")}));
    EXPECT_EQ(icons.size(), 4);
}

// Names stored in the code page whose bytes are valid UTF-8 as well read back as they were
// written, and so do those written as UTF-8.
TEST(IconLibrary, GroupNamesThatAreAlsoUtf8ReadBackAsWritten)
{
    const QStringList names = {QString::fromUtf8("Ã©"), QString::fromUtf8("Ã¼ber"), QString::fromUtf8("CafÃ©"),
                               QString::fromUtf8("über"), QString::fromUtf8("Ä€"), QString::fromUtf8("ï»¿mark"),
                               QString::fromUtf8("Ω Café"), QString::fromUtf8("Ā")};
    QTemporaryDir dir;
    TIconLibrary1 source;
    for (const QString& name : names)
        source.Icons()->AddIcon(name, LoadIcon(dir, {Solid(16, 4)}));
    const QString path = dir.filePath(QStringLiteral("names.icl"));
    source.SaveToFile(path);
    // The code page's bytes stay what other programs show.
    EXPECT_TRUE(ReadFile(path).contains(QByteArray("\x02\xC3\xA9\x05\xC3\xBC" "ber")));
    TIconLibrary library;
    library.LoadFromFile(path);
    EXPECT_EQ(library.Icons()->ToStringList(), names);

    // A name cut to fit reads back as the part that was written, and writes the same bytes again.
    for (const QString& name : {QString(200, QChar(0x3A9)), QString::fromUtf8("Ä€") + QString(300, QChar('x'))}) {
        const QByteArray bytes = EncodeLibraryName(name);
        EXPECT_LE(bytes.size(), 255);
        const QString back = DecodeLibraryName(bytes);
        EXPECT_TRUE(name.startsWith(back));
        EXPECT_EQ(EncodeLibraryName(back), bytes);
    }
}

// Read, written, read again and written again, a library gives the same groups and bytes; a group
// that holds no image (here: a damaged directory header) is no icon and is left out.
TEST(IconLibrary, LibrariesReadAndWrittenTwiceGiveTheSameGroupsAndBytes)
{
    QTemporaryDir dir;
    const QByteArray found = ReadFile(TestDataPath("iconlib/roundtrip_unstable.icl"));
    ASSERT_FALSE(found.isEmpty());
    TIconLibrary damaged;
    damaged.LoadFromFile(WriteTemp(dir, QStringLiteral("damaged.icl"), found));
    EXPECT_EQ(damaged.Icons()->Count(), 0);

    // The same library with the header of group 7 mended.
    QByteArray mended = found;
    const qsizetype group7 = mended.indexOf(QByteArray::fromHex("00ff010001002020"));
    ASSERT_GT(group7, 0);
    mended[group7 + 1] = 0;
    int written = 0;
    const auto roundTrip = [&](const QString& path, QStringList& names) {
        TIconLibrary library;
        library.LoadFromFile(path);
        names = library.Icons()->ToStringList();
        TMemoryStream stream;
        T16BitWriter(&library).WriteStream(&stream);
        return WriteTemp(dir, QStringLiteral("written%1.icl").arg(++written), stream.Bytes());
    };
    QStringList first, second, third;
    const QString once = roundTrip(WriteTemp(dir, QStringLiteral("mended.icl"), mended), first);
    EXPECT_EQ(first, QStringList({QStringLiteral("7")}));
    const QString twice = roundTrip(once, second);
    roundTrip(twice, third);
    EXPECT_EQ(second, third);
    EXPECT_EQ(ReadFile(once), ReadFile(twice));
}
