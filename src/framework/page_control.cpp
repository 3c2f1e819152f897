#include "framework/page_control.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

#include <QTabBar>

// ---- TTabSheet

TTabSheet::TTabSheet(QWidget* parent) : TWinControl(parent)
{
    SetAlign(alNone);
    SetParentFont(true);
    SetParentColor(true);
    visibleFlag_ = false;
    QWidget::setVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (pageControl_)
        pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pc)
{
    if (pc == pageControl_)
        return;
    if (pageControl_)
        pageControl_->RemovePage(this);
    if (pc) {
        SetParent(pc);
        pc->InsertPage(this);
    }
}

void TTabSheet::SetTabVisible(bool v)
{
    tabVisible_ = v;
    if (pageControl_)
        pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const { return pageControl_ ? int(pageControl_->pages_.indexOf(const_cast<TTabSheet*>(this))) : -1; }

void TTabSheet::SetPageIndex(int i)
{
    if (pageControl_)
        pageControl_->MovePage(this, i);
}

int TTabSheet::TabIndex() const
{
    if (!pageControl_ || !tabVisible_)
        return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this)
            return n;
        if (p->tabVisible_)
            ++n;
    }
    return -1;
}

void TTabSheet::TextChanged()
{
    if (pageControl_)
        pageControl_->UpdateTabs();
}

bool TTabSheet::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnShow", OnShow, h, "TObject*") || BindEventTo(name, "OnHide", OnHide, h, "TObject*")
        || TWinControl::BindEvent(name, h);
}

// ---- TPageControl

TPageControl::TPageControl(QWidget* parent) : TWinControl(parent), tabs_(new QTabBar(this))
{
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetParentFont(true);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(true);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int tab) {
        if (updating_)
            return;
        RunGuarded(
            [this, tab] {
                bool allow = true;
                Fire(OnChanging, this, allow);
                TTabSheet* target = nullptr;
                for (TTabSheet* p : pages_)
                    if (p->TabIndex() == tab)
                        target = p;
                if (!allow || !target) {
                    // Refused: the old tab stays selected.
                    updating_ = true;
                    tabs_->setCurrentIndex(active_ ? active_->TabIndex() : -1);
                    updating_ = false;
                    return;
                }
                active_ = target;
                ShowActive();
                Fire(OnChange, this);
            },
            this);
    });
}

TTabSheet* TPageControl::Pages(int index) const
{
    return index >= 0 && index < pages_.size() ? pages_[index] : nullptr;
}

void TPageControl::InsertPage(TTabSheet* page)
{
    if (pages_.contains(page))
        return;
    page->pageControl_ = this;
    pages_ << page;
    UpdateTabs();
    if (!active_ && !IsLoading())
        SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page)
{
    pages_.removeAll(page);
    page->pageControl_ = nullptr;
    if (active_ == page) {
        active_ = nullptr;
        for (TTabSheet* p : pages_)
            if (p->tabVisible_) {
                active_ = p;
                break;
            }
    }
    UpdateTabs();
    ShowActive();
}

void TPageControl::MovePage(TTabSheet* page, int index)
{
    const int from = int(pages_.indexOf(page));
    if (from < 0)
        return;
    index = std::clamp(index, 0, int(pages_.size()) - 1);
    pages_.move(from, index);
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    updating_ = true;
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    for (TTabSheet* p : pages_)
        if (p->tabVisible_)
            tabs_->addTab(p->Caption());
    tabs_->setCurrentIndex(active_ ? active_->TabIndex() : -1);
    updating_ = false;
    Realign();
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->pageControl_ != this)
        return;
    active_ = page;
    updating_ = true;
    tabs_->setCurrentIndex(page ? page->TabIndex() : -1);
    updating_ = false;
    ShowActive();
}

int TPageControl::ActivePageIndex() const { return active_ ? int(pages_.indexOf(active_)) : -1; }

void TPageControl::SetActivePageIndex(int i) { SetActivePage(Pages(i)); }

void TPageControl::SelectNextPage(bool goForward)
{
    if (pages_.isEmpty())
        return;
    int i = ActivePageIndex();
    for (int n = 0; n < pages_.size(); ++n) {
        i = (i + (goForward ? 1 : -1) + int(pages_.size())) % int(pages_.size());
        if (pages_[i]->tabVisible_) {
            bool allow = true;
            Fire(OnChanging, this, allow);
            if (!allow)
                return;
            SetActivePage(pages_[i]);
            Fire(OnChange, this);
            return;
        }
    }
}

void TPageControl::ShowActive()
{
    if (IsLoading())
        return;
    for (TTabSheet* p : pages_) {
        const bool show = p == active_;
        if (show == p->Visible())
            continue;
        p->SetVisible(show);
        p->Fire(show ? p->OnShow : p->OnHide, p);
    }
    Realign();
}

void TPageControl::SetTabPosition(TTabPosition p)
{
    tabPosition_ = p;
    tabs_->setShape(p == tpBottom ? QTabBar::RoundedSouth : p == tpLeft ? QTabBar::RoundedWest
                                                        : p == tpRight ? QTabBar::RoundedEast
                                                                       : QTabBar::RoundedNorth);
    Realign();
}

void TPageControl::SetTabHeight(int h)
{
    tabHeight_ = std::max(0, h);
    Realign();
}

void TPageControl::AdjustClientRect(TRect& rect) const
{
    TWinControl::AdjustClientRect(rect);
    const int h = tabHeight_ > 0 ? tabHeight_ : tabs_->sizeHint().height();
    switch (tabPosition_) {
    case tpBottom: rect.Bottom -= h; break;
    case tpLeft: rect.Left += tabs_->sizeHint().width(); break;
    case tpRight: rect.Right -= tabs_->sizeHint().width(); break;
    default: rect.Top += h; break;
    }
    InflateRect(rect, -4, -4);
}

void TPageControl::AlignControls(TControl* control, TRect& rect)
{
    const int h = tabHeight_ > 0 ? tabHeight_ : tabs_->sizeHint().height();
    const int tw = tabs_->sizeHint().width();
    switch (tabPosition_) {
    case tpBottom: tabs_->setGeometry(0, Height() - h, Width(), h); break;
    case tpLeft: tabs_->setGeometry(0, 0, tw, Height()); break;
    case tpRight: tabs_->setGeometry(Width() - tw, 0, tw, Height()); break;
    default: tabs_->setGeometry(0, 0, Width(), h); break;
    }
    // Every sheet fills the page area, whatever its own alignment and anchors say; only the
    // active one shows.
    const TRect pageRect = rect;
    TWinControl::AlignControls(control, rect);
    for (TTabSheet* p : pages_) {
        p->settingBounds_ = true;
        p->SetBounds(pageRect.Left, pageRect.Top, pageRect.Width(), pageRect.Height());
        p->settingBounds_ = false;
    }
}

bool TPageControl::InsertDefinitionChild(QObject* child)
{
    auto sheet = qobject_cast<TTabSheet*>(child);
    if (!sheet)
        return false;
    sheet->SetParent(this);
    InsertPage(sheet);
    return true;
}

void TPageControl::Loaded()
{
    TWinControl::Loaded();
    if (!active_)
        for (TTabSheet* p : pages_)
            if (p->tabVisible_) {
                active_ = p;
                break;
            }
    updating_ = true;
    tabs_->setCurrentIndex(active_ ? active_->TabIndex() : -1);
    updating_ = false;
    // Sheets show or hide once the window is built (quietly: handlers wait until then).
    for (TTabSheet* p : pages_) {
        p->visibleFlag_ = p == active_;
        p->QWidget::setVisible(p == active_);
    }
    Realign();
}

bool TPageControl::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnChanging", OnChanging, h, "TObject*,bool&")
        || TWinControl::BindEvent(name, h);
}

// ---- TTabControl

TTabControl::TTabControl(QWidget* parent)
    : TWinControl(parent), tabs_(new QTabBar(this)), tabList_(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetParentFont(true);
    tabs_->setExpanding(false);
    tabList_->OnChange = [this](TObject*) { TabsChanged(); };
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (updating_ || index == tabs_->currentIndex())
            return;
        bool allow = true;
        Fire(OnChanging, this, allow);
        refuseNext_ = !allow;
    });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (updating_)
            return;
        if (refuseNext_) {
            // OnChanging said no: the old tab stays.
            refuseNext_ = false;
            updating_ = true;
            tabs_->setCurrentIndex(lastIndex_);
            updating_ = false;
            return;
        }
        lastIndex_ = index;
        RunGuarded([this] { Fire(OnChange, this); }, this);
    });
}

TTabControl::~TTabControl() { tabList_->OnChange = nullptr; }

TStrings* TTabControl::Tabs() const { return tabList_.get(); }

void TTabControl::TabsChanged()
{
    const int index = tabs_->currentIndex();
    updating_ = true;
    while (tabs_->count() > 0)
        tabs_->removeTab(0);
    for (int i = 0; i < tabList_->Count(); ++i)
        tabs_->addTab(tabList_->Strings(i));
    tabs_->setCurrentIndex(index < tabs_->count() ? index : tabs_->count() - 1);
    lastIndex_ = tabs_->currentIndex();
    updating_ = false;
    Realign();
}

int TTabControl::TabIndex() const { return tabs_->currentIndex(); }

void TTabControl::SetTabIndex(int i)
{
    if (IsLoading()) {
        pendingIndex_ = i;
        return;
    }
    updating_ = true;
    tabs_->setCurrentIndex(i >= 0 && i < tabs_->count() ? i : -1);
    lastIndex_ = tabs_->currentIndex();
    updating_ = false;
}

void TTabControl::Loaded()
{
    TWinControl::Loaded();
    const int i = pendingIndex_;
    pendingIndex_ = -2;
    if (i != -2) {
        updating_ = true;
        tabs_->setCurrentIndex(i >= 0 && i < tabs_->count() ? i : -1);
        lastIndex_ = tabs_->currentIndex();
        updating_ = false;
    }
}

void TTabControl::SetTabPosition(TTabPosition p)
{
    tabPosition_ = p;
    tabs_->setShape(p == tpBottom ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    Realign();
}

void TTabControl::AdjustClientRect(TRect& rect) const
{
    TWinControl::AdjustClientRect(rect);
    const int h = tabs_->sizeHint().height();
    if (tabPosition_ == tpBottom)
        rect.Bottom -= h;
    else
        rect.Top += h;
    InflateRect(rect, -4, -4);
}

void TTabControl::AlignControls(TControl* control, TRect& rect)
{
    const int h = tabs_->sizeHint().height();
    tabs_->setGeometry(0, tabPosition_ == tpBottom ? Height() - h : 0, Width(), h);
    TWinControl::AlignControls(control, rect);
}

bool TTabControl::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnChanging", OnChanging, h, "TObject*,bool&")
        || TWinControl::BindEvent(name, h);
}

bool TTabControl::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Tabs.Strings"), Qt::CaseInsensitive) == 0) {
        tabList_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
