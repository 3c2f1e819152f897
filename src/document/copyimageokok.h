#pragma once

// The paste-mode dialog: the editor's clipboard picture is pasted at its own size or stretched
// over the format.

#include "framework/forms.h"

class Tcopyimageokok : public TForm {
    Q_OBJECT

public:
    explicit Tcopyimageokok(QWidget* owner = nullptr);
    ~Tcopyimageokok() override;

    int PasteMode = 1; // 1 at its own size, 2 stretched over the format

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiRadioButton1Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
};

extern Tcopyimageokok* copyimageokok;

Tcopyimageokok& CopyImageOkOk();
