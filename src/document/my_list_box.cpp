#include "document/my_list_box.h"

#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

TMyListBox::TMyListBox(QWidget* parent) : TCustomListBox(parent)
{
    SetStyle(lbOwnerDrawFixed);
}

void TMyListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (state & odSelected) {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->Font()->SetColor(clWhite);
    }
    if (index >= 0 && index < Count())
        TCustomListBox::DrawItem(index, rect, state);
}

void RegisterMyListBoxClass()
{
    RegisterComponentClass<TMyListBox>("TMyListBox");
}
