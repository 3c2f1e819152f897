#include "imaging/toolkit/imaging_control.h"

#include "framework/bitmap.h"
#include "framework/clipboard.h"
#include "framework/panel.h"
#include "imaging/toolkit/imaging_effects.h"
#include "imaging/toolkit/imaging_test_support.h"
#include "imaging/toolkit/metafile_writer.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace imaging_test;

namespace {

class ImagingControlTest : public ImagingTest {
protected:
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QString Fixture(const char* name, const QByteArray& data) const
    {
        const QString path = Path(name);
        WriteFile(path, data);
        return path;
    }
    QTemporaryDir dir;
};

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, int x, int y)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TRGBABuffer Load(const QString& path, const char* extension)
{
    TRGBABuffer out;
    EXPECT_EQ(ReadPictureData(ReadFile(path), QLatin1String(extension), out), TPictureReadResult::Ok) << path.toStdString();
    return out;
}

} // namespace

TEST_F(ImagingControlTest, ConversionToPngKeepsThePicture)
{
    // The open road: load a picture the editor does not decode, save it as PNG for the import
    // window.
    const TRGBABuffer picture = Swatches();
    ImagingControl control;
    control.LoadFile(Fixture("in.tga", EncodeWith(picture, "TGA")));
    EXPECT_EQ(control.ImageWidth(), 4);
    EXPECT_EQ(control.ImageHeight(), 2);
    control.SavePng(Path("out.png"));
    const TRGBABuffer back = Load(Path("out.png"), ".png");
    ASSERT_EQ(back.Width, 4);
    for (int x = 0; x < 4; ++x)
        EXPECT_TRUE(std::equal(Px(back, x, 0), Px(back, x, 0) + 4, Px(picture, x, 0))) << x;
    EXPECT_EQ(Px(back, 3, 1)[3], 0);
}

TEST_F(ImagingControlTest, ExportsReadBack)
{
    // The export road: a PNG hand-over file saved in each outside format.
    const TRGBABuffer picture = Pattern(9, 6);
    ImagingControl control;
    control.SetWidth(9);
    control.SetHeight(6);
    control.LoadFile(Fixture("gifgifgif.png", EncodeWith(picture, "PNG")));

    control.SaveGif(Path("a.gif"), true, 0xFFFFFF);
    const TRGBABuffer gif = Load(Path("a.gif"), ".gif");
    EXPECT_EQ(gif.Width, 9);
    EXPECT_EQ(Px(gif, 0, 0)[3], 0); // the transparent column

    control.SaveTga(Path("a.tga"));
    const TRGBABuffer tga = Load(Path("a.tga"), ".tga");
    EXPECT_TRUE(std::equal(Px(tga, 5, 2), Px(tga, 5, 2) + 4, Px(picture, 5, 2)));

    TRGBABuffer metafile;
    QString why;
    control.SaveWmf(Path("a.wmf"));
    ASSERT_TRUE(ReadWmf(ReadFile(Path("a.wmf")), metafile, &why)) << why.toStdString();
    EXPECT_EQ(metafile.Width, 9);
    control.SaveEmf(Path("a.emf"));
    ASSERT_TRUE(ReadEmf(ReadFile(Path("a.emf")), metafile, &why)) << why.toStdString();
    EXPECT_EQ(metafile.Height, 6);
    EXPECT_EQ(Px(metafile, 0, 0)[0], 255); // transparent over white

    control.SaveBmp(Path("a.bmp"));
    TBitmap bmp;
    bmp.LoadFromFile(Path("a.bmp"));
    EXPECT_EQ(bmp.Width(), 9);
    EXPECT_EQ(bmp.PixelArgb(5, 2), 0xFF000000u | Px(picture, 5, 2)[0] << 16 | Px(picture, 5, 2)[1] << 8 | Px(picture, 5, 2)[2]);
}

TEST_F(ImagingControlTest, MissingFileRaisesTheOleError)
{
    ImagingControl control;
    EXPECT_THROW(control.LoadFile(Path("nothing.tga")), EOleError);
    EXPECT_EQ(control.ImageWidth(), 0);
}

TEST_F(ImagingControlTest, UnreadableFileFiresTheEventAndDropsTheOldPicture)
{
    ImagingControl control;
    int unrecognised = 0;
    control.OnEUnrecognizedFormat = [&](TObject* sender) {
        EXPECT_EQ(sender, &control);
        ++unrecognised;
    };
    control.LoadFile(Fixture("ok.png", EncodeWith(Swatches(), "PNG")));
    EXPECT_EQ(unrecognised, 0);
    for (const auto& [name, data] : {std::pair{"a.emf", WriteEmf(Swatches())}, std::pair{"b.xyz", QByteArray("no picture")}}) {
        control.LoadFile(Fixture(name, data));
        EXPECT_EQ(control.ImageWidth(), 0) << name;
    }
    EXPECT_EQ(unrecognised, 2);

    // Without a picture a save fails and leaves an existing file as it was.
    const QString target = Fixture("keep.png", QByteArray("old contents"));
    EXPECT_THROW(control.SavePng(target), EOleError);
    EXPECT_THROW(control.SaveGif(Path("new.gif"), true, 0xFFFFFF), EOleError);
    EXPECT_EQ(ReadFile(target), QByteArray("old contents"));
    EXPECT_FALSE(QFile::exists(Path("new.gif")));
    control.Negative(); // nothing to do, nothing raised
}

TEST_F(ImagingControlTest, TooLargePictureRaisesTheOleError)
{
    const QByteArray data = EncodeWith(Solid(80, 2, 0, 0, 0, 255), "PNG");
    TImagingLimits limits = ImagingLimits();
    limits.MaxSide = 64;
    SetImagingLimits(limits);
    ImagingControl control;
    EXPECT_THROW(control.LoadFile(Fixture("wide.png", data)), EOleError);
    EXPECT_EQ(control.ImageWidth(), 0);
    // A device with no end is not read to its end.
    limits.MaxFileBytes = 1024;
    SetImagingLimits(limits);
    EXPECT_THROW(control.LoadFile(QStringLiteral("/dev/zero")), EOleError);
}

TEST_F(ImagingControlTest, SaveToAnUnwritablePlaceRaisesTheOleError)
{
    ImagingControl control;
    control.LoadFile(Fixture("in.png", EncodeWith(Swatches(), "PNG")));
    EXPECT_THROW(control.SaveTga(Path("no/such/folder/a.tga")), EOleError);
}

TEST_F(ImagingControlTest, EffectResultIsHandedOverInMemoryAndTheClipboardIsLeftAlone)
{
    Clipboard()->SetAsText(QStringLiteral("the user's text"));
    ImagingControl control;
    control.LoadFile(Fixture("in.png", EncodeWith(Swatches(), "PNG")));
    control.SwapRedBlue();
    TBitmap result;
    control.CopyToBitmap(&result);
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("the user's text"));
    ASSERT_EQ(result.PixelFormat(), pf32bit);
    EXPECT_EQ(result.PixelArgb(0, 0), 0xFF0000FFu); // red became blue
    EXPECT_EQ(result.PixelArgb(3, 1) >> 24, 0u);    // alpha kept

    // Copying on purpose does reach the clipboard.
    control.CopyToClipboard();
    TBitmap pasted;
    pasted.Assign(Clipboard());
    EXPECT_EQ(pasted.Width(), 4);
}

TEST_F(ImagingControlTest, EffectsRunInPlaceFromTheWorkCopy)
{
    // As the effects dialog: load the work copy, run the effect, take the result; loading again
    // starts over from the file.
    ImagingControl control;
    const QString work = Fixture("temp.png", EncodeWith(Pattern(), "PNG"));
    control.LoadFile(work);
    control.AdjustContrast(40);
    control.AdjustBrightness(20);
    const TRGBABuffer once = control.Picture();
    control.LoadFile(work);
    control.AdjustContrast(40);
    control.AdjustBrightness(20);
    EXPECT_EQ(control.Picture().Pixels, once.Pixels);
    EXPECT_NE(once.Pixels, Pattern().Pixels);
}

TEST_F(ImagingControlTest, PictureFromMemoryIsTakenExactly)
{
    // Alpha and the colour of faint pixels survive, unlike a JPEG work copy; a buffer whose size
    // does not match its pixels leaves no picture to run effects on.
    ImagingControl control;
    TRGBABuffer picture = Pattern();
    picture.Pixels[3] = 1;
    control.LoadPicture(picture);
    EXPECT_EQ(control.Picture().Pixels, picture.Pixels);
    picture.Pixels.pop_back();
    control.LoadPicture(picture);
    EXPECT_EQ(control.ImageWidth(), 0);
    control.Negative();
    EXPECT_TRUE(control.Picture().Empty());
}

TEST_F(ImagingControlTest, VisibleUseSelectionEventsAndOwner)
{
    QPointer<ImagingControl> control;
    {
        TPanel owner;
        owner.resize(60, 40);
        control = new ImagingControl(&owner);
        control->SetParent(&owner);
        control->SetBorderStyle(2);
        control->SetAlign(alClient);
        int pointerOnStart = -1;
        control->OnESelectionStart = [&](TObject*) { control->SetMousePointer(1); pointerOnStart = control->MousePointer(); };
        control->OnESelectionEnd = [&](TObject*) { control->SetMousePointer(2); };
        control->PrepareView();
        control->LoadFile(Fixture("in.png", EncodeWith(Solid(8, 8, 255, 0, 0, 255), "PNG")));
        owner.show();
        Send(control, QEvent::MouseButtonPress, Qt::LeftButton, 5, 5);
        Send(control, QEvent::MouseMove, Qt::NoButton, 20, 15);
        Send(control, QEvent::MouseButtonRelease, Qt::LeftButton, 20, 15);
        EXPECT_EQ(pointerOnStart, 1);
        EXPECT_EQ(control->MousePointer(), 2);
        EXPECT_EQ(control->cursor().shape(), Qt::CrossCursor);

        // The picture shows inside the sunken frame.
        const QImage shot = control->grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(4, 4)), QColor(255, 0, 0));
        EXPECT_EQ(control->Owner(), &owner);
    }
    EXPECT_TRUE(control.isNull());
}

TEST_F(ImagingControlTest, EveryOperationRunsItsRowOfTheEffectTable)
{
    struct Operation {
        const char* name;
        std::function<void(ImagingControl&)> run;
        TEffectParams args;
    };
#define OP0(N) {#N, [](ImagingControl& c) { c.N(); }, {}}
#define OP1(N, A) {#N, [](ImagingControl& c) { c.N(A); }, {double(A)}}
#define OP2(N, A, B) {#N, [](ImagingControl& c) { c.N(A, B); }, {double(A), double(B)}}
    const std::vector<Operation> operations = {
        OP0(Negative), OP0(AntiAlias), OP0(Blur), OP0(Emboss1), OP0(Emboss2), OP0(Emboss3), OP0(FindEdges),
        OP0(Grayscale), OP0(HighPass), OP0(NeonTrace), OP0(ReflectLeftRight), OP0(ReflectUpDown), OP0(Sharpen),
        OP0(Soften), OP0(StretchDownLeft), OP0(StretchDownRight), OP0(StretchUpLeft), OP0(StretchUpRight),
        OP0(SwapGreenBlue), OP0(SwapRedBlue), OP0(SwapRedGreen),
        OP1(AdjustContrast, 30), OP1(AdjustBrightness, 30), OP1(ButtonizeSmooth, 3), OP1(MaskEllipse, 0x00FF00),
        OP1(Posterize, 1), OP1(RippleRandom, 5), OP1(RippleSine, 5), OP1(RippleTooth, 5), OP1(RippleTriangle, 5),
        OP1(Solarize, 100), OP1(Spray, 3), OP1(Swirl, 150), OP1(Tile1, 50), OP1(Tile2, 50), OP1(Wind, 20),
        OP2(AddNoise, 50, -1), OP2(ButtonizeEllipse1, 4, 4), OP2(ButtonizeEllipse2, 4, 4), OP2(ButtonizeEllipse3, 4, 4),
        OP2(ButtonizeSimple, 4, 4), OP2(Mosaic, 3, 2),
        {"Colorize", [](ImagingControl& c) { c.Colorize(60, 40, 20); }, {60, 40, 20}},
        OP1(FishEye, 1.0f), OP1(ShakeLeftRight, 0.05f), OP1(ShakeUpDown, 0.05f), OP1(TweakGamma, 1.5f),
        OP2(TexturedGlass, 4.0f, 6),
    };
#undef OP0
#undef OP1
#undef OP2
    ASSERT_EQ(operations.size(), ImagingEffects().size());
    const QString work = Fixture("work.png", EncodeWith(Pattern(), "PNG"));
    ImagingControl control;
    control.SetRandomSeed(11);
    for (const Operation& op : operations) {
        control.LoadFile(work);
        TRGBABuffer expected = control.Picture();
        TEffectParams args = op.args;
        args.Seed = 11;
        ApplyImagingEffect(*FindImagingEffect(QLatin1String(op.name)), expected, args);
        op.run(control);
        EXPECT_EQ(control.Picture().Pixels, expected.Pixels) << op.name;
    }
}
