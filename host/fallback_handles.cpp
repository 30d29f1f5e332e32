#include "host/fallback_handles.h"

#include "win32/global_memory.h"

#include <cstring>

namespace Corvantis::Host::PS {
namespace {

constexpr char kTag[4] = {'O', 'T', 'O', 'F'};
constexpr UINT kFlags = GMEM_MOVEABLE | GMEM_ZEROINIT;

int16 gFallbackError = noErr;

FallbackHandle* Record(Handle h) { return reinterpret_cast<FallbackHandle*>(h); }

// Allocates a moveable, zero-filled block and locks it; null when either step fails.
void* AllocateLocked(SIZE_T bytes) {
    HGLOBAL block = GlobalAlloc(kFlags, bytes);
    if (!block) return nullptr;
    void* p = GlobalLock(block);
    if (!p) GlobalFree(block);
    return p;
}

void FreeLocked(void* p) {
    if (HGLOBAL block = GlobalHandle(p)) {
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

}  // namespace

int16 FallbackHandleError() { return gFallbackError; }

bool IsFallbackHandle(Handle h) {
    // The master record is the start of a live global block, so reading its tag is safe.
    HGLOBAL block = h ? GlobalHandle(h) : nullptr;
    return block && GlobalSize(block) >= sizeof(FallbackHandle) &&
           std::memcmp(Record(h)->tag, kTag, sizeof kTag) == 0;
}

void* FallbackHandleData(Handle h) { return IsFallbackHandle(h) ? Record(h)->data : nullptr; }

Handle FallbackNewHandle(int32 size) {
    gFallbackError = noErr;
    if (size < 0) {
        gFallbackError = memFullErr;
        return nullptr;
    }
    auto* record = static_cast<FallbackHandle*>(AllocateLocked(sizeof(FallbackHandle)));
    if (!record) {
        gFallbackError = memFullErr;
        return nullptr;
    }
    void* data = AllocateLocked(SIZE_T(size));
    if (!data) {
        FreeLocked(record);
        gFallbackError = memFullErr;
        return nullptr;
    }
    record->data = data;
    std::memcpy(record->tag, kTag, sizeof kTag);
    return reinterpret_cast<Handle>(record);
}

int32 FallbackGetHandleSize(Handle h) {
    gFallbackError = noErr;
    HGLOBAL block = IsFallbackHandle(h) ? GlobalHandle(Record(h)->data) : nullptr;
    if (!block) {
        gFallbackError = nilHandleErr;
        return 0;
    }
    return int32(GlobalSize(block));
}

void FallbackSetHandleSize(Handle h, int32 size) {
    gFallbackError = noErr;
    if (!h) {
        gFallbackError = memWZErr;
        return;
    }
    if (!IsFallbackHandle(h)) {
        gFallbackError = nilHandleErr;
        return;
    }
    FallbackHandle* record = Record(h);
    HGLOBAL block = record->data ? GlobalHandle(record->data) : nullptr;
    if (!block || size < 0) {
        gFallbackError = memFullErr;
        return;
    }
    GlobalUnlock(block);
    HGLOBAL resized = GlobalReAlloc(block, SIZE_T(size), kFlags);
    if (!resized) {
        // The old block is untouched: lock it again so the handle keeps its data.
        record->data = GlobalLock(block);
        gFallbackError = memFullErr;
        return;
    }
    record->data = GlobalLock(resized);
    if (!record->data) {
        GlobalFree(resized);
        gFallbackError = memFullErr;
    }
}

void FallbackDisposeHandle(Handle h) {
    gFallbackError = noErr;
    if (!IsFallbackHandle(h)) {
        gFallbackError = nilHandleErr;
        return;
    }
    FallbackHandle* record = Record(h);
    if (record->data) FreeLocked(record->data);
    std::memset(record->tag, 0, sizeof record->tag);
    FreeLocked(record);
}

}  // namespace Corvantis::Host::PS
