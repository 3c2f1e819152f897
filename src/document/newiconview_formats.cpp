// The document window's format list and format commands, and its icon and cursor file commands:
// the handlers of the list, of the hidden buttons and of the popup items that add, remove,
// re-sort and show formats, save the project and start new projects from the current format.

#include "document/createico.h"
#include "document/deleteicon.h"
#include "document/document_files.h"
#include "document/editor_state.h"
#include "document/format_list.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "framework/string_list.h"
#include "imaging/bitmap/image32.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/theme_manager.h"

#include <QApplication>

namespace {

constexpr int kEntryHeight = 72;
constexpr int kEntryPictureSide = 48;
constexpr int kNarrowColumn = 119;
constexpr int kWideColumn = 134; // room for the list's scroll bar
// Text backgrounds of the clicked entry and of the remembered one.
constexpr TColor kClickedTextColor = 0x00845747; // red 71, green 87, blue 132
constexpr TColor kRememberedTextColor = 0x00787878;
// Entry backgrounds drawn when the window definition gives no picture for them.
constexpr TColor kClickedEntryColor = 0x00F0D8C8;
constexpr TColor kRememberedEntryColor = 0x00E8E8E8;

TEditorState* State()
{
    return RequiredEditorState();
}

QString PlaceholderText(int count) { return count == 0 ? QStringLiteral("yyyyyyyy 0") : QStringLiteral("yyyyyyyy "); }

} // namespace

TMyListBox* Tnewiconview::FormatList() const
{
    return qobject_cast<TMyListBox*>(MyListBox1);
}

TMenuItem* Tnewiconview::MenuItem(const QString& name) const
{
    return qobject_cast<TMenuItem*>(FindComponent(name));
}

void Tnewiconview::SyncFormatListItems()
{
    TMyListBox* list = FormatList();
    if (!list)
        return;
    TStrings* items = list->Items();
    while (items->Count() < FormatCount())
        items->Add(PlaceholderText(items->Count()));
    while (items->Count() > std::max(1, FormatCount()))
        items->Delete(items->Count() - 1);
    list->SetItemIndex(CurrentFormat() - 1);
}

void Tnewiconview::SortFormatsKeepingCurrent()
{
    const int current = CurrentFormat();
    const std::vector<int> order = SortFormats(*this);
    // The format that was current stays current wherever it now stands.
    for (size_t k = 1; k < order.size(); ++k)
        if (order[k] == current) {
            MakeFormatCurrent(*this, int(k));
            break;
        }
    if (TMyListBox* list = FormatList())
        list->SetItemIndex(CurrentFormat() - 1);
}

// ---------------------------------------------------------------------------------------------
// The list

void Tnewiconview::MyListBox1DrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState)
{
    TMyListBox* list = FormatList();
    const int f = Index + 1;
    if (!list || f < 1 || f > FormatCount())
        return;
    TCanvas* canvas = list->Canvas();
    const int l = Rect.Left, t = Rect.Top, lw = Rect.Width();

    auto background = [&](const char* name, int x, int y, TColor fallback) {
        auto* image = qobject_cast<TImage*>(FindComponent(QLatin1String(name)));
        TGraphic* picture = image ? image->Picture()->Graphic() : nullptr;
        if (picture && !picture->Empty()) {
            canvas->Draw(x, y, picture);
        } else {
            canvas->Brush()->SetColor(fallback);
            canvas->FillRect(Bounds(l, t, lw, kEntryHeight));
        }
    };
    TColor textBack = clWhite;
    if (ListClicked && Index == list->ItemIndex()) {
        background("xp48click", l - 1, t - 2, kClickedEntryColor);
        list->RememberedIndex = Index;
        list->RememberedLeft = l;
        list->RememberedTop = t;
        textBack = kClickedTextColor;
    } else if (!ListClicked && Index == list->RememberedIndex) {
        background("xp48up", l - 1, t - 2, kRememberedEntryColor);
        textBack = kRememberedTextColor;
    } else {
        background("xp48", l, t, clWhite);
    }

    const int w = FormatTable.Width(f).trimmed().toInt(), h = FormatTable.Height(f).trimmed().toInt();
    if (GpBitmap* picture = FormatImages[size_t(f)]) {
        GpGraphics* g = nullptr;
        GdipCreateFromHDC(canvas->Handle(), &g);
        GdipSetInterpolationMode(g, InterpolationModeHighQualityBicubic);
        if (CurrentKind == QLatin1String("XP"))
            GdipSetSmoothingMode(g, SmoothingModeHighQuality);
        if (w > kEntryPictureSide || h > kEntryPictureSide)
            GdipDrawImageRectI(g, picture, (lw - kEntryPictureSide) / 2 + l - 1, t + 6, kEntryPictureSide,
                               kEntryPictureSide);
        else
            GdipDrawImageRectI(g, picture, (lw - w) / 2 + l - 1, (kEntryHeight - h) / 2 + t - 8, w, h);
        GdipDeleteGraphics(g);
    }
    canvas->Brush()->SetColor(textBack);
    // The list turns a selected entry's text white for the dark backgrounds of the clicked and
    // the remembered entry; on the plain white background (a new project's selected entry before
    // any click) that text would vanish, so it keeps the list's own colour there.
    if (textBack == clWhite)
        canvas->Font()->SetColor(list->Font()->Color());
    canvas->TextOut(12, t + 53, FormatCaption(*this, f));

    if (auto* column = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel1")))) {
        const int width = list->Height() < FormatCount() * kEntryHeight ? kWideColumn : kNarrowColumn;
        if (column->Width() != width)
            column->SetWidth(width);
    }
}

void Tnewiconview::MyListBox1Click(TObject*)
{
    TEditorState* s = State();
    CommitFloatingPixels();
    TMyListBox* list = FormatList();
    s->SetControlHint(QStringLiteral("ToolButton11"), QStringLiteral("Delete image format"));
    s->SetLabelText(QStringLiteral("projectcaption"), Caption());

    ListClicked = true;
    if (list)
        list->Repaint();
    const int index = list ? list->ItemIndex() : -1;
    const int fc = index >= 0 && index < FormatCount() ? index + 1 : 1;

    const bool removable = fc != 1 || (list && list->Count() > 1);
    s->SetControlEnabled(QStringLiteral("ToolButton11"), removable);
    s->SetControlEnabled(QStringLiteral("RemoveImageFormat1"), removable);
    if (TMenuItem* item = MenuItem(QStringLiteral("RemoveImageFormat1")))
        item->SetEnabled(removable);

    s->SetLabelText(QStringLiteral("title"), FormatCaption(*this, fc));
    // The format is current before the document is activated and the colour panel switched:
    // both show the chosen format (its kind, table and undo state), not the one before.
    MakeFormatCurrent(*this, fc);
    suiForm1Click(this);
    SwitchColorPanel(FormatTable.Kind(fc), true);

    FormPaint(this);
    RebuildView();
    SortFormatsKeepingCurrent();
    UpdateThumbnails();
    RebuildView();
}

void Tnewiconview::MyListBox1MouseMove(TObject*, TShiftState, int, int)
{
    UpdateStandardChecklist(*this);
    TMenuItem* offer = MenuItem(QStringLiteral("Create3232WinXPImageFormat1"));
    if (const int j = OfferStandardFormat(*this)) {
        const QString caption = StandardFormatOfferCaption(*this, j);
        if (offer) {
            offer->SetCaption(caption);
            offer->SetVisible(true);
        }
        State()->SetControlCaption(QStringLiteral("addnow1"), caption);
    } else if (offer) {
        offer->SetVisible(false);
    }
}

void Tnewiconview::BitBtn46Click(TObject* Sender)
{
    MyListBox1Click(Sender);
}

// ---------------------------------------------------------------------------------------------
// Adding, refreshing and removing formats

void Tnewiconview::FinishFormatAdd()
{
    BuildFormatImage(*this, QStringLiteral("dorvelt"));
    SortFormatsKeepingCurrent();
    FormPaint(this);
    RebuildView();
    UpdateThumbnails();
    if (TMyListBox* list = FormatList())
        list->Repaint();
}

void Tnewiconview::BitBtn18Click(TObject*)
{
    const TNewFormatChoice& choice = NewFormatChoice();
    const QString refusal = CheckNewFormat(*this, choice.FormatWidth, choice.FormatHeight, choice.FormatKind);
    if (!refusal.isEmpty()) {
        MessageDlg(refusal, mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    SourceFormat = CurrentFormat();
    AddingStandardFormat = false;
    AppendFormat(*this, true, choice.FormatWidth, choice.FormatHeight, choice.FormatKind);
    SyncFormatListItems();
    FinishFormatAdd();
}

void Tnewiconview::Create3232WinXPImageFormat1Click(TObject*)
{
    // The format is the one the caption offers, worked out afresh in case the table changed
    // since the menu was last updated.
    UpdateStandardChecklist(*this);
    const int j = OfferStandardFormat(*this);
    if (j == 0)
        return;
    const TFormatTable& t = FormatTable;
    const QString refusal = CheckNewFormat(*this, t.StandardWidth(j).toInt(), t.StandardHeight(j).toInt(), t.StandardKind(j));
    if (!refusal.isEmpty()) {
        MessageDlg(refusal, mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    SourceFormat = CurrentFormat();
    AppendFormat(*this, false);
    SyncFormatListItems();
    FinishFormatAdd();
    MyListBox1MouseMove(this, TShiftState(), 0, 0);
}

void Tnewiconview::BitBtn37Click(TObject*)
{
    FormatTable.SetUndoStateCount(1, 1);
    ResetCanvas(QStringLiteral("ok"));
    DrawFormatOver(iconview);
    iconview->Repaint();
    SortFormatsKeepingCurrent();
    SyncFormatListItems();
    UpdateStandardChecklist(*this);
    if (const int j = OfferStandardFormat(*this)) {
        const QString caption = StandardFormatOfferCaption(*this, j);
        if (TMenuItem* offer = MenuItem(QStringLiteral("Create3232WinXPImageFormat1")))
            offer->SetCaption(caption);
        State()->SetControlCaption(QStringLiteral("addnow1"), caption);
    }
}

void Tnewiconview::deleteformatClick(TObject*)
{
    TMyListBox* list = FormatList();
    if (!list || list->Count() < 2 || !RemoveCurrentFormat(*this))
        return;
    // Every entry is a placeholder: the last one goes and the selection stays on the format
    // that is now current.
    list->Items()->Delete(list->Count() - 1);
    list->SetItemIndex(CurrentFormat() - 1);
    MyListBox1Click(this);
    list->Repaint();
    ScrollBox2->Repaint();
}

void Tnewiconview::RemoveImageFormat1Click(TObject*)
{
    // The second popup's item is not disabled with the first: a lone format says why it stays.
    if (FormatCount() < 2) {
        MessageDlg(QStringLiteral("The only image format of a project cannot be removed"), mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    const int f = CurrentFormat();
    Tdeleteicon& dialog = DeleteIcon();
    dialog.SetFormatText(FormatTable.Width(f) + QStringLiteral(" * ") + FormatTable.Height(f) + QStringLiteral(" - ") +
                         FormatTable.Kind(f));
    dialog.ShowModal();
}

// ---------------------------------------------------------------------------------------------
// Showing and placing the list column

void Tnewiconview::ShowImageFormatList1Click(TObject*)
{
    TEditorState* s = State();
    TMenuItem* a = MenuItem(QStringLiteral("ShowImageFormatList1"));
    TMenuItem* b = MenuItem(QStringLiteral("ShowImageFormatList2"));
    const bool shown = (a && a->Checked()) || (b && b->Checked());
    const bool v = !shown;
    if (auto* column = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel1"))))
        column->SetVisible(v);
    FormPaint(this);
    for (TMenuItem* item : {a, b})
        if (item)
            item->SetChecked(v);
    s->SetMenuChecked(QStringLiteral("ShowImageFormatList2"), v);
}

void Tnewiconview::PlaceFormatList(bool right)
{
    TEditorState* s = State();
    auto* column = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel1")));
    TMenuItem* show1 = MenuItem(QStringLiteral("ShowImageFormatList1"));
    TMenuItem* show2 = MenuItem(QStringLiteral("ShowImageFormatList2"));
    if ((show1 && !show1->Checked()) || (show2 && !show2->Checked())) {
        if (column)
            column->SetVisible(true);
        FormPaint(this);
        for (TMenuItem* item : {show1, show2})
            if (item)
                item->SetChecked(true);
        s->SetMenuChecked(QStringLiteral("ShowImageFormatList2"), true);
    }
    TMenuItem* left1 = MenuItem(QStringLiteral("ShowListonLeft1"));
    TMenuItem* left2 = MenuItem(QStringLiteral("ShowListonLeft2"));
    TMenuItem* right1 = MenuItem(QStringLiteral("ShowListonRight1"));
    TMenuItem* right2 = MenuItem(QStringLiteral("ShowListonRight2"));
    TMenuItem* const on[2] = {right ? right1 : left1, right ? right2 : left2};
    const bool already = on[0] && on[0]->Checked() && on[1] && on[1]->Checked();
    if (already)
        return;
    if (column)
        column->SetAlign(right ? alRight : alLeft);
    for (TMenuItem* item : {left1, left2})
        if (item)
            item->SetChecked(!right);
    for (TMenuItem* item : {right1, right2})
        if (item)
            item->SetChecked(right);
    s->SetMenuChecked(QStringLiteral("ShowListonLeft2"), !right);
    s->SetMenuChecked(QStringLiteral("ShowListonRight2"), right);
}

void Tnewiconview::ShowListonLeft1Click(TObject*)
{
    PlaceFormatList(false);
}

void Tnewiconview::ShowListonRight1Click(TObject*)
{
    PlaceFormatList(true);
}

// ---------------------------------------------------------------------------------------------
// Files and new projects

// A write that fails raises its error after the mark is set, so the mark stays.
void Tnewiconview::BitBtn21Click(TObject*)
{
    TEditorState* s = State();
    s->SaveNotDone = true;
    CommitFloatingPixels();
    SaveIconCommand(*this);
    s->SaveNotDone = false;
}

void Tnewiconview::BitBtn22Click(TObject*)
{
    TEditorState* s = State();
    s->SaveNotDone = true;
    CommitFloatingPixels();
    SaveCursorCommand(*this);
    s->SaveNotDone = false;
}

void Tnewiconview::NewGifProjectFromThisImage1Click(TObject*)
{
    NewGifProjectFromCurrentFormat(*this);
}

void Tnewiconview::NewGifProjectFromThisImage2Click(TObject*)
{
    NewAniProjectFromCurrentFormat(*this);
}

void Tnewiconview::NewIconProjectFromThisImage1Click(TObject*)
{
    TEditorState* s = State();
    const QList<QWidget*> widgets = QApplication::allWidgets();
    auto exists = [&](int n) {
        const QString name = QStringLiteral("iconview") + QString::number(n);
        for (QWidget* w : widgets)
            if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    const int counter = s->DocumentCounter;
    const int n = FreeDocumentNumber(counter, exists);
    s->ActiveDocumentNumber = n;

    // Made as every other project is, so the frame activates it and a closed one hands over.
    const QString caption = QStringLiteral("Project ") + QString::number(n);
    auto* project = qobject_cast<Tnewiconview*>(MakeProjectWindow(QStringLiteral("iconview") + QString::number(n), caption));
    if (!project)
        return;
    // The skinned frame's caption sets the window's caption too.
    if (project->suiForm1)
        project->suiForm1->SetCaption(caption);
    project->SetFormStyle(fsMDIChild);
    s->ActiveDocumentName = project->objectName();
    s->HighlightDocumentTab(n + 3);
    if (auto* theme = qobject_cast<TsuiFileTheme*>(project->FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(s->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(project->FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(s->MainUIStyle()));

    project->FormatTable.SetCurrentFormat(1);
    project->FormatTable.SetFormat(1, s->NewImageWidth, s->NewImageHeight, s->NewImageKind);
    if (const int j = TFormatTable::StandardIndexOf(s->NewImageWidth, s->NewImageHeight, s->NewImageKind))
        project->FormatTable.SetStandardFormat(j, QString::number(s->NewImageWidth), QString::number(s->NewImageHeight),
                                               s->NewImageKind, true);
    CopyCurrentFormatInto(*this, *project);
    project->RebuildView();
    project->UpdateThumbnails();
    project->Show();
    s->DocumentCounter = std::max(counter, n);
}
