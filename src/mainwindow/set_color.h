#pragma once

// The filters and effects dialog: a small window that stays on top, with one to three sliders and
// OK, Undo and Cancel. It takes the current format of the document it was launched for, computes
// the effect of the effect table in memory on the image control (alpha carried exactly), and
// writes each result into that document, whose canvas is the preview. Applying a result records
// one undo step in the document. Made on the first launch and kept; closing only hides it.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"
#include "framework/magick_bridge.h"
#include "mainwindow/effect_table.h"

#include <QPointer>
#include <array>
#include <functional>

class ImagingControl;
class TsuiTrackBar;

class Tset_color : public TForm, public TEffectsDialogFields {
    Q_OBJECT

public:
    explicit Tset_color(QWidget* owner = nullptr);
    ~Tset_color() override;

    // 1 when made, 2 from the first change of any slider position on.
    int SliderTouched = 1;
    // The colour of Mask Ellipse, 0x00BBGGRR.
    int MaskColor = 0;
    std::array<bool, 3> SliderPressed{};
    std::array<QString, 3> SliderNames;
    ImagingControl* EffectControl = nullptr;
    // The height of the effect's row in the table; the window is taller by what its title bar
    // needs beyond the 22 pixels the table allows for.
    int DesignHeight = 0;
    // The document the dialog was launched for: previews, results and restores go there only.
    QPointer<TForm> TargetDocument;

    // Asks document for its current format ("Button2") and makes it the target. False, with
    // nothing changed, when the document hands over no picture.
    bool TakeSourceFrom(TForm* document);
    // Set-ups for a code of the table; false (with the reason told) when the source image cannot
    // be worked on.
    bool SetupFilterEffect(int code);
    bool SetupDistortEffect(int code);
    // slider 1..3.
    void SetSliderRange(int slider, int minimum, int maximum, const QString& name, int position);
    // Computes the current effect at the current slider positions and pushes the result.
    void RunCurrentEffect();
    // False when the result did not reach the document.
    bool PushPreviewToDocument();
    // The positions of the three sliders (0 for hidden ones).
    TSliderPositions Positions() const;
    // Whether the document shows a result computed since the last set-up or restore.
    bool HasResult() const { return hasResult_; }

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void v1Change(TObject*) { SliderChanged(1); }
    Q_INVOKABLE void v2Change(TObject*) { SliderChanged(2); }
    Q_INVOKABLE void v3Change(TObject*) { SliderChanged(3); }
    Q_INVOKABLE void v1MouseDown(TObject*, TMouseButton, TShiftState, int, int) { SliderPressed[0] = true; }
    Q_INVOKABLE void v2MouseDown(TObject*, TMouseButton, TShiftState, int, int) { SliderPressed[1] = true; }
    Q_INVOKABLE void v3MouseDown(TObject*, TMouseButton, TShiftState, int, int) { SliderPressed[2] = true; }
    Q_INVOKABLE void v1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { SliderReleased(1); }
    Q_INVOKABLE void v2MouseUp(TObject*, TMouseButton, TShiftState, int, int) { SliderReleased(2); }
    Q_INVOKABLE void v3MouseUp(TObject*, TMouseButton, TShiftState, int, int) { SliderReleased(3); }
    Q_INVOKABLE void text1Change(TObject*) { ValueTyped(1); }
    Q_INVOKABLE void text2Change(TObject*) { ValueTyped(2); }
    Q_INVOKABLE void text3Change(TObject*) { ValueTyped(3); }
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int ButtonIndex);

    TsuiTrackBar* Slider(int k) const;

private:
    bool Setup(int code);
    void SliderChanged(int k);
    void SliderReleased(int k);
    void ValueTyped(int k);
    void ShowLayout(const TEffectSpec& spec);
    void FitHeight(int height);
    // Restores the target's format from the source image ("Button4").
    void RestoreDocument();
    // Runs work on the target document with the format the effect was opened for as its
    // current one, whichever format the user has brought to the front meanwhile; false (with
    // the reason told) when the target or that format is gone.
    bool OnSourceFormat(const std::function<void(TForm& document)>& work);
    // Runs a hidden command of the target document on the format the effect was opened for.
    bool RunOnTarget(const QString& control);
    void RecordUndoStep();

    TRGBABuffer source_;
    bool hasResult_ = false;
    bool closingByOk_ = false;
    // The format of the target the source came from, its size and kind.
    int targetFormat_ = 0;
    int targetWidth_ = 0;
    int targetHeight_ = 0;
    QString targetKind_;
};

extern Tset_color* set_color;
