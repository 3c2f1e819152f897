#pragma once

// Builders of small animated cursor files for tests: chunks laid out as the caller lists them,
// so that tests can reorder, repeat, drop or damage any of them.

#include "imaging/icons/icon_test_files.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace anitest {

// One chunk with its pad byte when the data has an odd size.
inline QByteArray Chunk(const char* id, const QByteArray& data)
{
    QByteArray c(id, 4);
    icontest::Put32(c, uint32_t(data.size()));
    c += data;
    if (data.size() & 1)
        c += '\0';
    return c;
}

inline QByteArray Values(const std::vector<uint32_t>& values)
{
    QByteArray b;
    for (uint32_t v : values)
        icontest::Put32(b, v);
    return b;
}

// The nine fields of the animation header.
inline QByteArray Header(uint32_t frames, uint32_t steps, uint32_t rate = 10, uint32_t flags = 1)
{
    return Chunk("anih", Values({36, frames, steps, 0, 0, 0, 0, rate, flags}));
}

inline QByteArray FrameList(const std::vector<QByteArray>& frames)
{
    QByteArray body("fram");
    for (const QByteArray& f : frames)
        body += Chunk("icon", f);
    return Chunk("LIST", body);
}

inline QByteArray Riff(const QByteArray& chunks)
{
    QByteArray f("RIFF");
    icontest::Put32(f, uint32_t(chunks.size() + 4));
    return f + "ACON" + chunks;
}

// A one-image 32-bit cursor frame of one colour with its hot spot.
inline QByteArray CursorFrame(uint32_t argb, int side = 32, uint16_t hotX = 0, uint16_t hotY = 0)
{
    icontest::Dib dib;
    dib.Width = dib.Height = side;
    dib.Pixel = [argb](int, int) { return argb; };
    QByteArray f = icontest::MakeIco({icontest::MakeImage(dib)}, {}, 0, 2);
    f[10] = char(hotX & 0xFF);
    f[11] = char(hotX >> 8);
    f[12] = char(hotY & 0xFF);
    f[13] = char(hotY >> 8);
    return f;
}

} // namespace anitest
