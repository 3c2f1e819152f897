#pragma once

// The frame picker: lists every image of a multi-image icon file that holds no 32 by 32 image,
// with its size and depth, and adds the one the user picks to the animated cursor builder.

#include "framework/forms.h"
#include "framework/owner_draw.h"

#include <memory>

class TFileIcon;

class Tselectinput : public TForm {
    Q_OBJECT

public:
    explicit Tselectinput(QWidget* owner = nullptr);
    ~Tselectinput() override;

    std::unique_ptr<TFileIcon> IconFile;

    // Puts the path into "Edit1" and reads it.
    void SetIconPath(const QString& path);
    // The text of list item i: "32 * 32 - XP (32 bit)".
    QString ItemText(int index);
    static QString DepthName(int bitCount);

    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void Edit1Change(TObject* Sender);
    Q_INVOKABLE void IconListBoxDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    Q_INVOKABLE void IconListBoxDblClick(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
};

extern Tselectinput* selectinput;

// The picker, created on first use.
Tselectinput* FramePicker();
