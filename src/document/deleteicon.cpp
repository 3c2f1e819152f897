#include "document/deleteicon.h"

#include "document/command_dialog.h"
#include "document/newiconview.h"

Tdeleteicon* deleteicon = nullptr;

Tdeleteicon::Tdeleteicon(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/deleteicon.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
}

Tdeleteicon::~Tdeleteicon()
{
    if (deleteicon == this)
        deleteicon = nullptr;
}

Tdeleteicon& DeleteIcon()
{
    if (!deleteicon)
        deleteicon = new Tdeleteicon(nullptr);
    return *deleteicon;
}

void Tdeleteicon::SetFormatText(const QString& text)
{
    if (QObject* label = FindComponent(QStringLiteral("Label2")))
        label->setProperty("Caption", text);
}

void Tdeleteicon::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tdeleteicon::suiButton1Click(TObject*)
{
    ClickActiveDocument(QStringLiteral("deleteformat"));
    Close();
}

void Tdeleteicon::suiButton2Click(TObject*)
{
    Close();
}
