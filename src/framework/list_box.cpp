#include "framework/list_box.h"

#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

#include <QListWidget>
#include <QScrollBar>

TCustomListBox::TCustomListBox(QWidget* parent)
    : TWinControl(parent), list_(new QListWidget), items_(std::make_unique<TStringList>())
{
    delegate_ = new TOwnerDrawDelegate(
        list_,
        [this](QPainter* p, int index, const QRect& r, TOwnerDrawState state) {
            WithItemCanvas(this, p, state, [&](TCanvas*) {
                DrawItem(index, Bounds(r.x(), r.y(), r.width(), r.height()), state);
            });
        },
        [this](int index) {
            int h = itemHeight_;
            if (style_ == lbOwnerDrawVariable)
                MeasureItem(index, h);
            return h;
        });
    list_->setItemDelegate(delegate_);
    list_->setUniformItemSizes(false);
    SetInnerWidget(list_);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(clWindow);
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!syncing_)
            RunGuarded([this] { Click(); }, this);
    });
    SetControlStyle(ControlStyle() & ~TControlStyle(csClickEvents));
}

TCustomListBox::~TCustomListBox() { items_->OnChange = nullptr; }

TStrings* TCustomListBox::Items() const { return items_.get(); }
int TCustomListBox::Count() const { return items_->Count(); }

void TCustomListBox::ItemsChanged()
{
    const int index = list_->currentRow();
    syncing_ = true;
    list_->clear();
    for (int i = 0; i < items_->Count(); ++i)
        list_->addItem(items_->Strings(i));
    if (index >= 0 && index < list_->count() && !multiSelect_)
        list_->setCurrentRow(index);
    syncing_ = false;
}

void TCustomListBox::SetStyle(TListBoxStyle s)
{
    style_ = s;
    delegate_->Active = s != lbStandard;
    list_->setUniformItemSizes(s == lbOwnerDrawFixed);
    list_->doItemsLayout();
    list_->viewport()->update();
}

void TCustomListBox::Invalidate()
{
    TWinControl::Invalidate();
    list_->viewport()->update();
}

int TCustomListBox::ItemIndex() const { return list_->currentRow(); }

void TCustomListBox::Loaded()
{
    TWinControl::Loaded();
    // The definition sets ItemIndex before Items; it takes effect once both are there.
    const int i = pendingIndex_;
    pendingIndex_ = -2;
    if (i != -2)
        ApplyItemIndex(i);
}

void TCustomListBox::SetItemIndex(int i)
{
    if (IsLoading()) {
        pendingIndex_ = i;
        return;
    }
    ApplyItemIndex(i);
}

void TCustomListBox::ApplyItemIndex(int i)
{
    syncing_ = true;
    if (i < 0 || i >= list_->count()) {
        list_->setCurrentRow(-1);
        list_->clearSelection();
    } else {
        list_->setCurrentRow(i);
    }
    syncing_ = false;
}

void TCustomListBox::SetItemHeight(int h)
{
    if (h <= 0)
        return;
    itemHeight_ = h;
    list_->doItemsLayout();
}

void TCustomListBox::SetMultiSelect(bool v)
{
    multiSelect_ = v;
    list_->setSelectionMode(!v ? QAbstractItemView::SingleSelection
                               : extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::MultiSelection);
}

void TCustomListBox::SetExtendedSelect(bool v)
{
    extendedSelect_ = v;
    SetMultiSelect(multiSelect_);
}

bool TCustomListBox::Sorted() const { return items_->Sorted(); }
void TCustomListBox::SetSorted(bool v) { items_->SetSorted(v); }

int TCustomListBox::TopIndex() const
{
    const QModelIndex i = list_->indexAt(QPoint(1, 1));
    return i.isValid() ? i.row() : 0;
}

void TCustomListBox::SetTopIndex(int i)
{
    if (QListWidgetItem* item = list_->item(i))
        list_->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void TCustomListBox::SetBorderStyle(TBorderStyle s)
{
    borderStyle_ = s;
    list_->setFrameShape(s == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

bool TCustomListBox::Selected(int index) const
{
    QListWidgetItem* item = list_->item(index);
    if (!item)
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return item->isSelected();
}

void TCustomListBox::SetSelected(int index, bool v)
{
    QListWidgetItem* item = list_->item(index);
    if (!item)
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    syncing_ = true;
    item->setSelected(v);
    syncing_ = false;
}

int TCustomListBox::SelCount() const { return multiSelect_ ? int(list_->selectedItems().size()) : -1; }

void TCustomListBox::Clear() { items_->Clear(); }

int TCustomListBox::ItemAtPos(const TPoint& pos, bool existing) const
{
    const QPoint vp = list_->viewport()->mapFrom(this, QPoint(pos.X, pos.Y));
    const QModelIndex i = list_->indexAt(vp);
    if (i.isValid())
        return i.row();
    return existing ? -1 : list_->count();
}

TRect TCustomListBox::ItemRect(int index) const
{
    QListWidgetItem* item = list_->item(index);
    if (!item)
        return {};
    const QRect r = list_->visualItemRect(item).translated(list_->viewport()->mapTo(this, QPoint(0, 0)));
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (OnDrawItem)
        Fire(OnDrawItem, this, index, rect, state);
    else if (index >= 0 && index < items_->Count())
        DrawDefaultItem(Canvas(), rect, items_->Strings(index));
}

void TCustomListBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem)
        Fire(OnMeasureItem, this, index, height);
}

void TCustomListBox::ColorChanged()
{
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Base, QtColor());
    list_->setPalette(pal);
    TWinControl::ColorChanged();
}

bool TCustomListBox::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnDrawItem", OnDrawItem, h, "TWinControl*,int,TRect,TOwnerDrawState")
        || BindEventTo(name, "OnMeasureItem", OnMeasureItem, h, "TWinControl*,int,int&")
        || TWinControl::BindEvent(name, h);
}

bool TCustomListBox::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Items.Strings"), Qt::CaseInsensitive) == 0) {
        items_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
