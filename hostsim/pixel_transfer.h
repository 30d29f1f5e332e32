// Moving runs of samples between a document plane and strided memory of the plug-in's, with
// depth conversion, and the host's masking of output by the selection.
#pragma once
#include "hostsim/pixel_document.h"

#include <cstdint>

namespace hostsim {

// Reads `count` samples of plane row y from x into dst (one sample every dstStride bytes, at
// dstDepth).
void LoadRun(const Plane& plane, int32 x, int32 y, int32 count, uint8* dst, int64_t dstStride, int32 dstDepth);

// Stores `count` samples from src (one every srcStride bytes, at srcDepth) into plane row y
// from x. With a mask row (the selection's row, starting at x), each sample is blended with
// what the plane holds by mask / 255: 255 replaces, 0 keeps.
void StoreRun(Plane& plane, int32 x, int32 y, int32 count, const uint8* src, int64_t srcStride, int32 srcDepth,
              const uint8* mask);

// Fills `count` samples (one every stride bytes) with one sample value of `depth`.
void FillRun(uint8* dst, int32 count, int64_t stride, const uint8* sample, int32 depth);

}  // namespace hostsim
