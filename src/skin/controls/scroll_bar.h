#pragma once

// The skinned scroll bar: two arrow buttons that step by SmallChange while held and an inner
// track that pages and drags like a track bar. Memos, grids and list views lay it over their
// native scroll bars and keep the two in step.

#include "framework/controls.h"
#include "skin/controls/progress_bar.h"
#include "skin/theme_items.h"

#include <memory>

class TBitmap;
class TsuiFileTheme;
class TsuiImageButton;
class TsuiScrollTrackBar;

class TsuiScrollBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(int LineButton READ LineButton WRITE SetLineButton)
    Q_PROPERTY(SkinBarTypes::TsuiProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE SetSmallChange)
    Q_PROPERTY(int LargeChange READ LargeChange WRITE SetLargeChange)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)

public:
    explicit TsuiScrollBar(QWidget* parent = nullptr);
    ~TsuiScrollBar() override;

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation o);
    // A fixed slider length in pixels (at least 18); 0 sizes the slider from PageSize. Accepted
    // only when it fits between the buttons.
    int LineButton() const { return lineButton_; }
    void SetLineButton(int v);

    int Max() const;
    void SetMax(int v);
    int Min() const;
    void SetMin(int v);
    int Position() const;
    void SetPosition(int v);
    int PageSize() const;
    void SetPageSize(int v);
    int LargeChange() const;
    void SetLargeChange(int v);
    // 1..32767.
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v);

    // The OnChange of the inner track.
    TNotifyEvent& OnChange();
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    void SetSliderVisible(bool v);
    bool SliderVisible() const;
    int GetLastChange() const;

    void LineDecrease();
    void LineIncrease();

    TsuiScrollTrackBar* Track() const { return track_; }
    TsuiImageButton* StartButton() const { return startButton_; }
    TsuiImageButton* EndButton() const { return endButton_; }

    void SetVisible(bool v) override;
    void Notification(QObject* AComponent, TOperation Operation) override;

protected:
    void LoadThemePictures();
    void LayoutParts();
    void BuildSlider();
    void Resize() override;
    void ColorChanged() override;

private:
    TsuiScrollTrackBar* track_ = nullptr;
    TsuiImageButton* endButton_ = nullptr;
    TsuiImageButton* startButton_ = nullptr;
    std::unique_ptr<TBitmap> sliderHead_;
    std::unique_ptr<TBitmap> sliderMiddle_;
    std::unique_ptr<TBitmap> sliderTail_;
    TsuiUIStyle style_ = DeepBlue;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    int smallChange_ = 1;
    int lineButton_ = 0;
    bool layingOut_ = false;
};
