#include "import/loadimagedorv.h"
#include "import/picture_depth.h"

#include "document/editor_state.h"
#include "document/format_list.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/beep.h"
#include "framework/canvas.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/exceptions.h"
#include "framework/grids.h"
#include "framework/list_box.h"
#include "framework/menus.h"
#include "skin/controls/status_bar.h"
#include "framework/string_list.h"
#include "imaging/bitmap/bitmap32.h"
#include "imaging/bitmap/image32.h"
#include "imaging/icons/file_icon.h"
#include "imaging/icons/icon_library.h"
#include "imaging/icons/multi_icon.h"
#include "imaging/toolkit/imaging_control.h"
#include "import/import_fonts.h"
#include "import/import_rules.h"
#include "mainwindow/file_host.h"
#include "mainwindow/icon_project.h"
#include "mainwindow/save_dispatch.h"
#include "platform/gdip.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <QPainter>

Tloadimagedorv* loadimagedorv = nullptr;

namespace {

std::function<std::unique_ptr<TFileHost>()>& HostMaker()
{
    static std::function<std::unique_ptr<TFileHost>()> maker;
    return maker;
}

// Extensions read as pictures; any other goes to the outside image control, which shows nothing
// and refuses the import with its message.
bool IsPictureExtension(const QString& path)
{
    static const QStringList known = {".bmp", ".gif", ".png", ".ico", ".jpg", ".jpeg", ".tiff", ".exif", ".emf", ".tif"};
    const QString name = path.toLower();
    for (const QString& ext : known)
        if (name.endsWith(ext))
            return true;
    return false;
}

const QString kExchangeBitmap = QStringLiteral("c:\\deduriveredovizur.bmp");

void ToBitmap32(const QImage& image, TBitmap32* target)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    target->SetSize(src.width(), src.height());
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(target->Bits() + size_t(y) * src.width(), src.constScanLine(y), size_t(src.width()) * 4);
}

QImage CellBackground(bool selected)
{
    QImage cell(66, 104, QImage::Format_ARGB32);
    cell.fill(selected ? qRgb(0xDD, 0xE8, 0xF8) : qRgb(0xF4, 0xF4, 0xF4));
    QPainter p(&cell);
    p.setPen(selected ? QColor(0x3A, 0x6E, 0xC8) : QColor(0xD0, 0xD0, 0xD0));
    p.drawRect(1, 1, 63, 101);
    return cell;
}

// The tile behind the preview: a light checkerboard of 24 by 24.
QImage BackgroundTile()
{
    QImage tile(24, 24, QImage::Format_ARGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            tile.setPixel(x, y, ((x / 8 + y / 8) & 1) ? qRgb(0xCC, 0xCC, 0xCC) : qRgb(0xFF, 0xFF, 0xFF));
    return tile;
}

QImage GroupImage(TMultiIcon* icon, int index)
{
    if (!icon || index < 0 || index >= icon->Count())
        return {};
    return IconToImage(icon->GetIconHandle(uint16_t(index)));
}

} // namespace

void SetImportFileHostMaker(std::function<std::unique_ptr<TFileHost>()> maker)
{
    HostMaker() = std::move(maker);
}

std::unique_ptr<TFileHost> MakeImportFileHost()
{
    if (HostMaker())
        return HostMaker()();
    return std::make_unique<TFileHost>(*RequiredEditorState());
}

Tloadimagedorv::Tloadimagedorv(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    LoadDefinition(QStringLiteral(":/import/loadimagedorv.wdf"));
    // The newest window is the one the program names.
    loadimagedorv = this;
}

Tloadimagedorv::~Tloadimagedorv()
{
    if (loadimagedorv == this)
        loadimagedorv = nullptr;
}

QObject* Tloadimagedorv::Part(const char* name) const
{
    return FindComponent(QLatin1String(name));
}

void Tloadimagedorv::SetVisible(const char* name, bool visible)
{
    if (auto* c = qobject_cast<TControl*>(Part(name)))
        c->SetVisible(visible);
}

void Tloadimagedorv::SetCaptionOf(const char* name, const QString& text)
{
    if (QObject* o = Part(name))
        o->setProperty("Caption", text);
}

bool Tloadimagedorv::Checked(int box) const
{
    QObject* o = FindComponent(QStringLiteral("suiCheckBox") + QString::number(box));
    return o && o->property("Checked").toBool();
}

void Tloadimagedorv::FormCreate(TObject*)
{
    // Dragging on the preview picks pixels: a cross shows where.
    if (auto* up = qobject_cast<QWidget*>(Part("up")))
        up->setCursor(Qt::CrossCursor);
    TEditorState* state = EditorState();
    if (!state)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(Part("suiFileTheme1")))
        theme->SetThemeFile(state->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(Part("suiThemeManager1")))
        manager->SetUIStyle(TsuiUIStyle(state->MainUIStyle()));
}

void Tloadimagedorv::FormClose(TObject*, TCloseAction& Action)
{
    DeleteExchangeBitmap();
    if (TEditorState* state = EditorState())
        state->SetControlEnabled(QStringLiteral("Timer2"), true);
    Action = caFree;
}

void Tloadimagedorv::DeleteExchangeBitmap()
{
    if (SourceCode == 119)
        QFile::remove(LocalPath(kExchangeBitmap));
}

// ---------------------------------------------------------------------------------------------
// Picture mode

void Tloadimagedorv::OpenPictureFile(const QString& path, int sourceCode)
{
    SourceCode = sourceCode;
    for (const char* name : {"suiTabControl1", "suiTabControl3", "Image1", "Image2", "Label1", "Label2", "Label3",
                             "Label4", "Label5", "Label6", "ScrollBox1", "suiButton1", "suiButton2", "suiButton3",
                             "suiButton4", "suiButton5", "suiButton6", "suiButton7"})
        SetVisible(name, true);
    for (const char* name : {"ToolBar1", "DrawGrid1", "ListBox1", "Splitter1"})
        SetVisible(name, false);
    if (auto* tab = qobject_cast<TControl*>(Part("suiTabControl2"))) {
        tab->SetAlign(alNone);
        tab->SetBounds(168, 64, 497, 313);
    }
    LibraryMode = false;
    if (auto* bar = qobject_cast<TsuiStatusBar*>(Part("suiStatusBar1"))) {
        bar->Panels()->Clear();
        TStatusPanel* caption = bar->Panels()->Add();
        caption->SetText(QStringLiteral("Import from : "));
        caption->SetWidth(90);
        bar->Panels()->Add()->SetText(path);
        bar->Invalidate();
    }
    PictureFile = path;

    delete ImagingHost;
    ImagingHost = nullptr;
    if (IsPictureExtension(path))
        Picture = ReadPicture(LocalPath(path));
    else
        Picture = LoadThroughOutsideControl(path);
    if (!Picture.isNull()) {
        SetCaptionOf("Label5", QString::number(Picture.width()) + QStringLiteral(" * ") + QString::number(Picture.height()));
        // A depth without a name leaves the label as it was.
        if (const QString depth = PictureFileDepthText(LocalPath(path)); !depth.isEmpty())
            SetCaptionOf("Label6", depth);
    }
    DrawPreview();
    SourceCode = sourceCode;
    suiButton7Click(this);
}

QImage Tloadimagedorv::LoadThroughOutsideControl(const QString& path)
{
    auto* box = qobject_cast<TWinControl*>(Part("ScrollBox1"));
    ImagingHost = new ImagingControl(this);
    ImagingHost->SetParent(box);
    ImagingHost->SetAlign(alClient);
    ImagingHost->SetBorderStyle(2);
    ImagingHost->OnESelectionStart = [this](TObject*) { ImagingHost->SetMousePointer(1); };
    ImagingHost->OnESelectionEnd = [this](TObject*) { ImagingHost->SetMousePointer(2); };
    ImagingHost->OnEUnrecognizedFormat = [](TObject*) { ShowMessage(QStringLiteral("Unable to load image (unsupported format)")); };
    try {
        ImagingHost->LoadFile(LocalPath(path));
    } catch (const Exception&) {
        // A file that cannot be opened is reported as one the control cannot read.
        ImagingHost->OnEUnrecognizedFormat(ImagingHost);
    }
    const TRGBABuffer& picture = ImagingHost->Picture();
    QString status = QStringLiteral("No image loaded");
    QImage image;
    if (!picture.Empty()) {
        status = QStringLiteral("Width = ") + QString::number(picture.Width) + QStringLiteral(" pixels, ") +
                 QStringLiteral("Height = ") + QString::number(picture.Height) + QStringLiteral(" pixels");
        image = QImage(picture.Pixels.data(), picture.Width, picture.Height, picture.Width * 4, QImage::Format_RGBA8888)
                    .convertToFormat(QImage::Format_ARGB32);
    }
    if (auto* bar = qobject_cast<TsuiStatusBar*>(Part("suiStatusBar1")))
        bar->SetSimpleText(status);
    ImagingHost->Show();
    return image;
}

void Tloadimagedorv::DrawPreview()
{
    auto* up = qobject_cast<TImage32*>(Part("up"));
    auto* clean = qobject_cast<TImage32*>(Part("bgimageok"));
    auto* box = qobject_cast<TControl*>(Part("ScrollBox1"));
    if (!up || !clean)
        return;
    int w = box ? std::max(box->ClientWidth(), 1) : 495;
    int h = box ? std::max(box->ClientHeight(), 1) : 261;
    if (Picture.width() > 495)
        w = Picture.width() + 1;
    if (Picture.height() > 261)
        h = Picture.height() + 1;
    up->SetBounds(0, 0, w, h);
    clean->SetBounds(0, 0, w, h);

    QImage preview(w, h, QImage::Format_ARGB32);
    {
        QPainter p(&preview);
        p.fillRect(preview.rect(), QBrush(BackgroundTile()));
        // A raised frame: light on the top and left, dark on the bottom and right.
        p.setPen(QColor(255, 255, 255));
        p.drawLine(0, 0, w - 1, 0);
        p.drawLine(0, 0, 0, h - 1);
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, h - 1, w - 1, h - 1);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        if (!Picture.isNull())
            p.drawImage(2, 2, Picture);
    }
    PreviewImage = preview;
    ToBitmap32(preview, clean->Bitmap());
    ShowPreviewImage(preview);
}

void Tloadimagedorv::ShowPreviewImage(const QImage& image)
{
    if (auto* up = qobject_cast<TImage32*>(Part("up"))) {
        ToBitmap32(image, up->Bitmap());
        up->Changed();
    }
}

void Tloadimagedorv::RestorePreview()
{
    ShowPreviewImage(PreviewImage);
}

void Tloadimagedorv::suiButton7Click(TObject*)
{
    RestorePreview();
    RectangleDrawn = false;
    SelectionRect = QRect();
    SelectedPicture = Picture.isNull() ? QImage() : Picture.copy();
}

void Tloadimagedorv::upMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y, TCustomLayer*)
{
    Dragging = true;
    RectangleDrawn = false;
    DragStart = DragCurrent = QPoint(X, Y);
    const QString point = QString::number(X) + QLatin1Char(',') + QString::number(Y);
    SetCaptionOf("Label1", point);
    SetCaptionOf("Label2", point);
}

void Tloadimagedorv::upMouseMove(TObject*, TShiftState, int X, int Y, TCustomLayer*)
{
    if (!Dragging)
        return;
    DragCurrent = QPoint(X, Y);
    SetCaptionOf("Label2", QString::number(X) + QLatin1Char(',') + QString::number(Y));
    if (X == DragStart.x() || Y == DragStart.y()) {
        RestorePreview();
        return;
    }
    SelectionRect = QRect(std::min(X, DragStart.x()), std::min(Y, DragStart.y()), std::abs(X - DragStart.x()),
                          std::abs(Y - DragStart.y()));
    RectangleDrawn = true;
    QImage shown = PreviewImage;
    QPainter p(&shown);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(SelectionRect);
    p.end();
    ShowPreviewImage(shown);
}

void Tloadimagedorv::upMouseUp(TObject*, TMouseButton, TShiftState, int, int, TCustomLayer*)
{
    if (!Dragging)
        return;
    Dragging = false;
    if (!RectangleDrawn || Picture.isNull())
        return;
    // The preview draws the picture 2 pixels in; what lies outside the picture stays transparent.
    QImage part(SelectionRect.size(), QImage::Format_ARGB32);
    part.fill(0);
    QPainter p(&part);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), Picture, SelectionRect.translated(-2, -2));
    p.end();
    SelectedPicture = part;
}

void Tloadimagedorv::suiButton1Click(TObject*)
{
    TEditorState* state = EditorState();
    if (!state)
        return;
    if (SelectedPicture.isNull()) {
        MessageDlg(QStringLiteral("Unable to load image (unsupported format)"), mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    bool sizes[7], kinds[5];
    for (int i = 0; i < 7; ++i)
        sizes[i] = Checked(i + 1);
    for (int k = 0; k < 5; ++k)
        kinds[k] = Checked(k + 8);
    int customWidth = 0, customHeight = 0;
    if (sizes[6]) {
        const QString w = Part("Edit1") ? Part("Edit1")->property("Text").toString() : QString();
        const QString h = Part("Edit2") ? Part("Edit2")->property("Text").toString() : QString();
        QString refusal = CheckCustomSide(w, QStringLiteral("width"));
        if (refusal.isEmpty())
            refusal = CheckCustomSide(h, QStringLiteral("height"));
        if (!refusal.isEmpty()) {
            MessageDlg(refusal, mtWarning, MsgDlgButtons({mbOK}));
            return;
        }
        customWidth = w.trimmed().toInt();
        customHeight = h.trimmed().toInt();
    }
    const std::vector<TImportFormat> plan =
        ImportFormatPlan(sizes, customWidth, customHeight, kinds, {state->NewImageWidth, state->NewImageHeight, state->NewImageKind});
    state->NewImageWidth = plan[0].Width;
    state->NewImageHeight = plan[0].Height;
    state->NewImageKind = plan[0].Kind;

    // The first number from 2 that no window holds, else a new one past the counter.
    const QList<QWidget*> widgets = QApplication::allWidgets();
    auto exists = [&](int n) {
        const QString name = QStringLiteral("iconview") + QString::number(n);
        for (QWidget* w : widgets)
            if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    int n = 0;
    for (int i = 2; i <= state->DocumentCounter && n == 0; ++i)
        if (!exists(i))
            n = i;
    if (n == 0)
        n = ++state->DocumentCounter;
    state->ActiveDocumentNumber = n;

    std::unique_ptr<TFileHost> host = MakeImportFileHost();
    Tnewiconview* doc = host->NewDocumentWindow(QStringLiteral("iconview") + QString::number(n),
                                                QStringLiteral("New Icon ") + QString::number(n));
    if (!doc)
        return;
    if (TForm* tmpl = host->FindDocument(QStringLiteral("newiconview")))
        doc->SetBounds(-4, -2, tmpl->Width(), tmpl->Height());
    state->ActiveDocumentName = doc->objectName();
    doc->FormatTable.SetCurrentFormat(1);
    doc->FormatTable.SetFormat(1, plan[0].Width, plan[0].Height, plan[0].Kind);
    UpdateStandardChecklist(*doc);
    state->HighlightDocumentTab(n + 3);

    // Format 1 is the picture stretched to the first size; every further format is drawn from it.
    QImage first = SelectedPicture.scaled(plan[0].Width, plan[0].Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32);
    doc->SetFormatImage(1, GdipImageFromQImage(first));
    doc->RebuildView();
    for (size_t i = 1; i < plan.size(); ++i) {
        if (doc->FormatCount() >= TFormatTable::MaxFormats)
            break;
        doc->SourceFormat = 1;
        doc->AddingStandardFormat = false;
        AppendFormat(*doc, true, plan[i].Width, plan[i].Height, plan[i].Kind);
        BuildFormatImage(*doc, QStringLiteral("dorvelt"));
        UpdateStandardChecklist(*doc);
    }
    doc->SyncFormatListItems();
    doc->UpdateThumbnails();
    doc->Show();
    ImportedDocument = doc;

    DeleteExchangeBitmap();
    if (SourceCode == 1) {
        const QString file = LocalPath(PictureFile);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        if (!QFile::remove(file))
            QFile::remove(file);
    }
    state->SetControlEnabled(QStringLiteral("Timer2"), true);
    MakeFormatCurrent(*doc, 1);
    doc->FormatTable.SetCurrentFormat(1);
    doc->SyncFormatListItems();
    doc->MyListBox1Click(doc);
    doc->OpacityBaseStale = true;
    Close();
}

void Tloadimagedorv::suiButton2Click(TObject*)
{
    Close();
}

void Tloadimagedorv::suiButton4Click(TObject*)
{
    if (SelectedPicture.isNull()) {
        MessageBeep(0);
        return;
    }
    QApplication::clipboard()->setImage(SelectedPicture.convertToFormat(QImage::Format_ARGB32));
    if (auto* c = qobject_cast<TControl*>(Part("suiButton3")))
        c->SetEnabled(true);
}

void Tloadimagedorv::suiButton3Click(TObject*)
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull())
        return;
    const QString target = QStringLiteral("c:\\ttt.bmp");
    if (!image.save(LocalPath(target), "BMP")) {
        MessageDlg(QStringLiteral("Unable to write ") + LocalPath(target), mtWarning, MsgDlgButtons({mbOK}));
        return;
    }
    OpenPictureFile(target, 0);
}

void Tloadimagedorv::suiButton5Click(TObject*)
{
    if (TEditorState* state = EditorState())
        state->RunMainCommand(QStringLiteral("ToolButton2Click"));
}

void Tloadimagedorv::suiButton6Click(TObject*)
{
    const QString path = ScratchPath(QStringLiteral("emforwmf.png"));
    if (!QFileInfo::exists(path)) {
        MessageDlg(QStringLiteral("There is no converted picture to reload."), mtInformation, MsgDlgButtons({mbOK}));
        return;
    }
    OpenPictureFile(path, 0);
}

void Tloadimagedorv::suiCheckBox7Click(TObject*)
{
    for (const char* name : {"suiGroupBox1", "Label7", "Label8", "Edit1", "Edit2"})
        if (auto* c = qobject_cast<TControl*>(Part(name)))
            c->SetEnabled(true);
}

void Tloadimagedorv::Edit1KeyPress(TObject*, QChar& Key)
{
    MessageBeep(0);
    if (!Key.isDigit() && Key != QChar(8))
        Key = QChar(0);
}

void Tloadimagedorv::Edit2KeyPress(TObject* Sender, QChar& Key)
{
    Edit1KeyPress(Sender, Key);
}

// ---------------------------------------------------------------------------------------------
// Library mode

void Tloadimagedorv::OpenIconLibraryFile(const QString& path)
{
    LibraryMode = true;
    delete ImagingHost;
    ImagingHost = nullptr;
    SizeFilter = 48;
    DepthFilter = 32;
    for (const char* name : {"suiTabControl1", "suiTabControl3", "ScrollBox1", "Image1", "Image2", "Label1", "Label2",
                             "Label3", "Label4", "Label5", "Label6", "suiButton1", "suiButton2", "suiButton3",
                             "suiButton4", "suiButton5", "suiButton6", "suiButton7"})
        SetVisible(name, false);
    SetVisible("ToolBar1", true);
    SetVisible("DrawGrid1", true);
    if (auto* tab = qobject_cast<TControl*>(Part("suiTabControl2")))
        tab->SetAlign(alClient);
    if (auto* list = qobject_cast<TControl*>(Part("ListBox1")))
        list->SetWidth(175);

    // A file that gives no icon says so, and the window it would have filled goes.
    auto library = std::make_unique<TIconLibrary>();
    try {
        library->LoadFromFile(LocalPath(path));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtWarning, MsgDlgButtons({mbOK}));
        Close();
        return;
    }
    if (library->Icons()->Count() == 0) {
        MessageDlg(QStringLiteral("This file holds no icons."), mtInformation, MsgDlgButtons({mbOK}));
        Close();
        return;
    }
    Library = std::move(library);
    CurrentGroup = nullptr;
    SelectedCell = 0;
    SelectedFormatItem = 0;
    GroupCount = Library->Icons()->Count();
    if (auto* list = qobject_cast<TListBox*>(Part("ListBox1")))
        list->Items()->Clear();
    FillGrid();
}

void Tloadimagedorv::FillGrid()
{
    if (auto* grid = qobject_cast<TDrawGrid*>(Part("DrawGrid1"))) {
        grid->SetRowCount(std::max(1, GridRowCount(GroupCount, 7)));
        grid->SetVisible(true);
        grid->Invalidate();
    }
}

TMultiIcon* Tloadimagedorv::Group(int n) const
{
    if (!Library || n < 1 || n > Library->Icons()->Count())
        return nullptr;
    return static_cast<TMultiIcon*>(Library->Icons()->Objects(n - 1));
}

int Tloadimagedorv::ItemImage(int item) const
{
    return CurrentGroup ? CurrentGroup->Count() - 1 - item : -1;
}

void Tloadimagedorv::DrawGrid1DrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState)
{
    const int n = ARow * 7 + ACol + 1;
    TMultiIcon* icon = Group(n);
    auto* grid = dynamic_cast<TDrawGrid*>(Sender);
    if (!icon || !grid || n > GroupCount)
        return;
    QPainter* p = grid->Canvas()->Handle();
    if (!p)
        return;
    const int index = PickCellImage(icon, SizeFilter, DepthFilter);
    const TIconEntryInfo info = IconEntryInfo(icon, index);
    p->drawImage(Rect.Left, Rect.Top, CellBackground(n == SelectedCell));
    const QImage image = GroupImage(icon, index);
    const int cellW = Rect.Right - Rect.Left, cellH = Rect.Bottom - Rect.Top;
    if (!image.isNull())
        p->drawImage(QRect(Rect.Left + (cellW - SizeFilter) / 2, Rect.Top + (cellH - SizeFilter) / 2 - 15, SizeFilter, SizeFilter),
                     image);
    QFont font(ImportFontFamily(QStringLiteral("MS gothic")));
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::PreferAntialias);
    p->setFont(font);
    const QFontMetrics metrics(font);
    p->setPen(QColor(0, 0, 255));
    p->drawText(Rect.Left + 5, Rect.Top + 68 + metrics.ascent(), DepthText(info.BitCount));
    p->setPen(n == SelectedCell ? QColor(255, 0, 0) : QColor(0, 0, 0));
    p->drawText(Rect.Left + 5, Rect.Top + 84 + metrics.ascent(),
                QString::number(info.Width) + QLatin1Char('*') + QString::number(info.Height) + QLatin1Char('-') + DepthTag(info.BitCount));
}

void Tloadimagedorv::DrawGrid1SelectCell(TObject*, int ACol, int ARow, bool&)
{
    SelectedCell = ARow * 7 + ACol + 1;
    if (!LibraryMode)
        return;
    if (TMultiIcon* icon = Group(SelectedCell)) {
        CurrentGroup = icon;
        SetVisible("Splitter1", true);
        if (auto* list = qobject_cast<TControl*>(Part("ListBox1"))) {
            list->SetWidth(175);
            list->SetVisible(true);
        }
        FillFormatList();
    }
    if (auto* grid = qobject_cast<TControl*>(Part("DrawGrid1")))
        grid->Invalidate();
}

void Tloadimagedorv::FillFormatList()
{
    auto* list = qobject_cast<TListBox*>(Part("ListBox1"));
    if (!list || !CurrentGroup)
        return;
    list->Items()->Clear();
    int tallest = 1;
    for (int i = 0; i < CurrentGroup->Count(); ++i) {
        list->Items()->Add(QString::number(i + 1));
        const TIconEntryInfo info = IconEntryInfo(CurrentGroup, i);
        tallest = std::max({tallest, info.Width, info.Height});
    }
    list->SetItemHeight(std::min(tallest, 255));
    SelectedFormatItem = 0;
    list->SetItemIndex(0);
    list->Invalidate();
}

void Tloadimagedorv::ListBox1DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState)
{
    auto* list = qobject_cast<TListBox*>(Control);
    QPainter* p = list ? list->Canvas()->Handle() : nullptr;
    const int imageIndex = ItemImage(Index);
    if (!p || imageIndex < 0)
        return;
    const QRect r(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    p->fillRect(r, Qt::white);
    if (Rect.Left != 0)
        return;
    const TIconEntryInfo info = IconEntryInfo(CurrentGroup, imageIndex);
    const int side = r.height();
    const int w = std::min(info.Width, 48), h = std::min(info.Height, 48);
    const QImage image = GroupImage(CurrentGroup, imageIndex);
    if (!image.isNull())
        p->drawImage(QRect(r.left() + (side - w) / 2, r.top() + (side - h) / 2, w, h), image);
    p->setPen(Qt::black);
    p->drawText(QRect(r.left() + side + 7, r.top(), r.width() - side - 7, side), Qt::AlignVCenter | Qt::AlignLeft,
                QString::number(info.Width) + QStringLiteral(" * ") + QString::number(info.Height) + QStringLiteral(" - ") +
                    QString::number(info.BitCount) + QStringLiteral(" Bit"));
}

void Tloadimagedorv::ListBox1Click(TObject*)
{
    if (auto* list = qobject_cast<TListBox*>(Part("ListBox1")))
        SelectedFormatItem = list->ItemIndex() + 1;
}

void Tloadimagedorv::ListBox1DblClick(TObject* Sender)
{
    ListBox1Click(Sender);
    MenuItem1Click(Sender);
}

void Tloadimagedorv::DrawGrid1DblClick(TObject* Sender)
{
    N1Click(Sender);
}

void Tloadimagedorv::SetDepthFilter(int depth)
{
    DepthFilter = depth;
    if (auto* grid = qobject_cast<TControl*>(Part("DrawGrid1")))
        grid->Invalidate();
}

void Tloadimagedorv::SetSizeFilter(int size)
{
    SizeFilter = size;
    if (auto* grid = qobject_cast<TControl*>(Part("DrawGrid1")))
        grid->Invalidate();
}

// The depth buttons look for the bit count their hints name.
void Tloadimagedorv::ToolButton1Click(TObject*) { SetDepthFilter(1); }
void Tloadimagedorv::ToolButton2Click(TObject*) { SetDepthFilter(4); }
void Tloadimagedorv::ToolButton3Click(TObject*) { SetDepthFilter(8); }
void Tloadimagedorv::ToolButton4Click(TObject*) { SetDepthFilter(32); }
void Tloadimagedorv::ToolButton13Click(TObject*) { SetSizeFilter(16); }
void Tloadimagedorv::ToolButton14Click(TObject*) { SetSizeFilter(32); }
void Tloadimagedorv::ToolButton15Click(TObject*) { SetSizeFilter(48); }
void Tloadimagedorv::ToolButton6Click(TObject* Sender) { N1Click(Sender); }
void Tloadimagedorv::ToolButton7Click(TObject* Sender) { N5Click(Sender); }
void Tloadimagedorv::ToolButton8Click(TObject* Sender) { N11Click(Sender); }
void Tloadimagedorv::ToolButton10Click(TObject* Sender) { N1Click(Sender); }
void Tloadimagedorv::ToolButton11Click(TObject* Sender) { N5Click(Sender); }

void Tloadimagedorv::OpenScratchAsProject(const QString& path)
{
    std::unique_ptr<TFileHost> host = MakeImportFileHost();
    // The history names the library the user opened, not the scratch copy.
    OpenIconAsProject(*host, path, {Library ? Library->FileName() : path, QString()});
}

void Tloadimagedorv::N1Click(TObject*)
{
    TMultiIcon* icon = Group(SelectedCell);
    if (!icon) {
        MessageBeep(0);
        return;
    }
    const QString path = ScratchPath(QStringLiteral("usertoico%1.ico").arg(SelectedCell));
    icon->SaveToFile(path);
    OpenScratchAsProject(path);
}

void Tloadimagedorv::MenuItem1Click(TObject*)
{
    if (!CurrentGroup || SelectedFormatItem < 1) {
        MessageBeep(0);
        return;
    }
    const QString path = ScratchPath(QStringLiteral("usertoico_ch.ico"));
    CurrentGroup->SaveImageToFile(path, uint16_t(ItemImage(SelectedFormatItem - 1)));
    OpenScratchAsProject(path);
}

void Tloadimagedorv::SaveGroup()
{
    TMultiIcon* icon = Group(SelectedCell);
    auto* dialog = qobject_cast<TSaveDialog*>(Part("SaveICO"));
    if (!icon || !dialog) {
        MessageBeep(0);
        return;
    }
    if (!dialog->Execute())
        return;
    const QString name = WithExtension(dialog->FileName(), QStringLiteral(".ico"));
    if (ConfirmReplaceFile(name))
        icon->SaveToFile(name);
}

void Tloadimagedorv::N5Click(TObject*)
{
    SaveGroup();
}

void Tloadimagedorv::SaveImage()
{
    auto* dialog = qobject_cast<TSaveDialog*>(Part("SaveICO"));
    if (!dialog || !CurrentGroup || SelectedFormatItem < 1) {
        MessageBeep(0);
        return;
    }
    if (!dialog->Execute())
        return;
    const QString name = WithExtension(dialog->FileName(), QStringLiteral(".ico"));
    if (ConfirmReplaceFile(name))
        CurrentGroup->SaveImageToFile(name, uint16_t(ItemImage(SelectedFormatItem - 1)));
}

void Tloadimagedorv::MenuItem3Click(TObject*)
{
    SaveImage();
}

void Tloadimagedorv::MenuItem4Click(TObject*)
{
    SaveImage();
}

void Tloadimagedorv::ddddClick(TObject*)
{
    auto* dialog = qobject_cast<TOpenDialog*>(Part("OpenDialog1"));
    if (!Library || !dialog) {
        MessageBeep(0);
        return;
    }
    if (!dialog->Execute())
        return;
    auto icon = std::make_unique<TFileIcon>(dialog->FileName());
    if (!icon->Valid() || icon->Count() == 0) {
        MessageBeep(0);
        return;
    }
    Library->Icons()->AddObject(QFileInfo(dialog->FileName()).fileName(), icon.release());
    GroupCount += 1;
    FillGrid();
}

void Tloadimagedorv::N11Click(TObject*)
{
    if (!Library || !Group(SelectedCell)) {
        MessageBeep(0);
        return;
    }
    delete Library->Icons()->Objects(SelectedCell - 1);
    Library->Icons()->Delete(SelectedCell - 1);
    GroupCount -= 1;
    // The cell now names the next group; its images are the ones listed, or none.
    CurrentGroup = Group(SelectedCell);
    if (CurrentGroup)
        FillFormatList();
    else if (auto* list = qobject_cast<TListBox*>(Part("ListBox1")))
        list->Items()->Clear();
    FillGrid();
}

void Tloadimagedorv::ExportLibrary(bool appendExtension)
{
    auto* dialog = qobject_cast<TSaveDialog*>(Part(appendExtension ? "saveicl" : "SaveICO"));
    if (!Library || !dialog) {
        MessageBeep(0);
        return;
    }
    if (!dialog->Execute())
        return;
    const QString name = appendExtension ? WithExtension(dialog->FileName(), QStringLiteral(".icl")) : dialog->FileName();
    if (!ConfirmReplaceFile(name))
        return;
    try {
        Library->SaveToFile(name);
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, MsgDlgButtons({mbOK}));
    }
}

void Tloadimagedorv::ICL1Click(TObject*)
{
    ExportLibrary(true);
}

void Tloadimagedorv::MenuItem9Click(TObject*)
{
    ExportLibrary(false);
}
