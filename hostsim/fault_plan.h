// Failures the host injects into its pixel callbacks and suite functions: a test names a
// call and the n-th time it is made (1-based), and that call answers with a failure code
// instead of doing its work.
#pragma once
#include "pluginapi/pi_types.h"

#include <array>
#include <cstddef>

namespace hostsim {

// The pixel calls a plug-in can make, each counted separately.
enum class PixelCall {
    AdvanceState,
    // buffer procs
    AllocateBuffer,
    LockBuffer,
    UnlockBuffer,
    FreeBuffer,
    BufferSpace,
    // ChannelPorts suite
    CountLevels,
    GetDepth,
    GetDataBounds,
    GetWriteLimit,
    GetTilingGrid,
    GetSupportRect,
    GetDependentRect,
    ReadPixelsFromLevel,
    WritePixelsToBaseLevel,
    ReadScaledPixels,
    FindSourceForScaledRead,
    NewPort,
    DisposePort,
    CanRead,
    CanWrite,
    // ColorSpace suite
    MakeColor,
    DeleteColor,
    StuffComponents,
    ExtractComponents,
    Convert8,
    Convert16,
    Convert8to16,
    Convert16to8,
    ConvertToMonitorRGB,
    Convert32to8,
    Count
};

const char* PixelCallName(PixelCall call);

class FaultPlan {
public:
    static constexpr std::size_t kCount = std::size_t(PixelCall::Count);

    // The n-th call (counted from the last ResetCounts) fails with `code`; with `onwards`
    // every later call fails too. n <= 0 clears the fault.
    void FailAt(PixelCall call, int n, int32 code, bool onwards = false);
    void Clear(PixelCall call) { FailAt(call, 0, 0); }
    void ClearAll();

    // Counts the call; true (and the code) when it must fail.
    bool Enter(PixelCall call, int32* code);
    int Calls(PixelCall call) const { return slots_[std::size_t(call)].calls; }
    // Calls that failed by plan.
    int Failures(PixelCall call) const { return slots_[std::size_t(call)].failures; }
    void ResetCounts();

private:
    struct Slot {
        int failAt = 0;
        bool onwards = false;
        int32 code = 0;
        int calls = 0;
        int failures = 0;
    };
    std::array<Slot, kCount> slots_{};
};

}  // namespace hostsim
