#include "hostsim/basic_suite.h"

#include <gtest/gtest.h>

using hostsim::BasicSuite;

namespace {

struct DemoSuite {
    int32 (*Answer)();
};
int32 Answer() { return 42; }
const DemoSuite kDemo = {&Answer};

class BasicSuiteTest : public ::testing::Test {
protected:
    BasicSuiteTest() : active_(suite_) { suite_.Register("Demo", 2, &kDemo); }

    SPErr Acquire(const char* name, int32 version, const void** table) {
        return suite_.table()->AcquireSuite(name, version, table);
    }
    SPErr Release(const char* name, int32 version) { return suite_.table()->ReleaseSuite(name, version); }

    BasicSuite suite_;
    BasicSuite::ActiveScope active_;
};

}  // namespace

TEST_F(BasicSuiteTest, AcquireAndReleaseAreCountedPerSuite) {
    const void* table = nullptr;
    ASSERT_EQ(Acquire("Demo", 2, &table), kSPNoError);
    EXPECT_EQ(static_cast<const DemoSuite*>(table)->Answer(), 42);
    ASSERT_EQ(Acquire("Demo", 2, &table), kSPNoError);
    EXPECT_EQ(suite_.OutstandingAcquires(), 2);
    EXPECT_EQ(Release("Demo", 2), kSPNoError);
    EXPECT_EQ(suite_.OutstandingAcquires(), 1);
    EXPECT_EQ(Release("Demo", 2), kSPNoError);
    EXPECT_EQ(suite_.OutstandingAcquires(), 0);
    EXPECT_EQ(suite_.Find("Demo", 2)->acquires, 2);
    EXPECT_EQ(suite_.Find("Demo", 2)->releases, 2);
    EXPECT_EQ(suite_.strayReleases(), 0);

    suite_.ResetCounts();
    EXPECT_EQ(suite_.Find("Demo", 2)->acquires, 0);
}

TEST_F(BasicSuiteTest, UnknownSuitesAndSwitchedOffSuitesAreNotFound) {
    const void* table = &kDemo;
    EXPECT_EQ(Acquire("Demo", 1, &table), kSPSuiteNotFoundError);  // other version
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(Acquire("Other", 2, &table), kSPSuiteNotFoundError);

    suite_.SetEnabled("Demo", false);
    table = &kDemo;
    EXPECT_EQ(Acquire("Demo", 2, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(suite_.Find("Demo", 2)->refusals, 1);
    EXPECT_EQ(suite_.OutstandingAcquires(), 0);

    suite_.SetEnabled("Demo", true);
    EXPECT_EQ(Acquire("Demo", 2, &table), kSPNoError);
    EXPECT_EQ(Release("Demo", 2), kSPNoError);

    // A switch set before the suite exists holds once it is registered.
    suite_.SetEnabled("Later", false);
    suite_.Register("Later", 1, &kDemo);
    EXPECT_EQ(Acquire("Later", 1, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(Acquire(nullptr, 1, &table), kSPBadParameterError);
    EXPECT_EQ(Acquire("Demo", 2, nullptr), kSPBadParameterError);
}

TEST_F(BasicSuiteTest, ReleasesWithoutAcquireAreStray) {
    EXPECT_EQ(Release("Demo", 2), kSPNoError);
    EXPECT_EQ(Release("Unknown", 1), kSPSuiteNotFoundError);
    EXPECT_EQ(suite_.strayReleases(), 2);
}

TEST_F(BasicSuiteTest, BlocksAreTrackedAndOnlyOwnBlocksFreed) {
    SPBasicSuite* basic = suite_.table();
    void* block = nullptr;
    ASSERT_EQ(basic->AllocateBlock(16, &block), kSPNoError);
    ASSERT_NE(block, nullptr);
    static_cast<char*>(block)[15] = 'x';
    void* grown = nullptr;
    ASSERT_EQ(basic->ReallocateBlock(block, 4096, &grown), kSPNoError);
    EXPECT_EQ(static_cast<char*>(grown)[15], 'x');
    EXPECT_EQ(suite_.OutstandingBlocks(), 1u);

    int notOurs = 0;
    EXPECT_EQ(basic->FreeBlock(&notOurs), kSPBadParameterError);
    EXPECT_EQ(basic->ReallocateBlock(&notOurs, 8, &grown), kSPBadParameterError);
    EXPECT_EQ(basic->AllocateBlock(-1, &block), kSPBadParameterError);
    EXPECT_EQ(block, nullptr);

    void* second = nullptr;
    ASSERT_EQ(basic->AllocateBlock(0, &second), kSPNoError);
    EXPECT_EQ(basic->FreeBlock(second), kSPNoError);
    EXPECT_EQ(basic->FreeBlock(second), kSPBadParameterError);  // twice
    EXPECT_EQ(suite_.OutstandingBlocks(), 1u);  // the grown block; freed with the suite
}

TEST(BasicSuite, FunctionsActOnTheActiveSuiteOnly) {
    BasicSuite outer;
    BasicSuite inner;
    outer.Register("Demo", 2, &kDemo);
    const void* table = nullptr;
    // The table's functions have no context of their own: without an active suite they fail.
    EXPECT_EQ(outer.table()->AcquireSuite("Demo", 2, &table), kSPBadParameterError);
    {
        BasicSuite::ActiveScope a(outer);
        {
            BasicSuite::ActiveScope b(inner);
            EXPECT_EQ(BasicSuite::Active(), &inner);
            EXPECT_EQ(outer.table()->AcquireSuite("Demo", 2, &table), kSPSuiteNotFoundError);
        }
        EXPECT_EQ(BasicSuite::Active(), &outer);
        EXPECT_EQ(outer.table()->AcquireSuite("Demo", 2, &table), kSPNoError);
    }
    EXPECT_EQ(BasicSuite::Active(), nullptr);
}
