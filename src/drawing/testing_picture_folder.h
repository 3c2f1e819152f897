#pragma once

// A program folder for tests of the engines' pictures: the pattern pictures
// "image\16color\17.bmp" (stripes of navy and yellow) and "image\16color\18.bmp" (stripes of
// maroon and teal), 8 x 8 each, and a plain green picture "green.png" for the image fill.

#include "platform/gdip.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

class TTestingPictureFolder {
public:
    TTestingPictureFolder()
    {
        QDir(dir.path()).mkpath("image/16color");
        QImage first(8, 8, QImage::Format_RGB32), second(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                first.setPixel(x, y, PatternAt(x, y));
                second.setPixel(x, y, SecondPatternAt(x, y));
            }
        first.save(dir.filePath("image/16color/17.bmp"), "BMP");
        second.save(dir.filePath("image/16color/18.bmp"), "BMP");
        QImage green(5, 5, QImage::Format_ARGB32);
        green.fill(0xFF00FF00);
        green.save(dir.filePath("green.png"), "PNG");
        SetProgramFolder(dir.path());
    }
    ~TTestingPictureFolder() { SetProgramFolder(QString()); }
    static ARGB PatternAt(int x, int y) { return ((x + y) % 8) < 4 ? 0xFF000080 : 0xFFFFFF00; }
    static ARGB SecondPatternAt(int x, int y) { return (x % 8) < 4 ? 0xFF800000 : 0xFF008080; }
    QString Path(const QString& name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
};
