#pragma once

// ImagingControl: the image control that loads pictures the editor does not decode itself,
// writes the formats it does not write itself (GIF, TGA, EMF, WMF) and computes the filters and
// effects. Each instance holds one current picture: LoadFile replaces it, the effect operations
// change it in place (same size), the save and copy operations take it. Windows create one with
// an owner, use it and free it; shown, it draws its picture and lets the user drag a selection
// rectangle.
//
// Failures: a file that cannot be opened, a picture too large to hold, or a save without a picture
// or to a place that cannot be written raise EOleError. A file that opens but holds no picture the
// control can decode (EMF among them: this platform has no EMF decoder) fires
// OnEUnrecognizedFormat and leaves the control without a picture. Effects on a control without a
// picture do nothing.
//
// Effect results are handed over in memory (CopyToBitmap, Picture), never through the system
// clipboard, which stays the user's; CopyToClipboard is there for callers that mean to copy.

#include "framework/controls.h"
#include "framework/exceptions.h"
#include "framework/magick_bridge.h"

#include <QImage>
#include <cstdint>

class TBitmap;
struct TEffectParams;

// The framework's error for a failed call on an outside control.
BRELNOVA_EXCEPTION(EOleError, Exception)

class ImagingControl : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE SetMousePointer)
    Q_PROPERTY(int ImageWidth READ ImageWidth)
    Q_PROPERTY(int ImageHeight READ ImageHeight)
    Q_PROPERTY(uint RandomSeed READ RandomSeed WRITE SetRandomSeed)

public:
    // Owned by AOwner (freed with it); without a parent until SetParent.
    explicit ImagingControl(QObject* AOwner = nullptr);
    ~ImagingControl() override;

    // 0 none, 1 a single line, 2 a sunken frame.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int value);
    // The mouse pointer over the control: 0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass,
    // 15 move; others show the arrow.
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int value);
    int ImageWidth() const { return picture_.Width; }
    int ImageHeight() const { return picture_.Height; }
    // The seed of the effects with a random part: the same seed gives the same result.
    uint RandomSeed() const { return seed_; }
    void SetRandomSeed(uint seed) { seed_ = seed; }

    // Readies the view: clears a selection and shows the picture from the top-left corner.
    void PrepareView();
    void LoadFile(const QString& path);
    // Takes a picture held in memory, losslessly, as LoadFile takes one from a file. A buffer
    // whose size does not match its pixels leaves the control without a picture.
    void LoadPicture(const TRGBABuffer& picture);
    void SavePng(const QString& path);
    void SaveBmp(const QString& path);
    void SaveEmf(const QString& path);
    void SaveWmf(const QString& path);
    void SaveTga(const QString& path);
    // With transparent set, the pixels of colour (0x00BBGGRR) become the GIF's transparent ones.
    void SaveGif(const QString& path, bool transparent, int colour);
    void CopyToClipboard();

    // The current picture as a 32-bit bitmap with its alpha (an empty bitmap without a picture).
    void CopyToBitmap(TBitmap* bitmap) const;
    const TRGBABuffer& Picture() const { return picture_; }

    // The effects; names and arguments as the filters and effects dialog passes them.
    void Negative();
    void AntiAlias();
    void Blur();
    void Emboss1();
    void Emboss2();
    void Emboss3();
    void FindEdges();
    void Grayscale();
    void HighPass();
    void NeonTrace();
    void ReflectLeftRight();
    void ReflectUpDown();
    void Sharpen();
    void Soften();
    void StretchDownLeft();
    void StretchDownRight();
    void StretchUpLeft();
    void StretchUpRight();
    void SwapGreenBlue();
    void SwapRedBlue();
    void SwapRedGreen();
    void AdjustContrast(int contrast);
    void AdjustBrightness(int brightness);
    void ButtonizeSmooth(int depth);
    void MaskEllipse(int colour);
    void Posterize(int depth);
    void RippleRandom(int depth);
    void RippleSine(int depth);
    void RippleTooth(int depth);
    void RippleTriangle(int depth);
    void Solarize(int threshold);
    void Spray(int depth);
    void Swirl(int degrees);
    void Tile1(int depth);
    void Tile2(int depth);
    void Wind(int depth);
    void AddNoise(int depth, int kind);
    void ButtonizeEllipse1(int depth, int weight);
    void ButtonizeEllipse2(int depth, int weight);
    void ButtonizeEllipse3(int depth, int weight);
    void ButtonizeSimple(int depth, int weight);
    void Mosaic(int width, int height);
    void Colorize(int hue, int saturation, int luminance);
    void FishEye(float strength);
    void ShakeLeftRight(float amount);
    void ShakeUpDown(float amount);
    void TweakGamma(float gamma);
    void TexturedGlass(float scale, int chaos);

    TNotifyEvent OnEUnrecognizedFormat;
    TNotifyEvent OnESelectionStart;
    TNotifyEvent OnESelectionEnd;

    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void Run(const char* name, const TEffectParams& params);
    void Save(const QString& path, const QByteArray& data);
    void RequirePicture(const char* operation) const;
    void PictureChanged();
    int Inset() const;

    TRGBABuffer picture_;
    QImage view_;
    int borderStyle_ = 0;
    int mousePointer_ = 0;
    uint seed_ = 1;
    bool selecting_ = false;
    TPoint selectionStart_;
    TPoint selectionEnd_;
};
