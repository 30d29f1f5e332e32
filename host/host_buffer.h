// A block of memory obtained through the host's buffer procedures, 16-byte aligned. Pixel
// buffers live here rather than on the process heap so that the host can account for them.
#pragma once
#include "pluginapi/filter_record.h"

#include <cstddef>
#include <cstdint>

namespace Corvantis::Host::PS {

// (n + m - 1) / m * m.
inline uint64_t RoundUpToMultiple(uint64_t n, uint64_t m) { return (n + m - 1) / m * m; }

class HostBuffer {
public:
    // Takes the buffer procs of `record`; with a null record the buffer can never allocate.
    explicit HostBuffer(const FilterRecord* record = nullptr);
    ~HostBuffer();
    HostBuffer(const HostBuffer&) = delete;
    HostBuffer& operator=(const HostBuffer&) = delete;

    // Frees the block held so far and allocates at least `size` usable bytes. Throws
    // std::bad_alloc when the host has no buffer procs or no memory is to be had.
    void Allocate(uint64_t size);
    // Returns the block to the host.
    void Free();
    void Swap(HostBuffer& other) noexcept;

    void* Data() const { return data; }
    bool Owned() const { return owned != 0; }

    BufferProcs* procs = nullptr;
    BufferID id = nullptr;
    void* data = nullptr;
    uint8 owned = 0;
};

}  // namespace Corvantis::Host::PS
