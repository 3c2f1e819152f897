#pragma once

// The cell editor of TRxDrawGrid: an in-place edit whose text can be aligned and that can carry
// a button at its right edge, either an ellipsis button (the grid's OnEditButtonClick) or a
// drop-down button that opens a pick list of texts for the cell (TPopupListbox).

#include "framework/grids.h"
#include "framework/list_box.h"

#include <functional>

class TRxDrawGrid;
class TRxInplaceEdit;

namespace InplaceEditTypes {
Q_NAMESPACE
enum TEditStyle { esSimple, esEllipsis, esPickList };
Q_ENUM_NS(TEditStyle)
} // namespace InplaceEditTypes
using namespace InplaceEditTypes;

// The pick list: a bordered window of its own over everything, shown without taking the focus
// from the editor. Typing picks the first item that begins with what was typed lately.
class TPopupListbox : public TCustomListBox {
    Q_OBJECT
public:
    explicit TPopupListbox(TRxInplaceEdit* editor);

    QString SearchText() const { return searchText_; }
    // The clock of the typing search, in milliseconds; replaceable for tests.
    std::function<qint64()> Clock;

protected:
    void KeyPress(QChar& key) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TRxInplaceEdit* editor_;
    QString searchText_;
    qint64 lastKeyTime_ = 0;
};

class TRxInplaceEdit : public TInplaceEdit {
    Q_OBJECT
public:
    explicit TRxInplaceEdit(TRxDrawGrid* grid);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TEditStyle EditStyle() const { return editStyle_; }
    void SetEditStyle(TEditStyle style);
    int ButtonWidth() const { return buttonWidth_; }
    // The button's rectangle in client coordinates (empty for esSimple).
    TRect ButtonRect() const;
    bool ButtonPressed() const { return pressed_; }
    TPopupListbox* PickList() const { return pickList_; }
    TPopupListbox* ActiveList() const { return activeList_; }
    bool ListVisible() const { return listVisible_; }

    void UpdateContents() override;
    void DropDown();
    void CloseUp(bool accept);
    // A mouse release on the list at a point of the list.
    void ListMouseUp(int x, int y);

protected:
    void BoundsChanged() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoExit() override;
    void PaintControl() override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    TRxDrawGrid* RxGrid() const;
    bool OverButton(int x, int y) const;
    void TrackButton(int x, int y);
    void StopTracking();
    // Keys of an open or closed pick list; true when the key was used.
    bool DropDownKeys(WORD key, TShiftState shift);

    TAlignment alignment_ = taLeftJustify;
    int buttonWidth_ = 16;
    TPopupListbox* pickList_ = nullptr;
    TPopupListbox* activeList_ = nullptr;
    TEditStyle editStyle_ = esSimple;
    bool listVisible_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
};
