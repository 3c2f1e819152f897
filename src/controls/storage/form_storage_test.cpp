#include "controls/storage/form_storage.h"
#include "controls/storage/placement_store.h"
#include "controls/storage/props_storage.h"
#include "controls/storage/storage_classes.h"
#include "controls/storage/str_utils.h"
#include "framework/application.h"
#include "framework/definition_reader.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/ini_file.h"
#include "framework/registry.h"
#include "framework/string_list.h"
#include "platform/program_paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class TSampleFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(int Size MEMBER Size)
public:
    QString Name = "Tahoma";
    int Size = 8;
};

// A component with a property of every kind the storage knows.
class TSample : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString InitialDir MEMBER InitialDir)
    Q_PROPERTY(int Number MEMBER Number)
    Q_PROPERTY(uint Color MEMBER Color)
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(ControlTypes::TAlign Align MEMBER Align)
    Q_PROPERTY(ControlTypes::TAnchors Anchors MEMBER Anchors)
    Q_PROPERTY(double Ratio MEMBER Ratio)
    Q_PROPERTY(QChar Letter MEMBER Letter)
    Q_PROPERTY(qlonglong Big MEMBER Big)
    Q_PROPERTY(QVariant Any MEMBER Any)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(TComponent* Link MEMBER Link)
    Q_PROPERTY(TSampleFont* Font READ Font)
public:
    explicit TSample(QObject* owner) : TComponent(owner) {}
    TSampleFont* Font() { return &font; }
    QString InitialDir;
    int Number = 0;
    uint Color = 0;
    bool Flag = false;
    TAlign Align = alNone;
    TAnchors Anchors;
    double Ratio = 0;
    QChar Letter = 'a';
    qlonglong Big = 0;
    QVariant Any;
    QStringList Lines;
    TComponent* Link = nullptr;
    TSampleFont font;
};

class TBuilderForm : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
};

namespace {

class Storage : public ::testing::Test {
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
    // A window with a storage, as the GIF builder: its create handler makes two dialogs and
    // names their folders as stored properties.
    TBuilderForm* MakeBuilder(const QByteArray& storageProps = "    UseRegistry = True\n")
    {
        auto* f = new TBuilderForm;
        f->LoadDefinitionText("object BuilderForm: TBuilderForm\n  object FormStorage1: TFormStorage\n" + storageProps
                              + "  end\nend\n");
        for (const char* name : {"OpenDialog", "SaveDialog"}) {
            auto* d = new TSample(f);
            d->SetName(name);
            StorageOf(f)->StoredProps()->AddObject(MakeStoredPropName(name, "InitialDir"), d);
        }
        return f;
    }
    static TFormStorage* StorageOf(TForm* f) { return qobject_cast<TFormStorage*>(f->FindComponent("FormStorage1")); }
    static TSample* Sample(TForm* f, const char* name) { return qobject_cast<TSample*>(f->FindComponent(name)); }
};

TEST_F(Storage, TheBuildersFoldersRoundTripThroughTheRegistry)
{
    Application->SetTitle("Brelnova Studio");
    StorageUseAppTitle = true;
    StorageCompanyName = "RX";
    TBuilderForm* f = MakeBuilder();
    f->Show();
    Sample(f, "OpenDialog")->InitialDir = "  /home/me/My Pictures  ";
    Sample(f, "SaveDialog")->InitialDir = "/tmp/out";
    f->Close();
    delete f;

    RegistryValue v;
    const QString key = "Software\\RX\\Brelnova Studio\\TBuilderForm";
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, "OpenDialog_InitialDir", &v));
    EXPECT_EQ(v.Text(), "/home/me/My Pictures"); // saved trimmed
    ASSERT_TRUE(RegistryStore::GetValue(HKEY_CURRENT_USER, key, "SaveDialog_InitialDir", &v));
    EXPECT_EQ(v.Text(), "/tmp/out");

    f = MakeBuilder();
    f->Show();
    EXPECT_EQ(Sample(f, "OpenDialog")->InitialDir, "/home/me/My Pictures");
    EXPECT_EQ(Sample(f, "SaveDialog")->InitialDir, "/tmp/out");
    delete f;
}

TEST_F(Storage, EveryKindRoundTripsAndReadsAsStored)
{
    auto* f = new TBuilderForm;
    f->setObjectName("BuilderForm");
    auto* a = new TSample(f);
    a->SetName("A");
    auto* other = new TSample(f);
    other->SetName("Other");
    a->Number = -7;
    a->Color = 0xFF00000F;
    a->Flag = true;
    a->Align = alClient;
    a->Anchors = TAnchors(akLeft) | akBottom;
    a->Ratio = 1.5;
    a->Letter = 'Z';
    a->Big = 1LL << 40;
    a->Any = "any text";
    a->Lines = QStringList({"one", "'two'"});
    a->Link = other;
    a->font.Name = "Courier";
    a->font.Size = 12;
    TStringList list;
    for (const char* p : {"Number", "Color", "Flag", "Align", "Anchors", "Ratio", "Letter", "Big", "Any", "Lines", "Link", "Font", "Nothing"})
        list.AddObject(MakeStoredPropName("A", p), a);
    list.AddObject("no dot", a);

    TIniFile ini(dir.filePath("props.ini"));
    TPropsStorage w;
    w.Section = "Sec";
    w.OnWriteString = [&](const QString& s, const QString& k, const QString& v) { StoreWriteString(&ini, s, k, v); };
    w.OnEraseSection = [&](const QString& s) { ini.EraseSection(s); };
    w.WriteProperties(f, &list);
    EXPECT_EQ(list.Count(), 13); // the entry that does not split is gone

    struct Stored {
        const char* key;
        const char* text;
    } stored[] = {{"A_Number", "-7"}, {"A_Color", "-16777201"}, {"A_Flag", "True"}, {"A_Align", "alClient"},
                  {"A_Anchors", "[akLeft,akBottom]"}, {"A_Ratio", "1.5"}, {"A_Letter", "Z"}, {"A_Big", "1099511627776"},
                  {"A_Any", "any text"}, {"A_Link", "Other"}, {"A_FontName", "Courier"}, {"A_FontSize", "12"}};
    for (const Stored& s : stored)
        EXPECT_EQ(ini.ReadString("Sec", s.key, "<none>"), s.text) << s.key;
    EXPECT_EQ(ini.ReadString("Sec.A_Lines", "Count", ""), "2");
    EXPECT_EQ(ini.ReadString("Sec.A_Lines", "Item1", ""), "'two'");

    auto* b = new TSample(nullptr); // every property at its initial value, the variant empty
    b->SetName("A");
    delete a;
    InsertComponent(f, b);
    list.Clear();
    for (const char* p : {"Number", "Color", "Flag", "Align", "Anchors", "Ratio", "Letter", "Big", "Any", "Lines", "Link", "Font"})
        list.AddObject(MakeStoredPropName("A", p), b);
    TPropsStorage r;
    r.Section = "Sec";
    r.OnReadString = [&](const QString& s, const QString& k, const QString& d) { return StoreReadString(&ini, s, k, d); };
    r.ReadProperties(f, &list);
    EXPECT_EQ(b->Number, -7);
    EXPECT_EQ(b->Color, 0xFF00000Fu);
    EXPECT_TRUE(b->Flag);
    EXPECT_EQ(b->Align, alClient);
    EXPECT_EQ(b->Anchors, TAnchors(akLeft) | akBottom);
    EXPECT_EQ(b->Ratio, 1.5);
    EXPECT_EQ(b->Letter, QChar('Z'));
    EXPECT_EQ(b->Big, 1LL << 40);
    EXPECT_EQ(b->Any, QVariant("any text"));
    EXPECT_EQ(b->Lines, QStringList({"one", "'two'"}));
    EXPECT_EQ(b->Link, other);
    EXPECT_EQ(b->font.Name, "Courier");
    EXPECT_EQ(b->font.Size, 12);

    // Texts as a person or another version may leave them.
    struct Read {
        const char* key;
        const char* text;
        std::function<bool(TSample*)> check;
    } reads[] = {
        {"A_Anchors", "[]", [](TSample* s) { return s->Anchors == TAnchors(); }},
        {"A_Anchors", "[akTop, bogus]", [](TSample* s) { return s->Anchors == TAnchors(akTop); }},
        {"A_Align", "ALTOP", [](TSample* s) { return s->Align == alTop; }},
        {"A_Align", "nonsense", [](TSample* s) { return s->Align == alTop; }},
        {"A_Number", "x1", [](TSample* s) { return s->Number == 0; }},
        {"A_Ratio", "2,5", [](TSample* s) { return s->Ratio == 1.5; }},
        {"A_Link", "(NULL)", [](TSample* s) { return s->Link == nullptr; }},
        {"A_Link", "BuilderForm.Other", [&](TSample* s) { return s->Link == other; }},
        {"A_Link", "Missing", [](TSample* s) { return s->Link == nullptr; }},
    };
    for (const Read& rd : reads) {
        ini.WriteString("Sec", rd.key, rd.text);
        r.ReadProperties(f, &list);
        EXPECT_TRUE(rd.check(b)) << rd.key << " = " << rd.text;
    }

    // An empty list is an erased section and reads back as the list that was there.
    b->Lines.clear();
    w.WriteProperties(f, &list);
    EXPECT_FALSE(ini.SectionExists("Sec.A_Lines"));
    b->Lines = QStringList({"kept"});
    r.ReadProperties(f, &list);
    EXPECT_EQ(b->Lines, QStringList({"kept"}));
    delete f;
}

TEST_F(Storage, AnEntryWhoseComponentGoesIsDroppedAtOnceAndItsKeyStays)
{
    TBuilderForm* f = MakeBuilder("");
    f->Show();
    f->Close();
    ASSERT_EQ(StorageOf(f)->StoredProps()->Count(), 2);
    delete Sample(f, "OpenDialog");
    ASSERT_EQ(StorageOf(f)->StoredProps()->Count(), 1);
    EXPECT_EQ(StorageOf(f)->StoredProps()->Get(0), "SaveDialog.InitialDir");
    f->Show();
    f->Close();
    TIniFile ini(WindowsFolder() + DefaultIniFileName());
    EXPECT_TRUE(ini.ValueExists("TBuilderForm", "OpenDialog_InitialDir"));
    delete f;
}

TEST_F(Storage, DefinitionEntriesBindToTheFormsComponents)
{
    RegisterComponentClass<TSample>("TSample");
    auto* f = new TBuilderForm;
    f->LoadDefinitionText("object BuilderForm: TBuilderForm\n  object Dialog1: TSample\n  end\n"
                          "  object FormStorage1: TFormStorage\n    StoredProps.Strings = (\n      'Dialog1.InitialDir'\n"
                          "      'Gone.InitialDir')\n  end\nend\n");
    TStringList* props = StorageOf(f)->StoredProps();
    ASSERT_EQ(props->Count(), 1);
    EXPECT_EQ(props->Get(0), "Dialog1.InitialDir");
    EXPECT_EQ(dynamic_cast<QObject*>(props->GetObject(0)), f->FindComponent("Dialog1"));
    // A renamed component is saved under its new name.
    Sample(f, "Dialog1")->SetName("Dialog2");
    f->Show();
    f->Close();
    EXPECT_EQ(props->Get(0), "Dialog2.InitialDir");
    delete f;
}

TEST_F(Storage, AFloatIsStoredWithAPointUnderACommaLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    auto* f = new TBuilderForm;
    f->setObjectName("BuilderForm");
    auto* a = new TSample(f);
    a->SetName("A");
    a->Ratio = 2.25;
    TStringList list;
    list.AddObject(MakeStoredPropName("A", "Ratio"), a);
    TIniFile ini(dir.filePath("props.ini"));
    TPropsStorage w;
    w.Section = "Sec";
    w.OnWriteString = [&](const QString& s, const QString& k, const QString& v) { StoreWriteString(&ini, s, k, v); };
    w.WriteProperties(f, &list);
    EXPECT_EQ(ini.ReadString("Sec", "A_Ratio", ""), "2.25");

    // Read back, and a point written elsewhere read here.
    TPropsStorage r;
    r.Section = "Sec";
    r.OnReadString = [&](const QString& s, const QString& k, const QString& d) { return StoreReadString(&ini, s, k, d); };
    for (const char* text : {"2.25", "-0.5"}) {
        ini.WriteString("Sec", "A_Ratio", text);
        a->Ratio = 9;
        r.ReadProperties(f, &list);
        EXPECT_EQ(a->Ratio, QString(text).toDouble()) << text;
    }
    QLocale::setDefault(saved);
    delete f;
}

TEST_F(Storage, StoredValues)
{
    TBuilderForm* f = MakeBuilder("");
    TStoredValues* values = StorageOf(f)->StoredValues();
    TStoredValue* secret = values->Add();
    secret->SetName("Password");
    secret->KeyString = "k";
    secret->Value = "abc";
    TStoredValue* count = values->Add();
    count->SetName("Count");
    count->Value = 3;
    count->OnSave = [](TStoredValue*, QVariant& v) { v = v.toInt() + 1; };
    EXPECT_THROW(count->SetName("PASSWORD"), EStringListError);
    EXPECT_EQ(count->Name(), "Count");
    EXPECT_EQ(values->IndexOfName("password"), 0);

    f->Show();
    f->Close();
    TIniFile ini(WindowsFolder() + DefaultIniFileName());
    EXPECT_EQ(ini.ReadString("TBuilderForm", "Password", ""), HexXorEncode("k", "abc"));
    EXPECT_EQ(ini.ReadString("TBuilderForm", "Count", ""), "4");

    secret->Value.clear();
    count->OnRestore = [](TStoredValue*, QVariant& v) { v = v.toString() + "!"; };
    f->Show();
    EXPECT_EQ(secret->Value, QVariant("abc"));
    EXPECT_EQ(count->Value, QVariant("4!"));
    delete f;
}

} // namespace

#include "form_storage_test.moc"
