#include "imaging/icons/library_name_text.h"

#include <QStringDecoder>

namespace {

// Bytes 0x80 to 0x9F of the Western code page; the five bytes it leaves free stand for the C1
// control of the same number, as the system's own conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int WesternByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c)
            return 0x80 + i;
    return -1;
}

// The length byte counts at most 255 bytes; a cut falls before a character, never inside one.
QByteArray CutUtf8(QByteArray bytes)
{
    if (bytes.size() <= 255)
        return bytes;
    qsizetype cut = 255;
    while (cut > 0 && (uint8_t(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return bytes;
}

} // namespace

QByteArray EncodeLibraryName(const QString& name)
{
    QByteArray western;
    western.reserve(name.size());
    for (QChar c : name) {
        const int b = WesternByte(c.unicode());
        if (b < 0)
            return CutUtf8(name.toUtf8());
        western.append(char(b));
    }
    western.truncate(255);
    return western;
}

QString DecodeLibraryName(const QByteArray& bytes)
{
    bool ascii = true;
    for (char b : bytes)
        ascii = ascii && uchar(b) < 0x80;
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes) {
        const uchar u = uchar(b);
        text.append(QChar(u >= 0x80 && u < 0xA0 ? kHighControls[u - 0x80] : char16_t(u)));
    }
    return text;
}
