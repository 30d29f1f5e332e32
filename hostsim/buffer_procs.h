// The host's buffer procs: blocks of memory the plug-in borrows from the host, counted so a
// test can see that every block went back. Each block is allocated at exactly the size asked
// for, so that an address sanitizer sees a plug-in that writes past its end.
#pragma once
#include "hostsim/fault_plan.h"
#include "hostsim/problem_log.h"

#include "pluginapi/handle_procs.h"

#include <cstddef>
#include <cstdint>
#include <map>

namespace hostsim {

class BufferProcsHost {
public:
    BufferProcsHost(FaultPlan& faults, ProblemLog& problems);
    ~BufferProcsHost();
    BufferProcsHost(const BufferProcsHost&) = delete;
    BufferProcsHost& operator=(const BufferProcsHost&) = delete;

    // The record to put into the filter record's bufferProcs. Tests may null single entries.
    BufferProcs* procs() { return &procs_; }
    // Restores every entry.
    void RestoreProcs();

    // Total bytes the plug-in may hold at once; beyond it allocateProc fails with -108.
    void SetLimit(int64_t bytes) { limit_ = bytes; }
    int64_t limit() const { return limit_; }

    int allocations() const { return allocations_; }
    int frees() const { return frees_; }
    std::size_t outstanding() const { return blocks_.size(); }
    int64_t outstandingBytes() const { return outstandingBytes_; }
    int64_t peakBytes() const { return peakBytes_; }
    // Blocks still locked (lock count above zero).
    int lockedBlocks() const;
    void ResetCounts();
    // Frees what the plug-in left behind (the host reclaims it at the end of a run); returns
    // how many blocks that was.
    std::size_t ReclaimAll();

    // Makes this the instance the procs act on, on this thread, for the scope's lifetime.
    class ActiveScope {
    public:
        explicit ActiveScope(BufferProcsHost& host);
        ~ActiveScope();
        ActiveScope(const ActiveScope&) = delete;
        ActiveScope& operator=(const ActiveScope&) = delete;

    private:
        BufferProcsHost* previous_;
    };

private:
    struct Block {
        void* memory = nullptr;
        int32 size = 0;
        int locks = 0;
    };
    Block* Find(BufferID id, const char* caller);

    static OSErr Allocate(int32 size, BufferID* id);
    static Ptr Lock(BufferID id, Boolean moveHigh);
    static void Unlock(BufferID id);
    static void Free(BufferID id);
    static int32 Space();
    static OSErr Reserve(int32 size);
    static OSErr Allocate64(int64 size, BufferID* id);
    static int64 Space64();

    FaultPlan& faults_;
    ProblemLog& problems_;
    BufferProcs procs_{};
    std::map<BufferID, Block> blocks_;
    int64_t limit_ = int64_t(1) << 34;
    int64_t outstandingBytes_ = 0;
    int64_t peakBytes_ = 0;
    int allocations_ = 0;
    int frees_ = 0;
    uintptr_t nextId_ = 1;
};

}  // namespace hostsim
