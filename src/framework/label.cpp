#include "framework/label.h"

#include "framework/canvas.h"

#include <QFontMetrics>
#include <QPainter>

TCustomLabel::TCustomLabel(QWidget* parent) : TGraphicControl(parent)
{
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    update();
}

void TCustomLabel::SetLayout(TTextLayout l)
{
    layout_ = l;
    update();
}

void TCustomLabel::SetWordWrap(bool v)
{
    wordWrap_ = v;
    if (AutoSize())
        AdjustSize();
    update();
}

void TCustomLabel::SetTransparent(bool v)
{
    transparent_ = v;
    update();
}

void TCustomLabel::SetShowAccelChar(bool v)
{
    showAccelChar_ = v;
    if (AutoSize())
        AdjustSize();
    update();
}

int TCustomLabel::TextFlags() const
{
    int f = alignment_ == taRightJustify ? Qt::AlignRight : alignment_ == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    f |= layout_ == tlCenter ? Qt::AlignVCenter : layout_ == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
    if (wordWrap_)
        f |= Qt::TextWordWrap;
    f |= showAccelChar_ ? Qt::TextShowMnemonic : 0;
    return f;
}

QSize TCustomLabel::AutoSizeExtent() const
{
    QString text = Caption();
    if (!showAccelChar_)
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QFontMetrics fm(Font()->ToQFont());
    // An empty caption still measures one line high, as the framework does.
    if (text.isEmpty())
        return QSize(wordWrap_ ? Width() : 0, fm.height());
    const QRect r = fm.boundingRect(QRect(0, 0, wordWrap_ ? std::max(1, Width()) : 100000, 100000),
                                    TextFlags() & ~(Qt::AlignRight | Qt::AlignHCenter | Qt::AlignBottom | Qt::AlignVCenter),
                                    Caption());
    return QSize(wordWrap_ ? Width() : r.width(), r.height());
}

void TCustomLabel::Paint()
{
    QPainter& p = *Canvas()->Handle();
    if (!transparent_)
        p.fillRect(rect(), QtColor());
    p.setFont(Font()->ToQFont());
    const QRect r = rect();
    if (!Enabled()) {
        // Disabled text: white shadow one pixel down-right, grey text over it.
        p.setPen(ColorToQColor(clBtnHighlight));
        p.drawText(r.translated(1, 1), TextFlags(), Caption());
        p.setPen(ColorToQColor(clBtnShadow));
    } else {
        p.setPen(QtFontColor());
    }
    p.drawText(r, TextFlags(), Caption());
}

TStaticText::TStaticText(QWidget* parent) : TWinControl(parent)
{
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
    SetParentColor(true);
}

QSize TStaticText::AutoSizeExtent() const
{
    const QFontMetrics fm(Font()->ToQFont());
    const int edge = borderStyle_ == bsNone ? 0 : 2;
    return QSize(fm.horizontalAdvance(Caption()) + 2 * edge, fm.height() + 2 * edge);
}

void TStaticText::PaintControl()
{
    TWinControl::PaintControl();
    QPainter& p = *Canvas()->Handle();
    p.setFont(Font()->ToQFont());
    p.setPen(Enabled() ? QtFontColor() : ColorToQColor(clBtnShadow));
    const int h = alignment_ == taRightJustify ? Qt::AlignRight : alignment_ == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    p.drawText(rect(), h | Qt::AlignTop | (showAccelChar_ ? Qt::TextShowMnemonic : 0), Caption());
}
