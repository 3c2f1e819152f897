#pragma once

// Help on Linux. The program's help "file" (the name the windows pass, "dodozizozodazo.zed"
// beside the program) is a folder of HTML pages, "help/" in the same folder, with the contents
// page "index.htm". A help path as the windows spell it, "<file>::/<page>#<anchor>><window>",
// is mapped to a page of that folder and shown in the program's help window: the contents
// beside the page, one window for the whole program.

#include <QString>
#include <cstdint>

class QWidget;

// Commands of the help call, with the original's numbers.
enum : unsigned {
    HH_DISPLAY_TOPIC = 0x0000,
    HH_DISPLAY_TOC = 0x0001,
    HH_HELP_CONTEXT = 0x000F,
    HH_CLOSE_ALL = 0x0012,
};

struct HelpLocation {
    QString Folder; // the pages' folder, ending in "/"
    QString Page;   // a file name in Folder; the contents page when the topic is missing
    QString Anchor; // without "#"
    QString Window; // the window definition after ">", unused here
};

inline constexpr const char* kHelpContentsPage = "index.htm";

// Where a help path leads. A topic that names no existing page, or no topic at all, leads to
// the contents page (with no anchor).
HelpLocation MapHelpPath(const QString& path);

// Shows help for path: HH_DISPLAY_TOPIC and HH_DISPLAY_TOC show its page, HH_HELP_CONTEXT
// (data: a context number, which no page is mapped to) the contents page. Returns the help
// window, or nullptr with errno set (ENOENT when the help pages are missing, EINVAL for an
// unknown command); HH_CLOSE_ALL closes the window and returns nullptr. owner (may be null)
// keeps the window above it and takes it along when it is destroyed.
QWidget* HtmlHelp(QWidget* owner, const QString& path, unsigned command, uintptr_t data);

// The help window when one is open (tests), and the page and anchor it shows.
QWidget* HelpWindow();
QString HelpWindowPage();
