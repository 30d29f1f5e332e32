// A rectangle of pixels in one image mode, depth and channel count. Its geometry is kept in
// the layout of the host's pixel map so that a buffer can be handed to the display callback.
#pragma once
#include "pluginapi/pixel_map.h"

namespace Corvantis::Host::PS {

class Host;

class ImageBuffer {
public:
    ImageBuffer() { map.version = 1; }
    const VRect& GetRect() const { return map.bounds; }

    PSPixelMap map{};
};

}  // namespace Corvantis::Host::PS
