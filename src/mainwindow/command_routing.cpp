#include "mainwindow/command_routing.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/commands.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"

TForm* ActiveDocumentWindow(const TEditorState& state)
{
    return FindForm(state.ActiveDocumentName);
}

TForm* ActiveProjectWindow(const TEditorState& state)
{
    TForm* document = ActiveDocumentWindow(state);
    if (!document || document->objectName().compare(QLatin1String("newiconview"), Qt::CaseInsensitive) == 0)
        return nullptr;
    if (auto* doc = qobject_cast<Tnewiconview*>(document); doc && doc->IsTemplate())
        return nullptr;
    return document;
}

bool RunDocumentCommand(TEditorState& state, const QString& control, const QString* argument)
{
    TForm* document = ActiveDocumentWindow(state);
    if (!document)
        return false;
    QObject* component = document->FindComponent(control);
    if (!HasClickHandler(component))
        return false;
    if (argument)
        state.CommandArgument = *argument;
    return ClickComponent(component);
}

// ---------------------------------------------------------------------------------------------
// Commands of the main window

namespace {

void EnableControls(Ticonmain& main, std::initializer_list<const char*> names, bool enabled)
{
    for (const char* name : names)
        main.SetControlEnabled(QLatin1String(name), enabled);
}

// Cut and copy leave pixels to paste and nothing selected to cut, copy or delete; they change
// the states before the document is reached, so they change even without a document.
void CutOrCopyStates(Ticonmain& main)
{
    main.PasteState = 1;
    main.SetControlEnabled(QStringLiteral("ToolButton10"), true);
    EnableControls(main, {"ToolButton8", "ToolButton9", "ToolButton11"}, false);
    main.SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
    EnableControls(main, {"Cut1", "Copy1", "Delete1"}, false);
    main.SetControlEnabled(QStringLiteral("Paste1"), true);
}

bool OverlayVisible(TForm* document)
{
    auto* overlay = document ? qobject_cast<TControl*>(document->FindComponent(QStringLiteral("PaintBox1"))) : nullptr;
    return overlay && overlay->Visible();
}

} // namespace

void Ticonmain::ToolButton8Click(TObject*)
{
    CutOrCopyStates(*this);
    RunDocumentCommand(*this, QStringLiteral("BitBtn27"));
}

void Ticonmain::ToolButton9Click(TObject*)
{
    CutOrCopyStates(*this);
    RunDocumentCommand(*this, QStringLiteral("BitBtn28"));
}

void Ticonmain::ToolButton10Click(TObject*)
{
    EnableControls(*this, {"Cut1", "Copy1", "Paste1", "Delete1"}, false);
    ShowPasteDialog();
}

void Ticonmain::ToolButton11Click(TObject*)
{
    TForm* document = ActiveDocumentWindow(*this);
    if (!document)
        return;
    if (OverlayVisible(document)) {
        RunDocumentCommand(*this, QStringLiteral("BitBtn31"));
        EnableControls(*this, {"ToolButton10", "ToolButton8", "ToolButton9", "ToolButton11"}, false);
        SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
        EnableControls(*this, {"Cut1", "Copy1", "Paste1", "Delete1"}, false);
    } else {
        RunDocumentCommand(*this, QStringLiteral("RemoveImageFormat1"));
    }
}

void Ticonmain::Selectall1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("Selectall1"));
}

void Ticonmain::ClearAll1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn42"));
}

void Ticonmain::N30Click(TObject*)
{
    TForm* document = ActiveDocumentWindow(*this);
    if (!document)
        return;
    if (auto* overlay = qobject_cast<TControl*>(document->FindComponent(QStringLiteral("PaintBox1"))))
        overlay->SetVisible(true);
    RunDocumentCommand(*this, QStringLiteral("BitBtn4"));
    RunDocumentCommand(*this, QStringLiteral("BitBtn1"));
    CanvasTouched = 2;
}

void Ticonmain::Create3232WinXPImageFormat1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("Create3232WinXPImageFormat1"));
}

void Ticonmain::CreateaNewImageFormat1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("addimageSHOW1"));
}

void Ticonmain::NewGIFProjectFromCurrentImage1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("NewGifProjectFromThisImage1"));
}

void Ticonmain::NewANIProjectFromCurrentImage1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("NewAniProjectFromThisImage1"));
}

void Ticonmain::NewIconProjectFromCurrentImage1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("NewIconProjectFromThisImage1"));
}

void Ticonmain::RemoveThisImageFormat1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("RemoveImageFormat1"));
}

void Ticonmain::Properties1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("Properties1"));
}

void Ticonmain::ShowImageFormatList1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("ShowImageFormatList2"));
}

void Ticonmain::ShowListonLeft1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("ShowListonLeft2"));
}

void Ticonmain::ShowListonRight1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("ShowListonRight2"));
}

void Ticonmain::ShiftLeft1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn33"));
}

void Ticonmain::ShiftRight1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn34"));
}

void Ticonmain::ShiftUp1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn32"));
}

void Ticonmain::ShiftDown1Click(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn35"));
}

// The master opacity: the label shows per cent, the hidden edit the same number, and the
// document scales the current format's alpha by the bar's position.
void Ticonmain::layer_aChange(TObject*)
{
    auto* bar = FindComponent(QStringLiteral("layer_a"));
    if (!bar)
        return;
    MasterOpacityFromTrackBar = true;
    const int percent = bar->property("Position").toInt() * 100 / 255;
    SetLabelText(QStringLiteral("layerok"), QString::number(percent) + QLatin1Char('%'));
    SetEditText(QStringLiteral("opacity"), QString::number(percent));
    RunDocumentCommand(*this, QStringLiteral("BitBtn9"));
}

void Ticonmain::iconshowClick(TObject*)
{
    RunDocumentCommand(*this, QStringLiteral("BitBtn29"));
}

void Ticonmain::SetRadialAngle1Click(TObject*)
{
    ShowRadialCenterDialog();
}
