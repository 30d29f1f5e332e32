// Small helpers shared by the buffer reading and writing routines.
#pragma once
#include "host/host_buffer.h"
#include "pluginapi/channel_ports.h"

#include <cstdint>

namespace Corvantis::Host::PS {

class Host;

// Allocates `size` bytes of scratch (none for 0) and returns the usable pointer (null for 0).
uint8* AllocateScratch(HostBuffer& buffer, uint64_t size);

// A pixel-memory descriptor for the channel ports; strides in bytes, the offset in bits.
// Strides that do not fit the host's 32-bit bit counts fail with -30900.
PixelMemoryDesc MakeMemoryDesc(Host& host, void* data, int64_t rowBytes, int64_t colBytes, int64_t bitOffset,
                               int32 depth);

// The opaque sample value of a depth (255, 32768 or 1.0), written into b bytes at `sample`.
void StoreOpaque(void* sample, int32 bits);

}  // namespace Corvantis::Host::PS
