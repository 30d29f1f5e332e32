#include "hostsim/handle_store.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace hostsim {

HandleStore::~HandleStore() { Clear(); }

void HandleStore::Clear() {
    for (auto& [h, block] : live_) std::free(block->data);
    live_.clear();
    retired_.clear();
}

HandleStore::Block* HandleStore::Find(Handle h) const {
    if (!h) return nullptr;
    const auto it = live_.find(h);
    return it == live_.end() ? nullptr : it->second.get();
}

Handle HandleStore::New(int32 size) {
    if (size < 0 || size > kMaxSize) return nullptr;
    auto block = std::unique_ptr<Block>(new (std::nothrow) Block);
    if (!block) return nullptr;
    // At least one byte, so that an empty handle still has data of its own.
    block->data = static_cast<char*>(std::calloc(size > 0 ? std::size_t(size) : 1, 1));
    if (!block->data) return nullptr;
    block->size = size;
    const Handle h = HandleOf(block.get());
    char* data = block->data;
    try {
        live_.emplace(h, std::move(block));
    } catch (const std::bad_alloc&) {
        std::free(data);
        return nullptr;
    }
    ++created_;
    return h;
}

Handle HandleStore::NewFrom(const std::vector<uint8>& bytes) {
    if (bytes.size() > std::size_t(kMaxSize)) return nullptr;
    const Handle h = New(int32(bytes.size()));
    if (h && !bytes.empty()) std::memcpy(*reinterpret_cast<char**>(h), bytes.data(), bytes.size());
    return h;
}

bool HandleStore::Dispose(Handle h) {
    const auto it = h ? live_.find(h) : live_.end();
    if (it == live_.end()) return false;
    std::unique_ptr<Block> block = std::move(it->second);
    live_.erase(it);
    std::free(block->data);
    block->data = nullptr;
    block->size = 0;
    try {
        retired_.emplace(h, std::move(block));
    } catch (const std::bad_alloc&) {
        // Only the guard against address reuse is lost.
    }
    ++disposed_;
    return true;
}

int32 HandleStore::Size(Handle h) const {
    const Block* b = Find(h);
    return b ? b->size : -1;
}

OSErr HandleStore::SetSize(Handle h, int32 size) {
    Block* b = Find(h);
    if (!b) return nilHandleErr;
    if (size < 0 || size > kMaxSize) return memFullErr;
    if (size <= b->size) {
        // Shrinking stays in place; the bytes beyond the new end are cleared for a later growth.
        std::memset(b->data + size, 0, std::size_t(b->size - size));
        b->size = size;
        return noErr;
    }
    if (b->locks > 0) return memFullErr;
    char* grown = static_cast<char*>(std::realloc(b->data, std::size_t(size)));
    if (!grown) return memFullErr;
    std::memset(grown + b->size, 0, std::size_t(size - b->size));
    b->data = grown;
    b->size = size;
    return noErr;
}

Ptr HandleStore::Lock(Handle h) {
    Block* b = Find(h);
    if (!b) return nullptr;
    ++b->locks;
    return b->data;
}

bool HandleStore::Unlock(Handle h) {
    Block* b = Find(h);
    if (!b) return false;
    if (b->locks > 0) --b->locks;
    return true;
}

int HandleStore::LockCount(Handle h) const {
    const Block* b = Find(h);
    return b ? b->locks : -1;
}

std::vector<uint8> HandleStore::Bytes(Handle h) const {
    const Block* b = Find(h);
    if (!b) return {};
    return std::vector<uint8>(b->data, b->data + b->size);
}

std::vector<Handle> HandleStore::LiveHandles() const {
    std::vector<Handle> handles;
    for (const auto& [h, block] : live_) handles.push_back(h);
    return handles;
}

}  // namespace hostsim
