// The host callbacks of the filter record and the functions of the host's suites, each of
// which a test can make fail or withhold.
#pragma once
#include "pluginapi/pi_types.h"

#include <array>
#include <map>
#include <optional>
#include <string>

namespace hostsim {

// Callbacks the session serves through the filter record. A new callback gets an entry here
// (and its name in callback_table.cpp), a trampoline that starts with `if (Enter(...))`, and a
// line where the record is filled.
enum class HostCallback {
    Abort,         // abortProc: Failing means "the user asked to stop"
    Progress,      // progressProc
    AdvanceState,  // advanceState: Failing returns the failure code
    DisplayPixels, // displayPixels: Failing draws nothing and returns the failure code
    ColorServices, // colorServices: Failing answers nothing and returns the failure code

    // handleProcs. Failing: new and lock give null, setSize the failure code, size 0;
    // dispose, unlock, recoverSpace and disposeRegular do nothing.
    NewHandle,
    DisposeHandle,
    GetHandleSize,
    SetHandleSize,
    LockHandle,
    UnlockHandle,
    RecoverSpace,
    DisposeRegularHandle,

    // descriptorParameters->readDescriptorProcs. Failing: open gives null, getKey false (and
    // the close then answers the failure code), the others the failure code.
    OpenReadDescriptor,
    CloseReadDescriptor,
    GetKey,
    GetInteger,
    GetFloat,
    GetUnitFloat,
    GetBoolean,
    GetText,
    GetEnumerated,
    GetObject,

    // descriptorParameters->writeDescriptorProcs. Failing: open gives null, the others the
    // failure code.
    OpenWriteDescriptor,
    CloseWriteDescriptor,
    PutInteger,
    PutFloat,
    PutUnitFloat,
    PutBoolean,
    PutText,
    PutEnumerated,
    PutObject,

    Count
};

enum class CallbackMode {
    Normal,   // served normally
    Failing,  // present, but answers with the failure code
    Absent,   // the record's (or suite's) pointer is null
};

class CallbackTable {
public:
    static constexpr std::size_t kCount = std::size_t(HostCallback::Count);

    // `fromCall`: the first call (counting from 1 since the last ResetCounts) that fails;
    // the calls before it are served normally.
    void Set(HostCallback callback, CallbackMode mode, OSErr failureCode = paramErr, int fromCall = 1);
    CallbackMode Mode(HostCallback callback) const { return slots_[Index(callback)].mode; }
    bool Present(HostCallback callback) const { return Mode(callback) != CallbackMode::Absent; }
    OSErr FailureCode(HostCallback callback) const { return OSErr(slots_[Index(callback)].failureCode); }

    // Called first by each callback: counts the call and tells whether it must fail.
    bool Enter(HostCallback callback);
    int Calls(HostCallback callback) const { return slots_[Index(callback)].calls; }
    void ResetCounts();

    static const char* Name(HostCallback callback);
    // The callback of a Name ("newHandle", "putText", ...), if any.
    static std::optional<HostCallback> FromName(const std::string& name);

    // Suite functions, named "Suite.Function" ("ActionDescriptor.PutFloat"); "Suite.*" stands
    // for every function of the suite (an exact name wins over it). Absent functions are null
    // in the suite's table; whole suites are switched off in the BasicSuite.
    void SetSuiteFunction(const std::string& name, CallbackMode mode, int32 failureCode = paramErr, int fromCall = 1);
    CallbackMode SuiteFunctionMode(const std::string& name) const;
    int32 SuiteFunctionFailureCode(const std::string& name) const;
    // Counts the call and tells whether it must fail.
    bool EnterSuiteFunction(const std::string& name);
    int SuiteFunctionCalls(const std::string& name) const;

private:
    static std::size_t Index(HostCallback callback) { return std::size_t(callback); }

    struct Slot {
        CallbackMode mode = CallbackMode::Normal;
        int32 failureCode = paramErr;
        int fromCall = 1;
        int calls = 0;
    };
    const Slot* FindSuiteSlot(const std::string& name) const;

    std::array<Slot, kCount> slots_{};
    std::map<std::string, Slot> suiteSlots_;   // settings, by exact name or "Suite.*"
    std::map<std::string, int> suiteCalls_;    // calls, by exact name
};

}  // namespace hostsim
