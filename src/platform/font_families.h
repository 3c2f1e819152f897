#pragma once

// Font families of the desktop the program was written for, found among the families installed
// here. The windows and drawing routines name a few Windows fonts; each of those stands for an
// installed family of the same kind (metric-compatible where one exists).

#include <QString>
#include <QStringList>

// The installed family the name stands for: the installed family of that name (compared without
// regard to case), else the stand-in of a Windows font when it is installed; empty when neither
// is.
QString InstalledFontFamily(const QString& name);

// The installed families, sorted, as a font list offers them.
QStringList InstalledFontFamilies();
