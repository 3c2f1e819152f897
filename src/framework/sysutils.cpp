#include "framework/sysutils.h"

#include "framework/exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <vector>

namespace {

bool IsSep(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Index of the last path or drive separator, -1 when none.
int LastDelimiter(const QString& s)
{
    for (int i = int(s.size()) - 1; i >= 0; --i)
        if (IsSep(s[i]) || s[i] == QLatin1Char(':'))
            return i;
    return -1;
}

bool ParseInt64(const QString& text, int64_t& out, bool limit32)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool neg = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        neg = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t v = 0;
    const int maxHexDigits = limit32 ? 8 : 16;
    int digits = 0;
    for (; i < n; ++i) {
        const ushort c = text[i].unicode();
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (hex) {
            if (v == 0 && d == 0)
                continue;
            if (++digits > maxHexDigits)
                return false;
            v = v * 16 + uint64_t(d);
        } else {
            if (v > (uint64_t(std::numeric_limits<int64_t>::max()) + 1 - uint64_t(d)) / 10)
                return false;
            v = v * 10 + uint64_t(d);
        }
    }
    int64_t r;
    if (hex) {
        // Hexadecimal gives the bit pattern: $FFFFFFFF is -1 as a 32-bit integer.
        r = limit32 ? int64_t(int32_t(uint32_t(v))) : int64_t(v);
        if (neg)
            r = limit32 ? int64_t(int32_t(0u - uint32_t(r))) : int64_t(0 - uint64_t(r));
    } else {
        const uint64_t maxPos = limit32 ? uint64_t(std::numeric_limits<int32_t>::max()) : uint64_t(std::numeric_limits<int64_t>::max());
        if (v > maxPos + (neg ? 1 : 0))
            return false;
        r = neg ? int64_t(0 - v) : int64_t(v);
    }
    out = r;
    return true;
}

[[noreturn]] void InvalidInteger(const QString& s)
{
    throw EConvertError(QString::fromLatin1(FrameworkText::InvalidInteger).arg(s));
}

bool ParseFloat(const QString& s, double& out)
{
    const QString t = Trim(s);
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        // Only the plain decimal forms; no "inf", "nan" or hexadecimal floats.
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+')
              || c == QLatin1Char('e') || c == QLatin1Char('E')))
            return false;
    }
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out);
}

QString GeneralFloat(double v, int precision)
{
    if (v == 0)
        return QStringLiteral("0");
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString s = QString::number(v, 'g', precision);
    const int e = int(s.indexOf(QLatin1Char('e')));
    if (e < 0)
        return s;
    // "1e+20" -> "1E20", "1e-05" -> "1E-5"
    QString mant = s.left(e);
    QString exp = s.mid(e + 1);
    bool negExp = exp.startsWith(QLatin1Char('-'));
    if (exp.startsWith(QLatin1Char('+')) || negExp)
        exp.remove(0, 1);
    while (exp.size() > 1 && exp.startsWith(QLatin1Char('0')))
        exp.remove(0, 1);
    return mant + QLatin1Char('E') + (negExp ? QStringLiteral("-") : QString()) + exp;
}

QString WithThousands(const QString& fixed)
{
    int dot = int(fixed.indexOf(QLatin1Char('.')));
    if (dot < 0)
        dot = int(fixed.size());
    int start = fixed.startsWith(QLatin1Char('-')) ? 1 : 0;
    QString intPart = fixed.mid(start, dot - start);
    QString out;
    for (int i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0)
            out += QLatin1Char(',');
        out += intPart[i];
    }
    return fixed.left(start) + out + fixed.mid(dot);
}

[[noreturn]] void FormatError(const QString& format)
{
    throw EConvertError(QString::fromLatin1(FrameworkText::FormatError).arg(format));
}

} // namespace

// --- numbers -----------------------------------------------------------------------------------

int StrToInt(const QString& s)
{
    int64_t v;
    if (!ParseInt64(s, v, true))
        InvalidInteger(s);
    return int(v);
}

int StrToIntDef(const QString& s, int def)
{
    int64_t v;
    return ParseInt64(s, v, true) ? int(v) : def;
}

bool TryStrToInt(const QString& s, int& value)
{
    int64_t v;
    if (!ParseInt64(s, v, true))
        return false;
    value = int(v);
    return true;
}

int64_t StrToInt64(const QString& s)
{
    int64_t v;
    if (!ParseInt64(s, v, false))
        InvalidInteger(s);
    return v;
}

int64_t StrToInt64Def(const QString& s, int64_t def)
{
    int64_t v;
    return ParseInt64(s, v, false) ? v : def;
}

QString IntToStr(int64_t value)
{
    return QString::number(value);
}

QString IntToHex(int value, int digits)
{
    return QStringLiteral("%1").arg(uint32_t(value), digits, 16, QLatin1Char('0')).toUpper();
}

QString IntToHex(int64_t value, int digits)
{
    return QStringLiteral("%1").arg(uint64_t(value), digits, 16, QLatin1Char('0')).toUpper();
}

QString FloatToStr(double value)
{
    return GeneralFloat(value, 15);
}

double StrToFloat(const QString& s)
{
    double v;
    if (!ParseFloat(s, v))
        throw EConvertError(QString::fromLatin1(FrameworkText::InvalidFloat).arg(s));
    return v;
}

double StrToFloatDef(const QString& s, double def)
{
    double v;
    return ParseFloat(s, v) ? v : def;
}

// --- Format ------------------------------------------------------------------------------------

QString Format(const QString& format, std::initializer_list<FormatArg> argList)
{
    const std::vector<const FormatArg*> args = [&] {
        std::vector<const FormatArg*> v;
        for (const FormatArg& a : argList)
            v.push_back(&a);
        return v;
    }();
    size_t next = 0;
    auto takeArg = [&]() -> const FormatArg& {
        if (next >= args.size())
            FormatError(format);
        return *args[next++];
    };
    auto takeInt = [&]() -> int {
        const FormatArg& a = takeArg();
        if (a.kind != FormatArg::Int)
            FormatError(format);
        return int(a.i);
    };

    QString out;
    const int n = int(format.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%')) {
            out += c;
            continue;
        }
        if (++i >= n)
            FormatError(format);
        if (format[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            continue;
        }
        // [index ":"] ["-"] [width] ["." prec] type
        auto readNumber = [&](int& value, bool star = true) -> bool {
            if (star && i < n && format[i] == QLatin1Char('*')) {
                value = takeInt();
                ++i;
                return true;
            }
            int start = i;
            value = 0;
            while (i < n && format[i].isDigit() && i - start < 9)
                value = value * 10 + format[i++].digitValue();
            return i > start;
        };
        int num = 0;
        const int save = i;
        if (readNumber(num, false) && i < n && format[i] == QLatin1Char(':')) {
            next = size_t(num);
            ++i;
        } else {
            i = save;
        }
        bool left = false;
        if (i < n && format[i] == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        int width = -1;
        if (!readNumber(width))
            width = -1;
        int prec = -1;
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            if (!readNumber(prec))
                prec = 0;
        }
        if (i >= n)
            FormatError(format);
        const QChar type = format[i].toLower();
        const FormatArg& a = takeArg();
        QString text;
        switch (type.unicode()) {
        case 'd':
        case 'u':
        case 'x': {
            if (a.kind != FormatArg::Int)
                FormatError(format);
            int64_t v = a.i;
            bool neg = false;
            QString digits;
            if (type == QLatin1Char('x'))
                digits = QString::number(uint64_t(v) & (v < 0 && v >= INT32_MIN ? 0xFFFFFFFFull : ~0ull), 16).toUpper();
            else if (type == QLatin1Char('u') && v < 0 && v >= INT32_MIN)
                digits = QString::number(uint32_t(v));
            else {
                neg = v < 0;
                digits = QString::number(neg ? 0 - uint64_t(v) : uint64_t(v));
            }
            if (prec > 0 && digits.size() < prec)
                digits = QString(prec - digits.size(), QLatin1Char('0')) + digits;
            text = neg ? QLatin1Char('-') + digits : digits;
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            if (a.kind != FormatArg::Float)
                FormatError(format);
            const double v = a.f;
            if (type == QLatin1Char('g')) {
                text = GeneralFloat(v, prec < 0 || prec > 15 ? 15 : (prec == 0 ? 1 : prec));
            } else if (type == QLatin1Char('e')) {
                QString s = QString::number(v, 'e', (prec < 0 ? 15 : std::max(prec, 1)) - 1).toUpper();
                // Exponent with a sign and at least three digits: 1.5E+003.
                const int e = int(s.indexOf(QLatin1Char('E')));
                QString exp = s.mid(e + 2);
                while (exp.size() < 3)
                    exp.prepend(QLatin1Char('0'));
                text = s.left(e + 2) + exp;
            } else {
                text = QString::number(v, 'f', prec < 0 ? 2 : std::min(prec, 18));
                if (type != QLatin1Char('f'))
                    text = WithThousands(text);
            }
            break;
        }
        case 'p':
            if (a.kind != FormatArg::Pointer)
                FormatError(format);
            text = QStringLiteral("%1").arg(quintptr(a.p), 8, 16, QLatin1Char('0')).toUpper();
            break;
        case 's':
            if (a.kind != FormatArg::Text)
                FormatError(format);
            text = prec >= 0 ? a.s.left(prec) : a.s;
            break;
        default:
            FormatError(format);
        }
        if (width > text.size())
            text = left ? text.leftJustified(width) : text.rightJustified(width);
        out += text;
    }
    return out;
}

// --- text --------------------------------------------------------------------------------------

QString Trim(const QString& s)
{
    int b = 0, e = int(s.size());
    while (b < e && s[b].unicode() <= ' ')
        ++b;
    while (e > b && s[e - 1].unicode() <= ' ')
        --e;
    return s.mid(b, e - b);
}

QString TrimLeft(const QString& s)
{
    int b = 0;
    while (b < s.size() && s[b].unicode() <= ' ')
        ++b;
    return s.mid(b);
}

QString TrimRight(const QString& s)
{
    int e = int(s.size());
    while (e > 0 && s[e - 1].unicode() <= ' ')
        --e;
    return s.left(e);
}

QString UpperCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return r;
}

QString LowerCase(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return r;
}

QString AnsiUpperCase(const QString& s)
{
    return s.toUpper();
}

QString AnsiLowerCase(const QString& s)
{
    return s.toLower();
}

int CompareText(const QString& a, const QString& b)
{
    return UpperCase(a).compare(UpperCase(b));
}

int AnsiCompareText(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

int AnsiCompareStr(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseSensitive);
}

bool SameText(const QString& a, const QString& b)
{
    return CompareText(a, b) == 0;
}

bool AnsiSameText(const QString& a, const QString& b)
{
    return AnsiCompareText(a, b) == 0;
}

int Pos(const QString& sub, const QString& s)
{
    if (sub.isEmpty())
        return 0;
    return int(s.indexOf(sub)) + 1;
}

QString Copy(const QString& s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return {};
    return s.mid(index - 1, count);
}

QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern, int flags)
{
    if (oldPattern.isEmpty())
        return s;
    const Qt::CaseSensitivity cs = (flags & rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (flags & rfReplaceAll) {
        QString r = s;
        return r.replace(oldPattern, newPattern, cs);
    }
    const int at = int(s.indexOf(oldPattern, 0, cs));
    if (at < 0)
        return s;
    return s.left(at) + newPattern + s.mid(at + oldPattern.size());
}

QString QuotedStr(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

// --- file names --------------------------------------------------------------------------------

QString ExtractFileName(const QString& fileName)
{
    return fileName.mid(LastDelimiter(fileName) + 1);
}

QString ExtractFilePath(const QString& fileName)
{
    return fileName.left(LastDelimiter(fileName) + 1);
}

QString ExtractFileDir(const QString& fileName)
{
    int i = LastDelimiter(fileName);
    if (i > 0 && IsSep(fileName[i]) && fileName[i - 1] != QLatin1Char(':') && !IsSep(fileName[i - 1]))
        return fileName.left(i);
    return fileName.left(i + 1);
}

QString ExtractFileExt(const QString& fileName)
{
    const int delim = LastDelimiter(fileName);
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    return dot > delim ? fileName.mid(dot) : QString();
}

QString ChangeFileExt(const QString& fileName, const QString& ext)
{
    const int delim = LastDelimiter(fileName);
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    return (dot > delim ? fileName.left(dot) : fileName) + ext;
}

QString IncludeTrailingBackslash(const QString& s)
{
    if (!s.isEmpty() && IsSep(s.back()))
        return s;
    const bool windows = s.contains(QLatin1Char('\\')) && !s.contains(QLatin1Char('/'));
    return s + (windows ? QLatin1Char('\\') : QLatin1Char('/'));
}

QString IncludeTrailingPathDelimiter(const QString& s)
{
    return IncludeTrailingBackslash(s);
}

QString ExcludeTrailingBackslash(const QString& s)
{
    QString r = s;
    if (!r.isEmpty() && IsSep(r.back()))
        r.chop(1);
    return r;
}

QString ExcludeTrailingPathDelimiter(const QString& s)
{
    return ExcludeTrailingBackslash(s);
}

bool FileExists(const QString& fileName)
{
    const QFileInfo info(fileName);
    return !fileName.isEmpty() && info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& dir)
{
    return !dir.isEmpty() && QFileInfo(dir).isDir();
}

bool ForceDirectories(const QString& dir)
{
    return !dir.isEmpty() && QDir().mkpath(dir);
}

bool DeleteFile(const QString& fileName)
{
    return FileExists(fileName) && QFile::remove(fileName);
}

bool RenameFile(const QString& oldName, const QString& newName)
{
    // The original refuses to replace an existing file.
    return !QFileInfo::exists(newName) && QFile::rename(oldName, newName);
}
