#pragma once

// The hot-spot dialog: the user picks the hot spot of a cursor (0 to 31 each way), sees it
// marked on the cursor's picture and tries the live cursor over a page of sample controls. It
// serves the main window's set-hot-spot command and the animated cursor builder's Test; Apply
// goes back to whichever of them showed it this time.

#include "framework/forms.h"

#include <QImage>

class Tsethot : public TForm {
    Q_OBJECT

public:
    explicit Tsethot(QWidget* owner = nullptr);
    ~Tsethot() override;

    // True when the main window's command showed the dialog this time, false for the builder.
    bool ForCursor = false;

    // Shows the dialog for the builder: its first slot's picture (the frame at (11, 11)) in the
    // preview with the mark at (x, y).
    void ShowForBuilder(const QImage& slotPicture, int x, int y);
    // Shows the dialog for the main window's cursor, whose picture is drawn at (11, 11) of the
    // preview with the mark at (x, y).
    void ShowForCursor(const QImage& cursorPicture, int x, int y);
    QImage Preview() const;

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);

private:
    void ShowPreview(const QImage& slotPicture, int x, int y);
    // The value of a spin edit, or -1 after telling the user it is no value from 0 to 31.
    int Coordinate(const char* name, const char* axis);
};

extern Tsethot* sethot;

// The dialog, created on first use.
Tsethot* HotSpotDialog();
