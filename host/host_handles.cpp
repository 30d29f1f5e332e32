#include "host/host_handles.h"

namespace Corvantis::Host::PS {

bool HandleProcsUsable(const HandleProcs* procs) {
    return procs && procs->handleProcsVersion >= 1 && procs->numHandleProcs >= 6 && procs->newProc &&
           procs->disposeProc && procs->getSizeProc && procs->setSizeProc;
}

void HostUnlockHandle(const HandleProcs* procs, Handle h) {
    if (HandleProcsUsable(procs)) {
        if (procs->unlockProc) procs->unlockProc(h);
    }
    // Fallback handles stay locked for their whole life: nothing to do.
}

}  // namespace Corvantis::Host::PS
