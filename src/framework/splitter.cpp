#include "framework/splitter.h"

#include "framework/canvas.h"
#include "framework/panel.h"


TSplitter::TSplitter(QWidget* parent) : TGraphicControl(parent)
{
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

TControl* TSplitter::ResizeControl() const
{
    TWinControl* p = Parent();
    if (!p)
        return nullptr;
    const TAlign a = Align();
    for (TControl* c : p->ControlList()) {
        if (c == this || !c->Visible() || c->Align() != a)
            continue;
        switch (a) {
        case alLeft:
            if (c->Left() + c->Width() == Left())
                return c;
            break;
        case alRight:
            if (c->Left() == Left() + Width())
                return c;
            break;
        case alTop:
            if (c->Top() + c->Height() == Top())
                return c;
            break;
        case alBottom:
            if (c->Top() == Top() + Height())
                return c;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        target_ = ResizeControl();
        const TPoint g = ClientToScreen(Point(x, y));
        downPos_ = QPoint(g.X, g.Y);
        if (target_)
            startSize_ = (Align() == alLeft || Align() == alRight) ? target_->Width() : target_->Height();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y)
{
    if (target_ && (shift & ssLeft)) {
        const TPoint g = ClientToScreen(Point(x, y));
        const QPoint d = QPoint(g.X, g.Y) - downPos_;
        int size = startSize_;
        switch (Align()) {
        case alLeft: size += d.x(); break;
        case alRight: size -= d.x(); break;
        case alTop: size += d.y(); break;
        case alBottom: size -= d.y(); break;
        default: break;
        }
        size = std::max(size, minSize_);
        bool accept = true;
        Fire(OnCanResize, this, size, accept);
        if (accept) {
            if (Align() == alLeft || Align() == alRight)
                target_->SetWidth(size);
            else
                target_->SetHeight(size);
        }
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool moved = target_ != nullptr;
    target_ = nullptr;
    TGraphicControl::MouseUp(button, shift, x, y);
    if (moved && button == mbLeft)
        Fire(OnMoved, this);
}

void TSplitter::Paint()
{
    if (!beveled_)
        return;
    TRect r = ClientRect();
    Frame3D(Canvas(), r, clBtnHighlight, clBtnShadow, 1);
}

bool TSplitter::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnMoved", OnMoved, h, "TObject*")
        || BindEventTo(name, "OnCanResize", OnCanResize, h, "TObject*,int&,bool&")
        || TGraphicControl::BindEvent(name, h);
}
