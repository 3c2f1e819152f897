#pragma once

// The colour balance dialog: three bars add a signed offset (-255..255) to the red, green and
// blue of every visible pixel of the document's current format. Each release of a bar writes
// the result into the document, which is the preview; Undo, Cancel and closing without OK put
// the format back. Alpha is kept exactly. Modal; made on first use and kept.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"
#include "framework/magick_bridge.h"

#include <QPointer>

class TsuiTrackBar;

class TuserRGBForm : public TForm, public TColorBalanceFields {
    Q_OBJECT

public:
    explicit TuserRGBForm(QWidget* owner = nullptr);
    ~TuserRGBForm() override;

    int OkPressed = 0;
    bool SliderPressed = false;
    // The document the dialog works on: results and restores go there only.
    QPointer<TForm> TargetDocument;

    // Asks document for its current format ("Button5"); false when it hands over no picture.
    bool TakeSourceFrom(TForm* document);
    // Takes the source as the work copy and sets the bars and labels to 0.
    void LoadBalanceWorkCopy();
    // The balanced picture for the offsets, alpha kept, fully transparent pixels (0, 0, 0, 0).
    static TRGBABuffer Balanced(const TRGBABuffer& source, int red, int green, int blue);
    void PushBalanceToDocument();

    Q_INVOKABLE void RedTrackBarChange(TObject* Sender);
    Q_INVOKABLE void RedTrackBarMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void RedTrackBarMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void text1Change(TObject*) { ValueTyped(1); }
    Q_INVOKABLE void text2Change(TObject*) { ValueTyped(2); }
    Q_INVOKABLE void text3Change(TObject*) { ValueTyped(3); }
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);

    // Bar 1 red, 2 green, 3 blue.
    TsuiTrackBar* Bar(int k) const;

private:
    void ValueTyped(int k);
    bool RunOnTarget(const QString& control);

    TRGBABuffer source_;
    bool hasResult_ = false;
};

extern TuserRGBForm* userRGBForm;
