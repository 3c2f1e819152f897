#pragma once

// Follows the desktop's visual-style state for themed scroll-bar drawing: keeps the theme data of
// the classes "SCROLLBAR" and "GLOBALS" open while themes are in use and reopens them when the
// theme changes.
//
// The theme service is reached through a loader that fills in its entry points by name. This
// desktop offers no such service, so by default nothing loads and the nexus stays inactive; no
// control of the system reads its handles.

#include <cstdint>
#include <functional>
#include <memory>

using HTHEME = uintptr_t;

// The entry points of the theme service. Those the nexus calls are typed; the drawing ones are
// kept only to be complete or absent together with the rest.
struct TThemeEntryPoints {
    std::function<HTHEME(uintptr_t window, const char16_t* classList)> OpenThemeData;
    std::function<int32_t(HTHEME theme)> CloseThemeData;
    void* DrawThemeBackground = nullptr;
    void* DrawThemeEdge = nullptr;
    void* GetThemeColor = nullptr;
    void* GetThemeMetric = nullptr;
    void* GetThemeMargins = nullptr;
    void* SetWindowTheme = nullptr;
    std::function<int32_t()> IsThemeActive;
    std::function<int32_t()> IsAppThemed;
    std::function<int32_t(int32_t enable)> EnableTheming;
};

// Fills the entry points of the theme service it finds; false when there is no service.
using TThemeLibraryLoader = std::function<bool(TThemeEntryPoints& entries)>;
// The loader used from now on (an empty one: no service, the default here).
void SetThemeLibraryLoader(TThemeLibraryLoader loader);

class TThemeNexus {
public:
    // The message the hidden window receives when the desktop theme changes.
    static constexpr uint32_t ThemeChangedMessage = 0x31A;

    TThemeNexus();
    ~TThemeNexus();
    TThemeNexus(const TThemeNexus&) = delete;
    TThemeNexus& operator=(const TThemeNexus&) = delete;

    // Loads the service when it is not loaded yet; an incomplete one is let go again.
    bool LoadThemeLibrary();
    bool ThemeLibraryLoaded() const { return loaded_; }
    // Loaded, and the application and the desktop both themed.
    bool ThemesActive() const;
    void OpenVisuals();
    void CloseVisuals();
    // The hidden window's procedure: a theme change closes and reopens the theme data.
    void WindowProc(uint32_t message);

    bool ThemesInUse() const { return themesInUse_; }
    HTHEME ScrollBarTheme() const { return scrollBarTheme_; }
    HTHEME GlobalsTheme() const { return globalsTheme_; }
    // Identifies the hidden window the theme data is opened for.
    uintptr_t WindowHandle() const { return window_; }

private:
    void UnloadThemeLibrary();

    uintptr_t window_;
    TThemeEntryPoints entries_;
    bool loaded_ = false;
    bool themesInUse_ = false;
    HTHEME scrollBarTheme_ = 0;
    HTHEME globalsTheme_ = 0;
};

// The program's one nexus, made on first use and freed at exit.
TThemeNexus* ThemeNexus();
// Makes the nexus and lets it hear the desktop's theme and palette changes through the running
// application, as its hidden window would; once is enough, later calls do nothing.
void InstallThemeNexus();
// True once InstallThemeNexus has run with an application.
bool ThemeNexusListening();
