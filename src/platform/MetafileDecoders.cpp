// WMF pictures through libwmf's gd layer, EMF pictures through libemf2svg.
#include "platform/MetafileDecoders.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kWmfHeaderSize = 18;
constexpr uint32_t kEmfHeaderType = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kEmfSignatureEnd = 44;
constexpr size_t kEmfHeaderSize = 88;
// Device units of a metafile without the placeable header, as the library reckons them: points for a
// small picture, twips for a large one.
constexpr double kPointsPerInch = 72, kTwipsPerInch = 1440;
constexpr double kMmPerInch = 25.4;

uint16_t u16(const unsigned char* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t u32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int16_t s16(const unsigned char* p) {
    return int16_t(u16(p));
}
int32_t s32(const unsigned char* p) {
    return int32_t(u32(p));
}

// The WMF header: in memory or on disk, 9 words long, version 1 or 3.
bool wmfHeaderAt(const unsigned char* data, size_t size, size_t at) {
    if (size < at + kWmfHeaderSize) return false;
    const unsigned char* h = data + at;
    const uint16_t type = u16(h), words = u16(h + 2), version = u16(h + 4);
    return (type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300);
}

struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi() {
        if (api) wmf_api_destroy(api);
    }
};

uint32_t argbOfGd(int pixel) {
    // gd keeps 7 bits of transparency above the colour: 0 opaque, 127 clear.
    const uint32_t clear = (uint32_t(pixel) >> 24) & 0x7F;
    const uint32_t alpha = 255 - (clear * 255 + 63) / 127;
    return (alpha << 24) | (uint32_t(pixel) & 0xFFFFFF);
}

}  // namespace

MetafileKind MetafileKindOf(const unsigned char* data, size_t size) {
    if (size >= kPlaceableSize && u32(data) == kPlaceableKey)
        return wmfHeaderAt(data, size, kPlaceableSize) ? MetafileKind::Wmf : MetafileKind::None;
    if (wmfHeaderAt(data, size, 0)) return MetafileKind::Wmf;
    if (size >= kEmfSignatureEnd && u32(data) == kEmfHeaderType && u32(data + 40) == kEmfSignature)
        return MetafileKind::Emf;
    return MetafileKind::None;
}

bool DrawWmf(const unsigned char* data, size_t size, double dpi, uint64_t maxPixels, WmfPixels& out) {
    if (MetafileKindOf(data, size) != MetafileKind::Wmf || !(dpi > 0) || maxPixels == 0) return false;
    const bool placeable = u32(data) == kPlaceableKey;
    double unitsWide = 0, unitsHigh = 0, unitsPerInch = 0;
    if (placeable) {
        // The frame, in the file's units from the window's origin, and those units an inch.
        unitsWide = std::abs(double(s16(data + 10)) - s16(data + 6));
        unitsHigh = std::abs(double(s16(data + 12)) - s16(data + 8));
        unitsPerInch = u16(data + 14);
        if (unitsWide == 0 || unitsHigh == 0 || unitsPerInch == 0) return false;
    }
    // The library reads the bytes in place and may keep pointers into them until it is destroyed.
    std::vector<unsigned char> bytes(data, data + size);
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_gd_function;
    WmfApi wmf;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&wmf.api, flags, &options) != wmf_E_None || !wmf.api) return false;
    wmf_gd_t* device = WMF_GD_GetData(wmf.api);
    device->type = wmf_gd_image;
    if (wmf_mem_open(wmf.api, bytes.data(), long(bytes.size())) != wmf_E_None) return false;
    wmfD_Rect drawn;
    if (wmf_scan(wmf.api, 0, &drawn) != wmf_E_None) return false;
    wmfD_Rect frame;
    if (placeable) {
        // The library places the window's origin at (0, 0) and counts in points.
        frame.TL.x = frame.TL.y = 0;
        frame.BR.x = float(unitsWide * kPointsPerInch / unitsPerInch);
        frame.BR.y = float(unitsHigh * kPointsPerInch / unitsPerInch);
    } else {
        // Without a frame the picture is what it draws.
        frame = drawn;
        unitsWide = double(drawn.BR.x) - drawn.TL.x;
        unitsHigh = double(drawn.BR.y) - drawn.TL.y;
        unitsPerInch = unitsWide * unitsHigh < 1024.0 * 1024.0 ? kPointsPerInch : kTwipsPerInch;
    }
    if (!std::isfinite(unitsWide) || !std::isfinite(unitsHigh) || !(unitsWide > 0) || !(unitsHigh > 0))
        return false;
    const double inchesWide = unitsWide / unitsPerInch, inchesHigh = unitsHigh / unitsPerInch;
    double resolution = dpi;
    const double atDpi = inchesWide * dpi * inchesHigh * dpi;
    if (atDpi > double(maxPixels)) resolution = dpi * std::sqrt(double(maxPixels) / atDpi);
    const double wide = std::max(1.0, std::floor(inchesWide * resolution + 0.5));
    const double high = std::max(1.0, std::floor(inchesHigh * resolution + 0.5));
    if (wide * high > double(maxPixels)) return false;  // a sliver thinner than a pixel and endlessly long
    device->bbox = frame;
    device->width = unsigned(wide);
    device->height = unsigned(high);
    wmfD_Rect played = frame;
    if (wmf_play(wmf.api, 0, &played) != wmf_E_None || !device->gd_image) return false;
    const int* pixels = wmf_gd_image_pixels(device->gd_image);
    if (!pixels) return false;
    out.width = device->width;
    out.height = device->height;
    out.widthMm = inchesWide * kMmPerInch;
    out.heightMm = inchesHigh * kMmPerInch;
    out.argb.resize(size_t(out.width) * out.height);
    for (size_t i = 0; i < out.argb.size(); ++i)
        out.argb[i] = argbOfGd(pixels[i]);
    wmf_mem_close(wmf.api);
    return true;
}

bool ConvertEmf(const unsigned char* data, size_t size, EmfSvg& out) {
    if (MetafileKindOf(data, size) != MetafileKind::Emf || size < kEmfHeaderSize) return false;
    // The frame, in hundredths of a millimetre, is the picture's size.
    const double wide = double(s32(data + 32)) - s32(data + 24);
    const double high = double(s32(data + 36)) - s32(data + 28);
    if (!(wide > 0) || !(high > 0)) return false;
    std::vector<char> bytes(data, data + size);
    generatorOptions options;
    std::memset(&options, 0, sizeof options);
    char noNamespace[] = "";
    options.nameSpace = noNamespace;
    options.svgDelimiter = true;
    char* svg = nullptr;
    size_t length = 0;
    const int converted = emf2svg(bytes.data(), bytes.size(), &svg, &length, &options);
    if (!converted || !svg) {
        std::free(svg);
        return false;
    }
    out.svg.assign(svg, length);
    std::free(svg);
    out.widthMm = wide / 100;
    out.heightMm = high / 100;
    return true;
}
