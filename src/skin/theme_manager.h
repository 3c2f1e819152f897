#pragma once

// The theme manager every skinned window carries ("suiThemeManager1"): it pushes its style and
// the window's skin-file component, by name, into the components listed in CompList.

#include "framework/component.h"
#include "skin/theme_items.h"

#include <QStringList>

class TsuiFileTheme;

class TsuiThemeManager : public TComponent {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(QStringList CompList READ CompList WRITE SetCompList)

public:
    explicit TsuiThemeManager(QObject* AOwner);
    ~TsuiThemeManager() override;

    TsuiUIStyle UIStyle() const { return style_; }
    // Stores the style and applies it to the list, even when it did not change; fires
    // OnUIStyleChanged only when it did.
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Stores the reference, then applies the current style again.
    void SetFileTheme(TsuiFileTheme* fileTheme);
    const QStringList& CompList() const { return compList_; }
    void SetCompList(const QStringList& list) { compList_ = list; }

    // Only on a form: each listed component (found by name without regard to case among the
    // components the form owns) gets UIStyle and then FileTheme through its published writers.
    // A listed component without those properties stops the pass with EComponentError.
    void ApplyToCompList();

    void Notification(QObject* AComponent, TOperation Operation) override;

    TNotifyEvent OnUIStyleChanged;

private:
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    QStringList compList_;
};
