#include "hostsim/environment.h"

#include "hostsim/windows_text.h"

#include <cstdlib>

namespace hostsim {

std::optional<std::string> EnvironmentValue(const char* name) {
    const wchar_t* value = _wgetenv(Widen(name).c_str());
    if (!value || !*value) return std::nullopt;
    return Narrow(value);
}

}  // namespace hostsim
