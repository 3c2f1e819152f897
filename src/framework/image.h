#pragma once

// A picture on the parent's area: shown as is, centred, stretched or proportionally fitted.

#include "framework/controls.h"

#include <QImage>

class TImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TImage(QWidget* parent = nullptr);

    // The picture, 32-bit ARGB; an empty image shows nothing.
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& image);
    void LoadPictureFromFile(const QString& fileName);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool v) { stretch_ = v; update(); }
    bool Center() const { return center_; }
    void SetCenter(bool v) { center_ = v; update(); }
    bool Proportional() const { return proportional_; }
    void SetProportional(bool v) { proportional_ = v; update(); }
    // With Transparent, a picture without alpha leaves its bottom-left pixel's colour out.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);

    // Where the picture lands in the control.
    QRect DestRect() const;

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Paint(QPainter& p) override;
    QSize AutoSizeExtent() const override;

private:
    void UpdateShown();
    QImage picture_;
    QImage shown_;
    bool stretch_ = false;
    bool center_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
};
