#include "imaging/toolkit/imaging_control.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/cursors.h"
#include "framework/streams.h"
#include "imaging/toolkit/imaging_effects.h"
#include "imaging/toolkit/imaging_files.h"
#include "imaging/toolkit/metafile_writer.h"

#include <Magick++.h>

#include <QFile>
#include <QFileInfo>
#include <QPainter>

ImagingControl::ImagingControl(QObject* AOwner) : TCustomControl(nullptr)
{
    if (AOwner)
        InsertComponent(AOwner, this);
    SetColor(clWindow);
    InitializeImaging();
}

ImagingControl::~ImagingControl() = default;

void ImagingControl::SetBorderStyle(int value)
{
    if (borderStyle_ == value)
        return;
    borderStyle_ = value;
    Invalidate();
}

void ImagingControl::SetMousePointer(int value)
{
    mousePointer_ = value;
    switch (value) {
    case 0: SetCursor(crDefault); break;
    case 2: SetCursor(crCross); break;
    case 3: SetCursor(crIBeam); break;
    case 11: SetCursor(crHourGlass); break;
    case 15: SetCursor(crSizeAll); break;
    default: SetCursor(crArrow); break;
    }
}

void ImagingControl::PrepareView()
{
    selecting_ = false;
    selectionStart_ = selectionEnd_ = TPoint();
    Invalidate();
}

void ImagingControl::LoadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EOleError(QString::fromLatin1(FrameworkText::FOpenError).arg(path));
    // Read at most one byte past the limit: a device or a growing file has no size to trust.
    const int64_t limit = ImagingLimits().MaxFileBytes;
    const bool oversize = file.size() > limit;
    const QByteArray data = oversize ? QByteArray() : file.read(limit + 1);
    file.close();
    if (oversize || data.size() > limit)
        throw EOleError(QStringLiteral("The picture is too large: %1").arg(path));

    TRGBABuffer picture;
    const QString extension = QLatin1Char('.') + QFileInfo(path).suffix();
    switch (ReadPictureData(data, extension, picture)) {
    case TPictureReadResult::Ok:
        picture_ = std::move(picture);
        PictureChanged();
        break;
    case TPictureReadResult::TooLarge:
        picture_ = TRGBABuffer();
        PictureChanged();
        throw EOleError(QStringLiteral("The picture is too large: %1").arg(path));
    case TPictureReadResult::Unrecognized:
        // A stale picture must not be saved or handed on as if it came from this file.
        picture_ = TRGBABuffer();
        PictureChanged();
        Fire(OnEUnrecognizedFormat, this);
        break;
    }
}

void ImagingControl::LoadPicture(const TRGBABuffer& picture)
{
    const bool whole = !picture.Empty() && picture.Pixels.size() == size_t(picture.Width) * picture.Height * 4;
    picture_ = whole ? picture : TRGBABuffer();
    PictureChanged();
}

void ImagingControl::RequirePicture(const char* operation) const
{
    if (picture_.Empty())
        throw EOleError(QStringLiteral("%1: no picture is loaded").arg(QLatin1String(operation)));
}

void ImagingControl::Save(const QString& path, const QByteArray& data)
{
    if (data.isEmpty())
        throw EOleError(QStringLiteral("Cannot write the picture to \"%1\"").arg(path));
    TMemoryStream stream(data);
    try {
        stream.SaveToFile(path);
    } catch (const Exception& e) {
        throw EOleError(e.Message());
    }
}

namespace {

template <class F>
QByteArray Encoded(const char* operation, F encode)
{
    try {
        return encode();
    } catch (const Magick::Exception& e) {
        throw EOleError(QStringLiteral("%1: %2").arg(QLatin1String(operation), QString::fromLocal8Bit(e.what())));
    }
}

} // namespace

void ImagingControl::SavePng(const QString& path)
{
    RequirePicture("SavePng");
    Save(path, Encoded("SavePng", [&] { return EncodePng(picture_); }));
}

void ImagingControl::SaveBmp(const QString& path)
{
    RequirePicture("SaveBmp");
    Save(path, EncodeBmp(picture_));
}

void ImagingControl::SaveEmf(const QString& path)
{
    RequirePicture("SaveEmf");
    Save(path, WriteEmf(picture_));
}

void ImagingControl::SaveWmf(const QString& path)
{
    RequirePicture("SaveWmf");
    if (picture_.Width > MaxWmfSide || picture_.Height > MaxWmfSide)
        throw EOleError(QStringLiteral("SaveWmf: the picture is too large for a metafile"));
    Save(path, WriteWmf(picture_));
}

void ImagingControl::SaveTga(const QString& path)
{
    RequirePicture("SaveTga");
    Save(path, Encoded("SaveTga", [&] { return EncodeTga(picture_); }));
}

void ImagingControl::SaveGif(const QString& path, bool transparent, int colour)
{
    RequirePicture("SaveGif");
    Save(path, Encoded("SaveGif", [&] { return EncodeGif(picture_, transparent, uint32_t(colour)); }));
}

void ImagingControl::CopyToBitmap(TBitmap* bitmap) const
{
    if (picture_.Empty()) {
        bitmap->SetSize(0, 0);
        return;
    }
    TBitmap result(picture_.Width, picture_.Height, pf32bit);
    for (int y = 0; y < picture_.Height; ++y) {
        uint8_t* row = result.ScanLine(y);
        const uint8_t* src = picture_.Pixels.data() + size_t(y) * picture_.Width * 4;
        for (int x = 0; x < picture_.Width; ++x, src += 4, row += 4) {
            row[0] = src[2];
            row[1] = src[1];
            row[2] = src[0];
            row[3] = src[3];
        }
    }
    bitmap->Assign(&result);
}

void ImagingControl::CopyToClipboard()
{
    RequirePicture("CopyToClipboard");
    TBitmap bitmap;
    CopyToBitmap(&bitmap);
    Clipboard()->Assign(&bitmap);
}

// ---- effects ------------------------------------------------------------------------------------

void ImagingControl::Run(const char* name, const TEffectParams& params)
{
    const TImagingEffect* effect = FindImagingEffect(QLatin1String(name));
    if (!effect)
        RaiseAssertion(QStringLiteral("No effect named %1").arg(QLatin1String(name)));
    if (picture_.Empty())
        return;
    TEffectParams p = params;
    p.Seed = seed_;
    try {
        ApplyImagingEffect(*effect, picture_, p);
    } catch (const Magick::Exception& e) {
        throw EOleError(QStringLiteral("%1: %2").arg(QLatin1String(name), QString::fromLocal8Bit(e.what())));
    }
    PictureChanged();
}

void ImagingControl::Negative() { Run("Negative", {}); }
void ImagingControl::AntiAlias() { Run("AntiAlias", {}); }
void ImagingControl::Blur() { Run("Blur", {}); }
void ImagingControl::Emboss1() { Run("Emboss1", {}); }
void ImagingControl::Emboss2() { Run("Emboss2", {}); }
void ImagingControl::Emboss3() { Run("Emboss3", {}); }
void ImagingControl::FindEdges() { Run("FindEdges", {}); }
void ImagingControl::Grayscale() { Run("Grayscale", {}); }
void ImagingControl::HighPass() { Run("HighPass", {}); }
void ImagingControl::NeonTrace() { Run("NeonTrace", {}); }
void ImagingControl::ReflectLeftRight() { Run("ReflectLeftRight", {}); }
void ImagingControl::ReflectUpDown() { Run("ReflectUpDown", {}); }
void ImagingControl::Sharpen() { Run("Sharpen", {}); }
void ImagingControl::Soften() { Run("Soften", {}); }
void ImagingControl::StretchDownLeft() { Run("StretchDownLeft", {}); }
void ImagingControl::StretchDownRight() { Run("StretchDownRight", {}); }
void ImagingControl::StretchUpLeft() { Run("StretchUpLeft", {}); }
void ImagingControl::StretchUpRight() { Run("StretchUpRight", {}); }
void ImagingControl::SwapGreenBlue() { Run("SwapGreenBlue", {}); }
void ImagingControl::SwapRedBlue() { Run("SwapRedBlue", {}); }
void ImagingControl::SwapRedGreen() { Run("SwapRedGreen", {}); }
void ImagingControl::AdjustContrast(int contrast) { Run("AdjustContrast", {double(contrast)}); }
void ImagingControl::AdjustBrightness(int brightness) { Run("AdjustBrightness", {double(brightness)}); }
void ImagingControl::ButtonizeSmooth(int depth) { Run("ButtonizeSmooth", {double(depth)}); }
void ImagingControl::MaskEllipse(int colour) { Run("MaskEllipse", {double(uint32_t(colour))}); }
void ImagingControl::Posterize(int depth) { Run("Posterize", {double(depth)}); }
void ImagingControl::RippleRandom(int depth) { Run("RippleRandom", {double(depth)}); }
void ImagingControl::RippleSine(int depth) { Run("RippleSine", {double(depth)}); }
void ImagingControl::RippleTooth(int depth) { Run("RippleTooth", {double(depth)}); }
void ImagingControl::RippleTriangle(int depth) { Run("RippleTriangle", {double(depth)}); }
void ImagingControl::Solarize(int threshold) { Run("Solarize", {double(threshold)}); }
void ImagingControl::Spray(int depth) { Run("Spray", {double(depth)}); }
void ImagingControl::Swirl(int degrees) { Run("Swirl", {double(degrees)}); }
void ImagingControl::Tile1(int depth) { Run("Tile1", {double(depth)}); }
void ImagingControl::Tile2(int depth) { Run("Tile2", {double(depth)}); }
void ImagingControl::Wind(int depth) { Run("Wind", {double(depth)}); }
void ImagingControl::AddNoise(int depth, int kind) { Run("AddNoise", {double(depth), double(kind)}); }
void ImagingControl::ButtonizeEllipse1(int depth, int weight) { Run("ButtonizeEllipse1", {double(depth), double(weight)}); }
void ImagingControl::ButtonizeEllipse2(int depth, int weight) { Run("ButtonizeEllipse2", {double(depth), double(weight)}); }
void ImagingControl::ButtonizeEllipse3(int depth, int weight) { Run("ButtonizeEllipse3", {double(depth), double(weight)}); }
void ImagingControl::ButtonizeSimple(int depth, int weight) { Run("ButtonizeSimple", {double(depth), double(weight)}); }
void ImagingControl::Mosaic(int width, int height) { Run("Mosaic", {double(width), double(height)}); }
void ImagingControl::Colorize(int hue, int saturation, int luminance)
{
    Run("Colorize", {double(hue), double(saturation), double(luminance)});
}
void ImagingControl::FishEye(float strength) { Run("FishEye", {double(strength)}); }
void ImagingControl::ShakeLeftRight(float amount) { Run("ShakeLeftRight", {double(amount)}); }
void ImagingControl::ShakeUpDown(float amount) { Run("ShakeUpDown", {double(amount)}); }
void ImagingControl::TweakGamma(float gamma) { Run("TweakGamma", {double(gamma)}); }
void ImagingControl::TexturedGlass(float scale, int chaos) { Run("TexturedGlass", {double(scale), double(chaos)}); }

// ---- view ---------------------------------------------------------------------------------------

void ImagingControl::PictureChanged()
{
    view_ = RGBAToQImage(picture_);
    Invalidate();
}

int ImagingControl::Inset() const { return borderStyle_ == 1 ? 1 : borderStyle_ == 2 ? 2 : 0; }

void ImagingControl::Paint()
{
    QPainter* p = Canvas()->Handle();
    const QRect all(0, 0, width(), height());
    p->fillRect(all, QtColor());
    const int inset = Inset();
    if (borderStyle_ == 1) {
        p->setPen(Qt::black);
        p->drawRect(all.adjusted(0, 0, -1, -1));
    } else if (borderStyle_ == 2) {
        p->setPen(QColor(128, 128, 128));
        p->drawLine(0, 0, width() - 1, 0);
        p->drawLine(0, 0, 0, height() - 1);
        p->setPen(QColor(64, 64, 64));
        p->drawLine(1, 1, width() - 2, 1);
        p->drawLine(1, 1, 1, height() - 2);
        p->setPen(QColor(255, 255, 255));
        p->drawLine(0, height() - 1, width() - 1, height() - 1);
        p->drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
    p->save();
    p->setClipRect(all.adjusted(inset, inset, -inset, -inset));
    if (!view_.isNull())
        p->drawImage(inset, inset, view_);
    if (selectionStart_.X != selectionEnd_.X || selectionStart_.Y != selectionEnd_.Y) {
        QPen pen(Qt::black, 1, Qt::DashLine);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(QPoint(selectionStart_.X, selectionStart_.Y), QPoint(selectionEnd_.X, selectionEnd_.Y)).normalized());
    }
    p->restore();
}

void ImagingControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    selecting_ = true;
    selectionStart_ = selectionEnd_ = TPoint{x, y};
    Fire(OnESelectionStart, this);
    Invalidate();
}

void ImagingControl::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!selecting_)
        return;
    selectionEnd_ = TPoint{x, y};
    Invalidate();
}

void ImagingControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !selecting_)
        return;
    selecting_ = false;
    selectionEnd_ = TPoint{x, y};
    Fire(OnESelectionEnd, this);
    Invalidate();
}

bool ImagingControl::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnEUnrecognizedFormat", OnEUnrecognizedFormat, h, "TObject*") ||
           BindEventTo(name, "OnESelectionStart", OnESelectionStart, h, "TObject*") ||
           BindEventTo(name, "OnESelectionEnd", OnESelectionEnd, h, "TObject*") || TCustomControl::BindEvent(name, h);
}
