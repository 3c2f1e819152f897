#include "skin/controls/message_dialog.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/clipboard.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/image.h"
#include "framework/label.h"
#include "framework/picture.h"
#include "skin/controls/button.h"
#include "skin/controls/edit.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/skin_forms.h"
#include "skin/theme_lookup.h"
#include "skin/theme_manager.h"
#include "skin/theme_pictures.h"
#include "skin/title_bar.h"

#include <QPointer>
#include <QtGlobal>
#include <functional>

namespace {

const QString DashLine = QString(27, QLatin1Char('-'));

TsuiForm* MakeSkinnedForm(TForm* form)
{
    auto* skin = new TsuiForm(form);
    skin->SetName(QStringLiteral("suiForm1"));
    skin->SetParent(form);
    skin->SetUIStyleAutoUpdateSub(true);
    return skin;
}

template <class T>
T* Make(TForm* form, QWidget* parent, const char* name)
{
    auto* c = new T(parent);
    c->SetName(QString::fromLatin1(name));
    InsertComponent(form, c);
    c->SetParent(qobject_cast<TWinControl*>(parent));
    return c;
}

// Frames of the button with its modal result: Cancel answers Escape, OK is the default.
void SetButtonRole(TsuiButton* b, int result)
{
    b->SetModalResult(result);
    b->SetCancel(result == mrCancel);
    b->SetDefault(result != mrCancel && result == mrOk);
}

// The window a box of the component asks for: the shown window the component belongs to, else
// the modal window open or the window in front. The box is that window's own window, so it
// stands above it, not lost behind it.
QWidget* AskingWindow(const QObject* component)
{
    for (const QObject* o = component; o; o = o->parent())
        if (auto* w = qobject_cast<const QWidget*>(o); w && w->isVisible())
            return const_cast<QWidget*>(w)->window();
    return DialogOwner();
}

// Shows the box modally and frees it, also when the window it stands above goes meanwhile.
template <class T>
int ShowAndFree(T* built, const std::function<void(T&, int)>& answered = nullptr)
{
    QPointer<T> form(built);
    const int result = form->ShowModal();
    if (form && answered)
        answered(*form, result);
    delete form.data();
    return result;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Windows

TfrmMsg::TfrmMsg(QWidget* owner) : TForm(owner)
{
    setObjectName(QStringLiteral("frmMsg"));
    SetBorderStyle(bsDialog);
    SetBounds(0, 0, 336, 130);
    TSizeConstraints c = Constraints();
    c.MinWidth = 150;
    SetConstraints(c);
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    suiForm1 = MakeSkinnedForm(this);
    lbl = Make<TLabel>(this, suiForm1, "lbl");
    lbl->SetWordWrap(true);
    lbl->SetTransparent(true);
    lbl->SetBounds(88, 64, 225, 13);
    lbl->SetAutoSize(true);
    Image1 = Make<TImage>(this, suiForm1, "Image1");
    Image1->SetBounds(24, 64, 42, 42);
    Image1->SetAutoSize(true);
    // The icon's picture is keyed by its corner colour, so that it lies on the window's own
    // background in every style; the image hands its setting to every picture it is given.
    Image1->SetTransparent(true);
}

QList<TsuiButton*> TfrmMsg::Buttons() const
{
    QList<TsuiButton*> out;
    for (QObject* o : OwnedComponents(this))
        if (auto* b = qobject_cast<TsuiButton*>(o))
            out << b;
    return out;
}

QString TfrmMsg::ClipboardText() const
{
    QStringList captions;
    for (TsuiButton* b : Buttons())
        captions << b->Caption();
    const QString text = lbl->Caption();
    const QString crlf = QStringLiteral("\r\n");
    return DashLine + crlf + suiForm1->Caption() + crlf + DashLine + crlf + text + crlf + DashLine + crlf
         + captions.join(QStringLiteral("   ")) + crlf + DashLine;
}

void TfrmMsg::FormKeyDown(TObject*, WORD& Key, TShiftState Shift)
{
    if (Key != 'C' || !(Shift & ssCtrl))
        return;
    TClipboard* clipboard = Clipboard();
    clipboard->Open();
    try {
        clipboard->SetAsText(ClipboardText());
    } catch (...) {
        clipboard->Close();
        throw;
    }
    clipboard->Close();
}

TfrmPass::TfrmPass(QWidget* owner) : TForm(owner)
{
    setObjectName(QStringLiteral("frmPass"));
    SetBorderStyle(bsDialog);
    SetBounds(0, 0, 241, 194);
    TSizeConstraints c = Constraints();
    c.MinWidth = 150;
    SetConstraints(c);
    suiForm1 = MakeSkinnedForm(this);
    lbl1 = Make<TLabel>(this, suiForm1, "lbl1");
    lbl1->SetBounds(24, 64, 60, 13);
    lbl1->SetAutoSize(true);
    lbl2 = Make<TLabel>(this, suiForm1, "lbl2");
    lbl2->SetBounds(24, 96, 60, 13);
    lbl2->SetAutoSize(true);
    edt1 = Make<TsuiEdit>(this, suiForm1, "edt1");
    edt1->SetBounds(88, 62, 121, 19);
    edt2 = Make<TsuiEdit>(this, suiForm1, "edt2");
    edt2->SetBounds(88, 96, 121, 19);
    btn1 = Make<TsuiButton>(this, suiForm1, "btn1");
    btn1->SetBounds(40, 144, 73, 25);
    btn1->SetModalResult(mrOk);
    btn2 = Make<TsuiButton>(this, suiForm1, "btn2");
    btn2->SetBounds(129, 144, 73, 25);
    btn2->SetModalResult(mrCancel);
    edt1->SetTabOrder(0);
    edt2->SetTabOrder(1);
    btn1->SetTabOrder(2);
    btn2->SetTabOrder(3);
}

// ---------------------------------------------------------------------------------------------
// TsuiDialog

TsuiDialog::TsuiDialog(QObject* AOwner)
    : TComponent(AOwner), font_(std::make_unique<TFont>()), captionFont_(std::make_unique<TFont>()),
      buttonCursor_(crHandPoint)
{
    captionFont_->SetName(QStringLiteral("Tahoma"));
    captionFont_->SetColor(clWhite);
    captionFont_->SetStyle(fsBold);
    style_ = GetOwnerFormUIStyle(AOwner);
    SetUIStyle(style_);
}

TsuiDialog::~TsuiDialog() = default;

void TsuiDialog::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiDialog::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    if (style == MacOS)
        captionFont_->SetColor(clBlack);
}

void TsuiDialog::SetFont(TFont* font)
{
    if (font)
        font_->Assign(font);
}

void TsuiDialog::SetCaptionFont(TFont* font)
{
    if (font)
        captionFont_->Assign(font);
}

void TsuiDialog::Notification(QObject* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        style_ = DeepBlue;
    }
}

bool TsuiDialog::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.startsWith(QLatin1String("Font."), Qt::CaseInsensitive))
        return TDefinitionReader::ApplyFontProperty(name.mid(5), value, font_.get());
    if (name.startsWith(QLatin1String("CaptionFont."), Qt::CaseInsensitive))
        return TDefinitionReader::ApplyFontProperty(name.mid(12), value, captionFont_.get());
    return TDefinitionTarget::ReadDefinitionProperty(name, value, reader);
}

void TsuiDialog::SkinWindow(TsuiForm* skin) const
{
    skin->RemoveCaptionStyle();
    skin->SetCaption(caption_);
    skin->SetUIStyle(style_);
    skin->SetFileTheme(fileTheme_);
    if (TFont* f = skin->TitleBarFont())
        f->Assign(captionFont_.get());
}

// ---------------------------------------------------------------------------------------------
// TsuiMessageDialog

TsuiMessageDialog::TsuiMessageDialog(QObject* AOwner) : TsuiDialog(AOwner) {}

void TsuiMessageDialog::SetButtonCount(int n)
{
    if (n >= 1 && n <= 3)
        buttonCount_ = n;
}

void TsuiMessageDialog::SetIconType(TsuiIconType t)
{
    if (t >= SkinDialogTypes::suiNone && t <= SkinDialogTypes::suiHelp)
        iconType_ = t;
}

TfrmMsg* TsuiMessageDialog::BuildWindow() const
{
    auto* form = new TfrmMsg(AskingWindow(this));
    form->Font()->Assign(Font());
    form->lbl->SetCaption(text_);
    const int bottom = std::max(form->Image1->Top() + form->Image1->Height(), form->lbl->Top() + form->lbl->Height());
    if (iconType_ != suiNone) {
        form->lbl->SetLeft(88);
        TBitmap frame;
        CutStripFrame(const_cast<TBitmap*>(&SkinPicture(QStringLiteral("MSGDLG"))), &frame, 4, int(iconType_));
        form->Image1->Picture()->SetGraphic(&frame);
    } else {
        form->lbl->SetLeft(24);
        form->Image1->SetVisible(false);
        if (buttonCount_ < 3)
            form->SetWidth(form->Width() - 64);
    }
    const int W = form->Width();
    for (int i = 0; i < buttonCount_; ++i) {
        auto* b = new TsuiButton(form->suiForm1);
        InsertComponent(form, b);
        b->SetParent(form->suiForm1);
        b->SetBounds(W - 97 - 93 * i, bottom + 20, 73, 25);
        b->SetCursor(ButtonCursor());
        b->SetTabStop(true);
        const int number = buttonCount_ - i;
        b->SetCaption(captions_[number - 1]);
        SetButtonRole(b, results_[number - 1]);
        form->SetActiveControl(b);
    }
    form->SetHeight(bottom + 65);
    form->SetPosition(Position());
    SkinWindow(form->suiForm1);
    return form;
}

int TsuiMessageDialog::ShowModal()
{
    return ShowAndFree<TfrmMsg>(BuildWindow());
}

// ---------------------------------------------------------------------------------------------
// TsuiPasswordDialog

TsuiPasswordDialog::TsuiPasswordDialog(QObject* AOwner) : TsuiDialog(AOwner) {}

TfrmPass* TsuiPasswordDialog::BuildWindow() const
{
    auto* form = new TfrmPass(AskingWindow(this));
    form->Font()->Assign(Font());
    form->lbl1->SetCaption(item1Caption_);
    form->lbl2->SetCaption(item2Caption_);
    form->edt1->SetText(item1Text_);
    form->edt2->SetText(item2Text_);
    const int left = std::max(form->lbl1->Width(), form->lbl2->Width()) + form->lbl1->Left() + 5;
    form->edt1->SetLeft(left);
    form->edt2->SetLeft(left);
    form->edt1->SetPasswordChar(item1Password_);
    form->edt2->SetPasswordChar(item2Password_);
    form->btn1->SetCaption(okCaption_);
    form->btn1->SetDefault(true);
    form->btn2->SetCaption(cancelCaption_);
    form->btn2->SetCancel(true);
    form->SetWidth(form->edt1->Left() + form->edt1->Width() + 24);
    form->SetPosition(Position());
    form->suiForm1->RemoveCaptionStyle();
    const int W = form->Width();
    form->btn1->SetLeft(W / 2 - form->btn1->Width() - 8);
    form->btn2->SetLeft(W / 2 + 8);
    form->btn1->SetCursor(ButtonCursor());
    form->btn2->SetCursor(ButtonCursor());
    SkinWindow(form->suiForm1);
    form->SetActiveControl(form->edt1);
    return form;
}

int TsuiPasswordDialog::ShowModal()
{
    return ShowAndFree<TfrmPass>(BuildWindow(), [this](TfrmPass& form, int result) {
        if (result == mrOk) {
            item1Text_ = form.edt1->Text();
            item2Text_ = form.edt2->Text();
        }
    });
}

// ---------------------------------------------------------------------------------------------

void InstallSkinnedExceptionDisplay()
{
    SetExceptionDisplay([](const QString& title, const QString& text) {
        TsuiMessageDialog dialog(nullptr);
        dialog.SetCaption(title);
        dialog.SetText(text);
        dialog.SetIconType(suiStop);
        // The box wears the main window's skin.
        if (TForm* main = Application->MainForm()) {
            if (auto* file = qobject_cast<TsuiFileTheme*>(main->FindComponent(QStringLiteral("suiFileTheme1"))))
                dialog.SetFileTheme(file);
            if (auto* manager = qobject_cast<TsuiThemeManager*>(main->FindComponent(QStringLiteral("suiThemeManager1"))))
                dialog.SetUIStyle(manager->UIStyle());
        }
        std::unique_ptr<TfrmMsg> form(dialog.BuildWindow());
        if (HeadlessPlatform()) {
            // Nobody could answer a window here: only an installed answerer may.
            int result = 0;
            if (!AnswerModalForm(form.get(), result))
                qWarning("Unanswered error box \"%s\": %s", qPrintable(title), qPrintable(text));
            return;
        }
        form->ShowModal();
    });
}

void RegisterSkinDialogClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterSkinFormClasses();
    RegisterComponentClass<TsuiMessageDialog>("TsuiMessageDialog");
    RegisterComponentClass<TsuiPasswordDialog>("TsuiPasswordDialog");
}
