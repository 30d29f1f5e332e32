// Shared frame of the host's suite functions: find the session of the running call, count the
// call, honour failure injection, and turn exceptions into error codes (nothing may unwind
// into the plug-in).
#pragma once
#include "hostsim/host_session.h"

#include <exception>
#include <new>
#include <string>

namespace hostsim {

template <class Body>
SPErr ServeSuiteCall(const char* name, Body body) {
    HostSession* s = HostSession::Current();
    if (!s) return kSPBadParameterError;
    if (s->callbacks().EnterSuiteFunction(name)) return s->callbacks().SuiteFunctionFailureCode(name);
    try {
        return body(*s);
    } catch (const std::bad_alloc&) {
        return SPErr(memFullErr);
    } catch (const std::exception& e) {
        s->ReportMisuse(std::string(name) + ": " + e.what());
        return kSPBadParameterError;
    }
}

// Reports a plug-in mistake and answers with the bad-parameter error.
inline SPErr Misuse(HostSession& s, const char* name, const std::string& what) {
    s.ReportMisuse(std::string(name) + ": " + what);
    return kSPBadParameterError;
}

}  // namespace hostsim
