#include "hostsim/buffer_procs.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

namespace hostsim {
namespace {
thread_local BufferProcsHost* activeHost = nullptr;
}

BufferProcsHost::BufferProcsHost(FaultPlan& faults, ProblemLog& problems) : faults_(faults), problems_(problems) {
    RestoreProcs();
}

BufferProcsHost::~BufferProcsHost() {
    ReclaimAll();
    if (activeHost == this) activeHost = nullptr;
}

void BufferProcsHost::RestoreProcs() {
    procs_ = BufferProcs{kCurrentBufferProcsVersion, kCurrentBufferProcsCount, &Allocate, &Lock, &Unlock, &Free,
                         &Space, &Reserve, &Allocate64, &Space64};
}

BufferProcsHost::ActiveScope::ActiveScope(BufferProcsHost& host) : previous_(activeHost) { activeHost = &host; }
BufferProcsHost::ActiveScope::~ActiveScope() { activeHost = previous_; }

int BufferProcsHost::lockedBlocks() const {
    return int(std::count_if(blocks_.begin(), blocks_.end(), [](const auto& b) { return b.second.locks > 0; }));
}

void BufferProcsHost::ResetCounts() {
    allocations_ = frees_ = 0;
    peakBytes_ = outstandingBytes_;
}

std::size_t BufferProcsHost::ReclaimAll() {
    const std::size_t n = blocks_.size();
    for (auto& entry : blocks_) std::free(entry.second.memory);
    blocks_.clear();
    outstandingBytes_ = 0;
    return n;
}

BufferProcsHost::Block* BufferProcsHost::Find(BufferID id, const char* caller) {
    const auto it = blocks_.find(id);
    if (it != blocks_.end()) return &it->second;
    problems_.Add(std::string(caller) + ": no buffer with that id (never allocated, or freed already)");
    return nullptr;
}

OSErr BufferProcsHost::Allocate(int32 size, BufferID* id) {
    BufferProcsHost* self = activeHost;
    if (!self || !id) return paramErr;
    *id = nullptr;
    int32 code = 0;
    if (self->faults_.Enter(PixelCall::AllocateBuffer, &code)) return OSErr(code);
    if (size < 0) {
        self->problems_.Add("allocateProc: negative size " + std::to_string(size));
        return paramErr;
    }
    if (self->outstandingBytes_ + size > self->limit_) return memFullErr;
    void* memory = std::malloc(size > 0 ? std::size_t(size) : 1);
    if (!memory) return memFullErr;
    const BufferID newId = reinterpret_cast<BufferID>(self->nextId_++);
    try {
        self->blocks_[newId] = Block{memory, size, 0};
    } catch (const std::bad_alloc&) {
        std::free(memory);
        return memFullErr;
    }
    self->outstandingBytes_ += size;
    self->peakBytes_ = std::max(self->peakBytes_, self->outstandingBytes_);
    ++self->allocations_;
    *id = newId;
    return noErr;
}

Ptr BufferProcsHost::Lock(BufferID id, Boolean) {
    BufferProcsHost* self = activeHost;
    if (!self) return nullptr;
    if (self->faults_.Enter(PixelCall::LockBuffer, nullptr)) return nullptr;
    Block* block = self->Find(id, "lockProc");
    if (!block) return nullptr;
    ++block->locks;
    return static_cast<Ptr>(block->memory);
}

void BufferProcsHost::Unlock(BufferID id) {
    BufferProcsHost* self = activeHost;
    if (!self) return;
    self->faults_.Enter(PixelCall::UnlockBuffer, nullptr);
    Block* block = self->Find(id, "unlockProc");
    if (!block) return;
    if (block->locks == 0) {
        self->problems_.Add("unlockProc: the buffer is not locked");
        return;
    }
    --block->locks;
}

void BufferProcsHost::Free(BufferID id) {
    BufferProcsHost* self = activeHost;
    if (!self) return;
    self->faults_.Enter(PixelCall::FreeBuffer, nullptr);
    Block* block = self->Find(id, "freeProc");
    if (!block) return;
    std::free(block->memory);
    self->outstandingBytes_ -= block->size;
    self->blocks_.erase(id);
    ++self->frees_;
}

int32 BufferProcsHost::Space() {
    return int32(std::min<int64_t>(Space64(), std::numeric_limits<int32>::max()));
}

OSErr BufferProcsHost::Reserve(int32) {
    // Nothing to set aside: every block is allocated when asked for.
    return activeHost ? noErr : paramErr;
}

OSErr BufferProcsHost::Allocate64(int64 size, BufferID* id) {
    // Blocks are counted in 32-bit sizes; anything larger is more than this host lends.
    if (size > std::numeric_limits<int32>::max()) {
        if (id) *id = nullptr;
        return activeHost && id ? memFullErr : paramErr;
    }
    return Allocate(int32(std::max<int64>(size, std::numeric_limits<int32>::min())), id);
}

int64 BufferProcsHost::Space64() {
    BufferProcsHost* self = activeHost;
    if (!self) return 0;
    int32 code = 0;
    if (self->faults_.Enter(PixelCall::BufferSpace, &code)) return 0;
    return std::max<int64_t>(self->limit_ - self->outstandingBytes_, 0);
}

}  // namespace hostsim
