#pragma once

// The capture tool: a small window on top of everything that shows, live, the block of screen
// around the pointer at the new-image size; Enter (taken from every program while the tool runs)
// freezes it and, once the user agrees, hands it to the active document to paste.
//
// The document reads the tool's state through its capture fields, which this window is:
// HandOffStage is the sampling mode (1 live, 2 frozen), CaptureArmed that a block has been
// sampled, ConfirmDone that this start's paste question was asked, PasteConfirmed that the user
// chose OK.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"

#include <QImage>
#include <memory>

class THotKey;
class TScreenSource;

class Tselectimage : public TForm, public TCaptureWindowFields {
    Q_OBJECT

public:
    explicit Tselectimage(QWidget* owner = nullptr);
    ~Tselectimage() override;

    static constexpr int kHotKeyId = 1002;

    // 1: re-install the main window's key handling on each tick, 2: no longer.
    int HookMode = 1;
    QImage CapturedBitmap;
    // The pointer text of the last tick, "x y".
    QString PointerText;

    // The desktop the tool samples and the key that confirms; the desktop's own unless a test
    // gives its own.
    static void SetDevices(std::unique_ptr<TScreenSource> screen, std::unique_ptr<THotKey> hotKey);
    static TScreenSource& Screen();
    static THotKey& HotKey();

    int SamplingMode() const { return HandOffStage; }
    bool HasSample() const { return CaptureArmed == 1; }
    bool QuestionAsked() const { return ConfirmDone == 1; }
    bool PasteRequested() const { return PasteConfirmed == 1; }

    void Confirm() override;
    void CloseWindow() override;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormPaint(TObject* Sender);
    Q_INVOKABLE void FormCloseQuery(TObject* Sender, bool& CanClose);
    Q_INVOKABLE void Timer1Timer(TObject* Sender);
    Q_INVOKABLE void Timer2Timer(TObject* Sender);
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void BitBtn1Click(TObject* Sender);

    // The first tab's caption.
    QString SizeCaption() const;
};

// Created on the first start and kept.
extern Tselectimage* selectimage;

// The main window's start of the tool (its Capture button, its menu item, the web window).
void StartCaptureTool();
// The main window's handling of the confirming key.
void CaptureHotKeyPressed(int id);
