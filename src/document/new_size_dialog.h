#pragma once

// What the new-project and new-format dialogs share: reading a side typed into a size edit,
// the size edits' key filter and change handling, warnings in the dialog's own message box and
// the help button.

#include <QString>

class QChar;
class TForm;

// Sides of an image are 1..255 pixels (one byte in an icon directory).
inline constexpr int kMaxImageSide = 255;

enum class TSideText {
    Taken,      // a whole number 1..255
    NotInteger, // anything but digits
    TooLarge,   // digits worth more than 255
    Incomplete, // empty or 0: nothing to take yet
};
TSideText ReadSideText(const QString& text, int& value);

// The five kinds a picture can have, and whether a text is one of them.
bool IsImageKind(const QString& kind);

// A key typed into a size edit: anything but backspace and the digits is dropped. Every key
// beeps, accepted ones too.
void FilterSizeKey(QChar& key);

// The warning texts of one size edit.
struct TSideWarnings {
    QString NotInteger;
    QString TooLarge;
};

// A size edit's change: a text with anything but digits is warned about and set to "32"; a
// number over 255 is warned about and the side stays; an empty edit or 0 waits; otherwise side
// takes the value and, while "Square" (suiCheckBox1) is ticked, the text goes into the partner
// edit as well. The partner's own change then stores it.
void SizeEditChanged(TForm& dialog, const char* edit, const char* partner, const TSideWarnings& warnings, int& side);

// The side typed into a size edit as the OK buttons take it: value set and an empty text when
// it is one, else the warning that refuses it.
QString SideFromEdit(const TForm& dialog, const char* edit, const QString& notInteger, int& value);

// The dialog's message box "suiMessageDialog1" with the warning icon and one OK button.
void WarnInDialog(TForm& dialog, const QString& text);

// Opens the help page of topic (as "/2_1.htm#new") in the help window; when the help pages are
// missing the dialog says so instead.
void ShowDialogHelp(TForm& dialog, const QString& topic);

// Text, checked state and enabled state of the dialog's controls by name.
QString ControlText(const TForm& dialog, const char* name);
void SetControlText(TForm& dialog, const char* name, const QString& text);
bool IsControlChecked(const TForm& dialog, const char* name);
void CheckControl(TForm& dialog, const char* name, bool checked);
void EnableControl(TForm& dialog, const char* name, bool enabled);
