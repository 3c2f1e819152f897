#include "skin/controls/edit.h"

#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QLineEdit>

TsuiEdit::TsuiEdit(QWidget* parent) : TCustomEdit(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetBorderStyle(bsNone);
    // The client area is inset two pixels on every side: the skin frame goes there.
    SetBorderWidth(2);
    SetInnerBorder(2);
    SetUIStyle(style_);
}

void TsuiEdit::SetBorderColor(TColor c)
{
    borderColor_ = c;
    update();
}

void TsuiEdit::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    SetBorderColor(ThemeColor(fileTheme_, style_, ThemeItem::ControlBorderColor));
    UIStyleChanged();
    update();
}

void TsuiEdit::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiEdit::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiEdit::PaintControl()
{
    DrawWindowFrame(Canvas(), TSize{Width(), Height()}, borderColor_, Color(), true);
}
