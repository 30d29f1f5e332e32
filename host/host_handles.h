// Host memory handles: the host's handle procedures where they are usable, otherwise our own
// handles over global memory (host/fallback_handles.h).
#pragma once
#include "pluginapi/handle_procs.h"

namespace Corvantis::Host::PS {

// procs non-null, version >= 1, at least 6 procedures, and new, dispose, size and resize set.
bool HandleProcsUsable(const HandleProcs* procs);

Handle HostNewHandle(const HandleProcs* procs, int32 size);
void HostDisposeHandle(const HandleProcs* procs, Handle h);
// Negative sizes from a host are passed on as they come; callers treat them as empty.
int32 HostGetHandleSize(const HandleProcs* procs, Handle h);
// 0 or the error of the host (or of the fallback handles).
int16 HostSetHandleSize(const HandleProcs* procs, Handle h, int32 size);
// Null when the handle cannot be locked (or the host offers no lock procedure).
void* HostLockHandle(const HandleProcs* procs, Handle h, bool moveHigh);
void HostUnlockHandle(const HandleProcs* procs, Handle h);

}  // namespace Corvantis::Host::PS
