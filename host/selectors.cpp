// Default handlers of the filter selectors after About.
#include "host/host.h"

namespace Corvantis::Host::PS {

void Host::OnParameters() {}
void Host::OnPrepare() {}
void Host::OnStart() {}
void Host::OnContinue() {}
void Host::OnFinish() {}

}  // namespace Corvantis::Host::PS
