// The copy-through plug-in with switches for the capability queries the pixel path asks, a
// hook to inspect each tile, and a run helper that goes through the real dispatcher.
#pragma once
#include "copy_through_plugin.h"
#include "fake_host.h"
#include "host/image_buffer.h"

#include <functional>
#include <vector>

namespace PS = Corvantis::Host::PS;

struct TestPlugin : CopyThroughPlugin {
    // Called after the copy, before the optional inversion.
    std::function<void(ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask, ImageBuffer* extras)>
        onRender;
    bool invert = false;  // 8-bit samples become 255 - s instead of being copied
    bool wantsMask = false, planar = false, separately = false, suppress = false, gray = true;
    bool declineTileSize = false;
    std::vector<PS::LayerRequest> layerRequests;
    std::vector<PS::Rect> tiles;

    void OnStart() override { ProcessTiles(nullptr); }
    void RenderTile(Parameters* params, ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask,
                    ImageBuffer* extras) override {
        tiles.push_back(destination.GetRect());
        CopyThroughPlugin::RenderTile(params, source, destination, mask, extras);
        if (onRender) onRender(source, destination, mask, extras);
        if (invert && destination.HasData() && destination.bits == 8) {
            const PS::Rect r = destination.GetRect();
            for (int32 y = r.top; y < r.bottom; ++y)
                for (int32 x = r.left; x < r.right; ++x)
                    for (int32 p = 0; p < destination.channels; ++p) {
                        uint8* s = destination.SampleAt(x, y, p);
                        *s = uint8(255 - *s);
                    }
        }
    }
    PS::Rect MapInputRect(Parameters*, const PS::Rect& output, const PS::Rect&,
                          std::vector<PS::LayerRequest>& requests) override {
        requests = layerRequests;
        return output;
    }
    bool WantsSelectionMask() override { return wantsMask; }
    bool WantsPlanarLayout() override { return planar; }
    bool ProcessesPlanesSeparately() override { return separately; }
    bool SuppressWriteBack() override { return suppress; }
    bool SupportsGray() override { return gray; }
    bool AdjustTileSize(const PS::Rect&, int32&, int32&) override { return !declineTileSize; }
};

// Runs the Start selector (the tiled loop) and returns the result code.
inline int16 RunStart(fake::FakeHost& host, TestPlugin& plugin) {
    intptr_t data = 0;
    int16 result = 0;
    plugin.Init(&host.record, false, &data, &result, "Test");
    plugin.Dispatch(filterSelectorStart);
    return result;
}

// A plug-in object bound to the fake host for calling buffer operations directly.
struct BoundPlugin : TestPlugin {
    intptr_t data = 0;
    int16 result = 0;
    explicit BoundPlugin(fake::FakeHost& host) { Init(&host.record, false, &data, &result, "Test"); }
};
