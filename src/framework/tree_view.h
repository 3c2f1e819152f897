#pragma once

// Tree views: nodes with text, images and data under a Qt tree.

#include "framework/controls.h"

#include <QPointer>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;
class TImageList;
class TTreeView;

class TTreeNode {
public:
    QString Text() const { return text_; }
    void SetText(const QString& t);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int i) { selectedIndex_ = i; }
    void* Data() const { return data_; }
    void SetData(void* d) { data_ = d; }
    TTreeNode* Parent() const { return parent_; }
    int Count() const { return int(children_.size()); }
    TTreeNode* Item(int index) const;
    bool HasChildren() const { return !children_.isEmpty(); }
    int Index() const;
    int Level() const;
    bool Expanded() const;
    void SetExpanded(bool v);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool Selected() const;
    void SetSelected(bool v);
    TTreeNode* GetFirstChild() const { return children_.isEmpty() ? nullptr : children_.first(); }
    TTreeNode* GetNextSibling() const;
    TTreeView* TreeView() const { return view_; }
    void Delete();
    void DeleteChildren();
    void MakeVisible();

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeView* view, TTreeNode* parent);
    ~TTreeNode();
    TTreeView* view_;
    TTreeNode* parent_;
    QList<TTreeNode*> children_;
    QString text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    void* data_ = nullptr;
    QTreeWidgetItem* item_ = nullptr;
};

class TTreeNodes {
public:
    ~TTreeNodes();
    int Count() const;
    // The node at index in depth-first order.
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstNode() const { return roots_.isEmpty() ? nullptr : roots_.first(); }
    // Adds a node after the last sibling of sibling (a root when sibling is null).
    TTreeNode* Add(TTreeNode* sibling, const QString& text);
    TTreeNode* AddObject(TTreeNode* sibling, const QString& text, void* data);
    TTreeNode* AddChild(TTreeNode* parent, const QString& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const QString& text, void* data);
    TTreeNode* Insert(TTreeNode* sibling, const QString& text);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TTreeView;
    friend class TTreeNode;
    explicit TTreeNodes(TTreeView* view) : view_(view) {}
    TTreeNode* Create(TTreeNode* parent, int index, const QString& text, void* data);
    TTreeView* view_;
    QList<TTreeNode*> roots_;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool ShowLines READ ShowLines WRITE SetShowLines)
    Q_PROPERTY(bool ShowRoot READ ShowRoot WRITE SetShowRoot)
    Q_PROPERTY(bool ShowButtons READ ShowButtons WRITE SetShowButtons)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)

public:
    explicit TTreeView(QWidget* parent = nullptr);
    ~TTreeView() override;

    TTreeNodes* Items() const { return nodes_.get(); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool v) { showLines_ = v; }
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool v);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool v) { showButtons_ = v; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v) { hideSelection_ = v; }
    int Indent() const;
    void SetIndent(int v);
    TImageList* Images() const;
    void SetImages(TImageList* list);
    TTreeNode* GetNodeAt(int x, int y) const;
    void FullExpand();
    void FullCollapse();
    QTreeWidget* TreeWidget() const { return tree_; }

    TTVChangedEvent OnChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    TTreeNode* NodeOf(QTreeWidgetItem* item) const;
    void UpdateNode(TTreeNode* node);
    QTreeWidget* tree_;
    std::unique_ptr<TTreeNodes> nodes_;
    QPointer<QObject> images_;
    bool showLines_ = true;
    bool showRoot_ = true;
    bool showButtons_ = true;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool syncing_ = false;
};
