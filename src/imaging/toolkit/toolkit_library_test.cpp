#include "imaging/toolkit/toolkit_library.h"

#include "imaging/toolkit/toolkit_test_support.h"
#include "testsupport/testdata.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace imaging_test;
using namespace toolkit_test;

namespace {

class ToolkitLibraryTest : public ImagingTest {
protected:
    QString Fixture(const char* name, const QByteArray& data) const
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, data);
        return path;
    }
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

// A bitmap of the given size and depth whose every pixel is (b, g, r, a).
TKBitmap Filled(int w, int h, int bits, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 255)
{
    TKBitmap bitmap;
    EXPECT_EQ(TK_AllocateBitmap(&bitmap, w, h, bits), TK_Success);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bitmap.Row(y) + x * (bits / 8);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            if (bits == 32)
                p[3] = a;
        }
    return bitmap;
}

const uint8_t* PixelAt(const TKBitmap& b, int x, int y)
{
    return b.Row(y) + x * (b.BitsPerPixel / 8);
}

struct TRecorder {
    std::vector<uint32_t> Flags;
    std::vector<int> Heights;
    int StopAfterPages = 1000;
    int Pages = 0;
};

int Record(TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t, int32_t, void* user)
{
    auto* r = static_cast<TRecorder*>(user);
    if (flags & TKRF_PageStart) {
        if (r->Pages >= r->StopAfterPages)
            return TK_ErrUserAbort;
        r->Heights.push_back(bitmap->Height);
    }
    r->Flags.push_back(flags);
    if (flags & TKRF_PageEnd)
        ++r->Pages;
    return TK_Success;
}

TEST_F(ToolkitLibraryTest, FileInfoDescribesLayeredPicturesAndAnimations)
{
    TKFileInfo info;
    ASSERT_EQ(TK_FileInfo(Fixture("three.psd", ThreeLayerPsd()), &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.Format, TKFMT_PSD);
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.Height, 24);
    EXPECT_EQ(info.TotalPages, 1);
    EXPECT_EQ(info.LayerCount, 3);

    ASSERT_EQ(TK_FileInfo(Fixture("loop.gif", MakeGif(3, true)), &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.Format, TKFMT_GIF);
    EXPECT_EQ(info.TotalPages, 3);
    EXPECT_EQ(info.LayerCount, 0);
    EXPECT_EQ(info.ScreenWidth, 6);
    EXPECT_EQ(info.ScreenHeight, 4);
    EXPECT_TRUE(info.Flags & TKFI_Loop);
    EXPECT_TRUE(info.Flags & TKFI_GlobalPalette);

    ASSERT_EQ(TK_FileInfo(Fixture("once.gif", MakeGif(2, false)), &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_FALSE(info.Flags & TKFI_Loop);
}

TEST_F(ToolkitLibraryTest, FailuresOfFilesMapOntoToolkitCodes)
{
    TKFileInfo info;
    const struct {
        QString Name;
        int Code;
    } cases[] = {
        {QString(), TK_ErrFileName},
        {Path("missing.psd"), TK_ErrFileNotFound},
        {dir.path(), TK_ErrOpenFile},
        {Fixture("empty.psd", QByteArray()), TK_ErrFileFormat},
        {Fixture("text.psd", "just some words"), TK_ErrFileFormat},
        {Fixture("large.psd", QByteArray("8BPS\0\3", 6) + QByteArray(40, '\0')), TK_ErrSubType},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TK_FileInfo(c.Name, &info, sizeof info, 1, nullptr), c.Code) << c.Name.toStdString();
    EXPECT_EQ(TK_FileInfo(Path("x"), &info, sizeof info - 4, 1, nullptr), TK_ErrParameter);
}

TEST_F(ToolkitLibraryTest, LoadDeliversBandsWithPageFlagsAndStopsWhenAsked)
{
    const QString gif = Fixture("five.gif", MakeGif(5, true));
    TKBitmap bitmap;
    TKLoadOptions options;

    TRecorder one;
    EXPECT_EQ(TK_LoadFile(gif, &bitmap, sizeof bitmap, 32, 4, 3, Record, &one, &options, nullptr), TK_Success);
    EXPECT_EQ(one.Pages, 1);
    ASSERT_EQ(one.Flags.size(), 1u);
    EXPECT_EQ(one.Flags[0], TKRF_PageStart | TKRF_FirstRows | TKRF_PageEnd | TKRF_LastRows);
    EXPECT_EQ(bitmap.BitsPerPixel, 32);

    // From page 2 on, stopped by the callback at the start of the fourth page it sees.
    TRecorder some;
    some.StopAfterPages = 3;
    options.PageNumber = 2;
    EXPECT_EQ(TK_LoadFile(gif, &bitmap, sizeof bitmap, 24, 4, 19, Record, &some, &options, nullptr),
              TK_ErrUserAbort);
    EXPECT_EQ(some.Pages, 3);
    EXPECT_EQ(bitmap.BitsPerPixel, 24);

    options.PageNumber = 6;
    TRecorder none;
    EXPECT_EQ(TK_LoadFile(gif, &bitmap, sizeof bitmap, 32, 4, 3, Record, &none, &options, nullptr), -309);
    EXPECT_EQ(TK_LoadFile(gif, &bitmap, sizeof bitmap, 16, 4, 3, Record, &none, nullptr, nullptr), TK_ErrBitsPerPixel);
}

TEST_F(ToolkitLibraryTest, TallPicturesArriveInSeveralBands)
{
    Magick::Image tall(Magick::Geometry(3, 150), Magick::Color("red"));
    tall.magick("PNG");
    Magick::Blob blob;
    tall.write(&blob);
    const QString path = Fixture("tall.png", QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length())));
    TKBitmap bitmap;
    TRecorder r;
    ASSERT_EQ(TK_LoadFile(path, &bitmap, sizeof bitmap, 0, 4, 3, Record, &r, nullptr, nullptr), TK_Success);
    ASSERT_EQ(r.Flags.size(), 3u);
    EXPECT_EQ(r.Flags[0], TKRF_PageStart | TKRF_FirstRows);
    EXPECT_EQ(r.Flags[1], 0u);
    EXPECT_EQ(r.Flags[2], TKRF_PageEnd | TKRF_LastRows);
    EXPECT_EQ(bitmap.BitsPerPixel, 24);
}

TEST_F(ToolkitLibraryTest, LayersComeBackAtTheirOwnSizeWithOffsetNameAndVisibility)
{
    const QString psd = Fixture("three.psd", ThreeLayerPsd());
    const struct {
        int Left, Top, Width, Height, Visible;
        const char* Name;
    } expected[] = {{0, 0, 32, 24, 1, "Paper"}, {3, 9, 12, 6, 1, "Green"}, {20, 2, 6, 6, 0, "Hidden"}};
    for (int i = 0; i < 3; ++i) {
        TKBitmap bitmap;
        TKLayerInfo layer;
        ASSERT_EQ(TK_LoadLayer(psd, &bitmap, sizeof bitmap, 0, 4, i, &layer, nullptr), TK_Success) << i;
        EXPECT_EQ(bitmap.BitsPerPixel, 32);
        EXPECT_EQ(bitmap.Width, expected[i].Width);
        EXPECT_EQ(bitmap.Height, expected[i].Height);
        EXPECT_EQ(layer.Left, expected[i].Left) << i;
        EXPECT_EQ(layer.Top, expected[i].Top) << i;
        EXPECT_EQ(layer.Visible, expected[i].Visible) << i;
        EXPECT_STREQ(layer.Name, expected[i].Name);
    }
    TKBitmap green;
    ASSERT_EQ(TK_LoadLayer(psd, &green, sizeof green, 24, 4, 1, nullptr, nullptr), TK_Success);
    EXPECT_EQ(green.BitsPerPixel, 24);
    EXPECT_EQ(PixelAt(green, 0, 0)[1], 128);

    TKBitmap bitmap;
    EXPECT_EQ(TK_LoadLayer(psd, &bitmap, sizeof bitmap, 0, 4, 3, nullptr, nullptr), TK_ErrLayerIndex);
    EXPECT_EQ(TK_LoadLayer(psd, &bitmap, sizeof bitmap, 0, 4, -1, nullptr, nullptr), TK_ErrLayerIndex);
    EXPECT_EQ(TK_LoadLayer(Fixture("one.gif", MakeGif(1, false)), &bitmap, sizeof bitmap, 0, 4, 0, nullptr, nullptr),
              TK_ErrNoLayers);
}

// Pixels of a damaged file are never taken for a picture, while its description may still be read.
TEST_F(ToolkitLibraryTest, TruncatedLayeredPictureDescribesButDoesNotLoad)
{
    const QByteArray whole = TwoLayerPsd();
    // Cut in the composite (which the library would fill with blank pixels) and in the layers.
    for (qsizetype cut : {qsizetype(20), whole.size() / 2}) {
        const QString path = Fixture("cut.psd", whole.left(whole.size() - cut));
        TKFileInfo info;
        ASSERT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success);
        EXPECT_EQ(info.LayerCount, 2);
        TKBitmap bitmap;
        TRecorder r;
        EXPECT_EQ(TK_LoadFile(path, &bitmap, sizeof bitmap, 32, 4, 3, Record, &r, nullptr, nullptr), TK_ErrReadFile);
        EXPECT_TRUE(r.Flags.empty());
    }
    TKBitmap bitmap;
    EXPECT_EQ(TK_LoadLayer(Fixture("half.psd", whole.left(whole.size() / 2)), &bitmap, sizeof bitmap, 0, 4, 1, nullptr,
                           nullptr),
              TK_ErrReadFile);
}

TEST_F(ToolkitLibraryTest, ALayerThatCannotBeDecodedKeepsTheOthersReadable)
{
    QByteArray damaged = ThreeLayerPsd();
    DamageLayerData(damaged, 1);
    const QString path = Fixture("damaged.psd", damaged);
    TKFileInfo info;
    ASSERT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.LayerCount, 3);
    const struct {
        int Layer, Result, Width;
        const char* Name;
    } cases[] = {{0, TK_Success, 32, "Paper"}, {1, TK_ErrReadFile, 0, ""}, {2, TK_Success, 6, "Hidden"}};
    for (const auto& c : cases) {
        TKBitmap bitmap;
        TKLayerInfo layer;
        EXPECT_EQ(TK_LoadLayer(path, &bitmap, sizeof bitmap, 0, 4, c.Layer, &layer, nullptr), c.Result) << c.Layer;
        if (c.Result != TK_Success)
            continue;
        EXPECT_EQ(bitmap.Width, c.Width);
        EXPECT_STREQ(layer.Name, c.Name);
    }
    // The composite is sound and loads.
    TKBitmap composite;
    TRecorder r;
    EXPECT_EQ(TK_LoadFile(path, &composite, sizeof composite, 32, 4, 3, Record, &r, nullptr, nullptr), TK_Success);
    EXPECT_EQ(r.Heights, std::vector<int>{24});
}

TEST_F(ToolkitLibraryTest, PictureBeyondTheLimitsIsRefusedBeforeDecoding)
{
    const QString psd = Fixture("big.psd", MakePsd(1100, 10, 0xFFFFFFFF, {{1100, 10, 0, 0, 0xFF0000FF, "Wide"}}));
    TKFileInfo info;
    EXPECT_EQ(TK_FileInfo(psd, &info, sizeof info, 1, nullptr), TK_ErrWidthHeight);
    TKBitmap bitmap;
    EXPECT_EQ(TK_LoadLayer(psd, &bitmap, sizeof bitmap, 0, 4, 0, nullptr, nullptr), TK_ErrWidthHeight);
}

TEST_F(ToolkitLibraryTest, SavesWriteTheFormatOfTheirCode)
{
    // Half-transparent red: at 32 bits it stays so, at 24 bits it lies over white.
    const TKBitmap red = Filled(4, 3, 32, 0, 0, 255, 128);
    const QString png32 = Path("a.png");
    ASSERT_EQ(TK_SaveBitmap(png32, &red, TKFMT_PNG32, 32, 2, nullptr), TK_Success);
    TRGBABuffer back;
    ASSERT_EQ(ReadPictureData(ReadFile(png32), ".png", back), TPictureReadResult::Ok);
    EXPECT_EQ(std::vector<uint8_t>(back.Pixels.begin(), back.Pixels.begin() + 4), (std::vector<uint8_t>{255, 0, 0, 128}));

    const QString png24 = Path("b.png");
    ASSERT_EQ(TK_SaveBitmap(png24, &red, TKFMT_PNG, 24, 2, nullptr), TK_Success);
    const QByteArray bytes = ReadFile(png24);
    EXPECT_EQ(uint8_t(bytes[25]), 2) << "colour type RGB";
    ASSERT_EQ(ReadPictureData(bytes, ".png", back), TPictureReadResult::Ok);
    EXPECT_EQ(std::vector<uint8_t>(back.Pixels.begin(), back.Pixels.begin() + 4), (std::vector<uint8_t>{255, 127, 127, 255}));

    const struct {
        int Format, Bits, Code;
    } refused[] = {
        {TKFMT_PNG, 32, TK_ErrBitsPerPixel},
        {TKFMT_PNG32, 24, TK_ErrBitsPerPixel},
        {TKFMT_JPEG, 32, TK_ErrBitsPerPixel},
        {TKFMT_JPEG, 24, TK_ErrQFactor}, // quality 101 below
        {TKFMT_RLE, 24, TK_ErrNotSupported},
        {TKFMT_WBMP, 24, TK_ErrBitsPerPixel},
        {999, 24, TK_ErrFileFormat},
    };
    for (const auto& c : refused)
        EXPECT_EQ(TK_SaveBitmap(Path("c.png"), &red, c.Format, c.Bits, c.Code == TK_ErrQFactor ? 101 : 2, nullptr),
                  c.Code)
            << c.Format;
    EXPECT_FALSE(QFile::exists(Path("c.png")));
    TKBitmap empty;
    EXPECT_EQ(TK_SaveBitmap(Path("c.png"), &empty, TKFMT_PNG, 24, 2, nullptr), TK_ErrBitmapHandle);
    EXPECT_EQ(TK_SaveBitmap(dir.filePath("no/such/folder/c.png"), &red, TKFMT_PNG, 24, 2, nullptr), TK_ErrWriteFile);
}

int StopAtEnd(int32_t percent)
{
    return percent < 100 ? 1 : 0;
}

int StopRow(uint8_t*, int32_t row, int32_t, void*)
{
    return row < 2 ? 1 : 0;
}

TEST_F(ToolkitLibraryTest, StoppedSaveLeavesTheFileThatWasThere)
{
    const QString path = Fixture("keep.png", "the old file");
    const TKBitmap blue = Filled(4, 4, 24, 255, 0, 0);
    const TKStatusCallback old = TK_SetStatusCallBack(StopAtEnd);
    EXPECT_EQ(TK_SaveBitmap(path, &blue, TKFMT_PNG, 24, 2, nullptr), TK_ErrUserAbort);
    TK_SetStatusCallBack(old);
    EXPECT_EQ(TK_SaveFile(path, &blue, TKFMT_PNG, 24, 2, 2, StopRow, nullptr, nullptr), TK_ErrUserAbort);
    EXPECT_EQ(ReadFile(path), QByteArray("the old file"));
}

TEST_F(ToolkitLibraryTest, ListsHoldReferencesThatKeepPixelsAlive)
{
    TKBitmapList list = 0;
    ASSERT_EQ(TK_CreateBitmapList(&list), TK_Success);
    TKBitmap a = Filled(2, 2, 32, 1, 2, 3);
    ASSERT_EQ(TK_InsertBitmapListItem(list, -1, &a), TK_Success);
    TKBitmap b = Filled(3, 1, 24, 4, 5, 6);
    ASSERT_EQ(TK_InsertBitmapListItem(list, 0, &b), TK_Success);
    TK_FreeBitmap(&a);
    TK_FreeBitmap(&b);

    int32_t count = 0;
    ASSERT_EQ(TK_GetBitmapListCount(list, &count), TK_Success);
    EXPECT_EQ(count, 2);
    TKBitmap item;
    ASSERT_EQ(TK_RemoveBitmapListItem(list, 1, &item), TK_Success);
    EXPECT_EQ(PixelAt(item, 1, 1)[2], 3);
    ASSERT_EQ(TK_GetBitmapListItem(list, 0, &item), TK_Success);
    EXPECT_EQ(item.Width, 3);
    EXPECT_EQ(TK_GetBitmapListItem(list, 1, &item), TK_ErrParameter);
    EXPECT_EQ(TK_InsertBitmapListItem(list, 5, &item), TK_ErrParameter);
    ASSERT_EQ(TK_DestroyBitmapList(list), TK_Success);
    EXPECT_EQ(PixelAt(item, 2, 0)[0], 4);
    EXPECT_EQ(TK_GetBitmapListCount(list, &count), TK_ErrBitmapHandle);
    EXPECT_EQ(TK_DestroyBitmapList(list), TK_ErrBitmapHandle);
}

TEST_F(ToolkitLibraryTest, ViewPerspectivesTurnToTopLeft)
{
    // A 3 x 2 picture whose pixels carry their stored coordinates.
    auto make = [](int perspective) {
        TKBitmap b;
        TK_AllocateBitmap(&b, 3, 2, 24);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                b.Row(y)[x * 3] = uint8_t(x * 10 + y);
        b.ViewPerspective = perspective;
        return b;
    };
    const struct {
        int Perspective;
        int Width;
        std::vector<uint8_t> Shown; // stored coordinates, row after row as shown
    } cases[] = {
        {2, 3, {20, 10, 0, 21, 11, 1}},
        {3, 3, {21, 11, 1, 20, 10, 0}},
        {4, 3, {1, 11, 21, 0, 10, 20}},
        {5, 2, {0, 1, 10, 11, 20, 21}},
        {6, 2, {1, 0, 11, 10, 21, 20}},
        {7, 2, {21, 20, 11, 10, 1, 0}},
        {8, 2, {20, 21, 10, 11, 0, 1}},
    };
    for (const auto& c : cases) {
        TKBitmap b = make(c.Perspective);
        ASSERT_EQ(TK_ChangeBitmapViewPerspective(&b, 1), TK_Success);
        EXPECT_EQ(b.Width, c.Width);
        EXPECT_EQ(b.ViewPerspective, 1);
        std::vector<uint8_t> shown;
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x)
                shown.push_back(PixelAt(b, x, y)[0]);
        EXPECT_EQ(shown, c.Shown) << c.Perspective;
    }
}

TEST_F(ToolkitLibraryTest, LayeredSaveReadsBackAsLayers)
{
    const TKBitmap composite = Filled(20, 10, 32, 255, 255, 255);
    TKBitmapList layers = 0;
    ASSERT_EQ(TK_CreateBitmapList(&layers), TK_Success);
    TKBitmap one = Filled(20, 10, 32, 0, 0, 255);
    TKBitmap two = Filled(4, 3, 32, 255, 0, 0, 200);
    TK_InsertBitmapListItem(layers, -1, &one);
    TK_InsertBitmapListItem(layers, -1, &two);
    TKLayerInfo table[2];
    std::strcpy(table[0].Name, "Base");
    table[1].Left = 7;
    table[1].Top = 5;
    std::strcpy(table[1].Name, "Spot");
    const QString path = Path("saved.psd");
    ASSERT_EQ(TK_SaveBitmapWithLayers(path, &composite, TKFMT_PSD, 32, 0, layers, table, 2, nullptr), TK_Success);
    EXPECT_EQ(TK_SaveBitmapWithLayers(Path("x.png"), &composite, TKFMT_PNG, 24, 0, layers, table, 2, nullptr),
              TK_ErrNotSupported);
    TK_DestroyBitmapList(layers);

    TKBitmap back;
    TKLayerInfo info;
    ASSERT_EQ(TK_LoadLayer(path, &back, sizeof back, 0, 4, 1, &info, nullptr), TK_Success);
    EXPECT_EQ(info.Left, 7);
    EXPECT_EQ(info.Top, 5);
    EXPECT_STREQ(info.Name, "Spot");
    EXPECT_EQ(PixelAt(back, 0, 0)[3], 200);
}

TEST_F(ToolkitLibraryTest, ListSaveWritesAnAnimation)
{
    TKBitmapList list = 0;
    ASSERT_EQ(TK_CreateBitmapList(&list), TK_Success);
    for (uint8_t c : {0, 255}) {
        TKBitmap frame = Filled(5, 5, 32, c, c, c);
        TK_InsertBitmapListItem(list, -1, &frame);
    }
    TKSaveOptions options;
    options.Flags |= TKSO_Loop;
    const QString path = Path("anim.gif");
    ASSERT_EQ(TK_SaveBitmapList(path, list, TKFMT_GIF, 8, 0, &options), TK_Success);
    EXPECT_EQ(TK_SaveBitmapList(Path("x.png"), list, TKFMT_PNG, 24, 0, &options), TK_ErrNotSupported);
    TK_DestroyBitmapList(list);

    TKFileInfo info;
    ASSERT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.TotalPages, 2);
    EXPECT_TRUE(info.Flags & TKFI_Loop);
}

// The first page of a file as the toolkit loads it.
TKBitmap LoadFirst(const QString& path, int bits = 0)
{
    TKBitmap page;
    const auto keep = [](TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t, int32_t, void* user) {
        if (flags & TKRF_PageEnd)
            TK_CopyBitmap(bitmap, static_cast<TKBitmap*>(user));
        return int(TK_Success);
    };
    TKBitmap scratch;
    EXPECT_EQ(TK_LoadFile(path, &scratch, sizeof scratch, bits, 4, 3, keep, &page, nullptr, nullptr), TK_Success)
        << path.toStdString();
    return page;
}

// A picture of many colours, none of them grey, so that no writer takes it for a grey or a
// palette picture.
TKBitmap Colourful(int w, int h, int bits)
{
    TKBitmap b = Filled(w, h, bits, 0, 0, 0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = b.Row(y) + x * (bits / 8);
            p[0] = uint8_t(40 + x * 30);
            p[1] = uint8_t(200 - y * 35);
            p[2] = uint8_t(90 + x * 10 + y * 20);
        }
    return b;
}

TEST_F(ToolkitLibraryTest, EverySaveCodeReadsBackWithItsCodeSizeAndPixels)
{
    // Every code the toolkit writes; only TKFMT_RLE, which the library reads but cannot write,
    // stays refused (above).
    const struct {
        int Format, Bits;
        const char* File;
        int ReadBits; // 0: not told by the file information
        bool Lossless;
        int Width = 7, Height = 5; // as read back
    } cases[] = {
        {TKFMT_BMP, 24, "a.bmp", 24, true},   {TKFMT_BMP, 32, "b.bmp", 32, true},
        {TKFMT_TGA, 24, "c.tga", 24, true},   {TKFMT_TGA, 32, "d.tga", 32, true},
        {TKFMT_JPEG, 24, "e.jpg", 24, false}, {TKFMT_TIFF, 24, "f.tif", 24, true},
        {TKFMT_TIFF, 32, "g.tif", 0, true}, // its description is read without the alpha
        {TKFMT_PCX, 24, "h.pcx", 24, true},
        {TKFMT_DIB, 24, "i.dib", 24, true},   {TKFMT_DIB, 32, "j.dib", 32, true},
        {TKFMT_FRAME, 24, "k.ras", 24, false, TKFRAME_Width, TKFRAME_Height},
        {TKFMT_BMP, 0, "l.bmp", 32, true},
        {TKFMT_SGI, 24, "m.sgi", 24, true},   {TKFMT_SGI, 32, "n.sgi", 32, true},
        {TKFMT_PNM, 24, "o.ppm", 24, true},
        {TKFMT_PCD, 24, "p.pcd", 24, false, 768, 512},
        {TKFMT_ICO, 32, "q.ico", 0, true},    {TKFMT_CUR, 32, "r.cur", 0, true},
        {TKFMT_WBMP, 1, "s.wbmp", 0, false},
        {TKFMT_MNG, 24, "t.mng", 0, true},    {TKFMT_MNG, 32, "u.mng", 0, true}, // stored with a palette
        {TKFMT_WEBP, 24, "v.webp", 24, true}, {TKFMT_WEBP, 32, "w.webp", 32, true},
        {TKFMT_WMF, 24, "x.wmf", 0, true},
    };
    TKBitmap picture = Colourful(7, 5, 32);
    picture.Row(0)[3] = 128; // one pixel half transparent, so that 32-bit files keep their alpha
    for (const auto& c : cases) {
        const QString path = Path(c.File);
        ASSERT_EQ(TK_SaveBitmap(path, &picture, c.Format, c.Bits, 90, nullptr), TK_Success) << c.File;
        TKFileInfo info;
        ASSERT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success) << c.File;
        EXPECT_EQ(info.Format, c.Format) << c.File;
        EXPECT_EQ(info.Width, c.Width) << c.File;
        EXPECT_EQ(info.Height, c.Height) << c.File;
        if (c.ReadBits) {
            EXPECT_EQ(info.BitsPerPixel, c.ReadBits) << c.File;
        }
        if (c.Lossless) {
            const TKBitmap back = LoadFirst(path, 32);
            ASSERT_EQ(back.Width, 7) << c.File;
            // 24-bit saves lay the half-transparent pixel over white.
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(PixelAt(back, 5, 3)[i], PixelAt(picture, 5, 3)[i]) << c.File;
            EXPECT_EQ(PixelAt(back, 0, 0)[3], c.Bits == 24 ? 255 : 128) << c.File;
        }
    }
    // A cursor is marked one, with its hot spot at the top left.
    const QByteArray cursor = ReadFile(Path("r.cur"));
    EXPECT_EQ(cursor.mid(2, 2), QByteArray("\x02\x00", 2));
    EXPECT_EQ(cursor.mid(6 + 4, 4), QByteArray(4, '\0'));
    // A WBMP is black and white: the light half of a picture white, the dark half black.
    TKBitmap halves = Filled(8, 2, 24, 255, 255, 255);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            std::fill_n(halves.Row(y) + x * 3, 3, uint8_t(20));
    ASSERT_EQ(TK_SaveBitmap(Path("halves.wbmp"), &halves, TKFMT_WBMP, 0, 0, nullptr), TK_Success);
    const TKBitmap bw = LoadFirst(Path("halves.wbmp"), 24);
    EXPECT_EQ(PixelAt(bw, 1, 1)[0], 0);
    EXPECT_EQ(PixelAt(bw, 6, 1)[0], 255);
}

// The grey level of pixel (0, 0) of every page of a file, as the toolkit loads them.
std::vector<int> PageGreys(const QString& path)
{
    std::vector<int> greys;
    const auto keep = [](TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t, int32_t, void* user) {
        if (flags & TKRF_PageEnd)
            static_cast<std::vector<int>*>(user)->push_back(bitmap->Row(0)[0]);
        return int(TK_Success);
    };
    TKBitmap scratch;
    EXPECT_EQ(TK_LoadFile(path, &scratch, sizeof scratch, 24, 4, 19, keep, &greys, nullptr, nullptr), TK_Success);
    return greys;
}

TEST_F(ToolkitLibraryTest, PageSavesPutTheBitmapAmongTheTiffsPagesAndOtherFormatsRefuseThem)
{
    const auto grey = [](uint8_t v) { return Filled(4, 3, 24, v, v, v); };
    const auto save = [](const QString& path, uint8_t v, uint32_t flags, int32_t page) {
        TKSaveOptions o;
        o.Flags |= flags;
        o.PageNumber = page;
        const TKBitmap b = Filled(4, 3, 24, v, v, v);
        return TK_SaveBitmap(path, &b, TKFMT_TIFF, 24, 0, &o);
    };
    // Page 2 appends: three saves make three pages.
    const QString tiff = Path("pages.tif");
    const TKBitmap first = grey(10);
    ASSERT_EQ(TK_SaveBitmap(tiff, &first, TKFMT_TIFF, 24, 0, nullptr), TK_Success);
    ASSERT_EQ(save(tiff, 20, 0, 2), TK_Success);
    EXPECT_EQ(PageGreys(tiff), (std::vector<int>{10, 20}));
    ASSERT_EQ(save(tiff, 30, 0, 2), TK_Success);
    const QByteArray three = ReadFile(tiff);
    EXPECT_EQ(PageGreys(tiff), (std::vector<int>{10, 20, 30}));

    ASSERT_EQ(save(tiff, 99, TKSO_InsertPage, 2), TK_Success);
    EXPECT_EQ(PageGreys(tiff), (std::vector<int>{10, 99, 20, 30}));
    WriteFile(tiff, three);
    ASSERT_EQ(save(tiff, 77, TKSO_ReplacePage, 2), TK_Success);
    EXPECT_EQ(PageGreys(tiff), (std::vector<int>{10, 77, 30}));
    ASSERT_EQ(save(tiff, 55, TKSO_InsertPage, 4), TK_Success);
    EXPECT_EQ(PageGreys(tiff), (std::vector<int>{10, 77, 30, 55}));

    // Pages that are not there change nothing.
    WriteFile(tiff, three);
    EXPECT_EQ(save(tiff, 1, TKSO_InsertPage, 5), -309);
    EXPECT_EQ(save(tiff, 1, TKSO_InsertPage, 0), -309);
    EXPECT_EQ(save(tiff, 1, TKSO_ReplacePage, 4), -309);
    EXPECT_EQ(ReadFile(tiff), three);
    // A page into a file of another format, or into nothing to replace.
    const QString png = Path("one.png");
    ASSERT_EQ(TK_SaveBitmap(png, &first, TKFMT_PNG, 24, 0, nullptr), TK_Success);
    const QByteArray pngBytes = ReadFile(png);
    EXPECT_EQ(save(png, 1, TKSO_InsertPage, 1), TK_ErrFileFormat);
    EXPECT_EQ(save(Path("none.tif"), 1, TKSO_ReplacePage, 1), -309);
    EXPECT_FALSE(QFile::exists(Path("none.tif")));

    // Formats of one page refuse every page save and leave the file.
    for (const auto& [flags, page] : {std::pair<uint32_t, int>{TKSO_InsertPage, 1}, {TKSO_ReplacePage, 1}, {0u, 2}}) {
        TKSaveOptions o;
        o.Flags |= flags;
        o.PageNumber = page;
        EXPECT_EQ(TK_SaveBitmap(png, &first, TKFMT_PNG, 24, 0, &o), TK_ErrNotSupported);
        QByteArray memory;
        EXPECT_EQ(TK_SaveBitmapMemory(&first, TKFMT_TIFF, 24, 0, &o, &memory), TK_ErrNotSupported);
    }
    EXPECT_EQ(ReadFile(png), pngBytes);
}

TEST_F(ToolkitLibraryTest, JpegIsWrittenAtTheQualityOfTheSave)
{
    const TKBitmap picture = Colourful(16, 16, 24);
    for (int quality : {30, 90}) {
        const QString path = Path("q.jpg");
        ASSERT_EQ(TK_SaveBitmap(path, &picture, TKFMT_JPEG, 24, quality, nullptr), TK_Success);
        Magick::Image back;
        back.read(path.toStdString());
        EXPECT_EQ(back.quality(), size_t(quality));
    }
}

TEST_F(ToolkitLibraryTest, SaveAtAnOffsetWritesIntoTheFileThereAndKeepsTheRest)
{
    const QByteArray filler(4000, 'x');
    const QString path = Fixture("container.bin", filler);
    const TKBitmap picture = Colourful(6, 4, 24);
    int64_t size = 0;
    ASSERT_EQ(TK_SaveFileOffset(path, &picture, 100, &size, TKFMT_BMP, 24, 0, 2, nullptr), TK_Success);
    const QByteArray after = ReadFile(path);
    ASSERT_EQ(after.size(), filler.size());
    ASSERT_GT(size, 0);
    EXPECT_EQ(after.left(100), filler.left(100));
    EXPECT_EQ(after.mid(100 + size), filler.mid(100 + size));
    TKFileInfo info;
    ASSERT_EQ(TK_FileInfoMemory(after.constData() + 100, size, &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.Format, TKFMT_BMP);
    EXPECT_EQ(info.Width, 6);
    EXPECT_EQ(info.Height, 4);

    // Past the end, before the start or as a format that is not written, nothing changes.
    EXPECT_EQ(TK_SaveFileOffset(path, &picture, 4001, &size, TKFMT_BMP, 24, 0, 2, nullptr), TK_ErrSeek);
    EXPECT_EQ(TK_SaveFileOffset(path, &picture, -1, &size, TKFMT_BMP, 24, 0, 2, nullptr), TK_ErrParameter);
    EXPECT_EQ(TK_SaveFileOffset(path, &picture, 0, &size, TKFMT_RLE, 24, 0, 2, nullptr), TK_ErrNotSupported);
    EXPECT_EQ(ReadFile(path), after);
    // A picture longer than the rest of the file makes it longer.
    ASSERT_EQ(TK_SaveFileOffset(path, &picture, 3990, &size, TKFMT_BMP, 24, 0, 2, nullptr), TK_Success);
    EXPECT_EQ(ReadFile(path).size(), 3990 + size);
}

TEST_F(ToolkitLibraryTest, PerspectiveChangesKeepThePictureAsShown)
{
    // A 3 x 2 picture whose pixels carry their coordinates as shown, x * 10 + y.
    TKBitmap b;
    ASSERT_EQ(TK_AllocateBitmap(&b, 3, 2, 24), TK_Success);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.Row(y)[x * 3] = uint8_t(x * 10 + y);
    const auto stored = [](const TKBitmap& bitmap) {
        std::vector<uint8_t> v;
        for (int y = 0; y < bitmap.Height; ++y)
            for (int x = 0; x < bitmap.Width; ++x)
                v.push_back(PixelAt(bitmap, x, y)[0]);
        return v;
    };
    const struct {
        int Perspective, Width, Height;
        std::vector<uint8_t> Stored;
    } steps[] = {
        {6, 2, 3, {20, 21, 10, 11, 0, 1}},
        {3, 3, 2, {21, 11, 1, 20, 10, 0}},
        {8, 2, 3, {1, 0, 11, 10, 21, 20}},
        {1, 3, 2, {0, 10, 20, 1, 11, 21}},
    };
    for (const auto& s : steps) {
        ASSERT_EQ(TK_ChangeBitmapViewPerspective(&b, s.Perspective), TK_Success);
        EXPECT_EQ(b.ViewPerspective, s.Perspective);
        EXPECT_EQ(b.Width, s.Width);
        EXPECT_EQ(b.Height, s.Height);
        EXPECT_EQ(BitmapViewWidth(b), 3);
        EXPECT_EQ(stored(b), s.Stored) << s.Perspective;
    }
    EXPECT_EQ(TK_ChangeBitmapViewPerspective(&b, 9), TK_ErrParameter);
}

TEST_F(ToolkitLibraryTest, LoadsAtPaletteDepthsGivePaletteBitmaps)
{
    const QString gif = Fixture("colours.gif", MakeGif256());
    const std::vector<uint32_t> table = GifGlobalTable(ReadFile(gif));
    ASSERT_EQ(table.size(), 256u);
    const TKBitmap eight = LoadFirst(gif, 8);
    ASSERT_EQ(eight.BitsPerPixel, 8);
    EXPECT_EQ(eight.Palette, table);
    for (int i : {0, 1, 100, 254, 255})
        EXPECT_EQ(BitmapColour(eight, i % 16, i / 16), 0xFF000000u | uint32_t(i) << 16 | uint32_t(255 - i) << 8 |
                                                           uint32_t(uint8_t(i * 7)))
            << i;
    // Fewer bits reduce the colours to a palette of that size.
    for (int bits : {1, 4}) {
        const TKBitmap fewer = LoadFirst(gif, bits);
        ASSERT_EQ(fewer.BitsPerPixel, bits);
        EXPECT_EQ(fewer.Palette.size(), size_t(1) << bits);
        EXPECT_NE(BitmapColour(fewer, 0, 0), BitmapColour(fewer, 15, 15)) << bits;
    }

    // Palette bitmaps save with their palette and their indexes.
    const struct {
        int Format;
        const char* File;
    } saves[] = {{TKFMT_BMP, "p.bmp"}, {TKFMT_TIFF, "p.tif"}, {TKFMT_PCX, "p.pcx"},
                 {TKFMT_DIB, "p.dib"}, {TKFMT_TGA, "p.tga"}, {TKFMT_GIF, "p.gif"}};
    for (const auto& s : saves) {
        const QString path = Path(s.File);
        ASSERT_EQ(TK_SaveBitmap(path, &eight, s.Format, 0, 0, nullptr), TK_Success) << s.File;
        TKFileInfo info;
        ASSERT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success) << s.File;
        EXPECT_EQ(info.BitsPerPixel, 8) << s.File;
        const TKBitmap back = LoadFirst(path, 8);
        EXPECT_EQ(back.Palette, eight.Palette) << s.File;
        ASSERT_EQ(back.Width, 16);
        EXPECT_EQ(*back.Pixels, *eight.Pixels) << s.File;
    }
}

TEST_F(ToolkitLibraryTest, AnimationSavedWithThePaletteFlagHasThatGlobalTable)
{
    const TKBitmap eight = LoadFirst(Fixture("colours.gif", MakeGif256()), 8);
    TKBitmapList list = 0;
    ASSERT_EQ(TK_CreateBitmapList(&list), TK_Success);
    TKBitmap colour = Colourful(16, 16, 24);
    TK_InsertBitmapListItem(list, -1, &eight);
    TK_InsertBitmapListItem(list, -1, &colour);
    TKSaveOptions options;
    options.Flags |= TKSO_Palette;
    // A palette in another order than the bitmap's own: the indexes follow the colours.
    std::reverse_copy(eight.Palette.begin(), eight.Palette.end(), options.Palette);
    const QString path = Path("palette.gif");
    ASSERT_EQ(TK_SaveBitmapList(path, list, TKFMT_GIF, 8, 0, &options), TK_Success);
    TK_DestroyBitmapList(list);
    EXPECT_EQ(GifGlobalTable(ReadFile(path)), std::vector<uint32_t>(options.Palette, options.Palette + 256));
    const TKBitmap back = LoadFirst(path, 32);
    for (int i : {0, 77, 255})
        EXPECT_EQ(BitmapColour(back, i % 16, i / 16), BitmapColour(eight, i % 16, i / 16)) << i;
}

TEST_F(ToolkitLibraryTest, PalettePicturesTurnAndResizeKeepingTheirPalette)
{
    TKBitmap b;
    ASSERT_EQ(TK_AllocateBitmap(&b, 3, 2, 4), TK_Success);
    ASSERT_EQ(b.Palette.size(), 16u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetBitmapPixel(b, x, y, uint32_t(x * 2 + y));
    b.Palette[5] = 0x123456;
    ASSERT_EQ(TK_ChangeBitmapViewPerspective(&b, 6), TK_Success);
    EXPECT_EQ(b.BitsPerPixel, 4);
    EXPECT_EQ(BitmapPixel(b, 0, 0), 4u); // shown (2, 0)
    EXPECT_EQ(BitmapPixel(b, 1, 0), 5u); // shown (2, 1)
    EXPECT_EQ(b.Palette[5], 0x123456u);
    ASSERT_EQ(TK_SizeBitmap(&b, 4, 6), TK_Success);
    EXPECT_EQ(BitmapPixel(b, 2, 0), 5u);
    EXPECT_EQ(b.Palette[5], 0x123456u);
}

TEST_F(ToolkitLibraryTest, OptionFamiliesAreKeptAndChecked)
{
    TKPDFOptions pdf;
    pdf.DisplayDepth = 8;
    ASSERT_EQ(TK_SetPDFOptions(&pdf), TK_Success);
    TKPDFOptions back;
    ASSERT_EQ(TK_GetPDFOptions(&back), TK_Success);
    EXPECT_EQ(back.DisplayDepth, 8);
    EXPECT_EQ(TK_Set2DViewMode(4), TK_ErrParameter);
    EXPECT_EQ(TK_Set2DViewport(-1, 5), TK_ErrParameter);
}

// ---- Feed loads -----------------------------------------------------------------------------

// Pages delivered to a row callback, each kept whole; Answer is what the callback says at the end
// of page AnswerAt (from 1), 1 for the others.
struct TFeedPages {
    std::vector<TKBitmap> Pages;
    size_t AnswerAt = 0;
    int Answer = TK_Success;
    TKFeedHandle StopFrom = 0; // stops this feed from within the callback at AnswerAt
    int StopResult = 0;
};

int KeepPages(TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t, int32_t, void* user)
{
    auto* fed = static_cast<TFeedPages*>(user);
    if (!(flags & TKRF_PageEnd))
        return TK_Success;
    fed->Pages.push_back(*bitmap);
    if (fed->Pages.size() != fed->AnswerAt)
        return TK_Success;
    if (fed->StopFrom)
        fed->StopResult = TK_StopFeedLoad(fed->StopFrom);
    return fed->Answer;
}

int Feed(TKFeedHandle feed, const QByteArray& data, qsizetype from, qsizetype to)
{
    return TK_FeedLoad(feed, data.constData() + from, int32_t(to - from));
}

// Where the frames of a GIF made by MakeGif end: each frame after the first begins with its
// graphic control block.
std::vector<qsizetype> FrameEnds(const QByteArray& gif)
{
    std::vector<qsizetype> ends;
    qsizetype at = gif.indexOf("\x21\xF9\x04");
    while ((at = gif.indexOf("\x21\xF9\x04", at + 1)) > 0)
        ends.push_back(at);
    ends.push_back(gif.size() - 1); // the trailer follows the last one
    return ends;
}

TEST_F(ToolkitLibraryTest, FeedDeliversEachGifPageInTheCallWhereItsLastByteArrives)
{
    const QByteArray gif = MakeGif(3, true);
    const std::vector<qsizetype> ends = FrameEnds(gif);
    ASSERT_EQ(ends.size(), 3u);
    TKBitmap bitmap;
    TFeedPages fed;
    TKFeedHandle feed = 0;
    ASSERT_EQ(TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, 32, 1, 19, KeepPages, &fed, nullptr), TK_Success);
    qsizetype at = 0;
    for (size_t page = 0; page < ends.size(); ++page) {
        ASSERT_EQ(Feed(feed, gif, at, ends[page] - 1), TK_Success);
        EXPECT_EQ(fed.Pages.size(), page) << "one byte short of page " << page + 1;
        ASSERT_EQ(Feed(feed, gif, ends[page] - 1, ends[page]), TK_Success);
        EXPECT_EQ(fed.Pages.size(), page + 1);
        at = ends[page];
    }
    ASSERT_EQ(Feed(feed, gif, at, gif.size()), TK_Success);
    EXPECT_EQ(TK_StopFeedLoad(feed), TK_Success);
    ASSERT_EQ(fed.Pages.size(), 3u) << "the stop delivers no page twice";
    const uint8_t red[] = {0, 0, 255, 255}, blue[] = {255, 0, 0, 255};
    EXPECT_EQ(std::memcmp(PixelAt(fed.Pages[0], 5, 3), red, 4), 0);
    EXPECT_EQ(std::memcmp(PixelAt(fed.Pages[2], 0, 0), blue, 4), 0);

    // From page 2 on, at 8 bits: the first page is passed over, the others keep the palette.
    TFeedPages later;
    TKLoadOptions options;
    options.PageNumber = 2;
    ASSERT_EQ(TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, 8, 1, 19, KeepPages, &later, &options), TK_Success);
    ASSERT_EQ(Feed(feed, gif, 0, ends[1]), TK_Success);
    ASSERT_EQ(later.Pages.size(), 1u);
    EXPECT_EQ(later.Pages[0].BitsPerPixel, 8);
    EXPECT_EQ(BitmapColour(later.Pages[0], 0, 0), 0xFF00FF00u);
    ASSERT_EQ(Feed(feed, gif, ends[1], gif.size()), TK_Success);
    EXPECT_EQ(TK_StopFeedLoad(feed), TK_Success);
    EXPECT_EQ(later.Pages.size(), 2u);
}

// Every GIF of testdata fed in pieces gives the pages and pixels a load of the file gives, at
// every depth; a file whose data is damaged ends its feed with a failure too.
TEST_F(ToolkitLibraryTest, FedGifsGiveThePagesOfTheFile)
{
    for (const char* folder : {"gif/suite", "gif/other", "gif/pillow", "gif/malformed"}) {
        const QDir dir(TestDataPath(QLatin1String(folder)));
        for (const QString& name : dir.entryList({QStringLiteral("*.gif")}, QDir::Files)) {
            const QString path = dir.filePath(name);
            const QByteArray data = ReadFile(path);
            for (int bits : {0, 8}) {
                TKBitmap bitmap;
                TFeedPages loaded;
                const int load =
                    TK_LoadFile(path, &bitmap, sizeof bitmap, bits, 4, 19, KeepPages, &loaded, nullptr, nullptr);
                for (qsizetype piece : {qsizetype(5), qsizetype(4096)}) {
                    SCOPED_TRACE(QStringLiteral("%1/%2 at %3 bits in pieces of %4")
                                     .arg(QLatin1String(folder), name)
                                     .arg(bits)
                                     .arg(piece)
                                     .toStdString());
                    TFeedPages fed;
                    TKFeedHandle feed = 0;
                    ASSERT_EQ(TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, bits, 1, 19, KeepPages, &fed, nullptr),
                              TK_Success);
                    int fedResult = TK_Success;
                    for (qsizetype at = 0; at < data.size() && fedResult == TK_Success; at += piece)
                        fedResult = Feed(feed, data, at, std::min(at + piece, data.size()));
                    const int stop = TK_StopFeedLoad(feed);
                    if (load != TK_Success) {
                        // Damaged data fails either way; a file too large to decode whole may
                        // still arrive a page at a time within the limits.
                        if (load == TK_ErrReadFile) {
                            EXPECT_TRUE(fedResult != TK_Success || stop != TK_Success);
                        }
                        continue;
                    }
                    EXPECT_EQ(fedResult, TK_Success);
                    EXPECT_EQ(stop, TK_Success);
                    ASSERT_EQ(fed.Pages.size(), loaded.Pages.size());
                    for (size_t i = 0; i < fed.Pages.size(); ++i) {
                        EXPECT_EQ(fed.Pages[i].Width, loaded.Pages[i].Width) << i;
                        EXPECT_EQ(fed.Pages[i].BitsPerPixel, loaded.Pages[i].BitsPerPixel) << i;
                        EXPECT_EQ(fed.Pages[i].Palette, loaded.Pages[i].Palette) << i;
                        EXPECT_TRUE(*fed.Pages[i].Pixels == *loaded.Pages[i].Pixels) << i;
                    }
                }
            }
        }
    }
}

TEST_F(ToolkitLibraryTest, FeedCallbackAnswersEndTheFeedWhereTheyAreGiven)
{
    const QByteArray gif = MakeGif(3, true);
    const qsizetype firstEnd = FrameEnds(gif)[0];
    struct {
        const char* Name;
        int Answer;
        bool StopFromCallback;
        int FirstFeed, LaterFeed, Stop;
        size_t Pages;
    } cases[] = {
        {"enough", 2, false, TK_Success, TK_Success, TK_Success, 1},
        {"stop", 0, false, TK_ErrUserAbort, TK_ErrUserAbort, TK_ErrUserAbort, 1},
        {"stopped from the callback", TK_Success, true, TK_Success, TK_ErrParameter, TK_ErrParameter, 1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.Name);
        TKBitmap bitmap;
        TFeedPages fed;
        fed.AnswerAt = 1;
        fed.Answer = t.Answer;
        TKFeedHandle feed = 0;
        ASSERT_EQ(TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, 32, 1, 19, KeepPages, &fed, nullptr), TK_Success);
        if (t.StopFromCallback)
            fed.StopFrom = feed;
        EXPECT_EQ(Feed(feed, gif, 0, firstEnd), t.FirstFeed);
        EXPECT_EQ(Feed(feed, gif, firstEnd, gif.size()), t.LaterFeed);
        EXPECT_EQ(TK_StopFeedLoad(feed), t.Stop);
        EXPECT_EQ(fed.Pages.size(), t.Pages);
        if (t.StopFromCallback) {
            EXPECT_EQ(fed.StopResult, TK_ErrUserAbort);
        }
    }
}

// Bytes between frames that are no GIF block end the walk; the library's reader passes over
// them, so the stop delivers the pages after them from the whole file.
TEST_F(ToolkitLibraryTest, FeedLeavesThePagesAfterStrayBytesToTheStop)
{
    QByteArray gif = MakeGif(3, true);
    const qsizetype firstEnd = FrameEnds(gif)[0];
    gif.insert(firstEnd, '\x00');
    const QString path = Fixture("stray.gif", gif);
    TKBitmap bitmap;
    TFeedPages loaded, fed;
    ASSERT_EQ(TK_LoadFile(path, &bitmap, sizeof bitmap, 32, 4, 19, KeepPages, &loaded, nullptr, nullptr),
              TK_Success);
    ASSERT_EQ(loaded.Pages.size(), 3u);
    TKFeedHandle feed = 0;
    ASSERT_EQ(TK_StartFeedLoad(&feed, &bitmap, sizeof bitmap, 32, 1, 19, KeepPages, &fed, nullptr), TK_Success);
    ASSERT_EQ(Feed(feed, gif, 0, gif.size()), TK_Success);
    EXPECT_EQ(fed.Pages.size(), 1u);
    EXPECT_EQ(TK_StopFeedLoad(feed), TK_Success);
    ASSERT_EQ(fed.Pages.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(*fed.Pages[i].Pixels == *loaded.Pages[i].Pixels) << i;
}

} // namespace
