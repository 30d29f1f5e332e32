#include "filter/dialog_hook.h"

namespace {

std::function<bool(Corvantis::Host::PS::Parameters*)>& StandIn() {
    static std::function<bool(Corvantis::Host::PS::Parameters*)> standIn;
    return standIn;
}
int gDialogRequests = 0;

}  // namespace

void SetDialogStandIn(std::function<bool(Corvantis::Host::PS::Parameters*)> standIn) {
    StandIn() = std::move(standIn);
}

int DialogRequestCount() { return gDialogRequests; }

bool RunTelloraDialog(Corvantis::Host::PS::Host&, Corvantis::Host::PS::Parameters* params) {
    ++gDialogRequests;
    if (StandIn()) return StandIn()(params);
    // The dialog is not built yet: confirm with the values as they are.
    return true;
}
