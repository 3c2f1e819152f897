#pragma once

// A flat-capable button painted on its parent, with a glyph and an optional down state shared by
// a group (GroupIndex): pressing one button of a group releases the others.

#include "framework/bit_btn.h"

class TSpeedButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(BitBtnTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    ~TSpeedButton() override;

    bool Flat() const { return flat_; }
    void SetFlat(bool v) { flat_ = v; update(); }
    bool Down() const { return down_; }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n) { numGlyphs_ = std::clamp(n, 1, 4); update(); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l) { layout_ = l; update(); }
    int Margin() const { return margin_; }
    void SetMargin(int m) { margin_ = m; update(); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int s) { spacing_ = s; update(); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; update(); }
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);

    void Click() override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool flat_ = false;
    bool down_ = false;
    bool pressed_ = false;
    bool hot_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool transparent_ = true;
    std::unique_ptr<TBitmap> glyph_;
};
