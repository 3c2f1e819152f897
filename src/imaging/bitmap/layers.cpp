#include "imaging/bitmap/layers.h"

#include "framework/application.h"
#include "framework/cursors.h"
#include "framework/exceptions.h"

#include <algorithm>

namespace {

uint32_t ButtonBit(TMouseButton button)
{
    switch (button) {
    case mbLeft: return 1;
    case mbRight: return 2;
    case mbMiddle: return 4;
    }
    return 0;
}

} // namespace

// ---- TLayerCollection ------------------------------------------------------------------------

TLayerCollection::TLayerCollection(TControl* owner) : owner_(owner) {}

TLayerCollection::~TLayerCollection()
{
    // Nobody hears of the layers going: the owner is on its way out.
    updateCount_ = 1;
    Clear();
}

TCustomLayer* TLayerCollection::Add(TLayerClass layerClass)
{
    return layerClass(this);
}

TCustomLayer* TLayerCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[size_t(index)];
}

void TLayerCollection::Clear()
{
    BeginUpdate();
    try {
        while (!items_.empty())
            delete items_.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TLayerCollection::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TLayerCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCustomLayer* layer : other->items_)
            Add(layer->LayerClass())->Assign(layer);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TLayerCollection::Notify(const TNotifyEvent& event)
{
    if (event)
        event(this);
}

void TLayerCollection::BeginUpdate()
{
    if (updateCount_ == 0)
        Notify(OnChanging);
    ++updateCount_;
}

void TLayerCollection::EndUpdate()
{
    --updateCount_;
    if (updateCount_ == 0)
        Notify(OnChange);
    if (updateCount_ < 0)
        RaiseAssertion(QString::fromLatin1(FrameworkText::UnpairedEndUpdate));
}

void TLayerCollection::InsertLayer(TCustomLayer* layer)
{
    BeginUpdate();
    items_.push_back(layer);
    layer->collection_ = this;
    EndUpdate();
}

void TLayerCollection::RemoveLayer(TCustomLayer* layer)
{
    BeginUpdate();
    items_.erase(std::remove(items_.begin(), items_.end(), layer), items_.end());
    layer->collection_ = nullptr;
    EndUpdate();
}

void TLayerCollection::MoveLayer(TCustomLayer* layer, int index)
{
    auto it = std::find(items_.begin(), items_.end(), layer);
    if (it == items_.end())
        return;
    items_.erase(it);
    items_.insert(items_.begin() + index, layer);
}

TCustomLayer* TLayerCollection::FindLayerAt(int X, int Y, uint32_t mask)
{
    for (int i = Count() - 1; i >= 0; --i) {
        TCustomLayer* layer = items_[size_t(i)];
        if ((layer->LayerOptions() & mask) != 0 && layer->HitTestWithEvent(X, Y))
            return layer;
    }
    return nullptr;
}

void TLayerCollection::SetMouseListener(TCustomLayer* layer)
{
    if (layer == mouseListener_)
        return;
    if (mouseListener_)
        mouseListener_->buttonState_ = 0;
    mouseListener_ = layer;
}

TCustomLayer* TLayerCollection::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    TCustomLayer* target = mouseListener_ ? mouseListener_ : FindLayerAt(X, Y, LayerMouseEvents);
    if (button == mbLeft && target != mouseListener_ &&
        (!target || (target->LayerOptions() & LayerNoCapture) == 0))
        SetMouseListener(target);
    if (TCustomLayer* listener = mouseListener_) {
        listener->buttonState_ |= ButtonBit(button);
        listener->MouseDown(button, shift, X, Y);
    }
    return target;
}

TCustomLayer* TLayerCollection::MouseMove(TShiftState shift, int X, int Y)
{
    TCustomLayer* target = mouseListener_ ? mouseListener_ : FindLayerAt(X, Y, LayerMouseEvents);
    if (target)
        target->MouseMove(shift, X, Y);
    else if (owner_)
        Screen->SetCursor(owner_->Cursor());
    return target;
}

TCustomLayer* TLayerCollection::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    TCustomLayer* target = mouseListener_ ? mouseListener_ : FindLayerAt(X, Y, LayerMouseEvents);
    if (target) {
        target->buttonState_ &= ~ButtonBit(button);
        target->MouseUp(button, shift, X, Y);
    }
    // The handler may have freed the listener, which then let go of the capture itself.
    if (mouseListener_ && (mouseListener_->buttonState_ & 7) == 0)
        SetMouseListener(nullptr);
    return target;
}

// ---- TCustomLayer ----------------------------------------------------------------------------

TCustomLayer::TCustomLayer(TLayerCollection* collection)
{
    SetLayerCollection(collection);
    options_ = LayerVisible;
}

TCustomLayer::~TCustomLayer()
{
    if (OnDestroy)
        OnDestroy(this);
    SetLayerCollection(nullptr);
}

void TCustomLayer::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TCustomLayer*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    Changing();
    AssignLayer(other);
    Changed();
}

void TCustomLayer::AssignLayer(TCustomLayer* source)
{
    cursor_ = source->cursor_;
    options_ = source->options_;
    userValue_ = source->userValue_;
}

bool TCustomLayer::HitTest(int, int)
{
    return true;
}

bool TCustomLayer::HitTestWithEvent(int X, int Y)
{
    bool passed = HitTest(X, Y);
    if (OnHitTest)
        OnHitTest(this, X, Y, passed);
    return passed;
}

void TCustomLayer::NotifyLayerFreed(TCustomLayer*) {}

void TCustomLayer::Paint(TBitmap32*) {}

void TCustomLayer::PaintOverlay(TCanvas*) {}

void TCustomLayer::PaintLayer(TBitmap32* buffer)
{
    Paint(buffer);
    if (PaintHandler)
        PaintHandler(this, buffer);
}

void TCustomLayer::SetLayerCollection(TLayerCollection* collection)
{
    if (collection == collection_)
        return;
    if (TLayerCollection* old = collection_) {
        if (old->MouseListener() == this)
            old->SetMouseListener(nullptr);
        old->RemoveLayer(this);
    }
    if (collection)
        collection->InsertLayer(this);
}

int TCustomLayer::GetIndex() const
{
    if (!collection_)
        return -1;
    const auto& items = collection_->items_;
    const auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCustomLayer::SetIndex(int index)
{
    const int current = GetIndex();
    if (current < 0 || index == current)
        return;
    index = std::clamp(index, 0, collection_->Count() - 1);
    if (index == current)
        return;
    if (IsVisible()) {
        collection_->BeginUpdate();
        collection_->MoveLayer(this, index);
        collection_->EndUpdate();
    } else {
        collection_->MoveLayer(this, index);
    }
}

void TCustomLayer::Changing()
{
    if (collection_ && IsVisible() && (options_ & LayerSilent) == 0)
        collection_->Notify(collection_->OnChanging);
}

void TCustomLayer::Changed()
{
    if (!collection_ || (options_ & LayerSilent) != 0)
        return;
    if (IsVisible())
        collection_->Notify(collection_->OnChange);
    else if ((options_ & LayerOverlay) != 0 && collection_->UpdateCount() == 0)
        collection_->Notify(collection_->OnOverlayUpdate);
}

void TCustomLayer::SetLayerOptions(uint32_t value)
{
    Changing();
    options_ = value;
    Changed();
}

void TCustomLayer::SetMouseEvents(bool value)
{
    SetLayerOptions(value ? options_ | LayerMouseEvents : options_ & ~LayerMouseEvents);
}

void TCustomLayer::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, X, Y);
}

void TCustomLayer::MouseMove(TShiftState shift, int X, int Y)
{
    Screen->SetCursor(cursor_);
    if (OnMouseMove)
        OnMouseMove(this, shift, X, Y);
}

void TCustomLayer::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    Screen->SetCursor(crDefault);
    if (OnMouseUp)
        OnMouseUp(this, button, shift, X, Y);
}

// ---- TPositionedLayer ------------------------------------------------------------------------

TPositionedLayer::TPositionedLayer(TLayerCollection* collection) : TCustomLayer(collection)
{
    options_ = LayerVisible | LayerMouseEvents;
}

void TPositionedLayer::AssignLayer(TCustomLayer* source)
{
    TCustomLayer::AssignLayer(source);
    if (auto* other = dynamic_cast<TPositionedLayer*>(source)) {
        location_ = other->location_;
        scaled_ = other->scaled_;
    }
}

TFloatRect TPositionedLayer::GetControlRect() const
{
    TFloatRect r = location_;
    const TBitmapTransformation* t = LayerCollection() ? LayerCollection()->Transform() : nullptr;
    if (scaled_ && t) {
        const double sx = t->ScaleX / 65536.0, sy = t->ScaleY / 65536.0;
        r.Left = float(sx * r.Left + t->ShiftX);
        r.Top = float(sy * r.Top + t->ShiftY);
        r.Right = float(sx * r.Right + t->ShiftX);
        r.Bottom = float(sy * r.Bottom + t->ShiftY);
    }
    return r;
}

bool TPositionedLayer::HitTest(int X, int Y)
{
    const TFloatRect r = GetControlRect();
    return float(X) >= r.Left && float(X) < r.Right && float(Y) >= r.Top && float(Y) < r.Bottom;
}

void TPositionedLayer::SetLocation(const TFloatRect& value)
{
    Changing();
    StoreLocation(value);
    Changed();
}

void TPositionedLayer::SetScaled(bool value)
{
    if (value == scaled_)
        return;
    Changing();
    scaled_ = value;
    Changed();
}
