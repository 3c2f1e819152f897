#pragma once

// The skinned track bar: a bar picture of the theme drawn to the control's length with a slider
// child on it, paged by clicks beside the slider (repeating while held), dragged by the slider,
// stepped by keys. The scroll bar's inner track is a track bar that keeps the pictures its
// scroll bar gives it.

#include "framework/controls.h"
#include "skin/controls/progress_bar.h"
#include "skin/theme_items.h"

#include <memory>

class QTimer;
class TBitmap;
class TsuiFileTheme;
class TsuiTrackBar;

// The slider: a child that shows its picture (transparent or opaque) at the picture's size and
// hands its mouse to the track bar.
class TsuiTrackBarSlider : public TCustomControl {
    Q_OBJECT
public:
    explicit TsuiTrackBarSlider(TsuiTrackBar* track);
    ~TsuiTrackBarSlider() override;

    TBitmap* Picture() const { return picture_.get(); }
    // Takes a copy and sizes itself to it.
    void SetPicture(TBitmap* picture);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    void FitToPicture();

protected:
    void Paint() override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TsuiTrackBar* track_;
    std::unique_ptr<TBitmap> picture_;
    bool transparent_ = false;
};

class TsuiTrackBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(SkinBarTypes::TsuiProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(int LineSize READ LineSize WRITE SetLineSize)
    Q_PROPERTY(bool ShowTick READ ShowTick WRITE SetShowTick)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)

public:
    explicit TsuiTrackBar(QWidget* parent = nullptr);
    ~TsuiTrackBar() override;

    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation o);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TBitmap* BarImage() const { return barImage_.get(); }
    void SetBarImage(TBitmap* bitmap);
    TBitmap* SliderImage() const;
    virtual void SetSliderImage(TBitmap* bitmap);

    // Min above Max is held at Max, Max below Min at Min; Position stays within Min..Max.
    int Max() const { return max_; }
    void SetMax(int v);
    int Min() const { return min_; }
    void SetMin(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    // Accepted only within 0..Max.
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int v);
    bool ShowTick() const { return showTick_; }
    void SetShowTick(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    int Frequency() const { return frequency_; }
    void SetFrequency(int v);

    // Position minus the previously reported position at the latest OnChange.
    int LastChange() const { return lastChange_; }
    TsuiTrackBarSlider* Slider() const { return slider_; }
    bool Dragging() const { return dragging_; }
    bool Paging() const { return repeatTimer_ != nullptr; }

    // Where the slider stands for the current Position.
    TPoint GetSliderOrigin() const;
    // The position a point along the bar stands for (not held within Min..Max).
    int PositionFromPoint(int x, int y) const;
    // The values at which ticks stand: Min, Min + Frequency, ... below Max, and Max.
    QList<int> TickValues() const;

    // One tick of the page repeat, toward the mouse.
    void RepeatTick();

    void Notification(QObject* AComponent, TOperation Operation) override;

    TNotifyEvent OnChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    virtual void LoadThemePictures();
    virtual bool KeepsOwnPictures() const { return false; }
    virtual bool IsSliderTransparent() const { return orientation_ == suiHorizontal; }
    void ApplyTheme();
    void FitThickness();
    void UpdateSlider();
    void DrawTicks(TCanvas* canvas);

    void Paint() override;
    void Resize() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class TsuiTrackBarSlider;
    void SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void SliderMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void StopRepeat();
    void EndMouse();
    void TakeFocus();
    void PageToward(int c, int p, int step);
    void BuildBarStrip();

    std::unique_ptr<TBitmap> barImage_;
    QTimer* repeatTimer_ = nullptr;
    TsuiTrackBarSlider* slider_ = nullptr;
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int lastPosition_ = 0;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    bool showTick_ = true;
    bool transparent_ = false;
    bool dragging_ = false;
    bool applyingTheme_ = false;
    int lastChange_ = 0;
    int frequency_ = 1;
    int pageSize_ = 2;
    int lineSize_ = 1;
    std::unique_ptr<TBitmap> barStrip_;
    TPoint mousePos_;
};

// The inner track of a scroll bar: keeps the pictures it is given; its slider is opaque.
class TsuiScrollTrackBar : public TsuiTrackBar {
    Q_OBJECT
public:
    explicit TsuiScrollTrackBar(QWidget* parent = nullptr);
    // Sizes the slider to its picture.
    void FitSlider();

protected:
    bool KeepsOwnPictures() const override { return true; }
    bool IsSliderTransparent() const override { return false; }
};
