// The document tab strip of the main window's right panel: tiles for documents 1 to 24, their
// highlight, the strip's scrolling and the folding of the whole panel.

#include "framework/commands.h"
#include "framework/forms.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/timer.h"
#include "mainwindow/colour_palettes.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"

namespace {

const char* const kUpArrow[3] = {"move_ok_list", "move_up_list", "move_down_list"};
const char* const kDownArrow[3] = {"down_ok_list", "down_up_list", "down_down_list"};

QString DocumentName(int n)
{
    return QStringLiteral("iconview") + QString::number(n);
}

} // namespace

void Ticonmain::DocumentTileClick(int n)
{
    if (DocumentCounter < n || !FindForm(DocumentName(n))) {
        // An empty tile starts a new project, as the New button does.
        ToolButton1Click(this);
        return;
    }
    ActiveDocumentNumber = n;
    ActiveDocumentName = DocumentName(n);
    ActivateDocument(n);
}

void Ticonmain::ActivateDocument(int number)
{
    TForm* document = FindForm(DocumentName(number));
    if (!document)
        return;
    // Showing a document window raises its frame and makes it the active one of the main window.
    document->Show();
    SetLabelText(QStringLiteral("projectcaption"), document->Caption());
    // The frame's own activation, and the status bar, zoom label and Undo and Redo buttons
    // showing this document; the tile is marked when the document in front changed, however
    // it came there (a tile, a click, an open, a close of the one before).
    ActivateDocumentWindow(*this, number);
    if (HighlightedTab != number + 3)
        HighlightDocumentTab(number + 3);
}

void Ticonmain::HighlightDocumentTab(int tile)
{
    HighlightedTab = tile;
    auto* normal = qobject_cast<TImage*>(FindComponent(QStringLiteral("Imageo15")));
    auto* highlighted = qobject_cast<TImage*>(FindComponent(QStringLiteral("imagebgbg")));
    for (int slot = 4; slot <= 27; ++slot) {
        auto* background = qobject_cast<TImage*>(FindComponent(QStringLiteral("iconbg") + QString::number(slot)));
        if (!background)
            continue;
        if (normal)
            background->Picture()->Assign(normal->Picture());
        background->Repaint();
    }
    // Documents above 24 have no tile: every tile stays normal.
    if (tile < 4 || tile > 27 || !highlighted)
        return;
    if (auto* background = qobject_cast<TImage*>(FindComponent(QStringLiteral("iconbg") + QString::number(tile)))) {
        background->Picture()->Assign(highlighted->Picture());
        background->Repaint();
    }
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void Ticonmain::move_up_listMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    TabStripScrollDown = false;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer6"))))
        timer->SetEnabled(true);
    ShowArrowImages(kUpArrow, 2);
}

void Ticonmain::move_ok_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    move_up_listMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::move_down_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    move_up_listMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::down_up_listMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    TabStripScrollDown = true;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer6"))))
        timer->SetEnabled(true);
    ShowArrowImages(kDownArrow, 2);
}

void Ticonmain::down_ok_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    down_up_listMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::down_down_listMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    down_up_listMouseDown(Sender, Button, Shift, X, Y);
}

void Ticonmain::move_up_listMouseMove(TObject*, TShiftState, int, int)
{
    TabStripScrollDown = false;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer6"))))
        timer->SetEnabled(false);
    ShowArrowImages(kUpArrow, 1);
}

void Ticonmain::move_ok_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    move_up_listMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::move_down_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    move_up_listMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::down_up_listMouseMove(TObject*, TShiftState, int, int)
{
    TabStripScrollDown = true;
    if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer6"))))
        timer->SetEnabled(false);
    ShowArrowImages(kDownArrow, 1);
}

void Ticonmain::down_ok_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    down_up_listMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::down_down_listMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    down_up_listMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::Timer6Timer(TObject*)
{
    auto* strip = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel1")));
    if (!strip)
        return;
    const int top = TabStripStepTop(strip->Top(), TabStripScrollDown);
    strip->SetTop(top);
    // At an end the timer stops instead of setting the same top ten times a second.
    if (TabStripStepTop(top, TabStripScrollDown) == top) {
        if (auto* timer = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer6"))))
            timer->SetEnabled(false);
        ShowArrowImages(TabStripScrollDown ? kDownArrow : kUpArrow, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Folding the right panel

void Ticonmain::move_ok_clickMouseMove(TObject*, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("move_ok_click"), false);
    SetControlVisible(QStringLiteral("move_ok_up"), true);
}

void Ticonmain::move_ok_upMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    move_ok_clickMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::move_ok_upMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("Panel8"), true);
    SetControlVisible(QStringLiteral("Panel9"), false);
    SetControlVisible(QStringLiteral("Panel4"), false);
    SetControlVisible(QStringLiteral("Image19"), true);
    SetControlVisible(QStringLiteral("Image20"), false);
    RunDocumentCommand(*this, QStringLiteral("BitBtn41"));
}

void Ticonmain::move_down_clickMouseMove(TObject*, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("Image19"), false);
    SetControlVisible(QStringLiteral("Image20"), true);
}

void Ticonmain::move_down_upMouseMove(TObject* Sender, TShiftState Shift, int X, int Y)
{
    move_down_clickMouseMove(Sender, Shift, X, Y);
}

void Ticonmain::move_down_upMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    SetControlVisible(QStringLiteral("Panel4"), true);
    SetControlVisible(QStringLiteral("Panel9"), true);
    SetControlVisible(QStringLiteral("Panel8"), false);
    SetControlVisible(QStringLiteral("move_ok_click"), true);
    SetControlVisible(QStringLiteral("move_ok_up"), false);
    RunDocumentCommand(*this, QStringLiteral("BitBtn40"));
}
