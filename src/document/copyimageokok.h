#pragma once

// The paste-mode dialog: the editor's clipboard picture is pasted at its own size or stretched
// over the format.

#include "framework/forms.h"

#include <QPointer>

class Tcopyimageokok : public TForm {
    Q_OBJECT

public:
    explicit Tcopyimageokok(QWidget* owner = nullptr);
    ~Tcopyimageokok() override;

    int PasteMode = 1; // 1 at its own size, 2 stretched over the format

    // The document the box was opened for: OK pastes there, whichever document is in front by
    // then, and the box goes when that document closes.
    void PasteInto(TForm* document);
    TForm* Target() const { return target_; }

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiRadioButton1Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);

private:
    QPointer<TForm> target_;
    QMetaObject::Connection targetGone_;
};

extern Tcopyimageokok* copyimageokok;

Tcopyimageokok& CopyImageOkOk();
