// The document's road to the new-format dialog.

#include "document/addimage.h"
#include "document/command_dialog.h"
#include "document/newiconview.h"

void Tnewiconview::addimageSHOW1Click(TObject*)
{
    SourceFormat = CurrentFormat();
    Taddimage& dialog = NewAddImage();
    TakeMainWindowSkin(dialog);
    dialog.ShowModal();
}
