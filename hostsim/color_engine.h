// Colour conversion between the ColorSpace suite's spaces (RGB, HSB, CMYK, Lab, gray, HSL),
// on LittleCMS. RGB is sRGB, Lab is CIE Lab (D50), gray has the sRGB tone curve on a D50
// white. CMYK is an idealised press relative to sRGB (no dot gain, full grey-component
// replacement), held as LittleCMS device links. HSB and HSL are plain rearrangements of RGB.
//
// Every component is a unit value 0..1:
//   RGB, gray: intensity (0 black);  CMYK: ink (0 none);  HSB, HSL: hue as a fraction of the
//   full turn, then saturation and brightness/lightness;  Lab: L / 100, (a + 128) / 255,
//   (b + 128) / 255 (so 8-bit Lab stores L x 2.55 and a, b around 128).
#pragma once
#include "pluginapi/pi_types.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace hostsim {

class ColorEngine {
public:
    ColorEngine();
    ~ColorEngine();
    ColorEngine(const ColorEngine&) = delete;
    ColorEngine& operator=(const ColorEngine&) = delete;

    // Components of a colour in `space` (1 to 4), or 0 for a space the engine does not know.
    static int Components(int16 space);
    static const char* SpaceName(int16 space);

    // Converts `count` colours, packed (Components(from) values each), into `out` (packed,
    // Components(to) each). False for an unknown space or a LittleCMS failure (see error()).
    bool Convert(int16 from, int16 to, const double* in, double* out, std::size_t count);

    // How 8-bit colours lie in memory: packed (Components(space) bytes each), or right-aligned
    // in slots of four bytes whose leading bytes are zero (gray 0 0 0 g, RGB 0 R G B).
    enum class Layout { Packed, Slots };
    // Converts `count` 8-bit colours (a unit value times 255, rounded) from `in` into `out`;
    // both in `layout`, and they must not overlap unless they are the same buffer. Spaces that
    // LittleCMS knows convert through one optimised transform per pair, made on first use and
    // kept for the process (every engine shares them); HSB and HSL go through Convert. False as
    // for Convert.
    bool Convert8(int16 from, int16 to, const uint8* in, uint8* out, std::size_t count, Layout layout);
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;  // shared by every engine of the process
    std::string error_;
};

}  // namespace hostsim
