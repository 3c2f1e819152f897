#include "imaging/toolkit/toolkit_image.h"

#include "framework/application.h"
#include "imaging/toolkit/toolkit_dragdrop.h"
#include "imaging/toolkit/toolkit_test_support.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

using namespace imaging_test;
using namespace toolkit_test;

// The press that starts a drag comes through the control's mouse handling; the tests press here.
struct TToolkitDragDropTestAccess {
    static bool StartDrag(TToolkitImage& c, TMouseButton button) { return c.MaybeStartOleDrag(button); }
};

namespace {

bool StartDrag(TToolkitImage& c, TMouseButton button)
{
    return TToolkitDragDropTestAccess::StartDrag(c, button);
}

// Runs the event loop until cond holds or ms pass; whether it held.
bool WaitFor(const std::function<bool()>& cond, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QString Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

int ListCount(const TToolkitImage& c)
{
    int32_t count = 0;
    if (!c.BitmapList || TK_GetBitmapListCount(c.BitmapList, &count) != TK_Success)
        return 0;
    return count;
}

QMimeData* FileUrls(const QStringList& names)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& n : names)
        urls << (n.startsWith(QLatin1String("http")) ? QUrl(n) : QUrl::fromLocalFile(n));
    data->setUrls(urls);
    return data;
}

// Sends enter, move and drop of `data` to `target` at `pos` as the windowing system would;
// returns the drop's accepted action (IgnoreAction when refused).
Qt::DropAction DragOnto(QWidget* target, const QMimeData* data, Qt::DropActions offered, QPoint pos = {5, 6},
                        Qt::MouseButtons buttons = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QDragEnterEvent enter(pos, offered, data, buttons, mods);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(pos, offered, data, buttons, mods);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(pos, offered, data, buttons, mods);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

class ToolkitDragDropTest : public ImagingTest {
protected:
    void SetUp() override
    {
        ImagingTest::SetUp();
        RegisterToolkitImageClasses();
        Application->OnException = [this](TObject*, const Exception& e) { shown << e.Message(); };
    }
    void TearDown() override
    {
        SetToolkitDragLoop(nullptr);
        Application->OnException = nullptr;
    }
    static std::unique_ptr<TToolkitImage> Control(const char* name)
    {
        auto c = std::make_unique<TToolkitImage>();
        c->SetName(QLatin1String(name));
        return c;
    }
    QString Fixture(const char* name, const QByteArray& data) const
    {
        const QString path = dir.filePath(QLatin1String(name));
        WriteFile(path, data);
        return path;
    }
    QTemporaryDir dir;
    QStringList shown; // exceptions that reached the application
};

// ---- Protocol rules --------------------------------------------------------------------------

TEST(ToolkitDragProtocol, EffectChoice)
{
    const Qt::DropActions C = Qt::CopyAction, M = Qt::MoveAction, L = Qt::LinkAction, N = Qt::IgnoreAction;
    struct Case {
        bool Allowed;
        Qt::DropActions Offered;
        Qt::DropActions Expected;
    } cases[] = {
        {true, C, C},     {true, C | M, M}, {true, M, M},     {true, C | L, L}, {true, L, L},
        {true, C | M | L, M}, {true, N, N}, {false, C, N},    {false, C | M, N},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDropEffect(c.Allowed, c.Offered), c.Expected) << c.Allowed << " " << int(c.Offered);
}

TEST(ToolkitDragProtocol, ButtonAndShiftFromKeyState)
{
    struct Case {
        Qt::MouseButtons Buttons;
        Qt::KeyboardModifiers Mods;
        TMouseButton Button;
        TShiftState Shift;
    } cases[] = {
        {Qt::NoButton, Qt::NoModifier, mbLeft, TShiftState(ssLeft)},
        {Qt::LeftButton, Qt::NoModifier, mbLeft, TShiftState(ssLeft) | ssShift},
        {Qt::RightButton, Qt::NoModifier, mbRight, TShiftState(ssLeft) | ssCtrl},
        {Qt::MiddleButton | Qt::RightButton, Qt::NoModifier, mbMiddle, TShiftState(ssLeft) | ssCtrl},
        {Qt::LeftButton, Qt::ShiftModifier, mbLeft, TShiftState(ssLeft) | ssShift | ssAlt},
        {Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, mbLeft, TShiftState(ssLeft) | ssShift},
    };
    for (const Case& c : cases) {
        TMouseButton button = mbRight;
        TShiftState shift;
        DragButtonAndShift(DragKeyState(c.Buttons, c.Mods), button, shift);
        EXPECT_EQ(button, c.Button) << int(c.Buttons);
        EXPECT_EQ(shift, c.Shift) << int(c.Buttons) << " " << int(c.Mods);
    }
}

// ---- Dropped files ---------------------------------------------------------------------------

TEST_F(ToolkitDragDropTest, DroppedFileFiresOnDropFileAndLoadsEveryPage)
{
    const QString gif = Fixture("three.gif", MakeGif(3, true));
    auto c = Control("Image");
    EXPECT_FALSE(c->acceptDrops());
    std::unique_ptr<QMimeData> files(FileUrls({QStringLiteral("http://example.invalid/a.gif"), gif, dir.filePath("b.gif")}));
    EXPECT_EQ(DragOnto(c.get(), files.get(), Qt::CopyAction), Qt::IgnoreAction) << "files are refused by default";

    c->SetDropFilesAllowed(true);
    EXPECT_TRUE(c->acceptDrops());
    QStringList dropped;
    c->OnDropFile = [&](TObject* sender, const QString& name) {
        EXPECT_EQ(sender, c.get());
        dropped << name;
    };
    // A file manager that proposes a move gets a copy: the file is opened, not taken away.
    EXPECT_EQ(DragOnto(c.get(), files.get(), Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
    EXPECT_EQ(dropped, QStringList{gif});
    EXPECT_EQ(c->LastResult, 1);
    EXPECT_EQ(c->HasBitmap, 1);
    EXPECT_EQ(ListCount(*c), 3);

    // Without DropAutoLoad only the event fires.
    auto d = Control("Other");
    d->SetDropFilesAllowed(true);
    d->SetDropAutoLoad(false);
    int events = 0;
    d->OnDropFile = [&](TObject*, const QString&) { ++events; };
    EXPECT_EQ(DragOnto(d.get(), files.get(), Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(d->HasBitmap, 0);

    c->SetDropFilesAllowed(false);
    EXPECT_FALSE(c->acceptDrops());
}

TEST_F(ToolkitDragDropTest, DroppedFileThatCannotBeLoadedSetsLastResultWithoutRaising)
{
    auto c = Control("Image");
    c->SetDropFilesAllowed(true);
    static const char damagedPng[] = "\x89PNG\r\n\x1a\n garbage";
    const QString damaged = Fixture("damaged.png", QByteArray(damagedPng, sizeof damagedPng - 1));
    std::unique_ptr<QMimeData> files(FileUrls({damaged}));
    EXPECT_EQ(DragOnto(c.get(), files.get(), Qt::CopyAction), Qt::CopyAction);
    EXPECT_NE(c->LastResult, 1);
    EXPECT_EQ(c->HasBitmap, 0);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ToolkitDragDropTest, OverlongDroppedNameIsNotCutShort)
{
    // A name cut at the limit would be another file; such a drop is left alone.
    QString deep = dir.path();
    while (deep.size() < 250)
        deep += QStringLiteral("/abcdefghij");
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString longName = deep + QStringLiteral("/picture.gif");
    WriteFile(longName, MakeGif(1, false));
    ASSERT_GT(longName.size(), 257);

    auto c = Control("Image");
    c->SetDropFilesAllowed(true);
    int events = 0;
    c->OnDropFile = [&](TObject*, const QString&) { ++events; };
    std::unique_ptr<QMimeData> files(FileUrls({longName}));
    DragOnto(c.get(), files.get(), Qt::CopyAction);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(c->HasBitmap, 0);
}

// ---- Dragging pictures between controls ------------------------------------------------------

class ToolkitOleDragTest : public ToolkitDragDropTest {
protected:
    void SetUp() override
    {
        ToolkitDragDropTest::SetUp();
        source = Control("Source");
        target = Control("Target");
        source->SetEnableOLEDragMethod(true);
        target->SetEnableOLEDragMethod(true);
        ASSERT_EQ(source->Load(Fixture("pic.png", EncodeWith(Pattern(12, 10), "PNG")), 0, 1, 1), 1);
    }
    std::unique_ptr<TToolkitImage> source, target;
};

TEST_F(ToolkitOleDragTest, StartingADragNeedsTheLeftButtonThePermissionAndAPicture)
{
    int loops = 0;
    SetToolkitDragLoop([&](TToolkitImage&, std::unique_ptr<TDataObject>, TDropSource&, Qt::DropActions) {
        ++loops;
        return int(TKDD_Cancel);
    });
    EXPECT_FALSE(StartDrag(*source, mbRight));
    EXPECT_FALSE(StartDrag(*target, mbLeft)) << "no picture";
    source->SetEnableOLEDragMethod(false);
    EXPECT_FALSE(StartDrag(*source, mbLeft));
    EXPECT_FALSE(source->acceptDrops());
    EXPECT_EQ(loops, 0);
    source->SetEnableOLEDragMethod(true);
    EXPECT_TRUE(source->acceptDrops());
    EXPECT_TRUE(StartDrag(*source, mbLeft));
    EXPECT_EQ(loops, 1);
}

TEST_F(ToolkitOleDragTest, ALeftPressStartsTheDragInsteadOfTheUsualMouseHandling)
{
    int loops = 0;
    SetToolkitDragLoop([&](TToolkitImage&, std::unique_ptr<TDataObject>, TDropSource&, Qt::DropActions) {
        ++loops;
        return int(TKDD_Drop);
    });
    QList<int> pressed;
    source->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int, int) { pressed << int(button); };
    const auto press = [&](Qt::MouseButton button) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(4, 4), source->mapToGlobal(QPointF(4, 4)), button, button,
                      Qt::NoModifier);
        QApplication::sendEvent(source.get(), &e);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(4, 4), source->mapToGlobal(QPointF(4, 4)), button,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(source.get(), &up);
    };
    press(Qt::LeftButton);
    EXPECT_EQ(loops, 1);
    EXPECT_TRUE(pressed.isEmpty());
    press(Qt::RightButton);
    EXPECT_EQ(loops, 1);
    EXPECT_EQ(pressed, QList<int>{mbRight});
}

TEST_F(ToolkitOleDragTest, DropOnAnotherControlCopiesThePictureAndFiresTheDragEvents)
{
    QStringList events;
    const auto record = [&](const char* what) {
        return [&events, what](TMouseButton b, TShiftState s, int x, int y) {
            events << QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(what)).arg(int(b)).arg(int(s)).arg(x).arg(y);
        };
    };
    target->OnOLEStartDrag = record("start");
    target->OnOLEDragOver = record("over");
    target->OnOLECompleteDrag = record("complete");
    Qt::DropAction answered = Qt::IgnoreAction;
    int requests = -1;
    Qt::DropActions offeredSeen;
    SetToolkitDragLoop([&](TToolkitImage& from, std::unique_ptr<TDataObject> data, TDropSource&, Qt::DropActions offered) {
        EXPECT_EQ(&from, source.get());
        offeredSeen = offered;
        answered = DragOnto(target.get(), data.get(), offered, {7, 3});
        requests = data->Requests();
        return int(TKDD_Drop);
    });
    source->LastResult = 42;
    EXPECT_TRUE(StartDrag(*source, mbLeft));
    EXPECT_EQ(offeredSeen, Qt::CopyAction | Qt::MoveAction);
    EXPECT_EQ(answered, Qt::MoveAction);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(source->LastResult, 42) << "a drag that ends leaves LastResult alone";
    const int shift = int(TShiftState(ssLeft) | ssShift);
    EXPECT_EQ(events, (QStringList{QStringLiteral("start 0 %1 7 3").arg(shift), QStringLiteral("over 0 %1 7 3").arg(shift),
                                   QStringLiteral("complete 0 %1 7 3").arg(shift)}));
    ASSERT_EQ(target->HasBitmap, 1);
    EXPECT_EQ(target->ToolkitBitmap.Width, 12);
    EXPECT_EQ(target->ToolkitBitmap.Height, 10);
    EXPECT_EQ(*target->ToolkitBitmap.Pixels, *source->ToolkitBitmap.Pixels);
    EXPECT_EQ(source->HasBitmap, 1);
}

TEST_F(ToolkitOleDragTest, DropOnItsOwnSourceDoesNotAskForTheDataAgain)
{
    int completed = 0;
    source->OnOLECompleteDrag = [&](TMouseButton, TShiftState, int, int) { ++completed; };
    int requests = -1;
    Qt::DropAction answered = Qt::IgnoreAction;
    SetToolkitDragLoop([&](TToolkitImage& from, std::unique_ptr<TDataObject> data, TDropSource&, Qt::DropActions offered) {
        answered = DragOnto(&from, data.get(), offered);
        requests = data->Requests();
        return int(TKDD_Drop);
    });
    const auto pixels = source->ToolkitBitmap.Pixels;
    EXPECT_TRUE(StartDrag(*source, mbLeft));
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(answered, Qt::MoveAction);
    EXPECT_EQ(source->ToolkitBitmap.Pixels, pixels);
}

TEST_F(ToolkitOleDragTest, EscapeCancelsAndAFailedDragSetsLastResultZeroWithoutRaising)
{
    SetToolkitDragLoop([&](TToolkitImage&, std::unique_ptr<TDataObject>, TDropSource& dropSource, Qt::DropActions) {
        EXPECT_EQ(dropSource.QueryContinueDrag(false, TKKS_LeftButton), TKDD_Ok);
        return dropSource.QueryContinueDrag(true, TKKS_LeftButton);
    });
    source->LastResult = 42;
    EXPECT_TRUE(StartDrag(*source, mbLeft));
    EXPECT_EQ(source->LastResult, 42);

    SetToolkitDragLoop([](TToolkitImage&, std::unique_ptr<TDataObject>, TDropSource&, Qt::DropActions) {
        return int(TKDD_ErrFailed);
    });
    ASSERT_TRUE(source->EnableMethodErrors());
    EXPECT_EQ(Raised([&] { StartDrag(*source, mbLeft); }), QString());
    EXPECT_EQ(source->LastResult, 0);
}

TEST_F(ToolkitOleDragTest, DropSourceFeedbackAndContinuation)
{
    SetToolkitDragLoop([&](TToolkitImage&, std::unique_ptr<TDataObject>, TDropSource& dropSource, Qt::DropActions) {
        // Without the left button at the start, a release of it does not drop.
        EXPECT_EQ(dropSource.QueryContinueDrag(false, 0), TKDD_Ok);
        EXPECT_EQ(dropSource.GiveFeedback(Qt::MoveAction), TKDD_UseDefaultCursors);
        source->OnOLEGiveFeedback = [](bool& useDefault) {
            EXPECT_TRUE(useDefault);
            useDefault = false;
        };
        EXPECT_EQ(dropSource.GiveFeedback(Qt::MoveAction), TKDD_Ok);
        return int(TKDD_Drop);
    });
    EXPECT_TRUE(StartDrag(*source, mbLeft));
}

TEST_F(ToolkitOleDragTest, DataIsGivenOnlyWhileTheOwnerAllowsDragging)
{
    const QLatin1String format(kToolkitBitmapMimeType);
    TDataObject data(source.get());
    EXPECT_TRUE(data.hasFormat(format));
    EXPECT_FALSE(data.data(format).isEmpty());
    EXPECT_TRUE(data.data(QStringLiteral("text/plain")).isEmpty());
    source->SetEnableOLEDragMethod(false);
    EXPECT_TRUE(data.data(format).isEmpty());
    source->SetEnableOLEDragMethod(true);
    data.Detach();
    EXPECT_TRUE(data.data(format).isEmpty());
}

TEST_F(ToolkitOleDragTest, DropsOfOtherDataOrWithoutPermissionTakeNothing)
{
    // Text offered for a move: the target answers the effect but finds no bitmap to take.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    int completed = 0;
    target->OnOLECompleteDrag = [&](TMouseButton, TShiftState, int, int) { ++completed; };
    EXPECT_EQ(DragOnto(target.get(), &text, Qt::CopyAction | Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(completed, 0);
    EXPECT_EQ(target->HasBitmap, 0);

    // A bitmap block that is not one is refused with an error, and the control stays empty.
    QMimeData bogus;
    static const char bogusBlock[] = "tkbm\x18\0\0\0\x01\x02\x03\x04\x05\x06\x07\x08";
    bogus.setData(QLatin1String(kToolkitBitmapMimeType), QByteArray(bogusBlock, sizeof bogusBlock - 1));
    EXPECT_EQ(DragOnto(target.get(), &bogus, Qt::CopyAction), Qt::IgnoreAction);
    EXPECT_EQ(target->HasBitmap, 0);
    EXPECT_EQ(shown.size(), 1);

    // With the drag method off the control does not take drops at all.
    target->SetEnableOLEDragMethod(false);
    completed = 0;
    QMimeData block;
    block.setData(QLatin1String(kToolkitBitmapMimeType), source->OCXBitmap());
    EXPECT_EQ(DragOnto(target.get(), &block, Qt::CopyAction), Qt::IgnoreAction);
    EXPECT_EQ(completed, 0);
}

// ---- URL download ----------------------------------------------------------------------------

// A tiny web server on 127.0.0.1: /pic.png the picture, /drop.png half of it and then the
// connection drops, /stall.png a part of it and then nothing more, /slow.gif the first SplitAt
// bytes and the rest after a pause; any other path is 404.
class TTestServer : public QObject {
public:
    explicit TTestServer(QByteArray picture) : picture_(std::move(picture))
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { Answer(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString Url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QLatin1String(path));
    }
    int Requests = 0;
    qsizetype SplitAt = 0;
    bool RestSent = false;

private:
    void Answer(QTcpSocket* s)
    {
        QByteArray& request = pending_[s];
        request += s->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        ++Requests;
        const QByteArray path = request.split(' ').value(1);
        const auto head = [&](const char* status, qsizetype length) {
            s->write(QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: image/png\r\nContent-Length: " +
                     QByteArray::number(length) + "\r\nConnection: close\r\n\r\n");
        };
        if (path == "/pic.png") {
            head("200 OK", picture_.size());
            s->write(picture_);
            s->disconnectFromHost();
        } else if (path == "/drop.png") {
            head("200 OK", picture_.size());
            s->write(picture_.left(picture_.size() / 2));
            s->flush();
            s->abort();
        } else if (path == "/slow.gif") {
            head("200 OK", picture_.size());
            s->write(picture_.left(SplitAt));
            s->flush();
            QTimer::singleShot(300, s, [this, s] {
                RestSent = true;
                s->write(picture_.mid(SplitAt));
                s->disconnectFromHost();
            });
        } else if (path == "/stall.png") {
            head("200 OK", picture_.size());
            s->write(picture_.left(20));
        } else {
            const QByteArray page("<html><body>Not here</body></html>");
            s->write(QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: ") +
                     QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page);
            s->disconnectFromHost();
        }
    }
    QTcpServer server_;
    QByteArray picture_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

class ToolkitDownloadTest : public ToolkitDragDropTest {
protected:
    void SetUp() override
    {
        ToolkitDragDropTest::SetUp();
        c = Control("Image");
        c->OnReadyStateChanged = [this](TObject*, TToolkitImage::TReadyState state) { states << int(state); };
        c->OnBitmapDataPathClosed = [this] { ++closed; };
    }
    void WaitUntilComplete()
    {
        ASSERT_TRUE(WaitFor([&] { return c->ReadyState() == TToolkitImage::rsComplete; }));
    }
    std::unique_ptr<TToolkitImage> c;
    QList<int> states;
    int closed = 0;
};

TEST_F(ToolkitDownloadTest, EmptyPathClearsFiresClosedAndRaisesWithCodeZero)
{
    ASSERT_EQ(c->Load(Fixture("pic.png", EncodeWith(Pattern(4, 3), "PNG")), 0, 1, 1), 1);
    const QString message = Raised([&] { c->SetBitmapDataPath(QString()); });
    EXPECT_TRUE(message.contains(QLatin1String("Error code: 0\nBitmapDataPath: "))) << message.toStdString();
    EXPECT_EQ(c->LastResult, 0);
    EXPECT_EQ(c->HasBitmap, 0);
    EXPECT_EQ(c->BitmapList, 0u);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(states.isEmpty());

    c->SetEnableMethodErrors(false);
    EXPECT_EQ(Raised([&] { c->SetBitmapDataPath(QString()); }), QString());
    EXPECT_EQ(c->LastResult, 0);
    EXPECT_EQ(closed, 2);
    // Not a URL and not a file of this system: nothing to download.
    c->SetBitmapDataPath(QStringLiteral("relative/name.png"));
    EXPECT_EQ(c->LastResult, 0);
    EXPECT_EQ(c->ReadyState(), TToolkitImage::rsComplete);
}

TEST_F(ToolkitDownloadTest, RefusedWhileTheControlIsProcessing)
{
    const QString gif = Fixture("two.gif", MakeGif(2, true));
    c->SetEnableProgressEvent(true);
    QString message;
    c->OnStatus = [&](TObject*, int) {
        if (message.isEmpty())
            message = Raised([&] { c->SetBitmapDataPath(QStringLiteral("http://127.0.0.1:1/x.png")); });
    };
    EXPECT_EQ(c->Load(gif, 0, 1, -1), 1);
    EXPECT_EQ(message, QStringLiteral("Image: Can Not be Interruptted"));
    EXPECT_EQ(ListCount(*c), 2) << "the load went on";
}

TEST_F(ToolkitDownloadTest, DownloadsThePictureThroughTheFeedLoad)
{
    const QByteArray png = EncodeWith(Pattern(30, 20), "PNG");
    TTestServer server(png);
    c->SetEnableProgressEvent(true);
    QList<int> percents;
    c->OnStatus = [&](TObject*, int percent) { percents << percent; };
    c->SetBitmapDataPath(server.Url("/pic.png"));
    EXPECT_EQ(c->LastResult, 1);
    EXPECT_EQ(c->ReadyState(), TToolkitImage::rsLoading);
    EXPECT_EQ(states, QList<int>{TToolkitImage::rsLoading});
    EXPECT_EQ(closed, 0);
    WaitUntilComplete();
    EXPECT_EQ(states, (QList<int>{TToolkitImage::rsLoading, TToolkitImage::rsComplete}));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(c->LastResult, 1);
    ASSERT_EQ(c->HasBitmap, 1);
    EXPECT_EQ(c->ToolkitBitmap.Width, 30);
    EXPECT_EQ(c->ToolkitBitmap.Height, 20);
    ASSERT_FALSE(percents.isEmpty());
    EXPECT_TRUE(percents.contains(100));
    EXPECT_EQ(c->BitmapDataPath(), server.Url("/pic.png"));

    // A path of this file system is read the same way.
    const QString file = Fixture("three.gif", MakeGif(3, true));
    for (const QString& path : {file, QUrl::fromLocalFile(file).toString()}) {
        c->SetBitmapDataPath(path);
        WaitUntilComplete();
        EXPECT_EQ(c->LastResult, 1) << path.toStdString();
        EXPECT_EQ(ListCount(*c), 3) << path.toStdString();
    }
}

TEST_F(ToolkitDownloadTest, PagesOfAGifArriveWhileItDownloads)
{
    const QByteArray gif = MakeGif(2, true);
    TTestServer server(gif);
    // The second frame begins with its graphic control block; the first has arrived whole there.
    server.SplitAt = gif.indexOf("\x21\xF9\x04", gif.indexOf("\x21\xF9\x04") + 1);
    ASSERT_GT(server.SplitAt, 0);
    QList<bool> restSentAtPage;
    c->OnFilePage = [&](TObject*) {
        EXPECT_EQ(c->ReadyState(), TToolkitImage::rsLoading);
        restSentAtPage << server.RestSent;
    };
    c->SetBitmapDataPath(server.Url("/slow.gif"));
    ASSERT_TRUE(WaitFor([&] { return !restSentAtPage.isEmpty(); }));
    EXPECT_EQ(restSentAtPage, QList<bool>{false}) << "the first page before the rest was sent";
    EXPECT_EQ(states, QList<int>{TToolkitImage::rsLoading});
    EXPECT_EQ(c->HasBitmap, 1);
    WaitUntilComplete();
    EXPECT_EQ(restSentAtPage, (QList<bool>{false, true}));
    EXPECT_EQ(c->LastResult, 1);
    EXPECT_EQ(ListCount(*c), 2);
}

TEST_F(ToolkitDownloadTest, NotFoundAndABrokenConnectionEndEmptyOrFailedWithoutRaising)
{
    TTestServer server(EncodeWith(Pattern(64, 64), "PNG"));
    for (const char* path : {"/missing.png", "/drop.png"}) {
        states.clear();
        closed = 0;
        c->SetBitmapDataPath(server.Url(path));
        WaitUntilComplete();
        EXPECT_EQ(states, (QList<int>{TToolkitImage::rsLoading, TToolkitImage::rsComplete})) << path;
        EXPECT_EQ(closed, 1) << path;
        EXPECT_NE(c->LastResult, 1) << path;
        EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_EQ(c->HasBitmap, 0) << "an error page is never taken for the picture";
}

TEST_F(ToolkitDownloadTest, ANewPathOrDestructionAbortsTheRunningDownload)
{
    TTestServer server(EncodeWith(Pattern(64, 64), "PNG"));
    c->SetBitmapDataPath(server.Url("/stall.png"));
    ASSERT_TRUE(WaitFor([&] { return server.Requests == 1; }));
    WaitFor([] { return false; }, 50); // the first bytes arrive
    ASSERT_EQ(c->ReadyState(), TToolkitImage::rsLoading);
    c->SetEnableMethodErrors(false);
    c->SetBitmapDataPath(QString());
    EXPECT_EQ(c->ReadyState(), TToolkitImage::rsComplete);
    EXPECT_EQ(states, (QList<int>{TToolkitImage::rsLoading, TToolkitImage::rsComplete}));
    EXPECT_EQ(closed, 2) << "the aborted download and the empty path";
    EXPECT_EQ(c->HasBitmap, 0);

    states.clear();
    closed = 0;
    c->SetBitmapDataPath(server.Url("/stall.png"));
    ASSERT_TRUE(WaitFor([&] { return server.Requests == 2; }));
    c.reset();
    EXPECT_EQ(states, QList<int>{TToolkitImage::rsLoading}) << "no state change reported while destroyed";
    EXPECT_EQ(closed, 1);
}

} // namespace
