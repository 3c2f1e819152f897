#pragma once

// Pictures of the theme: frames cut out of horizontal strips, and the built-in styles' pictures
// loaded from the program's resources into framework bitmaps.

#include <QString>

class TBitmap;
class TGraphic;

// The target takes frame frameIndex (1-based) of a strip of frameCount equal-width frames: it is
// sized to (source width div frameCount) x source height. Pixels the frame would take from
// outside the source (an index beyond the strip) are left white, never read.
void CutStripFrame(TBitmap* source, TBitmap* target, int frameCount, int frameIndex);

// Loads the built-in style's picture of an image item into the bitmap; nothing for a missing
// bitmap, an item that is no image or a style outside 1..5.
void LoadBuiltinThemeImage(int style, int item, TBitmap* bitmap);
// frameCount 0 loads the whole picture into the graphic; otherwise frame frameIndex of
// frameCount. Nothing without a graphic.
void LoadBuiltinThemeFrame(int style, int item, TGraphic* graphic, int frameCount, int frameIndex);

// Loads a named bitmap resource of the skinned controls ("MSGDLG", "MENU_CHECKED", ...) into the
// bitmap; false when there is no such resource.
bool LoadSkinResourceBitmap(const QString& name, TBitmap* bitmap);

// Copies a whole picture, or frame frameIndex of frameCount of it, into a graphic: a bitmap
// target takes it directly, any other graphic through Assign.
void PutFrameInto(TBitmap* picture, TGraphic* graphic, int frameCount, int frameIndex);
