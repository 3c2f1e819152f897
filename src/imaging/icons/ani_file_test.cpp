#include "imaging/icons/ani_file.h"
#include "imaging/icons/ani_test_files.h"
#include "imaging/icons/icon_xp.h"
#include "imaging/icons/icon_xp_format.h"
#include "framework/streams.h"
#include "testsupport/testdata.h"

#include <gtest/gtest.h>

using namespace anitest;

namespace {

const QByteArray kRed = CursorFrame(0xFFFF0000, 32, 5, 31);
const QByteArray kGreen = CursorFrame(0xFF00FF00);

QString Reason(const QByteArray& file)
{
    try {
        ReadAniCursor(file);
    } catch (const EAniError& e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST(AniFile, FramesRatesAndSequenceInAnyChunkOrder)
{
    // Two frames over four steps, with an odd-sized creator chunk (and its pad byte) first and
    // the sequence before the rates.
    const QByteArray file = Riff(Chunk("LIST", QByteArray("INFOxyz")) + Header(2, 4, 7) +
                                 Chunk("seq ", Values({0, 1, 0, 1})) + Chunk("rate", Values({5, 6, 7, 8})) +
                                 FrameList({kRed, kGreen}));
    const TAniCursor ani = ReadAniCursor(file);
    EXPECT_EQ(ani.FrameCount, 2);
    EXPECT_EQ(ani.StepCount, 4);
    EXPECT_EQ(ani.DefaultRate, 7);
    EXPECT_TRUE(ani.HasRates);
    EXPECT_TRUE(ani.HasSequence);
    EXPECT_EQ(ani.Rates, (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(ani.Sequence, (std::vector<int>{0, 1, 0, 1}));
    ASSERT_EQ(ani.Frames.size(), 2u);

    // A cursor frame becomes an icon file: type 1, hot spot left in planes and bit count.
    QByteArray expected = kRed;
    expected[2] = 1;
    EXPECT_EQ(ani.Frames[0], expected);
    EXPECT_EQ(icontest::ReadLE32(ani.Frames[0], 10), 5u | 31u << 16);
    TIconXP icon;
    TMemoryStream stream(ani.Frames[1]);
    icon.LoadFromStream(&stream);
    ASSERT_EQ(icon.Formats()->Count(), 1);
    EXPECT_EQ(icon.Formats()->GetItem(0)->Pixels()[0], 0xFF00FF00u);
}

TEST(AniFile, WithoutRateOrSequenceEveryStepTakesTheDefault)
{
    const TAniCursor ani = ReadAniCursor(Riff(Header(3, 3, 12) + FrameList({kRed, kGreen, kRed})));
    EXPECT_FALSE(ani.HasRates);
    EXPECT_FALSE(ani.HasSequence);
    EXPECT_EQ(ani.Rates, (std::vector<int>{12, 12, 12}));
    EXPECT_EQ(ani.Sequence, (std::vector<int>{0, 1, 2}));
}

TEST(AniFile, PublishedAnimationReadsWhole)
{
    const TAniCursor ani = ReadAniCursor(ReadTestData("open/test-animation.ani"));
    EXPECT_EQ(ani.FrameCount, 18);
    EXPECT_EQ(ani.StepCount, 18);
    EXPECT_EQ(ani.Rates, std::vector<int>(18, 2));
    ASSERT_EQ(ani.Frames.size(), 18u);
    for (const QByteArray& frame : ani.Frames) {
        TIconXP icon;
        TMemoryStream stream(frame);
        icon.LoadFromStream(&stream);
        ASSERT_EQ(icon.Formats()->Count(), 2);
        EXPECT_EQ(icon.Formats()->GetItem(0)->Width(), 48);
        EXPECT_EQ(icon.Formats()->GetItem(1)->Width(), 32);
    }
    // Its frames are cursors: each keeps the hot spot of its first entry.
    EXPECT_EQ(ani.HotSpots, std::vector<QPoint>(18, QPoint(1, 12)));
}

TEST(AniFile, DamagedFilesAreRefusedWithAReason)
{
    QByteArray cutShort = Riff(Header(1, 1) + FrameList({kRed}));
    cutShort.chop(100);
    QByteArray notIcon = kRed;
    notIcon[2] = 3;
    QByteArray bigCount = kRed;
    bigCount[4] = char(0xFF);
    bigCount[5] = char(0x7F);
    const struct {
        const char* name;
        QByteArray file;
        const char* reason;
    } cases[] = {
        {"text", QByteArray("this is no cursor at all, $ and rate included"), "The file is no animated cursor (RIFF ACON)"},
        {"wrong form", Riff(Header(1, 1) + FrameList({kRed})).replace(8, 4, "AVI "),
         "The file is no animated cursor (RIFF ACON)"},
        {"cut short", cutShort, "A chunk runs past the end of the file"},
        {"no header", Riff(FrameList({kRed})), "The file has no animation header"},
        {"two headers", Riff(Header(1, 1) + FrameList({kRed}) + Header(50, 50)),
         "The file has more than one animation header"},
        {"short header", Riff(Chunk("anih", Values({36, 1, 1})) + FrameList({kRed})),
         "The animation header is not 36 bytes"},
        {"no frames", Riff(Header(0, 0)), "The frame count is 0 or above 1000"},
        {"too many frames", Riff(Header(1001, 1001) + FrameList({kRed})), "The frame count is 0 or above 1000"},
        {"too many steps", Riff(Header(1, 100000) + FrameList({kRed})), "The step count is 0 or above 1000"},
        {"rates short", Riff(Header(2, 2) + Chunk("rate", Values({1})) + FrameList({kRed, kGreen})),
         "The rate chunk does not hold one rate per step"},
        {"sequence long", Riff(Header(2, 2) + Chunk("seq ", Values({0, 1, 0})) + FrameList({kRed, kGreen})),
         "The sequence chunk does not hold one frame per step"},
        {"sequence past frames", Riff(Header(2, 3) + Chunk("seq ", Values({0, 1, 2})) + FrameList({kRed, kGreen})),
         "The sequence names a frame that does not exist"},
        {"steps without sequence", Riff(Header(2, 3) + FrameList({kRed, kGreen})),
         "The steps differ from the frames and there is no sequence"},
        {"fewer frames", Riff(Header(3, 3) + FrameList({kRed, kGreen})),
         "The frames do not match the header's frame count"},
        {"more frames", Riff(Header(1, 1) + FrameList({kRed, kGreen})),
         "The frames do not match the header's frame count"},
        {"two frame lists", Riff(Header(1, 1) + FrameList({kRed}) + FrameList({kRed})),
         "The file has more than one frame list"},
        {"frame of another type", Riff(Header(1, 1) + FrameList({notIcon})), "A frame is no icon or cursor"},
        {"frame directory past its chunk", Riff(Header(1, 1) + FrameList({bigCount})), "A frame is no icon or cursor"},
        {"published damaged file", ReadTestData("open/CVE-2022-48622.ani"), "A chunk runs past the end of the file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Reason(c.file), QString::fromLatin1(c.reason)) << c.name;
}

TEST(AniFile, RiffSizeBeyondTheFileIsHeldToTheFile)
{
    QByteArray file = Riff(Header(1, 1) + FrameList({kRed}));
    file[4] = char(0xFF);
    file[7] = char(0x7F);
    EXPECT_EQ(ReadAniCursor(file).Frames.size(), 1u);
}
