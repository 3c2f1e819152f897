#pragma once

// What a document asks of the GIF builder and the animated-cursor builder, which live above the
// document in their own windows. The program installs the builders with SetAnimationBuilders;
// until then (and in tests without them) the hand-over files are written and nothing else
// happens.

#include <QString>

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
};

// The installed builders; null while there are none.
TAnimationBuilders* AnimationBuilders();
void SetAnimationBuilders(TAnimationBuilders* builders);
