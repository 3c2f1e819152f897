#pragma once

// List views: items with a caption, sub-items and an image, shown as a report with columns or as
// icons, small icons or a list. The items are the framework's; the Qt views only show them.

#include "framework/controls.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;
class TImageList;
class TListView;
class TStringList;
class TStrings;

namespace ListViewTypes {
Q_NAMESPACE
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
Q_ENUM_NS(TViewStyle)
enum TSortType { stNone, stData, stText, stBoth };
Q_ENUM_NS(TSortType)
} // namespace ListViewTypes
using namespace ListViewTypes;

class TListItem {
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    // The texts of the report's further columns.
    TStrings* SubItems() const;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int i);
    bool Selected() const;
    void SetSelected(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    void* Data() const { return data_; }
    void SetData(void* d) { data_ = d; }
    int Index() const;
    TListView* ListView() const { return view_; }
    void Delete();
    void MakeVisible(bool partialOK = false);

private:
    friend class TListView;
    friend class TListItems;
    explicit TListItem(TListView* view);
    ~TListItem();
    void Update();

    TListView* view_;
    QString caption_;
    std::unique_ptr<TStringList> subItems_;
    int imageIndex_ = -1;
    bool checked_ = false;
    void* data_ = nullptr;
    QTreeWidgetItem* row_ = nullptr;
    QListWidgetItem* cell_ = nullptr;
};

class TListItems {
public:
    int Count() const { return int(items_.size()); }
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    int IndexOf(const TListItem* item) const { return int(items_.indexOf(const_cast<TListItem*>(item))); }

    ~TListItems();

private:
    friend class TListView;
    friend class TListItem;
    explicit TListItems(TListView* view) : view_(view) {}
    TListView* view_;
    QList<TListItem*> items_;
};

class TListColumn : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(int MinWidth READ MinWidth WRITE SetMinWidth)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE SetMaxWidth)

public:
    explicit TListColumn(TListView* view);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    int Width() const;
    void SetWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) { autoSize_ = v; }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v) { minWidth_ = v; }
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int v) { maxWidth_ = v; }
    int Index() const;

private:
    friend class TListView;
    TListView* view_;
    QString caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = false;
    int minWidth_ = 0;
    int maxWidth_ = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;

class TListView : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ListViewTypes::TViewStyle ViewStyle READ ViewStyle WRITE SetViewStyle)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE SetRowSelect)
    Q_PROPERTY(bool GridLines READ GridLines WRITE SetGridLines)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(bool ShowColumnHeaders READ ShowColumnHeaders WRITE SetShowColumnHeaders)
    Q_PROPERTY(bool Checkboxes READ Checkboxes WRITE SetCheckboxes)
    Q_PROPERTY(ListViewTypes::TSortType SortType READ SortType WRITE SetSortType)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)

public:
    explicit TListView(QWidget* parent = nullptr);
    ~TListView() override;

    TListItems* Items() const { return items_.get(); }
    int ColumnCount() const { return int(columns_.size()); }
    TListColumn* Column(int index) const;
    TListColumn* AddColumn();
    void ClearColumns();

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle s);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool v) { rowSelect_ = v; }
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool v);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v) { hideSelection_ = v; }
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool v);
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool v) { checkboxes_ = v; }
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType s);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);

    TImageList* LargeImages() const;
    void SetLargeImages(TImageList* list);
    TImageList* SmallImages() const;
    void SetSmallImages(TImageList* list);

    // The first selected item, or null.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int SelCount() const;
    int ItemIndex() const;
    void SetItemIndex(int i);
    TListItem* ItemFocused() const { return Selected(); }
    TListItem* GetItemAt(int x, int y) const;
    void ClearSelection();
    void SelectAll();
    // Sorts by caption (or through OnCompare).
    void AlphaSort();

    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

    QTreeWidget* ReportWidget() const { return report_; }
    QListWidget* IconWidget() const { return icons_; }

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    void ItemAdded(TListItem* item, int index);
    void ItemRemoved(TListItem* item);
    void UpdateItem(TListItem* item);
    void UpdateColumns();
    void RebuildViews();
    void SelectionChanged();
    QIcon ItemIcon(int imageIndex, bool large) const;

    QTreeWidget* report_;
    QListWidget* icons_;
    std::unique_ptr<TListItems> items_;
    QList<TListColumn*> columns_;
    TViewStyle viewStyle_ = vsIcon;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool gridLines_ = false;
    bool hideSelection_ = true;
    bool showColumnHeaders_ = true;
    bool checkboxes_ = false;
    TSortType sortType_ = stNone;
    TBorderStyle borderStyle_ = bsSingle;
    QPointer<QObject> largeImages_;
    QPointer<QObject> smallImages_;
    int updateCount_ = 0;
    bool syncing_ = false;
    QList<TListItem*> lastSelection_;
};
