#include "framework/application.h"
#include "framework/component.h"
#include "framework/commands.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"
#include "platform/program_paths.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/mdi_form.h"
#include "skin/theme_manager.h"

#include <QPointer>

namespace {

// Windows that take the skin when they are made or shown, not from the skin command: the
// documents have their own skin command, the splash, the plug-in folder dialog and the tip window
// copy the main window's skin each time they appear.
bool TakesSkinOnItsOwn(const TForm* form)
{
    static const char* const own[] = {"Tnewiconview", "TForm36", "Tplugin", "Twelcome"};
    for (const char* cls : own)
        if (form->inherits(cls))
            return true;
    return false;
}

// The windows the skin reaches, the main window first; the program's one list of the windows
// that exist, so a window made later never misses a re-skin and a closed one is never touched.
QList<QPointer<TForm>> SkinnedWindows(Ticonmain& main)
{
    QList<QPointer<TForm>> windows{&main};
    for (TForm* form : Screen->FormList())
        if (form != &main && !TakesSkinOnItsOwn(form))
            windows << form;
    return windows;
}

QList<TsuiThemeManager*> ThemeManagers(TForm& form)
{
    QList<TsuiThemeManager*> managers;
    // The capture window keeps its style in a second manager.
    for (const char* name : {"suiThemeManager1", "suiThemeManager2"})
        if (auto* manager = qobject_cast<TsuiThemeManager*>(form.FindComponent(QLatin1String(name))))
            managers << manager;
    return managers;
}

// A window whose definition names no theme manager (the import window) takes the style on each
// of its own skinned controls, so that it follows the skin like every other window.
void SetStyleOnControls(TForm& form, TsuiUIStyle style)
{
    const QVariant value = QVariant::fromValue(style);
    const QString property = QStringLiteral("UIStyle");
    for (QObject* c : form.findChildren<QObject*>())
        if (GetParentForm(c) == &form && HasPublishedProperty(c, property))
            SetPublishedProperty(c, property, value);
}

} // namespace

void Ticonmain::ApplySkin(int choice)
{
    Application->Minimize();
    const QList<QPointer<TForm>> windows = SkinnedWindows(*this);
    try {
        if (choice == 5) {
            // The main window loads the file first: a file that fails there reaches no other window.
            for (const QPointer<TForm>& window : windows)
                if (window)
                    if (auto* theme = qobject_cast<TsuiFileTheme*>(window->FindComponent(QStringLiteral("suiFileTheme1"))))
                        theme->SetThemeFile(SkinFileName);
        }
        SkinStyle = choice >= 0 && choice <= 4 ? choice + 1 : 0;
        for (const QPointer<TForm>& window : windows) {
            if (!window)
                continue;
            const QList<TsuiThemeManager*> managers = ThemeManagers(*window);
            for (TsuiThemeManager* manager : managers)
                manager->SetUIStyle(TsuiUIStyle(SkinStyle));
            if (managers.isEmpty())
                SetStyleOnControls(*window, TsuiUIStyle(SkinStyle));
            // The skinned frame draws the title bar (and the main window's menu bar); a manager
            // whose list leaves it out (the import window's) would leave the old title on it.
            if (auto* frame = qobject_cast<TsuiMDIForm*>(window->FindComponent(QStringLiteral("suiMDIForm1"))))
                frame->SetUIStyle(TsuiUIStyle(SkinStyle));
            if (auto* frame = qobject_cast<TsuiForm*>(window->FindComponent(QStringLiteral("suiForm1"))))
                frame->SetUIStyle(TsuiUIStyle(SkinStyle));
        }
        for (int n = 1; n <= DocumentCounter; ++n) {
            TForm* document = FindForm(QStringLiteral("iconview%1").arg(n));
            if (!document)
                continue;
            QObject* command = document->FindComponent(QStringLiteral("BitBtn19"));
            if (HasClickHandler(command))
                ClickComponent(command);
        }
    } catch (...) {
        Application->Restore();
        throw;
    }
    Application->Restore();
}

void Ticonmain::MacOS1Click(TObject*)
{
    ApplySkin(0);
}

void Ticonmain::WinXP1Click(TObject*)
{
    ApplySkin(1);
}

void Ticonmain::DeepBlue1Click(TObject*)
{
    ApplySkin(2);
}

void Ticonmain::Proteim1Click(TObject*)
{
    ApplySkin(3);
}

void Ticonmain::BlueGlass1Click(TObject*)
{
    ApplySkin(4);
}

void Ticonmain::RestoreDefault1Click(TObject*)
{
    SkinFileName = ProgramFolder() + QStringLiteral("suk\\ziroz.sui");
    ApplySkin(5);
    Application->Restore();
}

void Ticonmain::Tile1Click(TObject*)
{
    TileVertically = !TileVertically;
    SetTileMode(TileVertically ? tbVertical : tbHorizontal);
    ArrangeDocumentWindows(*this, true);
}

void Ticonmain::Cascade1Click(TObject*)
{
    ArrangeDocumentWindows(*this, false);
}
