#include "hostsim/environment.h"

#include <cstdlib>

namespace hostsim {

std::optional<std::string> EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace hostsim
