#include "hostsim/fault_plan.h"

namespace hostsim {

const char* PixelCallName(PixelCall call) {
    static constexpr const char* kNames[] = {
        "advanceState",
        "allocateProc", "lockProc", "unlockProc", "freeProc", "spaceProc",
        "CountLevels", "GetDepth", "GetDataBounds", "GetWriteLimit", "GetTilingGrid", "GetSupportRect",
        "GetDependentRect",
        "ReadPixelsFromLevel", "WritePixelsToBaseLevel", "ReadScaledPixels", "FindSourceForScaledRead", "New",
        "Dispose", "CanRead", "CanWrite",
        "Make", "Delete", "StuffComponents", "ExtractComponents", "Convert8", "Convert16", "Convert8to16",
        "Convert16to8", "ConvertToMonitorRGB", "Convert32to8",
    };
    static_assert(sizeof kNames / sizeof kNames[0] == FaultPlan::kCount, "a name for every pixel call");
    const std::size_t i = std::size_t(call);
    return i < FaultPlan::kCount ? kNames[i] : "?";
}

void FaultPlan::FailAt(PixelCall call, int n, int32 code, bool onwards) {
    Slot& slot = slots_[std::size_t(call)];
    slot.failAt = n > 0 ? n : 0;
    slot.onwards = onwards;
    slot.code = code;
}

void FaultPlan::ClearAll() {
    for (Slot& slot : slots_) slot.failAt = 0;
}

bool FaultPlan::Enter(PixelCall call, int32* code) {
    Slot& slot = slots_[std::size_t(call)];
    ++slot.calls;
    const bool fails = slot.failAt > 0 && (slot.calls == slot.failAt || (slot.onwards && slot.calls > slot.failAt));
    if (!fails) return false;
    ++slot.failures;
    if (code) *code = slot.code;
    return true;
}

void FaultPlan::ResetCounts() {
    for (Slot& slot : slots_) slot.calls = slot.failures = 0;
}

}  // namespace hostsim
