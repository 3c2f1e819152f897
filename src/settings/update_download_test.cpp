#include "settings/update_download.h"

#include "settings/testing_http_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(UpdateUrl, HostAndPathParts)
{
    const struct {
        const char* Url;
        const char* Host;
        const char* Path;
    } cases[] = {
        {" http://example.org/dl/setup.exe ", "example.org", "dl/setup.exe"},
        {"HTTP://Example.org:8080/a", "Example.org:8080", "a"},
        // Without a "/" after the host the whole text is the path, as the service has always had it.
        {"http://example.org", "example.org", "example.org"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlHostPart(c.Url), c.Host) << c.Url;
        EXPECT_EQ(UrlPathPart(c.Url), c.Path) << c.Url;
    }
}

class Download : public ::testing::Test {
protected:
    static QByteArray MakeInstaller(int seed)
    {
        QByteArray b;
        for (int i = 0; i < 300000; ++i)
            b.append(char(i * 7 + i / 251 + seed));
        return b;
    }
    QByteArray installer = MakeInstaller(0);
    QTemporaryDir dir;
    QString target = dir.path() + "/up.exe";
    TTestingHttpServer server;
    TUpdateDownload download;

    void Run(qint64 partial)
    {
        if (partial >= 0) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(installer.left(partial));
        }
        download.StallTimeoutMs = 2000;
        download.Start(server.Root() + "Brelnova_Studio_up.exe", target);
        ASSERT_TRUE(TTestingHttpServer::WaitFor([&] { return download.State() >= TUpdateDownload::Finished; }));
    }
    QByteArray OnDisk() const
    {
        QFile f(target);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // A server that honours ranges and If-Range, offering file with the ETag etag; rangeShift
    // moves the start it sends, cut ends the body early.
    void Serve(qint64 rangeShift = 0, qint64 cut = -1, bool headLength = true, const QByteArray& file = QByteArray(),
               const QByteArray& etag = "\"a\"")
    {
        const QByteArray served = file.isNull() ? installer : file;
        const QByteArray validator = etag.isEmpty() ? QByteArray() : "ETag: " + etag + "\r\n";
        server.Answer = [=](const QByteArray& r) -> TTestingHttpServer::TAnswer {
            if (r.startsWith("HEAD"))
                return {"HTTP/1.1 200 OK\r\n" + validator +
                        (headLength ? "Content-Length: " + QByteArray::number(served.size()) + "\r\n" : QByteArray()) + "\r\n"};
            const int at = r.indexOf("RANGE: bytes=");
            qint64 from = r.mid(at + 13, r.indexOf('-', at) - at - 13).toLongLong() + rangeShift;
            const int ifRange = r.indexOf("If-Range: ");
            if (ifRange >= 0 && r.mid(ifRange + 10, r.indexOf("\r\n", ifRange) - ifRange - 10) != etag)
                return {"HTTP/1.1 200 OK\r\n" + validator + "Content-Length: " + QByteArray::number(served.size()) + "\r\n\r\n" +
                        served};
            QByteArray body = served.mid(from);
            const QByteArray head = "HTTP/1.1 206 Partial Content\r\n" + validator + "Content-Range: bytes " + QByteArray::number(from) +
                                    "-" + QByteArray::number(served.size() - 1) + "/" + QByteArray::number(served.size()) +
                                    "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
            if (cut >= 0)
                body = body.left(cut);
            return {head + body};
        };
    }
};

TEST_F(Download, ResumesAfterACutConnection)
{
    Serve(0, 100000);
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Failed);
    EXPECT_EQ(download.NextStep(), "The 100000 bytes received are kept; the next download goes on from there while the "
                                   "server offers the same installer.");
    EXPECT_EQ(OnDisk(), installer.left(100000));

    Serve();
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Finished) << download.Error().toStdString();
    EXPECT_TRUE(server.Requests.last().contains("RANGE: bytes=100000-\r\nIf-Range: \"a\"\r\n"));
    EXPECT_TRUE(server.Requests.last().startsWith("GET /Brelnova_Studio_up.exe HTTP/1.1\r\n"));
    EXPECT_EQ(OnDisk(), installer);

    // The finished installer is known again without a GET.
    server.Requests.clear();
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Finished);
    EXPECT_EQ(server.Requests.size(), 1);
}

TEST_F(Download, APartOfAnotherInstallerIsNeverFinishedWithThisOnesBytes)
{
    const QByteArray newer = MakeInstaller(1);
    ASSERT_EQ(newer.size(), installer.size());
    // A part of the older installer; the server now offers a newer one of the same size.
    Serve(0, 100000);
    Run(-1);
    ASSERT_EQ(OnDisk(), installer.left(100000));
    Serve(0, -1, true, newer, "\"b\"");
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Finished) << download.Error().toStdString();
    EXPECT_TRUE(server.Requests.last().contains("RANGE: bytes=0-\r\n"));
    EXPECT_EQ(OnDisk(), newer);

    // The whole older installer on disk is not taken for the newer one either.
    Serve();
    Run(-1);
    ASSERT_EQ(OnDisk(), installer);
    Serve(0, -1, true, newer, "\"b\"");
    Run(-1);
    EXPECT_EQ(OnDisk(), newer);

    // The HEAD still names the older installer (a cache on the way), the GET meets the newer:
    // If-Range makes the server send it whole, and it is taken from byte 0.
    Serve(0, 100000);
    Run(-1);
    Serve(0, -1, true, newer, "\"b\"");
    const auto serveNewer = server.Answer;
    server.Answer = [&, serveNewer](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD"))
            return {"HTTP/1.1 200 OK\r\nETag: \"a\"\r\nContent-Length: 300000\r\n\r\n"};
        return serveNewer(r);
    };
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Finished) << download.Error().toStdString();
    EXPECT_TRUE(server.Requests.last().contains("If-Range: \"a\"\r\n"));
    EXPECT_EQ(OnDisk(), newer);

    // Without a validator nothing tells two installers of one size apart: a part starts over.
    Serve(0, 100000, true, {}, {});
    Run(-1);
    EXPECT_EQ(download.NextStep(), "The next download starts again from the beginning.");
    Serve(0, -1, true, {}, {});
    Run(-1);
    EXPECT_TRUE(server.Requests.last().contains("RANGE: bytes=0-\r\n"));
    EXPECT_EQ(OnDisk(), installer);
}

TEST_F(Download, AServerThatIgnoresTheRangeGivesTheWholeInstallerFromByteZero)
{
    Serve(0, 5000);
    Run(-1);
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        const QByteArray head = "HTTP/1.1 200 OK\r\nETag: \"a\"\r\nContent-Length: 300000\r\n\r\n";
        return {r.startsWith("HEAD") ? head : head + installer};
    };
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Finished) << download.Error().toStdString();
    EXPECT_TRUE(server.Requests.last().contains("RANGE: bytes=5000-\r\n"));
    EXPECT_EQ(OnDisk(), installer);
}

TEST_F(Download, BadAnswersEndTheTransferAndKeepThePartialFile)
{
    Serve(0, 5000);
    Run(-1);
    Serve(0, -1, false);
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Failed);
    EXPECT_EQ(download.Error(), "The server did not give the size of the installer.");
    EXPECT_EQ(OnDisk(), installer.left(5000));

    Serve(10);
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Failed);
    EXPECT_EQ(download.Error(), "The server sent another part of the installer than the one asked for.");
    EXPECT_EQ(OnDisk(), installer.left(5000));

    const QByteArray head = "HTTP/1.1 200 OK\r\nETag: \"a\"\r\nContent-Length: 300000\r\n\r\n";
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD"))
            return {head};
        return {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 5000-299999/300000\r\nContent-Length: 295000\r\nTransfer-Encoding: chunked\r\n\r\n"};
    };
    Run(-1);
    EXPECT_EQ(download.State(), TUpdateDownload::Failed);
    EXPECT_EQ(OnDisk(), installer.left(5000));

    // A piece without its length cannot be told complete.
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD"))
            return {head};
        return {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 5000-299999/300000\r\n\r\n" + installer.mid(5000)};
    };
    Run(-1);
    EXPECT_EQ(download.Error(), "The server did not give the size of the installer.");
    EXPECT_EQ(OnDisk(), installer.left(5000));

    // A tail that belongs to another installer starts the file over.
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD"))
            return {head};
        return {"HTTP/1.1 206 Partial\r\nETag: \"b\"\r\nContent-Range: bytes 5000-299999/300000\r\nContent-Length: 295000\r\n\r\n" +
                installer.mid(5000)};
    };
    Run(-1);
    EXPECT_EQ(download.Error(), "The installer on the server changed during the download.");
    EXPECT_EQ(download.NextStep(), "Nothing was received; the next download starts from the beginning.");
    EXPECT_EQ(OnDisk(), QByteArray());

    server.Answer = [&](const QByteArray&) -> TTestingHttpServer::TAnswer { return {"garbage\r\n\r\n"}; };
    Run(-1);
    EXPECT_EQ(download.Error(), "The server's answer is not HTTP.");
}

TEST_F(Download, StopEndsAStalledTransfer)
{
    server.Answer = [&](const QByteArray& r) -> TTestingHttpServer::TAnswer {
        if (r.startsWith("HEAD"))
            return {"HTTP/1.1 200 OK\r\nContent-Length: 300000\r\n\r\n"};
        return {"HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-299999/300000\r\nContent-Length: 300000\r\n\r\n" + installer.left(1000),
                false};
    };
    download.Start(server.Root() + "x.exe", target);
    ASSERT_TRUE(TTestingHttpServer::WaitFor([&] { return download.ReceivedSize == 1000; }));
    download.Stop();
    EXPECT_EQ(download.State(), TUpdateDownload::Stopped);
    EXPECT_EQ(OnDisk(), installer.left(1000));

    // A server that stays silent is given up after the stall time.
    server.Answer = [](const QByteArray&) -> TTestingHttpServer::TAnswer { return {QByteArray(), false}; };
    download.StallTimeoutMs = 300;
    download.Start(server.Root() + "x.exe", target);
    ASSERT_TRUE(TTestingHttpServer::WaitFor([&] { return download.State() == TUpdateDownload::Failed; }));
    EXPECT_EQ(download.Error(), "The server stopped answering.");
}

} // namespace
