// Drag and drop and URL download of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/application.h"
#include "imaging/toolkit/toolkit_dragdrop.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// A dropped name longer than this is not taken: cut short it would name another file.
constexpr int kMaxDroppedName = 257;
// Arriving data is read and fed in pieces of at most this size.
constexpr int64_t kFeedPiece = 64 * 1024;

TToolkitDragLoop& ReplacedDragLoop()
{
    static TToolkitDragLoop loop;
    return loop;
}

int SystemDragLoop(TToolkitImage& source, std::unique_ptr<TDataObject> data, TDropSource& dropSource,
                   Qt::DropActions offered)
{
    QPointer<QDrag> drag = new QDrag(&source);
    drag->setMimeData(data.release()); // the drag owns it from here
    dropSource.Drag = drag;
    QObject::connect(drag.data(), &QDrag::actionChanged, drag.data(),
                     [&dropSource](Qt::DropAction action) { dropSource.GiveFeedback(action); });
    // Qt's loop keeps the rule of QueryContinueDrag itself: Escape cancels, releasing the button
    // drops. A drop nobody took and a cancelled drag both leave the picture as it is.
    const Qt::DropAction done = drag->exec(offered, Qt::CopyAction);
    dropSource.Drag = nullptr;
    if (drag)
        drag->deleteLater();
    return done == Qt::IgnoreAction ? TKDD_Cancel : TKDD_Drop;
}

bool Failed(int result)
{
    return result < 0;
}

// Sets a flag for the length of a scope and puts its value back, however the scope ends.
class TFlagSetting {
public:
    TFlagSetting(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~TFlagSetting() { flag_ = saved_; }
    TFlagSetting(const TFlagSetting&) = delete;
    TFlagSetting& operator=(const TFlagSetting&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// The first local file of a drop, or an empty text when there is none or its name is too long.
QString FirstDroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString name = url.toLocalFile();
        return name.size() <= kMaxDroppedName ? name : QString();
    }
    return QString();
}

// A path is either an absolute URL or a file of the local file system.
QUrl DownloadUrl(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(path);
    QUrl url(path, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.scheme().size() < 2)
        return QUrl();
    return url;
}

Qt::DropAction SingleAction(Qt::DropActions effect)
{
    if (effect & Qt::CopyAction)
        return Qt::CopyAction;
    if (effect & Qt::MoveAction)
        return Qt::MoveAction;
    if (effect & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

} // namespace

// ---- State -----------------------------------------------------------------------------------

struct TToolkitImage::TDragDropState {
    std::unique_ptr<TDropTarget> DropTarget;   // while EnableOLEDragMethod is set
    std::unique_ptr<TDropSource> DropSource;   // during a drag this control started
    bool SourceActive = false;                 // this control started the running drag
    bool LeftButton = false;                   // ... with the left button down
    QPixmap DragCursor;
    TReadyState ReadyState = rsComplete;
    std::unique_ptr<QNetworkAccessManager> Network;
    TBindStatusCallBack* Callback = nullptr;   // of the running download; a child of Network
};

// ---- Protocol helpers ------------------------------------------------------------------------

uint32_t DragKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    uint32_t state = 0;
    if (buttons & Qt::LeftButton)
        state |= TKKS_LeftButton;
    if (buttons & Qt::RightButton)
        state |= TKKS_RightButton;
    if (buttons & Qt::MiddleButton)
        state |= TKKS_MiddleButton;
    if (modifiers & Qt::ShiftModifier)
        state |= TKKS_Shift;
    if (modifiers & Qt::ControlModifier)
        state |= TKKS_Control;
    if (modifiers & Qt::AltModifier)
        state |= TKKS_Alt;
    return state;
}

void DragButtonAndShift(uint32_t keyState, TMouseButton& button, TShiftState& shift)
{
    shift = TShiftState(ssLeft);
    if (keyState & TKKS_LeftButton)
        shift |= ssShift;
    if (keyState & TKKS_RightButton)
        shift |= ssCtrl;
    if (keyState & TKKS_Shift)
        shift |= ssAlt;
    button = (keyState & TKKS_MiddleButton) ? mbMiddle : (keyState & TKKS_RightButton) ? mbRight : mbLeft;
}

Qt::DropActions ChooseDropEffect(bool dropsAllowed, Qt::DropActions offered)
{
    if (!dropsAllowed)
        return Qt::IgnoreAction;
    const Qt::DropActions known = offered & (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    if (known == Qt::CopyAction)
        return Qt::CopyAction;
    if (known & Qt::MoveAction)
        return Qt::MoveAction;
    if (known & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

void SetToolkitDragLoop(TToolkitDragLoop loop)
{
    ReplacedDragLoop() = std::move(loop);
}

// ---- Drop target -----------------------------------------------------------------------------

Qt::DropActions TDropTarget::Effect(Qt::DropActions offered) const
{
    return ChooseDropEffect(owner_->enableOLEDragMethod_ || owner_->dropFilesAllowed_, offered);
}

int TDropTarget::DragEnter(const QMimeData*, uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect)
{
    effect = Effect(effect);
    if (owner_->enableOLEDragMethod_) {
        TMouseButton button;
        TShiftState shift;
        DragButtonAndShift(keyState, button, shift);
        const TPoint p = owner_->ScreenToClient(screenPoint);
        owner_->Fire(owner_->OnOLEStartDrag, button, shift, p.X, p.Y);
    }
    return TKDD_Ok;
}

int TDropTarget::DragOver(uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect)
{
    effect = Effect(effect);
    if (owner_->enableOLEDragMethod_) {
        TMouseButton button;
        TShiftState shift;
        DragButtonAndShift(keyState, button, shift);
        const TPoint p = owner_->ScreenToClient(screenPoint);
        owner_->Fire(owner_->OnOLEDragOver, button, shift, p.X, p.Y);
    }
    return TKDD_Ok;
}

int TDropTarget::DragLeave()
{
    return TKDD_Ok;
}

int TDropTarget::Drop(const QMimeData* data, uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect)
{
    const Qt::DropActions offered = effect;
    effect = Effect(offered);
    if (!owner_->enableOLEDragMethod_ || !(offered & (Qt::CopyAction | Qt::MoveAction)))
        return TKDD_Ok;
    // A drop on the control the drag started from has the picture already.
    if (!owner_->DragDropState().SourceActive) {
        const QLatin1String format(kToolkitBitmapMimeType);
        const QByteArray block = data && data->hasFormat(format) ? data->data(format) : QByteArray();
        if (block.isEmpty()) {
            effect = Qt::IgnoreAction;
            return TKDD_ErrFormat;
        }
        owner_->SetOCXBitmap(block);
    }
    TMouseButton button;
    TShiftState shift;
    DragButtonAndShift(keyState, button, shift);
    const TPoint p = owner_->ScreenToClient(screenPoint);
    owner_->Fire(owner_->OnOLECompleteDrag, button, shift, p.X, p.Y);
    return TKDD_Ok;
}

// ---- Data object -----------------------------------------------------------------------------

TDataObject::TDataObject(TToolkitImage* owner) : owner_(owner) {}

QStringList TDataObject::formats() const
{
    return {QLatin1String(kToolkitBitmapMimeType)};
}

bool TDataObject::hasFormat(const QString& mimeType) const
{
    return mimeType == QLatin1String(kToolkitBitmapMimeType);
}

QVariant TDataObject::retrieveData(const QString& mimeType, QMetaType) const
{
    auto* owner = static_cast<TToolkitImage*>(owner_.data());
    if (!owner || !owner->enableOLEDragMethod_ || mimeType != QLatin1String(kToolkitBitmapMimeType))
        return QVariant();
    ++requests_;
    QByteArray block;
    // Qt asks from inside its event handling, where no exception may pass.
    RunGuarded([&] { block = owner->OCXBitmap(); }, owner);
    return block;
}

// ---- Drop source -----------------------------------------------------------------------------

int TDropSource::QueryContinueDrag(bool escapePressed, uint32_t keyState)
{
    if (escapePressed)
        return TKDD_Cancel;
    if (owner_->DragDropState().LeftButton && !(keyState & TKKS_LeftButton))
        return TKDD_Drop;
    return TKDD_Ok;
}

int TDropSource::GiveFeedback(Qt::DropActions effect)
{
    bool useDefaultCursor = true;
    owner_->Fire(owner_->OnOLEGiveFeedback, useDefaultCursor);
    if (useDefaultCursor)
        return TKDD_UseDefaultCursors;
    const QPixmap& cursor = owner_->DragDropState().DragCursor;
    if (Drag && !cursor.isNull())
        Drag->setDragCursor(cursor, SingleAction(effect));
    return TKDD_Ok;
}

// ---- Download callback -----------------------------------------------------------------------

TBindStatusCallBack::TBindStatusCallBack(TToolkitImage* owner, QObject* parent) : QObject(parent), owner_(owner) {}

int TBindStatusCallBack::OnStartBinding(QNetworkReply* binding)
{
    binding_ = binding;
    Connect();
    owner_->DownloadStarted();
    return TKDD_Ok;
}

void TBindStatusCallBack::Connect()
{
    // Qt delivers these from its event loop, where no exception may pass.
    connect(binding_.data(), &QNetworkReply::readyRead, this, [this] {
        RunGuarded([this] { OnDataAvailable(binding_, binding_->bytesAvailable()); }, owner_);
    });
    connect(binding_.data(), &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        RunGuarded([&] { OnProgress(received, total, BindStatusDownloading); }, owner_);
    });
    connect(binding_.data(), &QNetworkReply::finished, this, [this] {
        RunGuarded(
            [this] {
                if (binding_->attribute(QNetworkRequest::SourceIsFromCacheAttribute).toBool())
                    OnProgress(0, 0, BindStatusFromCache);
                if (binding_->bytesAvailable() > 0)
                    OnDataAvailable(binding_, binding_->bytesAvailable());
                if (binding_) // a failed feed has ended the download already
                    OnStopBinding(TransferFailed());
            },
            owner_);
    });
}

bool TBindStatusCallBack::TransferFailed() const
{
    if (!binding_)
        return true;
    if (binding_->error() != QNetworkReply::NoError)
        return true;
    const QVariant status = binding_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 400;
}

int TBindStatusCallBack::OnProgress(int64_t progress, int64_t maximum, int status)
{
    int percent;
    if (status == BindStatusDownloading)
        percent = maximum > 0 ? int(std::clamp<int64_t>(progress, 0, maximum) * 100 / maximum) : 0;
    else if (status == BindStatusFromCache)
        percent = 100;
    else
        return TKDD_Ok;
    if (owner_->enableProgressEvent_)
        owner_->Fire(owner_->OnStatus, owner_, percent);
    return TKDD_Ok;
}

int TBindStatusCallBack::OnStopBinding(bool failed)
{
    if (binding_) {
        binding_->deleteLater();
        binding_ = nullptr;
    }
    owner_->DownloadEnded(failed);
    return TKDD_Ok;
}

int TBindStatusCallBack::OnDataAvailable(QIODevice* stream, int64_t size)
{
    if (!binding_ || !stream)
        return TKDD_Ok;
    if (TransferFailed()) {
        // The body of an error answer is a page about the error, not the picture.
        stream->skip(size);
        return TKDD_Ok;
    }
    while (size > 0 && binding_) {
        const int64_t piece = std::min(size, kFeedPiece);
        std::vector<uint8_t> buffer;
        try {
            buffer.resize(size_t(piece));
        } catch (const std::bad_alloc&) {
            return TKDD_ErrNoMemory;
        }
        const qint64 got = stream->read(reinterpret_cast<char*>(buffer.data()), piece);
        if (got < 0)
            return TKDD_ErrRead;
        if (got == 0)
            break;
        size -= got;
        const int fed = owner_->DownloadFeed(buffer.data(), int(got));
        if (fed != TK_Success) {
            owner_->AbortDownload();
            owner_->LastResult = fed;
            break;
        }
    }
    return TKDD_Ok;
}

void TBindStatusCallBack::Abort()
{
    if (!binding_)
        return;
    QNetworkReply* binding = binding_;
    binding_ = nullptr;
    binding->disconnect(this); // the control finishes the download itself
    binding->abort();
    binding->deleteLater();
}

// ---- Control state -------------------------------------------------------------------------

void TToolkitImage::TDragDropStateDeleter::operator()(TDragDropState* state) const
{
    delete state;
}

TToolkitImage::TDragDropState& TToolkitImage::DragDropState()
{
    if (!dragDropState_)
        dragDropState_.reset(new TDragDropState);
    return *dragDropState_;
}

void TToolkitImage::ShutDownDragDrop()
{
    if (!dragDropState_)
        return;
    TDragDropState& s = *dragDropState_;
    if (s.ReadyState == rsLoading && s.Callback) {
        s.Callback->Abort();
        DownloadEnded(true);
    }
    s.DropTarget.reset();
}

TToolkitImage::TReadyState TToolkitImage::ReadyState() const
{
    return dragDropState_ ? dragDropState_->ReadyState : rsComplete;
}

void TToolkitImage::SetOLEDragCursor(const QPixmap& cursor)
{
    DragDropState().DragCursor = cursor;
}

void TToolkitImage::UpdateAcceptDrops()
{
    setAcceptDrops(dropFilesAllowed_ || (dragDropState_ && dragDropState_->DropTarget));
}

// ---- Dropped files and the drop target -------------------------------------------------------

void TToolkitImage::DropFiles(const QString& name)
{
    Fire(OnDropFile, this, name);
    if (!dropAutoLoad_)
        return;
    try {
        LastResult = Load(name, 0, 1, -1);
    } catch (const Exception&) {
        // Refused while busy: the check has set LastResult, and a drop raises nothing.
    }
}

namespace {

bool IsFileDrop(bool dropFilesAllowed, const QMimeData* data)
{
    return dropFilesAllowed && data && !data->hasFormat(QLatin1String(kToolkitBitmapMimeType)) && data->hasUrls();
}

// A dropped file is opened, never moved: the source must not delete it.
bool AcceptFileDrop(QDropEvent* e)
{
    if (!(e->possibleActions() & Qt::CopyAction)) {
        e->ignore();
        return false;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
    return true;
}

void Answer(QDropEvent* e, int result, Qt::DropActions effect)
{
    const Qt::DropAction action = SingleAction(effect);
    if (Failed(result) || action == Qt::IgnoreAction) {
        e->setDropAction(Qt::IgnoreAction);
        e->ignore();
        return;
    }
    e->setDropAction(action);
    e->accept();
}

} // namespace

void TToolkitImage::dragEnterEvent(QDragEnterEvent* e)
{
    if (IsFileDrop(dropFilesAllowed_, e->mimeData())) {
        AcceptFileDrop(e);
        return;
    }
    TDragDropState& s = DragDropState();
    if (!s.DropTarget) {
        e->ignore();
        return;
    }
    Qt::DropActions effect = e->possibleActions();
    int result = TKDD_ErrFailed;
    RunGuarded(
        [&] {
            result = s.DropTarget->DragEnter(e->mimeData(), DragKeyState(e->buttons(), e->modifiers()),
                                             ClientToScreen(TPoint{e->position().toPoint().x(), e->position().toPoint().y()}),
                                             effect);
        },
        this);
    Answer(e, result, effect);
}

void TToolkitImage::dragMoveEvent(QDragMoveEvent* e)
{
    if (IsFileDrop(dropFilesAllowed_, e->mimeData())) {
        AcceptFileDrop(e);
        return;
    }
    TDragDropState& s = DragDropState();
    if (!s.DropTarget) {
        e->ignore();
        return;
    }
    Qt::DropActions effect = e->possibleActions();
    int result = TKDD_ErrFailed;
    RunGuarded(
        [&] {
            result = s.DropTarget->DragOver(DragKeyState(e->buttons(), e->modifiers()),
                                            ClientToScreen(TPoint{e->position().toPoint().x(), e->position().toPoint().y()}),
                                            effect);
        },
        this);
    Answer(e, result, effect);
}

void TToolkitImage::dragLeaveEvent(QDragLeaveEvent* e)
{
    if (dragDropState_ && dragDropState_->DropTarget)
        dragDropState_->DropTarget->DragLeave();
    e->accept();
}

void TToolkitImage::dropEvent(QDropEvent* e)
{
    const QMimeData* data = e->mimeData();
    if (IsFileDrop(dropFilesAllowed_, data)) {
        if (AcceptFileDrop(e)) {
            const QString name = FirstDroppedFile(data);
            if (!name.isEmpty())
                DropFiles(name);
        }
        return;
    }
    TDragDropState& s = DragDropState();
    if (!s.DropTarget) {
        e->ignore();
        return;
    }
    Qt::DropActions effect = e->possibleActions();
    int result = TKDD_ErrFailed;
    RunGuarded(
        [&] {
            result = s.DropTarget->Drop(data, DragKeyState(e->buttons(), e->modifiers()),
                                        ClientToScreen(TPoint{e->position().toPoint().x(), e->position().toPoint().y()}),
                                        effect);
        },
        this);
    Answer(e, result, effect);
}

// ---- Drag source -----------------------------------------------------------------------------

bool TToolkitImage::MaybeStartOleDrag(TMouseButton button)
{
    if (button != mbLeft || !enableOLEDragMethod_ || !HasBitmap || !IsBitmapAllocated(&ToolkitBitmap))
        return false;
    TDragDropState& s = DragDropState();
    if (s.SourceActive)
        return true; // a press while our own drag runs
    s.SourceActive = true;
    s.LeftButton = (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    s.DropSource = std::make_unique<TDropSource>(this);
    auto data = std::make_unique<TDataObject>(this);
    QPointer<TDataObject> dataRef = data.get();
    QPointer<TToolkitImage> self = this;

    const auto finish = [&] {
        if (dataRef)
            dataRef->Detach();
        if (!self)
            return;
        FreeGlobalBitmapCopy();
        s.DropSource.reset();
        s.SourceActive = false;
        s.LeftButton = false;
    };
    int result;
    try {
        const TToolkitDragLoop& loop = ReplacedDragLoop();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        result = loop ? loop(*this, std::move(data), *s.DropSource, offered)
                      : SystemDragLoop(*this, std::move(data), *s.DropSource, offered);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (self && Failed(result))
        ResultCheck("Drag and Drop Operation", 0, false);
    return true;
}

// ---- URL download ----------------------------------------------------------------------------

int TToolkitImage::StartDownload()
{
    const QUrl url = DownloadUrl(bitmapDataPath_);
    if (!url.isValid())
        return 0;
    TDragDropState& s = DragDropState();
    if (!s.Network)
        s.Network = std::make_unique<QNetworkAccessManager>();
    s.Callback = new TBindStatusCallBack(this, s.Network.get());
    QNetworkReply* reply = s.Network->get(QNetworkRequest(url));
    if (!reply) {
        delete s.Callback;
        s.Callback = nullptr;
        return TK_ErrFileNotFound;
    }
    try {
        s.Callback->OnStartBinding(reply);
    } catch (...) {
        // A download whose picture cannot be taken does not run on.
        if (s.Callback) {
            s.Callback->Abort();
            s.Callback->deleteLater();
            s.Callback = nullptr;
        }
        s.ReadyState = rsComplete;
        throw;
    }
    return TK_Success;
}

void TToolkitImage::DownloadStarted()
{
    TDragDropState& s = DragDropState();
    s.ReadyState = rsLoading;
    int result;
    {
        TFlagSetting errors(enableMethodErrors_, false);
        try {
            result = StartFeedLoad(0, 0, -1);
        } catch (const Exception&) {
            result = LastResult == TK_Success ? TK_Failure : LastResult;
        }
    }
    if (result != TK_Success) {
        if (s.Callback)
            s.Callback->Abort();
        s.ReadyState = rsComplete;
        Fire(OnBitmapDataPathClosed);
        throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\n%3: %4 ")
                                     .arg(MessageName())
                                     .arg(result)
                                     .arg(bitmapDataPath_, ToolkitErrorText(result)));
    }
    Fire(OnReadyStateChanged, this, rsLoading);
}

int TToolkitImage::DownloadFeed(const uint8_t* data, int size)
{
    TFlagSetting errors(enableMethodErrors_, false);
    try {
        return FeedLoad(data, size);
    } catch (const Exception&) {
        return LastResult == TK_Success ? TK_Failure : LastResult;
    }
}

void TToolkitImage::DownloadEnded(bool failed)
{
    TDragDropState& s = DragDropState();
    int result;
    {
        TFlagSetting errors(enableMethodErrors_, false);
        try {
            result = StopFeedLoad();
        } catch (const Exception&) {
            result = LastResult;
        }
    }
    s.ReadyState = rsComplete;
    if (s.Callback) {
        s.Callback->deleteLater();
        s.Callback = nullptr;
    }
    // A transfer that broke off is not a success, whatever arrived before.
    if (failed && result == TK_Success)
        LastResult = TK_ErrReadFile;
    if (!(busy_ & bsDestroying))
        Fire(OnReadyStateChanged, this, rsComplete);
    Fire(OnBitmapDataPathClosed);
}

void TToolkitImage::AbortDownload()
{
    TDragDropState& s = DragDropState();
    if (s.Callback)
        s.Callback->Abort();
    DownloadEnded(true);
    DropImage();
    ResetView();
    if (autoRepaint_)
        Invalidate();
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetBitmapDataPath(const QString& v)
{
    TDragDropState& s = DragDropState();
    if (s.ReadyState == rsLoading && s.Callback)
        AbortDownload();
    // Checked before the image is cleared, so that a refused path leaves the picture alone.
    if (processing_ || (busy_ & bsProcessing))
        throw EToolkitImageError(QStringLiteral("%1: Can Not be Interruptted").arg(MessageName()));
    ClearImage();
    bitmapDataPath_ = v;
    const int result = v.isEmpty() ? 0 : StartDownload();
    if (result != TK_Success) {
        DropImage();
        ImageChanged();
        Fire(OnBitmapDataPathClosed);
    }
    ResultCheck("BitmapDataPath", result);
}

void TToolkitImage::SetDropFilesAllowed(bool v)
{
    if (v != dropFilesAllowed_) {
        dropFilesAllowed_ = v;
        UpdateAcceptDrops();
    }
    LastResult = 1;
}

void TToolkitImage::SetDropAutoLoad(bool v)
{
    dropAutoLoad_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableOLEDragMethod(bool v)
{
    enableOLEDragMethod_ = v;
    TDragDropState& s = DragDropState();
    if (v && !s.DropTarget)
        s.DropTarget = std::make_unique<TDropTarget>(this);
    else if (!v)
        s.DropTarget.reset();
    UpdateAcceptDrops();
    LastResult = 1;
}
