#include "framework/tree_view.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/imagelist.h"

#include <QTreeWidget>
#include <functional>

// ---- TTreeNode

TTreeNode::TTreeNode(TTreeView* view, TTreeNode* parent) : view_(view), parent_(parent) {}

TTreeNode::~TTreeNode()
{
    for (TTreeNode* c : children_)
        delete c;
}

void TTreeNode::SetText(const QString& t)
{
    text_ = t;
    view_->UpdateNode(this);
}

void TTreeNode::SetImageIndex(int i)
{
    imageIndex_ = i;
    view_->UpdateNode(this);
}

TTreeNode* TTreeNode::Item(int index) const
{
    if (index < 0 || index >= children_.size())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return children_[index];
}

int TTreeNode::Index() const
{
    const QList<TTreeNode*>& list = parent_ ? parent_->children_ : view_->nodes_->roots_;
    return int(list.indexOf(const_cast<TTreeNode*>(this)));
}

int TTreeNode::Level() const
{
    int l = 0;
    for (TTreeNode* p = parent_; p; p = p->parent_)
        ++l;
    return l;
}

bool TTreeNode::Expanded() const { return item_ && item_->isExpanded(); }
void TTreeNode::SetExpanded(bool v)
{
    if (item_)
        item_->setExpanded(v);
}

void TTreeNode::Expand(bool recurse)
{
    SetExpanded(true);
    if (recurse)
        for (TTreeNode* c : children_)
            c->Expand(true);
}

void TTreeNode::Collapse(bool recurse)
{
    SetExpanded(false);
    if (recurse)
        for (TTreeNode* c : children_)
            c->Collapse(true);
}

bool TTreeNode::Selected() const { return item_ && item_->isSelected(); }

void TTreeNode::SetSelected(bool v)
{
    if (v)
        view_->SetSelected(this);
    else if (item_)
        item_->setSelected(false);
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    const QList<TTreeNode*>& list = parent_ ? parent_->children_ : view_->nodes_->roots_;
    const int i = int(list.indexOf(const_cast<TTreeNode*>(this)));
    return i >= 0 && i + 1 < list.size() ? list[i + 1] : nullptr;
}

void TTreeNode::Delete() { view_->nodes_->Delete(this); }

void TTreeNode::DeleteChildren()
{
    while (!children_.isEmpty())
        view_->nodes_->Delete(children_.last());
}

void TTreeNode::MakeVisible()
{
    if (item_)
        view_->tree_->scrollToItem(item_);
}

// ---- TTreeNodes

TTreeNodes::~TTreeNodes()
{
    for (TTreeNode* n : roots_)
        delete n;
}

int TTreeNodes::Count() const
{
    int n = 0;
    std::function<void(const QList<TTreeNode*>&)> count = [&](const QList<TTreeNode*>& list) {
        for (TTreeNode* c : list) {
            ++n;
            count(c->children_);
        }
    };
    count(roots_);
    return n;
}

TTreeNode* TTreeNodes::Item(int index) const
{
    int n = 0;
    TTreeNode* found = nullptr;
    std::function<void(const QList<TTreeNode*>&)> walk = [&](const QList<TTreeNode*>& list) {
        for (TTreeNode* c : list) {
            if (found)
                return;
            if (n++ == index) {
                found = c;
                return;
            }
            walk(c->children_);
        }
    };
    walk(roots_);
    if (!found)
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return found;
}

TTreeNode* TTreeNodes::Create(TTreeNode* parent, int index, const QString& text, void* data)
{
    auto* node = new TTreeNode(view_, parent);
    node->text_ = text;
    node->data_ = data;
    QList<TTreeNode*>& list = parent ? parent->children_ : roots_;
    index = std::clamp(index, 0, int(list.size()));
    list.insert(index, node);
    node->item_ = new QTreeWidgetItem;
    view_->syncing_ = true;
    if (parent)
        parent->item_->insertChild(index, node->item_);
    else
        view_->tree_->insertTopLevelItem(index, node->item_);
    view_->syncing_ = false;
    view_->UpdateNode(node);
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const QString& text) { return AddObject(sibling, text, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const QString& text, void* data)
{
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return Create(parent, parent ? parent->Count() : int(roots_.size()), text, data);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const QString& text) { return AddChildObject(parent, text, nullptr); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const QString& text, void* data)
{
    return Create(parent, parent ? parent->Count() : int(roots_.size()), text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const QString& text)
{
    if (!sibling)
        return Add(nullptr, text);
    return Create(sibling->parent_, sibling->Index(), text, nullptr);
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node)
        return;
    QList<TTreeNode*>& list = node->parent_ ? node->parent_->children_ : roots_;
    list.removeAll(node);
    view_->syncing_ = true;
    // Deleting the Qt item deletes its children's items too; the nodes forget theirs first.
    std::function<void(TTreeNode*)> forget = [&](TTreeNode* n) {
        for (TTreeNode* c : n->children_) {
            forget(c);
            c->item_ = nullptr;
        }
    };
    forget(node);
    delete node->item_;
    node->item_ = nullptr;
    view_->syncing_ = false;
    delete node;
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    while (!roots_.isEmpty())
        Delete(roots_.last());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { view_->tree_->setUpdatesEnabled(false); }
void TTreeNodes::EndUpdate() { view_->tree_->setUpdatesEnabled(true); }

// ---- TTreeView

TTreeView::TTreeView(QWidget* parent) : TWinControl(parent), tree_(new QTreeWidget), nodes_(new TTreeNodes(this))
{
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    SetInnerWidget(tree_);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(clWindow);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now, QTreeWidgetItem*) {
        if (syncing_)
            return;
        TTreeNode* node = NodeOf(now);
        Fire(OnChange, this, node);
    });
    connect(tree_, &QTreeWidget::itemClicked, this, [this] { RunGuarded([this] { Click(); }, this); });
    SetControlStyle(ControlStyle() & ~TControlStyle(csClickEvents));
}

TTreeView::~TTreeView()
{
    syncing_ = true;
    nodes_.reset();
}

TTreeNode* TTreeView::NodeOf(QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    TTreeNode* found = nullptr;
    std::function<void(const QList<TTreeNode*>&)> walk = [&](const QList<TTreeNode*>& list) {
        for (TTreeNode* c : list) {
            if (found)
                return;
            if (c->item_ == item) {
                found = c;
                return;
            }
            walk(c->children_);
        }
    };
    walk(nodes_->roots_);
    return found;
}

void TTreeView::UpdateNode(TTreeNode* node)
{
    if (!node->item_)
        return;
    node->item_->setText(0, node->text_);
    auto list = qobject_cast<TImageList*>(images_);
    if (list && node->imageIndex_ >= 0 && node->imageIndex_ < list->Count())
        node->item_->setIcon(0, QIcon(QPixmap::fromImage(list->Image(node->imageIndex_))));
    else
        node->item_->setIcon(0, QIcon());
}

TTreeNode* TTreeView::Selected() const { return NodeOf(tree_->currentItem()); }

void TTreeView::SetSelected(TTreeNode* node)
{
    tree_->setCurrentItem(node ? node->item_ : nullptr);
}

void TTreeView::SetShowRoot(bool v)
{
    showRoot_ = v;
    tree_->setRootIsDecorated(v);
}

int TTreeView::Indent() const { return tree_->indentation(); }
void TTreeView::SetIndent(int v) { tree_->setIndentation(v); }
TImageList* TTreeView::Images() const { return qobject_cast<TImageList*>(images_); }

void TTreeView::SetImages(TImageList* list)
{
    images_ = list;
    if (list)
        tree_->setIconSize(QSize(list->Width(), list->Height()));
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const
{
    return NodeOf(tree_->itemAt(tree_->viewport()->mapFrom(this, QPoint(x, y))));
}

void TTreeView::FullExpand() { tree_->expandAll(); }
void TTreeView::FullCollapse() { tree_->collapseAll(); }

bool TTreeView::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*,TTreeNode*") || TWinControl::BindEvent(name, h);
}

bool TTreeView::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Images"), Qt::CaseInsensitive) == 0) {
        reader.ResolveReference(value, this, [this](QObject* t) {
            auto list = qobject_cast<TImageList*>(t);
            if (list)
                SetImages(list);
            return list != nullptr;
        });
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
