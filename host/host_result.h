// Result codes that may reach the host's result slot.
#pragma once
#include "pluginapi/pi_types.h"

namespace Corvantis::Host::PS {

// The code to give the host for an error met inside the plug-in. Codes that only mean
// something between the plug-in's own parts (the fallback handles' -109 and -111, -1715 for a
// descriptor that cannot be opened, -19 for a key nobody claims) and the basic suite's
// four-character codes become -30900: the host could not do what the plug-in needed.
// Everything else a host callback answered is passed on as it is.
int16 HostFacingResult(int32 code);

}  // namespace Corvantis::Host::PS
