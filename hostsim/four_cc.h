// Printing four-character codes.
#pragma once
#include "pluginapi/pi_types.h"

#include <string>

namespace hostsim {

// The code's four characters, first character from the most significant byte, when all are
// printable ASCII; otherwise the value in hex ("0x0000000A").
std::string FourCCText(uint32 code);

// FourCCText in single quotes for text codes ('Clr ' keeps its trailing blank visible).
std::string QuotedFourCC(uint32 code);

}  // namespace hostsim
