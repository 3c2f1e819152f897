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
    const char* Colour; // in the library's colour syntax, e.g. "rgba(255,0,0,0.5)"
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

// Sets the hidden bit of layer `layer` in the layer records of a layered picture.
inline void HideLayer(QByteArray& d, int layer)
{
    qsizetype at = 26;
    at += 4 + BigEndian32(d, at); // colour mode data
    at += 4 + BigEndian32(d, at); // image resources
    at += 8;                      // layer and mask section length, layer info length
    const int count = std::abs(int16_t(BigEndian16(d, at)));
    at += 2;
    for (int i = 0; i < count; ++i) {
        at += 16;
        const int channels = BigEndian16(d, at);
        at += 2 + channels * 6 + 8; // channel table, blend signature and mode
        if (i == layer)
            d[at + 2] = char(uint8_t(d[at + 2]) | 0x02);
        at += 4;
        at += 4 + BigEndian32(d, at);
    }
}

// A layered picture of width x height: the composite in compositeColour, then the layers.
inline QByteArray MakePsd(int width, int height, const char* compositeColour, const std::vector<TLayerSpec>& layers)
{
    std::list<Magick::Image> images;
    Magick::Image composite{Magick::Geometry(size_t(width), size_t(height)), Magick::Color(compositeColour)};
    composite.matte(true);
    images.push_back(composite);
    for (const TLayerSpec& spec : layers) {
        Magick::Image layer{Magick::Geometry(size_t(spec.Width), size_t(spec.Height)), Magick::Color(spec.Colour)};
        layer.matte(true);
        layer.page(Magick::Geometry(size_t(spec.Width), size_t(spec.Height), spec.Left, spec.Top));
        layer.label(spec.Name);
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
    return MakePsd(40, 30, "white", {{40, 30, 0, 0, "red", "Background"}, {10, 8, 5, 7, "rgba(0,0,255,0.5)", "Blue"}});
}

// Three layers, the third hidden.
inline QByteArray ThreeLayerPsd()
{
    return MakePsd(32, 24, "gray",
                   {{32, 24, 0, 0, "yellow", "Paper"},
                    {12, 6, 3, 9, "rgb(0,128,0)", "Green"},
                    {6, 6, 20, 2, "rgba(255,0,255,0.25)", "Hidden", true}});
}

// An animation of `frames` frames of 6 x 4 pixels, each in a colour of its own.
inline QByteArray MakeGif(int frames, bool loop)
{
    static const char* const colours[] = {"red", "lime", "blue", "yellow", "cyan"};
    std::list<Magick::Image> images;
    for (int i = 0; i < frames; ++i) {
        Magick::Image frame(Magick::Geometry(6, 4), Magick::Color(colours[i % 5]));
        frame.animationDelay(10);
        frame.animationIterations(loop ? 0 : 1);
        frame.magick("GIF");
        images.push_back(frame);
    }
    Magick::Blob out;
    Magick::writeImages(images.begin(), images.end(), &out, true);
    return QByteArray(static_cast<const char*>(out.data()), qsizetype(out.length()));
}

} // namespace toolkit_test
