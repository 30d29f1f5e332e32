#include "host/host_handles.h"

#include "host/fallback_handles.h"

namespace Corvantis::Host::PS {

bool HandleProcsUsable(const HandleProcs* procs) {
    return procs && procs->handleProcsVersion >= 1 && procs->numHandleProcs >= 6 && procs->newProc &&
           procs->disposeProc && procs->getSizeProc && procs->setSizeProc;
}

Handle HostNewHandle(const HandleProcs* procs, int32 size) {
    if (HandleProcsUsable(procs)) return procs->newProc(size);
    return FallbackNewHandle(size);
}

void HostDisposeHandle(const HandleProcs* procs, Handle h) {
    if (HandleProcsUsable(procs)) procs->disposeProc(h);
    else FallbackDisposeHandle(h);
}

int32 HostGetHandleSize(const HandleProcs* procs, Handle h) {
    if (HandleProcsUsable(procs)) return procs->getSizeProc(h);
    return FallbackGetHandleSize(h);
}

bool HostHandleSize(const HandleProcs* procs, Handle h, int32& size) {
    size = 0;
    if (!HandleProcsUsable(procs)) {
        size = FallbackGetHandleSize(h);
        return FallbackHandleError() == noErr;
    }
    const int32 reported = procs->getSizeProc(h);
    if (reported != 0) {
        size = reported;
        return reported > 0;
    }
    const Handle probe = procs->newProc(1);
    if (!probe) return false;
    const bool sizes = procs->getSizeProc(probe) == 1;
    procs->disposeProc(probe);
    return sizes;
}

int16 HostSetHandleSize(const HandleProcs* procs, Handle h, int32 size) {
    if (HandleProcsUsable(procs)) return procs->setSizeProc(h, size);
    FallbackSetHandleSize(h, size);
    return FallbackHandleError();
}

void* HostLockHandle(const HandleProcs* procs, Handle h, bool moveHigh) {
    if (HandleProcsUsable(procs)) return procs->lockProc ? procs->lockProc(h, moveHigh ? 1 : 0) : nullptr;
    // Fallback handles stay locked for their whole life.
    return FallbackHandleData(h);
}

void HostUnlockHandle(const HandleProcs* procs, Handle h) {
    if (HandleProcsUsable(procs)) {
        if (procs->unlockProc) procs->unlockProc(h);
    }
    // Fallback handles stay locked for their whole life: nothing to do.
}

}  // namespace Corvantis::Host::PS
