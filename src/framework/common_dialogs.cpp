#include "framework/common_dialogs.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/modal_scope.h"
#include "framework/string_list.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

// ---- TCommonDialog

TCommonDialog::TCommonDialog(QObject* owner) : TComponent(owner) {}

bool TCommonDialog::AskSeam(int kind, bool& accepted)
{
    TDialogRequest r;
    r.Kind = TDialogRequest::TKind(kind);
    r.Dialog = this;
    if (!AnswerDialog(r))
        return false;
    accepted = r.Result != 0;
    return true;
}

bool TCommonDialog::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnShow", OnShow, h, "TObject*") || BindEventTo(name, "OnClose", OnClose, h, "TObject*");
}

// ---- TOpenDialog

TOpenDialog::TOpenDialog(QObject* owner) : TCommonDialog(owner), files_(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

TStrings* TOpenDialog::Files() const { return files_.get(); }

QStringList TOpenDialog::QtFilters() const
{
    QStringList out;
    const QStringList parts = filter_.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses of each entry.
        out << parts[i] + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
    }
    return out;
}

QString TOpenDialog::WithDefaultExt(const QString& name) const
{
    if (name.isEmpty() || defaultExt_.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    QString ext = defaultExt_;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return name + QLatin1Char('.') + ext;
}

bool TOpenDialog::Execute()
{
    TModalAboveScope above;
    if (OnShow)
        RunGuarded([this] { OnShow(this); }, this);
    bool accepted = false;
    bool answered = false;
    if (!AskSeam(SaveMode() ? TDialogRequest::dkSave : TDialogRequest::dkOpen, accepted)) {
        if (HeadlessPlatform()) {
            qWarning("Unanswered file dialog \"%s\"", qPrintable(title_));
            accepted = false;
        } else {
            QFileDialog dlg(QApplication::activeWindow(), title_);
            dlg.setOption(QFileDialog::DontUseNativeDialog, true);
            dlg.setAcceptMode(SaveMode() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            if (SaveMode())
                dlg.setFileMode(QFileDialog::AnyFile);
            else
                dlg.setFileMode(options_ & ofAllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
            dlg.setOption(QFileDialog::DontConfirmOverwrite, !(options_ & ofOverwritePrompt));
            // The dialog asks about the name it will give back, extension included.
            if (SaveMode() && !defaultExt_.isEmpty())
                dlg.setDefaultSuffix(defaultExt_.startsWith(QLatin1Char('.')) ? defaultExt_.mid(1) : defaultExt_);
            const QStringList filters = QtFilters();
            if (!filters.isEmpty()) {
                dlg.setNameFilters(filters);
                dlg.selectNameFilter(filters.value(std::clamp(filterIndex_, 1, int(filters.size())) - 1));
            }
            const QFileInfo fi(fileName_);
            QString dir = initialDir_;
            if (!fileName_.isEmpty() && !fi.path().isEmpty() && fi.path() != QLatin1String("."))
                dir = fi.path();
            if (!dir.isEmpty())
                dlg.setDirectory(dir);
            if (!fileName_.isEmpty())
                dlg.selectFile(fi.fileName());
            accepted = dlg.exec() == QDialog::Accepted;
            if (accepted) {
                const QStringList chosen = dlg.selectedFiles();
                files_->SetStrings(chosen);
                fileName_ = chosen.value(0);
                filterIndex_ = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
                if (filterIndex_ <= 0)
                    filterIndex_ = 1;
            }
        }
    } else {
        answered = true;
        if (accepted && files_->Count() == 0)
            files_->Add(fileName_);
    }
    if (accepted) {
        fileName_ = WithDefaultExt(fileName_);
        if (files_->Count() == 1)
            files_->Put(0, fileName_);
        // Qt's own dialog has asked already; an answered one asks now.
        if (answered && SaveMode() && (options_ & ofOverwritePrompt) && !ConfirmReplaceFile(fileName_))
            accepted = false;
    }
    if (OnClose)
        RunGuarded([this] { OnClose(this); }, this);
    return accepted;
}

bool TOpenDialog::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnTypeChange", OnTypeChange, h, "TObject*")
        || BindEventTo(name, "OnSelectionChange", OnSelectionChange, h, "TObject*")
        || BindEventTo(name, "OnFolderChange", OnFolderChange, h, "TObject*")
        || TCommonDialog::BindEvent(name, h);
}

// ---- TColorDialog

TColorDialog::TColorDialog(QObject* owner) : TCommonDialog(owner), customColors_(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

TStrings* TColorDialog::CustomColors() const { return customColors_.get(); }

bool TColorDialog::Execute()
{
    TModalAboveScope above;
    bool accepted = false;
    if (AskSeam(TDialogRequest::dkColor, accepted))
        return accepted;
    if (HeadlessPlatform()) {
        qWarning("Unanswered colour dialog");
        return false;
    }
    for (int i = 0; i < 16; ++i) {
        bool ok = false;
        const uint v = customColors_->Values(QStringLiteral("Color%1").arg(QChar('A' + i))).toUInt(&ok, 16);
        if (ok)
            QColorDialog::setCustomColor(i, ColorToQColor(TColor(v)));
    }
    QColorDialog dlg(ColorToQColor(color_), QApplication::activeWindow());
    dlg.setOption(QColorDialog::DontUseNativeDialog, true);
    accepted = dlg.exec() == QDialog::Accepted;
    if (accepted)
        color_ = QColorToColor(dlg.selectedColor());
    for (int i = 0; i < 16; ++i)
        customColors_->SetValue(QStringLiteral("Color%1").arg(QChar('A' + i)),
                                QString::number(QColorToColor(QColorDialog::customColor(i)), 16).toUpper());
    return accepted;
}

bool TColorDialog::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("CustomColors.Strings"), Qt::CaseInsensitive) == 0) {
        customColors_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return false;
}

// ---- TFontDialog

TFontDialog::TFontDialog(QObject* owner) : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* f) { font_->Assign(f); }

bool TFontDialog::Execute()
{
    TModalAboveScope above;
    bool accepted = false;
    if (AskSeam(TDialogRequest::dkFont, accepted))
        return accepted;
    if (HeadlessPlatform()) {
        qWarning("Unanswered font dialog");
        return false;
    }
    QFontDialog dlg(font_->ToQFont(), QApplication::activeWindow());
    dlg.setOption(QFontDialog::DontUseNativeDialog, true);
    accepted = dlg.exec() == QDialog::Accepted;
    if (accepted) {
        const QFont f = dlg.selectedFont();
        font_->SetName(f.family());
        if (f.pointSize() > 0)
            font_->SetSize(f.pointSize());
        else if (f.pixelSize() > 0)
            font_->SetHeight(-f.pixelSize());
        TFontStyles s = 0;
        if (f.bold())
            s |= fsBold;
        if (f.italic())
            s |= fsItalic;
        if (f.underline())
            s |= fsUnderline;
        if (f.strikeOut())
            s |= fsStrikeOut;
        font_->SetStyle(s);
    }
    return accepted;
}

bool TFontDialog::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader&)
{
    if (name.startsWith(QLatin1String("Font."), Qt::CaseInsensitive))
        return TDefinitionReader::ApplyFontProperty(name.mid(5), value, font_.get());
    return false;
}

bool ConfirmReplaceFile(const QString& path)
{
    const QFileInfo file(path);
    // A folder is no file to replace: the write itself says why it cannot go there.
    if (path.isEmpty() || !file.exists() || file.isDir())
        return true;
    return MessageDlg(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(path), mtConfirmation,
                      mbYesNo) == mrYes;
}

// ---- printing

QPrinter* DialogPrinter()
{
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return printer;
}

bool TPrintDialog::Execute()
{
    TModalAboveScope above;
    bool accepted = false;
    if (AskSeam(TDialogRequest::dkPrint, accepted))
        return accepted;
    if (HeadlessPlatform()) {
        qWarning("Unanswered print dialog");
        return false;
    }
    QPrinter* printer = DialogPrinter();
    printer->setCopyCount(copies_);
    printer->setCollateCopies(collate_);
    QPrintDialog dlg(printer, QApplication::activeWindow());
    if (maxPage_ > 0)
        dlg.setMinMax(minPage_, maxPage_);
    if (printRange_ == prPageNums)
        dlg.setFromTo(fromPage_, toPage_);
    accepted = dlg.exec() == QDialog::Accepted;
    if (accepted) {
        copies_ = printer->copyCount();
        collate_ = printer->collateCopies();
        fromPage_ = dlg.fromPage();
        toPage_ = dlg.toPage();
        printRange_ = dlg.printRange() == QAbstractPrintDialog::PageRange ? prPageNums
                      : dlg.printRange() == QAbstractPrintDialog::Selection ? prSelection
                                                                            : prAllPages;
        printToFile_ = printer->outputFormat() == QPrinter::PdfFormat;
    }
    return accepted;
}

bool TPrinterSetupDialog::Execute()
{
    TModalAboveScope above;
    bool accepted = false;
    if (AskSeam(TDialogRequest::dkPrinterSetup, accepted))
        return accepted;
    if (HeadlessPlatform()) {
        qWarning("Unanswered printer setup dialog");
        return false;
    }
    QPageSetupDialog dlg(DialogPrinter(), QApplication::activeWindow());
    return dlg.exec() == QDialog::Accepted;
}

// ---- folder browser

bool SelectDirectory(const QString& caption, const QString& root, QString& directory)
{
    TModalAboveScope above;
    TDialogRequest r;
    r.Kind = TDialogRequest::dkBrowseFolder;
    r.Caption = caption;
    r.Text = directory;
    if (AnswerDialog(r)) {
        if (r.Result != 0)
            directory = r.Text;
        return r.Result != 0;
    }
    if (HeadlessPlatform()) {
        qWarning("Unanswered folder browser \"%s\"", qPrintable(caption));
        return false;
    }
    const QString start = directory.isEmpty() ? root : directory;
    const QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, start,
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return false;
    directory = chosen;
    return true;
}
