#include "framework/ini_file.h"

#include "framework/exceptions.h"
#include "framework/string_list.h"
#include "framework/sysutils.h"
#include "platform/atomic_file.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QHash>
#include <sys/stat.h>
#include <vector>

// --- TCustomIniFile ----------------------------------------------------------------------------

TCustomIniFile::TCustomIniFile(const QString& fileName) : fileName_(fileName)
{
}

TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int def)
{
    QString s = ReadString(section, ident, QString());
    if (s.size() > 2 && s[0] == QLatin1Char('0') && (s[1] == QLatin1Char('x') || s[1] == QLatin1Char('X')))
        s = QLatin1Char('$') + s.mid(2);
    return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool def)
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TCustomIniFile::ReadSectionValues(const QString& section, TStrings* strings)
{
    TStringList keys;
    ReadSection(section, &keys);
    strings->BeginUpdate();
    strings->Clear();
    for (int i = 0; i < keys.Count(); ++i)
        strings->Add(keys[i] + QLatin1Char('=') + ReadString(section, keys[i], QString()));
    strings->EndUpdate();
}

bool TCustomIniFile::SectionExists(const QString& section)
{
    TStringList keys;
    ReadSection(section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const QString& section, const QString& ident)
{
    TStringList keys;
    ReadSection(section, &keys);
    return keys.IndexOf(ident) >= 0;
}

// --- TIniFile ----------------------------------------------------------------------------------

namespace {

// Larger files are not profile files; they read as empty and are never rewritten.
constexpr qint64 kMaxIniSize = 16 * 1024 * 1024;
constexpr int kMaxValueLength = 2047;

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString TrimBlanks(const QString& s)
{
    int b = 0, e = int(s.size());
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString OneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

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

} // namespace

struct TIniFile::Data {
    struct Key {
        QString name;
        int line;
    };
    struct Section {
        QString name;
        int header;
        int lastContent; // its last key line, or the header
        std::vector<Key> keys;
    };

    QList<QByteArray> lines; // raw bytes without line ends
    QByteArray eol = "\n";
    bool bom = false;
    bool finalEol = true;
    bool unreadable = false;
    bool loaded = false;
    bool stale = false;
    Stamp stamp;
    std::vector<Section> sections;
    QHash<QString, int> firstSection; // upper-cased name -> index into sections

    void Parse()
    {
        sections.clear();
        firstSection.clear();
        for (int i = 0; i < lines.size(); ++i) {
            const QString t = TrimBlanks(QString::fromUtf8(lines[i]));
            if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
                continue;
            if (t.startsWith(QLatin1Char('['))) {
                const int close = int(t.lastIndexOf(QLatin1Char(']')));
                if (close > 0) {
                    sections.push_back({TrimBlanks(t.mid(1, close - 1)), i, i, {}});
                    continue;
                }
            }
            if (sections.empty())
                continue;
            const int eq = int(t.indexOf(QLatin1Char('=')));
            sections.back().keys.push_back({TrimBlanks(eq >= 0 ? t.left(eq) : t), i});
            sections.back().lastContent = i;
        }
        // Of duplicate sections the first one counts.
        for (int i = int(sections.size()) - 1; i >= 0; --i)
            firstSection.insert(sections[size_t(i)].name.toUpper(), i);
    }

    Section* FindSection(const QString& name)
    {
        auto it = firstSection.constFind(TrimBlanks(name).toUpper());
        return it == firstSection.constEnd() ? nullptr : &sections[size_t(*it)];
    }

    static const Key* FindKey(const Section& s, const QString& ident)
    {
        const QString want = TrimBlanks(ident);
        if (want.isEmpty())
            return nullptr;
        for (const Key& k : s.keys)
            if (k.name.compare(want, Qt::CaseInsensitive) == 0)
                return &k;
        return nullptr;
    }

    QString ValueOf(const Key& k) const
    {
        const QString line = QString::fromUtf8(lines[k.line]);
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq < 0)
            return {};
        QString v = TrimBlanks(line.mid(eq + 1));
        if (v.size() > 1 && (v[0] == QLatin1Char('"') || v[0] == QLatin1Char('\'')) && v.back() == v[0])
            v = v.mid(1, v.size() - 2);
        return v.left(kMaxValueLength);
    }

    void Load(const QString& fileName)
    {
        lines.clear();
        eol = "\n";
        bom = false;
        finalEol = true;
        unreadable = false;
        if (stamp.exists) {
            QFile f(fileName);
            if (stamp.size > kMaxIniSize || !f.open(QIODevice::ReadOnly)) {
                unreadable = true;
            } else {
                QByteArray bytes = f.readAll();
                if (bytes.startsWith("\xEF\xBB\xBF")) {
                    bom = true;
                    bytes.remove(0, 3);
                }
                const int lf = int(bytes.indexOf('\n'));
                if (lf > 0 && bytes[lf - 1] == '\r')
                    eol = "\r\n";
                finalEol = bytes.isEmpty() || bytes.endsWith('\n');
                if (!bytes.isEmpty()) {
                    lines = bytes.split('\n');
                    if (finalEol)
                        lines.removeLast();
                    for (QByteArray& l : lines)
                        if (l.endsWith('\r'))
                            l.chop(1);
                }
            }
        }
        Parse();
    }
};

TIniFile::TIniFile(const QString& fileName)
    : TCustomIniFile(fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))
                         ? fileName
                         : WindowsFolder() + fileName),
      d_(std::make_unique<Data>())
{
}

TIniFile::~TIniFile() = default;

void TIniFile::Refresh()
{
    const Stamp now = StampOf(fileName_);
    if (d_->loaded && !d_->stale && now == d_->stamp)
        return;
    d_->stamp = now;
    d_->loaded = true;
    d_->stale = false;
    d_->Load(fileName_);
}

void TIniFile::Save()
{
    const auto fail = [this] {
        // The file keeps what it had; so does this object from the next call on.
        d_->stale = true;
        throw EIniFileException(QString::fromLatin1(FrameworkText::IniFileWriteError).arg(fileName_));
    };
    if (d_->unreadable)
        fail();
    QByteArray out;
    if (d_->bom)
        out += "\xEF\xBB\xBF";
    for (int i = 0; i < d_->lines.size(); ++i) {
        out += d_->lines[i];
        if (i + 1 < d_->lines.size() || d_->finalEol)
            out += d_->eol;
    }
    if (!WriteFileAtomically(fileName_, out))
        fail();
    d_->stamp = StampOf(fileName_);
    d_->Parse();
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& def)
{
    Refresh();
    const Data::Section* s = d_->FindSection(section);
    const Data::Key* k = s ? Data::FindKey(*s, ident) : nullptr;
    return k ? d_->ValueOf(*k) : def;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    Refresh();
    const QString key = TrimBlanks(OneLine(ident));
    const QString sectionName = TrimBlanks(OneLine(section));
    if (key.isEmpty() || sectionName.isEmpty())
        return;
    const QByteArray entry = (key + QLatin1Char('=') + OneLine(value)).toUtf8();
    Data::Section* s = d_->FindSection(sectionName);
    if (s) {
        if (const Data::Key* k = Data::FindKey(*s, key)) {
            // The stored spelling of the key stays.
            d_->lines[k->line] = (k->name + QLatin1Char('=') + OneLine(value)).toUtf8();
        } else {
            d_->lines.insert(s->lastContent + 1, entry);
        }
    } else {
        if (!d_->lines.isEmpty() && !TrimBlanks(QString::fromUtf8(d_->lines.last())).isEmpty())
            d_->lines.append(QByteArray());
        d_->lines.append((QLatin1Char('[') + sectionName + QLatin1Char(']')).toUtf8());
        d_->lines.append(entry);
        d_->finalEol = true;
    }
    Save();
}

void TIniFile::ReadSection(const QString& section, TStrings* strings)
{
    Refresh();
    strings->BeginUpdate();
    strings->Clear();
    if (const Data::Section* s = d_->FindSection(section))
        for (const Data::Key& k : s->keys)
            if (!k.name.isEmpty())
                strings->Add(k.name);
    strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* strings)
{
    Refresh();
    strings->BeginUpdate();
    strings->Clear();
    QHash<QString, bool> seen;
    for (const Data::Section& s : d_->sections) {
        const QString upper = s.name.toUpper();
        if (!seen.contains(upper)) {
            seen.insert(upper, true);
            strings->Add(s.name);
        }
    }
    strings->EndUpdate();
}

void TIniFile::EraseSection(const QString& section)
{
    Refresh();
    Data::Section* s = d_->FindSection(section);
    if (!s)
        return;
    // Blank and comment lines after the section's last key stay: they may introduce the next one.
    d_->lines.erase(d_->lines.begin() + s->header, d_->lines.begin() + s->lastContent + 1);
    Save();
}

void TIniFile::DeleteKey(const QString& section, const QString& ident)
{
    Refresh();
    Data::Section* s = d_->FindSection(section);
    const Data::Key* k = s ? Data::FindKey(*s, ident) : nullptr;
    if (!k)
        return;
    d_->lines.removeAt(k->line);
    Save();
}

void TIniFile::UpdateFile()
{
}

bool TIniFile::ValueExists(const QString& section, const QString& ident)
{
    Refresh();
    const Data::Section* s = d_->FindSection(section);
    return s && Data::FindKey(*s, ident);
}
