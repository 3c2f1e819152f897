#pragma once

// The help component. While an instance exists it serves the application's help requests:
// context help opens the help file at a numbered topic, the contents request opens it with its
// table of contents. Requests go to the most recently created instance that still exists; an
// instance takes itself out when it is destroyed, so a request never reaches a window that is
// gone, whatever order the windows close in.

#include "framework/component.h"

#include <cstdint>

class QWidget;

// Commands of a help request, with the original's numbers.
enum : uint16_t {
    HELP_CONTEXT = 0x0001,
    HELP_QUIT = 0x0002,
    HELP_INDEX = 0x0003,
    HELP_CONTENTS = 0x0003,
    HELP_HELPONHELP = 0x0004,
    HELP_SETINDEX = 0x0005,
    HELP_CONTEXTPOPUP = 0x0008,
    HELP_FINDER = 0x000B,
};

class THtmlHelp : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString ChmFile READ ChmFile WRITE SetChmFile)
    Q_PROPERTY(QString WinDef READ WinDef WRITE SetWinDef)
    Q_PROPERTY(bool DefaultFile READ DefaultFile WRITE SetDefaultFile)

public:
    explicit THtmlHelp(QObject* AOwner);
    ~THtmlHelp() override;

    QString ChmFile() const { return chmFile_; }
    void SetChmFile(const QString& f) { chmFile_ = f; }
    QString WinDef() const { return winDef_; }
    void SetWinDef(const QString& w) { winDef_ = w; }
    bool DefaultFile() const { return defaultFile_; }
    // true clears ChmFile, so loading takes the application's help file.
    void SetDefaultFile(bool v);

    // ChmFile, "::" + topic when there is one, ">" + WinDef when there is one.
    QString BuildHelpPath(const QString& topic) const;
    // The application's help event: HELP_CONTEXT and HELP_CONTEXTPOPUP show the numbered topic
    // (a negative number is a range error), HELP_FINDER the contents; every other command is
    // swallowed. CallHelp is always cleared and the request always counts as handled.
    bool HandleAppHelp(uint16_t Command, int32_t Data, bool& CallHelp);
    // The help window, or null when the help could not be shown.
    QWidget* ShowHelpContext(int32_t id);

protected:
    // With DefaultFile, ChmFile becomes the application's help file, beside the program when it
    // names no folder.
    void Loaded() override;

private:
    QString chmFile_;
    QString winDef_;
    bool defaultFile_ = true;
};

// The application's help request, as the application's help calls make it: the newest help
// component that exists handles it. Returns whether it was handled; without a help component
// nothing opens and false is returned.
bool ApplicationHelpCommand(uint16_t command, int32_t data);
inline bool ApplicationHelpContext(int32_t context)
{
    return ApplicationHelpCommand(HELP_CONTEXT, context);
}
