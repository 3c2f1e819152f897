#include "animation/builders.h"

#include "animation/animator_form.h"
#include "animation/editani.h"
#include "animation/sethot.h"
#include "document/editor_state.h"
#include "framework/dialogs.h"

void ShowGifBuilder()
{
    TAnimatorForm* form = EnsureAnimatorForm();
    form->Show();
    form->FormActivate(form);
}

void TProgramAnimationBuilders::InsertGifPicture(const QString& fileName)
{
    ShowGifBuilder();
    AnimatorForm->InsertPictureFile(fileName);
}

int TProgramAnimationBuilders::AniFrameCount()
{
    return AniBuilder()->FrameCount();
}

void TProgramAnimationBuilders::AddAniFrame(const QString& marker, const QString& mode)
{
    Teditani* builder = AniBuilder();
    builder->Show();
    builder->AddAniFrame(marker, mode);
}

void TProgramAnimationBuilders::EnsureAniBuilder()
{
    AniBuilder();
}

void TProgramAnimationBuilders::ShowAniBuilder()
{
    AniBuilder()->Show();
}

bool TProgramAnimationBuilders::MayReplaceAniFrames()
{
    return !editani || editani->AskSaveChanges();
}

void TProgramAnimationBuilders::HandAniFrames(const QStringList& files, const QStringList& durations,
                                              const QList<QPoint>& hotSpots)
{
    Teditani* builder = AniBuilder();
    builder->LoadFrames(files, durations, hotSpots);
    builder->Show();
}

bool TProgramAnimationBuilders::CloseQuery()
{
    // Hidden builders keep their work too: each is asked whether it shows or not.
    return (!AnimatorForm || AnimatorForm->AskSaveChanges()) && (!editani || editani->AskSaveChanges());
}

void TProgramAnimationBuilders::ShowCursorHotSpot(const QImage& picture)
{
    const TEditorState* state = EditorState();
    HotSpotDialog()->ShowForCursor(picture, state ? state->HotSpotX : 0, state ? state->HotSpotY : 0);
}

void InstallAnimationBuilders()
{
    static TProgramAnimationBuilders builders;
    SetAnimationBuilders(&builders);
}
