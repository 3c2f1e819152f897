#pragma once

// INI files with the semantics of the original platform's profile functions, used by every INI
// reader and writer of the system:
// - sections and keys compare without regard to case; of duplicates the first one counts;
// - a value read loses surrounding blanks and one pair of matching surrounding quotes (" or '),
//   and is cut to 2047 characters;
// - lines beginning with ";" are comments; comments, unknown lines, the order of the file, its
//   line ends and the bytes of every line not written are kept when the file is rewritten;
// - every write reaches the file at once, by writing a temporary file and renaming it over the
//   old one, so a failed write leaves the old file whole; the folder is never created;
// - a file name without a folder lands in the Windows folder (WindowsFolder());
// - changes made to the file by anyone else are seen by the next call.
// Text is UTF-8.

#include "framework/object.h"

#include <QString>
#include <memory>

class TStrings;

// The operations every INI-like store offers.
class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const QString& fileName);
    ~TCustomIniFile() override;

    const QString& FileName() const { return fileName_; }

    virtual QString ReadString(const QString& section, const QString& ident, const QString& def) = 0;
    virtual void WriteString(const QString& section, const QString& ident, const QString& value) = 0;
    // Decimal, or hexadecimal after "0x" (and "$"); anything else gives def.
    virtual int ReadInteger(const QString& section, const QString& ident, int def);
    virtual void WriteInteger(const QString& section, const QString& ident, int value);
    // A stored integer other than 0 is true; written as "1" or "0".
    virtual bool ReadBool(const QString& section, const QString& ident, bool def);
    virtual void WriteBool(const QString& section, const QString& ident, bool value);
    // The section's keys in file order (duplicates included, as each line is one key).
    virtual void ReadSection(const QString& section, TStrings* strings) = 0;
    virtual void ReadSections(TStrings* strings) = 0;
    // "key=value" for every key of the section, each value read as ReadString reads it.
    virtual void ReadSectionValues(const QString& section, TStrings* strings);
    virtual void EraseSection(const QString& section) = 0;
    virtual void DeleteKey(const QString& section, const QString& ident) = 0;
    virtual void UpdateFile() = 0;
    bool SectionExists(const QString& section);
    virtual bool ValueExists(const QString& section, const QString& ident);

protected:
    QString fileName_;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile() override;

    QString ReadString(const QString& section, const QString& ident, const QString& def) override;
    // Raises EIniFileException "Unable to write to <file>" when the file cannot be written. Line
    // breaks in the value become blanks, so a value can never add lines of its own.
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    void ReadSection(const QString& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& ident) override;
    // Every write is already in the file.
    void UpdateFile() override;
    bool ValueExists(const QString& section, const QString& ident) override;

private:
    struct Data;
    std::unique_ptr<Data> d_;
    void Refresh();
    void Save();
};
