#pragma once

// The files a document writes and reads itself: the whole project as one multi-image .ico or
// .cur (each cursor image with its hot spot), the current format as the program's test cursor,
// the 32-bit one-image icon handed to the animated-cursor builder, the pixels of such an icon
// copied back into a format, and new icon, GIF and animated-cursor projects started from the
// current format.
//
// Every save goes through one-image icons in the scratch folder (one per format, named after the
// format number) and writes its target through memory, so a failed save leaves the old file whole.

#include "framework/palette.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QImage;
class TIconDocument;

// Colour count the icon writer is given for a kind: 24 for "XP" (only its mask is used) and
// "16.8M", 256, 16 and 2 for "256", "16" and "Mono"; 0 for a text that is no kind.
int IconColorsOfKind(const QString& kind);

// The one-image icon of format f at its kind's depth. Its mask is set exactly where the format's
// alpha is 0, whatever colour the pixel holds; the colour part is the format's own colours ("XP":
// pure blue, as only the mask is used), black under the mask. A format whose size is outside
// 1..255 or whose picture is missing raises EInvalidGraphic.
QByteArray FormatIconBytes(const TIconDocument& doc, int f, const QString& kind);
// Writes it as the scratch file f + ".ico" (WriteFormatIcon) and gives its bytes.
QByteArray WriteFormatIcon(const TIconDocument& doc, int f, const QString& kind);

// The 32-bit one-image icon of format f: alpha kept in the colour bytes, the mask taken from the
// end of the format's one-image icon iconBytes (as FormatIconBytes made it).
QByteArray BuildXPIconBytes(const TIconDocument& doc, int f, const QByteArray& iconBytes);

// Saves every format as one .ico, one image per format in the table's order: "XP" formats as
// 32-bit images, the others at their kind's depth, with the document's kept images unchanged in
// their places. argument is trimmed; "icl" writes the scratch
// file "icl.ico" for the icon-library writer and leaves SavedFileName alone, any other text is the
// target path and becomes SavedFileName and LastFileName. EditState becomes 2.
void SaveProjectIcon(TIconDocument& doc, const QString& argument);
// Saves every format as one .cur, laid out as the .ico save lays it out, each image with its
// hot spot (FormatHotSpot; a kept image its own or the document's). The path becomes
// LastFileName; SavedFileName and EditState stay.
void SaveProjectCursor(TIconDocument& doc, const QString& path);
// The .cur file's bytes (what SaveProjectCursor writes).
QByteArray ProjectCursorBytes(const TIconDocument& doc);
// Saves the current format as a one-image .cur at path with the hot spot (hotX, hotY).
// SavedFileName and EditState stay.
void SaveCurrentFormatCursor(TIconDocument& doc, const QString& path, int hotX, int hotY);
// The .cur file's bytes (what SaveCurrentFormatCursor writes).
QByteArray CurrentFormatCursorBytes(const TIconDocument& doc, int hotX, int hotY);

// Writes the current format as the 32-bit one-image icon "ani_ico" + frameNumber + ".ico" of the
// scratch folder and gives its path (MakeAniFrameIcon).
QString MakeAniFrameIcon(const TIconDocument& doc, int frameNumber);

// Copies the pixels of a 32-bit one-image icon file (alpha included) into the document's current
// format: rows bottom-up from byte 62, width by height pixels. A file that cannot be opened, is
// shorter than those pixels or holds no 32-bit image of that size there raises EInOutError and
// leaves the format as it was.
void LoadXPIconPixels(TIconDocument* doc, int width, int height, const QString& fileName);
// The same on the file's bytes: writes the width by height pixels into target (clipped to its
// size) and returns true, or returns false and leaves target alone for bytes that hold no such
// image.
bool CopyXPIconPixels(const QByteArray& data, int width, int height, QImage& target);

// The colour table of one icon image's bytes (a DIB of 1, 4 or 8 bits per pixel, plain or
// run-length coded):
// its used colours, or all 2^bits when it does not say, as far as the bytes hold them; bits
// takes the image's depth. Any other image (PNG, deeper DIBs, damaged bytes) gives an empty
// table and bits 0.
TPaletteEntries IconImageColorTable(const QByteArray& image, int& bits);

// ---- the document's commands (bodies of its hidden buttons and popup items) ----

// BitBtn21: the .ico save with the main window's CommandArgument.
void SaveIconCommand(TIconDocument& doc);
// The program's own test cursor, which the hot-spot dialog and the cursor test load:
// "UndoTemp\sethot.cur" beside the program.
QString TestCursorPath();
// BitBtn22: the .cur save to the main window's CommandArgument (untrimmed) with the document's
// own hot spots: every format (SaveProjectCursor), or, to the test cursor, the current format
// alone with its hot spot, which then shows as the editor's.
void SaveCursorCommand(TIconDocument& doc);
// New GIF project from the current format: the format over white saved as the scratch file
// "gif.bmp", handed to the GIF builder.
void NewGifProjectFromCurrentFormat(const TIconDocument& doc);
// New animated-cursor project from the current format: its 32-bit icon as the builder's next
// frame file, then added as a frame.
void NewAniProjectFromCurrentFormat(const TIconDocument& doc);

// The document number a new project takes: the first n in 1..counter for which exists(n) is
// false, else counter + 1.
int FreeDocumentNumber(int counter, const std::function<bool(int)>& exists);
// Draws the source's current format into the target's current format, scaled to the target's
// size (the copy step of a new icon project from the current format).
void CopyCurrentFormatInto(const TIconDocument& source, TIconDocument& target);
