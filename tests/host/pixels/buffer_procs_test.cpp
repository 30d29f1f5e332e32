// The buffer procs: blocks lent to the plug-in, counted, limited and failing on request.
#include "pixel_test_support.h"

#include "hostsim/buffer_procs.h"

namespace pixel_test {
namespace {

class BufferProcsTest : public ::testing::Test {
protected:
    FaultPlan faults;
    ProblemLog problems;
    BufferProcsHost host{faults, problems};
    BufferProcsHost::ActiveScope active{host};
    BufferProcs& procs = *host.procs();
};

TEST_F(BufferProcsTest, LendsCountsAndTakesBack) {
    BufferID a = nullptr, b = nullptr;
    ASSERT_EQ(procs.allocateProc(100, &a), noErr);
    ASSERT_EQ(procs.allocateProc(50, &b), noErr);
    EXPECT_NE(a, b);
    EXPECT_EQ(host.outstandingBytes(), 150);
    char* p = procs.lockProc(a, true);
    ASSERT_NE(p, nullptr);
    p[99] = 1;  // the whole block is usable
    EXPECT_EQ(host.lockedBlocks(), 1);
    procs.unlockProc(a);
    procs.freeProc(a);
    EXPECT_EQ(host.outstanding(), 1u);
    procs.freeProc(b);
    EXPECT_EQ(host.outstanding(), 0u);
    EXPECT_EQ(host.peakBytes(), 150);
    EXPECT_EQ(host.allocations(), 2);
    EXPECT_EQ(host.frees(), 2);
    EXPECT_TRUE(problems.empty());
}

TEST_F(BufferProcsTest, LimitAndInjectedFailuresAnswerOutOfMemory) {
    host.SetLimit(1000);
    EXPECT_EQ(procs.spaceProc(), 1000);
    BufferID id = nullptr;
    EXPECT_EQ(procs.allocateProc(1001, &id), memFullErr);
    EXPECT_EQ(id, nullptr);
    ASSERT_EQ(procs.allocateProc(600, &id), noErr);
    EXPECT_EQ(procs.spaceProc(), 400);
    faults.FailAt(PixelCall::AllocateBuffer, 3, memFullErr);
    BufferID other = nullptr;
    EXPECT_EQ(procs.allocateProc(10, &other), memFullErr);
    EXPECT_EQ(procs.allocateProc(-1, &other), paramErr);
    procs.freeProc(id);
}

TEST_F(BufferProcsTest, MisuseIsReportedNotFatal) {
    BufferID id = nullptr;
    ASSERT_EQ(procs.allocateProc(8, &id), noErr);
    procs.unlockProc(id);  // never locked
    procs.freeProc(id);
    procs.freeProc(id);  // twice
    EXPECT_EQ(procs.lockProc(id, false), nullptr);
    EXPECT_EQ(problems.count(), 3u);
    EXPECT_TRUE(problems.Contains("freed already"));
}

}  // namespace
}  // namespace pixel_test
