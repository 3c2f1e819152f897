#include "settings/selecticon.h"

#include "document/command_dialog.h"
#include "document/scratch_folder.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/message_flags.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "imaging/icons/hi_res_icon.h"
#include "imaging/icons/icon_format.h"
#include "imaging/icons/icon_image_list.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/icon_library1.h"
#include "imaging/icons/multi_icon.h"
#include "platform/icon_handle.h"
#include "platform/module.h"
#include "platform/program_paths.h"
#include "settings/set_window_icon.h"
#include "settings/settings_classes.h"

#include <QFileInfo>
#include <QPainter>

Tselecticon* selecticon = nullptr;

Tselecticon* SelectIconWindow()
{
    if (!selecticon) {
        selecticon = new Tselecticon();
        KeepAsSecondaryWindow(*selecticon);
    }
    return selecticon;
}

namespace {

bool IsKind(const QString& kind, const char* lower) { return kind == QLatin1String(lower) || kind == QString::fromLatin1(lower).toUpper(); }

} // namespace

Tselecticon::Tselecticon(QWidget* owner) : TForm(owner)
{
    RegisterSettingsClasses();
    LoadDefinition(QStringLiteral(":/settings/selecticon.wdf"));
    if (auto* grid = qobject_cast<TDrawGrid*>(FindComponent(QStringLiteral("suiDrawGrid1")))) {
        grid->SetTopRow(0);
        grid->SetLeftCol(0);
    }
}

Tselecticon::~Tselecticon()
{
    if (selecticon == this)
        selecticon = nullptr;
}

void Tselecticon::FormCreate(TObject*)
{
    KeepDialogTitleButtons(*this, false);
    TakeMainWindowSkin(*this);
}

void Tselecticon::FormShow(TObject*) { TakeMainWindowSkin(*this); }

QString Tselecticon::FileText() const
{
    QObject* box = FindComponent(QStringLiteral("filepath"));
    return box ? box->property("Text").toString() : QString();
}

void Tselecticon::SetFileText(const QString& text)
{
    if (QObject* box = FindComponent(QStringLiteral("filepath")))
        box->setProperty("Text", text);
    // The edit tells its change handler only when the text differs; a text already shown loads
    // nothing anew, as the handler would find it unchanged.
    if (loadedText_ != text.trimmed() || !Library)
        filepathChange(nullptr);
}

int Tselecticon::IconCount() const
{
    if (!QFileInfo(LocalPath(FileText().trimmed())).isFile())
        return 0;
    if (IsKind(FileKind, "dll"))
        return int(ExtractIconCount(LocalPath(DllPath)));
    if (IsKind(FileKind, "exe") || IsKind(FileKind, "icl") || IsKind(FileKind, "ico"))
        return Library ? Library->Icons()->Count() : 0;
    return 0;
}

int Tselecticon::Columns() const { return (IconCount() + 3) / 4; }

void Tselecticon::filepathChange(TObject*)
{
    LoadFile(FileText());
}

void Tselecticon::LoadFile(const QString& text)
{
    const QString path = text.trimmed();
    // A cell chosen in another file names no icon of this one.
    if (path != namedText_) {
        ClearChoice();
        namedText_ = path;
    }
    if (!QFileInfo(LocalPath(path)).isFile()) {
        RepaintGrid();
        return;
    }
    loadedText_ = path;
    if (FileText() != path) {
        if (QObject* box = FindComponent(QStringLiteral("filepath")))
            box->setProperty("Text", path);
    }
    FileKind = path.right(3);
    if (IsKind(FileKind, "dll")) {
        // Whole: a cut path would name another file or none.
        DllPath = path;
    } else if (IsKind(FileKind, "exe") || IsKind(FileKind, "icl")) {
        auto library = std::make_unique<TIconLibrary>();
        library->LoadFromFile(LocalPath(path));
        Library = library->Icons()->Count() > 0 ? std::move(library) : std::make_unique<TIconLibrary>();
    } else if (IsKind(FileKind, "ico")) {
        // An icon file is shown as a library of one icon, through the scratch library.
        const QString scratch = ScratchPath(QStringLiteral("icldorvicl.icl"));
        auto icon = std::make_unique<TAdvancedIcon>();
        auto library = std::make_unique<TIconLibrary>();
        if (icon->LoadFromFile(LocalPath(path))) {
            TIconLibrary1 writer;
            writer.Icons()->AddIcon(QString(), std::move(icon));
            writer.SaveToFile(scratch);
            library->LoadFromFile(scratch);
        }
        Library = std::move(library);
    }
    RepaintGrid();
}

void Tselecticon::RepaintGrid()
{
    if (auto* grid = qobject_cast<TDrawGrid*>(FindComponent(QStringLiteral("suiDrawGrid1")))) {
        grid->SetColCount(std::max(1, Columns()));
        grid->Repaint();
    }
}

HICON Tselecticon::CellIcon(int k) const
{
    if (k < 1 || k > IconCount())
        return nullptr;
    if (IsKind(FileKind, "dll"))
        return ExtractIcon(nullptr, LocalPath(DllPath), k - 1);
    auto* multi = dynamic_cast<TMultiIcon*>(Library->Icons()->Objects(k - 1));
    if (!multi)
        return nullptr;
    // The 32 by 32 true-colour image first, then any 32 by 32 one, then any no larger.
    auto pick = [&](auto fits) -> HICON {
        HICON chosen = nullptr;
        for (uint16_t i = 0; i < multi->Count(); ++i) {
            uint8_t entry[IconEntryCommonSize] = {};
            multi->GetEntry(i, entry);
            const int w = entry[0] ? entry[0] : 256, h = entry[1] ? entry[1] : 256;
            const int bits = entry[6] | entry[7] << 8;
            if (!fits(w, h, bits))
                continue;
            if (auto icon = multi->CreateHiResIcon(i); icon && icon->Handle()) {
                if (chosen)
                    DestroyIcon(chosen);
                chosen = CopyIcon(icon->Handle());
            }
        }
        return chosen;
    };
    if (HICON icon = pick([](int w, int h, int bits) { return w == 32 && h == 32 && bits == 32; }))
        return icon;
    if (HICON icon = pick([](int w, int h, int) { return w == 32 && h == 32; }))
        return icon;
    return pick([](int w, int h, int) { return w <= 32 && h <= 32; });
}

void Tselecticon::suiDrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    auto* grid = dynamic_cast<TDrawGrid*>(Sender);
    if (!grid)
        return;
    const int columns = Columns();
    if (columns > 0 && grid->ColCount() != columns)
        grid->SetColCount(columns);
    const int k = ARow * columns + ACol + 1;
    QPainter* p = grid->Canvas()->Handle();
    if (!p || !QFileInfo(LocalPath(FileText().trimmed())).isFile())
        return;
    if (k == SelectedCell) {
        p->setPen(QColor(0x31, 0x6A, 0xC5));
        p->drawRect(Rect.Left + 1, Rect.Top + 2, 46, 46);
    }
    HICON icon = CellIcon(k);
    if (!icon)
        return;
    DrawIcon(p, Rect.Left + 5, Rect.Top + 5, icon);
    if (k == SelectedCell)
        ShowInImage(QStringLiteral("Image3"), icon);
    DestroyIcon(icon);
}

void Tselecticon::suiDrawGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool&)
{
    // Only a cell that shows an icon is a choice; a blank one, or one whose icon cannot be read,
    // leaves nothing chosen.
    const int k = ARow * Columns() + ACol + 1;
    if (HICON icon = CellIcon(k)) {
        SelectedCell = k;
        ShowInImage(QStringLiteral("Image3"), icon);
        DestroyIcon(icon);
    } else {
        ClearChoice();
    }
    if (auto* grid = dynamic_cast<TDrawGrid*>(Sender))
        grid->Repaint();
}

void Tselecticon::ClearChoice()
{
    SelectedCell = 0;
    if (auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image3"))))
        image->Picture()->Assign(nullptr);
}

void Tselecticon::ShowInImage(const QString& name, HICON icon)
{
    auto* image = qobject_cast<TImage*>(FindComponent(name));
    if (!image)
        return;
    TBitmap bitmap;
    QImage picture = IconToImage(icon);
    if (picture.isNull())
        return;
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter(&opaque).drawImage(0, 0, picture);
    QImageToBitmap(opaque, bitmap);
    image->Picture()->Assign(&bitmap);
}

void Tselecticon::ShowCurrentIcon(HICON icon)
{
    if (icon)
        ShowInImage(QStringLiteral("iconshow"), icon);
}

void Tselecticon::suiButton1Click(TObject*)
{
    auto* dialog = qobject_cast<TOpenDialog*>(FindComponent(QStringLiteral("SavePictureDialog1")));
    if (!dialog)
        return;
    // A cancelled dialog leaves the box as it was.
    if (dialog->Execute())
        SetFileText(dialog->FileName());
}

void Tselecticon::suiButton3Click(TObject*)
{
    // A location that names no icon of the file shown (no file, a file without icons, a blank
    // cell or one whose icon cannot be read) would leave the item showing nothing.
    HICON chosen = CellIcon(SelectedCell);
    if (chosen)
        DestroyIcon(chosen);
    if (!chosen) {
        MessageBox(IconCount() == 0 ? QStringLiteral("The file named holds no icons to choose from.")
                                    : QStringLiteral("Please choose an icon in the grid first."),
                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    CustomiserItems::PickedIcon pick;
    pick.Mode = Mode;
    pick.FromPage = FromPage;
    pick.ShellIconNumber = ShellIconNumber;
    pick.ItemRow = ItemRow;
    pick.File = FileText();
    pick.SelectedCell = SelectedCell;
    if (set_window_icon)
        pick.FolderBox = set_window_icon->FolderText();
    QString error;
    if (!CustomiserItems::WritePickedIcon(pick, &error)) {
        MessageBox(error, QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONERROR);
        return;
    }
    if (set_window_icon && (Mode == CustomiserItems::ModeFolder || Mode == CustomiserItems::ModeDriveRoot))
        set_window_icon->Edit1Change(nullptr);
    RepaintGrid();
    Close();
}

void Tselecticon::suiButton2Click(TObject*)
{
    CustomiserItems::PickedIcon pick;
    pick.Mode = Mode;
    pick.ShellIconNumber = ShellIconNumber;
    pick.ItemRow = ItemRow;
    CustomiserItems::PickerDefault(pick);
    if (set_window_icon)
        set_window_icon->RepaintLists();
    Close();
}

void Tselecticon::suiButton4Click(TObject*) { Close(); }
