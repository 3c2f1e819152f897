#include "settings/customiser_items.h"

#include "settings/customisation_undo.h"
#include "settings/desktop_metrics.h"
#include "settings/icon_locations.h"

using namespace IconLocations;

namespace CustomiserItems {

namespace {

// The Shell Icons number of a row whose item lives in the Shell Icons key; 0 for any other.
int ShellNumber(Page page, int row)
{
    const ShellRow* item = nullptr;
    switch (page) {
    case Page::StartMenu: item = StartMenuRow(row); break;
    case Page::System: item = SystemShellRow(row); break;
    case Page::Drives: item = DriveRow(row); break;
    case Page::Desktop: break;
    }
    return item ? item->Number : 0;
}

const ClassRow* ClassRowOf(Page page, int row)
{
    if (page == Page::Desktop)
        return DesktopRow(row);
    if (page == Page::System)
        return SystemClassRow(row);
    return nullptr;
}

void Rebuild()
{
    // A stored icon size that is no number stops the rebuild; the change itself is already made.
    try {
        DesktopMetrics::RebuildIconCache();
    } catch (...) {
    }
}

} // namespace

QString SectionOf(Page page)
{
    switch (page) {
    case Page::StartMenu: return QString::fromLatin1(CustomisationUndo::kStartMenuSection);
    case Page::Desktop: return QString::fromLatin1(CustomisationUndo::kDesktopSection);
    case Page::System: return QString::fromLatin1(CustomisationUndo::kSystemSection);
    case Page::Drives: return QString::fromLatin1(CustomisationUndo::kDrivesSection);
    }
    return {};
}

int RowCount(Page page)
{
    switch (page) {
    case Page::StartMenu: return kStartMenuRows;
    case Page::Desktop: return kDesktopRows;
    case Page::System: return kSystemRows;
    case Page::Drives: return kDriveRows;
    }
    return 0;
}

bool UndoAvailable(Page page, int row)
{
    if (row < 1 || row > RowCount(page) || (page == Page::System && row <= kSystemClassRows))
        return false;
    return CustomisationUndo::UndoAvailable(SectionOf(page), row);
}

bool UndoRow(Page page, int row)
{
    if (!UndoAvailable(page, row))
        return false;
    const QString recorded = CustomisationUndo::RecordedValue(SectionOf(page), row);
    if (const ClassRow* c = ClassRowOf(page, row)) {
        const IconItemRecord record = MakeRecord(*c);
        WriteClassValue(record, recorded == QLatin1String("true") ? record.DefaultData : recorded);
    } else if (const int number = ShellNumber(page, row)) {
        if (recorded == QLatin1String("true"))
            DeleteShellValue(number);
        else
            WriteShellValue(number, recorded);
    }
    Rebuild();
    return true;
}

bool DefaultRow(Page page, int row)
{
    if (const ClassRow* c = ClassRowOf(page, row)) {
        const IconItemRecord record = MakeRecord(*c);
        WriteClassValue(record, record.DefaultData);
    } else if (const int number = ShellNumber(page, row)) {
        DeleteShellValue(number);
    } else {
        return false;
    }
    if (page == Page::Desktop)
        DesktopMetrics::NotifyShellIconChange();
    else
        Rebuild();
    return true;
}

void RestoreAll(Page page)
{
    // Every item of the page, the ones a Windows version does not list included.
    for (int row = 1; row <= RowCount(page); ++row) {
        if (const ClassRow* c = ClassRowOf(page, row)) {
            const IconItemRecord record = MakeRecord(*c);
            WriteClassValue(record, record.DefaultData);
        } else if (const int number = ShellNumber(page, row)) {
            DeleteShellValue(number);
        }
    }
    Rebuild();
}

QString PickedValue(const PickedIcon& pick)
{
    const QString path = pick.File.trimmed();
    if (pick.Mode == ModeStartMenu && (path.endsWith(QLatin1String("ico")) || path.endsWith(QLatin1String("ICO"))))
        return path + QStringLiteral(",0");
    return path + QLatin1Char(',') + QString::number(pick.SelectedCell - 1);
}

bool WritePickedIcon(const PickedIcon& pick, QString* error)
{
    const QString value = PickedValue(pick);
    bool written = false;
    switch (pick.Mode) {
    case ModeStartMenu:
    case ModeShellIcon: {
        const QString previous = ReadShellValue(pick.ShellIconNumber);
        written = WriteShellValue(pick.ShellIconNumber, value);
        if (written) {
            const QString section = pick.Mode == ModeStartMenu ? SectionOf(Page::StartMenu) : SectionOf(pick.FromPage);
            CustomisationUndo::MarkChanged(section, pick.ItemRow, previous);
        }
        break;
    }
    case ModeDesktop:
    case ModeSystemClass: {
        const ClassRow* row = pick.Mode == ModeDesktop ? DesktopRow(pick.ItemRow) : SystemClassRow(pick.ItemRow);
        if (!row)
            break;
        const IconItemRecord record = MakeRecord(*row);
        const QString previous = ReadClassValue(record);
        written = WriteClassValue(record, value);
        if (written && pick.Mode == ModeDesktop)
            CustomisationUndo::MarkChanged(SectionOf(Page::Desktop), pick.ItemRow, previous);
        break;
    }
    case ModeFolder: {
        const QString folder = pick.FolderBox.trimmed();
        if (folder.isEmpty() || IsDriveRoot(folder)) {
            if (error)
                *error = QStringLiteral("No folder is named.");
            return false;
        }
        written = WriteFolderIcon(folder, pick.File.trimmed(), pick.SelectedCell - 1, error);
        break;
    }
    case ModeDriveRoot: {
        const QString root = pick.FolderBox.trimmed();
        if (!IsDriveRoot(root)) {
            if (error)
                *error = QStringLiteral("No drive is named.");
            return false;
        }
        written = WriteDriveRootValue(root[0], value);
        break;
    }
    default:
        break;
    }
    if (!written) {
        if (error && error->isEmpty())
            *error = QStringLiteral("The icon could not be written.");
        return false;
    }
    Rebuild();
    return true;
}

void PickerDefault(const PickedIcon& pick)
{
    if (pick.Mode == ModeStartMenu) {
        DeleteShellValue(pick.ShellIconNumber);
    } else if (pick.Mode == ModeDesktop) {
        if (const ClassRow* row = DesktopRow(pick.ItemRow)) {
            const IconItemRecord record = MakeRecord(*row);
            WriteClassValue(record, record.DefaultData);
        }
    }
    DesktopMetrics::NotifyShellIconChange();
}

} // namespace CustomiserItems
