#include "hostsim/pixel_display.h"

#include "hostsim/color_engine.h"
#include "hostsim/document.h"

#include "pluginapi/color_space.h"

#include <array>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace hostsim {
namespace {

struct MaskView {
    const uint8* data = nullptr;
    int32 rowBytes = 0;
    int32 colBytes = 0;
};

std::string Text(const VRect& r) {
    return "(top " + std::to_string(r.top) + ", left " + std::to_string(r.left) + ", bottom " +
           std::to_string(r.bottom) + ", right " + std::to_string(r.right) + ")";
}

OSErr Refuse(ProblemLog& problems, OSErr code, const std::string& why) {
    problems.Add("displayPixels: " + why);
    return code;
}

bool Inverted(const VRect& r) { return r.bottom < r.top || r.right < r.left; }

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

uint8 Over(uint8 value, uint8 backdrop, unsigned coverage) {
    return uint8((value * coverage + backdrop * (255u - coverage) + 127u) / 255u);
}

// Rows that a stride of `rowBytes` would make overlap: `width` columns of `colBytes` each
// must fit in a row when there is more than one row.
bool RowsOverlap(int32 rowBytes, int32 colBytes, int32 width, int32 height) {
    return height > 1 && int64_t(colBytes) * width > int64_t(rowBytes);
}

}  // namespace

OSErr DisplayPixelMap(const PSPixelMap* map, const VRect* srcRect, int32 dstRow, int32 dstCol,
                      DisplayContext context, ColorEngine* engine, ProblemLog& problems) {
    if (!map) return Refuse(problems, paramErr, "no pixel map");
    if (!srcRect) return Refuse(problems, paramErr, "no source rectangle");
    if (!context) return Refuse(problems, paramErr, "no platform context to draw on");
    if (const std::string problem = DisplayContextProblem(context); !problem.empty())
        return Refuse(problems, paramErr, "the platform context is unusable: " + problem);

    const VRect& src = *srcRect;
    const VRect& bounds = map->bounds;
    if (map->version < 0) return Refuse(problems, paramErr, "pixel map version " + std::to_string(map->version));
    if (Inverted(bounds)) return Refuse(problems, paramErr, "inverted map bounds " + Text(bounds));
    if (Inverted(src)) return Refuse(problems, paramErr, "inverted source rectangle " + Text(src));
    if (src.top < bounds.top || src.left < bounds.left || src.bottom > bounds.bottom || src.right > bounds.right)
        return Refuse(problems, paramErr, "source rectangle " + Text(src) + " outside the map's bounds " + Text(bounds));

    const ModeInfo* mode = FindMode(int16(map->imageMode));
    if (!mode || mode->depth != 8 || mode->colorSpace < 0 || map->imageMode != mode->mode)
        return Refuse(problems, errPlugInHostInsufficient,
                      "image mode " + std::to_string(map->imageMode) + " cannot be shown (8-bit modes with a colour "
                      "space only)");
    const int16 space = mode->colorSpace;
    const bool direct = space == plugIncolorServicesRGBSpace || space == plugIncolorServicesGraySpace;
    if (!direct && !engine)
        return Refuse(problems, errPlugInHostInsufficient, std::string(mode->name) + " needs a colour engine to be shown");

    const int32 boundsWidth = bounds.right - bounds.left;
    const int32 boundsHeight = bounds.bottom - bounds.top;
    std::array<MaskView, DisplayLook::kMaxMasks> masks{};
    int maskCount = 0;
    int32 phaseRow = 0, phaseCol = 0;
    if (map->version >= 1) {
        phaseRow = map->maskPhaseRow;
        phaseCol = map->maskPhaseCol;
        for (const PSPixelMask* m = map->masks; m; m = m->next) {
            if (maskCount == DisplayLook::kMaxMasks)
                return Refuse(problems, paramErr, "more than " + std::to_string(DisplayLook::kMaxMasks) +
                                                      " masks (or a chain that loops)");
            const std::string which = "mask " + std::to_string(maskCount + 1);
            if (!m->maskData) return Refuse(problems, paramErr, which + " has no data");
            if (m->rowBytes <= 0 || m->colBytes <= 0)
                return Refuse(problems, paramErr, which + " has row bytes " + std::to_string(m->rowBytes) +
                                                      " and column bytes " + std::to_string(m->colBytes));
            if (RowsOverlap(m->rowBytes, m->colBytes, boundsWidth, boundsHeight))
                return Refuse(problems, paramErr, which + "'s rows overlap");
            if (m->maskDescription != 0)
                return Refuse(problems, errPlugInHostInsufficient,
                              which + " has description " + std::to_string(m->maskDescription) + " (only simple masks)");
            masks[std::size_t(maskCount++)] = MaskView{static_cast<const uint8*>(m->maskData), m->rowBytes, m->colBytes};
        }
    }

    const int32 width = src.right - src.left;
    const int32 height = src.bottom - src.top;
    if (width == 0 || height == 0) return noErr;

    const int planes = mode->colorPlanes;
    if (!map->baseAddr) return Refuse(problems, paramErr, "the pixel map has no base address");
    if (map->rowBytes <= 0 || map->colBytes <= 0 || (planes > 1 && map->planeBytes <= 0))
        return Refuse(problems, paramErr, "strides row " + std::to_string(map->rowBytes) + ", column " +
                                              std::to_string(map->colBytes) + ", plane " + std::to_string(map->planeBytes) +
                                              " cannot address the pixels");
    if (RowsOverlap(map->rowBytes, map->colBytes, boundsWidth, boundsHeight))
        return Refuse(problems, paramErr, "the pixel map's rows overlap");
    // The largest image surface cairo makes; a device-independent bitmap takes as much.
    constexpr int32 kMaxSide = 32767;
    if (width > kMaxSide || height > kMaxSide)
        return Refuse(problems, errPlugInHostInsufficient, "a source rectangle of " + std::to_string(width) + " x " +
                                                               std::to_string(height) + " is too large to show");

    DisplayBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    try {
        bitmap.pixels.resize(std::size_t(width) * std::size_t(height));
    } catch (const std::bad_alloc&) {
        return Refuse(problems, memFullErr, "no surface of " + std::to_string(width) + " x " + std::to_string(height));
    }

    const auto* base = static_cast<const uint8*>(map->baseAddr);
    std::vector<uint8> rgb(std::size_t(width) * 3);
    std::vector<uint8> packed;
    if (!direct) packed.resize(std::size_t(width) * std::size_t(planes));
    const int64_t rowOffset = src.top - bounds.top;
    const int64_t colOffset = src.left - bounds.left;

    for (int32 y = 0; y < height; ++y) {
        const uint8* row = base + (rowOffset + y) * map->rowBytes + colOffset * map->colBytes;
        uint32_t* out = bitmap.pixels.data() + std::size_t(y) * std::size_t(width);
        if (direct && maskCount == 0) {
            // Opaque gray or RGB, the preview's usual case: straight into the bitmap.
            const int64_t column = map->colBytes;
            const int64_t plane = space == plugIncolorServicesGraySpace ? 0 : map->planeBytes;
            for (int32 x = 0; x < width; ++x) {
                const uint8* p = row + x * column;
                out[x] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[plane]) << 8) | uint32_t(p[2 * plane]);
            }
            continue;
        }
        if (space == plugIncolorServicesGraySpace) {
            for (int32 x = 0; x < width; ++x) rgb[x * 3] = rgb[x * 3 + 1] = rgb[x * 3 + 2] = row[int64_t(x) * map->colBytes];
        } else if (space == plugIncolorServicesRGBSpace) {
            for (int32 x = 0; x < width; ++x)
                for (int p = 0; p < 3; ++p) rgb[x * 3 + p] = row[int64_t(x) * map->colBytes + int64_t(p) * map->planeBytes];
        } else {
            for (int32 x = 0; x < width; ++x)
                for (int p = 0; p < planes; ++p)
                    packed[std::size_t(x) * planes + p] = row[int64_t(x) * map->colBytes + int64_t(p) * map->planeBytes];
            if (!engine->Convert8(space, plugIncolorServicesRGBSpace, packed.data(), rgb.data(), std::size_t(width),
                                  ColorEngine::Layout::Packed))
                return Refuse(problems, errPlugInHostInsufficient,
                              std::string(mode->name) + " pixels could not be converted: " + engine->error());
        }

        const int64_t checkerRow = FloorDiv(int64_t(dstRow) + y + phaseRow, DisplayLook::kCheckerSize);
        for (int32 x = 0; x < width; ++x) {
            unsigned coverage = 255;
            for (int i = 0; i < maskCount; ++i) {
                const MaskView& m = masks[std::size_t(i)];
                const uint8 v = m.data[(rowOffset + y) * m.rowBytes + (colOffset + x) * m.colBytes];
                coverage = (coverage * v + 127u) / 255u;
            }
            uint8 r = rgb[x * 3], g = rgb[x * 3 + 1], b = rgb[x * 3 + 2];
            if (coverage < 255) {
                const int64_t checkerCol = FloorDiv(int64_t(dstCol) + x + phaseCol, DisplayLook::kCheckerSize);
                const uint8 k = ((checkerRow + checkerCol) & 1) ? DisplayLook::kCheckerDark : DisplayLook::kCheckerLight;
                r = Over(r, k, coverage);
                g = Over(g, k, coverage);
                b = Over(b, k, coverage);
            }
            out[x] = 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
        }
    }
    if (const std::string problem = DrawDisplayBitmap(context, bitmap, dstRow, dstCol); !problem.empty())
        return Refuse(problems, errPlugInHostInsufficient, "drawing failed: " + problem);
    return noErr;
}

}  // namespace hostsim
