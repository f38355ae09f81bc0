// MetafileDecoders: WMF pictures drawn into pixels through libwmf, EMF pictures turned into SVG through
// libemf2svg. No Qt here: the libraries' headers stay apart from Qt's, and these calls run in the child
// process that reads a metafile (MetafilePicture).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class MetafileKind { None, Wmf, Emf };

// What the first bytes say: a WMF (with or without the placeable header) or an EMF.
MetafileKind MetafileKindOf(const unsigned char* data, size_t size);

// A WMF as its records draw it, clear where they draw nothing: its size in pixels and in millimetres, its
// pixels as 0xAARRGGBB values (not premultiplied), rows from the top.
struct WmfPixels {
    uint32_t width = 0, height = 0;
    double widthMm = 0, heightMm = 0;
    std::vector<uint32_t> argb;
};
// Draws the WMF at `dpi`, or at the lower resolution that keeps it within `maxPixels`; false when the
// data is no WMF the library can draw.
bool DrawWmf(const unsigned char* data, size_t size, double dpi, uint64_t maxPixels, WmfPixels& out);

// An EMF as an SVG document, with the size of the EMF's frame.
struct EmfSvg {
    std::string svg;
    double widthMm = 0, heightMm = 0;
};
// False when the data is no EMF the library can turn into SVG.
bool ConvertEmf(const unsigned char* data, size_t size, EmfSvg& out);
