#include "imaging/toolkit/toolkit_image.h"

#include "framework/exceptions.h"
#include "framework/forms.h"
#include "imaging/gif/gif_image.h"
#include "imaging/toolkit/toolkit_test_support.h"
#include "testsupport/testdata.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace imaging_test;
using namespace toolkit_test;

namespace {

class ToolkitImageTest : public ImagingTest {
protected:
    void SetUp() override
    {
        ImagingTest::SetUp();
        RegisterToolkitImageClasses();
    }
    QString Fixture(const char* name, const QByteArray& data) const
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, data);
        return path;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    static std::unique_ptr<TToolkitImage> Control(const char* name)
    {
        auto c = std::make_unique<TToolkitImage>();
        c->SetName(QLatin1String(name));
        return c;
    }
    QTemporaryDir dir;
};

// The message of the exception fn raises, or an empty text when it raises none.
QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EToolkitImageError& e) {
        return e.Message();
    }
    return QString();
}

TRGBABuffer ReadPng(const QString& path)
{
    TRGBABuffer picture;
    EXPECT_EQ(ReadPictureData(ReadFile(path), ".png", picture), TPictureReadResult::Ok) << path.toStdString();
    return picture;
}

std::vector<uint8_t> PixelOf(const TRGBABuffer& p, int x, int y)
{
    const uint8_t* px = Px(p, x, y);
    return {px[0], px[1], px[2], px[3]};
}

// The two hidden controls of the multi-frame viewer splitting a layered picture, exactly as it
// calls them: the composite and one 24-bit file per layer.
TEST_F(ToolkitImageTest, ViewerRoadSplitsLayeredPictures)
{
    struct TLayerWant {
        int Width, Height;
        std::vector<uint8_t> Corner; // red, green, blue, alpha of pixel (0, 0)
    };
    const struct {
        const char* File;
        QByteArray Data;
        std::vector<uint8_t> Composite;
        std::vector<TLayerWant> Layers;
    } cases[] = {
        {"two.psd", TwoLayerPsd(), {255, 255, 255, 255}, {{40, 30, {255, 0, 0, 255}}, {10, 8, {127, 127, 255, 255}}}},
        {"three.psd",
         ThreeLayerPsd(),
         {128, 128, 128, 255},
         {{32, 24, {255, 255, 0, 255}}, {12, 6, {0, 128, 0, 255}}, {6, 6, {255, 191, 255, 255}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        const QString file = Fixture(c.File, c.Data);
        auto one = Control("ToolkitImage1");
        auto two = Control("ToolkitImage2");
        one->SetAutoSize(true);
        one->DoubleBuffer = 1;
        two->DoubleBuffer = 1;

        EXPECT_EQ(one->Load(file, 32, 1, 1), 1);
        const int layers = one->InfoLayerCount;
        ASSERT_EQ(layers, int(c.Layers.size()));
        const QString composite = Path(QStringLiteral("gif_1_%1.png").arg(layers));
        EXPECT_EQ(one->Save(composite, 75, 32, 2, 0), 1);
        const TRGBABuffer back = ReadPng(composite);
        EXPECT_EQ(back.Width, one->FileInfoWidth);
        EXPECT_EQ(PixelOf(back, 0, 0), c.Composite);

        for (int i = 0; i < layers; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(two->LoadLayer(file, 0, i), 1);
            const QString path = Path(QStringLiteral("gif_1_%1.png").arg(i));
            EXPECT_EQ(two->Save(path, 10, 24, 2, 0), 1);
            EXPECT_EQ(uint8_t(ReadFile(path)[25]), 2) << "RGB without alpha";
            const TRGBABuffer layer = ReadPng(path);
            EXPECT_EQ(layer.Width, c.Layers[size_t(i)].Width);
            EXPECT_EQ(layer.Height, c.Layers[size_t(i)].Height);
            EXPECT_EQ(PixelOf(layer, 0, 0), c.Layers[size_t(i)].Corner);
        }
    }
}

TEST_F(ToolkitImageTest, DamagedPictureKeepsItsLayerCountAndRefusesTheSave)
{
    const QByteArray whole = ThreeLayerPsd();
    const QString file = Fixture("cut.psd", whole.left(whole.size() / 2));
    auto one = Control("ToolkitImage1");
    const int result = one->Load(file, 32, 1, 1);
    EXPECT_LT(result, 0);
    EXPECT_EQ(one->LastResult, result);
    EXPECT_EQ(one->InfoLayerCount, 3);
    EXPECT_EQ(one->HasBitmap, 0);
    EXPECT_EQ(one->BitmapList, 0u);
    EXPECT_EQ(Raised([&] { one->Save(Path("x.png"), 75, 32, 2, 0); }), QStringLiteral("ToolkitImage1 \nSave: Image not allocated."));
    EXPECT_EQ(one->LastResult, TK_ErrBitmapHandle);
    // Whatever EnableMethodErrors says.
    one->SetEnableMethodErrors(false);
    EXPECT_FALSE(Raised([&] { one->Save(Path("x.png"), 75, 32, 2, 0); }).isEmpty());
    EXPECT_FALSE(QFile::exists(Path("x.png")));
}

// Save options 1 to 3 of the control: page 2 appends, 2 inserts before SavePage, 3 replaces it.
TEST_F(ToolkitImageTest, PageSavesAddToATiffAndOtherFormatsRefuseThem)
{
    auto image = Control("ToolkitImage1");
    const auto pagesOf = [](const QString& path) {
        TKFileInfo info;
        EXPECT_EQ(TK_FileInfo(path, &info, sizeof info, 1, nullptr), TK_Success);
        return info.TotalPages;
    };
    const auto show = [&](uint8_t red) {
        ASSERT_EQ(image->Load(Fixture("show.png", EncodeWith(Solid(6, 4, red, 0, 0, 255), "PNG")), 0, 1, 1), 1);
    };
    const QString tiff = Path("pages.tif");
    show(10);
    ASSERT_EQ(image->Save(tiff, TKFMT_TIFF, 24, 2, 0), 1);
    show(20);
    ASSERT_EQ(image->Save(tiff, TKFMT_TIFF, 24, 2, 1), 1);
    EXPECT_EQ(pagesOf(tiff), 2);
    show(30);
    image->SavePage = 1;
    ASSERT_EQ(image->Save(tiff, TKFMT_TIFF, 24, 2, 2), 1);
    EXPECT_EQ(pagesOf(tiff), 3);
    show(40);
    image->SavePage = 3;
    ASSERT_EQ(image->Save(tiff, TKFMT_TIFF, 24, 2, 3), 1);
    EXPECT_EQ(pagesOf(tiff), 3);
    std::vector<int> reds;
    for (int page = 1; page <= 3; ++page) {
        ASSERT_EQ(image->Load(tiff, 24, page, 1), 1);
        reds.push_back(image->ToolkitBitmap.Row(0)[2]);
    }
    EXPECT_EQ(reds, (std::vector<int>{30, 10, 40}));

    // A PNG has one page: the save raises and the file stays.
    const QString png = Fixture("one.png", EncodeWith(Solid(3, 3, 1, 2, 3, 255), "PNG"));
    const QByteArray before = ReadFile(png);
    EXPECT_EQ(Raised([&] { image->Save(png, TKFMT_PNG, 24, 2, 2); }),
              QStringLiteral("ToolkitImage1 \nError code: -16\nSave: Feature not supported. "));
    EXPECT_EQ(ReadFile(png), before);
}

// Every GIF the program's own GIF reader opens loads through the control with its pages, also
// those whose damage the image library will not patch up (codes past the colour table, frames
// cut short, frames of no size).
TEST_F(ToolkitImageTest, EveryGifTheProgramReadsLoadsWithItsPages)
{
    SetImagingLimits(TImagingLimits());
    // Frames 65535 pixels long lie beyond the control's side limit: refused before decoding.
    const QStringList tooLong = {QStringLiteral("max-width.gif"), QStringLiteral("max-height.gif")};
    // A stray byte after the first frame ends the program's reader there, by its own rule; the
    // image library reads on to the three frames after it.
    const QString readOn = QStringLiteral("undefined-disposal.gif");
    int opened = 0;
    QDirIterator files(TestDataPath(QStringLiteral(".")), {QStringLiteral("*.gif")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        TGIFImage gif;
        try {
            gif.LoadFromFile(path);
        } catch (const Exception&) {
            continue;
        }
        if (gif.GetCount() == 0)
            continue;
        ++opened;
        TKFileInfo info;
        const int described = TK_FileInfo(path, &info, sizeof info, 1, nullptr);
        if (tooLong.contains(QFileInfo(path).fileName())) {
            EXPECT_EQ(described, TK_ErrWidthHeight);
            continue;
        }
        ASSERT_EQ(described, TK_Success);
        EXPECT_EQ(info.Format, TKFMT_GIF);
        auto image = Control("ToolkitImage1");
        ASSERT_EQ(image->Load(path, 0, 1, -1), 1);
        int32_t pages = 0;
        TK_GetBitmapListCount(image->BitmapList, &pages);
        EXPECT_EQ(pages, info.TotalPages);
        if (QFileInfo(path).fileName() == readOn)
            EXPECT_GT(pages, gif.GetCount());
        else
            EXPECT_EQ(pages, gif.GetCount());
    }
    EXPECT_GT(opened, 80);
}

TEST_F(ToolkitImageTest, FailuresRaiseTheResultCheckMessageUnlessSwitchedOff)
{
    const QString psd = Fixture("two.psd", TwoLayerPsd());
    auto two = Control("ToolkitImage2");
    EXPECT_EQ(Raised([&] { two->LoadLayer(psd, 0, 2); }),
              QStringLiteral("ToolkitImage2 \nError code: -800\nLoadLayer: Invalid layer index. "));
    EXPECT_EQ(two->LastResult, TK_ErrLayerIndex);
    EXPECT_EQ(two->HasBitmap, 0);
    EXPECT_EQ(two->BitmapList, 0u);
    EXPECT_EQ(Raised([&] { two->LoadLayer(Path("missing.psd"), 0, 0); }),
              QStringLiteral("ToolkitImage2 \nError code: -10\nLoadLayer: File not found. "));

    ASSERT_EQ(two->LoadLayer(psd, 0, 1), 1);
    EXPECT_EQ(Raised([&] { two->Save(Path("no/folder/x.png"), 10, 24, 2, 0); }),
              QStringLiteral("ToolkitImage2 \nError code: -5\nSave: Error writing file. "));
    EXPECT_EQ(Raised([&] { two->Save(Path("x.png"), 10, 32, 2, 0); }),
              QStringLiteral("ToolkitImage2 \nError code: -27\nSave: Invalid bits/pixel. "));

    two->SetEnableMethodErrors(false);
    EXPECT_EQ(two->Save(Path("x.png"), TKFMT_RLE, 24, 2, 0), TK_ErrNotSupported);
    EXPECT_EQ(two->LoadLayer(psd, 0, 5), TK_ErrLayerIndex);
    EXPECT_EQ(two->LastResult, TK_ErrLayerIndex);
    // A failed operation does not keep the next load from running.
    EXPECT_EQ(two->LoadLayer(psd, 0, 0), 1);
    // Load reports a file it cannot read without raising.
    two->SetEnableMethodErrors(true);
    EXPECT_EQ(two->Load(Fixture("words.psd", "not a picture"), 32, 1, 1), TK_ErrFileFormat);
}

TEST_F(ToolkitImageTest, PagesAskedForDecideWhatTheListHolds)
{
    const QString gif = Fixture("three.gif", MakeGif(3, true));
    const struct {
        int FirstPage, Pages, Items;
    } cases[] = {{1, 1, 1}, {1, -1, 3}, {1, 2, 2}, {2, -1, 2}, {1, 0, 0}};
    for (const auto& c : cases) {
        auto image = Control("ToolkitImage1");
        int filePages = 0;
        image->OnFilePage = [&](TObject*) { ++filePages; };
        EXPECT_EQ(image->Load(gif, 32, c.FirstPage, c.Pages), 1) << c.Pages;
        int32_t count = 0;
        if (c.Items == 0) {
            EXPECT_EQ(image->HasBitmap, 0);
            continue;
        }
        ASSERT_EQ(TK_GetBitmapListCount(image->BitmapList, &count), TK_Success);
        EXPECT_EQ(count, c.Items) << c.Pages;
        EXPECT_EQ(filePages, c.Items);
        EXPECT_EQ(image->BitmapListIndex, 0);
        TKBitmap first;
        ASSERT_EQ(TK_GetBitmapListItem(image->BitmapList, 0, &first), TK_Success);
        EXPECT_EQ(first.Pixels, image->ToolkitBitmap.Pixels);
        EXPECT_EQ(image->FileInfoPages, 3);
    }
}

TEST_F(ToolkitImageTest, AnimatedSaveWritesEveryPageWithTheLoadedSettings)
{
    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->Load(Fixture("loop.gif", MakeGif(3, true)), 32, 1, -1), 1);
    EXPECT_TRUE(image->Animation.Loop);
    const QString out = Path("out.gif");
    ASSERT_EQ(image->Save(out, TKFMT_GIF, 8, 0, 0), 1);
    TKFileInfo info;
    ASSERT_EQ(TK_FileInfo(out, &info, sizeof info, 1, nullptr), TK_Success);
    EXPECT_EQ(info.TotalPages, 3);
    EXPECT_TRUE(info.Flags & TKFI_Loop);
    EXPECT_EQ(info.ScreenWidth, 6);
}

TEST_F(ToolkitImageTest, SwitchingProgressOffStopsTheRunAndKeepsTheOldFile)
{
    const QString psd = Fixture("two.psd", TwoLayerPsd());
    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->LoadLayer(psd, 0, 0), 1);
    image->SetEnableProgressEvent(true);
    std::vector<int> percents;
    image->OnStatus = [&](TObject*, int percent) {
        percents.push_back(percent);
        if (percent >= 50)
            image->SetEnableProgressEvent(false);
    };
    const QString target = Fixture("keep.png", "the file that was there");
    EXPECT_EQ(Raised([&] { image->Save(target, 10, 24, 2, 0); }),
              QStringLiteral("ToolkitImage1 \nError code: -29\nSave: Escape key pressed = - or user aborted operation. "));
    EXPECT_EQ(ReadFile(target), QByteArray("the file that was there"));
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 50);

    // A whole save reports its rows up to 100.
    percents.clear();
    image->OnStatus = [&](TObject*, int percent) { percents.push_back(percent); };
    image->SetEnableProgressEvent(true);
    EXPECT_EQ(image->Save(Path("whole.png"), 10, 24, 2, 0), 1);
    EXPECT_EQ(percents.back(), 100);

    // A load stopped the same way drops its pages.
    image->OnStatus = [&](TObject*, int) { image->SetEnableProgressEvent(false); };
    image->SetEnableProgressEvent(true);
    EXPECT_NE(image->Load(psd, 32, 1, 1), 1);
    EXPECT_EQ(image->HasBitmap, 0);
    EXPECT_EQ(image->BitmapList, 0u);
}

TEST_F(ToolkitImageTest, SavesWriteEachFormatAndIntoAFileAtTheOffsetWithOrWithoutProgress)
{
    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->Load(Fixture("two.psd", TwoLayerPsd()), 32, 1, 1), 1);
    int lastPercent = -1;
    image->OnStatus = [&](TObject*, int percent) { lastPercent = percent; };
    for (bool progress : {false, true}) {
        image->SetEnableProgressEvent(progress);
        // The frame format is always written at its one size, from rows of a resized copy.
        const QString frame = Path(QStringLiteral("frame.ras"));
        lastPercent = -1;
        ASSERT_EQ(image->Save(frame, TKFMT_FRAME, 24, 0, 0), 1);
        EXPECT_EQ(lastPercent, progress ? 100 : -1);
        TKFileInfo info;
        ASSERT_EQ(TK_FileInfo(frame, &info, sizeof info, 1, nullptr), TK_Success);
        EXPECT_EQ(info.Format, TKFMT_FRAME);
        EXPECT_EQ(info.Width, TKFRAME_Width);
        EXPECT_EQ(info.Height, TKFRAME_Height);
        EXPECT_EQ(image->ToolkitBitmap.Width, 40);

        const QByteArray filler(3000, 'z');
        const QString container = Fixture("container.bin", filler);
        image->SaveOffsetHandle = 1;
        image->SaveOffset = 10;
        image->SaveSize = 0;
        ASSERT_EQ(image->Save(container, TKFMT_TGA, 24, 0, 0), 1);
        image->SaveOffsetHandle = 0;
        const QByteArray after = ReadFile(container);
        EXPECT_EQ(after.left(10), filler.left(10));
        ASSERT_GT(image->SaveSize, 0);
        ASSERT_LE(10 + image->SaveSize, after.size());
        EXPECT_EQ(after.mid(10 + image->SaveSize), filler.mid(10 + image->SaveSize));
        const QString piece = Fixture("piece.tga", after.mid(10, image->SaveSize));
        ASSERT_EQ(TK_FileInfo(piece, &info, sizeof info, 1, nullptr), TK_Success);
        EXPECT_EQ(info.Format, TKFMT_TGA);
        EXPECT_EQ(info.Width, 40);
        EXPECT_EQ(info.Height, 30);
    }
}

// A 256-colour picture loaded at 8 bits keeps its palette, shows in its colours, and an 8-bit GIF
// save writes that palette, its last entry included, as the file's global table.
TEST_F(ToolkitImageTest, PaletteLoadShowsAndSavesItsPalette)
{
    const QString gif = Fixture("colours.gif", MakeGif256());
    const std::vector<uint32_t> table = GifGlobalTable(ReadFile(gif));
    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->Load(gif, 8, 1, 1), 1);
    EXPECT_EQ(image->BitmapBits, 8);
    EXPECT_EQ(image->ToolkitBitmap.Palette, table);
    EXPECT_EQ(image->Animation.Bits, 8);
    ASSERT_TRUE(image->Animation.HasPalette);
    EXPECT_EQ(std::vector<uint32_t>(image->Animation.Palette, image->Animation.Palette + 256), table);

    const QImage shown = image->grab().toImage();
    EXPECT_EQ(shown.pixel(15, 15) & 0xFFFFFFu, 0xFF00F9u); // pixel 255: red 255, green 0, blue 249

    const QString out = Path(QStringLiteral("out.gif"));
    ASSERT_EQ(image->Save(out, TKFMT_GIF, 8, 0, 0), 1);
    EXPECT_EQ(GifGlobalTable(ReadFile(out)), table);
    // The table is the one of the animation properties, which the save hands on with its palette
    // flag, not whatever palette the bitmap has.
    std::reverse(image->Animation.Palette, image->Animation.Palette + 256);
    ASSERT_EQ(image->Save(out, TKFMT_GIF, 8, 0, 0), 1);
    EXPECT_EQ(GifGlobalTable(ReadFile(out)), std::vector<uint32_t>(table.rbegin(), table.rend()));
}

TEST_F(ToolkitImageTest, AnimationLoadedAtAPaletteDepthPlaysInItsColours)
{
    auto image = Control("ToolkitImage1");
    image->SetAutoAnimate(true);
    ASSERT_EQ(image->Load(Fixture("three.gif", MakeGif(3, true)), 8, 1, -1), 1);
    EXPECT_TRUE(image->AnimationEnable());
    const QImage shown = image->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 3) & 0xFFFFFFu, 0xFF0000u); // the first frame, red
    image->SetAnimationEnable(false);
    EXPECT_EQ(image->ToolkitBitmap.BitsPerPixel, 8);
}

TEST_F(ToolkitImageTest, OperationsStartedFromItsOwnEventsAreRefused)
{
    const QString gif = Fixture("two.gif", MakeGif(2, false));
    auto image = Control("ToolkitImage1");
    QString refused;
    image->OnFilePage = [&](TObject*) {
        refused = Raised([&] { image->Load(gif, 32, 1, 1); });
    };
    ASSERT_EQ(image->Load(gif, 32, 1, -1), 1);
    EXPECT_EQ(refused, QStringLiteral("ToolkitImage1 \nError code: 0\nProcessing Not allowed: Function not successful. "));
    int32_t count = 0;
    TK_GetBitmapListCount(image->BitmapList, &count);
    EXPECT_EQ(count, 2);
}

TEST_F(ToolkitImageTest, TheToolkitOptionFamiliesComeBackAfterEveryLoad)
{
    TKPDFOptions before;
    TK_GetPDFOptions(&before);
    TKPDFOptions marked = before;
    marked.XResolution = 300;
    TK_SetPDFOptions(&marked);
    TK_Set2DViewport(11, 22);

    auto image = Control("ToolkitImage1");
    image->SetRasterizeViewportWidth(800);
    for (const QString& file : {Fixture("ok.psd", TwoLayerPsd()), Path("missing.psd")}) {
        image->Load(file, 32, 1, 1);
        TKPDFOptions now;
        TK_GetPDFOptions(&now);
        EXPECT_EQ(now.XResolution, 300);
        int32_t w = 0, h = 0;
        TK_Get2DViewport(&w, &h);
        EXPECT_EQ(w, 11);
        EXPECT_EQ(h, 22);
    }
    TK_SetPDFOptions(&before);
    TK_Set2DViewport(640, 480);
}

TEST_F(ToolkitImageTest, InvalidValuesRaiseAndKeepTheOldValue)
{
    auto image = Control("ToolkitImage1");
    const struct {
        std::function<void()> Set;
        std::function<int()> Get;
        int Kept;
        const char* Message;
    } cases[] = {
        {[&] { image->SetPDFDisplayDepth(16); }, [&] { return image->PDFDisplayDepth(); }, 24,
         "ToolkitImage1 \n PDFDisplayDepth: Invalid value passed."},
        {[&] { image->SetPDFTextAlpha(3); }, [&] { return image->PDFTextAlpha(); }, 4,
         "ToolkitImage1 \n PDFTextAlpha : Invalid value passed."},
        {[&] { image->SetPDFGraphicsAlpha(8); }, [&] { return image->PDFGraphicsAlpha(); }, 1,
         "ToolkitImage1 \n PDFGraphicsAlpha: Invalid value passed."},
        {[&] { image->SetPDFXResolution(-1); }, [&] { return image->PDFXResolution(); }, 96,
         "ToolkitImage1 \n PDFXResolution: Invalid value passed."},
        {[&] { image->SetRasterizeViewportHeight(-5); }, [&] { return image->RasterizeViewportHeight(); }, 480,
         "ToolkitImage1 \n RasterizeViewportHeight: Invalid value passed."},
        {[&] { image->SetRasterizeViewMode(4); }, [&] { return image->RasterizeViewMode(); }, 1,
         "ToolkitImage1 \n RasterizeViewMode: Invalid value passed."},
        {[&] { image->SetPaintZoomFactor(-1); }, [&] { return image->PaintZoomFactor(); }, 100,
         "ToolkitImage1 \nPaintZoomFactor: Invalid value passed."},
    };
    image->SetEnableMethodErrors(false);
    for (const auto& c : cases) {
        EXPECT_EQ(Raised(c.Set), QLatin1String(c.Message));
        EXPECT_EQ(image->LastResult, TK_ErrParameter);
        EXPECT_EQ(c.Get(), c.Kept) << c.Message;
    }
}

TEST_F(ToolkitImageTest, ViewFollowsTheSizeModeZoomAndFrame)
{
    // A picture twice as tall as wide.
    const QString psd = Fixture("tall.psd", MakePsd(10, 20, 0x0000FFFF, {{10, 20, 0, 0, 0xFF0000FF, "Only"}}));
    auto image = Control("ToolkitImage1");
    image->SetBounds(0, 0, 100, 100);
    ASSERT_EQ(image->Load(psd, 32, 1, 1), 1);
    EXPECT_EQ(image->ViewWidth, 10);
    EXPECT_EQ(image->ViewHeight, 20);

    image->SetPaintSizeMode(TToolkitImage::smFit);
    EXPECT_DOUBLE_EQ(image->ZoomX(), 5.0);
    EXPECT_DOUBLE_EQ(image->ZoomY(), 5.0);
    EXPECT_EQ(image->ViewWidth, 50);
    EXPECT_EQ(image->ViewHeight, 100);

    image->SetPaintZoomFactor(0);
    EXPECT_EQ(image->PaintSizeMode(), TToolkitImage::smZoom);
    EXPECT_EQ(image->ViewWidth, 1);
    EXPECT_EQ(image->ViewHeight, 1);
    image->SetPaintZoomFactor(250);
    EXPECT_EQ(image->PaintZoomFactor(), 250);
    EXPECT_EQ(image->ViewWidth, 25);
    EXPECT_EQ(image->ViewHeight, 50);

    image->SetPaintSizeMode(TToolkitImage::smStretch);
    EXPECT_EQ(image->ViewWidth, 100);
    EXPECT_EQ(image->PaintZoomFactor(), 500);

    image->SetPaintSizeMode(TToolkitImage::smNormal);
    // Painted: the picture at the view, the back colour around it.
    const QImage shown = image->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(shown.pixel(50, 50), ColorToArgb(image->BackColor()));

    image->SetCenterImage(true);
    EXPECT_EQ(image->ViewRect(), Bounds(45, 40, 10, 20));
    const TPoint p = image->ClientToBitmap(TPoint{47, 41});
    EXPECT_EQ(p.X, 2);
    EXPECT_EQ(p.Y, 1);

    // With AutoSize, as in the viewer, a load sizes the control to the picture and its frame.
    auto sized = Control("ToolkitImage2");
    sized->SetFrameThickness(2);
    sized->SetFrameInnerThickness(1);
    sized->SetAutoSize(true);
    ASSERT_EQ(sized->Load(psd, 32, 1, 1), 1);
    EXPECT_EQ(sized->ClientWidth(), 10 + 2 * 3);
    EXPECT_EQ(sized->ClientHeight(), 20 + 2 * 3);
}

// A picture stored on its side, shown turned (TIFF orientation 6): the view, the bitmap points and
// the row-by-row save all follow the turn.
TEST_F(ToolkitImageTest, TurnedPicturesShowAndSaveAsTheyAreSeen)
{
    Magick::Image stored(Magick::Geometry(4, 2), Magick::Color("blue"));
    stored.pixelColor(0, 0, Magick::Color("red"));
    stored.pixelColor(0, 1, Magick::Color("red"));
    stored.orientation(Magick::RightTopOrientation);
    stored.magick("TIFF");
    Magick::Blob blob;
    stored.write(&blob);
    const QString tiff = Fixture("turned.tif", QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length())));

    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->Load(tiff, 32, 1, 1), 1);
    EXPECT_EQ(image->BitmapViewPerspective, 6);
    EXPECT_EQ(image->ViewWidth, 2);
    EXPECT_EQ(image->ViewHeight, 4);
    EXPECT_EQ(image->ClientToBitmap(TPoint{1, 0}).X, 0);
    EXPECT_EQ(image->ClientToBitmap(TPoint{1, 0}).Y, 0);
    EXPECT_EQ(image->ClientToBitmap(TPoint{0, 3}).X, 3);
    EXPECT_EQ(image->ClientToBitmap(TPoint{0, 3}).Y, 1);

    image->SetEnableProgressEvent(true);
    const QString png = Path("upright.png");
    ASSERT_EQ(image->Save(png, 75, 32, 2, 0), 1);
    const TRGBABuffer saved = ReadPng(png);
    ASSERT_EQ(saved.Width, 2);
    ASSERT_EQ(saved.Height, 4);
    EXPECT_EQ(PixelOf(saved, 1, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(PixelOf(saved, 0, 1), (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST_F(ToolkitImageTest, BitmapChangedElsewhereGoesBackIntoTheList)
{
    auto image = Control("ToolkitImage1");
    ASSERT_EQ(image->LoadLayer(Fixture("two.psd", TwoLayerPsd()), 0, 0), 1);
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    TKBitmap copy;
    ASSERT_EQ(TK_CopyBitmap(&image->ToolkitBitmap, &copy), TK_Success);
    copy.Row(0)[0] = 77;
    image->ToolkitBitmap = copy;
    image->ExternalBitmapChange();
    TKBitmap item;
    ASSERT_EQ(TK_GetBitmapListItem(image->BitmapList, 0, &item), TK_Success);
    EXPECT_EQ(item.Row(0)[0], 77);
    EXPECT_EQ(changes, 1);
}

TEST_F(ToolkitImageTest, BuiltFromTheViewersWindowDefinition)
{
    TForm form;
    form.LoadDefinitionText(R"(object openimage: TForm
  Width = 300
  Height = 200
  object ToolkitImage1: TToolkitImage
    Left = 0
    Top = 6000
    Width = 225
    Height = 241
    AutoSize = True
    Ctl3D = False
    ParentCtl3D = False
    CenterImage = False
    DrawMode = pmCopy
    FrameOuterShadowColor = clBlack
    PanWinPaintScaling = psNormal
    PanWinTitle = 'Pan Window'
    RasterizeViewMode = 1
    EnableOLEDragMethod = False
    EffectSpeed = 0
    EffectCycles = 0
    TextFont.Charset = DEFAULT_CHARSET
    TextFont.Color = clWindowText
    TextFont.Height = -11
    TextFont.Name = 'MS Sans Serif'
    TextFont.Style = []
  end
end
)");
    auto* image = qobject_cast<TToolkitImage*>(form.FindComponent("ToolkitImage1"));
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->AutoSize());
    EXPECT_EQ(image->Top(), 6000);
    EXPECT_EQ(image->TextFont()->Height(), -11);
    EXPECT_EQ(image->DrawMode(), TToolkitImage::pmCopy);
    EXPECT_TRUE(image->EnableMethodErrors());
    EXPECT_EQ(image->BackColor(), 0xFF00000Fu);
}

// A window whose handlers are named in its definition, as the program's windows bind them.
class TEventWindow : public TForm {
    Q_OBJECT
public:
    QStringList Log;
    Q_INVOKABLE void ImageScroll(TObject*) { Log << "scroll"; }
    Q_INVOKABLE void ImagePanWin(TObject*, QWidget*, int kind) { Log << QStringLiteral("pan %1").arg(kind); }
    Q_INVOKABLE void ImageRgnChange(TObject*) { Log << "region"; }
    Q_INVOKABLE void ImageDropFile(TObject*, const QString& name) { Log << "drop " + name; }
    Q_INVOKABLE void ImageReady(TObject*, TToolkitImage::TReadyState state) { Log << QStringLiteral("ready %1").arg(int(state)); }
    Q_INVOKABLE void ImageClosed() { Log << "closed"; }
    Q_INVOKABLE void ImageDragOver(TMouseButton, TShiftState, int x, int y) { Log << QStringLiteral("over %1,%2").arg(x).arg(y); }
    Q_INVOKABLE void ImageFeedback(bool& useDefault) { useDefault = false; }
};

TEST_F(ToolkitImageTest, HandlersNamedInTheDefinitionHearTheirEvents)
{
    TEventWindow form;
    form.LoadDefinitionText(R"(object events: TForm
  object ToolkitImage1: TToolkitImage
    OnScroll = ImageScroll
    OnPanWin = ImagePanWin
    OnRgnChange = ImageRgnChange
    OnDropFile = ImageDropFile
    OnReadyStateChanged = ImageReady
    OnBitmapDataPathClosed = ImageClosed
    OnOLEDragOver = ImageDragOver
    OnOLEGiveFeedback = ImageFeedback
  end
end
)");
    auto* image = qobject_cast<TToolkitImage*>(form.FindComponent("ToolkitImage1"));
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(image->OnScroll && image->OnPanWin && image->OnRgnChange && image->OnDropFile &&
                image->OnReadyStateChanged && image->OnBitmapDataPathClosed && image->OnOLEDragOver &&
                image->OnOLEGiveFeedback);
    image->OnScroll(image);
    image->OnPanWin(image, nullptr, 2);
    image->OnRgnChange(image);
    image->OnDropFile(image, QStringLiteral("a.ico"));
    image->OnReadyStateChanged(image, TToolkitImage::rsComplete);
    image->OnBitmapDataPathClosed();
    image->OnOLEDragOver(mbLeft, TShiftState(), 3, 4);
    bool useDefault = true;
    image->OnOLEGiveFeedback(useDefault);
    EXPECT_FALSE(useDefault);
    EXPECT_EQ(form.Log, (QStringList{"scroll", "pan 2", "region", "drop a.ico", "ready 1", "closed", "over 3,4"}));
}

TEST_F(ToolkitImageTest, AHandlerThatDoesNotFitItsEventIsRefused)
{
    TEventWindow form;
    EXPECT_THROW(form.LoadDefinitionText(R"(object events: TForm
  object ToolkitImage1: TToolkitImage
    OnDropFile = ImageScroll
  end
end
)"),
                 EReadError);
}

} // namespace

#include "toolkit_image_test.moc"
