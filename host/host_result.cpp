#include "host/host_result.h"

#include <limits>

namespace Corvantis::Host::PS {

int16 HostFacingResult(int32 code) {
    switch (code) {
        case noErr: return noErr;
        case nilHandleErr:
        case memWZErr:
        case errMissingParameter:  // -1715: no write descriptor
        case -19:    // a key no parameter claims
            return errPlugInHostInsufficient;
        default: break;
    }
    if (code < std::numeric_limits<int16>::min() || code > std::numeric_limits<int16>::max())
        return errPlugInHostInsufficient;
    return int16(code);
}

}  // namespace Corvantis::Host::PS
