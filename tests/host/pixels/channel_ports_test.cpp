// The document description and the ChannelPorts suite, called as a plug-in calls them.
#include "pixel_test_support.h"

#include "hostsim/samples.h"

#include <cmath>
#include <memory>

namespace pixel_test {
namespace {

std::vector<const ReadChannelDesc*> List(const ReadChannelDesc* first) {
    std::vector<const ReadChannelDesc*> channels;
    for (; first; first = first->next) channels.push_back(first);
    return channels;
}

class PortsCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Layer 0 holds 10 + x, layer 1 (the target) 100 + x + 10 y + p, all 8-bit.
        for (int l = 0; l < 2; ++l)
            for (int p = 0; p < 4; ++p)
                for (int32 y = 0; y < 4; ++y)
                    for (int32 x = 0; x < 6; ++x)
                        *doc.layer(l).plane(p).At(x, y) = uint8(l == 0 ? 10 + x : 100 + x + 10 * y + p);
        doc.SelectRect(VRect{0, 0, 2, 6});
        host = std::make_unique<PixelHost>(session, doc);
        // The suite's functions act on the active ports host, as during a plug-in's call.
        active = std::make_unique<ChannelPortsHost::ActiveScope>(host->ports());
    }
    const PSChannelPortsSuite1& suite() { return *host->ports().table(); }
    const ReadImageDocumentDesc& info() { return *session.filterRecord().documentInfo; }
    ChannelReadPort Target(int plane) { return List(info().targetCompositeChannels).at(std::size_t(plane))->port; }

    PixelDocument doc{6, 4, plugInModeRGBColor, true, 2};
    HostSession session;
    std::unique_ptr<PixelHost> host;
    std::unique_ptr<ChannelPortsHost::ActiveScope> active;
};

TEST_F(PortsCallTest, DescribesTargetMergedSelectionAndLayers) {
    const ReadImageDocumentDesc& d = info();
    EXPECT_EQ(d.imageMode, plugInModeRGBColor);
    EXPECT_EQ(d.depth, 8);
    const auto target = List(d.targetCompositeChannels);
    ASSERT_EQ(target.size(), 3u);
    for (const ReadChannelDesc* c : target) {
        EXPECT_TRUE(c->shown);
        EXPECT_EQ(c->writePort, c->port);
        EXPECT_GE(c->maxVersion, 3);
        EXPECT_EQ(c->depth, 8);
    }
    EXPECT_STREQ(target[1]->name, "Green");
    ASSERT_NE(d.targetTransparency, nullptr);
    EXPECT_NE(d.targetTransparency->writePort, nullptr);
    for (const ReadChannelDesc* c : List(d.mergedCompositeChannels)) EXPECT_EQ(c->writePort, nullptr);
    ASSERT_NE(d.selection, nullptr);
    EXPECT_EQ(d.selection->depth, 8);
    EXPECT_EQ(d.layerCount, 2);
    ASSERT_NE(d.layersDescriptor, nullptr);
    EXPECT_EQ(d.layersDescriptor->compositeChannelsList->writePort, nullptr);  // not the target
    ASSERT_NE(d.layersDescriptor->next, nullptr);
    EXPECT_NE(d.layersDescriptor->next->compositeChannelsList->writePort, nullptr);
    EXPECT_TRUE(d.layersDescriptor->next->compositeChannelsList->target);  // the second layer is the target
}

TEST_F(PortsCallTest, OptionsWithholdWhatAHostMayLack) {
    PixelHostOptions options;
    options.description.targetLists = false;
    options.description.writePorts = false;
    options.description.channelMaxVersion = 2;
    options.description.hiddenChannelAfter = 0;
    host->SetOptions(options);
    EXPECT_EQ(info().targetCompositeChannels, nullptr);
    EXPECT_EQ(List(info().mergedCompositeChannels).front()->maxVersion, 2);

    options.description.targetLists = true;
    host->SetOptions(options);
    const auto target = List(info().targetCompositeChannels);
    ASSERT_EQ(target.size(), 4u);  // the hidden channel sits after the first
    EXPECT_FALSE(target[1]->shown);
    EXPECT_EQ(target[0]->writePort, nullptr);

    options.protocol = PixelProtocol::Classic;
    host->SetOptions(options);
    EXPECT_TRUE(session.filterRecord().documentInfo == nullptr);
    EXPECT_FALSE(session.basicSuite().IsEnabled(kPSChannelPortsSuite));
}

TEST_F(PortsCallTest, ReadsAPlaneIntoStridedMemoryAndReportsWhatItRead) {
    std::vector<uint8> memory(4 * 6 * 4, 0xEE);
    PixelMemoryDesc desc{memory.data(), 6 * 4 * 8, 4 * 8, 8, 8};  // interleaved 4 planes, plane 1's place
    VRect rect{2, 3, 9, 9};  // beyond the document: read up to its edge
    ASSERT_EQ(suite().ReadPixelsFromLevel(Target(2), 0, &rect, &desc), kSPNoError);
    EXPECT_EQ(rect.bottom, 4);
    EXPECT_EQ(rect.right, 6);
    // Pixel (4, 3) lies at row 1, column 1 of the memory as laid out for the asked rectangle.
    EXPECT_EQ(memory[1 * 24 + 1 * 4 + 1], uint8(100 + 4 + 30 + 2));
    EXPECT_EQ(memory[1 * 24 + 1 * 4 + 0], 0xEE);  // other places untouched
}

TEST_F(PortsCallTest, RefusesBadCallsWithAReason) {
    std::vector<uint8> memory(64);
    PixelMemoryDesc desc{memory.data(), 8 * 16, 16, 0, 16};
    VRect rect{0, 0, 1, 4};
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 0, &rect, &desc), paramErr);
    EXPECT_TRUE(session.problems().Contains("ReadScaledPixels converts depth"));
    desc.depth = 8;
    desc.colBits = 8;
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 1, &rect, &desc), paramErr);
    desc.colBits = 4;
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 0, &rect, &desc), paramErr);
    desc.colBits = 8;
    EXPECT_EQ(suite().ReadPixelsFromLevel(reinterpret_cast<PIChannelPort>(memory.data()), 0, &rect, &desc), paramErr);
    EXPECT_EQ(suite().ReadPixelsFromLevel(nullptr, 0, &rect, &desc), paramErr);
    VRect outside{0, 4, 1, 8};
    EXPECT_EQ(suite().WritePixelsToBaseLevel(Target(0), &outside, &desc), paramErr);
    EXPECT_TRUE(session.problems().Contains("reaches outside the port"));
    const ChannelReadPort merged = info().mergedCompositeChannels->port;
    EXPECT_EQ(suite().WritePixelsToBaseLevel(merged, &rect, &desc), paramErr);
    EXPECT_TRUE(session.problems().Contains("read-only"));
    EXPECT_EQ(session.problems().count(), 7u);
}

TEST_F(PortsCallTest, ScaledReadsConvertDepthAndSample) {
    PixelDocument deep(8, 8, plugInModeGray16);
    for (int32 y = 0; y < 8; ++y)
        for (int32 x = 0; x < 8; ++x) deep.target().plane(0).SetUnit(x, y, x / 7.0);
    active.reset();
    host.reset();
    PixelHost deepHost(session, deep);
    ChannelPortsHost::ActiveScope deepActive(deepHost.ports());
    const ChannelReadPort port = session.filterRecord().documentInfo->targetCompositeChannels->port;
    uint8 out[4 * 4];
    PixelMemoryDesc desc{out, 4 * 8, 8, 0, 8};
    const PSScaling half{VRect{0, 0, 8, 8}, VRect{0, 0, 4, 4}};
    VRect rect{0, 0, 4, 4};
    ASSERT_EQ(deepHost.ports().table()->ReadScaledPixels(port, &rect, &half, &desc), kSPNoError);
    // Nearest sampling: column x of the half-size image is column 2 x + 1 of the document.
    for (int32 x = 0; x < 4; ++x)
        EXPECT_EQ(out[4 + x], Narrow16To8(uint16(std::lround((2 * x + 1) / 7.0 * kMax16)))) << x;
    EXPECT_EQ(out[3], 255);  // x 7 is white
}

TEST_F(PortsCallTest, WritesFollowTheSelectionUnlessThePlugInMasks) {
    FilterRecord& r = session.filterRecord();
    host->ports().SetRecord(&r);
    uint8 source[6 * 4];
    std::fill(std::begin(source), std::end(source), uint8(7));
    PixelMemoryDesc desc{source, 6 * 8, 8, 0, 8};
    VRect all{0, 0, 4, 6};
    ASSERT_EQ(suite().WritePixelsToBaseLevel(Target(0), &all, &desc), kSPNoError);
    EXPECT_EQ(*doc.target().plane(0).At(5, 1), 7);          // selected rows 0..1
    EXPECT_EQ(*doc.target().plane(0).At(5, 2), 100 + 25);  // not selected
    r.autoMask = 0;
    ASSERT_EQ(suite().WritePixelsToBaseLevel(Target(0), &all, &desc), kSPNoError);
    EXPECT_EQ(*doc.target().plane(0).At(5, 2), 7);
    EXPECT_EQ(*doc.layer(0).plane(0).At(5, 2), 15);  // the other layer is another layer
    host->ports().SetRecord(nullptr);
}

TEST_F(PortsCallTest, PixelMemoryPortsAreCountedUntilDisposed) {
    PIChannelPort port = nullptr;
    const VRect rect{10, 10, 20, 30};
    ASSERT_EQ(suite().New(&port, &rect, 16, true), kSPNoError);
    EXPECT_EQ(host->outstanding().memoryPorts, 1u);
    uint16 in[20];
    for (int i = 0; i < 20; ++i) in[i] = uint16(i * 1000);
    PixelMemoryDesc desc{in, 20 * 16, 16, 0, 16};
    VRect row{15, 10, 16, 30};
    ASSERT_EQ(suite().WritePixelsToBaseLevel(port, &row, &desc), kSPNoError);
    uint16 out[20] = {};
    desc.data = out;
    ASSERT_EQ(suite().ReadPixelsFromLevel(port, 0, &row, &desc), kSPNoError);
    EXPECT_EQ(out[19], 19000);
    PIChannelPort document = Target(0);
    EXPECT_EQ(suite().Dispose(&document), paramErr);
    ASSERT_EQ(suite().Dispose(&port), kSPNoError);
    EXPECT_EQ(port, nullptr);
    EXPECT_FALSE(host->outstanding().any()) << host->outstanding().Describe();
    EXPECT_EQ(suite().Dispose(&port), paramErr);
}

TEST_F(PortsCallTest, InjectedFailuresAnswerTheNthCall) {
    host->faults().FailAt(PixelCall::ReadPixelsFromLevel, 2, errPlugInHostInsufficient);
    uint8 out[6];
    PixelMemoryDesc desc{out, 6 * 8, 8, 0, 8};
    VRect rect{0, 0, 1, 6};
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 0, &rect, &desc), kSPNoError);
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 0, &rect, &desc), errPlugInHostInsufficient);
    EXPECT_EQ(suite().ReadPixelsFromLevel(Target(0), 0, &rect, &desc), kSPNoError);
}

}  // namespace
}  // namespace pixel_test
