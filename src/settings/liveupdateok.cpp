#include "settings/liveupdateok.h"

#include "document/command_dialog.h"
#include "framework/ini_file.h"
#include "framework/memo.h"
#include "framework/string_list.h"
#include "mainwindow/iconmain.h"
#include "platform/program_paths.h"
#include "settings/settings_classes.h"
#include "settings/update_download.h"
#include "settings/update_service.h"
#include "skin/controls/message_dialog.h"
#include "skin/controls/progress_bar.h"

#include <QPointer>
#include <QTcpSocket>

Tliveupdateok* liveupdateok = nullptr;

Tliveupdateok::Tliveupdateok(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    liveupdateok = this;
    download_ = new TUpdateDownload(this);
    connect(download_, &TUpdateDownload::Progress, this, &Tliveupdateok::ShowProgress);
    connect(download_, &TUpdateDownload::Done, this, &Tliveupdateok::Finished);
    LoadDefinition(QStringLiteral(":/settings/liveupdateok.wdf"));
}

Tliveupdateok::~Tliveupdateok()
{
    if (liveupdateok == this)
        liveupdateok = nullptr;
}

QString Tliveupdateok::InstallerFile()
{
    return WritablePath(QStringLiteral("Brelnova_Studio_up.exe"));
}

TControl* Tliveupdateok::Control(const char* name) const
{
    return qobject_cast<TControl*>(FindComponent(QLatin1String(name)));
}

void Tliveupdateok::FormCreate(TObject*)
{
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    // The installer lies at the update service's root.
    InstallerUrl = UpdateServiceRoot().resolved(QUrl(QStringLiteral("Brelnova_Studio_up.exe"))).toString();
    if (auto* memo = qobject_cast<TMemo*>(FindComponent(QStringLiteral("Memo1")))) {
        memo->Lines()->Clear();
        memo->Lines()->Add(QStringLiteral("Server answers"));
        memo->Lines()->Add(QString(26, QLatin1Char('-')));
    }
    TakeMainWindowSkin(*this);
}

void Tliveupdateok::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tliveupdateok::FormClose(TObject*, TCloseAction&)
{
    download_->Stop();
    if (iconmain)
        iconmain->ShortcutsSuspended = 0;
}

void Tliveupdateok::Tell(const QString& caption, const QString& text, int icon)
{
    auto* box = qobject_cast<TsuiMessageDialog*>(FindComponent(QStringLiteral("suiMessageDialog1")));
    if (!box)
        return;
    box->SetCaption(caption);
    box->SetIconType(TsuiIconType(icon));
    box->SetText(text);
    box->ShowModal();
}

void Tliveupdateok::suiButton1Click(TObject*)
{
    if (InstallerUrl.isEmpty())
        InstallerUrl = UpdateServiceRoot().resolved(QUrl(QStringLiteral("Brelnova_Studio_up.exe"))).toString();
    if (TControl* button = Control("suiButton1"))
        button->SetEnabled(false);
    if (TControl* panel = Control("suiGroupBox3"))
        panel->SetVisible(true);
    if (TControl* status = Control("Label10"))
        status->SetCaption(QStringLiteral("Connecting...."));
    if (TControl* edit = Control("Edit1"))
        edit->SetText(InstallerUrl);
    if (TControl* edit = Control("Edit2"))
        edit->SetText(InstallerFile());
    Button1Click(nullptr);
}

void Tliveupdateok::Button1Click(TObject*)
{
    TControl* edit = Control("Edit1");
    download_->Start(edit ? edit->Text() : InstallerUrl, TargetFile);
}

void Tliveupdateok::Button4Click(TObject*)
{
    download_->Stop();
}

void Tliveupdateok::Button3Click(TObject*)
{
    TControl* edit = Control("Edit1");
    const QString url = edit ? edit->Text() : InstallerUrl;
    QString host;
    quint16 port = 80;
    auto* memo = qobject_cast<TMemo*>(FindComponent(QStringLiteral("Memo1")));
    if (!SplitHostPort(UrlHostPart(url), host, port)) {
        if (memo)
            memo->Lines()->Add(QStringLiteral("The download address %1 is not valid.").arg(url.trimmed()));
        return;
    }
    // One probe at a time; its answer is read once, up to 4096 bytes.
    if (probe_) {
        probe_->disconnect(this);
        probe_->abort();
        probe_->deleteLater();
    }
    probe_ = new QTcpSocket(this);
    QTcpSocket* socket = probe_;
    const QByteArray request = RangedGetRequest(UrlPathPart(url), host, port, 533263, 533263);
    const auto finish = [this, socket, memo](const QString& line) {
        if (memo)
            memo->Lines()->Add(line);
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        if (probe_ == socket)
            probe_ = nullptr;
    };
    connect(socket, &QTcpSocket::connected, this, [socket, request] { socket->write(request); });
    connect(socket, &QTcpSocket::readyRead, this, [socket, finish] {
        const QByteArray got = socket->read(4096);
        const int zero = got.indexOf('\0');
        finish(QString::fromLatin1(zero < 0 ? got : got.left(zero)));
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [socket, finish](QAbstractSocket::SocketError) {
        finish(QStringLiteral("No answer: %1").arg(socket->errorString()));
    });
    socket->connectToHost(host, port);
}

void Tliveupdateok::suiButton4Click(TObject*)
{
    if (TControl* button = Control("suiButton1"))
        button->SetEnabled(true);
    download_->Stop();
    if (TControl* panel = Control("suiGroupBox3"))
        panel->SetVisible(false);
    InstallerUrl.clear();
}

void Tliveupdateok::suiButton3Click(TObject*)
{
    Close();
}

void Tliveupdateok::Edit1Change(TObject*)
{
    TIniFile ini(WritablePath(QStringLiteral("sys1.ini")));
    if (TControl* edit = Control("Edit1"))
        ini.WriteString(QStringLiteral("file1"), QStringLiteral("host1"), edit->Text());
}

void Tliveupdateok::Edit2Change(TObject*)
{
    TControl* edit = Control("Edit2");
    if (!edit)
        return;
    TIniFile ini(WritablePath(QStringLiteral("sys1.ini")));
    ini.WriteString(QStringLiteral("file1"), QStringLiteral("filename1"), edit->Text());
    TargetFile = edit->Text();
}

void Tliveupdateok::ShowProgress(qint64 received, qint64 expected)
{
    const int percent = expected > 0 ? int(received * 100 / expected) : 0;
    if (auto* bar = qobject_cast<TsuiProgressBar*>(FindComponent(QStringLiteral("suiProgressBar1"))))
        bar->SetPosition(percent);
    TControl* status = Control("Label10");
    TControl* heading = Control("Label1");
    if (!status)
        return;
    status->SetCaption(percent == 99 ? QStringLiteral("Please Wait ...")
                                     : QStringLiteral("%1->%2 / %3 (Bytes)")
                                           .arg(heading ? heading->Caption() : QString())
                                           .arg(received)
                                           .arg(expected));
}

void Tliveupdateok::Finished()
{
    switch (download_->State()) {
    case TUpdateDownload::Finished:
        Tell(QStringLiteral("Live Update information"),
             QStringLiteral("File download finished ! \r\n\r\nThe installer is saved as %1. It is a Windows "
                            "program and cannot run on this system.")
                 .arg(TargetFile),
             suiInformation);
        if (TControl* panel = Control("suiGroupBox3"))
            panel->SetVisible(false);
        InstallerUrl.clear();
        break;
    case TUpdateDownload::Failed:
        if (TControl* button = Control("suiButton1"))
            button->SetEnabled(true);
        Tell(QStringLiteral("Live Update"),
             download_->Error() + QStringLiteral("\r\n\r\n") + download_->NextStep(),
             suiWarning);
        break;
    default:
        break;
    }
}

void ShowUpdateDownload()
{
    // The newest window replaces the one before, which is closed by now.
    delete liveupdateok;
    auto* window = new Tliveupdateok(nullptr);
    window->ShowModal();
}
