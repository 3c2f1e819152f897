#pragma once

// The storage routines every stored layout goes through: default file, key and section names,
// strings and integers in either kind of store, screen-size-keyed values, a form's placement
// keys and a grid's column widths.
//
// A store is a TCustomIniFile (an INI file) or a TRegIniFile (a registry key whose subkeys are
// the sections); the routines take it untyped, as TObject*, and do nothing with anything else.

#include "framework/object.h"

#include <QString>
#include <functional>

class QObject;
class TForm;

// Set by the application before the first store is opened; read whenever a default is made.
extern bool StorageUseAppTitle;        // the application title is the last level of the key
extern QString StorageCompanyName;     // level between "Software\" and the title
extern std::function<QString()> DefaultIniNameHook; // replaces the default INI file name

// For a form its class name; for a control its form's class name followed by its name (or its
// parent's name and its name, or its name alone); for another component owned by a form
// "FormClass.Name"; otherwise the component's name.
QString DefaultStorageSection(const QObject* component);
// The program's file name with the extension ".INI", without folder (an INI file named so lands
// in the per-user settings folder).
QString DefaultIniFileName();
// "Software\" + [company + "\"] + the application title or the program's name.
QString DefaultRegistryKey();

QString StoreReadString(TObject* store, const QString& section, const QString& key, const QString& def);
// Decimal (the INI store also takes "0x" hexadecimal); a missing key or other text gives def.
int StoreReadInteger(TObject* store, const QString& section, const QString& key, int def);
// In an INI store a value that begins and ends with the same quote (" or ') gets one more pair of
// double quotes, so that it reads back as it was given.
void StoreWriteString(TObject* store, const QString& section, const QString& key, const QString& value);
void StoreWriteInteger(TObject* store, const QString& section, const QString& key, int value);
void StoreEraseSection(TObject* store, const QString& section);

// "(WxH)" of the primary screen.
QString ScreenSizeSuffix();
// Reads key + ScreenSizeSuffix(), and when that is empty the plain key.
QString ReadScreenKeyedString(TObject* store, const QString& section, const QString& key);
// Writes under key + ScreenSizeSuffix() and under the plain key.
void WriteScreenKeyedString(TObject* store, const QString& section, const QString& key, const QString& value);

// The window placement record of a form, as the stored keys hold it. On Linux the minimised and
// maximised positions cannot be set; they are kept with the form so that they read back.
enum : unsigned { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };
enum : unsigned { WPF_SETMINPOSITION = 1, WPF_RESTORETOMAXIMIZED = 2 };
struct TWindowPlacement {
    unsigned flags = 0;
    unsigned showCmd = SW_SHOWNORMAL;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0; // the normal (restored) rectangle
};
TWindowPlacement GetFormPlacement(TForm* form);
// Sets the normal rectangle (whatever state the form is in) and keeps the positions.
void SetFormPlacement(TForm* form, const TWindowPlacement& wp);

// Writes "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos" of the form.
void StorePlacementKeys(TForm* form, TObject* store, const QString& section);
// Restores position and size (when the stored pixels per inch match the screen's) and the
// window state.
void LoadPlacementKeys(TForm* form, TObject* store, const QString& section, bool restorePosition, bool restoreState);

// "Item%d" = the width of each column. Grid: ColCount(), ColWidths(i), SetColWidths(i, w).
template <class Grid>
void SaveGridColumnWidths(Grid* grid, TObject* store, const QString& section)
{
    for (int i = 0; i < grid->ColCount(); ++i)
        StoreWriteInteger(store, section, QStringLiteral("Item%1").arg(i), grid->ColWidths(i));
}
template <class Grid>
void RestoreGridColumnWidths(Grid* grid, TObject* store, const QString& section)
{
    for (int i = 0; i < grid->ColCount(); ++i)
        grid->SetColWidths(i, StoreReadInteger(store, section, QStringLiteral("Item%1").arg(i), grid->ColWidths(i)));
}
