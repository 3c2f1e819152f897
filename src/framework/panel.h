#pragma once

// Panels: a container with a caption and raised or lowered bevels.

#include "framework/controls.h"

class TCustomPanel : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ControlTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE SetParentBackground)

public:
    explicit TCustomPanel(QWidget* parent = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut b);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool FullRepaint() const { return true; }
    void SetFullRepaint(bool) {}
    bool ParentBackground() const { return false; }
    void SetParentBackground(bool) {}

    void AdjustClientRect(TRect& rect) const override;

protected:
    void Paint() override;
    void TextChanged() override;

private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr) : TCustomPanel(parent) {}
};

// Draws a 3D frame of width pixels just inside rect and shrinks rect by it: the left and top
// edges in topColor, the right and bottom edges in bottomColor.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
