#include "controls/shadow_label.h"

#include "controls/control_text.h"
#include "framework/canvas.h"
#include "imaging/gif/graphic_utils.h"

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QShortcutEvent>

int DrawTextWithShadow(TCanvas* canvas, const QString& text, TRect& rect, uint32_t flags, TColor shadowColor,
                       TShadowPosition position, int size)
{
    const int dx = position == spLeftTop || position == spLeftBottom ? -size : size;
    const int dy = position == spLeftTop || position == spRightTop ? -size : size;
    TRect shadow = rect;
    OffsetRect(shadow, dx, dy);
    const TColor textColor = canvas->Font()->Color();
    canvas->Font()->SetColor(shadowColor);
    DrawText(canvas, text, shadow, flags);
    canvas->Font()->SetColor(textColor);
    TRect own = rect;
    const int height = DrawText(canvas, text, own, flags);
    UnionRect(rect, own, shadow);
    return height > 0 ? height + size : height;
}

TRxCustomLabel::TRxCustomLabel(QWidget* parent) : TGraphicControl(parent)
{
    SetControlStyle(ControlStyle() | csOpaque);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
    TGraphicControl::SetAutoSize(true);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusMoved(now); });
}

TRxCustomLabel::~TRxCustomLabel() = default;

TColor TRxCustomLabel::TextColor() const { return Font()->Color(); }
QString TRxCustomLabel::DisplayText() const { return Caption(); }

void TRxCustomLabel::SetFocusControl(TWinControl* control)
{
    if (control == focusControl_)
        return;
    if (focusControl_)
        RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control)
        FreeNotification(control);
    if (showFocus_)
        Invalidate();
}

void TRxCustomLabel::Notification(QObject* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_.data())
        SetFocusControl(nullptr);
}

void TRxCustomLabel::SetAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    Invalidate();
}

void TRxCustomLabel::SetLayout(TTextLayout l)
{
    if (l == layout_)
        return;
    layout_ = l;
    Invalidate();
}

void TRxCustomLabel::SetShadowColor(TColor c)
{
    if (c == shadowColor_)
        return;
    shadowColor_ = c;
    Invalidate();
}

void TRxCustomLabel::SetShadowSize(int size)
{
    size = std::clamp(size, 0, 255);
    if (size == shadowSize_)
        return;
    shadowSize_ = size;
    FitBounds();
    Invalidate();
}

void TRxCustomLabel::SetShadowPos(TShadowPosition p)
{
    if (p == shadowPos_)
        return;
    shadowPos_ = p;
    Invalidate();
}

void TRxCustomLabel::SetWordWrap(bool v)
{
    if (v == wordWrap_)
        return;
    wordWrap_ = v;
    FitBounds();
    Invalidate();
}

void TRxCustomLabel::SetShowAccelChar(bool v)
{
    if (v == showAccelChar_)
        return;
    showAccelChar_ = v;
    UpdateMnemonic();
    Invalidate();
}

void TRxCustomLabel::SetShowFocus(bool v)
{
    if (v == showFocus_)
        return;
    showFocus_ = v;
    Invalidate();
}

void TRxCustomLabel::SetTransparent(bool v)
{
    if (v == Transparent())
        return;
    SetControlStyle(v ? ControlStyle() & ~TControlStyle(csOpaque) : ControlStyle() | csOpaque);
    setAttribute(Qt::WA_OpaquePaintEvent, !v);
    Invalidate();
}

void TRxCustomLabel::SetAutoSize(bool v)
{
    TGraphicControl::SetAutoSize(v);
    FitBounds();
}

int TRxCustomLabel::PaintText(TCanvas* canvas, TRect& rect, uint32_t flags)
{
    QString text = DisplayText();
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&"))))
        text += QLatin1Char(' ');
    if (!showAccelChar_)
        flags |= DT_NOPREFIX;
    canvas->Font()->Assign(Font());
    canvas->Font()->SetColor(TextColor());
    TColor shadowColor = shadowColor_;
    int size = shadowSize_;
    TShadowPosition position = shadowPos_;
    if (!Enabled()) {
        canvas->Font()->SetColor(clGrayText);
        shadowColor = clBtnHighlight;
        if (size == 0) {
            size = 1;
            position = spRightBottom;
        }
    }
    return DrawTextWithShadow(canvas, text, rect, flags, shadowColor, position, size);
}

void TRxCustomLabel::Paint()
{
    if (!Enabled())
        pressed_ = false;
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(client);
    }
    c->Brush()->SetStyle(bsClear);
    TRect r = client;
    r.Left += 1;
    r.Right -= 1;
    uint32_t flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    flags |= alignment_ == taRightJustify ? DT_RIGHT : alignment_ == taCenter ? DT_CENTER : DT_LEFT;
    if (layout_ != tlTop) {
        TRect measured = r;
        PaintText(c, measured, flags | DT_CALCRECT);
        r.Left = client.Left;
        r.Right = client.Right;
        const int free = Height() - measured.Bottom;
        OffsetRect(r, 0, layout_ == tlBottom ? free : free / 2);
    }
    PaintText(c, r, flags);
    if (showFocus_ && focusControl_ && focusControl_->Focused()) {
        InflateRect(r, 1, 0);
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->DrawFocusRect(r);
    }
}

void TRxCustomLabel::FitBounds()
{
    if (!AutoSize())
        return;
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas screen;
    screen.SetBits(scratch.bits(), 1, 1, int(scratch.bytesPerLine()));
    TRect r = ClientRect();
    r.Left += 1;
    r.Right -= 1;
    PaintText(&screen, r, DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | DT_CALCRECT);
    screen.SetBits(nullptr, 0, 0, 0);
    r.Left -= 1;
    r.Right += 1;
    const int oldWidth = Width();
    int left = Left();
    if (alignment_ == taRightJustify)
        left += oldWidth - r.Right;
    SetBounds(left, Top(), r.Right, r.Bottom);
}

void TRxCustomLabel::TextChanged()
{
    TGraphicControl::TextChanged();
    UpdateMnemonic();
    Invalidate();
    FitBounds();
}

void TRxCustomLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    FitBounds();
}

void TRxCustomLabel::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    RefreshHover();
}

void TRxCustomLabel::showEvent(QShowEvent* e)
{
    TGraphicControl::showEvent(e);
    RefreshHover();
}

void TRxCustomLabel::UpdateMnemonic()
{
    if (mnemonicId_)
        releaseShortcut(mnemonicId_);
    mnemonicId_ = 0;
    if (!showAccelChar_)
        return;
    const QKeySequence seq = QKeySequence::mnemonic(DisplayText());
    if (!seq.isEmpty())
        mnemonicId_ = grabShortcut(seq);
}

bool TRxCustomLabel::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && mnemonicId_ && static_cast<QShortcutEvent*>(e)->shortcutId() == mnemonicId_) {
        if (focusControl_ && Enabled() && showAccelChar_) {
            if (focusControl_->CanFocus())
                focusControl_->SetFocus();
            return true;
        }
        return false;
    }
    return TGraphicControl::event(e);
}

void TRxCustomLabel::FocusMoved(QWidget* now)
{
    const bool focused = focusControl_ && now && (now == focusControl_ || focusControl_->isAncestorOf(now));
    if (focused == focused_)
        return;
    focused_ = focused;
    if (showFocus_)
        Invalidate();
}

void TRxCustomLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled())
        pressed_ = true;
    if (button == mbRight)
        RefreshHover();
}

void TRxCustomLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button == mbLeft)
        pressed_ = false;
    RefreshHover();
}

void TRxCustomLabel::MouseEnter()
{
    if (mouseIn_ || !Enabled() || !OwnsActiveWindow())
        return;
    mouseIn_ = true;
    TGraphicControl::MouseEnter();
}

void TRxCustomLabel::MouseLeave()
{
    if (!mouseIn_ || !Enabled() || pressed_)
        return;
    mouseIn_ = false;
    TGraphicControl::MouseLeave();
}

void TRxCustomLabel::RefreshHover()
{
    const bool over = Enabled() && isVisible() && QApplication::widgetAt(QCursor::pos()) == this && OwnsActiveWindow();
    if (over == mouseIn_)
        return;
    mouseIn_ = over;
    if (over)
        TGraphicControl::MouseEnter();
    else
        TGraphicControl::MouseLeave();
}
