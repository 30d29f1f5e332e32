// An in-process host for the pixel path: a filter record over an in-memory planar document,
// buffer procs over malloc, advanceState serving inData/outData/maskData for the requested
// rects and planes (fresh blocks on every advance, so stale pointers show up under the
// sanitizer), a ChannelPorts suite over the same memory, and an optional ColorSpace suite
// whose RGB <-> CMYK conversion is an exact round trip for K = 0. Failures can be injected
// into every callback. The host made last serves the callbacks until it is destroyed.
#pragma once
#include "pluginapi/color_space.h"
#include "pluginapi/filter_record.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace fake {

struct Plane {
    std::vector<uint8> samples;  // row-major, depth / 8 bytes per sample
    bool shown = true;
};

struct Document {
    int32 width = 0, height = 0;
    int16 mode = plugInModeRGBColor;
    int32 depth = 8;
    std::vector<Plane> planes;              // colour planes, then the transparency plane
    std::vector<uint8> selection;           // 8-bit, empty: no selection
    std::vector<std::vector<Plane>> layers;  // further layers, same geometry and depth

    // A document whose samples follow a fixed pattern (valid for every depth).
    static Document Make(int32 width, int32 height, int16 mode, int32 depth, int32 planes);
    int32 Bytes() const { return depth / 8; }
    uint8* At(std::vector<Plane>& set, int32 plane, int32 x, int32 y) {
        return set[plane].samples.data() + (int64_t(y) * width + x) * Bytes();
    }
    uint8* At(int32 plane, int32 x, int32 y) { return At(planes, plane, x, y); }
    double Get(int32 plane, int32 x, int32 y);  // the sample as stored (0..255, 0..32768, 0..1)
};

struct Options {
    bool channelPorts = false;
    bool colorSpace = false;
    bool depthSuite = false;  // the ColorSpace suite also offers 8 <-> 16 conversion
    bool bufferProcs = true;
    bool bigDocument = true;
    bool alternateLayouts = false;
    bool dummyChannels = true;
    bool transparency = false;   // filter case 4: the last plane is the layer's transparency
    bool transparencyList = true;  // the document description lists that plane
    int32 maxVersion = 3;        // of the channel descriptions
    int16 samplingSupport = 0;
    int32 tileWidth = 0, tileHeight = 0;
    int32 hiddenAfter = -1;      // a hidden channel in the port chain after this plane
};

class FakeHost {
public:
    FakeHost(Document doc, Options options);
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // Writes what the plug-in left in outData into the document (the host does so at the
    // next advance, and at the end of the run).
    void CommitOutput();

    FilterRecord record{};
    Document doc;
    Options options;

    // Failure injection: the n-th call (1-based) fails; 0 never.
    int failAdvanceAt = 0;
    OSErr advanceError = errPlugInHostInsufficient;
    int failAllocateAt = 0;
    int failLockAt = 0;
    int failPortReadAt = 0;
    int failPortWriteAt = 0;
    bool failColorConversion = false;
    bool withholdData = false;  // advances succeed but deliver no data

    // What happened.
    int advanceCalls = 0, allocateCalls = 0, lockCalls = 0, portReads = 0, portWrites = 0;
    int liveBuffers = 0, livePorts = 0, liveSuites = 0;
    std::vector<int32> allocateSizes;
    std::vector<std::pair<int32, int32>> progress;
    std::vector<int> colorChunks, depthChunks;
    std::vector<VRect> outRequests;
    int hiddenWrites = 0;

    static FakeHost* current;

    struct Port;
    struct Served;

private:
    void BuildDocumentInfo();
    OSErr Advance();
    void Serve(Served& served, const VRect& rect, int32 lo, int32 hi, int32 dummies, bool mask, Fixed rate);
    VRect ReadRect(const VRect& big, const ::Rect& small) const;

    BufferProcs bufferProcs{};
    HandleProcs handleProcs{};
    SPBasicSuite basic{};
    PSChannelPortsSuite1 ports{};
    PSColorSpaceSuite1 colors{};
    BigDocumentStruct big{};
    PlatformData platform{};
    uint8 errorText[256]{};
    ReadImageDocumentDesc info{};
    std::vector<std::unique_ptr<ReadChannelDesc>> channels;
    std::vector<std::unique_ptr<ReadLayerDesc>> layerDescs;
    std::vector<std::unique_ptr<Port>> docPorts;
    std::unique_ptr<Served> in, out, maskServed;
    Plane hidden;
    FakeHost* previous;  // hosts nest: the one made last serves the callbacks

    friend struct Callbacks;
};

}  // namespace fake
