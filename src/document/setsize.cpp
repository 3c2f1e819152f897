#include "document/setsize.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"

Tsetsize* setsize = nullptr;

Tsetsize::Tsetsize(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/setsize.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    InstallResizeDialog(this);
}

Tsetsize::~Tsetsize()
{
    if (&ResizeDialog() == this)
        InstallResizeDialog(nullptr);
    if (setsize == this)
        setsize = nullptr;
}

Tsetsize& SetSizeDialog()
{
    if (!setsize)
        setsize = new Tsetsize(nullptr);
    return *setsize;
}

QString Tsetsize::WidthText() const
{
    QObject* edit = FindComponent(QStringLiteral("width"));
    return edit ? edit->property("Text").toString() : QString();
}

QString Tsetsize::HeightText() const
{
    QObject* edit = FindComponent(QStringLiteral("height"));
    return edit ? edit->property("Text").toString() : QString();
}

void Tsetsize::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tsetsize::StartFromLastFormat()
{
    TEditorState* s = EditorState();
    if (!s)
        return;
    // Each size is its own: the box must not copy one into the other here.
    copying_ = true;
    if (QObject* edit = FindComponent(QStringLiteral("width")))
        edit->setProperty("Text", QString::number(s->NewImageWidth));
    if (QObject* edit = FindComponent(QStringLiteral("height")))
        edit->setProperty("Text", QString::number(s->NewImageHeight));
    copying_ = false;
}

void Tsetsize::CopyText(const char* from, const char* to)
{
    QObject* box = FindComponent(QStringLiteral("suiCheckBox1"));
    if (copying_ || !box || !box->property("Checked").toBool())
        return;
    QObject* source = FindComponent(QLatin1String(from));
    QObject* target = FindComponent(QLatin1String(to));
    if (!source || !target)
        return;
    copying_ = true;
    target->setProperty("Text", source->property("Text"));
    copying_ = false;
}

void Tsetsize::widthChange(TObject*) { CopyText("width", "height"); }
void Tsetsize::heightChange(TObject*) { CopyText("height", "width"); }

void Tsetsize::suiButton1Click(TObject*)
{
    ClickActiveDocument(QStringLiteral("Button8"));
    Close();
}

void Tsetsize::suiButton2Click(TObject*)
{
    Close();
}
