#include "imaging/gif/rx_image_control.h"

#include "framework/canvas.h"
#include "imaging/gif/rx_timer.h"

#include <QEvent>
#include <QPointer>
#include <QThread>

TRxImageControl::TRxImageControl(QWidget* parent)
    : TGraphicControl(parent), timer_(std::make_unique<TRxTimer>(nullptr))
{
    // The control paints every pixel itself, the parent's background included where needed.
    SetControlStyle(ControlStyle() | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
    SetBounds(Left(), Top(), 105, 105);
    SetParentColor(true);
    UpdateTickable();
}

TRxImageControl::~TRxImageControl()
{
    // The players call BeginDestroy first; this only covers a control that never played.
    if (timer_)
        BeginDestroy();
}

void TRxImageControl::BeginDestroy()
{
    destroying_ = true;
    tickable_ = false;
    OnFrameChanged = nullptr;
    OnStart = nullptr;
    OnStop = nullptr;
    if (timer_) {
        timer_->SetEnabled(false);
        timer_->SetOnTimer(nullptr);
        // Waits for a tick in progress on the timer thread; the player is still whole here.
        timer_.reset();
    }
}

void TRxImageControl::SetAsyncDrawing(bool value)
{
    if (value == asyncDrawing_)
        return;
    asyncDrawing_ = value;
    if (timer_)
        timer_->SetSyncEvent(!value);
}

void TRxImageControl::SetVisible(bool v)
{
    TGraphicControl::SetVisible(v);
    UpdateTickable();
}

bool TRxImageControl::event(QEvent* e)
{
    if (e->type() == QEvent::ParentChange)
        UpdateTickable();
    return TGraphicControl::event(e);
}

void TRxImageControl::UpdateTickable() { tickable_ = !destroying_ && Visible() && parentWidget() != nullptr; }

bool TRxImageControl::BindEvent(const QString& name, const TMethodRef& handler)
{
    return BindEventTo(name, "OnFrameChanged", OnFrameChanged, handler, "TObject*")
        || BindEventTo(name, "OnStart", OnStart, handler, "TObject*")
        || BindEventTo(name, "OnStop", OnStop, handler, "TObject*") || TGraphicControl::BindEvent(name, handler);
}

void TRxImageControl::PaintNow()
{
    if (QThread::currentThread() == thread())
        repaint();
    else
        QMetaObject::invokeMethod(this, [this] { repaint(); }, Qt::QueuedConnection);
}

void TRxImageControl::Paint() { PaintContent(); }

void TRxImageControl::PaintContent()
{
    TCanvas* c = Canvas();
    if (Color() != clNone) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(ClientRect());
    }
    const bool was = drawing_;
    drawing_ = true;
    try {
        DrawContent();
    } catch (...) {
        drawing_ = was;
        throw;
    }
    drawing_ = was;
}

void TRxImageControl::ContentChanged()
{
    if (destroying_)
        return;
    if (AutoSize())
        AdjustSize();
    if (!drawing_)
        update();
}

void TRxImageControl::StartTimer()
{
    if (!timer_)
        return;
    timer_->SetOnTimer([this](TObject* sender) { TimerTick(static_cast<TRxTimer*>(static_cast<TComponent*>(sender))); });
    timer_->SetEnabled(true);
}

void TRxImageControl::StopTimer()
{
    if (!timer_)
        return;
    timer_->SetEnabled(false);
    timer_->SetOnTimer(nullptr);
}

void TRxImageControl::TimerTick(TRxTimer* timer)
{
    if (!CanTick())
        return;
    const bool onGuiThread = QThread::currentThread() == thread();
    {
        std::lock_guard lock(drawLock_);
        if (!AdvanceFrame())
            return;
        if (!onGuiThread) {
            // Preparing is only a head start for the paint, which prepares again on failure.
            try {
                PrepareFrame();
            } catch (...) {
            }
        }
    }
    if (onGuiThread)
        FrameAdvanced();
    else
        timer->RunOnGuiThread([this] { FrameAdvanced(); });
}

bool TRxImageControl::FrameAdvanced()
{
    QPointer<TRxImageControl> self(this);
    Fire(OnFrameChanged, this);
    if (!self || destroying_)
        return false;
    PaintNow();
    return true;
}
