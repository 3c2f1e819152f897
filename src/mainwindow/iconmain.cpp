#include "mainwindow/iconmain.h"

#include "controls/controls_classes.h"
#include "controls/tov_language.h"
#include "document/animation_builders.h"
#include "document/createico.h"
#include "document/newiconview.h"
#include "document/picture_view.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/combo_box.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/graphic.h"
#include "framework/icon.h"
#include "framework/image.h"
#include "framework/imagelist.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/timer.h"
#include "framework/menus.h"
#include "framework/tool_bar.h"
#include "imaging/bitmap/image32.h"
#include "mainwindow/colour_panel.h"
#include "mainwindow/configuration_file.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/form36.h"
#include "mainwindow/iconmain_files.h"
#include "mainwindow/keyboard_dispatch.h"
#include "mainwindow/open_dispatch.h"
#include "platform/program_paths.h"
#include "skin/controls/skin_controls.h"
#include "skin/file_theme.h"
#include "skin/mdi_form.h"
#include "skin/skin_forms.h"
#include "skin/theme_manager.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <QPainter>
#include <QPainterPath>

Ticonmain* iconmain = nullptr;

// The definitions and pictures of the main window's library, and every class they name.
void RegisterMainWindowClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(mainwindow);
    RegisterDocumentClasses();
    RegisterImagingBitmapClasses();
    RegisterSkinControlClasses();
    RegisterSkinFormClasses();
    RegisterControlsClasses();
}

namespace {

// The colour-picker cursor of the palettes: a pipette whose tip is the hot spot.
QCursor ColorPickerCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(1, 31);
    p.rotate(-45);
    QPainterPath body;
    body.addRoundedRect(QRectF(2, -2.5, 18, 5), 1.5, 1.5);
    QPainterPath bulb;
    bulb.addRoundedRect(QRectF(19, -4.5, 10, 9), 3, 3);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(body);
    p.setBrush(QColor(40, 40, 40));
    p.drawPath(bulb);
    p.drawLine(QPointF(0, 0), QPointF(2, 0));
    p.end();
    return QCursor(pixmap, 0, 31);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The window version table

TWindowsVersion WindowsVersionFor(bool ntFamily, int major, int minor, const QString& servicePack)
{
    const QString service = servicePack.trimmed();
    if (ntFamily) {
        if (major == 3)
            return {5, "Window NT3"};
        if (major == 4)
            return {6, "Window NT4"};
        if (major == 5)
            return minor == 0 ? TWindowsVersion{7, "Winodw 2000"} : TWindowsVersion{9, "Window xp"};
    } else if (major == 4) {
        if (minor == 0)
            return service == QLatin1String("B") ? TWindowsVersion{2, "Window 97"} : TWindowsVersion{1, "Window 95"};
        if (minor == 10)
            return service == QLatin1String("A") ? TWindowsVersion{4, "Winodw 98SE"} : TWindowsVersion{3, "Winodw 98"};
        if (minor == 90)
            return {8, "Winodw ME"};
    }
    return {0, "Unknowon"};
}

int Ticonmain::GetWindowsVersionCode()
{
    // No version record of that family exists here.
    return WindowsVersionFor(false, 0, 0, QString()).Code;
}

// ---------------------------------------------------------------------------------------------
// Creation

Ticonmain::Ticonmain(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    iconmain = this;
    SetEditorState(this);
    LoadDefinition(QStringLiteral(":/mainwindow/iconmain.wdf"));
    ConnectEffectMenus();
    DrawTransparentStrip();
}

Ticonmain::~Ticonmain()
{
    if (iconmain == this)
        iconmain = nullptr;
    if (EditorState() == this)
        SetEditorState(nullptr);
}

TControl* Ticonmain::Control(const QString& name) const
{
    return qobject_cast<TControl*>(FindComponent(name));
}

void Ticonmain::FormCreate(TObject*)
{
    ImageList1 = qobject_cast<TImageList*>(FindComponent(QStringLiteral("ImageList1")));
    ImageList2 = qobject_cast<TImageList*>(FindComponent(QStringLiteral("ImageList2")));
    ImageList3 = qobject_cast<TImageList*>(FindComponent(QStringLiteral("ImageList3")));
    Timer3 = qobject_cast<TTimer*>(FindComponent(QStringLiteral("Timer3")));
    AcceptDroppedFiles(*this);

    StartupStage = 1;
    GridColor1 = 0xFF8E8C8C;
    GridColor2 = 0xFFC0C0C0;
    SelectionColor = 0xFF000000;
    for (const char* panel : {"Panel3", "Panel4", "Panel17"})
        if (TControl* c = Control(QLatin1String(panel)))
            c->SetDoubleBuffered(true);
    GradientImageFile.clear();
    LoadEditColorsAndOsName();
    if (auto* language = qobject_cast<TtovLanguage*>(FindComponent(QStringLiteral("tovLanguage1"))))
        language->ApplyToForm(this);

    PenWidth = 1;
    FillStyle = 1;
    VersionText = QStringLiteral("1.0");
    BuildText = QStringLiteral("050206");
    // The tool image follows the start tool, Line: a document shown re-applies this image.
    ToolImageIndex = 2;
    CurrentTool = 2;
    LineCapStyle = 1;
    setAcceptDrops(true);
    HotSpotX = 0;
    HotSpotY = 0;
    RadialCenterX = 1.0;
    RadialCenterY = 1.0;
    ViewerCounter = 1;
    PatternFile = QStringLiteral("image\\16color\\17.bmp");
    ActiveDocumentNumber = 1;
    ActiveDocumentName = QStringLiteral("newiconview");

    if (auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1")))) {
        // A broken default skin leaves the built-in look; start-up goes on.
        RunGuarded([&] { theme->SetThemeFile(ProgramPath(QStringLiteral("suk\\ziroz.sui"))); }, this);
        // The skinned frame and the manager take the pictures of the file now loaded.
        if (auto* frame = qobject_cast<TsuiMDIForm*>(FindComponent(QStringLiteral("suiMDIForm1"))))
            frame->SetUIStyle(frame->UIStyle());
        if (auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1"))))
            manager->SetUIStyle(manager->UIStyle());
    }
    DocumentCounter = 1;
    // Every road to a new project (the new-project dialog, a document's popup) makes its window
    // the frame's way.
    SetProjectWindowMaker(CreateDocumentWindow);
    LoadEditorDefaults();
    ColorPanelLive = true;
    SwatchTarget = QStringLiteral("up");
    PreparePanels(*this);
    SetUpFrameControls();
    PaletteSelected.fill(false);
    PaletteSelected[13] = true; // one pixel, flat ends
    PaletteSelected[21] = true; // solid fill
    TKeyboardDispatch::Install();

    TControl* combo = Control(QStringLiteral("userfilename"));
    TControl* beside = Control(QStringLiteral("Panel12"));
    if (beside)
        beside->SetTop(beside->Top() + 1);
    SetWindowState(wsMaximized);
    LoadToolImages();
    SetUpToolPalette();
    if (combo) {
        combo->SetWidth(Width() - 200);
        if (beside)
            beside->SetLeft(combo->Left() + combo->Width() - 1 - beside->Width());
    }
}

void Ticonmain::LoadEditColorsAndOsName()
{
    LoadEditColors(*this);
    WindowsVersionName = QString::fromLatin1(WindowsVersionFor(false, 0, 0, QString()).Name);
}

void Ticonmain::LoadEditorDefaults()
{
    ::LoadEditorDefaults(*this);
}

void Ticonmain::BitBtn1Click(TObject*)
{
    LoadToolImages();
}

void Ticonmain::LoadToolImages()
{
    // The tool bars take normal pictures 0..22, hot ones 23..46 and disabled ones 47..58, the
    // disabled list starting with 47 twice so that its numbers line up with the buttons'.
    auto add = [](TImageList* list, int n) {
        if (!list)
            return;
        TIcon icon;
        try {
            icon.LoadFromFile(ProgramPath(QStringLiteral("data\\icon%1.ico").arg(n)));
        } catch (const Exception&) {
            // A missing picture leaves an empty place, so the buttons after it keep theirs.
        }
        if (icon.Empty()) {
            QImage empty(list->Width(), list->Height(), QImage::Format_ARGB32);
            empty.fill(Qt::transparent);
            list->AddImage(empty);
        } else {
            list->AddIcon(&icon);
        }
    };
    for (TImageList* list : {ImageList1, ImageList2, ImageList3})
        if (list)
            list->Clear();
    for (int n = 0; n <= 22; ++n)
        add(ImageList1, n);
    for (int n = 23; n <= 46; ++n)
        add(ImageList2, n);
    add(ImageList3, 47);
    for (int n = 47; n <= 58; ++n)
        add(ImageList3, n);
    if (auto* bar = qobject_cast<TToolBar*>(FindComponent(QStringLiteral("ToolBar1")))) {
        bar->SetImages(ImageList1);
        bar->SetHotImages(ImageList2);
        bar->SetDisabledImages(ImageList3);
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up timer

void Ticonmain::Timer3Timer(TObject*)
{
    if (Timer3)
        Timer3->SetEnabled(false);

    // A downloaded installer stays where it was saved: it cannot run on this system, so the
    // program never ran it and it is the user's to keep.

    auto* open = FindComponent(QStringLiteral("OpenDialog1"));
    if (!CommandLineFile.toLower().contains(QLatin1String(".ico"))) {
        CreateFirstProject();
        if (!CommandLineFile.trimmed().isEmpty()) {
            if (open)
                open->setProperty("FileName", CommandLineFile);
            RunGuarded([this] { OpenFileByName(); }, this);
        }
    } else {
        if (open)
            open->setProperty("FileName", CommandLineFile);
        RunGuarded([this] { OpenFileByName(); }, this);
    }

    Screen->SetCursors(10, ColorPickerCursor());
    if (TControl* palette = Control(QStringLiteral("colorxp")))
        palette->SetCursor(10);
    PrimeColorPanel();
    LoadRecentFiles();
    RunStartupUpdateCheck();
    StartupStage = 2;
}

void Ticonmain::CreateFirstProject()
{
    ActiveDocumentNumber = DocumentCounter;
    const QString name = QStringLiteral("iconview%1").arg(DocumentCounter);
    TForm* document = CreateDocumentWindow(name, QStringLiteral("Project %1").arg(DocumentCounter));
    ActiveDocumentName = name;
    HighlightDocumentTab(DocumentCounter + 3);
    if (auto* theme = document->FindComponent(QStringLiteral("suiFileTheme1")))
        theme->setProperty("ThemeFile", SkinFileName);
    document->Show();
}

void Ticonmain::OpenFileByName()
{
    TIconmainFiles files(*this);
    ::OpenFileByName(files);
}

void Ticonmain::LoadRecentFiles()
{
    TIconmainFiles files(*this);
    FillRecentFiles(files);
}

static TStartupUpdateCheckRunner startupUpdateCheckRunner = nullptr;

void Ticonmain::RunStartupUpdateCheck()
{
    // Silent: the check runs without its window; WithWindow: the window shows the result; None:
    // no check.
    if (startupUpdateCheckRunner)
        startupUpdateCheckRunner(int(ReadStartupUpdateCheck()));
}

void SetStartupUpdateCheckRunner(TStartupUpdateCheckRunner runner)
{
    startupUpdateCheckRunner = runner;
}

// ---------------------------------------------------------------------------------------------
// Shutdown

void Ticonmain::Close1Click(TObject*)
{
    if (TForm* document = FindForm(ActiveDocumentName))
        ClickComponentByName(document, QStringLiteral("BitBtn20"));
}

void Ticonmain::Exit1Click(TObject*)
{
    Close();
}

// ---------------------------------------------------------------------------------------------
// Edit menu

// The document enables the Undo and Redo buttons exactly while its current format has a step to
// go back or forward to; the menu items and their keys follow the same buttons.
void Ticonmain::ToolButton5Click(TObject*)
{
    TControl* button = Control(QStringLiteral("ToolButton5"));
    if (button && button->Enabled())
        ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("BitBtn23"));
}

void Ticonmain::ToolButton6Click(TObject*)
{
    TControl* button = Control(QStringLiteral("ToolButton6"));
    if (button && button->Enabled())
        ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("BitBtn24"));
}

// ---------------------------------------------------------------------------------------------
// View menu and zoom buttons

void Ticonmain::ToolButton13Click(TObject*)
{
    ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("BitBtn2"));
}

void Ticonmain::ToolButton14Click(TObject*)
{
    ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("BitBtn3"));
}

void Ticonmain::ToolButton16Click(TObject*)
{
    ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("BitBtn26"));
}

// The document toggles its grid and puts the check mark on this item.
void Ticonmain::LineGrid1Click(TObject*)
{
    ClickComponentByName(FindForm(ActiveDocumentName), QStringLiteral("Grid2"));
}

void Ticonmain::FormCloseQuery(TObject*, bool& CanClose)
{
    // The live update closes the program to run its installer without questions.
    if (ClosingForUpdate == 1)
        return;
    if (TAnimationBuilders* builders = AnimationBuilders())
        CanClose = builders->CloseQuery();
}

void Ticonmain::FormClose(TObject*, TCloseAction&)
{
    DeleteFilesInTree();
}

void Ticonmain::DeleteFilesInTree()
{
    for (const QString& file : EmptyScratchFolder()) {
        const QFileInfo info(file);
        MessageBox(QStringLiteral("Delete File:") + QDir::toNativeSeparators(info.absolutePath()) +
                       QDir::separator() + info.fileName() + QStringLiteral(" Error!"),
                   QStringLiteral("Info"), MB_OK);
    }
}

void Ticonmain::FormDestroy(TObject*)
{
    setAcceptDrops(false);
    // The cursor test may have left its cursor over the whole program.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    Screen->SetCursor(0);
    if (Application->OnMessage)
        Application->OnMessage = nullptr;
}

void Ticonmain::FormPaint(TObject*)
{
    PlaceCaptionButtons();
}

void Ticonmain::About1Click(TObject*)
{
    TForm36* about = new TForm36(nullptr);
    about->ShowModal();
    about->Release();
}

// ---------------------------------------------------------------------------------------------
// The controls documents reach

QString Ticonmain::EditText(const QString& name) const
{
    QObject* c = FindComponent(name);
    return c ? c->property("Text").toString() : QString();
}

void Ticonmain::SetComponentProperty(const QString& name, const char* property, const QVariant& value)
{
    if (QObject* c = FindComponent(name))
        c->setProperty(property, value);
}

void Ticonmain::SetEditText(const QString& name, const QString& text)
{
    SetComponentProperty(name, "Text", text);
}

void Ticonmain::SetLabelText(const QString& name, const QString& text)
{
    QObject* c = FindComponent(name);
    if (!c)
        return;
    // The combo shows a path as its text; the labels as their caption.
    if (qobject_cast<TComboBox*>(c))
        c->setProperty("Text", text);
    else
        c->setProperty("Caption", text);
}

void Ticonmain::SetControlEnabled(const QString& name, bool enabled)
{
    SetComponentProperty(name, "Enabled", enabled);
}

void Ticonmain::SetControlVisible(const QString& name, bool visible)
{
    SetComponentProperty(name, "Visible", visible);
}

void Ticonmain::SetMenuChecked(const QString& name, bool checked)
{
    SetComponentProperty(name, "Checked", checked);
}

void Ticonmain::SetControlCaption(const QString& name, const QString& caption)
{
    SetComponentProperty(name, "Caption", caption);
}

void Ticonmain::SetControlHint(const QString& name, const QString& hint)
{
    SetComponentProperty(name, "Hint", hint);
}

void Ticonmain::SetTrackBarPosition(const QString& name, int position)
{
    SetComponentProperty(name, "Position", position);
}

int Ticonmain::TrackBarPosition(const QString& name) const
{
    QObject* c = FindComponent(name);
    return c ? c->property("Position").toInt() : 0;
}

TRect Ticonmain::ControlBounds(const QString& name) const
{
    if (name.isEmpty())
        return Bounds(Left(), Top(), Width(), Height());
    TControl* c = Control(name);
    return c ? c->BoundsRect() : TRect();
}

bool Ticonmain::HasDocumentTile(int n) const
{
    return n >= 1 && n <= 24 && Control(QStringLiteral("icon%1").arg(n));
}

void Ticonmain::SetDocumentTile(int n, const TRect& bounds, const QImage& picture)
{
    auto* image = qobject_cast<TImage*>(Control(QStringLiteral("icon%1").arg(n)));
    if (!image)
        return;
    image->SetBoundsRect(bounds);
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    image->Picture()->Assign(&bitmap);
}

void Ticonmain::ClearDocumentTile(int n)
{
    auto* image = qobject_cast<TImage*>(Control(QStringLiteral("icon%1").arg(n)));
    if (!image)
        return;
    TBitmap bitmap;
    QImageToBitmap(Picture(QStringLiteral("bgokbg")), bitmap);
    image->Picture()->Assign(&bitmap);
}

void Ticonmain::SetPreview(const TRect& bounds, const QImage& picture)
{
    auto* preview = qobject_cast<TImage*>(Control(QStringLiteral("iconshow")));
    if (!preview)
        return;
    preview->SetBoundsRect(bounds);
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    preview->Picture()->Assign(&bitmap);
}

void Ticonmain::ClearPreview()
{
    auto* preview = qobject_cast<TImage*>(Control(QStringLiteral("iconshow")));
    if (!preview)
        return;
    const QImage tile = Picture(QStringLiteral("bgokbg"));
    QImage filled(76, 76, QImage::Format_ARGB32);
    filled.fill(Qt::white);
    if (!tile.isNull()) {
        QPainter p(&filled);
        p.fillRect(filled.rect(), QBrush(tile));
    }
    TBitmap bitmap;
    QImageToBitmap(filled, bitmap);
    preview->Picture()->Assign(&bitmap);
}

QImage Ticonmain::Picture(const QString& name) const
{
    return PictureOfImage(qobject_cast<TImage*>(Control(name)));
}

void Ticonmain::RunMainCommand(const QString& handlerName)
{
    // Handlers are found by name, as the definitions bind them; a name this window does not
    // have is no command.
    const QByteArray signature = handlerName.toLatin1() + "(TObject*)";
    const int index = metaObject()->indexOfMethod(signature.constData());
    if (index < 0)
        return;
    TObject* sender = this;
    RunGuarded([&] { metaObject()->method(index).invoke(this, Qt::DirectConnection, Q_ARG(TObject*, sender)); }, this);
}

QString Ticonmain::MainThemeFile() const
{
    auto* theme = qobject_cast<TsuiFileTheme*>(FindComponent(QStringLiteral("suiFileTheme1")));
    return theme ? theme->ThemeFile() : QString();
}

int Ticonmain::MainUIStyle() const
{
    auto* manager = qobject_cast<TsuiThemeManager*>(FindComponent(QStringLiteral("suiThemeManager1")));
    return manager ? int(manager->UIStyle()) : SkinStyle;
}
