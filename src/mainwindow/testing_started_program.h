#pragma once

// Test support: the program started in a program folder of its own, its first project
// "iconview1" holding a picture of four quarters, and every window gone afterwards.

#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/testing_forms.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/program_start.h"
#include "platform/gdip.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class StartedProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("data");
        SetProgramFolder(dir.path());
        StartProgram({});
        ASSERT_TRUE(iconmain);
        iconmain->Timer3Timer(nullptr);
        doc = qobject_cast<Tnewiconview*>(FindForm("iconview1"));
        ASSERT_TRUE(doc);
        Paint(doc, Quarters);
    }
    void TearDown() override
    {
        FreeEveryForm();
        SetProgramFolder(QString());
    }

    // Opaque colours, half-transparent, fully transparent and barely visible (alpha 1, which a
    // key-colour or JPEG round trip loses) in the four quarters.
    static QRgb Quarters(int x, int y, int w, int h)
    {
        const bool left = x < w / 2, top = y < h / 2;
        if (left && top)
            return qRgba(x * 9 % 256, y * 11 % 256, 100, 255);
        if (top)
            return qRgba(200, 50, 30, 128);
        return left ? 0 : qRgba(10, 220, 90, 1);
    }
    static void Paint(Tnewiconview* d, QRgb (*pixel)(int, int, int, int))
    {
        QImage* image = GdipImageData(d->CurrentImage());
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                image->setPixel(x, y, pixel(x, y, image->width(), image->height()));
    }
    static QImage Picture(Tnewiconview* d) { return GdipImageData(d->CurrentImage())->copy(); }

    QTemporaryDir dir;
    Tnewiconview* doc = nullptr;
};
