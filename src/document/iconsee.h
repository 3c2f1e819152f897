#pragma once

// The 1:1 view: the current format at its own size on the checkerboard, shown modally.

#include "framework/forms.h"

class QImage;
class TImage;

class Ticonsee : public TForm {
    Q_OBJECT

public:
    explicit Ticonsee(QWidget* owner = nullptr);
    ~Ticonsee() override;

    TControl* ScrollBox1 = nullptr;
    TImage* showico = nullptr;
    TImage* bgimage = nullptr;

    // showico takes the picture's size, centred in the scroll box, and shows it on the tile.
    void ShowPicture(const QImage& picture);

    Q_INVOKABLE void FormShow(TObject* Sender);
};

// Made on first use and kept.
extern Ticonsee* iconsee;
Ticonsee& IconSee();
