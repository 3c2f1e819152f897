#include "animation/editani.h"

#include "animation/animated_cursor.h"
#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "animation/ani_writer.h"
#include "animation/selectinput.h"
#include "animation/sethot.h"
#include "animation/slot_picture.h"
#include "mainwindow/dialog_skin.h"
#include "document/scratch_folder.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/icon.h"
#include "framework/image.h"
#include "framework/imagelist.h"
#include "framework/menus.h"
#include "framework/tool_bar.h"
#include "framework/sysutils.h"
#include "imaging/icons/file_icon.h"
#include "mainwindow/cursor_reading.h"
#include "mainwindow/icon_project.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/iconmain_files.h"
#include "platform/help_viewer.h"
#include "platform/icon_handle.h"
#include "platform/program_paths.h"
#include "skin/controls/spin_edit.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <utility>

Teditani* editani = nullptr;

namespace {

const QString kMarker = QStringLiteral("dorvelt");

// A frame's thumbnail: its icon on white, at the image list's 32 by 32. Loading raises the
// picture-load error for a file that is no icon.
QImage Thumbnail(const QString& iconFile)
{
    TIcon icon;
    icon.LoadFromFile(iconFile);
    QImage thumb(32, 32, QImage::Format_ARGB32);
    thumb.fill(Qt::white);
    QPainter painter(&thumb);
    painter.drawImage(QRect(0, 0, 32, 32), icon.ToImage());
    return thumb;
}

void ReplaceFile(const QString& source, const QString& target)
{
    QFile::remove(target);
    if (!QFile::copy(source, target))
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(target));
}

// The tool buttons' pictures: the main window's own for the commands it shares, drawn here for
// Insert and the two moves. Without a main window the buttons keep their captions.
void PrepareToolImages(TForm& form)
{
    auto* bar = qobject_cast<TToolBar*>(form.FindComponent(QStringLiteral("ToolBar1")));
    auto* images = qobject_cast<TImageList*>(form.FindComponent(QStringLiteral("ToolImages")));
    if (!bar || !images || !iconmain || !iconmain->ImageList1 || iconmain->ImageList1->Count() < 10)
        return;
    const TImageList* shared = iconmain->ImageList1;
    auto drawn = [](auto paint) {
        QImage glyph(24, 24, QImage::Format_ARGB32);
        glyph.fill(Qt::transparent);
        QPainter p(&glyph);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 90, 170), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        paint(p);
        return glyph;
    };
    images->Clear();
    for (int i : {0, 1, 2})
        images->AddImage(shared->Image(i));
    images->AddImage(drawn([](QPainter& p) {
        p.drawLine(12, 5, 12, 19);
        p.drawLine(5, 12, 19, 12);
    }));
    for (int i : {6, 7, 8, 9})
        images->AddImage(shared->Image(i));
    images->AddImage(drawn([](QPainter& p) {
        p.drawLine(19, 12, 5, 12);
        p.drawLine(5, 12, 11, 6);
        p.drawLine(5, 12, 11, 18);
    }));
    images->AddImage(drawn([](QPainter& p) {
        p.drawLine(5, 12, 19, 12);
        p.drawLine(19, 12, 13, 6);
        p.drawLine(19, 12, 13, 18);
    }));
    bar->SetImages(images);
    bar->SetShowCaptions(false);
}

// A frame's size as its icon file's first directory entry gives it (0 stands for 256).
QSize FrameSizeOf(const QString& iconFile)
{
    QFile file(iconFile);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(8);
    if (head.size() < 8)
        return QSize(32, 32);
    auto side = [](char byte) { return uint8_t(byte) ? int(uint8_t(byte)) : 256; };
    return QSize(side(head[6]), side(head[7]));
}

void Say(const QString& text)
{
    MessageDlg(text, mtInformation, MsgDlgButtons({mbOK}));
}

} // namespace

Teditani* AniBuilder()
{
    if (!editani)
        editani = new Teditani;
    return editani;
}

Teditani::Teditani(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    LoadDefinition(QStringLiteral(":/animation/editani.wdf"));
    KeepDialogTitleButtons(*this, true);
    SetImage(qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage"))), CheckerTile());
    PrepareToolImages(*this);
    RedrawStrip();
    ShowTotal();
    ShowCurrent();
}

Teditani::~Teditani()
{
    if (editani == this)
        editani = nullptr;
}

int Teditani::HotSpotX() const
{
    auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("setx")));
    return edit ? edit->Value() : 0;
}

int Teditani::HotSpotY() const
{
    auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("sety")));
    return edit ? edit->Value() : 0;
}

void Teditani::SetHotSpot(int x, int y)
{
    const bool ownSpots = std::any_of(FrameHotSpots.begin(), FrameHotSpots.end(), [](QPoint p) { return p.x() >= 0; });
    if (ownSpots || x != HotSpotX() || y != HotSpotY())
        Modified = true;
    std::fill(FrameHotSpots.begin(), FrameHotSpots.end(), QPoint(-1, -1));
    if (auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("setx"))))
        edit->SetValue(x);
    if (auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("sety"))))
        edit->SetValue(y);
}

int Teditani::SlotFrame(int slot) const
{
    const int first = CurrentFrame <= 7 ? 1 : CurrentFrame - 6;
    const int frame = first + slot - 1;
    return slot >= 1 && slot <= 7 && frame <= FrameCount() ? frame : 0;
}

TImage* Teditani::Slot(int slot) const
{
    return qobject_cast<TImage*>(FindComponent(QStringLiteral("Image%1").arg(slot)));
}

QImage Teditani::SlotImage(int slot) const
{
    return ImageOf(Slot(slot));
}

int Teditani::SlotOf(QObject* sender) const
{
    for (int s = 1; s <= 7; ++s)
        if (sender && sender == Slot(s))
            return s;
    return 0;
}

void Teditani::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Teditani::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = AskSaveChanges();
}

bool Teditani::AskSaveChanges()
{
    if (!Modified || FrameCount() == 0)
        return true;
    return AskToSaveAnimation([this] { SaveBtnClick(this); }, [this] { return !Modified; });
}

// ---- adding frames ----

bool Teditani::AddAniFrame(const QString& source, const QString&)
{
    if (FrameCount() >= FrameCapacity) {
        Say(QStringLiteral("The animation already holds %1 frames, the most it can hold.").arg(FrameCapacity));
        return false;
    }
    SavePath.clear();
    // The document writes its hand-off under a name taken from the frame count, which a delete
    // makes the name of a frame still held: every frame gets a copy of its own.
    const QString file = source == kMarker ? ScratchPath(QStringLiteral("ani_ico%1.ico").arg(FrameCount())) : source;
    const QImage thumb = Thumbnail(file);
    const QString copy = ScratchPath(QStringLiteral("icotocur%1.ico").arg(FileCounter));
    ReplaceFile(file, copy);
    ++FileCounter;
    AppendFrame(copy, thumb);
    return true;
}

void Teditani::AppendFrame(const QString& file, const QImage& icon, QPoint hotSpot)
{
    FrameFiles.push_back(file);
    FrameDurations.push_back(QStringLiteral("10"));
    Thumbnails.push_back(icon);
    FrameHotSpots.push_back(hotSpot);
    FrameSizes.push_back(FrameSizeOf(file));
    Modified = true;
    CurrentFrame = FrameCount();
    ShowTotal();
    ShowCurrent();
    ShowDuration();
    EnableAfterAdd();
    RedrawStrip();
}

void Teditani::LoadFrames(const QStringList& files, const QStringList& durations, const QList<QPoint>& hotSpots)
{
    ClearFrames();
    for (int i = 0; i < files.size(); ++i) {
        if (!AddAniFrame(files[i], i == 0 ? QStringLiteral("open") : QString::number(i + 1)))
            break;
        FrameDurations.back() = i < durations.size() ? durations[i] : QStringLiteral("10");
        FrameHotSpots.back() = hotSpots.value(i, QPoint(-1, -1));
    }
    // The builder's hot spot, for the frames added later, is the file's first frame's.
    if (!FrameHotSpots.empty() && FrameHotSpots.front().x() >= 0) {
        const QPoint first = FrameHotSpots.front();
        if (auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("setx"))))
            edit->SetValue(first.x());
        if (auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("sety"))))
            edit->SetValue(first.y());
    }
    ShowDuration();
    Modified = false;
}

void Teditani::SetEnabled(const char* button, const char* item, bool enabled)
{
    if (QObject* b = FindComponent(QLatin1String(button)))
        b->setProperty("Enabled", enabled);
    if (QObject* i = FindComponent(QLatin1String(item)))
        i->setProperty("Enabled", enabled);
}

void Teditani::EnableAfterAdd()
{
    // One frame is already an animation that can be saved, cut or deleted.
    SetEnabled("CopyBtn", "Copy1", true);
    SetEnabled("SaveBtn", "Save1", true);
    SetEnabled("CutBtn", "Cut1", true);
    SetEnabled("DeleteBtn", "Delete1", true);
    if (CurrentFrame > 1) {
        SetEnabled("UpBtn", "MoveBackward1", true);
        SetEnabled("DownBtn", "MoveForward1", true);
    }
}

// ---- labels and the strip ----

void Teditani::ShowCurrent()
{
    if (QObject* label = FindComponent(QStringLiteral("cap")))
        label->setProperty("Caption", QStringLiteral("Current Frame : ") + QString::number(CurrentFrame));
    // Frames of an opened file may be larger than the 32 by 32 the builder makes.
    const QSize size = CurrentFrame > 0 ? FrameSizes[size_t(CurrentFrame - 1)] : QSize(32, 32);
    if (QObject* label = FindComponent(QStringLiteral("FrameW")))
        label->setProperty("Caption", QString::number(size.width()));
    if (QObject* label = FindComponent(QStringLiteral("FrameH")))
        label->setProperty("Caption", QString::number(size.height()));
}

void Teditani::ShowTotal()
{
    if (QObject* label = FindComponent(QStringLiteral("Label1")))
        label->setProperty("Caption", QStringLiteral("Total : ") + QString::number(FrameCount()));
}

void Teditani::ShowDuration()
{
    auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("DelayTime")));
    if (!edit)
        return;
    loadingDuration_ = true;
    edit->SetText(CurrentFrame > 0 ? FrameDurations[size_t(CurrentFrame - 1)] : QStringLiteral("10"));
    loadingDuration_ = false;
}

void Teditani::RedrawStrip()
{
    for (int s = 1; s <= 7; ++s) {
        const int frame = SlotFrame(s);
        SetImage(Slot(s), SlotPicture(frame ? Thumbnails[size_t(frame - 1)] : QImage()));
        if (QObject* label = FindComponent(QStringLiteral("No%1").arg(s))) {
            label->setProperty("Caption", QStringLiteral("Frame# ") + QString::number(frame));
            label->setProperty("Visible", frame != 0);
        }
    }
    OutlineCurrent();
}

void Teditani::OutlineCurrent()
{
    for (int s = 1; s <= 7; ++s) {
        if (!CurrentFrame || SlotFrame(s) != CurrentFrame)
            continue;
        QImage picture = SlotImage(s);
        const TColor c = ColorToRGB(clActiveCaption);
        const uint32_t argb = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        // A 2-pixel frame, 2 pixels in from the slot's edge.
        for (int i = 2; i < SlotSize - 2; ++i)
            for (int w : {2, 3, SlotSize - 4, SlotSize - 3}) {
                picture.setPixel(i, w, argb);
                picture.setPixel(w, i, argb);
            }
        SetImage(Slot(s), picture);
    }
}

// ---- selecting ----

void Teditani::Image1MouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    const int frame = SlotFrame(SlotOf(dynamic_cast<QObject*>(Sender)));
    if (!frame)
        return;
    CurrentFrame = frame;
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

void Teditani::Image1DblClick(TObject*)
{
    OpenFrameAsProject();
}

void Teditani::suiButton1Click(TObject*)
{
    if (CurrentFrame <= 1)
        return;
    --CurrentFrame;
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

void Teditani::suiButton2Click(TObject*)
{
    if (CurrentFrame >= FrameCount())
        return;
    ++CurrentFrame;
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

void Teditani::DelayTimeChange(TObject*)
{
    auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QStringLiteral("DelayTime")));
    if (loadingDuration_ || !edit || CurrentFrame == 0)
        return;
    // A text being typed that is no duration yet keeps the frame's own.
    int value = 0;
    if (TryStrToInt(edit->Text().trimmed(), value) && value >= edit->MinValue() && value <= edit->MaxValue()) {
        QString& duration = FrameDurations[size_t(CurrentFrame - 1)];
        if (duration != QString::number(value))
            Modified = true;
        duration = QString::number(value);
    }
}

// ---- frame list ----

void Teditani::SwapFrames(int a, int b)
{
    std::swap(FrameFiles[size_t(a - 1)], FrameFiles[size_t(b - 1)]);
    std::swap(FrameDurations[size_t(a - 1)], FrameDurations[size_t(b - 1)]);
    std::swap(Thumbnails[size_t(a - 1)], Thumbnails[size_t(b - 1)]);
    std::swap(FrameHotSpots[size_t(a - 1)], FrameHotSpots[size_t(b - 1)]);
    std::swap(FrameSizes[size_t(a - 1)], FrameSizes[size_t(b - 1)]);
    Modified = true;
}

void Teditani::ToolButton9Click(TObject*)
{
    if (CurrentFrame < 2)
        return;
    SwapFrames(CurrentFrame - 1, CurrentFrame);
    --CurrentFrame;
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

void Teditani::UpBtnClick(TObject* Sender)
{
    ToolButton9Click(Sender);
}

void Teditani::DownBtnClick(TObject*)
{
    if (CurrentFrame < 1 || CurrentFrame >= FrameCount())
        return;
    SwapFrames(CurrentFrame, CurrentFrame + 1);
    ++CurrentFrame;
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

void Teditani::CopyBtnClick(TObject*)
{
    if (CurrentFrame == 0) {
        Say(QStringLiteral("There is no frame to copy."));
        return;
    }
    CopiedFrame = FrameFiles[size_t(CurrentFrame - 1)];
    copiedHotSpot_ = FrameHotSpots[size_t(CurrentFrame - 1)];
    SetEnabled("PasteBtn", "Paste1", true);
}

void Teditani::CutBtnClick(TObject* Sender)
{
    CopyBtnClick(Sender);
    if (CurrentFrame)
        DeleteBtnClick(Sender);
}

void Teditani::PasteBtnClick(TObject*)
{
    if (CopiedFrame.isEmpty())
        return;
    if (FrameCount() >= FrameCapacity) {
        Say(QStringLiteral("The animation already holds %1 frames, the most it can hold.").arg(FrameCapacity));
        return;
    }
    SavePath.clear();
    AppendFrame(CopiedFrame, Thumbnail(CopiedFrame), copiedHotSpot_);
}

void Teditani::DeleteBtnClick(TObject*)
{
    if (CurrentFrame == 0) {
        Say(QStringLiteral("There is no frame to delete."));
        return;
    }
    if (MessageDlg(QStringLiteral("Are you Sure ?"), mtWarning, mbOKCancel) != mrOk)
        return;
    const size_t at = size_t(CurrentFrame - 1);
    FrameFiles.erase(FrameFiles.begin() + ptrdiff_t(at));
    FrameDurations.erase(FrameDurations.begin() + ptrdiff_t(at));
    Thumbnails.erase(Thumbnails.begin() + ptrdiff_t(at));
    FrameHotSpots.erase(FrameHotSpots.begin() + ptrdiff_t(at));
    FrameSizes.erase(FrameSizes.begin() + ptrdiff_t(at));
    Modified = true;
    CurrentFrame = CurrentFrame > 1 ? CurrentFrame - 1 : (FrameCount() ? 1 : 0);
    ShowTotal();
    ShowDuration();
    ShowCurrent();
    RedrawStrip();
}

void Teditani::NewBtnClick(TObject*)
{
    if (!AskSaveChanges())
        return;
    ClearFrames();
    Modified = false;
}

void Teditani::ClearFrames()
{
    FrameFiles.clear();
    FrameDurations.clear();
    Thumbnails.clear();
    FrameHotSpots.clear();
    FrameSizes.clear();
    CurrentFrame = 0;
    ShowTotal();
    ShowCurrent();
    ShowDuration();
    RedrawStrip();
}

// ---- files ----

void Teditani::OpenBtnClick(TObject*)
{
    auto* dialog = qobject_cast<TOpenDialog*>(FindComponent(QStringLiteral("OpenDialog2")));
    if (!dialog || !AskSaveChanges() || !dialog->Execute())
        return;
    if (!iconmain) {
        Say(QStringLiteral("Animated cursors are opened through the main window, which is not open."));
        return;
    }
    TIconmainFiles files(*iconmain);
    OpenAniInEditor(files, dialog->FileName());
}

void Teditani::InsertBtnClick(TObject*)
{
    auto* dialog = qobject_cast<TOpenDialog*>(FindComponent(QStringLiteral("OpenDialog1")));
    if (dialog && dialog->Execute())
        InsertFile(dialog->FileName());
}

void Teditani::InsertFile(const QString& fileName)
{
    const int place = CurrentFrame;
    const int before = FrameCount();
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("ico")) {
        TFileIcon icon(fileName);
        if (!icon.Valid()) {
            ::MessageBox(QStringLiteral("这不是标准的ico"), QString(), MB_OK);
            return;
        }
        int taken = 0;
        for (uint16_t i = 0; i < icon.Count(); ++i) {
            int w = 0, h = 0;
            if (!GetIconSize(icon.GetIconHandle(i), &w, &h) || w != 32 || h != 32)
                continue;
            const QString path = ScratchPath(QStringLiteral("openico%1.ico").arg(FileCounter));
            icon.SaveImageToFile(path, i);
            ++taken;
            const bool added = AddAniFrame(path, QStringLiteral("open"));
            ++FileCounter;
            if (!added)
                break;
        }
        if (taken == 0 && icon.Count() == 1) {
            if (MessageDlg(QStringLiteral("Current icon is not 32*32,Do you still want to insert."), mtWarning, mbOKCancel) != mrOk)
                return;
            ++FileCounter;
            const QString path = ScratchPath(QStringLiteral("openico%1.ico").arg(FileCounter));
            icon.SaveImageToFile(path, 0);
            AddAniFrame(path, QStringLiteral("open"));
        } else if (taken == 0 && icon.Count() >= 2) {
            if (MessageDlg(QStringLiteral("Current multi-format icons without 32*32 icon,Please select and insert."), mtWarning, mbOKCancel) != mrOk)
                return;
            Tselectinput* picker = FramePicker();
            picker->SetIconPath(fileName);
            picker->ShowModal();
        }
    } else if (ext == QLatin1String("cur")) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(fileName));
        const QByteArray bytes = file.read(qint64(64) << 20);
        const QString path = ScratchPath(QStringLiteral("cur%1.ico").arg(FileCounter));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(path));
        out.write(QByteArray("\0\0\1\0", 4) + bytes.mid(4));
        out.close();
        AddAniFrame(path, QStringLiteral("open"));
        ++FileCounter;
    } else {
        Say(QStringLiteral("Only icon files (*.ico) and cursor files (*.cur) can be inserted."));
        return;
    }
    // The last frame added moves to the place of the frame that was current.
    if (FrameCount() > before && FrameCount() >= place + 1)
        for (int i = FrameCount() - place; i > 0; --i)
            ToolButton9Click(nullptr);
}

QString Teditani::AniSaveName(const QString& chosen)
{
    return chosen.endsWith(QLatin1String(".ani")) && QFileInfo(chosen).suffix() == QLatin1String("ani")
               ? chosen
               : chosen + QStringLiteral(".ani");
}

void Teditani::WriteAniFile(const QString& target)
{
    QStringList files, durations;
    QList<QPoint> ownHotSpots;
    for (size_t i = 0; i < FrameFiles.size(); ++i) {
        files << FrameFiles[i];
        durations << FrameDurations[i];
        ownHotSpots << FrameHotSpots[i];
    }
    ::WriteAniFile(files, durations, HotSpotX(), HotSpotY(), FileCounter + 1, target, ownHotSpots);
    ++FileCounter;
}

void Teditani::SaveBtnClick(TObject*)
{
    if (FrameCount() == 0) {
        Say(QStringLiteral("There are no frames to save."));
        return;
    }
    auto* dialog = qobject_cast<TSaveDialog*>(FindComponent(QStringLiteral("SaveDialog1")));
    if (!dialog)
        return;
    // The animation's own file, or no name: never the name of the one saved before.
    dialog->SetFileName(SavePath);
    if (!dialog->Execute())
        return;
    const QString target = AniSaveName(dialog->FileName());
    if (!ConfirmReplaceFile(target))
        return;
    WriteAniFile(target);
    SavePath = target;
    Modified = false;
}

void Teditani::RunTest()
{
    if (FrameCount() == 0) {
        Say(QStringLiteral("There are no frames to test."));
        return;
    }
    const QString path = ScratchPath(QStringLiteral("testani%1.ani").arg(FileCounter + 1));
    WriteAniFile(path);
    TAnimatedCursor::Instance().Play(path);
    HotSpotDialog()->ShowForBuilder(SlotImage(1), HotSpotX(), HotSpotY());
}

void Teditani::suiButton3Click(TObject*)
{
    RunTest();
}

void Teditani::SpeedItem5Click(TObject*)
{
    RunTest();
}

void Teditani::OpenFrameAsProject()
{
    if (CurrentFrame == 0)
        return;
    if (!iconmain) {
        Say(QStringLiteral("Frames are edited in the main window, which is not open."));
        return;
    }
    TIconmainFiles files(*iconmain);
    // The frame's file lives in the scratch folder: the project has no file of its own.
    OpenIconAsProject(files, FrameFiles[size_t(CurrentFrame - 1)], {QString(), QString()});
}

void Teditani::suiButton4Click(TObject*)
{
    // With no frame there is nothing to open: the builder stays and says so.
    if (CurrentFrame == 0) {
        Say(QStringLiteral("There are no frames to edit."));
        return;
    }
    Hide();
    OpenFrameAsProject();
}

void Teditani::editClick(TObject*)
{
    OpenFrameAsProject();
}

void Teditani::suiButton6Click(TObject*)
{
    Close();
}

void Teditani::HelpClick(TObject*, int)
{
    if (!HtmlHelp(this, ProgramPath(QStringLiteral("dodozizozodazo.zed")) + QStringLiteral("::/3_1.htm#15"), HH_DISPLAY_TOPIC, 0))
        Say(QStringLiteral("The help pages are not installed beside the program."));
}
