// Memory handles the host owns and lends to the plug-in through its handle procs.
#pragma once
#include "pluginapi/pi_types.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace hostsim {

// A handle is a pointer to a master pointer that points at the data, so the data may move
// while the handle stays the same. Every handle given out is remembered: a stale, foreign or
// made-up handle is recognised and refused instead of being dereferenced. Master records of
// disposed handles are kept until the store dies, so a handle's address is never given out
// twice and a late dispose of a stale handle cannot hit a newer one.
class HandleStore {
public:
    // Sizes beyond this are refused like a failed allocation.
    static constexpr int32 kMaxSize = 0x40000000;

    HandleStore() = default;
    ~HandleStore();
    HandleStore(const HandleStore&) = delete;
    HandleStore& operator=(const HandleStore&) = delete;

    // A zero-filled handle of `size` bytes; null for a negative or too large size, or when
    // memory runs out.
    Handle New(int32 size);
    // A handle holding a copy of `bytes`; null as New.
    Handle NewFrom(const std::vector<uint8>& bytes);

    // True for a live handle of this store.
    bool Owns(Handle h) const { return h && live_.count(h) != 0; }
    // True for a handle of this store that has been disposed.
    bool WasDisposed(Handle h) const { return h && retired_.count(h) != 0; }

    // False (and nothing happens) when `h` is not a live handle of this store.
    bool Dispose(Handle h);
    // -1 when `h` is not a live handle of this store.
    int32 Size(Handle h) const;
    // noErr; nilHandleErr for a handle not of this store; memFullErr when the size is negative
    // or too large, memory runs out, or the handle is locked and would have to grow (a locked
    // handle's data must stay where it is).
    OSErr SetSize(Handle h, int32 size);
    // The data, counting one more lock; null for a handle not of this store.
    Ptr Lock(Handle h);
    // One lock less. False for a handle not of this store; unlocking an unlocked handle is
    // harmless and returns true.
    bool Unlock(Handle h);
    // -1 for a handle not of this store.
    int LockCount(Handle h) const;
    // A copy of the data; empty for a handle not of this store.
    std::vector<uint8> Bytes(Handle h) const;

    // Live handles.
    std::size_t Outstanding() const { return live_.size(); }
    std::vector<Handle> LiveHandles() const;
    std::size_t created() const { return created_; }
    std::size_t disposed() const { return disposed_; }

    // Frees every handle (the end of a session).
    void Clear();

private:
    struct Block {
        char* data = nullptr;  // the master pointer: must stay the first member
        int32 size = 0;
        int locks = 0;
    };
    static Handle HandleOf(Block* b) { return reinterpret_cast<Handle>(&b->data); }
    Block* Find(Handle h) const;

    std::unordered_map<Handle, std::unique_ptr<Block>> live_;
    std::unordered_map<Handle, std::unique_ptr<Block>> retired_;
    std::size_t created_ = 0;
    std::size_t disposed_ = 0;
};

}  // namespace hostsim
