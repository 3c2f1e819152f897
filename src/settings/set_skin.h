#pragma once

// The skin chooser: one of the twelve skin files that come with the program, one of four
// built-in styles, or any other skin file. It records the choice and hands it to the main
// window's skin application. Made on first use and kept; its choice stays between openings.

#include "framework/forms.h"

class Tset_skin : public TForm {
    Q_OBJECT

public:
    explicit Tset_skin(QWidget* owner = nullptr);
    ~Tset_skin() override;

    // 1..12 a skin file, -4..-1 a built-in style, 0 nothing chosen yet.
    int SkinChoice = 0;
    // The skin file of choice 1..12, relative to the program folder.
    static QString SkinFileOf(int choice);

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void suiButton3Click(TObject* Sender);
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int ButtonIndex);
#define SET_SKIN_RADIO(n, value) \
    Q_INVOKABLE void suiRadioButton##n##Click(TObject*) { SkinChoice = value; }
    SET_SKIN_RADIO(1, 1) SET_SKIN_RADIO(2, 2) SET_SKIN_RADIO(3, 3) SET_SKIN_RADIO(4, 4)
    SET_SKIN_RADIO(5, 5) SET_SKIN_RADIO(6, 6) SET_SKIN_RADIO(7, 7) SET_SKIN_RADIO(8, 8)
    SET_SKIN_RADIO(9, 9) SET_SKIN_RADIO(10, 10) SET_SKIN_RADIO(11, 11) SET_SKIN_RADIO(12, 12)
    SET_SKIN_RADIO(13, -4) SET_SKIN_RADIO(14, -3) SET_SKIN_RADIO(15, -2) SET_SKIN_RADIO(16, -1)
#undef SET_SKIN_RADIO

private:
    void UseSkinFile(const QString& file);
};

extern Tset_skin* set_skin;

// Shows the chooser modally, making it on first use.
void ShowSkinChooser();
