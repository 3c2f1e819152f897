#pragma once

// The skinned form: a panel placed once on a dialog or document window that turns it into a
// skinned one. It takes the window's native frame and caption away, draws a title bar, paints the
// frame in the theme's colours, cuts the top corners round, lets the window be resized at its
// edges, shows a main menu as a bar of drawn buttons and hands menu shortcuts and Alt+Space to
// the window it sits on. On an MDI child it hides its title bar while the child is maximised (the
// frame shows the child's buttons then).

#include "framework/collection.h"
#include "framework/forms.h"
#include "framework/panel.h"
#include "skin/file_theme.h"
#include "skin/form_frame.h"
#include "skin/theme_items.h"
#include "skin/title_bar.h"

#include <QPointer>

class QKeyEvent;
class TMainMenu;
class TsuiFormMenuBar;

class TsuiForm : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(bool TitleBarCustom READ TitleBarCustom WRITE SetTitleBarCustom)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(bool UIStyleAutoUpdateSub READ UIStyleAutoUpdateSub WRITE SetUIStyleAutoUpdateSub)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(bool TitleBarVisible READ TitleBarVisible WRITE SetTitleBarVisible)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TCustomPanel* FormPanel READ FormPanel WRITE SetFormPanel)
    Q_PROPERTY(bool TitleBarDrawAppIcon READ TitleBarDrawAppIcon WRITE SetTitleBarDrawAppIcon)
    Q_PROPERTY(TMainMenu* Menu READ Menu WRITE SetMenu)
    Q_PROPERTY(uint MenuBarColor READ MenuBarColor WRITE SetMenuBarColor)
    Q_PROPERTY(int MenuBarHeight READ MenuBarHeight WRITE SetMenuBarHeight)
    Q_PROPERTY(int RoundCorner READ RoundCorner WRITE SetRoundCorner)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)

public:
    // A form parent makes it the form's skinned form, unless the form already has one; a form
    // given later through SetParent does the same. Without a form it is an inert panel.
    explicit TsuiForm(QWidget* parent = nullptr);
    ~TsuiForm() override;

    void SetParent(TWinControl* parent) override;

    // The window this panel skins (nullptr while inert).
    TForm* HostForm() const { return host_; }
    TsuiTitleBar* TitleBar() const { return titleBar_; }
    TsuiFormMenuBar* MenuBar() const { return menuBar_; }

    bool TitleBarCustom() const;
    void SetTitleBarCustom(bool v);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Applies the current style again when the reference changes.
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    bool UIStyleAutoUpdateSub() const { return autoUpdateSub_; }
    void SetUIStyleAutoUpdateSub(bool v) { autoUpdateSub_ = v; }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);
    // The width of the painted border line (the frame around the window is at least 3 pixels).
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    bool TitleBarVisible() const { return titleBarVisible_; }
    void SetTitleBarVisible(bool v);
    // The drawn caption; setting it also sets the window's caption.
    QString Caption() const;
    void SetCaption(const QString& text);
    TCustomPanel* FormPanel() const { return formPanel_; }
    void SetFormPanel(TCustomPanel* panel);
    bool TitleBarDrawAppIcon() const;
    void SetTitleBarDrawAppIcon(bool v);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor c);
    int MenuBarHeight() const { return menuBarHeight_; }
    void SetMenuBarHeight(int h);
    // The title bar's corner radius while it is visible, else 0.
    int RoundCorner() const;
    void SetRoundCorner(int r);
    QString Version() const { return QStringLiteral("5.5"); }
    void SetVersion(const QString&) {}
    TsuiTitleBarCollection* TitleBarButtons() const;
    void SetTitleBarButtons(TCollection* buttons);
    TsuiTitleBarCollection* TitleBarSections() const;
    void SetTitleBarSections(TCollection* sections);
    TFont* TitleBarFont() const;
    int GetTitleBarHeight() const;

    // Menu shortcuts of the window: true when the window is active and the menu ran an item.
    bool CheckMenuShortCut(WORD key, TShiftState shift);
    // The native caption goes again if it came back.
    void RemoveCaptionStyle();
    // The window's shape with the current corner radius.
    void UpdateRegion();
    // Repaints the frame ring of the window.
    void PaintBorder();
    // What the ring shows now (for painting and tests).
    TsuiFrameSpec FrameSpec() const;

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TsuiTitleBarButtonClickEvent& OnTitleBarCustomBtnsClick();
    TsuiTitleBarButtonClickEvent& OnTitleBarHelpBtnClick();

signals:
    // The menu this form shows changed (an MDI frame showing it rebuilds its bar).
    void MenuChanged();

protected:
    void Paint() override;
    void AlignControls(TControl* control, TRect& rect) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Attach(TForm* form);
    void Detach(bool restore);
    void CreateMenuBar();
    void RebuildMenuBar();
    void DestroyMenuBar();
    void WatchMdiFrame();
    void HostResized();
    void HostShown();
    bool HandleKey(QWidget* target, QKeyEvent* e);
    void SetActiveState(bool active);
    void ApplyFrameInset();
    TsuiUIStyle EffectiveStyle() const;

    QPointer<TForm> host_;
    TsuiTitleBar* titleBar_ = nullptr;
    TsuiFormMenuBar* menuBar_ = nullptr;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    bool autoUpdateSub_ = false;
    TColor borderColor_ = 0;
    int borderWidth_ = 1;
    bool titleBarVisible_ = true;
    QPointer<TCustomPanel> formPanel_;
    QPointer<TMainMenu> menu_;
    TColor menuBarColor_;
    int menuBarHeight_ = 22;
    QRect createdBounds_;
    bool createdMaximized_ = false;
    bool destroying_ = false;
    // A maximised MDI child has moved its children up by the hidden title bar.
    bool scrolled_ = false;
    int lastState_ = -1;
    bool inResize_ = false;
    bool edgeCursor_ = false;
    QPointer<QWidget> mdiFrame_;
    QSize mdiSize_;
    TsuiEdgeResizer resizer_;
    std::unique_ptr<TsuiApplicationKeys> keys_;
};
