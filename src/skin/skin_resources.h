#pragma once

// The program's own bitmap resources of the skinned controls: the built-in styles' pictures
// ("DEEPBLUE_BUTTON") and the named strips ("MSGDLG", "MENU_CHECKED", ...), drawn at build time.

#include <QByteArray>
#include <QString>

// The file bytes of the named resource (a BMP; "MAINICON" is an icon file), or empty when the
// program has no resource of that name. Names compare without regard to case.
QByteArray SkinResourceBytes(const QString& name);
