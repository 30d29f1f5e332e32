#include "param/ps_parameters.h"

namespace Corvantis {
namespace Host {
namespace PS {

Parameters::~Parameters() = default;

}  // namespace PS
}  // namespace Host
}  // namespace Corvantis
