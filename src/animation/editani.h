#pragma once

// The animated cursor builder: frames of 32 by 32 pixels, each a one-image icon file in the
// scratch folder, with a duration each (jiffies, 1/60 s), shown as a strip of seven slots; the
// user orders, copies and deletes them, tries the result as the program's cursor with a hot spot
// from the hot-spot dialog, and saves it as an animated cursor file.

#include "framework/forms.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

class TImage;

class Teditani : public TForm {
    Q_OBJECT

public:
    explicit Teditani(QWidget* owner = nullptr);
    ~Teditani() override;

    static constexpr int FrameCapacity = 100;

    // Per frame, from index 0 (frame 1): its icon file and its duration as decimal text.
    std::vector<QString> FrameFiles;
    std::vector<QString> FrameDurations;
    // The thumbnails, 32 by 32 on white, in frame order.
    std::vector<QImage> Thumbnails;
    // Per frame: the hot spot it brought from an opened file, (-1, -1) where the builder's own
    // applies; and its size, as its icon file's first entry gives it.
    std::vector<QPoint> FrameHotSpots;
    std::vector<QSize> FrameSizes;
    // Frames, their order, durations or the hot spot changed since the last New, opened file or
    // Save.
    bool Modified = false;
    int CurrentFrame = 0;
    QString CopiedFrame;
    int FileCounter = 0;
    QString SavePath;

    int FrameCount() const { return int(FrameFiles.size()); }
    // The hot spot kept in the hidden spin edits "setx" and "sety".
    int HotSpotX() const;
    int HotSpotY() const;
    // The hot spot chosen in the hot-spot dialog: it applies to every frame, which forget the
    // ones they brought from a file.
    void SetHotSpot(int x, int y);
    // The frame shown in slot 1..7, 0 for an empty slot.
    int SlotFrame(int slot) const;
    QImage SlotImage(int slot) const;

    // Appends a frame from an icon file, or from the document's hand-off file for the marker
    // "dorvelt"; the mode word is what the callers pass and changes nothing. A file that is no
    // icon raises the picture-load error and adds nothing; the hundred-and-first frame is refused
    // with a message. True when a frame was added.
    bool AddAniFrame(const QString& source, const QString& mode);
    // Empties the builder and adds these frames with their durations and the hot spots they had
    // as cursors (an opened file); the builder's hot spot becomes the first frame's. The caller
    // has asked about unsaved frames.
    void LoadFrames(const QStringList& files, const QStringList& durations, const QList<QPoint>& hotSpots = {});
    // "Save changes to current animation?" while unsaved frames are held: Yes saves (a save
    // that does not happen keeps them), No goes on; false for Cancel.
    bool AskSaveChanges();
    // Inserts frames from an icon or cursor file before the current frame, as Insert does after
    // its dialog.
    void InsertFile(const QString& fileName);
    // Writes the file of the frames with the hot spot; raises as the writer does.
    void WriteAniFile(const QString& target);
    // Test: the frames become the program's animated cursor and the hot-spot dialog shows.
    void RunTest();
    // The name Save writes for a chosen one.
    static QString AniSaveName(const QString& chosen);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
    Q_INVOKABLE void NewBtnClick(TObject* Sender);
    Q_INVOKABLE void OpenBtnClick(TObject* Sender);
    Q_INVOKABLE void SaveBtnClick(TObject* Sender);
    Q_INVOKABLE void InsertBtnClick(TObject* Sender);
    Q_INVOKABLE void CutBtnClick(TObject* Sender);
    Q_INVOKABLE void CopyBtnClick(TObject* Sender);
    Q_INVOKABLE void PasteBtnClick(TObject* Sender);
    Q_INVOKABLE void DeleteBtnClick(TObject* Sender);
    Q_INVOKABLE void ToolButton9Click(TObject* Sender);
    Q_INVOKABLE void UpBtnClick(TObject* Sender);
    Q_INVOKABLE void DownBtnClick(TObject* Sender);
    Q_INVOKABLE void editClick(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void suiButton6Click(TObject* Sender);
    Q_INVOKABLE void SpeedItem5Click(TObject* Sender);
    Q_INVOKABLE void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Image1DblClick(TObject* Sender);
    Q_INVOKABLE void DelayTimeChange(TObject* Sender);
    Q_INVOKABLE void HelpClick(TObject* Sender, int ButtonIndex);

private:
    void SetEnabled(const char* button, const char* item, bool enabled);
    void EnableAfterAdd();
    void ShowCurrent();
    void ShowTotal();
    void ShowDuration();
    void RedrawStrip();
    void OutlineCurrent();
    void SwapFrames(int a, int b);
    void OpenFrameAsProject();
    int SlotOf(QObject* sender) const;
    TImage* Slot(int slot) const;
    void AppendFrame(const QString& file, const QImage& icon, QPoint hotSpot = QPoint(-1, -1));
    void ClearFrames();

    bool loadingDuration_ = false;
    // The hot spot the copied frame brought from its file, if any.
    QPoint copiedHotSpot_{-1, -1};
};

extern Teditani* editani;

// The builder, created on first use.
Teditani* AniBuilder();
