#include "controls/storage/str_utils.h"

#include <gtest/gtest.h>

namespace {

const TCharSet kBlankComma{' ', ','};

TEST(StrUtils, ReplaceAll)
{
    struct Case {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"1.5.25", ".", ",", "1,5,25"},
        {"aaa", "aa", "b", "ba"},          // no overlap: only the first two letters
        {"abc", "", "x", "abc"},           // an empty pattern is never found
        {"xAx", "a", "y", "xAx"},          // case matters
        {"abab", "ab", "abab", "abababab"}, // replacements are not searched again
        {"", "a", "b", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.expected) << c.text << " / " << c.pattern;
}

TEST(StrUtils, Words)
{
    struct Case {
        const char* text;
        int count;
        int n;
        int start;
        const char* word;
    } cases[] = {
        {"10, 20,,30", 3, 3, 9, "30"},
        {"10, 20,,30", 3, 4, 0, ""},
        {"10, 20,,30", 3, 2, 5, "20"},
        {" ,, , ", 0, 1, 0, ""},
        {"", 0, 1, 0, ""},
        {",a", 1, 1, 2, "a"},
        {"a b", 2, 0, 0, ""},
        {"a b", 2, -1, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountWords(c.text, kBlankComma), c.count) << c.text;
        EXPECT_EQ(WordStart(c.n, c.text, kBlankComma), c.start) << c.text << " #" << c.n;
        EXPECT_EQ(NthWord(c.n, c.text, kBlankComma), c.word) << c.text << " #" << c.n;
    }
    // Characters beyond 8 bits are never delimiters.
    EXPECT_EQ(CountWords(QString::fromUtf8("a\u2003b"), TCharSet{' ', char(0x03)}), 1);
}

TEST(StrUtils, HexXor)
{
    struct Case {
        const char* key;
        const char* text;
        const char* encoded;
    } cases[] = {
        {"", "AZ ", "415a20"},            // no key: the plain codes, lower-case hex
        {"\x01", "AB", "4043"},
        {"ab", "abc", "000002"},          // the key repeats
        {"k", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexXorEncode(c.key, c.text), c.encoded) << c.text;
        EXPECT_EQ(HexXorDecode(c.key, c.encoded), c.text) << c.encoded;
    }
    // A trailing odd digit is ignored; a pair that is not hex reads as a blank (before the key).
    EXPECT_EQ(HexXorDecode("", "4142f"), "AB");
    EXPECT_EQ(HexXorDecode("", "41zz42"), "A B");
    EXPECT_EQ(HexXorDecode("", "4G"), " ");
    EXPECT_EQ(HexXorDecode("", "4F"), "O");
    const QString path = QString::fromUtf8("/home/ü ser/Bilder ");
    EXPECT_EQ(HexXorDecode("secret", HexXorEncode("secret", path)), path);
}

} // namespace
