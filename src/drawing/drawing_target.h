#pragma once

// What a drawing engine works on: the fields of the document window it draws for and the main
// window's drawing settings, gathered by the document for each engine call. An engine reads them
// afresh at every call and keeps nothing between calls; it writes back only the drag start (the
// freehand stroke moves it), the erase base copy (the freehand stroke replaces it) and the pixels
// of the current format, in place.

#include "platform/gdip.h"

#include <QString>
#include <functional>

class TImage;
class TImage32;

struct TDrawingTarget {
    // ---- the document: drag state (image cells) ----
    int DragStartX = 0;
    int DragStartY = 0;
    int DragEndX = 0;
    int DragEndY = 0;
    int ShiftMode = 1; // 2 = Shift held at the last move
    bool MouseIsDown = false;
    int StrokeButton = 0; // 1 = left button at the last move
    // The primary colour's texts at the press; StrokeColorA "0" marks an erasing stroke.
    QString StrokeColorA, StrokeColorR, StrokeColorG, StrokeColorB;

    // ---- the document: current format ----
    QString CurrentKind; // "XP", "16.8M", "256", "16" or "Mono"
    int CurrentWidth = 0;
    int CurrentHeight = 0;
    int Zoom = 1;
    GpBitmap* FormatImage = nullptr; // drawn in place, never replaced
    // The format as it was at the press of an erasing stroke; owned by the document. An engine
    // that replaces it disposes of the old copy.
    GpBitmap* EraseBaseImage = nullptr;
    // Pattern pictures of the "16" and "Mono" kinds, relative to the program folder.
    QString PatternPaths[2];

    // ---- the document: canvases ----
    TImage32* iconview = nullptr;   // the visible zoomed canvas
    TImage32* iconviewbg = nullptr; // the backdrop holding the committed composite
    TImage* bgimage = nullptr;      // the checkerboard tile

    // ---- the main window ----
    int CurrentTool = 2;
    int PenWidth = 1;
    int LineCapStyle = 1; // 1 flat ends, anything else round
    int FillStyle = 1;
    double RadialCenterX = 1.0;
    double RadialCenterY = 1.0;
    QString GradientImageFile;
    // The main window's edits ("upa".."upb" primary colour, "downa".."downb" secondary colour):
    // read whenever a brush is made, written by the erase set-up.
    std::function<QString(const QString& name)> EditText;
    std::function<void(const QString& name, const QString& text)> SetEditText;
};
