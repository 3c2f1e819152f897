#pragma once

// TToolkitImage: the windowed image control over the imaging toolkit (toolkit_library.h). It holds
// the current picture as a toolkit bitmap, keeps every page or frame of the last load in a bitmap
// list, shows the current one zoomed and framed, and loads and saves files through the toolkit.
//
// Results travel as toolkit codes (1 success) and are kept in LastResult. A failing operation
// raises EToolkitImageError when EnableMethodErrors is set; the busy check, the image check, an
// invalid property value and a save without a picture raise whatever it says. Load never raises
// for a file it cannot read: it returns the code.

#include "framework/exceptions.h"
#include "framework/panel.h"
#include "imaging/toolkit/toolkit_library.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QByteArray;
class QImage;
class QRegion;
class TDataSource;
class TFieldDataLink;
class TFont;

BRELNOVA_EXCEPTION(EToolkitImageError, Exception)

using TToolkitStatusEvent = std::function<void(TObject* Sender, int Percent)>;
using TToolkitPaintNotifyEvent = std::function<void(TObject* Sender, uint uPass, uint uType)>;

class TToolkitImage : public TCustomPanel {
    Q_OBJECT
public:
    enum TPaintSizeMode { smNormal, smStretch, smFitSides, smFit, smZoom };
    Q_ENUM(TPaintSizeMode)
    enum TPaintDither { pdOrdered, pdDiffusion };
    Q_ENUM(TPaintDither)
    enum TPaletteType { ppAuto, ppFixed, ppAutoNetscape, ppFixedNetscape };
    Q_ENUM(TPaletteType)
    enum TPaintScaling { psNormal, psResample, psBicubic };
    Q_ENUM(TPaintScaling)
    enum TBitonalScaling { btsNormal, btsFavorBlack, btsScaleToGray };
    Q_ENUM(TBitonalScaling)
    enum TTransitionStyle { etsNone, etsGradient, etsPattern };
    Q_ENUM(TTransitionStyle)
    enum TPatternStyle { epsSolid, epsTransparent, epsHorzLine, epsVertLine, epsDownwarDiag, epsUpwardDiag, epsCross, epsDiagCross };
    Q_ENUM(TPatternStyle)
    enum TFrameInnerStyle { fisInset, fisRaised };
    Q_ENUM(TFrameInnerStyle)
    enum TFrameOuterStyle { fosInset, fosRaised };
    Q_ENUM(TFrameOuterStyle)
    enum TShapeBackStyle { sbsTransparent, sbsOpaque, sbsTranslucent, sbsTiledImage, sbsTranslucentTiledImage, sbsGradient, sbsTranslucentGradient };
    Q_ENUM(TShapeBackStyle)
    enum TShapeBorderStyle { sbrTransparent, sbrSolid, sbrDash, sbrDot, sbrDashDot, sbrDashDotDot };
    Q_ENUM(TShapeBorderStyle)
    enum TShapeInnerBandStyle { sibNone, sibInset, sibRaised };
    Q_ENUM(TShapeInnerBandStyle)
    enum TShapeOuterBandStyle { sobNone, sobInset, sobRaised };
    Q_ENUM(TShapeOuterBandStyle)
    enum TTextAlign { etaLeftTop, etaLeftVcenter, etaLeftBottom, etaHcenterTop, etaHcenterVcenter, etaHcenterBottom, etaRightTop, etaRightVcenter, etaRightBottom };
    Q_ENUM(TTextAlign)
    enum TTextStyle { etsNormal, etsInsetLight, etsInsetExtraLight, etsInsetHeavy, etsInsetExtraHeavy, etsRaisedLight, etsRaisedHeavy, etsDropShadow, etsBlockShadow, etsOutLineBlock, etsRaisedExtraHeavy, etsRaisedExtraLight };
    Q_ENUM(TTextStyle)
    enum TDrawMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
    Q_ENUM(TDrawMode)
    enum TDrawPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
    Q_ENUM(TDrawPenStyle)
    enum TDrawFillStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
    Q_ENUM(TDrawFillStyle)

    Q_PROPERTY(bool AutoSetRects READ AutoSetRects WRITE SetAutoSetRects)
    Q_PROPERTY(bool AutoRepaint READ AutoRepaint WRITE SetAutoRepaint)
    Q_PROPERTY(bool CenterImage READ CenterImage WRITE SetCenterImage)
    Q_PROPERTY(TPaintSizeMode PaintSizeMode READ PaintSizeMode WRITE SetPaintSizeMode)
    Q_PROPERTY(bool PaintSizeUseDPI READ PaintSizeUseDPI WRITE SetPaintSizeUseDPI)
    Q_PROPERTY(int PaintZoomFactor READ PaintZoomFactor WRITE SetPaintZoomFactor)
    Q_PROPERTY(uint FrameThickness READ FrameThickness WRITE SetFrameThickness)
    Q_PROPERTY(uint FrameInnerThickness READ FrameInnerThickness WRITE SetFrameInnerThickness)
    Q_PROPERTY(uint FrameOuterThickness READ FrameOuterThickness WRITE SetFrameOuterThickness)
    Q_PROPERTY(bool EnableMethodErrors READ EnableMethodErrors WRITE SetEnableMethodErrors)
    Q_PROPERTY(bool EnableProgressEvent READ EnableProgressEvent WRITE SetEnableProgressEvent)
    Q_PROPERTY(int PDFXResolution READ PDFXResolution WRITE SetPDFXResolution)
    Q_PROPERTY(int PDFYResolution READ PDFYResolution WRITE SetPDFYResolution)
    Q_PROPERTY(int PDFDisplayDepth READ PDFDisplayDepth WRITE SetPDFDisplayDepth)
    Q_PROPERTY(int PDFTextAlpha READ PDFTextAlpha WRITE SetPDFTextAlpha)
    Q_PROPERTY(int PDFGraphicsAlpha READ PDFGraphicsAlpha WRITE SetPDFGraphicsAlpha)
    Q_PROPERTY(int RasterizeViewportWidth READ RasterizeViewportWidth WRITE SetRasterizeViewportWidth)
    Q_PROPERTY(int RasterizeViewportHeight READ RasterizeViewportHeight WRITE SetRasterizeViewportHeight)
    Q_PROPERTY(int RasterizeViewMode READ RasterizeViewMode WRITE SetRasterizeViewMode)
    // Properties whose behaviour belongs to painting, scrolling, drag and drop, regions and
    // animation, and the database link: kept and given back.
    Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE SetAutoScroll)
    Q_PROPERTY(int HScrollStep READ HScrollStep WRITE SetHScrollStep)
    Q_PROPERTY(int VScrollStep READ VScrollStep WRITE SetVScrollStep)
    Q_PROPERTY(bool EnableScroll READ EnableScroll WRITE SetEnableScroll)
    Q_PROPERTY(bool EnableKeyboard READ EnableKeyboard WRITE SetEnableKeyboard)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(bool BackErase READ BackErase WRITE SetBackErase)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int PaintContrast READ PaintContrast WRITE SetPaintContrast)
    Q_PROPERTY(int PaintIntensity READ PaintIntensity WRITE SetPaintIntensity)
    Q_PROPERTY(uint PaintGamma READ PaintGamma WRITE SetPaintGamma)
    Q_PROPERTY(TPaintDither PaintDither READ PaintDither WRITE SetPaintDither)
    Q_PROPERTY(TPaletteType PaintPalette READ PaintPalette WRITE SetPaintPalette)
    Q_PROPERTY(TPaintScaling PaintScaling READ PaintScaling WRITE SetPaintScaling)
    Q_PROPERTY(TBitonalScaling BitonalScaling READ BitonalScaling WRITE SetBitonalScaling)
    Q_PROPERTY(int PaintEffect READ PaintEffect WRITE SetPaintEffect)
    Q_PROPERTY(int TransitionEffect READ TransitionEffect WRITE SetTransitionEffect)
    Q_PROPERTY(TTransitionStyle TransitionStyle READ TransitionStyle WRITE SetTransitionStyle)
    Q_PROPERTY(uint PaintMaxPasses READ PaintMaxPasses WRITE SetPaintMaxPasses)
    Q_PROPERTY(uint EffectGrain READ EffectGrain WRITE SetEffectGrain)
    Q_PROPERTY(uint EffectDelay READ EffectDelay WRITE SetEffectDelay)
    Q_PROPERTY(uint EffectSpeed READ EffectSpeed WRITE SetEffectSpeed)
    Q_PROPERTY(uint EffectCycles READ EffectCycles WRITE SetEffectCycles)
    Q_PROPERTY(uint PaintNotificationDelay READ PaintNotificationDelay WRITE SetPaintNotificationDelay)
    Q_PROPERTY(bool PaintRgnOnly READ PaintRgnOnly WRITE SetPaintRgnOnly)
    Q_PROPERTY(bool UseTransparentColor READ UseTransparentColor WRITE SetUseTransparentColor)
    Q_PROPERTY(uint TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_PROPERTY(uint WandSize READ WandSize WRITE SetWandSize)
    Q_PROPERTY(uint WandColor READ WandColor WRITE SetWandColor)
    Q_PROPERTY(uint GradientStyle READ GradientStyle WRITE SetGradientStyle)
    Q_PROPERTY(uint GradientSteps READ GradientSteps WRITE SetGradientSteps)
    Q_PROPERTY(uint GradientStartColor READ GradientStartColor WRITE SetGradientStartColor)
    Q_PROPERTY(uint GradientEndColor READ GradientEndColor WRITE SetGradientEndColor)
    Q_PROPERTY(TPatternStyle PatternStyle READ PatternStyle WRITE SetPatternStyle)
    Q_PROPERTY(uint PatternBackColor READ PatternBackColor WRITE SetPatternBackColor)
    Q_PROPERTY(uint PatternForeColor READ PatternForeColor WRITE SetPatternForeColor)
    Q_PROPERTY(uint FrameColor READ FrameColor WRITE SetFrameColor)
    Q_PROPERTY(TFrameInnerStyle FrameInnerStyle READ FrameInnerStyle WRITE SetFrameInnerStyle)
    Q_PROPERTY(TFrameOuterStyle FrameOuterStyle READ FrameOuterStyle WRITE SetFrameOuterStyle)
    Q_PROPERTY(uint FrameInnerHiliteColor READ FrameInnerHiliteColor WRITE SetFrameInnerHiliteColor)
    Q_PROPERTY(uint FrameInnerShadowColor READ FrameInnerShadowColor WRITE SetFrameInnerShadowColor)
    Q_PROPERTY(uint FrameOuterHiliteColor READ FrameOuterHiliteColor WRITE SetFrameOuterHiliteColor)
    Q_PROPERTY(uint FrameOuterShadowColor READ FrameOuterShadowColor WRITE SetFrameOuterShadowColor)
    Q_PROPERTY(bool PaintWhileLoad READ PaintWhileLoad WRITE SetPaintWhileLoad)
    Q_PROPERTY(bool PDFUseLibFonts READ PDFUseLibFonts WRITE SetPDFUseLibFonts)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(int DataLoadBits READ DataLoadBits WRITE SetDataLoadBits)
    Q_PROPERTY(int DataSaveBits READ DataSaveBits WRITE SetDataSaveBits)
    Q_PROPERTY(int DataSaveFormat READ DataSaveFormat WRITE SetDataSaveFormat)
    Q_PROPERTY(int DataSaveQuality READ DataSaveQuality WRITE SetDataSaveQuality)
    Q_PROPERTY(QString BitmapDataPath READ BitmapDataPath WRITE SetBitmapDataPath)
    Q_PROPERTY(bool DropFilesAllowed READ DropFilesAllowed WRITE SetDropFilesAllowed)
    Q_PROPERTY(bool DropAutoLoad READ DropAutoLoad WRITE SetDropAutoLoad)
    Q_PROPERTY(bool EnableOLEDragMethod READ EnableOLEDragMethod WRITE SetEnableOLEDragMethod)
    Q_PROPERTY(bool AutoAnimate READ AutoAnimate WRITE SetAutoAnimate)
    Q_PROPERTY(int AutoAnimationLoop READ AutoAnimationLoop WRITE SetAutoAnimationLoop)
    Q_PROPERTY(bool EnableFloater READ EnableFloater WRITE SetEnableFloater)
    Q_PROPERTY(bool AutoFloater READ AutoFloater WRITE SetAutoFloater)
    Q_PROPERTY(bool RefBitmap READ RefBitmap WRITE SetRefBitmap)
    Q_PROPERTY(int PanWinX READ PanWinX WRITE SetPanWinX)
    Q_PROPERTY(int PanWinY READ PanWinY WRITE SetPanWinY)
    Q_PROPERTY(int PanWinWidth READ PanWinWidth WRITE SetPanWinWidth)
    Q_PROPERTY(int PanWinHeight READ PanWinHeight WRITE SetPanWinHeight)
    Q_PROPERTY(TPaletteType PanWinPaintPalette READ PanWinPaintPalette WRITE SetPanWinPaintPalette)
    Q_PROPERTY(TBitonalScaling PanWinBitonalScaling READ PanWinBitonalScaling WRITE SetPanWinBitonalScaling)
    Q_PROPERTY(TPaintDither PanWinPaintDither READ PanWinPaintDither WRITE SetPanWinPaintDither)
    Q_PROPERTY(TPaintScaling PanWinPaintScaling READ PanWinPaintScaling WRITE SetPanWinPaintScaling)
    Q_PROPERTY(int PanWinPointer READ PanWinPointer WRITE SetPanWinPointer)
    Q_PROPERTY(uint PanWinRectColor READ PanWinRectColor WRITE SetPanWinRectColor)
    Q_PROPERTY(bool PanWinSysMenu READ PanWinSysMenu WRITE SetPanWinSysMenu)
    Q_PROPERTY(QString PanWinTitle READ PanWinTitle WRITE SetPanWinTitle)
    Q_PROPERTY(TPaletteType MagGlassPaintPalette READ MagGlassPaintPalette WRITE SetMagGlassPaintPalette)
    Q_PROPERTY(TBitonalScaling MagGlassBitonalScaling READ MagGlassBitonalScaling WRITE SetMagGlassBitonalScaling)
    Q_PROPERTY(TPaintDither MagGlassPaintDither READ MagGlassPaintDither WRITE SetMagGlassPaintDither)
    Q_PROPERTY(TPaintScaling MagGlassPaintScaling READ MagGlassPaintScaling WRITE SetMagGlassPaintScaling)
    Q_PROPERTY(int MagGlassPointer READ MagGlassPointer WRITE SetMagGlassPointer)
    Q_PROPERTY(bool EnableZoomInRect READ EnableZoomInRect WRITE SetEnableZoomInRect)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_PROPERTY(bool ParentCtl3D READ ParentCtl3D WRITE SetParentCtl3D)
    Q_PROPERTY(int BackgroundImageLeft READ BackgroundImageLeft WRITE SetBackgroundImageLeft)
    Q_PROPERTY(int BackgroundImageTop READ BackgroundImageTop WRITE SetBackgroundImageTop)
    Q_PROPERTY(int BackgroundImageWidth READ BackgroundImageWidth WRITE SetBackgroundImageWidth)
    Q_PROPERTY(int BackgroundImageHeight READ BackgroundImageHeight WRITE SetBackgroundImageHeight)
    Q_PROPERTY(TDrawMode DrawMode READ DrawMode WRITE SetDrawMode)
    Q_PROPERTY(uint DrawPenColor READ DrawPenColor WRITE SetDrawPenColor)
    Q_PROPERTY(TDrawPenStyle DrawPenStyle READ DrawPenStyle WRITE SetDrawPenStyle)
    Q_PROPERTY(int DrawPenWidth READ DrawPenWidth WRITE SetDrawPenWidth)
    Q_PROPERTY(uint DrawFillColor READ DrawFillColor WRITE SetDrawFillColor)
    Q_PROPERTY(TDrawFillStyle DrawFillStyle READ DrawFillStyle WRITE SetDrawFillStyle)
    Q_PROPERTY(bool DrawPersistence READ DrawPersistence WRITE SetDrawPersistence)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowXDepth READ ShadowXDepth WRITE SetShadowXDepth)
    Q_PROPERTY(int ShadowYDepth READ ShadowYDepth WRITE SetShadowYDepth)
    Q_PROPERTY(int ShapeLeft READ ShapeLeft WRITE SetShapeLeft)
    Q_PROPERTY(int ShapeTop READ ShapeTop WRITE SetShapeTop)
    Q_PROPERTY(int ShapeWidth READ ShapeWidth WRITE SetShapeWidth)
    Q_PROPERTY(int ShapeHeight READ ShapeHeight WRITE SetShapeHeight)
    Q_PROPERTY(TShapeBackStyle ShapeBackgroundStyle READ ShapeBackgroundStyle WRITE SetShapeBackgroundStyle)
    Q_PROPERTY(uint ShapeBorderColor READ ShapeBorderColor WRITE SetShapeBorderColor)
    Q_PROPERTY(TShapeBorderStyle ShapeBorderStyle READ ShapeBorderStyle WRITE SetShapeBorderStyle)
    Q_PROPERTY(int ShapeBorderThickness READ ShapeBorderThickness WRITE SetShapeBorderThickness)
    Q_PROPERTY(uint ShapeInnerBandHiliteColor READ ShapeInnerBandHiliteColor WRITE SetShapeInnerBandHiliteColor)
    Q_PROPERTY(uint ShapeInnerBandShadowColor READ ShapeInnerBandShadowColor WRITE SetShapeInnerBandShadowColor)
    Q_PROPERTY(TShapeInnerBandStyle ShapeInnerBandStyle READ ShapeInnerBandStyle WRITE SetShapeInnerBandStyle)
    Q_PROPERTY(int ShapeInnerBandThickness READ ShapeInnerBandThickness WRITE SetShapeInnerBandThickness)
    Q_PROPERTY(uint ShapeOuterBandHiliteColor READ ShapeOuterBandHiliteColor WRITE SetShapeOuterBandHiliteColor)
    Q_PROPERTY(uint ShapeOuterBandShadowColor READ ShapeOuterBandShadowColor WRITE SetShapeOuterBandShadowColor)
    Q_PROPERTY(TShapeOuterBandStyle ShapeOuterBandStyle READ ShapeOuterBandStyle WRITE SetShapeOuterBandStyle)
    Q_PROPERTY(int ShapeOuterBandThickness READ ShapeOuterBandThickness WRITE SetShapeOuterBandThickness)
    Q_PROPERTY(int TextLeft READ TextLeft WRITE SetTextLeft)
    Q_PROPERTY(int TextTop READ TextTop WRITE SetTextTop)
    Q_PROPERTY(int TextWidth READ TextWidth WRITE SetTextWidth)
    Q_PROPERTY(int TextHeight READ TextHeight WRITE SetTextHeight)
    Q_PROPERTY(TTextAlign TextAlign READ TextAlign WRITE SetTextAlign)
    Q_PROPERTY(TTextStyle TextStyle READ TextStyle WRITE SetTextStyle)
    Q_PROPERTY(bool TextWordWrap READ TextWordWrap WRITE SetTextWordWrap)
    Q_PROPERTY(int TextAngle READ TextAngle WRITE SetTextAngle)
    Q_PROPERTY(uint TextHiliteColor READ TextHiliteColor WRITE SetTextHiliteColor)

public:
    explicit TToolkitImage(QWidget* parent = nullptr);
    ~TToolkitImage() override;

    // ---- state other code reads and sets -----------------------------------------------------
    TKBitmap ToolkitBitmap;       // the current bitmap, shown and saved
    uint8_t HasBitmap = 0;        // 1 while ToolkitBitmap holds an allocated picture
    TKBitmapList BitmapList = 0;  // every page of the last load; ToolkitBitmap is one of them
    int32_t BitmapListIndex = 0;
    int32_t LastResult = 1;
    uint8_t DoubleBuffer = 0;
    int32_t InfoLayerCount = 0;   // from the file information of the last Load; ClearImage keeps it
    int32_t ViewLeft = 0, ViewTop = 0, ViewWidth = 0, ViewHeight = 0;

    // The file information of the last Load.
    int32_t FileInfoFormat = 0, FileInfoWidth = 0, FileInfoHeight = 0, FileInfoBits = 0, FileInfoPages = 0;
    int32_t FileInfoCompression = 0, FileInfoXResolution = 0, FileInfoYResolution = 0, FileInfoViewPerspective = 1;
    int32_t FileInfoColorsUsed = 0, FileInfoAlpha = 0, FileInfoInterlaced = 0, FileInfoVersion = 0;
    QString FileInfoText;
    // The current bitmap, as the last view reset saw it.
    int32_t BitmapWidth = 0, BitmapHeight = 0, BitmapBits = 0, BitmapXResolution = 0, BitmapYResolution = 0;
    int32_t BitmapViewPerspective = 1;
    bool BitmapTransparent = false;
    uint32_t BitmapTransparentColor = 0;

    // Animation settings: from the file information of an animation, else from the first page.
    struct TAnimationInfo {
        bool Loop = false;
        int32_t ScreenWidth = 0;
        int32_t ScreenHeight = 0;
        int32_t Bits = 0;
        uint32_t BackgroundColor = 0; // a colour, or a palette index with high byte 1
        uint32_t Palette[256] = {};
        bool HasPalette = false;
    } Animation;

    // Set by an OnLoadInfo handler.
    int32_t LoadInfoValues[8] = {};
    // The layer read by the last LoadLayer.
    TKLayerInfo LayerInfo;
    // With SaveWithLayers on and a bitmap list, Save writes item 0 as the composite and the other
    // items as layers placed by LayerTable.
    bool SaveWithLayers = false;
    std::vector<TKLayerInfo> LayerTable;
    QString LastFileName;

    // Members that feed the load and save options.
    int32_t ForcedFormat = -1;     // a format code forced on loads; -1 none
    int32_t LoadResolution = 0;    // above 7: the resolution drawn formats are loaded at
    int32_t Passes = 0;
    bool LoadSwitch10 = false;     // load option flag 0x10
    bool LoadSwitch80 = false;     // load option flag 0x80
    int32_t SaveValue = 0;         // above 0: save option flag 0x20000 with this value
    int32_t SavePage = 0;          // the page of SaveOption 2 and 3
    int32_t SaveValue1 = 0, SaveValue2 = 0; // either not 0: save option flag 0x4000000
    bool SaveSwitch10 = true;      // save option flag 0x10
    bool SaveSwitch1 = false;      // flag 1
    bool SaveSwitch8000 = true;    // flag 0x8000 when off
    bool SaveSwitch40 = false;     // flag 0x40
    bool SaveSwitch400000 = false; // flag 0x400000
    bool SaveSwitch1000000 = false; // flag 0x1000000
    intptr_t SaveOffsetHandle = 0; // set: saves write into the named file at SaveOffset, SaveSize
                                   // gets the bytes written
    int64_t SaveOffset = 0;
    int64_t SaveSize = 0;

    // Version of the toolkit kernel, kept from construction.
    QString VersionProduct, VersionCopyright, VersionControl;
    int32_t VersionMajor = 0, VersionMinor = 0, VersionBuild = 0;

    // ---- properties of the control -------------------------------------------------------
    void SetAutoSize(bool v) override;
    bool AutoSetRects() const { return autoSetRects_; }
    void SetAutoSetRects(bool v);
    bool AutoRepaint() const { return autoRepaint_; }
    void SetAutoRepaint(bool v);
    bool CenterImage() const { return centerImage_; }
    void SetCenterImage(bool v);
    TPaintSizeMode PaintSizeMode() const { return paintSizeMode_; }
    void SetPaintSizeMode(TPaintSizeMode v);
    bool PaintSizeUseDPI() const { return paintSizeUseDpi_; }
    void SetPaintSizeUseDPI(bool v);
    // Percent; reading sets LastResult to 1.
    int PaintZoomFactor() const;
    void SetPaintZoomFactor(int v);
    uint FrameThickness() const { return frameThickness_; }
    void SetFrameThickness(uint v);
    uint FrameInnerThickness() const { return frameInnerThickness_; }
    void SetFrameInnerThickness(uint v);
    uint FrameOuterThickness() const { return frameOuterThickness_; }
    void SetFrameOuterThickness(uint v);
    bool EnableMethodErrors() const { return enableMethodErrors_; }
    void SetEnableMethodErrors(bool v);
    // Turning it off while a load or save runs asks that run to stop.
    bool EnableProgressEvent() const { return enableProgressEvent_; }
    void SetEnableProgressEvent(bool v);
    int PDFXResolution() const { return pdf_.XResolution; }
    void SetPDFXResolution(int v);
    int PDFYResolution() const { return pdf_.YResolution; }
    void SetPDFYResolution(int v);
    int PDFDisplayDepth() const { return pdf_.DisplayDepth; }
    void SetPDFDisplayDepth(int v);
    int PDFTextAlpha() const { return pdf_.TextAlpha; }
    void SetPDFTextAlpha(int v);
    int PDFGraphicsAlpha() const { return pdf_.GraphicsAlpha; }
    void SetPDFGraphicsAlpha(int v);
    int RasterizeViewportWidth() const { return rasterizeViewportWidth_; }
    void SetRasterizeViewportWidth(int v);
    int RasterizeViewportHeight() const { return rasterizeViewportHeight_; }
    void SetRasterizeViewportHeight(int v);
    int RasterizeViewMode() const { return rasterizeViewMode_; }
    void SetRasterizeViewMode(int v);
    TFont* TextFont() const { return textFont_.get(); }
    void SetTextFont(TFont* font);

    // ---- kept properties -------------------------------------------------------------------
    bool PaintWhileLoad() const { return paintWhileLoad_; }
    void SetPaintWhileLoad(bool v);
    bool PDFUseLibFonts() const { return pdfUseLibFonts_; }
    void SetPDFUseLibFonts(bool v);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v) { ctl3D_ = v; }
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool v) { parentCtl3D_ = v; }
    int BackgroundImageLeft() const { return backgroundImageLeft_; }
    void SetBackgroundImageLeft(int v) { backgroundImageLeft_ = v; }
    int BackgroundImageTop() const { return backgroundImageTop_; }
    void SetBackgroundImageTop(int v) { backgroundImageTop_ = v; }
    int BackgroundImageWidth() const { return backgroundImageWidth_; }
    void SetBackgroundImageWidth(int v) { backgroundImageWidth_ = v; }
    int BackgroundImageHeight() const { return backgroundImageHeight_; }
    void SetBackgroundImageHeight(int v) { backgroundImageHeight_ = v; }
    TDrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(TDrawMode v) { drawMode_ = v; }
    uint DrawPenColor() const { return drawPenColor_; }
    void SetDrawPenColor(uint v) { drawPenColor_ = v; }
    TDrawPenStyle DrawPenStyle() const { return drawPenStyle_; }
    void SetDrawPenStyle(TDrawPenStyle v) { drawPenStyle_ = v; }
    int DrawPenWidth() const { return drawPenWidth_; }
    void SetDrawPenWidth(int v) { drawPenWidth_ = v; }
    uint DrawFillColor() const { return drawFillColor_; }
    void SetDrawFillColor(uint v) { drawFillColor_ = v; }
    TDrawFillStyle DrawFillStyle() const { return drawFillStyle_; }
    void SetDrawFillStyle(TDrawFillStyle v) { drawFillStyle_ = v; }
    bool DrawPersistence() const { return drawPersistence_; }
    void SetDrawPersistence(bool v) { drawPersistence_ = v; }
    uint ShadowColor() const { return shadowColor_; }
    void SetShadowColor(uint v) { shadowColor_ = v; }
    int ShadowXDepth() const { return shadowXDepth_; }
    void SetShadowXDepth(int v) { shadowXDepth_ = v; }
    int ShadowYDepth() const { return shadowYDepth_; }
    void SetShadowYDepth(int v) { shadowYDepth_ = v; }
    int ShapeLeft() const { return shapeLeft_; }
    void SetShapeLeft(int v) { shapeLeft_ = v; }
    int ShapeTop() const { return shapeTop_; }
    void SetShapeTop(int v) { shapeTop_ = v; }
    int ShapeWidth() const { return shapeWidth_; }
    void SetShapeWidth(int v) { shapeWidth_ = v; }
    int ShapeHeight() const { return shapeHeight_; }
    void SetShapeHeight(int v) { shapeHeight_ = v; }
    TShapeBackStyle ShapeBackgroundStyle() const { return shapeBackgroundStyle_; }
    void SetShapeBackgroundStyle(TShapeBackStyle v) { shapeBackgroundStyle_ = v; }
    uint ShapeBorderColor() const { return shapeBorderColor_; }
    void SetShapeBorderColor(uint v) { shapeBorderColor_ = v; }
    TShapeBorderStyle ShapeBorderStyle() const { return shapeBorderStyle_; }
    void SetShapeBorderStyle(TShapeBorderStyle v) { shapeBorderStyle_ = v; }
    int ShapeBorderThickness() const { return shapeBorderThickness_; }
    void SetShapeBorderThickness(int v) { shapeBorderThickness_ = v; }
    uint ShapeInnerBandHiliteColor() const { return shapeInnerBandHiliteColor_; }
    void SetShapeInnerBandHiliteColor(uint v) { shapeInnerBandHiliteColor_ = v; }
    uint ShapeInnerBandShadowColor() const { return shapeInnerBandShadowColor_; }
    void SetShapeInnerBandShadowColor(uint v) { shapeInnerBandShadowColor_ = v; }
    TShapeInnerBandStyle ShapeInnerBandStyle() const { return shapeInnerBandStyle_; }
    void SetShapeInnerBandStyle(TShapeInnerBandStyle v) { shapeInnerBandStyle_ = v; }
    int ShapeInnerBandThickness() const { return shapeInnerBandThickness_; }
    void SetShapeInnerBandThickness(int v) { shapeInnerBandThickness_ = v; }
    uint ShapeOuterBandHiliteColor() const { return shapeOuterBandHiliteColor_; }
    void SetShapeOuterBandHiliteColor(uint v) { shapeOuterBandHiliteColor_ = v; }
    uint ShapeOuterBandShadowColor() const { return shapeOuterBandShadowColor_; }
    void SetShapeOuterBandShadowColor(uint v) { shapeOuterBandShadowColor_ = v; }
    TShapeOuterBandStyle ShapeOuterBandStyle() const { return shapeOuterBandStyle_; }
    void SetShapeOuterBandStyle(TShapeOuterBandStyle v) { shapeOuterBandStyle_ = v; }
    int ShapeOuterBandThickness() const { return shapeOuterBandThickness_; }
    void SetShapeOuterBandThickness(int v) { shapeOuterBandThickness_ = v; }
    int TextLeft() const { return textLeft_; }
    void SetTextLeft(int v) { textLeft_ = v; }
    int TextTop() const { return textTop_; }
    void SetTextTop(int v) { textTop_ = v; }
    int TextWidth() const { return textWidth_; }
    void SetTextWidth(int v) { textWidth_ = v; }
    int TextHeight() const { return textHeight_; }
    void SetTextHeight(int v) { textHeight_ = v; }
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign v) { textAlign_ = v; }
    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle v) { textStyle_ = v; }
    bool TextWordWrap() const { return textWordWrap_; }
    void SetTextWordWrap(bool v) { textWordWrap_ = v; }
    int TextAngle() const { return textAngle_; }
    void SetTextAngle(int v) { textAngle_ = v; }
    uint TextHiliteColor() const { return textHiliteColor_; }
    void SetTextHiliteColor(uint v) { textHiliteColor_ = v; }

    // ==== scrolling, pan window and magnifier ====
    // The client area leaves out the scroll bars the control shows.
    int ClientWidth() const override;
    int ClientHeight() const override;
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v);
    // Both must be above 0 (ERangeError otherwise); setting one scrolls
    // back to the origin.
    int HScrollStep() const { return hScrollStep_; }
    void SetHScrollStep(int v);
    int VScrollStep() const { return vScrollStep_; }
    void SetVScrollStep(int v);
    bool EnableScroll() const { return enableScroll_; }
    void SetEnableScroll(bool v);
    bool EnableKeyboard() const { return enableKeyboard_; }
    void SetEnableKeyboard(bool v);
    // Pixels of the view scrolled out to the left and top, and the largest such values.
    int ScrollPosX() const { return scrollX_; }
    int ScrollPosY() const { return scrollY_; }
    int ScrollRangeX() const { return scrollRangeX_; }
    int ScrollRangeY() const { return scrollRangeY_; }
    // What a scroll bar does for a scroll code: 0 line up or left, 1 line down or right, 2 page
    // up or left, 3 page down or right, 4 and 5 the thumb at thumbPosition, 6 to the start, 7 to
    // the end. Lines are 1 pixel across and 2 down; a page is a tenth of the first picture shown.
    void HandleHScroll(int code, int thumbPosition = 0);
    void HandleVScroll(int code, int thumbPosition = 0);
    // Moves the view by dx, dy pixels, within the scroll ranges.
    void ScrollStep(int dx, int dy);
    // With it set the wheel does not scroll the view (OnMouseWheel still fires).
    bool WheelOff = false;

    // The pan window: write 1 to open it (with a picture), 0 to close it; the user closing it sets 0.
    uint8_t PanWinVisible() const;
    void SetPanWinVisible(uint8_t v);
    QWidget* PanWindowHandle() const;
    uint32_t PanWinFlags() const;
    // Reading gives the open pan window's place on the screen.
    int PanWinX() const;
    void SetPanWinX(int v);
    int PanWinY() const;
    void SetPanWinY(int v);
    int PanWinWidth() const;
    void SetPanWinWidth(int v);
    int PanWinHeight() const;
    void SetPanWinHeight(int v);
    TPaletteType PanWinPaintPalette() const { return panWinPaintPalette_; }
    void SetPanWinPaintPalette(TPaletteType v);
    TBitonalScaling PanWinBitonalScaling() const { return panWinBitonalScaling_; }
    void SetPanWinBitonalScaling(TBitonalScaling v);
    TPaintDither PanWinPaintDither() const { return panWinPaintDither_; }
    void SetPanWinPaintDither(TPaintDither v);
    TPaintScaling PanWinPaintScaling() const { return panWinPaintScaling_; }
    void SetPanWinPaintScaling(TPaintScaling v);
    int PanWinPointer() const { return panWinPointer_; }
    void SetPanWinPointer(int v);
    uint PanWinRectColor() const { return panWinRectColor_; }
    void SetPanWinRectColor(uint v);
    bool PanWinSysMenu() const { return panWinSysMenu_; }
    void SetPanWinSysMenu(bool v);
    QString PanWinTitle() const { return panWinTitle_; }
    void SetPanWinTitle(const QString& v);
    // The pan window's icon (null when it has none); setting copies the icon, null frees it.
    class TIcon* PanWinIcon() const;
    void SetPanWinIcon(class TIcon* icon);

    // The magnifier; the meaning of the eleven values is the toolkit's (TKMagOptions).
    virtual int StartMagGlass(int Width, int Height, int Magnification, int BorderWidth, int BorderColor,
                              bool Elliptic, int Offset, bool LeftButtonOnly, int CrossHairColor, bool KeepInside,
                              bool CrossHair);
    virtual int StopMagGlass();
    bool MagGlassActive() const;
    TPaletteType MagGlassPaintPalette() const { return magGlassPaintPalette_; }
    void SetMagGlassPaintPalette(TPaletteType v);
    TBitonalScaling MagGlassBitonalScaling() const { return magGlassBitonalScaling_; }
    void SetMagGlassBitonalScaling(TBitonalScaling v);
    TPaintDither MagGlassPaintDither() const { return magGlassPaintDither_; }
    void SetMagGlassPaintDither(TPaintDither v);
    TPaintScaling MagGlassPaintScaling() const { return magGlassPaintScaling_; }
    void SetMagGlassPaintScaling(TPaintScaling v);
    int MagGlassPointer() const { return magGlassPointer_; }
    void SetMagGlassPointer(int v);
    // Handed to the toolkit with the next StartMagGlass: its magnifier flags (2: the cursor over
    // the glass is OnMagGlassCursor's), whether OnMagGlass hears the glass, and its paint options.
    uint32_t MagGlassFlags = 0;
    bool MagGlassCallbackEnabled = false;
    int32_t MagGlassPaintOptions = 0;
    // Set: OnMagGlassCursor does not fire.
    bool MagGlassCursorSuppress = false;

    bool EnableZoomInRect() const { return enableZoomInRect_; }
    void SetEnableZoomInRect(bool v);
    // The zoom-in capture: the screen around the mouse, the size of the client area at
    // PaintZoomFactor, becomes the picture; its outline is drawn over ZoomInTarget. What the
    // control's zoom-in timer runs; nothing in the system arms that timer.
    void ZoomInTimer();
    QWidget* ZoomInTarget = nullptr;
    TRect LastZoomInRect;

    TNotifyEvent OnBeforeScroll;
    TNotifyEvent OnScroll;
    std::function<void(TObject* Sender, QWidget* hPanWin, int iFlag)> OnPanWin;
    TNotifyEvent OnMagGlassCursor;
    // What the glass shows: kind 0 moved over bitmap pixel (X, Y), 1 left button down there, 2
    // left the picture.
    std::function<void(TObject* Sender, int Kind, int X, int Y)> OnMagGlass;
    // ==== end of scrolling, pan window and magnifier ====

    // ==== painting ====
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint v);
    bool BackErase() const { return backErase_; }
    void SetBackErase(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    int PaintContrast() const { return paintContrast_; }
    void SetPaintContrast(int v);
    int PaintIntensity() const { return paintIntensity_; }
    void SetPaintIntensity(int v);
    uint PaintGamma() const { return paintGamma_; }
    void SetPaintGamma(uint v);
    TPaintDither PaintDither() const { return paintDither_; }
    void SetPaintDither(TPaintDither v);
    TPaletteType PaintPalette() const { return paintPalette_; }
    void SetPaintPalette(TPaletteType v);
    TPaintScaling PaintScaling() const { return paintScaling_; }
    void SetPaintScaling(TPaintScaling v);
    TBitonalScaling BitonalScaling() const { return bitonalScaling_; }
    void SetBitonalScaling(TBitonalScaling v);
    int PaintEffect() const { return paintEffect_; }
    void SetPaintEffect(int v);
    int TransitionEffect() const { return transitionEffect_; }
    void SetTransitionEffect(int v);
    TTransitionStyle TransitionStyle() const { return transitionStyle_; }
    void SetTransitionStyle(TTransitionStyle v);
    uint PaintMaxPasses() const { return paintMaxPasses_; }
    void SetPaintMaxPasses(uint v);
    uint EffectGrain() const { return effectGrain_; }
    void SetEffectGrain(uint v);
    uint EffectDelay() const { return effectDelay_; }
    void SetEffectDelay(uint v);
    uint EffectSpeed() const { return effectSpeed_; }
    void SetEffectSpeed(uint v);
    uint EffectCycles() const { return effectCycles_; }
    void SetEffectCycles(uint v);
    uint PaintNotificationDelay() const { return paintNotificationDelay_; }
    void SetPaintNotificationDelay(uint v);
    bool PaintRgnOnly() const { return paintRgnOnly_; }
    void SetPaintRgnOnly(bool v);
    bool UseTransparentColor() const { return useTransparentColor_; }
    void SetUseTransparentColor(bool v);
    uint TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(uint v);
    uint WandSize() const { return wandSize_; }
    void SetWandSize(uint v);
    uint WandColor() const { return wandColor_; }
    void SetWandColor(uint v);
    uint GradientStyle() const { return gradientStyle_; }
    void SetGradientStyle(uint v);
    uint GradientSteps() const { return gradientSteps_; }
    void SetGradientSteps(uint v);
    uint GradientStartColor() const { return gradientStartColor_; }
    void SetGradientStartColor(uint v);
    uint GradientEndColor() const { return gradientEndColor_; }
    void SetGradientEndColor(uint v);
    TPatternStyle PatternStyle() const { return patternStyle_; }
    void SetPatternStyle(TPatternStyle v);
    uint PatternBackColor() const { return patternBackColor_; }
    void SetPatternBackColor(uint v);
    uint PatternForeColor() const { return patternForeColor_; }
    void SetPatternForeColor(uint v);
    uint FrameColor() const { return frameColor_; }
    void SetFrameColor(uint v);
    TFrameInnerStyle FrameInnerStyle() const { return frameInnerStyle_; }
    void SetFrameInnerStyle(TFrameInnerStyle v);
    TFrameOuterStyle FrameOuterStyle() const { return frameOuterStyle_; }
    void SetFrameOuterStyle(TFrameOuterStyle v);
    uint FrameInnerHiliteColor() const { return frameInnerHiliteColor_; }
    void SetFrameInnerHiliteColor(uint v);
    uint FrameInnerShadowColor() const { return frameInnerShadowColor_; }
    void SetFrameInnerShadowColor(uint v);
    uint FrameOuterHiliteColor() const { return frameOuterHiliteColor_; }
    void SetFrameOuterHiliteColor(uint v);
    uint FrameOuterShadowColor() const { return frameOuterShadowColor_; }
    void SetFrameOuterShadowColor(uint v);

    // Before and after each pass of an effect or transition paint: uPass counts the passes done,
    // uType is 0 for the transition and 1 for the picture.
    TToolkitPaintNotifyEvent OnPaintNotify;

    // Palettes for palette displays. The display has true colour, so realising the paint palette
    // changes no colour: the answers are those of a realisation that changed nothing.
    bool RealizePalette(bool background);
    int WMQueryNewPalette();
    int WMPaletteChanged();
    int WMActivate();
    bool PaletteChanged(bool foreground);

protected:
    // At the end of every paint, with the painter the paint drew with.
    virtual void NotifyPainted(QPainter*) {}

public:
    // ==== end of painting ====

    // ==== drag and drop and url download ====
    QString BitmapDataPath() const { return bitmapDataPath_; }
    void SetBitmapDataPath(const QString& v);
    bool DropFilesAllowed() const { return dropFilesAllowed_; }
    void SetDropFilesAllowed(bool v);
    bool DropAutoLoad() const { return dropAutoLoad_; }
    void SetDropAutoLoad(bool v);
    bool EnableOLEDragMethod() const { return enableOLEDragMethod_; }
    void SetEnableOLEDragMethod(bool v);

    enum TReadyState { rsLoading, rsComplete };
    Q_ENUM(TReadyState)
    using TReadyStateEvent = std::function<void(TObject* Sender, TReadyState ReadyState)>;
    using TDropFileEvent = std::function<void(TObject* Sender, const QString& fName)>;
    using TOLEDragEvent = std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TOLEGiveFeedbackEvent = std::function<void(bool& bUseDefaultCursor)>;

    // rsLoading while a download started by BitmapDataPath runs.
    TReadyState ReadyState() const;
    // The cursor a drag of the picture shows when OnOLEGiveFeedback declines the default ones.
    void SetOLEDragCursor(const QPixmap& cursor);

    TReadyStateEvent OnReadyStateChanged;
    std::function<void()> OnBitmapDataPathClosed;
    TDropFileEvent OnDropFile;
    TOLEDragEvent OnOLEStartDrag;
    TOLEDragEvent OnOLEDragOver;
    TOLEDragEvent OnOLECompleteDrag;
    TOLEGiveFeedbackEvent OnOLEGiveFeedback;
    // ==== end of drag and drop and url download ====

    // ==== regions, floater and rubber band ====
    // With AutoFloater set, a press inside the region lifts its pixels into a floater that the
    // mouse drags and drops; it can be changed only while AutoFloater is set.
    bool EnableFloater() const { return enableFloater_; }
    void SetEnableFloater(bool v);
    bool AutoFloater() const { return autoFloater_; }
    void SetAutoFloater(bool v);

    // What the mouse draws: 0 nothing, 1 a rectangle, 2 a rounded rectangle, 3 an ellipse, 4 a
    // freehand polygon; the shape becomes the bitmap's region.
    uint8_t RegionTool = 0;
    // Without a region tool the mouse draws a rubber band rectangle.
    uint8_t RubberBandEnabled = 0;
    // How the region shows: 0 not at all, 1 a still outline, 2 a moving outline, 3 filled with
    // RegionFillColor.
    uint8_t RegionFrameKind = 0;
    uint32_t RegionFillColor = 0;
    // Bounds of the bitmap's region in bitmap pixels, updated after every region change.
    int32_t RegionLeft = 0, RegionTop = 0, RegionWidth = 0, RegionHeight = 0;
    // The last rubber band, client coordinates.
    TRect RubberBandRect{};
    // Where a floater set through SetFloaterBitmap shows and what it may cover, client
    // coordinates inside the frame.
    TRect FloaterDestRect{}, FloaterDestClip{};

    int FreeRgn();
    // The region in bitmap pixels; the caller owns the copy.
    QRegion GetRgnHandle();
    bool HasRgn();
    // Points of the freehand polygon; writing outside 0 .. PolygonSize() - 1 raises.
    void SetPolygonPoint(int index, const TPoint& point);
    int PolygonSize() const;
    void SetPolygonSize(int count);
    // Copies the region's pixels out of the bitmap into the floater.
    int Floater();
    // A bitmap with a region shown over the picture; null hides and frees the floater.
    const TKBitmap& FloaterBitmap() const;
    void SetFloaterBitmap(const TKBitmap* bitmap);
    uint8_t FloaterVisible() const;
    void SetFloaterVisible(uint8_t v);
    // Turns the picture (or, with EnableFloater and a region, the floater) clockwise by Angle
    // degrees; TKROT_* flags; the corners it uncovers get FillColor.
    virtual int Rotate(double Angle, uint32_t Flags, uint32_t FillColor);
    // Turns the way the picture shows by a multiple of 90 degrees without touching its pixels.
    virtual int FastRotate(int Angle);

    TNotifyEvent OnRgnChange;
    TNotifyEvent OnRubberBand;
    // ==== end of regions, floater and rubber band ====

    // ==== animation ====
    bool AutoAnimate() const { return autoAnimate_; }
    void SetAutoAnimate(bool v);
    int AutoAnimationLoop() const { return autoAnimationLoop_; }
    void SetAutoAnimationLoop(int v);
    // True plays the bitmap list from its first item on a canvas of the animation's screen size;
    // False stops it and shows item BitmapListIndex again. While it plays every other operation is
    // refused with code -16 ("Animation").
    bool AnimationEnable() const;
    void SetAnimationEnable(bool v);
    using TAnimateEvent = std::function<void(TObject* Sender, bool bEnable)>;
    TAnimateEvent OnAnimate;
    // ==== end of animation ====

    // ==== memory, feed and database loading ====
    // The database link: the blob field DataField of DataSource's data set holds the picture,
    // behind a "TKBLOBHD" header when the control wrote it. The accessors raise "No DataLink."
    // once the link is gone (while the control is destroyed).
    QString DataField();
    void SetDataField(const QString& v);
    TDataSource* DataSource();
    // A source also sets DataSaveBits 24, DataSaveFormat 5 and DataSaveQuality -5.
    void SetDataSource(TDataSource* v);
    bool ReadOnly();
    void SetReadOnly(bool v);
    int DataLoadBits() const { return dataLoadBits_; }
    void SetDataLoadBits(int v);
    int DataSaveBits() const { return dataSaveBits_; }
    void SetDataSaveBits(int v);
    int DataSaveFormat() const { return dataSaveFormat_; }
    void SetDataSaveFormat(int v);
    int DataSaveQuality() const { return dataSaveQuality_; }
    void SetDataSaveQuality(int v);
    // With RefBitmap, SetToolkitBitmap takes the caller's pixels and empties the caller's record.
    bool RefBitmap() const { return refBitmap_; }
    void SetRefBitmap(bool v);

    // Loads page Page (from 1; 0 the first) of the picture held in the first Size bytes of Memory.
    // Returns the toolkit's result; raises only when the control is busy.
    virtual int LoadMemory(const QByteArray& Memory, int Bits, int Page, int Size);
    // A load fed in pieces (a download): between the start and the stop the control is loading and
    // refuses other operations. Pages -1 keeps every page; a stop whose data ended early (-7)
    // keeps the pages that arrived whole. FeedLoad and StopFeedLoad without a feed raise
    // EInvalidOperation.
    int StartFeedLoad(int Bits, int FirstPage, int Pages);
    int FeedLoad(const uint8_t* Buffer, int Size);
    virtual int StopFeedLoad();
    // Replaces the current list item with a picture: a copy of bitmap, or with RefBitmap its
    // pixels (bitmap is emptied). A record without a size shows the current item again.
    void SetToolkitBitmap(TKBitmap& bitmap);

    // The picture as one self-contained block of memory, for drag and drop and other hand-overs:
    //   offset  0  uint32  header size, 48
    //           4  int32   width            8  int32  height
    //          12  int32   bits per pixel (24 or 32)
    //          16  int32   row bytes (rows padded to 4 bytes)
    //          20  uint32  flags (0x80 transparent colour)
    //          24  int32   view perspective (1 to 8)
    //          28  int32   x resolution    32  int32  y resolution (dots per inch)
    //          36  uint32  transparent colour (0x00BBGGRR)
    //          40  uint32  pixel bytes (row bytes x height)
    //          44  uint32  0
    //          48  the rows, from the top, blue green red (alpha)
    // all little-endian. An empty block when there is no picture. The block is made once per
    // picture and dropped when the picture changes.
    QByteArray OCXBitmap();
    // Takes a copy of the picture in a block of the layout above. The short form "tkbm", 24 and the
    // address of a bitmap record is taken only for the record of a control of this process (an
    // address from elsewhere is never followed). An empty block only drops the kept block.
    void SetOCXBitmap(const QByteArray& block);
    // The picture of a block, every size checked against the block and the picture limits; 1 or
    // a toolkit code.
    static int ReadOCXBlock(const QByteArray& block, TKBitmap& bitmap);
    static int MakeOCXBlock(const TKBitmap& bitmap, QByteArray& block);
    // The picture file held in a blob: after the "TKBLOBHD" header when it has one, else the whole
    // blob. A header size beyond the blob is an error.
    static int BlobImage(const QByteArray& blob, QByteArray& image);

    // Replaces the list with a copy of every item of `list` (0 leaves the control empty) and shows
    // item 0.
    void SetBitmapList(TKBitmapList list);
    // Raises always when there is no list.
    int BitmapListCount();

    // The link's data-changed handler: loads the picture of the blob field.
    virtual void DataChange(TObject* Sender);
    void Notification(QObject* AComponent, TOperation Operation) override;
    // ==== end of memory, feed and database loading ====

    // ---- operations --------------------------------------------------------------------------
    // Loads Pages pages (-1 all, 0 none) from page FirstPage (from 1) at Bits bits per pixel (0 as
    // stored). Returns the toolkit's result and raises only when the control is busy.
    virtual int Load(const QString& FileName, int Bits, int FirstPage, int Pages);
    // Loads layer Layer (from 0) of a layered picture as the only bitmap.
    int LoadLayer(const QString& FileName, int Bits, int Layer);
    // Format is the toolkit's format code, Bits 0 the bitmap's own; SaveOption 0 page 1, 1 page 2,
    // 2 and 3 the page SavePage.
    int Save(const QString& FileName, int Format, int Bits, int Quality, int SaveOption);
    void ClearImage();
    virtual void UpdateRects();
    virtual void ImageChanged();
    // The bitmap was changed by other code: it is stored back into the list and shown.
    void ExternalBitmapChange();
    // The bitmap pixel under a client point; (0, 0) while the view has no size.
    TPoint ClientToBitmap(const TPoint& client) const;
    // The view rectangle: where the picture is drawn, inside the frame.
    TRect ViewRect() const { return Bounds(view_.Left, view_.Top, view_.Width, view_.Height); }
    double ZoomX() const { return zoomX_; }
    double ZoomY() const { return zoomY_; }
    int FrameInset() const { return inset_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnPaint;
    TToolkitStatusEvent OnStatus;
    TNotifyEvent OnLoadInfo;
    TNotifyEvent OnFilePage;

    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    // Hooks for descendants.
    virtual void NotifyBitmapReset() {}
    virtual void NotifyPanned() {}
    virtual void NotifyRotated(double) {}
    virtual void NotifyFastRotated(int) {}
    virtual void BeforeSaveOptions(TKSaveOptions&) {}
    virtual void AfterDataLoad() {}

    void Paint() override;
    void Resize() override;

private:
    friend struct TToolkitImageCallbacks;

    enum : uint8_t { bsCreating = 1, bsDestroying = 2, bsLoading = 4, bsProcessing = 8, bsInUpdateRects = 16 };
    enum : uint8_t { pwPalette = 1, pwGeometry = 2 };

    int ResultCheck(const char* operation, int code, bool mayRaise = true);
    void BusyCheck();
    int ImageCheck(const char* operation, int skip);
    [[noreturn]] void InvalidValue(const char* property);
    QString MessageName() const;
    void ResetView();
    void SizeToMode();
    void SynchroniseView();
    void Centre();
    void DropImage();
    TKLoadOptions BuildLoadOptions(int page) const;
    TKSaveOptions BuildSaveOptions(int saveOption, int bits, bool withAnimation);
    void TakeAnimationFromBitmap(const TKBitmap& bitmap);
    int SaveRowByRow(const QString& fileName, int format, int bits, int quality, const TKSaveOptions& options);
    int SaveWithLayerTable(const QString& fileName, int format, int bits, int quality, const TKSaveOptions& options);
    void SetGeometryInt(int32_t& member, int value);
    // Around an image operation: the control is current for the toolkit's status callback, which
    // reports progress and turns an abort request into a stop. EndStatus says whether it stopped.
    void BeginStatus();
    bool EndStatus();

    struct TRect4 {
        int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    };

    bool autoSetRects_ = true;
    bool autoRepaint_ = true;
    bool centerImage_ = false;
    TPaintSizeMode paintSizeMode_ = smNormal;
    bool paintSizeUseDpi_ = false;
    uint frameThickness_ = 0, frameInnerThickness_ = 0, frameOuterThickness_ = 0;
    bool enableMethodErrors_ = true;
    bool enableProgressEvent_ = false;
    TKPDFOptions pdf_;
    int rasterizeViewportWidth_ = 640, rasterizeViewportHeight_ = 480, rasterizeViewMode_ = 1;
    std::unique_ptr<TFont> textFont_;
    QHash<QString, TMethodRef> storedEvents_;

    int inset_ = 0;
    TRect4 view_;
    TRect4 source_, sourceClip_;
    uint8_t viewSetBits_ = 0; // 1 left, 2 top, 4 width, 8 height
    double zoomX_ = 1.0, zoomY_ = 1.0;
    int scrollX_ = 0, scrollY_ = 0, scrollRangeX_ = 0, scrollRangeY_ = 0;
    uint8_t busy_ = 0;
    bool processing_ = false, loading_ = false;
    bool animating_ = false;
    uint8_t pending_ = 0;
    int rowCounter_ = 0;
    const TKBitmap* rowSource_ = nullptr; // the bitmap a row-by-row save reads
    TToolkitImage* callbackLink_ = nullptr;
    TKStatusCallback statusBefore_ = nullptr; // the toolkit's status callback outside an operation
    bool statusInstalled_ = false;
    TKRTFOptions rtf_;
    TKPLTOptions plt_;
    TKPTKOptions ptk_;
    int32_t wmfX_ = 0, wmfY_ = 0, cadColorScheme_ = 0;
    TKJ2KOptions j2k_;
    TKPDFSaveOptions pdfSave_;

    bool autoScroll_ = true;
    int hScrollStep_ = 10;
    int vScrollStep_ = 10;
    bool enableScroll_ = true;
    bool enableKeyboard_ = true;
    uint backColor_ = 0xFF00000F;
    bool backErase_ = false;
    bool transparent_ = false;
    int paintContrast_ = 0;
    int paintIntensity_ = 0;
    uint paintGamma_ = 100;
    TPaintDither paintDither_ = pdOrdered;
    TPaletteType paintPalette_ = ppAuto;
    TPaintScaling paintScaling_ = psNormal;
    TBitonalScaling bitonalScaling_ = btsNormal;
    int paintEffect_ = 1000;
    int transitionEffect_ = 1000;
    TTransitionStyle transitionStyle_ = etsNone;
    uint paintMaxPasses_ = 1;
    uint effectGrain_ = 5;
    uint effectDelay_ = 0;
    uint effectSpeed_ = 0;
    uint effectCycles_ = 0;
    uint paintNotificationDelay_ = 0;
    bool paintRgnOnly_ = false;
    bool useTransparentColor_ = false;
    uint transparentColor_ = 0;
    uint wandSize_ = 0;
    uint wandColor_ = 0;
    uint gradientStyle_ = 1000;
    uint gradientSteps_ = 16;
    uint gradientStartColor_ = 0xFF0000;
    uint gradientEndColor_ = 0;
    TPatternStyle patternStyle_ = epsSolid;
    uint patternBackColor_ = 0;
    uint patternForeColor_ = 0;
    uint frameColor_ = 0;
    TFrameInnerStyle frameInnerStyle_ = fisInset;
    TFrameOuterStyle frameOuterStyle_ = fosInset;
    uint frameInnerHiliteColor_ = 0xFFFFFF;
    uint frameInnerShadowColor_ = 0x808080;
    uint frameOuterHiliteColor_ = 0xFFFFFF;
    uint frameOuterShadowColor_ = 0;
    bool paintWhileLoad_ = false;
    bool pdfUseLibFonts_ = true;
    QString dataField_;
    bool readOnly_ = false;
    int dataLoadBits_ = 24;
    int dataSaveBits_ = 24;
    int dataSaveFormat_ = 5;
    int dataSaveQuality_ = -1;
    QString bitmapDataPath_;
    bool dropFilesAllowed_ = false;
    bool dropAutoLoad_ = true;
    bool enableOLEDragMethod_ = false;
    bool autoAnimate_ = false;
    int autoAnimationLoop_ = 0;
    bool enableFloater_ = false;
    bool autoFloater_ = true;
    bool refBitmap_ = false;
    int panWinX_ = 0;
    int panWinY_ = 0;
    int panWinWidth_ = 150;
    int panWinHeight_ = 150;
    TPaletteType panWinPaintPalette_ = ppAuto;
    TBitonalScaling panWinBitonalScaling_ = btsNormal;
    TPaintDither panWinPaintDither_ = pdOrdered;
    TPaintScaling panWinPaintScaling_ = psNormal;
    int panWinPointer_ = 0;
    uint panWinRectColor_ = 255;
    bool panWinSysMenu_ = true;
    QString panWinTitle_ = QStringLiteral("Pan Window");
    TPaletteType magGlassPaintPalette_ = ppAuto;
    TBitonalScaling magGlassBitonalScaling_ = btsNormal;
    TPaintDither magGlassPaintDither_ = pdOrdered;
    TPaintScaling magGlassPaintScaling_ = psResample;
    int magGlassPointer_ = 0;
    bool enableZoomInRect_ = true;
    bool ctl3D_ = true;
    bool parentCtl3D_ = false;
    int backgroundImageLeft_ = 0;
    int backgroundImageTop_ = 0;
    int backgroundImageWidth_ = 0;
    int backgroundImageHeight_ = 0;
    TDrawMode drawMode_ = pmCopy;
    uint drawPenColor_ = 0;
    TDrawPenStyle drawPenStyle_ = psSolid;
    int drawPenWidth_ = 1;
    uint drawFillColor_ = 0;
    TDrawFillStyle drawFillStyle_ = bsClear;
    bool drawPersistence_ = false;
    uint shadowColor_ = 0;
    int shadowXDepth_ = 0;
    int shadowYDepth_ = 0;
    int shapeLeft_ = 0;
    int shapeTop_ = 0;
    int shapeWidth_ = 0;
    int shapeHeight_ = 0;
    TShapeBackStyle shapeBackgroundStyle_ = sbsTransparent;
    uint shapeBorderColor_ = 0;
    TShapeBorderStyle shapeBorderStyle_ = sbrTransparent;
    int shapeBorderThickness_ = 0;
    uint shapeInnerBandHiliteColor_ = 0xFFFFFF;
    uint shapeInnerBandShadowColor_ = 0x808080;
    TShapeInnerBandStyle shapeInnerBandStyle_ = sibNone;
    int shapeInnerBandThickness_ = 0;
    uint shapeOuterBandHiliteColor_ = 0xFFFFFF;
    uint shapeOuterBandShadowColor_ = 0x808080;
    TShapeOuterBandStyle shapeOuterBandStyle_ = sobNone;
    int shapeOuterBandThickness_ = 0;
    int textLeft_ = 0;
    int textTop_ = 0;
    int textWidth_ = 0;
    int textHeight_ = 0;
    TTextAlign textAlign_ = etaLeftTop;
    TTextStyle textStyle_ = etsNormal;
    bool textWordWrap_ = false;
    int textAngle_ = 0;
    uint textHiliteColor_ = 0xFFFFFF;

    // ==== scrolling, pan window and magnifier: private ====
    struct TScrollState;
    struct TScrollStateDeleter {
        void operator()(TScrollState* state) const;
    };
    struct TScrollFilter;
    std::unique_ptr<TScrollState, TScrollStateDeleter> scrollState_;
    TScrollState& ScrollState();             // made on first use
    void ShutDownScroll();               // from the destructor, before the pictures go
    void SetUpScrollBarsForPaint();  // in Paint, before drawing
    void UpdatePanWindow();          // after geometry changes, scrolls and image changes
    void UpdateMagnifier();          // after scrolls and geometry changes
    void RestartMagnifier();         // after ImageChanged
    void ClosePanWindow();
    // While a scroll step or a pan-window move is applied.
    bool ScrollStepApplying() const;
    // The width of the vertical bar while it shows, the height of the horizontal one.
    int ShownScrollBarWidth() const;
    int ShownScrollBarHeight() const;
    void ScrollMessage(int axis, int code, int thumbPosition);
    void SetUpScrollBar(int axis, int range, bool redraw);
    void SyncScrollBars(bool hideOnly);
    void PlaceScrollBars();
    void WriteScrollBarPositions();
    void MoveChildControls(int dx, int dy);
    int ScrollPage(int axis);
    int PanWindowUpdate();
    void PanWindowPropertyChanged(const char* name);
    void MovePanWindow(const char* name);
    void SetPanWinFlagBits(uint32_t clear, uint32_t set, const char* name);
    uint32_t MagPaintFlags() const;
    TRect MagDestination() const;
    int StartMagnifierWithKeptValues();
    static int PanWinCallback(QWidget* window, int32_t kind, int32_t x, int32_t y, void* userData);
    static int MagGlassCallback(int32_t first, int32_t second, int32_t third, void* userData);
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void wheelEvent(QWheelEvent* e) override;
    // ==== end of scrolling, pan window and magnifier: private ====

    // ==== painting: private ====
    struct TPaintState;
    struct TPaintStateDeleter {
        void operator()(TPaintState* state) const;
    };
    std::unique_ptr<TPaintState, TPaintStateDeleter> paintState_;
    TPaintState& PaintState();             // made on first use
    void ShutDownPaint();               // from the destructor, before the pictures go
    void DirectRepaint();            // one animation frame, straight onto the window
    // The picture of `bitmap` at width x height, drawn with the display settings over BackColor,
    // moved by the offset; a null image when it cannot be made.
    QImage MakeDeviceImage(const TKBitmap& bitmap, int width, int height, int offsetX, int offsetY);
    // Rows arriving during a load with PaintWhileLoad.
    void PaintBand(const TKBitmap& bitmap, const uint8_t* rows, int firstRow, int rowCount, uint32_t flags);
    // True while the control paints.
    bool PaintUnderWay() const;
    void paintEvent(QPaintEvent* e) override;
    void PaintControl() override; // no erasing: all of it happens in Paint
    void PaintWhole(QPainter* window);
    void PaintPictureOnly(QPainter* window);
    void FillBack(QPainter* dc, const TRect& area) const;
    void FillOutside(QPainter* dc, const TRect& area, const TRect& hole) const;
    uint32_t ApplyDisplayModes() const;
    void RunPaintNotify(uint pass, uint type);
    // ==== end of painting: private ====

    // ==== drag and drop and url download: private ====
    struct TDragDropState;
    struct TDragDropStateDeleter {
        void operator()(TDragDropState* state) const;
    };
    std::unique_ptr<TDragDropState, TDragDropStateDeleter> dragDropState_;
    TDragDropState& DragDropState();             // made on first use
    void ShutDownDragDrop();               // from the destructor, before the pictures go
    // A left press that starts a drag of the picture; true when it did (the press ends there).
    bool MaybeStartOleDrag(TMouseButton button);
    friend class TDropTarget;
    friend class TDataObject;
    friend class TDropSource;
    friend class TBindStatusCallBack;
    friend struct TToolkitDragDropTestAccess;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void UpdateAcceptDrops();
    void DropFiles(const QString& name);
    int StartDownload();
    void DownloadStarted();                           // raises when the feed load cannot start
    int DownloadFeed(const uint8_t* data, int size);  // 1, or the feed's failure
    void DownloadEnded(bool failed);
    void AbortDownload();
    // ==== end of drag and drop and url download: private ====

    // ==== regions, floater and rubber band: private ====
    struct TRegionState;
    struct TRegionStateDeleter {
        void operator()(TRegionState* state) const;
    };
    std::unique_ptr<TRegionState, TRegionStateDeleter> regionState_;
    TRegionState& RegionState();             // made on first use
    void ShutDownRegion();               // from the destructor, before the pictures go
    void PaintRegionOverlays();      // after each paint: region outline and floater
    void RedrawShownRubberBand();
    bool HideFloaterForScroll();     // returns whether the floater was visible
    void ShowFloaterAfterScroll(bool wasVisible);
    void AfterExternalChange();
    friend struct TToolkitImageRegions;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
protected:
    // Ends an image operation on target (the bitmap or the floater): puts the kept copy back
    // when it was aborted and shows the result.
    virtual void EndProcess(TKBitmap* target);
private:
    // ==== end of regions, floater and rubber band: private ====

    // ==== animation: private ====
    struct TAnimationState;
    struct TAnimationStateDeleter {
        void operator()(TAnimationState* state) const;
    };
    std::unique_ptr<TAnimationState, TAnimationStateDeleter> animationState_;
    TAnimationState& AnimationState();             // made on first use
    void ShutDownAnimation();               // from the destructor, before the pictures go
    // Load of an animated file: the timing of its pages, the playback that shows them while they
    // arrive (AutoAnimate), and what becomes of it when the load ends.
    void ReadAnimationFrames(const QString& fileName, int firstPage);
    void TagAnimationFrames();               // list items of a load without playback
    bool BeginAnimatedLoad(int fallbackWidth, int fallbackHeight);
    bool AnimatedLoadRunning() const;
    int AnimatedLoadRows(TKBitmap* bitmap, uint32_t flags, int32_t firstRow, int32_t rowCount, uint32_t& pagesDone);
    int FinishAnimatedLoad();                // the load succeeded: play on, or stop at its end
    void DropAnimatedLoad();                 // the load failed or was stopped
    void AnimationTimerStep();
    int MakeAnimationCanvas(int fallbackWidth, int fallbackHeight);
    void ReloadCurrentItem();
    // ==== end of animation: private ====

    // ==== memory, feed and database loading: private ====
    struct TMemoryState;
    struct TMemoryStateDeleter {
        void operator()(TMemoryState* state) const;
    };
    std::unique_ptr<TMemoryState, TMemoryStateDeleter> memoryState_;
    TMemoryState& MemoryState();             // made on first use
    void ShutDownMemory();               // from the destructor, before the pictures go
    void MarkDataModified();
    void FreeGlobalBitmapCopy();     // on ImageChanged
    static int FeedRows(TKBitmap* bitmap, uint8_t* rows, uint32_t flags, int32_t firstRow, int32_t rowCount,
                        void* userData);
    void EndFeed();
    void UpdateData(TObject* Sender);
    TFieldDataLink* DataLink();      // null once the link is gone
    bool ProgressTurnedOff();
    void DropFloaterForNewPicture();
    // ==== end of memory, feed and database loading: private ====
};

// Makes the class known to window definitions.
void RegisterToolkitImageClasses();
