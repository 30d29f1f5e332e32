// Handles without the host's handle procedures: the global-memory stand-in, our own handles
// over it, and the switch between them and the host's procedures.
#include "host/fallback_handles.h"
#include "host/host_handles.h"
#include "win32/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Corvantis::Host::PS;

namespace {

TEST(GlobalMemory, MoveableBlocksCountLocksAndKeepTheirHandleWhenResized) {
    const std::size_t before = TelloraGlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 8u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalHandle(p), h);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], 0);
    std::memset(p, 0x77, 8);

    EXPECT_NE(GlobalUnlock(h), 0) << "still locked once";
    EXPECT_EQ(GlobalUnlock(h), 0);
    EXPECT_EQ(GlobalUnlock(h), 0) << "unlocking an unlocked block does nothing";

    EXPECT_EQ(GlobalReAlloc(h, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    auto* q = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(GlobalSize(h), 4096u);
    EXPECT_EQ(q[7], 0x77) << "old bytes are kept";
    EXPECT_EQ(q[8], 0) << "new bytes are zero-filled";
    EXPECT_EQ(q[4095], 0);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_ZEROINIT), nullptr) << "a locked block grows only when it may move";
    EXPECT_EQ(GlobalReAlloc(h, 16, GMEM_ZEROINIT), h) << "but shrinks in place";
    GlobalUnlock(h);

    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(TelloraGlobalBlockCount(), before);
}

TEST(GlobalMemory, StaleAndForeignValuesAreRefused) {
    int local = 0;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    void* p = GlobalLock(h);
    EXPECT_EQ(GlobalHandle(static_cast<char*>(p) + 1), nullptr) << "only a block's start has a handle";
    ASSERT_EQ(GlobalFree(h), nullptr);
    for (HGLOBAL bad : {h, static_cast<HGLOBAL>(&local), static_cast<HGLOBAL>(nullptr)}) {
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalReAlloc(bad, 8, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFlags(bad), GMEM_INVALID_HANDLE);
        EXPECT_EQ(GlobalFree(bad), bad);
    }
    EXPECT_EQ(GlobalHandle(p), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T(-8)), nullptr) << "a negative size arrives huge and is refused";
}

TEST(FallbackHandles, WholeLifecycleOverGlobalMemory) {
    const std::size_t before = TelloraGlobalBlockCount();
    Handle h = FallbackNewHandle(10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(FallbackHandleError(), 0);
    EXPECT_EQ(TelloraGlobalBlockCount(), before + 2) << "the master record and the data block";
    const auto* record = reinterpret_cast<const FallbackHandle*>(h);
    EXPECT_EQ(std::memcmp(record->tag, "OTOF", 4), 0);
    EXPECT_EQ(*reinterpret_cast<void**>(h), record->data) << "a handle points at its data pointer";
    EXPECT_EQ(GlobalFlags(GlobalHandle(record->data)) & GMEM_LOCKCOUNT, 1u) << "the data stays locked";

    EXPECT_EQ(FallbackGetHandleSize(h), 10);
    auto* p = static_cast<char*>(FallbackHandleData(h));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(p[i], 0);
    std::memcpy(p, "0123456789", 10);
    FallbackSetHandleSize(h, 100000);
    EXPECT_EQ(FallbackHandleError(), 0);
    EXPECT_EQ(FallbackGetHandleSize(h), 100000);
    p = static_cast<char*>(FallbackHandleData(h));
    EXPECT_EQ(std::memcmp(p, "0123456789", 10), 0);
    EXPECT_EQ(p[99999], 0);
    FallbackSetHandleSize(h, 0);
    EXPECT_EQ(FallbackGetHandleSize(h), 0);
    EXPECT_NE(FallbackHandleData(h), nullptr) << "an empty handle still has its block";

    FallbackDisposeHandle(h);
    EXPECT_EQ(FallbackHandleError(), 0);
    EXPECT_EQ(TelloraGlobalBlockCount(), before);
    FallbackDisposeHandle(h);
    EXPECT_EQ(FallbackHandleError(), nilHandleErr) << "a second dispose is refused, not a double free";
}

TEST(FallbackHandles, ErrorCodes) {
    EXPECT_EQ(FallbackGetHandleSize(nullptr), 0);
    EXPECT_EQ(FallbackHandleError(), nilHandleErr);
    FallbackDisposeHandle(nullptr);
    EXPECT_EQ(FallbackHandleError(), nilHandleErr);
    FallbackSetHandleSize(nullptr, 4);
    EXPECT_EQ(FallbackHandleError(), memWZErr);

    // A handle that is not ours (a host's, or any pointer) is never taken apart.
    void* hostData = nullptr;
    Handle foreign = reinterpret_cast<Handle>(&hostData);
    EXPECT_EQ(FallbackGetHandleSize(foreign), 0);
    EXPECT_EQ(FallbackHandleError(), nilHandleErr);
    EXPECT_EQ(FallbackHandleData(foreign), nullptr);

    EXPECT_EQ(FallbackNewHandle(-1), nullptr);
    EXPECT_EQ(FallbackHandleError(), memFullErr);
    const std::size_t before = TelloraGlobalBlockCount();
    for (int failing = 1; failing <= 2; ++failing) {
        TelloraGlobalFailAfter(failing);
        EXPECT_EQ(FallbackNewHandle(8), nullptr) << "allocation " << failing << " fails";
        EXPECT_EQ(FallbackHandleError(), memFullErr);
        EXPECT_EQ(TelloraGlobalBlockCount(), before) << "and nothing is left behind";
    }

    Handle h = FallbackNewHandle(4);
    std::memcpy(FallbackHandleData(h), "abcd", 4);
    TelloraGlobalFailAfter(1);
    FallbackSetHandleSize(h, 1 << 20);
    EXPECT_EQ(FallbackHandleError(), memFullErr);
    EXPECT_EQ(FallbackGetHandleSize(h), 4) << "a failed resize keeps the old data";
    EXPECT_EQ(std::memcmp(FallbackHandleData(h), "abcd", 4), 0);
    FallbackSetHandleSize(h, -1);
    EXPECT_EQ(FallbackHandleError(), memFullErr);

    // A handle whose data block is gone.
    auto* record = reinterpret_cast<FallbackHandle*>(h);
    void* data = record->data;
    record->data = nullptr;
    FallbackSetHandleSize(h, 8);
    EXPECT_EQ(FallbackHandleError(), memFullErr);
    EXPECT_EQ(FallbackGetHandleSize(h), 0);
    EXPECT_EQ(FallbackHandleError(), nilHandleErr);
    record->data = data;
    FallbackDisposeHandle(h);
    EXPECT_EQ(TelloraGlobalBlockCount(), before);
    TelloraGlobalFailAfter(0);
}

// Host procedures that are not usable send every wrapper to the fallback handles.
TEST(HostHandles, UnusableProceduresFallBack) {
    static int hostCalls = 0;
    HandleProcs procs{1,
                      6,
                      [](int32) -> Handle {
                          ++hostCalls;
                          return nullptr;
                      },
                      [](Handle) { ++hostCalls; },
                      [](Handle) -> int32 { return ++hostCalls; },
                      [](Handle, int32) -> OSErr { return OSErr(++hostCalls); },
                      nullptr,
                      nullptr,
                      nullptr,
                      nullptr};
    EXPECT_TRUE(HandleProcsUsable(&procs));
    EXPECT_EQ(HostLockHandle(&procs, nullptr, true), nullptr) << "no lock procedure: nothing to lock";

    HandleProcs oldVersion = procs;
    oldVersion.handleProcsVersion = 0;
    HandleProcs tooFew = procs;
    tooFew.numHandleProcs = 5;
    HandleProcs noResize = procs;
    noResize.setSizeProc = nullptr;
    const HandleProcs* const unusables[] = {nullptr, &oldVersion, &tooFew, &noResize};
    for (const HandleProcs* unusable : unusables) {
        EXPECT_FALSE(HandleProcsUsable(unusable));
        hostCalls = 0;
        Handle h = HostNewHandle(unusable, 3);
        ASSERT_TRUE(IsFallbackHandle(h));
        EXPECT_EQ(HostGetHandleSize(unusable, h), 3);
        EXPECT_EQ(HostSetHandleSize(unusable, h, 12), 0);
        EXPECT_EQ(HostLockHandle(unusable, h, false), FallbackHandleData(h));
        HostUnlockHandle(unusable, h);
        EXPECT_NE(FallbackHandleData(h), nullptr) << "unlocking leaves a fallback handle locked";
        EXPECT_EQ(HostSetHandleSize(unusable, nullptr, 1), memWZErr);
        HostDisposeHandle(unusable, h);
        EXPECT_EQ(hostCalls, 0);
    }
}

}  // namespace
