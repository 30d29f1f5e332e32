// The host's environment variables, as UTF-8 like every other text of the host. On Windows
// they are read as UTF-16 (the narrow environment holds only what the code page can say).
#pragma once
#include <optional>
#include <string>

namespace hostsim {

// The variable's value; nullopt when it is not set or empty.
std::optional<std::string> EnvironmentValue(const char* name);

}  // namespace hostsim
