#include "animation/animated_cursor.h"

#include "framework/cursors.h"
#include "framework/exceptions.h"
#include "framework/icon.h"
#include "framework/streams.h"
#include "imaging/icons/ani_file.h"

#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <algorithm>

namespace {

// A frame's cursor: its picture, with the hot spot that the entry's planes and bit-count fields
// hold (the reader hands frames on as icon files, type 1, and keeps those fields).
QCursor FrameCursor(const QByteArray& frame)
{
    TIcon icon;
    TMemoryStream stream(frame);
    icon.LoadFromStream(&stream);
    const QImage picture = icon.ToImage();
    const auto* p = reinterpret_cast<const uint8_t*>(frame.constData());
    const int x = p[10] | p[11] << 8, y = p[12] | p[13] << 8;
    return QCursor(QPixmap::fromImage(picture), std::min(x, picture.width() - 1), std::min(y, picture.height() - 1));
}

} // namespace

TAnimatedCursor& TAnimatedCursor::Instance()
{
    static TAnimatedCursor* player = new TAnimatedCursor;
    return *player;
}

TAnimatedCursor::TAnimatedCursor(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &TAnimatedCursor::Advance);
}

void TAnimatedCursor::Play(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QString::fromLatin1(FrameworkText::FOpenError).arg(fileName));
    const TAniCursor ani = ReadAniCursor(file.readAll());
    std::vector<TStep> steps;
    for (int k = 0; k < ani.StepCount; ++k) {
        TStep step;
        step.Cursor = FrameCursor(ani.Frames[size_t(ani.Sequence[size_t(k)])]);
        // Rates are in jiffies (1/60 s); a rate of 0 would spin the timer.
        step.Milliseconds = std::max(1, ani.Rates[size_t(k)]) * 1000 / 60;
        steps.push_back(step);
    }
    steps_ = std::move(steps);
    step_ = 0;
    ShowStep();
}

void TAnimatedCursor::Stop()
{
    timer_->stop();
    steps_.clear();
    step_ = 0;
    if (ApplicationCursor() == AnimatedCursorNumber)
        SetApplicationCursor(crDefault);
}

bool TAnimatedCursor::Playing() const
{
    return !steps_.empty();
}

QPoint TAnimatedCursor::HotSpot(int step) const
{
    return step >= 0 && step < StepCount() ? steps_[size_t(step)].Cursor.hotSpot() : QPoint();
}

void TAnimatedCursor::Advance()
{
    if (steps_.empty())
        return;
    // Another command has set a cursor of its own: the animation gives way to it.
    if (ApplicationCursor() != AnimatedCursorNumber) {
        timer_->stop();
        steps_.clear();
        return;
    }
    step_ = (step_ + 1) % StepCount();
    ShowStep();
}

void TAnimatedCursor::ShowStep()
{
    const TStep& step = steps_[size_t(step_)];
    SetCursorShape(AnimatedCursorNumber, step.Cursor);
    SetApplicationCursor(AnimatedCursorNumber);
    if (StepCount() > 1)
        timer_->start(step.Milliseconds);
}
