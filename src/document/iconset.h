#pragma once

// The text tool's options window: the typed text is rendered with a font, a style, a size, two
// colours with their own opacities and one of four gradient fills, shown over a checkerboard
// and cropped to the glyphs; OK hands the cropped picture to the active document as floating
// pixels that the user then positions.

#include "framework/forms.h"
#include "platform/gdip.h"

class Ticonset : public TForm {
    Q_OBJECT

public:
    explicit Ticonset(QWidget* owner = nullptr);
    ~Ticonset() override;

    // The last rendered and cropped text picture (owned); null when nothing was drawn.
    GpBitmap* TextImage = nullptr;
    int FontStyle = 0; // 0 regular, 1 bold, 2 italic, 3 bold italic
    int FillMode = 1;  // 1 horizontal, 2 vertical, 3 diagonal, 4 centred gradient
    // The centre of fill mode 4 in picture pixels; (200, 200) while none was chosen.
    int GradientCenterX = 200;
    int GradientCenterY = 200;
    bool PickingCenter = false;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void Timer1Timer(TObject* Sender);
    Q_INVOKABLE void suiRadioButton1Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton4Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton5Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton6Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton7Click(TObject* Sender);
    Q_INVOKABLE void suiCheckBox1Click(TObject* Sender);
    Q_INVOKABLE void suiCheckBox2Click(TObject* Sender);
    Q_INVOKABLE void okcanMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void okcanMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void okcanMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiTabControl1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int Button);

private:
    bool ready_ = false;
    void SetFillMode(int mode, bool render);
    void DrawPicker(int x, int y);
    void PreparePreview();
    QString ComponentText(const char* name) const;
};

extern Ticonset* iconset;

// The global instance, made when it does not exist yet.
Ticonset& IconSet();
