#include "ui/viewer.h"

#include <cstring>

namespace Corvantis::Host::Param {

Viewer<PS::Host>::Viewer(PS::Host* hostObject, Parameters* list, ViewerPanel* viewerPanel)
    : ViewerBase(list, viewerPanel),
      host(hostObject),
      sourceBuffer(hostObject),
      renderBuffer(hostObject),
      maskBuffer(hostObject),
      altSourceBuffer(hostObject),
      zoomBuffer(hostObject),
      zoomMaskBuffer(hostObject) {
    if (host && !host->HasChannelPorts()) {
        zoomParam.sliderMax.SetFloat(100.0);
        zoomParam.acceptedMax.SetFloat(100.0);
    }
}

Viewer<PS::Host>::~Viewer() { ClearExtraBuffers(); }

void Viewer<PS::Host>::ClearExtraBuffers() {
    std::vector<PS::ImageBuffer>().swap(extraBuffers);
    std::vector<uint64_t>().swap(extraKeys);
}

int32_t Viewer<PS::Host>::GetWidth() const { return PS::RectWidth(sourceBuffer.imageRect); }

int32_t Viewer<PS::Host>::GetHeight() const { return PS::RectHeight(sourceBuffer.imageRect); }

bool Viewer<PS::Host>::GetPixel(float out[4], int32_t x, int32_t y) const {
    int32_t dx = x - panX;
    int32_t dy = y - panY;
    if (zoom > 1.0f) {
        dx = static_cast<int32_t>(float(dx) / zoom);
        dy = static_cast<int32_t>(float(dy) / zoom);
    }
    const PS::Rect& r = sourceBuffer.GetRect();
    const bool depthKnown = sourceBuffer.bits == 8 || sourceBuffer.bits == 16 || sourceBuffer.bits == 32;
    if (!sourceBuffer.HasData() || !depthKnown || dx < r.left || dx >= r.right || dy < r.top || dy >= r.bottom) {
        for (int i = 0; i < 4; ++i) out[i] = 0.0f;
        return false;
    }
    for (int32_t i = 0; i < 4; ++i) {
        if (i >= sourceBuffer.channels) {
            out[i] = 1.0f;
            continue;
        }
        const uint8_t* p = sourceBuffer.SampleAt(dx, dy, i);
        if (sourceBuffer.bits == 8) {
            out[i] = float(*p) / 255.0f;
        } else if (sourceBuffer.bits == 16) {
            uint16_t v;
            std::memcpy(&v, p, sizeof v);
            out[i] = float(v) * (1.0f / 32768.0f);
        } else {
            std::memcpy(&out[i], p, sizeof(float));
        }
    }
    return true;
}

}  // namespace Corvantis::Host::Param
