// The DescriptorRegistry suite over the session's registry.
#include "hostsim/action_suites.h"
#include "hostsim/descriptor_registry.h"
#include "hostsim/host_error.h"
#include "hostsim/suite_call.h"
#include "hostsim/unserved.h"

namespace hostsim {

namespace {

// What the host answers when the registry file cannot be read or written.
constexpr SPErr kRegistryFileError = -36;  // an I/O error

#define NAME(f) "DescriptorRegistry." #f

// The registry keeps a copy: the caller still owns and frees its descriptor.
SPErr RegistryRegister(const char* key, PIActionDescriptor descriptor, Boolean isPersistent) {
    return ServeSuiteCall(NAME(Register), [&](HostSession& s) -> SPErr {
        if (!key || !*key) return Misuse(s, NAME(Register), "no key");
        const Descriptor* d = s.actionSuites().FindDescriptor(descriptor);
        if (!d) return Misuse(s, NAME(Register), "not a live descriptor");
        try {
            s.actionSuites().registry().Register(key, *d, isPersistent != 0);
        } catch (const HostError&) {
            return kRegistryFileError;  // the host's own failure: the registry keeps it for the run's report
        }
        return kSPNoError;
    });
}

SPErr RegistryErase(const char* key) {
    return ServeSuiteCall(NAME(Erase), [&](HostSession& s) -> SPErr {
        if (!key) return Misuse(s, NAME(Erase), "no key");
        try {
            return s.actionSuites().registry().Erase(key) ? kSPNoError : SPErr(kErrKeyNotFound);
        } catch (const HostError&) {
            return kRegistryFileError;  // the host's own failure: the registry keeps it for the run's report
        }
    });
}

// No entry under the key is not an error: the result is a null descriptor. The caller frees
// the descriptor it gets.
SPErr RegistryGet(const char* key, PIActionDescriptor* descriptor) {
    return ServeSuiteCall(NAME(Get), [&](HostSession& s) -> SPErr {
        if (!descriptor) return Misuse(s, NAME(Get), "null result pointer");
        *descriptor = nullptr;
        if (!key) return Misuse(s, NAME(Get), "no key");
        std::optional<Descriptor> d;
        try {
            d = s.actionSuites().registry().Get(key);
        } catch (const HostError& e) {
            s.problems().Add(std::string("the descriptor registry could not be read: ") + e.what());
            return kRegistryFileError;
        }
        if (d) *descriptor = s.actionSuites().AddDescriptor(std::move(*d));
        return kSPNoError;
    });
}

#undef NAME

}  // namespace

// The function list names every entry of the table.
static_assert(sizeof(PSDescriptorRegistryProcs) ==
              (0 HOSTSIM_DESCRIPTOR_REGISTRY_FUNCTIONS(HOSTSIM_COUNT_SLOT)) * sizeof(void*));

void FillDescriptorRegistryProcs(PSDescriptorRegistryProcs& procs, const CallbackTable& callbacks) {
#define HOSTSIM_FILL(f) \
    procs.f = callbacks.SuiteFunctionMode("DescriptorRegistry." #f) == CallbackMode::Absent ? nullptr \
                                                                                            : &AsOSErr<&Registry##f>::Call;
    HOSTSIM_DESCRIPTOR_REGISTRY_FUNCTIONS(HOSTSIM_FILL)
#undef HOSTSIM_FILL
}

}  // namespace hostsim
