#pragma once

// The resize dialog: the new width and height of the current format's picture (which is scaled
// inside the unchanged format), kept equal while "Keep Aspect Ratio " is ticked.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"

class Tsetsize : public TForm, public TResizeDialogFields {
    Q_OBJECT

public:
    explicit Tsetsize(QWidget* owner = nullptr);
    ~Tsetsize() override;

    QString WidthText() const override;
    QString HeightText() const override;

    // Each showing starts from the size of the format last chosen (the main window's new-image
    // size).
    void StartFromLastFormat();

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void widthChange(TObject* Sender);
    Q_INVOKABLE void heightChange(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);

private:
    bool copying_ = false;
    void CopyText(const char* from, const char* to);
};

extern Tsetsize* setsize;

Tsetsize& SetSizeDialog();
