#pragma once

// The registry: a per-user, file-backed store of keys and values, case-insensitive like the
// original. Keys hold subkeys (listed in name order, without regard to case) and values (listed in
// the order they were first written); the value with the empty name is the key's default value.
//
// The store lives in UserConfigFolder() + "registry.txt"; the environment variable
// BRELNOVA_REGISTRY names another file (tests point it at a temporary folder). Every change is
// written through at once by replacing the file atomically; a change that cannot be written is
// dropped again. Changes made by another process are picked up at the next call.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// Value types, with the numbers of the original.
enum : uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

struct RegistryValue {
    uint32_t type = REG_NONE;
    // Strings as UTF-8 without a terminating zero, DWORDs as 4 little-endian bytes, binary as is.
    QByteArray data;

    static RegistryValue String(const QString& text, uint32_t type = REG_SZ);
    static RegistryValue DWord(uint32_t value);
    static RegistryValue Binary(const QByteArray& bytes);
    QString Text() const { return QString::fromUtf8(data); }
    uint32_t DWordValue() const;
};

namespace RegistryStore {

// The store file in use.
QString FileName();
// The root's name ("HKEY_CURRENT_USER"), empty for an unknown root.
QString RootName(HKEY root);

// Key paths are relative to the root, parts separated by "\" (a leading or trailing "\" is
// ignored); an empty path is the root itself. Every call fails (false, empty) for an unknown root
// or a path with an empty part.
bool KeyExists(HKEY root, const QString& path);
// Creates the key and any missing parents. False when it cannot be written.
bool CreateKey(HKEY root, const QString& path);
// Deletes the key with all its subkeys. False when it does not exist or cannot be written; the
// root itself cannot be deleted.
bool DeleteKey(HKEY root, const QString& path);
// Subkey names and value names of an existing key; *ok (when given) tells whether it exists.
QStringList SubKeyNames(HKEY root, const QString& path, bool* ok = nullptr);
QStringList ValueNames(HKEY root, const QString& path, bool* ok = nullptr);
bool GetValue(HKEY root, const QString& path, const QString& name, RegistryValue* value);
// Sets a value of an existing key.
bool SetValue(HKEY root, const QString& path, const QString& name, const RegistryValue& value);
bool DeleteValue(HKEY root, const QString& path, const QString& name);

} // namespace RegistryStore
