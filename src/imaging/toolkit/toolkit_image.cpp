#include "imaging/toolkit/toolkit_image.h"

#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/graphics.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace {

// ---- Process-wide state ----------------------------------------------------------------------

// The controls whose toolkit calls are under way, the innermost last: toolkit callbacks act on it.
std::vector<TToolkitImage*>& CurrentControls()
{
    static std::vector<TToolkitImage*> controls;
    return controls;
}

TToolkitImage* CurrentControl()
{
    const auto& controls = CurrentControls();
    return controls.empty() ? nullptr : controls.back();
}

// Set when EnableProgressEvent is turned off while a load or save runs; a callback turns it into
// the aborted flag and stops the toolkit.
bool g_abortRequested = false;
bool g_aborted = false;

// Round half to even.
int RoundEven(double value)
{
    return int(std::nearbyint(value));
}

// The size of `size` pixels shown at `zoom`.
int Scale(int size, double zoom)
{
    if (zoom > 0)
        return RoundEven(size * zoom);
    if (zoom == 0)
        return 1;
    return RoundEven(size / (1 - zoom));
}

// The toolkit's option families of drawn formats, kept aside around a load.
struct TOptionFamilies {
    TKPDFOptions Pdf;
    int32_t ViewMode = 0;
    int32_t ViewportWidth = 0, ViewportHeight = 0;
    int32_t WmfX = 0, WmfY = 0;
    TKRTFOptions Rtf;
    TKPLTOptions Plt;
    TKPTKOptions Ptk;
    int32_t Cad = 0;

    void Take()
    {
        TK_GetPDFOptions(&Pdf);
        TK_Get2DViewMode(&ViewMode);
        TK_Get2DViewport(&ViewportWidth, &ViewportHeight);
        TK_GetWMFResolution(&WmfX, &WmfY);
        TK_GetRTFOptions(&Rtf);
        TK_GetPLTOptions(&Plt);
        TK_GetPTKOptions(&Ptk);
        TK_GetCADColorScheme(&Cad);
    }
    void Give() const
    {
        TK_SetPDFOptions(&Pdf);
        TK_Set2DViewMode(ViewMode);
        TK_Set2DViewport(ViewportWidth, ViewportHeight);
        TK_SetWMFResolution(WmfX, WmfY);
        TK_SetRTFOptions(&Rtf);
        TK_SetPLTOptions(&Plt);
        TK_SetPTKOptions(&Ptk);
        TK_SetCADColorScheme(Cad);
    }
};

// Puts the toolkit's option families back when the load ends, however it ends.
class TOptionGuard {
public:
    explicit TOptionGuard(const TOptionFamilies& own)
    {
        saved_.Take();
        own.Give();
    }
    ~TOptionGuard() { saved_.Give(); }
    TOptionGuard(const TOptionGuard&) = delete;
    TOptionGuard& operator=(const TOptionGuard&) = delete;

private:
    TOptionFamilies saved_;
};

// Makes a control current for toolkit callbacks for the length of a call.
class TCurrentGuard {
public:
    TCurrentGuard(TToolkitImage* control, TToolkitImage*& link) : link_(link)
    {
        link_ = CurrentControl();
        CurrentControls().push_back(control);
    }
    ~TCurrentGuard()
    {
        CurrentControls().pop_back();
        link_ = nullptr;
    }
    TCurrentGuard(const TCurrentGuard&) = delete;
    TCurrentGuard& operator=(const TCurrentGuard&) = delete;

private:
    TToolkitImage*& link_;
};

class TStatusGuard {
public:
    explicit TStatusGuard(TKStatusCallback callback) : previous_(TK_SetStatusCallBack(callback)) {}
    ~TStatusGuard() { TK_SetStatusCallBack(previous_); }
    TStatusGuard(const TStatusGuard&) = delete;
    TStatusGuard& operator=(const TStatusGuard&) = delete;

private:
    TKStatusCallback previous_;
};

class TLoadInfoGuard {
public:
    explicit TLoadInfoGuard(TKLoadInfoCallback callback) : previous_(TK_SetLoadInfoCallback(callback)) {}
    ~TLoadInfoGuard() { TK_SetLoadInfoCallback(previous_); }
    TLoadInfoGuard(const TLoadInfoGuard&) = delete;
    TLoadInfoGuard& operator=(const TLoadInfoGuard&) = delete;

private:
    TKLoadInfoCallback previous_;
};

class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagGuard() { flag_ = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& flag_;
};

struct TLoadUserData {
    TToolkitImage* Control = nullptr;
    uint32_t PagesWanted = 0;
    uint32_t PagesDone = 0;
};

} // namespace

// ---- Callbacks -------------------------------------------------------------------------------

struct TToolkitImageCallbacks {
    static int Rows(TKBitmap* bitmap, uint8_t* rows, uint32_t flags, int32_t firstRow, int32_t rowCount, void* userData)
    {
        auto* user = static_cast<TLoadUserData*>(userData);
        TToolkitImage* c = user->Control;
        if (c->busy_ & TToolkitImage::bsDestroying)
            return 0;
        if (user->PagesDone >= user->PagesWanted)
            return TK_ErrUserAbort; // stops the toolkit; the load reads it as success
        c->rowCounter_ += rowCount;
        if (c->AnimatedLoadRunning()) {
            const int result = c->AnimatedLoadRows(bitmap, flags, firstRow, rowCount, user->PagesDone);
            return Finish(c, result);
        }
        const int32_t height = bitmap->Height;
        if (flags & TKRF_FirstRows) {
            if (c->enableProgressEvent_)
                c->Fire(c->OnStatus, c, 0);
            c->rowCounter_ = rowCount;
        }
        if ((flags & (TKRF_PageStart | TKRF_FirstRows)) == (TKRF_PageStart | TKRF_FirstRows)) {
            c->HasBitmap = 1;
            c->ToolkitBitmap = *bitmap;
            TK_InsertBitmapListItem(c->BitmapList, -1, &c->ToolkitBitmap);
            if (c->paintWhileLoad_)
                c->ResetView();
            else
                c->pending_ |= TToolkitImage::pwPalette;
        }
        if ((flags & (TKRF_PageEnd | TKRF_LastRows)) == (TKRF_PageEnd | TKRF_LastRows)) {
            ++user->PagesDone;
            if (user->PagesDone < user->PagesWanted) {
                c->ToolkitBitmap = *bitmap;
            } else {
                // The last page wanted gets pixels of its own and the toolkit's bitmap goes.
                int32_t count = 0;
                TKBitmap last;
                if (TK_GetBitmapListCount(c->BitmapList, &count) == TK_Success && count > 0)
                    TK_RemoveBitmapListItem(c->BitmapList, count - 1, &last);
                const int copied = TK_CopyBitmap(bitmap, &c->ToolkitBitmap);
                if (copied == TK_Success)
                    TK_InsertBitmapListItem(c->BitmapList, -1, &c->ToolkitBitmap);
                else if (copied == TK_ErrNoMemory)
                    TK_InsertBitmapListItem(c->BitmapList, -1, bitmap);
                TK_FreeBitmap(bitmap);
            }
            c->pending_ |= TToolkitImage::pwPalette;
            c->Fire(c->OnFilePage, c);
        }
        if (c->enableProgressEvent_ && height > 0)
            c->Fire(c->OnStatus, c, RoundEven(c->rowCounter_ * 100.0 / height));
        if (c->paintWhileLoad_ && rows)
            c->PaintBand(c->ToolkitBitmap, rows, firstRow, rowCount, flags);
        return Finish(c, TK_Success);
    }

    // The end of every row callback: the result is kept, and a stop asked for ends the load.
    static int Finish(TToolkitImage* c, int result)
    {
        c->LastResult = result;
        if (g_abortRequested) {
            g_abortRequested = false;
            g_aborted = true;
            return 0;
        }
        return result;
    }

    static int Status(int32_t percent)
    {
        TToolkitImage* c = CurrentControl();
        if (!c) {
            g_aborted = true;
            return 0;
        }
        if (c->enableProgressEvent_) {
            c->Fire(c->OnStatus, c, int(percent));
        } else if (g_abortRequested) {
            g_abortRequested = false;
            g_aborted = true;
            return 0;
        }
        return 1;
    }

    // The handler sets the eight load-information values; the toolkit's record takes them in
    // the order it lays them out.
    static int LoadInfo(TKLoadInfo* info)
    {
        TToolkitImage* c = CurrentControl();
        if (!c || !c->OnLoadInfo)
            return 0;
        c->Fire(c->OnLoadInfo, c);
        if (c->LoadInfoValues[2] == 0)
            return 0;
        static const int order[8] = {3, 6, 4, 1, 7, 8, 5, 2};
        for (int i = 0; i < 8; ++i)
            info->Values[i] = c->LoadInfoValues[order[i] - 1];
        return 1;
    }

    static int Row(uint8_t* buffer, int32_t row, int32_t rowBytes, void* userData)
    {
        auto* c = static_cast<TToolkitImage*>(userData);
        if (TK_GetBitmapRow(c->rowSource_, row, buffer, rowBytes) < rowBytes)
            return 0;
        ++c->rowCounter_;
        const int32_t height = std::max(1, c->rowSource_->Height);
        c->Fire(c->OnStatus, c, RoundEven(double(c->rowCounter_) / height * 100));
        if (g_abortRequested) {
            g_abortRequested = false;
            g_aborted = true;
            return 0;
        }
        return 1;
    }
};

// ---- Construction ----------------------------------------------------------------------------

TToolkitImage::TToolkitImage(QWidget* parent) : TCustomPanel(parent)
{
    busy_ |= bsCreating;
    SetBevelOuter(bvNone);
    SetControlStyle(ControlStyle() | csAcceptsControls);
    textFont_ = std::make_unique<TFont>();
    TKVersionInfo version;
    TK_VersionInfo(&version);
    VersionProduct = QString::fromLatin1(version.Product);
    VersionCopyright = QString::fromLatin1(version.Copyright);
    VersionMajor = version.Major;
    VersionMinor = version.Minor;
    VersionBuild = version.Build;
    VersionControl = QStringLiteral("Toolkit Image Control");
    LastResult = 1;
    TK_GetJ2KOptions(&j2k_);
    TK_GetPDFSaveOptions(&pdfSave_);
    TK_InitBitmap(&ToolkitBitmap);
    SetBounds(Left(), Top(), 150, 150);
    busy_ &= uint8_t(~bsCreating);
}

TToolkitImage::~TToolkitImage()
{
    busy_ |= bsDestroying;
    ShutDownAnimation();
    ShutDownDragDrop();
    ShutDownMemory();
    ShutDownRegion();
    ShutDownScroll();
    ShutDownPaint();
    if (BitmapList)
        TK_DestroyBitmapList(BitmapList);
    BitmapList = 0;
    TK_FreeBitmap(&ToolkitBitmap);
}

void RegisterToolkitImageClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterComponentClass<TToolkitImage>("TToolkitImage");
}

bool TToolkitImage::BindEvent(const QString& name, const TMethodRef& handler)
{
    if (BindEventTo(name, "OnChange", OnChange, handler, "TObject*") ||
        BindEventTo(name, "OnPaint", OnPaint, handler, "TObject*") ||
        BindEventTo(name, "OnPaintNotify", OnPaintNotify, handler, "TObject*,uint,uint") ||
        BindEventTo(name, "OnStatus", OnStatus, handler, "TObject*,int") ||
        BindEventTo(name, "OnLoadInfo", OnLoadInfo, handler, "TObject*") ||
        BindEventTo(name, "OnFilePage", OnFilePage, handler, "TObject*") ||
        BindEventTo(name, "OnAnimate", OnAnimate, handler, "TObject*,bool") ||
        BindEventTo(name, "OnBeforeScroll", OnBeforeScroll, handler, "TObject*") ||
        BindEventTo(name, "OnScroll", OnScroll, handler, "TObject*") ||
        BindEventTo(name, "OnPanWin", OnPanWin, handler, "TObject*,QWidget*,int") ||
        BindEventTo(name, "OnMagGlassCursor", OnMagGlassCursor, handler, "TObject*") ||
        BindEventTo(name, "OnRgnChange", OnRgnChange, handler, "TObject*") ||
        BindEventTo(name, "OnRubberBand", OnRubberBand, handler, "TObject*") ||
        BindEventTo(name, "OnDropFile", OnDropFile, handler, "TObject*,const QString&") ||
        BindEventTo(name, "OnReadyStateChanged", OnReadyStateChanged, handler, "TObject*,TToolkitImage::TReadyState") ||
        BindEventTo(name, "OnBitmapDataPathClosed", OnBitmapDataPathClosed, handler, "") ||
        BindEventTo(name, "OnOLEStartDrag", OnOLEStartDrag, handler, "TMouseButton,TShiftState,int,int") ||
        BindEventTo(name, "OnOLEDragOver", OnOLEDragOver, handler, "TMouseButton,TShiftState,int,int") ||
        BindEventTo(name, "OnOLECompleteDrag", OnOLECompleteDrag, handler, "TMouseButton,TShiftState,int,int") ||
        BindEventTo(name, "OnOLEGiveFeedback", OnOLEGiveFeedback, handler, "bool&"))
        return true;
    // Events the control never fires: the window keeps its handler for them.
    static const char* const kept[] = {
        "OnZoomInDone", "OnTransformMarker", "OnSmooth", "OnLineRemove", "OnInvertedText", "OnHolePunchRemove",
        "OnDotRemove", "OnBorderRemove",
    };
    for (const char* event : kept)
        if (name.compare(QLatin1String(event), Qt::CaseInsensitive) == 0) {
            storedEvents_.insert(QLatin1String(event), handler);
            return true;
        }
    return TCustomPanel::BindEvent(name, handler);
}

bool TToolkitImage::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.startsWith(QLatin1String("TextFont."), Qt::CaseInsensitive))
        return TDefinitionReader::ApplyFontProperty(name.mid(9), value, textFont_.get());
    return TCustomPanel::ReadDefinitionProperty(name, value, reader);
}

// ---- Result convention -----------------------------------------------------------------------

QString TToolkitImage::MessageName() const
{
    return Name();
}

int TToolkitImage::ResultCheck(const char* operation, int code, bool mayRaise)
{
    LastResult = code;
    if (code != 1 && enableMethodErrors_ && mayRaise)
        throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\n%3: %4 ")
                                     .arg(MessageName())
                                     .arg(code)
                                     .arg(QLatin1String(operation), ToolkitErrorText(code)));
    return code;
}

void TToolkitImage::BusyCheck()
{
    const auto raise = [this](int code, const char* operation) {
        LastResult = code;
        throw EToolkitImageError(QStringLiteral("%1 \nError code: %2\n%3: %4 ")
                                     .arg(MessageName())
                                     .arg(code)
                                     .arg(QLatin1String(operation), ToolkitErrorText(code)));
    };
    if (animating_)
        raise(TK_ErrNotSupported, "Animation");
    if ((busy_ & bsProcessing) || processing_)
        raise(0, "Processing Not allowed");
}

int TToolkitImage::ImageCheck(const char* operation, int skip)
{
    BusyCheck();
    if (skip != 1) {
        if (!HasBitmap) {
            LastResult = TK_ErrBitmapHandle;
            throw EToolkitImageError(
                QStringLiteral("%1 \n%2: Image Not allocated.").arg(MessageName(), QLatin1String(operation)));
        }
        LastResult = 1;
    }
    return LastResult;
}

void TToolkitImage::InvalidValue(const char* property)
{
    LastResult = TK_ErrParameter;
    throw EToolkitImageError(QStringLiteral("%1 \n %2: Invalid value passed.").arg(MessageName(), QLatin1String(property)));
}

void TToolkitImage::BeginStatus()
{
    if (statusInstalled_)
        return;
    g_aborted = false;
    callbackLink_ = CurrentControl();
    CurrentControls().push_back(this);
    statusBefore_ = TK_SetStatusCallBack(TToolkitImageCallbacks::Status);
    statusInstalled_ = true;
}

bool TToolkitImage::EndStatus()
{
    if (!statusInstalled_)
        return false;
    TK_SetStatusCallBack(statusBefore_);
    auto& controls = CurrentControls();
    const auto it = std::find(controls.rbegin(), controls.rend(), this);
    if (it != controls.rend())
        controls.erase(std::next(it).base());
    callbackLink_ = nullptr;
    statusInstalled_ = false;
    const bool aborted = g_aborted;
    g_aborted = false;
    return aborted;
}

// ---- View geometry ---------------------------------------------------------------------------

void TToolkitImage::ResetView()
{
    BitmapWidth = ToolkitBitmap.Width;
    BitmapHeight = ToolkitBitmap.Height;
    BitmapBits = ToolkitBitmap.BitsPerPixel;
    BitmapXResolution = ToolkitBitmap.XResolution;
    BitmapYResolution = ToolkitBitmap.YResolution;
    BitmapViewPerspective = ToolkitBitmap.ViewPerspective;
    BitmapTransparent = (ToolkitBitmap.Flags & TKBF_Transparent) != 0;
    BitmapTransparentColor = ToolkitBitmap.TransparentColor;
    if (!autoSetRects_)
        return;
    scrollX_ = scrollY_ = 0;
    const bool transposed = IsViewTransposed(ToolkitBitmap);
    source_ = TRect4{0, 0, transposed ? ToolkitBitmap.Height : ToolkitBitmap.Width,
                     transposed ? ToolkitBitmap.Width : ToolkitBitmap.Height};
    sourceClip_ = source_;
    UpdateRects();
}

void TToolkitImage::SizeToMode()
{
    int w = BitmapViewWidth(ToolkitBitmap);
    int h = BitmapViewHeight(ToolkitBitmap);
    if (paintSizeUseDpi_) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
        const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
        const bool transposed = IsViewTransposed(ToolkitBitmap);
        const int resX = transposed ? ToolkitBitmap.YResolution : ToolkitBitmap.XResolution;
        const int resY = transposed ? ToolkitBitmap.XResolution : ToolkitBitmap.YResolution;
        w = RoundEven(w * dpiX / std::max(1, resX));
        h = RoundEven(h * dpiY / std::max(1, resY));
    }
    if (w == 0 || h == 0) {
        view_.Width = view_.Height = 0;
        if (autoScroll_)
            scrollRangeX_ = scrollRangeY_ = 0;
        return;
    }
    const int clientW = ClientWidth() - 2 * inset_;
    const int clientH = ClientHeight() - 2 * inset_;
    switch (paintSizeMode_) {
    case smStretch:
        view_.Width = clientW;
        view_.Height = clientH;
        zoomX_ = double(view_.Width) / w;
        zoomY_ = double(view_.Height) / h;
        break;
    case smFitSides:
        // Fitted as if the vertical bar did not show, so that showing it does not change the fit.
        zoomX_ = double(clientW + ShownScrollBarWidth()) / w;
        zoomY_ = zoomX_;
        break;
    case smFit:
        zoomX_ = std::min(double(clientW) / w, double(clientH) / h);
        zoomY_ = zoomX_;
        break;
    case smNormal:
    case smZoom:
        break;
    }
    view_.Height = Scale(h, zoomY_);
    view_.Width = Scale(w, zoomX_);
    SynchroniseView();
}

void TToolkitImage::SynchroniseView()
{
    if (viewSetBits_ == 0) {
        ViewLeft = view_.Left;
        ViewTop = view_.Top;
        ViewWidth = view_.Width;
        ViewHeight = view_.Height;
        return;
    }
    const int32_t left = ViewLeft, top = ViewTop, width = ViewWidth, height = ViewHeight;
    ViewLeft = view_.Left;
    ViewTop = view_.Top;
    ViewWidth = view_.Width;
    ViewHeight = view_.Height;
    if (viewSetBits_ & 1)
        ViewLeft = left - view_.Left;
    if (viewSetBits_ & 2)
        ViewTop = top - view_.Top;
    if (viewSetBits_ & 4)
        ViewWidth = width;
    if (viewSetBits_ & 8)
        ViewHeight = height;
    viewSetBits_ = 0;
}

void TToolkitImage::UpdateRects()
{
    if (busy_ & (bsDestroying | bsInUpdateRects))
        return;
    busy_ |= bsInUpdateRects;
    const bool fitSides = paintSizeMode_ == smFitSides;
    const int availH = ClientHeight() - 2 * inset_ + (fitSides ? ShownScrollBarHeight() : 0);
    const int availW = ClientWidth() - 2 * inset_ + (fitSides ? ShownScrollBarWidth() : 0);
    if (autoSetRects_)
        SizeToMode();
    scrollRangeX_ = std::max(0, view_.Width - availW);
    scrollRangeY_ = std::max(0, view_.Height - availH);
    scrollX_ = std::clamp(scrollX_, 0, scrollRangeX_);
    scrollY_ = std::clamp(scrollY_, 0, scrollRangeY_);
    if (AutoSize() && HasBitmap) {
        SetClientWidth(view_.Width + 2 * inset_);
        SetClientHeight(view_.Height + 2 * inset_);
    } else if (autoScroll_) {
        view_.Left = -scrollX_;
        view_.Top = -scrollY_;
    }
    if (autoSetRects_)
        SynchroniseView();
    if (centerImage_ && (view_.Width < ClientWidth() || view_.Height < ClientHeight()))
        Centre();
    busy_ &= uint8_t(~bsInUpdateRects);
    UpdatePanWindow();
    UpdateMagnifier();
}

void TToolkitImage::Centre()
{
    int left = view_.Left, top = view_.Top;
    if (view_.Width < ClientWidth())
        left = ClientWidth() / 2 - view_.Width / 2;
    if (view_.Height < ClientHeight())
        top = int(std::trunc(ClientHeight() / 2.0 - view_.Height / 2.0));
    ViewLeft = left;
    ViewTop = top;
    ViewWidth = view_.Width;
    ViewHeight = view_.Height;
    viewSetBits_ = 15;
    view_.Left = left;
    view_.Top = top;
    if (autoRepaint_)
        Invalidate();
}

TPoint TToolkitImage::ClientToBitmap(const TPoint& client) const
{
    if (view_.Width == 0 || view_.Height == 0)
        return TPoint{0, 0};
    int x = source_.Width * (client.X - view_.Left - inset_) / view_.Width + source_.Left;
    int y = source_.Height * (client.Y - view_.Top - inset_) / view_.Height + source_.Top;
    TK_PointToBitmap(&ToolkitBitmap, &x, &y);
    return TPoint{x, y};
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetAutoSize(bool v)
{
    TCustomPanel::SetAutoSize(v);
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetAutoSetRects(bool v)
{
    autoSetRects_ = v;
    LastResult = 1;
    if (v) {
        ResetView();
        UpdateRects();
    }
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetAutoRepaint(bool v)
{
    autoRepaint_ = v;
    LastResult = 1;
    if (v)
        Invalidate();
}

void TToolkitImage::SetCenterImage(bool v)
{
    centerImage_ = v;
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintSizeUseDPI(bool v)
{
    paintSizeUseDpi_ = v;
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetPaintSizeMode(TPaintSizeMode v)
{
    viewSetBits_ = 0;
    paintSizeMode_ = v;
    if (v == smNormal) {
        scrollX_ = scrollY_ = 0;
        zoomX_ = zoomY_ = 1.0;
        view_.Width = BitmapViewWidth(ToolkitBitmap);
        view_.Height = BitmapViewHeight(ToolkitBitmap);
    }
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

int TToolkitImage::PaintZoomFactor() const
{
    const_cast<TToolkitImage*>(this)->LastResult = 1;
    if (paintSizeMode_ == smStretch)
        return RoundEven(std::min(zoomX_, zoomY_) * 100);
    return RoundEven(zoomX_ * 100);
}

void TToolkitImage::SetPaintZoomFactor(int v)
{
    if (v < 0) {
        LastResult = TK_ErrParameter;
        throw EToolkitImageError(QStringLiteral("%1 \nPaintZoomFactor: Invalid value passed.").arg(MessageName()));
    }
    if (!IsLoading()) {
        viewSetBits_ = 0;
        paintSizeMode_ = smZoom;
    }
    zoomX_ = zoomY_ = v / 100.0;
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameThickness(uint v)
{
    frameThickness_ = v;
    inset_ = int(frameThickness_ + frameInnerThickness_ + frameOuterThickness_);
    LastResult = 1;
    UpdateRects();
    if (autoRepaint_)
        Invalidate();
}

void TToolkitImage::SetFrameInnerThickness(uint v)
{
    frameInnerThickness_ = v;
    SetFrameThickness(frameThickness_);
}

void TToolkitImage::SetFrameOuterThickness(uint v)
{
    frameOuterThickness_ = v;
    SetFrameThickness(frameThickness_);
}

void TToolkitImage::SetEnableMethodErrors(bool v)
{
    enableMethodErrors_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableProgressEvent(bool v)
{
    if (v)
        g_abortRequested = false;
    else if (loading_ || processing_ || (busy_ & bsProcessing))
        g_abortRequested = true;
    enableProgressEvent_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFXResolution(int v)
{
    if (v < 0)
        InvalidValue("PDFXResolution");
    pdf_.XResolution = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFYResolution(int v)
{
    if (v < 0)
        InvalidValue("PDFYResolution");
    pdf_.YResolution = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFDisplayDepth(int v)
{
    if (v != 1 && v != 4 && v != 8 && v != 24)
        InvalidValue("PDFDisplayDepth");
    pdf_.DisplayDepth = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFTextAlpha(int v)
{
    if (v != 1 && v != 2 && v != 4)
        InvalidValue("PDFTextAlpha ");
    pdf_.TextAlpha = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFGraphicsAlpha(int v)
{
    if (v != 1 && v != 2 && v != 4)
        InvalidValue("PDFGraphicsAlpha");
    pdf_.GraphicsAlpha = v;
    LastResult = 1;
}

void TToolkitImage::SetRasterizeViewportWidth(int v)
{
    if (v < 0)
        InvalidValue("RasterizeViewportWidth");
    rasterizeViewportWidth_ = v;
    LastResult = 1;
}

void TToolkitImage::SetRasterizeViewportHeight(int v)
{
    if (v < 0)
        InvalidValue("RasterizeViewportHeight");
    rasterizeViewportHeight_ = v;
    LastResult = 1;
}

void TToolkitImage::SetRasterizeViewMode(int v)
{
    if (v < 0 || v > 3)
        InvalidValue("RasterizeViewMode");
    rasterizeViewMode_ = v;
    LastResult = 1;
}

void TToolkitImage::SetTextFont(TFont* font)
{
    if (font)
        textFont_->Assign(font);
    LastResult = 1;
}

// ---- Kept properties -------------------------------------------------------------------------












































void TToolkitImage::SetPaintWhileLoad(bool v)
{
    paintWhileLoad_ = v;
    LastResult = 1;
}

void TToolkitImage::SetPDFUseLibFonts(bool v)
{
    pdfUseLibFonts_ = v;
    LastResult = 1;
}


































// ---- Image state -----------------------------------------------------------------------------

void TToolkitImage::DropImage()
{
    BitmapListIndex = 0;
    if (BitmapList)
        TK_DestroyBitmapList(BitmapList);
    BitmapList = 0;
    TK_FreeBitmap(&ToolkitBitmap);
    HasBitmap = 0;
    if (backErase_ && !transparent_)
        Invalidate();
}

void TToolkitImage::ClearImage()
{
    BusyCheck();
    ClosePanWindow();
    DropImage();
    NotifyBitmapReset();
}

void TToolkitImage::ImageChanged()
{
    if (busy_ & bsDestroying)
        return;
    FreeGlobalBitmapCopy();
    ResetView();
    pending_ |= pwPalette;
    if (autoRepaint_)
        Invalidate();
    UpdatePanWindow();
    RestartMagnifier();
    Fire(OnChange, this);
}

void TToolkitImage::ExternalBitmapChange()
{
    if (animating_) {
        LastResult = TK_ErrNotSupported;
        return;
    }
    if (processing_ || (busy_ & bsProcessing)) {
        LastResult = 0;
        return;
    }
    if (BitmapList && IsBitmapAllocated(&ToolkitBitmap))
        TK_SetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
    ImageChanged();
    AfterExternalChange();
}

void TToolkitImage::TakeAnimationFromBitmap(const TKBitmap& bitmap)
{
    Animation.ScreenWidth = bitmap.Width;
    Animation.ScreenHeight = bitmap.Height;
    Animation.Bits = bitmap.BitsPerPixel;
    Animation.BackgroundColor = bitmap.TransparentColor;
    // Every entry of a palette bitmap's palette, the last one included: a save with the palette
    // would otherwise write that colour black.
    Animation.HasPalette = bitmap.BitsPerPixel <= 8 && !bitmap.Palette.empty();
    std::fill(std::begin(Animation.Palette), std::end(Animation.Palette), 0u);
    if (Animation.HasPalette)
        std::copy_n(bitmap.Palette.begin(), std::min<size_t>(256, bitmap.Palette.size()), Animation.Palette);
}

// ---- Options ---------------------------------------------------------------------------------

TKLoadOptions TToolkitImage::BuildLoadOptions(int page) const
{
    TKLoadOptions options;
    TK_GetDefaultLoadFileOption(&options);
    options.PageNumber = page;
    if (paintWhileLoad_)
        options.Passes = Passes;
    options.Flags = LoadSwitch10 ? (options.Flags | 0x10) : (options.Flags & ~0x10u);
    if (LoadSwitch80)
        options.Flags |= 0x80;
    if (LoadResolution > 7) {
        options.Flags |= TKLO_Resolution;
        options.Resolution = LoadResolution;
    }
    return options;
}

TKSaveOptions TToolkitImage::BuildSaveOptions(int saveOption, int bits, bool withAnimation)
{
    TKSaveOptions o;
    TK_GetDefaultSaveFileOption(&o);
    if (saveOption == -1)
        saveOption = 1;
    TK_SetJ2KOptions(&j2k_);
    TK_SetPDFSaveOptions(&pdfSave_);
    if (SaveValue > 0) {
        o.Flags |= TKSO_Value;
        o.Value = SaveValue;
    }
    switch (saveOption) {
    case 0: o.PageNumber = 1; break;
    case 1: o.PageNumber = 2; break;
    case 2: o.Flags |= TKSO_InsertPage; o.PageNumber = SavePage; break;
    case 3: o.Flags |= TKSO_ReplacePage; o.PageNumber = SavePage; break;
    default: break;
    }
    o.Passes = Passes;
    o.Flags = SaveSwitch10 ? (o.Flags | 0x10) : (o.Flags & ~0x10u);
    if (SaveSwitch1)
        o.Flags |= 0x1;
    if (!SaveSwitch8000)
        o.Flags |= 0x8000;
    if (SaveSwitch40)
        o.Flags |= 0x40;
    if (SaveSwitch400000)
        o.Flags |= 0x400000;
    BeforeSaveOptions(o);
    if (withAnimation) {
        if (bits == Animation.Bits) {
            if (Animation.Bits <= 8 && Animation.HasPalette) {
                std::copy(std::begin(Animation.Palette), std::end(Animation.Palette), o.Palette);
                o.Flags |= TKSO_Palette;
            }
            o.BackgroundColor = Animation.BackgroundColor;
            o.Flags |= TKSO_Background;
        } else if (Animation.Bits <= 8 && (Animation.BackgroundColor >> 24) == 1) {
            o.BackgroundColor = Animation.Palette[Animation.BackgroundColor & 0xFF];
        }
        o.ScreenWidth = Animation.ScreenWidth;
        o.ScreenHeight = Animation.ScreenHeight;
        if (Animation.Loop) {
            o.LoopCount = 0;
            o.Flags |= TKSO_Loop;
        }
    } else {
        o.ScreenWidth = Animation.ScreenWidth;
        o.ScreenHeight = Animation.ScreenHeight;
        o.Flags &= ~(TKSO_Loop | TKSO_Palette | TKSO_Background);
    }
    if (SaveSwitch1000000)
        o.Flags |= 0x1000000;
    if (SaveValue1 != 0 || SaveValue2 != 0) {
        o.Flags |= TKSO_Values;
        o.Value1 = SaveValue1;
        o.Value2 = SaveValue2;
    }
    return o;
}

// ---- Files -----------------------------------------------------------------------------------

int TToolkitImage::Load(const QString& FileName, int Bits, int FirstPage, int Pages)
{
    ClearImage();
    busy_ |= bsLoading;
    if (Pages == 0) {
        busy_ &= uint8_t(~bsLoading);
        ImageChanged();
        LastResult = 1;
        return 1;
    }
    TKLoadOptions options = BuildLoadOptions(FirstPage);
    TOptionFamilies own;
    own.Pdf = pdf_;
    own.Pdf.UseLibFonts = pdfUseLibFonts_ ? -1 : 0;
    own.ViewMode = rasterizeViewMode_;
    own.ViewportWidth = rasterizeViewportWidth_;
    own.ViewportHeight = rasterizeViewportHeight_;
    own.WmfX = wmfX_;
    own.WmfY = wmfY_;
    own.Rtf = rtf_;
    own.Plt = plt_;
    own.Ptk = ptk_;
    own.Cad = cadColorScheme_;

    int result = TK_Success;
    bool animated = false, playing = false;
    {
        TOptionGuard families(own);
        TCurrentGuard current(this, callbackLink_);
        TLoadInfoGuard loadInfo(TToolkitImageCallbacks::LoadInfo);

        TKFileInfo info;
        result = TK_FileInfo(FileName, &info, sizeof info, 1, &options);
        if (result == TK_Success) {
            FileInfoFormat = info.Format;
            FileInfoWidth = info.Width;
            FileInfoHeight = info.Height;
            FileInfoBits = info.BitsPerPixel;
            FileInfoPages = info.TotalPages;
            InfoLayerCount = info.LayerCount;
            FileInfoCompression = info.Compression;
            FileInfoXResolution = info.XResolution;
            FileInfoYResolution = info.YResolution;
            FileInfoViewPerspective = info.ViewPerspective;
            FileInfoColorsUsed = info.ColorsUsed;
            FileInfoAlpha = info.AlphaPresent;
            FileInfoInterlaced = info.Interlaced;
            FileInfoVersion = info.Version;
            FileInfoText = QString::fromLatin1(info.FormatText, int(strnlen(info.FormatText, sizeof info.FormatText)));

            const int f = info.Format;
            animated = (f == TKFMT_GIF && info.TotalPages != 1) || f == TKFMT_MNG || f == TKFMT_WEBP;
            if (animated) {
                Animation.Loop = (autoAnimationLoop_ == 1 && autoAnimate_) ||
                                 (f == TKFMT_GIF && (info.Flags & TKFI_Loop) && info.LoopCount == 0);
                Animation.ScreenWidth = info.ScreenWidth;
                Animation.ScreenHeight = info.ScreenHeight;
                Animation.Bits = info.BitsPerPixel;
                Animation.HasPalette = (info.Flags & TKFI_GlobalPalette) != 0;
                if (Animation.HasPalette)
                    std::copy(std::begin(info.GlobalPalette), std::end(info.GlobalPalette), Animation.Palette);
                Animation.BackgroundColor = (info.Flags & TKFI_Background) ? info.BackgroundColor : 0;
            }
            if (animated)
                ReadAnimationFrames(FileName, FirstPage);
            // An animation to play shows its pages on a canvas while they arrive; other loads
            // keep the pages in the list.
            playing = animated && autoAnimate_ && BeginAnimatedLoad(info.Width, info.Height);
            if (!playing) {
                TK_CreateBitmapList(&BitmapList);
                TK_InitBitmap(&ToolkitBitmap);
                ToolkitBitmap.Width = info.Width;
                ToolkitBitmap.Height = info.Height;
                ToolkitBitmap.BitsPerPixel = info.BitsPerPixel;
                ResetView();
            }

            g_aborted = false;
            rowCounter_ = 0;
            TLoadUserData user;
            user.Control = this;
            user.PagesWanted = uint32_t(Pages == -1 ? info.TotalPages : Pages);
            const uint32_t flags = user.PagesWanted == 1 ? 3 : 19;
            info.Flags = 0;
            if (ForcedFormat != -1) {
                info.Format = ForcedFormat;
                info.Flags = TKFI_ForcedFormat;
            }
            if (LoadResolution > 7) {
                info.Resolution = LoadResolution;
                info.Flags |= TKFI_Resolution;
            }
            TKBitmap scratch;
            TK_InitBitmap(&scratch);
            {
                TFlagGuard loading(loading_);
                TFlagGuard processing(processing_);
                result = TK_LoadFile(FileName, &scratch, sizeof scratch, Bits, 4, flags,
                                     TToolkitImageCallbacks::Rows, &user, &options, &info);
            }
            if (result == TK_ErrUserAbort)
                result = TK_Success;
            if (g_aborted) {
                DropAnimatedLoad();
                DropImage();
                ImageChanged();
                if (result == TK_Success)
                    result = TK_ErrUserAbort;
            } else if (result == TK_Success) {
                LastFileName = FileName;
                if (!playing) {
                    result = TK_GetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
                    if (result == TK_Success) {
                        HasBitmap = 1;
                        if (animated)
                            TagAnimationFrames();
                        else
                            TakeAnimationFromBitmap(ToolkitBitmap);
                    }
                }
            }
        }
        busy_ &= uint8_t(~bsLoading);
    }
    if (result == TK_Success && playing) {
        // Raises when the playback cannot go on and EnableMethodErrors is set; the pages stay.
        result = FinishAnimatedLoad();
        if (animating_) {
            LastResult = result;
            return result;
        }
        if (result != TK_Success) {
            ImageChanged();
            LastResult = result;
            return result;
        }
    }
    if (result != TK_Success) {
        DropAnimatedLoad();
        DropImage();
    }
    ImageChanged();
    LastResult = result;
    return result;
}

int TToolkitImage::LoadLayer(const QString& FileName, int Bits, int Layer)
{
    // An earlier failure does not stand in the way of a new load: only the busy check does.
    ImageCheck("LoadLayer", 1);
    const TKLoadOptions options = BuildLoadOptions(0);
    ClearImage();
    ResetView();
    int result = TK_LoadLayer(FileName, &ToolkitBitmap, sizeof ToolkitBitmap, Bits, 4, Layer, &LayerInfo, &options);
    if (result == TK_Success) {
        HasBitmap = 1;
        TK_CreateBitmapList(&BitmapList);
        result = TK_InsertBitmapListItem(BitmapList, -1, &ToolkitBitmap);
        ImageChanged();
    }
    return ResultCheck("LoadLayer", result);
}

int TToolkitImage::Save(const QString& FileName, int Format, int Bits, int Quality, int SaveOption)
{
    BusyCheck();
    if (!HasBitmap) {
        LastResult = TK_ErrBitmapHandle;
        throw EToolkitImageError(QStringLiteral("%1 \nSave: Image not allocated.").arg(MessageName()));
    }
    rowCounter_ = 0;
    g_aborted = false;
    int result = TK_Success;
    {
        TCurrentGuard current(this, callbackLink_);
        TStatusGuard status(TToolkitImageCallbacks::Status);
        TFlagGuard processing(processing_);
        if (SaveWithLayers && BitmapList) {
            result = SaveWithLayerTable(FileName, Format, Bits, Quality, BuildSaveOptions(SaveOption, Bits, false));
        } else if (Format == TKFMT_GIF) {
            const TKSaveOptions options = BuildSaveOptions(SaveOption, Bits, true);
            result = TK_SaveBitmapList(FileName, BitmapList, Format, Bits, Quality, &options);
        } else if (enableProgressEvent_) {
            result = SaveRowByRow(FileName, Format, Bits, Quality, BuildSaveOptions(SaveOption, Bits, false));
        } else {
            const TKSaveOptions options = BuildSaveOptions(SaveOption, Bits, false);
            // With an offset set the picture goes into the file there, with or without progress:
            // writing the whole file instead would lose what the rest of it holds.
            if (SaveOffsetHandle)
                result = TK_SaveFileOffset(FileName, &ToolkitBitmap, SaveOffset, &SaveSize, Format, Bits, Quality, 2,
                                           &options);
            else
                result = TK_SaveBitmap(FileName, &ToolkitBitmap, Format, Bits, Quality, &options);
        }
    }
    // A stopped save has written nothing: the toolkit replaces a file only once it is complete,
    // so whatever stands at FileName is not this save's and stays.
    return ResultCheck("Save", result);
}

int TToolkitImage::SaveRowByRow(const QString& fileName, int format, int bits, int quality, const TKSaveOptions& options)
{
    if (bits == 0)
        bits = ToolkitBitmap.BitsPerPixel;
    static const int keepPerspective[] = {3, 17, 25, 27, 28, 29, 85, 86, 87, 88, 93, 94, 95};
    if (IsViewTransposed(ToolkitBitmap) &&
        std::find(std::begin(keepPerspective), std::end(keepPerspective), format) == std::end(keepPerspective)) {
        const int r = TK_ChangeBitmapViewPerspective(&ToolkitBitmap, 1);
        if (r != TK_Success)
            return r;
    }
    // This format's frames have one size: the toolkit is handed a copy of that size.
    TKBitmap sized;
    const TKBitmap* source = &ToolkitBitmap;
    if (format == TKFMT_FRAME && (ToolkitBitmap.Width != TKFRAME_Width || ToolkitBitmap.Height != TKFRAME_Height)) {
        int r = TK_CopyBitmap(&ToolkitBitmap, &sized);
        if (r == TK_Success)
            r = TK_SizeBitmap(&sized, TKFRAME_Width, TKFRAME_Height);
        if (r != TK_Success)
            return r;
        source = &sized;
    }
    TK_AccessBitmap(&ToolkitBitmap);
    int result;
    if (SaveOffsetHandle) {
        result = TK_SaveFileOffset(fileName, source, SaveOffset, &SaveSize, format, bits, quality, 2, &options);
    } else {
        const uint32_t flags = bits == source->BitsPerPixel || bits > 4 ? 2 : 1;
        rowSource_ = source;
        result = TK_SaveFile(fileName, source, format, bits, quality, flags, TToolkitImageCallbacks::Row, this,
                             &options);
        rowSource_ = nullptr;
    }
    TK_ReleaseBitmap(&ToolkitBitmap);
    return result;
}

int TToolkitImage::SaveWithLayerTable(const QString& fileName, int format, int bits, int quality,
                                      const TKSaveOptions& options)
{
    TKBitmap composite;
    int result = TK_RemoveBitmapListItem(BitmapList, 0, &composite);
    if (result != TK_Success)
        return result;
    int32_t count = 0;
    result = TK_GetBitmapListCount(BitmapList, &count);
    if (result == TK_Success)
        result = TK_SaveBitmapWithLayers(fileName, &composite, format, bits, quality, BitmapList,
                                         LayerTable.empty() ? nullptr : LayerTable.data(), int32_t(LayerTable.size()),
                                         &options);
    if (TK_InsertBitmapListItem(BitmapList, 0, &composite) != TK_Success)
        TK_FreeBitmap(&composite);
    return result;
}

// ---- Window ----------------------------------------------------------------------------------

void TToolkitImage::Resize()
{
    UpdateRects();
    TCustomPanel::Resize();
}

