#include "mainwindow/document_windows.h"

#include "document/newiconview.h"

namespace {

Tnewiconview* NewDocument()
{
    auto* document = new Tnewiconview(nullptr);
    // Documents live in the main window's client area.
    document->SetFormStyle(fsMDIChild);
    return document;
}

} // namespace

TForm* CreateTemplateDocument()
{
    return NewDocument();
}

TForm* CreateDocumentWindow(const QString& name, const QString& caption)
{
    Tnewiconview* document = NewDocument();
    document->setObjectName(name);
    document->SetCaption(caption);
    return document;
}
