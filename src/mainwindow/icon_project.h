#pragma once

// Opening an icon file as a project: a new document window with one format per image of the
// file, each at its own size and kind, the file added to the open history and a copy of it kept
// in the scratch folder. Every road that ends in an icon project comes here: .ico files, and the
// icon copies that the cursor, animated cursor and icon library roads write.

#include <QString>

class QImage;
class TFileHost;
class Tnewiconview;

// Where an icon handed to OpenIconAsProject comes from.
struct TIconProjectOrigin {
    // The file the user opened, for the open history; empty: the icon file itself.
    QString UserFile;
    // The file a one-image project records as its own (File > Save writes back to it); empty:
    // none, as for icons copied into the scratch folder, which is emptied when the program ends.
    QString DocumentFile;
    // The icon is a cursor's copy: each entry's planes and bit-count fields hold its hot spot,
    // which its format keeps.
    bool Cursor = false;
};

// The kind of a format from a decoded image's pixel format (1 "Mono", 2 "16", 3 "256",
// 6 "16.8M", 7 "XP"); any other value (16-bit images, images that could not be decoded) keeps
// currentKind.
QString ImageKindOfPixelFormat(int pixelFormat, const QString& currentKind);

// Opens the icon file as a new project named "iconview" + N, N the first free document number,
// and makes it the active document; the one-image file becomes the document's file. Only images
// that decode become formats; damaged ones are skipped and counted in a message. Images larger
// than 255 pixels, and images past the hundredth format, are kept unedited in the document and
// written back in their places when it is saved; the status bar says how many, and a message
// names those past the hundredth. A file with no icon header or no decodable image opens nothing
// ("Invalid icon format!"), one holding only larger images opens nothing with a message saying
// why; a file that cannot be opened raises the framework's file-open error. Returns the new
// document, or null.
Tnewiconview* OpenIconAsProject(TFileHost& host, const QString& path, const TIconProjectOrigin& origin);
inline Tnewiconview* OpenIconAsProject(TFileHost& host, const QString& path)
{
    return OpenIconAsProject(host, path, {path, path});
}
