#pragma once

#include "framework/message_flags.h"

// Message boxes and the answering seam. Every dialog of the framework (message boxes, the common
// dialogs, forms shown modally) first asks the installed answerer; when it answers, nothing is
// shown. Tests drive windows that open dialogs this way. Without an answerer, on a platform with
// no screen (offscreen), a message box or common dialog answers Cancel at once instead of
// waiting for a person who is not there.

#include "framework/controls.h"

#include <QObject>
#include <QString>
#include <functional>

class QMessageBox;
class QWidget;
class TForm;

struct TDialogRequest {
    enum TKind {
        dkMessageBox,   // MessageBox / ShowMessage / Application->MessageBox: Result = IDOK...
        dkMessageDlg,   // MessageDlg: Result = mrOk...
        dkOpen,         // TOpenDialog::Execute: Result 1 = accepted, fill the dialog's FileName
        dkSave,         // TSaveDialog::Execute
        dkColor,        // TColorDialog::Execute
        dkFont,         // TFontDialog::Execute
        dkPrint,        // TPrintDialog::Execute
        dkPrinterSetup, // TPrinterSetupDialog::Execute
        dkBrowseFolder, // SelectDirectory: fill Text with the folder
        dkForm,         // TForm::ShowModal: Result = the modal result
    };
    TKind Kind = dkMessageBox;
    QObject* Dialog = nullptr; // the dialog component or the form
    QString Caption;
    QString Text;              // the message, or the folder chosen for dkBrowseFolder
    unsigned Flags = 0;        // MessageBox flags, or MessageDlg type | buttons << 8
    int Result = 0;
};

// Returns true when it answered (Result and the dialog's fields set).
using TDialogAnswerer = std::function<bool(TDialogRequest& request)>;
void SetDialogAnswerer(TDialogAnswerer answerer);
bool AnswerDialog(TDialogRequest& request);
bool AnswerModalForm(TForm* form, int& modalResult);

// Installs an answerer for the lifetime of the object (tests).
class TDialogAnswererScope {
public:
    explicit TDialogAnswererScope(TDialogAnswerer answerer);
    ~TDialogAnswererScope();
    TDialogAnswererScope(const TDialogAnswererScope&) = delete;
    TDialogAnswererScope& operator=(const TDialogAnswererScope&) = delete;

private:
    TDialogAnswerer previous_;
};

// True when there is no screen to show a dialog on.
bool HeadlessPlatform();

// The window a dialog that knows no window of its own stands above: the modal window open,
// else the window in front (null when the program has none).
QWidget* DialogOwner();

enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// The platform message box: returns IDOK, IDYES, ... (IDCANCEL when closed).
int MessageBox(const QString& text, const QString& caption, unsigned flags);
// Widens a message box built for a short text so that the window manager's title bar has room
// for the whole caption beside its buttons.
void FitCaption(QMessageBox& box);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = unsigned; // bit (1 << TMsgDlgBtn)
constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> b)
{
    TMsgDlgButtons s = 0;
    for (TMsgDlgBtn x : b)
        s |= 1u << x;
    return s;
}
inline constexpr TMsgDlgButtons mbYesNoCancel = (1u << mbYes) | (1u << mbNo) | (1u << mbCancel);
inline constexpr TMsgDlgButtons mbOKCancel = (1u << mbOK) | (1u << mbCancel);
inline constexpr TMsgDlgButtons mbYesNo = (1u << mbYes) | (1u << mbNo);

// The framework's message dialog, captioned "Warning", "Error", "Information" or "Confirm";
// returns mrYes, mrOk, ... (mrCancel when closed).
int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// Message with an OK button, captioned with the application title.
void ShowMessage(const QString& msg);
