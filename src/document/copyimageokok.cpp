#include "document/copyimageokok.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/commands.h"

Tcopyimageokok* copyimageokok = nullptr;

Tcopyimageokok::Tcopyimageokok(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/copyimageokok.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
}

Tcopyimageokok::~Tcopyimageokok()
{
    if (copyimageokok == this)
        copyimageokok = nullptr;
}

Tcopyimageokok& CopyImageOkOk()
{
    if (!copyimageokok)
        copyimageokok = new Tcopyimageokok(nullptr);
    return *copyimageokok;
}

void Tcopyimageokok::PasteInto(TForm* document)
{
    disconnect(targetGone_);
    target_ = document;
    if (document)
        targetGone_ = connect(document, &QObject::destroyed, this, [this] { Close(); });
}

void Tcopyimageokok::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tcopyimageokok::suiRadioButton1Click(TObject* Sender)
{
    auto* radio = dynamic_cast<QObject*>(Sender);
    if (!radio || radio->property("Checked").toBool())
        PasteMode = 1;
}

void Tcopyimageokok::suiRadioButton2Click(TObject* Sender)
{
    auto* radio = dynamic_cast<QObject*>(Sender);
    if (!radio || radio->property("Checked").toBool())
        PasteMode = 2;
}

void Tcopyimageokok::suiButton1Click(TObject*)
{
    if (TEditorState* s = EditorState()) {
        for (const char* name : {"ToolButton8", "ToolButton9", "ToolButton10", "ToolButton11"})
            s->SetControlEnabled(QLatin1String(name), false);
        s->SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
    }
    Close();
    auto* document = qobject_cast<Tnewiconview*>(target_.data());
    if (!document) {
        ClickActiveDocument(PasteMode == 2 ? QStringLiteral("BitBtn16") : QStringLiteral("BitBtn15"));
        return;
    }
    // The paste floats in the document it was started in, which comes to the front with it.
    document->suiForm1Click(document);
    ClickComponentByName(document, PasteMode == 2 ? QStringLiteral("BitBtn16") : QStringLiteral("BitBtn15"));
}

void Tcopyimageokok::suiButton2Click(TObject*)
{
    Close();
}
