#pragma once

// The snapshot window: every format of a project side by side with its size and kind, on the
// checkerboard, and the sheet saved as a picture from the image's popup menu. The main window
// makes a new one for each snapshot; it is freed when closed.

#include "framework/forms.h"

#include <QImage>

class TImage;

class Tmyiconshow : public TForm {
    Q_OBJECT

public:
    explicit Tmyiconshow(QWidget* owner = nullptr);
    ~Tmyiconshow() override;

    // The rendered sheet, transparent where nothing was drawn; what "Save image" writes.
    QImage SnapshotImage;

    TControl* ScrollBox2 = nullptr;
    TImage* showico = nullptr;
    TImage* bgimage = nullptr;

    // Takes the sheet: showico gets its size, centred in the scroll box, and shows it on the
    // checkerboard.
    void ShowSheet(const QImage& sheet);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void FormClose(TObject* Sender, TCloseAction& Action);
    Q_INVOKABLE void Saveimage1Click(TObject* Sender);
};

// The newest snapshot window, or null.
extern Tmyiconshow* myiconshow;
