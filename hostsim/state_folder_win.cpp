#include "hostsim/state_folder.h"

#include "hostsim/environment.h"
#include "hostsim/host_error.h"

namespace hostsim {

std::string DefaultStateFolder() {
    if (const std::optional<std::string> local = EnvironmentValue("LOCALAPPDATA")) return *local + "\\Tellora\\hostsim";
    throw HostError("no state folder: set TELLORA_HOSTSIM_STATE or LOCALAPPDATA");
}

const char* DefaultStateFolderText() { return "%LOCALAPPDATA%\\Tellora\\hostsim"; }

}  // namespace hostsim
