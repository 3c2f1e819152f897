#include "mainwindow/palette_results.h"

#include "document/canvas_mouse.h"
#include "document/icon_document.h"
#include "document/newiconview.h"

void FitResultToFormatPalette(TForm* document)
{
    auto* doc = qobject_cast<Tnewiconview*>(document);
    if (!doc || PaletteBitsOfKind(doc->CurrentKind) == 0)
        return;
    ReducePaletteFormat(*doc);
    doc->RebuildView();
    doc->UpdateThumbnails();
}
