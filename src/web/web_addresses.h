#pragma once

// Every address the web windows use, in one table, so that tests can point them at a server of
// their own.

#include <QString>
#include <QStringList>

struct TWebAddresses {
    // The two image-search services, each up to and including the slash before its path.
    QString ImageSearch1 = QStringLiteral("https://www.google.com/");
    QString ImageSearch1Name = QStringLiteral("Google");
    QString ImageSearch2 = QStringLiteral("https://search.yahoo.com/");
    QString ImageSearch2Name = QStringLiteral("Yahoo!");
    // The address box's first text, and the six sites of the web window's drop-down menu.
    QString StartPage = QStringLiteral("http://www.brelnova.com/forum/");
    QStringList Sites{QStringLiteral("http://www.brelnova.com/"), QStringLiteral("http://www.brelnova.com/forum/"),
                      QStringLiteral("http://www.brelnova.com/iconlibrary/"), QStringLiteral("http://www.brelnova.com/cursors/"),
                      QStringLiteral("http://www.brelnova.com/gifanimator/"), QStringLiteral("http://www.brelnova.com/download/")};
};

TWebAddresses& WebAddresses();

// Characters of code 32 or below taken off both ends, as the address box does; inner blanks and
// everything else stay as typed.
QString TrimAddress(const QString& text);

// Whether the web window can show the address as it would be navigated to: a web page (http or
// https with a host), a local file or a blank page. Anything else (an empty text, another
// program's scheme such as mailto) it cannot.
bool WebAddressLoadable(const QString& address);

// The web windows' definitions and every class they name; called by each window as it is made.
void RegisterWebClasses();
