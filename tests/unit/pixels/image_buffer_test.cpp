#include "host/host_buffer.h"
#include "host/image_buffer.h"
#include "test_plugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

using namespace Corvantis::Host::PS;

namespace {

fake::Document Rgb(int32 w = 10, int32 h = 10, int32 depth = 8) {
    return fake::Document::Make(w, h, depth == 8 ? plugInModeRGBColor : depth == 16 ? plugInModeRGB48
                                                                                      : plugInModeRGB96,
                                depth, 3);
}

void FillPattern(ImageBuffer& b) {
    for (int32 y = b.GetRect().top; y < b.GetRect().bottom; ++y)
        for (int32 x = b.GetRect().left; x < b.GetRect().right; ++x)
            for (int32 p = 0; p < b.channels; ++p) *b.SampleAt(x, y, p) = uint8(x * 16 + y + p * 100);
}

int gHandlerCalls = 0;
void CountingHandler() {
    ++gHandlerCalls;
    fake::FakeHost::current->failAllocateAt = 0;
    fake::FakeHost::current->failLockAt = 0;
}

struct NewHandlerScope {
    std::new_handler old;
    explicit NewHandlerScope(std::new_handler h) : old(std::set_new_handler(h)) { gHandlerCalls = 0; }
    ~NewHandlerScope() { std::set_new_handler(old); }
};

}  // namespace

TEST(HostBuffer, AllocatesAlignedBlocksThroughTheHost) {
    fake::FakeHost host(Rgb(), {});
    {
        HostBuffer buffer(&host.record);
        buffer.Allocate(100);
        EXPECT_EQ(host.allocateSizes, std::vector<int32>{128});
        EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Data()) % 16, 0u);
        std::memset(buffer.Data(), 1, 100);
        HostBuffer other(&host.record);
        other.Swap(buffer);
        EXPECT_EQ(buffer.Data(), nullptr);
        EXPECT_TRUE(other.Owned());
    }
    EXPECT_EQ(host.liveBuffers, 0);
}

TEST(HostBuffer, FailuresThrowBadAllocUnlessTheNewHandlerHelps) {
    HostBuffer unbound(nullptr);
    EXPECT_THROW(unbound.Allocate(16), std::bad_alloc);

    fake::FakeHost host(Rgb(), {});
    {
        host.failAllocateAt = 1;
        HostBuffer buffer(&host.record);
        try {
            buffer.Allocate(100);
            FAIL() << "no exception";
        } catch (const std::bad_alloc& e) {
            EXPECT_STREQ(e.what(), "bad allocation");
        }
    }
    {
        // The handler frees memory; the request grows by 16 bytes on the retry.
        NewHandlerScope scope(CountingHandler);
        host.allocateSizes.clear();
        host.failAllocateAt = host.allocateCalls + 1;
        HostBuffer buffer(&host.record);
        buffer.Allocate(100);
        EXPECT_EQ(gHandlerCalls, 1);
        EXPECT_EQ(host.allocateSizes, (std::vector<int32>{128, 144}));
    }
    {
        // A block that cannot be locked is given back before the retry.
        NewHandlerScope scope(CountingHandler);
        host.failLockAt = host.lockCalls + 1;
        HostBuffer buffer(&host.record);
        buffer.Allocate(10);
        EXPECT_EQ(host.liveBuffers, 1);
        EXPECT_NE(buffer.Data(), nullptr);
    }
    EXPECT_EQ(host.liveBuffers, 0);
}

TEST(ImageBuffer, AllocateLaysOutInterleavedAndPlanar) {
    fake::Options withAlpha;
    withAlpha.transparency = true;
    fake::FakeHost host(fake::Document::Make(10, 10, plugInModeRGB48, 16, 4), withAlpha);
    BoundPlugin plugin(host);
    ImageBuffer b(&plugin);

    b.Allocate(VRect{2, 1, 7, 11}, plugInModeRGBColor, 3, false);
    EXPECT_EQ(b.bits, 8);
    EXPECT_EQ(b.PlaneBytes(), 1);
    EXPECT_EQ(b.ColumnBytes(), 3);
    EXPECT_EQ(b.RowBytes(), 30);
    EXPECT_FALSE(b.IsPlanar());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 16, 0u);

    b.Allocate(VRect{2, 1, 7, 11}, plugInModeRGB48, -1, true);  // all planes: colour plus transparency
    EXPECT_EQ(b.channels, 4);
    EXPECT_EQ(b.extraAlpha, 1);
    EXPECT_EQ(b.ColumnBytes(), 2);
    EXPECT_EQ(b.RowBytes(), 20);
    EXPECT_EQ(b.PlaneBytes(), 100);
    EXPECT_TRUE(b.IsPlanar());
    std::memset(b.GetData(), 0, 4 * 100);  // the whole block is ours (checked by the sanitizer)

    const int before = host.allocateCalls;
    b.Allocate(VRect{5, 5, 5, 9}, plugInModeRGBColor, 3, false);  // empty
    EXPECT_FALSE(b.HasData());
    EXPECT_EQ(b.GetRect().right, 0);
    b.Allocate(VRect{0, 0, 4, 4}, plugInModeBitmap, 1, false);
    EXPECT_EQ(b.RowBytes(), 0);
    EXPECT_EQ(b.ColumnBytes(), 0);
    EXPECT_FALSE(b.HasData());
    EXPECT_EQ(host.allocateCalls, before);
}

TEST(ImageBuffer, ViewsMovesAndClears) {
    fake::FakeHost host(Rgb(), {});
    BoundPlugin plugin(host);
    ImageBuffer b(&plugin);
    b.Allocate(VRect{0, 0, 10, 10}, plugInModeRGBColor, 3, false);
    FillPattern(b);

    ImageBuffer view(&plugin);
    view.MakeView(b, VRect{2, 3, 5, 20});
    EXPECT_EQ(view.GetRect().right, 10);  // clipped
    EXPECT_EQ(view.GetData(), b.SampleAt(3, 2, 0));
    *view.SampleAt(4, 3, 1) = 77;
    EXPECT_EQ(*b.SampleAt(4, 3, 1), 77);
    view.MakeView(b, VRect{20, 20, 30, 30});
    EXPECT_FALSE(view.HasData());

    b.ClearRect(VRect{20, 20, 30, 30});  // outside: nothing changes
    EXPECT_EQ(*b.SampleAt(9, 9, 2), uint8(9 * 16 + 9 + 200));
    b.ClearRect(VRect{-5, -5, 2, 2});
    EXPECT_EQ(*b.SampleAt(1, 1, 2), 0);
    EXPECT_EQ(*b.SampleAt(2, 1, 0), uint8(2 * 16 + 1));

    // Moving keeps the overlap; the same rect is no move at all.
    uint8* data = b.GetData();
    b.MoveTo(VRect{0, 0, 10, 10});
    EXPECT_EQ(b.GetData(), data);
    b.MoveTo(VRect{5, 4, 15, 14});
    EXPECT_EQ(*b.SampleAt(9, 9, 2), uint8(9 * 16 + 9 + 200));
    EXPECT_EQ(*b.SampleAt(4, 5, 0), uint8(4 * 16 + 5));
    b.MoveTo(VRect{100, 100, 110, 110});  // no overlap: nothing to copy
    EXPECT_EQ(b.GetRect().top, 100);
    EXPECT_TRUE(b.HasData());

    ImageBuffer planar(&plugin);
    planar.Allocate(VRect{0, 0, 10, 10}, plugInModeRGBColor, 3, true);
    FillPattern(planar);
    planar.MoveTo(VRect{-3, -3, 7, 7});
    EXPECT_TRUE(planar.IsPlanar());
    EXPECT_EQ(*planar.SampleAt(6, 6, 2), uint8(6 * 16 + 6 + 200));
    b.Reset();
    planar.Reset();
    view.Reset();
    EXPECT_EQ(host.liveBuffers, 0);
}

TEST(ImageBuffer, InterleaveAndDeinterleaveAreInverse) {
    fake::FakeHost host(Rgb(), {});
    BoundPlugin plugin(host);
    for (int16 mode : {plugInModeRGBColor, plugInModeRGB48, plugInModeRGB96}) {
        ImageBuffer b(&plugin);
        b.Allocate(VRect{0, 0, 2, 5}, mode, 3, true);
        const int32 bytes = b.bits / 8;
        std::vector<uint8> run(size_t(5 * 3 * bytes)), back(run.size());
        for (size_t i = 0; i < run.size(); ++i) run[i] = uint8(i * 3 + 1);
        b.DeinterleaveRow(run.data(), b.SampleAt(0, 1, 0));
        // Pixel 2's plane 1 sample lands in plane 1 at column 2.
        EXPECT_EQ(std::memcmp(b.SampleAt(2, 1, 1), run.data() + (2 * 3 + 1) * bytes, size_t(bytes)), 0);
        b.InterleaveRow(b.SampleAt(0, 1, 0), back.data());
        EXPECT_EQ(run, back) << "mode " << mode;
    }
}

TEST(ImageBuffer, SamplingScaleFollowsTheHost) {
    for (int16 support : {0, 1, 2}) {
        fake::Options o;
        o.samplingSupport = support;
        fake::FakeHost host(Rgb(), o);
        BoundPlugin plugin(host);
        ImageBuffer b(&plugin);
        const float expected = support == 0 ? 1.0f : support == 1 ? 0.25f : 0.3f;
        EXPECT_FLOAT_EQ(b.GetSamplingScale(0.3f, plugInModeRGBColor), expected) << "support " << support;
        EXPECT_FLOAT_EQ(b.GetDocumentSamplingScale(0.3f), expected);
        EXPECT_FLOAT_EQ(b.GetSamplingScale(-1.0f, plugInModeRGBColor), 1.0f);  // nonsense asks for full size
    }
    fake::Options ports;
    ports.channelPorts = true;
    fake::FakeHost host(Rgb(), ports);
    BoundPlugin plugin(host);
    ImageBuffer b(&plugin);
    EXPECT_FLOAT_EQ(b.GetSamplingScale(0.3f, plugInModeRGBColor), 0.3f);

    // One rate for input and mask: a mask read at another rate drops the input request.
    plugin.SetInRect(VRect{0, 0, 5, 5});
    b.SetSamplingRate(0.25f, true);
    EXPECT_EQ(host.record.inputRate, 262144);
    EXPECT_EQ(host.record.maskRate, 262144);
    EXPECT_EQ(plugin.GetInRect().bottom, 0);
    EXPECT_FLOAT_EQ(b.scale, 0.25f);
}

TEST(ImageBuffer, ResamplesThroughATemporaryPort) {
    fake::FakeHost classic(Rgb(), {});
    {
        BoundPlugin plugin(classic);
        ImageBuffer small(&plugin), big(&plugin);
        small.Allocate(VRect{0, 0, 4, 4}, plugInModeRGBColor, 3, false);
        EXPECT_THROW(big.ScaleFrom(small, VRect{0, 0, 8, 8}, 2.0f), PS::Host::ErrorAlreadySet);
        EXPECT_EQ(plugin.result, errPlugInHostInsufficient);
    }
    fake::Options o;
    o.channelPorts = true;
    fake::FakeHost host(Rgb(), o);
    BoundPlugin plugin(host);
    ImageBuffer small(&plugin), big(&plugin);
    small.Allocate(VRect{0, 0, 4, 4}, plugInModeRGBColor, 3, true);
    FillPattern(small);
    big.ScaleFrom(small, VRect{0, 0, 8, 8}, 2.0f);
    EXPECT_EQ(big.imageRect.right, 8);
    EXPECT_TRUE(big.IsPlanar());
    for (int32 y = 0; y < 8; ++y)
        for (int32 x = 0; x < 8; ++x)
            for (int32 p = 0; p < 3; ++p) ASSERT_EQ(*big.SampleAt(x, y, p), *small.SampleAt(x / 2, y / 2, p));
    EXPECT_EQ(host.livePorts, 0);
}

TEST(ImageBuffer, WriteBackThroughPortsCountsShownChannelsOnly) {
    fake::Options o;
    o.channelPorts = true;
    o.hiddenAfter = 0;  // chain: R, hidden, G, B
    fake::FakeHost host(Rgb(), o);
    const fake::Document original = host.doc;
    BoundPlugin plugin(host);
    ImageBuffer b(&plugin);
    b.Allocate(VRect{2, 2, 4, 6}, plugInModeRGBColor, 2, false);
    std::memset(b.GetData(), 200, size_t(b.RowBytes()) * 2);

    plugin.inDialog = true;  // the dialog writes nothing
    b.WriteBack(1);
    EXPECT_EQ(host.portWrites, 0);
    plugin.inDialog = false;

    b.WriteBack(1);
    EXPECT_EQ(host.hiddenWrites, 0);
    EXPECT_EQ(host.doc.planes[0].samples, original.planes[0].samples);
    EXPECT_EQ(host.doc.Get(1, 2, 2), 200);
    EXPECT_EQ(host.doc.Get(2, 5, 3), 200);
    EXPECT_EQ(host.doc.Get(2, 6, 3), original.planes[2].samples[3 * 10 + 6]);

    host.failPortWriteAt = host.portWrites + 1;
    EXPECT_THROW(b.WriteBack(0), PS::Host::ErrorAlreadySet);
    EXPECT_EQ(plugin.result, errPlugInHostInsufficient);

    host.record.documentInfo->targetCompositeChannels->writePort = nullptr;
    EXPECT_THROW(b.WriteBack(0), PS::Host::ErrorAlreadySet);
    EXPECT_EQ(plugin.result, paramErr);
}

TEST(ImageBuffer, ClassicWriteBackRequestsRowByRow) {
    fake::FakeHost host(Rgb(), {});
    BoundPlugin plugin(host);
    ImageBuffer b(&plugin);
    b.Allocate(VRect{1, 1, 3, 4}, plugInModeRGBColor, 3, true);  // planar: plane by plane
    FillPattern(b);
    b.WriteBack(0);
    host.CommitOutput();
    EXPECT_EQ(host.advanceCalls, 3 * 2);
    EXPECT_EQ(host.record.wantLayout, 0);
    for (int32 p = 0; p < 3; ++p) EXPECT_EQ(host.doc.Get(p, 3, 2), *b.SampleAt(3, 2, p));

    // A buffer lying over the host's output was rendered in place.
    const int calls = host.advanceCalls;
    plugin.SetOutPlanes(0, 3);
    plugin.RequestOutRect(VRect{0, 0, 2, 2});
    ImageBuffer over(&plugin);
    over.AttachOutData(VRect{0, 0, 2, 2});
    EXPECT_EQ(over.channels, 3);
    EXPECT_EQ(over.GetMode(), plugInModeRGBColor);
    over.WriteBack(0);
    EXPECT_EQ(host.advanceCalls, calls + 1);
}
