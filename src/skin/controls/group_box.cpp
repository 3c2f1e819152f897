#include "skin/controls/group_box.h"

#include "framework/canvas.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QFontMetrics>
#include <cstdlib>

TsuiCustomGroupBox::TsuiCustomGroupBox(QWidget* parent) : TsuiCustomPanel(parent)
{
    SetBounds(Left(), Top(), 185, 105);
    SetParentColor(true);
    style_ = StartUIStyle(parent);
    ApplyStyle(style_, fileTheme_);
}

void TsuiCustomGroupBox::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme != fileTheme_) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiCustomGroupBox::Notification(QObject* AComponent, TOperation Operation)
{
    TsuiCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        ContainerApplyUIStyle(this, DeepBlue, nullptr);
        SetUIStyle(DeepBlue);
    }
}

void TsuiCustomGroupBox::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    ApplyStyle(style, fileTheme_);
    update();
}

void TsuiCustomGroupBox::ApplyStyle(TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    ContainerApplyUIStyle(this, style, fileTheme);
    borderColor_ = ThemeColor(fileTheme, style, ThemeItem::ControlBorderColor);
    Font()->SetColor(ThemeColor(fileTheme, style, ThemeItem::ControlFontColor));
}

void TsuiCustomGroupBox::SetGroupCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void TsuiCustomGroupBox::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiCustomGroupBox::AdjustClientRect(TRect& rect) const
{
    rect.Left += 3;
    rect.Right -= 3;
    rect.Bottom -= 3;
    rect.Top += std::abs(Font()->Height()) + 5;
}

void TsuiCustomGroupBox::FontChanged()
{
    TsuiCustomPanel::FontChanged();
    Realign();
    update();
}

void TsuiCustomGroupBox::EnabledChanged()
{
    TsuiCustomPanel::EnabledChanged();
    update();
}

void TsuiCustomGroupBox::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    const TRect R = ClientRect();
    if (Transparent()) {
        PaintPanel(c);
    } else {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(R);
    }
    c->Font()->Assign(Font());
    const int h = std::abs(Font()->Height());
    const int y = h / 2 + R.Top + 1;
    const int captionWidth = caption_.isEmpty() ? 0 : MnemonicTextExtent(Font(), caption_).cx;
    c->Pen()->SetColor(borderColor_);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->MoveTo(R.Left + 2, y);
    c->LineTo(R.Left, y);
    c->LineTo(R.Left, R.Bottom - 1);
    c->LineTo(R.Right - 1, R.Bottom - 1);
    c->LineTo(R.Right - 1, y);
    c->LineTo(caption_.isEmpty() ? R.Left : R.Left + captionWidth + 6, y);
    if (!caption_.isEmpty()) {
        c->Brush()->SetStyle(bsClear);
        if (!Enabled())
            c->Font()->SetColor(0x808080);
        DrawMnemonicTextAt(c, 5, 0, caption_);
    }
    buffer.CopyTo(Canvas());
}
