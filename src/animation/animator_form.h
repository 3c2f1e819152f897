#pragma once

// The animated GIF builder: one GIF picture at a time, its frames with their positions,
// durations, undraw methods, transparent colours and comments, and the picture's background,
// looping and comment; frames come from picture files, the document window and the clipboard;
// files are opened and saved as GIF; the animation is previewed in the program or in the
// desktop's viewer.

#include "framework/forms.h"
#include "imaging/gif/gif_lzw.h"

#include <functional>
#include <memory>

class TGIFImage;
class TGIFFrame;

class TAnimatorForm : public TForm {
    Q_OBJECT

public:
    explicit TAnimatorForm(QWidget* owner = nullptr);
    ~TAnimatorForm() override;

    TGIFImage* Image() const { return image_.get(); }
    bool Modified = false;
    int FirstVisible = -1;
    bool Updating = false;
    bool Loading = false;
    bool CancelRequested = false;
    QString FileName;
    int InsertCounter = 0;
    int LastProgress = 0;

    // ---- frames and properties ----
    void ImageChanged(TObject* Sender);
    void SelectFrame(int index, bool forced);
    void UpdateTabs();
    void UpdateButtons();
    void ShowProperties();
    // The picture's palette as 0x00RRGGBB entries; empty without frames.
    std::vector<uint32_t> GetPalette() const;
    bool HasCurrentFrame() const;
    TGIFFrame* CurrentFrame() const;

    // ---- files, clipboard, previews ----
    // Loads a picture file and inserts it as a new frame right after the current one.
    void InsertPictureFile(const QString& fileName);
    // False when the user cancelled the question.
    bool AskSaveChanges();
    void ProgressCallback(TGifProgressStage stage, int percent, const QString& message);
    void UpdateCaption();
    static bool ClipboardHasPicture();

    Q_INVOKABLE void FormActivate(TObject* Sender);
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
    Q_INVOKABLE void FormKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void NewBtn1Click(TObject* Sender);
    Q_INVOKABLE void OpenBtnClick(TObject* Sender);
    Q_INVOKABLE void SaveBtnClick(TObject* Sender);
    Q_INVOKABLE void ToolButton13Click(TObject* Sender);
    Q_INVOKABLE void SaveAsBtnClick(TObject* Sender) { ToolButton13Click(Sender); }
    Q_INVOKABLE void InsertBtnClick(TObject* Sender);
    Q_INVOKABLE void CutBtnClick(TObject* Sender);
    Q_INVOKABLE void CopyBtnClick(TObject* Sender);
    Q_INVOKABLE void PasteBtnClick(TObject* Sender);
    Q_INVOKABLE void DeleteBtnClick(TObject* Sender);
    Q_INVOKABLE void ToolButton11Click(TObject* Sender);
    Q_INVOKABLE void DownBtnClick(TObject* Sender);
    Q_INVOKABLE void editClick(TObject* Sender);
    Q_INVOKABLE void PreviewseeClick(TObject* Sender);
    Q_INVOKABLE void seeClick(TObject* Sender);
    Q_INVOKABLE void suiButton6Click(TObject* Sender);
    Q_INVOKABLE void leftClick(TObject* Sender);
    Q_INVOKABLE void reghtClick(TObject* Sender);
    Q_INVOKABLE void FramePosChange(TObject* Sender);
    Q_INVOKABLE void PaintBoxPaint(TObject* Sender);
    Q_INVOKABLE void PaintBoxMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void OriginChange(TObject* Sender);
    Q_INVOKABLE void DelayTimeChange(TObject* Sender);
    Q_INVOKABLE void DisposalComboChange(TObject* Sender);
    Q_INVOKABLE void TransBoxClick(TObject* Sender);
    Q_INVOKABLE void TransColorButtonClick(TObject* Sender);
    Q_INVOKABLE void BackColorButtonClick(TObject* Sender);
    Q_INVOKABLE void LoopChange(TObject* Sender);
    Q_INVOKABLE void RepeatForeverClick(TObject* Sender);
    Q_INVOKABLE void TrailingCommentChange(TObject* Sender);
    Q_INVOKABLE void FrameCommentChange(TObject* Sender);
    void HelpButtonClick();

private:
    void ApplyLooping(bool fromRepeatBox);
    void AddPictureFrame(class TGraphic* graphic);
    void SetStatus(const QString& text);
    void WriteGifFile(const QString& path);
    int PanelIndexOf(TObject* sender) const;
    void EnableLoopControls();
    // The page control takes the focus while the frame position is disabled: always (force), or
    // when no enabled control of the window holds it.
    void FocusPagesWithoutFramePosition(bool force);

    std::unique_ptr<TGIFImage> image_;
};

extern TAnimatorForm* AnimatorForm;

// The builder window, created on first use and then kept.
TAnimatorForm* EnsureAnimatorForm();

// Opens a frame's bitmap for editing in the import window; installed by the program. Without one
// the builder says that no editor is there.
void SetGifFrameEditor(std::function<void(const QString& bitmapFile)> editor);
