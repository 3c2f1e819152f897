#pragma once

// The JPEG options dialog: the quality of a JPEG export (0..100) on a track bar; OK starts the
// active document's export in "jpg", which reads the quality from here.

#include "document/command_dialog_fields.h"
#include "framework/forms.h"

class TGifOptions : public TForm, public TJpegOptionsFields {
    Q_OBJECT

public:
    explicit TGifOptions(QWidget* owner = nullptr);
    ~TGifOptions() override;

    int Quality() const override;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void colorbaraChange(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
};

extern TGifOptions* GifOptions;

TGifOptions& JpegOptions();
