#include "framework/exceptions.h"
#include "framework/sysutils.h"

#include <gtest/gtest.h>

TEST(SysUtils, StrToIntIsStrictWithTheFrameworkText)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"48", true, 48},           {"  -12", true, -12},     {"+7", true, 7},
        {"$FF", true, 255},         {"0x1f", true, 31},       {"$FFFFFFFF", true, -1},
        {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},   {"12 ", false, 0},        {"", false, 0},
        {"1.5", false, 0},          {"0x", false, 0},         {"$123456789", false, 0},
        {"abc", false, 0},          {"99999999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            try {
                StrToInt(c.text);
                ADD_FAILURE() << "accepted";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), QString("'%1' is not a valid integer value").arg(c.text));
            }
            EXPECT_EQ(StrToIntDef(c.text, -99), -99);
        }
    }
    EXPECT_EQ(StrToInt64("9000000000"), 9000000000LL);
}

TEST(SysUtils, NumbersToText)
{
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToHex(255, 2), "FF");
    EXPECT_EQ(IntToHex(10, 4), "000A");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(FloatToStr(0.5), "0.5");
    EXPECT_EQ(FloatToStr(3), "3");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1e-5), "1E-5");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_DOUBLE_EQ(StrToFloat(" 2.5"), 2.5);
    EXPECT_THROW(StrToFloat("2,5"), EConvertError);
    EXPECT_THROW(StrToFloat("nan"), EConvertError);
}

TEST(SysUtils, FormatSubset)
{
    EXPECT_EQ(Format("(%dx%d)", {1024, 768}), "(1024x768)");
    EXPECT_EQ(Format("%s.%s", {"Form", QString("Button")}), "Form.Button");
    EXPECT_EQ(Format("%d,%d,%d,%d", {-1, 2, 3, 4}), "-1,2,3,4");
    EXPECT_EQ(Format("Item%d", {0}), "Item0");
    EXPECT_EQ(Format("%5d|%-5s|%.3d|%x|%8.2f|%%", {42, "ab", 7, 255, 3.14159}), "   42|ab   |007|FF|    3.14|%");
    EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
    EXPECT_EQ(Format("%*d", {4, 9}), "   9");
    EXPECT_EQ(Format("%n", {1234567.5}), "1,234,567.50");
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
}

TEST(SysUtils, TextHelpersCountFromOne)
{
    EXPECT_EQ(Trim("\t  a b \r\n"), "a b");
    EXPECT_EQ(UpperCase("abc\u00e4"), "ABC\u00e4");
    EXPECT_EQ(AnsiUpperCase("abc\u00e4"), "ABC\u00c4");
    EXPECT_EQ(AnsiCompareText("Label1", "LABEL1"), 0);
    EXPECT_LT(AnsiCompareText("a", "B"), 0);
    EXPECT_EQ(Pos("~~", "a~~b"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    EXPECT_EQ(StringReplace("a~~b~~c", "~~", "\r\n", rfReplaceAll), "a\r\nb\r\nc");
    EXPECT_EQ(StringReplace("aXbx", "x", "-", rfIgnoreCase), "a-bx");
}

TEST(SysUtils, FileNameHelpersTakeBothSeparators)
{
    struct Case {
        const char* in;
        const char* name;
        const char* path;
        const char* dir;
        const char* ext;
    } cases[] = {
        {"c:\\dir\\icon.ico", "icon.ico", "c:\\dir\\", "c:\\dir", ".ico"},
        {"/home/u/a.b/file", "file", "/home/u/a.b/", "/home/u/a.b", ""},
        {"/opt/b/suk\\msn.sui", "msn.sui", "/opt/b/suk\\", "/opt/b/suk", ".sui"},
        {"c:\\x.bmp", "x.bmp", "c:\\", "c:\\", ".bmp"},
        {"c:x.bmp", "x.bmp", "c:", "c:", ".bmp"},
        {"/x.tar.gz", "x.tar.gz", "/", "/", ".gz"},
        {"noext", "noext", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(ExtractFileName(c.in), c.name);
        EXPECT_EQ(ExtractFilePath(c.in), c.path);
        EXPECT_EQ(ExtractFileDir(c.in), c.dir);
        EXPECT_EQ(ExtractFileExt(c.in), c.ext);
    }
    EXPECT_EQ(ChangeFileExt("/a.b/c", ".INI"), "/a.b/c.INI");
    EXPECT_EQ(ChangeFileExt("/a/prog.exe", ".ini"), "/a/prog.ini");
    EXPECT_EQ(ChangeFileExt("/a/prog.exe", ""), "/a/prog");
    EXPECT_EQ(IncludeTrailingBackslash("/opt/b"), "/opt/b/");
    EXPECT_EQ(IncludeTrailingBackslash("/opt/b/"), "/opt/b/");
    EXPECT_EQ(IncludeTrailingBackslash("c:\\dir"), "c:\\dir\\");
    EXPECT_EQ(IncludeTrailingBackslash("c:\\dir\\"), "c:\\dir\\");
    EXPECT_EQ(ExcludeTrailingBackslash("c:\\dir\\"), "c:\\dir");
}

TEST(SysUtils, ExceptionDisplayAddsAFullStopAfterALetter)
{
    EXPECT_EQ(ExceptionDisplayText(EReadError("Stream read error")), "Stream read error.");
    EXPECT_EQ(ExceptionDisplayText(Exception("Invalid icon format!")), "Invalid icon format!");
    EXPECT_EQ(ExceptionDisplayText(Exception("Cannot open file \"a.ico\"")), "Cannot open file \"a.ico\"");
    EXPECT_EQ(ExceptionDisplayText(Exception("Done.")), "Done.");
    QString shown;
    SetExceptionDisplay([&](const QString&, const QString& text) { shown = text; });
    ShowException(EConvertError("'x' is not a valid integer value"));
    SetExceptionDisplay(nullptr);
    EXPECT_EQ(shown, "'x' is not a valid integer value.");
}
