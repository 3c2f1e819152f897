#include "skin/controls/spin_edit.h"

#include "framework/beep.h"
#include "skin/controls/button.h"
#include "skin/file_theme.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TsuiSpinButtons

TsuiSpinButtons::TsuiSpinButtons(QWidget* parent) : TWinControl(parent)
{
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetText(QString());
    auto make = [this](TsuiArrowButtonType arrow) {
        auto* b = new TsuiArrowButton(this);
        b->SetParent(this);
        b->SetTabStop(false);
        b->OnClick = [this](TObject* s) { ButtonClick(s); };
        b->OnMouseContinuouslyDown = [this](TObject* s) { ButtonClick(s); };
        b->SetMouseContinuouslyDownInterval(400);
        b->SetArrow(arrow);
        return b;
    };
    up_ = make(suiUp);
    down_ = make(suiDown);
    SetBounds(Left(), Top(), 20, 25);
}

bool TsuiSpinButtons::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnUpClick", OnUpClick, h, "TObject*") || BindEventTo(name, "OnDownClick", OnDownClick, h, "TObject*")
        || TWinControl::BindEvent(name, h);
}

TsuiUIStyle TsuiSpinButtons::UIStyle() const { return up_ ? up_->UIStyle() : DeepBlue; }

void TsuiSpinButtons::SetUIStyle(TsuiUIStyle style)
{
    up_->SetUIStyle(style);
    down_->SetUIStyle(style);
}

TsuiFileTheme* TsuiSpinButtons::FileTheme() const { return up_ ? up_->FileTheme() : nullptr; }

void TsuiSpinButtons::SetFileTheme(TsuiFileTheme* fileTheme)
{
    up_->SetFileTheme(fileTheme);
    down_->SetFileTheme(fileTheme);
    SetUIStyle(UIStyle());
}

void TsuiSpinButtons::AdjustButtons(int& width, int& height)
{
    if (!up_ || !down_ || IsLoading())
        return;
    width = std::max(width, 15);
    const int upHeight = height / 2 + 1;
    up_->SetBounds(0, 0, width, upHeight);
    down_->SetBounds(0, upHeight - 1, width, height - upHeight + 1);
}

void TsuiSpinButtons::SetBounds(int left, int top, int width, int height)
{
    AdjustButtons(width, height);
    TWinControl::SetBounds(left, top, width, height);
}

void TsuiSpinButtons::Loaded()
{
    TWinControl::Loaded();
    SetBounds(Left(), Top(), Width(), Height());
}

void TsuiSpinButtons::Resize()
{
    TWinControl::Resize();
    int w = Width(), h = Height();
    AdjustButtons(w, h);
    if (w != Width() || h != Height())
        TWinControl::SetBounds(Left(), Top(), w, h);
}

void TsuiSpinButtons::KeyDown(WORD& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    if (key == VK_UP)
        up_->Click();
    else if (key == VK_DOWN)
        down_->Click();
}

void TsuiSpinButtons::ButtonClick(TObject* sender)
{
    if (sender == up_)
        Fire(OnUpClick, this);
    else if (sender == down_)
        Fire(OnDownClick, this);
}

// ---------------------------------------------------------------------------------------------
// TsuiSpinEdit

TsuiSpinEdit::TsuiSpinEdit(QWidget* parent) : TsuiEdit(parent)
{
    buttons_ = new TsuiSpinButtons(this);
    buttons_->SetParent(this);
    buttons_->SetBounds(0, 0, 15, 20);
    buttons_->OnUpClick = [this](TObject* s) { UpClick(s); };
    buttons_->OnDownClick = [this](TObject* s) { DownClick(s); };
    SetText(QStringLiteral("0"));
    // Cut and paste keys are checked here before the Qt editor carries them out.
    Editor()->installEventFilter(this);
    UIStyleChanged();
    Resize();
}

TsuiSpinEdit::~TsuiSpinEdit() = default;

void TsuiSpinEdit::UIStyleChanged()
{
    if (buttons_) {
        buttons_->SetFileTheme(FileTheme());
        buttons_->SetUIStyle(UIStyle());
    }
}

void TsuiSpinEdit::SetEditorEnabled(bool v)
{
    editorEnabled_ = v;
    Editor()->setContextMenuPolicy(v ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

bool TsuiSpinEdit::ParsedValue(int& v) const
{
    bool ok = false;
    v = Text().trimmed().toInt(&ok);
    return ok;
}

int TsuiSpinEdit::Value() const
{
    int v = 0;
    return ParsedValue(v) ? v : minValue_;
}

int TsuiSpinEdit::CheckValue(int v) const
{
    if (minValue_ == maxValue_)
        return v;
    return std::clamp(v, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
}

void TsuiSpinEdit::SetValue(int v)
{
    SetText(QString::number(CheckValue(v)));
}

bool TsuiSpinEdit::IsValidChar(QChar key) const
{
    const ushort c = key.unicode();
    bool valid = key == QLatin1Char('-') || (key >= QLatin1Char('0') && key <= QLatin1Char('9')) || (c < 32 && c != 13);
    // Without the editor only keys that change no text get through.
    if (!editorEnabled_ && valid && (c >= 32 || c == 8))
        valid = false;
    return valid;
}

void TsuiSpinEdit::UpClick(TObject*)
{
    if (ReadOnly())
        MessageBeep(MB_OK);
    else
        SetValue(int(std::clamp<int64_t>(int64_t(Value()) + increment_, INT32_MIN, INT32_MAX)));
}

void TsuiSpinEdit::DownClick(TObject*)
{
    if (ReadOnly())
        MessageBeep(MB_OK);
    else
        SetValue(int(std::clamp<int64_t>(int64_t(Value()) - increment_, INT32_MIN, INT32_MAX)));
}

void TsuiSpinEdit::KeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_UP)
        UpClick(this);
    else if (key == VK_DOWN)
        DownClick(this);
    TsuiEdit::KeyDown(key, shift);
}

void TsuiSpinEdit::KeyPress(QChar& key)
{
    if (!IsValidChar(key)) {
        key = QChar();
        MessageBeep(MB_OK);
        return;
    }
    TsuiEdit::KeyPress(key);
}

bool TsuiSpinEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Editor() && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Paste)) && (!editorEnabled_ || ReadOnly()))
            return true;
    }
    return TsuiEdit::eventFilter(watched, e);
}

void TsuiSpinEdit::DoEnter()
{
    // A click places the caret; only keyboard focus selects the whole number.
    if (AutoSelect() && !(QApplication::mouseButtons() & Qt::LeftButton))
        SelectAll();
    TWinControl::DoEnter();
}

void TsuiSpinEdit::DoExit()
{
    TsuiEdit::DoExit();
    // Out-of-range text is replaced by the held value, and text that is no number by MinValue.
    int v = 0;
    const bool parsed = ParsedValue(v);
    if (!parsed || CheckValue(v) != v)
        SetValue(parsed ? v : minValue_);
}

void TsuiSpinEdit::Resize()
{
    TsuiEdit::Resize();
    if (!buttons_)
        return;
    if (Height() < 0)
        SetHeight(0);
    buttons_->SetBounds(Width() - buttons_->Width() - 2, 2, buttons_->Width(), std::max(Height() - 4, 0));
    buttons_->raise();
    SetEditRect();
}

void TsuiSpinEdit::SetEditRect()
{
    // Typed text never runs under the buttons.
    Editor()->setTextMargins(0, 0, buttons_->Width() + 2, 0);
}
