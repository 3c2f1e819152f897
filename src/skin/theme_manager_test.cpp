#include "skin/theme_manager.h"

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "skin/file_theme.h"
#include "skin/skin_builder_testing.h"
#include "skin/skin_drawing.h"

#include <QFile>
#include <QTemporaryDir>
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

// A skinned component as the controls will be: both skin properties, writes recorded.
class TsuiProbe : public TComponent {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    using TComponent::TComponent;
    TsuiUIStyle UIStyle() const { return style; }
    void SetUIStyle(TsuiUIStyle s)
    {
        style = s;
        writes << QString("UIStyle=%1").arg(int(s));
    }
    TsuiFileTheme* FileTheme() const { return file; }
    void SetFileTheme(TsuiFileTheme* f)
    {
        file = f;
        writes << (f ? "FileTheme=" + f->objectName() : QString("FileTheme=nil"));
    }
    TsuiUIStyle style = DeepBlue;
    TsuiFileTheme* file = nullptr;
    QStringList writes;
};

// The same properties on a class outside the skin family.
class OtherProbe : public TsuiProbe {
    Q_OBJECT
public:
    using TsuiProbe::TsuiProbe;
};

class TsuiForm : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
public:
    using TWinControl::TWinControl;
    TsuiUIStyle UIStyle() const { return style; }
    void SetUIStyle(TsuiUIStyle s) { style = s; }
    TsuiUIStyle style = DeepBlue;
};

template <class T>
T* Make(QObject* owner, const char* name)
{
    auto* c = new T(owner);
    c->setObjectName(name);
    return c;
}

class WindowSkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = Make<TsuiFileTheme>(&form, "suiFileTheme1");
        manager = Make<TsuiThemeManager>(&form, "suiThemeManager1");
        button = Make<TsuiProbe>(&form, "suiButton1");
        label = Make<TsuiProbe>(&form, "suiLabel1");
    }
    QString SkinFile()
    {
        const QString path = dir.filePath("w.sui");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SkinBuilder().AddInt("FormMinWidthInt", 1).Build());
        return path;
    }
    QTemporaryDir dir;
    TForm form;
    TsuiFileTheme* file = nullptr;
    TsuiThemeManager* manager = nullptr;
    TsuiProbe* button = nullptr;
    TsuiProbe* label = nullptr;
};

TEST_F(WindowSkinTest, ManagerPushesStyleThenFileIntoListedComponents)
{
    manager->SetCompList({"SUIBUTTON1", "NoSuchThing"});
    manager->SetFileTheme(file);
    EXPECT_EQ(button->writes, QStringList({"UIStyle=3", "FileTheme=suiFileTheme1"}));
    button->writes.clear();
    manager->SetUIStyle(FromThemeFile);
    manager->SetUIStyle(FromThemeFile); // applied again although unchanged
    EXPECT_EQ(button->writes, QStringList({"UIStyle=0", "FileTheme=suiFileTheme1", "UIStyle=0", "FileTheme=suiFileTheme1"}));
    EXPECT_TRUE(label->writes.isEmpty());

    // A listed component without the skin properties stops the pass.
    Make<TComponent>(&form, "Plain1");
    manager->SetCompList({"Plain1", "suiButton1"});
    button->writes.clear();
    EXPECT_THROW(manager->SetUIStyle(MacOS), EComponentError);
    EXPECT_TRUE(button->writes.isEmpty());
}

TEST_F(WindowSkinTest, LoadingAFileMakesItsUsersReadTheirThemeAgain)
{
    auto* other = Make<TsuiFileTheme>(&form, "suiFileTheme2");
    auto* outsider = Make<OtherProbe>(&form, "Outsider1");
    button->SetFileTheme(file);
    label->SetFileTheme(other);
    outsider->SetFileTheme(file);
    button->writes.clear();
    label->writes.clear();
    outsider->writes.clear();

    file->SetThemeFile(SkinFile());
    EXPECT_TRUE(file->IsLoaded());
    EXPECT_EQ(button->writes, QStringList({"FileTheme=suiFileTheme1"}));
    EXPECT_TRUE(label->writes.isEmpty());
    EXPECT_TRUE(outsider->writes.isEmpty());
}

TEST_F(WindowSkinTest, NewComponentsStartInTheFormsStyle)
{
    EXPECT_EQ(GetOwnerFormUIStyle(&form), DeepBlue);
    auto* skinForm = new TsuiForm(&form);
    skinForm->SetUIStyle(WinXP);
    EXPECT_EQ(GetOwnerFormUIStyle(&form), WinXP);
    TComponent notAForm(nullptr);
    EXPECT_EQ(GetOwnerFormUIStyle(&notAForm), DeepBlue);
    EXPECT_EQ(GetOwnerFormUIStyle(nullptr), DeepBlue);
}

TEST(IsFormActive, FrameAndMissingMainForm)
{
    TForm lone;
    ASSERT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(IsFormActive(&lone), lone.Active());
    EXPECT_FALSE(IsFormActive(nullptr));

    auto* frame = new TForm();
    frame->SetFormStyle(fsMDIForm);
    Application->SetMainForm(frame);
    EXPECT_TRUE(IsFormActive(frame));
    TForm other;
    if (!Application->Active()) {
        EXPECT_FALSE(IsFormActive(&other));
    }
    Application->SetMainForm(nullptr);
    delete frame;
}

} // namespace

#include "theme_manager_test.moc"
