#pragma once

// The skinned MDI frame: a non-visual component placed once on the MDI main window. It takes the
// window's native frame and caption away, draws a title bar and the frame, shows the main menu
// (or the active child's, when the child has one) as a bar of drawn buttons, puts the minimise,
// restore and close buttons of a maximised child at the right end of that bar, and arranges the
// children in its own tile and cascade.

#include "framework/component.h"
#include "framework/forms.h"
#include "skin/file_theme.h"
#include "skin/form_frame.h"
#include "skin/theme_items.h"

#include <QPointer>
#include <functional>
#include <memory>

class QMdiSubWindow;
class TMainMenu;
class TsuiForm;
class TsuiFormMenuBar;
class TsuiMDIChildButton;
class TsuiTitleBar;

namespace MDIFormText {
inline constexpr const char* NotOnAForm = "Sorry, TsuiMDIForm must be placed on a form";
}

class TsuiMDIForm : public TComponent {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(TMainMenu* Menu READ Menu WRITE SetMenu)
    Q_PROPERTY(uint MenuBarColor READ MenuBarColor WRITE SetMenuBarColor)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool TitleBarDrawAppIcon READ TitleBarDrawAppIcon WRITE SetTitleBarDrawAppIcon)
    Q_PROPERTY(bool TitleBarCustom READ TitleBarCustom WRITE SetTitleBarCustom)
    Q_PROPERTY(bool TitleBarVisible READ TitleBarVisible WRITE SetTitleBarVisible)
    Q_PROPERTY(bool TitleBarDrawChildCaptions READ TitleBarDrawChildCaptions WRITE SetTitleBarDrawChildCaptions)
    Q_PROPERTY(bool TitleBarDrawChildMenus READ TitleBarDrawChildMenus WRITE SetTitleBarDrawChildMenus)
    Q_PROPERTY(int RoundCorner READ RoundCorner WRITE SetRoundCorner)

public:
    // The owner must be a form ("Sorry, TsuiMDIForm must be placed on a form"). Made without an
    // owner (as window definitions do) it waits for the one it is given.
    explicit TsuiMDIForm(QObject* AOwner);
    ~TsuiMDIForm() override;

    TForm* HostForm() const { return host_; }
    TsuiTitleBar* TitleBar() const { return titleBar_; }
    TsuiFormMenuBar* MenuBar() const { return menuBar_; }
    // The child buttons: 1 minimise, 2 restore, 3 close.
    TsuiMDIChildButton* ChildButton(int frame) const;

    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor c);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    int BorderWidth() const { return borderWidth_; }
    // The window's caption (drawn by the title bar too).
    QString Caption() const;
    void SetCaption(const QString& text);
    bool TitleBarDrawAppIcon() const;
    void SetTitleBarDrawAppIcon(bool v);
    bool TitleBarCustom() const;
    void SetTitleBarCustom(bool v);
    bool TitleBarVisible() const { return titleBarVisible_; }
    void SetTitleBarVisible(bool v);
    bool TitleBarDrawChildCaptions() const { return drawChildCaptions_; }
    void SetTitleBarDrawChildCaptions(bool v) { drawChildCaptions_ = v; }
    bool TitleBarDrawChildMenus() const { return drawChildMenus_; }
    void SetTitleBarDrawChildMenus(bool v);
    int RoundCorner() const { return roundCorner_; }
    void SetRoundCorner(int r);

    // The menu the bar shows: the frame's, or the active child's own when it has one.
    TMainMenu* GetEffectiveMenu() const;
    void RebuildMenuBar();
    // The child buttons that a maximised active child's title bar has.
    void ShowChildButtons();
    // Arrangements of the children not minimised, the most recently active last (on top). A
    // frame that keeps windows of its own among its children (out of sight) names the ones to
    // arrange; the others stay where they are.
    using TChildFilter = std::function<bool(TForm* child)>;
    void Cascade(const TChildFilter& arranged = nullptr);
    void Tile(const TChildFilter& arranged = nullptr);
    void UpdateRegion();
    void PaintBorder();
    TsuiFrameSpec FrameSpec() const;

    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void Loaded() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void EnsureAttached();
    void Attach(TForm* form);
    void Detach(bool restore);
    void KeepBarsOnTop();
    void ChildActivated(QMdiSubWindow* sub);
    void UpdateChildButtons();
    void ChildButtonClick(int frame);
    bool HandleKey(QWidget* target, QKeyEvent* e);
    TsuiForm* ChildSkin(TForm* child) const;

    QPointer<TForm> host_;
    TsuiTitleBar* titleBar_ = nullptr;
    TsuiFormMenuBar* menuBar_ = nullptr;
    TsuiMDIChildButton* childButtons_[3] = {};
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    QPointer<TMainMenu> menu_;
    TColor menuBarColor_ = 0;
    TColor borderColor_ = 0;
    int borderWidth_ = 1;
    int roundCorner_ = 0;
    bool titleBarVisible_ = true;
    bool drawChildCaptions_ = true;
    bool drawChildMenus_ = true;
    bool destroying_ = false;
    bool edgeCursor_ = false;
    QPointer<TsuiForm> watchedChild_;
    TsuiEdgeResizer resizer_;
    std::unique_ptr<TsuiApplicationKeys> keys_;
};
