// The image the host hands to the filter: its geometry and format, and the table of image
// modes the host can hold.
#pragma once
#include "pluginapi/pi_types.h"

#include <optional>
#include <string>

namespace hostsim {

// The kinds of document hostsim holds; each exists at one or more depths (see ModeFor).
enum class ColorModel { Gray, RGB, CMYK, Lab, HSB, HSL, Duotone, Multichannel };

// One image mode as the host knows it.
struct ModeInfo {
    int16 mode;          // the interface's mode number
    ColorModel model;
    int32 depth;         // bits per sample: 8, 16 or 32
    int16 colorPlanes;   // colour planes of the mode; 0 for multichannel (the document says)
    int16 colorSpace;    // the ColorSpace suite's space, -1 for none (multichannel)
    const char* name;
};

// The mode's entry, or null for modes hostsim cannot hold (bitmap, indexed, unknown numbers).
const ModeInfo* FindMode(int16 mode);
// The mode of `model` at `depth`, or -1 when that combination does not exist (e.g. HSB at 16).
int16 ModeFor(ColorModel model, int32 depth);
// "gray", "rgb", "cmyk", "lab", "hsb", "hsl", "duotone", "multichannel" (any case).
std::optional<ColorModel> ParseColorModel(const std::string& name);
const char* ColorModelName(ColorModel model);
// The ColorSpace suite's space of a model, -1 for multichannel.
int16 ColorSpaceOf(ColorModel model);
// Colour planes of a model; multichannel answers `multichannelPlanes`.
int16 ColorPlanesOf(ColorModel model, int16 multichannelPlanes = 1);

// The records hold the resolution as a 16.16 fixed-point number: whole pixels per inch up to
// this.
constexpr int32 kMaxResolution = 32767;

// Geometry and format of the host's document. The filter record's image fields are filled
// from it; PixelDocument describes itself with one when it serves pixels.
struct Document {
    int32 width = 64;
    int32 height = 64;
    int16 mode = plugInModeRGBColor;
    int32 depth = 8;           // bits per sample: 8, 16 or 32
    int16 colorPlanes = 3;     // planes of the mode's colour channels
    bool transparency = false; // a layer with a transparency plane after the colour planes
    int32 resolution = 72;     // pixels per inch, both directions, up to kMaxResolution

    int16 planes() const { return int16(colorPlanes + (transparency ? 1 : 0)); }
};

}  // namespace hostsim
