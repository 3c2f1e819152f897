#pragma once

// The installer download: an HTTP/1.1 HEAD for the total size, then a GET with a range from the
// size of the partial file on disk, appended to it. Asynchronous on the GUI thread's event loop;
// every answer is checked (status, range start, lengths, no chunked bodies) and anything wrong
// ends the transfer with a reason, leaving what was written for the next resume.

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

// "http://host:port/path": the host (with the port when one is written) and the path after the
// first "/" (the whole text when there is none). The scheme is dropped in any letter case.
QString UrlHostPart(const QString& url);
QString UrlPathPart(const QString& url);
// The host and port of UrlHostPart (port 80 when none is written); false for an empty host or a
// port outside 1..65535.
bool SplitHostPort(const QString& hostPart, QString& host, quint16& port);
// A GET of path from byte from to byte to (to the end when to is negative), as the download
// sends it.
QByteArray RangedGetRequest(const QString& path, const QString& host, quint16 port, qint64 from, qint64 to = -1);

class TUpdateDownload : public QObject {
    Q_OBJECT

public:
    enum TState { Idle, Head, Get, Body, Finished, Failed, Stopped };

    explicit TUpdateDownload(QObject* parent = nullptr);
    ~TUpdateDownload() override;

    // Starts the transfer of url into targetFile; a running one is stopped first.
    void Start(const QString& url, const QString& targetFile);
    // Ends the transfer; the partial file stays.
    void Stop();

    TState State() const { return state_; }
    QString Error() const { return error_; }
    qint64 ResumeOffset = 0;
    qint64 TotalSize = 0;
    qint64 ExpectedSize = 0;
    qint64 ReceivedSize = 0;
    bool RangeAccepted = false;
    // How long the server may stay silent.
    int StallTimeoutMs = 60000;

signals:
    void Progress(qint64 received, qint64 expected);
    // Once, when the transfer ends in Finished, Failed or Stopped.
    void Done();

private:
    void Connect();
    void SendRequest();
    void ReadyRead();
    bool HeaderComplete();
    void HeadAnswered();
    void GetAnswered();
    void TakeBody(const QByteArray& bytes);
    void Complete();
    void Fail(const QString& reason);
    void End(TState state);

    QTcpSocket* socket_ = nullptr;
    QTimer stall_;
    QFile file_;
    TState state_ = Idle;
    QString error_;
    QString host_;
    quint16 port_ = 80;
    QString path_;
    QByteArray buffer_;
    int status_ = 0;
    QList<QPair<QByteArray, QByteArray>> headers_;
};
