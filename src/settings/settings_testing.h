#pragma once

// A world for the customiser's tests: a registry store, a program folder and a Windows folder of
// their own, with a generated icon library standing as system32\shell32.dll whose icon i is
// filled with the colour 0xFF000000 + i.

#include "framework/streams.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library1.h"
#include "imaging/icons/icon_test_files.h"
#include "platform/program_paths.h"
#include "settings/icon_locations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace settingstest {

inline QByteArray IconFileOfColour(uint32_t colour, int side = 32)
{
    icontest::Dib d;
    d.Width = d.Height = side;
    d.Pixel = [colour](int, int) { return colour; };
    return icontest::MakeIco({icontest::MakeImage(d)});
}

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A library of count icons, icon i of colour 0xFF000000 + i.
inline void WriteLibrary(const QString& path, int count)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    TIconLibrary1 library;
    for (int i = 0; i < count; ++i) {
        auto icon = std::make_unique<TAdvancedIcon>();
        TMemoryStream stream;
        const QByteArray bytes = IconFileOfColour(0xFF000000u + uint32_t(i));
        stream.Write(bytes.constData(), bytes.size());
        stream.SetPosition(0);
        icon->LoadFromStream(&stream);
        library.Icons()->AddIcon(QString(), std::move(icon));
    }
    library.SaveToFile(path);
}

class SettingsWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("BRELNOVA_REGISTRY", (dir.path() + "/registry.txt").toUtf8());
        QDir().mkpath(dir.path() + "/program/UndoTemp");
        SetProgramFolder(dir.path() + "/program/");
        windows = dir.path() + "/windows";
        WriteLibrary(windows + "/system32/shell32.dll", 50);
        IconLocations::SetWindowsDirectory(windows);
        IconLocations::SetWindowsVersionName(QString());
    }
    void TearDown() override
    {
        IconLocations::SetWindowsDirectory(QString());
        IconLocations::SetWindowsVersionName(QString());
        SetProgramFolder(QString());
        qunsetenv("BRELNOVA_REGISTRY");
    }

    QTemporaryDir dir;
    QString windows;
};

} // namespace settingstest
