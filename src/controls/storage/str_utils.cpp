#include "controls/storage/str_utils.h"

#include <QByteArray>

TCharSet::TCharSet(std::initializer_list<char> chars)
{
    for (char c : chars)
        Include(static_cast<unsigned char>(c));
}

QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement)
{
    if (pattern.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(pattern, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + pattern.size();
    }
    result += QStringView(text).mid(from);
    return result;
}

int WordStart(int n, const QString& text, const TCharSet& delims)
{
    if (n <= 0)
        return 0;
    const int len = int(text.size());
    int count = 0;
    int i = 0;
    while (i < len) {
        while (i < len && delims.Contains(text[i]))
            ++i;
        if (i >= len)
            break;
        if (++count == n)
            return i + 1;
        while (i < len && !delims.Contains(text[i]))
            ++i;
    }
    return 0;
}

int CountWords(const QString& text, const TCharSet& delims)
{
    const int len = int(text.size());
    int count = 0;
    int i = 0;
    while (i < len) {
        while (i < len && delims.Contains(text[i]))
            ++i;
        if (i >= len)
            break;
        ++count;
        while (i < len && !delims.Contains(text[i]))
            ++i;
    }
    return count;
}

QString NthWord(int n, const QString& text, const TCharSet& delims)
{
    const int start = WordStart(n, text, delims);
    if (start == 0)
        return {};
    int end = start - 1;
    while (end < text.size() && !delims.Contains(text[end]))
        ++end;
    return text.mid(start - 1, end - (start - 1));
}

QString HexXorEncode(const QString& key, const QString& text)
{
    const QByteArray k = key.toUtf8();
    const QByteArray t = text.toUtf8();
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(t.size() * 2);
    for (qsizetype i = 0; i < t.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        if (!k.isEmpty())
            c ^= static_cast<unsigned char>(k[i % k.size()]);
        out += QLatin1Char(digits[c >> 4]);
        out += QLatin1Char(digits[c & 15]);
    }
    return out;
}

namespace {

int HexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

QString HexXorDecode(const QString& key, const QString& encoded)
{
    const QByteArray k = key.toUtf8();
    QByteArray bytes;
    bytes.reserve(encoded.size() / 2);
    for (qsizetype i = 0; i + 1 < encoded.size(); i += 2) {
        const int hi = HexDigit(encoded[i]);
        const int lo = HexDigit(encoded[i + 1]);
        unsigned value = (hi < 0 || lo < 0) ? 32u : unsigned(hi * 16 + lo);
        if (!k.isEmpty())
            value ^= static_cast<unsigned char>(k[(i / 2) % k.size()]);
        bytes += char(value & 0xFF);
    }
    return QString::fromUtf8(bytes);
}
