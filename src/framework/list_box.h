#pragma once

// List boxes: Items is a string list shown in a Qt list; owner-drawn styles paint every row
// through OnDrawItem. OnClick runs when a person changes the selection, not when code does.

#include "framework/owner_draw.h"

#include <memory>

class QListWidget;
class TStringList;
class TStrings;

namespace ListBoxTypes {
Q_NAMESPACE
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
Q_ENUM_NS(TListBoxStyle)
} // namespace ListBoxTypes
using namespace ListBoxTypes;

class TCustomListBox : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ListBoxTypes::TListBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
    Q_PROPERTY(bool ExtendedSelect READ ExtendedSelect WRITE SetExtendedSelect)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(int TopIndex READ TopIndex WRITE SetTopIndex)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool IntegralHeight READ IntegralHeight WRITE SetIntegralHeight)

public:
    explicit TCustomListBox(QWidget* parent = nullptr);
    ~TCustomListBox() override;

    TStrings* Items() const;
    int Count() const;
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle s);
    int ItemIndex() const;
    void SetItemIndex(int i);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool v);
    bool Sorted() const;
    void SetSorted(bool v);
    int TopIndex() const;
    void SetTopIndex(int i);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    bool IntegralHeight() const { return false; }
    void SetIntegralHeight(bool) {}

    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void Clear();
    // Index of the row at a point of the control, -1 (or the count when existing is false and
    // the point is below the last row).
    int ItemAtPos(const TPoint& pos, bool existing) const;
    TRect ItemRect(int index) const;
    QListWidget* ListWidget() const { return list_; }
    // The rows are painted by the list inside: a repaint of the control reaches them too, so an
    // owner-drawn row shows what changed behind it.
    void Invalidate() override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void Loaded() override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    // Paints row index; the default runs OnDrawItem, or fills and writes the text.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    void ColorChanged() override;

private:
    void ItemsChanged();
    void ApplyItemIndex(int i);
    QListWidget* list_;
    TOwnerDrawDelegate* delegate_;
    std::unique_ptr<TStringList> items_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool syncing_ = false;
    int pendingIndex_ = -2;
};

class TListBox : public TCustomListBox {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr) : TCustomListBox(parent) {}
};
