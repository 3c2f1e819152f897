#include "mainwindow/dialog_skin.h"

#include "mainwindow/iconmain.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/theme_manager.h"
#include "skin/title_bar.h"

void TakeMainWindowSkin(TForm& dialog)
{
    if (!iconmain)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(dialog.FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(iconmain->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(dialog.FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(iconmain->MainUIStyle()));
}

void KeepDialogTitleButtons(TForm& dialog, bool help)
{
    auto* form = qobject_cast<TsuiForm*>(dialog.FindComponent(QStringLiteral("suiForm1")));
    TsuiTitleBarCollection* buttons = form ? form->TitleBarButtons() : nullptr;
    if (!buttons)
        return;
    bool hasHelp = false;
    for (int i = 0; i < buttons->Count(); ++i)
        if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Items(i))) {
            if (button->ButtonType() == suiMax || button->ButtonType() == suiMin)
                button->SetVisible(false);
            hasHelp = hasHelp || button->ButtonType() == suiHelp;
        }
    if (help && !hasHelp)
        if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Add()))
            button->SetButtonType(suiHelp);
}
