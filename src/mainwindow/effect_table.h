#pragma once

// The effects of the Effects and Filters menus, one row per menu item: its effect code, whether
// it moves pixels (geometric) or only recolours them, whether it shows the filters and effects
// dialog or applies at once, the dialog's title, height and sliders, the slider positions Undo
// gives, and the image-control operations it runs. The launch, the dialog and the tests all read
// this one table.

#include "framework/magick_bridge.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class ImagingControl;

enum class TEffectMode {
    Dialog,           // shows the dialog; each slider release previews
    AtOnce,           // computed and applied without the dialog
    AtOnceAfterColour // at once, with the colour chosen in the main window's colour dialog
};

// Which rows of the dialog an effect shows.
enum class TSliderLayout {
    None,
    One,
    Two,
    Mosaic, // two sliders, only the first value box
    Three
};

struct TEffectSlider {
    const char* Name = nullptr; // the label text
    int Min = 0;
    int Max = 0;
    int Default = 0;
};

using TSliderPositions = std::array<int, 3>;
// Runs the effect's operations on the control's picture; colour is the mask colour (0x00BBGGRR).
using TEffectOperation = void (*)(ImagingControl& control, const TSliderPositions& s, int colour);

struct TEffectSpec {
    const char* Component; // the menu item
    int Code;
    bool Geometric;
    TEffectMode Mode;
    const char* Title;
    int Height;
    TSliderLayout Layout;
    std::array<TEffectSlider, 3> Sliders;
    // Positions Undo gives the sliders; false where Undo leaves them.
    bool HasUndoPositions;
    TSliderPositions UndoPositions;
    TEffectOperation Run;
};

const std::vector<TEffectSpec>& EffectTable();
const TEffectSpec* FindEffect(int code);
// The row of a menu item by its component name (any letter case).
const TEffectSpec* FindEffectItem(const QString& component);
int SliderCount(TSliderLayout layout);
// Geometric effects move pixels, and their alpha with them; every other code keeps each pixel's
// alpha where it is.
bool IsGeometricEffect(int code);

// The effect of the row on source at the slider positions, computed on control (whose picture it
// replaces) with one seed for all its random parts. Colour effects keep each pixel's alpha
// exactly; in every result a fully transparent pixel is (0, 0, 0, 0). Empty when the operation
// gave no picture of the source's size.
TRGBABuffer ComputeEffect(const TEffectSpec& spec, ImagingControl& control, const TRGBABuffer& source,
                          const TSliderPositions& s, int maskColour, uint32_t seed);
