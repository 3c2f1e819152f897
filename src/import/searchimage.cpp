#include "import/searchimage.h"

#include "document/command_dialog.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/label.h"
#include "framework/list_view.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/string_list.h"
#include "framework/tool_bar.h"
#include "imaging/gif/animated_image.h"
#include "import/formscreen.h"
#include "import/import_fonts.h"
#include "import/import_rules.h"
#include "import/loadimagedorv.h"
#include "mainwindow/file_host.h"
#include "mainwindow/open_dispatch.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/status_bar.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QUrl>

Tsearchimage* searchimage = nullptr;

namespace {

QImage BackgroundTile()
{
    QImage tile(100, 100, QImage::Format_ARGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            tile.setPixel(x, y, ((x / 10 + y / 10) & 1) ? qRgb(0xE4, 0xE8, 0xF0) : qRgb(0xF8, 0xF8, 0xFC));
    return tile;
}

// The picture behind every grid cell, and the type pictures drawn over it.
QImage CellBackground()
{
    QImage cell(83, 117, QImage::Format_ARGB32);
    cell.fill(qRgb(0xF4, 0xF6, 0xFA));
    QPainter p(&cell);
    p.setPen(qRgb(0xB8, 0xC0, 0xD0));
    p.drawRect(0, 0, 82, 116);
    p.fillRect(13, 18, 58, 58, qRgb(0xFF, 0xFF, 0xFF));
    return cell;
}

const QStringList& WholeCellTypes()
{
    static const QStringList t{".BDM", ".DIB", ".EXE", ".ICL", ".PCD", ".PCX", ".PGM",
                               ".PSD", ".RLE", ".SGI", ".VDA", ".VST", ".DLL"};
    return t;
}

const QStringList& BadgeTypes()
{
    static const QStringList t{".BMP", ".EMF", ".GIF", ".ICO", ".JPEG", ".JPG",
                               ".PNG", ".TGA", ".TIF", ".TIFF", ".WEMP", ".WMF"};
    return t;
}

// Each extension gets a colour of its own from its letters, so the pictures tell types apart.
QColor TypeColour(const QString& ext)
{
    const uint h = qHash(ext);
    return QColor::fromHsv(int(h % 360), 150, 200);
}

void DrawTypePicture(QPainter& p, const QRect& cell, const QString& ext)
{
    if (WholeCellTypes().contains(ext)) {
        QColor c = TypeColour(ext);
        c.setAlpha(60);
        p.fillRect(QRect(cell.topLeft(), QSize(83, 117)), c);
        p.setPen(TypeColour(ext).darker());
        p.drawText(QRect(cell.left() + 13, cell.top() + 18, 58, 58), Qt::AlignCenter, ext.mid(1));
    } else if (BadgeTypes().contains(ext)) {
        const QRect badge(cell.left() + 51, cell.top() + 79, 25, 10);
        p.fillRect(badge, TypeColour(ext));
        QFont f(ImportFontFamily(QStringLiteral("MS gothic")));
        f.setPixelSize(7);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(badge, Qt::AlignCenter, ext.mid(1));
    }
}

TStatusPanel* Panel(Tsearchimage* w, int i)
{
    auto* bar = qobject_cast<TsuiStatusBar*>(w->FindComponent(QStringLiteral("suiStatusBar1")));
    return bar && i < bar->Panels()->Count() ? bar->Panels()->Items(i) : nullptr;
}

template <class T> T* Part(const TForm* w, const char* name)
{
    return qobject_cast<T*>(w->FindComponent(QLatin1String(name)));
}

void ShowPart(const TForm* w, const char* name, bool visible)
{
    if (auto* c = Part<TControl>(w, name))
        c->SetVisible(visible);
}

void EnablePart(const TForm* w, const char* name, bool enabled)
{
    if (auto* c = qobject_cast<TControl*>(w->FindComponent(QLatin1String(name))))
        c->SetEnabled(enabled);
    else if (auto* m = Part<TMenuItem>(w, name))
        m->SetEnabled(enabled);
}

QString KilobyteText(qint64 size)
{
    return QString::number((size + 1023) / 1024) + QStringLiteral(" KB");
}

} // namespace

// A run of results found by the worker, handed to the GUI thread in one queued call so that a
// fast walk does not flood the event queue; the folder is the last one scanned.
struct Tsearchimage::TBatch {
    int Generation = 0;
    QList<TSearchResult> Results;
    QString Folder;
    bool Ended = false;
};

Tsearchimage::Tsearchimage(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    LoadDefinition(QStringLiteral(":/import/searchimage.wdf"));
    searchimage = this;
}

Tsearchimage::~Tsearchimage()
{
    JoinWorker();
    if (searchimage == this)
        searchimage = nullptr;
}

void Tsearchimage::FormCreate(TObject*)
{
    StopFlag = false;
    if (auto* bar = Part<TsuiStatusBar>(this, "suiStatusBar1")) {
        const std::pair<const char*, int> panels[] = {{"Search Directory\uFF1A", 120}, {"", 300}, {"Total\uFF1A", 50}, {"", 50}};
        for (const auto& [text, width] : panels) {
            TStatusPanel* p = bar->Panels()->Add();
            p->SetText(QString::fromUtf8(text));
            p->SetWidth(width);
        }
    }
    if (auto* preview = Part<TImage>(this, "iconviewbg")) {
        TBitmap bitmap;
        QImageToBitmap(BackgroundTile(), bitmap);
        preview->Picture()->Assign(&bitmap);
    }
    if (auto* drives = Part<TsuiDriveComboBox>(this, "suiDriveComboBox1"))
        if (drives->Items()->Count() > 0 && drives->ItemIndex() < 0)
            drives->SetItemIndex(0);
}

void Tsearchimage::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tsearchimage::FormCloseQuery(TObject*, bool& CanClose)
{
    if (!Searching)
        return;
    MessageDlg(QStringLiteral("Please stop searching."), mtWarning, MsgDlgButtons({mbOK}));
    CanClose = false;
}

void Tsearchimage::FormClose(TObject*, TCloseAction& Action)
{
    Action = caFree;
}

QStringList Tsearchimage::Locations() const
{
    auto* drives = Part<TsuiDriveComboBox>(this, "suiDriveComboBox1");
    QStringList out;
    for (int i = 0; drives && i < drives->Items()->Count(); ++i)
        out << drives->Items()->Strings(i);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Search and its worker

void Tsearchimage::suiButton2Click(TObject*)
{
    auto* kindBox = Part<TCustomComboBox>(this, "suiComboBox2");
    const QString kindText = kindBox ? kindBox->Text().trimmed() : QString();
    TSearchKind kind;
    if (kindText == QLatin1String("Icons or Icon Libraries"))
        kind = TSearchKind::Icons;
    else if (kindText == QLatin1String("Pictures"))
        kind = TSearchKind::Pictures;
    else if (kindText == QLatin1String("All Supported Files"))
        kind = TSearchKind::AllFiles;
    else {
        // An empty box, or a text typed over the list, names no kind.
        Application->MessageBox(QStringLiteral("Please select search type"), QString(), MB_OK);
        return;
    }
    auto* drives = Part<TCustomComboBox>(this, "suiDriveComboBox1");
    const QString root = drives ? drives->Text().trimmed() : QString();
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        Application->MessageBox(QStringLiteral("The location cannot be searched: ") + root, QString(), MB_OK);
        return;
    }
    auto* findEdit = Part<TCustomEdit>(this, "find");
    const QString fragment = findEdit ? findEdit->Text().trimmed() : QString();

    // A new search waits for the previous worker, which a Stop has already asked to end.
    StopFlag = true;
    JoinWorker();
    Searching = true;
    StopFlag = false;
    EnablePart(this, "suiButton2", false);
    EnablePart(this, "suiButton3", true);
    ShowPart(this, "iconviewbg", false);
    ResultCount = 0;
    Results.clear();
    SelectedResult = -1;
    if (auto* list = Part<TListView>(this, "ListView"))
        list->Items()->Clear();
    ShowView(false, vsReport);
    if (TStatusPanel* p = Panel(this, 3))
        p->SetText(QStringLiteral("0"));
    StartWorker(kind, root, fragment);
    ShowPart(this, "playgif", true);
    if (auto* anim = Part<TAnimatedImage>(this, "playgif"))
        anim->SetActive(true);
    if (auto* label = Part<TLabel>(this, "Label1")) {
        label->SetCaption(QStringLiteral("Search....."));
        label->SetVisible(true);
    }
}

void Tsearchimage::StartWorker(TSearchKind kind, const QString& root, const QString& fragment)
{
    const int generation = ++generation_;
    workerRunning_ = true;
    try {
        worker_ = std::thread([this, walk = Walk, kind, root, fragment, generation] {
            auto batch = std::make_shared<TBatch>();
            batch->Generation = generation;
            QElapsedTimer sinceSent;
            sinceSent.start();
            auto send = [&](bool ended) {
                batch->Ended = ended;
                QMetaObject::invokeMethod(this, [this, b = batch] { TakeBatch(b); }, Qt::QueuedConnection);
                batch = std::make_shared<TBatch>();
                batch->Generation = generation;
                sinceSent.restart();
            };
            // Results go on at least every 40 ms, also while folders without a match go by, so
            // that the list and the count keep up with the walk.
            walk(
                root, fragment, kind, StopFlag,
                [&](const TSearchResult& r, const QString& folder) {
                    batch->Results.append(r);
                    batch->Folder = folder;
                    if (batch->Results.size() >= 500 || sinceSent.elapsed() >= 40)
                        send(false);
                },
                [&] {
                    if (!batch->Results.isEmpty() && sinceSent.elapsed() >= 40)
                        send(false);
                });
            send(true);
        });
    } catch (const std::system_error&) {
        workerRunning_ = false;
        Application->MessageBox(QString::fromUtf8("Didn\u2019t Create the search Thread"), QString(), MB_OK);
    }
}

void Tsearchimage::TakeBatch(const std::shared_ptr<TBatch>& batch)
{
    if (batch->Generation != generation_)
        return;
    auto* list = Part<TListView>(this, "ListView");
    if (list && !batch->Results.isEmpty()) {
        list->Items()->BeginUpdate();
        for (const TSearchResult& r : batch->Results) {
            Results.append(r);
            ++ResultCount;
            AddRow(r);
        }
        list->Items()->EndUpdate();
        if (TStatusPanel* p = Panel(this, 1))
            p->SetText(batch->Folder);
        if (TStatusPanel* p = Panel(this, 3))
            p->SetText(QString::number(ResultCount));
    }
    if (batch->Ended)
        WorkerEnded(batch->Generation);
}

void Tsearchimage::WorkerEnded(int generation)
{
    JoinWorker();
    if (generation != generation_ || !Searching)
        return;
    ShowPart(this, "playgif", false);
    if (auto* label = Part<TLabel>(this, "Label1")) {
        label->SetCaption(QStringLiteral("Search has completed"));
        label->SetVisible(true);
    }
    suiButton3Click(nullptr);
    // Stop hides the label; the end of a search leaves its word on show.
    ShowPart(this, "Label1", true);
}

void Tsearchimage::JoinWorker()
{
    if (worker_.joinable()) {
        // Only the worker's own end (or the window's end) waits here; either way it is told to stop
        // so that the wait lasts one directory entry at most.
        if (workerRunning_ && !StopFlag)
            StopFlag = true;
        worker_.join();
    }
    workerRunning_ = false;
}

void Tsearchimage::WaitForWorker()
{
    while (worker_.joinable() && workerRunning_) {
        QCoreApplication::sendPostedEvents(this);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCoreApplication::sendPostedEvents(this);
}

void Tsearchimage::AddRow(const TSearchResult& r)
{
    auto* list = Part<TListView>(this, "ListView");
    if (!list)
        return;
    TListItem* item = list->Items()->Add();
    item->SetCaption(r.FileName);
    TStrings* sub = item->SubItems();
    sub->Add(r.FileName);
    sub->Add(r.Extension);
    sub->Add(QString::number(r.Size));
    sub->Add(QLocale().toString(QDateTime::fromSecsSinceEpoch(r.ChangeTime), QLocale::ShortFormat));
    sub->Add(r.Address);
}

void Tsearchimage::suiButton3Click(TObject*)
{
    Searching = false;
    ShowPart(this, "Label1", false);
    ShowPart(this, "playgif", false);
    if (auto* anim = Part<TAnimatedImage>(this, "playgif"))
        anim->SetActive(false);
    EnablePart(this, "suiButton3", false);
    EnablePart(this, "suiButton2", true);
    StopFlag = true;
}

void Tsearchimage::suiButton5Click(TObject*)
{
    QString folder;
    if (!SelectDirectory(QStringLiteral("Select Directory"), QString(), folder) || folder.isEmpty())
        return;
    if (!QFileInfo(folder).isDir()) {
        Application->MessageBox(QStringLiteral("The location cannot be searched: ") + folder, QString(), MB_OK);
        return;
    }
    auto* drives = Part<TCustomComboBox>(this, "suiDriveComboBox1");
    if (!drives)
        return;
    const QString entry = folder == QLatin1String("/") || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    int at = drives->Items()->IndexOf(entry);
    if (at < 0)
        at = drives->Items()->Add(entry);
    drives->SetItemIndex(at);
}

// ---------------------------------------------------------------------------------------------
// Selection, preview and views

QString Tsearchimage::SelectedPath() const
{
    return SelectedResult >= 0 && SelectedResult < Results.size() ? Results[SelectedResult].Address.trimmed() : QString();
}

void Tsearchimage::SetSelectionCommands(bool enabled)
{
    for (const char* name : {"ToolButton12", "ToolButton13", "ToolButton14", "N1", "N6", "N17"})
        EnablePart(this, name, enabled);
}

void Tsearchimage::SelectResult(int k)
{
    auto* list = Part<TListView>(this, "ListView");
    if (list && k >= 0 && k < list->Items()->Count())
        list->SetItemIndex(k);
    ListView111Click(list);
}

void Tsearchimage::ListView111Click(TObject*)
{
    EnablePart(this, "ToolButton12", true);
    ShowPart(this, "Label1", false);
    ShowPart(this, "playgif", false);
    ShowPart(this, "iconviewbg", true);
    auto* list = Part<TListView>(this, "ListView");
    TListItem* item = list ? list->Selected() : nullptr;
    if (!item)
        return;
    list->SetFocus();
    item->MakeVisible();
    SelectedResult = item->Index();
    SetSelectionCommands(true);
    DrawPreview();
}

void Tsearchimage::ListView111Enter(TObject*)
{
    auto* list = Part<TListView>(this, "ListView");
    if (list && list->Items()->Count() > 0 && !list->Selected() && Part<TControl>(this, "ListView")->Visible())
        list->Items()->Item(0)->MakeVisible();
}

void Tsearchimage::DrawPreview()
{
    auto* preview = Part<TImage>(this, "iconviewbg");
    if (!preview)
        return;
    QImage canvas = BackgroundTile();
    const QImage picture = ReadPicture(SelectedPath());
    if (!picture.isNull()) {
        QPainter p(&canvas);
        if (picture.width() > 100 || picture.height() > 100)
            p.drawImage(QRect(0, 0, 100, 100), picture);
        else
            p.drawImage((100 - picture.width()) / 2, (100 - picture.height()) / 2, picture);
    }
    TBitmap bitmap;
    QImageToBitmap(canvas, bitmap);
    preview->Picture()->Assign(&bitmap);
}

void Tsearchimage::ShowView(bool grid, int listStyle)
{
    ShowPart(this, "DrawGrid1", grid);
    ShowPart(this, "ListView", !grid);
    if (!grid)
        if (auto* list = Part<TListView>(this, "ListView"))
            list->SetViewStyle(TViewStyle(listStyle));
}

void Tsearchimage::ToolButton3Click(TObject*) { ShowView(false, vsReport); }
void Tsearchimage::N14Click(TObject* Sender) { ToolButton3Click(Sender); }
void Tsearchimage::ToolButton2Click(TObject*) { ShowView(false, vsList); }
void Tsearchimage::N13Click(TObject* Sender) { ToolButton2Click(Sender); }

void Tsearchimage::ToolButton15Click(TObject*)
{
    if (ResultCount <= 0) {
        Application->MessageBox(QStringLiteral("There are no results to show as large icons."), QString(), MB_OK);
        return;
    }
    auto* grid = Part<TDrawGrid>(this, "DrawGrid1");
    if (!grid)
        return;
    grid->SetRowCount(ResultCount / 6 + 6);
    ShowView(true, vsReport);
    grid->Invalidate();
}

void Tsearchimage::N11Click(TObject* Sender) { ToolButton15Click(Sender); }

void Tsearchimage::DrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    const int k = ARow * 6 + ACol;
    auto* grid = dynamic_cast<TDrawGrid*>(Sender);
    if (!grid || k < 0 || k >= Results.size())
        return;
    QPainter* p = grid->Canvas()->Handle();
    if (!p)
        return;
    const TSearchResult& r = Results[k];
    const QRect cell(Rect.Left, Rect.Top, 83, 117);
    p->drawImage(cell.topLeft(), CellBackground());
    DrawTypePicture(*p, cell, QFileInfo(r.Address).suffix().isEmpty() ? QString() : QLatin1Char('.') + QFileInfo(r.Address).suffix().toUpper());
    QFont font(ImportFontFamily(QStringLiteral("MS gothic")));
    font.setPixelSize(8);
    p->setFont(font);
    p->setPen(Qt::black);
    p->setRenderHint(QPainter::TextAntialiasing, true);
    const int ascent = QFontMetrics(font).ascent();
    QImage picture;
    if (r.Size >= 1)
        picture = ReadPicture(r.Address);
    const QString dims = r.Size < 1 ? QStringLiteral("0*0") : QString::number(picture.width()) + QLatin1Char('*') + QString::number(picture.height());
    p->drawText(cell.left() + 5, cell.top() + 5 + ascent, dims);
    p->drawText(cell.left() + 5, cell.top() + 80 + ascent, r.Size < 1 ? QStringLiteral("0 KB") : KilobyteText(r.Size));
    if (!picture.isNull()) {
        if (picture.width() > 58 || picture.height() > 58)
            p->drawImage(QRect(cell.left() + 13, cell.top() + 18, 58, 58), picture);
        else
            p->drawImage(cell.left() + 13 + (58 - picture.width()) / 2, cell.top() + 18 + (58 - picture.height()) / 2, picture);
    }
    QFont nameFont = font;
    nameFont.setPixelSize(10);
    p->setFont(nameFont);
    p->drawText(QRect(cell.left() + 10, cell.top() + 100, 73, 14), Qt::AlignLeft | Qt::AlignTop, r.FileName);
}

void Tsearchimage::DrawGrid1SelectCell(TObject*, int ACol, int ARow, bool&)
{
    ShowPart(this, "Label1", false);
    ShowPart(this, "playgif", false);
    ShowPart(this, "iconviewbg", true);
    const int k = ARow * 6 + ACol;
    if (k >= 0 && k < Results.size()) {
        SetSelectionCommands(true);
        SelectedResult = k;
        DrawPreview();
    } else {
        SetSelectionCommands(false);
    }
}

void Tsearchimage::DrawGrid1DblClick(TObject* Sender)
{
    if (ResultCount > 0)
        ToolButton12Click(Sender);
}

void Tsearchimage::ListViewDblClick(TObject* Sender)
{
    ToolButton12Click(Sender);
}

// ---------------------------------------------------------------------------------------------
// Commands on the selected result

namespace {

bool SayNothingSelected(const QString& path)
{
    if (!path.isEmpty())
        return false;
    Application->MessageBox(QStringLiteral("Please select a file in the results first."), QString(), MB_OK);
    return true;
}

} // namespace

void Tsearchimage::ToolButton12Click(TObject*)
{
    const QString path = SelectedPath();
    if (SayNothingSelected(path))
        return;
    std::unique_ptr<TFileHost> host = MakeImportFileHost();
    host->OpenFileName = path;
    OpenFileByName(*host);
}

void Tsearchimage::N1Click(TObject* Sender) { ToolButton12Click(Sender); }

void Tsearchimage::N6Click(TObject*)
{
    const QString path = SelectedPath();
    if (SayNothingSelected(path))
        return;
    if (!QFileInfo::exists(path)) {
        Application->MessageBox(QStringLiteral("The file no longer exists: ") + path, QString(), MB_OK);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        Application->MessageBox(QStringLiteral("No program is set to open this file: ") + path, QString(), MB_OK);
}

void Tsearchimage::ShowFullScreen(bool anew)
{
    const QString path = SelectedPath();
    if (SayNothingSelected(path))
        return;
    const QImage picture = ReadPicture(path);
    if (picture.isNull()) {
        Application->MessageBox(QStringLiteral("This file cannot be shown as a picture: ") + path, QString(), MB_OK);
        return;
    }
    LastFullScreen = formscreen && !anew ? formscreen : new Tformscreen;
    LastFullScreen->ShowPicture(picture);
}

// The tool button makes a new viewer every time; the menu item shows the one it made first.
void Tsearchimage::ToolButton13Click(TObject*)
{
    ShowFullScreen(true);
}

void Tsearchimage::N2Click(TObject*)
{
    ShowFullScreen(false);
}

QString Tsearchimage::FileProperties(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The file no longer exists: ") + path;
    const QLocale locale;
    return QStringLiteral("Name: %1\nFolder: %2\nSize: %3 bytes\nModified: %4\nPermissions: %5%6")
        .arg(info.fileName(), info.absolutePath(), QString::number(info.size()),
             locale.toString(info.lastModified(), QLocale::LongFormat), info.isReadable() ? QStringLiteral("read") : QStringLiteral("no read"),
             info.isWritable() ? QStringLiteral(", write") : QString());
}

void Tsearchimage::ShowFileProperties(const QString& path)
{
    Application->MessageBox(FileProperties(path), QStringLiteral("Properties"), MB_OK | MB_ICONINFORMATION);
}

void Tsearchimage::ToolButton14Click(TObject*)
{
    const QString path = SelectedPath();
    if (SayNothingSelected(path))
        return;
    ShowFileProperties(path);
}

void Tsearchimage::N17Click(TObject* Sender) { ToolButton14Click(Sender); }
