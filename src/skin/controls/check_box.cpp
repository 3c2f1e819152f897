#include "skin/controls/check_box.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QShortcutEvent>
#include <algorithm>

TsuiCheckBox::TsuiCheckBox(QWidget* parent) : TCustomControl(parent)
{
    InstallSkinFontSubstitutes();
    style_ = StartUIStyle(parent);
    // A double click arrives as two clicks; nothing is placed on a check box.
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls) & ~TControlStyle(csDoubleClicks)) | csOpaque);
    SetFillsBackground(false);
    SetBounds(Left(), Top(), 93, 17);
    SetTabStop(true);
    SetParentColor(true);
    SetAutoSize(true);
}

void TsuiCheckBox::SetChecked(bool v)
{
    if (v == checked_)
        return;
    checked_ = v;
    update();
    CheckedChanged();
}

void TsuiCheckBox::CheckedChanged() { Fire(OnClick, this); }

void TsuiCheckBox::SetTransparent(bool v)
{
    transparent_ = v;
    update();
}

void TsuiCheckBox::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    AdjustSize();
    update();
}

void TsuiCheckBox::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiCheckBox::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

bool TsuiCheckBox::HasFocusFrame() const { return TabStop() && Focused(); }

void TsuiCheckBox::StatePicture(TBitmap* picture)
{
    const int frame = Enabled() ? (checked_ ? 1 : 2) : (checked_ ? 3 : 4);
    ThemeImageSafe(fileTheme_, style_, GetImageItem(), picture, 4, frame);
}

QSize TsuiCheckBox::AutoSizeExtent() const
{
    if (!AutoSize())
        return size();
    TBitmap picture;
    const_cast<TsuiCheckBox*>(this)->StatePicture(&picture);
    const QFontMetrics fm(Font()->ToQFont());
    const TSize caption = MnemonicTextExtent(Font(), Caption());
    return {picture.Width() + caption.cx + 8, std::max(fm.height() + 2, picture.Height()) + 4};
}

void TsuiCheckBox::Paint()
{
    TBitmap picture;
    StatePicture(&picture);
    picture.SetTransparent(IsPictureTransparent());

    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    c->Font()->Assign(Font());
    if (transparent_) {
        PaintParentUnderControl(c, this);
    } else {
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    }
    c->Draw(1, (ClientHeight() - picture.Height()) / 2, &picture);

    const int textHeight = QFontMetrics(Font()->ToQFont()).height();
    const int captionTop = (ClientHeight() - textHeight) / 2;
    c->Brush()->SetStyle(bsClear);
    const TSize e = MnemonicTextExtent(Font(), Caption());
    const int x = picture.Width() + 4;
    DrawMnemonicText(c, Rect(x, captionTop, std::min(x + e.cx + 1, Width()), std::min(captionTop + e.cy, Height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Caption());
    if (HasFocusFrame())
        c->DrawFocusRect(Rect(picture.Width() + 3, captionTop, Width(), captionTop + textHeight + 2));
    buffer.CopyTo(Canvas());
}

void TsuiCheckBox::Click()
{
    BeforeToggle();
    Toggle();
}

void TsuiCheckBox::TextChanged()
{
    UpdateMnemonic();
    TCustomControl::TextChanged();
}

void TsuiCheckBox::UpdateMnemonic()
{
    if (mnemonicId_)
        releaseShortcut(mnemonicId_);
    mnemonicId_ = 0;
    const QKeySequence seq = QKeySequence::mnemonic(Caption());
    if (!seq.isEmpty())
        mnemonicId_ = grabShortcut(seq);
}

void TsuiCheckBox::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    update();
}

void TsuiCheckBox::KeyUp(WORD& key, TShiftState shift)
{
    TCustomControl::KeyUp(key, shift);
    if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
        update();
        if (ClickOnKeyUp())
            Click();
    }
}

bool TsuiCheckBox::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == mnemonicId_) {
        if (Enabled()) {
            if (CanFocus() && TabStop())
                SetFocus();
            RunGuarded([this] { Click(); }, this);
        }
        return true;
    }
    return TCustomControl::event(e);
}

void TsuiCheckBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    mousePressEvent(e);
}

void TsuiCheckBox::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    update();
}

void TsuiCheckBox::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}

// ---------------------------------------------------------------------------------------------

TsuiRadioButton::TsuiRadioButton(QWidget* parent) : TsuiCheckBox(parent)
{
    SetControlStyle(ControlStyle() | csDoubleClicks);
}

void TsuiRadioButton::Toggle()
{
    if (!Checked())
        SetChecked(true);
}

void TsuiRadioButton::CheckedChanged()
{
    if (!Checked())
        return;
    if (QWidget* parent = parentWidget())
        for (QObject* o : parent->children())
            if (auto* other = qobject_cast<TsuiRadioButton*>(o); other && other != this && other->groupIndex_ == groupIndex_)
                other->SetChecked(false);
    Fire(OnClick, this);
}

void TsuiRadioButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    TCustomControl::mouseDoubleClickEvent(e);
}
