#pragma once

// The confirmation of a format's removal: names the format and, on OK, has the active document
// remove it.

#include "framework/forms.h"

class Tdeleteicon : public TForm {
    Q_OBJECT

public:
    explicit Tdeleteicon(QWidget* owner = nullptr);
    ~Tdeleteicon() override;

    // The format shown in the question ("48 * 48 - XP").
    void SetFormatText(const QString& text);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
};

extern Tdeleteicon* deleteicon;

Tdeleteicon& DeleteIcon();
