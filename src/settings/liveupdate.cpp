#include "settings/liveupdate.h"

#include "document/command_dialog.h"
#include "framework/memo.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/web_window.h"
#include "settings/liveupdateok.h"
#include "settings/settings_classes.h"
#include "settings/update_service.h"
#include "skin/controls/check_box.h"
#include "skin/controls/message_dialog.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>

Tliveupdate* liveupdate = nullptr;

namespace {

// The version text is a few dozen characters; anything much larger is not it.
constexpr qint64 kMaxVersionText = 64 * 1024;

} // namespace

Tliveupdate::Tliveupdate(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    liveupdate = this;
    network_ = new QNetworkAccessManager(this);
    LoadDefinition(QStringLiteral(":/settings/liveupdate.wdf"));
}

Tliveupdate::~Tliveupdate()
{
    if (liveupdate == this)
        liveupdate = nullptr;
}

bool Tliveupdate::IsInternetConnected()
{
    const QString host = UpdateVersionTextUrl().host();
    QHostAddress address;
    if (host == QLatin1String("localhost") || (address.setAddress(host) && address.isLoopback()))
        return true;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if ((flags & QNetworkInterface::IsUp) && (flags & QNetworkInterface::IsRunning) &&
            !(flags & QNetworkInterface::IsLoopBack) && !i.addressEntries().isEmpty())
            return true;
    }
    return false;
}

QString Tliveupdate::ReleaseText() const
{
    auto* memo = qobject_cast<TControl*>(FindComponent(QStringLiteral("RichEdit1")));
    return memo ? memo->Text() : QString();
}

void Tliveupdate::FormCreate(TObject*)
{
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    TakeMainWindowSkin(*this);
}

void Tliveupdate::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tliveupdate::Tell(const QString& caption, const QString& text)
{
    auto* box = qobject_cast<TsuiMessageDialog*>(FindComponent(QStringLiteral("suiMessageDialog1")));
    if (!box)
        return;
    TakeMainWindowSkin(*this);
    box->SetCaption(caption);
    box->SetIconType(suiInformation);
    box->SetText(text);
    box->ShowModal();
}

void Tliveupdate::SetButtonEnabled(const char* name, bool enabled)
{
    if (auto* button = qobject_cast<TControl*>(FindComponent(QLatin1String(name))))
        button->SetEnabled(enabled);
}

void Tliveupdate::suiButton1Click(TObject*)
{
    if (!IsInternetConnected()) {
        Tell(QStringLiteral("Live Update"), QStringLiteral("Your computer is not connected to the internet."));
        return;
    }
    // One check at a time: the button waits for the answer.
    if (reply_)
        return;
    SetButtonEnabled("suiButton1", false);
    QNetworkRequest request(UpdateVersionTextUrl());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(CheckTimeoutMs);
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (reply_ && received > kMaxVersionText)
            reply_->abort();
    });
    connect(reply_, &QNetworkReply::finished, this, [this, reply = reply_] { ReplyFinished(reply); });
}

void Tliveupdate::ReplyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply_ == reply)
        reply_ = nullptr;
    SetButtonEnabled("suiButton1", true);
    ++DownloadEvents;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200) {
        // A machine without a network never gets here: a refused connection, an unknown host or
        // a silent server means the service, not the computer, is out of reach.
        Tell(QStringLiteral("Live Update"), reply->error() == QNetworkReply::NoError || status
                                                ? QStringLiteral("The update service's answer could not be read.\r\n\r\nPlease try again later.")
                                                : QStringLiteral("The update service could not be reached.\r\n\r\nPlease try again later."));
        return;
    }
    const TUpdateReport report = EvaluateVersionText(reply->read(kMaxVersionText), iconmain ? iconmain->VersionText : QStringLiteral("1.0"),
                                                     iconmain ? iconmain->BuildText : QStringLiteral("050206"));
    if (auto* memo = qobject_cast<TControl*>(FindComponent(QStringLiteral("RichEdit1"))))
        memo->SetText(report.Release);
    Tell(report.Kind == TUpdateReport::Unreadable ? QStringLiteral("Live Update") : QStringLiteral("Brelnova Studio"),
         report.Message);
    if (report.Kind == TUpdateReport::Unreadable)
        return;
    const bool found = report.Kind == TUpdateReport::NewVersion;
    SetButtonEnabled("suiButton4", found);
    SetButtonEnabled("suiButton3", !found);
}

void Tliveupdate::suiButton2Click(TObject*)
{
    Close();
}

void Tliveupdate::suiButton3Click(TObject*)
{
    ShellOpen(UpdateDetailsUrl().toString());
}

void Tliveupdate::suiButton4Click(TObject*)
{
    ShowUpdateDownload();
}

void Tliveupdate::suiCheckBox1Click(TObject*)
{
    auto* box = qobject_cast<TsuiCheckBox*>(FindComponent(QStringLiteral("suiCheckBox1")));
    if (!box)
        return;
    WriteConfiguration(QStringLiteral("liveupdate"), QStringLiteral("openorclose"),
                       box->Checked() ? QStringLiteral("open") : QStringLiteral("close"));
}

void ShowLiveUpdate()
{
    if (!liveupdate)
        new Tliveupdate(nullptr);
    liveupdate->ShowModal();
}

void RunStartupUpdateCheck(int mode)
{
    switch (TStartupUpdateCheck(mode)) {
    case TStartupUpdateCheck::Silent:
        if (!liveupdate)
            new Tliveupdate(nullptr);
        liveupdate->suiButton1Click(nullptr);
        break;
    case TStartupUpdateCheck::WithWindow:
        if (liveupdate)
            break;
        new Tliveupdate(nullptr);
        liveupdate->suiButton1Click(nullptr);
        liveupdate->ShowModal();
        break;
    case TStartupUpdateCheck::None:
        break;
    }
}
