#include "hostsim/state_folder.h"

#include "hostsim/host_error.h"

#include <cstdlib>

namespace hostsim {

std::string DefaultStateFolder() {
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) return std::string(local) + "\\Tellora\\hostsim";
    throw HostError("no state folder: set TELLORA_HOSTSIM_STATE or LOCALAPPDATA");
}

const char* DefaultStateFolderText() { return "%LOCALAPPDATA%\\Tellora\\hostsim"; }

}  // namespace hostsim
