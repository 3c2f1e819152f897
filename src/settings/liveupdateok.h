#pragma once

// The update download window: fetches the new version's installer from the update service,
// resuming a partial file, and saves it as "Brelnova_Studio_up.exe" beside the program. A
// Windows installer cannot run here, so the finished download is only announced with where it
// lies; the program stays open. A new window is made each time "Get Update" is pressed.

#include "framework/forms.h"

class QTcpSocket;
class TUpdateDownload;

class Tliveupdateok : public TForm {
    Q_OBJECT

public:
    explicit Tliveupdateok(QWidget* owner = nullptr);
    ~Tliveupdateok() override;

    // The installer's address named by the update service; cleared by Cancel and on completion.
    QString InstallerUrl;
    QString TargetFile;
    TUpdateDownload* Download() const { return download_; }
    // Where the installer is saved.
    static QString InstallerFile();

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void Button1Click(TObject* Sender);
    Q_INVOKABLE void Button4Click(TObject* Sender);
    // Asks the server for one byte of the installer and adds the start of its answer to Memo1.
    Q_INVOKABLE void Button3Click(TObject* Sender);
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void Edit2Change(TObject* Sender);

private:
    void ShowProgress(qint64 received, qint64 expected);
    void Finished();
    void Tell(const QString& caption, const QString& text, int icon);
    TControl* Control(const char* name) const;

    TUpdateDownload* download_ = nullptr;
    QTcpSocket* probe_ = nullptr;
};

extern Tliveupdateok* liveupdateok;

// "Get Update": a new download window, shown modally.
void ShowUpdateDownload();
