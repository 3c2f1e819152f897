#pragma once

// The system's GIF picture: a multi-frame image with a shared logical-screen header, one
// TGIFFrame per image block with the extension blocks that GIF 89a attaches to it, and the
// reader and writer of GIF 87a and 89a.

#include "framework/graphic.h"
#include "framework/string_list.h"
#include "framework/types.h"
#include "imaging/gif/gif_lzw.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TStream;
class TMemoryStream;
class TGIFImage;
class GifReader;

// Data errors mark a frame corrupted instead of raising; always on in this system.
extern bool GifAcceptCorrupted;

// The most pixels a frame the codec decodes may have, whatever its shape (a 65535 by 1 frame is
// sound); larger frames are refused as corrupt data.
inline constexpr int64_t GifMaxFramePixels = int64_t(1) << 26;

inline constexpr TColor GifNoColor = 0x1FFFFFFF; // the framework's clNone

// A GIF colour table: count 0 (none) or a power of two up to 256, entries red, green, blue.
struct TGIFColorTable {
    int Count = 0;
    uint8_t Colors[256][3] = {};

    TColor Color(int index) const { return Colors[index][0] | (Colors[index][1] << 8) | (Colors[index][2] << 16); }
};

// Index of the first entry equal to color (system colours resolved first); -1 for clNone or no
// match.
int FindTableColor(const TGIFColorTable& table, TColor color);
// "", "87a" or "89a" for 0, 1 and 2.
QString GifVersionName(int version);

// The clipboard format "GIF Image", registered at start-up.
extern TClipFormat CF_GIFIMAGE;
// Registers TGIFImage for the extension "gif" and the clipboard format "GIF Image"; done once at
// start-up (and when this module is linked in). UnregisterGifFormat undoes it.
void RegisterGifFormat();
void UnregisterGifFormat();

// The image header, shared by images copied from one another.
struct TGIFData {
    TGIFData() = default;
    TGIFData(const TGIFData& other);
    TStringList Comment;
    uint8_t AspectRatio = 0;
    int BitsPerPixel = 0;
    int ColorResBits = 0;
    TGIFColorTable ColorMap;
};

// One frame's image data, shared by frames copied from one another.
struct TGIFItem {
    TGIFItem();
    ~TGIFItem();
    std::unique_ptr<TMemoryStream> ZData; // minimum code size, sub-blocks, terminator
    int Width = 0;
    int Height = 0;
    uint8_t PackedFields = 0;
    int BitsPerPixel = 0;
    TGIFColorTable ColorMap;
};

enum TGIFExtensionType : uint8_t { etGraphic = 0, etPlainText = 1, etApplication = 2, etComment = 3 };

class TExtension : public TPersistent {
public:
    TGIFExtensionType ExtType = etComment;
    // The block-size byte and the bytes behind it as they stand in the file.
    QByteArray ExtRec;
    // One line per data sub-block; each character is one byte.
    TStringList Data;

    QString ClassName() const override { return QStringLiteral("TExtension"); }
    void Assign(TPersistent* source) override;
    static uint8_t Label(TGIFExtensionType type);
};

class TGIFFrame : public TPersistent {
public:
    explicit TGIFFrame(TGIFImage* owner);
    ~TGIFFrame() override;
    QString ClassName() const override { return QStringLiteral("TGIFFrame"); }

    TGIFImage* Owner() const { return owner_; }
    void ResetData();

    int GetWidth();
    int GetHeight();
    TPoint Origin() const { return origin_; }
    void SetOrigin(const TPoint& origin);
    uint16_t Delay() const { return delay_; }
    void SetDelay(uint16_t ms);
    uint8_t Disposal() const { return disposal_; }
    void SetDisposal(uint8_t disposal);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor color);
    bool Interlaced() const { return interlaced_; }
    bool Corrupted() const { return corrupted_; }
    bool GrayScale() const { return grayScale_; }
    bool LocalColors() const { return localColors_; }
    TStrings* GetComment();
    void SetComment(TStrings* lines);

    // The frame's picture, decoded from its data on first use.
    TBitmap* GetBitmap();
    void Draw(TCanvas* canvas, const TRect& rect, bool transparent);
    void Assign(TPersistent* source) override;

    // The frame's data and extensions, as read or encoded.
    const std::shared_ptr<TGIFItem>& ImageData() const { return data_; }
    const std::vector<std::unique_ptr<TExtension>>& Extensions() const { return extensions_; }
    bool HasData() const;

    // The frame as a BMP-file image of 1, 4 or 8 bits, decoded from its data.
    QByteArray DecodeToDib();
    // The frame decoded into a new bitmap of 1, 4 or 8 bits with its colour table, as
    // GetBitmap makes it.
    std::unique_ptr<TBitmap> DecodeToBitmap();
    // Encodes a BMP-file image of 1, 4 or 8 bits into the frame's data.
    void EncodeFromDib(const QByteArray& dib);
    void UpdateExtensions();
    // Encodes the bitmap into the frame's data, reducing a deep one to 256 colours.
    void EncodeFrame();
    // Replaces the colour table with its greys (for every sharer of the data) or reduces the
    // bitmap to greys, and with encode on makes the data from it.
    void ConvertToGrayscale(bool encode);

protected:
    void AssignTo(TPersistent* dest) override;

private:
    friend class TGIFImage;
    TExtension* FindComment() const;
    bool ReadFrame(GifReader& in);
    void WriteFrame(TStream* out);
    // Bits per pixel of the decoded picture (1, 4 or 8) for the frame's colour table.
    int DecodeDepth() const;
    // Decodes the frame's data into zero-filled rows of that depth; marks the frame corrupted
    // when the data is.
    void DecodeRows(uint8_t* pixels, size_t size, int depth, bool topDown);
    TExtension* LastGraphicControl() const;

    TGIFImage* owner_;
    std::unique_ptr<TBitmap> bitmap_;
    std::shared_ptr<TGIFItem> data_;
    std::vector<std::unique_ptr<TExtension>> extensions_;
    TPoint origin_;
    bool interlaced_ = false;
    bool corrupted_ = false;
    bool grayScale_ = false;
    bool localColors_ = false;
    TColor transparentColor_ = GifNoColor;
    uint16_t delay_ = 0;
    uint8_t disposal_ = 0;
};

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;
    QString ClassName() const override { return QStringLiteral("TGIFImage"); }

    // ---- The picture ----
    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetEmpty() const override;
    int GetWidth() override;
    int GetHeight() override;
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void LoadFromClipboardFormat(TClipFormat format, const QByteArray& data) override;
    // The whole file as "GIF Image" when every frame has data, else frame 0's bitmap.
    void SaveToClipboardFormat(TClipFormat& format, QByteArray& data) override;
    // Frame 0's bitmap as a bitmap and, when every frame has data, the whole file as "GIF Image".
    void CopyToClipboard();
    void Assign(TPersistent* source) override;
    // The palette of the current bitmap; empty without frames.
    std::vector<uint32_t> GetPalette();
    // The framework's transparency switch is on and some frame has a transparent colour.
    bool IsTransparent() const;
    bool Equals(TGraphic* other) const;
    // Form data: a 4-byte byte count and the file.
    void ReadData(TStream* stream);
    void WriteData(TStream* stream);

    void ResetImage();
    void Clear();
    int GetCount() const { return int(items_.size()); }
    TGIFFrame* GetFrame(int index) const;
    int FrameIndex = -1;
    void SetFrameIndex(int index);
    // Appends a frame made from any picture and makes it current; returns its index.
    virtual int AddFrame(TGraphic* graphic);
    void DeleteFrame(int index);
    void MoveFrame(int from, int to);

    uint8_t Version = 0;
    bool Looping = false;
    uint16_t RepeatCount = 1;
    void SetLooping(bool value);
    void SetRepeatCount(uint16_t value);
    TColor GetBackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor color);
    bool IsCorrupted() const;
    TColor GetTransparentColor() const;
    int GetScreenWidth() const;
    int GetScreenHeight() const;
    void RecomputeScreenSize();
    TStrings* GetComment();
    void SetComment(TStrings* lines);
    // The current frame's bitmap (frame 0's when the index is outside the list); an image
    // without frames first gets one frame made from an empty bitmap.
    TBitmap* CurrentBitmap();
    void DecodeAllFrames();
    void EncodeAllFrames();
    void EncodeFrames(bool redecode);
    void ConvertToGrayscale(bool encode);
    const std::shared_ptr<TGIFData>& Header() const { return header_; }

    // Reads a whole GIF of count bytes. Extension blocks of unknown labels are skipped; a frame
    // without any colour table (no local and no global one) decodes with a grey ramp from black to
    // white of 2^n entries, n its minimum code size (8 outside 1..8); frames of width or height 0
    // stay empty; the logical screen is the header's.
    void ReadGif(int64_t count, TStream* source, bool decodeFirst);
    void WriteGif(TStream* target, bool sizePrefix);

    // Progress of decoding and encoding: the picture's progress event.
    TGifProgressProc OnProgress;

protected:
    void AssignTo(TPersistent* dest) override;
    void Changed() { TGraphic::Changed(this); }

private:
    friend class TGIFFrame;
    void UnshareHeader();
    void DecodeFirstFrame();
    void ReadExtensionBlocks(GifReader& in, uint8_t& separator, std::vector<std::unique_ptr<TExtension>>& list);
    void GrowScreen(int right, int bottom);

    std::shared_ptr<TGIFData> header_;
    std::vector<std::unique_ptr<TGIFFrame>> items_;
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;
    TColor backgroundColor_ = GifNoColor;
    bool corrupted_ = false;
    bool paletteModified_ = false;
};
