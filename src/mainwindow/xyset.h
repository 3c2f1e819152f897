#pragma once

// The radial-centre dialog: the user drags the centre of the radial gradient on a round preview;
// OK hands the position, as factors of the half width and half height, to the main window.

#include "framework/forms.h"

class Txyset : public TForm {
    Q_OBJECT

public:
    explicit Txyset(QWidget* owner = nullptr);
    ~Txyset() override;

    bool DragActive = false;
    // The last position dragged to, in preview pixels; outside the preview when the drag left it.
    int CenterX = 0;
    int CenterY = 0;

    // Fills the preview with the background tile and the radial gradient around (cx, cy): the
    // secondary colour at the centre, the primary colour at the rim.
    void DrawPreview(double cx, double cy);

    // Each opening starts from the centre in force, so OK without a drag keeps it.
    void StartFromCentre();

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void Timer1Timer(TObject* Sender);

private:
    void ShowPosition(int x, int y);
};

extern Txyset* xyset;
