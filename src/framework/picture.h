#pragma once

// TPicture holds any graphic and the picture-format registry that maps file extensions and
// clipboard formats to graphic classes. Built in: "bmp", "dib", "rle" (TBitmap), "ico" (TIcon),
// "jpg", "jpeg" (TJPEGImage) and, below those, every raster format that Qt's readers know except
// the formats the system reads with its own code (ico, cur, ani, gif, bmp, dib, rle, jpg, jpeg):
// those never reach a Qt plugin. Later registrations of an extension take precedence.

#include "framework/graphic.h"

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

class TBitmap;
class TIcon;

// A graphic class: its factory. Use GraphicClass<T>() for a class T.
using TGraphicClass = TGraphic* (*)();
template <class T>
TGraphic* CreateGraphicOf()
{
    return new T;
}
template <class T>
TGraphicClass GraphicClass()
{
    return &CreateGraphicOf<T>;
}

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Holds a copy of the graphic (of the same class); null empties the picture.
    void SetGraphic(TGraphic* graphic);
    // The held bitmap; a picture holding something else is first emptied and given a new one.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const;
    int Height() const;

    // Picks the graphic class by the file's extension; raises EInvalidGraphic "Unknown picture
    // file extension (.ext)" for one without a class. A failed load leaves the picture as it was.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName);
    void LoadFromClipboardFormat(TClipFormat format, const QByteArray& data);
    void SaveToClipboardFormat(TClipFormat& format, QByteArray& data);

    void Assign(TPersistent* source) override;

    TNotifyEvent OnChange;

    // ---- Registry ----
    static void RegisterFileFormat(const QString& extension, const QString& description,
                                   TGraphicClass graphicClass);
    static void RegisterClipboardFormat(TClipFormat format, TGraphicClass graphicClass);
    // Removes every extension and clipboard format of the class.
    static void UnregisterGraphicClass(TGraphicClass graphicClass);
    static bool SupportsClipboardFormat(TClipFormat format);
    // The class registered for an extension (without the dot, any case), or null.
    static TGraphicClass FileFormatClass(const QString& extension);
    // Registered clipboard formats, most recent first.
    static std::vector<TClipFormat> ClipboardFormats();
    // Open-dialog filter of every registered format ("All (*.bmp;...)|*.bmp;...|Bitmaps
    // (*.bmp)|*.bmp|..."); with a class, only that class's extensions.
    static QString GraphicFilter(TGraphicClass graphicClass = nullptr);
    // The first extension registered for a class ("bmp").
    static QString GraphicExtension(TGraphicClass graphicClass);

protected:
    void AssignTo(TPersistent* dest) override;

private:
    void Adopt(TGraphic* graphic);
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};

// A picture read by one of Qt's image readers (PNG, TIFF, ...), held as non-premultiplied
// 32-bit pixels and drawn blended by its alpha.
class TQtImage : public TGraphic {
public:
    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override { return image_.isNull(); }
    int GetWidth() override { return image_.width(); }
    int GetHeight() override { return image_.height(); }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void LoadFromFile(const QString& fileName) override;
    void SaveToFile(const QString& fileName) override;
    void Assign(TPersistent* source) override;

    const QImage& Image() const { return image_; }
    void SetImage(const QImage& image);
    // The Qt format name used for saving ("png"); taken from the file name on load and save.
    QString Format() const { return format_; }
    void SetFormat(const QString& format) { format_ = format; }

private:
    QImage image_;
    QString format_ = QStringLiteral("png");
};
