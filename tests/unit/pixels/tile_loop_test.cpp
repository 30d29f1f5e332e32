#include "host/image_modes.h"
#include "test_plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

using namespace Corvantis::Host::PS;

namespace {

bool SameRect(const VRect& a, const VRect& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::vector<uint8> SelectionPattern(int32 w, int32 h) {
    std::vector<uint8> s(size_t(w) * h);
    for (int32 y = 0; y < h; ++y)
        for (int32 x = 0; x < w; ++x) s[size_t(y) * w + x] = uint8((x * 3 + y * 5) & 0xFF);
    return s;
}

// Planes of a document are equal sample by sample.
::testing::AssertionResult SamePlanes(const fake::Document& a, const fake::Document& b) {
    for (size_t p = 0; p < a.planes.size(); ++p)
        if (a.planes[p].samples != b.planes[p].samples)
            return ::testing::AssertionFailure() << "plane " << p << " differs";
    return ::testing::AssertionSuccess();
}

fake::Document Rgb8(int32 w, int32 h) { return fake::Document::Make(w, h, plugInModeRGBColor, 8, 3); }

}  // namespace

// --- Tiling and progress ---

TEST(TileLoop, TilesCoverTheFilterRectWithProgress) {
    fake::FakeHost host(Rgb8(300, 200), {});
    TestPlugin plugin;
    ASSERT_EQ(RunStart(host, plugin), 0);
    ASSERT_EQ(plugin.tiles.size(), 2u);
    EXPECT_TRUE(SameRect(plugin.tiles[0], VRect{0, 0, 200, 256}));
    EXPECT_TRUE(SameRect(plugin.tiles[1], VRect{0, 256, 200, 300}));
    EXPECT_EQ(host.progress, (std::vector<std::pair<int32, int32>>{{1000, 2000}, {2000, 2000}}));
    EXPECT_EQ(plugin.tilesTotal, 2);
}

TEST(TileLoop, TileSizeComesFromTheHostOrFallsBack) {
    {
        fake::FakeHost host(Rgb8(100, 100), {});
        TestPlugin plugin;
        ASSERT_EQ(RunStart(host, plugin), 0);
        EXPECT_EQ(plugin.tiles.size(), 1u);
        EXPECT_TRUE(host.progress.empty());  // one tile: no progress
    }
    {
        fake::Options o;
        o.tileWidth = 100;  // height 0: both fall back to 256
        fake::FakeHost host(Rgb8(300, 300), o);
        TestPlugin plugin;
        ASSERT_EQ(RunStart(host, plugin), 0);
        ASSERT_EQ(plugin.tiles.size(), 4u);
        EXPECT_TRUE(SameRect(plugin.tiles[1], VRect{0, 256, 256, 300}));  // rows outer, columns inner
        EXPECT_TRUE(SameRect(plugin.tiles[2], VRect{256, 0, 300, 256}));
    }
    {
        fake::Options o;
        o.tileWidth = 100;
        o.tileHeight = 50;
        fake::FakeHost host(Rgb8(300, 120), o);
        TestPlugin plugin;
        ASSERT_EQ(RunStart(host, plugin), 0);
        EXPECT_EQ(plugin.tiles.size(), 9u);
        EXPECT_EQ(host.progress.back(), (std::pair<int32, int32>{9000, 9000}));
    }
    {
        fake::FakeHost host(Rgb8(300, 300), {});
        TestPlugin plugin;
        plugin.declineTileSize = true;  // one tile of the whole rect
        ASSERT_EQ(RunStart(host, plugin), 0);
        ASSERT_EQ(plugin.tiles.size(), 1u);
        EXPECT_TRUE(SameRect(plugin.tiles[0], VRect{0, 0, 300, 300}));
    }
    {
        fake::FakeHost host(Rgb8(10, 10), {});
        host.record.filterRect = ::Rect{5, 5, 5, 9};
        host.record.bigDocumentData->filterRect32 = VRect{5, 5, 5, 9};
        TestPlugin plugin;
        EXPECT_EQ(RunStart(host, plugin), 0);
        EXPECT_TRUE(plugin.tiles.empty());
    }
}

// --- Copy-through over modes, depths, planes and protocols ---

struct ModeCase {
    int16 mode;
    int32 depth;
    int32 colour;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << "mode " << c.mode << ", " << c.depth << " bits"; }

class CopyThrough : public ::testing::TestWithParam<std::tuple<ModeCase, bool, bool, bool>> {};

TEST_P(CopyThrough, ReturnsEveryPixelUnchanged) {
    const auto [mc, transparency, ports, withMask] = GetParam();
    fake::Document doc = fake::Document::Make(300, 70, mc.mode, mc.depth, mc.colour + (transparency ? 1 : 0));
    if (withMask) doc.selection = SelectionPattern(doc.width, doc.height);
    fake::Options o;
    o.transparency = transparency;
    o.channelPorts = ports;
    o.colorSpace = true;
    fake::FakeHost host(doc, o);
    const fake::Document original = host.doc;

    TestPlugin plugin;
    plugin.wantsMask = withMask;
    const bool cmyk = mc.mode == plugInModeCMYKColor || mc.mode == plugInModeCMYK64;
    int maskMismatches = 0, masks = 0;
    plugin.onRender = [&](ImageBuffer& source, ImageBuffer& destination, ImageBuffer& mask, ImageBuffer*) {
        EXPECT_EQ(source.bits, mc.depth);
        EXPECT_EQ(source.GetMode(), cmyk ? int32(mc.depth == 8 ? plugInModeRGBColor : plugInModeRGB48) : mc.mode);
        EXPECT_EQ(source.channels, (cmyk ? 3 : mc.colour) + (transparency ? 1 : 0));
        EXPECT_EQ(source.extraAlpha, uint8(transparency ? 1 : 0));
        EXPECT_EQ(destination.channels, source.channels);
        EXPECT_TRUE(SameRect(destination.imageRect, VRect{0, 0, 70, 300}));
        // A renderer reads the source over the whole tile: its geometry must survive the host's
        // later advances (a copy-through into pre-filled output data would not notice).
        EXPECT_TRUE(SameRect(source.GetRect(), destination.GetRect()));
        if (!withMask) {
            EXPECT_FALSE(mask.HasData());
            return;
        }
        ++masks;
        const VRect r = mask.GetRect();
        for (int32 y = r.top; y < r.bottom; ++y)
            for (int32 x = r.left; x < r.right; ++x)
                if (*mask.SampleAt(x, y, 0) != host.doc.selection[size_t(y) * 300 + x]) ++maskMismatches;
    };
    ASSERT_EQ(RunStart(host, plugin), 0);
    EXPECT_EQ(plugin.tiles.size(), 2u);
    EXPECT_TRUE(SamePlanes(host.doc, original));
    EXPECT_EQ(masks, withMask ? 2 : 0);
    EXPECT_EQ(maskMismatches, 0);
    EXPECT_EQ(host.liveBuffers, 0);
    EXPECT_EQ(host.livePorts, 0);
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndProtocols, CopyThrough,
    ::testing::Combine(::testing::Values(ModeCase{plugInModeGrayScale, 8, 1}, ModeCase{plugInModeRGBColor, 8, 3},
                                         ModeCase{plugInModeCMYKColor, 8, 4}, ModeCase{plugInModeGray16, 16, 1},
                                         ModeCase{plugInModeRGB48, 16, 3}, ModeCase{plugInModeCMYK64, 16, 4},
                                         ModeCase{plugInModeGray32, 32, 1}, ModeCase{plugInModeRGB96, 32, 3}),
                       ::testing::Bool(), ::testing::Bool(), ::testing::Bool()),
    [](const auto& info) {
        const ModeCase mc = std::get<0>(info.param);
        return "mode" + std::to_string(mc.mode) + (std::get<1>(info.param) ? "_alpha" : "") +
               (std::get<2>(info.param) ? "_ports" : "_classic") + (std::get<3>(info.param) ? "_mask" : "");
    });

TEST(TileLoop, PlanarAndPerPlaneVariantsCopyThrough) {
    struct Variant {
        bool planar, separately, ports, layouts;
    };
    for (const Variant v : {Variant{true, false, false, true}, Variant{true, false, false, false},
                            Variant{true, false, true, false}, Variant{false, true, false, false},
                            Variant{false, true, true, false}, Variant{true, true, false, true}}) {
        fake::Options o;
        o.channelPorts = v.ports;
        o.alternateLayouts = v.layouts;
        o.transparency = true;
        fake::FakeHost host(fake::Document::Make(280, 30, plugInModeRGB48, 16, 4), o);
        const fake::Document original = host.doc;
        TestPlugin plugin;
        plugin.planar = v.planar;
        plugin.separately = v.separately;
        int32 renders = 0;
        plugin.onRender = [&](ImageBuffer& source, ImageBuffer&, ImageBuffer&, ImageBuffer*) {
            ++renders;
            EXPECT_EQ(source.channels, v.separately ? 1 : 4);
            if (v.planar && !v.separately) {
                EXPECT_TRUE(source.IsPlanar());
            }
        };
        const std::string name = std::to_string(v.planar) + std::to_string(v.separately) + std::to_string(v.ports) +
                                 std::to_string(v.layouts);
        ASSERT_EQ(RunStart(host, plugin), 0) << name;
        EXPECT_EQ(renders, v.separately ? 2 * 4 : 2) << name;
        EXPECT_TRUE(SamePlanes(host.doc, original)) << name;
        EXPECT_EQ(host.liveBuffers, 0);
    }
}

// --- Conversion on the way in and out, and the dialog's reads ---

TEST(TileLoop, Cmyk64IsProcessedAsRgb48AndWrittenBackConverted) {
    for (bool ports : {false, true}) {
        fake::Options o;
        o.channelPorts = ports;
        o.colorSpace = true;
        fake::FakeHost host(fake::Document::Make(40, 20, plugInModeCMYK64, 16, 4), o);
        const fake::Document original = host.doc;
        TestPlugin plugin;
        plugin.onRender = [&](ImageBuffer& source, ImageBuffer& destination, ImageBuffer&, ImageBuffer*) {
            EXPECT_EQ(source.GetMode(), plugInModeRGB48);
            EXPECT_EQ(source.channels, 3);
            // Red becomes 0 everywhere: cyan must come back full.
            const VRect r = destination.GetRect();
            for (int32 y = r.top; y < r.bottom; ++y)
                for (int32 x = r.left; x < r.right; ++x) std::memset(destination.SampleAt(x, y, 0), 0, 2);
        };
        ASSERT_EQ(RunStart(host, plugin), 0);
        for (int32 y = 0; y < 20; ++y)
            for (int32 x = 0; x < 40; ++x) ASSERT_EQ(host.doc.Get(0, x, y), 32768) << ports;
        EXPECT_EQ(host.doc.planes[1].samples, original.planes[1].samples);
        EXPECT_EQ(host.doc.planes[3].samples, original.planes[3].samples);
    }
}

TEST(PixelReading, DialogReadsEightBitsAndWritesNothing) {
    for (bool ports : {false, true}) {
        fake::Options o;
        o.channelPorts = ports;
        fake::FakeHost host(fake::Document::Make(20, 10, plugInModeRGB48, 16, 3), o);
        BoundPlugin plugin(host);
        plugin.inDialog = true;
        ImageBuffer source(&plugin);
        source.ReadSource(0, VRect{0, 0, 10, 20}, 1.0f);
        EXPECT_EQ(source.bits, 8);
        EXPECT_EQ(source.GetMode(), plugInModeRGBColor);
        for (int32 x = 0; x < 20; ++x) {
            const double expected = host.doc.Get(2, x, 7) * 255.0 / 32768.0;
            ASSERT_NEAR(*source.SampleAt(x, 7, 2), expected, 1.0) << ports;
        }
        const int advances = host.advanceCalls, writes = host.portWrites;
        source.WriteBack(0);
        EXPECT_EQ(host.advanceCalls, advances);
        EXPECT_EQ(host.portWrites, writes);
    }
}

TEST(PixelReading, ScaledPortReadsAndMissingPlanes) {
  {
    fake::Options o;
    o.channelPorts = true;
    o.transparency = true;
    o.transparencyList = false;  // the host lists no transparency channel
    fake::FakeHost host(fake::Document::Make(40, 20, plugInModeRGBColor, 8, 4), o);
    BoundPlugin plugin(host);
    ImageBuffer half(&plugin);
    half.ReadSource(0, VRect{0, 0, 10, 20}, 0.5f);
    EXPECT_FLOAT_EQ(half.scale, 0.5f);
    EXPECT_TRUE(SameRect(half.imageRect, VRect{0, 0, 10, 20}));
    ASSERT_EQ(half.channels, 4);
    EXPECT_EQ(*half.SampleAt(7, 3, 1), host.doc.Get(1, 14, 6));
    EXPECT_EQ(*half.SampleAt(7, 3, 3), 255);  // no channel: opaque
  }
  {
    // Without the ports suite the host's integral sampling rules.
    fake::Options classic;
    classic.samplingSupport = 1;
    fake::FakeHost host2(fake::Document::Make(40, 20, plugInModeRGBColor, 8, 3), classic);
    BoundPlugin plugin2(host2);
    ImageBuffer third(&plugin2);
    third.ReadSource(0, VRect{0, 0, 5, 10}, 0.3f);
    EXPECT_FLOAT_EQ(third.scale, 0.25f);
    EXPECT_EQ(host2.record.inputRate, 262144);
    EXPECT_EQ(*third.SampleAt(3, 2, 0), host2.doc.Get(0, 12, 8));
  }
}

TEST(PixelReading, PreviewSelection) {
    for (bool ports : {false, true}) {
        fake::Options o;
        o.channelPorts = ports;
        fake::FakeHost none(Rgb8(20, 10), o);
        BoundPlugin plugin(none);
        ImageBuffer selection(&plugin);
        plugin.ReadPreviewSelection(selection, VRect{0, 0, 10, 20}, 1.0f);
        EXPECT_FALSE(selection.HasData());
        EXPECT_EQ(selection.GetRect().bottom, 0);
    }
    for (bool ports : {false, true}) {
        fake::Options o;
        o.channelPorts = ports;
        fake::Document doc = Rgb8(20, 10);
        doc.selection = SelectionPattern(20, 10);
        fake::FakeHost host(doc, o);
        BoundPlugin plugin(host);
        ImageBuffer selection(&plugin);
        plugin.ReadPreviewSelection(selection, VRect{2, 3, 8, 17}, 1.0f);
        ASSERT_TRUE(selection.HasData());
        EXPECT_EQ(selection.channels, 1);
        EXPECT_EQ(*selection.SampleAt(16, 7, 0), host.doc.selection[7 * 20 + 16]);

        TestPlugin::ImageBuffer kept(&plugin);
        kept.Allocate(VRect{0, 0, 1, 1}, plugInModeGrayScale, 1, false);
        struct NoSelection : BoundPlugin {
            using BoundPlugin::BoundPlugin;
            bool WantsPreviewSelection() override { return false; }
        } declining(host);
        declining.ReadPreviewSelection(kept, VRect{0, 0, 5, 5}, 1.0f);
        EXPECT_EQ(kept.GetRect().bottom, 1);
    }
}

TEST(TileLoop, LayerRequestsArriveAsExtras) {
    fake::Options o;
    o.channelPorts = true;
    fake::Document doc = Rgb8(50, 40);
    doc.layers.push_back(fake::Document::Make(50, 40, plugInModeRGBColor, 8, 3).planes);
    for (auto& plane : doc.layers[0]) for (uint8& s : plane.samples) s = uint8(s ^ 0x5A);
    fake::FakeHost host(doc, o);
    TestPlugin plugin;
    plugin.layerRequests = {{2, VRect{5, 5, 15, 25}}, {3, VRect{0, 0, 10, 10}}};
    int checked = 0;
    plugin.onRender = [&](ImageBuffer&, ImageBuffer&, ImageBuffer&, ImageBuffer* extras) {
        ASSERT_NE(extras, nullptr);
        ASSERT_TRUE(extras[0].HasData());
        EXPECT_EQ(*extras[0].SampleAt(20, 12, 1), host.doc.layers[0][1].samples[12 * 50 + 20]);
        EXPECT_FALSE(extras[1].HasData());  // no second layer: an empty buffer, no error
        ++checked;
    };
    ASSERT_EQ(RunStart(host, plugin), 0);
    EXPECT_EQ(checked, 1);
}

// --- Failures in the middle of a run ---

namespace {

// Runs an inverting plug-in over a 300 x 70 RGB document (two tiles).
struct InvertRun {
    fake::FakeHost host;
    fake::Document original;
    TestPlugin plugin;
    explicit InvertRun(fake::Options o, int16 mode = plugInModeRGBColor, int32 planes = 3)
        : host(fake::Document::Make(300, 70, mode, 8, planes), o), original(host.doc) {
        plugin.invert = true;
    }
    bool TileInverted(int32 left, int32 right) {
        for (int32 y = 0; y < 70; ++y)
            for (int32 x = left; x < right; ++x)
                if (host.doc.Get(0, x, y) != 255 - original.planes[0].samples[size_t(y) * 300 + x]) return false;
        return true;
    }
    bool TileUntouched(int32 left, int32 right) {
        for (int32 y = 0; y < 70; ++y)
            for (int32 x = left; x < right; ++x)
                if (host.doc.Get(0, x, y) != original.planes[0].samples[size_t(y) * 300 + x]) return false;
        return true;
    }
};

}  // namespace

TEST(TileLoopFailures, AdvanceStateFailureKeepsWrittenTiles) {
    int perRun;
    {
        InvertRun dry({});
        ASSERT_EQ(RunStart(dry.host, dry.plugin), 0);
        EXPECT_TRUE(dry.TileInverted(0, 300));
        perRun = dry.host.advanceCalls;
    }
    InvertRun run({});
    run.host.failAdvanceAt = perRun / 2 + 2;  // inside the second tile
    run.host.advanceError = -5000;
    EXPECT_EQ(RunStart(run.host, run.plugin), -5000);
    EXPECT_TRUE(run.TileInverted(0, 256));
    EXPECT_TRUE(run.TileUntouched(256, 300));
    EXPECT_EQ(run.host.liveBuffers, 0);
}

TEST(TileLoopFailures, PortFailuresEndTheRunWithHostInsufficient) {
    fake::Options o;
    o.channelPorts = true;
    o.colorSpace = true;
    {
        InvertRun dry(o);
        ASSERT_EQ(RunStart(dry.host, dry.plugin), 0);
        InvertRun run(o);
        run.host.failPortReadAt = dry.host.portReads / 2 + 1;  // the second tile's first read
        EXPECT_EQ(RunStart(run.host, run.plugin), errPlugInHostInsufficient);
        EXPECT_TRUE(run.TileInverted(0, 256));
        EXPECT_TRUE(run.TileUntouched(256, 300));
    }
    {
        // CMYK is written through the ports after conversion.
        InvertRun run(o, plugInModeCMYKColor, 4);
        run.host.failPortWriteAt = 1;
        EXPECT_EQ(RunStart(run.host, run.plugin), errPlugInHostInsufficient);
        EXPECT_TRUE(run.TileUntouched(0, 300));
        EXPECT_EQ(run.host.liveBuffers, 0);
        EXPECT_EQ(run.host.livePorts, 0);
    }
}

TEST(TileLoopFailures, MemoryAndMissingServicesGiveClearCodes) {
    fake::Options o;
    o.colorSpace = true;
    {
        InvertRun run(o, plugInModeCMYKColor, 4);  // converted: own buffers and scratch
        run.host.failAllocateAt = 3;
        EXPECT_EQ(RunStart(run.host, run.plugin), memFullErr);
        EXPECT_EQ(run.host.liveBuffers, 0);
    }
    {
        fake::Options noProcs = o;
        noProcs.bufferProcs = false;
        InvertRun run(noProcs, plugInModeCMYKColor, 4);
        EXPECT_EQ(RunStart(run.host, run.plugin), memFullErr);
        EXPECT_TRUE(run.TileUntouched(0, 300));
    }
    {
        InvertRun run(fake::Options{}, plugInModeCMYKColor, 4);  // no ColorSpace suite
        EXPECT_EQ(RunStart(run.host, run.plugin), errPlugInHostInsufficient);
        EXPECT_TRUE(run.TileUntouched(0, 300));
    }
    {
        InvertRun run(fake::Options{});
        run.host.withholdData = true;  // advances succeed, no pixels arrive
        EXPECT_EQ(RunStart(run.host, run.plugin), errPlugInHostInsufficient);
        EXPECT_TRUE(run.TileUntouched(0, 300));
    }
}
