#pragma once

// A one-request-at-a-time HTTP server on 127.0.0.1 for the update tests: each connection's
// request is recorded and answered by the test's function with raw bytes; the connection is then
// closed unless the answer asks to keep it (to cut it later or stall).

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

class TTestingHttpServer : public QObject {
public:
    struct TAnswer {
        QByteArray Bytes;
        bool Close = true;
    };
    std::function<TAnswer(const QByteArray& request)> Answer;
    QList<QByteArray> Requests;

    TTestingHttpServer()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                auto* buffer = new QByteArray;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    *buffer += s->readAll();
                    if (!buffer->contains("\r\n\r\n"))
                        return;
                    Requests << *buffer;
                    const TAnswer a = Answer ? Answer(*buffer) : TAnswer{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
                    buffer->clear();
                    s->write(a.Bytes);
                    s->flush();
                    if (a.Close)
                        s->disconnectFromHost();
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, [s, buffer] {
                    delete buffer;
                    s->deleteLater();
                });
            }
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    QString Root() const { return QStringLiteral("http://127.0.0.1:%1/").arg(Port()); }

    // Runs the event loop until done() or the time is up.
    static bool WaitFor(const std::function<bool()>& done, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

private:
    QTcpServer server_;
};
