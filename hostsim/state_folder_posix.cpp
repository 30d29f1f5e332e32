#include "hostsim/state_folder.h"

#include "hostsim/host_error.h"

#include <cstdlib>

namespace hostsim {

std::string DefaultStateFolder() {
    // The XDG base directory rules ignore a relative state home.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return std::string(state) + "/tellora/hostsim";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/state/tellora/hostsim";
    throw HostError("no state folder: set TELLORA_HOSTSIM_STATE, XDG_STATE_HOME or HOME");
}

const char* DefaultStateFolderText() { return "${XDG_STATE_HOME:-~/.local/state}/tellora/hostsim"; }

}  // namespace hostsim
