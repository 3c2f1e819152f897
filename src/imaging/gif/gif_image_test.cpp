#include "imaging/gif/gif_image.h"

#include "framework/bitmap.h"
#include "framework/clipboard.h"
#include "framework/exceptions.h"
#include "framework/picture.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_testdata.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// A 24-bit bitmap painted by f(x, y) -> 0x00RRGGBB.
template <class F>
std::unique_ptr<TBitmap> MakeBitmap(int w, int h, F f)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixelArgb(x, y, 0xFF000000u | f(x, y));
    return b;
}

std::vector<uint32_t> Pixels(TBitmap* b)
{
    std::vector<uint32_t> px;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            px.push_back(b->PixelArgb(x, y) & 0xFFFFFF);
    return px;
}

QByteArray Write(TGIFImage& gif)
{
    TMemoryStream s;
    gif.WriteGif(&s, false);
    return s.Bytes();
}

void Read(TGIFImage& gif, const QByteArray& bytes, bool decodeFirst = true)
{
    TMemoryStream s(bytes);
    gif.ReadGif(s.Size(), &s, decodeFirst);
}

// Builds a GIF by hand: header, screen, a 2-colour global table, then the given blocks, then ';'.
QByteArray HandMade(const QByteArray& blocks, bool globalTable = true, int screen = 2)
{
    QByteArray g("GIF89a", 6);
    g += char(screen);
    g += char(0);
    g += char(screen);
    g += char(0);
    g += char(globalTable ? 0x80 : 0);
    g += QByteArray("\0\0", 2);
    if (globalTable)
        g += QByteArray("\0\0\0\xFF\xFF\xFF", 6);
    return g + blocks + ';';
}

// One 2x2 image of index 1 with code size 2: clear, 1, 1, 1, 1, end.
QByteArray ImageBlock(int w = 2, int h = 2, const QByteArray& data = QByteArray("\x02\x02\x4C\x01\x00", 5))
{
    QByteArray b(",\0\0\0\0", 5);
    b += char(w);
    b += char(0);
    b += char(h);
    b += char(0);
    b += char(0);
    return b + data;
}

} // namespace

TEST(GifImage, MultiFrameFileReadsBackIdentically)
{
    const int w = 23, h = 17;
    TGIFImage gif;
    auto a = MakeBitmap(w, h, [](int x, int y) { return uint32_t((((x % 16) * 16) << 16) | (((y % 16) * 16) << 8) | 0x40); });
    auto b = MakeBitmap(w - 5, h - 3, [](int x, int y) { return (x + y) % 3 ? 0xFF0000u : 0x0000FFu; });
    auto c = MakeBitmap(w, h, [](int x, int) { return x < 10 ? 0x00FF00u : 0x123456u; });
    EXPECT_EQ(gif.AddFrame(a.get()), 0);
    EXPECT_EQ(gif.Version, 1);
    gif.AddFrame(b.get());
    EXPECT_EQ(gif.Version, 2);
    gif.AddFrame(c.get());
    gif.GetFrame(0)->SetDelay(120);
    gif.GetFrame(1)->SetDelay(70);
    gif.GetFrame(1)->SetOrigin({3, 2});
    gif.GetFrame(1)->SetDisposal(2);
    gif.GetFrame(2)->SetTransparentColor(0x00FF00);
    gif.SetLooping(true);
    gif.SetRepeatCount(7);
    TStringList comment(QStringList{"made by a test"});
    gif.SetComment(&comment);
    gif.EncodeAllFrames();
    const QByteArray bytes = Write(gif);

    TGIFImage back;
    Read(back, bytes);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_FALSE(back.IsCorrupted());
    EXPECT_TRUE(back.Looping);
    EXPECT_EQ(back.RepeatCount, 7);
    EXPECT_EQ(back.GetScreenWidth(), w);
    EXPECT_EQ(back.GetScreenHeight(), h);
    EXPECT_EQ(back.GetComment()->Text(), "made by a test\r\n");
    const std::unique_ptr<TBitmap>* sources[] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Pixels(back.GetFrame(i)->GetBitmap()), Pixels(sources[i]->get()));
        EXPECT_EQ(back.GetFrame(i)->Delay(), gif.GetFrame(i)->Delay());
        EXPECT_EQ(back.GetFrame(i)->Disposal(), gif.GetFrame(i)->Disposal());
        EXPECT_EQ(back.GetFrame(i)->Origin(), gif.GetFrame(i)->Origin());
        EXPECT_EQ(back.GetFrame(i)->TransparentColor(), gif.GetFrame(i)->TransparentColor());
    }
    // The first frame supplies the global table; later frames carry their own.
    EXPECT_FALSE(back.GetFrame(0)->LocalColors());
    EXPECT_TRUE(back.GetFrame(1)->LocalColors());
    // Written again, nothing changes.
    EXPECT_EQ(Write(back), bytes);

    const QString gifsicle = QStandardPaths::findExecutable("gifsicle");
    if (gifsicle.isEmpty())
        GTEST_SKIP() << "gifsicle is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("three.gif");
    TMemoryStream(bytes).SaveToFile(path);
    QProcess p;
    p.start(gifsicle, {"--info", path});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QString info = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << info.toStdString();
    EXPECT_TRUE(info.contains("3 images")) << info.toStdString();
    EXPECT_TRUE(info.contains("loop count 7")) << info.toStdString();
    EXPECT_FALSE(info.contains("warning") || info.contains("error")) << info.toStdString();
}

TEST(GifImage, ReadAndWrittenAgainKeepsFrameDataAndDropsForeignBlocks)
{
    for (const char* name : {"plain-text", "unknown-application-extension", "interlace", "4095-codes-clear",
                             "dispose-restore-background", "local-color-table"}) {
        SCOPED_TRACE(name);
        TGIFImage gif;
        Read(gif, ReadGifTestData(QString("gif/suite/%1.gif").arg(name)));
        ASSERT_GT(gif.GetCount(), 0);
        TGIFImage again;
        Read(again, Write(gif));
        ASSERT_EQ(again.GetCount(), gif.GetCount());
        for (int i = 0; i < gif.GetCount(); ++i) {
            EXPECT_EQ(again.GetFrame(i)->ImageData()->ZData->Bytes(), gif.GetFrame(i)->ImageData()->ZData->Bytes());
            for (const auto& ext : again.GetFrame(i)->Extensions())
                EXPECT_TRUE(ext->ExtType == etGraphic || ext->ExtType == etComment);
            EXPECT_EQ(Pixels(again.GetFrame(i)->GetBitmap()), Pixels(gif.GetFrame(i)->GetBitmap()));
        }
    }
}

// Frame data stays with the frames when the stream that was read is changed or gone, and a
// frame decoded or written afterwards gives the same pixels and bytes.
TEST(GifImage, FrameDataOutlivesTheStreamItWasReadFrom)
{
    const QByteArray file = ReadGifTestData("gif/suite/interlace.gif");
    ASSERT_FALSE(file.isEmpty());
    TGIFImage reference;
    Read(reference, file, false);
    TGIFImage gif;
    {
        auto s = std::make_unique<TMemoryStream>(QByteArray(file.constData(), file.size()));
        gif.ReadGif(s->Size(), s.get(), false);
        s->SetPosition(0);
        const QByteArray junk(int(s->Size()), '\x55');
        s->WriteBuffer(junk.constData(), junk.size());
    }
    TGIFImage copy;
    copy.Assign(&gif);
    gif.Clear();
    ASSERT_EQ(copy.GetCount(), reference.GetCount());
    for (int i = 0; i < copy.GetCount(); ++i) {
        EXPECT_EQ(copy.GetFrame(i)->ImageData()->ZData->Bytes(), reference.GetFrame(i)->ImageData()->ZData->Bytes());
        EXPECT_EQ(Pixels(copy.GetFrame(i)->GetBitmap()), Pixels(reference.GetFrame(i)->GetBitmap()));
    }
    EXPECT_EQ(Write(copy), Write(reference));
}

TEST(GifImage, WriterRules)
{
    auto bmp = MakeBitmap(4, 4, [](int x, int) { return x ? 0xFFFFFFu : 0u; });
    TGIFImage one;
    one.AddFrame(bmp.get());
    one.SetLooping(true);
    EXPECT_FALSE(Write(one).contains("NETSCAPE2.0")) << "one frame has no loop block";
    one.AddFrame(bmp.get());
    const QByteArray two = Write(one);
    // The loop block follows the global table and carries the repeat count as stored.
    EXPECT_EQ(two.mid(13 + 3 * one.Header()->ColorMap.Count, 19), QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x01\x00\x00", 19));

    one.SetRepeatCount(65535);
    EXPECT_EQ(one.RepeatCount, 30000);

    TStringList lines(QStringList{QString(300, 'a'), QString(), "b"});
    one.SetComment(&lines);
    const QByteArray withComment = Write(one);
    const qsizetype at = withComment.lastIndexOf("\x21\xFE");
    ASSERT_GT(at, 0);
    EXPECT_EQ(uint8_t(withComment[at + 2]), 255);
    EXPECT_EQ(withComment.mid(at + 3 + 255), QByteArray("\x01" "b" "\x00;", 4));

    // Version 2 once reached stays.
    one.GetFrame(0)->SetDelay(10);
    one.GetFrame(0)->SetDelay(0);
    TStringList none;
    one.SetComment(&none);
    Write(one);
    EXPECT_EQ(one.Version, 2);

    TGIFImage empty;
    try {
        Write(empty);
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "No GIF Data to write");
    }
}

TEST(GifImage, ReaderRules)
{
    struct Case {
        const char* name;
        QByteArray file;
        int frames;
        bool corrupted;
        QString error;
    };
    const QByteArray gce7000("\x21\xF9\x04\x00\x58\x1B\x00\x00", 8); // 7000 hundredths
    const Case cases[] = {
        {"plain", HandMade(ImageBlock()), 1, false, ""},
        {"long delay", HandMade(gce7000 + ImageBlock()), 1, false, ""},
        {"no colour table", HandMade(ImageBlock(), false), 1, false, ""},
        {"data ends inside a sub-block", HandMade(ImageBlock(2, 2, QByteArray("\x02\x09\x4C", 3))).chopped(1), 1, true, ""},
        {"descriptor cut off", HandMade(QByteArray(",\0\0\0\0\x02", 6)).chopped(1), 0, true, ""},
        {"unknown extension", HandMade(QByteArray("\x21\x2A\x02xy\x00", 6) + ImageBlock()), 1, false, ""},
        {"garbage separator", HandMade("\x99"), 0, false, "Stream read error"},
        {"not a GIF", QByteArray("GIF90a\x01\x00\x01\x00\x00\x00\x00;", 14), 0, false, "Unknown GIF version"},
        {"wide frame", HandMade(ImageBlock(0, 1).replace(5, 2, QByteArray("\xFF\xFF", 2))), 1, false, ""},
        {"too many pixels", HandMade(ImageBlock(0, 0).replace(5, 4, QByteArray("\xFF\xFF\xFF\xFF", 4))), 0, false,
         "GIF encoded data is corrupt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage gif;
        QString error;
        try {
            Read(gif, c.file);
        } catch (const Exception& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(gif.GetCount(), c.frames);
        EXPECT_EQ(gif.IsCorrupted(), c.corrupted);
        if (QString(c.name) == "long delay")
            EXPECT_EQ(gif.GetFrame(0)->Delay(), 65535);
        if (QString(c.name) == "no colour table") {
            // The grey ramp of code size 2: index 1 of four entries, then index 0.
            EXPECT_EQ(Pixels(gif.GetFrame(0)->GetBitmap()), (std::vector<uint32_t>{0x555555, 0, 0, 0}));
        }
        if (QString(c.name) == "wide frame") {
            EXPECT_EQ(gif.GetFrame(0)->GetWidth(), 65535);
            EXPECT_EQ(gif.GetScreenWidth(), 2);
        }
        if (QString(c.name) == "data ends inside a sub-block") {
            // Rows not decoded keep colour index 0 (black).
            EXPECT_EQ(Pixels(gif.GetFrame(0)->GetBitmap()), (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0, 0}));
        }
    }

    // Comments after the last image become the picture's comment, separated by a blank line.
    TGIFImage commented;
    Read(commented, HandMade(ImageBlock() + QByteArray("\x21\xFE\x02hi\x00\x21\xFE\x03you\x00", 14)));
    EXPECT_EQ(commented.GetComment()->ToStringList(), (QStringList{"hi", "\r\n\r\n", "you"}));

    // A loop extension with 40000 repeats gives 30000.
    TGIFImage loop;
    Read(loop, HandMade(QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x40\x9C\x00", 19) + ImageBlock()));
    EXPECT_TRUE(loop.Looping);
    EXPECT_EQ(loop.RepeatCount, 30000);
}

TEST(GifImage, ZeroSizeFramesLoadEmptyAndSaveAgain)
{
    for (const char* name : {"image-zero-width", "image-zero-height", "image-zero-size"}) {
        SCOPED_TRACE(name);
        TGIFImage gif;
        Read(gif, ReadGifTestData(QStringLiteral("gif/suite/%1.gif").arg(name)));
        ASSERT_EQ(gif.GetCount(), 1);
        EXPECT_EQ(gif.GetFrame(0)->GetWidth() * gif.GetFrame(0)->GetHeight(), 0);
        EXPECT_TRUE(gif.GetFrame(0)->GetBitmap()->Empty());
        EXPECT_EQ(gif.GetScreenWidth(), 1);
        EXPECT_EQ(gif.GetScreenHeight(), 1);
        TGIFImage again;
        Read(again, Write(gif));
        ASSERT_EQ(again.GetCount(), 1);
        EXPECT_EQ(again.GetFrame(0)->GetWidth() * again.GetFrame(0)->GetHeight(), 0);
        EXPECT_FALSE(again.IsCorrupted());
    }
}

TEST(GifImage, FramesWithoutAnyTableDecodeWithTheGreyRamp)
{
    // 1 by 1 frames of index 0 at code size 8; in the second file the first frame has a table
    // whose entry 0 is (1, 1, 1).
    const struct {
        const char* file;
        int frames;
        int firstWithoutTable;
    } cases[] = {{"no_palette.gif", 2, 0}, {"no_palette_after_rgb.gif", 3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TGIFImage gif;
        Read(gif, ReadGifTestData(QStringLiteral("gif/pillow/%1").arg(c.file)));
        ASSERT_EQ(gif.GetCount(), c.frames);
        EXPECT_FALSE(gif.IsCorrupted());
        for (int i = 0; i < c.frames; ++i)
            EXPECT_EQ(Pixels(gif.GetFrame(i)->GetBitmap()),
                      std::vector<uint32_t>{i < c.firstWithoutTable ? 0x010101u : 0u}) << i;
        // Written again without a table, as read.
        TGIFImage again;
        Read(again, Write(gif));
        EXPECT_EQ(again.GetCount(), c.frames);
    }
    // Index i of an 8-bit frame reads as grey i.
    TGIFImage grey;
    Read(grey, HandMade(ImageBlock(1, 1, QByteArray("\x08\x04\x00\x09\x04\x04\x00", 7)), false, 1));
    EXPECT_EQ(Pixels(grey.GetFrame(0)->GetBitmap()), std::vector<uint32_t>{0x040404});
}

TEST(GifImage, CopyRules)
{
    TGIFImage gif;
    Read(gif, ReadGifTestData("gif/suite/animation.gif"));
    ASSERT_EQ(gif.GetCount(), 4);
    const QByteArray before = Write(gif);
    gif.Assign(&gif);
    EXPECT_EQ(Write(gif), before);

    TGIFImage copy;
    copy.Assign(&gif);
    EXPECT_TRUE(copy.Equals(&gif));
    EXPECT_EQ(copy.GetFrame(2)->ImageData(), gif.GetFrame(2)->ImageData()) << "frame data is shared";
    EXPECT_EQ(Write(copy), before);

    // An image made from one frame takes the header of the frame's owner.
    TGIFImage single;
    single.Assign(gif.GetFrame(1));
    ASSERT_EQ(single.GetCount(), 1);
    EXPECT_EQ(Pixels(single.GetFrame(0)->GetBitmap()), Pixels(gif.GetFrame(1)->GetBitmap()));
    EXPECT_EQ(single.Version, 1);

    // A frame copied to a bitmap hands over its picture.
    TBitmap bitmap;
    bitmap.Assign(gif.GetFrame(3));
    EXPECT_EQ(Pixels(&bitmap), Pixels(gif.GetFrame(3)->GetBitmap()));

    TStringList notAPicture;
    EXPECT_THROW(gif.Assign(&notAPicture), EConvertError);
    EXPECT_THROW(gif.SetWidth(3), EInvalidGraphicOperation);
}

TEST(GifImage, GreyFramesChangeTheSharedTable)
{
    TGIFImage gif;
    Read(gif, ReadGifTestData("gif/suite/four-colors.gif"));
    TGIFImage copy;
    copy.Assign(&gif);
    gif.ConvertToGrayscale(false);
    for (int i = 0; i < gif.GetFrame(0)->ImageData()->ColorMap.Count; ++i) {
        const auto* c = gif.GetFrame(0)->ImageData()->ColorMap.Colors[i];
        EXPECT_TRUE(c[0] == c[1] && c[1] == c[2]);
    }
    EXPECT_EQ(copy.GetFrame(0)->ImageData(), gif.GetFrame(0)->ImageData());
    for (uint32_t px : Pixels(gif.GetFrame(0)->GetBitmap()))
        EXPECT_TRUE((px & 0xFF) == ((px >> 8) & 0xFF) && (px & 0xFF) == (px >> 16)) << std::hex << px;

    // A frame made from a deep bitmap is reduced to greys and encoded.
    auto red = MakeBitmap(3, 3, [](int, int) { return 0xFF0000u; });
    TGIFImage fresh;
    fresh.AddFrame(red.get());
    fresh.ConvertToGrayscale(true);
    EXPECT_TRUE(fresh.GetFrame(0)->GrayScale());
    EXPECT_TRUE(fresh.GetFrame(0)->HasData());
    EXPECT_EQ(Pixels(fresh.GetFrame(0)->GetBitmap())[0], 0x4C4C4Cu);
}

TEST(GifImage, PictureRegistryAndClipboard)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.gif");
    TMemoryStream(ReadGifTestData("gif/suite/animation.gif")).SaveToFile(path);
    TPicture picture;
    picture.LoadFromFile(path);
    auto* gif = dynamic_cast<TGIFImage*>(picture.Graphic());
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->GetCount(), 4);
    EXPECT_EQ(gif->Width(), 2);
    EXPECT_TRUE(TPicture::GraphicFilter().contains("CompuServe GIF Image"));

    ASSERT_NE(CF_GIFIMAGE, 0u);
    gif->CopyToClipboard();
    if (!Clipboard()->HasFormat(CF_GIFIMAGE))
        GTEST_SKIP() << "no clipboard on this platform";
    EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
    TPicture pasted;
    pasted.Assign(Clipboard());
    auto* back = dynamic_cast<TGIFImage*>(pasted.Graphic());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetCount(), 4);
    EXPECT_EQ(Pixels(back->GetFrame(2)->GetBitmap()), Pixels(gif->GetFrame(2)->GetBitmap()));
}

TEST(GifImage, FormDataCarriesItsSize)
{
    TGIFImage gif;
    Read(gif, ReadGifTestData("gif/suite/animation.gif"));
    TMemoryStream data;
    gif.WriteData(&data);
    data.WriteByte(0x77); // what follows in the form stays unread
    data.SetPosition(0);
    TGIFImage back;
    back.ReadData(&data);
    EXPECT_EQ(back.GetCount(), 4);
    EXPECT_EQ(data.ReadByte(), 0x77);

    // A size beyond the data is refused before anything is allocated.
    TMemoryStream bad;
    bad.WriteDWord(0x7FFFFFFF);
    bad.WriteBuffer("GIF89a", 6);
    bad.SetPosition(0);
    EXPECT_THROW(back.ReadData(&bad), EReadError);
}

// A frame's bitmap is decoded straight into its rows; it is byte for byte the bitmap its BMP image
// loads as: odd sizes at 1, 4 and 8 bits, and every GIF of testdata (interlaced frames, short
// tables, frames cut short or corrupt).
TEST(GifImage, FrameBitmapsAreTheBitmapsTheirBmpImagesLoadAs)
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit})
        for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {13, 5}, {31, 2}}) {
            TBitmap b(w, h, format);
            const int colours = 1 << b.BitsPerPixel();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    b.SetPixelArgb(x, y, 0xFF000000u | b.Palette()[size_t((x * 7 + y * 3) % colours)]);
            TGIFImage gif;
            gif.AddFrame(&b);
            files.push_back({QStringLiteral("%1x%2 at %3 bits").arg(w).arg(h).arg(b.BitsPerPixel()), Write(gif)});
        }
    for (const char* folder : {"gif/suite", "gif/pillow", "gif/other", "gif/malformed"}) {
        QDir dir(GifTestDataPath(QString::fromLatin1(folder)));
        for (const QString& name : dir.entryList({QStringLiteral("*.gif")}, QDir::Files, QDir::Name))
            files.push_back({name, ReadGifTestData(QString::fromLatin1(folder) + QLatin1Char('/') + name)});
    }
    ASSERT_GT(files.size(), 40u);
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name.toStdString());
        TGIFImage gif;
        try {
            Read(gif, bytes, false);
        } catch (const Exception&) {
            continue; // refused files have no frames to compare
        }
        for (int i = 0; i < gif.GetCount(); ++i) {
            TGIFFrame* frame = gif.GetFrame(i);
            if (frame->ImageData()->Width == 0 || frame->ImageData()->Height == 0)
                continue; // shows nothing either way
            TBitmap loaded;
            QByteArray direct, viaBmp;
            bool directFailed = false, bmpFailed = false;
            try {
                TMemoryStream dib(frame->DecodeToDib());
                loaded.LoadFromStream(&dib);
                TMemoryStream out;
                loaded.SaveToStream(&out);
                viaBmp = out.Bytes();
            } catch (const Exception&) {
                bmpFailed = true;
            }
            try {
                TMemoryStream out;
                frame->GetBitmap()->SaveToStream(&out);
                direct = out.Bytes();
            } catch (const Exception&) {
                directFailed = true;
            }
            EXPECT_EQ(directFailed, bmpFailed) << "frame " << i;
            ASSERT_EQ(direct, viaBmp) << "frame " << i;
            if (!directFailed && !bmpFailed)
                ASSERT_EQ(frame->GetBitmap()->Palette(), loaded.Palette());
        }
    }
}
