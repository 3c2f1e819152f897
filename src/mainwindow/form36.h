#pragma once

// The splash picture shown while the program starts, which is also the About window: once the
// start-up is done a click on its picture closes it; during the start-up clicks do nothing and
// the program removes it itself.

#include "framework/forms.h"

class TForm36 : public TForm {
    Q_OBJECT

public:
    explicit TForm36(QWidget* owner = nullptr);
    ~TForm36() override;

    QString VersionText = QStringLiteral("1.0");
    QString BuildText = QStringLiteral("050206");

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

// The newest splash or About window.
extern TForm36* Form36;
