// The classic pixel protocol: the plug-in names rectangles and plane ranges in the filter
// record and asks the host to advance its state; the host then hands out inData, outData and
// maskData laid out as asked, and takes outData back into the document at the next advance
// (or when the call ends).
//
// What the host does with a request:
// - inRect and maskRect are in sampled coordinates (document coordinates divided by
//   inputRate / maskRate, 16.16); the host picks the nearest document pixel. Outside the
//   document the padding fields decide: 0..255 a constant, kPaddingEdgeReplicate the edge
//   pixel, kPaddingNone zeros, kPaddingError a refused request.
// - outRect is in document coordinates and must lie inside the document. outData starts with
//   the document's current samples.
// - Planes: inLoPlane..inHiPlane of the target layer (colour planes, then transparency), plus
//   dummy planes before and after when the host offers them, filled with dummyPlaneValue.
// - Layout: interleaved (wantLayout 0 and 1), or any of the alternate layouts 2 to 6 when the
//   host supports them; rows may carry padding bytes at their end (rowPadding).
// - Output the plug-in hands back is masked by the selection when autoMask is set.
// A request the host cannot serve gets a clear error code and a line in the problem log; the
// record then holds no data.
#pragma once
#include "hostsim/pixel_document.h"
#include "hostsim/problem_log.h"
#include "hostsim/write_log.h"

#include "pluginapi/filter_record.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace hostsim {

constexpr int32 kPaddingEdgeReplicate = -1;
constexpr int32 kPaddingNone = -2;
constexpr int32 kPaddingError = -3;

struct ClassicOptions {
    bool dummyPlanes = true;       // supportsDummyChannels
    bool alternateLayouts = true;  // supportsAlternateLayouts
    int16 samplingSupport = 2;     // 0 none, 1 integral rates, 2 any rate
    int32 rowPadding = 0;          // bytes added at the end of every delivered row
};

class AdvanceStateServer {
public:
    AdvanceStateServer(PixelDocument& document, ProblemLog& problems, WriteLog& written);
    ~AdvanceStateServer();
    AdvanceStateServer(const AdvanceStateServer&) = delete;
    AdvanceStateServer& operator=(const AdvanceStateServer&) = delete;

    void SetOptions(const ClassicOptions& options) { options_ = options; }
    const ClassicOptions& options() const { return options_; }

    // advanceState: takes back the output handed out before, then serves the requests standing
    // in the record.
    OSErr Advance(FilterRecord& record);
    // Writes the output handed out last into the document (masked by the selection when the
    // record's autoMask is set) and lets it go.
    void TakeBackOutput(FilterRecord& record);
    // Lets the output go without writing it (a failed run).
    void DropOutput();
    // Lets every block go and clears the record's data pointers.
    void Release(FilterRecord& record);
    // Whether the record asks for any data (a non-empty in, out or mask rectangle).
    static bool HasRequests(const FilterRecord& record);

    int advances() const { return advances_; }
    // Output rectangles written into the document.
    int outputsTaken() const { return outputsTaken_; }
    // Bytes handed out at once, at most, over all advances so far.
    int64_t peakBytes() const { return peakBytes_; }
    void ResetCounts() {
        advances_ = outputsTaken_ = 0;
        peakBytes_ = 0;
    }

private:
    struct Block {
        struct Free {
            void operator()(uint8* p) const { std::free(p); }
        };
        std::unique_ptr<uint8, Free> data;
        std::size_t size = 0;
        VRect rect{};
        int16 lo = 0, hi = -1, pre = 0, post = 0;
        int32 rowBytes = 0, colBytes = 0, planeBytes = 0;
        bool active = false;
        int16 planes() const { return int16(pre + (hi - lo + 1) + post); }
    };
    struct Request;

    OSErr Check(const Request& request, const FilterRecord& record) const;
    OSErr Lay(Block& block, const Request& request, const FilterRecord& record, int32 depth);
    void FillInput(Block& block, const Request& request, const FilterRecord& record);
    void FillMask(Block& block, const Request& request);
    void FillOutput(Block& block, const FilterRecord& record);
    void Publish(FilterRecord& record) const;

    PixelDocument& document_;
    ProblemLog& problems_;
    WriteLog& written_;
    ClassicOptions options_;
    Block in_, out_, mask_;
    int advances_ = 0;
    int outputsTaken_ = 0;
    int64_t peakBytes_ = 0;
};

}  // namespace hostsim
