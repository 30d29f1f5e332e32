#include "win32/global_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace {

struct Block {
    unsigned char* data = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
    unsigned lockCount = 0;
};

// Moveable blocks are known by their Block record (the handle); every block is also known by
// its data pointer, which is the handle of a fixed block.
struct Table {
    std::mutex mutex;
    std::unordered_set<Block*> moveables;
    std::unordered_map<const void*, Block*> byData;
    int failAfter = 0;
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: blocks may outlive static destruction
    return *table;
}

// True when the fault switch says this allocation fails.
bool InjectedFailure(Table& t) {
    if (t.failAfter <= 0) return false;
    return --t.failAfter == 0;
}

Block* Find(Table& t, HGLOBAL mem) {
    if (!mem) return nullptr;
    auto* asBlock = static_cast<Block*>(mem);
    if (t.moveables.count(asBlock)) return asBlock;
    auto it = t.byData.find(mem);
    if (it != t.byData.end() && !it->second->moveable) return it->second;
    return nullptr;
}

HGLOBAL HandleOf(Block* b) { return b->moveable ? static_cast<HGLOBAL>(b) : static_cast<HGLOBAL>(b->data); }

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (flags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) return nullptr;
    if (bytes > kTelloraGlobalMaxBlock) return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (InjectedFailure(t)) return nullptr;
    // At least one byte, so that even an empty block has a pointer of its own.
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!data) return nullptr;
    auto* block = new (std::nothrow) Block;
    if (!block) {
        std::free(data);
        return nullptr;
    }
    block->data = static_cast<unsigned char*>(data);
    block->size = bytes;
    block->moveable = (flags & GMEM_MOVEABLE) != 0;
    try {
        t.byData.emplace(block->data, block);
        if (block->moveable) t.moveables.insert(block);
    } catch (...) {
        t.byData.erase(block->data);
        std::free(data);
        delete block;
        return nullptr;
    }
    return HandleOf(block);
}

LPVOID GlobalLock(HGLOBAL mem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    if (!b) return nullptr;
    if (b->moveable && b->lockCount < GMEM_LOCKCOUNT) ++b->lockCount;
    return b->data;
}

BOOL GlobalUnlock(HGLOBAL mem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    if (!b || !b->moveable || b->lockCount == 0) return 0;
    --b->lockCount;
    return b->lockCount != 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    if (!b) return nullptr;
    if (flags & GMEM_MODIFY) return mem;
    if (bytes > kTelloraGlobalMaxBlock) return nullptr;
    // Shrinking always happens in place; growing may move the data, which an unlocked moveable
    // block allows, and a locked or fixed one only when the caller passes GMEM_MOVEABLE.
    const bool mayMove = (b->moveable && b->lockCount == 0) || (flags & GMEM_MOVEABLE);
    if (bytes > b->size && !mayMove) return nullptr;
    if (bytes <= b->size) {
        b->size = bytes;
        return mem;
    }
    if (InjectedFailure(t)) return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(b->data, bytes));
    if (!grown) return nullptr;
    if (flags & GMEM_ZEROINIT) std::memset(grown + b->size, 0, bytes - b->size);
    if (grown != b->data) {
        t.byData.erase(b->data);
        b->data = grown;
        try {
            t.byData.emplace(grown, b);
        } catch (...) {
            // The table lost track of the block: it can no longer be found, so keep it alive.
            b->size = bytes;
            return nullptr;
        }
    }
    b->size = bytes;
    return HandleOf(b);
}

SIZE_T GlobalSize(HGLOBAL mem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    return b ? b->size : 0;
}

HGLOBAL GlobalHandle(LPCVOID pointer) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!pointer) return nullptr;
    auto it = t.byData.find(pointer);
    return it == t.byData.end() ? nullptr : HandleOf(it->second);
}

UINT GlobalFlags(HGLOBAL mem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    if (!b) return GMEM_INVALID_HANDLE;
    return b->moveable ? b->lockCount : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = Find(t, mem);
    if (!b) return mem;
    t.byData.erase(b->data);
    t.moveables.erase(b);
    std::free(b->data);
    delete b;
    return nullptr;
}

std::size_t TelloraGlobalBlockCount() {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.byData.size();
}

void TelloraGlobalFailAfter(int allocations) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.failAfter = allocations;
}
