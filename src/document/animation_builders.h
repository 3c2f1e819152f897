#pragma once

// What a document asks of the GIF builder and the animated-cursor builder, which live above the
// document in their own windows. The program installs the builders with SetAnimationBuilders;
// until then (and in tests without them) the hand-over files are written and nothing else
// happens.

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

class QImage;

class TAnimationBuilders {
public:
    virtual ~TAnimationBuilders();

    // The GIF builder window: created on first use, given the main window's skin file and style,
    // shown, and the picture file inserted as new frames after its current frame.
    virtual void InsertGifPicture(const QString& fileName) = 0;
    // The animated-cursor builder window, created when it does not exist: the number of frames
    // its frame image list holds.
    virtual int AniFrameCount() = 0;
    // Shows the animated-cursor builder with the main window's skin and adds the scratch file
    // "ani_ico" + N + ".ico" (N = AniFrameCount() before the call) as its new last frame.
    virtual void AddAniFrame(const QString& marker, const QString& mode) = 0;

    // What the main window asks of the animated-cursor builder and the hot-spot dialog; the
    // defaults do nothing, for tests and builds without the builders.
    // Creates the builder unless it exists.
    virtual void EnsureAniBuilder() {}
    // Shows the builder (created when it does not exist) with the main window's skin.
    virtual void ShowAniBuilder() {}
    // Asks about the builder's unsaved frames ("Save changes to current animation?") before an
    // opened file replaces them; false when the user cancelled.
    virtual bool MayReplaceAniFrames() { return true; }
    // Empties the builder, adds these icon files as its frames with their durations (jiffies,
    // as decimal text) and the hot spots they had as cursors ((-1, -1): none, the builder's own
    // applies) and shows it.
    virtual void HandAniFrames(const QStringList& files, const QStringList& durations, const QList<QPoint>& hotSpots) {}
    // The program is closing: each builder asks about its unsaved work as its own Close does;
    // false when the user cancelled.
    virtual bool CloseQuery() { return true; }
    // Shows the hot-spot dialog for the main window's cursor: picture is drawn in its preview
    // with the mark at the editor's hot spot, and its Apply goes back to the main window.
    virtual void ShowCursorHotSpot(const QImage& picture) {}
};

// The installed builders; null while there are none.
TAnimationBuilders* AnimationBuilders();
void SetAnimationBuilders(TAnimationBuilders* builders);
