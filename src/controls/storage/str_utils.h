#pragma once

// Small text routines of the storage code: replacing every occurrence of a pattern, words
// separated by a set of delimiter characters, and the reversible hex-XOR form of stored values.
// Positions count from 1, as the callers index their texts.

#include <QString>
#include <bitset>
#include <initializer_list>

// A set of 8-bit characters; characters above 255 are never members.
class TCharSet {
public:
    TCharSet() = default;
    TCharSet(std::initializer_list<char> chars);
    bool Contains(QChar c) const { return c.unicode() < 256 && bits_.test(c.unicode()); }
    void Include(unsigned char c) { bits_.set(c); }

private:
    std::bitset<256> bits_;
};

// Every occurrence of pattern (exact, case-sensitive) replaced, scanning left to right; the
// replacements are never searched again. An empty pattern leaves the text as it is.
QString ReplaceAll(const QString& text, const QString& pattern, const QString& replacement);

// A word is a maximal run of characters outside the delimiter set.
int CountWords(const QString& text, const TCharSet& delims);
// Position (from 1) of the first character of word n, or 0 when there is no word n.
int WordStart(int n, const QString& text, const TCharSet& delims);
// Word n, or empty.
QString NthWord(int n, const QString& text, const TCharSet& delims);

// Text is taken as its UTF-8 bytes; each byte XOR the key's byte at the same index (modulo the
// key's length) becomes two lower-case hex digits. Decoding ignores a trailing odd digit and
// reads a pair that is not hexadecimal as a blank (32).
QString HexXorEncode(const QString& key, const QString& text);
QString HexXorDecode(const QString& key, const QString& encoded);
