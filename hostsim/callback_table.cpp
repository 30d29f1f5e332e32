#include "hostsim/callback_table.h"

namespace hostsim {

void CallbackTable::Set(HostCallback callback, CallbackMode mode, OSErr failureCode) {
    Slot& slot = slots_[Index(callback)];
    slot.mode = mode;
    slot.failureCode = failureCode;
}

bool CallbackTable::Enter(HostCallback callback) {
    Slot& slot = slots_[Index(callback)];
    ++slot.calls;
    return slot.mode == CallbackMode::Failing;
}

void CallbackTable::ResetCounts() {
    for (Slot& slot : slots_) slot.calls = 0;
}

const char* CallbackTable::Name(HostCallback callback) {
    switch (callback) {
        case HostCallback::Abort: return "abort";
        case HostCallback::Progress: return "progress";
        case HostCallback::AdvanceState: return "advanceState";
        case HostCallback::Count: break;
    }
    return "?";
}

}  // namespace hostsim
