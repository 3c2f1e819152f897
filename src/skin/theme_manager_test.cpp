#include "skin/theme_manager.h"

#include "skin/file_theme.h"

#include <gtest/gtest.h>

namespace {

TEST(ThemeManager, StartsInDeepBlueAndSignalsOnlyChanges)
{
    TComponent owner(nullptr);
    TsuiThemeManager m(&owner);
    EXPECT_EQ(m.UIStyle(), DeepBlue);
    int fired = 0;
    m.OnUIStyleChanged = [&](TObject* sender) {
        EXPECT_EQ(sender, &m);
        ++fired;
    };
    m.SetUIStyle(DeepBlue);
    m.SetUIStyle(WinXP);
    m.SetUIStyle(WinXP);
    EXPECT_EQ(fired, 1);
    // The style is a published enumeration, so window definitions can name it.
    EXPECT_TRUE(SetPublishedProperty(&m, "uistyle", QVariant::fromValue(Protein)));
    EXPECT_EQ(m.UIStyle(), Protein);
}

TEST(ThemeManager, RemovedComponentsLeaveTheListAndTheFileReference)
{
    TComponent owner(nullptr);
    auto* m = new TsuiThemeManager(&owner);
    auto* file = new TsuiFileTheme(&owner);
    file->setObjectName("suiFileTheme1");
    auto* button = new TComponent(&owner);
    button->setObjectName("suiButton1");
    m->SetCompList({"Label1", "SUIBUTTON1", "suiButton1"});
    m->SetFileTheme(file);
    m->SetUIStyle(MacOS);
    int fired = 0;
    m->OnUIStyleChanged = [&](TObject*) { ++fired; };

    delete button;
    EXPECT_EQ(m->CompList(), QStringList({"Label1", "suiButton1"}));
    delete file;
    EXPECT_EQ(m->FileTheme(), nullptr);
    EXPECT_EQ(m->UIStyle(), DeepBlue);
    EXPECT_EQ(fired, 0);
}

} // namespace
