#include "animation/ani_writer.h"

#include "animation/testing_icons.h"
#include "framework/exceptions.h"
#include "imaging/icons/ani_file.h"
#include "mainwindow/testing_main_window.h"

#include <QFile>

namespace {

uint32_t LE32(const QByteArray& b, qsizetype at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

class AniWriter : public MainWindowTest {
protected:
    QString Icon(const QString& name, const std::vector<TTestImage>& images = {{32, 32}})
    {
        return WriteTestFile(dir_.filePath(name), TestIconFile(images));
    }
};

} // namespace

TEST_F(AniWriter, OneFrameHasTheFixedLayout)
{
    const QString icon = Icon("a.ico");
    ASSERT_EQ(QFile(icon).size(), 4286);
    const QByteArray ani = BuildAniFile({icon}, {"10"}, 5, 31);

    ASSERT_EQ(ani.size(), 4482);
    EXPECT_EQ(ani.left(4), "RIFF");
    EXPECT_EQ(LE32(ani, 4), 4474u);
    EXPECT_EQ(ani.mid(8, 8), "ACONLIST");
    EXPECT_EQ(LE32(ani, 16), 100u);
    EXPECT_TRUE(ani.mid(20, 100).startsWith("Created or Modified by "));
    EXPECT_EQ(ani.mid(20, 100), AniCreatorText());
    EXPECT_EQ(ani.mid(120, 4), "anih");
    EXPECT_EQ(LE32(ani, 124), 36u);
    const uint32_t header[] = {36, 1, 1, 0, 0, 0, 0, 10, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(LE32(ani, 128 + 4 * i), header[i]) << "header field " << i;
    EXPECT_EQ(ani.mid(164, 4), "rate");
    EXPECT_EQ(LE32(ani, 168), 4u);
    EXPECT_EQ(LE32(ani, 172), 10u);
    EXPECT_EQ(ani.mid(176, 4), "LIST");
    EXPECT_EQ(LE32(ani, 180), 4298u);
    EXPECT_EQ(ani.mid(184, 8), "framicon");
    EXPECT_EQ(LE32(ani, 192), 4286u);
    // The cursor header: type 2, size copied, colour count cleared, hot spot 5, 31.
    const QByteArray cur = ani.mid(196);
    const QByteArray ico = [&] { QFile f(icon); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(cur.left(8), QByteArray("\0\0\2\0\1\0\x20\x20", 8));
    EXPECT_EQ(cur.mid(8, 6), QByteArray("\0\0\5\0\x1F\0", 6));
    EXPECT_EQ(cur.mid(14), ico.mid(14));
}

TEST_F(AniWriter, FramesReadBackWithRatesHotSpotsAndPads)
{
    // A 1-bit 16 by 16 image makes an odd-sized frame once the third is a byte longer.
    const QString a = Icon("a.ico"), b = Icon("b.ico", {{16, 4}, {32, 32}});
    QByteArray odd = TestIconFile({{32, 32}});
    odd.append('\0'); // a stray trailing byte keeps the frame's size odd
    const QString c = WriteTestFile(dir_.filePath("c.ico"), odd);
    const QByteArray ani = BuildAniFile({a, b, c}, {"10", "25", "0"}, 7, 3);

    EXPECT_EQ(LE32(ani, 168), 12u);
    EXPECT_EQ(LE32(ani, 172), 10u);
    EXPECT_EQ(LE32(ani, 176), 25u);
    EXPECT_EQ(LE32(ani, 180), 0u);
    EXPECT_EQ(ani.size() % 2, 0) << "the odd frame is padded";
    EXPECT_EQ(LE32(ani, 4), uint32_t(ani.size() - 8));

    const TAniCursor read = ReadAniCursor(ani);
    EXPECT_EQ(read.FrameCount, 3);
    EXPECT_EQ(read.StepCount, 3);
    EXPECT_EQ(read.Rates, (std::vector<int>{10, 25, 0}));
    ASSERT_EQ(read.Frames.size(), 3u);
    for (const QByteArray& f : read.Frames) {
        EXPECT_EQ(uint8_t(f[10]), 7);
        EXPECT_EQ(uint8_t(f[12]), 3);
    }
    // A two-image frame keeps its count and its second entry untouched.
    const QByteArray two = [&] { QFile f(b); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(read.Frames[1].mid(4, 2), two.mid(4, 2));
    EXPECT_EQ(read.Frames[1].mid(22), two.mid(22));
    EXPECT_EQ(read.Frames[2].size(), odd.size());
}

TEST_F(AniWriter, BadInputWritesNothing)
{
    const QString a = Icon("a.ico");
    const QString target = WriteTestFile(dir_.filePath("keep.ani"), "old");
    struct {
        QStringList Files, Durations;
    } cases[] = {
        {{a}, {"ten"}},
        {{a}, {"-1"}},
        {{a, dir_.filePath("gone.ico")}, {"10", "10"}},
        {{WriteTestFile(dir_.filePath("short.ico"), QByteArray("\0\0\1\0\1\0", 6))}, {"10"}},
    };
    for (const auto& c : cases) {
        EXPECT_ANY_THROW(WriteAniFile(c.Files, c.Durations, 0, 0, 1, target)) << c.Durations.join(',').toStdString();
        QFile f(target);
        f.open(QIODevice::ReadOnly);
        EXPECT_EQ(f.readAll(), "old");
    }
    EXPECT_THROW(BuildAniFile({a}, {"x"}, 0, 0), EConvertError);
    EXPECT_THROW(BuildAniFile({dir_.filePath("gone.ico")}, {"1"}, 0, 0), EFOpenError);
}
