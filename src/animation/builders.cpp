#include "animation/builders.h"

#include "animation/animator_form.h"
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
    return 0;
}

void TProgramAnimationBuilders::AddAniFrame(const QString&, const QString&)
{
    ShowMessage(QStringLiteral("The animated cursor builder is not available."));
}

void InstallAnimationBuilders()
{
    static TProgramAnimationBuilders builders;
    SetAnimationBuilders(&builders);
}
