#pragma once

// Test support: the clicks a user gives a document's format list.

#include "document/format_list.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"

#include <QString>
#include <gtest/gtest.h>

// A click on format f (from 1) in the document's format list.
inline void ClickFormat(Tnewiconview* doc, int f)
{
    doc->FormatList()->SetItemIndex(f - 1);
    doc->MyListBox1Click(doc);
}

// A click on the (last) format whose width is side; that format is the current one afterwards.
inline void ClickFormatOfWidth(Tnewiconview* doc, int side)
{
    for (int f = 1; f <= doc->FormatCount(); ++f)
        if (doc->FormatTable.Width(f) == QString::number(side))
            doc->FormatList()->SetItemIndex(f - 1);
    doc->MyListBox1Click(doc);
    ASSERT_EQ(doc->CurrentWidth, side);
}
