// Table entries the host does not serve, and the bridge from the host's internal error codes
// to the 16-bit codes of the tables that return OSErr. A table the host hands out has every
// slot set: a function it does not serve answers "not implemented" instead of being null.
#pragma once
#include "pluginapi/pi_types.h"

#include <type_traits>

namespace hostsim {

// What an unserved function answers, by its result type: OSErr tables the host's
// "cannot do that" code, SPErr/ASErr tables the suites' "not implemented", anything else
// zero (null, false, no space).
template <class R>
R NotServedResult() {
    if constexpr (std::is_same_v<R, OSErr>) {
        return errPlugInHostInsufficient;
    } else if constexpr (std::is_same_v<R, SPErr>) {
        return kSPUnimplementedError;
    } else {
        return R{};
    }
}

template <class Fn>
struct NotServedProc;
template <class R, class... Args>
struct NotServedProc<R (*)(Args...)> {
    static R Call(Args...) {
        if constexpr (!std::is_void_v<R>) return NotServedResult<R>();
    }
};

// The function to put into an unserved slot of type Fn.
template <class Fn>
constexpr Fn NotServed() {
    return &NotServedProc<Fn>::Call;
}

// A code of the host's suites as a 16-bit OSErr: codes that fit stay as they are; the
// suites' four-character codes become their OSErr counterparts.
inline OSErr ToOSErr(SPErr err) {
    if (err >= -32768 && err <= 32767) return OSErr(err);
    if (err == kSPUnimplementedError) return errPlugInHostInsufficient;
    return paramErr;
}

// Serves an OSErr slot with a host function written against SPErr.
template <auto F>
struct AsOSErr;
template <class... Args, SPErr (*F)(Args...)>
struct AsOSErr<F> {
    static OSErr Call(Args... args) { return ToOSErr(F(args...)); }
};

}  // namespace hostsim
