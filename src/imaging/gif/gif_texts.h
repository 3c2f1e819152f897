#pragma once

// Fixed texts of the GIF codec's errors (string table 61092..61100).
namespace GifText {
inline constexpr const char* UnknownVersion = "Unknown GIF version";
inline constexpr const char* EncodeError = "GIF image encoding error";
inline constexpr const char* DecodeError = "GIF encoded data is corrupt";
inline constexpr const char* BadCodeSize = "GIF code size not in range 2 to 9";
inline constexpr const char* WrongPaletteSize = "Wrong number of colors; must be a power of 2";
inline constexpr const char* UnrecognizedExtension = "Unrecognized extension block: %1";
inline constexpr const char* NoGifData = "No GIF Data to write";
inline constexpr const char* ChangeGifSize = "Cannot change the Size of a GIF image";
inline constexpr const char* GifImageDescription = "CompuServe GIF Image";
} // namespace GifText
