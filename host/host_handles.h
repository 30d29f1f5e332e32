// Host memory handles: the host's handle procedures where they are usable, otherwise our own
// handles over global memory.
#pragma once
#include "pluginapi/handle_procs.h"

namespace Corvantis::Host::PS {

bool HandleProcsUsable(const HandleProcs* procs);
void HostUnlockHandle(const HandleProcs* procs, Handle h);

}  // namespace Corvantis::Host::PS
