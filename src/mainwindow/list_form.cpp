#include "mainwindow/list_form.h"

#include "document/editor_state.h"
#include "framework/bitmap.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"

#include <QImage>
#include <QPainter>
#include <QPointer>

TListForm* ListForm = nullptr;

namespace {

TControl* Part(const TForm& form, const char* name)
{
    return qobject_cast<TControl*>(form.FindComponent(QLatin1String(name)));
}

} // namespace

TListForm::TListForm(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    LoadDefinition(QStringLiteral(":/mainwindow/list_form.wdf"));
    KeepDialogTitleButtons(*this, false);
    ListForm = this;
}

TListForm::~TListForm()
{
    if (ListForm == this)
        ListForm = nullptr;
}

void TListForm::SetPage(const QImage& picture, const QString& title)
{
    if (auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("QRImage1")))) {
        image->SetBounds(image->Left(), image->Top(), picture.width(), picture.height());
        // The page is white paper: what is transparent in the image shows the paper, not black.
        QImage paper(picture.size(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter(&paper).drawImage(0, 0, picture);
        TBitmap bitmap;
        QImageToBitmap(paper, bitmap);
        image->Picture()->Assign(&bitmap);
    }
    if (TControl* label = Part(*this, "title"))
        label->SetCaption(title);
    FormPaint(this);
}

void TListForm::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
    FormPaint(this);
}

void TListForm::FormPaint(TObject*)
{
    TControl* panel = Part(*this, "Panel1");
    TControl* page = Part(*this, "QuickRep");
    TControl* title = Part(*this, "title");
    TControl* image = Part(*this, "QRImage1");
    if (!panel || !page || !title || !image)
        return;
    const int width = panel->Width() - 450;
    const int height = panel->Height() - 50;
    page->SetBounds((panel->Width() - width) / 2, (panel->Height() - height) / 2, width, height);
    title->SetLeft((page->Width() - title->Width()) / 2);
    image->SetBounds((page->Width() - image->Width()) / 2, (page->Height() - image->Height()) / 2, image->Width(),
                     image->Height());
}

void TListForm::FormClose(TObject*, TCloseAction& Action)
{
    Action = caFree;
}

void TListForm::ToolButton17Click(TObject*)
{
    if (iconmain)
        iconmain->Print1Click(this);
}

void TListForm::ToolButton28Click(TObject*)
{
    Close();
}
