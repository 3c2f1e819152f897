#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/cursors.h"
#include "framework/exceptions.h"
#include "framework/icon.h"
#include "framework/imagelist.h"
#include "framework/jpeg.h"
#include "framework/magick_bridge.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/streams.h"

#include <Magick++.h>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A graphic class of a later layer, standing in for the imaging layer's own icon picture.
class TFakeIconPicture : public TBitmap {
public:
    void LoadFromStream(TStream* stream) override
    {
        const QByteArray bytes = stream->ReadAll();
        SetSize(7, 5);
        loadedBytes = bytes.size();
    }
    qsizetype loadedBytes = 0;
};

class TFakeGif : public TBitmap {
public:
    void LoadFromClipboardFormat(TClipFormat, const QByteArray& data) override
    {
        SetSize(int(data.size()), 1);
    }
    void SaveToClipboardFormat(TClipFormat& format, QByteArray& data) override
    {
        format = RegisterClipboardFormat(QStringLiteral("GIF Image"));
        data = QByteArray("GIF89a");
    }
};

QImage Gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), 128));
    return img;
}

// A one-image 16 x 16 32-bit .ico with a transparent left half and opaque red right half.
QByteArray SmallIco()
{
    TIcon icon;
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(0);
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            img.setPixel(x, y, 0xFFFF0000);
    ICONINFO info;
    info.hbmColor = img;
    info.hbmMask = QImage(16, 16, QImage::Format_Mono);
    info.hbmMask.fill(0);
    icon.SetHandle(CreateIconIndirect(&info));
    TMemoryStream s;
    icon.SaveToStream(&s);
    return s.Bytes();
}

} // namespace

TEST(Picture, LoadsJpegAndBmpByExtension)
{
    QTemporaryDir dir;
    const QImage source = Gradient(40, 30);
    const QString jpg = dir.filePath(QStringLiteral("g.JPG"));
    ASSERT_TRUE(source.save(jpg, "JPG", 95));
    TPicture picture;
    picture.LoadFromFile(jpg);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 40);
    EXPECT_EQ(picture.Height(), 30);
    // Our decoding agrees with Qt's reader of the same file.
    const QImage reference(jpg);
    TBitmap* decoded = static_cast<TJPEGImage*>(picture.Graphic())->Bitmap();
    int worst = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const QRgb a = decoded->PixelArgb(x, y), b = reference.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 2);

    TBitmap bmp(3, 2, pf24bit);
    bmp.SetPixelArgb(2, 1, 0xFF00FF00);
    const QString bmpFile = dir.filePath(QStringLiteral("b.bmp"));
    bmp.SaveToFile(bmpFile);
    picture.LoadFromFile(bmpFile);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Bitmap()->PixelArgb(2, 1), 0xFF00FF00u);
}

TEST(Picture, UnknownExtensionAndBadFilesLeaveThePictureAsItWas)
{
    QTemporaryDir dir;
    TPicture picture;
    picture.Bitmap()->SetSize(2, 2);
    try {
        picture.LoadFromFile(dir.filePath(QStringLiteral("x.zzz")));
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unknown picture file extension (.zzz)"));
    }
    const QString bad = dir.filePath(QStringLiteral("bad.jpg"));
    TMemoryStream junk(QByteArray("\xFF\xD8\xFF\xE0 not really a jpeg", 22));
    junk.SaveToFile(bad);
    EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 2);
}

TEST(Picture, OwnClassesTakePrecedenceOverQtReaders)
{
    // Formats the system reads itself never go to a Qt plugin, even before their class exists.
    for (const char* ext : {"gif", "cur", "ani"})
        EXPECT_EQ(TPicture::FileFormatClass(QString::fromLatin1(ext)), nullptr) << ext;
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("ICO")), GraphicClass<TIcon>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral(".bmp")), GraphicClass<TBitmap>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("rle")), GraphicClass<TBitmap>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("jpeg")), GraphicClass<TJPEGImage>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("png")), GraphicClass<TQtImage>());

    // A later class takes an extension over; unregistering it gives the extension back.
    TPicture::RegisterFileFormat(QStringLiteral("ico"), QStringLiteral("Icons"), GraphicClass<TFakeIconPicture>());
    TPicture::RegisterFileFormat(QStringLiteral("gif"), QStringLiteral("GIF"), GraphicClass<TFakeIconPicture>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("ico")), GraphicClass<TFakeIconPicture>());
    EXPECT_TRUE(TPicture::GraphicFilter().contains(QStringLiteral("*.gif")));
    TPicture::UnregisterGraphicClass(GraphicClass<TFakeIconPicture>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("ico")), GraphicClass<TIcon>());
    EXPECT_EQ(TPicture::FileFormatClass(QStringLiteral("gif")), nullptr);
    EXPECT_EQ(TPicture::GraphicExtension(GraphicClass<TBitmap>()), QStringLiteral("bmp"));
}

TEST(Picture, PngThroughQtKeepsAlpha)
{
    QTemporaryDir dir;
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, 0x40102030);
    img.setPixel(1, 0, 0xFFFFFFFF);
    const QString png = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(img.save(png));
    TPicture picture;
    picture.LoadFromFile(png);
    auto* qt = dynamic_cast<TQtImage*>(picture.Graphic());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->Image().pixel(0, 0), 0x40102030u);
}

TEST(Icon, LoadsThroughTheClassRegisteredForIco)
{
    const QByteArray ico = SmallIco();
    {
        TIcon icon;
        TMemoryStream s(ico);
        icon.LoadFromStream(&s);
        EXPECT_EQ(icon.Width(), 16);
        EXPECT_NE(icon.Handle(), nullptr);
        TBitmap back(16, 16, pf24bit);
        back.Canvas()->Draw(0, 0, &icon);
        EXPECT_EQ(back.PixelArgb(2, 2), 0xFFFFFFFFu);
        EXPECT_EQ(back.PixelArgb(12, 2), 0xFFFF0000u);
        TMemoryStream out;
        icon.SaveToStream(&out);
        EXPECT_EQ(out.Bytes(), ico);
    }
    TPicture::RegisterFileFormat(QStringLiteral("ico"), QStringLiteral("Icons"), GraphicClass<TFakeIconPicture>());
    TIcon icon;
    TMemoryStream s(ico);
    icon.LoadFromStream(&s);
    TPicture::UnregisterGraphicClass(GraphicClass<TFakeIconPicture>());
    EXPECT_EQ(icon.Width(), 7); // the registered class decides
    EXPECT_EQ(icon.Height(), 5);

    TIcon bad;
    TMemoryStream junk(QByteArray("\0\0\2\0\1\0", 6));
    try {
        bad.LoadFromStream(&junk);
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Icon image is not valid"));
    }
    EXPECT_TRUE(bad.Empty());
}

TEST(Clipboard, PrivateFormatsAndBitmapsWithPalette)
{
    const TClipFormat gif = RegisterClipboardFormat(QStringLiteral("GIF Image"));
    EXPECT_GE(gif, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat(QStringLiteral("gif image")), gif);
    EXPECT_NE(RegisterClipboardFormat(QStringLiteral("FileName")), gif);
    EXPECT_EQ(ClipboardFormatName(gif), QStringLiteral("GIF Image"));

    TPicture::RegisterClipboardFormat(gif, GraphicClass<TFakeGif>());
    TFakeGif source;
    Clipboard()->Assign(&source);
    EXPECT_TRUE(Clipboard()->HasFormat(gif));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB));
    EXPECT_EQ(Clipboard()->GetAsHandle(gif), QByteArray("GIF89a"));
    TPicture picture;
    picture.Assign(Clipboard());
    EXPECT_NE(dynamic_cast<TFakeGif*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 6);
    TPicture::UnregisterGraphicClass(GraphicClass<TFakeGif>());

    TBitmap pal(4, 2, pf4bit);
    pal.SetPixelArgb(1, 1, 0xFF800000);
    Clipboard()->Assign(&pal);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(gif));
    TBitmap back;
    back.Assign(Clipboard());
    EXPECT_EQ(back.PixelFormat(), pf4bit);
    EXPECT_EQ(back.Palette(), pal.Palette());
    EXPECT_EQ(back.PixelArgb(1, 1), 0xFF800000u);
}

TEST(ImageList, MaskedAddAndDisabledDrawing)
{
    TImageList list(2, 2);
    TBitmap strip(4, 2, pf24bit);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(Rect(0, 0, 4, 2));
    strip.SetPixelArgb(0, 0, 0xFF0000FF);
    strip.SetPixelArgb(3, 0, 0xFFFFFFFF);
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap back(2, 2, pf24bit);
    back.Canvas()->Brush()->SetColor(clGreen);
    back.Canvas()->FillRect(Rect(0, 0, 2, 2));
    list.Draw(back.Canvas(), 0, 0, 0);
    EXPECT_EQ(back.PixelArgb(0, 0), 0xFF0000FFu);
    EXPECT_EQ(back.PixelArgb(1, 1), 0xFF008000u);

    list.Draw(back.Canvas(), 0, 0, 1, false);
    const uint32_t greyed = back.PixelArgb(1, 0);
    EXPECT_NE(greyed, 0xFFFFFFFFu); // white comes out greyed towards the button face
    EXPECT_EQ(greyed >> 16 & 0xFF, (255 + 212) / 2);
    EXPECT_EQ(back.PixelArgb(0, 1), 0xFF008000u);
}

TEST(Bridges, QImageAndMagickBuffersAreLossless)
{
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, 0x01020304);
    img.setPixel(1, 0, 0x80FF0000);
    img.setPixel(2, 0, 0x00FFFFFF);
    TBitmap b;
    QImageToBitmap(img, b);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(b.PixelArgb(0, 0), 0x01020304u);
    const QImage back = BitmapToQImage(b);
    EXPECT_EQ(back.format(), QImage::Format_ARGB32);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(back.pixel(x, 0), img.pixel(x, 0));

    const TRGBABuffer rgba = QImageToRGBA(img);
    ASSERT_EQ(rgba.Pixels.size(), 12u);
    EXPECT_EQ(rgba.Pixels[0], 0x02);
    EXPECT_EQ(rgba.Pixels[3], 0x01);
    Magick::Image magick;
    RGBAToMagick(rgba, magick);
    const TRGBABuffer again = MagickToRGBA(magick);
    EXPECT_EQ(again.Pixels, rgba.Pixels);
    const QImage round = RGBAToQImage(again);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(round.pixel(x, 0), img.pixel(x, 0));
}

TEST(Cursors, TableNamesAndApplicationCursor)
{
    EXPECT_EQ(CursorShape(crCross).shape(), Qt::CrossCursor);
    EXPECT_EQ(CursorShape(crHandPoint).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(CursorShape(12345).shape(), Qt::ArrowCursor);
    SetCursorShape(14000, QCursor(Qt::OpenHandCursor));
    EXPECT_EQ(CursorShape(14000).shape(), Qt::OpenHandCursor);
    TCursor c = 0;
    EXPECT_TRUE(StringToCursor(QStringLiteral("crHourGlass"), c));
    EXPECT_EQ(c, crHourGlass);
    EXPECT_EQ(CursorToString(crIBeam), QStringLiteral("crIBeam"));

    SetApplicationCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetApplicationCursor(crCross);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    SetApplicationCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ApplicationCursor(), crDefault);
}
