#pragma once

// Icon and cursor handles: the window system's icon objects, rebuilt on QImage.
//
// A handle names an immutable icon (a colour image with its AND mask, or a 32-bit image with
// alpha) held in a process-wide table. Handles are plain values as the window system's are:
// copying the value does not copy the icon, CopyIcon makes a new handle, DestroyIcon releases one.
// A destroyed or made-up handle is refused by every call (false or a null result), never used.
// The calls may be made from any thread.

#include <QImage>
#include <cstddef>
#include <cstdint>

class QPainter;

struct HICON_tag;
using HICON = HICON_tag*;
using HCURSOR = HICON;

// The device context of this layer: the painter the framework's canvas draws with.
using HDC = QPainter*;

// Resource formats understood by CreateIconFromResourceEx.
constexpr uint32_t kIconResourceVersion = 0x00030000;
constexpr uint32_t kIconResourceVersion2 = 0x00020000;

// Load flags of CreateIconFromResourceEx.
constexpr unsigned LR_DEFAULTCOLOR = 0x0000;
constexpr unsigned LR_DEFAULTSIZE = 0x0040;

// DrawIconEx flags.
constexpr unsigned DI_MASK = 0x0001;
constexpr unsigned DI_IMAGE = 0x0002;
constexpr unsigned DI_NORMAL = 0x0003;
constexpr unsigned DI_COMPAT = 0x0004;
constexpr unsigned DI_DEFAULTSIZE = 0x0008;
constexpr unsigned DI_NOMIRROR = 0x0010;

// Largest side of an icon this layer creates, from data or as a desired size. Icon formats carry
// at most 256 pixels; the margin covers oversized PNG entries without letting a few header bytes
// ask for gigabytes.
constexpr int kMaxIconSide = 1024;

// What GetIconInfo returns and CreateIconIndirect takes. The bitmaps are images owned by the
// structure (nothing to delete afterwards).
//  - hbmMask: QImage::Format_Mono, a set bit (index 1) marks a pixel where the background shows.
//    For a monochrome icon (hbmColor null) it is twice the icon's height: the AND mask in the top
//    half, the XOR bits in the bottom half.
//  - hbmColor: the XOR colours, QImage::Format_ARGB32 (not premultiplied) when the icon carries
//    alpha, Format_RGB32 otherwise; null for a monochrome icon.
struct ICONINFO {
    bool fIcon = true;
    uint32_t xHotspot = 0;
    uint32_t yHotspot = 0;
    QImage hbmMask;
    QImage hbmColor;
};

// Creates an icon or cursor from one image of an icon or cursor resource: a DIB with a 40-byte
// (or larger) information header whose height field holds twice the image height, its colour table
// (1, 4 and 8 bits), the XOR rows and the AND mask rows, both bottom row first; or a PNG stream,
// recognised by its signature. A cursor's data (fIcon false) starts with its hot spot, two uint16.
//
// cxDesired/cyDesired: 0 takes the image's own size (or the system icon size with LR_DEFAULTSIZE).
// Another size scales the image with nearest-pixel sampling of the colour and the mask together,
// taking for each target pixel the source pixel under its centre: palette colours stay exact and
// the mask stays crisp, as the window system's own icon stretching does.
//
// 32-bit images whose alpha bytes are all 0 are drawn through their mask; any other 32-bit image
// and every PNG image draws with its alpha. A 1-bit image with a black-and-white colour table makes
// a monochrome icon.
//
// Returns null for anything malformed or out of bounds; never reads outside [presbits, +dwResSize).
HICON CreateIconFromResourceEx(const uint8_t* presbits, uint32_t dwResSize, bool fIcon, uint32_t dwVer,
                               int cxDesired, int cyDesired, unsigned Flags);
// The same at the image's own size.
HICON CreateIconFromResource(const uint8_t* presbits, uint32_t dwResSize, bool fIcon, uint32_t dwVer);

// Creates an icon from a mask and colour bitmap (see ICONINFO). An icon's hot spot is its centre
// whatever the structure says; a cursor keeps the given one. Null when the mask is missing or the
// sizes do not agree.
HICON CreateIconIndirect(const ICONINFO* piconinfo);

// A new handle for the same icon.
HICON CopyIcon(HICON hIcon);
// Releases a handle. False for a null, unknown or already destroyed handle.
bool DestroyIcon(HICON hIcon);
inline bool DestroyCursor(HCURSOR hCursor) { return DestroyIcon(hCursor); }

// Copies of the icon's bitmaps and its hot spot (an icon's is its centre).
bool GetIconInfo(HICON hIcon, ICONINFO* piconinfo);

// Draws an icon with its top-left corner at (xLeft, yTop). cxWidth/cyWidth 0 mean the icon's own
// size, or the system icon size with DI_DEFAULTSIZE; another size stretches it with nearest-pixel
// sampling. DI_NORMAL draws the mask then the colours, so that pixels of a set mask bit (and fully
// transparent alpha pixels) leave the background; pixels that the window system would invert show
// the background too, since a widget painter cannot invert. DI_MASK alone blackens the opaque
// pixels; DI_IMAGE alone copies the colours (with their alpha when the icon has alpha).
// istepIfAniCur and hbrFlickerFreeDraw are accepted for the call's shape and not used.
bool DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, unsigned istepIfAniCur,
                void* hbrFlickerFreeDraw, unsigned diFlags);
// Draws at the system icon size.
bool DrawIcon(HDC hdc, int x, int y, HICON hIcon);

// The icon as one non-premultiplied ARGB image of its own size, as DI_NORMAL would draw it over a
// transparent background: the alpha channel comes from the image's alpha or from the mask. Null
// image for an unknown handle.
QImage IconToImage(HICON hIcon);
// The icon's size; false for an unknown handle.
bool GetIconSize(HICON hIcon, int* width, int* height);

// Loads a cursor file (.cur): its image that suits the system cursor size best, made at that size,
// with the hot spot its directory entry gives (moved with the picture when it is scaled). Null for
// a file that cannot be read or is no cursor file.
HCURSOR LoadCursorFromFile(const QString& lpFileName);

// Picks the image of an icon or cursor directory that suits a size best. presbits/size hold an
// icon-group resource (6-byte header, 14-byte entries) or, with fileEntries set, the directory of an
// .ico or .cur file (16-byte entries). The nearest size wins (sum of the width and height
// differences, an entry's 0 meaning 256); among equally near entries the one with more colour
// bits, then the first. cxDesired/cyDesired 0 mean the system icon size (cursor size for cursors).
// Returns the entry's index, or -1 when the directory is malformed or empty.
int BestIconDirectoryEntry(const uint8_t* presbits, size_t size, bool fIcon, int cxDesired, int cyDesired,
                           bool fileEntries);
// The window system's form of the same choice over a group resource: the identifier (nID) of the
// chosen image's icon or cursor resource, 0 when there is none. Takes the resource's size, which
// the original does not, so that it never reads past it.
int LookupIconIdFromDirectoryEx(const uint8_t* presbits, size_t size, bool fIcon, int cxDesired, int cyDesired,
                                unsigned Flags);
