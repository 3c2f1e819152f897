#pragma once

// What the import window tests share: a program folder of their own with the template document
// and a testing editor state, every window made by a test freed after it, small GIF and icon
// library fixtures built in memory, and a dialog answerer that records messages and answers file
// dialogs.

#include "document/newiconview.h"
#include "document/testing_editor_state.h"
#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/testing_forms.h"
#include "import/loadimagedorv.h"
#include "mainwindow/file_host.h"
#include "platform/program_paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace importtest {

// One frame of a 4-colour GIF (red, green, blue, white): palette indices row by row and the
// frame's transparent index (-1 none).
struct TGifFrameSpec {
    std::vector<uint8_t> Pixels;
    int Transparent = -1;
};

// A GIF of width by height frames, coded with a clear code before every pixel so that every code
// stays 3 bits wide.
inline QByteArray MakeGif(int width, int height, const std::vector<TGifFrameSpec>& frames)
{
    QByteArray b("GIF89a");
    auto put16 = [&](int v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    put16(width);
    put16(height);
    b.append(char(0x91));
    b.append(char(0));
    b.append(char(0));
    const uint8_t palette[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    b.append(reinterpret_cast<const char*>(palette), sizeof palette);
    for (const TGifFrameSpec& f : frames) {
        b.append("\x21\xF9\x04", 3);
        b.append(char(f.Transparent >= 0 ? 1 : 0));
        put16(10);
        b.append(char(f.Transparent >= 0 ? f.Transparent : 0));
        b.append(char(0));
        b.append(char(0x2C));
        put16(0);
        put16(0);
        put16(width);
        put16(height);
        b.append(char(0));
        b.append(char(2));
        QByteArray data;
        uint32_t acc = 0;
        int bits = 0;
        auto code = [&](int c) {
            acc |= uint32_t(c) << bits;
            bits += 3;
            while (bits >= 8) {
                data.append(char(acc & 0xFF));
                acc >>= 8;
                bits -= 8;
            }
        };
        for (uint8_t p : f.Pixels) {
            code(4);
            code(p);
        }
        code(5);
        if (bits > 0)
            data.append(char(acc & 0xFF));
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            b.append(char(block.size()));
            b.append(block);
        }
        b.append(char(0));
    }
    b.append(char(0x3B));
    return b;
}

// The main window's file host without a main window: projects are plain windows.
class TPlainFileHost : public TFileHost {
public:
    using TFileHost::TFileHost;
    Tnewiconview* NewDocumentWindow(const QString& name, const QString& caption) override
    {
        auto* doc = new Tnewiconview(nullptr);
        doc->setObjectName(name);
        doc->SetCaption(caption);
        return doc;
    }
};

class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("data");
        SetProgramFolder(dir.path());
        templ = new Tnewiconview;
        templ->setObjectName(QStringLiteral("newiconview"));
        SetImportFileHostMaker([this] { return std::make_unique<TPlainFileHost>(state); });
        SetDialogAnswerer([this](TDialogRequest& r) {
            if (r.Kind == TDialogRequest::dkOpen || r.Kind == TDialogRequest::dkSave) {
                if (FileAnswer.isEmpty())
                    return true;
                r.Dialog->setProperty("FileName", FileAnswer);
                r.Result = 1;
                return true;
            }
            Messages << r.Text;
            r.Result = 1;
            return true;
        });
    }
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        SetImportFileHostMaker(nullptr);
        FreeEveryForm();
        SetProgramFolder(QString());
    }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QTemporaryDir dir;
    TTestingEditorState state;
    Tnewiconview* templ = nullptr;
    QStringList Messages;
    QString FileAnswer;
};

} // namespace importtest
