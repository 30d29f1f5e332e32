#include "hostsim/callback_table.h"

namespace hostsim {

namespace {

constexpr const char* kNames[CallbackTable::kCount] = {
    "abort",         "progress",      "advanceState",  "displayPixels", "colorServices",

    "newHandle",     "disposeHandle", "getHandleSize",  "setHandleSize", "lockHandle",
    "unlockHandle",  "recoverSpace",  "disposeRegularHandle",

    "openReadDescriptor", "closeReadDescriptor", "getKey", "getInteger", "getFloat", "getUnitFloat",
    "getBoolean",    "getText",       "getEnumerated",  "getObject",

    "openWriteDescriptor", "closeWriteDescriptor", "putInteger", "putFloat", "putUnitFloat",
    "putBoolean",    "putText",       "putEnumerated",  "putObject",
};

std::string SuiteOf(const std::string& name) {
    const std::size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

void CallbackTable::Set(HostCallback callback, CallbackMode mode, OSErr failureCode, int fromCall) {
    Slot& slot = slots_[Index(callback)];
    slot.mode = mode;
    slot.failureCode = failureCode;
    slot.fromCall = fromCall < 1 ? 1 : fromCall;
}

bool CallbackTable::Enter(HostCallback callback) {
    Slot& slot = slots_[Index(callback)];
    ++slot.calls;
    return slot.mode == CallbackMode::Failing && slot.calls >= slot.fromCall;
}

void CallbackTable::ResetCounts() {
    for (Slot& slot : slots_) slot.calls = 0;
    suiteCalls_.clear();
}

const char* CallbackTable::Name(HostCallback callback) {
    const std::size_t i = Index(callback);
    return i < kCount ? kNames[i] : "?";
}

std::optional<HostCallback> CallbackTable::FromName(const std::string& name) {
    for (std::size_t i = 0; i < kCount; ++i) {
        if (name == kNames[i]) return HostCallback(i);
    }
    return std::nullopt;
}

void CallbackTable::SetSuiteFunction(const std::string& name, CallbackMode mode, int32 failureCode, int fromCall) {
    Slot& slot = suiteSlots_[name];
    slot.mode = mode;
    slot.failureCode = failureCode;
    slot.fromCall = fromCall < 1 ? 1 : fromCall;
}

const CallbackTable::Slot* CallbackTable::FindSuiteSlot(const std::string& name) const {
    auto it = suiteSlots_.find(name);
    if (it == suiteSlots_.end()) it = suiteSlots_.find(SuiteOf(name) + ".*");
    return it == suiteSlots_.end() ? nullptr : &it->second;
}

CallbackMode CallbackTable::SuiteFunctionMode(const std::string& name) const {
    const Slot* slot = FindSuiteSlot(name);
    return slot ? slot->mode : CallbackMode::Normal;
}

int32 CallbackTable::SuiteFunctionFailureCode(const std::string& name) const {
    const Slot* slot = FindSuiteSlot(name);
    return slot ? slot->failureCode : int32(paramErr);
}

bool CallbackTable::EnterSuiteFunction(const std::string& name) {
    const int calls = ++suiteCalls_[name];
    const Slot* slot = FindSuiteSlot(name);
    return slot && slot->mode == CallbackMode::Failing && calls >= slot->fromCall;
}

int CallbackTable::SuiteFunctionCalls(const std::string& name) const {
    const auto it = suiteCalls_.find(name);
    return it == suiteCalls_.end() ? 0 : it->second;
}

}  // namespace hostsim
