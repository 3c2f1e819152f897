#include "mainwindow/printing.h"

#include "framework/commands.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "mainwindow/command_routing.h"
#include "framework/menus.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/list_form.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <QPointer>
#include <QPrinterInfo>

TRect PrintPictureRect(int w, int h)
{
    // trunc(w * 2.54) in whole numbers, so that 48 gives 121 and not a rounding of 121.92.
    const int width = 2 * (w * 254 / 100);
    const int height = 2 * (h * 254 / 100);
    return TRect{1200, 1600, 1200 + width, 1600 + height};
}

namespace {

TSaveDialog* SaveDialogOf(const Ticonmain& main)
{
    return qobject_cast<TSaveDialog*>(main.FindComponent(QStringLiteral("SavePictureDialog1")));
}

// Without a printer on the system each page goes to a PDF file of its own on the desktop, never
// over a file that is there (an earlier page, or a file of the user's of that name); the user is
// told where at every print, not only the first.
QString PrepareOutput(QPrinter& printer)
{
    static QString chosenByUs;
    const bool ours = !chosenByUs.isEmpty() && printer.outputFileName() == chosenByUs;
    if (!ours && (!printer.outputFileName().isEmpty() || !QPrinterInfo::availablePrinters().isEmpty()))
        return QString();
    const QString desktop = DesktopFolder();
    QDir().mkpath(desktop);
    QString pdf = desktop + QStringLiteral("/Brelnova Studio print.pdf");
    for (int n = 2; QFileInfo::exists(pdf); ++n)
        pdf = desktop + QStringLiteral("/Brelnova Studio print (%1).pdf").arg(n);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    chosenByUs = pdf;
    return pdf;
}

void PrintPicture(const QImage& picture, const QString& heading)
{
    QPrinter* printer = DialogPrinter();
    const QString pdf = PrepareOutput(*printer);
    if (printer->outputFormat() == QPrinter::PdfFormat)
        printer->setResolution(600);
    QPainter painter;
    if (!painter.begin(printer))
        throw Exception(QStringLiteral("Printer selected is not valid."));
    const TRect r = PrintPictureRect(picture.width(), picture.height());
    painter.drawText(QRect(1200, 500, 1 << 20, 1 << 16), Qt::AlignLeft | Qt::AlignTop, heading);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), picture);
    if (!painter.end())
        throw Exception(QStringLiteral("Printing aborted."));
    if (!pdf.isEmpty())
        MessageBox(QStringLiteral("No printer is installed; the page was written to \"%1\".").arg(pdf),
                   QStringLiteral("Brelnova Studio"), MB_OK | MB_ICONINFORMATION);
}

// Printing takes the current image of a project; the template behind the projects is none.
bool HasProjectToPrint(const TEditorState& state)
{
    if (ActiveProjectWindow(state))
        return true;
    MessageBox(QStringLiteral("Open or create an icon project first."), QStringLiteral("Brelnova Studio"),
               MB_OK | MB_ICONINFORMATION);
    return false;
}

} // namespace

void Ticonmain::PrintSetup1Click(TObject*)
{
    if (auto* dialog = qobject_cast<TPrinterSetupDialog*>(FindComponent(QStringLiteral("PrinterSetupDialog1"))))
        dialog->Execute();
}

void Ticonmain::PrintwithPreview1Click(TObject*)
{
    if (!HasProjectToPrint(*this))
        return;
    RunDocumentCommand(*this, QStringLiteral("Print"));
}

void Ticonmain::Print1Click(TObject*)
{
    if (!HasProjectToPrint(*this))
        return;
    TSaveDialog* dialog = SaveDialogOf(*this);
    TForm* document = ActiveDocumentWindow(*this);
    if (!dialog || !document)
        return;
    const QString remembered = dialog->FileName();
    QDir().mkpath(WritablePath(QStringLiteral("UndoTemp\\")));
    const QString scratch = WritablePath(QStringLiteral("UndoTemp\\print.bmp"));
    // An earlier print's picture must not stand in for an export that did not run.
    QFile::remove(scratch);
    dialog->SetFileName(scratch);
    QImage picture;
    QString heading;
    try {
        const QString bmp = QStringLiteral("bmp");
        if (!RunDocumentCommand(*this, QStringLiteral("Button1"), &bmp)) {
            dialog->SetFileName(remembered);
            return;
        }
        QImageReader reader(scratch);
        picture = reader.read();
        if (picture.isNull())
            throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(scratch, reader.errorString()));
        heading = document->Caption();
    } catch (...) {
        dialog->SetFileName(remembered);
        throw;
    }
    dialog->SetFileName(remembered);
    PrintPicture(picture, heading);
}

QString Ticonmain::SaveDialogFileName() const
{
    TSaveDialog* dialog = SaveDialogOf(*this);
    return dialog ? dialog->FileName() : TEditorState::SaveDialogFileName();
}

void Ticonmain::SetSaveDialogFileName(const QString& name)
{
    if (TSaveDialog* dialog = SaveDialogOf(*this))
        dialog->SetFileName(name);
    else
        TEditorState::SetSaveDialogFileName(name);
}

bool Ticonmain::ShowPrintPage(const QImage& picture, const QString& title)
{
    QPointer<TListForm> page = new TListForm(nullptr);
    page->SetPage(picture, title);
    page->ShowModal();
    // Closed by the user the page has freed itself; answered without showing, it goes here.
    if (page)
        page->Release();
    return true;
}
