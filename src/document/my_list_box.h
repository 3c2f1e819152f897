#pragma once

// The document's format list: an owner-drawn list box of fixed item height whose selected entry
// is drawn on white rather than in the system's highlight colours, so that the entry pictures
// show the selection themselves. It also keeps where the remembered (current) entry was last
// painted.

#include "framework/list_box.h"

class TMyListBox : public TCustomListBox {
    Q_OBJECT

public:
    explicit TMyListBox(QWidget* parent = nullptr);

    // The entry recorded when the clicked entry was painted: index (-1 for none) and the left
    // and top of its item rectangle.
    int RememberedIndex = -1;
    int RememberedLeft = 0;
    int RememberedTop = 0;

protected:
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
};

// Registers TMyListBox with the window-definition loader.
void RegisterMyListBoxClass();
