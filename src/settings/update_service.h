#pragma once

// What the update service says and what the program makes of it. The service's version text is
// read by position: after blanks and control characters are trimmed from both ends, characters
// 11 to 18 are the version field (major digit, minor digit, six build characters) and the text
// from character 20 on is the release notes.

#include <QString>
#include <QUrl>

// The service's folder: "server" of section "liveupdate" in the configuration file (an explicit
// port is kept), or the maker's site when that is missing or not an http address.
QUrl UpdateServiceRoot();
// The version text and the web page with the details, both at the service's root.
QUrl UpdateVersionTextUrl();
QUrl UpdateDetailsUrl();

struct TUpdateReport {
    enum TKind { NoUpdate, NewVersion, Unreadable };
    TKind Kind = Unreadable;
    // The release box: "Product: Brelnova Studio", CR LF and the release notes.
    QString Release;
    // The message box's text.
    QString Message;
};

// Compares the service's text with the running version ("1.0") and build ("050206"). Only a
// field of eight digits is read; a newer field is a new version, the same or an older one is not.
TUpdateReport EvaluateVersionText(const QByteArray& text, const QString& version, const QString& build);
