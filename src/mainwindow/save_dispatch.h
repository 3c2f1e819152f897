#pragma once

// Where and in which format the active document is written; the document writes every file
// itself through its commands ("BitBtn21" the whole project as an .ico, "BitBtn22" the current
// format as a .cur, "Button1" an export of the current format), run by name with their argument.

#include <QString>

class TFileHost;

// File > Save (ToolButton3Click): back to the current path when it ends in ".ico" or ".cur" (in
// any case), else through the save dialog. Returns the path the project now has as its own
// (an .ico or .cur written), or an empty text.
QString SaveCommand(TFileHost& host);
// File > Save as (Saveas1Click): always through the dialog; the path written becomes the
// current one, so the next Save writes there.
void SaveAsCommand(TFileHost& host);
// File > Export > Images... (N39Click): through the dialog; the current path stays.
void ExportImagesCommand(TFileHost& host);
// File > Export > PNG Files (Png1Click).
void ExportPngCommand(TFileHost& host);
// Tools > Send to Desktop (Senddasktop1Click): the project as "project" + N + ".ico" in the
// desktop folder, then the program minimised.
void SendToDesktopCommand(TFileHost& host);

// The desktop folder as the registry's shell folders hold it (value "Desktop" of the current
// user's "...\Explorer\Shell Folders"), unchanged; the platform's desktop folder when the value
// is missing.
QString GetDesktopFolder();

// The file name with the extension added unless it already ends with it (in any case).
QString WithExtension(const QString& fileName, const QString& extension);
