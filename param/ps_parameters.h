// The host adapter's kind of parameter list: the same list, no fields of its own.
#pragma once

#include "param/parameters.h"

namespace Corvantis {
namespace Host {
namespace PS {

class Parameters : public Param::Parameters {
public:
    Parameters() = default;
    Parameters(const Parameters&) = default;
    Parameters& operator=(const Parameters&) = default;
    Parameters(Parameters&&) = default;
    Parameters& operator=(Parameters&&) = default;
    ~Parameters() override;
};

}  // namespace PS
}  // namespace Host
}  // namespace Corvantis
