#include "mainwindow/plugin.h"

#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/photoshop_exchange.h"
#include "platform/program_paths.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QFileInfo>

Tplugin* plugin = nullptr;

Tplugin* PluginDialog()
{
    if (!plugin)
        new Tplugin(nullptr);
    return plugin;
}

Tplugin::Tplugin(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    plugin = this;
    LoadDefinition(QStringLiteral(":/mainwindow/plugin.wdf"));
    // A dialog: its title bar only closes.
    KeepDialogTitleButtons(*this, false);
}

Tplugin::~Tplugin()
{
    if (plugin == this)
        plugin = nullptr;
}

void Tplugin::FormCreate(TObject*)
{
    FormShow(this);
}

void Tplugin::FormShow(TObject*)
{
    if (!iconmain)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(iconmain->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(iconmain->MainUIStyle()));
}

QString Tplugin::LocationText() const
{
    QObject* edit = FindComponent(QStringLiteral("pluginsit"));
    return edit ? edit->property("Text").toString() : QString();
}

void Tplugin::SetLocationText(const QString& text)
{
    if (QObject* edit = FindComponent(QStringLiteral("pluginsit")))
        edit->setProperty("Text", text);
}

void Tplugin::suiButton1Click(TObject*)
{
    QString folder = LocationText().trimmed();
    if (!SelectDirectory(QStringLiteral("Select Directory"), QString(), folder))
        return;
    // A drive root ("C:\") already ends with its separator.
    if (folder.size() != 3 && !folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    SetLocationText(folder);
}

void Tplugin::suiButton2Click(TObject*)
{
    const QString folder = LocationText().trimmed();
    // The plug-ins go into a folder that exists; anything else would scatter files.
    if (folder.isEmpty() || !QFileInfo(LocalPath(folder)).isDir()) {
        MessageBox(QStringLiteral("Please select Photoshop plug-in location:"), QStringLiteral("Brelnova Studio"),
                   MB_OK | MB_ICONWARNING);
        return;
    }
    QString error;
    if (!InstallPluginInto(folder, error)) {
        MessageBox(error, QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONWARNING);
        return;
    }
    MessageBox(QStringLiteral("Install Brelnova Studio to Adobe Photoshop Plug-Ins successfully."),
               QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
    Close();
}

void Tplugin::suiButton3Click(TObject*)
{
    Close();
}
