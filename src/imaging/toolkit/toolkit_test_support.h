#pragma once

// Helpers of the toolkit tests: layered pictures and animations made by the image library itself,
// and a switch that hides a layer of a layered picture, which the library cannot write.

#include "imaging/toolkit/imaging_test_support.h"

#include <Magick++.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace toolkit_test {

struct TLayerSpec {
    int Width;
    int Height;
    int Left;
    int Top;
    uint32_t Rgba; // 0xRRGGBBAA
    const char* Name;
    bool Hidden = false;
};

inline uint32_t BigEndian32(const QByteArray& d, qsizetype at)
{
    return uint32_t(uint8_t(d[at])) << 24 | uint32_t(uint8_t(d[at + 1])) << 16 | uint32_t(uint8_t(d[at + 2])) << 8 |
           uint32_t(uint8_t(d[at + 3]));
}

inline uint16_t BigEndian16(const QByteArray& d, qsizetype at)
{
    return uint16_t(uint8_t(d[at]) << 8 | uint8_t(d[at + 1]));
}

// Where each layer record of a layered picture starts, how many channels it has and how many
// bytes of pixel data they hold; dataStart gets where the pixel data of the first layer starts.
struct TLayerRecord {
    qsizetype Start;
    int Channels;
    qsizetype DataBytes;
};

inline std::vector<TLayerRecord> LayerRecords(const QByteArray& d, qsizetype& dataStart)
{
    qsizetype at = 26;
    at += 4 + BigEndian32(d, at); // colour mode data
    at += 4 + BigEndian32(d, at); // image resources
    at += 8;                      // layer and mask section length, layer info length
    const int count = std::abs(int16_t(BigEndian16(d, at)));
    at += 2;
    std::vector<TLayerRecord> records;
    for (int i = 0; i < count; ++i) {
        TLayerRecord r{at, BigEndian16(d, at + 16), 0};
        at += 18;
        for (int c = 0; c < r.Channels; ++c, at += 6)
            r.DataBytes += BigEndian32(d, at + 2);
        at += 12; // blend signature and mode, opacity, clipping, flags, filler
        at += 4 + BigEndian32(d, at);
        records.push_back(r);
    }
    dataStart = at;
    return records;
}

// Sets the hidden bit of layer `layer` in the layer records of a layered picture.
inline void HideLayer(QByteArray& d, int layer)
{
    qsizetype dataStart = 0;
    const TLayerRecord r = LayerRecords(d, dataStart)[size_t(layer)];
    const qsizetype flags = r.Start + 18 + r.Channels * 6 + 10;
    d[flags] = char(uint8_t(d[flags]) | 0x02);
}

// Gives the first channel of layer `layer` a compression method no reader knows, so that its
// pixels cannot be read while its record and the other layers stay sound.
inline void DamageLayerData(QByteArray& d, int layer)
{
    qsizetype at = 0;
    const std::vector<TLayerRecord> records = LayerRecords(d, at);
    for (int i = 0; i < layer; ++i)
        at += records[size_t(i)].DataBytes;
    d[at] = char(0x77);
    d[at + 1] = char(0x77);
}

// A picture of one colour, its transparency included.
inline Magick::Image SolidImage(int width, int height, uint32_t rgba)
{
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(rgba >> 24);
        pixels[i + 1] = uint8_t(rgba >> 16);
        pixels[i + 2] = uint8_t(rgba >> 8);
        pixels[i + 3] = uint8_t(rgba);
    }
    return Magick::Image(size_t(width), size_t(height), "RGBA", Magick::CharPixel, pixels.data());
}

// A layered picture of width x height: the composite in one colour, then the layers.
inline QByteArray MakePsd(int width, int height, uint32_t compositeRgba, const std::vector<TLayerSpec>& layers)
{
    std::list<Magick::Image> images;
    images.push_back(SolidImage(width, height, compositeRgba));
    for (const TLayerSpec& layerDef : layers) {
        Magick::Image layer = SolidImage(layerDef.Width, layerDef.Height, layerDef.Rgba);
        layer.page(Magick::Geometry(size_t(layerDef.Width), size_t(layerDef.Height), layerDef.Left, layerDef.Top));
        layer.label(layerDef.Name);
        images.push_back(layer);
    }
    for (Magick::Image& i : images)
        i.magick("PSD");
    Magick::Blob blob;
    Magick::writeImages(images.begin(), images.end(), &blob, true);
    const auto* bytes = static_cast<const char*>(blob.data());
    QByteArray data(bytes, qsizetype(blob.length()));
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i].Hidden)
            HideLayer(data, int(i));
    return data;
}

// Two layers: an opaque red background over the whole picture and a half-transparent blue square
// at (5, 7).
inline QByteArray TwoLayerPsd()
{
    return MakePsd(40, 30, 0xFFFFFFFF, {{40, 30, 0, 0, 0xFF0000FF, "Background"}, {10, 8, 5, 7, 0x0000FF80, "Blue"}});
}

// Three layers, the third hidden and a quarter opaque.
inline QByteArray ThreeLayerPsd()
{
    return MakePsd(32, 24, 0x808080FF,
                   {{32, 24, 0, 0, 0xFFFF00FF, "Paper"},
                    {12, 6, 3, 9, 0x008000FF, "Green"},
                    {6, 6, 20, 2, 0xFF00FF40, "Hidden", true}});
}

// An animation of `frames` frames of 6 x 4 pixels in the outside library's format `magick`,
// written without loss, each frame in a colour of its own.
inline QByteArray MakeAnimation(int frames, bool loop, const char* magick)
{
    static const char* const colours[] = {"red", "lime", "blue", "yellow", "cyan"};
    std::list<Magick::Image> images;
    for (int i = 0; i < frames; ++i) {
        Magick::Image frame(Magick::Geometry(6, 4), Magick::Color(colours[i % 5]));
        frame.animationDelay(10);
        frame.animationIterations(loop ? 0 : 1);
        frame.magick(magick);
        frame.defineValue("webp", "lossless", "true");
        images.push_back(frame);
    }
    Magick::Blob out;
    Magick::writeImages(images.begin(), images.end(), &out, true);
    return QByteArray(static_cast<const char*>(out.data()), qsizetype(out.length()));
}

inline QByteArray MakeGif(int frames, bool loop)
{
    return MakeAnimation(frames, loop, "GIF");
}

// A still GIF of 16 x 16 pixels in 256 colours, each pixel a colour of its own: red = the
// pixel's number, green = 255 - red, blue = red * 7.
inline QByteArray MakeGif256()
{
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 256; ++i) {
        rgb.push_back(uint8_t(i));
        rgb.push_back(uint8_t(255 - i));
        rgb.push_back(uint8_t(i * 7));
    }
    Magick::Image image(16, 16, "RGB", Magick::CharPixel, rgb.data());
    image.magick("GIF");
    Magick::Blob out;
    image.write(&out);
    return QByteArray(static_cast<const char*>(out.data()), qsizetype(out.length()));
}

// The global colour table of a GIF file as 0x00BBGGRR entries; empty without one.
inline std::vector<uint32_t> GifGlobalTable(const QByteArray& gif)
{
    std::vector<uint32_t> table;
    if (gif.size() < 13 || !(uint8_t(gif[10]) & 0x80))
        return table;
    const int entries = 2 << (uint8_t(gif[10]) & 7);
    for (int i = 0; i < entries && 13 + i * 3 + 2 < gif.size(); ++i)
        table.push_back(uint32_t(uint8_t(gif[13 + i * 3])) | uint32_t(uint8_t(gif[14 + i * 3])) << 8 |
                        uint32_t(uint8_t(gif[15 + i * 3])) << 16);
    return table;
}

} // namespace toolkit_test
