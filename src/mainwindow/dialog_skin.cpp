#include "mainwindow/dialog_skin.h"

#include "skin/form.h"
#include "skin/title_bar.h"

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
