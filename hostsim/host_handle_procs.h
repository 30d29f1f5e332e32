// The filter record's handle procs, served from the current session's HandleStore.
#pragma once
#include "hostsim/callback_table.h"

#include "pluginapi/handle_procs.h"

namespace hostsim {

// Fills `procs` (version 1, all eight procs); a callback switched to Absent gets a null entry.
void FillHandleProcs(HandleProcs& procs, const CallbackTable& callbacks);

}  // namespace hostsim
