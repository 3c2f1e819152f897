#pragma once

// Stand-alone scroll bar, track bar and progress bar. Setting Position from code fires OnChange
// as a person's move does.

#include "framework/controls.h"

class QScrollBar;
class QSlider;
class QProgressBar;

namespace RangeTypes {
Q_NAMESPACE
enum TScrollBarKind { sbHorizontal, sbVertical };
Q_ENUM_NS(TScrollBarKind)
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
Q_ENUM_NS(TScrollCode)
enum TTrackBarOrientation { trHorizontal, trVertical };
Q_ENUM_NS(TTrackBarOrientation)
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
Q_ENUM_NS(TTickMark)
enum TTickStyle { tsNone, tsAuto, tsManual };
Q_ENUM_NS(TTickStyle)
enum TProgressBarOrientation { pbHorizontal, pbVertical };
Q_ENUM_NS(TProgressBarOrientation)
} // namespace RangeTypes
using namespace RangeTypes;

using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(RangeTypes::TScrollBarKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE SetSmallChange)
    Q_PROPERTY(int LargeChange READ LargeChange WRITE SetLargeChange)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)

public:
    explicit TScrollBar(QWidget* parent = nullptr);
    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind k);
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    void SetParams(int position, int min, int max);
    int SmallChange() const;
    void SetSmallChange(int v);
    int LargeChange() const;
    void SetLargeChange(int v);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

private:
    QScrollBar* bar_;
    TScrollBarKind kind_ = sbHorizontal;
    int max_ = 100;
    int pageSize_ = 0;
};

class TTrackBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(RangeTypes::TTrackBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(RangeTypes::TTickMark TickMarks READ TickMarks WRITE SetTickMarks)
    Q_PROPERTY(RangeTypes::TTickStyle TickStyle READ TickStyle WRITE SetTickStyle)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(int LineSize READ LineSize WRITE SetLineSize)
    Q_PROPERTY(int ThumbLength READ ThumbLength WRITE SetThumbLength)
    Q_PROPERTY(bool SliderVisible READ SliderVisible WRITE SetSliderVisible)
    Q_PROPERTY(int SelStart READ SelStart WRITE SetSelStart)
    Q_PROPERTY(int SelEnd READ SelEnd WRITE SetSelEnd)

public:
    explicit TTrackBar(QWidget* parent = nullptr);
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation o);
    int Frequency() const;
    void SetFrequency(int v);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark t);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle t);
    int PageSize() const;
    void SetPageSize(int v);
    int LineSize() const;
    void SetLineSize(int v);
    int ThumbLength() const { return thumbLength_; }
    void SetThumbLength(int v) { thumbLength_ = v; }
    bool SliderVisible() const { return sliderVisible_; }
    void SetSliderVisible(bool v) { sliderVisible_ = v; }
    int SelStart() const { return selStart_; }
    void SetSelStart(int v) { selStart_ = v; }
    int SelEnd() const { return selEnd_; }
    void SetSelEnd(int v) { selEnd_ = v; }

    TNotifyEvent OnChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

private:
    void UpdateTicks();
    QSlider* slider_;
    TTrackBarOrientation orientation_ = trHorizontal;
    TTickMark tickMarks_ = tmBottomRight;
    TTickStyle tickStyle_ = tsAuto;
    int thumbLength_ = 20;
    bool sliderVisible_ = true;
    int selStart_ = 0;
    int selEnd_ = 0;
};

class TProgressBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_PROPERTY(RangeTypes::TProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)

public:
    explicit TProgressBar(QWidget* parent = nullptr);
    int Min() const;
    void SetMin(int v);
    int Max() const;
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool v) { smooth_ = v; }
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation o);
    void StepIt();
    void StepBy(int delta);

private:
    QProgressBar* bar_;
    int step_ = 10;
    bool smooth_ = false;
    TProgressBarOrientation orientation_ = pbHorizontal;
};
