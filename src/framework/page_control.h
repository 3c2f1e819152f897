#pragma once

// Tabbed pages: TPageControl holds TTabSheet pages and shows the active one under a tab row;
// TTabControl is a tab row over one client area whose tabs are a string list.

#include "framework/controls.h"

#include <QPointer>
#include <memory>

class QTabBar;
class TPageControl;
class TStringList;
class TStrings;

namespace PageTypes {
Q_NAMESPACE
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
Q_ENUM_NS(TTabPosition)
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
Q_ENUM_NS(TTabStyle)
} // namespace PageTypes
using namespace PageTypes;

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TTabSheet : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE SetTabVisible)
    Q_PROPERTY(int PageIndex READ PageIndex WRITE SetPageIndex)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(TPageControl* PageControl READ PageControl WRITE SetPageControl)

public:
    explicit TTabSheet(QWidget* parent = nullptr);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* pc);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    int PageIndex() const;
    void SetPageIndex(int i);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; }
    // Index among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    QPointer<TPageControl> pageControl_;
    bool tabVisible_ = true;
    int imageIndex_ = 0;
};

class TPageControl : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(TTabSheet* ActivePage READ ActivePage WRITE SetActivePage)
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE SetActivePageIndex)
    Q_PROPERTY(PageTypes::TTabPosition TabPosition READ TabPosition WRITE SetTabPosition)
    Q_PROPERTY(PageTypes::TTabStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE SetMultiLine)
    Q_PROPERTY(int TabHeight READ TabHeight WRITE SetTabHeight)
    Q_PROPERTY(int TabWidth READ TabWidth WRITE SetTabWidth)

public:
    explicit TPageControl(QWidget* parent = nullptr);

    int PageCount() const { return int(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition p);
    TTabStyle Style() const { return style_; }
    void SetStyle(TTabStyle s) { style_ = s; }
    bool MultiLine() const { return false; }
    void SetMultiLine(bool) {}
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int h);
    int TabWidth() const { return 0; }
    void SetTabWidth(int) {}
    void SelectNextPage(bool goForward);
    QTabBar* TabBar() const { return tabs_; }

    void AdjustClientRect(TRect& rect) const override;
    bool InsertDefinitionChild(QObject* child) override;
    void Loaded() override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void UpdateTabs();
    void ShowActive();

    QTabBar* tabs_;
    QList<TTabSheet*> pages_;
    QPointer<TTabSheet> active_;
    TTabPosition tabPosition_ = tpTop;
    TTabStyle style_ = tsTabs;
    int tabHeight_ = 0;
    bool updating_ = false;
};

class TTabControl : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)
    Q_PROPERTY(PageTypes::TTabPosition TabPosition READ TabPosition WRITE SetTabPosition)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE SetMultiLine)

public:
    explicit TTabControl(QWidget* parent = nullptr);
    ~TTabControl() override;
    TStrings* Tabs() const;
    int TabIndex() const;
    void SetTabIndex(int i);
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition p);
    bool MultiLine() const { return false; }
    void SetMultiLine(bool) {}
    QTabBar* TabBar() const { return tabs_; }

    void AdjustClientRect(TRect& rect) const override;
    void Loaded() override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;

private:
    void TabsChanged();
    QTabBar* tabs_;
    std::unique_ptr<TStringList> tabList_;
    TTabPosition tabPosition_ = tpTop;
    bool updating_ = false;
    bool refuseNext_ = false;
    int lastIndex_ = -1;
    int pendingIndex_ = -2;
};
