#pragma once

// The replace-colours dialog: two swatches hold the colour to find and the colour to put in its
// place (taken from the drawing colours when the dialog is shown, changed through the colour
// dialog); Apply replaces or exchanges them in the current format, Undo puts the picture back.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"

class Treplace_colors : public TForm, public TReplaceColorsFields {
    Q_OBJECT

public:
    explicit Treplace_colors(QWidget* owner = nullptr);
    ~Treplace_colors() override;

    // Replace (1) or exchange (2), with the arrow between the swatches, the wells at the drawing
    // colours and the Apply count at its start; the main window's two commands open the dialog
    // this way.
    void StartMode(int mode);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void Image321Click(TObject* Sender);
    Q_INVOKABLE void Image322Click(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);

private:
    void ShowColour(int* colour, const char* label, const char* swatch, const QString& prefix);
    void PickColour(int* colour, const char* alphaEdit, const char* label, const char* swatch);
};

extern Treplace_colors* replace_colors;

Treplace_colors& ReplaceColors();
