#include "framework/paint_box.h"

#include <QPainter>

TPaintBox::TPaintBox(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint(QPainter& p)
{
    painter_ = &p;
    Fire(OnPaint, this);
    painter_ = nullptr;
}

bool TPaintBox::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnPaint", OnPaint, h, "TObject*") || TGraphicControl::BindEvent(name, h);
}
