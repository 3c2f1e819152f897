#include "imaging/toolkit/toolkit_image.h"

#include "framework/data_link.h"
#include "imaging/toolkit/toolkit_regions.h"
#include "imaging/toolkit/toolkit_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using imaging_test::EncodeWith;
using imaging_test::ImagingTest;
using imaging_test::Solid;
using imaging_test::WriteFile;
using toolkit_test::MakeGif;

namespace {

class ToolkitMemoryTest : public ImagingTest {
protected:
    void SetUp() override
    {
        ImagingTest::SetUp();
        RegisterToolkitImageClasses();
    }
    static std::unique_ptr<TToolkitImage> Control(const char* name)
    {
        auto c = std::make_unique<TToolkitImage>();
        c->SetName(QLatin1String(name));
        return c;
    }
};

// The message of the exception fn raises (of any framework class), or an empty text.
QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

// Blue, green, red, alpha of a pixel of a bitmap record.
std::vector<int> PixelAt(const TKBitmap& b, int x, int y)
{
    const uint8_t* p = b.Row(y) + x * (b.BitsPerPixel / 8);
    std::vector<int> v{p[0], p[1], p[2]};
    v.push_back(b.BitsPerPixel == 32 ? p[3] : 255);
    return v;
}

const std::vector<int> Red{0, 0, 255, 255}, Lime{0, 255, 0, 255}, Blue{255, 0, 0, 255};

QByteArray Png(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    return EncodeWith(Solid(w, h, r, g, b, 255), "PNG");
}

int ListCount(TToolkitImage& c)
{
    return c.BitmapList ? c.BitmapListCount() : 0;
}

// Feeds data in small pieces, as a download delivers it.
void FeedInPieces(TToolkitImage& c, const QByteArray& data, int piece = 7)
{
    for (qsizetype at = 0; at < data.size(); at += piece)
        ASSERT_EQ(c.FeedLoad(reinterpret_cast<const uint8_t*>(data.constData()) + at,
                             int(std::min<qsizetype>(piece, data.size() - at))),
                  1);
}

// Three frames (red, lime, blue) cut inside the third: the first two arrived whole.
QByteArray GifCutInThirdFrame()
{
    const QByteArray gif = MakeGif(3, true);
    const qsizetype third = gif.lastIndexOf(QByteArray("\x21\xF9\x04", 3));
    return gif.left(third + 12);
}

int FirstPageColour(TKBitmap* bitmap, uint8_t*, uint32_t flags, int32_t, int32_t, void* userData)
{
    if (flags & TKRF_PageStart)
        static_cast<std::vector<std::vector<int>>*>(userData)->push_back(PixelAt(*bitmap, 0, 0));
    return 1;
}

// The toolkit layer under the control: pages after the first come from where they lie, in files
// and in memory, and memory saves read back.
TEST_F(ToolkitMemoryTest, ToolkitReadsPagesWhereTheyLieAndSavesToMemory)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("three.gif"));
    const QByteArray gif = MakeGif(3, true);
    WriteFile(file, gif);
    TKLoadOptions options;
    options.PageNumber = 2;
    std::vector<std::vector<int>> seen;
    TKBitmap bitmap;
    ASSERT_EQ(TK_LoadFile(file, &bitmap, sizeof bitmap, 32, 4, 19, FirstPageColour, &seen, &options, nullptr), 1);
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{Lime, Blue}));
    seen.clear();
    ASSERT_EQ(TK_LoadFile(file, &bitmap, sizeof bitmap, 32, 4, 3, FirstPageColour, &seen, &options, nullptr), 1);
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{Lime}));
    options.PageNumber = 3;
    ASSERT_EQ(TK_LoadBitmapMemory(gif.constData(), gif.size(), &bitmap, sizeof bitmap, 32, 1, &options, nullptr), 1);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), Blue);

    const QByteArray png = EncodeWith(imaging_test::Pattern(6, 5), "PNG");
    options.PageNumber = 1;
    ASSERT_EQ(TK_LoadBitmapMemory(png.constData(), png.size(), &bitmap, sizeof bitmap, 32, 1, &options, nullptr), 1);
    QByteArray saved;
    ASSERT_EQ(TK_SaveBitmapMemory(&bitmap, TKFMT_DATA, 32, -5, nullptr, &saved), 1);
    TKBitmap back;
    ASSERT_EQ(TK_LoadBitmapMemory(saved.constData(), saved.size(), &back, sizeof back, 32, 1, &options, nullptr), 1);
    EXPECT_EQ(*back.Pixels, *bitmap.Pixels);
    EXPECT_EQ(TK_SaveBitmapMemory(&bitmap, TKFMT_DATA, 8, 0, nullptr, &saved), TK_ErrBitsPerPixel);
}

TEST_F(ToolkitMemoryTest, MemoryLoadTakesOnePageAndNeverRaisesForBadData)
{
    auto c = Control("Image1");
    const QByteArray gif = MakeGif(3, true);
    ASSERT_EQ(c->LoadMemory(gif, 32, 2, int(gif.size())), 1);
    EXPECT_TRUE(c->HasBitmap);
    EXPECT_EQ(c->BitmapListCount(), 1);
    EXPECT_EQ(PixelAt(c->ToolkitBitmap, 0, 0), Lime);
    EXPECT_EQ(c->FileInfoPages, 3);
    EXPECT_EQ(c->FileInfoFormat, int(TKFMT_GIF));

    const QByteArray png = Png(5, 3, 255, 0, 0);
    const struct {
        QByteArray Memory;
        int Size;
        int Result;
    } bad[] = {
        {QByteArray(), 10, -3},                                     // no block
        {png, int(png.size()) + 1, TK_ErrParameter},                // a size beyond the block
        {png, 0, TK_ErrParameter},
        {QByteArray(64, 'x'), 64, TK_ErrFileFormat},                // no picture
        {png.left(png.size() / 2), int(png.size() / 2), 0},        // cut short: some failure
    };
    for (const auto& b : bad) {
        const int result = c->LoadMemory(b.Memory, 0, 1, b.Size);
        if (b.Result)
            EXPECT_EQ(result, b.Result) << b.Size;
        else
            EXPECT_LT(result, 0);
        EXPECT_EQ(c->LastResult, result);
        EXPECT_FALSE(c->HasBitmap);
        EXPECT_EQ(c->BitmapList, 0u);
    }
}

TEST_F(ToolkitMemoryTest, FeedLoadTakesThePagesWantedAndRefusesOtherWorkMeanwhile)
{
    const QByteArray gif = MakeGif(3, true);
    struct {
        int Pages;
        int Kept;
    } cases[] = {{-1, 3}, {1, 1}, {2, 2}};
    for (const auto& t : cases) {
        auto c = Control("Image1");
        int pages = 0;
        c->OnFilePage = [&](TObject*) { ++pages; };
        ASSERT_EQ(c->StartFeedLoad(0, 0, t.Pages), 1);
        EXPECT_FALSE(Raised([&] { c->Load(QStringLiteral("/nonexistent.png"), 0, 1, 1); }).isEmpty());
        FeedInPieces(*c, gif);
        ASSERT_EQ(c->StopFeedLoad(), 1);
        EXPECT_EQ(c->BitmapListCount(), t.Kept);
        EXPECT_EQ(pages, t.Kept);
        EXPECT_EQ(PixelAt(c->ToolkitBitmap, 5, 3), Red);
        // The control is free again.
        EXPECT_EQ(c->LoadMemory(Png(2, 2, 0, 0, 255), 0, 1, int(Png(2, 2, 0, 0, 255).size())), 1);
    }
}

TEST_F(ToolkitMemoryTest, StopOfDataCutShortKeepsThePagesThatArrivedAndStillReportsIt)
{
    auto c = Control("Image1");
    ASSERT_EQ(c->StartFeedLoad(0, 0, -1), 1);
    FeedInPieces(*c, GifCutInThirdFrame());
    EXPECT_EQ(Raised([&] { c->StopFeedLoad(); }),
              QStringLiteral("Image1 \nError code: -7\nStopFeedLoad: Error reading file. "));
    EXPECT_EQ(c->LastResult, TK_ErrReadFile);
    EXPECT_TRUE(c->HasBitmap);
    EXPECT_EQ(c->BitmapListCount(), 2);
    EXPECT_EQ(PixelAt(c->ToolkitBitmap, 0, 0), Red);

    // Nothing whole arrived: the control is left empty.
    c->SetEnableMethodErrors(false);
    ASSERT_EQ(c->StartFeedLoad(0, 0, -1), 1);
    FeedInPieces(*c, MakeGif(3, true).left(20));
    EXPECT_LT(c->StopFeedLoad(), 0);
    EXPECT_FALSE(c->HasBitmap);
    EXPECT_EQ(c->BitmapList, 0u);
}

TEST_F(ToolkitMemoryTest, FeedCallsWithoutAStartRaiseInvalidOperation)
{
    auto c = Control("Image1");
    const uint8_t byte = 0;
    for (const auto& call : std::vector<std::function<void()>>{[&] { c->FeedLoad(&byte, 1); },
                                                                [&] { c->StopFeedLoad(); }}) {
        c->LastResult = 5;
        bool invalidOperation = false;
        try {
            call();
        } catch (const EInvalidOperation& e) {
            invalidOperation = true;
            EXPECT_EQ(e.Message(), QStringLiteral("Image1 \nFeedLoad: Feed Load not Started."));
        }
        EXPECT_TRUE(invalidOperation);
        EXPECT_EQ(c->LastResult, 0);
    }
}

TEST_F(ToolkitMemoryTest, FeedBeyondTheSizeLimitFailsAndEndsTheFeed)
{
    auto c = Control("Image1");
    c->SetEnableMethodErrors(false);
    ASSERT_EQ(c->StartFeedLoad(0, 0, -1), 1);
    const QByteArray big(int(ImagingLimits().MaxFileBytes / 2 + 1), 'x');
    EXPECT_EQ(c->FeedLoad(reinterpret_cast<const uint8_t*>(big.constData()), int(big.size())), 1);
    EXPECT_EQ(c->FeedLoad(reinterpret_cast<const uint8_t*>(big.constData()), int(big.size())), TK_ErrNoMemory);
    EXPECT_FALSE(c->HasBitmap);
    // The feed is over: the control takes other work again.
    EXPECT_THROW(c->StopFeedLoad(), EInvalidOperation);
    EXPECT_EQ(c->LoadMemory(Png(2, 2, 0, 0, 255), 0, 1, int(Png(2, 2, 0, 0, 255).size())), 1);
}

TEST_F(ToolkitMemoryTest, SwitchingProgressOffStopsTheFeedWithoutStoppingTheNextLoad)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("next.gif"));
    WriteFile(file, MakeGif(2, true));
    auto c = Control("Image1");
    c->SetEnableMethodErrors(false);
    c->SetEnableProgressEvent(true);
    c->OnStatus = [&](TObject*, int) { c->SetEnableProgressEvent(false); };
    ASSERT_EQ(c->StartFeedLoad(0, 0, -1), 1);
    // The first page is decoded by the feed call that completes it: that call stops the feed.
    const QByteArray gif = MakeGif(3, true);
    EXPECT_EQ(c->FeedLoad(reinterpret_cast<const uint8_t*>(gif.constData()), int(gif.size())), TK_ErrUserAbort);
    EXPECT_FALSE(c->HasBitmap);
    EXPECT_EQ(c->BitmapList, 0u);
    EXPECT_THROW(c->StopFeedLoad(), EInvalidOperation);
    c->OnStatus = nullptr;
    EXPECT_EQ(c->Load(file, 0, 1, -1), 1);
    EXPECT_EQ(c->BitmapListCount(), 2);
}

TEST_F(ToolkitMemoryTest, WritingToolkitBitmapCopiesOrTakesTheCallersPixels)
{
    auto c = Control("Image1");
    const QByteArray gif = MakeGif(3, true);
    ASSERT_EQ(c->StartFeedLoad(0, 0, -1), 1);
    FeedInPieces(*c, gif);
    ASSERT_EQ(c->StopFeedLoad(), 1);
    c->BitmapListIndex = 1;

    // A copy replaces the current item; the caller keeps its own pixels.
    TKBitmap mine;
    ASSERT_EQ(TK_AllocateBitmap(&mine, 4, 2, 24), 1);
    std::memset(mine.Pixels->data(), 0x40, mine.Pixels->size());
    c->SetToolkitBitmap(mine);
    EXPECT_EQ(c->LastResult, 1);
    EXPECT_EQ(c->BitmapListCount(), 3);
    EXPECT_EQ(c->BitmapListIndex, 1);
    EXPECT_EQ(c->ToolkitBitmap.Width, 4);
    EXPECT_TRUE(IsBitmapAllocated(&mine));
    EXPECT_NE(c->ToolkitBitmap.Pixels, mine.Pixels);
    TKBitmap item;
    ASSERT_EQ(TK_GetBitmapListItem(c->BitmapList, 1, &item), 1);
    EXPECT_EQ(item.Pixels, c->ToolkitBitmap.Pixels);

    // With RefBitmap the control takes the pixels and the caller's record is emptied.
    c->SetRefBitmap(true);
    const auto pixels = mine.Pixels;
    c->SetToolkitBitmap(mine);
    EXPECT_EQ(c->ToolkitBitmap.Pixels, pixels);
    EXPECT_FALSE(IsBitmapAllocated(&mine));
    EXPECT_EQ(mine.Width, 0);
    EXPECT_FALSE(mine.Pixels);

    // A record whose sizes disagree with its pixels is refused; the caller keeps it.
    TKBitmap lying;
    ASSERT_EQ(TK_AllocateBitmap(&lying, 4, 2, 24), 1);
    lying.Height = 400;
    c->SetToolkitBitmap(lying);
    EXPECT_EQ(c->LastResult, TK_ErrBitmapHandle);
    EXPECT_FALSE(c->HasBitmap);
    EXPECT_TRUE(IsBitmapAllocated(&lying));

    // A record without a size deletes the current item and shows the one now in its place; with
    // no item left the list goes.
    TKBitmap none;
    c->SetToolkitBitmap(none);
    EXPECT_TRUE(c->HasBitmap);
    EXPECT_EQ(c->BitmapListCount(), 1);
    EXPECT_EQ(c->BitmapListIndex, 0);
    auto empty = Control("Image2");
    empty->SetToolkitBitmap(none);
    EXPECT_EQ(empty->BitmapList, 0u);
    EXPECT_FALSE(empty->HasBitmap);
}

TEST_F(ToolkitMemoryTest, NewPictureDropsTheFloaterButKeepsAutoFloater)
{
    auto c = Control("Image1");
    const QByteArray png = Png(10, 8, 0, 255, 0);
    ASSERT_EQ(c->LoadMemory(png, 24, 1, int(png.size())), 1);
    ASSERT_EQ(TK_SetBitmapRgnRect(&c->ToolkitBitmap, nullptr, TRect{2, 2, 6, 5}, TKRGN_Replace), TK_Success);
    c->SetEnableFloater(true);
    ASSERT_EQ(c->Floater(), TK_Success);
    ASSERT_EQ(c->FloaterBitmap().Width, 4);
    TKBitmap next;
    ASSERT_EQ(TK_AllocateBitmap(&next, 3, 3, 24), 1);
    c->SetToolkitBitmap(next);
    EXPECT_FALSE(IsBitmapAllocated(&c->FloaterBitmap()));
    EXPECT_TRUE(c->AutoFloater());
    EXPECT_EQ(c->ToolkitBitmap.Width, 3);
}

TEST_F(ToolkitMemoryTest, OCXBitmapBlockCarriesThePictureToAnotherControl)
{
    auto a = Control("Image1");
    auto b = Control("Image2");
    EXPECT_TRUE(a->OCXBitmap().isEmpty());
    const QByteArray png = EncodeWith(imaging_test::Pattern(7, 5), "PNG");
    ASSERT_EQ(a->LoadMemory(png, 32, 1, int(png.size())), 1);
    const QByteArray block = a->OCXBitmap();
    ASSERT_EQ(block.size(), 48 + 7 * 4 * 5);
    EXPECT_EQ(a->OCXBitmap().constData(), block.constData()); // made once per picture
    b->SetOCXBitmap(block);
    EXPECT_EQ(b->LastResult, 1);
    ASSERT_TRUE(b->HasBitmap);
    EXPECT_EQ(b->ToolkitBitmap.Width, 7);
    EXPECT_EQ(b->ToolkitBitmap.BitsPerPixel, 32);
    EXPECT_EQ(*b->ToolkitBitmap.Pixels, *a->ToolkitBitmap.Pixels);

    // The short form is followed only to a record of a control of this process.
    QByteArray shortForm("tkbm\x18\0\0\0", 8);
    const TKBitmap* address = &a->ToolkitBitmap;
    shortForm.append(reinterpret_cast<const char*>(&address), sizeof address);
    auto c = Control("Image3");
    c->SetOCXBitmap(shortForm);
    EXPECT_EQ(*c->ToolkitBitmap.Pixels, *a->ToolkitBitmap.Pixels);
    EXPECT_NE(c->ToolkitBitmap.Pixels, a->ToolkitBitmap.Pixels);
    TKBitmap stray;
    address = &stray;
    shortForm.replace(8, sizeof address, QByteArray(reinterpret_cast<const char*>(&address), sizeof address));
    EXPECT_EQ(Raised([&] { c->SetOCXBitmap(shortForm); }),
              QStringLiteral("Image3 \nError code: -2\nOCXBitmap: Invalid bitmap handle. "));
    EXPECT_TRUE(c->HasBitmap);

    // The kept block goes with the picture.
    a->SetOCXBitmap(QByteArray());
    a->ClearImage();
    a->ImageChanged();
    EXPECT_TRUE(a->OCXBitmap().isEmpty());
}

TEST_F(ToolkitMemoryTest, DamagedBlocksAreRefusedAndTheShownPictureStays)
{
    auto a = Control("Image1");
    ASSERT_EQ(a->LoadMemory(Png(3, 2, 0, 255, 0), 24, 1, int(Png(3, 2, 0, 255, 0).size())), 1);
    const QByteArray good = a->OCXBitmap();
    const auto patched = [&](int at, uint32_t value) {
        QByteArray d = good;
        for (int i = 0; i < 4; ++i)
            d[at + i] = char(uint8_t(value >> (8 * i)));
        return d;
    };
    const struct {
        QByteArray Block;
        int Code;
    } bad[] = {
        {good.left(40), TK_ErrFileFormat},         // shorter than its header
        {patched(0, 40), TK_ErrFileFormat},        // another header size
        {good.left(good.size() - 1), TK_ErrReadFile}, // rows cut short
        {patched(4, 0x7FFFFFFF), TK_ErrWidthHeight},
        {patched(8, 0xFFFFFFFF), TK_ErrWidthHeight},
        {patched(12, 8), TK_ErrBitsPerPixel},
        {patched(16, 4), TK_ErrReadFile},          // row bytes that do not fit the width
        {patched(40, 0xFFFFFF00), TK_ErrReadFile}, // pixel bytes past the block
        {patched(24, 9), TK_ErrParameter},
    };
    auto b = Control("Image2");
    ASSERT_EQ(b->LoadMemory(Png(2, 2, 0, 0, 255), 24, 1, int(Png(2, 2, 0, 0, 255).size())), 1);
    for (const auto& t : bad) {
        EXPECT_EQ(Raised([&] { b->SetOCXBitmap(t.Block); }).section('\n', 1, 1),
                  QStringLiteral("Error code: %1").arg(t.Code));
        EXPECT_EQ(b->LastResult, t.Code);
        EXPECT_EQ(b->ToolkitBitmap.Width, 2);
    }
}

TEST_F(ToolkitMemoryTest, BitmapListIsCopiedAndCountedOrRaisesWithoutAList)
{
    auto a = Control("Image1");
    auto b = Control("Image2");
    b->SetEnableMethodErrors(false);
    EXPECT_EQ(Raised([&] { b->BitmapListCount(); }), QStringLiteral("Image2 \nBitmapListCount: No bitmap list."));
    EXPECT_EQ(b->LastResult, TK_ErrBitmapHandle);

    ASSERT_EQ(a->StartFeedLoad(0, 0, -1), 1);
    FeedInPieces(*a, MakeGif(3, true));
    ASSERT_EQ(a->StopFeedLoad(), 1);
    b->SetBitmapList(a->BitmapList);
    EXPECT_EQ(b->LastResult, 1);
    EXPECT_EQ(b->BitmapListCount(), 3);
    EXPECT_NE(b->BitmapList, a->BitmapList);
    EXPECT_EQ(PixelAt(b->ToolkitBitmap, 0, 0), Red);
    EXPECT_NE(b->ToolkitBitmap.Pixels, a->ToolkitBitmap.Pixels);

    // Its own list, and a list that is not one.
    b->SetBitmapList(b->BitmapList);
    EXPECT_EQ(b->BitmapListCount(), 3);
    a->SetEnableMethodErrors(true);
    EXPECT_EQ(Raised([&] { a->SetBitmapList(9999); }),
              QStringLiteral("Image1 \nError code: -2\nBitmapList: Invalid bitmap handle. "));
    EXPECT_EQ(a->BitmapListCount(), 3);
    b->SetBitmapList(0);
    EXPECT_FALSE(b->HasBitmap);
    EXPECT_EQ(b->BitmapList, 0u);
}

// ---- Database link ---------------------------------------------------------------------------

class ToolkitDataTest : public ToolkitMemoryTest {
protected:
    void SetUp() override
    {
        ToolkitMemoryTest::SetUp();
        data.AddField(QStringLiteral("Id"), ftInteger);
        picture = data.AddField(QStringLiteral("Picture"), ftBlob);
        data.Open();
        source.SetDataSet(&data);
    }
    void AddRecord(const QVariant& blob)
    {
        data.Append();
        data.FieldByName(QStringLiteral("Id"))->SetValue(data.RecordCount() + 1);
        picture->SetValue(blob);
        data.Post();
    }
    TMemoryDataSet data;
    TDataSource source;
    TField* picture = nullptr;
};

TEST_F(ToolkitDataTest, PictureGoesIntoTheBlobBehindItsHeaderAndComesBack)
{
    auto writer = Control("Image1");
    EXPECT_EQ(writer->DataSaveQuality(), -1);
    writer->SetDataSource(&source);
    EXPECT_EQ(writer->DataSaveQuality(), -5);
    EXPECT_EQ(writer->DataSaveFormat(), 5);
    writer->SetDataField(QStringLiteral("Picture"));
    EXPECT_EQ(writer->DataField(), QStringLiteral("Picture"));

    AddRecord(QVariant());
    data.Edit();
    const QByteArray png = Png(6, 4, 255, 0, 0);
    ASSERT_EQ(writer->LoadMemory(png, 24, 1, int(png.size())), 1);
    data.Post();

    const QByteArray blob = picture->AsBytes();
    ASSERT_GE(blob.size(), 24);
    EXPECT_EQ(blob.left(8), QByteArray("TKBLOBHD"));
    EXPECT_EQ(imaging_test::DWord(blob, 8), 24u);
    EXPECT_EQ(imaging_test::DWord(blob, 12), uint32_t(blob.size() - 24));
    EXPECT_EQ(imaging_test::DWord(blob, 16), 0u);
    EXPECT_EQ(imaging_test::DWord(blob, 20), 0u);

    auto reader = Control("Image2");
    reader->SetDataSource(&source);
    reader->SetDataField(QStringLiteral("picture"));
    ASSERT_TRUE(reader->HasBitmap);
    EXPECT_EQ(reader->ToolkitBitmap.Width, 6);
    EXPECT_EQ(reader->FileInfoPages, 1);
    EXPECT_EQ(PixelAt(reader->ToolkitBitmap, 5, 3), Red);

    // A picture read from the field is not written back; a file loaded over it is.
    writer->SetDataSource(nullptr);
    data.Edit();
    data.Post();
    EXPECT_EQ(picture->AsBytes(), blob);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("blue.png"));
    WriteFile(file, Png(2, 2, 0, 0, 255));
    data.Edit();
    ASSERT_EQ(reader->Load(file, 24, 1, 1), 1);
    data.Post();
    EXPECT_NE(picture->AsBytes(), blob);
    EXPECT_EQ(PixelAt(reader->ToolkitBitmap, 1, 1), Blue);
}

TEST_F(ToolkitDataTest, BlobsWithoutOrWithDamagedHeadersAndOtherFields)
{
    AddRecord(Png(3, 3, 0, 0, 255));                           // a plain picture file
    AddRecord(QByteArray("TKBLOBHD\xFF\0\0\0", 12) + Png(3, 3, 0, 0, 255)); // header size past the blob
    auto c = Control("Image1");
    c->SetDataSource(&source);
    data.First();
    c->SetDataField(QStringLiteral("Picture"));
    ASSERT_TRUE(c->HasBitmap);
    EXPECT_EQ(PixelAt(c->ToolkitBitmap, 1, 1), Blue);

    EXPECT_EQ(Raised([&] { data.Next(); }),
              QStringLiteral("Image1 \nError code: -7\nDataField: Error reading file. "));
    EXPECT_FALSE(c->HasBitmap);

    EXPECT_EQ(Raised([&] { c->SetDataField(QStringLiteral("Id")); }),
              QStringLiteral("TToolkitImage.DataField can only be connected to columns of type Blob"));
    EXPECT_EQ(c->DataField(), QStringLiteral("Picture"));
    EXPECT_THROW(c->SetDataField(QStringLiteral("Missing")), EDatabaseError);
}

TEST_F(ToolkitDataTest, BlobThatDoesNotFitRaisesAndKeepsTheFieldsValue)
{
    TMemoryDataSet small;
    TField* field = small.AddField(QStringLiteral("Picture"), ftGraphic, 300);
    small.Open();
    TDataSource smallSource;
    smallSource.SetDataSet(&small);
    small.Append();
    const QByteArray old = Png(1, 1, 0, 0, 255);
    field->SetAsBytes(old);
    small.Post();

    auto c = Control("Image1");
    c->SetDataSource(&smallSource);
    c->SetDataField(QStringLiteral("Picture"));
    small.Edit();
    const QByteArray png = EncodeWith(imaging_test::Pattern(40, 40), "PNG");
    ASSERT_EQ(c->LoadMemory(png, 24, 1, int(png.size())), 1);
    EXPECT_EQ(Raised([&] { small.Post(); }),
              QStringLiteral("Image1 \nError code: -1\nDatabase: Not enough memory available. "));
    EXPECT_EQ(field->AsBytes(), old);

    // Without a picture the field is cleared.
    small.Cancel();
    small.Edit();
    c->SetEnableMethodErrors(false);
    c->ClearImage();
    c->SetBitmapList(0);
    small.Post();
    EXPECT_TRUE(field->IsNull());
}

TEST_F(ToolkitDataTest, SourceThatGoesAwayLeavesTheControlUnlinked)
{
    auto c = Control("Image1");
    {
        TDataSource transient;
        transient.SetDataSet(&data);
        c->SetDataSource(&transient);
        EXPECT_EQ(c->DataSource(), &transient);
        c->SetReadOnly(true);
        EXPECT_TRUE(c->ReadOnly());
    }
    EXPECT_EQ(c->DataSource(), nullptr);
}

} // namespace
