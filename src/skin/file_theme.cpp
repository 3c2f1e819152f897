#include "skin/file_theme.h"

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/streams.h"
#include "framework/sysutils.h"
#include "platform/program_paths.h"
#include "skin/theme_file_reader.h"
#include "skin/theme_pictures.h"

#include <QFileInfo>
#include <QWidget>

bool HasPublishedProperty(const QObject* component, const QString& propertyName)
{
    return component && FindPublishedProperty(component, propertyName) >= 0;
}

bool IsFormObject(const QObject* object) { return qobject_cast<const TForm*>(object) != nullptr; }

QList<QWidget*> ChildControls(QWidget* container)
{
    QList<QWidget*> out;
    if (auto* win = qobject_cast<TWinControl*>(container)) {
        for (TControl* c : win->ControlList())
            out << c;
        return out;
    }
    if (container)
        for (QObject* c : container->children())
            if (c->isWidgetType())
                out << static_cast<QWidget*>(c);
    return out;
}

// ---------------------------------------------------------------------------------------------

TsuiFileThemeMgr::TsuiFileThemeMgr() = default;
TsuiFileThemeMgr::~TsuiFileThemeMgr() = default;

bool TsuiFileThemeMgr::LoadFile(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    auto fresh = std::make_unique<TsuiThemeFileReader>(fileName);
    reader_ = std::move(fresh);
    return true;
}

namespace {
QString ItemName(int item)
{
    return item >= 1 && item <= ThemeItem::Count ? QString::fromLatin1(ThemeItemNames[item]) : QString();
}
} // namespace

bool TsuiFileThemeMgr::GetImage(int item, TGraphic* graphic)
{
    if (!reader_ || !graphic)
        return false;
    TMemoryStream* stream = reader_->GetImageStream(ItemName(item));
    if (!stream)
        return false;
    graphic->LoadFromStream(stream);
    return true;
}

bool TsuiFileThemeMgr::GetBool(int item) const { return reader_ && reader_->GetBool(ItemName(item)); }

TColor TsuiFileThemeMgr::GetColor(int item) const
{
    return reader_ ? static_cast<TColor>(reader_->GetInteger(ItemName(item))) : 0;
}

int TsuiFileThemeMgr::GetInteger(int item) const { return reader_ ? reader_->GetInteger(ItemName(item)) : 0; }

// ---------------------------------------------------------------------------------------------

TsuiFileTheme::TsuiFileTheme(QObject* AOwner) : TComponent(AOwner), mgr_(std::make_unique<TsuiFileThemeMgr>()) {}

TsuiFileTheme::~TsuiFileTheme() = default;

bool TsuiFileTheme::CheckThemeFile(const QString& name) { return IsValidThemeFile(name); }

namespace {
// Where a skin file name may point: the name as it stands; the system's own Windows-style
// spelling of it ("suk\ziroz.sui" beside the program, "c:\..." on a drive folder); then its file
// name part in the program folder, the Windows folder and the System folder. "suk" itself is not
// searched for a bare name.
QString ResolveSkinFile(const QString& name)
{
    if (QFileInfo(name).isFile())
        return name;
    if (name.contains(QLatin1Char('\\'))) {
        const QString local = LocalPath(name);
        if (QFileInfo(local).isFile())
            return local;
    }
    const QString part = ExtractFileName(name);
    if (part.isEmpty())
        return {};
    for (const QString& folder : {ProgramFolder(), WindowsFolder(), SystemFolder()}) {
        const QString candidate = IncludeTrailingPathDelimiter(folder) + part;
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}
} // namespace

void TsuiFileTheme::SetThemeFile(const QString& name)
{
    if (name == themeFile_)
        return;
    const QString resolved = ResolveSkinFile(name);
    if (resolved.isEmpty())
        return;
    if (!CheckThemeFile(resolved))
        throw Exception(QString::fromLatin1(InvalidSkinFileText));
    // The file is read before anything changes, so a broken file keeps the current skin.
    const bool loaded = mgr_->LoadFile(resolved);
    themeFile_ = resolved;
    loaded_ = loaded;
    if (!loaded_)
        return;

    // Every skinned component of the window that uses this file re-reads its theme.
    QObject* owner = Owner();
    if (!IsFormObject(owner))
        return;
    for (QObject* c : OwnedComponents(owner)) {
        if (!QString::fromLatin1(c->metaObject()->className()).startsWith(QLatin1String("Tsui")))
            continue;
        QVariant current;
        if (!GetPublishedProperty(c, QStringLiteral("FileTheme"), &current))
            continue;
        if (current.value<QObject*>() == this)
            SetPublishedProperty(c, QStringLiteral("FileTheme"), QVariant::fromValue(this));
    }
}

void TsuiFileTheme::GetImage(int item, TGraphic* graphic) { mgr_->GetImage(item, graphic); }

void TsuiFileTheme::GetImageFrame(int item, TGraphic* graphic, int frameCount, int frameIndex)
{
    if (!graphic)
        return;
    TBitmap picture;
    // A file without the item leaves the graphic as it was, so the control stays drawable.
    if (mgr_->GetImage(item, &picture))
        PutFrameInto(&picture, graphic, frameCount, frameIndex);
}

bool TsuiFileTheme::UsingFileTheme(const TsuiFileTheme* fileTheme, int style, TsuiUIStyle& effectiveStyle)
{
    effectiveStyle = static_cast<TsuiUIStyle>(style);
    if (style != FromThemeFile)
        return false;
    if (fileTheme && fileTheme->IsLoaded())
        return true;
    effectiveStyle = DeepBlue;
    return false;
}

// ---------------------------------------------------------------------------------------------

TsuiUIStyle GetOwnerFormUIStyle(QObject* owner)
{
    if (!IsFormObject(owner))
        return DeepBlue;
    for (QWidget* child : ChildControls(static_cast<QWidget*>(owner))) {
        if (!child->inherits("TsuiForm"))
            continue;
        QVariant v;
        if (GetPublishedProperty(child, QStringLiteral("UIStyle"), &v))
            return static_cast<TsuiUIStyle>(v.toInt());
        break;
    }
    return DeepBlue;
}
