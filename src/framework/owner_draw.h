#pragma once

// Owner-drawn list items: the state flags and handler types of the framework's list and combo
// boxes, and the Qt delegate that routes item painting to them.

#include "framework/controls.h"

#include <QStyledItemDelegate>

enum TOwnerDrawStateFlag {
    odSelected = 0x1,
    odGrayed = 0x2,
    odDisabled = 0x4,
    odChecked = 0x8,
    odFocused = 0x10,
    odDefault = 0x20,
    odComboBoxEdit = 0x1000,
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// Paints list rows through a control's DrawItem hook with the control's canvas on the row.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    using TPaintRow = std::function<void(QPainter* painter, int index, const QRect& rect, TOwnerDrawState state)>;
    using TRowHeight = std::function<int(int index)>;
    TOwnerDrawDelegate(QObject* parent, TPaintRow paint, TRowHeight height);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // While false, rows paint as Qt paints them.
    bool Active = false;

private:
    TPaintRow paint_;
    TRowHeight height_;
};

// Draws rect as the framework's default item: selection colours from the canvas, text at +2.
void DrawDefaultItem(TCanvas* canvas, const TRect& rect, const QString& text);
// Runs fn with canvas drawing through painter, selection colours prepared as the framework does.
void WithItemCanvas(TControl* control, QPainter* painter, TOwnerDrawState state, const std::function<void(TCanvas*)>& fn);
