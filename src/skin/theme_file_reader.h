#pragma once

// Reader of skin files (".sui"): a 24-byte header and a chain of 77-byte item records whose values
// (BMP pictures, integers, booleans, texts) lie elsewhere in the file.

#include "framework/object.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class TMemoryStream;

// The fixed text of every refused skin file.
inline constexpr const char* InvalidSkinFileText = "Invalid skin file for DERUvaz!";
inline constexpr const char* SkinFileMagic = "DERUvaz_TB";

// True when the file exists, can be read and its first 12 bytes, cut at the first NUL, equal the
// magic text exactly.
bool IsValidThemeFile(const QString& fileName);

class TsuiThemeFileReader : public TObject {
public:
    // Reads the whole chain at once. A file that breaks the container's rules raises Exception
    // with InvalidSkinFileText; a file that cannot be opened raises EFOpenError.
    explicit TsuiThemeFileReader(const QString& fileName);
    ~TsuiThemeFileReader() override;

    // Lookups take the first record of a name, names compared without regard to case.
    // The picture's bytes rewound to their start, or none; the reader keeps the stream.
    TMemoryStream* GetImageStream(const QString& name);
    // -1 when there is no such integer record.
    int GetInteger(const QString& name) const;
    // False when there is no such boolean record.
    bool GetBool(const QString& name) const;
    // The text records as "name=text", in chain order; never looked up by the controls.
    const QStringList& Strings() const { return strings_; }

private:
    void LoadThemeFile(const QString& fileName);

    struct ImageEntry {
        QString Name;
        std::unique_ptr<TMemoryStream> Data;
    };
    struct ValueEntry {
        QString Name;
        int32_t Value;
    };
    std::vector<ImageEntry> images_;
    std::vector<ValueEntry> integers_;
    std::vector<ValueEntry> bools_;
    QStringList strings_;
};
