#include "settings/set_window_icon.h"

#include "document/command_dialog.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/message_flags.h"
#include "framework/paint_box.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "platform/help_viewer.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"
#include "settings/customisation_undo.h"
#include "settings/desktop_metrics.h"
#include "settings/selecticon.h"
#include "settings/settings_classes.h"
#include "skin/controls/page_control.h"

#include <QPainter>
#include <QPainterPath>
#include <cerrno>
#include <cstring>

using namespace IconLocations;
using CustomiserItems::Page;

Tset_window_icon* set_window_icon = nullptr;

void ShowWindowsIconCustomiser()
{
    if (!set_window_icon) {
        set_window_icon = new Tset_window_icon();
        KeepAsSecondaryWindow(*set_window_icon);
    }
    TakeMainWindowSkin(*set_window_icon);
    set_window_icon->ShowModal();
}

namespace {

const QString kCaption = QStringLiteral("Brelnova Studio");

void Tell(const QString& text) { MessageBox(text, kCaption, MB_OK | MB_ICONINFORMATION); }

void DrawHeart(QPainter& p, int x, int y, bool selected)
{
    QPainterPath heart;
    heart.moveTo(x + 12.5, y + 21);
    heart.cubicTo(x + 2, y + 13, x, y + 8, x + 3, y + 4);
    heart.cubicTo(x + 6, y + 1, x + 11, y + 2, x + 12.5, y + 6);
    heart.cubicTo(x + 14, y + 2, x + 19, y + 1, x + 22, y + 4);
    heart.cubicTo(x + 25, y + 8, x + 23, y + 13, x + 12.5, y + 21);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x99, 0x10, 0x20));
    p.setBrush(selected ? QColor(0xF0, 0x30, 0x50) : QColor(0xE0, 0x60, 0x70));
    p.drawPath(heart);
    p.restore();
}

QString SheetOf(Page page)
{
    switch (page) {
    case Page::StartMenu: return QStringLiteral("suiTabSheet3");
    case Page::Desktop: return QStringLiteral("suiTabSheet4");
    case Page::System: return QStringLiteral("suiTabSheet6");
    case Page::Drives: return QStringLiteral("suiTabSheet7");
    }
    return {};
}

QString UndoButtonOf(Page page)
{
    switch (page) {
    case Page::StartMenu: return QStringLiteral("suiButton40");
    case Page::Desktop: return QStringLiteral("suiButton41");
    case Page::System: return QStringLiteral("suiButton2");
    case Page::Drives: return QStringLiteral("suiButton20");
    }
    return {};
}

QString RowCaption(Page page, int row)
{
    switch (page) {
    case Page::StartMenu: return IconLocations::StartMenuRow(row) ? QString::fromLatin1(IconLocations::StartMenuRow(row)->Caption) : QString();
    case Page::Desktop: return IconLocations::DesktopRow(row) ? QString::fromLatin1(IconLocations::DesktopRow(row)->Caption) : QString();
    case Page::System: return SystemRowCaption(row);
    case Page::Drives: return IconLocations::DriveRow(row) ? QString::fromLatin1(IconLocations::DriveRow(row)->Caption) : QString();
    }
    return {};
}

} // namespace

Tset_window_icon::Tset_window_icon(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    for (int i = 0; i < kDesktopRows; ++i)
        DesktopItems[size_t(i)] = MakeRecord(*IconLocations::DesktopRow(i + 1));
    for (int i = 0; i < kSystemClassRows; ++i)
        SystemItems[size_t(i)] = MakeRecord(*SystemClassRow(i + 1));
    LoadDefinition(QStringLiteral(":/settings/set_window_icon.wdf"));
    // A click on the grid's current cell selects nothing by itself, so the first row could
    // never be chosen with the mouse; the click makes the current row the selected one.
    for (Page page : {Page::StartMenu, Page::Desktop, Page::System, Page::Drives}) {
        if (TDrawGrid* grid = Grid(page)) {
            // The definition's fixed rows, dropped after the row count was set, leave the list
            // scrolled by one; every list opens at its first item.
            grid->SetTopRow(0);
            grid->OnClick = [this, page, grid](TObject*) {
                if (SelectedRow(page) != grid->Row() + 1)
                    SelectRow(page, grid->Row() + 1);
            };
        }
    }
}

Tset_window_icon::~Tset_window_icon()
{
    if (set_window_icon == this)
        set_window_icon = nullptr;
}

void Tset_window_icon::SetControlEnabled(const QString& name, bool enabled)
{
    if (auto* control = qobject_cast<TControl*>(FindComponent(name)))
        control->SetEnabled(enabled);
}

void Tset_window_icon::FormCreate(TObject*)
{
    KeepDialogTitleButtons(*this, true);
    TakeMainWindowSkin(*this);
    WindowsName = WindowsVersionName();
    const QString caption = QStringLiteral("Customize Windows Icons - (") + WindowsName + QLatin1Char(')');
    SetCaption(caption);
    if (QObject* frame = FindComponent(QStringLiteral("suiForm1")))
        frame->setProperty("Caption", caption);
    if (auto* pages = qobject_cast<TsuiPageControl*>(FindComponent(QStringLiteral("suiPageControl1"))))
        pages->SelectPage(0);
    LoadIconSizeSettings();
    FillCustomizerRows();
    QString error;
    if (!CustomisationUndo::SnapshotStartMenuIcons(&error) || !CustomisationUndo::SnapshotDesktopIcons(&error))
        MessageBox(error, kCaption, MB_OK | MB_ICONERROR);
}

void Tset_window_icon::FillCustomizerRows()
{
    const int code = WindowsVersionCode();
    if (code == 9 || code == 3 || code == 4 || code == 7) {
        // "Undock(Exit PC)" is not listed on these versions.
        if (TDrawGrid* grid = Grid(Page::StartMenu))
            grid->SetRowCount(kStartMenuRows - 1);
        if (TDrawGrid* grid = Grid(Page::System))
            grid->SetRowCount(kSystemRows);
        if (TDrawGrid* grid = Grid(Page::Drives))
            grid->SetRowCount(kDriveRows);
    }
}

TDrawGrid* Tset_window_icon::Grid(Page page) const
{
    const char* names[] = {"beginicon", "suiDrawGrid2", "suiDrawGrid1", "suiDrawGrid4"};
    return qobject_cast<TDrawGrid*>(FindComponent(QLatin1String(names[int(page)])));
}

int& Tset_window_icon::SelectedRow(Page page)
{
    switch (page) {
    case Page::StartMenu: return StartMenuRow;
    case Page::Desktop: return DesktopRow;
    case Page::System: return SystemRow;
    case Page::Drives: break;
    }
    return DriveRow;
}

QString Tset_window_icon::FolderText() const
{
    QObject* box = FindComponent(QStringLiteral("Edit1"));
    return box ? box->property("Text").toString() : QString();
}

void Tset_window_icon::RepaintLists()
{
    for (Page page : {Page::StartMenu, Page::Desktop, Page::System, Page::Drives})
        if (TDrawGrid* grid = Grid(page))
            grid->Repaint();
}

void Tset_window_icon::suiPageControl1Change(TObject* Sender)
{
    auto* pages = dynamic_cast<TsuiPageControl*>(Sender);
    if (pages && pages->TabIndex() == 0)
        LoadIconSizeSettings();
}

void Tset_window_icon::suiTabSheet2Show(TObject*) { Edit1Change(nullptr); }
void Tset_window_icon::suiTabSheet3Show(TObject*) { RepaintLists(); }
void Tset_window_icon::suiTabSheet4Show(TObject*) { RepaintLists(); }

void Tset_window_icon::suiTabSheet6Show(TObject*)
{
    if (TDrawGrid* grid = Grid(Page::System)) {
        grid->SetRowCount(kSystemRows);
        grid->Repaint();
    }
}

void Tset_window_icon::suiTabSheet7Show(TObject*)
{
    if (TDrawGrid* grid = Grid(Page::Drives)) {
        grid->SetRowCount(kDriveRows);
        grid->Repaint();
    }
}

// ---- the lists ---------------------------------------------------------------------------------

IconSource Tset_window_icon::LoadRow(Page page, int row)
{
    IconSource source;
    IconItemRecord* record = nullptr;
    switch (page) {
    case Page::StartMenu: source = LoadStartMenuIcon(row); break;
    case Page::Desktop:
        if (row >= 1 && row <= kDesktopRows)
            record = &DesktopItems[size_t(row - 1)];
        source = LoadDesktopIcon(row);
        break;
    case Page::System:
        if (row >= 1 && row <= kSystemClassRows)
            record = &SystemItems[size_t(row - 1)];
        source = LoadSystemIcon(row);
        break;
    case Page::Drives: source = LoadDriveIcon(row); break;
    }
    if (record) {
        const ClassRow* c = page == Page::Desktop ? IconLocations::DesktopRow(row) : SystemClassRow(row);
        CurrentIconFile = InWindowsDir(QString::fromLatin1(c->FallbackFile));
    }
    if (source.Loaded) {
        CurrentIconFile = source.File;
        Customised = source.Customised;
    }
    if (record)
        record->IconFile = CurrentIconFile;
    return source;
}

void Tset_window_icon::DrawRow(Page page, TObject* Sender, int ARow, const TRect& Rect)
{
    auto* grid = dynamic_cast<TDrawGrid*>(Sender);
    QPainter* p = grid ? grid->Canvas()->Handle() : nullptr;
    if (!p)
        return;
    const int row = ARow + 1;
    const QString caption = RowCaption(page, row);
    if (caption.isEmpty())
        return;
    const IconSource source = LoadRow(page, row);
    const bool selected = row == SelectedRow(page);
    const QColor brush = selected ? QColor(213, 228, 244) : Qt::white;
    p->fillRect(Rect.Left + 2, Rect.Top, 243, 48, brush);
    p->setPen(selected ? QColor(0x7F, 0x9D, 0xB9) : QColor(0xE4, 0xE4, 0xE4));
    p->drawRect(Rect.Left + 2, Rect.Top, 242, 47);
    HICON icon = ExtractSourceIcon(source);
    if (icon)
        DrawIconEx(p, Rect.Left + 10, Rect.Top + 8, icon, 32, 32, 0, nullptr, DI_NORMAL);
    if (source.Loaded && Customised == 2)
        DrawHeart(*p, Rect.Left + 210, Rect.Top + 8, selected);
    if (selected && icon)
        SelectIconWindow()->ShowCurrentIcon(icon);
    if (icon)
        DestroyIcon(icon);
    QFont font(QStringLiteral("MS PGothic"));
    font.setPointSize(12);
    p->setFont(font);
    p->setPen(Qt::black);
    p->drawText(Rect.Left + 55, Rect.Top + 5 + QFontMetrics(font).ascent(), caption);
}

void Tset_window_icon::beginiconDrawCell(TObject* S, int, int R, TRect Rect, TGridDrawState) { DrawRow(Page::StartMenu, S, R, Rect); }
void Tset_window_icon::suiDrawGrid2DrawCell(TObject* S, int, int R, TRect Rect, TGridDrawState) { DrawRow(Page::Desktop, S, R, Rect); }
void Tset_window_icon::suiDrawGrid1DrawCell(TObject* S, int, int R, TRect Rect, TGridDrawState) { DrawRow(Page::System, S, R, Rect); }
void Tset_window_icon::suiDrawGrid4DrawCell(TObject* S, int, int R, TRect Rect, TGridDrawState) { DrawRow(Page::Drives, S, R, Rect); }

void Tset_window_icon::SelectRow(Page page, int row)
{
    SelectedRow(page) = row;
    SetUndoButton(page);
    if (TDrawGrid* grid = Grid(page))
        grid->Repaint();
}

void Tset_window_icon::SetUndoButton(Page page)
{
    SetControlEnabled(UndoButtonOf(page), CustomiserItems::UndoAvailable(page, SelectedRow(page)));
}

void Tset_window_icon::beginiconSelectCell(TObject*, int, int R, bool&) { SelectRow(Page::StartMenu, R + 1); }
void Tset_window_icon::suiDrawGrid2SelectCell(TObject*, int, int R, bool&) { SelectRow(Page::Desktop, R + 1); }
void Tset_window_icon::suiDrawGrid1SelectCell(TObject*, int, int R, bool&) { SelectRow(Page::System, R + 1); }
void Tset_window_icon::suiDrawGrid4SelectCell(TObject*, int, int R, bool&) { SelectRow(Page::Drives, R + 1); }

void Tset_window_icon::HeartPaint(TObject* Sender)
{
    auto* box = dynamic_cast<TPaintBox*>(Sender);
    if (QPainter* p = box ? box->Canvas()->Handle() : nullptr)
        DrawHeart(*p, 0, 0, false);
}

bool Tset_window_icon::RowChosen(Page page)
{
    const int row = SelectedRow(page);
    if (row >= 1 && row <= CustomiserItems::RowCount(page))
        return true;
    Tell(QStringLiteral("Please select an item in the list first."));
    return false;
}

void Tset_window_icon::ShowPicker(int mode, int number, int row, const QString& file, Page page)
{
    Tselecticon* picker = SelectIconWindow();
    picker->Mode = mode;
    picker->ShellIconNumber = number;
    picker->ItemRow = row;
    picker->FromPage = page;
    picker->SetFileText(file);
    TakeMainWindowSkin(*picker);
    picker->ShowModal();
    RepaintLists();
    for (Page p : {Page::StartMenu, Page::Desktop, Page::System, Page::Drives})
        SetUndoButton(p);
}

void Tset_window_icon::Modify(Page page)
{
    if (!RowChosen(page))
        return;
    const int row = SelectedRow(page);
    const QString explorer = InWindowsDir(QStringLiteral("explorer.exe"));
    switch (page) {
    case Page::StartMenu:
        ShowPicker(CustomiserItems::ModeStartMenu, IconLocations::StartMenuRow(row)->Number, row, explorer, page);
        break;
    case Page::Desktop:
        ShowPicker(CustomiserItems::ModeDesktop, 0, row, DesktopItems[size_t(row - 1)].IconFile, page);
        break;
    case Page::System:
        if (row <= kSystemClassRows)
            ShowPicker(CustomiserItems::ModeSystemClass, 0, row, explorer, page);
        else
            ShowPicker(CustomiserItems::ModeShellIcon, SystemShellRow(row)->Number, row, explorer, page);
        break;
    case Page::Drives:
        ShowPicker(CustomiserItems::ModeShellIcon, IconLocations::DriveRow(row)->Number, row, explorer, page);
        break;
    }
}

void Tset_window_icon::Undo(Page page)
{
    if (!RowChosen(page))
        return;
    if (!CustomiserItems::UndoRow(page, SelectedRow(page)))
        Tell(QStringLiteral("There is no change of this item to undo."));
    if (TDrawGrid* grid = Grid(page))
        grid->Repaint();
}

void Tset_window_icon::Default(Page page)
{
    if (!RowChosen(page))
        return;
    CustomiserItems::DefaultRow(page, SelectedRow(page));
    if (TDrawGrid* grid = Grid(page))
        grid->Repaint();
}

void Tset_window_icon::RestoreAll(Page page)
{
    CustomiserItems::RestoreAll(page);
    if (TDrawGrid* grid = Grid(page))
        grid->Repaint();
}

void Tset_window_icon::suiButton9Click(TObject*) { Modify(Page::StartMenu); }
void Tset_window_icon::suiButton40Click(TObject*) { Undo(Page::StartMenu); }
void Tset_window_icon::suiButton10Click(TObject*) { Default(Page::StartMenu); }
void Tset_window_icon::suiButton11Click(TObject*) { RestoreAll(Page::StartMenu); }
void Tset_window_icon::suiButton15Click(TObject*) { Close(); }
void Tset_window_icon::suiButton16Click(TObject*) { Modify(Page::Desktop); }
void Tset_window_icon::suiButton41Click(TObject*) { Undo(Page::Desktop); }
void Tset_window_icon::suiButton17Click(TObject*) { Default(Page::Desktop); }
void Tset_window_icon::suiButton18Click(TObject*) { RestoreAll(Page::Desktop); }
void Tset_window_icon::suiButton19Click(TObject*) { Close(); }
void Tset_window_icon::suiButton24Click(TObject*) { Modify(Page::System); }
void Tset_window_icon::suiButton2Click(TObject*) { Undo(Page::System); }
void Tset_window_icon::suiButton25Click(TObject*) { Default(Page::System); }
void Tset_window_icon::suiButton26Click(TObject*) { RestoreAll(Page::System); }
void Tset_window_icon::suiButton27Click(TObject*) { Close(); }
void Tset_window_icon::suiButton28Click(TObject*) { Modify(Page::Drives); }
void Tset_window_icon::suiButton20Click(TObject*) { Undo(Page::Drives); }
void Tset_window_icon::suiButton29Click(TObject*) { Default(Page::Drives); }
void Tset_window_icon::suiButton30Click(TObject*) { RestoreAll(Page::Drives); }
void Tset_window_icon::suiButton31Click(TObject*) { Close(); }

// ---- System Setting ----------------------------------------------------------------------------

void Tset_window_icon::LoadIconSizeSettings()
{
    DesktopMetrics::IconSizeSettings settings;
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox1")))
        settings.Horizontal = box->property("Text").toString();
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox2")))
        settings.Vertical = box->property("Text").toString();
    if (!DesktopMetrics::LoadIconSizeSettings(&settings))
        return;
    if (QObject* radio = FindComponent(settings.Normal ? QStringLiteral("icon_size1") : QStringLiteral("icon_size2")))
        radio->setProperty("Checked", true);
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox1")))
        box->setProperty("Text", settings.Horizontal);
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox2")))
        box->setProperty("Text", settings.Vertical);
}

void Tset_window_icon::icon_size1Click(TObject*) { SetControlEnabled(QStringLiteral("suiButton5"), true); }
void Tset_window_icon::icon_size2Click(TObject*) { SetControlEnabled(QStringLiteral("suiButton5"), true); }
void Tset_window_icon::suiComboBox1Change(TObject*) { SetControlEnabled(QStringLiteral("suiButton5"), true); }
void Tset_window_icon::suiComboBox2Change(TObject*) { SetControlEnabled(QStringLiteral("suiButton5"), true); }

void Tset_window_icon::suiButton1Click(TObject*)
{
    if (!DesktopMetrics::RebuildIconCache())
        Tell(QStringLiteral("Windows keeps no icon size to rebuild the icon cache from."));
}

void Tset_window_icon::suiButton3Click(TObject*) { Close(); }
void Tset_window_icon::suiButton4Click(TObject*) { Close(); }

void Tset_window_icon::suiButton5Click(TObject*)
{
    SetControlEnabled(QStringLiteral("suiButton5"), false);
    DesktopMetrics::IconSizeSettings settings;
    QObject* normal = FindComponent(QStringLiteral("icon_size1"));
    settings.Normal = normal && normal->property("Checked").toBool();
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox1")))
        settings.Horizontal = box->property("Text").toString();
    if (QObject* box = FindComponent(QStringLiteral("suiComboBox2")))
        settings.Vertical = box->property("Text").toString();
    QString error;
    if (!DesktopMetrics::ApplyIconSizeSettings(settings, &error)) {
        MessageBox(error, kCaption, MB_OK | MB_ICONERROR);
        return;
    }
    Close();
}

// ---- Folders -----------------------------------------------------------------------------------

void Tset_window_icon::Edit1Change(TObject*)
{
    const IconSource source = LoadFolderItemIcon(FolderText(), &FolderIconFile);
    if (!source.Loaded)
        return;
    auto* preview = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image4")));
    if (!preview)
        return;
    TBitmap bitmap;
    QImage shown(32, 32, QImage::Format_RGB32);
    shown.fill(QColor(0xF0, 0xF0, 0xF0));
    if (HICON icon = ExtractSourceIcon(source)) {
        QPainter(&shown).drawImage(QRect(0, 0, 32, 32), IconToImage(icon));
        DestroyIcon(icon);
    }
    QImageToBitmap(shown, bitmap);
    preview->Picture()->Assign(&bitmap);
    preview->Repaint();
}

void Tset_window_icon::suiButton6Click(TObject*)
{
    QString folder;
    if (!SelectDirectory(QStringLiteral("Select Directory"), QString(), folder))
        return;
    if (QObject* box = FindComponent(QStringLiteral("Edit1")))
        box->setProperty("Text", IsDriveRoot(folder) ? folder : FolderWithSeparator(folder));
}

void Tset_window_icon::suiButton7Click(TObject*)
{
    const QString item = FolderText().trimmed();
    if (item.isEmpty()) {
        Tell(QStringLiteral("Please name a folder or a drive first."));
        return;
    }
    if (IsDriveRoot(item)) {
        const QString windir = GetWindowsDirPlain();
        ShowPicker(CustomiserItems::ModeDriveRoot, 0, 0, windir.isEmpty() ? QString() : windir + QStringLiteral("\\system32\\SHELL32.DLL"),
                   Page::System);
    } else {
        const QString file = FolderIconFile.isEmpty() || FolderIconFile == QLatin1String("no")
            ? InWindowsDir(QStringLiteral("system32\\shell32.dll"))
            : FolderIconFile;
        ShowPicker(CustomiserItems::ModeFolder, 0, 0, file, Page::System);
    }
}

void Tset_window_icon::suiButton8Click(TObject*)
{
    const QString item = FolderText().trimmed();
    if (item.isEmpty()) {
        Tell(QStringLiteral("Please name a folder or a drive first."));
        return;
    }
    QString error;
    if (IsDriveRoot(item))
        DeleteDriveRoot(item[0]);
    else if (!RemoveFolderIcon(item, &error))
        MessageBox(error, kCaption, MB_OK | MB_ICONERROR);
    Edit1Change(nullptr);
}

void Tset_window_icon::suiButton12Click(TObject*)
{
    try {
        DesktopMetrics::RebuildIconCache();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

// Cancel leaves the folder's icon as it is: the icon was written by the picker's OK, which the
// user meant.
void Tset_window_icon::suiButton13Click(TObject*) { Close(); }

void Tset_window_icon::suiButton14Click(TObject* Sender) { suiButton12Click(Sender); }

void Tset_window_icon::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    const QString path = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/9_1.htm");
    if (!HtmlHelp(this, path, HH_DISPLAY_TOC, 0))
        throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2").arg(errno).arg(QString::fromLocal8Bit(std::strerror(errno))));
}
