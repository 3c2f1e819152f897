#include "document/format_table.h"

#include "framework/exceptions.h"

const TStandardFormat StandardFormats[TFormatTable::StandardFormatCount] = {
    {48, 48, "XP"},  {32, 32, "XP"},  {16, 16, "XP"},  {48, 48, "16.8M"}, {32, 32, "16.8M"},
    {16, 16, "16.8M"}, {48, 48, "256"}, {32, 32, "256"}, {16, 16, "256"}, {48, 48, "16"},
    {32, 32, "16"},  {16, 16, "16"},  {48, 48, "Mono"}, {32, 32, "Mono"}, {16, 16, "Mono"},
};

TFormatTable::TFormatTable() : integers_(CellCount, 0) {}

void TFormatTable::Check(int cell)
{
    if (cell < 0 || cell >= CellCount)
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(cell));
}

QString TFormatTable::Text(int cell) const
{
    Check(cell);
    return texts_.value(cell);
}

int TFormatTable::Integer(int cell) const
{
    Check(cell);
    return integers_[size_t(cell)];
}

void TFormatTable::SetText(int cell, const QString& text)
{
    Check(cell);
    integers_[size_t(cell)] = 0;
    texts_.insert(cell, text);
}

void TFormatTable::SetInteger(int cell, int value)
{
    Check(cell);
    texts_.remove(cell);
    integers_[size_t(cell)] = value;
}

void TFormatTable::SetFormat(int f, int width, int height, const QString& kind)
{
    SetText(WidthCell(f), QString::number(width));
    SetText(HeightCell(f), QString::number(height));
    SetText(KindCell(f), kind);
}

void TFormatTable::SetStandardFormat(int j, const QString& width, const QString& height, const QString& kind,
                                     bool present)
{
    const int c = StandardCell(j);
    SetText(c, width);
    SetText(c + 1, height);
    SetText(c + 2, kind);
    SetText(c + 3, present ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

int TFormatTable::StandardIndexOf(int width, int height, const QString& kind)
{
    for (int j = 1; j <= StandardFormatCount; ++j) {
        const TStandardFormat& s = StandardFormats[j - 1];
        if (s.Width == width && s.Height == height && kind == QLatin1String(s.Kind))
            return j;
    }
    return 0;
}
