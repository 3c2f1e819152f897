// Memory, feed and database loading of the toolkit image control: pictures from a block of
// memory, a load fed in pieces, a bitmap record or list handed over, and a blob field of a data
// set.

#include "imaging/toolkit/toolkit_image.h"

#include "framework/data_link.h"
#include "imaging/toolkit/imaging_files.h"

#include <QApplication>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The header the control writes in front of a picture in a blob field.
constexpr char BlobSignature[8] = {'T', 'K', 'B', 'L', 'O', 'B', 'H', 'D'};
constexpr uint32_t BlobHeaderSize = 24;

// The short form of a bitmap block: "tkbm", 24 and the address of a record.
constexpr uint32_t RecordSignature = 0x6D626B74;
constexpr uint32_t RecordFormSize = 24;

constexpr uint32_t OCXHeaderSize = 48;

uint32_t ReadU32(const QByteArray& d, qsizetype at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | uint8_t(d[at + i]);
    return v;
}

void AppendU32(QByteArray& d, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d.append(char(uint8_t(v >> (8 * i))));
}

int RoundEven(double value)
{
    return int(std::nearbyint(value));
}

int64_t PaddedRowBytes(int64_t width, int64_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

// A record whose sizes agree with its pixels: the control shows and saves nothing else.
bool UsableRecord(const TKBitmap& b)
{
    if (!IsBitmapAllocated(&b) || !b.Pixels || b.Width <= 0 || b.Height <= 0)
        return false;
    if (b.BitsPerPixel != 24 && b.BitsPerPixel != 32)
        return false;
    if (int64_t(b.RowBytes) < PaddedRowBytes(b.Width, b.BitsPerPixel))
        return false;
    return int64_t(b.Pixels->size()) >= int64_t(b.RowBytes) * b.Height;
}

// The toolkit's option families of drawn formats: the control's own while a load starts, then
// those that were set before, on every way out.
class TFamilyGuard {
public:
    TFamilyGuard(const TKPDFOptions& pdf, int32_t viewMode, int32_t viewportWidth, int32_t viewportHeight,
                 int32_t wmfX, int32_t wmfY, const TKRTFOptions& rtf, const TKPLTOptions& plt, const TKPTKOptions& ptk,
                 int32_t cad)
    {
        TK_GetPDFOptions(&pdf_);
        TK_Get2DViewMode(&viewMode_);
        TK_Get2DViewport(&viewportWidth_, &viewportHeight_);
        TK_GetWMFResolution(&wmfX_, &wmfY_);
        TK_GetRTFOptions(&rtf_);
        TK_GetPLTOptions(&plt_);
        TK_GetPTKOptions(&ptk_);
        TK_GetCADColorScheme(&cad_);
        TK_SetPDFOptions(&pdf);
        TK_Set2DViewMode(viewMode);
        TK_Set2DViewport(viewportWidth, viewportHeight);
        TK_SetWMFResolution(wmfX, wmfY);
        TK_SetRTFOptions(&rtf);
        TK_SetPLTOptions(&plt);
        TK_SetPTKOptions(&ptk);
        TK_SetCADColorScheme(cad);
    }
    ~TFamilyGuard()
    {
        TK_SetPDFOptions(&pdf_);
        TK_Set2DViewMode(viewMode_);
        TK_Set2DViewport(viewportWidth_, viewportHeight_);
        TK_SetWMFResolution(wmfX_, wmfY_);
        TK_SetRTFOptions(&rtf_);
        TK_SetPLTOptions(&plt_);
        TK_SetPTKOptions(&ptk_);
        TK_SetCADColorScheme(cad_);
    }
    TFamilyGuard(const TFamilyGuard&) = delete;
    TFamilyGuard& operator=(const TFamilyGuard&) = delete;

private:
    TKPDFOptions pdf_;
    int32_t viewMode_ = 0, viewportWidth_ = 0, viewportHeight_ = 0, wmfX_ = 0, wmfY_ = 0, cad_ = 0;
    TKRTFOptions rtf_;
    TKPLTOptions plt_;
    TKPTKOptions ptk_;
};

void TakeFileInfo(TToolkitImage& c, const TKFileInfo& info)
{
    c.FileInfoFormat = info.Format;
    c.FileInfoWidth = info.Width;
    c.FileInfoHeight = info.Height;
    c.FileInfoBits = info.BitsPerPixel;
    c.FileInfoPages = info.TotalPages;
    c.InfoLayerCount = info.LayerCount;
    c.FileInfoCompression = info.Compression;
    c.FileInfoXResolution = info.XResolution;
    c.FileInfoYResolution = info.YResolution;
    c.FileInfoViewPerspective = info.ViewPerspective;
    c.FileInfoColorsUsed = info.ColorsUsed;
    c.FileInfoAlpha = info.AlphaPresent;
    c.FileInfoInterlaced = info.Interlaced;
    c.FileInfoVersion = info.Version;
    c.FileInfoText = QString::fromLatin1(info.FormatText, int(strnlen(info.FormatText, sizeof info.FormatText)));
}

} // namespace

struct TToolkitImage::TMemoryState {
    struct TFeedUser {
        TToolkitImage* Control = nullptr;
        uint32_t PagesWanted = 0;
        uint32_t PagesDone = 0;
    };
    TKFeedHandle Feed = 0;
    TFeedUser User;
    bool ProgressWasOn = false;
    QByteArray GlobalCopy; // the block OCXBitmap hands out, until the picture changes
    std::unique_ptr<TFieldDataLink> Link;
    bool LinkGone = false;
    bool ReadingField = false; // DataChange is loading the field's picture
};

void TToolkitImage::TMemoryStateDeleter::operator()(TMemoryState* state) const
{
    delete state;
}

TToolkitImage::TMemoryState& TToolkitImage::MemoryState()
{
    if (!memoryState_) {
        memoryState_.reset(new TMemoryState);
        auto link = std::make_unique<TFieldDataLink>();
        link->OnDataChange = [this](TObject* sender) { DataChange(sender); };
        link->OnUpdateData = [this](TObject* sender) { UpdateData(sender); };
        memoryState_->Link = std::move(link);
    }
    return *memoryState_;
}

TFieldDataLink* TToolkitImage::DataLink()
{
    TMemoryState& state = MemoryState();
    return state.LinkGone ? nullptr : state.Link.get();
}

void TToolkitImage::ShutDownMemory()
{
    if (!memoryState_)
        return;
    TMemoryState& state = *memoryState_;
    if (state.Feed) {
        // The row callback answers 2 while the control goes: nothing more is delivered.
        TK_StopFeedLoad(state.Feed);
        state.Feed = 0;
        loading_ = processing_ = false;
    }
    if (state.Link) {
        state.Link->OnDataChange = nullptr;
        state.Link->OnUpdateData = nullptr;
        if (TDataSource* source = state.Link->DataSource())
            RemoveFreeNotification(source);
        state.Link.reset();
    }
    state.LinkGone = true;
    state.GlobalCopy.clear();
}

void TToolkitImage::MarkDataModified()
{
    if (!memoryState_ || !memoryState_->Link)
        return;
    TFieldDataLink* link = memoryState_->Link.get();
    if (link->Field() && link->Field()->IsBlob())
        link->Modified();
}

// Runs on every ImageChanged: the kept block shows the old picture, and the data field is told
// the picture changed (except for the picture DataChange has just read from it), also after the
// loads of the file Part of the control.
void TToolkitImage::FreeGlobalBitmapCopy()
{
    if (!memoryState_)
        return;
    memoryState_->GlobalCopy.clear();
    if (!memoryState_->ReadingField)
        MarkDataModified();
}

// ---- Memory ----------------------------------------------------------------------------------

int TToolkitImage::LoadMemory(const QByteArray& Memory, int Bits, int Page, int Size)
{
    ClearImage();
    const TKLoadOptions options = BuildLoadOptions(Page);
    int result = TK_Success;
    {
        TKPDFOptions pdf = pdf_;
        pdf.UseLibFonts = pdfUseLibFonts_ ? -1 : 0;
        TFamilyGuard families(pdf, rasterizeViewMode_, rasterizeViewportWidth_, rasterizeViewportHeight_, wmfX_, wmfY_,
                              rtf_, plt_, ptk_, cadColorScheme_);
        if (Memory.isEmpty()) {
            result = -3; // no block to lock
        } else if (Size <= 0 || Size > Memory.size()) {
            // The block is all there is: a size beyond it is never read.
            result = TK_ErrParameter;
        } else {
            TKFileInfo info;
            info.Flags = 0;
            if (ForcedFormat != -1) {
                info.Format = ForcedFormat;
                info.Flags = TKFI_ForcedFormat;
            }
            if (LoadResolution > 7) {
                info.Resolution = LoadResolution;
                info.Flags |= TKFI_Resolution;
            }
            result = TK_LoadBitmapMemory(Memory.constData(), Size, &ToolkitBitmap, sizeof ToolkitBitmap, Bits, 1,
                                         &options, &info);
            if (result == TK_Success) {
                result = TK_CreateBitmapList(&BitmapList);
                if (result == TK_Success)
                    result = TK_InsertBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
                if (result == TK_Success) {
                    HasBitmap = 1;
                    TKFileInfo described;
                    if (TK_FileInfoMemory(Memory.constData(), Size, &described, sizeof described, 1, &options) ==
                        TK_Success)
                        TakeFileInfo(*this, described);
                } else {
                    DropImage();
                }
            }
        }
    }
    if (HasBitmap)
        TakeAnimationFromBitmap(ToolkitBitmap);
    ImageChanged();
    NotifyBitmapReset();
    MarkDataModified();
    LastResult = result;
    return result;
}

// ---- Feed load -------------------------------------------------------------------------------

int TToolkitImage::FeedRows(TKBitmap* bitmap, uint8_t* rows, uint32_t flags, int32_t firstRow, int32_t rowCount,
                            void* userData)
{
    auto* user = static_cast<TMemoryState::TFeedUser*>(userData);
    TToolkitImage* c = user->Control;
    if (c->busy_ & bsDestroying)
        return 2;
    int result;
    if (user->PagesDone < user->PagesWanted) {
        if (flags & TKRF_PageEnd)
            c->Fire(c->OnFilePage, c);
        if (flags & TKRF_FirstRows) {
            if (c->enableProgressEvent_)
                c->Fire(c->OnStatus, c, 0);
            c->rowCounter_ = 0;
        }
        c->rowCounter_ += rowCount;
        if (flags & TKRF_PageStart) {
            c->HasBitmap = 1;
            if (c->paintWhileLoad_)
                c->ResetView();
            else
                c->pending_ |= pwPalette;
        }
        if (flags & TKRF_PageEnd) {
            ++user->PagesDone;
            TK_InsertBitmapListItem(c->BitmapList, -1, bitmap);
            c->pending_ |= pwPalette;
        }
        if (c->enableProgressEvent_)
            c->Fire(c->OnStatus, c, RoundEven(double(c->rowCounter_) / std::max(1, bitmap->Height) * 100));
        else if (c->paintWhileLoad_ && bitmap->Pixels)
            c->PaintBand(*bitmap, rows, firstRow, rowCount, flags);
        result = TK_Success;
    } else {
        TK_FreeBitmap(bitmap);
        result = 2;
    }
    c->LastResult = result;
    if (c->ProgressTurnedOff())
        return 0;
    return result;
}

// Turning EnableProgressEvent off while the feed runs asks it to stop; turning it on again takes
// the request back.
bool TToolkitImage::ProgressTurnedOff()
{
    TMemoryState& state = MemoryState();
    const bool wasOn = state.ProgressWasOn;
    state.ProgressWasOn = enableProgressEvent_;
    return wasOn && !enableProgressEvent_;
}

void TToolkitImage::EndFeed()
{
    MemoryState().Feed = 0;
    loading_ = processing_ = false;
    // A stop asked for during the feed is answered; it must not stop the next load. Turning the
    // switch on withdraws the request, and the switch is then put back as it was.
    const bool progress = enableProgressEvent_;
    const int32_t last = LastResult;
    SetEnableProgressEvent(true);
    enableProgressEvent_ = progress;
    LastResult = last;
}

int TToolkitImage::StartFeedLoad(int Bits, int FirstPage, int Pages)
{
    ClearImage();
    const TKLoadOptions options = BuildLoadOptions(FirstPage);
    TMemoryState& state = MemoryState();
    int result;
    {
        TKPDFOptions pdf = pdf_;
        pdf.UseLibFonts = pdfUseLibFonts_ ? -1 : 0;
        TFamilyGuard families(pdf, rasterizeViewMode_, rasterizeViewportWidth_, rasterizeViewportHeight_, wmfX_, wmfY_,
                              rtf_, plt_, ptk_, cadColorScheme_);
        loading_ = processing_ = true;
        state.User = TMemoryState::TFeedUser{this, uint32_t(Pages), 0};
        state.ProgressWasOn = enableProgressEvent_;
        rowCounter_ = 0;
        result = TK_StartFeedLoad(&state.Feed, &ToolkitBitmap, sizeof ToolkitBitmap, Bits, 1, 19, FeedRows,
                                  &state.User, &options);
    }
    if (result == TK_Success) {
        result = TK_CreateBitmapList(&BitmapList);
        if (result != TK_Success) {
            TK_StopFeedLoad(state.Feed);
            EndFeed();
            TK_FreeBitmap(&ToolkitBitmap);
        }
    } else {
        EndFeed();
    }
    return ResultCheck("StartFeedLoad", result);
}

int TToolkitImage::FeedLoad(const uint8_t* Buffer, int Size)
{
    if (!memoryState_ || !memoryState_->Feed) {
        LastResult = 0;
        throw EInvalidOperation(QStringLiteral("%1 \nFeedLoad: Feed Load not Started.").arg(MessageName()));
    }
    int result = TK_FeedLoad(memoryState_->Feed, Buffer, Size);
    if (result > 0) {
        result = TK_Success;
    } else {
        TK_StopFeedLoad(memoryState_->Feed);
        EndFeed();
        DropImage();
        ImageChanged();
    }
    return ResultCheck("FeedLoad", result);
}

int TToolkitImage::StopFeedLoad()
{
    if (!memoryState_ || !memoryState_->Feed) {
        LastResult = 0;
        throw EInvalidOperation(QStringLiteral("%1 \nFeedLoad: Feed Load not Started.").arg(MessageName()));
    }
    int result = TK_StopFeedLoad(memoryState_->Feed);
    EndFeed();
    int32_t count = 0;
    const bool arrived = BitmapList && TK_GetBitmapListCount(BitmapList, &count) == TK_Success && count > 0;
    if (result == TK_Success || (result == TK_ErrReadFile && arrived)) {
        // A stop whose data ended early keeps the pages that arrived and still reports it.
        const int taken = TK_GetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap);
        if (taken == TK_Success) {
            HasBitmap = 1;
        } else {
            DropImage();
            if (result == TK_Success)
                result = taken;
        }
    } else {
        DropImage();
    }
    if (HasBitmap) {
        TKBitmap first;
        if (TK_GetBitmapListItem(BitmapList, 0, &first) == TK_Success)
            TakeAnimationFromBitmap(first);
    }
    ImageChanged();
    MarkDataModified();
    return ResultCheck("StopFeedLoad", result);
}

// ---- Bitmaps handed over ---------------------------------------------------------------------

void TToolkitImage::DropFloaterForNewPicture()
{
    if (!HasBitmap || !enableFloater_ || !HasRgn())
        return;
    // Dropping the floater this way also turns AutoFloater off; the picture changing does not.
    const bool autoFloater = autoFloater_;
    SetFloaterBitmap(nullptr);
    autoFloater_ = autoFloater;
}

void TToolkitImage::SetToolkitBitmap(TKBitmap& bitmap)
{
    BusyCheck();
    ClosePanWindow();
    DropFloaterForNewPicture();
    bool newList = false;
    int32_t count = 0;
    if (!BitmapList) {
        TK_CreateBitmapList(&BitmapList);
        BitmapListIndex = 0;
        newList = true;
    } else {
        TK_GetBitmapListCount(BitmapList, &count);
        if (BitmapListIndex >= 0 && BitmapListIndex < count && TK_DeleteBitmapListItems(BitmapList, BitmapListIndex, 1) == TK_Success)
            --count;
        // Past the end the new picture goes last, and the index follows it there.
        BitmapListIndex = std::clamp(BitmapListIndex, 0, count);
    }
    if (backErase_ && !transparent_)
        Invalidate();

    int result = TK_Success;
    if (bitmap.Width != 0 && bitmap.Height != 0) {
        TKBitmap taken;
        if (!UsableRecord(bitmap))
            result = TK_ErrBitmapHandle;
        else if (refBitmap_)
            taken = bitmap;
        else
            result = TK_CopyBitmap(&bitmap, &taken);
        if (result == TK_Success)
            result = TK_InsertBitmapListItem(BitmapList, BitmapListIndex < count ? BitmapListIndex : -1, &taken);
        if (result == TK_Success) {
            ToolkitBitmap = taken;
            HasBitmap = 1;
            // The control owns the pixels now; the caller's record lets go of them only once
            // they are taken.
            if (refBitmap_)
                TK_InitBitmap(&bitmap);
        } else {
            TK_FreeBitmap(&ToolkitBitmap);
            HasBitmap = 0;
        }
    } else if (count > 0) {
        BitmapListIndex = std::min(BitmapListIndex, count - 1);
        HasBitmap = TK_GetBitmapListItem(BitmapList, BitmapListIndex, &ToolkitBitmap) == TK_Success ? 1 : 0;
    } else {
        TK_DestroyBitmapList(BitmapList);
        BitmapList = 0;
        BitmapListIndex = 0;
        TK_FreeBitmap(&ToolkitBitmap);
        HasBitmap = 0;
    }
    ImageChanged();
    MarkDataModified();
    if (newList && HasBitmap)
        TakeAnimationFromBitmap(ToolkitBitmap);
    LastResult = result;
}

int TToolkitImage::MakeOCXBlock(const TKBitmap& b, QByteArray& block)
{
    if (!UsableRecord(b))
        return TK_ErrBitmapHandle;
    const int64_t rowBytes = PaddedRowBytes(b.Width, b.BitsPerPixel);
    const int64_t pixelBytes = rowBytes * b.Height;
    if (pixelBytes > int64_t(UINT32_MAX) - OCXHeaderSize)
        return TK_ErrNoMemory;
    QByteArray out;
    out.reserve(qsizetype(OCXHeaderSize + pixelBytes));
    AppendU32(out, OCXHeaderSize);
    AppendU32(out, uint32_t(b.Width));
    AppendU32(out, uint32_t(b.Height));
    AppendU32(out, uint32_t(b.BitsPerPixel));
    AppendU32(out, uint32_t(rowBytes));
    AppendU32(out, b.Flags & TKBF_Transparent);
    AppendU32(out, uint32_t(b.ViewPerspective >= 1 && b.ViewPerspective <= 8 ? b.ViewPerspective : 1));
    AppendU32(out, uint32_t(b.XResolution));
    AppendU32(out, uint32_t(b.YResolution));
    AppendU32(out, b.TransparentColor);
    AppendU32(out, uint32_t(pixelBytes));
    AppendU32(out, 0);
    for (int y = 0; y < b.Height; ++y)
        out.append(reinterpret_cast<const char*>(b.Row(y)), qsizetype(rowBytes));
    block = out;
    return TK_Success;
}

int TToolkitImage::ReadOCXBlock(const QByteArray& block, TKBitmap& bitmap)
{
    if (block.size() < qsizetype(OCXHeaderSize) || ReadU32(block, 0) != OCXHeaderSize)
        return TK_ErrFileFormat;
    const int64_t width = int32_t(ReadU32(block, 4));
    const int64_t height = int32_t(ReadU32(block, 8));
    const int32_t bits = int32_t(ReadU32(block, 12));
    const int64_t rowBytes = ReadU32(block, 16);
    const int32_t perspective = int32_t(ReadU32(block, 24));
    const int64_t pixelBytes = ReadU32(block, 40);
    if (bits != 24 && bits != 32)
        return TK_ErrBitsPerPixel;
    const TImagingLimits& limits = ImagingLimits();
    if (width <= 0 || height <= 0 || width > limits.MaxSide || height > limits.MaxSide ||
        width * height > limits.MaxPixels)
        return TK_ErrWidthHeight;
    if (perspective < 1 || perspective > 8)
        return TK_ErrParameter;
    if (rowBytes != PaddedRowBytes(width, bits) || pixelBytes != rowBytes * height)
        return TK_ErrReadFile;
    if (int64_t(block.size()) - OCXHeaderSize < pixelBytes)
        return TK_ErrReadFile; // the rows are cut short
    TKBitmap out;
    const int r = TK_AllocateBitmap(&out, int32_t(width), int32_t(height), bits);
    if (r != TK_Success)
        return r;
    std::memcpy(out.Pixels->data(), block.constData() + OCXHeaderSize, size_t(pixelBytes));
    out.Flags |= ReadU32(block, 20) & TKBF_Transparent;
    out.ViewPerspective = perspective;
    out.XResolution = int32_t(ReadU32(block, 28));
    out.YResolution = int32_t(ReadU32(block, 32));
    out.TransparentColor = ReadU32(block, 36) & 0xFFFFFF;
    bitmap = std::move(out);
    return TK_Success;
}

QByteArray TToolkitImage::OCXBitmap()
{
    if (!HasBitmap || !IsBitmapAllocated(&ToolkitBitmap))
        return QByteArray();
    TMemoryState& state = MemoryState();
    if (state.GlobalCopy.isEmpty()) {
        const int result = MakeOCXBlock(ToolkitBitmap, state.GlobalCopy);
        if (result != TK_Success) {
            state.GlobalCopy.clear();
            ResultCheck("OCXBitmap", result);
            return QByteArray();
        }
    }
    return state.GlobalCopy;
}

void TToolkitImage::SetOCXBitmap(const QByteArray& block)
{
    FreeGlobalBitmapCopy();
    if (block.isEmpty())
        return;
    TKBitmap record;
    bool copy = false;
    int result;
    if (block.size() >= 8 && ReadU32(block, 0) == RecordSignature && ReadU32(block, 4) == RecordFormSize) {
        // An address is never followed: it is only compared with the records of this process's
        // controls, so a block from elsewhere cannot point the control into memory.
        result = TK_ErrBitmapHandle;
        if (block.size() >= qsizetype(8 + sizeof(void*))) {
            const TKBitmap* address = nullptr;
            std::memcpy(&address, block.constData() + 8, sizeof address);
            const auto widgets = QApplication::allWidgets();
            for (QWidget* w : widgets) {
                auto* control = qobject_cast<TToolkitImage*>(w);
                if (control && &control->ToolkitBitmap == address && control->HasBitmap &&
                    UsableRecord(control->ToolkitBitmap)) {
                    record = control->ToolkitBitmap;
                    copy = true;
                    result = TK_Success;
                    break;
                }
            }
        }
    } else {
        result = ReadOCXBlock(block, record);
    }
    if (result == TK_Success) {
        // A block's pixels were copied out of it already; a record of another control is copied.
        const bool keep = refBitmap_;
        refBitmap_ = !copy;
        try {
            SetToolkitBitmap(record);
        } catch (...) {
            refBitmap_ = keep;
            throw;
        }
        refBitmap_ = keep;
        result = LastResult;
    }
    ResultCheck("OCXBitmap", result);
}

void TToolkitImage::SetBitmapList(TKBitmapList list)
{
    BusyCheck();
    // The given list is copied before the control lets go of its own, so that a list that cannot
    // be read (or the control's own) leaves the picture as it was.
    TKBitmapList copy = 0;
    int result = TK_Success;
    if (list) {
        result = TK_CreateBitmapList(&copy);
        if (result == TK_Success)
            result = TK_CopyBitmapListItems(copy, list, 0, -1);
        if (result != TK_Success) {
            if (copy)
                TK_DestroyBitmapList(copy);
            ResultCheck("BitmapList", result);
            return;
        }
    }
    ClosePanWindow();
    DropFloaterForNewPicture();
    DropImage();
    if (copy) {
        BitmapList = copy;
        BitmapListIndex = 0;
        result = TK_GetBitmapListItem(copy, 0, &ToolkitBitmap);
        if (result == TK_Success)
            HasBitmap = 1;
    }
    ImageChanged();
    MarkDataModified();
    if (HasBitmap)
        TakeAnimationFromBitmap(ToolkitBitmap);
    ResultCheck("BitmapList", result);
}

int TToolkitImage::BitmapListCount()
{
    if (!BitmapList) {
        LastResult = TK_ErrBitmapHandle;
        throw EToolkitImageError(QStringLiteral("%1 \nBitmapListCount: No bitmap list.").arg(MessageName()));
    }
    int32_t count = 0;
    const int result = TK_GetBitmapListCount(BitmapList, &count);
    ResultCheck("BitmapListCount", result);
    return result == TK_Success ? count : 0;
}

// ---- Database link ---------------------------------------------------------------------------

namespace {

[[noreturn]] void NoDataLink(TToolkitImage& c, const char* property)
{
    c.LastResult = 0;
    throw EToolkitImageError(QStringLiteral("%1 \n%2: No DataLink.").arg(c.Name(), QLatin1String(property)));
}

} // namespace

int TToolkitImage::BlobImage(const QByteArray& blob, QByteArray& image)
{
    if (blob.size() < qsizetype(sizeof BlobSignature) || std::memcmp(blob.constData(), BlobSignature, sizeof BlobSignature) != 0) {
        image = blob;
        return TK_Success;
    }
    if (blob.size() < 12)
        return TK_ErrReadFile;
    const uint32_t headerSize = ReadU32(blob, 8);
    if (int64_t(headerSize) > int64_t(blob.size()))
        return TK_ErrReadFile;
    image = blob.mid(qsizetype(headerSize));
    return TK_Success;
}

QString TToolkitImage::DataField()
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "DataField");
    return link->FieldName();
}

void TToolkitImage::SetDataField(const QString& v)
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "DataField");
    TDataSet* dataSet = link->DataSet();
    if (dataSet && dataSet->Active() && !v.isEmpty()) {
        const TFieldType type = dataSet->FieldByName(v)->DataType();
        if (type != ftBytes && type != ftBlob && type != ftGraphic && type != ftTypedBinary)
            throw EInvalidFieldType(QStringLiteral("TToolkitImage.DataField can only be connected to columns of type Blob"));
    }
    link->SetFieldName(v);
    dataField_ = v;
    LastResult = 1;
}

TDataSource* TToolkitImage::DataSource()
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "DataSource");
    return link->DataSource();
}

void TToolkitImage::SetDataSource(TDataSource* v)
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "DataSource");
    if (!(link->DataSourceFixed() && IsLoading())) {
        if (TDataSource* old = link->DataSource(); old && old != v)
            RemoveFreeNotification(old);
        link->SetDataSource(v);
    }
    if (v) {
        dataSaveBits_ = 24;
        dataSaveFormat_ = 5;
        dataSaveQuality_ = -5;
        FreeNotification(v);
    }
    LastResult = 1;
}

bool TToolkitImage::ReadOnly()
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "ReadOnly");
    return link->ReadOnly();
}

void TToolkitImage::SetReadOnly(bool v)
{
    TFieldDataLink* link = DataLink();
    if (!link)
        NoDataLink(*this, "ReadOnly");
    link->SetReadOnly(v);
    readOnly_ = v;
    LastResult = 1;
}

void TToolkitImage::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && memoryState_ && memoryState_->Link &&
        AComponent == memoryState_->Link->DataSource())
        memoryState_->Link->SetDataSource(nullptr);
}

void TToolkitImage::DataChange(TObject*)
{
    TFieldDataLink* link = DataLink();
    if (!link)
        return;
    TField* field = link->Field();
    int result = TK_Success;
    if (field && field->IsBlob()) {
        TMemoryState& state = MemoryState();
        const bool reading = state.ReadingField;
        state.ReadingField = true;
        struct TRestore {
            bool& flag;
            bool value;
            ~TRestore() { flag = value; }
        } restore{state.ReadingField, reading};
        ClearImage();
        {
            TKPDFOptions pdf = pdf_;
            pdf.UseLibFonts = pdfUseLibFonts_ ? -1 : 0;
            TFamilyGuard families(pdf, rasterizeViewMode_, rasterizeViewportWidth_, rasterizeViewportHeight_, wmfX_,
                                  wmfY_, rtf_, plt_, ptk_, cadColorScheme_);
            TKLoadOptions options;
            TK_GetDefaultLoadFileOption(&options);
            options.Flags = LoadSwitch10 ? 0x10 : 0;
            options.Passes = Passes;
            options.PageNumber = 0;
            if (!field->IsNull()) {
                QByteArray image;
                result = BlobImage(field->AsBytes(), image);
                if (result == TK_Success) {
                    TKFileInfo info;
                    result = TK_LoadBitmapMemory(image.constData(), image.size(), &ToolkitBitmap,
                                                 sizeof ToolkitBitmap, dataLoadBits_, 1, &options, &info);
                    if (result == TK_Success)
                        result = TK_CreateBitmapList(&BitmapList);
                    if (result == TK_Success)
                        result = TK_InsertBitmapListItem(BitmapList, -1, &ToolkitBitmap);
                    if (result == TK_Success) {
                        HasBitmap = 1;
                        TKFileInfo described;
                        if (TK_FileInfoMemory(image.constData(), image.size(), &described, sizeof described, 1,
                                              &options) == TK_Success)
                            TakeFileInfo(*this, described);
                        FileInfoPages = 1;
                        AfterDataLoad();
                    } else {
                        DropImage();
                    }
                }
            }
        }
        link->ClearModified();
        ImageChanged();
    }
    ResultCheck("DataField", result);
}

void TToolkitImage::UpdateData(TObject*)
{
    TFieldDataLink* link = DataLink();
    TField* field = link ? link->Field() : nullptr;
    if (!field)
        return;
    if (!HasBitmap) {
        field->Clear();
        return;
    }
    if (!field->IsBlob())
        return;
    // No progress reports (and no stop through them) while the picture is encoded for the field.
    const bool progress = enableProgressEvent_;
    enableProgressEvent_ = false;
    const TKSaveOptions options = BuildSaveOptions(0, dataSaveBits_, false);
    QByteArray data;
    const int saved = TK_SaveBitmapMemory(&ToolkitBitmap, dataSaveFormat_, dataSaveBits_, dataSaveQuality_, &options,
                                          &data);
    enableProgressEvent_ = progress;
    if (saved != TK_Success) {
        ResultCheck("Database", saved);
        return;
    }
    QByteArray blob;
    blob.reserve(qsizetype(BlobHeaderSize) + data.size());
    blob.append(BlobSignature, sizeof BlobSignature);
    AppendU32(blob, BlobHeaderSize);
    AppendU32(blob, uint32_t(data.size()));
    AppendU32(blob, 0);
    AppendU32(blob, 0);
    blob.append(data);
    if (field->WriteBlob(blob) != blob.size())
        ResultCheck("Database", -1);
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetDataLoadBits(int v)
{
    dataLoadBits_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveBits(int v)
{
    dataSaveBits_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveFormat(int v)
{
    dataSaveFormat_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDataSaveQuality(int v)
{
    dataSaveQuality_ = v;
    LastResult = 1;
}

void TToolkitImage::SetRefBitmap(bool v)
{
    refBitmap_ = v;
    LastResult = 1;
}
