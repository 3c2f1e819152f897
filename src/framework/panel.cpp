#include "framework/panel.h"

#include <QPainter>

void Frame3D(QPainter& p, TRect& rect, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
        if (r < l || b < t)
            return;
        p.setPen(topLeft);
        p.drawLine(l, b, l, t);
        p.drawLine(l, t, r, t);
        p.setPen(bottomRight);
        p.drawLine(r, t, r, b);
        p.drawLine(r, b, l, b);
        InflateRect(rect, -1, -1);
    }
}

TCustomPanel::TCustomPanel(QWidget* parent) : TCustomControl(parent)
{
    SetBounds(0, 0, 185, 41);
    SetParentFont(true);
}

void TCustomPanel::SetBevelInner(TBevelCut b)
{
    bevelInner_ = b;
    Realign();
    update();
}

void TCustomPanel::SetBevelOuter(TBevelCut b)
{
    bevelOuter_ = b;
    Realign();
    update();
}

void TCustomPanel::SetBevelWidth(int w)
{
    bevelWidth_ = std::max(1, w);
    Realign();
    update();
}

void TCustomPanel::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    Realign();
    update();
}

void TCustomPanel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TCustomPanel::TextChanged() { update(); }

void TCustomPanel::AdjustClientRect(TRect& rect) const
{
    TCustomControl::AdjustClientRect(rect);
    int edge = borderStyle_ == bsSingle ? 2 : 0;
    if (bevelOuter_ != bvNone)
        edge += bevelWidth_;
    if (bevelInner_ != bvNone)
        edge += bevelWidth_;
    InflateRect(rect, -edge, -edge);
}

void TCustomPanel::Paint(QPainter& p)
{
    const QColor highlight = FwColorToQColor(0xFF000014);
    const QColor shadow = FwColorToQColor(0xFF000010);
    TRect r = ClientRect();
    if (borderStyle_ == bsSingle)
        Frame3D(p, r, shadow, highlight, 1), Frame3D(p, r, FwColorToQColor(0xFF000015), FwColorToQColor(0xFF000016), 1);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvSpace) {
            InflateRect(r, -bevelWidth_, -bevelWidth_);
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(p, r, raised ? highlight : shadow, raised ? shadow : highlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    InflateRect(r, -BorderWidth(), -BorderWidth());
    bevel(bevelInner_);
    const QString text = Caption();
    if (text.isEmpty())
        return;
    p.setFont(Font());
    p.setPen(Enabled() ? QtFontColor() : shadow);
    const int h = alignment_ == taLeftJustify ? Qt::AlignLeft : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
    p.drawText(QRect(r.Left, r.Top, r.Width(), r.Height()), h | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
}
