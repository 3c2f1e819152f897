#include "import/selectimage.h"

#include "document/command_dialog.h"
#include "document/editor_state.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/controls.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "framework/string_list.h"
#include "framework/timer.h"
#include "import/capture_devices.h"
#include "import/import_rules.h"
#include "import/loadimagedorv.h"
#include "mainwindow/command_routing.h"
#include "mainwindow/iconmain.h"
#include "platform/atomic_file.h"
#include "skin/controls/tab_control.h"

#include <QBuffer>
#include <QFile>

Tselectimage* selectimage = nullptr;

namespace {

std::unique_ptr<TScreenSource>& ScreenSlot()
{
    static std::unique_ptr<TScreenSource> s;
    return s;
}

std::unique_ptr<THotKey>& HotKeySlot()
{
    static std::unique_ptr<THotKey> k;
    return k;
}

template <class T> T* Part(const TForm* w, const char* name)
{
    return qobject_cast<T*>(w->FindComponent(QLatin1String(name)));
}

QSize NewImageSize()
{
    TEditorState* state = EditorState();
    const int w = state ? state->NewImageWidth : 48, h = state ? state->NewImageHeight : 48;
    return QSize(std::clamp(w, 1, 256), std::clamp(h, 1, 256));
}

} // namespace

void Tselectimage::SetDevices(std::unique_ptr<TScreenSource> screen, std::unique_ptr<THotKey> hotKey)
{
    ScreenSlot() = std::move(screen);
    HotKeySlot() = std::move(hotKey);
}

TScreenSource& Tselectimage::Screen()
{
    if (!ScreenSlot())
        ScreenSlot() = MakeDesktopScreen();
    return *ScreenSlot();
}

THotKey& Tselectimage::HotKey()
{
    if (!HotKeySlot())
        HotKeySlot() = MakeDesktopHotKey();
    return *HotKeySlot();
}

Tselectimage::Tselectimage(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    LoadDefinition(QStringLiteral(":/import/selectimage.wdf"));
    selectimage = this;
    InstallCaptureWindow(this);
}

Tselectimage::~Tselectimage()
{
    if (HotKeySlot())
        HotKeySlot()->Unregister(kHotKeyId);
    if (selectimage == this) {
        selectimage = nullptr;
        InstallCaptureWindow(nullptr);
    }
}

void Tselectimage::FormCreate(TObject*)
{
    TakeMainWindowSkin(*this);
    HookMode = 1;
    HandOffStage = 1;
    CaptureArmed = 0;
    const QSize size = NewImageSize();
    CapturedBitmap = QImage(size, QImage::Format_ARGB32);
    CapturedBitmap.fill(0xFF000000u);
    if (auto* tab = Part<TControl>(this, "suiTabControl3")) {
        if (tab->Width() + 10 > 231)
            SetClientWidth(tab->Width() + 10);
        SetClientHeight(tab->Height() + 60);
    }
    // One tab, the block size: the control starts with a tab of its own, which this replaces.
    if (auto* tabs = Part<TsuiTabControl>(this, "suiTabControl3"))
        tabs->SetTabList({SizeCaption()});
}

void Tselectimage::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

QString Tselectimage::SizeCaption() const
{
    auto* image = Part<TControl>(this, "Image1");
    return image ? QString::number(image->Width()) + QStringLiteral(" * ") + QString::number(image->Height()) : QString();
}

void Tselectimage::FormPaint(TObject*)
{
    auto* tabs = Part<TsuiTabControl>(this, "suiTabControl3");
    const QString caption = SizeCaption();
    if (!tabs || tabs->Tabs()->Count() == 0 || tabs->Tabs()->Strings(0) == caption)
        return;
    tabs->Tabs()->Put(0, caption);
}

void Tselectimage::Timer2Timer(TObject*)
{
    if (auto* t = Part<TTimer>(this, "Timer2"))
        t->SetEnabled(false);
    const QSize size = NewImageSize();
    auto* image = Part<TControl>(this, "Image1");
    auto* tab = Part<TControl>(this, "suiTabControl3");
    if (image) {
        image->SetWidth(size.width());
        image->SetHeight(size.height());
    }
    if (tab && image) {
        if (tab->Width() < image->Width() + 10)
            tab->SetWidth(image->Width() + 20);
        if (tab->Height() < image->Height() + 10)
            tab->SetHeight(image->Height() + 20);
        // The tab sits below the skinned title bar: measure it where it lies in the window.
        const QPoint corner = tab->mapTo(this, QPoint(tab->Width(), tab->Height()));
        if (corner.x() + 6 > ClientWidth())
            SetClientWidth(corner.x() + 6);
        if (corner.y() + 35 > ClientHeight())
            SetClientHeight(corner.y() + 35);
    }
    FormPaint(this);
}

void Tselectimage::Timer1Timer(TObject*)
{
    // The application's key handling is the main window's already; HookMode only records
    // whether the tool still asks for it.
    if (SamplingMode() == 2 || !isVisible())
        return;
    const QPoint at = Screen().PointerPos();
    const QString text = QString::number(at.x()) + QLatin1Char(' ') + QString::number(at.y());
    if (text == PointerText)
        return;
    PointerText = text;
    if (auto* edit = Part<TCustomEdit>(this, "Edit1"))
        edit->SetText(text);
    else
        Edit1Change(this);
}

void Tselectimage::Edit1Change(TObject*)
{
    CaptureArmed = 1;
    const QSize size = NewImageSize();
    const QPoint at = Screen().PointerPos();
    const QRect block(at.x() - size.width() / 2, at.y() - size.height() / 2, size.width(), size.height());
    QImage shot = Screen().Grab(block);
    if (shot.size() != size)
        shot = shot.copy(QRect(QPoint(0, 0), size));
    CapturedBitmap = shot.convertToFormat(QImage::Format_ARGB32);
    if (auto* image = Part<TImage>(this, "Image1")) {
        TBitmap bitmap;
        QImageToBitmap(CapturedBitmap, bitmap);
        image->Picture()->Assign(&bitmap);
    }
}

void Tselectimage::Confirm()
{
    BitBtn1Click(this);
}

void Tselectimage::BitBtn1Click(TObject*)
{
    if (QuestionAsked())
        return;
    PasteConfirmed = 0;
    ConfirmDone = 1;
    const int answer = Application->MessageBox(
        QStringLiteral("Do you want to paste the picture that you just captured into the current icon?"),
        QStringLiteral("Brelnova Studio"), MB_OKCANCEL | MB_ICONQUESTION);
    HotKey().Unregister(kHotKeyId);
    if (answer != IDOK) {
        Close();
        return;
    }
    // The captured block as a Windows bitmap, written whole or not at all.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString path = ScratchPath(QStringLiteral("selectimage.bmp"));
    if (!CapturedBitmap.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP") || !WriteFileAtomically(path, bytes)) {
        Application->MessageBox(QStringLiteral("Cannot create file \"") + path + QLatin1Char('"'), QStringLiteral("Brelnova Studio"),
                                MB_OK | MB_ICONERROR);
        return;
    }
    PasteConfirmed = 1;
}

void Tselectimage::CloseWindow()
{
    Close();
}

void Tselectimage::FormCloseQuery(TObject*, bool&)
{
    ConfirmDone = 0;
    HandOffStage = 1;
    HookMode = 2;
    HotKey().Unregister(kHotKeyId);
}

// ---------------------------------------------------------------------------------------------
// The main window's side

void CaptureHotKeyPressed(int id)
{
    if (id != Tselectimage::kHotKeyId)
        return;
    // The document's hand-off freezes the tool before it looks for a sample; with none taken yet
    // that would leave a frozen, empty tool that Enter can never confirm, so Enter waits for one.
    if (selectimage && !selectimage->HasSample())
        return;
    if (TEditorState* state = EditorState())
        RunDocumentCommand(*state, QStringLiteral("BitBtn39"));
}

void StartCaptureTool()
{
    int fromBrowser = 0;
    int starts = 1;
    if (iconmain) {
        starts = ++iconmain->CaptureStartCount;
        fromBrowser = iconmain->CaptureFromBrowser;
    }
    if (starts <= 3) {
        const int answer = Application->MessageBox(QStringLiteral("Press the Enter Key to capture the selected picture."),
                                                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
        if (answer != IDOK)
            return;
    }
    THotKey& key = Tselectimage::HotKey();
    if (!key.Register(Tselectimage::kHotKeyId, CaptureHotKeyPressed) && starts <= 3 && !key.Limitation().isEmpty())
        Application->MessageBox(key.Limitation(), QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
    if (fromBrowser != 1)
        Application->Minimize();
    if (iconmain)
        iconmain->CaptureFromBrowser = 0;
    if (!selectimage)
        new Tselectimage;
    selectimage->SetFormStyle(fsStayOnTop);
    selectimage->Show();
    selectimage->ConfirmDone = 0;
    if (auto* t = qobject_cast<TTimer*>(selectimage->FindComponent(QStringLiteral("Timer2"))))
        t->SetEnabled(true);
}
