// WMF pictures through libwmf's gd layer, EMF pictures through libemf2svg.
#include "platform/MetafileDecoders.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

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
constexpr uint32_t kEmfEndType = 14;
constexpr uint64_t kEmfPixelFormatEnd = 100;
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

// Checks the WMF's records as the library will play them, and sets aside the ones it would misread. Each
// record lies within the file, is no longer than the header's largest record (the size the library
// reserves) and the records end with the end record. Making an object when the table is full, and
// selecting, deleting or painting with a slot that holds nothing, which Windows ignores, make the library
// use memory that is not what it takes it for: such a record becomes one it passes over.
bool mendWmfRecords(unsigned char* data, size_t size, size_t header) {
    constexpr uint16_t kSkipped = 0x0001;  // no function of the format: the library passes over it
    const size_t objects = u16(data + header + 10);
    const size_t largest = u32(data + header + 12);
    if (largest > (size - header) / 2) return false;
    std::vector<bool> used(objects, false);
    size_t at = header + kWmfHeaderSize;
    while (true) {
        if (size - at < 6) return false;
        const size_t words = u32(data + at);
        const uint16_t function = u16(data + at + 4);
        if (words < 3 || words - 3 > largest || words > (size - at) / 2) return false;
        if (function == 0x0000 && words == 3) return true;  // META_EOF
        // The slots a record names in its first parameters; none when it is too short to hold them.
        auto slot = [&](size_t i) -> size_t { return i < words - 3 ? u16(data + at + 6 + 2 * i) : objects; };
        auto holds = [&](size_t i) { return slot(i) < objects && used[slot(i)]; };
        auto skip = [&] { data[at + 4] = kSkipped & 0xFF, data[at + 5] = kSkipped >> 8; };
        switch (function) {
            case 0x00F7:    // META_CREATEPALETTE
            case 0x01F9:    // META_CREATEPATTERNBRUSH
            case 0x0142:    // META_DIBCREATEPATTERNBRUSH
            case 0x02FA:    // META_CREATEPENINDIRECT
            case 0x02FB:    // META_CREATEFONTINDIRECT
            case 0x02FC:    // META_CREATEBRUSHINDIRECT
            case 0x06FF: {  // META_CREATEREGION: each takes the lowest free slot, if any is left
                size_t free = 0;
                while (free < objects && used[free])
                    ++free;
                if (free < objects)
                    used[free] = true;
                else
                    skip();
                break;
            }
            case 0x01F0:  // META_DELETEOBJECT
                if (holds(0))
                    used[slot(0)] = false;
                else
                    skip();
                break;
            case 0x012D:  // META_SELECTOBJECT
            case 0x0234:  // META_SELECTPALETTE
            case 0x012C:  // META_SELECTCLIPREGION
            case 0x012A:  // META_INVERTREGION
            case 0x012B:  // META_PAINTREGION
                if (!holds(0)) skip();
                break;
            case 0x0228:  // META_FILLREGION: region, brush
            case 0x0429:  // META_FRAMEREGION: region, brush, then sizes
                if (!holds(0) || !holds(1)) skip();
                break;
            default:
                break;
        }
        at += words * 2;
    }
}

// The header's description and pixel format, when it has them, lie within the header record.
bool emfHeaderSound(const unsigned char* header, uint64_t length) {
    if (length < kEmfHeaderSize) return false;
    auto within = [&](uint64_t offset, uint64_t bytes) {
        return bytes == 0 || (offset >= kEmfHeaderSize && offset <= length && bytes <= length - offset);
    };
    if (!within(u32(header + 68), 2 * uint64_t(u32(header + 64)))) return false;  // UTF-16 description
    return length < kEmfPixelFormatEnd || within(u32(header + 92), u32(header + 88));
}

// The EMF's records each within the file, whole 32-bit words from the header on, up to the end record:
// the library reads a record's fields where its type says they are.
bool emfRecordsSound(const unsigned char* data, size_t size) {
    size_t at = 0;
    while (size - at >= 8) {
        const uint32_t type = u32(data + at), length = u32(data + at + 4);
        if (length < 8 || length % 4 != 0 || length > size - at) return false;
        if (at == 0 && !emfHeaderSound(data, length)) return false;
        if (type == kEmfEndType) return true;
        at += length;
    }
    return false;
}

struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi() {
        if (api) wmf_api_destroy(api);
    }
};

using DeviceBegin = void (*)(wmfAPI*);

// Begins the page as the library's device does, on white, then paints the frame black; the device's own
// beginning waits in the instance's user data.
void beginOnBlack(wmfAPI* api) {
    (*static_cast<DeviceBegin*>(api->user_data))(api);
    if (api->err != wmf_E_None) return;
    wmfBrush brush{};
    brush.lbStyle = BS_SOLID;  // black
    wmfPen pen{};
    pen.lopnStyle = PS_NULL;
    wmfDC dc{};
    dc.brush = &brush;
    dc.pen = &pen;
    wmfDrawRectangle_t frame{};
    frame.dc = &dc;
    frame.TL = WMF_GD_GetData(api)->bbox.TL;
    frame.BR = WMF_GD_GetData(api)->bbox.BR;
    static_cast<wmfFunctionReference*>(api->function_reference)->draw_rectangle(api, &frame);
}

// A library instance drawing through its gd layer, with the WMF opened and scanned: the box its records
// draw.
bool openWmf(WmfApi& wmf, std::vector<unsigned char>& bytes, wmfD_Rect& drawn) {
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.function = wmf_gd_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&wmf.api, flags, &options) != wmf_E_None || !wmf.api) return false;
    WMF_GD_GetData(wmf.api)->type = wmf_gd_image;
    return wmf_mem_open(wmf.api, bytes.data(), long(bytes.size())) == wmf_E_None &&
           wmf_scan(wmf.api, 0, &drawn) == wmf_E_None;
}

// Plays the opened WMF into width x height pixels over the frame, on white or on black; its pixels, kept
// by the library until the instance goes, or null.
const int* playWmf(WmfApi& wmf, const wmfD_Rect& frame, unsigned width, unsigned height, bool onBlack) {
    wmf_gd_t* device = WMF_GD_GetData(wmf.api);
    device->bbox = frame;
    device->width = width;
    device->height = height;
    auto* functions = static_cast<wmfFunctionReference*>(wmf.api->function_reference);
    DeviceBegin begin = functions->device_begin;
    if (onBlack) {
        wmf.api->user_data = &begin;
        functions->device_begin = beginOnBlack;
    }
    wmfD_Rect played = frame;
    const bool drawn = wmf_play(wmf.api, 0, &played) == wmf_E_None && device->gd_image;
    functions->device_begin = begin;
    return drawn ? wmf_gd_image_pixels(device->gd_image) : nullptr;
}

// A pixel of the picture from the same pixel played on white and on black: where the records draw
// nothing the ground shows, white on one play and black on the other; what they draw is the same on
// both. Where a drawing blends with the ground, its cover is the part of the ground that does not show,
// and the black play holds its colour times that cover.
uint32_t argbOfGrounds(int onWhite, int onBlack) {
    int shown = 0;
    for (int shift : {0, 8, 16})
        shown += std::max(0, ((onWhite >> shift) & 0xFF) - ((onBlack >> shift) & 0xFF));
    const uint32_t cover = uint32_t(255 - std::min(255, (shown + 1) / 3));
    if (cover == 0) return 0;
    uint32_t argb = cover << 24;
    for (int shift : {0, 8, 16}) {
        const uint32_t dark = (uint32_t(onBlack) >> shift) & 0xFF;
        argb |= std::min<uint32_t>(255, (dark * 255 + cover / 2) / cover) << shift;
    }
    return argb;
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
    if (!mendWmfRecords(bytes.data(), bytes.size(), placeable ? kPlaceableSize : 0)) return false;
    WmfApi wmf;
    wmfD_Rect drawn;
    if (!openWmf(wmf, bytes, drawn)) return false;
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
    // The library's device paints the whole frame white before the records: played again on black, the
    // frame shows through where they draw nothing.
    const int* onWhite = playWmf(wmf, frame, unsigned(wide), unsigned(high), false);
    WmfApi again;
    wmfD_Rect drawnAgain;
    if (!onWhite || !openWmf(again, bytes, drawnAgain)) return false;
    const int* onBlack = playWmf(again, frame, unsigned(wide), unsigned(high), true);
    if (!onBlack) return false;
    out.width = unsigned(wide);
    out.height = unsigned(high);
    out.widthMm = inchesWide * kMmPerInch;
    out.heightMm = inchesHigh * kMmPerInch;
    out.argb.resize(size_t(out.width) * out.height);
    for (size_t i = 0; i < out.argb.size(); ++i)
        out.argb[i] = argbOfGrounds(onWhite[i], onBlack[i]);
    return true;
}

bool ConvertEmf(const unsigned char* data, size_t size, EmfSvg& out) {
    if (MetafileKindOf(data, size) != MetafileKind::Emf || !emfRecordsSound(data, size)) return false;
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
