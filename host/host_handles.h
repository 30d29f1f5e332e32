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
// The size of h, or false when the host failed to give it. A host answers 0 for a handle it
// cannot size, so a size of 0 is believed only when the host sizes a handle of one byte, made
// to ask, as one byte; the fallback handles say so by their error.
bool HostHandleSize(const HandleProcs* procs, Handle h, int32& size);
// 0 or the error of the host (or of the fallback handles).
int16 HostSetHandleSize(const HandleProcs* procs, Handle h, int32 size);
// Null when the handle cannot be locked (or the host offers no lock procedure).
void* HostLockHandle(const HandleProcs* procs, Handle h, bool moveHigh);
void HostUnlockHandle(const HandleProcs* procs, Handle h);

}  // namespace Corvantis::Host::PS
