#pragma once

// TImageList: a list of pictures of one size, each with its transparency, drawn normally or
// greyed for a disabled look.

#include "framework/graphics.h"

#include <QImage>
#include <QObject>
#include <vector>

class TBitmap;
class TCanvas;
class TIcon;

class TImageList : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TImageList(QObject* owner = nullptr);
    TImageList(int width, int height, QObject* owner = nullptr);
    ~TImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list, as the framework's does.
    void SetWidth(int value);
    void SetHeight(int value);
    int Count() const { return int(images_.size()); }

    // Adds the images of a bitmap (a strip of Width-wide pictures when it is wider). With a mask
    // (monochrome, set bits transparent) the masked pixels are left out. Returns the index of
    // the first added image, -1 when nothing was added.
    int Add(TBitmap* image, TBitmap* mask);
    // Adds with the pixels of maskColor transparent (clDefault: the bottom-left pixel of each).
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    // Adds a non-premultiplied ARGB picture, scaled to the list's size when it differs.
    int AddImage(const QImage& image);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void Delete(int index);
    void Clear();

    // Draws image index with its top-left corner at x, y; disabled images are drawn greyed.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    // Paints image index over white into the bitmap, which takes the list's size and 24 bits.
    void GetBitmap(int index, TBitmap* bitmap);
    // The picture with its alpha; a null image for a bad index.
    QImage Image(int index) const;

    void Assign(TPersistent* source) override;

    TNotifyEvent OnChange;

private:
    void Changed();
    int AddSplit(const QImage& argb);

    int width_ = 16;
    int height_ = 16;
    std::vector<QImage> images_;
};
