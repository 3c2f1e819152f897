#include "framework/panel.h"

#include "framework/canvas.h"

#include <QPainter>

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    for (int i = 0; i < width; ++i) {
        const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
        canvas->Pen()->SetColor(topColor);
        canvas->Polyline({{l, b}, {l, t}, {r, t}});
        canvas->Pen()->SetColor(bottomColor);
        canvas->Polyline({{r, t}, {r, b}, {l - 1, b}});
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

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (borderStyle_ == bsSingle) {
        Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
        Frame3D(c, r, cl3DDkShadow, cl3DLight, 1);
    }
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvSpace) {
            InflateRect(r, -bevelWidth_, -bevelWidth_);
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    InflateRect(r, -BorderWidth(), -BorderWidth());
    bevel(bevelInner_);
    const QString text = Caption();
    if (text.isEmpty())
        return;
    QPainter& p = *c->Handle();
    p.setFont(Font()->ToQFont());
    p.setPen(Enabled() ? QtFontColor() : ColorToQColor(clBtnShadow));
    const int h = alignment_ == taLeftJustify ? Qt::AlignLeft : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
    p.drawText(QRect(r.Left, r.Top, r.Width(), r.Height()), h | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
}
