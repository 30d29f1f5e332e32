// The tiled processing loop.
#include "host/host.h"

namespace Corvantis::Host::PS {

void Host::ProcessTiles() {}

}  // namespace Corvantis::Host::PS
