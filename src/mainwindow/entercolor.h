#pragma once

// The colour-value dialog: six hexadecimal digits typed for the red, green and blue of the colour
// the panel edits. A new one is made for every use.

#include "framework/forms.h"

class Tentercolor : public TForm {
    Q_OBJECT

public:
    explicit Tentercolor(QWidget* owner = nullptr);
    ~Tentercolor() override;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
};

// The newest colour-value dialog.
extern Tentercolor* entercolor;
