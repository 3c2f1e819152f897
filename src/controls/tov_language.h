#pragma once

// The language switcher: replaces the texts of a window's components with the entries of the
// language file "Language\Language.lng" beside the program, so the interface can be translated
// without rebuilding. A line of its section "Language" is "Form.Component.Property=text", where
// "~~" in the text stands for a line break.

#include "framework/component.h"

class TtovLanguage : public TComponent {
    Q_OBJECT

public:
    explicit TtovLanguage(QObject* AOwner);

    // Records which language file the window gets in the program's INI file, then applies it.
    void ApplyToForm(QObject* form);
    // Applies the entries of one language file that name this form. A missing file, or one
    // without a section "Language", changes nothing.
    void ApplyLanguageFile(QObject* form, const QString& path);

    // Full path of the language file last applied.
    QString LanguageFile;
};

struct TLanguageLine {
    QString Form;
    QString Component;
    QString Property;
    QString Text;
};

// Splits "key=value": the form part is the key up to its first ".", the component part up to
// the next ".", the property part the rest (it may hold further dots); the value has every "~~"
// turned into CR LF. A line without "=" gives an empty form part.
TLanguageLine SplitLanguageLine(const QString& line);

// The program's own INI file: the program's name with the extension ".ini", beside the program
// (under the per-user data folder when the program's folder is read-only).
QString GetProgramIniName();
