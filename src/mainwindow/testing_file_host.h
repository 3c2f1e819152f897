#pragma once

// A main window for tests of the file routines: the editor state of the document tests, the
// recent menu and combo, the open history and the dialogs' answers kept in plain fields, and
// every request to a window that is not there recorded in Log.

#include "document/testing_editor_state.h"
#include "document/newiconview.h"
#include "mainwindow/file_host.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TTestingFileHost : public TFileHost {
public:
    TTestingFileHost() : TFileHost(Editor) {}

    bool ExecuteOpenDialog() override
    {
        if (DialogAnswer.isEmpty())
            return false;
        OpenFileName = DialogAnswer;
        return true;
    }
    bool ExecuteSaveDialog(int& filterIndex) override
    {
        Log << "SaveDialog";
        ProposedNames << SaveFileName;
        ProposedEntries.push_back(filterIndex);
        if (DialogAnswer.isEmpty())
            return false;
        SaveFileName = DialogAnswer;
        filterIndex = SaveFilterIndex;
        return true;
    }
    bool ConfirmReplace(const QString& path) override
    {
        if (!QFile::exists(path))
            return true;
        ReplaceQuestions << path;
        return ReplaceAnswer;
    }
    bool ExecutePngDialog(QString& fileName) override
    {
        fileName = DialogAnswer;
        return !fileName.isEmpty();
    }
    void ShowMessage(const QString& text, TMessageIcon icon) override
    {
        Messages << text;
        MessageIcons.push_back(icon);
    }
    void ShowPlainMessage(const QString& text) override { Messages << text; }
    void ShowStatus(const QString& text) override { Status << text; }
    void MinimizeApplication() override { Log << "Minimize"; }

    void SetRecentItemCaption(int k, const QString& caption) override { RecentCaptions[k] = caption; }
    void AddRecentComboItem(const QString& path) override { ComboItems << path; }
    QString RecentComboText() const override { return ComboText; }
    void SetRecentComboText(const QString& text) override { ComboText = text; }
    QStringList ReadOpenHistory() const override { return History; }
    void AppendOpenHistory(const QString& path) override { History << path; }

    Tnewiconview* NewDocumentWindow(const QString& name, const QString& caption) override
    {
        // No main window frame here: a plain window.
        auto* doc = new Tnewiconview(nullptr);
        doc->setObjectName(name);
        doc->SetCaption(caption);
        Documents.emplace_back(doc);
        return doc;
    }
    bool RunDocumentCommand(const QString& component, const QString& argument) override
    {
        Log << component + " " + argument;
        if (OnDocumentCommand)
            return OnDocumentCommand(component, argument);
        return TFileHost::RunDocumentCommand(component, argument);
    }

    void OpenPictureInImportWindow(const QString& path) override { Log << "ImportPicture " + path; }
    void OpenLibraryInImportWindow(const QString& path) override { Log << "ImportLibrary " + path; }
    void OpenInViewer(const QString& path, int number, bool asGlobal, const QString& caption) override
    {
        Log << QStringLiteral("Viewer %1 %2 %3 [%4]").arg(path).arg(number).arg(asGlobal ? "global" : "further", caption);
        ViewerOpen = true;
    }
    bool ViewerExists() const override { return ViewerOpen; }
    void EnsureAniBuilder() override { BuilderCreated = true; }
    void HandFramesToAniBuilder(const std::vector<TAniBuilderFrame>& frames) override { BuilderFrames = frames; }
    void ShowJpegOptions() override { Log << "JpegOptions"; }
    bool ConvertPictureToPng(const QString& source, const QString& target) override
    {
        Log << "Convert " + source;
        return TFileHost::ConvertPictureToPng(source, target);
    }

    TTestingEditorState Editor;
    QString DialogAnswer;
    int SaveFilterIndex = 1;
    // The names the save dialog started with; the files asked about before being replaced, and
    // the answer.
    QStringList ProposedNames;
    std::vector<int> ProposedEntries;
    QStringList ReplaceQuestions;
    bool ReplaceAnswer = true;
    QStringList Messages;
    std::vector<TMessageIcon> MessageIcons;
    QStringList Status;
    QStringList Log;
    QMap<int, QString> RecentCaptions;
    QStringList ComboItems;
    QString ComboText;
    QStringList History;
    bool ViewerOpen = false;
    bool BuilderCreated = false;
    std::vector<TAniBuilderFrame> BuilderFrames;
    std::vector<std::unique_ptr<Tnewiconview>> Documents;
    std::function<bool(const QString&, const QString&)> OnDocumentCommand;
};

// A program folder of its own with the template document, as the main window has it when files
// are opened.
#include "document/newiconview.h"
#include "platform/program_paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class FileRoadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        host.Editor.NewImageWidth = 32;
        host.Editor.NewImageHeight = 32;
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        host.Documents.clear();
        templ.reset();
        SetProgramFolder(QString());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // Writes bytes to a file of the test folder and gives its path.
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }

    QTemporaryDir dir;
    TTestingFileHost host;
    std::unique_ptr<Tnewiconview> templ;
};
