#pragma once

// The update check window: asks the update service for its version text over HTTP, shows the
// release notes, compares the version with the running one and reports the result; "Get Update"
// opens the download window. The same check runs without the window at start-up. Made on first
// use and kept until the program ends.

#include "framework/forms.h"

class QNetworkAccessManager;
class QNetworkReply;

class Tliveupdate : public TForm {
    Q_OBJECT

public:
    explicit Tliveupdate(QWidget* owner = nullptr);
    ~Tliveupdate() override;

    // Replies evaluated so far.
    int DownloadEvents = 0;
    // How long a check waits for the service.
    int CheckTimeoutMs = 30000;

    // True when a network interface other than loopback is up, or the service is on this machine.
    static bool IsInternetConnected();
    QString ReleaseText() const;
    // The request of a check still under way.
    bool Checking() const { return reply_ != nullptr; }

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void suiCheckBox1Click(TObject* Sender);

private:
    void ReplyFinished(QNetworkReply* reply);
    void Tell(const QString& caption, const QString& text);
    void SetButtonEnabled(const char* name, bool enabled);

    QNetworkAccessManager* network_ = nullptr;
    QNetworkReply* reply_ = nullptr;
};

extern Tliveupdate* liveupdate;

// The Help menu's "Live Update": makes the window when needed and shows it modally.
void ShowLiveUpdate();
// The start-up check as the configuration asks (silent, with the window, or none).
void RunStartupUpdateCheck(int mode);
