#pragma once

// The pictures of the colour panel, the palettes and the document tab strip, drawn when the main
// window is made: colour palettes from the fixed colour tables, pattern palettes from the pattern
// files beside the program, and the arrows, tile backgrounds and folding buttons.

#include <QImage>
#include <QString>

class TForm;

// The picture for the control of that name; a null image for a name without one.
QImage PanelPicture(const QString& name);

// Gives every picture control of the window that has a picture here its picture.
void InstallPanelPictures(TForm& form);
