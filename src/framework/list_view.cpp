#include "framework/list_view.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/imagelist.h"
#include "framework/string_list.h"

#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>

// ---- TListItem

TListItem::TListItem(TListView* view) : view_(view), subItems_(std::make_unique<TStringList>())
{
    subItems_->OnChange = [this](TObject*) { Update(); };
}

TListItem::~TListItem()
{
    subItems_->OnChange = nullptr;
    delete row_;
    delete cell_;
}

TStrings* TListItem::SubItems() const { return subItems_.get(); }

void TListItem::SetCaption(const QString& c)
{
    caption_ = c;
    Update();
}

void TListItem::SetImageIndex(int i)
{
    imageIndex_ = i;
    Update();
}

void TListItem::Update()
{
    if (view_)
        view_->UpdateItem(this);
}

bool TListItem::Selected() const
{
    if (view_->viewStyle_ == vsReport)
        return row_ && row_->isSelected();
    return cell_ && cell_->isSelected();
}

void TListItem::SetSelected(bool v)
{
    if (!view_->multiSelect_ && v)
        view_->ClearSelection();
    if (row_)
        row_->setSelected(v);
    if (cell_)
        cell_->setSelected(v);
    if (v) {
        if (view_->viewStyle_ == vsReport && row_)
            view_->report_->setCurrentItem(row_, 0, QItemSelectionModel::NoUpdate);
        else if (cell_)
            view_->icons_->setCurrentItem(cell_, QItemSelectionModel::NoUpdate);
    }
}

int TListItem::Index() const { return view_->items_->IndexOf(this); }

void TListItem::Delete() { view_->items_->Delete(Index()); }

void TListItem::MakeVisible(bool)
{
    if (view_->viewStyle_ == vsReport && row_)
        view_->report_->scrollToItem(row_);
    else if (cell_)
        view_->icons_->scrollToItem(cell_);
}

// ---- TListItems

TListItems::~TListItems()
{
    for (TListItem* i : items_)
        i->view_ = nullptr, delete i;
}

TListItem* TListItems::Item(int index) const
{
    if (index < 0 || index >= items_.size())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[index];
}

TListItem* TListItems::Add() { return Insert(int(items_.size())); }

TListItem* TListItems::Insert(int index)
{
    index = std::clamp(index, 0, int(items_.size()));
    auto* item = new TListItem(view_);
    items_.insert(index, item);
    view_->ItemAdded(item, index);
    return item;
}

void TListItems::Delete(int index)
{
    TListItem* item = Item(index);
    items_.removeAt(index);
    view_->ItemRemoved(item);
    delete item;
}

void TListItems::Clear()
{
    BeginUpdate();
    while (!items_.isEmpty())
        Delete(int(items_.size()) - 1);
    EndUpdate();
}

void TListItems::BeginUpdate()
{
    if (view_->updateCount_++ == 0) {
        view_->report_->setUpdatesEnabled(false);
        view_->icons_->setUpdatesEnabled(false);
    }
}

void TListItems::EndUpdate()
{
    if (view_->updateCount_ > 0 && --view_->updateCount_ == 0) {
        view_->report_->setUpdatesEnabled(true);
        view_->icons_->setUpdatesEnabled(true);
    }
}

// ---- TListColumn

TListColumn::TListColumn(TListView* view) : QObject(view), view_(view) {}

void TListColumn::SetCaption(const QString& c)
{
    caption_ = c;
    view_->UpdateColumns();
}

int TListColumn::Width() const
{
    const int i = Index();
    if (i >= 0 && i < view_->report_->columnCount() && view_->report_->isVisible())
        return view_->report_->columnWidth(i);
    return width_;
}

void TListColumn::SetWidth(int w)
{
    width_ = w;
    view_->UpdateColumns();
}

void TListColumn::SetAlignment(TAlignment a)
{
    alignment_ = a;
    view_->UpdateColumns();
}

int TListColumn::Index() const { return int(view_->columns_.indexOf(const_cast<TListColumn*>(this))); }

// ---- TListView

TListView::TListView(QWidget* parent)
    : TWinControl(parent), report_(new QTreeWidget), icons_(new QListWidget), items_(new TListItems(this))
{
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setColumnCount(1);
    report_->header()->setStretchLastSection(false);
    SetInnerWidget(report_);
    icons_->setParent(this);
    icons_->installEventFilter(this);
    icons_->hide();
    SetBounds(0, 0, 250, 150);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(clWindow);
    SetViewStyle(vsIcon);
    SetMultiSelect(false);
    connect(report_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (viewStyle_ == vsReport)
            SelectionChanged();
    });
    connect(icons_, &QListWidget::itemSelectionChanged, this, [this] {
        if (viewStyle_ != vsReport)
            SelectionChanged();
    });
    connect(report_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < columns_.size())
            Fire(OnColumnClick, this, columns_[section]);
    });
    connect(report_, &QTreeWidget::itemClicked, this, [this] { RunGuarded([this] { Click(); }, this); });
    connect(icons_, &QListWidget::itemClicked, this, [this] { RunGuarded([this] { Click(); }, this); });
    SetControlStyle(ControlStyle() & ~TControlStyle(csClickEvents));
}

TListView::~TListView()
{
    // The Qt views outlive this object's own destructor and report selection changes while their
    // rows go; nothing of this control may be reached from them any more.
    disconnect(report_, nullptr, this, nullptr);
    disconnect(icons_, nullptr, this, nullptr);
    items_->Clear();
    items_.reset();
}

TListColumn* TListView::Column(int index) const
{
    if (index < 0 || index >= columns_.size())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return columns_[index];
}

TListColumn* TListView::AddColumn()
{
    auto* c = new TListColumn(this);
    columns_ << c;
    UpdateColumns();
    return c;
}

void TListView::ClearColumns()
{
    qDeleteAll(columns_);
    columns_.clear();
    UpdateColumns();
}

void TListView::UpdateColumns()
{
    const int n = std::max(1, int(columns_.size()));
    report_->setColumnCount(n);
    QStringList labels;
    for (TListColumn* c : columns_)
        labels << c->Caption();
    report_->setHeaderLabels(labels);
    for (int i = 0; i < columns_.size(); ++i) {
        report_->setColumnWidth(i, std::max(0, columns_[i]->width_));
        const TAlignment a = columns_[i]->Alignment();
        report_->headerItem()->setTextAlignment(i, a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    for (TListItem* item : items_->items_)
        UpdateItem(item);
}

QIcon TListView::ItemIcon(int imageIndex, bool large) const
{
    auto list = qobject_cast<TImageList*>(large ? largeImages_ : smallImages_);
    if (!list || imageIndex < 0 || imageIndex >= list->Count())
        return {};
    return QIcon(QPixmap::fromImage(list->Image(imageIndex)));
}

void TListView::ItemAdded(TListItem* item, int index)
{
    syncing_ = true;
    item->row_ = new QTreeWidgetItem;
    report_->insertTopLevelItem(index, item->row_);
    item->cell_ = new QListWidgetItem;
    icons_->insertItem(index, item->cell_);
    syncing_ = false;
    UpdateItem(item);
}

void TListView::ItemRemoved(TListItem* item)
{
    syncing_ = true;
    const bool wasSelected = item->Selected();
    delete item->row_;
    item->row_ = nullptr;
    delete item->cell_;
    item->cell_ = nullptr;
    lastSelection_.removeAll(item);
    syncing_ = false;
    if (wasSelected && !IsLoading())
        FireGuarded([&] {
            if (OnSelectItem)
                OnSelectItem(this, item, false);
        });
}

void TListView::UpdateItem(TListItem* item)
{
    if (item->row_) {
        item->row_->setText(0, item->caption_);
        item->row_->setIcon(0, ItemIcon(item->imageIndex_, false));
        for (int c = 1; c < report_->columnCount(); ++c) {
            item->row_->setText(c, c - 1 < item->subItems_->Count() ? item->subItems_->Strings(c - 1) : QString());
            if (c < columns_.size()) {
                const TAlignment a = columns_[c]->Alignment();
                item->row_->setTextAlignment(c, a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft);
            }
        }
    }
    if (item->cell_) {
        item->cell_->setText(item->caption_);
        item->cell_->setIcon(ItemIcon(item->imageIndex_, viewStyle_ == vsIcon));
    }
}

void TListView::RebuildViews()
{
    for (TListItem* item : items_->items_)
        UpdateItem(item);
}

void TListView::SetViewStyle(TViewStyle s)
{
    // The selection moves to the view that shows now.
    QList<TListItem*> selected;
    for (TListItem* i : items_->items_)
        if (i->Selected())
            selected << i;
    viewStyle_ = s;
    syncing_ = true;
    const bool report = s == vsReport;
    icons_->setViewMode(s == vsIcon ? QListView::IconMode : QListView::ListMode);
    icons_->setFlow(s == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(s != vsReport);
    icons_->setResizeMode(QListView::Adjust);
    auto large = qobject_cast<TImageList*>(largeImages_);
    auto small = qobject_cast<TImageList*>(smallImages_);
    if (s == vsIcon && large)
        icons_->setIconSize(QSize(large->Width(), large->Height()));
    else if (small)
        icons_->setIconSize(QSize(small->Width(), small->Height()));
    report_->setVisible(report);
    icons_->setVisible(!report);
    QWidget* active = report ? static_cast<QWidget*>(report_) : icons_;
    QWidget* other = report ? static_cast<QWidget*>(icons_) : report_;
    other->removeEventFilter(this);
    SetInnerWidget(active, InnerBorder());
    if (!report)
        report_->hide();
    for (TListItem* i : items_->items_) {
        if (i->row_)
            i->row_->setSelected(selected.contains(i));
        if (i->cell_)
            i->cell_->setSelected(selected.contains(i));
    }
    RebuildViews();
    syncing_ = false;
}

void TListView::SetMultiSelect(bool v)
{
    multiSelect_ = v;
    const auto mode = v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    report_->setSelectionMode(mode);
    icons_->setSelectionMode(mode);
}

void TListView::SetGridLines(bool v)
{
    gridLines_ = v;
    report_->setStyleSheet(v ? QStringLiteral("QTreeView::item { border-right: 1px solid #c0c0c0; border-bottom: 1px solid #c0c0c0; }") : QString());
}

void TListView::SetShowColumnHeaders(bool v)
{
    showColumnHeaders_ = v;
    report_->setHeaderHidden(!v);
}

void TListView::SetSortType(TSortType s)
{
    sortType_ = s;
    if (s != stNone)
        AlphaSort();
}

void TListView::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    report_->setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    icons_->setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

TImageList* TListView::LargeImages() const { return qobject_cast<TImageList*>(largeImages_); }

void TListView::SetLargeImages(TImageList* list)
{
    largeImages_ = list;
    SetViewStyle(viewStyle_);
}

TImageList* TListView::SmallImages() const { return qobject_cast<TImageList*>(smallImages_); }

void TListView::SetSmallImages(TImageList* list)
{
    smallImages_ = list;
    SetViewStyle(viewStyle_);
}

TListItem* TListView::Selected() const
{
    for (TListItem* i : items_->items_)
        if (i->Selected())
            return i;
    return nullptr;
}

void TListView::SetSelected(TListItem* item)
{
    ClearSelection();
    if (item)
        item->SetSelected(true);
}

int TListView::SelCount() const
{
    int n = 0;
    for (TListItem* i : items_->items_)
        if (i->Selected())
            ++n;
    return n;
}

int TListView::ItemIndex() const
{
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TListView::SetItemIndex(int i)
{
    SetSelected(i >= 0 && i < items_->Count() ? items_->Item(i) : nullptr);
}

TListItem* TListView::GetItemAt(int x, int y) const
{
    if (viewStyle_ == vsReport) {
        const QPoint p = report_->viewport()->mapFrom(this, QPoint(x, y));
        QTreeWidgetItem* row = report_->itemAt(p);
        for (TListItem* i : items_->items_)
            if (i->row_ == row && row)
                return i;
        return nullptr;
    }
    const QPoint p = icons_->viewport()->mapFrom(this, QPoint(x, y));
    QListWidgetItem* cell = icons_->itemAt(p);
    for (TListItem* i : items_->items_)
        if (i->cell_ == cell && cell)
            return i;
    return nullptr;
}

void TListView::ClearSelection()
{
    report_->clearSelection();
    icons_->clearSelection();
}

void TListView::SelectAll()
{
    if (!multiSelect_)
        return;
    report_->selectAll();
    icons_->selectAll();
}

void TListView::AlphaSort()
{
    auto& list = items_->items_;
    std::stable_sort(list.begin(), list.end(), [this](TListItem* a, TListItem* b) {
        if (OnCompare) {
            int cmp = 0;
            OnCompare(this, a, b, 0, cmp);
            return cmp < 0;
        }
        return a->caption_.compare(b->caption_, Qt::CaseInsensitive) < 0;
    });
    QList<TListItem*> selected;
    for (TListItem* item : list)
        if (item->Selected())
            selected << item;
    syncing_ = true;
    for (int i = 0; i < list.size(); ++i) {
        TListItem* item = list[i];
        report_->takeTopLevelItem(report_->indexOfTopLevelItem(item->row_));
        report_->insertTopLevelItem(i, item->row_);
        icons_->takeItem(icons_->row(item->cell_));
        icons_->insertItem(i, item->cell_);
    }
    for (TListItem* item : list) {
        item->row_->setSelected(selected.contains(item));
        item->cell_->setSelected(selected.contains(item));
    }
    syncing_ = false;
}

void TListView::SelectionChanged()
{
    if (syncing_)
        return;
    QList<TListItem*> now;
    for (TListItem* i : items_->items_)
        if (i->Selected())
            now << i;
    const QList<TListItem*> before = lastSelection_;
    lastSelection_ = now;
    if (!OnSelectItem || IsLoading())
        return;
    FireGuarded([&] {
        for (TListItem* i : before)
            if (!now.contains(i))
                OnSelectItem(this, i, false);
        for (TListItem* i : now)
            if (!before.contains(i))
                OnSelectItem(this, i, true);
    });
}

bool TListView::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnSelectItem", OnSelectItem, h, "TObject*,TListItem*,bool")
        || BindEventTo(name, "OnColumnClick", OnColumnClick, h, "TObject*,TListColumn*")
        || BindEventTo(name, "OnCompare", OnCompare, h, "TObject*,TListItem*,TListItem*,int,int&")
        || TWinControl::BindEvent(name, h);
}

bool TListView::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    if (n == QLatin1String("columns")) {
        if (value.Kind != TDefValue::vkCollection)
            reader.Error(QStringLiteral("Collection expected"));
        ClearColumns();
        for (const TDefValue::TItem& item : value.CollectionItems)
            reader.ReadProperties(AddColumn(), item.Properties);
        UpdateColumns();
        return true;
    }
    if (n == QLatin1String("largeimages") || n == QLatin1String("smallimages")) {
        const bool large = n == QLatin1String("largeimages");
        reader.ResolveReference(value, this, [this, large](QObject* t) {
            auto list = qobject_cast<TImageList*>(t);
            if (!list)
                return false;
            if (large)
                SetLargeImages(list);
            else
                SetSmallImages(list);
            return true;
        });
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
