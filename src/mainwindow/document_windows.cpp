#include "mainwindow/document_windows.h"

#include "document/editor_state.h"
#include "document/format_list.h"
#include "document/icon_document.h"
#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "skin/mdi_form.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

const QString kTemplateName = QStringLiteral("newiconview");

bool activating = false;

// The document the main window's preview was last brought to.
QPointer<Tnewiconview>& PreviewedDocument()
{
    static QPointer<Tnewiconview> document;
    return document;
}

Tnewiconview* NewDocument()
{
    auto* document = new Tnewiconview(nullptr);
    // Documents live in the main window's client area.
    document->SetFormStyle(fsMDIChild);
    return document;
}

bool IsProject(const Tnewiconview* doc)
{
    return doc && !doc->IsTemplate() && doc->objectName().startsWith(QLatin1String("iconview"), Qt::CaseInsensitive);
}

Tnewiconview* FindDocumentWindow(const QString& name)
{
    for (QWidget* w : QApplication::allWidgets())
        if (auto* doc = qobject_cast<Tnewiconview*>(w))
            if (doc->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return doc;
    return nullptr;
}

// The project the frame activated most recently, else any project still open.
Tnewiconview* NextProject()
{
    if (TForm* main = Application->MainForm(); main && main->ClientArea()) {
        const QList<QMdiSubWindow*> order = main->ClientArea()->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = order.crbegin(); it != order.crend(); ++it) {
            auto* doc = qobject_cast<Tnewiconview*>((*it)->widget());
            if (IsProject(doc) && (*it)->isVisible())
                return doc;
        }
    }
    for (QWidget* w : QApplication::allWidgets())
        if (auto* doc = qobject_cast<Tnewiconview*>(w); IsProject(doc))
            return doc;
    return nullptr;
}

// What the main window shows of the active document; with no project left, nothing of one.
void ShowDocumentState(TEditorState& s, Tnewiconview* doc)
{
    if (!IsProject(doc)) {
        for (const char* label : {"bigbig", "formaticon", "projectcaption"})
            s.SetLabelText(QLatin1String(label), QString());
        SetUndoControls(false);
        SetRedoControls(false);
        return;
    }
    const int f = doc->CurrentFormat();
    // The colour panel and the formats made next follow the document in front, not the one
    // made or clicked last: its kind decides whether a colour is reduced to a table, and which.
    MakeFormatCurrent(*doc, f);
    SwitchColorPanel(doc->FormatTable.Kind(f), false);
    s.SetLabelText(QStringLiteral("projectcaption"), doc->Caption());
    s.SetLabelText(QStringLiteral("bigbig"), QString::number(doc->Zoom * 100) + QStringLiteral(" %"));
    s.SetLabelText(QStringLiteral("formaticon"), doc->FormatTable.Width(f) + QStringLiteral(" * ") +
                                                     doc->FormatTable.Height(f) + QStringLiteral(" - ") +
                                                     doc->FormatTable.Kind(f));
    doc->ShowHistoryControls();
}

// The active document went: the next project becomes active, or, with none left, the template.
void DocumentGone(const QString& name)
{
    TEditorState* s = EditorState();
    if (!s || s->ActiveDocumentName.compare(name, Qt::CaseInsensitive) != 0)
        return;
    if (Tnewiconview* next = NextProject()) {
        next->suiForm1Click(next);
        return;
    }
    s->ActiveDocumentName = kTemplateName;
    s->ActiveDocumentNumber = 1;
    s->CurrentFilePath.clear();
    s->SetLabelText(QStringLiteral("userfilename"), QString());
    ShowDocumentState(*s, nullptr);
    s->ClearPreview();
    s->HighlightDocumentTab(0);
}

} // namespace

TForm* CreateTemplateDocument()
{
    return NewDocument();
}

void ParkTemplateDocument(TForm* templ)
{
    if (templ)
        templ->Hide();
}

TForm* CreateDocumentWindow(const QString& name, const QString& caption)
{
    Tnewiconview* document = NewDocument();
    document->setObjectName(name);
    document->SetCaption(caption);
    // The frame activates a window when it comes to the front (by its title, the keyboard or a
    // window closing): it is then the active document as after a click on it.
    document->OnActivate = [document](TObject*) {
        if (!activating)
            document->suiForm1Click(document);
    };
    // The window is half taken down when it says it goes; the next one is activated once it is
    // gone.
    QObject::connect(document, &QObject::destroyed, [](QObject* gone) {
        QMetaObject::invokeMethod(qApp, [name = gone->objectName()] { DocumentGone(name); }, Qt::QueuedConnection);
    });
    return document;
}

void ShowActiveDocumentState(TEditorState& state)
{
    ShowDocumentState(state, FindDocumentWindow(state.ActiveDocumentName));
}

void ActivateDocumentWindow(TEditorState& state, int number)
{
    if (activating)
        return;
    activating = true;
    if (Tnewiconview* doc = FindDocumentWindow(QStringLiteral("iconview%1").arg(number)); doc && doc->isVisible() && !doc->Active())
        doc->Show();
    Tnewiconview* active = FindDocumentWindow(state.ActiveDocumentName);
    ShowDocumentState(state, active);
    // The preview shows the document that came to the front, however it came; activations by
    // the mouse passing over the same document leave it as it is.
    if (IsProject(active) && active != PreviewedDocument()) {
        PreviewedDocument() = active;
        active->UpdateThumbnails();
    }
    activating = false;
}

void ArrangeDocumentWindows(TForm& frame, bool tile)
{
    // The skinned frame lays the windows out in its tile direction; the template is none of the
    // windows it arranges.
    auto* skinned = qobject_cast<TsuiMDIForm*>(frame.FindComponent(QStringLiteral("suiMDIForm1")));
    if (!skinned) {
        tile ? frame.Tile() : frame.Cascade();
        return;
    }
    const auto users = [](TForm* child) {
        auto* doc = qobject_cast<Tnewiconview*>(child);
        return !doc || !doc->IsTemplate();
    };
    if (tile)
        skinned->Tile(users);
    else
        skinned->Cascade(users);
}
