#pragma once

// The skinned colour box: an owner-drawn combo box of named colours, each with a swatch,
// optionally headed by a custom-colour entry that opens the colour dialog.

#include "skin/controls/combo_box.h"

#include <QVector>

namespace ColorBoxTypes {
Q_NAMESPACE
enum TColorBoxStyles {
    cbStandardColors = 0x1,
    cbExtendedColors = 0x2,
    cbSystemColors = 0x4,
    cbIncludeNone = 0x8,
    cbIncludeDefault = 0x10,
    cbCustomColor = 0x20,
    cbPrettyNames = 0x40,
};
Q_DECLARE_FLAGS(TColorBoxStyle, TColorBoxStyles)
Q_FLAG_NS(TColorBoxStyle)
} // namespace ColorBoxTypes
Q_DECLARE_OPERATORS_FOR_FLAGS(ColorBoxTypes::TColorBoxStyle)
using namespace ColorBoxTypes;

struct TColorName {
    const char* Name;
    TColor Value;
};
// The colour-name table in its order: the 16 standard colours, the 4 extended ones, then the
// system colours (clNone and clDefault among them) with their values in this program's encoding.
const QVector<TColorName>& ColorNameTable();

// Read from Selected when no item is selected.
inline constexpr TColor NoColorSelected = 0xFF000000;

class TsuiCustomColorBox : public TsuiCustomComboBox {
    Q_OBJECT
    Q_PROPERTY(ColorBoxTypes::TColorBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(uint Selected READ Selected WRITE SetSelected)
    Q_PROPERTY(uint DefaultColorColor READ DefaultColorColor WRITE SetDefaultColorColor)
    Q_PROPERTY(uint NoneColorColor READ NoneColorColor WRITE SetNoneColorColor)

public:
    explicit TsuiCustomColorBox(QWidget* parent = nullptr);

    TColorBoxStyle Style() const { return style_; }
    void SetStyle(TColorBoxStyle s);
    // The selected item's colour; NoColorSelected when none is selected.
    TColor Selected() const;
    void SetSelected(TColor c);
    TColor DefaultColorColor() const { return defaultColorColor_; }
    void SetDefaultColorColor(TColor c);
    TColor NoneColorColor() const { return noneColorColor_; }
    void SetNoneColorColor(TColor c);

    int ColorCount() const { return int(colors_.size()); }
    TColor Colors(int index) const { return index >= 0 && index < colors_.size() ? colors_[index] : clNone; }
    QString ColorNames(int index) const;

    // Opens the colour dialog on the custom entry's colour; true when OK was chosen.
    virtual bool PickCustomColor();
    // Black for a pale swatch (any component above 192); otherwise white when the item is drawn
    // selected, else the swatch colour itself.
    static TColor SwatchFrameColor(TColor swatch, bool selected);

    void Loaded() override;

protected:
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void Select() override;
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void ListClosed() override;

private:
    void PopulateList();
    void AddColorItem(const TColorName& entry);
    // The list is filled once the window is built (or, outside a window definition, at once).
    bool WindowReady() const { return loaded_ || !IsLoading(); }

    TColorBoxStyle style_ = TColorBoxStyle(cbStandardColors) | cbExtendedColors | cbSystemColors;
    bool needsFilling_ = false;
    TColor defaultColorColor_ = clBlack;
    TColor noneColorColor_ = clBlack;
    TColor selected_ = clBlack;
    bool closedByUser_ = false;
    bool swallowChange_ = false;
    bool loaded_ = false;
    bool selectedPending_ = false;
    QVector<TColor> colors_;
};

class TsuiColorBox : public TsuiCustomColorBox {
    Q_OBJECT
public:
    explicit TsuiColorBox(QWidget* parent = nullptr) : TsuiCustomColorBox(parent) {}
};
