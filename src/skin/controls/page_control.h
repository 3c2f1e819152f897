#pragma once

// The skinned page control: a tab strip over pages (TsuiTabSheet) of which one is active. Pages
// belong to the window, not to the page control; they join it by being placed on it and keep
// the order of the Pages names a window definition gives.

#include "skin/controls/tab_control.h"

#include <QList>
#include <QStringList>

class TsuiTabSheet;

class TsuiPageControlTopPanel : public TsuiTabControlTopPanel {
    Q_OBJECT
public:
    explicit TsuiPageControlTopPanel(TsuiTab* owner) : TsuiTabControlTopPanel(owner) {}
};

class TsuiPageControl : public TsuiTab {
    Q_OBJECT
    Q_PROPERTY(TsuiTabSheet* ActivePage READ ActivePage WRITE SetActivePage)
    Q_PROPERTY(int PageCount READ PageCount)

public:
    explicit TsuiPageControl(QWidget* parent = nullptr);
    ~TsuiPageControl() override;

    TsuiTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TsuiTabSheet* page) { ActivatePage(page); }
    int PageCount() const { return int(pages_.size()); }
    TsuiTabSheet* Pages(int index) const;
    int TabIndex() const { return Strip()->TabIndex(); }

    void ActivatePage(TsuiTabSheet* page);
    void SelectPage(int index);
    void ActivateNearestVisiblePage(int index);
    void TabActivated(int index) override;

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    void Loaded() override;

protected:
    void BorderColorChanged() override;
    void ApplyStyleToChildren(TsuiUIStyle style, TsuiFileTheme* fileTheme) override;
    void ColorChanged() override;

private:
    friend class TsuiTabSheet;
    void AddPage(TsuiTabSheet* page);
    void RemovePage(TsuiTabSheet* page);
    void MovePage(TsuiTabSheet* page, int index);
    void RenumberPages();
    void RebuildTabs();
    void SortPagesByNames();
    void CopyTabVisibility();
    void ShowPage(TsuiTabSheet* page);
    void HidePage(TsuiTabSheet* page);

    TsuiTabSheet* activePage_ = nullptr;
    QList<TsuiTabSheet*> pages_;
    QStringList pageNames_;
};

class TsuiTabSheet : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(int PageIndex READ PageIndex WRITE SetPageIndex)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE SetTabVisible)

public:
    explicit TsuiTabSheet(QWidget* parent = nullptr);
    ~TsuiTabSheet() override;

    TsuiPageControl* PageControl() const { return pageControl_; }
    // Places the page on a page control (or takes it off with null).
    void SetPageControl(TsuiPageControl* pageControl);
    int PageIndex() const { return pageIndex_; }
    // Within 0..PageCount - 1 on a page control moves the page there; anything else is ignored.
    void SetPageIndex(int index);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);

    void SetParent(TWinControl* parent) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    friend class TsuiPageControl;
    TsuiPageControl* pageControl_ = nullptr;
    int pageIndex_ = -1;
    QString caption_;
    bool tabVisible_ = true;
};
