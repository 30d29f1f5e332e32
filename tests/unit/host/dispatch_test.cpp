#include "test_host.h"
#include "win32/message_box.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Corvantis::Host::PS;

namespace {

// Handle procs that only count unlocks.
int gUnlocks = 0;
Handle FakeNew(int32) { return nullptr; }
void FakeDispose(Handle) {}
int32 FakeSize(Handle) { return 0; }
OSErr FakeSetSize(Handle, int32) { return 0; }
Ptr FakeLock(Handle, Boolean) { return nullptr; }
void FakeUnlock(Handle) { ++gUnlocks; }

struct DispatchTest : ::testing::Test {
    FilterRecord record{};
    HandleProcs procs{1, 8, FakeNew, FakeDispose, FakeSize, FakeSetSize, FakeLock, FakeUnlock, nullptr, nullptr};
    uint8 errorString[256]{};
    intptr_t dataSlot = 0;
    int16 result = 0;
    TestHost host;
    std::vector<MessageBoxRecord> boxes;
    int dataStorage = 0;

    void SetUp() override {
        gUnlocks = 0;
        record.handleProcs = &procs;
        record.errorString = &errorString;
        record.parameters = reinterpret_cast<Handle>(&dataStorage);
        dataSlot = reinterpret_cast<intptr_t>(&dataStorage);
        SetMessageBoxObserver([this](const MessageBoxRecord& box) {
            boxes.push_back(box);
            return IDOK;
        });
        host.Init(&record, false, &dataSlot, &result, "Test");
    }
    void TearDown() override { SetMessageBoxObserver(nullptr); }

    template <class Thrower>
    void StartThrowing(Thrower thrower) {
        host.onStart = thrower;
        host.Dispatch(filterSelectorStart);
    }
};

TEST_F(DispatchTest, EachCaughtExceptionGivesItsResultCode) {
    StartThrowing([] { throw std::bad_alloc(); });
    EXPECT_EQ(result, memFullErr);

    StartThrowing([] { throw Corvantis::Interrupted{}; });
    EXPECT_EQ(result, userCanceledErr);

    StartThrowing([this] { host.CheckError(-4321); });
    EXPECT_EQ(result, -4321);

    StartThrowing([] { throw std::string("a thrown text"); });
    EXPECT_EQ(result, errReportString);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(errorString + 1), errorString[0]), "a thrown text");

    StartThrowing([] { throw std::runtime_error("standard failure"); });
    EXPECT_EQ(result, errReportString);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(errorString + 1), errorString[0]), "standard failure");

    StartThrowing([] { throw 42; });
    EXPECT_EQ(result, errReportString);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(errorString + 1), errorString[0]), "Unknown error");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DispatchTest, LongTextIsCutTo255BytesWithLengthByte255) {
    StartThrowing([] { throw std::string(300, 'x'); });
    EXPECT_EQ(result, errReportString);
    EXPECT_EQ(errorString[0], 255);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(errorString + 1), 255), std::string(255, 'x'));
}

TEST_F(DispatchTest, WithoutErrorStringTheErrorBoxIsShownAndResultIsCancel) {
    record.errorString = nullptr;
    StartThrowing([] { throw std::runtime_error("no string here"); });
    EXPECT_EQ(result, userCanceledErr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "no string here");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

TEST_F(DispatchTest, CheckErrorStoresEveryCodeAndThrowsOnlyOnFailure) {
    result = -108;
    EXPECT_NO_THROW(host.CheckError(0));
    EXPECT_EQ(result, 0);
    EXPECT_THROW(host.CheckError(-50), Host::ErrorAlreadySet);
    EXPECT_EQ(result, -50);
}

TEST_F(DispatchTest, UnlocksBothHandlesAfterNormalReturnOnly) {
    host.Dispatch(filterSelectorContinue);
    EXPECT_EQ(gUnlocks, 2);

    gUnlocks = 0;
    StartThrowing([] { throw std::runtime_error("x"); });
    EXPECT_EQ(gUnlocks, 0) << "an exception leaves both handles locked";

    gUnlocks = 0;
    result = 0;
    host.Dispatch(6);
    host.Dispatch(-1);
    EXPECT_EQ(gUnlocks, 4) << "unknown selectors only unlock";
    EXPECT_EQ(result, 0) << "and leave the result alone";
}

TEST_F(DispatchTest, AboutSelectorDropsFilterRecordAndNeverUnlocks) {
    host.Dispatch(filterSelectorAbout);
    EXPECT_EQ(host.filterRecord, nullptr);
    EXPECT_EQ(CurrentFilterRecord(), nullptr);
    EXPECT_EQ(gUnlocks, 0);
}

TEST_F(DispatchTest, BigDocumentRecordSwitchesTo32BitCoordinates) {
    BigDocumentStruct big{};
    big.filterRect32 = {0, 0, 40000, 50000};
    record.bigDocumentData = &big;
    record.filterRect = {1, 2, 3, 4};
    host.Dispatch(filterSelectorContinue);
    EXPECT_EQ(big.PluginUsing32BitCoordinates, 1);
    EXPECT_EQ(host.GetFilterRect().right, 50000);
    EXPECT_EQ(CurrentFilterRecord(), &record);
}

// Suites are acquired at Init and every acquired suite is released by the destructor.
struct SuiteLog {
    static inline std::vector<std::string> events;
    static inline bool offerColorSpace = true;
    static SPErr Acquire(const char* name, int32 version, const void** suite) {
        static const int dummy = 0;
        if (std::string(name) == kPSColorSpaceSuite && !offerColorSpace) return kSPSuiteNotFoundError;
        events.push_back("acquire " + std::string(name) + " " + std::to_string(version));
        *suite = &dummy;
        return 0;
    }
    static SPErr Release(const char* name, int32 version) {
        events.push_back("release " + std::string(name) + " " + std::to_string(version));
        return 0;
    }
};

TEST(HostSuites, AcquiredAtInitReleasedAtDestruction) {
    for (bool offer : {true, false}) {
        SuiteLog::events.clear();
        SuiteLog::offerColorSpace = offer;
        SPBasicSuite basic{SuiteLog::Acquire, SuiteLog::Release, nullptr, nullptr, nullptr, nullptr, nullptr};
        FilterRecord record{};
        record.sSPBasic = &basic;
        int16 result = 0;
        {
            TestHost host;
            host.Init(&record, false, nullptr, &result, "T");
            EXPECT_NE(host.channelPorts, nullptr);
            EXPECT_EQ(host.colorSpace != nullptr, offer);
        }
        std::vector<std::string> expected{"acquire Photoshop ChannelPorts Suite for Plug-ins 2"};
        if (offer) expected.push_back("acquire Photoshop ColorSpace Suite for Plug-ins 1");
        expected.push_back("release Photoshop ChannelPorts Suite for Plug-ins 2");
        if (offer) expected.push_back("release Photoshop ColorSpace Suite for Plug-ins 1");
        EXPECT_EQ(SuiteLog::events, expected);
    }
}

}  // namespace
