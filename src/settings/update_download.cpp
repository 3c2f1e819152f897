#include "settings/update_download.h"

#include "platform/atomic_file.h"

#include <QFileInfo>
#include <QTcpSocket>

namespace {

QString StripScheme(const QString& url)
{
    QString t = url.trimmed();
    if (t.toLower().startsWith(QLatin1String("http://")))
        t.remove(0, 7);
    return t;
}

constexpr int kMaxHeaderBytes = 64 * 1024;

const char* const kUserAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705)\r\n";

bool ReadWholeNumber(const QByteArray& text, qint64& value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok && value >= 0;
}

// What a partial file is a part of. Three lines: the address, the installer's size and its
// validator.
struct TDownloadRecord {
    QByteArray Url;
    qint64 Size = -1;
    QByteArray Validator;
    friend bool operator==(const TDownloadRecord&, const TDownloadRecord&) = default;
};

QByteArray OneLine(QByteArray text) { return text.replace('\r', ' ').replace('\n', ' '); }

TDownloadRecord ReadRecord(const QString& targetFile)
{
    QFile f(DownloadRecordFile(targetFile));
    TDownloadRecord record;
    if (!f.open(QIODevice::ReadOnly) || f.size() > 64 * 1024)
        return record;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.size() < 3 || !ReadWholeNumber(lines[1], record.Size))
        return TDownloadRecord();
    record.Url = lines[0];
    record.Validator = lines[2];
    return record;
}

} // namespace

QString DownloadRecordFile(const QString& targetFile)
{
    return targetFile + QStringLiteral(".source");
}

QString UrlHostPart(const QString& url)
{
    const QString t = StripScheme(url);
    const int slash = t.indexOf(QLatin1Char('/'));
    return slash < 0 ? t : t.left(slash);
}

QString UrlPathPart(const QString& url)
{
    const QString t = StripScheme(url);
    const int slash = t.indexOf(QLatin1Char('/'));
    return slash < 0 ? t : t.mid(slash + 1);
}

bool SplitHostPort(const QString& hostPart, QString& host, quint16& port)
{
    host = hostPart;
    port = 80;
    const int colon = hostPart.lastIndexOf(QLatin1Char(':'));
    if (colon > 0) {
        bool ok = false;
        const uint p = hostPart.mid(colon + 1).toUInt(&ok);
        if (!ok || p == 0 || p > 65535)
            return false;
        host = hostPart.left(colon);
        port = quint16(p);
    }
    return !host.isEmpty();
}

namespace {

QByteArray HostLine(const QString& host, quint16 port)
{
    return "Host: " + host.toUtf8() + (port != 80 ? ":" + QByteArray::number(port) : QByteArray()) + "\r\n";
}

} // namespace

QByteArray RangedGetRequest(const QString& path, const QString& host, quint16 port, qint64 from, qint64 to,
                            const QByteArray& ifRange)
{
    return "GET /" + path.toUtf8() + " HTTP/1.1\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n" +
           kUserAgent + "RANGE: bytes=" + QByteArray::number(from) + "-" + (to >= 0 ? QByteArray::number(to) : QByteArray()) +
           "\r\n" + (ifRange.isEmpty() ? QByteArray() : "If-Range: " + ifRange + "\r\n") + HostLine(host, port) + "\r\n";
}

TUpdateDownload::TUpdateDownload(QObject* parent) : QObject(parent)
{
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, [this] { Fail(QStringLiteral("The server stopped answering.")); });
}

TUpdateDownload::~TUpdateDownload()
{
    if (socket_)
        socket_->abort();
}

void TUpdateDownload::Start(const QString& url, const QString& targetFile)
{
    if (state_ == Head || state_ == Get || state_ == Body)
        Stop();
    state_ = Idle;
    error_.clear();
    nextStep_.clear();
    validator_.clear();
    RangeAccepted = false;
    TotalSize = ExpectedSize = ReceivedSize = 0;
    url_ = url.trimmed();
    path_ = UrlPathPart(url);
    // An explicit port is honoured.
    if (!SplitHostPort(UrlHostPart(url), host_, port_)) {
        Fail(QStringLiteral("The download address %1 is not valid.").arg(url.trimmed()));
        return;
    }
    file_.setFileName(targetFile);
    if (!file_.open(QIODevice::ReadWrite)) {
        Fail(QStringLiteral("%1 cannot be written.").arg(targetFile));
        return;
    }
    ResumeOffset = file_.size();
    file_.seek(ResumeOffset);
    state_ = Head;
    Connect();
}

void TUpdateDownload::Connect()
{
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    buffer_.clear();
    headers_.clear();
    status_ = 0;
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, &TUpdateDownload::SendRequest);
    connect(socket_, &QTcpSocket::readyRead, this, &TUpdateDownload::ReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        ReadyRead();
        if (state_ == Head || state_ == Get || state_ == Body)
            Fail(QStringLiteral("The connection to the server was lost."));
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            return; // handled as a disconnection, after the last bytes are read
        if (state_ == Head || state_ == Get || state_ == Body)
            Fail(QStringLiteral("The server cannot be reached: %1").arg(socket_->errorString()));
    });
    stall_.start(StallTimeoutMs);
    socket_->connectToHost(host_, port_);
}

void TUpdateDownload::SendRequest()
{
    if (state_ == Head)
        socket_->write("HEAD /" + path_.toUtf8() + " HTTP/1.1\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n" + kUserAgent +
                       HostLine(host_, port_) + "\r\n");
    else
        socket_->write(RangedGetRequest(path_, host_, port_, ResumeOffset, -1, ResumeOffset > 0 ? validator_ : QByteArray()));
}

bool TUpdateDownload::HeaderComplete()
{
    const int end = buffer_.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffer_.size() > kMaxHeaderBytes)
            Fail(QStringLiteral("The server's answer is not HTTP."));
        return false;
    }
    const QList<QByteArray> lines = buffer_.left(end).split('\n');
    buffer_.remove(0, end + 4);
    const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
    bool ok = false;
    status_ = statusLine.value(1).toInt(&ok);
    if (!statusLine.value(0).startsWith("HTTP/") || !ok) {
        Fail(QStringLiteral("The server's answer is not HTTP."));
        return false;
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            headers_.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

void TUpdateDownload::ReadyRead()
{
    if (!socket_)
        return;
    stall_.start(StallTimeoutMs);
    buffer_ += socket_->readAll();
    if (state_ == Head) {
        if (HeaderComplete())
            HeadAnswered();
    } else if (state_ == Get) {
        if (HeaderComplete())
            GetAnswered();
    }
    if (state_ == Body && !buffer_.isEmpty()) {
        const QByteArray bytes = buffer_;
        buffer_.clear();
        TakeBody(bytes);
    }
}

void TUpdateDownload::HeadAnswered()
{
    if (status_ != 200) {
        Fail(QStringLiteral("The server answered %1: the installer is not there.").arg(status_));
        return;
    }
    QByteArray length;
    for (const auto& h : headers_)
        if (h.first == "content-length")
            length = h.second;
    // Without the size nothing can tell when the installer is whole.
    if (length.isNull() || !ReadWholeNumber(length, TotalSize) || TotalSize == 0) {
        Fail(QStringLiteral("The server did not give the size of the installer."));
        return;
    }
    validator_ = ValidatorOfAnswer();
    // The bytes on disk go on only as a part of this very installer: same address, same size,
    // same validator. Without a validator nothing tells another installer of that size apart.
    const TDownloadRecord offered{OneLine(url_.toUtf8()), TotalSize, validator_};
    if (ResumeOffset > 0 && (validator_.isEmpty() || ReadRecord(file_.fileName()) != offered || ResumeOffset > TotalSize))
        StartOver();
    WriteRecord();
    if (ResumeOffset == TotalSize) {
        Complete();
        return;
    }
    state_ = Get;
    Connect();
}

QByteArray TUpdateDownload::ValidatorOfAnswer() const
{
    QByteArray etag, modified;
    for (const auto& h : headers_) {
        if (h.first == "etag")
            etag = OneLine(h.second);
        else if (h.first == "last-modified")
            modified = OneLine(h.second);
    }
    // A weak ETag cannot stand in If-Range.
    return !etag.isEmpty() && !etag.startsWith("W/") ? etag : modified;
}

void TUpdateDownload::StartOver()
{
    file_.resize(0);
    file_.seek(0);
    ResumeOffset = 0;
}

void TUpdateDownload::WriteRecord()
{
    // Should the record not be written, the next download finds none and starts over: never
    // worse than that.
    WriteFileAtomically(DownloadRecordFile(file_.fileName()),
                        OneLine(url_.toUtf8()) + "\n" + QByteArray::number(TotalSize) + "\n" + validator_ + "\n");
}

void TUpdateDownload::GetAnswered()
{
    QByteArray length;
    QByteArray range;
    for (const auto& h : headers_) {
        if (h.first == "content-length")
            length = h.second;
        else if (h.first == "content-range")
            range = h.second;
        else if (h.first == "transfer-encoding" && h.second.toLower() != "identity") {
            Fail(QStringLiteral("The server sent the installer in a form this program does not read."));
            return;
        }
    }
    if (length.isNull() || !ReadWholeNumber(length, ExpectedSize)) {
        Fail(QStringLiteral("The server did not give the size of the installer."));
        return;
    }
    if (status_ == 206) {
        // "bytes start-end/total": the piece must begin where the file ends.
        const QByteArray spec = range.trimmed();
        qint64 start = -1;
        if (spec.toLower().startsWith("bytes")) {
            const QByteArray from = spec.mid(5).trimmed().split('-').value(0);
            ReadWholeNumber(from, start);
        }
        if (start != ResumeOffset) {
            Fail(QStringLiteral("The server sent another part of the installer than the one asked for."));
            return;
        }
        // A server that honours the range but not If-Range may send the tail of a newer installer.
        if (const QByteArray validator = ValidatorOfAnswer(); !validator.isEmpty() && validator != validator_) {
            StartOver();
            validator_ = validator;
            WriteRecord();
            Fail(QStringLiteral("The installer on the server changed during the download."));
            return;
        }
        RangeAccepted = true;
    } else if (status_ == 200) {
        // The whole installer: a server that ignores ranges, or one whose installer changed
        // since the part on disk (If-Range). It is taken from byte 0, as it now is.
        if (ResumeOffset > 0)
            StartOver();
        if (const QByteArray validator = ValidatorOfAnswer(); validator != validator_ || ExpectedSize != TotalSize) {
            validator_ = validator;
            TotalSize = ExpectedSize;
            WriteRecord();
        }
        RangeAccepted = true;
    } else {
        Fail(QStringLiteral("The server answered %1: the installer is not there.").arg(status_));
        return;
    }
    if (ResumeOffset + ExpectedSize != TotalSize) {
        Fail(QStringLiteral("The server's sizes of the installer do not agree."));
        return;
    }
    state_ = Body;
    if (ExpectedSize == 0)
        Complete();
}

void TUpdateDownload::TakeBody(const QByteArray& bytes)
{
    const qint64 take = std::min<qint64>(bytes.size(), ExpectedSize - ReceivedSize);
    if (take > 0) {
        if (file_.write(bytes.constData(), take) != take) {
            Fail(QStringLiteral("%1 cannot be written.").arg(file_.fileName()));
            return;
        }
        ReceivedSize += take;
        emit Progress(ReceivedSize, ExpectedSize);
    }
    if (ReceivedSize >= ExpectedSize)
        Complete();
}

void TUpdateDownload::Complete()
{
    file_.flush();
    if (QFileInfo(file_.fileName()).size() != TotalSize && file_.size() != TotalSize) {
        Fail(QStringLiteral("The installer on disk is not whole."));
        return;
    }
    End(Finished);
}

void TUpdateDownload::Fail(const QString& reason)
{
    if (state_ == Finished || state_ == Failed || state_ == Stopped)
        return;
    error_ = reason;
    if (file_.isOpen())
        file_.flush();
    nextStep_ = state_ == Idle ? QStringLiteral("Nothing was downloaded.") : DescribeNextStep();
    End(Failed);
}

QString TUpdateDownload::DescribeNextStep() const
{
    const qint64 kept = QFileInfo(file_.fileName()).size();
    if (kept <= 0)
        return QStringLiteral("Nothing was received; the next download starts from the beginning.");
    const TDownloadRecord record = ReadRecord(file_.fileName());
    if (record.Validator.isEmpty() || record.Size <= kept)
        return QStringLiteral("The next download starts again from the beginning.");
    return QStringLiteral("The %1 bytes received are kept; the next download goes on from there while the server "
                          "offers the same installer.")
        .arg(kept);
}

void TUpdateDownload::Stop()
{
    if (state_ == Head || state_ == Get || state_ == Body)
        End(Stopped);
}

void TUpdateDownload::End(TState state)
{
    state_ = state;
    stall_.stop();
    if (file_.isOpen())
        file_.close();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    emit Done();
}
