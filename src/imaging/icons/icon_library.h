#pragma once

// Icon libraries: files that carry many icons as icon-group resources. TIconLibrary reads 16-bit
// (NE) and 32-bit (PE) .icl files, executables and DLLs into a list of named multi-image icons,
// and writes such a list back as a 16-bit library (icl_writer.h has the layout).

#include "framework/exceptions.h"
#include "framework/object.h"

#include <QString>
#include <memory>

class TStringList;

BRELNOVA_EXCEPTION(EICLReadError, Exception)

// Fixed texts of the library readers and writers.
namespace ICLText {
inline constexpr const char* NotValid = "Not a valid ICL File";
inline constexpr const char* InvalidOffset = "Invalid Windows 16 Offset";
inline constexpr const char* InvalidHeader = "Invalid Windows 16 Header";
inline constexpr const char* NoResources = "No Resources in file";
inline constexpr const char* NoNames = "Names Table not found";
inline constexpr const char* TableError = "ResourceTable has an Error";
inline constexpr const char* IconNotFound = "Icon Resource Not Found";
inline constexpr const char* NoIcons = "Unable to write Iconlibrary with no icons";
inline constexpr const char* TooMany = "Iconlibraries with more than 32767 are not possible";
} // namespace ICLText

// True when the file starts with "MZ" and the 16-bit position at offset 60 leads to "PE" or "NE";
// is32Bit tells which. False for anything else, a file that cannot be opened included.
bool DetectLibraryKind(const QString& fileName, bool& is32Bit);

class TIconLibrary : public TObject {
public:
    TIconLibrary();
    // Frees the icons with the list.
    ~TIconLibrary() override;
    TIconLibrary(const TIconLibrary&) = delete;
    TIconLibrary& operator=(const TIconLibrary&) = delete;

    // The path of the last library read.
    const QString& FileName() const { return fileName_; }
    // Group names, each with its TMultiIcon, in resource order. The library owns the objects:
    // one added here is freed with the library, one deleted from the list goes back to whoever
    // deletes it.
    TStringList* Icons() const { return icons_.get(); }

    // Reads an executable, DLL or icon library. A file that holds no icons, or that is no
    // executable with a PE or NE header, loads nothing, silently. A library whose icons cannot
    // all be read leaves the list as it was and beeps; a 32-bit group whose resources lie outside
    // the file, and a group that holds no image, are left out.
    void LoadFromFile(const QString& fileName);
    // Writes the list as a 16-bit library, replacing the file only once it is complete. Raises
    // EICLReadError for an empty list and for more than 32767 groups or images.
    void SaveToFile(const QString& fileName);

private:
    void FreeIcons();

    QString fileName_;
    std::unique_ptr<TStringList> icons_;
};
