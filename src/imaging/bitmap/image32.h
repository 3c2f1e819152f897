#pragma once

// The control that shows a TBitmap32: placed by an alignment and a scale mode, composed in a back
// buffer by paint stages (background, bitmap, layers), with the mouse routed to its layers before
// each mouse event is reported with the layer that was hit.
//
// TCustomPaintBox32  a double-buffered control: paints its buffer when invalid, then copies it
//                    to the screen with alpha forced opaque
// TCustomImage32     bitmap, layers, stages, placement and mouse routing
// TImage32           the same with its properties published for window definitions

#include "framework/controls.h"
#include "imaging/bitmap/bitmap32.h"
#include "imaging/bitmap/layers.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QImage;

namespace Image32Types {
Q_NAMESPACE

enum TBitmapAlign { baTopLeft, baCenter, baTile, baCustom };
Q_ENUM_NS(TBitmapAlign)

enum TScaleMode { smNormal, smStretch, smScale, smResize };
Q_ENUM_NS(TScaleMode)

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
Q_ENUM_NS(TDragState)

} // namespace Image32Types
using namespace Image32Types;

// Paint stage kinds.
inline constexpr uint32_t StageCustom = 1;
inline constexpr uint32_t StageClearBuffer = 2;
inline constexpr uint32_t StageClearBackground = 3;
inline constexpr uint32_t StageDrawBitmap = 4;
inline constexpr uint32_t StageDrawLayers = 5;
inline constexpr uint32_t StageControlFrame = 6;
inline constexpr uint32_t StageBitmapFrame = 7;

struct PaintStageEntry {
    uint8_t DesignTime = 0;
    uint8_t RunTime = 1;
    uint32_t Stage = 0;
    uint32_t Parameter = 0;
};

// The ordered stages of one control. Entries keep their addresses while others are added.
class TPaintStages {
public:
    PaintStageEntry* Add();
    void Clear() { items_.clear(); }
    int Count() const { return int(items_.size()); }
    PaintStageEntry* Items(int index);

private:
    std::deque<PaintStageEntry> items_;
};

// Options of the paint box.
inline constexpr uint32_t pboWantArrowKeys = 1;
inline constexpr uint32_t pboAutoFocus = 2;

using TImgMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer)>;
using TImgMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y, TCustomLayer* Layer)>;
using TPaintStageEvent = std::function<void(TObject* Sender, TBitmap32* Buffer, unsigned StageNum)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TControlCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

class TCustomPaintBox32 : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomPaintBox32(QWidget* parent = nullptr);
    ~TCustomPaintBox32() override;

    // The back buffer; it is in an update for its whole life and never notifies.
    TBitmap32* Buffer() const { return buffer_.get(); }
    int BufferMargin() const { return 40; }
    bool BufferValid() const { return bufferValid_; }
    // The buffer is drawn by PaintBuffer only; whoever draws it otherwise and marks it valid
    // gets it shown afresh.
    void SetBufferValid(bool value);
    uint32_t Options() const { return options_; }
    void SetOptions(uint32_t value) { options_ = value; }
    // The buffer is rebuilt at the next paint.
    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

    // Sizes the buffer to the viewport with BufferMargin of slack (see the .cpp).
    void ResizeBuffer();
    virtual TRect ViewportRect();
    // The part of the buffer the paint under way draws: the whole buffer, or what a partial
    // repaint redraws (see TCustomImage32::SetPartialRepaint).
    const TRect& PaintArea() const { return paintArea_; }

    TNotifyEvent OnGDIOverlay;

protected:
    virtual void PaintBuffer();
    virtual void PaintOverlay();
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void resizeEvent(QResizeEvent* e) override;
    // Arrow keys move the focus, as in a dialog, unless the options ask for them.
    void keyPressEvent(QKeyEvent* e) override;
    // A size change that did not come through SetBounds (Qt geometry, layouts).
    virtual void SizeChanged();
    // Called by PaintBuffer when it redrew only these areas of the buffer, the rest as it was.
    void BufferRedrawnIn(std::vector<TRect> areas);

    TRect paintArea_{};

private:
    // Converts area of the buffer into the screen's copy.
    void ConvertShown(const TRect& area);

    bool partialArea_ = false;
    std::vector<TRect> redrawnAreas_;
    std::unique_ptr<TBitmap32> buffer_;
    bool bufferValid_ = false;
    uint32_t options_ = 0;
    // The buffer as the screen takes it (alpha forced opaque), kept between paints; only
    // shownArea_ of it is up to date.
    std::unique_ptr<QImage> shown_;
    TRect shownArea_{};
};

class TCustomImage32 : public TCustomPaintBox32 {
    Q_OBJECT
public:
    explicit TCustomImage32(QWidget* parent = nullptr);
    ~TCustomImage32() override;

    TBitmap32* Bitmap() const { return bitmap_.get(); }
    // Copies the value into the control's own bitmap.
    void SetBitmap(TBitmap32* value);
    TBitmapAlign BitmapAlign() const { return bitmapAlign_; }
    void SetBitmapAlign(TBitmapAlign value);
    TLayerCollection* Layers() const { return layers_.get(); }
    float OffsetHorz() const { return offsetHorz_; }
    void SetOffsetHorz(float value);
    float OffsetVert() const { return offsetVert_; }
    void SetOffsetVert(float value);
    TPaintStages* PaintStages() const { return paintStages_.get(); }
    float Scale() const { return scale_; }
    // Values below 0.001 are stored as 0.001.
    void SetScale(float value);
    TScaleMode ScaleMode() const { return scaleMode_; }
    void SetScaleMode(TScaleMode value);

    // Where the bitmap lies in the control, and the mapping of bitmap to control pixels; both
    // are brought up to date first.
    TRect BitmapRect();
    const TBitmapTransformation& BitmapTransform();
    bool TransformValid() const { return transformValid_; }
    void InvalidateTransform() { transformValid_ = false; }
    void RefreshTransform();

    virtual void BeginUpdate();
    // Lowers the counter only; raises EAssertionFailed "Unpaired EndUpdate call" below 0.
    virtual void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Invalidates and fires OnChange, unless an update is in progress.
    virtual void Changed();
    void Invalidate() override;
    // The size AutoSize gives the control; false leaves it alone.
    bool CanAutoSize(int& newWidth, int& newHeight);
    // True from a press that captures the mouse until its release.
    bool MouseCaptured() const { return mouseCaptured_; }

    // With partial repaint on, a repaint after which only pixels of the bitmap changed redraws
    // the buffer over the changed pixels alone (the bounding box of those of each band of a few
    // rows, one part at a time), as long as the bitmap is shown unscaled, opaque and untiled and
    // the only stages are the background's, the bitmap's and the layers'. Every layer must then
    // paint within PaintArea alone (as drawing it whole would there), or call PaintWhole. Layer
    // changes that notify, and every change of size, place or colour, repaint the whole buffer.
    void SetPartialRepaint(bool value);
    bool PartialRepaint() const { return partialRepaint_; }
    // From a layer painting a part: it cannot, the whole buffer is painted instead.
    void PaintWhole() { paintWhole_ = true; }

    // Asks OnCanResize first when the size changes; a refusal leaves the bounds as they are.
    void SetBounds(int left, int top, int width, int height) override;

    // Where the framework's dragging between controls reaches this one: a drag over it (true
    // when it would take the drop), the drop, and the start and end of a drag from it.
    bool DragOver(TObject* source, int x, int y, TDragState state);
    void DragDrop(TObject* source, int x, int y);
    void DoStartDrag(TObject*& dragObject);
    void DoEndDrag(TObject* target, int x, int y);

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnBitmapResize;
    TNotifyEvent OnChange;
    TNotifyEvent OnInitStages;
    TImgMouseEvent OnMouseDown;
    TImgMouseMoveEvent OnMouseMove;
    TImgMouseEvent OnMouseUp;
    TPaintStageEvent OnPaintStage;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TControlCanResizeEvent OnCanResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    virtual void AfterBitmapResize();
    virtual void RaiseInitStages();
    virtual void ScaleChanged();
    virtual void SetupDefaultStages();
    virtual void PaintBitmapFrame();
    virtual void PaintClearBuffer();
    virtual void PaintClearBackground();
    virtual void PaintControlFrame();
    virtual void PaintCustomStage(unsigned stageNum);
    virtual void PaintBitmap();
    virtual void PaintLayers(unsigned stageNum);
    virtual TRect ComputeBitmapRect(const TSize& size);
    virtual TSize ComputeBitmapSize();

    void PaintBuffer() override;
    void PaintOverlay() override;
    void Loaded() override;
    void Resize() override;
    void SizeChanged() override;
    QSize AutoSizeExtent() const override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    // OnMouseWheel, then, unless it handled the turn, OnMouseWheelDown or OnMouseWheelUp.
    void wheelEvent(QWheelEvent* e) override;

private:
    std::unique_ptr<TBitmap32> bitmap_;
    TBitmapAlign bitmapAlign_ = baTopLeft;
    std::unique_ptr<TLayerCollection> layers_;
    float offsetHorz_ = 0;
    float offsetVert_ = 0;
    std::unique_ptr<TPaintStages> paintStages_;
    float scale_ = 1.0f;
    TScaleMode scaleMode_ = smNormal;
    int updateCount_ = 0;
    TRect bitmapRect_;
    TBitmapTransformation transform_;
    bool transformValid_ = false;
    bool mouseCaptured_ = false;

    // What the buffer was last painted from, for partial repaints.
    struct TPaintedState;
    bool partialRepaint_ = false;
    bool paintWhole_ = false;
    unsigned layersGeneration_ = 0;
    std::unique_ptr<TPaintedState> painted_;
    // The state now, with false when a partial repaint cannot follow from it.
    bool CurrentPaintState(TPaintedState& state);
    void PaintStagesIn(const TRect& area);
};

// Besides these, a definition may set the bitmap's Bitmap.DrawMode, Bitmap.MasterAlpha,
// Bitmap.OuterColor and Bitmap.StretchFilter.
class TImage32 : public TCustomImage32 {
    Q_OBJECT
    Q_PROPERTY(Image32Types::TBitmapAlign BitmapAlign READ BitmapAlign WRITE SetBitmapAlign)
    Q_PROPERTY(double Scale READ ScaleValue WRITE SetScaleValue)
    Q_PROPERTY(Image32Types::TScaleMode ScaleMode READ ScaleMode WRITE SetScaleMode)
    Q_PROPERTY(int DragCursor READ DragCursor WRITE SetDragCursor)

public:
    explicit TImage32(QWidget* parent = nullptr);

    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor value) { dragCursor_ = value; }

private:
    double ScaleValue() const { return Scale(); }
    void SetScaleValue(double value) { SetScale(float(value)); }

    TCursor dragCursor_ = crDrag;
};

// Registers TImage32 with the window definition reader, and makes the theme nexus, which from
// then on follows the desktop's theme and palette changes.
void RegisterImagingBitmapClasses();
