#pragma once

// A picture on the parent's area: shown as is, centred, stretched or proportionally fitted.

#include "framework/controls.h"

#include <memory>

class TPicture;

class TImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    // The picture; changing it repaints (and resizes with AutoSize).
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* picture);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);

    // Where the picture lands in the control.
    TRect DestRect() const;
    // Drawing on the image draws on its picture's bitmap (one is made when the picture is
    // empty, the size of the control).
    TCanvas* Canvas();

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Paint() override;
    QSize AutoSizeExtent() const override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
};
