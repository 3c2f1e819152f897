#include "platform/registry_store.h"

#include "platform/atomic_file.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <cctype>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <vector>

// File layout, one key per bracketed header with its full path from the root, then its values:
//   [HKEY_CURRENT_USER\Software\RX\Title\TAnimatorForm]
//   @="default value"
//   "Name"="text"            "Path"=expand:"%SystemRoot%"
//   "Count"=dword:0000000a   "Blob"=hex:00,ff     "List"=hex(7):61,00,00
// In quoted texts "\\", "\"" and "\xHH" (control characters) are escaped.

RegistryValue RegistryValue::String(const QString& text, uint32_t type)
{
    return {type, text.toUtf8()};
}

RegistryValue RegistryValue::DWord(uint32_t value)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((value >> (8 * i)) & 0xFF);
    return {REG_DWORD, b};
}

RegistryValue RegistryValue::Binary(const QByteArray& bytes)
{
    return {REG_BINARY, bytes};
}

uint32_t RegistryValue::DWordValue() const
{
    uint32_t v = 0;
    for (int i = 0; i < 4 && i < data.size(); ++i)
        v |= uint32_t(uint8_t(data[i])) << (8 * i);
    return v;
}

namespace {

constexpr qint64 kMaxStoreSize = 64 * 1024 * 1024;
constexpr int kMaxDepth = 512;
constexpr int kMaxKeyName = 255;

struct Node {
    QString name;
    std::map<QString, std::unique_ptr<Node>> children; // by upper-cased name
    std::vector<std::pair<QString, RegistryValue>> values;
    // Lines of this key that could not be read: written back as they stood, so that a damaged
    // store loses nothing when a value is changed.
    QStringList unreadLines;

    Node* Child(const QString& part) const
    {
        auto it = children.find(part.toUpper());
        return it == children.end() ? nullptr : it->second.get();
    }
    Node* AddChild(const QString& part)
    {
        auto& slot = children[part.toUpper()];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = part;
        }
        return slot.get();
    }
    int ValueIndex(const QString& valueName) const
    {
        for (size_t i = 0; i < values.size(); ++i)
            if (values[i].first.compare(valueName, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }
};

struct Root {
    HKEY key;
    const char* name;
};
constexpr Root kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

struct Stamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};

Stamp StampOf(const QString& fileName)
{
    struct stat st;
    Stamp s;
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.mtimeNs = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    return s;
}

bool ValidPart(const QString& part)
{
    if (part.isEmpty())
        return false;
    for (QChar c : part)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

// Splits a key path into its parts; false for an empty inner part ("a\\b").
bool SplitPath(const QString& path, QStringList* parts)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (p.startsWith(QLatin1Char('\\')))
        p.remove(0, 1);
    while (p.endsWith(QLatin1Char('\\')))
        p.chop(1);
    parts->clear();
    if (p.isEmpty())
        return true;
    *parts = p.split(QLatin1Char('\\'));
    // The original's limits: 512 levels, 255 characters a name. They also bound the recursion
    // over the tree.
    if (parts->size() > kMaxDepth)
        return false;
    for (const QString& part : *parts)
        if (!ValidPart(part) || part.size() > kMaxKeyName)
            return false;
    return true;
}

QString Quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a quoted text at *pos; advances past it.
bool Unquote(const QString& line, int* pos, QString* out)
{
    int i = *pos;
    if (i >= line.size() || line[i] != QLatin1Char('"'))
        return false;
    ++i;
    out->clear();
    while (i < line.size()) {
        QChar c = line[i];
        if (c == QLatin1Char('"')) {
            *pos = i + 1;
            return true;
        }
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= line.size())
                return false;
            QChar n = line[i + 1];
            if (n == QLatin1Char('x')) {
                // Exactly two hex digits: a sign or a blank would let a number outside the
                // character range through.
                const QString hex = line.mid(i + 2, 2);
                const auto digit = [](QChar c) { return c.unicode() < 0x80 && std::isxdigit(c.unicode()); };
                if (hex.size() != 2 || !digit(hex[0]) || !digit(hex[1]))
                    return false;
                *out += QChar(char16_t(hex.toUShort(nullptr, 16)));
                i += 4;
                continue;
            }
            *out += n;
            i += 2;
            continue;
        }
        *out += c;
        ++i;
    }
    return false;
}

QString HexBytes(const QByteArray& data)
{
    QString out;
    out.reserve(data.size() * 3);
    for (int i = 0; i < data.size(); ++i) {
        if (i)
            out += QLatin1Char(',');
        out += QStringLiteral("%1").arg(uint8_t(data[i]), 2, 16, QLatin1Char('0'));
    }
    return out;
}

bool ParseHexBytes(const QString& text, QByteArray* out)
{
    out->clear();
    if (text.trimmed().isEmpty())
        return true;
    const QStringList parts = text.split(QLatin1Char(','));
    out->reserve(parts.size());
    for (const QString& p : parts) {
        bool ok = false;
        int v = p.trimmed().toInt(&ok, 16);
        if (!ok || v < 0 || v > 255)
            return false;
        out->append(char(v));
    }
    return true;
}

QString FormatValue(const RegistryValue& v)
{
    switch (v.type) {
    case REG_SZ: return Quote(v.Text());
    case REG_EXPAND_SZ: return QStringLiteral("expand:") + Quote(v.Text());
    case REG_DWORD:
        if (v.data.size() == 4)
            return QStringLiteral("dword:%1").arg(v.DWordValue(), 8, 16, QLatin1Char('0'));
        break;
    case REG_BINARY: return QStringLiteral("hex:") + HexBytes(v.data);
    default: break;
    }
    return QStringLiteral("hex(%1):").arg(v.type) + HexBytes(v.data);
}

bool ParseValue(const QString& text, RegistryValue* v)
{
    int pos = 0;
    QString s;
    if (text.startsWith(QLatin1Char('"'))) {
        if (!Unquote(text, &pos, &s))
            return false;
        *v = RegistryValue::String(s);
        return true;
    }
    if (text.startsWith(QLatin1String("expand:"))) {
        pos = 7;
        if (!Unquote(text, &pos, &s))
            return false;
        *v = RegistryValue::String(s, REG_EXPAND_SZ);
        return true;
    }
    if (text.startsWith(QLatin1String("dword:"))) {
        const QString digits = text.mid(6).trimmed();
        bool ok = false;
        uint32_t d = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            return false;
        *v = RegistryValue::DWord(d);
        return true;
    }
    if (text.startsWith(QLatin1String("hex:"))) {
        v->type = REG_BINARY;
        return ParseHexBytes(text.mid(4), &v->data);
    }
    if (text.startsWith(QLatin1String("hex("))) {
        const int close = text.indexOf(QLatin1String("):"));
        bool ok = false;
        uint32_t type = text.mid(4, close - 4).toUInt(&ok);
        if (close < 0 || !ok)
            return false;
        v->type = type;
        return ParseHexBytes(text.mid(close + 2), &v->data);
    }
    return false;
}

class Store {
public:
    QMutex mutex;

    // Brings the tree up to date with the file; returns the root node or null for an unknown root.
    Node* RootNode(HKEY root)
    {
        Refresh();
        auto it = roots_.find(root);
        return it == roots_.end() ? nullptr : it->second.get();
    }

    Node* Find(HKEY root, const QString& path)
    {
        QStringList parts;
        Node* n = RootNode(root);
        if (!n || !SplitPath(path, &parts))
            return nullptr;
        for (const QString& part : parts) {
            n = n->Child(part);
            if (!n)
                return nullptr;
        }
        return n;
    }

    // Writes the tree through; on failure the unsaved change is dropped at the next call.
    bool Save()
    {
        QString text = QStringLiteral("; Brelnova Studio registry\n");
        // Lines that belonged to no readable key stand before the first key, where they are read
        // as belonging to none again.
        for (const QString& line : unreadOutsideKeys_)
            text += line + QLatin1Char('\n');
        for (const Root& r : kRoots) {
            auto it = roots_.find(r.key);
            if (it != roots_.end())
                WriteNode(QString::fromLatin1(r.name), *it->second, true, &text);
        }
        const QString file = fileName_;
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!WriteFileAtomically(file, text.toUtf8())) {
            stale_ = true;
            return false;
        }
        stamp_ = StampOf(file);
        return true;
    }

private:
    QString fileName_;
    Stamp stamp_;
    bool loaded_ = false;
    bool stale_ = false;
    std::map<HKEY, std::unique_ptr<Node>> roots_;
    QStringList unreadOutsideKeys_;

    void Refresh()
    {
        const QString file = RegistryStore::FileName();
        const Stamp now = StampOf(file);
        if (loaded_ && !stale_ && file == fileName_ && now == stamp_)
            return;
        fileName_ = file;
        stamp_ = now;
        stale_ = false;
        loaded_ = true;
        Load();
    }

    void Load()
    {
        roots_.clear();
        unreadOutsideKeys_.clear();
        for (const Root& r : kRoots) {
            roots_[r.key] = std::make_unique<Node>();
            roots_[r.key]->name = QString::fromLatin1(r.name);
        }
        QFile f(fileName_);
        if (stamp_.exists && stamp_.size <= kMaxStoreSize && f.open(QIODevice::ReadOnly)) {
            const QString text = QString::fromUtf8(f.readAll());
            Node* current = nullptr;
            for (QString line : text.split(QLatin1Char('\n'))) {
                if (line.endsWith(QLatin1Char('\r')))
                    line.chop(1);
                if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                    continue;
                if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                    current = OpenHeader(line.mid(1, line.size() - 2));
                    if (!current)
                        unreadOutsideKeys_ << line;
                    continue;
                }
                if (!current)
                    unreadOutsideKeys_ << line;
                else if (!ParseValueLine(line, current))
                    current->unreadLines << line;
            }
        }
        SeedShellFolders();
    }

    Node* OpenHeader(const QString& fullPath)
    {
        QStringList parts;
        if (!SplitPath(fullPath, &parts) || parts.isEmpty())
            return nullptr;
        Node* n = nullptr;
        for (const Root& r : kRoots)
            if (parts[0].compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0)
                n = roots_[r.key].get();
        if (!n)
            return nullptr;
        for (int i = 1; i < parts.size(); ++i)
            n = n->AddChild(parts[i]);
        return n;
    }

    static bool ParseValueLine(const QString& line, Node* node)
    {
        QString name;
        int pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!Unquote(line, &pos, &name)) {
            return false;
        }
        if (pos >= line.size() || line[pos] != QLatin1Char('='))
            return false;
        RegistryValue v;
        if (!ParseValue(line.mid(pos + 1), &v))
            return false;
        const int i = node->ValueIndex(name);
        if (i >= 0)
            node->values[size_t(i)].second = v;
        else
            node->values.emplace_back(name, v);
        return true;
    }

    static void WriteNode(const QString& path, const Node& n, bool isRoot, QString* out)
    {
        if (!isRoot || !n.values.empty() || !n.unreadLines.isEmpty()) {
            *out += QLatin1Char('[') + path + QStringLiteral("]\n");
            for (const auto& [name, value] : n.values)
                *out += (name.isEmpty() ? QStringLiteral("@") : Quote(name)) + QLatin1Char('=')
                    + FormatValue(value) + QLatin1Char('\n');
            for (const QString& line : n.unreadLines)
                *out += line + QLatin1Char('\n');
        }
        for (const auto& [key, child] : n.children)
            WriteNode(path + QLatin1Char('\\') + child->name, *child, false, out);
    }

    // The shell's folder list answers the desktop lookup with the user's real desktop folder.
    void SeedShellFolders()
    {
        Node* n = roots_[HKEY_CURRENT_USER].get();
        for (const char* part : {"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "Shell Folders"})
            n = n->AddChild(QString::fromLatin1(part));
        if (n->ValueIndex(QStringLiteral("Desktop")) < 0)
            n->values.emplace_back(QStringLiteral("Desktop"), RegistryValue::String(DesktopFolder()));
    }
};

Store& TheStore()
{
    static Store store;
    return store;
}

} // namespace

namespace RegistryStore {

QString FileName()
{
    const QString env = qEnvironmentVariable("BRELNOVA_REGISTRY");
    return env.isEmpty() ? UserConfigFolder() + QStringLiteral("registry.txt") : env;
}

QString RootName(HKEY root)
{
    for (const Root& r : kRoots)
        if (r.key == root)
            return QString::fromLatin1(r.name);
    return {};
}

bool KeyExists(HKEY root, const QString& path)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    return s.Find(root, path) != nullptr;
}

bool CreateKey(HKEY root, const QString& path)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    QStringList parts;
    Node* n = s.RootNode(root);
    if (!n || !SplitPath(path, &parts))
        return false;
    bool created = false;
    for (const QString& part : parts) {
        Node* child = n->Child(part);
        if (!child) {
            child = n->AddChild(part);
            created = true;
        }
        n = child;
    }
    return !created || s.Save();
}

bool DeleteKey(HKEY root, const QString& path)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    QStringList parts;
    Node* n = s.RootNode(root);
    if (!n || !SplitPath(path, &parts) || parts.isEmpty())
        return false;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        n = n->Child(parts[i]);
        if (!n)
            return false;
    }
    auto it = n->children.find(parts.last().toUpper());
    if (it == n->children.end())
        return false;
    n->children.erase(it);
    return s.Save();
}

QStringList SubKeyNames(HKEY root, const QString& path, bool* ok)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    QStringList out;
    Node* n = s.Find(root, path);
    if (ok)
        *ok = n != nullptr;
    if (n)
        for (const auto& [key, child] : n->children)
            out << child->name;
    return out;
}

QStringList ValueNames(HKEY root, const QString& path, bool* ok)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    QStringList out;
    Node* n = s.Find(root, path);
    if (ok)
        *ok = n != nullptr;
    if (n)
        for (const auto& value : n->values)
            out << value.first;
    return out;
}

bool GetValue(HKEY root, const QString& path, const QString& name, RegistryValue* value)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    Node* n = s.Find(root, path);
    const int i = n ? n->ValueIndex(name) : -1;
    if (i < 0)
        return false;
    if (value)
        *value = n->values[size_t(i)].second;
    return true;
}

bool SetValue(HKEY root, const QString& path, const QString& name, const RegistryValue& value)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    Node* n = s.Find(root, path);
    if (!n)
        return false;
    const int i = n->ValueIndex(name);
    if (i >= 0)
        n->values[size_t(i)].second = value;
    else
        n->values.emplace_back(name, value);
    return s.Save();
}

bool DeleteValue(HKEY root, const QString& path, const QString& name)
{
    Store& s = TheStore();
    QMutexLocker lock(&s.mutex);
    Node* n = s.Find(root, path);
    const int i = n ? n->ValueIndex(name) : -1;
    if (i < 0)
        return false;
    n->values.erase(n->values.begin() + i);
    return s.Save();
}

} // namespace RegistryStore
