#include "imaging/toolkit/toolkit_playback.h"

#include "imaging/toolkit/imaging_files.h"

#include <Magick++.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

// ---- Frame tags ----------------------------------------------------------------------------

struct TTag {
    std::weak_ptr<std::vector<uint8_t>> Pixels;
    TKFrameInfo Info;
};

struct TTags {
    std::mutex Lock;
    std::map<const std::vector<uint8_t>*, TTag> Items;
};

TTags& Tags()
{
    static TTags tags;
    return tags;
}

// ---- Frame information of a file -------------------------------------------------------------

int ReadWholeFile(const QString& name, QByteArray& data)
{
    if (name.isEmpty())
        return TK_ErrFileName;
    const QFileInfo info(name);
    if (!info.exists())
        return TK_ErrFileNotFound;
    QFile file(name);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return TK_ErrOpenFile;
    const int64_t limit = ImagingLimits().MaxFileBytes;
    data = file.read(limit + 1);
    if (data.size() > limit)
        return TK_ErrNoMemory;
    if (file.error() != QFileDevice::NoError)
        return TK_ErrReadFile;
    return TK_Success;
}

int32_t Clamp32(ssize_t value)
{
    return int32_t(std::clamp<ssize_t>(value, INT32_MIN, INT32_MAX));
}

// ---- Playbacks -------------------------------------------------------------------------------

struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Empty() const { return Right <= Left || Bottom <= Top; }
};

struct TPage {
    TKBitmap Bitmap;
    TKFrameInfo Info;
    int32_t ValidRows = 0;
};

struct TPlaybackData {
    TKBitmap Canvas;
    uint32_t Background = 0;
    std::vector<TPage> Pages;
    bool Complete = false; // every page is there: past the last one the playback has ended
    int32_t Next = 0;      // the page to put on the canvas next
    int32_t Shown = -1;    // the page on the canvas
    bool PaintPending = false;
    bool Waiting = false;
    int32_t State = TKPS_NeedPages;
    int32_t Delay = 0;
    // What the shown page covered, when its disposal puts it back.
    TRect SavedRect;
    std::vector<uint8_t> Saved;
};

struct TPlaybacks {
    std::mutex Lock;
    std::map<TKPlayback, std::unique_ptr<TPlaybackData>> Items;
    TKPlayback NextHandle = 1;
};

TPlaybacks& Playbacks()
{
    static TPlaybacks playbacks;
    return playbacks;
}

TPlaybackData* Find(TKPlayback handle)
{
    auto& p = Playbacks();
    const auto it = p.Items.find(handle);
    return it == p.Items.end() ? nullptr : it->second.get();
}

// A record whose pixels hold every row its size claims.
bool UsableBitmap(const TKBitmap* b, bool needAlpha)
{
    if (!needAlpha && b && b->BitsPerPixel <= 8)
        return HasBitmapPixels(b);
    if (!IsBitmapAllocated(b) || !b->Pixels || b->Width <= 0 || b->Height <= 0)
        return false;
    if (b->BitsPerPixel != 32 && (needAlpha || b->BitsPerPixel != 24))
        return false;
    const int64_t rowMin = int64_t(b->Width) * (b->BitsPerPixel / 8);
    return b->RowBytes >= rowMin && int64_t(b->RowBytes) * b->Height <= int64_t(b->Pixels->size());
}

TRect PageRect(const TPlaybackData& d, const TPage& page)
{
    TRect r;
    const int64_t left = page.Info.Left, top = page.Info.Top;
    r.Left = int32_t(std::clamp<int64_t>(left, 0, d.Canvas.Width));
    r.Top = int32_t(std::clamp<int64_t>(top, 0, d.Canvas.Height));
    r.Right = int32_t(std::clamp<int64_t>(left + page.Bitmap.Width, 0, d.Canvas.Width));
    r.Bottom = int32_t(std::clamp<int64_t>(top + page.Bitmap.Height, 0, d.Canvas.Height));
    return r;
}

void FillBackground(TPlaybackData& d, const TRect& r)
{
    const uint8_t px[4] = {uint8_t(d.Background >> 16), uint8_t(d.Background >> 8), uint8_t(d.Background), 0};
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        uint8_t* row = d.Canvas.Row(y) + size_t(r.Left) * 4;
        for (int32_t x = r.Left; x < r.Right; ++x, row += 4)
            std::memcpy(row, px, 4);
    }
}

void ResetCanvas(TPlaybackData& d)
{
    FillBackground(d, TRect{0, 0, d.Canvas.Width, d.Canvas.Height});
    d.Shown = -1;
    d.Saved.clear();
    d.SavedRect = TRect();
}

// Puts back what the shown page's disposal asks for, before the next page goes on.
void DisposeShown(TPlaybackData& d)
{
    if (d.Shown < 0 || size_t(d.Shown) >= d.Pages.size())
        return;
    const TPage& page = d.Pages[size_t(d.Shown)];
    if (page.Info.Disposal == TKFD_Background) {
        FillBackground(d, PageRect(d, page));
    } else if (page.Info.Disposal == TKFD_Previous && !d.SavedRect.Empty()) {
        const TRect& r = d.SavedRect;
        const size_t bytes = size_t(r.Right - r.Left) * 4;
        for (int32_t y = r.Top; y < r.Bottom; ++y)
            std::memcpy(d.Canvas.Row(y) + size_t(r.Left) * 4, d.Saved.data() + size_t(y - r.Top) * bytes, bytes);
    }
    d.Saved.clear();
    d.SavedRect = TRect();
}

// Puts page `index` on the canvas at its offset, over what is there.
void Compose(TPlaybackData& d, int32_t index)
{
    const TPage& page = d.Pages[size_t(index)];
    const TRect r = PageRect(d, page);
    if (page.Info.Disposal == TKFD_Previous && !r.Empty()) {
        const size_t bytes = size_t(r.Right - r.Left) * 4;
        d.Saved.resize(bytes * size_t(r.Bottom - r.Top));
        for (int32_t y = r.Top; y < r.Bottom; ++y)
            std::memcpy(d.Saved.data() + size_t(y - r.Top) * bytes, d.Canvas.Row(y) + size_t(r.Left) * 4, bytes);
        d.SavedRect = r;
    }
    // A page lying wholly outside the canvas shows nothing; its rows are never reached into.
    d.Shown = index;
    if (r.Empty())
        return;
    const TKBitmap& b = page.Bitmap;
    if (b.BitsPerPixel <= 8) {
        // Palette pages hold no transparency: they cover their rectangle.
        for (int32_t y = r.Top; y < r.Bottom; ++y) {
            uint8_t* dst = d.Canvas.Row(y) + size_t(r.Left) * 4;
            for (int32_t x = r.Left; x < r.Right; ++x, dst += 4) {
                const uint32_t c = BitmapColour(b, int(x - page.Info.Left), int(y - page.Info.Top));
                dst[0] = uint8_t(c);
                dst[1] = uint8_t(c >> 8);
                dst[2] = uint8_t(c >> 16);
                dst[3] = 255;
            }
        }
        return;
    }
    const int step = b.BitsPerPixel / 8;
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        const uint8_t* src = b.Row(y - page.Info.Top) + size_t(r.Left - page.Info.Left) * size_t(step);
        uint8_t* dst = d.Canvas.Row(y) + size_t(r.Left) * 4;
        for (int32_t x = r.Left; x < r.Right; ++x, src += step, dst += 4) {
            const uint32_t sa = step == 4 ? src[3] : 255;
            if (sa == 255) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            } else if (sa != 0) {
                // Straight (not premultiplied) colours, source over what the canvas holds.
                const uint32_t da = dst[3] * (255 - sa) / 255;
                const uint32_t oa = sa + da;
                for (int c = 0; c < 3; ++c)
                    dst[c] = uint8_t((src[c] * sa + dst[c] * da + oa / 2) / oa);
                dst[3] = uint8_t(oa);
            }
        }
    }
}

bool PageReady(const TPlaybackData& d, int32_t index)
{
    const TPage& page = d.Pages[size_t(index)];
    return d.Complete || page.ValidRows >= page.Bitmap.Height;
}

int Process(TPlaybackData& d)
{
    if (d.Waiting)
        return TKPS_Waiting;
    if (d.PaintPending) {
        d.PaintPending = false;
        d.Waiting = true;
        d.Delay = d.Pages[size_t(d.Shown)].Info.Delay;
        return TKPS_Shown;
    }
    if (d.State == TKPS_Ended) {
        ResetCanvas(d);
        d.Next = 0;
    }
    const int32_t count = int32_t(d.Pages.size());
    if (d.Next >= count)
        return d.Complete && count > 0 ? TKPS_Ended : TKPS_NeedPages;
    if (!PageReady(d, d.Next))
        return TKPS_NeedPages;
    DisposeShown(d);
    Compose(d, d.Next);
    ++d.Next;
    d.PaintPending = true;
    return TKPS_Paint;
}

} // namespace

// ---- Frame information -----------------------------------------------------------------------

int TK_ReadFrameInfo(const QString& name, int32_t firstPage, std::vector<TKFrameInfo>& frames)
{
    frames.clear();
    QByteArray data;
    const int r = ReadWholeFile(name, data);
    if (r != TK_Success)
        return r;
    // Only the animated formats carry timing and placement the toolkit plays.
    const QString format = ToolkitFormatName(data, name);
    if (format != QLatin1String("GIF") && format != QLatin1String("MNG") && format != QLatin1String("WEBP"))
        return TK_Success;
    InitializeImaging();
    MagickCore::ImageInfo* info = MagickCore::AcquireImageInfo();
    MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
    const QByteArray coder = format.toLatin1();
    MagickCore::CopyMagickString(info->magick, coder.constData(), MaxTextExtent);
    MagickCore::CopyMagickString(info->filename, (coder + ':').constData(), MaxTextExtent);
    MagickCore::Image* list = MagickCore::PingBlob(info, data.constData(), size_t(data.size()), exception);
    int result = TK_Success;
    if (!list) {
        result = TK_ErrFileFormat;
    } else {
        int32_t page = 1;
        for (MagickCore::Image* f = list; f; f = f->next, ++page) {
            if (page < firstPage)
                continue;
            TKFrameInfo frame;
            frame.Left = Clamp32(f->page.x);
            frame.Top = Clamp32(f->page.y);
            const int64_t ticks = f->ticks_per_second > 0 ? f->ticks_per_second : 100;
            frame.Delay = int32_t(std::min<int64_t>(int64_t(f->delay) * 1000 / ticks, INT32_MAX));
            // The library stores the file's three disposal bits as they stand, so values outside
            // its enumeration arrive too: read them as the number they are.
            int dispose = 0;
            static_assert(sizeof dispose == sizeof f->dispose);
            std::memcpy(&dispose, &f->dispose, sizeof dispose);
            switch (dispose) {
            case int(MagickCore::NoneDispose): frame.Disposal = TKFD_Keep; break;
            case int(MagickCore::BackgroundDispose): frame.Disposal = TKFD_Background; break;
            case int(MagickCore::PreviousDispose): frame.Disposal = TKFD_Previous; break;
            default: frame.Disposal = TKFD_Unspecified; break;
            }
            frames.push_back(frame);
        }
        MagickCore::DestroyImageList(list);
    }
    MagickCore::DestroyExceptionInfo(exception);
    MagickCore::DestroyImageInfo(info);
    return result;
}

int TK_SetBitmapFrameInfo(const TKBitmap* bitmap, const TKFrameInfo* info)
{
    if (!bitmap || !bitmap->Pixels || !info)
        return TK_ErrParameter;
    TTags& tags = Tags();
    std::lock_guard<std::mutex> lock(tags.Lock);
    std::erase_if(tags.Items, [](const auto& item) { return item.second.Pixels.expired(); });
    tags.Items[bitmap->Pixels.get()] = TTag{bitmap->Pixels, *info};
    return TK_Success;
}

int TK_GetBitmapFrameInfo(const TKBitmap* bitmap, TKFrameInfo* info)
{
    if (!info)
        return TK_ErrParameter;
    *info = TKFrameInfo();
    if (!bitmap || !bitmap->Pixels)
        return 0;
    TTags& tags = Tags();
    std::lock_guard<std::mutex> lock(tags.Lock);
    const auto it = tags.Items.find(bitmap->Pixels.get());
    // A buffer freed and another made at its address must not inherit the old tag.
    if (it == tags.Items.end() || it->second.Pixels.lock() != bitmap->Pixels)
        return 0;
    *info = it->second.Info;
    return 1;
}

int TK_CreatePlaybackCanvas(TKBitmap* canvas, int32_t width, int32_t height, uint32_t background)
{
    if (!canvas)
        return TK_ErrParameter;
    TKBitmap made;
    const int r = TK_AllocateBitmap(&made, width, height, 32);
    if (r != TK_Success)
        return r;
    TPlaybackData fill;
    fill.Canvas = made;
    fill.Background = background;
    FillBackground(fill, TRect{0, 0, width, height});
    made.TransparentColor = background & 0xFFFFFF;
    *canvas = made;
    return TK_Success;
}

// ---- Playbacks -------------------------------------------------------------------------------

int TK_CreatePlayback(const TKBitmap* canvas, TKBitmapList list, TKPlayback* playback)
{
    if (!playback)
        return TK_ErrParameter;
    *playback = 0;
    if (!UsableBitmap(canvas, true))
        return TK_ErrBitmapHandle;
    auto d = std::make_unique<TPlaybackData>();
    d->Canvas = *canvas;
    d->Background = canvas->TransparentColor;
    if (list) {
        int32_t count = 0;
        int r = TK_GetBitmapListCount(list, &count);
        if (r != TK_Success)
            return r;
        for (int32_t i = 0; i < count; ++i) {
            TPage page;
            r = TK_GetBitmapListItem(list, i, &page.Bitmap);
            if (r != TK_Success)
                return r;
            if (!UsableBitmap(&page.Bitmap, false))
                return TK_ErrBitmapHandle;
            TK_GetBitmapFrameInfo(&page.Bitmap, &page.Info);
            page.ValidRows = page.Bitmap.Height;
            d->Pages.push_back(std::move(page));
        }
        d->Complete = true;
    }
    TPlaybacks& p = Playbacks();
    std::lock_guard<std::mutex> lock(p.Lock);
    TKPlayback handle = p.NextHandle++;
    if (handle == 0)
        handle = p.NextHandle++;
    p.Items[handle] = std::move(d);
    *playback = handle;
    return TK_Success;
}

int TK_AppendPlaybackPage(TKPlayback playback, const TKBitmap* page, const TKFrameInfo* info)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (!UsableBitmap(page, false))
        return TK_ErrBitmapHandle;
    TPage p;
    p.Bitmap = *page;
    if (info)
        p.Info = *info;
    else
        TK_GetBitmapFrameInfo(page, &p.Info);
    d->Pages.push_back(std::move(p));
    return TK_Success;
}

int TK_ValidatePlaybackRows(TKPlayback playback, int32_t firstRow, int32_t rowCount)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (d->Pages.empty() || firstRow < 0 || rowCount < 0)
        return TK_ErrParameter;
    TPage& page = d->Pages.back();
    // Rows arrive in order; a band reaching further counts everything before it.
    const int64_t end = std::min<int64_t>(int64_t(firstRow) + rowCount, page.Bitmap.Height);
    page.ValidRows = std::max(page.ValidRows, int32_t(end));
    return TK_Success;
}

int TK_ProcessPlayback(TKPlayback playback, int32_t* state)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (!state)
        return TK_ErrParameter;
    d->State = Process(*d);
    *state = d->State;
    return TK_Success;
}

int TK_GetPlaybackState(TKPlayback playback, int32_t* state)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    const TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (!state)
        return TK_ErrParameter;
    *state = d->State;
    return TK_Success;
}

int TK_CancelPlaybackWait(TKPlayback playback)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    d->Waiting = false;
    return TK_Success;
}

int TK_GetPlaybackDelay(TKPlayback playback, int32_t* milliseconds)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    const TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (!milliseconds)
        return TK_ErrParameter;
    *milliseconds = d->Delay;
    return TK_Success;
}

int TK_GetPlaybackIndex(TKPlayback playback, int32_t* index)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    const TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (!index)
        return TK_ErrParameter;
    *index = d->Shown >= 0 ? d->Shown : d->Next;
    return TK_Success;
}

int TK_SetPlaybackIndex(TKPlayback playback, int32_t index)
{
    std::lock_guard<std::mutex> lock(Playbacks().Lock);
    TPlaybackData* d = Find(playback);
    if (!d)
        return TK_ErrBitmapHandle;
    if (index < 0 || size_t(index) > d->Pages.size())
        return TK_ErrParameter;
    ResetCanvas(*d);
    for (int32_t i = 0; i < index; ++i) {
        DisposeShown(*d);
        Compose(*d, i);
    }
    d->Next = index;
    d->PaintPending = false;
    d->Waiting = false;
    d->Delay = 0;
    d->State = TKPS_NeedPages;
    return TK_Success;
}

int TK_DestroyPlayback(TKPlayback playback, TKBitmapList* list)
{
    std::unique_ptr<TPlaybackData> d;
    {
        TPlaybacks& p = Playbacks();
        std::lock_guard<std::mutex> lock(p.Lock);
        const auto it = p.Items.find(playback);
        if (it == p.Items.end())
            return TK_ErrBitmapHandle;
        d = std::move(it->second);
        p.Items.erase(it);
    }
    if (!list)
        return TK_Success;
    *list = 0;
    if (d->Pages.empty())
        return TK_Success;
    TKBitmapList made = 0;
    int r = TK_CreateBitmapList(&made);
    if (r != TK_Success)
        return r;
    for (const TPage& page : d->Pages) {
        r = TK_InsertBitmapListItem(made, -1, &page.Bitmap);
        if (r != TK_Success) {
            TK_DestroyBitmapList(made);
            return r;
        }
        TK_SetBitmapFrameInfo(&page.Bitmap, &page.Info);
    }
    *list = made;
    return TK_Success;
}
