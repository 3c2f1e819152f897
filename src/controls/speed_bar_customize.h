#pragma once

// The drag picture of the speed bar's customizing mode: a disabled window over everything that
// shows a speed item's button face while the button is dragged to a new place.

#include "controls/button_glyph.h"
#include "framework/controls.h"

class TImageList;
class TSpeedItem;

class TBtnControl : public TCustomControl {
    Q_OBJECT
public:
    explicit TBtnControl(QWidget* parent = nullptr);
    ~TBtnControl() override;

    // Takes the face of the item's button and the bar's button size.
    void InitFromItem(TSpeedItem* item);
    // Shows the picture at a screen rectangle, over everything, without activation.
    void ShowAt(const TRect& screenRect);
    void HideImage();
    TButtonImage* Image() const { return image_.get(); }

protected:
    void Paint() override;
    void Resize() override;

private:
    std::unique_ptr<TButtonImage> image_;
    int spacing_ = 1;
    int margin_ = -1;
    TButtonLayout layout_ = blGlyphTop;
    int imageIndex_ = -1;
    TImageList* images_ = nullptr;
};
