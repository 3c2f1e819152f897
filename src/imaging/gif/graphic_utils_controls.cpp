#include "imaging/gif/graphic_utils_controls.h"

#include "framework/canvas.h"
#include "framework/controls.h"

#include <QPainter>
#include <QRegion>

void PaintParentBackground(TControl* control, TCanvas* canvas)
{
    if (!control || !canvas)
        return;
    QWidget* parent = control->parentWidget();
    if (!parent)
        return;
    QPainter* p = canvas->Handle();
    if (!p)
        return;
    canvas->Changing();
    p->save();
    p->translate(-control->x(), -control->y());
    p->setClipRect(QRect(0, 0, parent->width(), parent->height()), Qt::IntersectClip);
    // The parent's own surface only; its children are not part of what lies behind.
    parent->render(p, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    p->restore();

    // Children are in stacking order, so the ones before the control lie below it.
    const QRect area = control->geometry();
    for (QObject* o : parent->children()) {
        if (o == control)
            break;
        auto* sibling = qobject_cast<TGraphicControl*>(o);
        if (!sibling || !sibling->Visible() || !sibling->geometry().intersects(area))
            continue;
        p->save();
        p->translate(sibling->x() - control->x(), sibling->y() - control->y());
        p->setClipRect(QRect(0, 0, sibling->width(), sibling->height()), Qt::IntersectClip);
        sibling->render(p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        p->restore();
    }
    canvas->Changed();
}
