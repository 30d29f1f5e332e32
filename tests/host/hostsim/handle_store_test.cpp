#include "hostsim/handle_store.h"
#include "hostsim/host_session.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace hostsim;

namespace {
char* Data(Handle h) { return *reinterpret_cast<char**>(h); }
}  // namespace

TEST(HandleStore, HandlesAreZeroFilledAndResizeKeepingTheirBytes) {
    HandleStore store;
    const Handle h = store.New(4);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(store.Size(h), 4);
    EXPECT_EQ(store.Bytes(h), std::vector<uint8>(4, 0));
    std::memcpy(Data(h), "abcd", 4);
    ASSERT_EQ(store.SetSize(h, 6), noErr);
    EXPECT_EQ(store.Bytes(h), (std::vector<uint8>{'a', 'b', 'c', 'd', 0, 0}));
    ASSERT_EQ(store.SetSize(h, 2), noErr);
    ASSERT_EQ(store.SetSize(h, 3), noErr);
    EXPECT_EQ(store.Bytes(h), (std::vector<uint8>{'a', 'b', 0})) << "bytes beyond a shrink come back as zero";

    const Handle empty = store.New(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_NE(Data(empty), nullptr);
    EXPECT_EQ(store.Size(empty), 0);
    EXPECT_EQ(store.New(-1), nullptr);
    EXPECT_EQ(store.New(HandleStore::kMaxSize + 1), nullptr);
    EXPECT_EQ(store.SetSize(h, -5), memFullErr);
    EXPECT_EQ(store.Outstanding(), 2u);
}

TEST(HandleStore, LockedHandlesKeepTheirDataInPlace) {
    HandleStore store;
    const Handle h = store.New(8);
    const Ptr p = store.Lock(h);
    EXPECT_EQ(p, Data(h));
    EXPECT_EQ(store.Lock(h), p);
    EXPECT_EQ(store.LockCount(h), 2);
    EXPECT_EQ(store.SetSize(h, 100), memFullErr) << "growing would move the locked data";
    EXPECT_EQ(store.SetSize(h, 4), noErr);
    EXPECT_EQ(Data(h), p);
    EXPECT_TRUE(store.Unlock(h));
    EXPECT_TRUE(store.Unlock(h));
    EXPECT_TRUE(store.Unlock(h)) << "an extra unlock is harmless";
    EXPECT_EQ(store.LockCount(h), 0);
    EXPECT_EQ(store.SetSize(h, 100), noErr);
}

TEST(HandleStore, ForeignStaleAndFakeHandlesAreRefused) {
    HandleStore store;
    const Handle h = store.New(8);
    ASSERT_TRUE(store.Dispose(h));
    EXPECT_TRUE(store.WasDisposed(h));
    EXPECT_FALSE(store.Dispose(h));
    EXPECT_EQ(store.Size(h), -1);
    EXPECT_EQ(store.Lock(h), nullptr);
    EXPECT_EQ(store.SetSize(h, 1), nilHandleErr);

    char* master = nullptr;
    const Handle fake = reinterpret_cast<Handle>(&master);
    EXPECT_FALSE(store.Owns(fake));
    EXPECT_EQ(store.Lock(fake), nullptr);
    EXPECT_FALSE(store.Unlock(fake));

    // A disposed handle's address is not given out again, so the stale one stays refused.
    for (int i = 0; i < 100; ++i) EXPECT_NE(store.New(8), h);
    EXPECT_FALSE(store.Owns(h));
    EXPECT_EQ(store.created(), 101u);
    EXPECT_EQ(store.disposed(), 1u);
}

TEST(HostHandleProcs, ServeTheStoreAndReportMisuse) {
    HostSession session;
    HostSession::CallScope scope(session);
    HandleProcs* procs = session.filterRecord().handleProcs;
    ASSERT_NE(procs, nullptr);
    EXPECT_EQ(procs->handleProcsVersion, 1);
    EXPECT_EQ(procs->numHandleProcs, 8);

    const Handle h = procs->newProc(3);
    ASSERT_TRUE(session.handles().Owns(h));
    EXPECT_EQ(procs->getSizeProc(h), 3);
    Ptr p = procs->lockProc(h, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(session.handles().LockCount(h), 1);
    procs->unlockProc(h);
    EXPECT_EQ(procs->setSizeProc(h, 10), noErr);
    EXPECT_EQ(session.LeakedHandles(), 1u);
    session.data() = reinterpret_cast<intptr_t>(h);
    EXPECT_EQ(session.LeakedHandles(), 0u) << "the data slot's handle is kept for the plug-in";
    session.data() = 0;
    procs->disposeProc(h);
    EXPECT_TRUE(session.problems().empty());

    procs->disposeProc(h);
    EXPECT_EQ(procs->getSizeProc(h), 0);
    EXPECT_EQ(procs->lockProc(h, false), nullptr);
    char* master = nullptr;
    procs->disposeRegularHandleProc(reinterpret_cast<Handle>(&master));
    EXPECT_EQ(session.problems().count(), 4u);
    EXPECT_TRUE(session.problems().Contains("disposeProc: handle"));
    EXPECT_TRUE(session.problems().Contains("already disposed"));
    EXPECT_TRUE(session.problems().Contains("is not a handle of this host"));
    procs->disposeProc(nullptr);
    procs->unlockProc(nullptr);
    EXPECT_EQ(session.problems().count(), 4u) << "null is harmless for dispose and unlock";
}

TEST(HostHandleProcs, CanFailOrBeWithheldOneByOne) {
    HostSession session;
    session.callbacks().Set(HostCallback::NewHandle, CallbackMode::Failing, memFullErr, 2);
    session.callbacks().Set(HostCallback::SetHandleSize, CallbackMode::Failing, memFullErr);
    session.callbacks().Set(HostCallback::UnlockHandle, CallbackMode::Absent);
    session.ResetFilterRecord();
    HostSession::CallScope scope(session);
    HandleProcs* procs = session.filterRecord().handleProcs;
    const Handle first = procs->newProc(1);
    EXPECT_NE(first, nullptr) << "the first call is served";
    EXPECT_EQ(procs->newProc(1), nullptr);
    EXPECT_EQ(procs->setSizeProc(first, 2), memFullErr);
    EXPECT_EQ(procs->unlockProc, nullptr);
    EXPECT_NE(procs->lockProc, nullptr);
    EXPECT_EQ(session.callbacks().Calls(HostCallback::NewHandle), 2);

    HostOptions off;
    off.handleProcs = false;
    session.SetOptions(off);
    EXPECT_TRUE(session.filterRecord().handleProcs == nullptr);
}
