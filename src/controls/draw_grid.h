#pragma once

// TRxDrawGrid: the framework's draw grid with fixed cells that behave like push buttons, a cell
// editor that aligns its text and offers a pick list or an ellipsis button, events around
// editing, sizing and focus, one focus rectangle round the current row in row-select mode, and
// its column widths kept with a form placement.

#include "controls/inplace_edit.h"

#include <memory>

class TFormPlacement;
class TIniLink;
class TStrings;

using TAcceptKeyEvent = std::function<void(TObject* Sender, QChar& Key, bool& Accept)>;
using TEditLimitEvent = std::function<void(TObject* Sender, int& MaxLength)>;
using TEditShowEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& AllowEdit)>;
using TFixedCellClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TFixedCellCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Enabled)>;
using TEditAlignEvent = std::function<void(TObject* Sender, int ACol, int ARow, TAlignment& Alignment)>;
using TPicklistEvent = std::function<void(TObject* Sender, int ACol, int ARow, TStrings* PickList)>;
using TEditStyleEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditStyle& Style)>;

class TRxDrawGrid : public TDrawGrid {
    Q_OBJECT
    Q_MOC_INCLUDE("controls/storage/form_placement.h")
    Q_PROPERTY(TFormPlacement* IniStorage READ IniStorage WRITE SetIniStorage)
    Q_PROPERTY(bool FixedButtons READ FixedButtons WRITE SetFixedButtons)

public:
    explicit TRxDrawGrid(QWidget* parent = nullptr);
    ~TRxDrawGrid() override;

    TFormPlacement* IniStorage() const;
    void SetIniStorage(TFormPlacement* placement);
    bool FixedButtons() const { return fixedButtons_; }
    void SetFixedButtons(bool v);
    TIniLink* StorageLink() const { return link_.get(); }
    // The fixed cell being pressed, (-1, -1) when none, and whether it is drawn down.
    TGridCoord PressedCell() const { return pressed_; }
    bool PressedDown() const { return down_; }

    // The editor asks these for the current cell.
    TAlignment CellEditAlignment(int col, int row);
    TEditStyle CellEditStyle(int col, int row);
    void FillPickList(int col, int row, TStrings* list);
    void EditButtonClicked();

    void StoreLinkSave(TIniLink* link);
    void StoreLinkLoad(TIniLink* link);

    void SetEditText(int col, int row, const QString& value) override;
    int GetEditLimit() override;
    bool CanEditAcceptKey(QChar key) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnColumnSized;
    TNotifyEvent OnRowSized;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnCancelEdit;
    TNotifyEvent OnChangeFocus;
    TNotifyEvent OnEditButtonClick;
    TAcceptKeyEvent OnAcceptEditKey;
    TEditLimitEvent OnGetEditLimit;
    TEditShowEvent OnShowEditor;
    TFixedCellClickEvent OnFixedCellClick;
    TFixedCellCheckEvent OnCheckButton;
    TEditAlignEvent OnGetEditAlign;
    TPicklistEvent OnGetPicklist;
    TEditStyleEvent OnGetEditStyle;

protected:
    // The cell's own content: OnDrawCell. DrawCell calls it between the background and the
    // edges.
    virtual void DrawCellContent(int col, int row, const TRect& rect, TGridDrawState state);
    virtual void EditChanged();
    virtual void FixedCellClicked(int col, int row);
    virtual void CheckFixedButton(int col, int row, bool& enabled);

    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    void Paint() override;
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void TopLeftChanged() override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class TRxInplaceEdit;
    bool IsFixedCell(int col, int row) const;
    void TrackButton(int x, int y);
    void StopButtonTracking();
    void InvalidateRowCells(int row);
    void EditorTextChanged();

    std::unique_ptr<TIniLink> link_;
    bool cancelling_ = false;
    bool fixedButtons_ = false;
    TGridCoord pressed_{-1, -1};
    bool down_ = false;
    bool tracking_ = false;
    bool rightMove_ = false;
    bool savedDefaultDrawing_ = true;
};
