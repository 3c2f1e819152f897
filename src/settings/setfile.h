#pragma once

// The file-association dialog: for each ticked file type it writes the type's class under
// HKEY_CLASSES_ROOT of our registry store (description, default icon, open and edit commands
// that start this program with the file). Hovering over a type shows what opens it now. The Linux
// desktop's own associations are not changed. Made on first use and kept.

#include "framework/forms.h"

class Tsetfile : public TForm {
    Q_OBJECT

public:
    explicit Tsetfile(QWidget* owner = nullptr);
    ~Tsetfile() override;

    // The program the commands start.
    static QString CommandProgram();
    // Writes one type; nothing when the extension (without dots) or the program is empty. An
    // empty ProgID becomes the extension without its dot + "_auto_file".
    static void RegisterFileType(QString extension, QString progId, const QString& program,
                                 const QString& description);
    // The note label tells what the extension opens with now.
    void ShowCurrentAssociation(const QString& extension);
    QString NoteText() const;

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void suiButton1Click(TObject* Sender);
    Q_INVOKABLE void suiButton2Click(TObject* Sender);
    Q_INVOKABLE void nameokChange(TObject* Sender);
    Q_INVOKABLE void suiTabSheet1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
#define SETFILE_HOVER(n) \
    Q_INVOKABLE void ok##n##MouseMove(TObject*, TShiftState, int, int) { HoverRow(n); }
    SETFILE_HOVER(1) SETFILE_HOVER(2) SETFILE_HOVER(3) SETFILE_HOVER(4) SETFILE_HOVER(5)
    SETFILE_HOVER(6) SETFILE_HOVER(7) SETFILE_HOVER(8) SETFILE_HOVER(9) SETFILE_HOVER(10)
    SETFILE_HOVER(11) SETFILE_HOVER(12) SETFILE_HOVER(13) SETFILE_HOVER(14) SETFILE_HOVER(15)
    SETFILE_HOVER(16)
#undef SETFILE_HOVER

private:
    void HoverRow(int n);
    bool Ticked(int n) const;
    QString CustomText() const;
    // Why Update cannot write the ticked types (nothing ticked, a bad custom extension), or empty.
    QString Refusal() const;
    void SetNote(const QString& text);

    QString note_;
};

extern Tsetfile* setfile;

// Shows the dialog without blocking the main window, making it on first use.
void ShowFileAssociations();
