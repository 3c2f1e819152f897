#include "framework/memo.h"

#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

#include <QPlainTextEdit>
#include <QTextBlock>

TCustomMemo::TCustomMemo(QWidget* parent)
    : TWinControl(parent), edit_(new QPlainTextEdit), lines_(std::make_unique<TStringList>())
{
    SetInnerWidget(edit_);
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(clWindow);
    edit_->setTabChangesFocus(true);
    SetScrollBars(ssNone);
    lines_->OnChange = [this](TObject*) { LinesChanged(); };
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncing_)
            return;
        QString t = edit_->toPlainText();
        if (maxLength_ > 0 && t.size() > maxLength_) {
            syncing_ = true;
            edit_->setPlainText(t.left(maxLength_));
            edit_->moveCursor(QTextCursor::End);
            syncing_ = false;
            t = t.left(maxLength_);
        }
        syncing_ = true;
        lines_->SetText(t);
        syncing_ = false;
        modified_ = true;
        Change();
    });
}

TCustomMemo::~TCustomMemo() { lines_->OnChange = nullptr; }

TStrings* TCustomMemo::Lines() const { return lines_.get(); }

void TCustomMemo::LinesChanged()
{
    if (syncing_)
        return;
    QString t = lines_->Text();
    // The list's text ends every line with a line break; the editor shows no trailing one.
    if (t.endsWith(QLatin1String("\r\n")))
        t.chop(2);
    else if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    syncing_ = true;
    edit_->setPlainText(t);
    syncing_ = false;
    Change();
}

QString TCustomMemo::GetText() const
{
    QString t = edit_->toPlainText();
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t;
}

void TCustomMemo::TextChanged()
{
    lines_->SetText(TWinControl::GetText());
}

void TCustomMemo::Change() { Fire(OnChange, this); }

void TCustomMemo::KeyPress(QChar& key)
{
    TWinControl::KeyPress(key);
    if (key == QLatin1Char('\r') && !wantReturns_)
        key = QChar();
}

void TCustomMemo::ColorChanged()
{
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, QtColor());
    edit_->setPalette(pal);
    TWinControl::ColorChanged();
}

void TCustomMemo::SetScrollBars(TScrollStyle s)
{
    scrollBars_ = s;
    edit_->setVerticalScrollBarPolicy(s == ssVertical || s == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit_->setHorizontalScrollBarPolicy(s == ssHorizontal || s == ssBoth ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    SetWordWrap(wordWrap_);
}

void TCustomMemo::SetWordWrap(bool v)
{
    wordWrap_ = v;
    // A horizontal scroll bar turns wrapping off, as the framework's memo does.
    const bool wrap = v && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth;
    edit_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TCustomMemo::ReadOnly() const { return edit_->isReadOnly(); }
void TCustomMemo::SetReadOnly(bool v) { edit_->setReadOnly(v); }

void TCustomMemo::SetWantTabs(bool v)
{
    wantTabs_ = v;
    edit_->setTabChangesFocus(!v);
}

void TCustomMemo::SetAlignment(TAlignment a)
{
    alignment_ = a;
    QTextOption o = edit_->document()->defaultTextOption();
    o.setAlignment(a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft);
    edit_->document()->setDefaultTextOption(o);
}

void TCustomMemo::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    edit_->setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TCustomMemo::Clear() { lines_->Clear(); }
void TCustomMemo::SelectAll() { edit_->selectAll(); }
void TCustomMemo::CopyToClipboard() { edit_->copy(); }
void TCustomMemo::CutToClipboard() { edit_->cut(); }
void TCustomMemo::PasteFromClipboard() { edit_->paste(); }

bool TCustomMemo::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*") || TWinControl::BindEvent(name, h);
}

bool TCustomMemo::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Lines.Strings"), Qt::CaseInsensitive) == 0) {
        lines_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
