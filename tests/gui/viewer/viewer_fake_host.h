// An in-test host for the preview: a filter record over an in-memory 8-bit document (RGB or
// gray, optional selection), buffer procs over malloc, a classic advanceState that serves the
// requested rows at the requested rate, an optional ChannelPorts suite (nearest-neighbour
// scaling, pixel-memory ports for up-scaling) and a displayPixels callback that records what
// it was asked to show and, given a cairo context, paints it. The host made last serves the
// callbacks.
#pragma once
#include "pluginapi/filter_record.h"
#include "pluginapi/pixel_map.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace viewer_test {

struct HostOptions {
    int32 width = 2000, height = 1000;
    bool gray = false;
    bool selection = false;  // a selection covering the left half of the document
    bool channelPorts = true;
    bool display = true;
    int16 samplingSupport = 0;
    int failNewPort = 0;  // New fails from this call on (1-based); 0 never
};

// One call of the display callback.
struct Shown {
    VRect bounds{};  // the pixel map's bounds: the shown part in buffer coordinates
    int32 mode = 0;
    int32 row = 0, col = 0;
    int32 masks = 0;
    int32 firstMask = -1;  // the first mask's sample at the shown part's top-left
    std::vector<uint8> firstPixel;
    bool hadContext = false;
};

class FakeViewerHost {
public:
    explicit FakeViewerHost(HostOptions options);
    ~FakeViewerHost();
    FakeViewerHost(const FakeViewerHost&) = delete;
    FakeViewerHost& operator=(const FakeViewerHost&) = delete;

    // The document's sample (0..255).
    uint8 Sample(int32 plane, int32 x, int32 y) const;
    // Reads since the last call: classic row requests plus channel-port reads of the document.
    int TakeReads();

    FilterRecord record{};
    HostOptions options;
    std::vector<Shown> shown;
    int documentReads = 0;
    int newPorts = 0, livePorts = 0, liveBuffers = 0;

    static FakeViewerHost* current;

    struct Port;
    struct Callbacks;

private:
    void BuildDocumentInfo();

    std::vector<std::vector<uint8>> planes;
    std::vector<uint8> selectionPlane;
    std::vector<uint8> inBlock, maskBlock;
    BufferProcs bufferProcs{};
    SPBasicSuite basic{};
    PSChannelPortsSuite1 ports{};
    BigDocumentStruct big{};
    PlatformData platform{};
    uint8 errorText[256]{};
    ReadImageDocumentDesc info{};
    std::vector<std::unique_ptr<Port>> docPorts;
    std::vector<std::unique_ptr<ReadChannelDesc>> channels;
    FakeViewerHost* previous;
};

}  // namespace viewer_test
