// The image the host hands to the filter.
#pragma once
#include "pluginapi/pi_types.h"

namespace hostsim {

// Geometry and format of the host's document. The filter record's image fields are filled
// from it; the pixel planes join it when the host serves pixels.
struct Document {
    int32 width = 64;
    int32 height = 64;
    int16 mode = plugInModeRGBColor;
    int32 depth = 8;           // bits per sample: 8, 16 or 32
    int16 colorPlanes = 3;     // planes of the mode's colour channels
    bool transparency = false; // a layer with a transparency plane after the colour planes
    int32 resolution = 72;     // pixels per inch, both directions

    int16 planes() const { return int16(colorPlanes + (transparency ? 1 : 0)); }
};

}  // namespace hostsim
