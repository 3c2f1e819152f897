#pragma once

// The full-screen viewer: one picture alone, centred at its own size on a black screen, until
// the user clicks.

#include "framework/forms.h"

#include <QImage>

class Tformscreen : public TForm {
    Q_OBJECT

public:
    explicit Tformscreen(QWidget* owner = nullptr);
    ~Tformscreen() override;

    QImage ShownPicture;

    // Shows the window with the picture (a null picture leaves the screen black).
    void ShowPicture(const QImage& picture);
    // The picture's top left on the window.
    QPoint PictureOrigin() const;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormClick(TObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The instance the disk search reuses; the newest one made otherwise.
extern Tformscreen* formscreen;
