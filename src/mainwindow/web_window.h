#pragma once

// The in-program web window and the shell's "open" for addresses. The program carries no web
// engine of its own here: the window's browser shows the address it was sent to and hands the
// page to the desktop's web browser, so every web command still reaches its page.

#include "framework/forms.h"

#include <QList>
#include <functional>

class TLabel;
class TsuiEdit;

// The maker's pages.
inline constexpr const char* kMakerHomePage = "http://www.brelnova.com/";
inline constexpr const char* kNewsletterPage = "http://www.brelnova.com/subscribe.html";
inline constexpr const char* kForumPage = "http://www.brelnova.com/forum/";

// Opens an address or a file with the desktop's default program, as the shell's default verb
// does. Nothing is started on the offscreen platform (tests); the last target is kept either way.
void ShellOpen(const QString& target);
QString LastShellOpen();

// Places a web window between the main window's tool palette and right-hand panel.
void PlaceWebWindow(TForm* window);

// The maker's pages that the main window's links open, by the name of the control that opens
// them, and whether the address goes into the web window's address list. Tests point them at a
// server of their own.
struct TMakerLink {
    QString Control;
    QString Address;
    bool AddToList = false;
};
QList<TMakerLink>& MakerLinks();
// The link of the control of that name (any letter case), or null.
const TMakerLink* FindMakerLink(const QString& control);

// Opens an address in the web window over the document area (into its address list when asked):
// the program's own browser window when it carries one, else the stand-in below.
void OpenWebPage(const QString& url, bool addToList);

// The program's own browser window, when the program carries one: it takes every web link of
// the main window (the address, and whether it goes into the address list). Unset, the links
// go to the stand-in below.
using TWebWindowOpener = std::function<void(const QString& url, bool addToList)>;
void SetWebWindowOpener(TWebWindowOpener opener);
const TWebWindowOpener& WebWindowOpener();

// The browser of the web window: the page it was last sent to.
class TWebBrowser : public TControl {
    Q_OBJECT
    Q_PROPERTY(QString LocationURL READ LocationURL)

public:
    explicit TWebBrowser(QWidget* owner = nullptr);
    QString LocationURL() const { return location_; }
    void Navigate(const QString& url);

private:
    QString location_;
    TLabel* text_ = nullptr;
};

class Tbrelnovaforum : public TForm {
    Q_OBJECT

public:
    explicit Tbrelnovaforum(QWidget* owner = nullptr);
    ~Tbrelnovaforum() override;

    TWebBrowser* WebBrowser1 = nullptr;
    Q_INVOKABLE void FormShow(TObject* Sender);
};

// Created on first use and kept.
extern Tbrelnovaforum* brelnovaforum;
