#include "framework/exceptions.h"
#include "framework/streams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Streams, ExactReadPastEndRaisesStreamReadError)
{
    TMemoryStream s(QByteArray("abc"));
    char buf[4];
    try {
        s.ReadBuffer(buf, 4);
        FAIL() << "no error raised";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
    }
}

TEST(Streams, LittleEndianRoundTripAndCopy)
{
    TMemoryStream a;
    a.WriteWord(0x1234);
    a.WriteDWord(0xA1B2C3D4);
    TMemoryStream b;
    EXPECT_EQ(b.CopyFrom(&a, 0), 6);
    b.SetPosition(0);
    EXPECT_EQ(b.ReadWord(), 0x1234);
    EXPECT_EQ(b.ReadDWord(), 0xA1B2C3D4u);
    EXPECT_EQ(b.Bytes(), QByteArray::fromHex("3412d4c3b2a1"));
}

TEST(Streams, FileOpenErrorsAndAtomicSave)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.bin");
    EXPECT_THROW(TFileStream(missing, fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EFOpenError);
    EXPECT_FALSE(QFile::exists(missing));

    const QString good = dir.filePath("good.bin");
    TMemoryStream m(QByteArray("old"));
    m.SaveToFile(good);
    // A save into a folder that does not exist fails without touching anything.
    EXPECT_THROW(m.SaveToFile(dir.filePath("nope/x.bin")), EFCreateError);
    TMemoryStream r;
    r.LoadFromFile(good);
    EXPECT_EQ(r.Bytes(), QByteArray("old"));
}

TEST(Streams, MemoryStreamSeekBeforeStartReadsNothing)
{
    TMemoryStream s(QByteArray("abc"));
    s.Seek(-10, soBeginning);
    char buf[3];
    EXPECT_EQ(s.Read(buf, 3), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
}
