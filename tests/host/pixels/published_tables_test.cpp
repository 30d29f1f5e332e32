// What the host hands a plug-in is the published interface in full: the whole record with the
// host's own signature, and every slot of every table it points to set, at the version the
// plug-in asks for. A slot the host does not serve answers "not implemented".
#include "pixel_test_support.h"

#include <cstring>
#include <string>

namespace pixel_test {
namespace {

// The function slots of a table, `count` of them from byte `from`; the names of the null ones.
std::vector<std::size_t> NullSlots(const void* table, std::size_t from, std::size_t count) {
    std::vector<std::size_t> nulls;
    for (std::size_t i = 0; i < count; ++i) {
        void* slot = nullptr;
        std::memcpy(&slot, static_cast<const char*>(table) + from + 8 * i, sizeof slot);
        if (!slot) nulls.push_back(i);
    }
    return nulls;
}

// A table with a version and count header: its slots start at byte 8.
template <class Table>
void ExpectHeaderTableFull(const Table* table, int16 count, const char* name) {
    ASSERT_NE(table, nullptr) << name;
    int16 header[2];
    std::memcpy(header, table, sizeof header);
    EXPECT_EQ(header[1], count) << name;
    EXPECT_EQ(sizeof(Table), 8 + 8 * std::size_t(count)) << name;
    EXPECT_TRUE(NullSlots(table, 8, std::size_t(count)).empty()) << name;
}

const void* Acquire(HostSession& session, const char* name, int32 version) {
    const void* table = nullptr;
    EXPECT_EQ(session.filterRecord().sSPBasic->AcquireSuite(name, version, &table), kSPNoError) << name;
    session.filterRecord().sSPBasic->ReleaseSuite(name, version);
    return table;
}

class PublishedTablesTest : public ::testing::Test {
protected:
    PixelDocument doc{8, 8, plugInModeRGBColor, false, 1};
    HostSession session;
    PixelHost host{session, doc};
    HostSession::CallScope scope{session};
};

TEST_F(PublishedTablesTest, TheRecordIsWholeAndEveryTableIsFull) {
    const FilterRecord& r = session.filterRecord();
    EXPECT_EQ(sizeof r, 608u);
    EXPECT_EQ(r.serialNumber, 0);
    EXPECT_EQ(r.hostSig, HostSession::kHostSignature);
    EXPECT_NE(r.hostSig, FourCC("8BIM"));  // not pretending to be another host
    for (const void* proc : {reinterpret_cast<const void*>(r.abortProc), reinterpret_cast<const void*>(r.progressProc),
                             reinterpret_cast<const void*>(r.hostProc), reinterpret_cast<const void*>(r.processEvent),
                             reinterpret_cast<const void*>(r.displayPixels), reinterpret_cast<const void*>(r.advanceState),
                             reinterpret_cast<const void*>(r.getPropertyObsolete),
                             reinterpret_cast<const void*>(r.colorServices)})
        EXPECT_NE(proc, nullptr);

    ExpectHeaderTableFull(r.bufferProcs, kCurrentBufferProcsCount, "BufferProcs");
    ExpectHeaderTableFull(r.handleProcs, kCurrentHandleProcsCount, "HandleProcs");
    ExpectHeaderTableFull(r.resourceProcs, kCurrentResourceProcsCount, "ResourceProcs");
    ExpectHeaderTableFull(r.propertyProcs, kCurrentPropertyProcsCount, "PropertyProcs");
    ExpectHeaderTableFull(r.imageServicesProcs, kCurrentImageServicesProcsCount, "ImageServicesProcs");
    ExpectHeaderTableFull(r.channelPortProcs, kCurrentChannelPortProcsCount, "ChannelPortProcs");
    ASSERT_TRUE(r.descriptorParameters != nullptr);
    ExpectHeaderTableFull(r.descriptorParameters->readDescriptorProcs, kCurrentReadDescriptorProcsCount,
                          "ReadDescriptorProcs");
    ExpectHeaderTableFull(r.descriptorParameters->writeDescriptorProcs, kCurrentWriteDescriptorProcsCount,
                          "WriteDescriptorProcs");
    EXPECT_TRUE(NullSlots(r.sSPBasic, 0, sizeof(SPBasicSuite) / 8).empty());

    // Suites, whole, at the version the module asks for.
    struct Suite {
        const char* name;
        int32 version;
        std::size_t size;
    };
    const Suite suites[] = {
        {kPSChannelPortsSuite, kPSChannelPortsSuiteVersion, sizeof(PSChannelPortsSuite1)},
        {kPSColorSpaceSuite, kPSColorSpaceSuiteVersion, sizeof(PSColorSpaceSuite1)},
        {kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, sizeof(PSActionDescriptorProcs)},
        {kPSActionReferenceSuite, kPSActionReferenceSuiteVersion, sizeof(PSActionReferenceProcs)},
        {kPSActionControlSuite, kPSActionControlSuiteVersion, sizeof(PSActionControlProcs)},
        {kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion, sizeof(PSDescriptorRegistryProcs)},
    };
    for (const Suite& suite : suites) {
        const void* table = Acquire(session, suite.name, suite.version);
        ASSERT_NE(table, nullptr) << suite.name;
        EXPECT_TRUE(NullSlots(table, 0, suite.size / 8).empty()) << suite.name;
    }
    EXPECT_EQ(session.basicSuite().OutstandingAcquires(), 0);
}

TEST_F(PublishedTablesTest, UnservedSlotsAnswerNotImplemented) {
    const FilterRecord& r = session.filterRecord();
    // OSErr tables: the host cannot do it.
    const auto* descriptors = static_cast<const PSActionDescriptorProcs*>(
        Acquire(session, kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion));
    Boolean equal = 1;
    EXPECT_EQ(descriptors->IsEqual(nullptr, nullptr, &equal), errPlugInHostInsufficient);
    const auto* control =
        static_cast<const PSActionControlProcs*>(Acquire(session, kPSActionControlSuite, kPSActionControlSuiteVersion));
    EXPECT_EQ(control->MakeStringAlias("a", "b"), errPlugInHostInsufficient);
    Str255 text{};
    EXPECT_EQ(r.descriptorParameters->readDescriptorProcs->getStringProc(nullptr, &text), errPlugInHostInsufficient);
    EXPECT_EQ(r.imageServicesProcs->interpolate1DProc(nullptr, nullptr, nullptr, nullptr, 0), errPlugInHostInsufficient);
    // SPErr suites: the suites' own code.
    const auto* ports =
        static_cast<const PSChannelPortsSuite1*>(Acquire(session, kPSChannelPortsSuite, kPSChannelPortsSuiteVersion));
    Boolean supported = 1;
    EXPECT_EQ(ports->SupportsOperation("copy", &supported), kSPUnimplementedError);
    EXPECT_EQ(r.sSPBasic->Undefined(), kSPUnimplementedError);
    // Tables that hold nothing answer as empty ones.
    EXPECT_EQ(r.resourceProcs->countProc(FourCC("PICT")), 0);
    intptr_t simple = 1;
    Handle complex = nullptr;
    EXPECT_EQ(r.propertyProcs->getPropertyProc(FourCC("8BIM"), FourCC("nuch"), 0, &simple, &complex),
              errPlugInPropertyUndefined);
    EXPECT_EQ(simple, 0);
    // The 64-bit buffer procedures are served.
    BufferProcsHost::ActiveScope active(host.buffers());
    BufferID id = nullptr;
    ASSERT_EQ(r.bufferProcs->allocateProc64(100, &id), noErr);
    EXPECT_GE(r.bufferProcs->spaceProc64(), 0);
    r.bufferProcs->freeProc(id);
    EXPECT_EQ(host.buffers().outstanding(), 0u);
}

}  // namespace
}  // namespace pixel_test
