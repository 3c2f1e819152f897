#include "skin/form_frame.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/graphics.h"
#include "framework/picture.h"
#include "skin/title_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

QImage PictureImage(TPicture* picture)
{
    TGraphic* g = picture ? picture->Graphic() : nullptr;
    if (!g || g->Empty())
        return {};
    if (auto* b = dynamic_cast<TBitmap*>(g))
        return b->ToImage();
    TBitmap bmp;
    bmp.SetSize(g->Width(), g->Height());
    bmp.Canvas()->Draw(0, 0, g);
    return bmp.ToImage();
}

// The title bar's three pictures laid out as the bar lays them out, in window coordinates, so
// that the ring continues them without a seam.
void DrawTitleSections(QPainter& p, const TsuiFrameSpec& s)
{
    TsuiTitleBar* bar = s.TitleBar;
    const QImage left = PictureImage(bar->Section(0)->Picture());
    const QImage right = PictureImage(bar->Section(1)->Picture());
    const QImage middle = PictureImage(bar->Section(2)->Picture());
    const int x0 = s.TitleRect.left() + s.TitleOffset.x();
    const int y0 = s.TitleRect.top() + s.TitleOffset.y();
    const int L = x0 + left.width();
    const int R = s.TitleRect.left() + s.TitleRect.width() - right.width() - s.TitleOffset.x();
    if (!middle.isNull() && R > L)
        p.drawImage(QRect(L, y0, R - L, middle.height()), middle);
    if (!left.isNull())
        p.drawImage(x0, y0, left);
    if (!right.isNull())
        p.drawImage(R, y0, right);
}

} // namespace

void PaintSkinnedFrame(QPainter& p, const QSize& size, const TsuiFrameSpec& s)
{
    const int W = size.width(), H = size.height(), F = s.Inset, BW = std::max(0, s.BorderWidth);
    if (W <= 0 || H <= 0 || F <= 0)
        return;
    const QColor border = ColorToQColor(s.BorderColor);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(QRegion(0, 0, W, H) - QRegion(F, F, std::max(0, W - 2 * F), std::max(0, H - 2 * F)));
    p.fillRect(0, 0, W, H, ColorToQColor(s.InnerColor));
    if (s.TitleBar) {
        if (BW < 4 && s.TitleBar->HasThreeSections())
            DrawTitleSections(p, s);
    } else {
        p.fillRect(0, 0, W, 1, border);
    }
    if (!s.MenuBarRect.isEmpty())
        p.fillRect(0, s.MenuBarRect.top(), W, s.MenuBarRect.height(), ColorToQColor(s.MenuBarColor));
    if (BW > 0) {
        p.fillRect(0, 0, BW, H, border);
        p.fillRect(W - BW, 0, BW, H, border);
        p.fillRect(0, H - BW, W, BW, border);
    }
    if (s.TitleBar && BW == 1 && s.RoundCorner == 11) {
        const int r = s.RoundCorner;
        p.setPen(border);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(0, 0, r, r), 90 * 16, 90 * 16);
        p.drawArc(QRect(W - r - 1, 0, r, r), 0, 90 * 16);
    }
    p.restore();
}

QRegion RoundTopRegion(int width, int height, int r)
{
    QRegion region(0, 0, std::max(0, width), std::max(0, height));
    if (r <= 0 || width <= 0 || height <= 0)
        return region;
    const int c = (r + 1) / 2;
    region -= QRegion(0, 0, c, c) - QRegion(0, 0, r, r, QRegion::Ellipse);
    region -= QRegion(width - c, 0, c, c) - QRegion(width - r, 0, r, r, QRegion::Ellipse);
    return region;
}

Qt::Edges FrameEdgesAt(const QSize& size, const QPoint& p, int inset)
{
    const int grip = 16;
    const int w = size.width(), h = size.height();
    bool left = p.x() < inset, right = p.x() >= w - inset, top = p.y() < inset, bottom = p.y() >= h - inset;
    if (!(left || right || top || bottom))
        return {};
    if (left || right) {
        top = top || p.y() < grip;
        bottom = bottom || p.y() >= h - grip;
    }
    if (top || bottom) {
        left = left || p.x() < grip;
        right = right || p.x() >= w - grip;
    }
    Qt::Edges e;
    if (left)
        e |= Qt::LeftEdge;
    if (right && !left)
        e |= Qt::RightEdge;
    if (top)
        e |= Qt::TopEdge;
    if (bottom && !top)
        e |= Qt::BottomEdge;
    return e;
}

void SetFormFrameless(TForm* form, bool frameless)
{
    if (!form)
        return;
    if (QWidget* sub = form->MdiFrame()) {
        const Qt::WindowFlags old = sub->windowFlags();
        const Qt::WindowFlags f = frameless ? old | Qt::FramelessWindowHint : old & ~Qt::WindowFlags(Qt::FramelessWindowHint);
        if (f == old)
            return;
        const QSize s = form->size();
        sub->setWindowFlags(f);
        // The form keeps its size; the sub-window grows or shrinks by its own decorations.
        if (frameless)
            sub->resize(s);
        else
            sub->resize(s + (sub->sizeHint() - form->sizeHint()).expandedTo(QSize(0, 0)));
        return;
    }
    if (!form->isWindow())
        return;
    if (!frameless) {
        // The window's own border style decides its native frame again.
        if (form->windowFlags() & Qt::FramelessWindowHint)
            form->SetBorderStyle(form->BorderStyle());
        return;
    }
    // Qt drops the frameless hint next to title and button hints: keep only the window's kind.
    const Qt::WindowFlags f =
        (form->windowFlags() & (Qt::WindowType_Mask | Qt::WindowStaysOnTopHint)) | Qt::FramelessWindowHint;
    if (f == form->windowFlags())
        return;
    const bool visible = form->isVisible();
    const QRect g = form->geometry();
    form->setWindowFlags(f);
    form->setGeometry(g);
    if (visible)
        form->QWidget::show();
}

bool TsuiEdgeResizer::Begin(TForm* form, Qt::Edges edges, const QPoint& globalPos)
{
    form_ = nullptr;
    if (!form || !edges)
        return false;
    if (!form->MdiFrame())
        if (QWindow* w = form->windowHandle(); w && w->startSystemResize(edges))
            return true;
    form_ = form;
    edges_ = edges;
    start_ = globalPos;
    startBounds_ = QRect(form->Left(), form->Top(), form->Width(), form->Height());
    return true;
}

bool TsuiEdgeResizer::Move(const QPoint& globalPos)
{
    if (!form_)
        return false;
    const QPoint d = globalPos - start_;
    int l = startBounds_.left(), t = startBounds_.top();
    int r = l + startBounds_.width(), b = t + startBounds_.height();
    if (edges_ & Qt::LeftEdge)
        l += d.x();
    if (edges_ & Qt::RightEdge)
        r += d.x();
    if (edges_ & Qt::TopEdge)
        t += d.y();
    if (edges_ & Qt::BottomEdge)
        b += d.y();
    // Limits keep the edge that is not dragged where it was.
    const TSizeConstraints& c = form_->Constraints();
    auto limit = [](int& lo, int& hi, bool movingLo, int minSize, int maxSize) {
        int size = hi - lo;
        size = std::max(size, std::max(minSize, 1));
        if (maxSize > 0)
            size = std::min(size, maxSize);
        if (movingLo)
            lo = hi - size;
        else
            hi = lo + size;
    };
    limit(l, r, edges_ & Qt::LeftEdge, c.MinWidth, c.MaxWidth);
    limit(t, b, edges_ & Qt::TopEdge, c.MinHeight, c.MaxHeight);
    form_->SetBounds(l, t, r - l, b - t);
    return true;
}

TsuiApplicationKeys::TsuiApplicationKeys(THandler handler) : handler_(std::move(handler))
{
    qApp->installEventFilter(this);
}

TsuiApplicationKeys::~TsuiApplicationKeys()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TsuiApplicationKeys::eventFilter(QObject* watched, QEvent* e)
{
    ++seen_;
    if (e->type() != QEvent::KeyPress || !handler_)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return false;
    // A key that travels on to the parents comes back at once, with no other event between;
    // a later key may well reuse the same address.
    const bool travelling = e == last_ && seen_ == lastSeen_ + 1 && lastTarget_ && w->isAncestorOf(lastTarget_);
    last_ = e;
    lastSeen_ = seen_;
    if (travelling)
        return false;
    lastTarget_ = w;
    return handler_(w, static_cast<QKeyEvent*>(e));
}

TForm* FormOfWidget(QObject* o)
{
    for (; o; o = o->parent())
        if (auto* f = qobject_cast<TForm*>(o))
            return f;
    return nullptr;
}

namespace {
Qt::CursorShape CursorForEdges(Qt::Edges e)
{
    const bool h = e & (Qt::LeftEdge | Qt::RightEdge), v = e & (Qt::TopEdge | Qt::BottomEdge);
    if (h && v)
        return ((e & Qt::LeftEdge) != 0) == ((e & Qt::TopEdge) != 0) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    return h ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}
} // namespace

bool HandleFrameMouse(TForm* form, QEvent* e, TsuiEdgeResizer& resizer, bool& edgeCursor)
{
    auto* me = static_cast<QMouseEvent*>(e);
    const QPoint global = me->globalPosition().toPoint();
    const TFormBorderStyle bs = form->BorderStyle();
    const bool canResize = (bs == bsSizeable || bs == bsSizeToolWin) && form->WindowState() == wsNormal;
    const Qt::Edges edges = canResize ? FrameEdgesAt(form->size(), me->position().toPoint(), form->BorderWidth()) : Qt::Edges();
    switch (e->type()) {
    case QEvent::MouseMove:
        if (resizer.Active())
            return resizer.Move(global);
        if (edges) {
            form->setCursor(CursorForEdges(edges));
            edgeCursor = true;
        } else if (edgeCursor) {
            form->unsetCursor();
            edgeCursor = false;
        }
        return false;
    case QEvent::MouseButtonPress:
        return me->button() == Qt::LeftButton && edges && resizer.Begin(form, edges, global);
    case QEvent::MouseButtonRelease:
        if (!resizer.Active())
            return false;
        resizer.End();
        return true;
    default:
        return false;
    }
}
