#include "framework/edit.h"

#include <QLineEdit>

TCustomEdit::TCustomEdit(QWidget* parent) : TWinControl(parent), edit_(new QLineEdit)
{
    SetInnerWidget(edit_);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(0xFF000005); // clWindow
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString&) {
        if (syncing_)
            return;
        modified_ = true;
        Change();
    });
}

QString TCustomEdit::GetText() const { return edit_->text(); }

void TCustomEdit::TextChanged()
{
    QString t = TWinControl::GetText();
    if (charCase_ == ecUpperCase)
        t = t.toUpper();
    else if (charCase_ == ecLowerCase)
        t = t.toLower();
    if (t == edit_->text())
        return;
    // Setting the text from code counts as a change too, but not as a modification.
    syncing_ = true;
    edit_->setText(t);
    syncing_ = false;
    Change();
}

void TCustomEdit::Change() { Fire(OnChange, this); }

void TCustomEdit::SetMaxLength(int n)
{
    maxLength_ = std::max(0, n);
    edit_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

bool TCustomEdit::ReadOnly() const { return edit_->isReadOnly(); }
void TCustomEdit::SetReadOnly(bool v) { edit_->setReadOnly(v); }

void TCustomEdit::SetPasswordChar(const QString& c)
{
    passwordChar_ = c.left(1);
    edit_->setEchoMode(passwordChar_.isEmpty() || passwordChar_ == QLatin1String("\0") ? QLineEdit::Normal : QLineEdit::Password);
}

void TCustomEdit::SetCharCase(TEditCharCase c)
{
    charCase_ = c;
    TextChanged();
}

void TCustomEdit::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    edit_->setFrame(s != bsNone);
}

void TCustomEdit::ColorChanged()
{
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, QtColor());
    edit_->setPalette(pal);
    TWinControl::ColorChanged();
}

void TCustomEdit::DoEnter()
{
    if (autoSelect_)
        edit_->selectAll();
    TWinControl::DoEnter();
}

int TCustomEdit::SelStart() const { return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); }
void TCustomEdit::SetSelStart(int v) { edit_->setCursorPosition(v); }
int TCustomEdit::SelLength() const { return int(edit_->selectedText().size()); }
void TCustomEdit::SetSelLength(int v) { edit_->setSelection(edit_->cursorPosition(), v); }
QString TCustomEdit::SelText() const { return edit_->selectedText(); }
void TCustomEdit::SetSelText(const QString& t) { edit_->insert(t); }
void TCustomEdit::SelectAll() { edit_->selectAll(); }
void TCustomEdit::ClearSelection() { edit_->del(); }
void TCustomEdit::CopyToClipboard() { edit_->copy(); }
void TCustomEdit::CutToClipboard() { edit_->cut(); }
void TCustomEdit::PasteFromClipboard() { edit_->paste(); }
void TCustomEdit::Undo() { edit_->undo(); }

bool TCustomEdit::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*") || TWinControl::BindEvent(name, h);
}

void TMaskEdit::SetEditMask(const QString& mask)
{
    editMask_ = mask;
    const QStringList parts = mask.split(QLatin1Char(';'));
    QString pattern = parts.value(0);
    // The framework's and Qt's mask letters agree on 0 9 A a L l C c; '!' and '>' '<' too.
    if (parts.size() >= 3 && !parts[2].isEmpty())
        pattern += QLatin1Char(';') + parts[2].left(1);
    LineEdit()->setInputMask(pattern);
}
