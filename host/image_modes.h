// What the pixel path knows about each host image mode.
#pragma once
#include "pluginapi/pi_types.h"

namespace Corvantis::Host::PS {

// Bits per sample of a mode (8 outside the table).
int32 BitsPerChannelOfMode(int32 mode);
// Colour channels of a mode; `defaultCount` for Multichannel and unknown modes.
int32 ChannelCountOfMode(int32 mode, int32 defaultCount);
// The ColorSpace suite's space of a mode, -1 for none.
int16 ColorSpaceOfMode(int32 mode);
// The 8-bit counterpart of a deep mode; other modes are returned unchanged.
int32 EightBitModeOf(int32 mode);
// Whether the pixel path can filter documents of the mode: every mode of the tables but Bitmap
// (one bit per sample) and Indexed colour (palette indices, one plane).
bool ModeCanBeFiltered(int32 mode);

}  // namespace Corvantis::Host::PS
