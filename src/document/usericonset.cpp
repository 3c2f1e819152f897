#include "document/usericonset.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/sysutils.h"

#include <QPointer>

Tusericonset* usericonset = nullptr;

Tusericonset::Tusericonset(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/usericonset.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    // A series of shifts begun before the window existed keeps its starting picture.
    TRotateDialogFields& before = RotateDialog();
    PreNudgeImage = before.PreNudgeImage;
    PreNudgeOwner = before.PreNudgeOwner;
    before.PreNudgeImage = nullptr;
    before.DiscardPreNudgeImage();
    InstallRotateDialog(this);
}

Tusericonset::~Tusericonset()
{
    if (&RotateDialog() == this)
        InstallRotateDialog(nullptr);
    if (usericonset == this)
        usericonset = nullptr;
}

Tusericonset& UserIconSet()
{
    if (!usericonset)
        usericonset = new Tusericonset(nullptr);
    return *usericonset;
}

QString Tusericonset::AngleText() const
{
    QObject* edit = FindComponent(QStringLiteral("Edit1"));
    return edit ? edit->property("Text").toString() : QString();
}

bool Tusericonset::Checked(const char* name) const
{
    QObject* radio = FindComponent(QLatin1String(name));
    return radio && radio->property("Checked").toBool();
}

void Tusericonset::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tusericonset::UpClick(TObject*) { ClickActiveDocument(QStringLiteral("BitBtn32")); }
void Tusericonset::DownClick(TObject*) { ClickActiveDocument(QStringLiteral("BitBtn35")); }
void Tusericonset::LeftClick(TObject*) { ClickActiveDocument(QStringLiteral("BitBtn33")); }
void Tusericonset::RightClick(TObject*) { ClickActiveDocument(QStringLiteral("BitBtn34")); }

void Tusericonset::ApplyQuarterTurns()
{
    // Clearing the angle below changes a radio again, which lands here once more.
    if (turning_)
        return;
    TEditorState* s = EditorState();
    if (!s)
        return;
    static const char* const angles[] = {"ok90", "ok180", "ok270"};
    for (int k = 0; k < 3; ++k) {
        if (!Checked(angles[k]))
            continue;
        turning_ = true;
        const QString command = Checked("suiRadioButton1") ? QStringLiteral("tool_27Click") : QStringLiteral("tool_28Click");
        // A turn by 180 or 270 degrees is one step, however many quarter turns make it.
        QPointer<Tnewiconview> doc = ActiveDocument();
        if (doc)
            doc->BeginStepGroup();
        try {
            for (int n = 0; n <= k; ++n)
                s->RunMainCommand(command);
        } catch (...) {
            if (doc)
                doc->EndStepGroup();
            turning_ = false;
            throw;
        }
        if (doc)
            doc->EndStepGroup();
        if (QObject* radio = FindComponent(QLatin1String(angles[k])))
            radio->setProperty("Checked", false);
        turning_ = false;
    }
}

void Tusericonset::QuarterTurnClick(TObject*)
{
    ApplyQuarterTurns();
}

void Tusericonset::suiButton6Click(TObject*)
{
    if (Checked("suiRadioButton6")) {
        // A text that is no number stops here with the conversion error; the dialog stays open.
        const int angle = StrToInt(AngleText());
        if (angle >= 1 && angle < 999)
            ClickActiveDocument(QStringLiteral("BitBtn45"));
    } else {
        ApplyQuarterTurns();
        if (TEditorState* s = EditorState())
            s->NudgeCount = 0;
    }
    // OK keeps the shifts: a Cancel of a later showing must not put this picture back.
    DiscardPreNudgeImage();
    Close();
}

void Tusericonset::suiButton5Click(TObject*)
{
    if (TEditorState* s = EditorState())
        s->NudgeCount = 0;
    if (PreNudgeImage && (Checked("suiRadioButton1") || Checked("suiRadioButton2")))
        ClickActiveDocument(QStringLiteral("BitBtn36"));
    Close();
}
