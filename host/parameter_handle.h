// The flat parameters handle: every parameter's current value in list order, with no header.
// Integer, Float, Boolean, Enumerated and Color take their 24 payload bytes, Text its bytes
// and one zero byte, any other type nothing.
#pragma once
#include "pluginapi/filter_record.h"

#include <cstddef>

namespace Corvantis::Host::PS {

class Parameters;

// The handle size the list needs.
std::size_t FlatParametersSize(const Parameters& params);
// Writes the handle (made or resized to the exact size as needed). 0, -108, or the host's
// resize error. A list that needs 0 bytes leaves the handle as it is.
int16 FlattenParameters(Parameters* params, FilterRecord* record);
// Reads the handle back into the current values. Reading stops at the handle's end: values
// the handle is too short for keep what they had, and a text without its zero byte runs to the
// end of the handle. Bytes beyond what the list needs are ignored. A handle whose size neither
// the host nor this module (for a handle it made in this process) knows is treated as absent.
// 0, or -108 when the handle could not be locked: the values then stay as they were. `read`,
// when given, tells whether values came from a handle.
int16 UnflattenParameters(Parameters* params, FilterRecord* record, bool* read = nullptr);

}  // namespace Corvantis::Host::PS
