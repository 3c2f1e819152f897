#include "mainwindow/document_windows.h"

#include "framework/forms.h"

namespace {

TForm* NewDocument()
{
    auto* document = new TForm(nullptr);
    document->SetFormStyle(fsMDIChild);
    document->SetBounds(-4, -2, 700, 560);
    return document;
}

} // namespace

TForm* CreateTemplateDocument()
{
    TForm* document = NewDocument();
    document->setObjectName(QStringLiteral("newiconview"));
    document->SetCaption(QStringLiteral("Project 1"));
    document->SetTop(5000);
    return document;
}

TForm* CreateDocumentWindow(const QString& name, const QString& caption)
{
    TForm* document = NewDocument();
    document->setObjectName(name);
    document->SetCaption(caption);
    return document;
}
