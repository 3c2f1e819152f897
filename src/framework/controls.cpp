#include "framework/controls.h"

#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "framework/menus.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Keys, shift state and colours

WORD QtKeyToVirtualKey(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return WORD('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return WORD('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return WORD(112 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 187;
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash: return 191;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return 0;
    }
}

int VirtualKeyToQtKey(WORD vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= 112 && vk <= 135)
        return Qt::Key_F1 + (vk - 112);
    if (vk >= 96 && vk <= 105) // numeric pad digits
        return Qt::Key_0 + (vk - 96);
    switch (vk) {
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 35: return Qt::Key_End;
    case 36: return Qt::Key_Home;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    case 106: return Qt::Key_Asterisk;
    case 107:
    case 187: return Qt::Key_Plus;
    case 109:
    case 189: return Qt::Key_Minus;
    case 110:
    case 190: return Qt::Key_Period;
    case 111:
    case 191: return Qt::Key_Slash;
    case 188: return Qt::Key_Comma;
    default: return 0;
    }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(QWidget* parent) : QWidget(parent), font_(std::make_unique<TFont>())
{
    if (auto p = qobject_cast<TControl*>(parent))
        font_->Assign(p->font_.get());
    font_->OnChange = [this](TObject*) {
        parentFont_ = false;
        FontChanged();
    };
    ApplyFont();
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

TControl::~TControl()
{
    if (auto pm = popupMenu_)
        disconnect(pm, nullptr, this, nullptr);
    font_->OnChange = nullptr;
}

TCanvas* TControl::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>();
    return canvas_.get();
}

void TControl::FreeNotification(QObject* component)
{
    if (!component || component == this || watched_.contains(component))
        return;
    watched_.append(component);
    connect(component, &QObject::destroyed, this, [this, component] {
        watched_.removeOne(component);
        Notification(component, opRemove);
    });
}

void TControl::RemoveFreeNotification(QObject* component)
{
    if (watched_.removeOne(component))
        disconnect(component, &QObject::destroyed, this, nullptr);
}

void TControl::Notification(QObject* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        RemoveFreeNotification(AComponent);
        if (AComponent == popupMenu_)
            popupMenu_ = nullptr;
    }
    // An owner passes the news on to what it owns, as components do.
    for (QObject* c : OwnedComponents(this))
        if (c != AComponent)
            if (auto n = dynamic_cast<TFreeNotify*>(c))
                n->Notification(AComponent, Operation);
}

int TControl::Left() const
{
    if (auto f = qobject_cast<const TForm*>(this))
        if (QWidget* frame = f->MdiFrame())
            return frame->x();
    return x();
}

int TControl::Top() const
{
    if (auto f = qobject_cast<const TForm*>(this))
        if (QWidget* frame = f->MdiFrame())
            return frame->y();
    return y();
}

int TControl::Width() const { return width(); }
int TControl::Height() const { return height(); }
int TControl::ClientWidth() const { return width(); }
int TControl::ClientHeight() const { return height(); }
void TControl::SetClientWidth(int v) { SetWidth(v + (Width() - ClientWidth())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (Height() - ClientHeight())); }

void TControl::ApplyConstraints(int& w, int& h) const
{
    if (constraints_.MinWidth > 0)
        w = std::max(w, constraints_.MinWidth);
    if (constraints_.MaxWidth > 0)
        w = std::min(w, constraints_.MaxWidth);
    if (constraints_.MinHeight > 0)
        h = std::max(h, constraints_.MinHeight);
    if (constraints_.MaxHeight > 0)
        h = std::min(h, constraints_.MaxHeight);
    w = std::max(w, 0);
    h = std::max(h, 0);
}

void TControl::SetConstraints(const TSizeConstraints& c)
{
    constraints_ = c;
    SetBounds(Left(), Top(), Width(), Height());
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    ApplyConstraints(width, height);
    const QSize oldSize = size();
    const bool moved = left != Left() || top != Top();
    const bool sized = oldSize != QSize(width, height);
    if (!moved && !sized) {
        if (!settingBounds_)
            RecordAnchorBase();
        return;
    }
    if (auto f = qobject_cast<TForm*>(this); f && f->MdiFrame()) {
        QWidget* frame = f->MdiFrame();
        const QSize extra = frame->size() - size();
        frame->setGeometry(left, top, width + extra.width(), height + extra.height());
    } else if (isWindow()) {
        move(left, top);
        resize(width, height);
    } else {
        setGeometry(left, top, width, height);
    }
    if (!settingBounds_)
        RecordAnchorBase();
    if (sized) {
        PlaceInner();
        if (auto w = qobject_cast<TWinControl*>(this))
            w->Realign();
        Resize();
    }
    if (!settingBounds_)
        RequestParentAlign();
}

void TControl::RecordAnchorBase()
{
    TControl* p = qobject_cast<TControl*>(parentWidget());
    if (!p) {
        anchorValid_ = false;
        return;
    }
    anchorBounds_ = BoundsRect();
    anchorParentSize_ = QSize(p->ClientWidth(), p->ClientHeight());
    anchorValid_ = true;
}

TPoint TControl::ClientToScreen(const TPoint& p) const
{
    const QPoint g = mapToGlobal(QPoint(p.X, p.Y));
    return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(const TPoint& p) const
{
    const QPoint l = mapFromGlobal(QPoint(p.X, p.Y));
    return {l.x(), l.y()};
}

TWinControl* TControl::Parent() const
{
    return qobject_cast<TWinControl*>(parentWidget());
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parentWidget())
        return;
    TWinControl* old = Parent();
    const QRect g = geometry();
    QWidget::setParent(parent);
    setGeometry(g);
    if (parent) {
        if (parentColor_)
            ParentColorChanged(parent->Color());
        if (parentFont_)
            ParentFontChanged(parent->Font());
        ApplyHint();
        if (visibleFlag_)
            QWidget::setVisible(true);
    }
    RecordAnchorBase();
    if (old)
        old->Realign();
    RequestParentAlign();
}

TForm* TControl::ParentForm() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto f = qobject_cast<TForm*>(w))
            return f;
    return nullptr;
}

void TControl::SetAlign(TAlign a)
{
    if (a == align_)
        return;
    align_ = a;
    RequestParentAlign();
}

void TControl::SetAnchors(TAnchors a)
{
    anchors_ = a;
    RecordAnchorBase();
}

void TControl::SetVisible(bool v)
{
    visibleFlag_ = v;
    // A child of a window that is not shown yet must not be shown on its own.
    if (v && !isWindow() && !parentWidget())
        return;
    QWidget::setVisible(v);
    RequestParentAlign();
}

void TControl::SetEnabled(bool v)
{
    if (v == enabledFlag_)
        return;
    enabledFlag_ = v;
    QWidget::setEnabled(v);
    EnabledChanged();
}

void TControl::EnabledChanged() { update(); }

void TControl::SetText(const QString& v)
{
    if (v == GetText() && v == text_)
        return;
    text_ = v;
    TextChanged();
}

void TControl::TextChanged()
{
    if (autoSize_)
        AdjustSize();
    update();
}

void TControl::SetColor(TColor c)
{
    parentColor_ = false;
    if (c == color_)
        return;
    color_ = c;
    ColorChanged();
}

void TControl::ParentColorChanged(TColor c)
{
    if (c == color_)
        return;
    color_ = c;
    ColorChanged();
}

void TControl::ColorChanged()
{
    for (QObject* o : children())
        if (auto c = qobject_cast<TControl*>(o); c && c->parentColor_)
            c->ParentColorChanged(color_);
    update();
}

void TControl::SetParentColor(bool v)
{
    parentColor_ = v;
    if (v)
        if (auto p = qobject_cast<TControl*>(parentWidget()))
            ParentColorChanged(p->Color());
}

void TControl::SetFont(TFont* f)
{
    if (f && f != font_.get())
        font_->Assign(f); // its OnChange clears ParentFont and repaints
}

void TControl::ParentFontChanged(TFont* f)
{
    auto change = std::move(font_->OnChange);
    font_->Assign(f);
    font_->OnChange = std::move(change);
    FontChanged();
}

void TControl::ApplyFont()
{
    QWidget::setFont(font_->ToQFont());
}

void TControl::FontChanged()
{
    ApplyFont();
    if (inner_) {
        inner_->setFont(font_->ToQFont());
        QPalette pal = inner_->palette();
        pal.setColor(QPalette::Text, QtFontColor());
        pal.setColor(QPalette::WindowText, QtFontColor());
        pal.setColor(QPalette::ButtonText, QtFontColor());
        inner_->setPalette(pal);
    }
    for (QObject* o : children())
        if (auto c = qobject_cast<TControl*>(o); c && c->parentFont_)
            c->ParentFontChanged(font_.get());
    if (autoSize_)
        AdjustSize();
    update();
}

void TControl::SetParentFont(bool v)
{
    parentFont_ = v;
    if (v)
        if (auto p = qobject_cast<TControl*>(parentWidget()))
            ParentFontChanged(p->Font());
}

void TControl::SetHint(const QString& h)
{
    hint_ = h;
    ApplyHint();
}

void TControl::SetShowHint(bool v)
{
    showHint_ = v;
    parentShowHint_ = false;
    ApplyHint();
}

void TControl::SetParentShowHint(bool v)
{
    parentShowHint_ = v;
    ApplyHint();
}

void TControl::ApplyHint()
{
    bool show = showHint_;
    if (parentShowHint_)
        if (auto p = qobject_cast<TControl*>(parentWidget()))
            show = p->parentShowHint_ ? p->ShowHint() || p->parentShowHint_ : p->ShowHint();
    // The short hint is the part before '|'; the long one goes to Application.Hint.
    const QString shortHint = hint_.section(QLatin1Char('|'), 0, 0);
    setToolTip(show && Application->ShowHint() ? shortHint : QString());
    if (inner_)
        inner_->setToolTip(toolTip());
}

void TControl::SetCursor(TCursor c)
{
    cursor_ = c;
    setCursor(CursorShape(c));
}

void TControl::SetTabOrder(int v) { tabOrder_ = v; }

void TControl::SetTabStop(bool v)
{
    tabStop_ = v;
    QWidget* target = inner_ ? inner_ : this;
    target->setFocusPolicy(v ? Qt::StrongFocus : (inner_ ? Qt::ClickFocus : Qt::NoFocus));
}

void TControl::SetAutoSize(bool v)
{
    autoSize_ = v;
    if (v)
        AdjustSize();
}

void TControl::AdjustSize()
{
    if (IsLoading())
        return;
    DoAutoSize();
}

void TControl::DoAutoSize()
{
    const QSize s = AutoSizeExtent();
    SetBounds(Left(), Top(), s.width(), s.height());
}

TPopupMenu* TControl::PopupMenu() const { return qobject_cast<TPopupMenu*>(popupMenu_); }

void TControl::SetPopupMenu(TPopupMenu* m)
{
    if (popupMenu_)
        disconnect(popupMenu_, nullptr, this, nullptr);
    popupMenu_ = m;
    if (m)
        connect(m, &QObject::destroyed, this, [this] { popupMenu_ = nullptr; });
}

void TControl::SetControlStyle(TControlStyle s)
{
    controlStyle_ = s;
    if (s & csOpaque)
        setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TControl::Focused() const
{
    const QWidget* target = inner_ ? inner_ : this;
    return target->hasFocus();
}

bool TControl::CanFocus() const
{
    for (const QWidget* w = this; w; w = w->parentWidget()) {
        if (auto c = qobject_cast<const TControl*>(w); c && (!c->visibleFlag_ || !c->enabledFlag_))
            return false;
        if (w->isWindow())
            break;
    }
    return true;
}

void TControl::SetFocus()
{
    QWidget* target = inner_ ? inner_ : this;
    if (target->focusPolicy() == Qt::NoFocus)
        target->setFocusPolicy(Qt::ClickFocus);
    target->setFocus(Qt::OtherFocusReason);
}

bool TControl::IsLoading() const
{
    for (const QObject* o = this; o; o = o->parent()) {
        if (auto f = qobject_cast<const TForm*>(o))
            return f->Loading();
    }
    return false;
}

void TControl::Loaded()
{
    RecordAnchorBase();
    if (autoSize_)
        DoAutoSize();
}

void TControl::Click() { Fire(OnClick, this); }
void TControl::DblClick() { Fire(OnDblClick, this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    Fire(OnMouseDown, this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) { Fire(OnMouseMove, this, shift, x, y); }

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Fire(OnMouseUp, this, button, shift, x, y);
}

void TControl::MouseEnter() { Fire(OnMouseEnter, this); }
void TControl::MouseLeave() { Fire(OnMouseLeave, this); }
void TControl::KeyDown(WORD& key, TShiftState shift) { Fire(OnKeyDown, this, key, shift); }
void TControl::KeyPress(QChar& key) { Fire(OnKeyPress, this, key); }
void TControl::KeyUp(WORD& key, TShiftState shift) { Fire(OnKeyUp, this, key, shift); }
void TControl::Resize() { Fire(OnResize, this); }
void TControl::DoEnter() { Fire(OnEnter, this); }
void TControl::DoExit() { Fire(OnExit, this); }

QColor TControl::QtColor() const { return ColorToQColor(color_); }
QColor TControl::QtFontColor() const { return ColorToQColor(font_->Color()); }

void TControl::FireGuarded(const std::function<void()>& fn)
{
    RunGuarded(fn, this);
}

bool TControl::HandleKeyDown(QKeyEvent* e, QChar* ch)
{
    WORD key = QtKeyToVirtualKey(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    TForm* form = qobject_cast<TForm*>(this) ? nullptr : ParentForm();
    if (form && form->KeyPreview() && key != 0) {
        form->Fire(form->OnKeyDown, form, key, shift);
        if (key == 0)
            return false;
    }
    if (key != 0) {
        KeyDown(key, shift);
        if (key == 0)
            return false;
    }
    const QString t = e->text();
    if (!t.isEmpty() && (t[0].unicode() >= 32 || t[0] == QLatin1Char('\r') || t[0] == QLatin1Char('\b') || t[0] == QChar(27))) {
        QChar c = t[0];
        if (form && form->KeyPreview()) {
            form->Fire(form->OnKeyPress, form, c);
            if (c.isNull())
                return false;
        }
        KeyPress(c);
        if (c.isNull())
            return false;
        if (ch)
            *ch = c;
    }
    return true;
}

bool TControl::HandleKeyUp(QKeyEvent* e)
{
    WORD key = QtKeyToVirtualKey(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    TForm* form = qobject_cast<TForm*>(this) ? nullptr : ParentForm();
    if (form && form->KeyPreview() && key != 0) {
        form->Fire(form->OnKeyUp, form, key, shift);
        if (key == 0)
            return false;
    }
    if (key != 0)
        KeyUp(key, shift);
    return key != 0;
}

void TControl::SetInnerWidget(QWidget* inner, int border)
{
    inner_ = inner;
    innerBorder_ = border;
    inner->setParent(this);
    inner->installEventFilter(this);
    inner->setMouseTracking(true);
    // Scrolling views take their mouse events on the viewport.
    if (auto area = qobject_cast<QAbstractScrollArea*>(inner)) {
        innerViewport_ = area->viewport();
        innerViewport_->installEventFilter(this);
        innerViewport_->setMouseTracking(true);
    }
    inner->setFont(font_->ToQFont());
    setFocusProxy(inner);
    PlaceInner();
    inner->show();
    FontChanged();
}

void TControl::SetInnerBorder(int border)
{
    innerBorder_ = border;
    PlaceInner();
}

void TControl::PlaceInner()
{
    if (!inner_)
        return;
    const int b = innerBorder_;
    inner_->setGeometry(b, b, std::max(0, width() - 2 * b), std::max(0, height() - 2 * b));
}

namespace {

TMouseButton MouseButtonFromQt(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

} // namespace

bool TControl::event(QEvent* e)
{
    // No exception may cross Qt's event loop: whatever a handler throws is shown by the
    // application's handler and the event counts as handled.
    bool result = true;
    RunGuarded([&] { result = QWidget::event(e); }, this);
    return result;
}

bool TControl::eventFilter(QObject* watched, QEvent* e)
{
    if ((watched != inner_ && (watched != innerViewport_ || !innerViewport_)) || innerKeyRouted_)
        return QWidget::eventFilter(watched, e);
    QWidget* source = static_cast<QWidget*>(watched);
    bool swallow = false;
    RunGuarded(
        [&] {
            switch (e->type()) {
            case QEvent::MouseButtonPress: {
                auto* m = static_cast<QMouseEvent*>(e);
                const QPoint p = source->mapTo(this, m->position().toPoint());
                MouseDown(MouseButtonFromQt(m->button()), ShiftStateFromQt(m->modifiers(), m->buttons()), p.x(), p.y());
                break;
            }
            case QEvent::MouseButtonDblClick: {
                auto* m = static_cast<QMouseEvent*>(e);
                const QPoint p = source->mapTo(this, m->position().toPoint());
                if (controlStyle_ & csDoubleClicks)
                    DblClick();
                MouseDown(MouseButtonFromQt(m->button()),
                          ShiftStateFromQt(m->modifiers(), m->buttons()) | ssDouble, p.x(), p.y());
                break;
            }
            case QEvent::MouseMove: {
                auto* m = static_cast<QMouseEvent*>(e);
                const QPoint p = source->mapTo(this, m->position().toPoint());
                MouseMove(ShiftStateFromQt(m->modifiers(), m->buttons()), p.x(), p.y());
                break;
            }
            case QEvent::MouseButtonRelease: {
                auto* m = static_cast<QMouseEvent*>(e);
                const QPoint p = source->mapTo(this, m->position().toPoint());
                MouseUp(MouseButtonFromQt(m->button()), ShiftStateFromQt(m->modifiers(), m->buttons()), p.x(), p.y());
                break;
            }
            case QEvent::KeyPress: {
                auto* k = static_cast<QKeyEvent*>(e);
                QChar ch;
                if (!HandleKeyDown(k, &ch)) {
                    swallow = true;
                } else if (!ch.isNull() && !k->text().isEmpty() && ch != k->text()[0]) {
                    // A handler replaced the character: the inner widget gets the new one.
                    QKeyEvent replaced(QEvent::KeyPress, 0, k->modifiers(), QString(ch));
                    innerKeyRouted_ = true;
                    QCoreApplication::sendEvent(inner_, &replaced);
                    innerKeyRouted_ = false;
                    swallow = true;
                } else {
                    innerKeyEvent_ = k;
                }
                break;
            }
            case QEvent::KeyRelease:
                if (!HandleKeyUp(static_cast<QKeyEvent*>(e)))
                    swallow = true;
                break;
            case QEvent::FocusIn:
                DoEnter();
                break;
            case QEvent::FocusOut:
                DoExit();
                break;
            case QEvent::ContextMenu: {
                auto* c = static_cast<QContextMenuEvent*>(e);
                if (auto pm = PopupMenu()) {
                    pm->SetPopupComponent(this);
                    pm->Popup(c->globalPos().x(), c->globalPos().y());
                    swallow = true;
                }
                break;
            }
            default:
                break;
            }
        },
        this);
    return swallow;
}

// The control that took the last left press keeps the mouse until the release, as on the
// platform the system was written for, even when its press handler hides it and shows a pressed
// picture in its place (the palette's flip buttons): Qt drops the grab of a hidden widget and
// the release would reach nobody, so the click would never complete. The keeper watches the
// releases that reach top-level windows and hands such a release to the hidden control.
class TLeftPressKeeper : public QObject {
public:
    static TLeftPressKeeper& Instance()
    {
        static auto* keeper = [] {
            auto* k = new TLeftPressKeeper;
            qApp->installEventFilter(k);
            return k;
        }();
        return *keeper;
    }
    void Pressed(TControl* control) { pressed_ = control; }

    // A release already handed over, so that a late delivery by Qt to the same control is not
    // taken twice.
    TControl* handedTo = nullptr;
    quint64 handedTimestamp = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonRelease || !watched->isWindowType())
            return false;
        auto* me = static_cast<QMouseEvent*>(e);
        TControl* pressed = pressed_;
        if (me->button() != Qt::LeftButton || !pressed)
            return false;
        pressed_ = nullptr;
        if (!pressed->leftDown_ || pressed->isVisible())
            return false;
        const QPointF at = pressed->mapFromGlobal(me->globalPosition());
        QMouseEvent handed(QEvent::MouseButtonRelease, at, me->globalPosition(), me->button(), me->buttons(),
                           me->modifiers());
        handed.setTimestamp(me->timestamp());
        handedTo = pressed;
        handedTimestamp = me->timestamp();
        pressed->mouseReleaseEvent(&handed);
        return false;
    }

private:
    QPointer<TControl> pressed_;
};

void TControl::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;
        TLeftPressKeeper::Instance().Pressed(this);
    }
    if (focusPolicy() != Qt::NoFocus && !inner_)
        setFocus(Qt::MouseFocusReason);
    MouseDown(MouseButtonFromQt(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    MouseMove(ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    TLeftPressKeeper& keeper = TLeftPressKeeper::Instance();
    if (keeper.handedTo == this && e->spontaneous() && e->timestamp() == keeper.handedTimestamp) {
        keeper.handedTo = nullptr;
        return;
    }
    const QPoint p = e->position().toPoint();
    const bool click = e->button() == Qt::LeftButton && leftDown_;
    if (e->button() == Qt::LeftButton)
        leftDown_ = false;
    MouseUp(MouseButtonFromQt(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
    if (click && rect().contains(p) && (controlStyle_ & csClickEvents))
        Click();
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    // The framework clicks on the first release only; the second press is a double click.
    leftDown_ = false;
    if (controlStyle_ & csDoubleClicks)
        DblClick();
    MouseDown(MouseButtonFromQt(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()) | ssDouble, p.x(), p.y());
}

void TControl::wheelEvent(QWheelEvent* e)
{
    bool handled = false;
    const QPoint g = e->globalPosition().toPoint();
    Fire(OnMouseWheel, this, ShiftStateFromQt(e->modifiers(), e->buttons()), e->angleDelta().y(),
         TPoint{g.x(), g.y()}, handled);
    if (handled)
        e->accept();
    else
        QWidget::wheelEvent(e);
}

void TControl::keyPressEvent(QKeyEvent* e)
{
    if (e == innerKeyEvent_) {
        // The inner widget did not want the key: only dialog keys remain to be done.
        innerKeyEvent_ = nullptr;
    } else if (!HandleKeyDown(e, nullptr)) {
        e->accept();
        return;
    }
    const WORD key = QtKeyToVirtualKey(e->key());
    if ((key == VK_RETURN || key == VK_ESCAPE) && !(e->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
        TForm* form = qobject_cast<TForm*>(this);
        if (!form)
            form = ParentForm();
        if (form && form->DialogKey(key)) {
            e->accept();
            return;
        }
    }
    e->accept();
}

void TControl::keyReleaseEvent(QKeyEvent* e)
{
    if (!inner_)
        HandleKeyUp(e);
    e->accept();
}

void TControl::enterEvent(QEnterEvent* e)
{
    QWidget::enterEvent(e);
    if (!hint_.isEmpty())
        Application->SetHint(hint_.section(QLatin1Char('|'), -1));
    MouseEnter();
}

void TControl::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (!hint_.isEmpty())
        Application->SetHint(QString());
    MouseLeave();
}

void TControl::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    DoEnter();
}

void TControl::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    DoExit();
}

void TControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    PlaceInner();
}

void TControl::contextMenuEvent(QContextMenuEvent* e)
{
    if (auto pm = PopupMenu()) {
        pm->SetPopupComponent(this);
        pm->Popup(e->globalPos().x(), e->globalPos().y());
        e->accept();
        return;
    }
    QWidget::contextMenuEvent(e);
}

void TControl::SetFillsBackground(bool v)
{
    fillBackground_ = v;
    update();
}

void TControl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    TCanvas* c = Canvas();
    c->SetPainter(&p);
    // Each paint starts from the control's own font and colour, as the framework's canvases do.
    c->Font()->Assign(font_.get());
    c->Brush()->SetColor(color_);
    c->Brush()->SetStyle(bsSolid);
    RunGuarded([this] { PaintControl(); }, this);
    c->SetPainter(nullptr);
}

void TControl::PaintControl()
{
    if (fillBackground_ && !(controlStyle_ & csOpaque) && color_ != clNone)
        Canvas()->Handle()->fillRect(rect(), QtColor());
}

void TControl::RequestParentAlign()
{
    if (auto p = qobject_cast<TWinControl*>(parentWidget()))
        p->RequestAlign(this);
}

bool TControl::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    if (n.startsWith(QLatin1String("font.")))
        return TDefinitionReader::ApplyFontProperty(name.mid(5), value, font_.get());
    if (n.startsWith(QLatin1String("constraints."))) {
        const QString field = n.mid(12);
        const int v = int(reader.IntegerValue(value));
        if (field == QLatin1String("minwidth"))
            constraints_.MinWidth = v;
        else if (field == QLatin1String("minheight"))
            constraints_.MinHeight = v;
        else if (field == QLatin1String("maxwidth"))
            constraints_.MaxWidth = v;
        else if (field == QLatin1String("maxheight"))
            constraints_.MaxHeight = v;
        else
            return false;
        return true;
    }
    if (n == QLatin1String("popupmenu")) {
        reader.ResolveReference(value, this, [this](QObject* target) {
            auto m = qobject_cast<TPopupMenu*>(target);
            if (!m)
                return false;
            SetPopupMenu(m);
            return true;
        });
        return true;
    }
    return false;
}

bool TControl::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnClick", OnClick, h, "TObject*")
        || BindEventTo(name, "OnDblClick", OnDblClick, h, "TObject*")
        || BindEventTo(name, "OnMouseDown", OnMouseDown, h, "TObject*,TMouseButton,TShiftState,int,int")
        || BindEventTo(name, "OnMouseMove", OnMouseMove, h, "TObject*,TShiftState,int,int")
        || BindEventTo(name, "OnMouseUp", OnMouseUp, h, "TObject*,TMouseButton,TShiftState,int,int")
        || BindEventTo(name, "OnMouseEnter", OnMouseEnter, h, "TObject*")
        || BindEventTo(name, "OnMouseLeave", OnMouseLeave, h, "TObject*")
        || BindEventTo(name, "OnMouseWheel", OnMouseWheel, h, "TObject*,TShiftState,int,TPoint,bool&")
        || BindEventTo(name, "OnKeyDown", OnKeyDown, h, "TObject*,WORD&,TShiftState")
        || BindEventTo(name, "OnKeyPress", OnKeyPress, h, "TObject*,QChar&")
        || BindEventTo(name, "OnKeyUp", OnKeyUp, h, "TObject*,WORD&,TShiftState")
        || BindEventTo(name, "OnResize", OnResize, h, "TObject*")
        || BindEventTo(name, "OnEnter", OnEnter, h, "TObject*")
        || BindEventTo(name, "OnExit", OnExit, h, "TObject*");
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(QWidget* parent) : TControl(parent)
{
    SetFillsBackground(true);
    SetControlStyle(ControlStyle() | csAcceptsControls);
}

QList<TControl*> TWinControl::ControlList() const
{
    QList<TControl*> list;
    for (QObject* o : children())
        if (auto c = qobject_cast<TControl*>(o); c && !c->isWindow())
            list << c;
    return list;
}

int TWinControl::ControlCount() const { return int(ControlList().size()); }

TControl* TWinControl::Controls(int index) const
{
    const QList<TControl*> list = ControlList();
    return index >= 0 && index < list.size() ? list[index] : nullptr;
}

void TWinControl::SetBorderWidth(int v)
{
    borderWidth_ = std::max(0, v);
    Realign();
    update();
}

void TWinControl::RealignAll()
{
    Realign();
    for (TControl* c : ControlList())
        if (auto w = qobject_cast<TWinControl*>(c))
            w->RealignAll();
}

void TWinControl::EnableAlign()
{
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_)
        Realign();
}

void TWinControl::RequestAlign(TControl*)
{
    if (aligning_)
        return;
    Realign();
}

void TWinControl::Realign()
{
    // While the window is built, positions are as designed; one pass follows the build.
    if (alignDisabled_ > 0 || IsLoading()) {
        alignPending_ = true;
        return;
    }
    if (aligning_)
        return;
    alignPending_ = false;
    aligning_ = true;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
    aligning_ = false;
}

void TWinControl::AdjustClientRect(TRect& rect) const
{
    InflateRect(rect, -borderWidth_, -borderWidth_);
}

void TWinControl::AlignControls(TControl*, TRect& rect)
{
    const QList<TControl*> all = ControlList();
    auto place = [](TControl* c, int l, int t, int w, int h) {
        c->settingBounds_ = true;
        c->SetBounds(l, t, std::max(0, w), std::max(0, h));
        c->settingBounds_ = false;
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        QList<TControl*> list;
        for (TControl* c : all)
            if (c->align_ == a && c->visibleFlag_)
                list << c;
        // Within one alignment the controls keep their visual order: nearest the edge first.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop: return x->Top() < y->Top();
            case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
            case alLeft: return x->Left() < y->Left();
            case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            switch (a) {
            case alTop:
                place(c, rect.Left, rect.Top, rect.Width(), c->Height());
                rect.Top += c->Height();
                break;
            case alBottom:
                place(c, rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
                rect.Bottom -= c->Height();
                break;
            case alLeft:
                place(c, rect.Left, rect.Top, c->Width(), rect.Height());
                rect.Left += c->Width();
                break;
            case alRight:
                place(c, rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
                rect.Right -= c->Width();
                break;
            case alClient:
                place(c, rect.Left, rect.Top, rect.Width(), rect.Height());
                break;
            default:
                break;
            }
        }
    }
    // Anchored controls follow the parent's size from where they were put.
    const int pw = ClientWidth();
    const int ph = ClientHeight();
    for (TControl* c : all) {
        if (c->align_ != alNone || !c->anchorValid_)
            continue;
        const TAnchors an = c->anchors_;
        const int dw = pw - c->anchorParentSize_.width();
        const int dh = ph - c->anchorParentSize_.height();
        if (dw == 0 && dh == 0)
            continue;
        TRect b = c->anchorBounds_;
        int l = b.Left, t = b.Top, w = b.Width(), h = b.Height();
        if ((an & akLeft) && (an & akRight))
            w += dw;
        else if (an & akRight)
            l += dw;
        else if (!(an & akLeft))
            l += dw / 2;
        if ((an & akTop) && (an & akBottom))
            h += dh;
        else if (an & akBottom)
            t += dh;
        else if (!(an & akTop))
            t += dh / 2;
        place(c, l, t, w, h);
    }
}

void TWinControl::resizeEvent(QResizeEvent* e)
{
    TControl::resizeEvent(e);
    Realign();
}

void TWinControl::childEvent(QChildEvent* e)
{
    TControl::childEvent(e);
    if (e->type() == QEvent::ChildRemoved && !aligning_)
        alignPending_ = true, Realign();
}

// ---------------------------------------------------------------------------------------------

TGraphicControl::TGraphicControl(QWidget* parent) : TControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TGraphicControl::Paint() {}

void TGraphicControl::PaintControl()
{
    TControl::PaintControl();
    Paint();
}

TCustomControl::TCustomControl(QWidget* parent) : TWinControl(parent) {}

void TCustomControl::Paint() {}

void TCustomControl::PaintControl()
{
    TWinControl::PaintControl();
    Paint();
}
