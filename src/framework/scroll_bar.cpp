#include "framework/scroll_bar.h"

#include "framework/application.h"

#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>

// ---- TScrollBar

TScrollBar::TScrollBar(QWidget* parent) : TWinControl(parent), bar_(new QScrollBar(Qt::Horizontal))
{
    SetInnerWidget(bar_);
    SetBounds(0, 0, 121, 17);
    SetTabStop(true);
    bar_->setRange(0, 100);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    connect(bar_, &QScrollBar::valueChanged, this, [this](int) { Fire(OnChange, this); });
    connect(bar_, &QScrollBar::actionTriggered, this, [this](int action) {
        TScrollCode code = scPosition;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
        case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
        case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
        case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
        case QAbstractSlider::SliderToMinimum: code = scTop; break;
        case QAbstractSlider::SliderToMaximum: code = scBottom; break;
        case QAbstractSlider::SliderMove: code = scTrack; break;
        default: break;
        }
        int pos = bar_->sliderPosition();
        if (OnScroll) {
            Fire(OnScroll, this, code, pos);
            bar_->setSliderPosition(pos);
        }
    });
}

void TScrollBar::SetKind(TScrollBarKind k)
{
    kind_ = k;
    bar_->setOrientation(k == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
}

int TScrollBar::Min() const { return bar_->minimum(); }
void TScrollBar::SetMin(int v) { SetParams(Position(), v, max_); }
int TScrollBar::Max() const { return max_; }
void TScrollBar::SetMax(int v) { SetParams(Position(), Min(), v); }
int TScrollBar::Position() const { return bar_->value(); }
void TScrollBar::SetPosition(int v) { SetParams(v, Min(), max_); }

void TScrollBar::SetParams(int position, int min, int max)
{
    max_ = std::max(min, max);
    // The thumb's reach stops a page short of Max, as the framework's does.
    bar_->setRange(min, std::max(min, max_ - std::max(0, pageSize_ - 1)));
    bar_->setValue(std::clamp(position, min, bar_->maximum()));
}

int TScrollBar::SmallChange() const { return bar_->singleStep(); }
void TScrollBar::SetSmallChange(int v) { bar_->setSingleStep(v); }
int TScrollBar::LargeChange() const { return bar_->pageStep(); }
void TScrollBar::SetLargeChange(int v) { bar_->setPageStep(v); }

void TScrollBar::SetPageSize(int v)
{
    pageSize_ = std::max(0, v);
    SetParams(Position(), Min(), max_);
}

bool TScrollBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnScroll", OnScroll, h, "TObject*,TScrollCode,int&")
        || TWinControl::BindEvent(name, h);
}

// ---- TTrackBar

TTrackBar::TTrackBar(QWidget* parent) : TWinControl(parent), slider_(new QSlider(Qt::Horizontal))
{
    SetInnerWidget(slider_);
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
    slider_->setRange(0, 10);
    slider_->setPageStep(2);
    UpdateTicks();
    connect(slider_, &QSlider::valueChanged, this, [this](int) { Fire(OnChange, this); });
}

int TTrackBar::Min() const { return slider_->minimum(); }
void TTrackBar::SetMin(int v) { slider_->setMinimum(v); }
int TTrackBar::Max() const { return slider_->maximum(); }
void TTrackBar::SetMax(int v) { slider_->setMaximum(v); }
int TTrackBar::Position() const { return slider_->value(); }
void TTrackBar::SetPosition(int v) { slider_->setValue(v); }

void TTrackBar::SetOrientation(TTrackBarOrientation o)
{
    orientation_ = o;
    slider_->setOrientation(o == trHorizontal ? Qt::Horizontal : Qt::Vertical);
    // The framework's vertical track bars grow downwards.
    slider_->setInvertedAppearance(o == trVertical);
    UpdateTicks();
}

int TTrackBar::Frequency() const { return slider_->tickInterval(); }
void TTrackBar::SetFrequency(int v) { slider_->setTickInterval(std::max(1, v)); }

void TTrackBar::SetTickMarks(TTickMark t)
{
    tickMarks_ = t;
    UpdateTicks();
}

void TTrackBar::SetTickStyle(TTickStyle t)
{
    tickStyle_ = t;
    UpdateTicks();
}

void TTrackBar::UpdateTicks()
{
    if (tickStyle_ == tsNone) {
        slider_->setTickPosition(QSlider::NoTicks);
        return;
    }
    switch (tickMarks_) {
    case tmTopLeft: slider_->setTickPosition(QSlider::TicksAbove); break;
    case tmBoth: slider_->setTickPosition(QSlider::TicksBothSides); break;
    default: slider_->setTickPosition(QSlider::TicksBelow); break;
    }
}

int TTrackBar::PageSize() const { return slider_->pageStep(); }
void TTrackBar::SetPageSize(int v) { slider_->setPageStep(v); }
int TTrackBar::LineSize() const { return slider_->singleStep(); }
void TTrackBar::SetLineSize(int v) { slider_->setSingleStep(v); }

bool TTrackBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*") || TWinControl::BindEvent(name, h);
}

// ---- TProgressBar

TProgressBar::TProgressBar(QWidget* parent) : TWinControl(parent), bar_(new QProgressBar)
{
    SetInnerWidget(bar_);
    SetBounds(0, 0, 150, 16);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
}

int TProgressBar::Min() const { return bar_->minimum(); }
void TProgressBar::SetMin(int v) { bar_->setMinimum(v); }
int TProgressBar::Max() const { return bar_->maximum(); }
void TProgressBar::SetMax(int v) { bar_->setMaximum(v); }
int TProgressBar::Position() const { return bar_->value(); }
void TProgressBar::SetPosition(int v) { bar_->setValue(std::clamp(v, Min(), Max())); }

void TProgressBar::SetOrientation(TProgressBarOrientation o)
{
    orientation_ = o;
    bar_->setOrientation(o == pbHorizontal ? Qt::Horizontal : Qt::Vertical);
}

// Stepping past Max starts again from Min, as the framework's progress bar does.
void TProgressBar::StepIt() { StepBy(step_); }

void TProgressBar::StepBy(int delta)
{
    int p = Position() + delta;
    if (p > Max())
        p = Min() + (p - Max());
    SetPosition(p);
}
