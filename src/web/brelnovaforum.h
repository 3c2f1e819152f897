#pragma once

// The web window: a small browser with back, forward, refresh and stop, an address box, the
// maker's sites, a status bar and a button that starts the capture tool over the page. The
// browser engine is made only when the window is.
//
// It lives in its own namespace: the main window keeps a page-forwarding stand-in of the same
// name for builds without a browser engine, and this window takes over its road when present.

#include "framework/forms.h"

class QWebEngineView;

namespace web {

class Tbrelnovaforum : public TForm {
    Q_OBJECT

public:
    explicit Tbrelnovaforum(QWidget* owner = nullptr);
    ~Tbrelnovaforum() override;

    int ProgressDots = 0;
    // Whether the last load finished with a page (an error page is not one).
    bool LastLoadOk = false;
    int LoadsFinished = 0;
    QWebEngineView* WebBrowser1 = nullptr;

    // The address box's text and list.
    QString Address() const;
    QStringList AddressList() const;
    // Goes to the address; false, going nowhere, when it is no address the window can show.
    bool Navigate(const QString& url);
    // Steps 5 to 7 of every opener: the address (into the list when asked), then the page. An
    // address the window cannot show is refused with a message and changes nothing.
    bool ShowAddress(const QString& url, bool addToList);

    Q_INVOKABLE void FormCreate(TObject* Sender);
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void ToolButton1Click(TObject* Sender);
    Q_INVOKABLE void ToolButton2Click(TObject* Sender);
    Q_INVOKABLE void ToolButton3Click(TObject* Sender);
    Q_INVOKABLE void ToolButton4Click(TObject* Sender);
    Q_INVOKABLE void ToolButton5Click(TObject* Sender);
    Q_INVOKABLE void ToolButton6Click(TObject* Sender);
    Q_INVOKABLE void SiteClick(TObject* Sender);
    Q_INVOKABLE void suiComboBox1Change(TObject* Sender);
    void WebBrowser1DownloadBegin();
    // ok is false when the load ended without its page: stopped, or the page could not be had.
    void WebBrowser1DownloadComplete(bool ok = true);
    void WebBrowser1ProgressChange(int progress, int maximum);

    QString StatusText(int panel) const;

private:
    void SetStatus(int panel, const QString& text);
    bool settingAddress_ = false;
    bool stopped_ = false;
};

extern Tbrelnovaforum* brelnovaforum;

// Creates the window if needed, places it between the main window's tool palette and right
// panel, gives it the main window's skin, shows it, puts the address in (into the list when
// asked) and navigates. An address the window cannot show is refused with a message before
// anything opens or changes.
Tbrelnovaforum* OpenWebWindow(const QString& url, bool addToList);

} // namespace web

// Sends the main window's web links and its image search to these windows.
class Ticonmain;
void InstallWebWindows(Ticonmain* main);
