// Drawing preview pixels into a window through the host's display callback.
#include "host/host.h"
#include "host/image_buffer.h"
#include "host/image_modes.h"

#include <cstdint>

namespace Corvantis::Host::PS {
namespace {

// `base` moved from `bounds`' top-left to `source`'s, each product formed in 32 bits and
// widened before the additions.
uint8* Rebase(uint8* base, const Rect& bounds, const Rect& source, int32 rowBytes, int32 colBytes) {
    const int32 rows = (source.top - bounds.top) * rowBytes;
    const int32 cols = (source.left - bounds.left) * colBytes;
    return base + static_cast<intptr_t>(rows) + static_cast<intptr_t>(cols);
}

}  // namespace

OSErr Host::DisplayPixels(Rect& drawn, const Rect& source, const Rect& destination, ImageBuffer& image,
                          ImageBuffer& mask, void* platformContext) {
    PSPixelMap map = image.PixelMap();
    map.version = 1;
    map.baseAddr = Rebase(image.GetData(), image.GetRect(), source, map.rowBytes, map.colBytes);
    map.bounds = source;
    map.mat = nullptr;
    map.masks = nullptr;
    map.maskPhaseRow = 0;
    map.maskPhaseCol = 0;

    // Both masks live on the stack for the one call.
    PSPixelMask selection{};
    if (mask.HasData()) {
        selection.next = nullptr;
        selection.maskData = Rebase(mask.GetData(), mask.GetRect(), source, mask.RowBytes(), mask.ColumnBytes());
        selection.rowBytes = mask.RowBytes();
        selection.colBytes = 1;
        selection.maskDescription = 0;
        map.masks = &selection;
    }
    PSPixelMask alpha{};
    if (image.extraAlpha) {
        // The plane after the colour planes is the transparency.
        const int32 colourPlanes = ChannelCountOfMode(map.imageMode, 0);
        alpha.next = nullptr;
        alpha.maskData = static_cast<uint8*>(map.baseAddr) + static_cast<intptr_t>(colourPlanes) * map.planeBytes;
        alpha.rowBytes = map.rowBytes;
        alpha.colBytes = map.colBytes;
        alpha.maskDescription = 0;
        if (map.masks)
            selection.next = &alpha;
        else
            map.masks = &alpha;
    }

    if (filterRecord && filterRecord->displayPixels) {
        drawn = destination;
        return filterRecord->displayPixels(&map, &map.bounds, destination.top, destination.left, platformContext);
    }
    // Nothing drawn: an empty rectangle at the destination's corner.
    drawn.top = destination.top;
    drawn.left = destination.left;
    drawn.bottom = drawn.top;
    drawn.right = drawn.left;
    return noErr;
}

}  // namespace Corvantis::Host::PS
