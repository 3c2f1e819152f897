#include "imaging/bitmap/theme_nexus.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <mutex>

namespace {

std::mutex& LoaderLock()
{
    static std::mutex lock;
    return lock;
}

TThemeLibraryLoader& Loader()
{
    static TThemeLibraryLoader loader;
    return loader;
}

std::atomic<uintptr_t> nextWindow{1};

// Stands for the nexus's hidden window: hears a theme change once however many windows are told
// of it, and a palette change of the whole application, and hands either on as the message the
// theme service would send.
class TThemeListener : public QObject {
public:
    explicit TThemeListener(QObject* app) : QObject(app) { app->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const bool themeChange = e->type() == QEvent::ThemeChange && watched->isWindowType();
        const bool paletteChange = e->type() == QEvent::ApplicationPaletteChange && watched == parent();
        if ((themeChange || paletteChange) && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                ThemeNexus()->WindowProc(TThemeNexus::ThemeChangedMessage);
            });
        }
        return false;
    }

private:
    bool pending_ = false;
};

QPointer<TThemeListener>& Listener()
{
    static QPointer<TThemeListener> listener;
    return listener;
}

} // namespace

void SetThemeLibraryLoader(TThemeLibraryLoader loader)
{
    std::lock_guard<std::mutex> g(LoaderLock());
    Loader() = std::move(loader);
}

TThemeNexus::TThemeNexus() : window_(nextWindow.fetch_add(1))
{
    OpenVisuals();
}

TThemeNexus::~TThemeNexus()
{
    CloseVisuals();
}

bool TThemeNexus::LoadThemeLibrary()
{
    if (loaded_)
        return true;
    TThemeLibraryLoader loader;
    {
        std::lock_guard<std::mutex> g(LoaderLock());
        loader = Loader();
    }
    TThemeEntryPoints entries;
    if (!loader || !loader(entries))
        return false;
    // Without the five entry points the nexus calls, the service is as good as absent.
    if (!entries.OpenThemeData || !entries.CloseThemeData || !entries.IsThemeActive || !entries.IsAppThemed ||
        !entries.EnableTheming) {
        entries_ = {};
        return false;
    }
    entries_ = std::move(entries);
    loaded_ = true;
    return true;
}

void TThemeNexus::UnloadThemeLibrary()
{
    entries_ = {};
    loaded_ = false;
}

bool TThemeNexus::ThemesActive() const
{
    return loaded_ && entries_.IsAppThemed() != 0 && entries_.IsThemeActive() != 0;
}

void TThemeNexus::OpenVisuals()
{
    themesInUse_ = false;
    if (LoadThemeLibrary())
        themesInUse_ = ThemesActive();
    if (themesInUse_) {
        scrollBarTheme_ = entries_.OpenThemeData(window_, u"SCROLLBAR");
        globalsTheme_ = entries_.OpenThemeData(window_, u"GLOBALS");
    }
}

void TThemeNexus::CloseVisuals()
{
    // Whatever was opened is closed while the service is there, also when the desktop has just
    // stopped using themes: the handles would otherwise be lost with the unloaded service.
    if (loaded_) {
        if (scrollBarTheme_ != 0) {
            entries_.CloseThemeData(scrollBarTheme_);
            scrollBarTheme_ = 0;
        }
        if (globalsTheme_ != 0) {
            entries_.CloseThemeData(globalsTheme_);
            globalsTheme_ = 0;
        }
    }
    UnloadThemeLibrary();
}

void TThemeNexus::WindowProc(uint32_t message)
{
    if (message == ThemeChangedMessage) {
        CloseVisuals();
        OpenVisuals();
    }
}

TThemeNexus* ThemeNexus()
{
    static const std::unique_ptr<TThemeNexus> nexus = std::make_unique<TThemeNexus>();
    return nexus.get();
}

void InstallThemeNexus()
{
    ThemeNexus();
    // The listener goes with the application it listens to.
    if (QCoreApplication* app = QCoreApplication::instance(); app && !Listener())
        Listener() = new TThemeListener(app);
}

bool ThemeNexusListening()
{
    return !Listener().isNull();
}
