// The host callbacks of the filter record, each of which a test can make fail or withhold.
#pragma once
#include "pluginapi/pi_types.h"

#include <array>

namespace hostsim {

// Callbacks the session serves. A new callback gets an entry here, a trampoline in
// HostSession that starts with `if (Fails(...))`, and a line where the record is filled.
enum class HostCallback {
    Abort,         // abortProc: Failing means "the user asked to stop"
    Progress,      // progressProc
    AdvanceState,  // advanceState: Failing returns the failure code
    Count
};

enum class CallbackMode {
    Normal,   // served normally
    Failing,  // present, but answers with the failure code
    Absent,   // the record's pointer is null
};

class CallbackTable {
public:
    static constexpr std::size_t kCount = std::size_t(HostCallback::Count);

    void Set(HostCallback callback, CallbackMode mode, OSErr failureCode = paramErr);
    CallbackMode Mode(HostCallback callback) const { return slots_[Index(callback)].mode; }
    bool Present(HostCallback callback) const { return Mode(callback) != CallbackMode::Absent; }
    OSErr FailureCode(HostCallback callback) const { return slots_[Index(callback)].failureCode; }

    // Called first by each callback: counts the call and tells whether it must fail.
    bool Enter(HostCallback callback);
    int Calls(HostCallback callback) const { return slots_[Index(callback)].calls; }
    void ResetCounts();

    static const char* Name(HostCallback callback);

private:
    static std::size_t Index(HostCallback callback) { return std::size_t(callback); }

    struct Slot {
        CallbackMode mode = CallbackMode::Normal;
        OSErr failureCode = paramErr;
        int calls = 0;
    };
    std::array<Slot, kCount> slots_{};
};

}  // namespace hostsim
