#include "controls/storage/form_placement.h"
#include "controls/storage/placement_store.h"
#include "controls/storage/storage_classes.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/ini_file.h"
#include "framework/registry.h"
#include "framework/string_list.h"
#include "platform/program_paths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class Teditani : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
};

class TAnimatorForm : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
};

namespace {

class Placement : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    void SetUp() override
    {
        RegisterStorageClasses();
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("BRELNOVA_REGISTRY", dir.filePath("registry.txt").toUtf8());
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qunsetenv("BRELNOVA_REGISTRY");
        StorageUseAppTitle = false;
        StorageCompanyName.clear();
        Application->SetTitle(QString());
    }
    QString IniPath() const { return WindowsFolder() + DefaultIniFileName(); }

    // The animated cursor builder: a sizeable window with a placement of default settings.
    template <class Form = Teditani>
    Form* MakeForm(const QByteArray& formProps = {}, const QByteArray& placementProps = {})
    {
        auto* f = new Form;
        f->LoadDefinitionText("object editani: Teditani\n" + formProps
                              + "  Left = 100\n  Top = 80\n  Width = 300\n  Height = 200\n  object FormStorage1: TFormPlacement\n" + placementProps + "  end\nend\n");
        return f;
    }
    static TFormPlacement* PlacementOf(TForm* f) { return qobject_cast<TFormPlacement*>(f->FindComponent("FormStorage1")); }
    static QRect Bounds(TForm* f) { return QRect(f->Left(), f->Top(), f->Width(), f->Height()); }
};

TEST_F(Placement, ClosingWritesTheKeysAndShowingRestoresThem)
{
    Teditani* f = MakeForm();
    f->Show();
    f->SetBounds(150, 120, 320, 240);
    f->Close();
    delete f;

    TIniFile ini(IniPath());
    TStringList keys;
    ini.ReadSection("Teditani", &keys);
    const QString suffix = ScreenSizeSuffix();
    EXPECT_EQ(keys.ToStringList(), QStringList({"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" + suffix,
                                                "MinMaxPos", "NormPos" + suffix, "NormPos", "Visible"}));
    EXPECT_EQ(ini.ReadString("Teditani", "FormVersion", ""), "0");
    EXPECT_EQ(ini.ReadString("Teditani", "ShowCmd", ""), "1");
    EXPECT_EQ(ini.ReadString("Teditani", "NormPos", ""), "150,120,470,360");
    EXPECT_EQ(ini.ReadString("Teditani", "Visible", ""), "0");

    f = MakeForm();
    EXPECT_EQ(Bounds(f), QRect(100, 80, 300, 200)); // created, not yet shown
    f->Show();
    EXPECT_EQ(Bounds(f), QRect(150, 120, 320, 240));
    delete f;
}

TEST_F(Placement, TheGifBuilderKeepsItsPlacementInTheRegistry)
{
    Application->SetTitle("Brelnova Studio");
    StorageUseAppTitle = true;
    StorageCompanyName = "RX";
    auto* f = MakeForm<TAnimatorForm>("", "    UseRegistry = True\n    PreventResize = True\n");
    f->Show();
    f->SetBounds(10, 20, 330, 250); // moves; the size is fixed while shown
    f->Close();
    delete f;

    EXPECT_FALSE(QFile::exists(IniPath()));
    const QString key = "Software\\RX\\Brelnova Studio\\TAnimatorForm";
    RegistryValue v;
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, "NormPos", &v));
    EXPECT_EQ(v.type, REG_SZ);
    EXPECT_EQ(v.Text(), "10,20,310,220");
    for (const char* name : {"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos", "Visible"}) {
        ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, name, &v)) << name;
        EXPECT_EQ(v.type, REG_SZ) << name;
    }

    // A stored size is given on showing, and is then the fixed size.
    ASSERT_TRUE(RegistryStore::SetValue(HKEY_CURRENT_USER, key, "NormPos" + ScreenSizeSuffix(), RegistryValue::String("10,20,340,270")));
    f = MakeForm<TAnimatorForm>("", "    UseRegistry = True\n    PreventResize = True\n");
    f->Show();
    EXPECT_EQ(Bounds(f), QRect(10, 20, 330, 250));
    EXPECT_EQ(f->maximumSize(), QSize(330, 250));
    delete f;
}

TEST_F(Placement, StoredValuesChooseTheLayout)
{
    const QString suffix = ScreenSizeSuffix();
    struct Case {
        const char* what;
        QStringList lines; // of section Teditani
        QByteArray formProps;
        QRect expected;
        TWindowState state;
    } cases[] = {
        {"this screen's layout wins", {"NormPos=1,2,301,202", "NormPos" + suffix + "=5,6,405,306"}, "", {5, 6, 400, 300}, wsNormal},
        {"another screen's layout is ignored", {"NormPos=1,2,301,202", "NormPos(1x1)=5,6,405,306"}, "", {1, 2, 300, 200}, wsNormal},
        {"other pixels per inch keep the design, not the state", {"NormPos=1,2,301,202", "PixelsPerInch=120", "ShowCmd=3"}, "", {100, 80, 300, 200}, wsMaximized},
        {"a dialog keeps its size", {"NormPos=7,8,507,408"}, "  BorderStyle = bsDialog\n", {7, 8, 300, 200}, wsNormal},
        {"an empty rectangle is not applied", {"NormPos=50,50,50,90"}, "", {100, 80, 300, 200}, wsNormal},
        {"a damaged size stays within the desktop", {"NormPos=0,0,100000000,100000000"}, "", {0, 0, -1, -1}, wsNormal},
        {"an older layout is not restored", {"FormVersion=0", "NormPos=1,2,301,202"}, "", {100, 80, 300, 200}, wsNormal},
    };
    for (const Case& c : cases) {
        QFile::remove(IniPath());
        {
            QFile file(IniPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(("[Teditani]\n" + c.lines.join("\n") + "\n").toUtf8());
        }
        const bool older = QString(c.what).contains("older");
        Teditani* f = MakeForm(c.formProps, older ? "    Version = 2\n" : "");
        f->Show();
        if (c.expected.width() < 0) {
            EXPECT_LE(f->Width(), 16384) << c.what;
            EXPECT_GE(f->Width(), 300) << c.what;
        } else {
            EXPECT_EQ(Bounds(f), c.expected) << c.what;
        }
        EXPECT_EQ(f->WindowState(), c.state) << c.what;
        f->Close();
        delete f;
        // A layout that was not restored still counts as restored: closing saves the new one.
        if (older) {
            TIniFile ini(IniPath());
            EXPECT_EQ(ini.ReadString("Teditani", "FormVersion", ""), "2");
        }
    }
}

TEST_F(Placement, AWindowThatNeverShowedOverwritesNothing)
{
    Teditani* f = MakeForm();
    PlacementOf(f)->SaveToStore();
    f->Close();
    delete f;
    EXPECT_FALSE(QFile::exists(IniPath()));
}

TEST_F(Placement, DestroyingAShownWindowSavesOnceWithVisibleSet)
{
    Teditani* f = MakeForm();
    f->Show();
    f->Release();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("Teditani", "Visible", ""), "1");
}

TEST_F(Placement, PreventResizeAndSizeLimits)
{
    Teditani* f = MakeForm("", "    PreventResize = True\n");
    EXPECT_FALSE(f->BorderIcons().testFlag(biMaximize));
    f->Show();
    EXPECT_EQ(f->minimumSize(), QSize(300, 200));
    EXPECT_EQ(f->maximumSize(), QSize(300, 200));
    PlacementOf(f)->SetPreventResize(false);
    EXPECT_TRUE(f->BorderIcons().testFlag(biMaximize));
    EXPECT_EQ(f->minimumSize(), QSize(0, 0));
    delete f;

    f = MakeForm("", "    MinMaxInfo.MinTrackWidth = 250\n    MinMaxInfo.MaxTrackHeight = 400\n");
    EXPECT_EQ(f->minimumSize(), QSize(250, 0));
    EXPECT_EQ(f->maximumSize(), QSize(QWIDGETSIZE_MAX, 400));
    f->SetBounds(0, 0, 100, 900);
    EXPECT_EQ(QSize(f->Width(), f->Height()), QSize(250, 400));
    TWinMinMaxInfo none(nullptr);
    PlacementOf(f)->SetMinMaxInfo(&none);
    EXPECT_EQ(f->minimumSize(), QSize(0, 0));
    EXPECT_EQ(f->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    delete f;
}

TEST_F(Placement, StoreRoutines)
{
    TIniFile ini(dir.filePath("a.ini"));
    for (const QString& value : {QString("'quoted'"), QString("\"dq\""), QString("\"mixed'"), QString(""), QString("plain")}) {
        StoreWriteString(&ini, "S", "K", value);
        EXPECT_EQ(StoreReadString(&ini, "S", "K", "def"), value) << value.toStdString();
    }
    StoreWriteString(&ini, "S", "N", "0x1F");
    EXPECT_EQ(StoreReadInteger(&ini, "S", "N", 7), 31);
    StoreWriteString(&ini, "S", "N", "abc");
    EXPECT_EQ(StoreReadInteger(&ini, "S", "N", 7), 7);
    StoreEraseSection(&ini, "S");
    EXPECT_EQ(StoreReadString(&ini, "S", "K", "gone"), "gone");

    TRegIniFile reg("Software\\Test");
    StoreWriteInteger(&reg, "Sec", "I", -5);
    EXPECT_EQ(StoreReadInteger(&reg, "Sec", "I", 0), -5);
    StoreWriteString(&reg, "Sec", "S", "'x'");
    EXPECT_EQ(StoreReadString(&reg, "Sec", "S", ""), "'x'");
    StoreEraseSection(&reg, "Sec");
    EXPECT_FALSE(RegistryStore::KeyExists(HKEY_CURRENT_USER, "Software\\Test\\Sec"));

    TStringList notAStore;
    StoreWriteString(&notAStore, "S", "K", "v");
    EXPECT_EQ(StoreReadString(&notAStore, "S", "K", "def"), "def");

    Application->SetTitle("Brelnova Studio");
    EXPECT_EQ(DefaultRegistryKey(), "Software\\controls_storage_test");
    StorageCompanyName = "RX";
    StorageUseAppTitle = true;
    EXPECT_EQ(DefaultRegistryKey(), "Software\\RX\\Brelnova Studio");
    EXPECT_EQ(DefaultIniFileName(), "controls_storage_test.INI");

    Teditani* f = MakeForm();
    EXPECT_EQ(DefaultStorageSection(f), "Teditani");
    EXPECT_EQ(DefaultStorageSection(PlacementOf(f)), "Teditani.FormStorage1");
    EXPECT_EQ(DefaultStorageSection(nullptr), "");
    delete f;
}

TEST_F(Placement, LinksSaveAndLoadWithThePlacement)
{
    Teditani* f = MakeForm("", "    IniSection = 'Builder'\n");
    QStringList log;
    {
        TIniLink link;
        EXPECT_EQ(link.RootSection(), "");
        link.SetStore(PlacementOf(f));
        EXPECT_EQ(link.RootSection(), "Builder\\");
        EXPECT_EQ(link.StoreObject(), nullptr); // closed between operations
        link.SaveHandler = [&](TIniLink* l) {
            ASSERT_NE(l->StoreObject(), nullptr);
            StoreWriteString(l->StoreObject(), l->RootSection() + "Bar", "Item0", "1,2");
            log << "save";
        };
        link.LoadHandler = [&](TIniLink* l) {
            log << "load:" + StoreReadString(l->StoreObject(), l->RootSection() + "Bar", "Item0", "");
        };
        f->Show();
        f->Close();
        f->Show();
    }
    f->Close(); // the link is gone: nothing is called
    EXPECT_EQ(log, QStringList({"load:", "save", "load:1,2"}));
    delete f;
}

} // namespace

#include "form_placement_test.moc"
