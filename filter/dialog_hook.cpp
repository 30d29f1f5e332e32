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

std::optional<bool> AskDialogStandIn(Corvantis::Host::PS::Parameters* params) {
    ++gDialogRequests;
    if (StandIn()) return StandIn()(params);
    return std::nullopt;
}
