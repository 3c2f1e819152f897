#include "skin/controls/page_control.h"

#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "framework/string_list.h"
#include "skin/skin_drawing.h"

#include <QRegularExpression>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TsuiPageControl

TsuiPageControl::TsuiPageControl(QWidget* parent)
    : TsuiTab(parent, [](TsuiTab* owner) { return new TsuiPageControlTopPanel(owner); })
{
    Strip()->Tabs()->Clear();
}

TsuiPageControl::~TsuiPageControl()
{
    for (TsuiTabSheet* page : pages_)
        page->pageControl_ = nullptr;
    pages_.clear();
}

TsuiTabSheet* TsuiPageControl::Pages(int index) const
{
    return index >= 0 && index < pages_.size() ? pages_[index] : nullptr;
}

void TsuiPageControl::RenumberPages()
{
    for (int i = 0; i < pages_.size(); ++i)
        pages_[i]->pageIndex_ = i;
}

void TsuiPageControl::RebuildTabs()
{
    QStringList captions;
    for (TsuiTabSheet* page : pages_)
        captions << page->caption_;
    TStringList tabs;
    tabs.SetStrings(captions);
    Strip()->SetTabs(&tabs);
    CopyTabVisibility();
}

void TsuiPageControl::CopyTabVisibility()
{
    for (TsuiTabSheet* page : pages_)
        Strip()->SetTabVisible(page->pageIndex_, page->tabVisible_);
}

void TsuiPageControl::AddPage(TsuiTabSheet* page)
{
    page->pageControl_ = this;
    page->SetColor(Color());
    pages_.append(page);
    RenumberPages();
    RebuildTabs();
    ActivatePage(page);
}

void TsuiPageControl::RemovePage(TsuiTabSheet* page)
{
    const int index = pages_.indexOf(page);
    if (index < 0)
        return;
    pages_.removeAt(index);
    page->pageControl_ = nullptr;
    RenumberPages();
    RebuildTabs();
    if (activePage_ == page)
        activePage_ = nullptr;
    SelectPage(page->pageIndex_ - 1);
    page->pageIndex_ = -1;
}

void TsuiPageControl::MovePage(TsuiTabSheet* page, int index)
{
    pages_.removeAll(page);
    pages_.insert(std::clamp(index, 0, int(pages_.size())), page);
    RenumberPages();
    RebuildTabs();
    ActivatePage(page);
}

void TsuiPageControl::HidePage(TsuiTabSheet* page)
{
    page->SetEnabled(false);
    if (!eventsSuppressed_)
        page->Fire(page->OnHide, page);
}

void TsuiPageControl::ShowPage(TsuiTabSheet* page)
{
    page->SetVisible(true);
    page->SetEnabled(true);
    page->BringToFront();
    page->update();
    if (!eventsSuppressed_)
        page->Fire(page->OnShow, page);
}

void TsuiPageControl::ActivatePage(TsuiTabSheet* page)
{
    if (activePage_ && activePage_ != page)
        HidePage(activePage_);
    activePage_ = page;
    if (!page)
        return;
    SetTabIndex(page->pageIndex_);
    ShowPage(page);
}

void TsuiPageControl::TabActivated(int index)
{
    TsuiTabSheet* page = Pages(index);
    if (activePage_ && activePage_->pageIndex_ != index)
        HidePage(activePage_);
    activePage_ = page;
    if (page) {
        page->SetVisible(true);
        page->SetEnabled(true);
        page->BringToFront();
        page->update();
        TForm* form = ParentForm();
        if (form && !IsLoading()) {
            const QList<TControl*> children = page->ControlList();
            TControl* first = children.isEmpty() ? nullptr : children.first();
            if (first && qobject_cast<TWinControl*>(first) && first->Visible() && first->CanFocus()) {
                try {
                    form->SetActiveControl(first);
                } catch (const std::exception&) {
                }
            }
        }
        if (!eventsSuppressed_)
            page->Fire(page->OnShow, page);
    }
    TsuiTab::TabActivated(index);
}

void TsuiPageControl::SelectPage(int index)
{
    if (activePage_ && activePage_->pageIndex_ != index)
        HidePage(activePage_);
    if (index < 0 || index >= Strip()->Tabs()->Count()) {
        activePage_ = nullptr;
        return;
    }
    SetTabIndex(index);
    TsuiTabSheet* page = Pages(index);
    activePage_ = page;
    if (page)
        ShowPage(page);
}

void TsuiPageControl::ActivateNearestVisiblePage(int index)
{
    for (int i = index - 1; i >= 0; --i)
        if (pages_[i]->tabVisible_) {
            SelectPage(i);
            return;
        }
    for (int i = index + 1; i < pages_.size(); ++i)
        if (pages_[i]->tabVisible_) {
            SelectPage(i);
            return;
        }
}

void TsuiPageControl::BorderColorChanged()
{
    if (activePage_)
        activePage_->update();
}

void TsuiPageControl::ApplyStyleToChildren(TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    for (TsuiTabSheet* page : pages_) {
        ContainerApplyUIStyle(page, style, fileTheme);
        page->SetColor(Color());
        page->SetAlign(alClient);
    }
}

void TsuiPageControl::ColorChanged()
{
    TsuiTab::ColorChanged();
    for (TsuiTabSheet* page : pages_)
        page->SetColor(Color());
}

bool TsuiPageControl::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Pages"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("Pages.Strings"), Qt::CaseInsensitive) == 0) {
        pageNames_ = reader.StringListValue(value);
        return true;
    }
    return TsuiTab::ReadDefinitionProperty(name, value, reader);
}

void TsuiPageControl::SortPagesByNames()
{
    for (TsuiTabSheet* page : pages_) {
        const int at = pageNames_.indexOf(QRegularExpression(QRegularExpression::escape(page->objectName()),
                                                             QRegularExpression::CaseInsensitiveOption));
        page->pageIndex_ = at < 0 ? int(pageNames_.size()) : at;
    }
    std::stable_sort(pages_.begin(), pages_.end(),
                     [](const TsuiTabSheet* a, const TsuiTabSheet* b) { return a->pageIndex_ < b->pageIndex_; });
    RenumberPages();
    RebuildTabs();
}

void TsuiPageControl::Loaded()
{
    TsuiTab::Loaded();
    // The page order is the order of the stored names, not the order the pages were made in.
    if (!pageNames_.isEmpty() && pageNames_.size() == pages_.size()) {
        TsuiTabSheet* active = activePage_;
        SortPagesByNames();
        CopyTabVisibility();
        if (active)
            Strip()->SetTabIndex(active->pageIndex_);
    }
}

// ---------------------------------------------------------------------------------------------
// TsuiTabSheet

TsuiTabSheet::TsuiTabSheet(QWidget* parent) : TCustomPanel(parent)
{
    TCustomPanel::SetCaption(QStringLiteral(" "));
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetBorderWidth(0);
    SetAlign(alClient);
}

TsuiTabSheet::~TsuiTabSheet()
{
    // A page that goes leaves its page control first. Its window may be going too, so none of
    // the window's handlers runs on the way.
    if (TsuiPageControl* pc = pageControl_) {
        const bool saved = pc->eventsSuppressed_;
        pc->eventsSuppressed_ = true;
        pc->RemovePage(this);
        pc->eventsSuppressed_ = saved;
    }
}

bool TsuiTabSheet::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnShow", OnShow, h, "TObject*") || BindEventTo(name, "OnHide", OnHide, h, "TObject*")
        || TCustomPanel::BindEvent(name, h);
}

void TsuiTabSheet::SetParent(TWinControl* parent)
{
    auto* pc = qobject_cast<TsuiPageControl*>(parent);
    if (pageControl_ && pageControl_ != pc)
        pageControl_->RemovePage(this);
    TCustomPanel::SetParent(parent);
    if (pc && pageControl_ != pc)
        pc->AddPage(this);
}

void TsuiTabSheet::SetPageControl(TsuiPageControl* pageControl)
{
    SetParent(pageControl);
}

void TsuiTabSheet::SetPageIndex(int index)
{
    if (!pageControl_ || index < 0 || index >= pageControl_->PageCount())
        return;
    pageControl_->MovePage(this, index);
}

void TsuiTabSheet::SetCaption(const QString& caption)
{
    caption_ = caption;
    if (pageControl_)
        pageControl_->RebuildTabs();
}

void TsuiTabSheet::SetTabVisible(bool visible)
{
    tabVisible_ = visible;
    if (!pageControl_)
        return;
    pageControl_->Strip()->SetTabVisible(pageIndex_, visible);
    if (!visible && pageControl_->ActivePage() == this)
        pageControl_->ActivateNearestVisiblePage(pageIndex_);
}

bool TsuiTabSheet::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("PageControl"), Qt::CaseInsensitive) == 0) {
        reader.ResolveReference(value, this, [this](QObject* o) {
            auto* pc = qobject_cast<TsuiPageControl*>(o);
            if (!pc)
                return false;
            if (pageControl_ != pc)
                SetPageControl(pc);
            return true;
        });
        return true;
    }
    return TCustomPanel::ReadDefinitionProperty(name, value, reader);
}
