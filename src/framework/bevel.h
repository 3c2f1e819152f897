#pragma once

// Bevels (3D boxes and lines) and shapes (rectangles and ellipses with a pen and a brush).

#include "framework/controls.h"

namespace BevelTypes {
Q_NAMESPACE
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)
enum TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
Q_ENUM_NS(TShapeType)
} // namespace BevelTypes
using namespace BevelTypes;

class TBevel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(BevelTypes::TBevelShape Shape READ Shape WRITE SetShape)
    Q_PROPERTY(BevelTypes::TBevelStyle Style READ Style WRITE SetStyle)

public:
    explicit TBevel(QWidget* parent = nullptr);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s) { shape_ = s; update(); }
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s) { style_ = s; update(); }

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

class TShape : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(BevelTypes::TShapeType Shape READ Shape WRITE SetShape)

public:
    explicit TShape(QWidget* parent = nullptr);
    ~TShape() override;
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType s) { shape_ = s; update(); }
    TPen* Pen() const { return pen_.get(); }
    TBrush* Brush() const { return brush_.get(); }

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
};
