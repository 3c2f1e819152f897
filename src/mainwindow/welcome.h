#pragma once

// The tip-of-the-day window: a welcome line, then the editor's tips one after the other, with
// ways to the help, the maker's web site and the skins.

#include "framework/forms.h"

#include <QStringList>

class Twelcome : public TForm {
    Q_OBJECT

public:
    explicit Twelcome(QWidget* owner = nullptr);
    ~Twelcome() override;

    // The number of the tip on show; the welcome line's number until the first "Next Tip".
    int TipNumber = 1;

    // The tips in order (tip n at index n - 1) and the welcome line for a start number 1..6.
    static const QStringList& Tips();
    static QString WelcomeLine(int r);
    // The start number for a draw of 0..6: 0 counts as 1.
    static int StartNumber(int draw) { return draw == 0 ? 1 : draw; }

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiButton4Click(TObject* Sender);
    Q_INVOKABLE void suiButton5Click(TObject* Sender);

private:
    void ShowText(const QString& text);
};

// The newest tip window.
extern Twelcome* welcome;
