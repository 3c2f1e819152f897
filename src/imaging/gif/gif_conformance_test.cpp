// Every file of the public GIF conformance suite decodes to its expected frames, and malformed
// files are refused or marked corrupt without harm.
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/gif_testdata.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QtEndian>
#include <vector>

namespace {

// The .conf expectation files: "[section]" lines and "key = value" lines.
QMap<QString, QMap<QString, QString>> ReadConf(const QString& relative)
{
    QMap<QString, QMap<QString, QString>> conf;
    QString section;
    for (const QString& raw : QString::fromUtf8(ReadGifTestData(relative)).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'#') || line.isEmpty())
            continue;
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const int eq = line.indexOf(u'=');
        if (eq > 0)
            conf[section][line.left(eq).trimmed()] = line.mid(eq + 1).trimmed();
    }
    return conf;
}

// A frame as RGBA bytes of its own size; pixels of the transparent colour get alpha 0.
struct Rgba {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
};

Rgba FramePixels(TGIFFrame* frame)
{
    const QByteArray dib = frame->DecodeToDib();
    TDibInfo info;
    Rgba out;
    if (!ParseDib(dib, info))
        return out;
    out.w = info.Width;
    out.h = info.Height;
    out.px.resize(size_t(out.w) * out.h * 4);
    const auto* d = reinterpret_cast<const uint8_t*>(dib.constData());
    const int stride = ((info.Width * info.BitCount + 31) / 32) * 4;
    for (int y = 0; y < out.h; ++y) {
        const uint8_t* row = d + info.BitsOffset + int64_t(out.h - 1 - y) * stride;
        for (int x = 0; x < out.w; ++x) {
            int index;
            if (info.BitCount == 8)
                index = row[x];
            else if (info.BitCount == 4)
                index = x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
            else
                index = (row[x / 8] >> (7 - x % 8)) & 1;
            const uint8_t* pal = d + info.PaletteOffset + index * 4;
            const TColor colour = pal[2] | (pal[1] << 8) | (pal[0] << 16);
            uint8_t* p = out.px.data() + (size_t(y) * out.w + x) * 4;
            p[0] = pal[2];
            p[1] = pal[1];
            p[2] = pal[0];
            p[3] = colour == frame->TransparentColor() ? 0 : 255;
        }
    }
    return out;
}

// Composes the frames on a transparent screen as a player does, one screen picture per frame.
std::vector<std::vector<uint8_t>> Compose(TGIFImage& gif, int sw, int sh)
{
    std::vector<std::vector<uint8_t>> shots;
    std::vector<uint8_t> screen(size_t(sw) * sh * 4, 0), saved;
    TRect previous{};
    int previousDisposal = 0;
    for (int i = 0; i < gif.GetCount(); ++i) {
        TGIFFrame* f = gif.GetFrame(i);
        if (previousDisposal == 2) {
            for (int y = std::max(0, previous.Top); y < std::min(sh, previous.Bottom); ++y)
                for (int x = std::max(0, previous.Left); x < std::min(sw, previous.Right); ++x)
                    std::fill_n(screen.data() + (size_t(y) * sw + x) * 4, 4, 0);
        } else if (previousDisposal == 3 && !saved.empty()) {
            screen = saved;
        }
        saved = screen;
        Rgba px = FramePixels(f);
        const TPoint o = f->Origin();
        for (int y = 0; y < px.h; ++y)
            for (int x = 0; x < px.w; ++x) {
                const int sx = o.X + x, sy = o.Y + y;
                const uint8_t* p = px.px.data() + (size_t(y) * px.w + x) * 4;
                if (sx < sw && sy < sh && p[3] != 0)
                    std::copy_n(p, 4, screen.data() + (size_t(sy) * sw + sx) * 4);
            }
        shots.push_back(screen);
        previous = Bounds(o.X, o.Y, px.w, px.h);
        previousDisposal = f->Disposal();
    }
    return shots;
}

QStringList SuiteNames()
{
    QStringList names;
    for (const QString& f : QDir(GifTestDataPath("gif/suite")).entryList({"*.conf"}, QDir::Files, QDir::Name))
        names << f.chopped(5);
    return names;
}

TMemoryStream* Load(const QString& relative)
{
    auto* s = new TMemoryStream(ReadGifTestData(relative));
    return s;
}

} // namespace

// Where this codec answers differently from the suite's player, by design.
const QMap<QString, QString> kKnownDifferences = {
    // The suite merges images without a delay into one shown picture; the codec keeps one frame per
    // image block, and the last composed picture must match.
    {"animation-multi-image", "merged"},
    {"animation-multi-image-explicit-zero-delay", "merged"},
    {"images-combine", "merged"},
    {"images-overlap", "merged"},
    {"high-color", "merged"},
    {"dispose-restore-previous", "merged"},
    // A file without an image has no frame; an image after a plain-text block is kept.
    {"no-data", "no frame"},
    {"plain-text", "kept"},
    // Indices beyond the colour table are drawn masked into it, as sound data.
    {"invalid-colors", "masked"},
};

TEST(GifConformance, EverySuiteFileGivesItsExpectedFrames)
{
    const QStringList names = SuiteNames();
    ASSERT_GT(names.size(), 70);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        auto conf = ReadConf("gif/suite/" + name + ".conf");
        const auto& config = conf["config"];
        const QString difference = kKnownDifferences.value(name);
        std::unique_ptr<TMemoryStream> in(Load("gif/suite/" + config["input"]));
        QStringList frames = config["frames"].split(u',', Qt::SkipEmptyParts);
        TGIFImage gif;
        try {
            gif.ReadGif(in->Size(), in.get(), true);
        } catch (const Exception& e) {
            // A file the suite expects no picture from may be refused.
            if (difference.startsWith("refused: ")) {
                EXPECT_EQ(e.Message(), difference.mid(9));
            } else {
                EXPECT_TRUE(frames.isEmpty()) << "refused with " << e.Message().toStdString();
            }
            continue;
        }
        EXPECT_FALSE(difference.startsWith("refused")) << "read";
        if (difference == "no frame") {
            // No frame, but the logical screen of the header.
            EXPECT_EQ(gif.GetCount(), 0);
            EXPECT_EQ(gif.GetScreenWidth(), config["width"].toInt());
            EXPECT_EQ(gif.GetScreenHeight(), config["height"].toInt());
            continue;
        }
        // Frames without pixels show nothing.
        int shown = 0;
        for (int i = 0; i < gif.GetCount(); ++i)
            shown += gif.GetFrame(i)->GetWidth() > 0 && gif.GetFrame(i)->GetHeight() > 0;
        if (frames.isEmpty()) {
            EXPECT_TRUE(shown == 0 || gif.IsCorrupted() || difference == "kept" || difference == "masked")
                << "a picture the suite calls invalid";
            if (difference == "masked")
                EXPECT_FALSE(gif.IsCorrupted());
            continue;
        }
        if (config["force-animation"] != "yes") {
            EXPECT_EQ(gif.Version, config["version"] == "GIF87a" ? 1 : 2);
            const QString loop = config["loop-count"];
            EXPECT_EQ(gif.Looping, loop != "0");
            if (loop == "infinite") {
                EXPECT_EQ(gif.RepeatCount, 0);
            } else if (loop != "0") {
                EXPECT_EQ(gif.RepeatCount, std::min(loop.toInt(), 30000));
            }
        }
        const int sw = config["width"].toInt(), sh = config["height"].toInt();
        EXPECT_EQ(gif.GetScreenWidth(), sw);
        EXPECT_EQ(gif.GetScreenHeight(), sh);
        if (config.contains("comment") && name != "nul-comment") {
            // A comment before the image belongs to the frame, one after it to the picture.
            QStringList lines = gif.GetComment()->ToStringList();
            if (lines.isEmpty() && gif.GetCount() > 0)
                lines = gif.GetFrame(0)->GetComment()->ToStringList();
            const QString expected = config["comment"].mid(1, config["comment"].size() - 2);
            EXPECT_EQ(QString::fromUtf8(lines.join(QString()).toLatin1()), expected);
        }

        auto shots = Compose(gif, sw, sh);
        if (difference == "merged") {
            EXPECT_GT(gif.GetCount(), frames.size());
            shots.erase(shots.begin(), shots.end() - 1);
            frames.erase(frames.begin(), frames.end() - 1);
        } else if (gif.GetCount() != frames.size()) {
            ADD_FAILURE() << gif.GetCount() << " frames instead of " << frames.size();
            continue;
        }
        for (int i = 0; i < frames.size(); ++i) {
            SCOPED_TRACE(i);
            const auto& fc = conf[frames[i].trimmed()];
            if (fc.contains("delay") && difference != "merged") {
                EXPECT_EQ(gif.GetFrame(i)->Delay(), fc["delay"].toInt() * 10);
            }
            if (difference == "zero-size frame")
                continue;
            QByteArray expected = ReadGifTestData("gif/suite/" + fc["pixels"]);
            ASSERT_EQ(size_t(expected.size()), shots[size_t(i)].size());
            const auto* e = reinterpret_cast<const uint8_t*>(expected.constData());
            const auto& got = shots[size_t(i)];
            int wrong = 0;
            for (size_t p = 0; p < got.size(); p += 4) {
                // Pixels the data never reached keep colour index 0 instead of showing nothing.
                if (name == "missing-pixels" && e[p + 3] == 0)
                    continue;
                if (e[p + 3] == 0 ? got[p + 3] != 0 : !std::equal(e + p, e + p + 4, got.begin() + p))
                    ++wrong;
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(GifConformance, MalformedFilesAreRefusedOrMarkedCorrupt)
{
    const QStringList files = QDir(GifTestDataPath("gif/malformed")).entryList({"*.gif"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 9);
    for (const QString& f : files) {
        SCOPED_TRACE(f.toStdString());
        std::unique_ptr<TMemoryStream> in(Load("gif/malformed/" + f));
        TGIFImage gif;
        try {
            gif.ReadGif(in->Size(), in.get(), true);
        } catch (const Exception&) {
            continue;
        }
        bool corrupt = gif.IsCorrupted();
        for (int i = 0; i < gif.GetCount(); ++i) {
            try {
                gif.GetFrame(i)->DecodeToDib();
            } catch (const Exception&) {
                corrupt = true;
            }
        }
        // The circular table of one file is sound data for a decoder that refuses codes beyond
        // its table; what matters there is that decoding ends.
        if (f != "circular-table.gif") {
            EXPECT_TRUE(corrupt || gif.GetCount() == 0);
        }
    }
}
