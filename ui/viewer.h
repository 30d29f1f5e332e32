// The viewer model bound to a host: it holds the image buffers that the preview render reads
// into, renders into and up-scales into, and answers the image size and pixel samples.
#pragma once
#include "host/host.h"
#include "host/image_buffer.h"
#include "ui/viewer_base.h"

#include <cstdint>
#include <vector>

namespace Corvantis::Host::Param {

// One specialisation per kind of host.
template <class HostType>
class Viewer;

template <>
class Viewer<PS::Host> : public ViewerBase {
public:
    // Without the host's ChannelPorts suite the zoom is capped at 100 %: up-scaling needs it.
    Viewer(PS::Host* host, Parameters* parameters, ViewerPanel* panel);
    ~Viewer() override;

    int32_t GetWidth() const override;
    int32_t GetHeight() const override;
    bool GetPixel(float out[4], int32_t x, int32_t y) const override;

    PS::Host* host = nullptr;
    PS::ImageBuffer sourceBuffer;     // source around the view, at the sampling scale
    PS::ImageBuffer renderBuffer;     // the same area with the bubble rendered: the cache
    PS::ImageBuffer maskBuffer;       // the selection, read together with the source
    PS::ImageBuffer altSourceBuffer;  // the source shown with showOriginal and source > 0
    PS::ImageBuffer zoomBuffer;       // the shown part up-scaled, above 100 %
    PS::ImageBuffer zoomMaskBuffer;   // the selection up-scaled, above 100 %
    // One buffer per extra input that the host's input mapping lists. Kept contiguous: the
    // tile renderer receives them as an array through a pointer to the first.
    std::vector<PS::ImageBuffer> extraBuffers;
    std::vector<uint64_t> extraKeys;  // the input each extra buffer holds
    int32_t cachedSource = 0;         // the source the cached buffers were read from
    bool cacheValid = false;          // source, mask and render buffers fit scale and source

protected:
    void ClearExtraBuffers();
};

}  // namespace Corvantis::Host::Param
