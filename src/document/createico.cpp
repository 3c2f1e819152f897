#include "document/createico.h"

#include "document/command_dialog.h"
#include "document/document_files.h"
#include "document/editor_state.h"
#include "document/new_size_dialog.h"
#include "document/newiconview.h"
#include "skin/controls/message_dialog.h"
#include "framework/application.h"
#include "framework/ini_file.h"
#include "platform/program_paths.h"

#include <algorithm>

Tcreateico* createico = nullptr;

namespace {

TProjectWindowMaker projectWindowMaker;

constexpr int kStandardSides[] = {16, 32, 48, 64, 72, 96, 128};

struct TKindRadio {
    const char* Radio;
    const char* Kind;
};
constexpr TKindRadio kKindRadios[] = {
    {"iconcolor1", "Mono"}, {"iconcolor16", "16"}, {"iconcolor256", "256"}, {"iconcolor24", "16.8M"}, {"iconcolorxp", "XP"},
};

const QString kSection = QStringLiteral("default");
const QString kMissing = QStringLiteral("no");

QString ConfigurationPath()
{
    return WritablePath(QStringLiteral("data\\rozazuvidodiro.ini"));
}

// A side stored as the new-image default, or 0 when it is missing or no side 1..255.
int StoredSide(TIniFile& ini, const QString& key)
{
    int v = 0;
    const QString text = ini.ReadString(kSection, key, kMissing);
    return text != kMissing && ReadSideText(text, v) == TSideText::Taken ? v : 0;
}

QString SizeRadioName(int side)
{
    return QStringLiteral("iconsize") + QString::number(side);
}

TForm* MakePlainProjectWindow(const QString& name, const QString& caption)
{
    auto* project = new Tnewiconview;
    project->setObjectName(name);
    project->SetCaption(caption);
    // A child of the main window's client area when there is one.
    if (TForm* main = Application->MainForm(); main && main->FormStyle() == fsMDIForm)
        project->SetFormStyle(fsMDIChild);
    return project;
}

} // namespace

void SetProjectWindowMaker(TProjectWindowMaker maker)
{
    projectWindowMaker = std::move(maker);
}

TForm* MakeProjectWindow(const QString& name, const QString& caption)
{
    return projectWindowMaker ? projectWindowMaker(name, caption) : MakePlainProjectWindow(name, caption);
}

Tcreateico::Tcreateico(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    RegisterSkinDialogClasses();
    LoadDefinition(QStringLiteral(":/document/createico.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, true);
}

Tcreateico::~Tcreateico()
{
    if (createico == this)
        createico = nullptr;
}

Tcreateico& CreateIco()
{
    if (!createico)
        createico = new Tcreateico(nullptr);
    return *createico;
}

void Tcreateico::FormCreate(TObject*)
{
    TakeMainWindowSkin(*this);
    for (int side : kStandardSides)
        CheckControl(*this, qPrintable(SizeRadioName(side)), false);

    TIniFile ini(ConfigurationPath());
    // A size that is missing or unreadable gives 48; its radio's click sets both sides.
    if (const int x = StoredSide(ini, QStringLiteral("x")))
        NewWidth = x;
    else
        CheckControl(*this, "iconsize48", true);
    if (const int y = StoredSide(ini, QStringLiteral("y")))
        NewHeight = y;
    else
        CheckControl(*this, "iconsize48", true);

    const QString kind = ini.ReadString(kSection, QStringLiteral("color"), kMissing);
    if (kind != kMissing && IsImageKind(kind)) {
        NewKind = kind;
        for (const TKindRadio& r : kKindRadios)
            CheckControl(*this, r.Radio, false);
        for (const TKindRadio& r : kKindRadios)
            if (kind == QLatin1String(r.Kind))
                CheckControl(*this, r.Radio, true);
    } else {
        CheckControl(*this, "iconcolorxp", true);
        NewKind = QStringLiteral("XP");
    }

    const bool standard = NewWidth == NewHeight && std::ranges::find(kStandardSides, NewWidth) != std::end(kStandardSides);
    if (standard) {
        CheckControl(*this, qPrintable(SizeRadioName(NewWidth)), true);
    } else {
        // A radio selected for a missing side above would show a size the project won't have.
        for (int side : kStandardSides)
            CheckControl(*this, qPrintable(SizeRadioName(side)), false);
        const int height = NewHeight;
        SetControlText(*this, "iconwidth", QString::number(NewWidth));
        SetControlText(*this, "iconheight", QString::number(height));
    }
}

int Tcreateico::NextProjectNumber()
{
    TEditorState* s = RequiredEditorState();
    return FreeDocumentNumber(s->DocumentCounter, [](int n) {
        return FindForm(QStringLiteral("iconview") + QString::number(n)) != nullptr;
    });
}

void Tcreateico::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
    SetControlText(*this, "iconname", QStringLiteral("Project ") + QString::number(NextProjectNumber()));
}

bool Tcreateico::TakeCustomSize()
{
    if (!IsControlChecked(*this, "suiRadioButton1"))
        return true;
    int width = 0, height = 0;
    QString refusal = SideFromEdit(*this, "iconwidth", QStringLiteral("Icon width mast be integer"), width);
    if (refusal.isEmpty())
        refusal = SideFromEdit(*this, "iconheight", QStringLiteral("Icon height mast be integer"), height);
    if (!refusal.isEmpty()) {
        WarnInDialog(*this, refusal);
        return false;
    }
    NewWidth = width;
    NewHeight = height;
    return true;
}

void Tcreateico::iconsetokClick(TObject*)
{
    if (!TakeCustomSize())
        return;
    TEditorState* s = RequiredEditorState();
    const int n = NextProjectNumber();
    s->NewImageWidth = NewWidth;
    s->NewImageHeight = NewHeight;
    s->NewImageKind = NewKind;
    s->ActiveDocumentNumber = n;

    const QString name = QStringLiteral("iconview") + QString::number(n);
    const QString caption = ControlText(*this, "iconname");
    TForm* project = MakeProjectWindow(name, caption);
    s->ActiveDocumentName = name;
    s->HighlightDocumentTab(n + 3);
    TakeMainWindowSkin(*project);
    project->update();
    project->Show();
    s->DocumentCounter = std::max(s->DocumentCounter, n);
    Close();
}

void Tcreateico::setdefaultClick(TObject*)
{
    if (!TakeCustomSize())
        return;
    TIniFile ini(ConfigurationPath());
    ini.WriteString(kSection, QStringLiteral("x"), QString::number(NewWidth));
    ini.WriteString(kSection, QStringLiteral("y"), QString::number(NewHeight));
    ini.WriteString(kSection, QStringLiteral("color"), NewKind);
}

void Tcreateico::iconcancelClick(TObject*)
{
    Close();
}

void Tcreateico::EnableCustomSize(bool enabled)
{
    for (const char* name : {"iconwidth", "iconheight", "Label2", "Label4", "suiCheckBox1"})
        EnableControl(*this, name, enabled);
}

void Tcreateico::LeaveCustomSize()
{
    EnableCustomSize(false);
    EnableControl(*this, "suiRadioButton1", true);
    CheckControl(*this, "suiRadioButton1", false);
}

void Tcreateico::SizeRadio(int side)
{
    NewWidth = NewHeight = side;
    LeaveCustomSize();
}

// The sides stay what they are, also when they were typed.
void Tcreateico::ColorRadio(const QString& kind)
{
    NewKind = kind;
    LeaveCustomSize();
}

void Tcreateico::ChooseCustomSize()
{
    CheckControl(*this, "suiRadioButton1", true);
    for (int side : kStandardSides)
        CheckControl(*this, qPrintable(SizeRadioName(side)), false);
    EnableCustomSize(true);
}

void Tcreateico::iconsize16Click(TObject*) { SizeRadio(16); }
void Tcreateico::iconsize32Click(TObject*) { SizeRadio(32); }
void Tcreateico::iconsize48Click(TObject*) { SizeRadio(48); }
void Tcreateico::iconsize64Click(TObject*) { SizeRadio(64); }
void Tcreateico::iconsize72Click(TObject*) { SizeRadio(72); }
void Tcreateico::iconsize96Click(TObject*) { SizeRadio(96); }
void Tcreateico::iconsize128Click(TObject*) { SizeRadio(128); }
void Tcreateico::iconcolor1Click(TObject*) { ColorRadio(QStringLiteral("Mono")); }
void Tcreateico::iconcolor16Click(TObject*) { ColorRadio(QStringLiteral("16")); }
void Tcreateico::iconcolor256Click(TObject*) { ColorRadio(QStringLiteral("256")); }
void Tcreateico::iconcolor24Click(TObject*) { ColorRadio(QStringLiteral("16.8M")); }
void Tcreateico::iconcolorxpClick(TObject*) { ColorRadio(QStringLiteral("XP")); }
void Tcreateico::suiRadioButton1Click(TObject*) { ChooseCustomSize(); }
void Tcreateico::suiRadioButton1MouseDown(TObject*, TMouseButton, TShiftState, int, int) { EnableCustomSize(true); }
void Tcreateico::suiCheckBox1Click(TObject*) { ChooseCustomSize(); }
void Tcreateico::iconwidthClick(TObject*) { ChooseCustomSize(); }
void Tcreateico::iconheightClick(TObject*) { ChooseCustomSize(); }

void Tcreateico::iconwidthChange(TObject*)
{
    SizeEditChanged(*this, "iconwidth", "iconheight",
                    {QStringLiteral("Icon width mast be integer"), QStringLiteral("Icon width exceeds 255")}, NewWidth);
}

void Tcreateico::iconheightChange(TObject*)
{
    SizeEditChanged(*this, "iconheight", "iconwidth",
                    {QStringLiteral("Icon height mast be integer"), QStringLiteral("Icon height exceeds 255")}, NewHeight);
}

void Tcreateico::iconwidthKeyPress(TObject*, QChar& Key) { FilterSizeKey(Key); }
void Tcreateico::iconheightKeyPress(TObject*, QChar& Key) { FilterSizeKey(Key); }

void Tcreateico::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    ShowDialogHelp(*this, QStringLiteral("/2_1.htm#new"));
}
