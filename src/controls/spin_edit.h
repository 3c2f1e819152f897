#pragma once

// A numeric edit with step buttons: TRxSpinEdit holds its number as text (integer, fixed-point or
// hexadecimal), filters the keys typed into it, keeps the number within MinValue..MaxValue when
// it loses the focus, and steps it by Increment with its buttons, the arrow keys or the mouse.
// Its buttons are either an up-down pair (TRxUpDown) or one square split along its diagonal
// (TRxSpinButton).

#include "framework/edit.h"
#include "framework/up_down.h"

#include <QPointer>
#include <memory>

class TBitmap;
class TTimer;

namespace SpinEditTypes {
Q_NAMESPACE
enum TValueType { vtInteger, vtFloat, vtHex };
Q_ENUM_NS(TValueType)
enum TSpinButtonKind { bkStandard, bkDiagonal };
Q_ENUM_NS(TSpinButtonKind)
} // namespace SpinEditTypes
using namespace SpinEditTypes;

// Width of the up-down buttons: the system's vertical scroll bar, at most 15 pixels.
int UpDownButtonWidth();

// The square button split by its diagonal: the top-left half steps up, the bottom-right half down.
// A held half repeats its click, first after 400 ms and then every 100 ms.
class TRxSpinButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(TControl* FocusControl READ FocusControlAsControl WRITE SetFocusControlAsControl)

public:
    enum TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };

    explicit TRxSpinButton(QWidget* parent = nullptr);
    ~TRxSpinButton() override;

    // Assigning null brings back the built-in arrow.
    TBitmap* UpGlyph() const { return upGlyph_.get(); }
    void SetUpGlyph(TBitmap* glyph);
    TBitmap* DownGlyph() const { return downGlyph_.get(); }
    void SetDownGlyph(TBitmap* glyph);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control) { focusControl_ = control; }

    // The half shown pressed.
    TSpinButtonState Down() const { return down_; }
    // The half a point lies in: below the diagonal from bottom-left to top-right is the bottom.
    TSpinButtonState HalfAt(int x, int y) const;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // One tick of the repeat timer, as the timer runs it.
    void RepeatTick();

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void EnabledChanged() override;

private:
    TControl* FocusControlAsControl() const;
    void SetFocusControlAsControl(TControl* control);
    void SetDown(TSpinButtonState state);
    void FireClick(TSpinButtonState half);
    void DrawImage(TBitmap* target, TSpinButtonState pressed);
    void ImagesOutdated();

    std::unique_ptr<TBitmap> upGlyph_;
    std::unique_ptr<TBitmap> downGlyph_;
    QPointer<TWinControl> focusControl_;
    TSpinButtonState down_ = sbNotDown;
    TSpinButtonState dragging_ = sbNotDown;
    bool tracking_ = false;
    TTimer* repeatTimer_ = nullptr;
    std::unique_ptr<TBitmap> images_[3];
    bool imagesOutdated_ = true;
};

// The up-down pair of a spin edit: each press reports next or previous and the position goes back
// to 0, so the buttons never run out of range.
class TRxUpDown : public TUpDown {
    Q_OBJECT
public:
    explicit TRxUpDown(QWidget* parent = nullptr);
    ~TRxUpDown() override;

    void SetBounds(int left, int top, int width, int height) override;

    // Hides the up-down control's own click, which reports the moved position.
    TUDClickEvent OnClick;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

private:
    bool handling_ = false;
};

class TRxSpinEdit : public TCustomEdit {
    Q_OBJECT
    Q_PROPERTY(double Value READ GetValue WRITE SetValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(SpinEditTypes::TValueType ValueType READ ValueType WRITE SetValueType)
    Q_PROPERTY(int Decimal READ Decimal WRITE SetDecimal)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE SetArrowKeys)
    Q_PROPERTY(SpinEditTypes::TSpinButtonKind ButtonKind READ ButtonKind WRITE SetButtonKind)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)

public:
    explicit TRxSpinEdit(QWidget* parent = nullptr);
    ~TRxSpinEdit() override;

    // The number the text shows. Text that does not read as a number gives MinValue. A typed
    // number outside the bounds is returned as typed until the edit loses the focus.
    double GetValue() const;
    // Shows x, held within the bounds and written in the form of ValueType.
    void SetValue(double x);
    int GetValueAsInteger() const;
    void SetValueAsInteger(int x) { SetValue(x); }

    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    // x held within the bounds; no bounds while MinValue equals MaxValue.
    double ClampValue(double x) const;
    double Increment() const { return increment_; }
    void SetIncrement(double v) { increment_ = v; }
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type);
    int Decimal() const { return decimal_; }
    void SetDecimal(int digits);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v);
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool v);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

    virtual bool IsValidChar(QChar key) const;
    virtual void StepUp();
    virtual void StepDown();

    // Cut and paste only while typing is allowed and the edit is not read-only.
    void CutToClipboard();
    void PasteFromClipboard();

    TRxUpDown* UpDown() const { return upDown_; }
    TRxSpinButton* SpinButton() const { return spinButton_; }
    // The minimum height for the font: shorter sizes are raised to it.
    int MinHeight() const;

    void SetBounds(int left, int top, int width, int height) override;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Step(double delta, const TNotifyEvent& event);
    void RecreateButtons();
    void ArrangeButtons();
    void UpDownClick(TUDBtnType button);
    int ButtonWidth() const;

    double minValue_ = 0;
    double maxValue_ = 0;
    double increment_ = 1;
    TValueType valueType_ = vtInteger;
    int decimal_ = 2;
    bool editorEnabled_ = true;
    bool arrowKeys_ = true;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    TAlignment alignment_ = taLeftJustify;
    bool changing_ = false;
    bool destroying_ = false;
    TRxUpDown* upDown_ = nullptr;
    TWinControl* buttonWindow_ = nullptr;
    TRxSpinButton* spinButton_ = nullptr;
};
