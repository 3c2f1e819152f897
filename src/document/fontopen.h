#pragma once

// The pencil-size dialog: a track bar sets the main window's pen width at once and shows a
// square of that many image cells at the active document's zoom. Its global instance also keeps
// the selection rectangle of the whole application, which the selection routines reach through
// SelectionRect() (the dialog itself never reads it).

#include "framework/forms.h"

class TImage32;

class Tfontopen : public TForm {
    Q_OBJECT

public:
    explicit Tfontopen(QWidget* owner = nullptr);
    ~Tfontopen() override;

    // The active document's selection in canvas pixels, snapped to the zoom grid.
    TRect SelectionRect;

    int Position() const;
    // The preview: the square of the pen width at the document's zoom over the checkerboard.
    void DrawPreview();

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiTrackBar1Change(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
};

extern Tfontopen* fontopen;

// The global instance, made without being shown when it does not exist yet.
Tfontopen& FontOpen();
