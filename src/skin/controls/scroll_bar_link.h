#pragma once

// Keeps a pair of skinned scroll bars, laid over a control's native scroll bars on the control's
// parent, in step with the native ones: attaching, placing, syncing both ways. The memo and the
// grid follow one set of rules, the list view a looser one (see LinkKind).

#include "framework/types.h"
#include "skin/theme_items.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class TControl;
class TsuiFileTheme;
class TsuiScrollBar;

// The native scroll bar as the link reads it: Max is the last first-visible position (the range
// end minus the page plus one), ThumbLength the thumb's length in pixels.
struct TsuiNativeScrollInfo {
    bool Usable = false;
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Position = 0;
    int ThumbLength = 0;
};

class TsuiScrollBarLink : public QObject {
    Q_OBJECT
public:
    enum LinkKind {
        // Native bars follow the attached ones; bars hide when the control is smaller than them;
        // a bar is shortened by the other attached one; a disabled control disables the bars.
        lkStrict,
        // The list view's rules: native bars are left alone, placement never hides, a bar is
        // shortened only by a visible other one, an unusable native bar hides the skinned one.
        lkLoose,
    };

    // inset: how far the bars lie inside the control's right and bottom edges.
    TsuiScrollBarLink(TControl* control, LinkKind kind, int inset);
    ~TsuiScrollBarLink() override;

    TsuiScrollBar* VScrollBar() const { return vBar_; }
    TsuiScrollBar* HScrollBar() const { return hBar_; }
    void SetVScrollBar(TsuiScrollBar* bar) { Attach(Qt::Vertical, bar); }
    void SetHScrollBar(TsuiScrollBar* bar) { Attach(Qt::Horizontal, bar); }

    // Each attached bar gets the control's effective style: the file when it is used, else the
    // built-in style standing in for it.
    void ApplyStyle(TsuiUIStyle style, TsuiFileTheme* fileTheme);
    void PlaceScrollBars();
    void SyncScrollBars();
    void HideScrollBars();
    // The control was shown or hidden: its bars go with it.
    void FollowVisibility(bool visible);
    bool Syncing() const { return syncing_; }
    bool ScrollingFromBar() const { return scrollingFromBar_; }

    // What the control supplies.
    std::function<TsuiNativeScrollInfo(Qt::Orientation)> NativeInfo;
    // Scrolls the control for a bar the user moved.
    std::function<void(Qt::Orientation, TsuiScrollBar*)> ScrollFromBar;
    // The control's own ScrollBars property from the attached bars (strict links only).
    std::function<void(bool horizontal, bool vertical)> SetNativeScrollBars;

    // Watches a widget for the events after which the bars are synced again (keys, mouse, wheel);
    // the control itself is watched from the start. The control places the bars after its
    // moves, resizes and showing, hides them when it hides, and syncs them when it is enabled
    // or disabled.
    void WatchInput(QWidget* widget);

    // Thumb length in pixels of a Qt scroll bar as the style draws it.
    static int ThumbLength(const QWidget* qtScrollBar);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Attach(Qt::Orientation o, TsuiScrollBar* bar);
    void Release(TsuiScrollBar* bar);
    void UpdateNativeBars();
    void BarChanged(Qt::Orientation o);
    void SyncOne(Qt::Orientation o, TsuiScrollBar* bar);

    TControl* control_;
    LinkKind kind_;
    int inset_;
    QPointer<TsuiScrollBar> vBar_;
    QPointer<TsuiScrollBar> hBar_;
    bool syncing_ = false;
    bool scrollingFromBar_ = false;
    bool leftDown_ = false;
};
