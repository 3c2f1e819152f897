#include "framework/registry.h"

#include "framework/exceptions.h"
#include "framework/string_list.h"
#include "framework/sysutils.h"

#include <cstring>

namespace {

QString JoinPath(const QString& base, const QString& sub)
{
    QString s = sub;
    while (s.endsWith(QLatin1Char('\\')))
        s.chop(1);
    if (base.isEmpty())
        return s;
    if (s.isEmpty())
        return base;
    return base + QLatin1Char('\\') + s;
}

[[noreturn]] void RegError(const char* text, const QString& arg)
{
    throw ERegistryException(QString::fromLatin1(text).arg(arg));
}

TRegDataType DataTypeOf(uint32_t type)
{
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(uint32_t access) : access_(access)
{
}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY root)
{
    if (root == rootKey_)
        return;
    CloseKey();
    rootKey_ = root;
}

QString TRegistry::ResolvePath(const QString& key) const
{
    if (key.startsWith(QLatin1Char('\\')))
        return JoinPath(QString(), key.mid(1));
    return JoinPath(open_ ? currentPath_ : QString(), key);
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    const QString path = ResolvePath(key);
    if (!RegistryStore::KeyExists(rootKey_, path)) {
        if (!canCreate || !RegistryStore::CreateKey(rootKey_, path))
            return false;
    }
    open_ = true;
    currentPath_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key)
{
    const QString path = ResolvePath(key);
    if (!RegistryStore::KeyExists(rootKey_, path))
        return false;
    access_ = KEY_READ;
    open_ = true;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey()
{
    open_ = false;
    currentPath_.clear();
}

bool TRegistry::CreateKey(const QString& key)
{
    if (!RegistryStore::CreateKey(rootKey_, ResolvePath(key)))
        RegError(FrameworkText::RegCreateFailed, key);
    return true;
}

bool TRegistry::DeleteKey(const QString& key)
{
    const QString path = ResolvePath(key);
    const bool ok = RegistryStore::DeleteKey(rootKey_, path);
    // The open key may have gone with it.
    if (ok && open_ && (currentPath_.compare(path, Qt::CaseInsensitive) == 0
                        || currentPath_.startsWith(path + QLatin1Char('\\'), Qt::CaseInsensitive)))
        CloseKey();
    return ok;
}

bool TRegistry::KeyExists(const QString& key)
{
    return RegistryStore::KeyExists(rootKey_, ResolvePath(key));
}

bool TRegistry::HasSubKeys()
{
    return open_ && !RegistryStore::SubKeyNames(rootKey_, currentPath_).isEmpty();
}

void TRegistry::GetKeyNames(TStrings* strings)
{
    strings->BeginUpdate();
    strings->Clear();
    if (open_)
        for (const QString& s : RegistryStore::SubKeyNames(rootKey_, currentPath_))
            strings->Add(s);
    strings->EndUpdate();
}

void TRegistry::GetValueNames(TStrings* strings)
{
    strings->BeginUpdate();
    strings->Clear();
    if (open_)
        for (const QString& s : RegistryStore::ValueNames(rootKey_, currentPath_))
            strings->Add(s);
    strings->EndUpdate();
}

bool TRegistry::GetValue(const QString& name, RegistryValue* value)
{
    return open_ && RegistryStore::GetValue(rootKey_, currentPath_, name, value);
}

void TRegistry::PutValue(const QString& name, const RegistryValue& value)
{
    if (!open_ || !Writable() || !RegistryStore::SetValue(rootKey_, currentPath_, name, value))
        RegError(FrameworkText::RegSetDataFailed, name);
}

bool TRegistry::ValueExists(const QString& name)
{
    return GetValue(name, nullptr);
}

bool TRegistry::DeleteValue(const QString& name)
{
    return open_ && Writable() && RegistryStore::DeleteValue(rootKey_, currentPath_, name);
}

TRegDataType TRegistry::GetDataType(const QString& name)
{
    RegistryValue v;
    return GetValue(name, &v) ? DataTypeOf(v.type) : rdUnknown;
}

int TRegistry::GetDataSize(const QString& name)
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

bool TRegistry::GetDataInfo(const QString& name, TRegDataInfo& info)
{
    RegistryValue v;
    if (!GetValue(name, &v)) {
        info = {};
        return false;
    }
    info.RegData = DataTypeOf(v.type);
    const bool text = v.type == REG_SZ || v.type == REG_EXPAND_SZ;
    info.DataSize = int(v.data.size()) + (text ? 1 : 0);
    return true;
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    PutValue(name, RegistryValue::String(value));
}

void TRegistry::WriteExpandString(const QString& name, const QString& value)
{
    PutValue(name, RegistryValue::String(value, REG_EXPAND_SZ));
}

void TRegistry::WriteInteger(const QString& name, int value)
{
    PutValue(name, RegistryValue::DWord(uint32_t(value)));
}

void TRegistry::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteBinaryData(const QString& name, const void* buffer, int size)
{
    WriteBinaryData(name, QByteArray(static_cast<const char*>(buffer), size < 0 ? 0 : size));
}

void TRegistry::WriteBinaryData(const QString& name, const QByteArray& data)
{
    PutValue(name, RegistryValue::Binary(data));
}

QString TRegistry::ReadString(const QString& name)
{
    RegistryValue v;
    if (!GetValue(name, &v))
        return {};
    if (v.type != REG_SZ && v.type != REG_EXPAND_SZ)
        RegError(FrameworkText::InvalidRegType, name);
    return v.Text();
}

int TRegistry::ReadInteger(const QString& name)
{
    RegistryValue v;
    if (!GetValue(name, &v))
        RegError(FrameworkText::RegGetDataFailed, name);
    if (v.type != REG_DWORD)
        RegError(FrameworkText::InvalidRegType, name);
    return int(v.DWordValue());
}

bool TRegistry::ReadBool(const QString& name)
{
    return ReadInteger(name) != 0;
}

int TRegistry::ReadBinaryData(const QString& name, void* buffer, int bufSize)
{
    RegistryValue v;
    if (!GetValue(name, &v))
        RegError(FrameworkText::RegGetDataFailed, name);
    if (v.type != REG_BINARY && v.type != REG_NONE)
        RegError(FrameworkText::InvalidRegType, name);
    if (v.data.size() > bufSize)
        RegError(FrameworkText::RegGetDataFailed, name);
    if (!v.data.isEmpty())
        std::memcpy(buffer, v.data.constData(), size_t(v.data.size()));
    return int(v.data.size());
}

QByteArray TRegistry::ReadBinaryData(const QString& name)
{
    RegistryValue v;
    if (!GetValue(name, &v))
        RegError(FrameworkText::RegGetDataFailed, name);
    if (v.type != REG_BINARY && v.type != REG_NONE)
        RegError(FrameworkText::InvalidRegType, name);
    return v.data;
}

// --- TRegIniFile -------------------------------------------------------------------------------

TRegIniFile::TRegIniFile(const QString& fileName) : TRegIniFile(fileName, KEY_ALL_ACCESS)
{
}

TRegIniFile::TRegIniFile(const QString& fileName, uint32_t access) : TRegistry(access), fileName_(fileName)
{
    OpenKey(fileName, true);
}

template <class Fn>
bool TRegIniFile::InSection(const QString& section, bool create, Fn fn)
{
    if (!CurrentKey())
        return false;
    const QString home = CurrentPath();
    const QString path = ResolvePath(section);
    if (!RegistryStore::KeyExists(RootKey(), path) && (!create || !RegistryStore::CreateKey(RootKey(), path)))
        return false;
    OpenKey(QLatin1Char('\\') + path, false);
    struct Back {
        TRegIniFile* self;
        QString home;
        ~Back() { self->OpenKey(QLatin1Char('\\') + home, false); }
    } back{this, home};
    fn();
    return true;
}

QString TRegIniFile::ReadString(const QString& section, const QString& ident, const QString& def)
{
    QString result = def;
    InSection(section, false, [&] {
        if (TRegistry::ValueExists(ident))
            result = TRegistry::ReadString(ident);
    });
    return result;
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    if (!InSection(section, true, [&] { TRegistry::WriteString(ident, value); }))
        RegError(FrameworkText::RegSetDataFailed, ident);
}

int TRegIniFile::ReadInteger(const QString& section, const QString& ident, int def)
{
    int result = def;
    InSection(section, false, [&] {
        switch (GetDataType(ident)) {
        case rdString:
        case rdExpandString: result = StrToIntDef(TRegistry::ReadString(ident), def); break;
        case rdInteger: result = TRegistry::ReadInteger(ident); break;
        default: break;
        }
    });
    return result;
}

void TRegIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TRegIniFile::ReadBool(const QString& section, const QString& ident, bool def)
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TRegIniFile::ReadSection(const QString& section, TStrings* strings)
{
    strings->BeginUpdate();
    strings->Clear();
    InSection(section, false, [&] { GetValueNames(strings); });
    strings->EndUpdate();
}

void TRegIniFile::ReadSections(TStrings* strings)
{
    GetKeyNames(strings);
}

void TRegIniFile::ReadSectionValues(const QString& section, TStrings* strings)
{
    strings->BeginUpdate();
    strings->Clear();
    InSection(section, false, [&] {
        for (const QString& name : RegistryStore::ValueNames(RootKey(), CurrentPath())) {
            RegistryValue v;
            RegistryStore::GetValue(RootKey(), CurrentPath(), name, &v);
            const QString text = v.type == REG_DWORD ? IntToStr(int(v.DWordValue())) : v.Text();
            strings->Add(name + QLatin1Char('=') + text);
        }
    });
    strings->EndUpdate();
}

void TRegIniFile::EraseSection(const QString& section)
{
    if (!section.isEmpty() && CurrentKey())
        TRegistry::DeleteKey(section);
}

void TRegIniFile::DeleteKey(const QString& section, const QString& ident)
{
    InSection(section, false, [&] { DeleteValue(ident); });
}

bool TRegIniFile::SectionExists(const QString& section)
{
    return CurrentKey() && KeyExists(section);
}

bool TRegIniFile::ValueExists(const QString& section, const QString& ident)
{
    bool exists = false;
    InSection(section, false, [&] { exists = TRegistry::ValueExists(ident); });
    return exists;
}
