// The host's descriptor registry: the last-used values, kept by the host under the plug-in's
// title from one run to the next. Parameters with key 0 take no part.
#pragma once
#include "pluginapi/basic_suite.h"

namespace Corvantis::Host::PS {

class Parameters;

// Registers the values persistently under title. fallback stays true when the registry cannot
// be used at all (no basic suite: -30900, a suite or a descriptor that cannot be had), and is
// set again when a value or the registration fails: the values are then registered nowhere.
// reached (optional) tells whether both suites could be had, so that an older entry may be
// left under the title when the store failed.
int32 StoreInDescriptorRegistry(Parameters* params, SPBasicSuite* basic, const char* title, bool* fallback,
                                bool* reached = nullptr);

// Loads the values registered under title. fallback stays true when the registry cannot be
// used; with no entry under the title nothing is loaded and 0 is returned (fallback still
// true). A failed read keeps that value and goes on; the last read's code is returned. A
// number that is not finite keeps the old value too.
int32 LoadFromDescriptorRegistry(Parameters* params, SPBasicSuite* basic, const char* title, bool* fallback);

}  // namespace Corvantis::Host::PS
