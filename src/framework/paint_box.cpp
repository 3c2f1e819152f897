#include "framework/paint_box.h"


TPaintBox::TPaintBox(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint() { Fire(OnPaint, this); }

bool TPaintBox::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnPaint", OnPaint, h, "TObject*") || TGraphicControl::BindEvent(name, h);
}
