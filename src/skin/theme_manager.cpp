#include "skin/theme_manager.h"

#include "framework/exceptions.h"
#include "skin/file_theme.h"

TsuiThemeManager::TsuiThemeManager(QObject* AOwner) : TComponent(AOwner) {}

TsuiThemeManager::~TsuiThemeManager() = default;

void TsuiThemeManager::SetUIStyle(TsuiUIStyle style)
{
    const TsuiUIStyle old = style_;
    style_ = style;
    ApplyToCompList();
    if (old != style_ && OnUIStyleChanged)
        OnUIStyleChanged(this);
}

void TsuiThemeManager::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiThemeManager::ApplyToCompList()
{
    QObject* form = Owner();
    if (!IsFormObject(form))
        return;
    const QVariant style = QVariant::fromValue(style_);
    const QVariant file = QVariant::fromValue(fileTheme_);
    for (const QString& name : QStringList(compList_)) {
        QObject* c = ::FindComponent(form, name);
        if (!c)
            continue;
        for (const auto& [prop, value] : {std::pair{"UIStyle", style}, std::pair{"FileTheme", file}}) {
            if (!HasPublishedProperty(c, QString::fromLatin1(prop)))
                throw EComponentError(QStringLiteral("Property %1 does not exist").arg(QString::fromLatin1(prop)));
            SetPublishedProperty(c, QString::fromLatin1(prop), value);
        }
    }
}

void TsuiThemeManager::Notification(QObject* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent == this)
        return;
    const QString name = AComponent->objectName();
    for (int i = 0; i < compList_.size(); ++i) {
        if (compList_[i].compare(name, Qt::CaseInsensitive) == 0) {
            compList_.removeAt(i);
            break;
        }
    }
    // Losing the file component leaves the window in the start style, without repainting.
    if (AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        style_ = DeepBlue;
    }
}
