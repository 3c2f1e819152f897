#pragma once

// The system's GIF picture: a multi-frame image with a shared logical-screen header, one
// TGIFFrame per image block with the extension blocks that GIF 89a attaches to it, and the
// reader and writer of GIF 87a and 89a.

#include "framework/object.h"
#include "framework/types.h"
#include "imaging/gif/gif_lzw.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class TStream;
class TMemoryStream;
class TGIFImage;
class GifReader;

// Data errors mark a frame corrupted instead of raising; always on in this system.
extern bool GifAcceptCorrupted;

// The largest frame side the codec decodes; larger frames are refused as corrupt data.
inline constexpr int GifMaxFrameSide = 16384;

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

// The image header, shared by images copied from one another.
struct TGIFData {
    QStringList Comment;
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
    QStringList Data;

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
    QStringList& GetComment();
    void SetComment(const QStringList& lines);

    // The frame's data and extensions, as read or encoded.
    const std::shared_ptr<TGIFItem>& ImageData() const { return data_; }
    const std::vector<std::unique_ptr<TExtension>>& Extensions() const { return extensions_; }
    bool HasData() const;

    // The frame as a BMP-file image of 1, 4 or 8 bits, decoded from its data.
    QByteArray DecodeToDib();
    // Encodes a BMP-file image of 1, 4 or 8 bits into the frame's data.
    void EncodeFromDib(const QByteArray& dib);
    void UpdateExtensions();

private:
    friend class TGIFImage;
    bool ReadFrame(GifReader& in);
    void WriteFrame(TStream* out);
    TExtension* LastGraphicControl() const;

    TGIFImage* owner_;
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

class TGIFImage : public TPersistent {
public:
    TGIFImage();
    ~TGIFImage() override;
    QString ClassName() const override { return QStringLiteral("TGIFImage"); }

    void ResetImage();
    void Clear();
    int GetCount() const { return int(items_.size()); }
    TGIFFrame* GetFrame(int index) const;
    int FrameIndex = -1;
    void SetFrameIndex(int index);
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
    const QStringList& GetComment() const;
    void SetComment(const QStringList& lines);
    const std::shared_ptr<TGIFData>& Header() const { return header_; }

    void ReadGif(int64_t count, TStream* source, bool decodeFirst);
    void WriteGif(TStream* target, bool sizePrefix);

    // Progress of decoding and encoding, as the picture's progress event reports it.
    TGifProgressProc OnGifProgress;
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    void NewFrameForTest(std::unique_ptr<TGIFFrame> frame);

private:
    friend class TGIFFrame;
    void UnshareHeader();
    void EncodeFrames(bool redecode);
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
