// Conversion of pixel runs between image modes and sample depths. A run is `count` pixels
// of interleaved samples; the mode's colour samples come first, any further samples (the
// transparency plane and beyond) pass through unchanged. Scratch memory is the caller's.
//
// Colour at 8 and 16 bits goes through the host's ColorSpace suite; a host without it (or
// whose suite fails) ends the conversion with -30900 through the host's error convention.
// Depth conversion uses the suite where it offers the function and falls back to our own
// arithmetic; at 32 bits RGB and gray are converted by our own rules.
#pragma once
#include "pluginapi/pi_types.h"

#include <cstdint>

namespace Corvantis::Host::PS {

class Host;

// Largest number of pixels or samples handed to one suite call (its count is 16-bit).
constexpr uint64_t kSuiteChunk = 32000;

// Bytes of colour slots that ConvertPixels needs for `count` pixels.
uint64_t ConversionScratchSize(int32 srcMode, int32 dstMode, int32 srcBits, int32 dstBits, uint64_t count);
// Bytes of the intermediate run between the depth and the colour step.
uint64_t IntermediateRunSize(int32 srcMode, int32 dstMode, int32 channels, int32 srcBits, int32 dstBits,
                             uint64_t count);

// Converts a run between two modes and depths; `channels` counts the source pixel's samples.
// The destination gets the destination mode's colour samples plus the source's extras.
void ConvertPixels(Host& host, int32 srcMode, int32 dstMode, int32 channels, int32 srcBits, int32 dstBits,
                   void* scratch, void* intermediate, const void* src, void* dst, uint64_t count);
// Converts colour at one depth.
void ConvertColorSpace(Host& host, int32 srcMode, int32 dstMode, int32 channels, int32 bits, void* scratch,
                       const void* src, void* dst, uint64_t count);
// Converts count x samplesPerPixel samples between depths. 16 <-> 32 is not converted.
void ConvertDepth(Host& host, uint64_t samplesPerPixel, int32 srcBits, int32 dstBits, const void* src, void* dst,
                  uint64_t count);

}  // namespace Corvantis::Host::PS
