#pragma once

// The drawn window frame the skinned forms share. A skinned window has no native frame or caption
// (it is frameless); its form keeps a ring of Inset pixels around its client area that stands for
// the frame: the skinned form paints it in the theme's colours, continuing the title bar's
// pictures over its top rows, cuts the window's top corners round, and lets the user resize the
// window at its edges.

#include "framework/types.h"

#include <QObject>
#include <functional>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QKeyEvent;
class QPainter;
class QRegion;
class QWidget;
class TForm;
class TsuiTitleBar;

// The width of the frame ring around a skinned window's client area.
inline constexpr int SkinFrameInset = 3;

// What the frame ring shows.
struct TsuiFrameSpec {
    int Inset = SkinFrameInset;
    int BorderWidth = 1;
    TColor BorderColor = 0;
    // The inner part of the ring (the window's colour, or the MDI frame's menu-bar colour).
    TColor InnerColor = 0;
    // The title bar whose pictures continue over the ring, with its place in window coordinates
    // and the offsets at which it draws its pictures; none when hidden.
    TsuiTitleBar* TitleBar = nullptr;
    QRect TitleRect;
    QPoint TitleOffset;
    // The menu bar's rows in window coordinates (empty when none), whose colour the ring takes
    // beside it.
    QRect MenuBarRect;
    TColor MenuBarColor = 0;
    int RoundCorner = 0;
};

// Paints the ring of a window of the given size.
void PaintSkinnedFrame(QPainter& painter, const QSize& size, const TsuiFrameSpec& frame);

// The window's shape: a rectangle whose top corners are cut round with corners of size r (an
// r x r ellipse), the bottom corners square. r <= 0 gives the plain rectangle.
QRegion RoundTopRegion(int width, int height, int r);

// The edges of a window of the given size that a press at p grabs: within inset of an edge, with
// corners taking both edges within a longer grip along them.
Qt::Edges FrameEdgesAt(const QSize& size, const QPoint& p, int inset);

// Makes the form a frameless window (or its MDI sub-window frameless, keeping the form's size),
// or gives it its native frame back. Nothing when it already is as asked.
void SetFormFrameless(TForm* form, bool frameless);

// Resizing a window at its frame: the system resizes top-level windows where it can; MDI children
// and platforms without that go through our own loop, which keeps the opposite edges in place and
// respects the form's minimum size.
class TsuiEdgeResizer {
public:
    // Starts a resize of form at edges from the global position; true when something started.
    bool Begin(TForm* form, Qt::Edges edges, const QPoint& globalPos);
    // Follows the mouse during our own loop; false when no loop runs.
    bool Move(const QPoint& globalPos);
    void End() { form_ = nullptr; }
    bool Active() const { return form_ != nullptr; }

private:
    QPointer<TForm> form_;
    Qt::Edges edges_;
    QPoint start_;
    QRect startBounds_;
};

// The mouse on a skinned window's frame: over a sizeable, normal window's edges the cursor shows
// the resize direction, a press starts resizing and the resizer follows until the release.
// edgeCursor remembers whether the cursor is ours to take back. True when the event was used.
bool HandleFrameMouse(TForm* form, QEvent* e, TsuiEdgeResizer& resizer, bool& edgeCursor);

// The application-wide key hook of one skinned window: every key press of the program passes it
// before the focused control sees it; the handler answers true to swallow the key. Several hooks
// live side by side (one per skinned window), each acting only for keys of its own window. A key
// passes only once, although it travels on to the parents of a control that ignores it.
class TsuiApplicationKeys : public QObject {
public:
    using THandler = std::function<bool(QWidget* target, QKeyEvent* e)>;
    explicit TsuiApplicationKeys(THandler handler);
    ~TsuiApplicationKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    THandler handler_;
    const QEvent* last_ = nullptr;
    QPointer<QWidget> lastTarget_;
    quint64 seen_ = 0;
    quint64 lastSeen_ = 0;
};

// The form a widget lies on (the nearest form among it and its parents).
TForm* FormOfWidget(QObject* widget);
