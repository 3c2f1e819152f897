#include "framework/definition_parser.h"

#include <cmath>

namespace {

// Objects, lists and collections nest; a definition deeper than this is broken, not a window.
constexpr int MaxDepth = 100;

class Parser {
public:
    explicit Parser(const QByteArray& text) : s_(text) {}

    TDefObject ParseRoot()
    {
        SkipBlanks();
        TDefObject root = ParseObject(0);
        SkipBlanks();
        if (pos_ < s_.size())
            Error(QStringLiteral("End of file expected"));
        return root;
    }

private:
    const QByteArray& s_;
    qsizetype pos_ = 0;
    int line_ = 1;

    [[noreturn]] void Error(const QString& what) const
    {
        throw EParserError(QStringLiteral("Line %1: %2").arg(line_).arg(what));
    }

    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            const char c = s_[pos_];
            if (c == '\n')
                ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                ++pos_;
            else
                break;
        }
    }

    static bool IsIdentStart(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    }
    static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

    // An identifier; with dots allowed it may be a path such as Font.Name.
    QString Ident(bool dotted)
    {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Error(QStringLiteral("Identifier expected"));
        const qsizetype start = pos_;
        for (;;) {
            while (IsIdentChar(Peek()))
                ++pos_;
            if (dotted && Peek() == '.' && pos_ + 1 < s_.size() && IsIdentStart(s_[pos_ + 1])) {
                ++pos_;
                continue;
            }
            break;
        }
        return QString::fromLatin1(s_.mid(start, pos_ - start));
    }

    bool TryKeyword(const char* word)
    {
        SkipBlanks();
        const qsizetype n = qstrlen(word);
        if (pos_ + n > s_.size())
            return false;
        if (QByteArray::fromRawData(s_.constData() + pos_, n).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        if (pos_ + n < s_.size() && IsIdentChar(s_[pos_ + n]))
            return false;
        pos_ += n;
        return true;
    }

    void Expect(char c)
    {
        SkipBlanks();
        if (Peek() != c)
            Error(QStringLiteral("'%1' expected").arg(QLatin1Char(c)));
        ++pos_;
    }

    TDefObject ParseObject(int depth)
    {
        if (depth > MaxDepth)
            Error(QStringLiteral("Objects nested too deeply"));
        TDefObject obj;
        SkipBlanks();
        obj.Line = line_;
        if (TryKeyword("inherited") || TryKeyword("inline"))
            obj.Inherited = true;
        else if (!TryKeyword("object"))
            Error(QStringLiteral("'object' expected"));
        QString first = Ident(false);
        SkipBlanks();
        if (Peek() == ':') {
            ++pos_;
            obj.Name = first;
            obj.ClassName = Ident(false);
        } else {
            obj.ClassName = first;
        }
        SkipBlanks();
        if (Peek() == '[') { // position index of an inherited child: not needed, but allowed
            ++pos_;
            ParseNumber();
            Expect(']');
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Error(QStringLiteral("'end' expected"));
            if (TryKeyword("end"))
                break;
            const qsizetype save = pos_;
            const int saveLine = line_;
            if (TryKeyword("object") || TryKeyword("inherited") || TryKeyword("inline")) {
                pos_ = save;
                line_ = saveLine;
                obj.Children.push_back(ParseObject(depth + 1));
                continue;
            }
            if (!obj.Children.empty())
                Error(QStringLiteral("Properties must come before nested objects"));
            obj.Properties.push_back(ParseProperty(depth));
        }
        return obj;
    }

    TDefProperty ParseProperty(int depth)
    {
        TDefProperty p;
        SkipBlanks();
        p.Line = line_;
        p.Name = Ident(true);
        Expect('=');
        p.Value = ParseValue(depth);
        return p;
    }

    TDefValue ParseValue(int depth)
    {
        if (depth > MaxDepth)
            Error(QStringLiteral("Values nested too deeply"));
        SkipBlanks();
        const char c = Peek();
        TDefValue v;
        if (c == '\'' || c == '#') {
            v.Kind = TDefValue::vkString;
            v.Str = ParseStringExpr();
        } else if (c == '-' || c == '+' || c == '$' || (c >= '0' && c <= '9')) {
            v = ParseNumber();
        } else if (c == '[') {
            ++pos_;
            v.Kind = TDefValue::vkSet;
            SkipBlanks();
            if (Peek() != ']') {
                for (;;) {
                    v.SetItems << Ident(false);
                    SkipBlanks();
                    if (Peek() == ',') {
                        ++pos_;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else if (c == '(') {
            ++pos_;
            v.Kind = TDefValue::vkList;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Error(QStringLiteral("')' expected"));
                if (Peek() == ')') {
                    ++pos_;
                    break;
                }
                v.Items.push_back(ParseValue(depth + 1));
            }
        } else if (c == '<') {
            ++pos_;
            v.Kind = TDefValue::vkCollection;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Error(QStringLiteral("'>' expected"));
                if (Peek() == '>') {
                    ++pos_;
                    break;
                }
                if (!TryKeyword("item"))
                    Error(QStringLiteral("'item' expected"));
                SkipBlanks();
                if (Peek() == '[') {
                    ++pos_;
                    ParseNumber();
                    Expect(']');
                }
                TDefValue::TItem item;
                for (;;) {
                    SkipBlanks();
                    if (AtEnd())
                        Error(QStringLiteral("'end' expected"));
                    if (TryKeyword("end"))
                        break;
                    item.Properties.push_back(ParseProperty(depth + 1));
                }
                v.CollectionItems.push_back(std::move(item));
            }
        } else if (c == '{') {
            ++pos_;
            v.Kind = TDefValue::vkBinary;
            int nibble = -1;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Error(QStringLiteral("'}' expected"));
                const char h = s_[pos_++];
                if (h == '}')
                    break;
                int d;
                if (h >= '0' && h <= '9')
                    d = h - '0';
                else if (h >= 'A' && h <= 'F')
                    d = h - 'A' + 10;
                else if (h >= 'a' && h <= 'f')
                    d = h - 'a' + 10;
                else
                    Error(QStringLiteral("Invalid binary value"));
                if (nibble < 0) {
                    nibble = d;
                } else {
                    v.Binary.append(char(nibble * 16 + d));
                    nibble = -1;
                }
            }
            if (nibble >= 0)
                Error(QStringLiteral("Invalid binary value"));
        } else if (IsIdentStart(c)) {
            v.Kind = TDefValue::vkIdent;
            v.Str = Ident(true);
        } else {
            Error(QStringLiteral("Invalid property value"));
        }
        return v;
    }

    TDefValue ParseNumber()
    {
        SkipBlanks();
        TDefValue v;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++pos_;
        }
        if (Peek() == '$') {
            ++pos_;
            const qsizetype start = pos_;
            while (std::isxdigit(static_cast<unsigned char>(Peek())))
                ++pos_;
            bool ok = false;
            const qulonglong u = s_.mid(start, pos_ - start).toULongLong(&ok, 16);
            if (!ok || pos_ - start > 16)
                Error(QStringLiteral("Number expected"));
            v.Int = negative ? -qint64(u) : qint64(u);
            return v;
        }
        const qsizetype start = pos_;
        while (std::isdigit(static_cast<unsigned char>(Peek())))
            ++pos_;
        bool isFloat = false;
        if (Peek() == '.' && pos_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
            isFloat = true;
            ++pos_;
            while (std::isdigit(static_cast<unsigned char>(Peek())))
                ++pos_;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            isFloat = true;
            ++pos_;
            if (Peek() == '-' || Peek() == '+')
                ++pos_;
            while (std::isdigit(static_cast<unsigned char>(Peek())))
                ++pos_;
        }
        const QByteArray digits = s_.mid(start, pos_ - start);
        if (digits.isEmpty())
            Error(QStringLiteral("Number expected"));
        bool ok = false;
        if (isFloat) {
            v.Kind = TDefValue::vkFloat;
            v.Float = digits.toDouble(&ok);
            if (!ok || !std::isfinite(v.Float))
                Error(QStringLiteral("Number expected"));
            if (negative)
                v.Float = -v.Float;
        } else {
            v.Kind = TDefValue::vkInteger;
            v.Int = digits.toLongLong(&ok);
            if (!ok)
                Error(QStringLiteral("Number expected"));
            if (negative)
                v.Int = -v.Int;
        }
        return v;
    }

    // 'abc' #13#10 'def' + 'ghi'  — quoted runs, character codes and concatenation.
    QString ParseStringExpr()
    {
        QString out;
        for (;;) {
            SkipBlanks();
            bool any = false;
            for (;;) {
                const char c = Peek();
                if (c == '\'') {
                    any = true;
                    ++pos_;
                    QByteArray run;
                    for (;;) {
                        if (AtEnd() || Peek() == '\n')
                            Error(QStringLiteral("Unterminated string"));
                        const char d = s_[pos_++];
                        if (d == '\'') {
                            if (Peek() == '\'') {
                                run.append('\'');
                                ++pos_;
                                continue;
                            }
                            break;
                        }
                        run.append(d);
                    }
                    out += QString::fromUtf8(run);
                } else if (c == '#') {
                    any = true;
                    ++pos_;
                    TDefValue n = ParseNumber();
                    if (n.Kind != TDefValue::vkInteger || n.Int < 0 || n.Int > 0x10FFFF)
                        Error(QStringLiteral("Invalid character code"));
                    const char32_t code = char32_t(n.Int);
                    out += QString::fromUcs4(&code, 1);
                } else {
                    break;
                }
            }
            if (!any)
                Error(QStringLiteral("String expected"));
            SkipBlanks();
            if (Peek() == '+') {
                ++pos_;
                continue;
            }
            return out;
        }
    }
};

QString QuoteText(const QString& s)
{
    QString q = s;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

} // namespace

bool TDefValue::IsIdent(const char* name) const
{
    return Kind == vkIdent && Str.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString TDefValue::ToText() const
{
    switch (Kind) {
    case vkInteger:
        return QString::number(Int);
    case vkFloat:
        return QString::number(Float);
    case vkString:
        return QuoteText(Str);
    case vkIdent:
        return Str;
    case vkSet:
        return QLatin1Char('[') + SetItems.join(QStringLiteral(", ")) + QLatin1Char(']');
    case vkList:
        return QStringLiteral("(...)");
    case vkCollection:
        return QStringLiteral("<...>");
    case vkBinary:
        return QStringLiteral("{...}");
    }
    return {};
}

const TDefProperty* TDefObject::FindProperty(const QString& name) const
{
    for (const TDefProperty& p : Properties)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

TDefObject ParseDefinition(const QByteArray& text)
{
    Parser p(text);
    return p.ParseRoot();
}
