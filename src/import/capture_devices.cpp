#include "import/capture_devices.h"

#include <QAbstractNativeEventFilter>
#include <QCursor>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <map>

#include <xcb/xcb.h>

TScreenSource::~TScreenSource() = default;
THotKey::~THotKey() = default;

namespace {

class TDesktopScreen : public TScreenSource {
public:
    QPoint PointerPos() override { return QCursor::pos(); }
    QImage Grab(const QRect& block) override
    {
        // The block may span screens; each gives its part, in its own pixels, 1:1.
        QImage out(block.size(), QImage::Format_ARGB32);
        out.fill(0xFF000000u);
        QPainter p(&out);
        for (QScreen* screen : QGuiApplication::screens()) {
            const QRect part = block.intersected(screen->geometry());
            if (part.isEmpty())
                continue;
            const QRect local = part.translated(-screen->geometry().topLeft());
            const QPixmap shot = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
            p.drawImage(part.topLeft() - block.topLeft(), shot.toImage().scaled(part.size()));
        }
        return out;
    }
};

// Enter while a window of the program is active, for desktops that give no key of their own.
class TWindowHotKey : public THotKey, public QObject {
public:
    explicit TWindowHotKey(QString limitation) : limitation_(std::move(limitation)) {}
    bool Register(int id, std::function<void(int)> pressed) override
    {
        if (handlers_.empty())
            qApp->installEventFilter(this);
        handlers_[id] = std::move(pressed);
        return false;
    }
    void Unregister(int id) override
    {
        handlers_.erase(id);
        if (handlers_.empty())
            qApp->removeEventFilter(this);
    }
    bool IsRegistered(int id) const override { return handlers_.count(id) != 0; }
    QString Limitation() const override { return limitation_; }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat())
            return false;
        auto handlers = handlers_;
        for (auto& [id, pressed] : handlers)
            pressed(id);
        return !handlers.empty();
    }

private:
    QString limitation_;
    std::map<int, std::function<void(int)>> handlers_;
};

// The X server's key grab on the root window: Enter reaches us whichever program has the focus.
class TX11HotKey : public THotKey, public QAbstractNativeEventFilter {
public:
    TX11HotKey(xcb_connection_t* c, xcb_window_t root) : c_(c), root_(root) { keycode_ = ReturnKeycode(); }
    ~TX11HotKey() override
    {
        if (handlers_.empty())
            return;
        Ungrab();
        qApp->removeNativeEventFilter(this);
    }
    bool Register(int id, std::function<void(int)> pressed) override
    {
        if (!keycode_)
            return false;
        if (handlers_.empty()) {
            // Lock keys count as modifiers to the server; each combination is grabbed.
            bool ok = true;
            for (uint16_t mods : kLockVariants) {
                xcb_void_cookie_t ck = xcb_grab_key_checked(c_, 1, root_, mods, keycode_, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
                if (xcb_generic_error_t* e = xcb_request_check(c_, ck)) {
                    free(e);
                    ok = false;
                }
            }
            if (!ok) {
                Ungrab();
                return false;
            }
            qApp->installNativeEventFilter(this);
        }
        handlers_[id] = std::move(pressed);
        return true;
    }
    void Unregister(int id) override
    {
        if (!handlers_.erase(id) || !handlers_.empty())
            return;
        Ungrab();
        qApp->removeNativeEventFilter(this);
    }
    bool IsRegistered(int id) const override { return handlers_.count(id) != 0; }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & ~0x80) != XCB_KEY_PRESS)
            return false;
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
        if (key->detail != keycode_ || key->event != root_)
            return false;
        auto handlers = handlers_;
        for (auto& [id, pressed] : handlers)
            pressed(id);
        return true;
    }

private:
    static constexpr uint16_t kLockVariants[] = {0, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK};

    void Ungrab()
    {
        for (uint16_t mods : kLockVariants)
            xcb_ungrab_key(c_, keycode_, root_, mods);
        xcb_flush(c_);
    }
    xcb_keycode_t ReturnKeycode()
    {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* map =
            xcb_get_keyboard_mapping_reply(c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, uint8_t(count)), nullptr);
        if (!map)
            return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int per = map->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int k = 0; k < count && !found; ++k)
            for (int i = 0; i < per; ++i)
                if (syms[k * per + i] == 0xFF0D) { // Return
                    found = xcb_keycode_t(setup->min_keycode + k);
                    break;
                }
        free(map);
        return found;
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    xcb_keycode_t keycode_ = 0;
    std::map<int, std::function<void(int)>> handlers_;
};

} // namespace

std::unique_ptr<TScreenSource> MakeDesktopScreen()
{
    return std::make_unique<TDesktopScreen>();
}

std::unique_ptr<THotKey> MakeDesktopHotKey()
{
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        xcb_connection_t* c = x11->connection();
        if (c) {
            const xcb_setup_t* setup = xcb_get_setup(c);
            xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
            if (it.rem)
                return std::make_unique<TX11HotKey>(c, it.data->root);
        }
    }
    return std::make_unique<TWindowHotKey>(
        QStringLiteral("This desktop does not let a program take the Enter key from other programs: "
                       "keep the capture window active and press Enter there."));
}
