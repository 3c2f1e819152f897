#pragma once

// Skinned tabs: TsuiTab is a panel that owns a tab strip (TsuiTabControlTopPanel) drawn from the
// theme's tab and bar pictures; the strip scrolls its tabs with two small buttons when they do not
// fit and reports clicks to its owner. TsuiTabControl is the plain tab control; the page control
// and its pages build on TsuiTab in page_control.h.

#include "framework/panel.h"
#include "skin/theme_items.h"

#include <QImage>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TStringList;
class TStrings;
class TsuiFileTheme;
class TsuiTab;

using TTabActiveNotify = std::function<void(TObject* Sender, int TabIndex)>;
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TsuiTabControlTopPanel : public TCustomPanel {
    Q_OBJECT
public:
    explicit TsuiTabControlTopPanel(TsuiTab* owner);
    ~TsuiTabControlTopPanel() override;

    TStrings* Tabs() const;
    void SetTabs(TStrings* tabs);
    TsuiUIStyle UIStyle() const { return style_; }
    // Sizes the strip to the tab and bar pictures and takes the scroll buttons' size.
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme) { fileTheme_ = fileTheme; }
    int TabIndex() const { return tabIndex_; }
    // From code no OnChanging is asked; a click asks it first (see SetTabIndexByMouse).
    void SetTabIndex(int index);
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int v);

    // A hidden tab takes no room and cannot be clicked.
    bool TabVisible(int index) const;
    void SetTabVisible(int index, bool visible);

    // What the latest drawing laid out: the first shown tab (counted in visible tabs), whether
    // the scroll buttons show, each tab's drawn rectangle (empty when not drawn), the index of the
    // last completely drawn tab.
    int FirstShownTab() const { return firstShown_; }
    bool ScrollButtonsShown() const { return scrollButtonsShown_; }
    TRect TabRect(int index) const;
    int LastWholeTab() const { return lastWhole_; }
    TSize ScrollButtonSize() const { return {scrollButtonWidth_, scrollButtonHeight_}; }
    TRect LeftScrollButtonRect() const;
    TRect RightScrollButtonRect() const;
    // The strip as last drawn.
    const QImage& Picture() const { return picture_; }
    // Draws the strip now (keeping the active tab in view when asked).
    void Render(bool keepActiveTabInView = false);

protected:
    void PaintControl() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void leaveEvent(QEvent* e) override;

private:
    int DrawTabs(TCanvas* canvas);
    void DrawScrollButtons(TCanvas* canvas);
    void TabsChanged();
    void FitFlags();
    void LoadPictures();

    std::unique_ptr<TStringList> tabs_;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    int tabIndex_ = 0;
    int leftMargin_ = 10;
    // Per tab: drawn rectangle for hit-testing and visibility, as many as there are tabs.
    std::vector<TRect> tabRects_;
    std::vector<bool> tabVisible_;
    int tabHeight_ = 0;
    bool changingByMouse_ = false;
    int firstShown_ = 0;
    bool scrollButtonsShown_ = false;
    int hotScrollButton_ = 0;
    int scrollButtonWidth_ = 0;
    int scrollButtonHeight_ = 0;
    int lastWhole_ = -1;
    TsuiTab* owner_;
    TPoint mousePos_{-1, -1};
    QImage picture_;
    // The theme's pictures: active and inactive tab, bar, and the four scroll button frames.
    std::unique_ptr<TBitmap> activeTab_, inactiveTab_, bar_;
    std::unique_ptr<TBitmap> scrollButtons_[4];
};

class TsuiTab : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)

public:
    ~TsuiTab() override;

    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    int LeftMargin() const;
    void SetLeftMargin(int v);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor c);

    TsuiTabControlTopPanel* Strip() const { return strip_; }

    void AdjustClientRect(TRect& rect) const override;
    void Notification(QObject* AComponent, TOperation Operation) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TTabActiveNotify OnTabActive;
    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

    // Called by the strip when its index changed.
    virtual void TabActivated(int index);
    virtual void SetTabIndex(int index);

protected:
    using StripFactory = std::function<TsuiTabControlTopPanel*(TsuiTab*)>;
    TsuiTab(QWidget* parent, const StripFactory& createTabStrip);

    virtual void BorderColorChanged() {}
    // While set, no handler of the control or its pages runs (a page going away with its window).
    bool eventsSuppressed_ = false;
    virtual void ApplyStyleToChildren(TsuiUIStyle style, TsuiFileTheme* fileTheme);
    void Paint() override;
    void Resize() override;
    void FontChanged() override;

private:
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TColor borderColor_ = clBlack;
    TsuiTabControlTopPanel* strip_ = nullptr;
};

class TsuiTabControl : public TsuiTab {
    Q_OBJECT
    Q_PROPERTY(QStringList Tabs READ TabList WRITE SetTabList)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)

public:
    explicit TsuiTabControl(QWidget* parent = nullptr);

    TStrings* Tabs() const { return Strip()->Tabs(); }
    void SetTabs(TStrings* tabs) { Strip()->SetTabs(tabs); }
    QStringList TabList() const;
    void SetTabList(const QStringList& list);
    int TabIndex() const { return Strip()->TabIndex(); }
    void SetTabIndex(int index) override { TsuiTab::SetTabIndex(index); }

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
};
