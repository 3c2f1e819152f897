#include "skin/theme_file_reader.h"

#include "framework/exceptions.h"
#include "framework/streams.h"
#include "skin/skin_builder_testing.h"
#include "skin/theme_items.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

class SkinFileTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes, const QString& name = "t.sui")
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(SkinFileTest, ReadsEveryKindAndFirstOfDuplicateNamesWins)
{
    SkinBuilder b;
    b.Add("ButtonImage", 0, "BMbytes")
        .AddInt("FormBorderColor", 0x00C82C00)
        .AddInt("TitleBarButtonRightOffsetInt", -3)
        .AddBool("ButtonTransparentBool", 7)
        .AddBool("TitleBarButtonTransparentBool", 0)
        .Add("Author", 3, "someone")
        .Add("Strange", 9, "skipped")
        .AddInt("formbordercolor", 1)
        .Add("BUTTONIMAGE", 0, "second");
    TsuiThemeFileReader r(Write(b.Build()));

    EXPECT_EQ(r.GetInteger("FormBorderColor"), 0x00C82C00);
    EXPECT_EQ(r.GetInteger("FORMBORDERCOLOR"), 0x00C82C00);
    EXPECT_EQ(r.GetInteger("TitleBarButtonRightOffsetInt"), -3);
    EXPECT_TRUE(r.GetBool("buttontransparentbool"));
    EXPECT_FALSE(r.GetBool("TitleBarButtonTransparentBool"));
    EXPECT_EQ(r.Strings(), QStringList{"Author=someone"});

    TMemoryStream* s = r.GetImageStream("buttonImage");
    ASSERT_NE(s, nullptr);
    s->SetPosition(5);
    s = r.GetImageStream("ButtonImage");
    EXPECT_EQ(s->Position(), 0);
    EXPECT_EQ(s->Bytes(), QByteArray("BMbytes"));

    // Missing names, and names of another kind, find nothing.
    EXPECT_EQ(r.GetInteger("ButtonTransparentBool"), -1);
    EXPECT_EQ(r.GetInteger("Strange"), -1);
    EXPECT_FALSE(r.GetBool("Nothing"));
    EXPECT_EQ(r.GetImageStream("End"), nullptr);
}

TEST_F(SkinFileTest, ChainOfOneRecordYieldsNothing)
{
    SkinBuilder b;
    TsuiThemeFileReader r(Write(b.Build()));
    EXPECT_EQ(r.GetInteger("End"), -1);
    EXPECT_EQ(r.GetImageStream("End"), nullptr);

    // The last record of a chain is never stored, whatever it holds.
    b.AddInt("FormMinWidthInt", 5);
    b.Records.back().Next = 0;
    TsuiThemeFileReader r2(Write(b.Build(), "b.sui"));
    EXPECT_EQ(r2.GetInteger("FormMinWidthInt"), -1);
}

TEST_F(SkinFileTest, MagicIsCheckedExactly)
{
    const QByteArray good = SkinBuilder().Build();
    EXPECT_TRUE(IsValidThemeFile(Write(good)));

    struct Case {
        const char* What;
        QByteArray Bytes;
    };
    QByteArray noNul = good;
    noNul[10] = 'X';
    QByteArray lower = good;
    lower[0] = 'd';
    const Case cases[] = {
        {"byte 10 not NUL", noNul},
        {"other case", lower},
        {"shorter than the magic field", good.left(11)},
        {"empty", QByteArray()},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(IsValidThemeFile(Write(c.Bytes, "m.sui"))) << c.What;
    EXPECT_FALSE(IsValidThemeFile(dir.filePath("missing.sui")));
    EXPECT_FALSE(IsValidThemeFile(dir.path()));
    EXPECT_FALSE(IsValidThemeFile(QString()));
}

TEST_F(SkinFileTest, MalformedFilesAreRefusedWithTheSkinText)
{
    auto base = [] {
        SkinBuilder b;
        b.AddInt("FormMinWidthInt", 5).Add("ButtonImage", 0, "BM12345678").AddBool("ButtonTransparentBool", 1);
        return b;
    };
    struct Case {
        const char* What;
        std::function<void(SkinBuilder&)> Break;
        int Truncate = 0;
    };
    const Case cases[] = {
        {"header size 23", [](SkinBuilder& b) { b.HeaderSize = 23; }},
        {"header size 4096", [](SkinBuilder& b) { b.HeaderSize = 4096; }},
        {"header size negative", [](SkinBuilder& b) { b.HeaderSize = -24; }},
        {"magic wrong", [](SkinBuilder& b) { b.Magic = QByteArray("DERUvaz_TBX\0", 12); }},
        {"first record negative", [](SkinBuilder& b) { b.FirstOffset = -77; }},
        {"first record past the end", [](SkinBuilder& b) { b.FirstOffset = 100000; }},
        {"first record overlaps the end", [](SkinBuilder& b) { b.FirstOffset = 24 + 77 * 4 + 19 - 10; }},
        {"chain points at itself", [](SkinBuilder& b) { b.Records[1].Next = 24 + 77; }},
        {"chain points back", [](SkinBuilder& b) { b.Records[2].Next = 24; }},
        {"next record negative", [](SkinBuilder& b) { b.Records[0].Next = -5; }},
        {"data offset negative", [](SkinBuilder& b) { b.Records[1].DataOffset = -1; }},
        {"data size negative", [](SkinBuilder& b) { b.Records[1].DataSize = -10; }},
        {"image past the end", [](SkinBuilder& b) { b.Records[1].DataSize = 5000; }},
        {"image offset past the end", [](SkinBuilder& b) { b.Records[1].DataOffset = 5000; }},
        {"huge size wraps", [](SkinBuilder& b) { b.Records[1].DataSize = INT32_MAX; }},
        {"integer of 2 bytes", [](SkinBuilder& b) { b.Records[0].DataSize = 2; }},
        {"integer of 8 bytes", [](SkinBuilder& b) { b.Records[0].DataSize = 8; }},
        {"boolean of 4 bytes", [](SkinBuilder& b) { b.Records[2].DataSize = 4; }},
        {"boolean of 0 bytes", [](SkinBuilder& b) { b.Records[2].DataSize = 0; }},
        {"file cut inside a record", [](SkinBuilder&) {}, 24 + 77 * 2 + 30},
        {"file cut inside the header", [](SkinBuilder&) {}, 20},
    };
    for (const Case& c : cases) {
        SkinBuilder b = base();
        c.Break(b);
        QByteArray bytes = b.Build();
        if (c.Truncate)
            bytes.truncate(c.Truncate);
        const QString path = Write(bytes, "bad.sui");
        try {
            TsuiThemeFileReader r(path);
            ADD_FAILURE() << c.What << ": accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString(InvalidSkinFileText)) << c.What;
        }
    }
}

// A file of the source tree outside testdata/ (the test program is built with its path).
QString SourcePath(const char* relative) { return QStringLiteral(BRELNOVA_TESTDATA "/../") + QLatin1String(relative); }

// The shipped default skin, read back against the manifest it was packed from.
TEST_F(SkinFileTest, DefaultSkinReadsBackItemByItem)
{
    const QString sui = SourcePath("assets/suk/ziroz.sui");
    ASSERT_TRUE(IsValidThemeFile(sui));
    TsuiThemeFileReader r(sui);
    QSet<QString> names;
    QFile manifest(SourcePath("tools/ziroz.skin"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split('\n');
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 3) << line.toStdString();
        names.insert(f[0].toLower());
        if (f[1] == "image") {
            TMemoryStream* s = r.GetImageStream(f[0]);
            ASSERT_NE(s, nullptr) << f[0].toStdString();
            const QByteArray b = s->Bytes();
            EXPECT_TRUE(b.startsWith("BM")) << f[0].toStdString();
            EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 2), quint32(b.size())) << f[0].toStdString();
        } else if (f[1] == "int") {
            bool ok = false;
            const int v = f[2].startsWith("0x") ? int(f[2].mid(2).toUInt(&ok, 16)) : f[2].toInt(&ok);
            ASSERT_TRUE(ok);
            EXPECT_EQ(r.GetInteger(f[0]), v) << f[0].toStdString();
        } else if (f[1] == "bool") {
            EXPECT_EQ(r.GetBool(f[0]), f[2] == "1") << f[0].toStdString();
        } else {
            EXPECT_TRUE(r.Strings().contains(f[0] + "=" + line.section(' ', 2))) << f[0].toStdString();
        }
    }
    // The default skin carries the whole vocabulary.
    for (int item = 1; item <= ThemeItem::Count; ++item)
        EXPECT_TRUE(names.contains(QString(ThemeItemNames[item]).toLower())) << ThemeItemNames[item];
}

TEST_F(SkinFileTest, MissingFileRaisesOpenError)
{
    EXPECT_THROW(TsuiThemeFileReader(dir.filePath("none.sui")), EFOpenError);
}

} // namespace
