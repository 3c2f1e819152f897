#pragma once

// Gives a window the shape of a picture's pixels that are not the transparent colour, and the
// picture's size.

#include "framework/component.h"
#include "framework/controls.h"
#include "framework/types.h"

#include <QPointer>
#include <memory>

class TBitmap;

class TsuiSkinControl : public TComponent, public TDefinitionTarget {
    Q_OBJECT
    Q_PROPERTY(TWinControl* Control READ Control WRITE SetControl)
    Q_PROPERTY(uint TransparentColor READ TransparentColor WRITE SetTransparentColor)

public:
    explicit TsuiSkinControl(QObject* AOwner = nullptr);
    ~TsuiSkinControl() override;

    TWinControl* Control() const { return control_; }
    void SetControl(TWinControl* control);
    TBitmap* Glyph() const { return glyph_.get(); }
    // Copies the bitmap.
    void SetGlyph(TBitmap* glyph);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor c);

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnRegionChanged;

private:
    void Shape();
    TWinControl* control_ = nullptr;
    std::unique_ptr<TBitmap> glyph_;
    TColor transparentColor_ = 0xFF00FF;
};
