#pragma once

// A push button with a picture. Kind gives the standard buttons their caption, picture role and
// modal result.

#include "framework/button.h"

#include <memory>

class TBitmap;

namespace BitBtnTypes {
Q_NAMESPACE
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
Q_ENUM_NS(TBitBtnKind)
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)
} // namespace BitBtnTypes
using namespace BitBtnTypes;

class TBitBtn : public TButton {
    Q_OBJECT
    Q_PROPERTY(BitBtnTypes::TBitBtnKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(BitBtnTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)

public:
    explicit TBitBtn(QWidget* parent = nullptr);
    ~TBitBtn() override;

    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind k);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l) { layout_ = l; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n) { numGlyphs_ = std::clamp(n, 1, 4); UpdateGlyph(); }
    int Margin() const { return margin_; }
    void SetMargin(int m) { margin_ = m; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int s) { spacing_ = s; }
    // The picture: a strip of NumGlyphs images (up, disabled, down, exclusive); the first shows,
    // its bottom-left colour transparent.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

private:
    void UpdateGlyph();
    void GuessNumGlyphs();
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int numGlyphs_ = 1;
    int margin_ = -1;
    int spacing_ = 4;
    std::unique_ptr<TBitmap> glyph_;
};
