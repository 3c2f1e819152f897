#include "document/gif_options.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/commands.h"

TGifOptions* GifOptions = nullptr;

TGifOptions::TGifOptions(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/gif_options.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    InstallJpegOptionsDialog(this);
}

TGifOptions::~TGifOptions()
{
    if (&JpegOptionsDialog() == this)
        InstallJpegOptionsDialog(nullptr);
    if (GifOptions == this)
        GifOptions = nullptr;
}

TGifOptions& JpegOptions()
{
    if (!GifOptions)
        GifOptions = new TGifOptions(nullptr);
    return *GifOptions;
}

int TGifOptions::Quality() const
{
    QObject* bar = FindComponent(QStringLiteral("colorbara"));
    return bar ? bar->property("Position").toInt() : 75;
}

void TGifOptions::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void TGifOptions::colorbaraChange(TObject*)
{
    if (QObject* edit = FindComponent(QStringLiteral("Edit1")))
        edit->setProperty("Text", QString::number(Quality()));
}

void TGifOptions::suiButton3Click(TObject*)
{
    TEditorState* s = EditorState();
    QObject* button = nullptr;
    if (s)
        if (TForm* doc = FindForm(s->ActiveDocumentName))
            button = doc->FindComponent(QStringLiteral("Button1"));
    if (HasClickHandler(button)) {
        s->CommandArgument = QStringLiteral("jpg");
        ClickComponent(button);
    }
    Close();
}

void TGifOptions::suiButton4Click(TObject*)
{
    Close();
}
