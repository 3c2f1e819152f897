#pragma once

// The rules of the import windows that hold apart from any widget: which image of an icon group a
// grid cell shows and how it is labelled, the formats an import makes, the checks on what the
// user types, the whole-number zoom of the multi-frame viewer and the placing of a picture on the
// full-screen viewer; and the splitting of animated GIFs and layered pictures into PNG files.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

class QImage;
class TMultiIcon;

// Depth text ("32 Bit") and cell tag ("32B") of an image's bit count; a bit count outside the
// known ones gives an empty tag and the text bitCount + " Bit".
QString DepthText(int bitCount);
QString DepthTag(int bitCount);

// Width, height and bit count of image index of an icon group, from its directory entry (a width
// or height byte of 0 stands for 256).
struct TIconEntryInfo {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
};
TIconEntryInfo IconEntryInfo(TMultiIcon* icon, int index);

// The image a grid cell draws: the first whose width is sizeFilter and bit count depthFilter,
// else the first image.
int PickCellImage(TMultiIcon* icon, int sizeFilter, int depthFilter);

// Rows of a grid of `columns` columns holding `count` cells.
int GridRowCount(int count, int columns);

// One format an import makes.
struct TImportFormat {
    int Width = 0;
    int Height = 0;
    QString Kind;
    bool operator==(const TImportFormat&) const = default;
};

// The size boxes in order (96, 72, 64, 48, 32, 16, custom) and the kind boxes ("XP", "16.8M",
// "256", "16", "Mono"): the first format is the first checked size in the first checked kind,
// falling back on `fallback` where nothing is checked; then every further checked kind and size,
// kind by kind, the first format left out.
std::vector<TImportFormat> ImportFormatPlan(const bool sizes[7], int customWidth, int customHeight,
                                            const bool kinds[5], const TImportFormat& fallback);

// Checks a custom side typed by the user: empty text if it is a whole number from 1 to 255, else
// the message to show.
QString CheckCustomSide(const QString& text, const QString& what);

// Whole-number zoom that fits a picture into an area, by the picture's longer side; at least 1,
// so a picture larger than the area shows at its own size.
int FitZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// Top left of a picture centred on a screen (it may lie outside the screen).
QPoint CentredOrigin(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight);

// Writes every frame of an animated GIF as a 32-bit PNG named prefix + i + ".png" (i from 0):
// each frame's own transparent colour becomes transparent, every other pixel opaque. Returns the
// number of frames written; 0 for a file that holds no readable frame (message says why).
int SplitGifFrames(const QString& path, const QString& prefix, QString* message = nullptr);

// Writes each layer of a layered picture as prefix + i + ".png" (i from 0) and its composite as
// prefix + layers + ".png". Returns the number of pictures written (layers + 1), 0 when the file
// cannot be read (message says why).
int SplitImageLayers(const QString& path, const QString& prefix, QString* message = nullptr);

// A picture file as a 32-bit ARGB image; null when it cannot be read.
QImage ReadPicture(const QString& path);
