#pragma once

// Writing a picture of the editor (a format, the snapshot sheet) as an outside picture file:
// BMP on a white ground, PNG and TIFF with their alpha, JPEG flattened on white at a quality,
// and GIF, EMF, WMF and TGA through the outside image control, which takes the picture as a
// PNG hand-over file in the scratch folder.
//
// Every writer replaces its target in one step: a write that fails raises an exception with
// the reason and leaves an existing file at the target as it was.

#include <QString>

class QImage;
class QObject;

// How one write treats the picture.
struct TPictureWriteOptions {
    // JPEG quality 0..100.
    int Quality = 75;
    // GIF, EMF, WMF and TGA: the control gets the picture laid over white (else as it stands).
    bool FlattenForControl = true;
    // GIF: white pixels become the transparent ones.
    bool GifWhiteTransparent = true;
    // TIFF: the encoder is given the multi-frame save flag.
    bool TiffSaveFlag = true;
};

// The extensions written, without their dot, in the order the export compares its word.
bool IsExportExtension(const QString& extension);

// The path with "." + extension appended unless the path's own extension (from the last dot of
// its file name) is exactly that one; the comparison minds case, so "a.PNG" becomes "a.PNG.png".
QString WithExportExtension(const QString& path, const QString& extension);

// The picture over opaque white: partly transparent pixels blended, transparent ones white.
QImage FlattenOnWhite(const QImage& picture);

// Writes the picture as extension ("bmp", "png", "tif", "jpg", "gif", "emf", "wmf", "tga") to the
// path with that extension appended as WithExportExtension does; returns the path written. The
// outside image control the writer makes is owned by owner while it lives. An empty picture, an
// empty path or an unknown extension raise EInvalidOperation; a target that cannot be written,
// EFCreateError or the control's EOleError.
QString WritePictureFile(const QImage& picture, const QString& extension, const QString& path,
                         const TPictureWriteOptions& options, QObject* owner);
