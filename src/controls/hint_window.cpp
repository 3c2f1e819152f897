#include "controls/hint_window.h"

#include "controls/button_glyph.h"
#include "controls/control_text.h"
#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/forms.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <cmath>

uint8_t HintShape = 0;
uint8_t HintShadowSize = 0;
bool HintTail = false;
int HintAlignment = 0;

namespace {

int RoundEven(double x) { return int(std::nearbyint(x)); }

// A canvas over the pixels of an image.
struct ImageCanvas {
    TCanvas canvas;
    explicit ImageCanvas(QImage& image, TFont* font)
    {
        canvas.SetBits(image.bits(), image.width(), image.height(), int(image.bytesPerLine()));
        canvas.Font()->Assign(font);
    }
    ~ImageCanvas() { canvas.SetBits(nullptr, 0, 0, 0); }
};

// Shows each hint of the program in a window of the hint window class: on the tooltip request
// of a control with a hint, until the mouse leaves that control, a key or button is pressed or
// the application's hide pause has passed.
class HintManager : public QObject {
public:
    HintManager()
    {
        hideTimer_.setSingleShot(true);
        connect(&hideTimer_, &QTimer::timeout, this, [this] { HideHint(); });
        qApp->installEventFilter(this);
        QToolTip::hideText();
    }
    ~HintManager() override
    {
        qApp->removeEventFilter(this);
        delete window_.data();
    }

    void SetClass(THintWindowClass c)
    {
        class_ = std::move(c);
        delete window_.data();
    }
    THintWindow* Window() const { return window_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::ToolTip:
            return watched->isWidgetType() && ShowHintFor(static_cast<QWidget*>(watched), static_cast<QHelpEvent*>(e));
        case QEvent::Leave:
            if (watched == control_)
                HideHint();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::ApplicationDeactivate:
            HideHint();
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool ShowHintFor(QWidget* w, QHelpEvent* e)
    {
        const QString text = w->toolTip();
        if (text.isEmpty() || !class_ || !Application->ShowHint())
            return false;
        if (!window_)
            window_ = class_();
        if (!window_)
            return false;
        window_->SetColor(Application->HintColor());
        const int screenWidth = Screen->Width();
        TRect r = window_->CalcHintRect(screenWidth, text);
        // Below the cursor, clear of its picture.
        OffsetRect(r, e->globalPos().x(), e->globalPos().y() + 20);
        RunGuarded([&] { window_->ActivateHint(r, text); });
        control_ = w;
        hideTimer_.start(std::max(1, Application->HintHidePause()));
        return true;
    }

    void HideHint()
    {
        hideTimer_.stop();
        control_ = nullptr;
        if (window_ && window_->isVisible())
            window_->ReleaseHint();
    }

    THintWindowClass class_;
    QPointer<THintWindow> window_;
    QPointer<QWidget> control_;
    QTimer hideTimer_;
};

HintManager* manager = nullptr;

} // namespace

// ---- THintWindow --------------------------------------------------------------------------------

THintWindow::THintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint)
    , font_(std::make_unique<TFont>())
    , color_(Application->HintColor())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    // The system's small interface font; the framework's default when there is none.
    const QFont system = QGuiApplication::font();
    if (!system.family().isEmpty() && system.pointSize() > 0) {
        font_->SetName(system.family());
        font_->SetSize(system.pointSize());
    } else {
        font_->SetName(QStringLiteral("MS Sans Serif"));
        font_->SetSize(8);
    }
    font_->SetColor(clInfoText);
}

THintWindow::~THintWindow() = default;

uint32_t THintWindow::TextFlags(int alignment) const
{
    const uint32_t align = alignment == 1 ? DT_RIGHT : alignment == 2 ? DT_CENTER : DT_LEFT;
    return DT_NOPREFIX | DT_WORDBREAK | align;
}

TRect THintWindow::CalcHintRect(int maxWidth, const QString& hint, void*)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    ImageCanvas c(scratch, font_.get());
    TRect r = Rect(0, 0, maxWidth, 0);
    DrawText(&c.canvas, hint, r, TextFlags(0) | DT_CALCRECT);
    r.Right += 8;
    r.Bottom += 4;
    return r;
}

void THintWindow::ActivateHint(const TRect& rect, const QString& hint)
{
    caption_ = hint;
    setGeometry(rect.Left, rect.Top, std::max(1, rect.Width()), std::max(1, rect.Height()));
    show();
    raise();
    update();
}

void THintWindow::PaintHint(QImage& target)
{
    ImageCanvas c(target, font_.get());
    TRect r = Rect(0, 0, target.width(), target.height());
    c.canvas.Brush()->SetColor(color_);
    c.canvas.FillRect(r);
    Frame3D(&c.canvas, r, cl3DLight, cl3DDkShadow);
    r.Left += 1;
    c.canvas.Brush()->SetStyle(bsClear);
    DrawText(&c.canvas, caption_, r, TextFlags(0));
    c.canvas.FinishDrawing();
}

void THintWindow::paintEvent(QPaintEvent*)
{
    // Built off screen and copied in one block.
    QImage picture(size(), QImage::Format_RGB32);
    PaintHint(picture);
    QPainter p(this);
    p.drawImage(0, 0, picture);
}

// ---- TRxHintWindow ------------------------------------------------------------------------------

TRxHintWindow::TRxHintWindow(QWidget* parent) : THintWindow(parent) {}
TRxHintWindow::~TRxHintWindow() = default;

bool TRxHintWindow::Styled() { return HintShape != 0 || HintShadowSize != 0 || HintTail; }

TRect TRxHintWindow::CalcHintRect(int maxWidth, const QString& hint, void*)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    ImageCanvas c(scratch, Font());
    TRect r = Rect(0, 0, maxWidth, 0);
    DrawText(&c.canvas, hint, r, TextFlags(HintAlignment) | DT_CALCRECT);
    r.Right += 8;
    r.Bottom += 4;

    body_ = r;
    text_ = r;
    InflateRect(text_, -1, -1);
    if (HintAlignment == 1)
        OffsetRect(text_, -4, 0);
    else if (HintAlignment == 2)
        OffsetRect(text_, -1, 0);
    cornerSize_ = std::max(6, std::min(r.Width(), r.Height()) / 4);
    if (HintShape == 1) {
        InflateRect(body_, cornerSize_ / 4, cornerSize_ / 4);
    } else if (HintShape == 2) {
        // The ellipse grows until it encloses the text rectangle.
        const double a = body_.Width() / 2.0, b = body_.Height() / 2.0;
        if (a != 0 && b != 0) {
            const int rr = RoundEven(b / 3);
            const double t = (b + rr) * (b + rr);
            InflateRect(body_, RoundEven(std::sqrt(a * a * t / (t - b * b))) - RoundEven(a), rr);
        }
    }
    TRect result = body_;
    OffsetRect(text_, -body_.Left, -body_.Top);
    OffsetRect(result, -body_.Left, -body_.Top);
    OffsetRect(body_, -body_.Left, -body_.Top);
    result.Right += HintShadowSize;
    result.Bottom += HintShadowSize;
    if (HintTail) {
        tailSize_ = std::max(14, std::min(text_.Width(), text_.Height()) / 2);
        tailShift_ = tailSize_ - 8;
        result.Right += tailShift_;
        result.Bottom += tailSize_;
    }
    return result;
}

void TRxHintWindow::ActivateHint(const TRect& rect, const QString& hint)
{
    const QPoint p = QCursor::pos();
    ActivateHintAt(rect, hint, {p.x(), p.y()});
}

void TRxHintWindow::ActivateHintAt(const TRect& rect, const QString& hint, TPoint cursor)
{
    SetCaption(hint);
    tailPosition_ = 2;
    TRect r = CalcHintRect(Screen->Width(), hint);
    OffsetRect(r, rect.Left, rect.Top);
    const int w = r.Width(), h = r.Height();
    int left = r.Left, top = r.Top;
    if (HintTail) {
        top = cursor.Y - h - 3;
        if (top < 0)
            top = rect.Top;
        left = cursor.X + 1;
    }
    // On the screen, never over the cursor (even when that puts part of it off the screen).
    const int screenW = Screen->Width(), screenH = Screen->Height();
    if (top + h > screenH) {
        top = screenH - h;
        if (cursor.Y >= top)
            top = cursor.Y - h - 3;
    }
    if (left + w > screenW) {
        left = screenW - w;
        if (cursor.X >= left)
            left = cursor.X - w - 3;
    }
    if (left < 0) {
        left = 0;
        if (w >= cursor.X)
            left = cursor.X - w - 1;
    }
    if (top < 0) {
        top = 0;
        if (h >= cursor.Y)
            top = cursor.Y - h - 1;
    }

    background_ = QImage();
    if (Styled()) {
        tailPosition_ = 2;
        if (top + h < cursor.Y)
            tailPosition_ = 0;
        if (left + w < cursor.X)
            tailPosition_ += 1;
        if (HintTail) {
            if (tailPosition_ >= 2) {
                OffsetRect(body_, 0, tailSize_);
                OffsetRect(text_, 0, tailSize_);
            }
            if (tailPosition_ == 0 || tailPosition_ == 2) {
                OffsetRect(body_, tailShift_, 0);
                OffsetRect(text_, tailShift_, 0);
            }
        }
        // The old hint leaves the screen before the screen is read.
        if (isVisible()) {
            hide();
            if (TForm* active = Screen->ActiveForm())
                active->repaint();
        }
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            if (QScreen* screen = QGuiApplication::primaryScreen())
                background_ = screen->grabWindow(0, left, top, w, h).toImage().convertToFormat(QImage::Format_RGB32);
    }
    setGeometry(left, top, std::max(1, w), std::max(1, h));
    show();
    raise();
    update();
}

QPainterPath TRxHintWindow::BuildRegion(bool shadowed, bool outline) const
{
    const int s = shadowed ? HintShadowSize : 0;
    TRect r = body_;
    OffsetRect(r, s, s);
    // An outline is drawn on the pixels just inside the filled area.
    const int inset = outline ? 1 : 0;
    const QRectF box(r.Left, r.Top, r.Width() - inset, r.Height() - inset);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (HintShape == 1)
        path.addRoundedRect(box, cornerSize_ / 2.0, cornerSize_ / 2.0);
    else if (HintShape == 2)
        path.addEllipse(box);
    else
        path.addRect(box);
    if (HintTail) {
        const int pos = tailPosition_;
        TRect t = text_;
        OffsetRect(t, s, s);
        const int tipX = (pos == 1 || pos == 3 ? width() : 0) + s;
        const int tipY = pos <= 1 ? height() - HintShadowSize : 0;
        const int baseY = pos <= 1 ? t.Bottom : t.Top;
        const int e = std::min(std::max(8, std::min(t.Width(), t.Height()) / 4), t.Width() / 2);
        const int x1 = pos == 0 || pos == 2 ? t.Left + e / 4 : t.Right - e / 4;
        const int x2 = pos == 0 || pos == 2 ? t.Left + 2 * e : t.Right - 2 * e;
        QPainterPath tail;
        tail.setFillRule(Qt::WindingFill);
        tail.addPolygon(QPolygonF({QPointF(tipX, tipY), QPointF(x1, baseY), QPointF(x2, baseY)}));
        tail.closeSubpath();
        path = path.united(tail);
    }
    return path;
}

void TRxHintWindow::PaintHint(QImage& target)
{
    if (!Styled()) {
        THintWindow::PaintHint(target);
        return;
    }
    ImageCanvas c(target, Font());
    QPainter* p = c.canvas.Handle();
    if (!background_.isNull())
        p->drawImage(0, 0, background_);
    else
        p->fillRect(target.rect(), ColorToQColor(Color()));
    p->setRenderHint(QPainter::Antialiasing, false);
    if (HintShadowSize > 0) {
        QImage dither(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                dither.setPixel(x, y, ColorToArgb((x + y) % 2 ? clWindowText : clBtnFace));
        p->fillPath(BuildRegion(true), QBrush(dither));
    }
    const QPainterPath shape = BuildRegion(false);
    p->fillPath(shape, ColorToQColor(Color()));
    if (HintShape != 0 || HintTail) {
        p->setPen(QPen(ColorToQColor(Font()->Color()), 1));
        p->setBrush(Qt::NoBrush);
        p->drawPath(BuildRegion(false, true));
    } else {
        TRect edge = body_;
        Frame3D(&c.canvas, edge, cl3DLight, cl3DDkShadow);
    }
    TRect r = text_;
    if (HintAlignment == 0)
        r.Left += 2;
    c.canvas.Brush()->SetStyle(bsClear);
    DrawText(&c.canvas, Caption(), r, TextFlags(HintAlignment));
    c.canvas.FinishDrawing();
}

// ---- Installing -----------------------------------------------------------------------------------

void SetHintWindowClass(THintWindowClass windowClass)
{
    if (!windowClass) {
        delete manager;
        manager = nullptr;
        return;
    }
    if (!manager)
        manager = new HintManager;
    manager->SetClass(std::move(windowClass));
}

void InstallStyledHintWindow(uint8_t shape, uint8_t shadowSize, bool tail, int alignment)
{
    HintShape = shape;
    HintShadowSize = shadowSize;
    HintTail = tail;
    HintAlignment = alignment;
    SetHintWindowClass([] { return new TRxHintWindow; });
}

THintWindow* CurrentHintWindow() { return manager ? manager->Window() : nullptr; }
