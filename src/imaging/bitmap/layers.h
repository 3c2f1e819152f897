#pragma once

// Layers stacked over the bitmap of an image control: painted into its back buffer after the
// bitmap, hit-tested from the top down and given the mouse, which a layer can capture.

#include "framework/controls.h"
#include "framework/object.h"
#include "imaging/bitmap/color32.h"

#include <cstdint>
#include <functional>
#include <vector>

class TBitmap32;
class TCanvas;
class TCustomLayer;
class TLayerCollection;

// Option bits of a layer; the bits below these are free for the owner (a draw-layers paint stage
// paints the layers whose options share a bit with its mask).
inline constexpr uint32_t LayerVisible = 0x80000000;
inline constexpr uint32_t LayerOverlay = 0x40000000;
inline constexpr uint32_t LayerMouseEvents = 0x20000000;
inline constexpr uint32_t LayerSilent = 0x10000000;
inline constexpr uint32_t LayerNoCapture = 0x08000000;

// The image control's mapping from bitmap to control pixels. Scales are 16.16 (control pixels
// per bitmap pixel, and the reverse), shifts are the bitmap rectangle's left and top. All zero
// while there is nothing to map.
struct TBitmapTransformation {
    TFixed16 ScaleX = 0;
    TFixed16 ScaleY = 0;
    int ShiftX = 0;
    int ShiftY = 0;
    TFixed16 RevScaleX = 0;
    TFixed16 RevScaleY = 0;
};

// Creates a layer of one class on a collection (the class's virtual constructor).
using TLayerClass = TCustomLayer* (*)(TLayerCollection*);
template <class T> TCustomLayer* CreateLayerOf(TLayerCollection* collection)
{
    return new T(collection);
}

using THitTestEvent = std::function<void(TObject* Sender, int X, int Y, bool& Passed)>;
using TPaintLayerEvent = std::function<void(TObject* Sender, TBitmap32* Buffer)>;

class TLayerCollection : public TPersistent {
public:
    // owner is the image control whose cursor shows where no layer is hit.
    explicit TLayerCollection(TControl* owner);
    ~TLayerCollection() override;
    TLayerCollection(const TLayerCollection&) = delete;
    TLayerCollection& operator=(const TLayerCollection&) = delete;

    TCustomLayer* Add(TLayerClass layerClass);
    template <class T> T* Add() { return static_cast<T*>(Add(&CreateLayerOf<T>)); }
    int Count() const { return int(items_.size()); }
    // Index 0 is the bottom layer.
    TCustomLayer* Items(int index) const;
    // Frees every layer, top first.
    void Clear();
    // Layers of the same classes with the same settings, bottom to top.
    void Assign(TPersistent* source) override;

    void BeginUpdate();
    // Raises EAssertionFailed "Unpaired EndUpdate" (after the change notification) when no
    // update is in progress; the counter stays below 0.
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // The top layer whose options share a bit with mask and that passes its hit test.
    TCustomLayer* FindLayerAt(int X, int Y, uint32_t mask);

    // Mouse routing in the control's client coordinates; each returns the layer it addressed.
    TCustomLayer* MouseDown(TMouseButton button, TShiftState shift, int X, int Y);
    TCustomLayer* MouseMove(TShiftState shift, int X, int Y);
    TCustomLayer* MouseUp(TMouseButton button, TShiftState shift, int X, int Y);

    bool MouseEvents() const { return mouseEvents_; }
    void SetMouseEvents(bool value) { mouseEvents_ = value; }
    // The layer holding the mouse capture, or null.
    TCustomLayer* MouseListener() const { return mouseListener_; }
    void SetMouseListener(TCustomLayer* layer);

    // The owning control's bitmap-to-control transform; null when there is none.
    const TBitmapTransformation* Transform() const { return transform_; }
    void SetTransform(const TBitmapTransformation* transform) { transform_ = transform; }
    TControl* Owner() const { return owner_; }

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;
    TNotifyEvent OnOverlayUpdate;

private:
    friend class TCustomLayer;
    void InsertLayer(TCustomLayer* layer);
    void RemoveLayer(TCustomLayer* layer);
    void MoveLayer(TCustomLayer* layer, int index);
    void Notify(const TNotifyEvent& event);

    const TBitmapTransformation* transform_ = nullptr;
    std::vector<TCustomLayer*> items_;
    bool mouseEvents_ = true;
    TCustomLayer* mouseListener_ = nullptr;
    int updateCount_ = 0;
    TControl* owner_;
};

class TCustomLayer : public TPersistent {
public:
    explicit TCustomLayer(TLayerCollection* collection);
    ~TCustomLayer() override;
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    // The layer's class, to make another of it.
    virtual TLayerClass LayerClass() const { return &CreateLayerOf<TCustomLayer>; }
    // Takes the settings of another layer (cursor, options, user value; a positioned layer's
    // location and scaling), not its handlers.
    void Assign(TPersistent* source) override;

    virtual bool HitTest(int X, int Y);
    // HitTest, then OnHitTest may overrule it.
    bool HitTestWithEvent(int X, int Y);

    virtual void NotifyLayerFreed(TCustomLayer* layer);
    // Paint, then PaintHandler.
    void PaintLayer(TBitmap32* buffer);

    TLayerCollection* LayerCollection() const { return collection_; }
    void SetLayerCollection(TLayerCollection* collection);
    // Position in the collection, -1 without one.
    int GetIndex() const;
    virtual void SetIndex(int index);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value) { cursor_ = value; }
    uint32_t LayerOptions() const { return options_; }
    void SetLayerOptions(uint32_t value);
    bool MouseEvents() const { return (options_ & LayerMouseEvents) != 0; }
    void SetMouseEvents(bool value);
    bool IsVisible() const { return (options_ & LayerVisible) != 0; }
    // Bit 0 left, bit 1 right, bit 2 middle: buttons held on this layer.
    uint32_t ButtonState() const { return buttonState_; }
    int32_t UserValue() const { return userValue_; }
    void SetUserValue(int32_t value) { userValue_ = value; }

    // Notifications of the collection for a change of this layer.
    void Changing();
    void Changed();

    THitTestEvent OnHitTest;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TPaintLayerEvent PaintHandler;
    TNotifyEvent OnDestroy;

protected:
    friend class TLayerCollection;
    friend class TCustomImage32;
    virtual void MouseDown(TMouseButton button, TShiftState shift, int X, int Y);
    virtual void MouseMove(TShiftState shift, int X, int Y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int X, int Y);
    virtual void Paint(TBitmap32* buffer);
    virtual void PaintOverlay(TCanvas* canvas);
    // The settings Assign copies from another layer.
    virtual void AssignLayer(TCustomLayer* source);

    uint32_t options_ = LayerVisible;

private:
    TCursor cursor_ = 0;
    TLayerCollection* collection_ = nullptr;
    uint32_t buttonState_ = 0;
    int32_t userValue_ = 0;
};

// A layer at a floating-point location that can follow the control's bitmap transform.
class TPositionedLayer : public TCustomLayer {
public:
    explicit TPositionedLayer(TLayerCollection* collection);

    TLayerClass LayerClass() const override { return &CreateLayerOf<TPositionedLayer>; }

    // Left <= X < Right and Top <= Y < Bottom of the control rectangle.
    bool HitTest(int X, int Y) override;
    // The location, mapped through the collection's transform when Scaled.
    TFloatRect GetControlRect() const;

    TFloatRect Location() const { return location_; }
    void SetLocation(const TFloatRect& value);
    bool Scaled() const { return scaled_; }
    void SetScaled(bool value);

protected:
    virtual void StoreLocation(const TFloatRect& value) { location_ = value; }
    void AssignLayer(TCustomLayer* source) override;

private:
    TFloatRect location_{0, 0, 64, 64};
    bool scaled_ = false;
};
