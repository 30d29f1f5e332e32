#include "hostsim/pixel_host.h"

#include "hostsim/host_session.h"

#include <algorithm>

namespace hostsim {
namespace {

int16 Clamp16(int32 v) { return int16(std::clamp<int32>(v, -32768, 32767)); }

}  // namespace

const char* PixelProtocolName(PixelProtocol protocol) {
    return protocol == PixelProtocol::Classic ? "classic" : "ports";
}

std::string Outstanding::Describe() const {
    std::string text;
    auto add = [&](std::size_t n, const char* what) {
        if (!n) return;
        if (!text.empty()) text += ", ";
        text += std::to_string(n) + " " + what;
    };
    add(buffers, "buffer(s)");
    add(std::size_t(lockedBuffers), "locked buffer(s)");
    add(memoryPorts, "pixel-memory port(s)");
    add(colors, "colour object(s)");
    add(std::size_t(suites), "acquired suite(s)");
    return text.empty() ? "nothing" : text;
}

PixelHost::PixelHost(HostSession& session, PixelDocument& document, const PixelHostOptions& options)
    : session_(session), document_(document), options_(options), problems_(session.problems()),
      buffers_(faults_, problems_),
      ports_(document_, faults_, problems_, written_), colorSpace_(engine_, faults_, problems_),
      classic_(document_, problems_, written_) {
    RegisterSuites();
    session_.SetDocument(document_.Describe());
    session_.SetHooks(this);
}

PixelHost::~PixelHost() {
    session_.SetHooks(nullptr);
    // The tables die with this host: the session must not hand them out any more.
    session_.basicSuite().SetEnabled(kPSChannelPortsSuite, false);
    session_.basicSuite().SetEnabled(kPSColorSpaceSuite, false);
}

void PixelHost::RegisterSuites() {
    BasicSuite& basic = session_.basicSuite();
    basic.Register(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion, ports_.table());
    basic.Register(kPSColorSpaceSuite, kPSColorSpaceSuiteVersion, colorSpace_.table());
    basic.SetEnabled(kPSChannelPortsSuite, options_.protocol == PixelProtocol::Ports);
    basic.SetEnabled(kPSColorSpaceSuite, options_.colorSpaceSuite);
}

void PixelHost::SetOptions(const PixelHostOptions& options) {
    options_ = options;
    RegisterSuites();
    session_.ResetFilterRecord();
}

void PixelHost::Refresh() { session_.SetDocument(document_.Describe()); }

Outstanding PixelHost::outstanding() const {
    Outstanding o;
    o.buffers = buffers_.outstanding();
    o.lockedBuffers = buffers_.lockedBlocks();
    o.memoryPorts = ports_.outstandingMemoryPorts();
    o.colors = colorSpace_.outstandingColors();
    o.suites = session_.basicSuite().OutstandingAcquires();
    return o;
}

void PixelHost::ResetCounts() {
    faults_.ResetCounts();
    buffers_.ResetCounts();
    ports_.ResetCounts();
    classic_.ResetCounts();
    written_.Clear();
    problems_.Clear();
    progressReports_ = 0;
    progressDone_ = progressTotal_ = 0;
}

void PixelHost::OnRecordReset(FilterRecord& r, BigDocumentStruct& big) {
    const PixelDocument& doc = document_;
    const VRect filter = doc.SelectionBounds();
    const bool transparency = doc.target().transparency != nullptr;
    r.imageSize = Point{Clamp16(doc.height()), Clamp16(doc.width())};
    r.wholeSize = r.imageSize;
    r.planes = doc.target().planeCount();
    r.imageMode = doc.mode();
    r.depth = doc.depth();
    r.filterRect = ::Rect{Clamp16(filter.top), Clamp16(filter.left), Clamp16(filter.bottom), Clamp16(filter.right)};
    r.haveMask = doc.hasSelection() ? 1 : 0;
    r.autoMask = options_.autoMask ? 1 : 0;
    if (transparency)
        r.filterCase = doc.hasSelection() ? filterCaseEditableTransparencyWithSelection
                                          : filterCaseEditableTransparencyNoSelection;
    else
        r.filterCase = doc.hasSelection() ? filterCaseFlatImageWithSelection : filterCaseFlatImageNoSelection;
    r.inLayerPlanes = r.outLayerPlanes = r.absLayerPlanes = doc.colorPlanes();
    r.inTransparencyMask = r.outTransparencyMask = r.absTransparencyMask = transparency ? 1 : 0;
    r.bufferProcs = options_.bufferProcs ? buffers_.procs() : nullptr;
    r.inputRate = r.maskRate = Fixed(1) << 16;
    r.samplingSupport = options_.classic.samplingSupport;
    r.supportsDummyChannels = options_.classic.dummyPlanes ? 1 : 0;
    r.supportsAlternateLayouts = options_.classic.alternateLayouts ? 1 : 0;
    // The same tile grid for input, output and mask (0: the host names none).
    r.inTileWidth = r.outTileWidth = r.maskTileWidth = r.absTileWidth = Clamp16(options_.tileWidth);
    r.inTileHeight = r.outTileHeight = r.maskTileHeight = r.absTileHeight = Clamp16(options_.tileHeight);
    r.documentInfo = options_.protocol == PixelProtocol::Ports && options_.documentInfo
                         ? ports_.Describe(options_.description)
                         : nullptr;
    classic_.SetOptions(options_.classic);

    big.imageSize32 = VPoint{doc.height(), doc.width()};
    big.filterRect32 = filter;
    big.wholeSize32 = big.imageSize32;
}

void PixelHost::BeforeCall(int16, FilterRecord& r) {
    buffersActive_.emplace(buffers_);
    portsActive_.emplace(ports_);
    colorsActive_.emplace(colorSpace_);
    ports_.SetRecord(&r);
    wantsContinue_ = false;
}

void PixelHost::AfterCall(int16 selector, int16 result, FilterRecord& r) {
    const bool running = selector == filterSelectorStart || selector == filterSelectorContinue;
    wantsContinue_ = false;
    if (running && result == noErr) {
        classic_.TakeBackOutput(r);
        // Requests left standing are served for the Continue call that follows.
        if (AdvanceStateServer::HasRequests(r)) {
            wantsContinue_ = true;
            if (classic_.Advance(r) != noErr) wantsContinue_ = false;
        } else {
            classic_.Release(r);
        }
    } else {
        // A failed run keeps what was written before; the output of the failing step is dropped.
        classic_.DropOutput();
        classic_.Release(r);
    }
    ports_.SetRecord(nullptr);
    colorsActive_.reset();
    portsActive_.reset();
    buffersActive_.reset();
}

OSErr PixelHost::AdvanceState(FilterRecord& r) {
    int32 code = 0;
    if (faults_.Enter(PixelCall::AdvanceState, &code)) {
        // The output handed out before is taken back all the same: only the new request fails.
        classic_.TakeBackOutput(r);
        classic_.Release(r);
        return OSErr(code);
    }
    // Nothing may be thrown back into the plug-in.
    try {
        return classic_.Advance(r);
    } catch (const std::exception& e) {
        problems_.Add(std::string("advanceState: ") + e.what());
        classic_.Release(r);
        return memFullErr;
    }
}

void PixelHost::OnProgress(int32 done, int32 total) {
    ++progressReports_;
    if (total <= 0 || done < 0 || done > total)
        problems_.Add("progressProc: " + std::to_string(done) + " of " + std::to_string(total));
    progressDone_ = done;
    progressTotal_ = total;
    if (onProgress) onProgress(done, total);
}

}  // namespace hostsim
