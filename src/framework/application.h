#pragma once

// The application object and the screen. `Application` owns the windows, shows exceptions that
// handlers raise (none ever crosses Qt's event loop) and filters keys application-wide;
// `Screen` knows the monitor, the work area, every form and the cursor.

#include "framework/exceptions.h"
#include "framework/object.h"
#include "framework/types.h"

#include <QApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QCursor;
class TForm;
class TControl;

// A window message as the application's message handler sees it. Only keyboard messages are
// delivered: WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR and WM_SYSCHAR, with the
// virtual key (or character) in wParam.
struct TMsg {
    QObject* hwnd = nullptr;
    unsigned message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

enum : unsigned {
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
};

using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString HelpFile READ HelpFile WRITE SetHelpFile)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    TApplication();
    ~TApplication() override;

    QString Title() const;
    void SetTitle(const QString& t);
    // Full path of the running program.
    QString ExeName() const;
    QString HelpFile() const { return helpFile_; }
    void SetHelpFile(const QString& f) { helpFile_ = f; }

    bool Terminated() const { return terminated_; }
    void Terminate();
    // Handles pending events and returns.
    void ProcessMessages();
    // Creates a form owned by the application; the first one becomes MainForm.
    template <class T>
    void CreateForm(T*& reference)
    {
        reference = new T(nullptr);
        FormCreated(reference);
    }
    void FormCreated(TForm* form);
    TForm* MainForm() const;
    void SetMainForm(TForm* form);
    // Shows the main form and runs the event loop until Terminate.
    void Run();

    void Minimize();
    void Restore();
    void BringToFront();
    bool Active() const;

    // Shows the exception: OnException when bound, else ShowException.
    void HandleException(const Exception& e, TObject* sender = nullptr);
    // The default presentation: a message box with the error icon and the message.
    void ShowException(const Exception& e);
    // Message box captioned caption (the title when empty); flags as MessageBox in dialogs.h.
    int MessageBox(const QString& text, const QString& caption, unsigned flags);

    // Hints: the long part of the hint under the mouse; OnHint runs when it changes.
    QString Hint() const { return hint_; }
    void SetHint(const QString& h);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor c) { hintColor_ = c; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int ms) { hintHidePause_ = ms; }
    int HintShortPause() const { return hintShortPause_; }
    void SetHintShortPause(int ms) { hintShortPause_ = ms; }

    TExceptionEvent OnException;
    // Application-wide key filter: runs before the focused control sees the key; Handled
    // swallows it.
    TMessageEvent OnMessage;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // Routes keyboard events to OnMessage; installed on the Qt application on first use.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void EnsureInstalled();

private:
    QString title_;
    QString helpFile_;
    bool terminated_ = false;
    TForm* mainForm_ = nullptr;
    QString hint_;
    bool showHint_ = true;
    TColor hintColor_ = 0xFF000018; // clInfoBk
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    int hintShortPause_ = 50;
    bool installed_ = false;
    bool inException_ = false;
};

extern TApplication* const Application;

// The QApplication of the program: its notify override keeps exceptions from crossing Qt's event
// loop and hands them to Application->HandleException.
class TQtApplication : public QApplication {
    Q_OBJECT
public:
    TQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* e) override;
};

// Runs fn; an exception it raises goes to the application's handler instead of going on.
void RunGuarded(const std::function<void()>& fn, TObject* sender = nullptr);

class TScreen : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width)
    Q_PROPERTY(int Height READ Height)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)

public:
    TScreen();

    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }

    // Every form that exists, in creation order (MDI children included).
    int FormCount() const { return int(forms_.size()); }
    TForm* Forms(int index) const;
    const QList<TForm*>& FormList() const { return forms_; }
    TForm* ActiveForm() const;
    TControl* ActiveControl() const;

    // Application-wide cursor; crDefault (0) gives each control its own back.
    int Cursor() const;
    void SetCursor(int c);
    // The cursor table: the framework's cursor numbers (crHandPoint -21, crHourGlass -11, ...)
    // and the ones the program adds.
    QCursor Cursors(int index) const;
    void SetCursors(int index, const QCursor& cursor);

    void AddForm(TForm* f);
    void RemoveForm(TForm* f);

private:
    QList<TForm*> forms_;
};

extern TScreen* const Screen;
