#pragma once

// The new-project dialog: the size (seven standard squares or any width and height of 1..255)
// and the kind of the first picture of a new project, and the project's name. OK makes the
// project window; "Set to Default" stores the size and kind as the new-image defaults of the
// configuration file, from which the dialog starts. It keeps its choice between showings.

#include "framework/forms.h"

#include <functional>

class Tcreateico : public TForm {
    Q_OBJECT

public:
    explicit Tcreateico(QWidget* owner = nullptr);
    ~Tcreateico() override;

    int NewWidth = 48;
    int NewHeight = 48;
    QString NewKind = QStringLiteral("XP");

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void iconsetokClick(TObject* Sender);
    Q_INVOKABLE void setdefaultClick(TObject* Sender);
    Q_INVOKABLE void iconcancelClick(TObject* Sender);
    Q_INVOKABLE void iconsize16Click(TObject* Sender);
    Q_INVOKABLE void iconsize32Click(TObject* Sender);
    Q_INVOKABLE void iconsize48Click(TObject* Sender);
    Q_INVOKABLE void iconsize64Click(TObject* Sender);
    Q_INVOKABLE void iconsize72Click(TObject* Sender);
    Q_INVOKABLE void iconsize96Click(TObject* Sender);
    Q_INVOKABLE void iconsize128Click(TObject* Sender);
    Q_INVOKABLE void iconcolor1Click(TObject* Sender);
    Q_INVOKABLE void iconcolor16Click(TObject* Sender);
    Q_INVOKABLE void iconcolor256Click(TObject* Sender);
    Q_INVOKABLE void iconcolor24Click(TObject* Sender);
    Q_INVOKABLE void iconcolorxpClick(TObject* Sender);
    Q_INVOKABLE void suiRadioButton1Click(TObject* Sender);
    Q_INVOKABLE void suiRadioButton1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void suiCheckBox1Click(TObject* Sender);
    Q_INVOKABLE void iconwidthClick(TObject* Sender);
    Q_INVOKABLE void iconheightClick(TObject* Sender);
    Q_INVOKABLE void iconwidthChange(TObject* Sender);
    Q_INVOKABLE void iconheightChange(TObject* Sender);
    Q_INVOKABLE void iconwidthKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void iconheightKeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int Button);

    // The number the next project takes: the first n from 1 up to the document counter with no
    // window "iconview" + n, else the counter + 1.
    static int NextProjectNumber();

private:
    void SizeRadio(int side);
    void ColorRadio(const QString& kind);
    void EnableCustomSize(bool enabled);
    void ChooseCustomSize();
    void LeaveCustomSize();
    // With the custom size chosen, both sides are taken from their edits; a side that is no
    // whole number 1..255 is refused with a warning (false).
    bool TakeCustomSize();
};

extern Tcreateico* createico;

// The global instance, made on first use and kept.
Tcreateico& CreateIco();

// Makes the window of a new project with that name and caption. The main window installs its own
// (which lets its frame activate the window); without one a plain document window is made.
using TProjectWindowMaker = std::function<TForm*(const QString& name, const QString& caption)>;
void SetProjectWindowMaker(TProjectWindowMaker maker);
// A new project window through the installed maker, the one road of every way to a new project.
TForm* MakeProjectWindow(const QString& name, const QString& caption);
