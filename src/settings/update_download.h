#pragma once

// The installer download: an HTTP/1.1 HEAD for the total size and the installer's validator
// (ETag or Last-Modified), then a GET with a range from the size of the partial file on disk,
// appended to it. Beside the partial file a small record keeps the address, the size and the
// validator it belongs to: a file whose record differs from what the server now offers is
// started again from byte 0, and so is a GET the server answers with the whole installer.
// Asynchronous on the GUI thread's event loop; every answer is checked (status, range start,
// lengths, no chunked bodies) and anything wrong ends the transfer with a reason.

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
// sends it; with a validator the range holds only while the installer is still that one.
QByteArray RangedGetRequest(const QString& path, const QString& host, quint16 port, qint64 from, qint64 to = -1,
                            const QByteArray& ifRange = QByteArray());
// The record beside a partial download: target + ".source".
QString DownloadRecordFile(const QString& targetFile);

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
    // After a failure: what the next download will do with what is on disk.
    QString NextStep() const { return nextStep_; }
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
    // ETag (a strong one) or else Last-Modified of the answer's headers; empty when neither.
    QByteArray ValidatorOfAnswer() const;
    void StartOver();
    void WriteRecord();
    QString DescribeNextStep() const;
    void TakeBody(const QByteArray& bytes);
    void Complete();
    void Fail(const QString& reason);
    void End(TState state);

    QTcpSocket* socket_ = nullptr;
    QTimer stall_;
    QFile file_;
    TState state_ = Idle;
    QString error_;
    QString nextStep_;
    QString url_;
    QByteArray validator_;
    QString host_;
    quint16 port_ = 80;
    QString path_;
    QByteArray buffer_;
    int status_ = 0;
    QList<QPair<QByteArray, QByteArray>> headers_;
};
