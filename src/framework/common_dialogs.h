#pragma once

// The common dialogs: open and save file, colour, font, print, printer setup and the folder
// browser, on Qt's own (non-native) dialogs. Each Execute first asks the answering seam of
// dialogs.h, so windows that open them can be tested without a screen.

#include "framework/component.h"
#include "framework/definition_target.h"
#include "framework/graphics.h"

#include <memory>

class QPrinter;
class TStringList;
class TStrings;

namespace DialogTypes {
Q_NAMESPACE
enum TOpenOption {
    ofReadOnly = 1 << 0,
    ofOverwritePrompt = 1 << 1,
    ofHideReadOnly = 1 << 2,
    ofNoChangeDir = 1 << 3,
    ofShowHelp = 1 << 4,
    ofNoValidate = 1 << 5,
    ofAllowMultiSelect = 1 << 6,
    ofExtensionDifferent = 1 << 7,
    ofPathMustExist = 1 << 8,
    ofFileMustExist = 1 << 9,
    ofCreatePrompt = 1 << 10,
    ofShareAware = 1 << 11,
    ofNoReadOnlyReturn = 1 << 12,
    ofNoTestFileCreate = 1 << 13,
    ofNoNetworkButton = 1 << 14,
    ofNoLongNames = 1 << 15,
    ofOldStyleDialog = 1 << 16,
    ofNoDereferenceLinks = 1 << 17,
    ofEnableIncludeNotify = 1 << 18,
    ofEnableSizing = 1 << 19,
    ofDontAddToRecent = 1 << 20,
    ofForceShowHidden = 1 << 21,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_FLAG_NS(TOpenOptions)
enum TColorDialogOption { cdFullOpen = 1, cdPreventFullOpen = 2, cdShowHelp = 4, cdSolidColor = 8, cdAnyColor = 16 };
Q_DECLARE_FLAGS(TColorDialogOptions, TColorDialogOption)
Q_FLAG_NS(TColorDialogOptions)
enum TPrintRange { prAllPages, prSelection, prPageNums };
Q_ENUM_NS(TPrintRange)
} // namespace DialogTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogTypes::TOpenOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogTypes::TColorDialogOptions)
using namespace DialogTypes;

class TCommonDialog : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)

public:
    explicit TCommonDialog(QObject* owner = nullptr);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }
    bool Ctl3D() const { return true; }
    void SetCtl3D(bool) {}
    // Shows the dialog; true when the person confirmed it.
    virtual bool Execute() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    // Asks the seam; returns true when it answered, with accepted set.
    bool AskSeam(int kind, bool& accepted);

private:
    int helpContext_ = 0;
};

class TOpenDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(int FilterIndex READ FilterIndex WRITE SetFilterIndex)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(DialogTypes::TOpenOptions Options READ Options WRITE SetOptions)

public:
    explicit TOpenDialog(QObject* owner = nullptr);
    ~TOpenDialog() override;

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& f) { fileName_ = f; }
    // Pairs of description and patterns: "Icon files (*.ico)|*.ico|All files|*.*".
    QString Filter() const { return filter_; }
    void SetFilter(const QString& f) { filter_ = f; }
    // 1-based index of the chosen filter.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int i) { filterIndex_ = i; }
    QString DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const QString& e) { defaultExt_ = e; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& d) { initialDir_ = d; }
    QString Title() const { return title_; }
    void SetTitle(const QString& t) { title_ = t; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions o) { options_ = o; }
    // The files chosen (several with ofAllowMultiSelect).
    TStrings* Files() const;

    bool Execute() override;

    TNotifyEvent OnTypeChange;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    // The filter as Qt's file dialog wants it ("Icon files (*.ico)" ...).
    QStringList QtFilters() const;

protected:
    virtual bool SaveMode() const { return false; }
    // Appends DefaultExt to a file name without an extension.
    QString WithDefaultExt(const QString& name) const;

private:
    QString fileName_;
    QString filter_;
    int filterIndex_ = 1;
    QString defaultExt_;
    QString initialDir_;
    QString title_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
    Q_OBJECT
public:
    explicit TSaveDialog(QObject* owner = nullptr) : TOpenDialog(owner) {}

protected:
    bool SaveMode() const override { return true; }
};

class TColorDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(DialogTypes::TColorDialogOptions Options READ Options WRITE SetOptions)

public:
    explicit TColorDialog(QObject* owner = nullptr);
    ~TColorDialog() override;
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    TColorDialogOptions Options() const { return options_; }
    void SetOptions(TColorDialogOptions o) { options_ = o; }
    // "ColorA=FFFFFF" ... "ColorP=...": the sixteen custom colours as hex 0xBBGGRR.
    TStrings* CustomColors() const;

    bool Execute() override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

private:
    TColor color_ = clBlack;
    TColorDialogOptions options_;
    std::unique_ptr<TStringList> customColors_;
};

class TFontDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(int MinFontSize READ MinFontSize WRITE SetMinFontSize)
    Q_PROPERTY(int MaxFontSize READ MaxFontSize WRITE SetMaxFontSize)

public:
    explicit TFontDialog(QObject* owner = nullptr);
    ~TFontDialog() override;
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* f);
    int MinFontSize() const { return minFontSize_; }
    void SetMinFontSize(int v) { minFontSize_ = v; }
    int MaxFontSize() const { return maxFontSize_; }
    void SetMaxFontSize(int v) { maxFontSize_ = v; }

    bool Execute() override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

private:
    std::unique_ptr<TFont> font_;
    int minFontSize_ = 0;
    int maxFontSize_ = 0;
};

class TPrintDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(int Copies READ Copies WRITE SetCopies)
    Q_PROPERTY(int FromPage READ FromPage WRITE SetFromPage)
    Q_PROPERTY(int ToPage READ ToPage WRITE SetToPage)
    Q_PROPERTY(int MinPage READ MinPage WRITE SetMinPage)
    Q_PROPERTY(int MaxPage READ MaxPage WRITE SetMaxPage)
    Q_PROPERTY(bool Collate READ Collate WRITE SetCollate)
    Q_PROPERTY(bool PrintToFile READ PrintToFile WRITE SetPrintToFile)
    Q_PROPERTY(DialogTypes::TPrintRange PrintRange READ PrintRange WRITE SetPrintRange)

public:
    explicit TPrintDialog(QObject* owner = nullptr) : TCommonDialog(owner) {}
    int Copies() const { return copies_; }
    void SetCopies(int v) { copies_ = std::max(1, v); }
    int FromPage() const { return fromPage_; }
    void SetFromPage(int v) { fromPage_ = v; }
    int ToPage() const { return toPage_; }
    void SetToPage(int v) { toPage_ = v; }
    int MinPage() const { return minPage_; }
    void SetMinPage(int v) { minPage_ = v; }
    int MaxPage() const { return maxPage_; }
    void SetMaxPage(int v) { maxPage_ = v; }
    bool Collate() const { return collate_; }
    void SetCollate(bool v) { collate_ = v; }
    bool PrintToFile() const { return printToFile_; }
    void SetPrintToFile(bool v) { printToFile_ = v; }
    TPrintRange PrintRange() const { return printRange_; }
    void SetPrintRange(TPrintRange r) { printRange_ = r; }

    bool Execute() override;

private:
    int copies_ = 1;
    int fromPage_ = 0;
    int toPage_ = 0;
    int minPage_ = 0;
    int maxPage_ = 0;
    bool collate_ = false;
    bool printToFile_ = false;
    TPrintRange printRange_ = prAllPages;
};

class TPrinterSetupDialog : public TCommonDialog {
    Q_OBJECT
public:
    explicit TPrinterSetupDialog(QObject* owner = nullptr) : TCommonDialog(owner) {}
    bool Execute() override;
};

// Asks before a save writes over a file that exists: true when no file stands at path, or when
// the user answers Yes to "<path> already exists. Do you want to replace it?". A save dialog with
// ofOverwritePrompt asks this itself; a caller that makes its own name of the dialog's (adding
// an extension) asks with the name it will write.
bool ConfirmReplaceFile(const QString& path);

// The printer the print dialogs set up and the program prints on.
QPrinter* DialogPrinter();

// The folder browser: shows caption, starts at directory (below root when given) and returns
// the chosen folder in directory. False when cancelled.
bool SelectDirectory(const QString& caption, const QString& root, QString& directory);
