#include "host/host_buffer.h"

#include <limits>
#include <new>
#include <utility>

namespace Corvantis::Host::PS {
namespace {

struct BadAllocation : std::bad_alloc {
    const char* what() const noexcept override { return "bad allocation"; }
};

}  // namespace

HostBuffer::HostBuffer(const FilterRecord* record) : procs(record ? record->bufferProcs : nullptr) {}

HostBuffer::~HostBuffer() { Free(); }

void HostBuffer::Allocate(uint64_t size) {
    if (!procs || !procs->allocateProc || !procs->lockProc || !procs->freeProc) throw BadAllocation();
    Free();
    uint64_t request = size;
    for (;;) {
        // 16 bytes more than asked, so that the locked address can be rounded up to 16.
        request = RoundUpToMultiple(request + 16, 16);
        if (request > uint64_t(std::numeric_limits<int32>::max())) throw BadAllocation();
        BufferID newId = nullptr;
        if (procs->allocateProc(int32(request), &newId) == noErr) {
            id = newId;
            owned = 1;
            const uintptr_t locked = reinterpret_cast<uintptr_t>(procs->lockProc(id, true));
            if (locked) {
                data = reinterpret_cast<void*>(RoundUpToMultiple(locked, 16));
                return;
            }
            // A block that cannot be locked is of no use: give it back before trying again.
            Free();
        }
        // Same contract as operator new: the new-handler frees memory or throws.
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw BadAllocation();
        handler();
    }
}

void HostBuffer::Free() {
    if (owned && procs && procs->freeProc) procs->freeProc(id);
    id = nullptr;
    data = nullptr;
    owned = 0;
}

void HostBuffer::Swap(HostBuffer& other) noexcept {
    std::swap(procs, other.procs);
    std::swap(id, other.id);
    std::swap(data, other.data);
    std::swap(owned, other.owned);
}

}  // namespace Corvantis::Host::PS
