#pragma once

// The fonts the import windows name ("MS gothic", "MS PGothic") are not on Linux: each maps to
// the first installed family of a short list of look-alikes, else to the default sans family.

#include <QString>

QString ImportFontFamily(const QString& name);
