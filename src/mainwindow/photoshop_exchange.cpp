#include "mainwindow/photoshop_exchange.h"

#include "framework/dialogs.h"
#include "framework/registry.h"
#include "framework/string_list.h"
#include "framework/timer.h"
#include "mainwindow/command_routing.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/plugin.h"
#include "platform/program_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

TExchangeReceiver exchangeReceiver;

const QString kPhotoshopKey = QStringLiteral("SOFTWARE\\Adobe\\Photoshop");

TTimer* PollTimer()
{
    return iconmain ? qobject_cast<TTimer*>(iconmain->FindComponent(QStringLiteral("Timer2"))) : nullptr;
}

// The first Photoshop version the registry lists, trimmed; empty when none is installed.
QString PhotoshopVersionKey()
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kPhotoshopKey))
        return QString();
    TStringList names;
    registry.GetKeyNames(&names);
    return names.Count() > 0 ? names.Strings(0).trimmed() : QString();
}

void ShowInstalled()
{
    MessageBox(QStringLiteral("Install Brelnova Studio to Adobe Photoshop Plug-Ins successfully."),
               QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
}

void ShowInstallError(const QString& error)
{
    MessageBox(error, QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONWARNING);
}

// A bitmap that another program is still writing: shorter than its header says, or too short for
// a header, and changed a moment ago. The poll looks again instead of handing over half a picture;
// a file that stays broken goes to the import window, which says what is wrong with it.
bool StillBeingWritten(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(6);
    const qint64 size = file.size();
    bool short_ = head.size() < 6;
    if (!short_ && head.startsWith("BM")) {
        short_ = qFromLittleEndian<quint32>(head.constData() + 2) > quint64(size);
    }
    return short_ && QFileInfo(path).lastModified().msecsTo(QDateTime::currentDateTime()) < 2000;
}

} // namespace

QString ExchangeFilePath()
{
    return LocalPath(QStringLiteral("c:\\deduriveredovizur.bmp"));
}

void SetExchangeReceiver(TExchangeReceiver receiver)
{
    exchangeReceiver = std::move(receiver);
}

void ResumeExchangePoll()
{
    if (TTimer* timer = PollTimer())
        timer->SetEnabled(true);
}

QString PluginFilePath()
{
    return ProgramPath(QStringLiteral("suk\\Brelnova Studio.8BE"));
}

bool InstallPluginInto(const QString& folder, QString& error)
{
    const QString source = PluginFilePath();
    if (!QFileInfo(source).isFile()) {
        error = QStringLiteral("The Photoshop plug-in \"%1\" is not installed with Brelnova Studio.").arg(source);
        return false;
    }
    const QString target = QDir(LocalPath(folder)).filePath(QStringLiteral("Brelnova Studio"));
    const QString file = target + QStringLiteral("/Brelnova Studio.8BE");
    if (!QDir().mkpath(target)) {
        error = QStringLiteral("The folder \"%1\" cannot be created.").arg(target);
        return false;
    }
    // Copy beside the old plug-in first, so a failed copy leaves the installed one working.
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(source, part) || (QFile::exists(file) && !QFile::remove(file)) || !QFile::rename(part, file)) {
        QFile::remove(part);
        error = QStringLiteral("The plug-in cannot be copied to \"%1\".").arg(file);
        return false;
    }
    return true;
}

void Ticonmain::Timer2Timer(TObject*)
{
    if (StartupStage != 2 || !QFileInfo(ExchangeFilePath()).isFile() || StillBeingWritten(ExchangeFilePath()))
        return;
    if (TTimer* timer = PollTimer())
        timer->SetEnabled(false);
    if (!exchangeReceiver) {
        // The picture stays where Photoshop put it, so nothing of the user's is lost.
        MessageBox(QStringLiteral("A picture came from Photoshop (\"%1\"), but this program was started without the "
                                  "import window that opens it.")
                       .arg(ExchangeFilePath()),
                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONWARNING);
        return;
    }
    exchangeReceiver(ExchangeFilePath(), kExchangeSource);
}

void Ticonmain::SendthisimagetoPhotoshop1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("Ps1"));
}

void Ticonmain::clicknoClick(TObject* Sender)
{
    SendthisimagetoPhotoshop1Click(Sender);
}

void Ticonmain::clickupClick(TObject* Sender)
{
    SendthisimagetoPhotoshop1Click(Sender);
}

void Ticonmain::SaveBack1Click(TObject*)
{
    Tplugin* dialog = PluginDialog();
    // Without Photoshop in the registry the user names the plug-in folder.
    const QString version = PhotoshopVersionKey();
    if (version.isEmpty()) {
        dialog->ShowModal();
        return;
    }
    const QString versionKey = kPhotoshopKey + QLatin1Char('\\') + version;
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registry.OpenKey(versionKey, true)) {
        const QString appPath = registry.ReadString(QStringLiteral("ApplicationPath")).trimmed();
        dialog->SetLocationText(appPath);
        dialog->PhotoshopAppPath = appPath;
        registry.CloseKey();
    }
    if (!registry.OpenKey((versionKey + QStringLiteral("\\PluginPath")).trimmed(), true)) {
        dialog->ShowModal();
        return;
    }
    const QString pluginFolder = registry.ReadString(QString()).trimmed();
    if (pluginFolder.isEmpty()) {
        dialog->ShowModal();
        return;
    }
    registry.WriteString(QStringLiteral("Brelnova"), QDir::toNativeSeparators(ProgramFolder()));
    QString error;
    if (!InstallPluginInto(pluginFolder + QLatin1Char('\\'), error)) {
        ShowInstallError(error);
        return;
    }
    ShowInstalled();
}
