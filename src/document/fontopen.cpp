#include "document/fontopen.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/forms.h"
#include "imaging/bitmap/bitmap32.h"
#include "imaging/bitmap/image32.h"

Tfontopen* fontopen = nullptr;

namespace {

// The zoom the pen's square is shown at: the active document's, else the template's.
int PreviewZoom()
{
    Tnewiconview* doc = ActiveDocument();
    if (!doc)
        doc = qobject_cast<Tnewiconview*>(FindForm(QStringLiteral("newiconview")));
    return doc && doc->Zoom >= 1 ? doc->Zoom : 1;
}

} // namespace

Tfontopen::Tfontopen(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/fontopen.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
}

Tfontopen::~Tfontopen()
{
    if (fontopen == this)
        fontopen = nullptr;
}

Tfontopen& FontOpen()
{
    if (!fontopen)
        fontopen = new Tfontopen(nullptr);
    return *fontopen;
}

int Tfontopen::Position() const
{
    QObject* bar = FindComponent(QStringLiteral("suiTrackBar1"));
    return bar ? bar->property("Position").toInt() : 1;
}

void Tfontopen::FormCreate(TObject*)
{
    TakeMainWindowSkin(*this);
    if (auto* preview = qobject_cast<TImage32*>(FindComponent(QStringLiteral("up")))) {
        preview->Bitmap()->SetSize(preview->Width(), preview->Height());
        FillWithTile(*preview->Bitmap(), Rect(1, 1, preview->Width() - 1, preview->Height() - 1));
    }
}

void Tfontopen::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
    SetWidth(373);
    SetHeight(217);
    // The square of the width on the bar shows at once, at the zoom of the document in front.
    DrawPreview();
}

void Tfontopen::DrawPreview()
{
    auto* preview = qobject_cast<TImage32*>(FindComponent(QStringLiteral("up")));
    TEditorState* s = EditorState();
    if (!preview || !s)
        return;
    // The colour is read before anything is drawn: a panel text that is no number stops here.
    bool panelZero = true;
    for (const char* c : {"colora", "colorr", "colorg", "colorb"})
        panelZero = panelZero && s->EditText(QLatin1String(c)) == QLatin1String("0");
    const uint32_t colour = panelZero ? 0xC1C10000 : EditorColor(QStringLiteral("up"));

    preview->BeginUpdate();
    TBitmap32* b = preview->Bitmap();
    b->SetSize(preview->Width(), preview->Height());
    FillWithTile(*b, Rect(1, 1, 69, 69));
    const int size = Position() * PreviewZoom();
    const int x = (70 - size) / 2, y = (70 - size) / 2;
    b->FillRectBlendSafe(x, y, x + size, y + size, colour);
    preview->EndUpdate();
    preview->Changed();
}

void Tfontopen::suiTrackBar1Change(TObject*)
{
    const int position = Position();
    if (QObject* label = FindComponent(QStringLiteral("Label2")))
        label->setProperty("Caption", QString::number(position));
    if (TEditorState* s = EditorState())
        s->PenWidth = position;
    DrawPreview();
}

void Tfontopen::suiButton1Click(TObject*)
{
    Close();
}
