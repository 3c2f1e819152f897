#include "imaging/icons/library_name_text.h"

#include <QStringDecoder>

#include <algorithm>

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

// The length byte counts at most `limit` bytes; a cut falls before a character, never inside one.
QByteArray CutUtf8(QByteArray bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes;
    qsizetype cut = limit;
    while (cut > 0 && (uint8_t(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return bytes;
}

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool Utf8(const QByteArray& bytes, QString& text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes);
    return !utf8.hasError();
}

bool AllWestern(const QString& text)
{
    for (QChar c : text)
        if (WesternByte(c.unicode()) < 0)
            return false;
    return true;
}

// The first choice that reads back as the name (or as its part that fits): the code page, plain
// UTF-8, UTF-8 behind the mark.
QByteArray EncodeOnce(const QString& name)
{
    if (AllWestern(name)) {
        QByteArray western;
        western.reserve(std::min<qsizetype>(name.size(), 255));
        for (qsizetype i = 0; i < name.size() && western.size() < 255; ++i)
            western.append(char(WesternByte(name[i].unicode())));
        if (DecodeLibraryName(western) == name.left(western.size()))
            return western;
    }
    const QByteArray utf8 = CutUtf8(name.toUtf8(), 255);
    QString text;
    if (Utf8(utf8, text) && DecodeLibraryName(utf8) == text)
        return utf8;
    return kByteOrderMark + CutUtf8(name.toUtf8(), 255 - kByteOrderMark.size());
}

} // namespace

QByteArray EncodeLibraryName(const QString& name)
{
    // A name cut to fit is encoded again as it reads back, so that writing what was read gives
    // the same bytes.
    const QByteArray bytes = EncodeOnce(name);
    const QString back = DecodeLibraryName(bytes);
    return back == name ? bytes : EncodeOnce(back);
}

QString DecodeLibraryName(const QByteArray& bytes)
{
    QString text;
    if (bytes.startsWith(kByteOrderMark) && Utf8(bytes.mid(kByteOrderMark.size()), text))
        return text;
    if (Utf8(bytes, text) && !AllWestern(text))
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (char b : bytes) {
        const uchar u = uchar(b);
        text.append(QChar(u >= 0x80 && u < 0xA0 ? kHighControls[u - 0x80] : char16_t(u)));
    }
    return text;
}
