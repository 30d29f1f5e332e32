// Requests for input, output and mask areas. Each request takes effect at the host's next
// advance of state.
#include "host/host.h"

namespace Corvantis::Host::PS {

void Host::RequestInRect(const Rect& rect) {
    SetInRect(rect);
    AdvanceState();
}

void Host::RequestOutRect(const Rect& rect) {
    SetOutRect(rect);
    AdvanceState();
}

void Host::RequestMaskRect(const Rect& rect) {
    SetMaskRect(rect);
    AdvanceState();
}

void Host::ClearRequests(bool advance) {
    if (!filterRecord) return;
    const Rect empty{0, 0, 0, 0};
    SetInRect(empty);
    SetOutRect(empty);
    SetMaskRect(empty);
    filterRecord->inLoPlane = filterRecord->inHiPlane = 0;
    filterRecord->outLoPlane = filterRecord->outHiPlane = 0;
    filterRecord->inPreDummyPlanes = filterRecord->inPostDummyPlanes = 0;
    filterRecord->outPreDummyPlanes = filterRecord->outPostDummyPlanes = 0;
    if (advance) AdvanceState();
}

void Host::ReleaseInputData() {
    if (!filterRecord || (!filterRecord->inData && !filterRecord->maskData)) return;
    const Rect empty{0, 0, 0, 0};
    SetInRect(empty);
    SetMaskRect(empty);
    AdvanceState();
}

}  // namespace Corvantis::Host::PS
