#include "mainwindow/entercolor.h"

#include "mainwindow/colour_panel.h"
#include "mainwindow/iconmain.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/title_bar.h"
#include "skin/theme_manager.h"

Tentercolor* entercolor = nullptr;

Tentercolor::Tentercolor(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    entercolor = this;
    LoadDefinition(QStringLiteral(":/mainwindow/entercolor.wdf"));
}

// A dialog: its title bar closes, it neither shrinks nor grows.
static void KeepOnlyTheCloseButton(TForm& dialog)
{
    auto* form = qobject_cast<TsuiForm*>(dialog.FindComponent(QStringLiteral("suiForm1")));
    TsuiTitleBarCollection* buttons = form ? form->TitleBarButtons() : nullptr;
    if (!buttons)
        return;
    for (int i = 0; i < buttons->Count(); ++i)
        if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Items(i)))
            if (button->ButtonType() == suiMax || button->ButtonType() == suiMin)
                button->SetVisible(false);
}

Tentercolor::~Tentercolor()
{
    if (entercolor == this)
        entercolor = nullptr;
}

void Tentercolor::FormShow(TObject*)
{
    KeepOnlyTheCloseButton(*this);
    if (!iconmain)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(iconmain->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(iconmain->MainUIStyle()));
    if (QObject* edit = FindComponent(QStringLiteral("Edit1")))
        edit->setProperty("Text", iconmain->EditText(QStringLiteral("coloredit")));
}

void Tentercolor::suiButton1Click(TObject*)
{
    QObject* edit = FindComponent(QStringLiteral("Edit1"));
    const QString text = edit ? edit->property("Text").toString() : QString();
    int r = 0, g = 0, b = 0;
    // Six characters that are not all hexadecimal raise the conversion error before anything is
    // set; the dialog stays open with the text to mend.
    if (ParseHtmlColor(text, r, g, b)) {
        edit->setProperty("Text", text.trimmed());
        if (iconmain) {
            iconmain->SetTrackBarPosition(QStringLiteral("colorbarr"), r);
            iconmain->SetTrackBarPosition(QStringLiteral("colorbarg"), g);
            iconmain->SetTrackBarPosition(QStringLiteral("colorbarb"), b);
        }
    }
    Close();
}

void Tentercolor::suiButton2Click(TObject*)
{
    Close();
}
