// The copy-through module run through the host: whatever the mode, depth, transparency and
// protocol, every pixel comes back as it was; host faults end the run with the right result,
// keep what was written and leave nothing behind.
#include "pixel_test_support.h"

#include <cmath>
#include <functional>
#include <memory>
#include <tuple>

namespace pixel_test {
namespace {

const PluginModule& CopyThrough() {
    static const std::unique_ptr<PluginModule> module = PluginModule::Load(kCopyThroughPath);
    return *module;
}

struct ModeCase {
    int16 mode;
    int16 planes;  // multichannel only
};

std::string ModeName(const ModeCase& c) {
    return std::string(FindMode(c.mode)->name) + (c.planes ? std::to_string(c.planes) : "");
}

// CMYK reaches the module as RGB and goes back: its colours are compared as they look.
void ExpectSameColors(const PixelDocument& doc, const std::vector<Plane>& before, ColorEngine& engine,
                      double tolerance) {
    double worst = 0;
    for (int32 y = 0; y < doc.height(); ++y) {
        for (int32 x = 0; x < doc.width(); ++x) {
            double a[4], b[4], ra[3], rb[3];
            for (int p = 0; p < 4; ++p) {
                a[p] = before[std::size_t(p)].Unit(x, y);
                b[p] = doc.target().plane(p).Unit(x, y);
            }
            engine.Convert(plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, a, ra, 1);
            engine.Convert(plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, b, rb, 1);
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::fabs(ra[c] - rb[c]));
        }
    }
    EXPECT_LE(worst, tolerance);
}

using RunCase = std::tuple<ModeCase, bool, PixelProtocol>;


class CopyThroughTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(CopyThroughTest, EveryPixelComesBackUnchanged) {
    const auto [modeCase, transparency, protocol] = GetParam();
    ColorEngine engine;
    PixelDocument doc(150, 100, modeCase.mode, transparency, 1, modeCase.planes);
    FillDocument(doc, engine);
    const std::vector<Plane> before = Snapshot(doc);

    HostSession session;
    PixelHostOptions options;
    options.protocol = protocol;
    options.tileWidth = 64;
    options.tileHeight = 48;
    PixelHost host(session, doc, options);
    const RunReport report = RunModule(CopyThrough(), session);
    ASSERT_TRUE(report.succeeded) << "result " << report.result << " " << report.errorText;
    for (const std::string& problem : report.problems) ADD_FAILURE() << problem;

    const bool cmyk = doc.model() == ColorModel::CMYK;
    for (int p = 0; p < doc.target().planeCount(); ++p) {
        if (cmyk && p < 4) continue;
        EXPECT_TRUE(doc.target().plane(p) == before[std::size_t(p)]) << "plane " << p;
    }
    // Through RGB at the document's depth: within the 8-bit RGB steps in between at 8 bits,
    // within one 8-bit step at 16.
    if (cmyk) ExpectSameColors(doc, before, engine, doc.depth() == 8 ? 2.5 / 255 : 1.0 / 255);
    // 3 x 3 tiles, each written back whole, with progress after each.
    for (int p = 0; p < doc.target().planeCount(); ++p) EXPECT_TRUE(host.written().Covers(doc.bounds(), p)) << p;
    EXPECT_EQ(host.progressReports(), 9);
    EXPECT_EQ(host.progressDone(), host.progressTotal());
    EXPECT_FALSE(host.outstanding().any()) << host.outstanding().Describe();
    // The source comes through the ports when they are offered; the output goes where the
    // module puts it (the host's outData when no conversion is needed).
    if (protocol == PixelProtocol::Classic) EXPECT_EQ(host.ports().samplesRead(), 0);
    else EXPECT_GE(host.ports().samplesRead(), int64_t(150) * 100 * doc.target().planeCount());
}

const ModeCase kModes[] = {
    {plugInModeGrayScale, 0}, {plugInModeRGBColor, 0},  {plugInModeCMYKColor, 0},    {plugInModeLabColor, 0},
    {plugInModeHSBColor, 0},  {plugInModeHSLColor, 0},  {plugInModeDuotone, 0},      {plugInModeMultichannel, 2},
    {plugInModeGray16, 0},    {plugInModeRGB48, 0},     {plugInModeLab48, 0},        {plugInModeCMYK64, 0},
    {plugInModeDuotone16, 0}, {plugInModeDeepMultichannel, 5}, {plugInModeRGB96, 0}, {plugInModeGray32, 0},
};

// Every mode, flat and (where the mode has layers) with transparency, through both protocols.
std::vector<RunCase> AllRunCases() {
    std::vector<RunCase> cases;
    for (const ModeCase& mode : kModes)
        for (bool transparency : {false, true})
            for (PixelProtocol protocol : {PixelProtocol::Classic, PixelProtocol::Ports})
                if (!transparency || FindMode(mode.mode)->model != ColorModel::Multichannel)
                    cases.emplace_back(mode, transparency, protocol);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllModes, CopyThroughTest, ::testing::ValuesIn(AllRunCases()),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return ModeName(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_Transparency_" : "_Flat_") +
                                    PixelProtocolName(std::get<2>(info.param));
                         });

// A host without dummy planes, alternate layouts or sampling, whose rows carry padding: the
// module needs none of them.
TEST(CopyThroughLeanHostTest, EveryModeComesBackUnchanged) {
    for (const ModeCase& mode : kModes) {
        if (FindMode(mode.mode)->model == ColorModel::CMYK) continue;  // compared as colours above
        ColorEngine engine;
        PixelDocument doc(90, 70, mode.mode, false, 1, mode.planes);
        FillDocument(doc, engine);
        const std::vector<Plane> before = Snapshot(doc);
        HostSession session;
        PixelHostOptions options;
        options.protocol = PixelProtocol::Classic;
        options.classic = ClassicOptions{false, false, 0, 3};
        options.tileWidth = 64;
        options.tileHeight = 32;
        PixelHost host(session, doc, options);
        const RunReport report = RunModule(CopyThrough(), session);
        ASSERT_TRUE(report.succeeded) << ModeName(mode) << ": " << report.result;
        for (int p = 0; p < doc.target().planeCount(); ++p)
            EXPECT_TRUE(doc.target().plane(p) == before[std::size_t(p)]) << ModeName(mode) << " plane " << p;
    }
}

// Wider than 16-bit rectangles reach: the module must work in the big-document record.
TEST(CopyThroughWideTest, DocumentsBeyond32767PixelsComeBackUnchanged) {
    for (PixelProtocol protocol : {PixelProtocol::Classic, PixelProtocol::Ports}) {
        ColorEngine engine;
        PixelDocument doc(40000, 3, plugInModeRGBColor);
        FillDocument(doc, engine);
        const std::vector<Plane> before = Snapshot(doc);
        HostSession session;
        PixelHostOptions options;
        options.protocol = protocol;
        options.tileWidth = 4096;
        options.tileHeight = 3;
        PixelHost host(session, doc, options);
        const RunReport report = RunModule(CopyThrough(), session);
        ASSERT_TRUE(report.succeeded) << report.result;
        for (int p = 0; p < 3; ++p) {
            EXPECT_TRUE(doc.target().plane(p) == before[std::size_t(p)]) << p;
            EXPECT_TRUE(host.written().Covers(VRect{0, 32000, 3, 40000}, p)) << PixelProtocolName(protocol);
        }
    }
}

class CopyThroughHostTest : public ::testing::TestWithParam<PixelProtocol> {
protected:
    void SetUp() override { Open(plugInModeRGB48); }
    void Open(int16 mode) {
        host.reset();
        doc = std::make_unique<PixelDocument>(200, 120, mode, true);
        FillDocument(*doc, engine);
        before = Snapshot(*doc);
        PixelHostOptions options;
        options.protocol = GetParam();
        options.tileWidth = 50;
        options.tileHeight = 40;
        host = std::make_unique<PixelHost>(session, *doc, options);
    }
    void ChangeOptions(const std::function<void(PixelHostOptions&)>& change) {
        PixelHostOptions options = host->options();
        change(options);
        host->SetOptions(options);
    }
    // The document looks as before: the same samples, or for CMYK (which the module sees as
    // RGB) the same colours and the same transparency.
    void ExpectUnchanged() {
        const bool cmyk = doc->model() == ColorModel::CMYK;
        for (int p = cmyk ? 4 : 0; p < doc->target().planeCount(); ++p)
            EXPECT_TRUE(doc->target().plane(p) == before[std::size_t(p)]) << "plane " << p;
        if (cmyk) ExpectSameColors(*doc, before, engine, doc->depth() == 8 ? 2.5 / 255 : 1.0 / 255);
    }
    // A run that failed: with `result`, nothing left behind, nothing spoilt.
    void ExpectFailedRun(const RunReport& report, int16 result) {
        EXPECT_FALSE(report.succeeded);
        EXPECT_EQ(report.result, result) << report.errorText;
        EXPECT_FALSE(host->outstanding().any()) << host->outstanding().Describe();
        EXPECT_TRUE(session.filterRecord().inData == nullptr);
        EXPECT_TRUE(session.filterRecord().outData == nullptr);
        ExpectUnchanged();
    }
    // Tiles of 50 x 40 over 200 x 120 (4 x 3), in the order the run writes them.
    static VRect Tile(int n) { return VRect{40 * (n / 4), 50 * (n % 4), 40 * (n / 4) + 40, 50 * (n % 4) + 50}; }
    bool TileWritten(int n) const {
        for (int p = 0; p < doc->target().planeCount(); ++p)
            if (!host->written().Covers(Tile(n), p)) return false;
        return true;
    }
    // How many tiles, in run order, were written whole before the run stopped; the tiles after
    // the next one were not touched at all.
    int TilesKept() const {
        int kept = 0;
        while (kept < 12 && TileWritten(kept)) ++kept;
        for (const WrittenRect& w : host->written().entries()) {
            bool inside = false;
            for (int n = 0; n <= kept && n < 12; ++n) {
                const VRect t = Tile(n);
                inside = inside || (w.rect.top >= t.top && w.rect.left >= t.left && w.rect.bottom <= t.bottom &&
                                    w.rect.right <= t.right);
            }
            EXPECT_TRUE(inside) << "written beyond the tile that failed";
        }
        return kept;
    }

    ColorEngine engine;
    HostSession session;
    std::unique_ptr<PixelDocument> doc;
    std::vector<Plane> before;
    std::unique_ptr<PixelHost> host;
};

TEST_P(CopyThroughHostTest, SelectionLimitsTheRunToItsBounds) {
    doc->SelectRect(VRect{30, 20, 95, 170});
    host->Refresh();
    const RunReport report = RunModule(CopyThrough(), session);
    ASSERT_TRUE(report.succeeded) << report.result;
    ExpectUnchanged();
    for (const WrittenRect& w : host->written().entries()) {
        EXPECT_GE(w.rect.top, 30);
        EXPECT_GE(w.rect.left, 20);
        EXPECT_LE(w.rect.bottom, 95);
        EXPECT_LE(w.rect.right, 170);
    }
    EXPECT_TRUE(host->written().Covers(VRect{30, 20, 95, 170}, 3));
    EXPECT_EQ(host->progressReports(), 6);  // 150 x 65 in tiles of 50 x 40
}

TEST_P(CopyThroughHostTest, CmykSelectionIsConvertedOnlyInsideTheSelection) {
    Open(plugInModeCMYKColor);
    doc->SelectRect(VRect{10, 60, 70, 130});
    host->Refresh();
    const RunReport report = RunModule(CopyThrough(), session);
    ASSERT_TRUE(report.succeeded) << report.result;
    ExpectUnchanged();
    // Outside the selection not even rounding may change a sample.
    for (int32 y = 0; y < 120; y += 7) {
        for (int32 x = 0; x < 200; x += 3) {
            if (y >= 10 && y < 70 && x >= 60 && x < 130) continue;
            for (int p = 0; p < 4; ++p) ASSERT_EQ(doc->target().plane(p).Unit(x, y), before[std::size_t(p)].Unit(x, y));
        }
    }
}

TEST_P(CopyThroughHostTest, WorksWithoutBigDocumentRecordAndWithRowPadding) {
    HostOptions sessionOptions = session.options();
    sessionOptions.bigDocument = false;
    session.SetOptions(sessionOptions);
    ChangeOptions([](PixelHostOptions& o) {
        o.classic.rowPadding = 7;
        o.tileWidth = o.tileHeight = 0;  // the module's own 256 x 256: one tile
    });
    const RunReport report = RunModule(CopyThrough(), session);
    ASSERT_TRUE(report.succeeded) << report.result;
    ExpectUnchanged();
    EXPECT_EQ(host->progressReports(), 0);  // one tile reports no progress
}

TEST_P(CopyThroughHostTest, FailingBufferAllocationEndsTheRunOutOfMemory) {
    Open(plugInModeCMYK64);  // converted: the module needs buffers of its own
    host->faults().FailAt(PixelCall::AllocateBuffer, 7, memFullErr, true);
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, memFullErr);
    EXPECT_GE(TilesKept(), 1);
}

TEST_P(CopyThroughHostTest, FailingLockEndsTheRunOutOfMemory) {
    Open(plugInModeCMYKColor);
    host->faults().FailAt(PixelCall::LockBuffer, 7, memFullErr, true);
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, memFullErr);
}

TEST_P(CopyThroughHostTest, MissingBufferProcsEndTheRunCleanly) {
    Open(plugInModeCMYKColor);
    ChangeOptions([](PixelHostOptions& o) { o.bufferProcs = false; });
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, memFullErr);
    EXPECT_TRUE(host->written().entries().empty());
}

TEST_P(CopyThroughHostTest, MissingSingleProcsEndTheRunCleanly) {
    Open(plugInModeCMYK64);
    host->colorSpace().table()->Convert16 = nullptr;
    ExpectFailedRun(RunModule(CopyThrough(), session), errPlugInHostInsufficient);
    host->colorSpace().RestoreTable();
    host->buffers().procs()->lockProc = nullptr;
    ExpectFailedRun(RunModule(CopyThrough(), session), memFullErr);
    host->buffers().RestoreProcs();
    const RunReport report = RunModule(CopyThrough(), session);
    EXPECT_TRUE(report.succeeded) << report.result;
    ExpectUnchanged();
}

TEST_P(CopyThroughHostTest, FailingAdvanceStateEndsTheRunAndKeepsEarlierTiles) {
    host->faults().FailAt(PixelCall::AdvanceState, 10, errPlugInHostInsufficient);
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, errPlugInHostInsufficient);
    const int kept = TilesKept();
    EXPECT_GE(kept, 1);
    EXPECT_LT(kept, 12);
    EXPECT_LE(host->progressReports(), kept);
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, CopyThroughHostTest,
                         ::testing::Values(PixelProtocol::Classic, PixelProtocol::Ports),
                         [](const ::testing::TestParamInfo<PixelProtocol>& info) {
                             return std::string(PixelProtocolName(info.param));
                         });

using CopyThroughPortsTest = CopyThroughHostTest;

TEST_P(CopyThroughPortsTest, FailingPortReadEndsTheRunAndKeepsEarlierTiles) {
    host->faults().FailAt(PixelCall::ReadPixelsFromLevel, 13, errPlugInHostInsufficient);
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, errPlugInHostInsufficient);
    EXPECT_GE(TilesKept(), 1);
    EXPECT_FALSE(TileWritten(11));
}

TEST_P(CopyThroughPortsTest, FailingPortWriteEndsTheRunAndKeepsEarlierTiles) {
    Open(plugInModeCMYK64);  // converted: written back through the ports
    host->faults().FailAt(PixelCall::WritePixelsToBaseLevel, 301, errPlugInHostInsufficient);
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, errPlugInHostInsufficient);
    EXPECT_EQ(host->written().entries().size(), 300u);
    EXPECT_GE(TilesKept(), 1);
}

TEST_P(CopyThroughPortsTest, WithoutWritePortsAConvertedRunFailsWithParamErr) {
    Open(plugInModeCMYKColor);
    ChangeOptions([](PixelHostOptions& o) { o.description.writePorts = false; });
    const RunReport report = RunModule(CopyThrough(), session);
    ExpectFailedRun(report, paramErr);
    EXPECT_TRUE(host->written().entries().empty());
}

TEST_P(CopyThroughPortsTest, OldChannelVersionsSendThePlugInTheClassicWay) {
    ChangeOptions([](PixelHostOptions& o) { o.description.channelMaxVersion = 2; });
    const RunReport report = RunModule(CopyThrough(), session);
    ASSERT_TRUE(report.succeeded) << report.result;
    ExpectUnchanged();
    EXPECT_EQ(host->ports().samplesRead(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ports, CopyThroughPortsTest, ::testing::Values(PixelProtocol::Ports),
                         [](const auto&) { return std::string("ports"); });

TEST(CopyThroughSuiteTest, CmykWithoutTheColorSpaceSuiteFailsAsHostInsufficient) {
    ColorEngine engine;
    PixelDocument doc(40, 30, plugInModeCMYKColor);
    FillDocument(doc, engine);
    const std::vector<Plane> before = Snapshot(doc);
    HostSession session;
    PixelHostOptions options;
    options.colorSpaceSuite = false;
    PixelHost host(session, doc, options);
    const RunReport report = RunModule(CopyThrough(), session);
    EXPECT_FALSE(report.succeeded);
    EXPECT_EQ(report.result, errPlugInHostInsufficient);
    EXPECT_FALSE(host.outstanding().any()) << host.outstanding().Describe();
    for (int p = 0; p < 4; ++p) EXPECT_TRUE(doc.target().plane(p) == before[std::size_t(p)]);
}

}  // namespace
}  // namespace pixel_test
