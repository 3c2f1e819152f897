#include "imaging/icons/ani_file.h"

#include <QString>
#include <algorithm>
#include <climits>

namespace {

struct TChunk {
    QByteArray Id;
    int64_t Data = 0; // offset of the data
    int64_t Size = 0;
};

uint32_t ReadU32(const QByteArray& d, int64_t at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(d.constData()) + at;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadU16(const QByteArray& d, int64_t at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(d.constData()) + at;
    return uint16_t(p[0] | p[1] << 8);
}

[[noreturn]] void Refuse(const char* reason)
{
    throw EAniError(QString::fromLatin1(reason));
}

// The chunks between begin and end. A chunk whose size runs past end refuses the file; the pad
// byte after an odd-sized chunk may be missing at the very end.
std::vector<TChunk> Chunks(const QByteArray& d, int64_t begin, int64_t end)
{
    std::vector<TChunk> chunks;
    int64_t at = begin;
    while (end - at >= 8) {
        TChunk c;
        c.Id = d.mid(qsizetype(at), 4);
        c.Size = ReadU32(d, at + 4);
        c.Data = at + 8;
        if (c.Size > end - c.Data)
            Refuse("A chunk runs past the end of the file");
        chunks.push_back(c);
        at = c.Data + c.Size + (c.Size & 1);
    }
    // Fewer than eight bytes left over are trailing junk, not a chunk.
    return chunks;
}

int ClampRate(uint32_t v)
{
    return v > uint32_t(INT_MAX) ? INT_MAX : int(v);
}

std::vector<int> StepValues(const QByteArray& d, const TChunk& c, int steps, const char* reason)
{
    if (c.Size != int64_t(steps) * 4)
        Refuse(reason);
    std::vector<int> values(static_cast<size_t>(steps));
    for (int k = 0; k < steps; ++k)
        values[size_t(k)] = ClampRate(ReadU32(d, c.Data + 4 * k));
    return values;
}

} // namespace

TAniCursor ReadAniCursor(const QByteArray& d)
{
    if (d.size() < 12 || !d.startsWith("RIFF") || d.mid(8, 4) != "ACON")
        Refuse("The file is no animated cursor (RIFF ACON)");
    // Writers get the RIFF size wrong often enough; the file's own end is the limit either way.
    const int64_t end = std::min<int64_t>(int64_t(ReadU32(d, 4)) + 8, d.size());

    const TChunk* header = nullptr;
    const TChunk* rate = nullptr;
    const TChunk* seq = nullptr;
    bool haveFrameList = false;

    const std::vector<TChunk> top = Chunks(d, 12, end);
    std::vector<TChunk> frameChunks;
    for (const TChunk& c : top) {
        if (c.Id == "anih") {
            if (header)
                Refuse("The file has more than one animation header");
            header = &c;
        } else if (c.Id == "rate") {
            if (rate)
                Refuse("The file has more than one rate chunk");
            rate = &c;
        } else if (c.Id == "seq ") {
            if (seq)
                Refuse("The file has more than one sequence chunk");
            seq = &c;
        } else if (c.Id == "LIST" && c.Size >= 4 && d.mid(qsizetype(c.Data), 4) == "fram") {
            if (haveFrameList)
                Refuse("The file has more than one frame list");
            haveFrameList = true;
            for (const TChunk& f : Chunks(d, c.Data + 4, c.Data + c.Size))
                if (f.Id == "icon")
                    frameChunks.push_back(f);
        }
    }

    if (!header)
        Refuse("The file has no animation header");
    if (header->Size != AniHeaderSize || ReadU32(d, header->Data) != uint32_t(AniHeaderSize))
        Refuse("The animation header is not 36 bytes");
    const uint32_t frameCount = ReadU32(d, header->Data + 4);
    const uint32_t stepCount = ReadU32(d, header->Data + 8);
    if (frameCount < 1 || frameCount > uint32_t(MaxAniSteps))
        Refuse("The frame count is 0 or above 1000");
    if (stepCount < 1 || stepCount > uint32_t(MaxAniSteps))
        Refuse("The step count is 0 or above 1000");

    TAniCursor ani;
    ani.FrameCount = int(frameCount);
    ani.StepCount = int(stepCount);
    ani.DefaultRate = ClampRate(ReadU32(d, header->Data + 28));

    if (rate) {
        ani.Rates = StepValues(d, *rate, ani.StepCount, "The rate chunk does not hold one rate per step");
        ani.HasRates = true;
    } else {
        ani.Rates.assign(size_t(ani.StepCount), ani.DefaultRate);
    }
    if (seq) {
        ani.Sequence = StepValues(d, *seq, ani.StepCount, "The sequence chunk does not hold one frame per step");
        for (int f : ani.Sequence)
            if (f < 0 || f >= ani.FrameCount)
                Refuse("The sequence names a frame that does not exist");
        ani.HasSequence = true;
    } else {
        if (ani.StepCount != ani.FrameCount)
            Refuse("The steps differ from the frames and there is no sequence");
        ani.Sequence.resize(size_t(ani.StepCount));
        for (int k = 0; k < ani.StepCount; ++k)
            ani.Sequence[size_t(k)] = k;
    }

    if (int64_t(frameChunks.size()) != int64_t(ani.FrameCount))
        Refuse("The frames do not match the header's frame count");
    ani.Frames.reserve(frameChunks.size());
    ani.HotSpots.reserve(frameChunks.size());
    for (const TChunk& f : frameChunks) {
        // An icon or cursor file: reserved 0, type 1 or 2, at least one image whose 16-byte entry
        // is there.
        if (f.Size < 22 || ReadU16(d, f.Data) != 0)
            Refuse("A frame is no icon or cursor");
        const uint16_t type = ReadU16(d, f.Data + 2);
        const uint16_t count = ReadU16(d, f.Data + 4);
        if ((type != 1 && type != 2) || count == 0 || 6 + int64_t(count) * 16 > f.Size)
            Refuse("A frame is no icon or cursor");
        QByteArray icon = d.mid(qsizetype(f.Data), qsizetype(f.Size));
        icon[2] = 1;
        ani.Frames.push_back(icon);
        ani.HotSpots.push_back(type == 2 ? QPoint(ReadU16(d, f.Data + 10), ReadU16(d, f.Data + 12)) : QPoint(-1, -1));
    }
    return ani;
}
