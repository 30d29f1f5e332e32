// The host's displayPixels: shows a part of a pixel map on the platform context of a paint
// (display_context.h).
//
// Shown are 8-bit maps of a mode with a colour space: gray and RGB directly, CMYK, Lab, HSB
// and HSL through the colour engine (with hostsim's sample conventions, see color_engine.h).
// Planes are addressed by the map's strides, so interleaved and planar layouts both work.
// The masks chained from a version 1 map (at most two: the selection, then the layer's
// transparency) multiply into one coverage, under which the pixels are laid over a
// checkerboard fixed to the destination (shifted by the mask phases).
#pragma once
#include "hostsim/display_context.h"
#include "hostsim/problem_log.h"

#include "pluginapi/pixel_map.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

class ColorEngine;

struct DisplayLook {
    static constexpr int kCheckerSize = 8;        // pixels per checkerboard square
    static constexpr uint8 kCheckerLight = 255;
    static constexpr uint8 kCheckerDark = 204;
    static constexpr int kMaxMasks = 2;
};

// Draws `srcRect` of `map` with its top-left corner at (dstRow, dstCol) of `context`. Refuses
// with paramErr (and a problem entry) what is malformed: null arguments, a rectangle outside
// the map's bounds, strides or masks that cannot address the pixels; with
// errPlugInHostInsufficient a mode it cannot show. An empty rectangle draws nothing.
// `engine` may be null: then only gray and RGB are shown.
OSErr DisplayPixelMap(const PSPixelMap* map, const VRect* srcRect, int32 dstRow, int32 dstCol,
                      DisplayContext context, ColorEngine* engine, ProblemLog& problems);

// The pixels ready to be shown: 0xFFRRGGBB words, row after row without padding.
struct DisplayBitmap {
    int32 width = 0;
    int32 height = 0;
    std::vector<uint32_t> pixels;
};

// Per platform (pixel_display_cairo.cpp, pixel_display_gdi.cpp): why `context` cannot be drawn
// on (empty when it can), and drawing `bitmap` with its top-left corner at (dstRow, dstCol),
// which returns why it failed or an empty string.
std::string DisplayContextProblem(DisplayContext context);
std::string DrawDisplayBitmap(DisplayContext context, const DisplayBitmap& bitmap, int32 dstRow, int32 dstCol);

}  // namespace hostsim
