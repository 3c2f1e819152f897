#include "imaging/bitmap/image32.h"

#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/cursors.h"
#include "framework/definition_reader.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "imaging/bitmap/theme_nexus.h"
#include "imaging/bitmap/transforms.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const char* const UnpairedEndUpdateCall = "Unpaired EndUpdate call";

// Holds a bitmap's object lock for a scope.
class TLockGuard {
public:
    explicit TLockGuard(TThreadPersistent* object) : object_(object) { object_->EnterLock(); }
    ~TLockGuard() { object_->LeaveLock(); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;

private:
    TThreadPersistent* object_;
};

// Half to even, saturating: a scale of thousands on a large bitmap must not overflow an int.
int RoundSaturated(double v)
{
    v = std::nearbyint(v);
    if (!(v > double(INT_MIN)))
        return std::isnan(v) ? 0 : INT_MIN;
    if (v > double(INT_MAX))
        return INT_MAX;
    return int(v);
}

// a * 65536 / b rounded to nearest, saturated to the 16.16 range; b > 0.
TFixed16 FixedRatio(int64_t a, int64_t b)
{
    const int64_t q = (a * 65536 + b / 2) / b;
    return TFixed16(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
}

// The pixels that differ between two pictures of the same size, as the bounding box of those of
// each band of rows (empty bands left out), top to bottom.
std::vector<TRect> ChangedBands(const TColor32* now, const TColor32* before, int width, int height)
{
    constexpr int kBand = 32;
    const size_t row = size_t(width) * sizeof(TColor32);
    std::vector<TRect> bands;
    for (int top = 0; top < height; top += kBand) {
        const int end = std::min(height, top + kBand);
        int first = -1, last = -1, left = width, right = 0;
        for (int y = top; y < end; ++y) {
            const TColor32* a = now + size_t(y) * size_t(width);
            const TColor32* b = before + size_t(y) * size_t(width);
            if (std::memcmp(a, b, row) == 0)
                continue;
            if (first < 0)
                first = y;
            last = y;
            for (int x = 0; x < left; ++x)
                if (a[x] != b[x]) {
                    left = x;
                    break;
                }
            for (int x = width - 1; x >= right; --x)
                if (a[x] != b[x]) {
                    right = x + 1;
                    break;
                }
        }
        if (first >= 0)
            bands.push_back({left, first, right, last + 1});
    }
    return bands;
}

} // namespace

// What the buffer was painted from: everything a partial repaint must find unchanged, and the
// bitmap's pixels.
struct TCustomImage32::TPaintedState {
    int BufferWidth = 0, BufferHeight = 0, Width = 0, Height = 0;
    TRect BitmapRect{};
    TColor Color = 0;
    unsigned LayersGeneration = 0;
    std::vector<std::pair<TCustomLayer*, uint32_t>> Layers;
    std::vector<TColor32> Pixels;

    bool SameSettings(const TPaintedState& o) const
    {
        return BufferWidth == o.BufferWidth && BufferHeight == o.BufferHeight && Width == o.Width &&
               Height == o.Height && BitmapRect == o.BitmapRect && Color == o.Color &&
               LayersGeneration == o.LayersGeneration && Layers == o.Layers;
    }
};

// ---- TPaintStages ----------------------------------------------------------------------------

PaintStageEntry* TPaintStages::Add()
{
    items_.emplace_back();
    return &items_.back();
}

PaintStageEntry* TPaintStages::Items(int index)
{
    if (index < 0 || index >= Count())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return &items_[size_t(index)];
}

// ---- TCustomPaintBox32 -----------------------------------------------------------------------

TCustomPaintBox32::TCustomPaintBox32(QWidget* parent)
    : TCustomControl(parent), buffer_(std::make_unique<TBitmap32>())
{
    buffer_->BeginUpdate();
    // The buffer covers every pixel, so Qt need not clear the area first.
    SetControlStyle(ControlStyle() | csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
    SetBounds(Left(), Top(), 192, 192);
}

TCustomPaintBox32::~TCustomPaintBox32() = default;

void TCustomPaintBox32::SetBufferValid(bool value)
{
    bufferValid_ = value;
    shownArea_ = {};
}

void TCustomPaintBox32::Invalidate()
{
    bufferValid_ = false;
    update();
}

void TCustomPaintBox32::SetBounds(int left, int top, int width, int height)
{
    bufferValid_ = false;
    TCustomControl::SetBounds(left, top, width, height);
}

void TCustomPaintBox32::Loaded()
{
    bufferValid_ = false;
    TCustomControl::Loaded();
}

void TCustomPaintBox32::Resize()
{
    ResizeBuffer();
    bufferValid_ = false;
    TCustomControl::Resize();
}

void TCustomPaintBox32::resizeEvent(QResizeEvent* e)
{
    TCustomControl::resizeEvent(e);
    if (e->size() != e->oldSize())
        SizeChanged();
}

void TCustomPaintBox32::SizeChanged()
{
    bufferValid_ = false;
}

TRect TCustomPaintBox32::ViewportRect()
{
    return Rect(0, 0, Width(), Height());
}

// The buffer grows to the viewport plus the margin and shrinks to the viewport only once it is
// more than the margin too large, so that dragging a window edge does not reallocate it for
// every pixel.
void TCustomPaintBox32::ResizeBuffer()
{
    const TRect r = ViewportRect();
    const int w = std::max(0, r.Width());
    const int h = std::max(0, r.Height());
    auto fit = [this](int have, int want) {
        int n = have;
        if (have < want)
            n = want + BufferMargin();
        else if (want < have - BufferMargin())
            n = want;
        return std::max(n, 1);
    };
    const int nw = fit(buffer_->Width(), w);
    const int nh = fit(buffer_->Height(), h);
    if (nw != buffer_->Width() || nh != buffer_->Height()) {
        TLockGuard lock(buffer_.get());
        buffer_->SetSize(nw, nh);
        bufferValid_ = false;
        shownArea_ = {};
    }
}

void TCustomPaintBox32::PaintBuffer()
{
    bufferValid_ = true;
}

void TCustomPaintBox32::BufferRedrawnIn(std::vector<TRect> areas)
{
    partialArea_ = true;
    redrawnAreas_ = std::move(areas);
}

void TCustomPaintBox32::PaintOverlay()
{
    Fire(OnGDIOverlay, this);
}

void TCustomPaintBox32::Paint()
{
    ResizeBuffer();
    if (!bufferValid_) {
        partialArea_ = false;
        paintArea_ = buffer_->GetBounds();
        PaintBuffer();
        // What was converted outside a partial repaint's area still holds; its area is
        // converted again now.
        if (!partialArea_ || !shown_ || shown_->width() != buffer_->Width() || shown_->height() != buffer_->Height()) {
            shownArea_ = {};
        } else {
            for (const TRect& area : redrawnAreas_) {
                TRect again;
                if (IntersectRects(again, area, shownArea_) && !IsEmptyRect(again))
                    ConvertShown(again);
            }
        }
        redrawnAreas_.clear();
    }
    if (QPainter* p = Canvas()->Handle()) {
        TLockGuard lock(buffer_.get());
        // A plain copy of the exposed part of the viewport; the screen shows colour bytes only,
        // so alpha is forced opaque on the way. What was converted since the buffer was last
        // drawn is taken as it is.
        TRect area;
        const QRect clip = p->hasClipping() ? p->clipBoundingRect().toAlignedRect() : rect();
        IntersectRects(area, ViewportRect(), Rect(clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1));
        IntersectRects(area, area, buffer_->GetBounds());
        if (!IsEmptyRect(area)) {
            if (!shown_ || shown_->width() != buffer_->Width() || shown_->height() != buffer_->Height()) {
                shown_ = std::make_unique<QImage>(buffer_->Width(), buffer_->Height(), QImage::Format_RGB32);
                shownArea_ = {};
            }
            TRect common;
            IntersectRects(common, area, shownArea_);
            if (!(common == area)) {
                ConvertShown(area);
                shownArea_ = area;
            }
            p->save();
            p->setCompositionMode(QPainter::CompositionMode_Source);
            p->drawImage(area.Left, area.Top, *shown_, area.Left, area.Top, area.Width(), area.Height());
            p->restore();
        }
    }
    PaintOverlay();
}

void TCustomPaintBox32::ConvertShown(const TRect& area)
{
    for (int y = area.Top; y < area.Bottom; ++y) {
        const TColor32* s = buffer_->PixelAddress(area.Left, y);
        auto* d = reinterpret_cast<TColor32*>(shown_->scanLine(y)) + area.Left;
        for (int x = 0; x < area.Width(); ++x)
            d[x] = s[x] | 0xFF000000u;
    }
}

void TCustomPaintBox32::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if ((options_ & pboAutoFocus) && CanFocus())
        SetFocus();
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomPaintBox32::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (arrow && !(options_ & pboWantArrowKeys) && !(e->modifiers() & Qt::AltModifier)) {
        // The window takes the arrow as a dialog key before the control hears of it: right and
        // down go to the next control, left and up to the previous one.
        focusNextPrevChild(key == Qt::Key_Right || key == Qt::Key_Down);
        e->accept();
        return;
    }
    TCustomControl::keyPressEvent(e);
}

// ---- TCustomImage32 --------------------------------------------------------------------------

TCustomImage32::TCustomImage32(QWidget* parent)
    : TCustomPaintBox32(parent),
      bitmap_(std::make_unique<TBitmap32>()),
      layers_(std::make_unique<TLayerCollection>(this)),
      paintStages_(std::make_unique<TPaintStages>())
{
    bitmap_->OnChange = [this](TObject*) { Changed(); };
    bitmap_->OnResize = [this](TObject*) { AfterBitmapResize(); };
    layers_->SetTransform(&transform_);
    layers_->OnChange = [this](TObject*) {
        ++layersGeneration_;
        Changed();
    };
    layers_->OnOverlayUpdate = [this](TObject*) { repaint(); };
    SetupDefaultStages();
}

TCustomImage32::~TCustomImage32()
{
    BeginUpdate();
    paintStages_.reset();
    layers_.reset();
    bitmap_.reset();
}

void TCustomImage32::Loaded()
{
    TCustomPaintBox32::Loaded();
    RaiseInitStages();
}

void TCustomImage32::RaiseInitStages()
{
    Fire(OnInitStages, this);
}

void TCustomImage32::SetupDefaultStages()
{
    auto add = [this](uint8_t design, uint8_t run, uint32_t stage, uint32_t parameter = 0) {
        PaintStageEntry* e = paintStages_->Add();
        e->DesignTime = design;
        e->RunTime = run;
        e->Stage = stage;
        e->Parameter = parameter;
    };
    add(1, 1, StageClearBackground);
    add(1, 0, StageControlFrame);
    add(1, 1, StageDrawBitmap);
    add(1, 0, StageBitmapFrame);
    add(1, 1, StageDrawLayers, LayerVisible);
}

void TCustomImage32::BeginUpdate()
{
    ++updateCount_;
}

void TCustomImage32::EndUpdate()
{
    --updateCount_;
    if (updateCount_ < 0)
        RaiseAssertion(QString::fromLatin1(UnpairedEndUpdateCall));
}

void TCustomImage32::Changed()
{
    if (updateCount_ != 0)
        return;
    Invalidate();
    Fire(OnChange, this);
}

void TCustomImage32::Invalidate()
{
    InvalidateTransform();
    TCustomPaintBox32::Invalidate();
}

void TCustomImage32::Resize()
{
    InvalidateTransform();
    TCustomPaintBox32::Resize();
}

void TCustomImage32::SizeChanged()
{
    InvalidateTransform();
    TCustomPaintBox32::SizeChanged();
}

// ---- properties ------------------------------------------------------------------------------

void TCustomImage32::SetBitmap(TBitmap32* value)
{
    InvalidateTransform();
    bitmap_->Assign(value);
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign value)
{
    InvalidateTransform();
    bitmapAlign_ = value;
    Changed();
}

void TCustomImage32::SetOffsetHorz(float value)
{
    if (value != offsetHorz_) {
        InvalidateTransform();
        offsetHorz_ = value;
        Changed();
    }
}

void TCustomImage32::SetOffsetVert(float value)
{
    if (value != offsetVert_) {
        InvalidateTransform();
        offsetVert_ = value;
        Changed();
    }
}

void TCustomImage32::SetScale(float value)
{
    if (!(value >= 0.001f))
        value = 0.001f;
    if (value != scale_) {
        InvalidateTransform();
        scale_ = value;
        ScaleChanged();
        Changed();
    }
}

void TCustomImage32::ScaleChanged() {}

void TCustomImage32::SetScaleMode(TScaleMode value)
{
    if (value != scaleMode_) {
        InvalidateTransform();
        scaleMode_ = value;
        Changed();
    }
}

// ---- size ------------------------------------------------------------------------------------

bool TCustomImage32::CanAutoSize(int& newWidth, int& newHeight)
{
    InvalidateTransform();
    int w = bitmap_->Width(), h = bitmap_->Height();
    if (scaleMode_ == smScale) {
        w = RoundSaturated(double(float(w) * scale_));
        h = RoundSaturated(double(float(h) * scale_));
    }
    if (w <= 0 || h <= 0)
        return true;
    if (Align() == alNone || Align() == alLeft || Align() == alRight)
        newWidth = w;
    if (Align() == alNone || Align() == alTop || Align() == alBottom)
        newHeight = h;
    return true;
}

QSize TCustomImage32::AutoSizeExtent() const
{
    int w = Width(), h = Height();
    const_cast<TCustomImage32*>(this)->CanAutoSize(w, h);
    return QSize(w, h);
}

void TCustomImage32::AfterBitmapResize()
{
    if (AutoSize()) {
        int w = Width(), h = Height();
        CanAutoSize(w, h);
        if (w != Width() || h != Height())
            SetBounds(Left(), Top(), w, h);
    }
    // Every resize of the bitmap is reported, inside an update or not.
    Fire(OnBitmapResize, this);
    InvalidateTransform();
    Invalidate();
}

// ---- placement -------------------------------------------------------------------------------

TSize TCustomImage32::ComputeBitmapSize()
{
    if (bitmap_->IsEmpty() || Width() == 0 || Height() == 0)
        return {0, 0};
    const int bw = bitmap_->Width(), bh = bitmap_->Height();
    int w, h;
    switch (scaleMode_) {
    case smNormal:
        w = bw;
        h = bh;
        break;
    case smStretch:
        w = Width();
        h = Height();
        break;
    case smResize: {
        const float sx = float(Width()) / float(bw);
        const float sy = float(Height()) / float(bh);
        if (sx >= sy) {
            w = RoundSaturated(double(float(bw) * sy));
            h = Height();
        } else {
            w = Width();
            h = RoundSaturated(double(float(bh) * sx));
        }
        break;
    }
    default:
        w = RoundSaturated(double(float(bw) * scale_));
        h = RoundSaturated(double(float(bh) * scale_));
        break;
    }
    return {std::max(w, 0), std::max(h, 0)};
}

TRect TCustomImage32::ComputeBitmapRect(const TSize& size)
{
    if (bitmap_->IsEmpty())
        return {};
    TRect r = Rect(0, 0, size.cx, size.cy);
    switch (bitmapAlign_) {
    case baCenter:
        OffsetRectBy(r, (Width() - size.cx) / 2, (Height() - size.cy) / 2);
        break;
    case baCustom:
        OffsetRectBy(r, RoundSaturated(offsetHorz_), RoundSaturated(offsetVert_));
        break;
    default:
        break;
    }
    return r;
}

void TCustomImage32::RefreshTransform()
{
    if (transformValid_)
        return;
    bitmapRect_ = ComputeBitmapRect(ComputeBitmapSize());
    // A control of zero width or height gives an empty rectangle: nothing maps, as for an
    // empty bitmap.
    transform_ = {};
    if (!bitmap_->IsEmpty() && !IsEmptyRect(bitmapRect_)) {
        const int64_t w = int64_t(bitmapRect_.Right) - bitmapRect_.Left;
        const int64_t h = int64_t(bitmapRect_.Bottom) - bitmapRect_.Top;
        transform_.ShiftX = bitmapRect_.Left;
        transform_.ShiftY = bitmapRect_.Top;
        transform_.ScaleX = FixedRatio(w, bitmap_->Width());
        transform_.ScaleY = FixedRatio(h, bitmap_->Height());
        transform_.RevScaleX = FixedRatio(bitmap_->Width(), w);
        transform_.RevScaleY = FixedRatio(bitmap_->Height(), h);
    }
    transformValid_ = true;
}

TRect TCustomImage32::BitmapRect()
{
    RefreshTransform();
    return bitmapRect_;
}

const TBitmapTransformation& TCustomImage32::BitmapTransform()
{
    RefreshTransform();
    return transform_;
}

// ---- painting --------------------------------------------------------------------------------

void TCustomImage32::SetPartialRepaint(bool value)
{
    partialRepaint_ = value;
    painted_.reset();
}

bool TCustomImage32::CurrentPaintState(TPaintedState& state)
{
    state.BufferWidth = Buffer()->Width();
    state.BufferHeight = Buffer()->Height();
    state.Width = Width();
    state.Height = Height();
    state.BitmapRect = bitmapRect_;
    state.Color = Color();
    state.LayersGeneration = layersGeneration_;
    for (int i = 0; i < layers_->Count(); ++i)
        state.Layers.emplace_back(layers_->Items(i), layers_->Items(i)->LayerOptions());
    if (!partialRepaint_ || bitmap_->IsEmpty() || bitmapAlign_ == baTile || bitmap_->DrawMode() != dmOpaque ||
        bitmapRect_.Width() != bitmap_->Width() || bitmapRect_.Height() != bitmap_->Height())
        return false;
    for (int i = 0; i < paintStages_->Count(); ++i) {
        const PaintStageEntry& e = *paintStages_->Items(i);
        if (e.RunTime && e.Stage != StageClearBackground && e.Stage != StageDrawBitmap && e.Stage != StageDrawLayers)
            return false;
    }
    return true;
}

void TCustomImage32::PaintStagesIn(const TRect& area)
{
    const bool whole = area == Buffer()->GetBounds();
    paintArea_ = area;
    for (int i = 0; i < paintStages_->Count(); ++i) {
        const PaintStageEntry& e = *paintStages_->Items(i);
        // Nothing here is ever designed: the run-time flag decides.
        if (!e.RunTime)
            continue;
        switch (e.Stage) {
        case StageCustom: PaintCustomStage(unsigned(i)); break;
        case StageClearBuffer: PaintClearBuffer(); break;
        // Over an opaque bitmap the background lies outside it, and a part lies inside.
        case StageClearBackground: if (whole) PaintClearBackground(); break;
        case StageDrawBitmap:
            if (whole) {
                PaintBitmap();
            } else {
                TLockGuard lock(bitmap_.get());
                TransferScaled(Buffer(), bitmapRect_, area, bitmap_.get(), bitmap_->GetBounds(),
                               bitmap_->StretchFilter(), bitmap_->DrawMode(), bitmap_->OnPixelCombine);
            }
            break;
        case StageDrawLayers: PaintLayers(unsigned(i)); break;
        case StageControlFrame: PaintControlFrame(); break;
        case StageBitmapFrame: PaintBitmapFrame(); break;
        default: break;
        }
    }
    paintArea_ = Buffer()->GetBounds();
}

void TCustomImage32::PaintBuffer()
{
    RefreshTransform();
    auto now = std::make_unique<TPaintedState>();
    const bool partial = CurrentPaintState(*now);
    paintWhole_ = false;
    if (partial && painted_ && painted_->SameSettings(*now)) {
        const int bw = bitmap_->Width();
        std::vector<TRect> areas;
        for (TRect changed : ChangedBands(bitmap_->Bits(), painted_->Pixels.data(), bw, bitmap_->Height())) {
            for (int y = changed.Top; y < changed.Bottom; ++y)
                std::copy_n(bitmap_->PixelAddress(changed.Left, y), changed.Width(),
                            painted_->Pixels.data() + size_t(y) * size_t(bw) + size_t(changed.Left));
            OffsetRectBy(changed, bitmapRect_.Left, bitmapRect_.Top);
            TRect area;
            if (IntersectRects(area, changed, Buffer()->GetBounds()) && !IsEmptyRect(area))
                areas.push_back(area);
        }
        for (const TRect& area : areas) {
            PaintStagesIn(area);
            if (paintWhole_)
                break;
        }
        if (!paintWhole_) {
            TCustomPaintBox32::PaintBuffer();
            BufferRedrawnIn(std::move(areas));
            return;
        }
    }
    paintWhole_ = false;
    PaintStagesIn(Buffer()->GetBounds());
    if (partial && !paintWhole_) {
        now->Pixels.assign(bitmap_->Bits(), bitmap_->Bits() + size_t(bitmap_->Width()) * size_t(bitmap_->Height()));
        painted_ = std::move(now);
    } else {
        painted_.reset();
    }
    TCustomPaintBox32::PaintBuffer();
}

void TCustomImage32::PaintClearBackground()
{
    const TColor32 c = ColorToColor32(Color());
    TBitmap32* buffer = Buffer();
    if (bitmap_->IsEmpty() || bitmap_->DrawMode() != dmOpaque) {
        buffer->Clear(c);
        return;
    }
    const TRect r = bitmapRect_;
    const int w = Width(), h = Height();
    if (r.Left > 0 || r.Right < w || r.Top > 0 || (r.Bottom < h && bitmapAlign_ != baTile)) {
        buffer->FillRectPlainSafe(0, 0, w, r.Top, c);
        buffer->FillRectPlainSafe(0, r.Bottom, w, h, c);
        buffer->FillRectPlainSafe(0, r.Top, r.Left, r.Bottom, c);
        buffer->FillRectPlainSafe(r.Right, r.Top, w, r.Bottom, c);
    }
}

void TCustomImage32::PaintClearBuffer()
{
    Buffer()->Clear(ColorToColor32(Color()));
}

void TCustomImage32::PaintBitmap()
{
    if (bitmap_->IsEmpty() || IsEmptyRect(bitmapRect_))
        return;
    TLockGuard lock(bitmap_.get());
    TBitmap32* buffer = Buffer();
    if (bitmapAlign_ == baTile) {
        const int w = bitmapRect_.Right, h = bitmapRect_.Bottom;
        for (int j = 0; j <= buffer->Height() / h; ++j)
            for (int i = 0; i <= buffer->Width() / w; ++i)
                bitmap_->StretchOnto(buffer, Bounds(i * w, j * h, w, h));
    } else {
        bitmap_->StretchOnto(buffer, bitmapRect_);
    }
}

void TCustomImage32::PaintLayers(unsigned stageNum)
{
    const uint32_t mask = paintStages_->Items(int(stageNum))->Parameter;
    for (int i = 0; i < layers_->Count(); ++i) {
        TCustomLayer* layer = layers_->Items(i);
        if (layer->LayerOptions() & mask)
            layer->PaintLayer(Buffer());
    }
}

void TCustomImage32::PaintCustomStage(unsigned stageNum)
{
    Fire(OnPaintStage, this, Buffer(), stageNum);
}

void TCustomImage32::PaintBitmapFrame()
{
    Buffer()->GetCanvas()->DrawFocusRect(bitmapRect_);
}

void TCustomImage32::PaintControlFrame()
{
    Buffer()->GetCanvas()->DrawFocusRect(Rect(0, 0, Width(), Height()));
}

void TCustomImage32::PaintOverlay()
{
    for (int i = 0; i < layers_->Count(); ++i) {
        TCustomLayer* layer = layers_->Items(i);
        if (layer->LayerOptions() & LayerOverlay)
            layer->PaintOverlay(Canvas());
    }
    TCustomPaintBox32::PaintOverlay();
}

// ---- mouse -----------------------------------------------------------------------------------

void TCustomImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPaintBox32::MouseDown(button, shift, x, y);
    if (TabStop() && CanFocus())
        SetFocus();
    // Layers hit-test against the current placement, also before the first paint.
    RefreshTransform();
    TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseDown(button, shift, x, y) : nullptr;
    if (button == mbLeft || layers_->MouseListener())
        mouseCaptured_ = true;
    Fire(OnMouseDown, this, button, shift, x, y, layer);
}

void TCustomImage32::MouseMove(TShiftState shift, int x, int y)
{
    // Without the capture the pointer belongs to whatever lies under it once it leaves the
    // control; only the pairing release is still reported, so that no press stays open.
    if (!mouseCaptured_ && !rect().contains(x, y))
        return;
    TCustomPaintBox32::MouseMove(shift, x, y);
    RefreshTransform();
    TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseMove(shift, x, y) : nullptr;
    Fire(OnMouseMove, this, shift, x, y, layer);
}

void TCustomImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    RefreshTransform();
    TCustomLayer* layer = layers_->MouseEvents() ? layers_->MouseUp(button, shift, x, y) : nullptr;
    if (button == mbLeft && !layers_->MouseListener())
        mouseCaptured_ = false;
    Fire(OnMouseUp, this, button, shift, x, y, layer);
}

void TCustomImage32::wheelEvent(QWheelEvent* e)
{
    const TShiftState shift = ShiftStateFromQt(e->modifiers(), e->buttons());
    const int delta = e->angleDelta().y();
    const QPoint g = e->globalPosition().toPoint();
    const TPoint mousePos{g.x(), g.y()};
    bool handled = false;
    Fire(OnMouseWheel, this, shift, delta, mousePos, handled);
    if (!handled)
        Fire(delta < 0 ? OnMouseWheelDown : OnMouseWheelUp, this, shift, mousePos, handled);
    if (handled)
        e->accept();
    else
        e->ignore();
}

void TCustomImage32::MouseLeave()
{
    if (layers_->MouseEvents() && !layers_->MouseListener())
        Screen->SetCursor(crDefault);
    TCustomPaintBox32::MouseLeave();
}

// ---- size and dragging -----------------------------------------------------------------------

void TCustomImage32::SetBounds(int left, int top, int width, int height)
{
    if (width != Width() || height != Height()) {
        bool resize = true;
        Fire(OnCanResize, this, width, height, resize);
        if (!resize)
            return;
    }
    TCustomPaintBox32::SetBounds(left, top, width, height);
}

bool TCustomImage32::DragOver(TObject* source, int x, int y, TDragState state)
{
    // A control with no handler takes no drop.
    bool accept = bool(OnDragOver);
    Fire(OnDragOver, this, source, x, y, state, accept);
    return accept;
}

void TCustomImage32::DragDrop(TObject* source, int x, int y)
{
    Fire(OnDragDrop, this, source, x, y);
}

void TCustomImage32::DoStartDrag(TObject*& dragObject)
{
    Fire(OnStartDrag, this, dragObject);
}

void TCustomImage32::DoEndDrag(TObject* target, int x, int y)
{
    Fire(OnEndDrag, this, target, x, y);
}

// ---- window definitions ----------------------------------------------------------------------

namespace {

// An enumeration value of the bitmap given by name (without regard to case) or by number.
int BitmapEnumValue(const TDefValue& value, TDefinitionReader& reader, std::initializer_list<const char*> names)
{
    if (value.Kind == TDefValue::vkIdent) {
        int i = 0;
        for (const char* n : names) {
            if (value.Str.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
                return i;
            ++i;
        }
    } else if (value.Kind == TDefValue::vkInteger && value.Int >= 0 && value.Int < qint64(names.size())) {
        return int(value.Int);
    }
    reader.Error(QStringLiteral("Invalid property value %1").arg(value.ToText()));
}

} // namespace

bool TCustomImage32::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    auto is = [&name](const char* n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
    if (is("Bitmap.DrawMode")) {
        bitmap_->SetDrawMode(TDrawMode(BitmapEnumValue(value, reader, {"dmOpaque", "dmBlend", "dmCustom"})));
        return true;
    }
    if (is("Bitmap.StretchFilter")) {
        bitmap_->SetStretchFilter(TStretchFilter(
            BitmapEnumValue(value, reader, {"sfNearest", "sfLinear", "sfSpline", "sfLanczos", "sfMitchell"})));
        return true;
    }
    if (is("Bitmap.MasterAlpha")) {
        const qint64 v = reader.IntegerValue(value);
        if (v < 0 || v > 0xFFFFFFFFLL)
            reader.Error(QStringLiteral("Invalid property value %1").arg(value.ToText()));
        bitmap_->SetMasterAlpha(uint32_t(v));
        return true;
    }
    if (is("Bitmap.OuterColor")) {
        // Written as a signed or an unsigned 32-bit number.
        const qint64 v = reader.IntegerValue(value);
        if (v < INT32_MIN || v > 0xFFFFFFFFLL)
            reader.Error(QStringLiteral("Invalid property value %1").arg(value.ToText()));
        bitmap_->SetOuterColor(TColor32(uint32_t(v)));
        return true;
    }
    if (name.compare(QLatin1String("Bitmap.Data"), Qt::CaseInsensitive) == 0) {
        if (value.Kind != TDefValue::vkBinary)
            reader.Error(QStringLiteral("Invalid property value"));
        TMemoryStream stream;
        stream.WriteBuffer(value.Binary.constData(), value.Binary.size());
        stream.SetPosition(0);
        bitmap_->ReadPixelData(&stream);
        return true;
    }
    return TCustomPaintBox32::ReadDefinitionProperty(name, value, reader);
}

bool TCustomImage32::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnBitmapResize", OnBitmapResize, h, "TObject*")
        || BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnGDIOverlay", OnGDIOverlay, h, "TObject*")
        || BindEventTo(name, "OnInitStages", OnInitStages, h, "TObject*")
        || BindEventTo(name, "OnMouseDown", OnMouseDown, h, "TObject*,TMouseButton,TShiftState,int,int,TCustomLayer*")
        || BindEventTo(name, "OnMouseMove", OnMouseMove, h, "TObject*,TShiftState,int,int,TCustomLayer*")
        || BindEventTo(name, "OnMouseUp", OnMouseUp, h, "TObject*,TMouseButton,TShiftState,int,int,TCustomLayer*")
        || BindEventTo(name, "OnPaintStage", OnPaintStage, h, "TObject*,TBitmap32*,unsigned")
        || BindEventTo(name, "OnMouseWheelDown", OnMouseWheelDown, h, "TObject*,TShiftState,TPoint,bool&")
        || BindEventTo(name, "OnMouseWheelUp", OnMouseWheelUp, h, "TObject*,TShiftState,TPoint,bool&")
        || BindEventTo(name, "OnCanResize", OnCanResize, h, "TObject*,int&,int&,bool&")
        || BindEventTo(name, "OnDragOver", OnDragOver, h, "TObject*,TObject*,int,int,TDragState,bool&")
        || BindEventTo(name, "OnDragDrop", OnDragDrop, h, "TObject*,TObject*,int,int")
        || BindEventTo(name, "OnStartDrag", OnStartDrag, h, "TObject*,TObject*&")
        || BindEventTo(name, "OnEndDrag", OnEndDrag, h, "TObject*,TObject*,int,int")
        || TCustomPaintBox32::BindEvent(name, h);
}

// ---- TImage32 --------------------------------------------------------------------------------

TImage32::TImage32(QWidget* parent) : TCustomImage32(parent)
{
    SetColor(0xFF000005); // clWindow
}

void RegisterImagingBitmapClasses()
{
    RegisterComponentClass<TImage32>("TImage32");
    InstallThemeNexus();
}
