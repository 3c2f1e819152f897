#pragma once

// The one implementation of what documents ask of the animation builders: each request goes to
// the builder window it concerns.

#include "document/animation_builders.h"

class TProgramAnimationBuilders : public TAnimationBuilders {
public:
    void InsertGifPicture(const QString& fileName) override;
    int AniFrameCount() override;
    void AddAniFrame(const QString& marker, const QString& mode) override;
    void EnsureAniBuilder() override;
    void ShowAniBuilder() override;
    bool MayReplaceAniFrames() override;
    void HandAniFrames(const QStringList& files, const QStringList& durations, const QList<QPoint>& hotSpots) override;
    bool CloseQuery() override;
    void ShowCursorHotSpot(const QImage& picture) override;
};

// Installs the program's builders for the documents (once).
void InstallAnimationBuilders();
// The main window's "Animation GIF Builder" command: the builder, created on first use, shown.
void ShowGifBuilder();
