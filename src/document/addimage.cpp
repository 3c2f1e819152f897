#include "document/addimage.h"

#include "document/command_dialog.h"
#include "document/format_list.h"
#include "document/new_size_dialog.h"
#include "document/newiconview.h"
#include "skin/controls/message_dialog.h"

Taddimage* addimage = nullptr;

namespace {

constexpr int kSides[] = {16, 24, 32, 48, 64, 72, 96, 128};

struct TKindRadio {
    const char* Radio;
    const char* Kind;
};
constexpr TKindRadio kKindRadios[] = {
    {"icon32", "XP"}, {"icon24", "16.8M"}, {"icon8", "256"}, {"icon4", "16"}, {"icon1", "Mono"},
};

constexpr int kNotSet = 400;

} // namespace

Taddimage::Taddimage(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    RegisterSkinDialogClasses();
    LoadDefinition(QStringLiteral(":/document/addimage.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, true);
}

Taddimage::~Taddimage()
{
    if (addimage == this)
        addimage = nullptr;
}

Taddimage& NewAddImage()
{
    delete addimage;
    addimage = new Taddimage(nullptr);
    return *addimage;
}

void Taddimage::FormCreate(TObject*)
{
    FormatKind = QStringLiteral("XP");
    TakeMainWindowSkin(*this);
}

void Taddimage::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Taddimage::suiButton1Click(TObject*)
{
    FormatKind = QStringLiteral("no");
    FormatWidth = FormatHeight = kNotSet;
    for (const TKindRadio& r : kKindRadios)
        if (IsControlChecked(*this, r.Radio))
            FormatKind = QLatin1String(r.Kind);
    if (FormatKind == QLatin1String("no")) {
        WarnInDialog(*this, QStringLiteral("Please set icon format"));
        return;
    }
    for (int side : kSides)
        if (IsControlChecked(*this, qPrintable(QStringLiteral("size") + QString::number(side))))
            FormatWidth = FormatHeight = side;
    if (IsControlChecked(*this, "sizeset")) {
        int width = 0, height = 0;
        QString refusal = SideFromEdit(*this, "Edit1", QStringLiteral("Icon width must be integer"), width);
        if (refusal.isEmpty())
            refusal = SideFromEdit(*this, "Edit2", QStringLiteral("Icon height mast be integer"), height);
        if (!refusal.isEmpty()) {
            WarnInDialog(*this, refusal);
            return;
        }
        FormatWidth = width;
        FormatHeight = height;
    }
    if (FormatWidth == kNotSet || FormatHeight == kNotSet) {
        WarnInDialog(*this, QStringLiteral("Icon size exceeds 255"));
        return;
    }
    NewFormatChoice() = {FormatWidth, FormatHeight, FormatKind};
    ClickActiveDocument(QStringLiteral("BitBtn18"));
    Close();
}

void Taddimage::suiButton2Click(TObject*)
{
    Close();
}

void Taddimage::EnableCustomSize(bool enabled)
{
    for (const char* name : {"Edit1", "Edit2", "Label1", "Label2", "suiCheckBox1"})
        EnableControl(*this, name, enabled);
}

void Taddimage::SizeRadio(int side)
{
    FormatWidth = FormatHeight = side;
    EnableCustomSize(false);
}

void Taddimage::icon32Click(TObject*) { FormatKind = QStringLiteral("XP"); }
void Taddimage::icon24Click(TObject*) { FormatKind = QStringLiteral("16.8M"); }
void Taddimage::icon8Click(TObject*) { FormatKind = QStringLiteral("256"); }
void Taddimage::icon4Click(TObject*) { FormatKind = QStringLiteral("16"); }
void Taddimage::icon1Click(TObject*) { FormatKind = QStringLiteral("Mono"); }
void Taddimage::size16Click(TObject*) { SizeRadio(16); }
void Taddimage::size24Click(TObject*) { SizeRadio(24); }
void Taddimage::size32Click(TObject*) { SizeRadio(32); }
void Taddimage::size48Click(TObject*) { SizeRadio(48); }
void Taddimage::size64Click(TObject*) { SizeRadio(64); }
void Taddimage::size72Click(TObject*) { SizeRadio(72); }
void Taddimage::size96Click(TObject*) { SizeRadio(96); }
void Taddimage::size128Click(TObject*) { SizeRadio(128); }
void Taddimage::sizesetClick(TObject*) { EnableCustomSize(true); }
void Taddimage::suiCheckBox1Click(TObject*) { EnableCustomSize(true); }

void Taddimage::Edit1Change(TObject*)
{
    SizeEditChanged(*this, "Edit1", "Edit2",
                    {QStringLiteral("Icon width must be integer"), QStringLiteral("Icon width exceeds 255")}, FormatWidth);
}

void Taddimage::Edit2Change(TObject*)
{
    SizeEditChanged(*this, "Edit2", "Edit1",
                    {QStringLiteral("Icon height mast be integer"), QStringLiteral("Icon height exceeds 255")}, FormatHeight);
}

void Taddimage::Edit1KeyPress(TObject*, QChar& Key) { FilterSizeKey(Key); }
void Taddimage::Edit2KeyPress(TObject*, QChar& Key) { FilterSizeKey(Key); }

void Taddimage::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    ShowDialogHelp(*this, QStringLiteral("/3_1.htm#15"));
}
