#pragma once

// Combo boxes: an edit or a fixed field over a drop-down list of Items. OnChange runs when a
// person picks an item or edits the text; setting ItemIndex or Text from code is quiet, as in
// the framework. Owner-drawn styles paint the rows and the closed field through OnDrawItem.

#include "framework/owner_draw.h"

#include <memory>

class QComboBox;
class TStringList;
class TStrings;

namespace ComboBoxTypes {
Q_NAMESPACE
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
Q_ENUM_NS(TComboBoxStyle)
} // namespace ComboBoxTypes
using namespace ComboBoxTypes;

class TCustomComboBox : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ComboBoxTypes::TComboBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool AutoComplete READ AutoComplete WRITE SetAutoComplete)
    Q_PROPERTY(bool AutoDropDown READ AutoDropDown WRITE SetAutoDropDown)
    Q_PROPERTY(bool DroppedDown READ DroppedDown WRITE SetDroppedDown)

public:
    explicit TCustomComboBox(QWidget* parent = nullptr);
    ~TCustomComboBox() override;

    TStrings* Items() const;
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle s);
    int ItemIndex() const;
    void SetItemIndex(int i);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h);
    int DropDownCount() const;
    void SetDropDownCount(int n);
    bool Sorted() const;
    void SetSorted(bool v);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool v) { autoComplete_ = v; }
    bool AutoDropDown() const { return false; }
    void SetAutoDropDown(bool) {}
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    void Clear();
    QComboBox* ComboWidget() const { return combo_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void Loaded() override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

    // Called by the Qt field: paints the closed field of an owner-drawn combo box.
    void PaintField(QPainter* painter, const QRect& rect);
    void DropDown();
    void CloseUp();

protected:
    virtual void Change();
    virtual void Select();
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    QString GetText() const override;
    void TextChanged() override;
    void ColorChanged() override;

private:
    void ItemsChanged();
    void ApplyItemIndex(int i);
    QComboBox* combo_;
    TOwnerDrawDelegate* delegate_;
    std::unique_ptr<TStringList> items_;
    TComboBoxStyle style_ = csDropDown;
    int itemHeight_ = 16;
    int maxLength_ = 0;
    bool autoComplete_ = true;
    bool syncing_ = false;
    int pendingIndex_ = -2;
};

class TComboBox : public TCustomComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr) : TCustomComboBox(parent) {}
};
