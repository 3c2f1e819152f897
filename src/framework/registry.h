#pragma once

// The framework's registry classes on the file-backed registry store of the platform layer (see
// platform/registry_store.h for where it lives). Key paths use "\"; a path beginning with "\" is
// taken from the root, any other from the open key (or the root when none is open).

#include "framework/object.h"
#include "platform/registry_store.h"

#include <QByteArray>
#include <QString>

class TStrings;

// Access rights, with the values of the original.
enum : uint32_t {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_NOTIFY = 0x0010,
    KEY_CREATE_LINK = 0x0020,
    KEY_READ = 0x20019,
    KEY_WRITE = 0x20006,
    KEY_EXECUTE = 0x20019,
    KEY_ALL_ACCESS = 0xF003F,
};

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(uint32_t access);
    ~TRegistry() override;

    HKEY RootKey() const { return rootKey_; }
    // Closes the open key.
    void SetRootKey(HKEY root);
    uint32_t Access() const { return access_; }
    void SetAccess(uint32_t access) { access_ = access; }
    // Writes reach the store at once; kept for the callers that set it.
    bool LazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool lazy) { lazyWrite_ = lazy; }

    // True while a key is open.
    bool CurrentKey() const { return open_; }
    // The open key's path from the root, without a leading "\".
    QString CurrentPath() const { return currentPath_; }

    // Opens the key, creating it when canCreate; false when it does not exist (or cannot be made).
    bool OpenKey(const QString& key, bool canCreate);
    // Opens an existing key for reading only.
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();
    // Raises ERegistryException "Failed to create key <key>" when the key cannot be made.
    bool CreateKey(const QString& key);
    // Deletes the key with all its subkeys.
    bool DeleteKey(const QString& key);
    bool KeyExists(const QString& key);
    bool HasSubKeys();
    void GetKeyNames(TStrings* strings);
    void GetValueNames(TStrings* strings);

    bool ValueExists(const QString& name);
    bool DeleteValue(const QString& name);
    TRegDataType GetDataType(const QString& name);
    // Bytes of the value (strings with their terminating zero), -1 when it does not exist.
    int GetDataSize(const QString& name);
    bool GetDataInfo(const QString& name, TRegDataInfo& info);

    // Writes raise ERegistryException "Failed to set data for '<name>'" without an open key, with
    // read-only access, or when the store cannot be written.
    void WriteString(const QString& name, const QString& value);
    void WriteExpandString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteBinaryData(const QString& name, const void* buffer, int size);
    void WriteBinaryData(const QString& name, const QByteArray& data);

    // A missing value reads as empty; a value of another type raises ERegistryException
    // "Invalid data type for '<name>'".
    QString ReadString(const QString& name);
    // A missing value raises "Failed to get data for '<name>'", another type "Invalid data type".
    int ReadInteger(const QString& name);
    bool ReadBool(const QString& name);
    // Copies up to bufSize bytes of a binary value; returns the value's size. A value larger than
    // the buffer raises "Failed to get data for '<name>'".
    int ReadBinaryData(const QString& name, void* buffer, int bufSize);
    QByteArray ReadBinaryData(const QString& name);

protected:
    // The path a key argument names: from the root for "\..." or without an open key, else below
    // the open key.
    QString ResolvePath(const QString& key) const;
    bool Writable() const { return (access_ & KEY_SET_VALUE) != 0; }

private:
    HKEY rootKey_ = HKEY_CURRENT_USER;
    uint32_t access_ = KEY_ALL_ACCESS;
    bool lazyWrite_ = true;
    bool open_ = false;
    QString currentPath_;

    void PutValue(const QString& name, const RegistryValue& value);
    bool GetValue(const QString& name, RegistryValue* value);
};

// INI-file style access to a registry key: a section is a subkey, an entry a value in it.
// Integers and booleans are written as text ("1" and "0"); integers are read from text or DWORDs.
class TRegIniFile : public TRegistry {
public:
    // Opens (creating when missing) fileName below HKEY_CURRENT_USER.
    explicit TRegIniFile(const QString& fileName);
    TRegIniFile(const QString& fileName, uint32_t access);

    const QString& FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& ident, const QString& def);
    void WriteString(const QString& section, const QString& ident, const QString& value);
    int ReadInteger(const QString& section, const QString& ident, int def);
    void WriteInteger(const QString& section, const QString& ident, int value);
    bool ReadBool(const QString& section, const QString& ident, bool def);
    void WriteBool(const QString& section, const QString& ident, bool value);
    // Value names of the section's subkey.
    void ReadSection(const QString& section, TStrings* strings);
    // Subkey names of the key.
    void ReadSections(TStrings* strings);
    // "name=value" for every value of the section.
    void ReadSectionValues(const QString& section, TStrings* strings);
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);
    using TRegistry::DeleteKey;
    bool SectionExists(const QString& section);
    bool ValueExists(const QString& section, const QString& ident);
    using TRegistry::ValueExists;

private:
    QString fileName_;
    // Runs fn with the section's subkey open (created when create), then reopens the file's key.
    template <class Fn>
    bool InSection(const QString& section, bool create, Fn fn);
};
