#pragma once

// The skinned message box and the two-field entry dialog: components that keep only their
// settings and build a fresh skinned window for every ShowModal, show it modally and return its
// modal result. The message box also serves as the program's exception display.

#include "framework/component.h"
#include "framework/definition_target.h"
#include "framework/forms.h"
#include "skin/theme_items.h"

#include <memory>

class TFont;
class TImage;
class TLabel;
class TsuiButton;
class TsuiEdit;
class TsuiFileTheme;
class TsuiForm;

namespace SkinDialogTypes {
Q_NAMESPACE
// A non-zero type n shows frame n of the four icons of "MSGDLG".
enum TsuiIconType { suiNone, suiWarning, suiStop, suiInformation, suiHelp };
Q_ENUM_NS(TsuiIconType)
} // namespace SkinDialogTypes
using namespace SkinDialogTypes;

// The window of the message box: a skinned form with the text, the icon and the buttons made
// for the call. Ctrl+C copies the caption, the text and the button captions as plain text.
class TfrmMsg : public TForm {
    Q_OBJECT
public:
    explicit TfrmMsg(QWidget* owner = nullptr);
    TsuiForm* suiForm1;
    TLabel* lbl;
    TImage* Image1;
    // The skinned buttons in the order they were made (the rightmost first).
    QList<TsuiButton*> Buttons() const;
    // The text Ctrl+C copies.
    QString ClipboardText() const;
    Q_INVOKABLE void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
};

// The window of the entry dialog: two captioned edits, OK and Cancel.
class TfrmPass : public TForm {
    Q_OBJECT
public:
    explicit TfrmPass(QWidget* owner = nullptr);
    TsuiForm* suiForm1;
    TLabel* lbl1;
    TLabel* lbl2;
    TsuiEdit* edt1;
    TsuiEdit* edt2;
    TsuiButton* btn1;
    TsuiButton* btn2;
};

class TsuiDialog : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(FormTypes::TPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(int ButtonCursor READ ButtonCursor WRITE SetButtonCursor)

public:
    explicit TsuiDialog(QObject* AOwner);
    ~TsuiDialog() override;

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Stores the reference and applies the current style again.
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c) { caption_ = c; }
    TsuiUIStyle UIStyle() const { return style_; }
    // MacOS turns the caption font black.
    void SetUIStyle(TsuiUIStyle style);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* font);
    TFont* CaptionFont() const { return captionFont_.get(); }
    void SetCaptionFont(TFont* font);
    int ButtonCursor() const { return buttonCursor_; }
    void SetButtonCursor(int c) { buttonCursor_ = c; }

    // Builds, shows modally and frees the window; returns its modal result.
    virtual int ShowModal() = 0;

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    // Caption, style, skin file and caption font on the window's skinned form.
    void SkinWindow(TsuiForm* skin) const;

private:
    TsuiFileTheme* fileTheme_ = nullptr;
    TPosition position_ = poScreenCenter;
    QString caption_ = QStringLiteral("suiDialog");
    TsuiUIStyle style_ = DeepBlue;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TFont> captionFont_;
    int buttonCursor_;
};

class TsuiMessageDialog : public TsuiDialog {
    Q_OBJECT
    Q_PROPERTY(int ButtonCount READ ButtonCount WRITE SetButtonCount)
    Q_PROPERTY(QString Button1Caption READ Button1Caption WRITE SetButton1Caption)
    Q_PROPERTY(QString Button2Caption READ Button2Caption WRITE SetButton2Caption)
    Q_PROPERTY(QString Button3Caption READ Button3Caption WRITE SetButton3Caption)
    Q_PROPERTY(int Button1ModalResult READ Button1ModalResult WRITE SetButton1ModalResult)
    Q_PROPERTY(int Button2ModalResult READ Button2ModalResult WRITE SetButton2ModalResult)
    Q_PROPERTY(int Button3ModalResult READ Button3ModalResult WRITE SetButton3ModalResult)
    Q_PROPERTY(SkinDialogTypes::TsuiIconType IconType READ IconType WRITE SetIconType)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    explicit TsuiMessageDialog(QObject* AOwner = nullptr);

    int ButtonCount() const { return buttonCount_; }
    // Values outside 1..3 are not taken.
    void SetButtonCount(int n);
    QString Button1Caption() const { return captions_[0]; }
    void SetButton1Caption(const QString& c) { captions_[0] = c; }
    QString Button2Caption() const { return captions_[1]; }
    void SetButton2Caption(const QString& c) { captions_[1] = c; }
    QString Button3Caption() const { return captions_[2]; }
    void SetButton3Caption(const QString& c) { captions_[2] = c; }
    int Button1ModalResult() const { return results_[0]; }
    void SetButton1ModalResult(int r) { results_[0] = r; }
    int Button2ModalResult() const { return results_[1]; }
    void SetButton2ModalResult(int r) { results_[1] = r; }
    int Button3ModalResult() const { return results_[2]; }
    void SetButton3ModalResult(int r) { results_[2] = r; }
    TsuiIconType IconType() const { return iconType_; }
    // Values outside the icon types are not taken.
    void SetIconType(TsuiIconType t);
    QString Text() const { return text_; }
    void SetText(const QString& t) { text_ = t; }

    // The window for one call, laid out and skinned, not shown; the caller frees it.
    TfrmMsg* BuildWindow() const;
    int ShowModal() override;

private:
    int buttonCount_ = 1;
    QString captions_[3] = {QStringLiteral("OK"), QStringLiteral("Cancel"), QStringLiteral("Cancel")};
    int results_[3] = {mrOk, mrCancel, mrCancel};
    TsuiIconType iconType_ = suiNone;
    QString text_ = QStringLiteral("Hello world!");
};

class TsuiPasswordDialog : public TsuiDialog {
    Q_OBJECT
    Q_PROPERTY(QString Item1Caption READ Item1Caption WRITE SetItem1Caption)
    Q_PROPERTY(QString Item2Caption READ Item2Caption WRITE SetItem2Caption)
    Q_PROPERTY(QString Item1PasswordChar READ Item1PasswordChar WRITE SetItem1PasswordChar)
    Q_PROPERTY(QString Item2PasswordChar READ Item2PasswordChar WRITE SetItem2PasswordChar)
    Q_PROPERTY(QString Item1Text READ Item1Text WRITE SetItem1Text)
    Q_PROPERTY(QString Item2Text READ Item2Text WRITE SetItem2Text)
    Q_PROPERTY(QString ButtonOKCaption READ ButtonOKCaption WRITE SetButtonOKCaption)
    Q_PROPERTY(QString ButtonCancelCaption READ ButtonCancelCaption WRITE SetButtonCancelCaption)

public:
    explicit TsuiPasswordDialog(QObject* AOwner = nullptr);

    QString Item1Caption() const { return item1Caption_; }
    void SetItem1Caption(const QString& v) { item1Caption_ = v; }
    QString Item2Caption() const { return item2Caption_; }
    void SetItem2Caption(const QString& v) { item2Caption_ = v; }
    QString Item1PasswordChar() const { return item1Password_; }
    void SetItem1PasswordChar(const QString& v) { item1Password_ = v.left(1); }
    QString Item2PasswordChar() const { return item2Password_; }
    void SetItem2PasswordChar(const QString& v) { item2Password_ = v.left(1); }
    QString Item1Text() const { return item1Text_; }
    void SetItem1Text(const QString& v) { item1Text_ = v; }
    QString Item2Text() const { return item2Text_; }
    void SetItem2Text(const QString& v) { item2Text_ = v; }
    QString ButtonOKCaption() const { return okCaption_; }
    void SetButtonOKCaption(const QString& v) { okCaption_ = v; }
    QString ButtonCancelCaption() const { return cancelCaption_; }
    void SetButtonCancelCaption(const QString& v) { cancelCaption_ = v; }

    TfrmPass* BuildWindow() const;
    // On OK the two texts are taken from the window.
    int ShowModal() override;

private:
    QString item1Caption_ = QStringLiteral("User name:");
    QString item2Caption_ = QStringLiteral("Password:");
    QString item1Password_;
    QString item2Password_ = QStringLiteral("*");
    QString item1Text_;
    QString item2Text_;
    QString okCaption_ = QStringLiteral("OK");
    QString cancelCaption_ = QStringLiteral("Cancel");
};

// Makes the skinned message box the program's exception display: a stop box titled with the
// program's name and skinned like the main window (its "suiFileTheme1" and "suiThemeManager1").
void InstallSkinnedExceptionDisplay();

// Registers the skinned forms and dialogs with the window-definition class registry. Calling it
// again does nothing.
void RegisterSkinDialogClasses();
