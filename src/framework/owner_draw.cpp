#include "framework/owner_draw.h"

#include "framework/canvas.h"

#include <QPainter>

TOwnerDrawDelegate::TOwnerDrawDelegate(QObject* parent, TPaintRow paint, TRowHeight height)
    : QStyledItemDelegate(parent), paint_(std::move(paint)), height_(std::move(height))
{
}

void TOwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!Active) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    TOwnerDrawState state;
    if (option.state & QStyle::State_Selected)
        state |= odSelected;
    if (option.state & QStyle::State_HasFocus)
        state |= odFocused;
    if (!(option.state & QStyle::State_Enabled))
        state |= odDisabled | odGrayed;
    painter->save();
    paint_(painter, index.row(), option.rect, state);
    painter->restore();
}

QSize TOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    if (Active)
        s.setHeight(height_(index.row()));
    return s;
}

void WithItemCanvas(TControl* control, QPainter* painter, TOwnerDrawState state, const std::function<void(TCanvas*)>& fn)
{
    TCanvas* c = control->Canvas();
    const bool own = !c->HandleAllocated();
    if (own)
        c->SetPainter(painter);
    c->Font()->Assign(control->Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(control->Color());
    if (state & odSelected) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    }
    fn(c);
    if (own)
        c->SetPainter(nullptr);
}

void DrawDefaultItem(TCanvas* canvas, const TRect& rect, const QString& text)
{
    canvas->FillRect(rect);
    canvas->TextOut(rect.Left + 2, rect.Top, text);
}
