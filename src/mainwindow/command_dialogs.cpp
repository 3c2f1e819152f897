// The main window's openers of the document's command dialogs. Each dialog is made once and
// kept; it takes the main window's skin when shown and drives the active document itself.

#include "document/command_dialog.h"
#include "document/copyimageokok.h"
#include "document/createico.h"
#include "document/fontopen.h"
#include "document/iconset.h"
#include "document/replace_colors.h"
#include "document/setsize.h"
#include "document/usericonset.h"
#include "framework/timer.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"

void Ticonmain::ShowPencilSizeDialog()
{
    Tfontopen& dialog = FontOpen();
    TakeMainWindowSkin(dialog);
    dialog.ShowModal();
}

void Ticonmain::ShowTextOptions()
{
    Ticonset& dialog = IconSet();
    TakeMainWindowSkin(dialog);
    dialog.Show();
    if (auto* timer = qobject_cast<TTimer*>(dialog.FindComponent(QStringLiteral("Timer1"))))
        timer->SetEnabled(true);
}

void Ticonmain::ShowPasteDialog()
{
    Tcopyimageokok& dialog = CopyImageOkOk();
    TakeMainWindowSkin(dialog);
    dialog.PasteInto(ActiveDocumentWindow(*this));
    dialog.Show();
}

void Ticonmain::ToolButton1Click(TObject*)
{
    // Projects made by the dialog are the frame's windows like every other project.
    SetProjectWindowMaker(CreateDocumentWindow);
    Tcreateico& dialog = CreateIco();
    TakeMainWindowSkin(dialog);
    dialog.ShowModal();
}

void Ticonmain::Image14Click(TObject*)
{
    Tusericonset& dialog = UserIconSet();
    TakeMainWindowSkin(dialog);
    // Cancel puts back only what the shifts of this showing changed.
    dialog.BeginShowing();
    NudgeCount = 0;
    dialog.ShowModal();
}

void Ticonmain::Scan1Click(TObject*)
{
    Tsetsize& dialog = SetSizeDialog();
    TakeMainWindowSkin(dialog);
    dialog.StartFromLastFormat();
    dialog.ShowModal();
}

void Ticonmain::ReplaceColors1Click(TObject*)
{
    Treplace_colors& dialog = ReplaceColors();
    dialog.StartMode(1);
    dialog.ShowModal();
}

void Ticonmain::ExchangeColors1Click(TObject*)
{
    Treplace_colors& dialog = ReplaceColors();
    dialog.StartMode(2);
    dialog.ShowModal();
}
