#pragma once

// Modules loaded as data files, their resources, and icon extraction from executables, DLLs,
// icon libraries and icon files: the kernel's and the shell's calls over the resource reader of
// pe_resources.h. Nothing is ever run; a module is a parsed resource directory over its file.
//
// Handles are values as the window system's are; a freed or made-up module handle is refused by
// every call. Resource handles (HRSRC) and loaded data (HGLOBAL) belong to their module and stay
// valid until FreeLibrary.

#include "platform/icon_handle.h"
#include "platform/pe_resources.h"

#include <QString>
#include <cstdint>
#include <functional>

struct HMODULE_tag;
using HMODULE = HMODULE_tag*;
using HINSTANCE = HMODULE;
struct HRSRC_tag;
using HRSRC = HRSRC_tag*;
using HGLOBAL = const void*;

constexpr uint32_t DONT_RESOLVE_DLL_REFERENCES = 0x00000001;
constexpr uint32_t LOAD_LIBRARY_AS_DATAFILE = 0x00000002;
constexpr uint32_t LOAD_LIBRARY_AS_IMAGE_RESOURCE = 0x00000020;
constexpr uint32_t LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE = 0x00000040;

// Loads a 32-bit or 64-bit executable or DLL, or a 16-bit executable or icon library, as a data
// file: one of the LOAD_LIBRARY_AS_* flags is required, since no code can be run here. Null when
// the file cannot be read or is no such module; LastModuleError() then says why.
HMODULE LoadLibraryEx(const QString& lpLibFileName, void* hFile, uint32_t dwFlags);
bool FreeLibrary(HMODULE hLibModule);
// The text of the last failure of LoadLibraryEx on this thread.
QString LastModuleError();

// The parsed resources of a loaded module, for readers that want more than the calls below; valid
// until FreeLibrary.
const TExeResources* ModuleResources(HMODULE hModule);

// Callbacks return true to go on. EnumResourceNames lists each name of a type once, in directory
// order; it returns false when the module holds no resource of that type.
using ENUMRESTYPEPROC = std::function<bool(HMODULE hModule, const TResourceId& lpType)>;
using ENUMRESNAMEPROC = std::function<bool(HMODULE hModule, const TResourceId& lpType, const TResourceId& lpName)>;
bool EnumResourceTypes(HMODULE hModule, const ENUMRESTYPEPROC& lpEnumFunc);
bool EnumResourceNames(HMODULE hModule, const TResourceId& lpType, const ENUMRESNAMEPROC& lpEnumFunc);

// The resource of a name and type (neutral, else US English, else the first language listed), or
// of one language. Null when missing.
HRSRC FindResource(HMODULE hModule, const TResourceId& lpName, const TResourceId& lpType);
HRSRC FindResourceEx(HMODULE hModule, const TResourceId& lpType, const TResourceId& lpName, uint16_t wLanguage);
// The resource's bytes, read once and kept by the module; null when they cannot be read.
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
inline const void* LockResource(HGLOBAL hResData) { return hResData; }
// The resource's size in bytes; 0 for an unknown handle.
uint32_t SizeofResource(HMODULE hModule, HRSRC hResInfo);

// The shell's icon extraction. For index -1 the count of icons of the file, returned in the
// handle as the shell does (read it with ExtractIconCount instead): the icon groups of an
// executable, DLL or icon library, 1 for an icon or cursor file, 0 for anything else. For an index
// of 0 or more, icon number index in file order; for an index below -1, the icon group whose
// identifier is -index. The icon is made at the system icon size from the group's image that
// suits that size best. Null when the file, the index or the image is unusable (the shell's odd
// result 1 for other files is not copied). hInst is not used.
HICON ExtractIcon(HINSTANCE hInst, const QString& lpszExeFileName, int nIconIndex);
// The count ExtractIcon(..., -1) reports.
unsigned ExtractIconCount(const QString& fileName);
