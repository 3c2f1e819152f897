#include "imaging/toolkit/toolkit_panwindow.h"

#include "framework/controls.h"
#include "framework/cursors.h"
#include "imaging/toolkit/toolkit_library.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QColor FromTColor(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The picture of a bitmap as it is shown (its view perspective applied), sharing the pixels when
// no turn is needed. The bitmap record passed in keeps them alive as long as the image is used.
QImage ShownImage(const TKBitmap& bitmap)
{
    if (!IsBitmapAllocated(&bitmap) || !bitmap.Pixels || bitmap.Width <= 0 || bitmap.Height <= 0)
        return QImage();
    const TKBitmap* source = &bitmap;
    TKBitmap turned;
    if (bitmap.ViewPerspective != 1) {
        if (TK_CopyBitmap(&bitmap, &turned) != TK_Success || TK_ChangeBitmapViewPerspective(&turned, 1) != TK_Success)
            return QImage();
        source = &turned;
    }
    if (source->BitsPerPixel <= 8)
        return BitmapImage(*source);
    const QImage::Format format = source->BitsPerPixel == 32 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
    const QImage view(source->Row(0), source->Width, source->Height, source->RowBytes, format);
    // A turned copy is about to go: the image takes pixels of its own then.
    return source == &turned ? view.copy() : view;
}

// ---- Pan window ------------------------------------------------------------------------------

class TKPanWindowWidget;

QSet<QWidget*>& PanWindows()
{
    static QSet<QWidget*> windows;
    return windows;
}

TKPanWindowWidget* FindPanWindow(TKPanWindow window);

class TKPanWindowWidget : public QWidget {
public:
    TKPanWindowWidget(QWidget* owner, TKPanWinCallback callback, void* userData)
        : QWidget(owner ? owner->window() : nullptr, Qt::Tool), owner_(owner), callback_(callback), userData_(userData)
    {
        PanWindows().insert(this);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setMouseTracking(false);
    }
    ~TKPanWindowWidget() override { End(); }

    // Tells the owner the window is gone, once.
    void End()
    {
        if (!PanWindows().remove(this))
            return;
        if (callback_)
            callback_(this, 2, 0, 0, userData_);
    }

    void Created()
    {
        if (callback_)
            callback_(this, 0, 0, 0, userData_);
    }

    void SetPicture(const TKBitmap& bitmap, uint32_t flags)
    {
        if (!(bitmap_.Pixels == bitmap.Pixels && bitmap_.ViewPerspective == bitmap.ViewPerspective &&
              bitmap_.Width == bitmap.Width && bitmap_.Height == bitmap.Height))
            shown_ = ShownImage(bitmap);
        bitmap_ = bitmap;
        flags_ = flags;
        update();
    }

    void SetFrame(const TKRect& frame, uint32_t color)
    {
        frame_ = frame;
        color_ = color;
        if (!dragging_)
            visible_ = VisibleFromFrame();
        update();
    }

    // The part of the picture the owner shows, in picture pixels as shown.
    QRectF VisibleFromFrame() const
    {
        if (shown_.isNull() || frame_.Width <= 0 || frame_.Height <= 0)
            return QRectF();
        const double pw = shown_.width(), ph = shown_.height();
        int cw = 0, ch = 0;
        if (auto control = qobject_cast<TControl*>(owner_.data())) {
            cw = control->ClientWidth();
            ch = control->ClientHeight();
        } else if (owner_) {
            cw = owner_->width();
            ch = owner_->height();
        }
        const double x0 = -frame_.Left * pw / frame_.Width;
        const double y0 = -frame_.Top * ph / frame_.Height;
        const double x1 = (cw - frame_.Left) * pw / frame_.Width;
        const double y1 = (ch - frame_.Top) * ph / frame_.Height;
        const QRectF all(0, 0, pw, ph);
        return QRectF(QPointF(x0, y0), QPointF(x1, y1)) & all;
    }

    QRectF Visible() const { return visible_; }

    // Where the whole picture is drawn in the window, and its scale.
    QRectF Placement(double* scale = nullptr) const
    {
        if (shown_.isNull())
            return QRectF();
        const double s = std::min(double(width()) / shown_.width(), double(height()) / shown_.height());
        if (scale)
            *scale = s;
        const double w = shown_.width() * s, h = shown_.height() * s;
        return QRectF((width() - w) / 2, (height() - h) / 2, w, h);
    }

    // The frame's top-left corner goes to (px, py) in picture pixels, kept inside the picture; the
    // owner hears of it.
    void MoveFrameTo(double px, double py)
    {
        if (shown_.isNull() || visible_.isEmpty())
            return;
        px = std::clamp(px, 0.0, std::max(0.0, shown_.width() - visible_.width()));
        py = std::clamp(py, 0.0, std::max(0.0, shown_.height() - visible_.height()));
        visible_.moveTo(px, py);
        update();
        QPointer<QWidget> self(this);
        if (callback_)
            callback_(this, 1, int32_t(std::lround(px)), int32_t(std::lround(py)), userData_);
        if (self)
            update();
    }

    // The frame centred on a point of the window.
    void CentreFrameAt(const QPointF& at)
    {
        double s = 0;
        const QRectF place = Placement(&s);
        if (s <= 0 || visible_.isEmpty())
            return;
        MoveFrameTo((at.x() - place.left()) / s - visible_.width() / 2, (at.y() - place.top()) / s - visible_.height() / 2);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        double s = 0;
        const QRectF place = Placement(&s);
        if (place.isEmpty())
            return;
        p.setRenderHint(QPainter::SmoothPixmapTransform, (flags_ & TKPW_SmoothMask) != 0);
        p.drawImage(place, shown_);
        if (!visible_.isEmpty()) {
            QPen pen(FromTColor(color_));
            pen.setWidth(2);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            const QRectF box(place.left() + visible_.left() * s, place.top() + visible_.top() * s, visible_.width() * s,
                             visible_.height() * s);
            p.drawRect(box.adjusted(1, 1, -1, -1));
        }
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        double s = 0;
        const QRectF place = Placement(&s);
        if (s <= 0 || visible_.isEmpty())
            return;
        const QRectF box(place.left() + visible_.left() * s, place.top() + visible_.top() * s, visible_.width() * s,
                         visible_.height() * s);
        if (!box.contains(e->position())) {
            CentreFrameAt(e->position());
            grab_ = QPointF(visible_.width() * s / 2, visible_.height() * s / 2);
        } else {
            grab_ = e->position() - box.topLeft();
        }
        dragging_ = true;
    }

    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!dragging_)
            return;
        double s = 0;
        const QRectF place = Placement(&s);
        if (s <= 0)
            return;
        const QPointF corner = e->position() - grab_;
        MoveFrameTo((corner.x() - place.left()) / s, (corner.y() - place.top()) / s);
    }

    void mouseReleaseEvent(QMouseEvent*) override
    {
        dragging_ = false;
        visible_ = VisibleFromFrame();
        update();
    }

    void closeEvent(QCloseEvent* e) override
    {
        e->accept();
        End();
        deleteLater();
    }

private:
    QPointer<QWidget> owner_;
    TKPanWinCallback callback_;
    void* userData_;
    TKBitmap bitmap_;
    QImage shown_;
    uint32_t flags_ = 0;
    TKRect frame_;
    uint32_t color_ = 0;
    QRectF visible_;
    bool dragging_ = false;
    QPointF grab_;
};

TKPanWindowWidget* FindPanWindow(TKPanWindow window)
{
    return window && PanWindows().contains(window) ? static_cast<TKPanWindowWidget*>(window) : nullptr;
}

// ---- Magnifier -------------------------------------------------------------------------------

class TKMagnifier;

QHash<QWidget*, TKMagnifier*>& Magnifiers()
{
    static QHash<QWidget*, TKMagnifier*> magnifiers;
    return magnifiers;
}

class TKGlass : public QWidget {
public:
    TKGlass(QWidget* parent, TKMagnifier* magnifier) : QWidget(parent), magnifier_(magnifier)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TKMagnifier* magnifier_;
};

class TKMagnifier : public QObject {
public:
    TKMagnifier(QWidget* window, const TKBitmap& bitmap, const TKRect& dest, const TKMagOptions& options,
                TKMagCallback callback, void* userData)
        : QObject(window), window_(window), bitmap_(bitmap), shown_(ShownImage(bitmap)), dest_(dest), options_(options),
          paintFlags_(options.PaintFlags), callback_(callback), userData_(userData)
    {
        Magnifiers().insert(window, this);
        hadTracking_ = window->hasMouseTracking();
        window->setMouseTracking(true);
        if (options_.Cursor != 0 && !(options_.Flags & TKMF_OwnerCursor)) {
            hadCursor_ = window->testAttribute(Qt::WA_SetCursor);
            oldCursor_ = window->cursor();
            window->setCursor(CursorShape(options_.Cursor));
            cursorSet_ = true;
        }
        glass_ = new TKGlass(window, this);
        glass_->resize(GlassWidth(), GlassHeight());
        window->installEventFilter(this);
    }

    ~TKMagnifier() override
    {
        Magnifiers().remove(window_);
        if (glass_)
            delete glass_.data();
        if (window_) {
            window_->removeEventFilter(this);
            window_->setMouseTracking(hadTracking_);
            if (cursorSet_) {
                if (hadCursor_)
                    window_->setCursor(oldCursor_);
                else
                    window_->unsetCursor();
            }
        }
    }

    int GlassWidth() const { return options_.A1 <= 0 ? 120 : std::min(options_.A1, 1024); }
    int GlassHeight() const { return options_.A2 <= 0 ? 120 : std::min(options_.A2, 1024); }
    double Magnification() const { return (options_.A3 < 100 ? 200 : std::min(options_.A3, 3200)) / 100.0; }

    void Update(const TKRect& dest, uint32_t paintFlags)
    {
        dest_ = dest;
        paintFlags_ = paintFlags;
        if (glass_ && glass_->isVisible())
            Place(lastMouse_);
    }
    void SetPaintOptions(int32_t options) { paintOptions_ = options; }

    // Shows the glass for the mouse at `at`; false when the point is off the picture.
    bool Place(const QPoint& at)
    {
        lastMouse_ = at;
        const QRect dest(dest_.Left, dest_.Top, dest_.Width, dest_.Height);
        const bool over = !shown_.isNull() && dest.isValid() && dest.contains(at) && window_ && window_->rect().contains(at);
        if (!over) {
            if (glass_ && glass_->isVisible()) {
                glass_->hide();
                Report(2, 0, 0);
            }
            return false;
        }
        hot_ = at;
        const int w = GlassWidth(), h = GlassHeight();
        QRect box(at.x() + options_.A7 - w / 2, at.y() + options_.A7 - h / 2, w, h);
        if (options_.A10 != 0) {
            box.moveLeft(std::clamp(box.left(), dest.left(), std::max(dest.left(), dest.right() + 1 - w)));
            box.moveTop(std::clamp(box.top(), dest.top(), std::max(dest.top(), dest.bottom() + 1 - h)));
        }
        if (glass_) {
            glass_->setGeometry(box);
            glass_->raise();
            glass_->show();
            glass_->update();
        }
        const QPoint pixel = PictureFloor(at);
        int32_t x = pixel.x(), y = pixel.y();
        TK_PointToBitmap(&bitmap_, &x, &y);
        Report(0, x, y);
        return true;
    }

    // The glass's picture for the mouse at the last placed point.
    void Paint(QPainter& p, const QRect& glassRect)
    {
        const double pw = shown_.width(), ph = shown_.height();
        if (shown_.isNull() || dest_.Width <= 0 || dest_.Height <= 0)
            return;
        const double sx = dest_.Width / pw, sy = dest_.Height / ph;
        const double m = Magnification();
        // The picture point under the mouse sits at the glass's hot spot.
        const double bx = (hot_.x() - dest_.Left + 0.5) / sx, by = (hot_.y() - dest_.Top + 0.5) / sy;
        const QPointF hotInGlass = QPointF(hot_) + QPointF(0.5, 0.5) - QPointF(glassRect.topLeft());
        const double sw = glassRect.width() / (sx * m), sh = glassRect.height() / (sy * m);
        const QRectF source(bx - hotInGlass.x() / (sx * m), by - hotInGlass.y() / (sy * m), sw, sh);
        const QRectF target(0, 0, glassRect.width(), glassRect.height());
        p.save();
        QPainterPath shape;
        if (options_.A6 != 0)
            shape.addEllipse(target);
        else
            shape.addRect(target);
        p.setClipPath(shape);
        p.fillRect(target, Qt::black);
        p.setRenderHint(QPainter::SmoothPixmapTransform, (paintFlags_ & TKPW_SmoothMask) != 0);
        p.drawImage(target, shown_, source);
        if (options_.A11 != 0) {
            p.setPen(QPen(FromTColor(uint32_t(options_.A9)), 1));
            p.drawLine(QPointF(hotInGlass.x(), 0), QPointF(hotInGlass.x(), target.height()));
            p.drawLine(QPointF(0, hotInGlass.y()), QPointF(target.width(), hotInGlass.y()));
        }
        p.restore();
        const int border = std::clamp(options_.A4, 0, 16);
        if (border > 0) {
            QPen pen(FromTColor(uint32_t(options_.A5)), border);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            const QRectF edge = target.adjusted(border / 2.0, border / 2.0, -border / 2.0, -border / 2.0);
            if (options_.A6 != 0)
                p.drawEllipse(edge);
            else
                p.drawRect(edge);
        }
    }

    QImage GlassAt(const QPoint& at)
    {
        if (!Place(at) || !glass_)
            return QImage();
        QImage image(glass_->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Paint(p, glass_->geometry());
        p.end();
        return image;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != window_)
            return false;
        switch (e->type()) {
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (options_.A8 != 0 && !(me->buttons() & Qt::LeftButton)) {
                if (glass_)
                    glass_->hide();
            } else {
                Place(me->position().toPoint());
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton && Place(me->position().toPoint())) {
                const QPoint pixel = PictureFloor(me->position().toPoint());
                int32_t x = pixel.x(), y = pixel.y();
                TK_PointToBitmap(&bitmap_, &x, &y);
                Report(1, x, y);
            }
            break;
        }
        case QEvent::Leave:
            if (glass_ && glass_->isVisible()) {
                glass_->hide();
                Report(2, 0, 0);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    QPoint PictureFloor(const QPoint& at) const
    {
        if (dest_.Width <= 0 || dest_.Height <= 0)
            return QPoint();
        const int x = int(std::floor((at.x() - dest_.Left) * double(shown_.width()) / dest_.Width));
        const int y = int(std::floor((at.y() - dest_.Top) * double(shown_.height()) / dest_.Height));
        return QPoint(std::clamp(x, 0, std::max(0, shown_.width() - 1)), std::clamp(y, 0, std::max(0, shown_.height() - 1)));
    }

    void Report(int32_t kind, int32_t x, int32_t y)
    {
        if (!callback_)
            return;
        const TKMagCallback callback = callback_;
        if (callback(kind, y, x, userData_) != 1)
            callback_ = nullptr;
    }

    QPointer<QWidget> window_;
    TKBitmap bitmap_;
    QImage shown_;
    TKRect dest_;
    TKMagOptions options_;
    uint32_t paintFlags_;
    int32_t paintOptions_ = 0;
    TKMagCallback callback_;
    void* userData_;
    QPointer<TKGlass> glass_;
    QPoint hot_;
    QPoint lastMouse_;
    bool hadTracking_ = false;
    bool cursorSet_ = false;
    bool hadCursor_ = false;
    QCursor oldCursor_;
};

void TKGlass::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    magnifier_->Paint(p, geometry());
}

QSet<QWidget*>& ScreenFrames()
{
    static QSet<QWidget*> frames;
    return frames;
}

class TKScreenFrame : public QWidget {
public:
    TKScreenFrame(QWidget* parent, uint32_t color) : QWidget(parent), color_(color)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
        ScreenFrames().insert(this);
    }
    ~TKScreenFrame() override { ScreenFrames().remove(this); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QPen(FromTColor(color_), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    uint32_t color_;
};

} // namespace

// ---- Pan window ------------------------------------------------------------------------------

int TK_CreatePanWindow(QWidget* owner, const TKBitmap* bitmap, uint32_t flags, int32_t x, int32_t y, int32_t width,
                       int32_t height, const QString& className, const QImage* icon, int32_t cursor, bool sysMenu,
                       TKPanWinCallback callback, void* userData, TKPanWindow* window)
{
    if (!owner || !bitmap || !window)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    auto* w = new TKPanWindowWidget(owner, callback, userData);
    w->setObjectName(className);
    Qt::WindowFlags windowFlags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (sysMenu)
        windowFlags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    w->setWindowFlags(windowFlags);
    if (icon && !icon->isNull())
        w->setWindowIcon(QIcon(QPixmap::fromImage(*icon)));
    if (cursor != 0)
        w->setCursor(CursorShape(cursor));
    w->move(x, y);
    w->resize(std::max(1, width), std::max(1, height));
    w->SetPicture(*bitmap, flags);
    *window = w;
    w->Created();
    if (FindPanWindow(w))
        w->show();
    return TK_Success;
}

int TK_UpdatePanWindow(TKPanWindow window, const TKBitmap* bitmap, uint32_t flags, const TKRect& frame,
                       uint32_t frameColor, const QString& title)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w || !bitmap)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    w->SetPicture(*bitmap, flags);
    if (flags & TKPW_NewFrame) {
        w->SetFrame(frame, frameColor);
        w->setWindowTitle(title);
    }
    return TK_Success;
}

int TK_MovePanWindow(TKPanWindow window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w)
        return TK_ErrParameter;
    w->move(x, y);
    w->resize(std::max(1, width), std::max(1, height));
    if (repaint)
        w->update();
    return TK_Success;
}

bool TK_PanWindowRect(TKPanWindow window, TKRect* rect)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w || !rect)
        return false;
    *rect = TKRect{w->x(), w->y(), w->width(), w->height()};
    return true;
}

bool TK_IsPanWindowVisible(TKPanWindow window)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    return w && w->isVisible();
}

void TK_HidePanWindow(TKPanWindow window)
{
    if (TKPanWindowWidget* w = FindPanWindow(window))
        w->hide();
}

int TK_DestroyPanWindow(TKPanWindow window)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w)
        return TK_ErrParameter;
    w->hide();
    w->End();
    // The call may come from inside the window's own mouse handling (an owner's event handler
    // closing it): the widget goes once that has returned.
    w->deleteLater();
    return TK_Success;
}

bool TK_PanWindowFrame(TKPanWindow window, TKRect* frame)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w || !frame)
        return false;
    const QRectF v = w->Visible();
    *frame = TKRect{int32_t(std::lround(v.left())), int32_t(std::lround(v.top())), int32_t(std::lround(v.width())),
                    int32_t(std::lround(v.height()))};
    return true;
}

int TK_DragPanWindowFrame(TKPanWindow window, int32_t x, int32_t y)
{
    TKPanWindowWidget* w = FindPanWindow(window);
    if (!w)
        return TK_ErrParameter;
    w->CentreFrameAt(QPointF(x, y));
    return TK_Success;
}

// ---- Magnifier -------------------------------------------------------------------------------

int TK_StartMagnifier(QWidget* window, const TKBitmap* bitmap, const TKRect& dest, const TKMagOptions* options,
                      TKMagCallback callback, void* userData)
{
    if (!window || !options || options->StructSize != sizeof(TKMagOptions) || !bitmap)
        return TK_ErrParameter;
    if (!IsBitmapAllocated(bitmap) || !bitmap->Pixels)
        return TK_ErrBitmapHandle;
    if (Magnifiers().contains(window))
        return TK_ErrNotSupported;
    new TKMagnifier(window, *bitmap, dest, *options, callback, userData);
    return TK_Success;
}

int TK_StopMagnifier(QWidget* window)
{
    TKMagnifier* m = Magnifiers().value(window);
    if (!m)
        return TK_ErrParameter;
    delete m;
    return TK_Success;
}

bool TK_IsMagnifierOn(QWidget* window)
{
    return window && Magnifiers().contains(window);
}

int TK_UpdateMagnifier(QWidget* window, const TKRect& dest, uint32_t paintFlags)
{
    TKMagnifier* m = Magnifiers().value(window);
    if (!m)
        return TK_ErrParameter;
    m->Update(dest, paintFlags);
    return TK_Success;
}

int TK_SetMagnifierPaintOptions(QWidget* window, int32_t options)
{
    TKMagnifier* m = Magnifiers().value(window);
    if (!m)
        return TK_ErrParameter;
    m->SetPaintOptions(options);
    return TK_Success;
}

QImage TK_MagnifierGlassAt(QWidget* window, int32_t x, int32_t y)
{
    TKMagnifier* m = Magnifiers().value(window);
    return m ? m->GlassAt(QPoint(x, y)) : QImage();
}

// ---- Screen ----------------------------------------------------------------------------------

int TK_CaptureScreenRect(const TKRect& rect, TKBitmap* bitmap)
{
    if (!bitmap)
        return TK_ErrParameter;
    if (rect.Width <= 0 || rect.Height <= 0)
        return TK_ErrWidthHeight;
    const QRect wanted(rect.Left, rect.Top, rect.Width, rect.Height);
    QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return TK_ErrNotSupported;
    const QRect geometry = screen->geometry();
    const QPixmap grabbed =
        screen->grabWindow(0, rect.Left - geometry.left(), rect.Top - geometry.top(), rect.Width, rect.Height);
    if (grabbed.isNull())
        return TK_ErrNotSupported;
    QImage image = grabbed.toImage().convertToFormat(QImage::Format_BGR888);
    if (image.size() != wanted.size())
        image = image.scaled(wanted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    TKBitmap out;
    const int r = TK_AllocateBitmap(&out, rect.Width, rect.Height, 24);
    if (r != TK_Success)
        return r;
    const size_t rowBytes = size_t(std::min<qsizetype>(image.bytesPerLine(), out.RowBytes));
    for (int y = 0; y < std::min(image.height(), out.Height); ++y)
        std::memcpy(out.Row(y), image.constScanLine(y), std::min(rowBytes, size_t(out.Width) * 3));
    *bitmap = std::move(out);
    return TK_Success;
}

QWidget* TK_DrawScreenFrame(QWidget* window, const TKRect& rect, uint32_t color)
{
    if (!window)
        return nullptr;
    auto* frame = new TKScreenFrame(window, color);
    const QPoint at = window->mapFromGlobal(QPoint(rect.Left, rect.Top));
    frame->setGeometry(at.x(), at.y(), std::max(1, rect.Width), std::max(1, rect.Height));
    frame->raise();
    frame->show();
    return frame;
}

void TK_RemoveScreenFrame(QWidget* frame)
{
    if (frame && ScreenFrames().contains(frame))
        delete frame;
}
