// The host's ChannelPorts suite and the document description (documentInfo) that names the
// ports: the target layer's channels, the merged image, the selection and every layer.
// Ports of the target layer can be written; everything else is read-only. The plug-in may
// also make pixel-memory ports of its own (New/Dispose), which are counted.
#pragma once
#include "hostsim/fault_plan.h"
#include "hostsim/pixel_document.h"
#include "hostsim/problem_log.h"
#include "hostsim/write_log.h"

#include "pluginapi/channel_ports.h"
#include "pluginapi/filter_record.h"

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace hostsim {

// What the document description offers; switching things off tests the plug-in on a host
// that lacks them.
struct DescriptionOptions {
    bool targetLists = true;        // false: only the merged lists (the plug-in must then not write)
    bool writePorts = true;         // false: the target channels have no writePort
    bool layerList = true;          // layersDescriptor
    int32 channelMaxVersion = 3;    // every channel's maxVersion
    int hiddenChannelAfter = -1;    // >= 0: a channel that is not shown follows that target channel
    VPoint tileSize{256, 256};      // the channels' tiling grid
};

class ChannelPortsHost {
public:
    ChannelPortsHost(PixelDocument& document, FaultPlan& faults, ProblemLog& problems, WriteLog& written);
    ~ChannelPortsHost();
    ChannelPortsHost(const ChannelPortsHost&) = delete;
    ChannelPortsHost& operator=(const ChannelPortsHost&) = delete;

    // The table to register with the basic suite. Tests may null single entries.
    PSChannelPortsSuite1* table() { return &table_; }
    void RestoreTable();

    // Builds the description afresh; ports of the previous one stop being valid (memory
    // ports the plug-in made live on).
    ReadImageDocumentDesc* Describe(const DescriptionOptions& options);
    ReadImageDocumentDesc* description() { return described_ ? &description_ : nullptr; }
    // The record whose autoMask decides whether writes to the document follow the selection.
    void SetRecord(const FilterRecord* record) { record_ = record; }

    // The hidden channel's samples (present when hiddenChannelAfter >= 0).
    const Plane* hiddenPlane() const { return hidden_.get(); }

    std::size_t outstandingMemoryPorts() const { return memoryPorts_.size(); }
    int64_t samplesRead() const { return samplesRead_; }
    int64_t samplesWritten() const { return samplesWritten_; }
    void ResetCounts() { samplesRead_ = samplesWritten_ = 0; }

    class ActiveScope {
    public:
        explicit ActiveScope(ChannelPortsHost& host);
        ~ActiveScope();
        ActiveScope(const ActiveScope&) = delete;
        ActiveScope& operator=(const ActiveScope&) = delete;

    private:
        ChannelPortsHost* previous_;
    };

private:
    struct Port {
        enum class Kind { LayerPlane, MergedPlane, Selection, Hidden, Memory };
        Kind kind = Kind::LayerPlane;
        int layer = 0;
        int plane = 0;
        bool writable = false;
        VRect bounds{};                 // memory ports: their rectangle
        std::unique_ptr<Plane> memory;  // memory ports: their samples
    };

    static ChannelPortsHost* Enter(PixelCall call, SPErr* failure);
    Port* Find(PIChannelPort port, const char* caller);
    ChannelReadPort AddPort(Port::Kind kind, int layer, int plane, bool writable);
    ReadChannelDesc* AddChannel(ChannelReadPort port, ChannelWritePort writePort, const std::string& name, int32 depth,
                                bool target, bool shown);
    ReadChannelDesc* Chain(int layer, bool target, bool writable);
    // The plane behind a port and the offset of its (0, 0) in document coordinates.
    const Plane& PlaneOf(const Port& port) const;
    Plane& WritablePlaneOf(Port& port);
    VRect BoundsOf(const Port& port) const;
    int32 DepthOf(const Port& port) const;
    bool CheckMemory(const PixelMemoryDesc* memory, const VRect& rect, const char* caller);

    static SPErr CountLevels(PIChannelPort port, int32* count);
    static SPErr GetDepth(PIChannelPort port, int32 level, int32* depth);
    static SPErr GetDataBounds(PIChannelPort port, int32 level, VRect* bounds);
    static SPErr GetWriteLimit(PIChannelPort port, int32 level, VRect* writeBounds);
    static SPErr GetTilingGrid(PIChannelPort port, int32 level, VPoint* tileOrigin, VPoint* tileSize);
    static SPErr GetSupportRect(PIChannelPort port, int32 level, const VRect* bounds, int32* supportLevel,
                                VRect* supportBounds);
    static SPErr GetDependentRect(PIChannelPort port, int32 sourceLevel, const VRect* sourceBounds,
                                  int32 dependentLevel, VRect* dependentBounds);
    static SPErr ReadPixelsFromLevel(PIChannelPort port, int32 level, VRect* readRect,
                                     const PixelMemoryDesc* destination);
    static SPErr WritePixelsToBaseLevel(PIChannelPort port, VRect* writeRect, const PixelMemoryDesc* source);
    static SPErr ReadScaledPixels(PIChannelPort port, VRect* readRect, const PSScaling* scaling,
                                  const PixelMemoryDesc* destination);
    static SPErr FindSourceForScaledRead(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                                         int32 depth, int32* level, VRect* levelRect, VRect* levelBounds);
    static SPErr New(PIChannelPort* port, const VRect* rect, int32 depth, Boolean globalScope);
    static SPErr Dispose(PIChannelPort* port);
    static SPErr CanRead(PIChannelPort port, Boolean* canRead);
    static SPErr CanWrite(PIChannelPort port, Boolean* canWrite);

    PixelDocument& document_;
    FaultPlan& faults_;
    ProblemLog& problems_;
    WriteLog& written_;
    PSChannelPortsSuite1 table_{};  // served at version 2; the version-3 slots answer "not implemented"
    const FilterRecord* record_ = nullptr;

    DescriptionOptions options_;
    bool described_ = false;
    ReadImageDocumentDesc description_{};
    std::deque<ReadChannelDesc> channels_;
    std::deque<ReadLayerDesc> layers_;
    std::deque<std::string> names_;
    std::map<const void*, std::unique_ptr<Port>> documentPorts_;
    std::map<const void*, std::unique_ptr<Port>> memoryPorts_;
    std::unique_ptr<Plane> hidden_;
    int64_t samplesRead_ = 0;
    int64_t samplesWritten_ = 0;
};

}  // namespace hostsim
