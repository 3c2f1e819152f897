#pragma once

// The helpers of the toolkit image control's drag and drop and URL download: the drop target,
// the data object that carries a dragged bitmap, the drop source, and the download's callback.
// Each holds its owner control; the control makes them, keeps them while they are in use and
// forgets them afterwards.
//
// A dragged bitmap travels under a private MIME type as the control's bitmap block (OCXBitmap).
// Results follow the drag protocol: 0 for done, the drop and cancel codes below, or a failure code
// (below 0).

#include "framework/controls.h"
#include "framework/types.h"

#include <QMimeData>
#include <QObject>
#include <QPixmap>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

class QDrag;
class QIODevice;
class QNetworkReply;
class TToolkitImage;

// The private MIME type of a toolkit bitmap block.
inline const char* const kToolkitBitmapMimeType = "application/x-brelnova-toolkit-bitmap";

enum : int32_t {
    TKDD_Ok = 0,
    TKDD_Drop = 0x40100,            // the drag loop ends with a drop
    TKDD_Cancel = 0x40101,          // the drag loop ends without one
    TKDD_UseDefaultCursors = 0x40102,
    TKDD_ErrFailed = int32_t(0x80004005),
    TKDD_ErrNoMemory = int32_t(0x8007000E),
    TKDD_ErrFormat = int32_t(0x80040064), // the data is not offered in the asked format
    TKDD_ErrRead = int32_t(0x8003001E),
};

// Key state of a drag: mouse buttons and modifier keys.
enum : uint32_t {
    TKKS_LeftButton = 0x01,
    TKKS_RightButton = 0x02,
    TKKS_Shift = 0x04,
    TKKS_Control = 0x08,
    TKKS_MiddleButton = 0x10,
    TKKS_Alt = 0x20,
};

uint32_t DragKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// Button and Shift of OnOLEStartDrag, OnOLEDragOver and OnOLECompleteDrag. Shift starts as
// {ssLeft}; the left button adds ssShift, the right button ssCtrl and the Shift key ssAlt, as the
// control has always reported them. Button: middle, else right, else left.
void DragButtonAndShift(uint32_t keyState, TMouseButton& button, TShiftState& shift);
// The effect a drop target answers: with drops allowed, copy when the source offers copy and
// nothing else, else move, link or none as offered; none when drops are not allowed.
Qt::DropActions ChooseDropEffect(bool dropsAllowed, Qt::DropActions offered);

// Receives drags over the control while EnableOLEDragMethod is set. `effect` comes in as what the
// source offers and goes out as what the target does.
class TDropTarget {
public:
    explicit TDropTarget(TToolkitImage* owner) : owner_(owner) {}
    int DragEnter(const QMimeData* data, uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect);
    int DragOver(uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect);
    int DragLeave();
    // Takes the dragged bitmap into the owner, unless the owner itself started the drag.
    int Drop(const QMimeData* data, uint32_t keyState, TPoint screenPoint, Qt::DropActions& effect);

private:
    Qt::DropActions Effect(Qt::DropActions offered) const;
    TToolkitImage* owner_;
};

// The data of a drag that starts on a control: its bitmap block, made only when a target asks
// for it, and only while the owner allows dragging.
class TDataObject : public QMimeData {
public:
    explicit TDataObject(TToolkitImage* owner);
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // How many times a target asked for the bitmap block.
    int Requests() const { return requests_; }
    // After the drag the owner is forgotten: a late request gets nothing.
    void Detach() { owner_.clear(); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QPointer<QObject> owner_;
    mutable int requests_ = 0;
};

// The source's side of a drag the control started.
class TDropSource {
public:
    explicit TDropSource(TToolkitImage* owner) : owner_(owner) {}
    // Escape cancels; the left button released after a drag with the left button drops; else the
    // drag goes on (TKDD_Ok).
    int QueryContinueDrag(bool escapePressed, uint32_t keyState);
    // Fires OnOLEGiveFeedback; TKDD_UseDefaultCursors unless the handler asks for the control's own
    // drag cursor.
    int GiveFeedback(Qt::DropActions effect);
    // The running drag, whose cursor GiveFeedback sets (none under a replaced drag loop).
    QDrag* Drag = nullptr;

private:
    TToolkitImage* owner_;
};

// The drag loop: runs a drag of `data` from `source` offering `offered`, and answers TKDD_Drop,
// TKDD_Cancel or a failure code. The system's loop is Qt's; tests replace it (the offscreen
// platform has no drag loop). An empty loop restores the system's.
using TToolkitDragLoop = std::function<int(TToolkitImage& source, std::unique_ptr<TDataObject> data,
                                           TDropSource& dropSource, Qt::DropActions offered)>;
void SetToolkitDragLoop(TToolkitDragLoop loop);

// Follows one download for its control: the arriving data goes to the control's feed load, the
// progress to OnStatus, the end to the control's end routine.
class TBindStatusCallBack : public QObject {
public:
    TBindStatusCallBack(TToolkitImage* owner, QObject* parent);
    // Keeps the binding and runs the control's start routine; raises what the start raises.
    int OnStartBinding(QNetworkReply* binding);
    // status 5: progress of maximum; status 10: the whole came from a cache.
    int OnProgress(int64_t progress, int64_t maximum, int status);
    // The binding is over: the control's end routine runs.
    int OnStopBinding(bool failed);
    // Reads up to `size` bytes that arrived and feeds them; a failed feed aborts the download.
    int OnDataAvailable(QIODevice* stream, int64_t size);
    // Stops the binding without its end being reported to this object.
    void Abort();
    bool TransferFailed() const;

    enum : int { BindStatusDownloading = 5, BindStatusFromCache = 10 };

private:
    void Connect();
    TToolkitImage* owner_;
    QPointer<QNetworkReply> binding_;
};
