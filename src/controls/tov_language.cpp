#include "controls/tov_language.h"

#include "controls/storage/str_utils.h"
#include "framework/exceptions.h"
#include "framework/ini_file.h"
#include "framework/sysutils.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QMetaProperty>

namespace {

const QString kSection = QStringLiteral("Language");

// Language files are small; anything this large is not one.
constexpr qint64 kMaxLanguageFileSize = 16 * 1024 * 1024;

// The keys of the first section called name, in file order, each as often as it occurs. Only
// lines holding "=" are entries; every key is seen, however many there are.
QStringList SectionKeys(const QString& path, const QString& name)
{
    QFile f(path);
    if (f.size() > kMaxLanguageFileSize || !f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringList keys;
    bool inSection = false;
    bool seenSection = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.lastIndexOf(QLatin1Char(']')) > 0) {
            if (inSection)
                break;
            const QString section = line.mid(1, line.lastIndexOf(QLatin1Char(']')) - 1).trimmed();
            inSection = !seenSection && section.compare(name, Qt::CaseInsensitive) == 0;
            seenSection = seenSection || inSection;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inSection && eq > 0)
            keys << line.left(eq).trimmed();
    }
    return keys;
}

} // namespace

TtovLanguage::TtovLanguage(QObject* AOwner) : TComponent(AOwner) {}

void TtovLanguage::ApplyToForm(QObject* form)
{
    LanguageFile = ProgramPath(QStringLiteral("Language/Language.lng"));
    // The record is written for the user's information only; nothing reads it back, so a
    // program folder that cannot be written must not keep a window from being created.
    try {
        TIniFile ini(GetProgramIniName());
        ini.WriteString(kSection, form->objectName(), LanguageFile);
    } catch (const EIniFileException&) {
    }
    ApplyLanguageFile(form, LanguageFile);
}

void TtovLanguage::ApplyLanguageFile(QObject* form, const QString& path)
{
    if (!form)
        return;
    const QStringList keys = SectionKeys(path, kSection);
    if (keys.isEmpty())
        return;
    TIniFile ini(path);
    const QString formName = form->objectName();
    for (const QString& key : keys) {
        // Values are looked up by key as the profile functions do: of keys that differ only in
        // letter case, the first line's value counts.
        const TLanguageLine line = SplitLanguageLine(key + QLatin1Char('=') + ini.ReadString(kSection, key, QString()));
        if (line.Form.isEmpty() || line.Form != formName)
            continue;
        // Only what the window owns is translated: a component owned by another component, or
        // one made in code without an owner, keeps its texts even when it sits on the window.
        QObject* component = ::FindComponent(form, line.Component);
        if (!component || component == form)
            continue;
        const int index = FindPublishedProperty(component, line.Property);
        if (index < 0)
            continue;
        const QMetaProperty p = component->metaObject()->property(index);
        if (p.metaType().id() != QMetaType::QString || !p.isWritable())
            continue;
        p.write(component, line.Text);
    }
}

TLanguageLine SplitLanguageLine(const QString& line)
{
    TLanguageLine out;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return out;
    const QString key = line.left(eq);
    out.Text = ReplaceAll(line.mid(eq + 1), QStringLiteral("~~"), QStringLiteral("\r\n"));
    const qsizetype dot1 = key.indexOf(QLatin1Char('.'));
    if (dot1 < 0) {
        out.Form = key;
        return out;
    }
    out.Form = key.left(dot1);
    const qsizetype dot2 = key.indexOf(QLatin1Char('.'), dot1 + 1);
    if (dot2 < 0) {
        out.Component = key.mid(dot1 + 1);
        return out;
    }
    out.Component = key.mid(dot1 + 1, dot2 - dot1 - 1);
    out.Property = key.mid(dot2 + 1);
    return out;
}

QString GetProgramIniName()
{
    return WritablePath(ChangeFileExt(ExtractFileName(ProgramFileName()), QStringLiteral(".ini")));
}
