#include "document/iconsee.h"

#include "document/command_dialog.h"
#include "document/newiconview.h"
#include "document/picture_view.h"
#include "framework/image.h"

#include <QImage>

Ticonsee* iconsee = nullptr;

Ticonsee::Ticonsee(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/iconsee.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
    ScrollBox1 = qobject_cast<TControl*>(FindComponent(QStringLiteral("ScrollBox1")));
    showico = qobject_cast<TImage*>(FindComponent(QStringLiteral("showico")));
    bgimage = qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage")));
}

Ticonsee::~Ticonsee()
{
    if (iconsee == this)
        iconsee = nullptr;
}

Ticonsee& IconSee()
{
    if (!iconsee)
        iconsee = new Ticonsee(nullptr);
    return *iconsee;
}

void Ticonsee::ShowPicture(const QImage& picture)
{
    PlaceInScrollBox(ScrollBox1, showico, picture.width(), picture.height());
    ShowOnTile(showico, bgimage, picture);
}

void Ticonsee::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}
