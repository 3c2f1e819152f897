#pragma once

// Writers of the two Windows metafile formats for a raster picture, since the image library of
// this platform writes neither: a placeable WMF whose picture is one StretchDIB record, and an
// EMF of a header, one EMR_STRETCHDIBITS record and the end record. Both hold the pixels as a
// 24-bit device-independent bitmap at 96 pixels per inch; metafiles carry no transparency, so
// pixels that are not opaque are laid over white, as the exports flatten pictures.

#include "framework/magick_bridge.h"

#include <QByteArray>

// The largest side a WMF can hold: its coordinates are 16-bit.
inline constexpr int MaxWmfSide = 32767;

// Empty for an empty picture or (WMF) one wider or taller than MaxWmfSide.
QByteArray WriteWmf(const TRGBABuffer& picture);
QByteArray WriteEmf(const TRGBABuffer& picture);
