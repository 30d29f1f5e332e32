// Handles made from global memory, for hosts that offer no usable handle procedures. A handle
// points at a master record whose first field is the data pointer, as a host handle does, so
// code that dereferences a handle works on both kinds.
#pragma once
#include "pluginapi/pi_types.h"

namespace Corvantis::Host::PS {

// The master record: the data pointer, then the tag "OTOF" that marks our own handles.
struct FallbackHandle {
    void* data;
    char tag[4];
};

// Each operation sets the fallback error: 0 on success, -108 out of memory (or resizing a
// handle without data block), -109 a null or foreign handle given to size or dispose, -111 a
// null handle given to resize.
Handle FallbackNewHandle(int32 size);
int32 FallbackGetHandleSize(Handle h);
void FallbackSetHandleSize(Handle h, int32 size);
void FallbackDisposeHandle(Handle h);
// The data pointer of one of our handles; null for a null or foreign handle.
void* FallbackHandleData(Handle h);
// True when h is a live handle made by FallbackNewHandle.
bool IsFallbackHandle(Handle h);

// The process-wide error of the last fallback operation.
int16 FallbackHandleError();

}  // namespace Corvantis::Host::PS
