#pragma once

// The framework's number, text and file-name routines, with the framework's rules: strict number
// conversions that raise EConvertError with the fixed texts, 1-based positions, and file-name
// helpers that take "\" and "/" alike (and ":" after a drive letter) as separators.

#include <QString>
#include <cstdint>
#include <initializer_list>

// --- numbers -----------------------------------------------------------------------------------

// Decimal with optional blanks before and a sign, or hexadecimal after "$" or "0x" (up to 8 hex
// digits; larger values wrap as on the original). Anything else, or a decimal outside the 32-bit
// range, raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString& s);
int StrToIntDef(const QString& s, int def);
bool TryStrToInt(const QString& s, int& value);
int64_t StrToInt64(const QString& s);
int64_t StrToInt64Def(const QString& s, int64_t def);
QString IntToStr(int64_t value);
// Upper-case hexadecimal, at least digits long; a negative value shows its 32-bit pattern.
QString IntToHex(int value, int digits);
QString IntToHex(int64_t value, int digits);
// General format with 15 significant digits and "." as decimal separator ("0.5", "1E20", "1E-5").
QString FloatToStr(double value);
// "." is the decimal separator; raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const QString& s);
double StrToFloatDef(const QString& s, double def);

// --- Format ------------------------------------------------------------------------------------

// One argument of Format: an integer, a floating-point number, a text or a pointer.
struct FormatArg {
    enum Kind { Int, Float, Text, Pointer } kind;
    int64_t i = 0;
    double f = 0;
    QString s;
    const void* p = nullptr;

    FormatArg(int v) : kind(Int), i(v) {}
    FormatArg(unsigned v) : kind(Int), i(v) {}
    FormatArg(long v) : kind(Int), i(v) {}
    FormatArg(unsigned long v) : kind(Int), i(int64_t(v)) {}
    FormatArg(long long v) : kind(Int), i(v) {}
    FormatArg(unsigned long long v) : kind(Int), i(int64_t(v)) {}
    FormatArg(double v) : kind(Float), f(v) {}
    FormatArg(const QString& v) : kind(Text), s(v) {}
    FormatArg(const char* v) : kind(Text), s(QString::fromUtf8(v)) {}
    FormatArg(QChar v) : kind(Text), s(v) {}
    FormatArg(const void* v) : kind(Pointer), p(v) {}
};

// The framework's Format: "%" [index ":"] ["-"] [width] ["." precision] type, width and precision
// may be "*"; types d, u, x (upper-case hex), e, f, g, n, m (as n), p, s, and "%%". A type that
// does not fit its argument, or a missing argument, raises EConvertError.
//   Format("(%dx%d)", {1024, 768})  ->  "(1024x768)"
QString Format(const QString& format, std::initializer_list<FormatArg> args);

// --- text --------------------------------------------------------------------------------------

// Removes blanks and control characters (everything up to " ") at both ends / one end.
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);
// Change only the letters a-z / A-Z.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
// Change every letter.
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);
// <0, 0, >0 comparing without regard to case; CompareText folds only a-z.
int CompareText(const QString& a, const QString& b);
int AnsiCompareText(const QString& a, const QString& b);
int AnsiCompareStr(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);
// 1-based position of sub in s, 0 when absent (and for an empty sub).
int Pos(const QString& sub, const QString& s);
// count characters from the 1-based index; an index below 1 counts from 1, ranges are clipped.
QString Copy(const QString& s, int index, int count);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern, int flags);
QString QuotedStr(const QString& s);

// --- file names --------------------------------------------------------------------------------

// Everything after the last separator.
QString ExtractFileName(const QString& fileName);
// Everything up to and including the last separator.
QString ExtractFilePath(const QString& fileName);
// The folder without its trailing separator (kept for a root such as "/" or "c:\").
QString ExtractFileDir(const QString& fileName);
// The extension with its dot (".ico"), empty when the name part has no dot.
QString ExtractFileExt(const QString& fileName);
// Replaces (or adds) the extension; ext includes its dot, or is empty to remove it.
QString ChangeFileExt(const QString& fileName, const QString& ext);
// Adds a separator unless the text ends with one: "\" when the text is spelled with backslashes
// only, "/" otherwise.
QString IncludeTrailingBackslash(const QString& s);
QString IncludeTrailingPathDelimiter(const QString& s);
QString ExcludeTrailingBackslash(const QString& s);
QString ExcludeTrailingPathDelimiter(const QString& s);

// File-system tests and changes on local paths.
bool FileExists(const QString& fileName);
bool DirectoryExists(const QString& dir);
bool ForceDirectories(const QString& dir);
bool DeleteFile(const QString& fileName);
bool RenameFile(const QString& oldName, const QString& newName);
