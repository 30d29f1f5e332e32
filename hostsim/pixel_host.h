// The pixel side of the host for one document: it fills the filter record's image fields,
// serves advanceState (classic protocol), the buffer procs, the ChannelPorts suite with the
// document description (ports protocol) and the ColorSpace suite, writes the plug-in's output
// into the document, and counts what the plug-in borrowed so that leaks show.
//
// A test sets up a document, a session and a PixelHost on them, and may then:
//  - switch things off (options, or null single entries of buffers().procs(),
//    ports().table(), colorSpace().table());
//  - make the n-th call of any pixel callback fail (faults().FailAt);
//  - after the run, read problems() and Outstanding().
#pragma once
#include "hostsim/advance_state_server.h"
#include "hostsim/buffer_procs.h"
#include "hostsim/channel_ports_suite.h"
#include "hostsim/color_engine.h"
#include "hostsim/color_space_suite.h"
#include "hostsim/fault_plan.h"
#include "hostsim/pixel_document.h"
#include "hostsim/problem_log.h"
#include "hostsim/session_hooks.h"

#include <functional>
#include <optional>
#include <string>

namespace hostsim {

class HostSession;

// How the plug-in is to get its pixels. Classic: no ChannelPorts suite and no document
// description, so advanceState is the only way. Ports: both are offered.
enum class PixelProtocol { Classic, Ports };
const char* PixelProtocolName(PixelProtocol protocol);

struct PixelHostOptions {
    PixelProtocol protocol = PixelProtocol::Ports;
    int32 tileWidth = 0;   // outTileWidth / outTileHeight; 0: the host names no tile size
    int32 tileHeight = 0;
    ClassicOptions classic;
    DescriptionOptions description;
    bool documentInfo = true;     // with the ports protocol: documentInfo (else null)
    bool bufferProcs = true;      // bufferProcs (else null)
    bool colorSpaceSuite = true;  // the ColorSpace suite is offered
    bool autoMask = true;         // the record's autoMask at the start of a run
};

// What the plug-in still holds from the host.
struct Outstanding {
    std::size_t buffers = 0;
    int lockedBuffers = 0;
    std::size_t memoryPorts = 0;
    std::size_t colors = 0;
    int suites = 0;
    bool any() const { return buffers || lockedBuffers || memoryPorts || colors || suites; }
    std::string Describe() const;
};

class PixelHost : public SessionHooks {
public:
    // Attaches to the session (its document becomes this one's description) and registers the
    // suites with its basic suite. Both must outlive the PixelHost.
    PixelHost(HostSession& session, PixelDocument& document, const PixelHostOptions& options = {});
    ~PixelHost() override;
    PixelHost(const PixelHost&) = delete;
    PixelHost& operator=(const PixelHost&) = delete;

    const PixelHostOptions& options() const { return options_; }
    // Takes effect at once: the session's filter record is built afresh.
    void SetOptions(const PixelHostOptions& options);
    // After the document's structure changed (layers, selection, transparency): describe it
    // to the session again and rebuild the record.
    void Refresh();

    PixelDocument& document() { return document_; }
    FaultPlan& faults() { return faults_; }
    // The session's problem log, where the pixel callbacks report what they refused.
    ProblemLog& problems() { return problems_; }
    BufferProcsHost& buffers() { return buffers_; }
    ChannelPortsHost& ports() { return ports_; }
    ColorSpaceSuiteHost& colorSpace() { return colorSpace_; }
    AdvanceStateServer& classic() { return classic_; }
    // The target layer's rectangles the plug-in's output went into, either protocol.
    WriteLog& written() { return written_; }
    ColorEngine& engine() { return engine_; }

    Outstanding outstanding() const;
    // Zeroes every call count and statistic.
    void ResetCounts();
    // After Start or Continue: the plug-in left requests for data standing, so the host calls
    // Continue with that data.
    bool WantsContinue() const { return wantsContinue_; }
    // Progress reports seen and the last one.
    int progressReports() const { return progressReports_; }
    int32 progressDone() const { return progressDone_; }
    int32 progressTotal() const { return progressTotal_; }
    std::function<void(int32 done, int32 total)> onProgress;

    // SessionHooks
    void OnRecordReset(FilterRecord& record, BigDocumentStruct& bigDocument) override;
    void BeforeCall(int16 selector, FilterRecord& record) override;
    void AfterCall(int16 selector, int16 result, FilterRecord& record) override;
    OSErr AdvanceState(FilterRecord& record) override;
    void OnProgress(int32 done, int32 total) override;

private:
    void RegisterSuites();

    HostSession& session_;
    PixelDocument& document_;
    PixelHostOptions options_;
    FaultPlan faults_;
    ProblemLog& problems_;  // the session's
    WriteLog written_;
    ColorEngine engine_;
    BufferProcsHost buffers_;
    ChannelPortsHost ports_;
    ColorSpaceSuiteHost colorSpace_;
    AdvanceStateServer classic_;

    std::optional<BufferProcsHost::ActiveScope> buffersActive_;
    std::optional<ChannelPortsHost::ActiveScope> portsActive_;
    std::optional<ColorSpaceSuiteHost::ActiveScope> colorsActive_;
    bool wantsContinue_ = false;
    int progressReports_ = 0;
    int32 progressDone_ = 0;
    int32 progressTotal_ = 0;
};

}  // namespace hostsim
