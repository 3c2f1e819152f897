#pragma once

// The new-format dialog: the kind and size (eight standard sizes or any width and height of
// 1..255) of a format to add to the active document. OK hands the choice over and clicks the
// document's BitBtn18, which adds the format. A new instance is made for every showing, so it
// always starts from 48 x 48 and "XP".

#include "framework/forms.h"

class Taddimage : public TForm {
    Q_OBJECT

public:
    explicit Taddimage(QWidget* owner = nullptr);
    ~Taddimage() override;

    // 400 while no size is set; FormatKind "no" while no kind is chosen.
    int FormatWidth = 48;
    int FormatHeight = 48;
    QString FormatKind = QStringLiteral("XP");

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void icon32Click(TObject* Sender);
    Q_INVOKABLE void icon24Click(TObject* Sender);
    Q_INVOKABLE void icon8Click(TObject* Sender);
    Q_INVOKABLE void icon4Click(TObject* Sender);
    Q_INVOKABLE void icon1Click(TObject* Sender);
    Q_INVOKABLE void size16Click(TObject* Sender);
    Q_INVOKABLE void size24Click(TObject* Sender);
    Q_INVOKABLE void size32Click(TObject* Sender);
    Q_INVOKABLE void size48Click(TObject* Sender);
    Q_INVOKABLE void size64Click(TObject* Sender);
    Q_INVOKABLE void size72Click(TObject* Sender);
    Q_INVOKABLE void size96Click(TObject* Sender);
    Q_INVOKABLE void size128Click(TObject* Sender);
    Q_INVOKABLE void sizesetClick(TObject* Sender);
    Q_INVOKABLE void suiCheckBox1Click(TObject* Sender);
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void Edit2Change(TObject* Sender);
    Q_INVOKABLE void Edit1KeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void Edit2KeyPress(TObject* Sender, QChar& Key);
    Q_INVOKABLE void suiForm1TitleBarHelpBtnClick(TObject* Sender, int Button);

private:
    void SizeRadio(int side);
    void EnableCustomSize(bool enabled);
};

extern Taddimage* addimage;

// A new instance in place of the previous one.
Taddimage& NewAddImage();
