#pragma once

// The file routines on the main window itself: its fields, its open and save dialogs
// ("OpenDialog1", "SavePictureDialog1", "png"), the recent items "N1Untitled1".."N10Untitled1",
// the combo "userfilename" and its message boxes. Handlers make one for the call:
//     TIconmainFiles files(*this);
//     OpenFileByName(files);
// The dialogs' file names are taken when it is made and written back when it goes, so a file
// name a routine leaves in the open dialog stays there. The import window, the multi-frame
// viewer, the animated cursor builder and the JPEG options dialog come here as they are built.

#include "mainwindow/file_host.h"

class QObject;
class Ticonmain;

class TIconmainFiles : public TFileHost {
public:
    explicit TIconmainFiles(Ticonmain& main);
    ~TIconmainFiles() override;

    bool ExecuteOpenDialog() override;
    bool ExecuteSaveDialog(int& filterIndex) override;
    bool ExecutePngDialog(QString& fileName) override;
    void ShowMessage(const QString& text, TMessageIcon icon) override;
    void ShowPlainMessage(const QString& text) override;
    void ShowStatus(const QString& text) override;
    void ShowJpegOptions() override;
    void MinimizeApplication() override;
    void SetRecentItemCaption(int k, const QString& caption) override;
    void AddRecentComboItem(const QString& path) override;
    QString RecentComboText() const override;
    // The windows these roads need are not built yet: each says so.
    void OpenPictureInImportWindow(const QString& path) override;
    void OpenLibraryInImportWindow(const QString& path) override;
    void OpenInViewer(const QString& path, int number, bool asGlobal, const QString& caption) override;
    // The animated cursor builder, through the builders the program installed.
    void EnsureAniBuilder() override;
    bool MayReplaceAniBuilderFrames() override;
    void HandFramesToAniBuilder(const std::vector<TAniBuilderFrame>& frames) override;

private:
    QObject* Component(const QString& name) const;

    Ticonmain& main_;
};

// Files dropped on the main window open by name, the first of each drop only.
void AcceptDroppedFiles(Ticonmain& main);
