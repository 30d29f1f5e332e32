// How a run talks to the host between tiles: the host's abort callback stops it at once with
// the user's cancel and nothing more written, and the classic protocol serves each tile's input
// once, together with its output. A replay the host closes with an error still renders.
#include "bubble_host_support.h"

#include "hostsim/descriptor_text.h"
#include "hostsim/state_folder.h"

namespace bubble_host {
namespace {

// 320 x 200 in tiles of 64: five columns, four rows.
constexpr int kTiles = 20;
VRect TileAt(int n) { return VRect{n / 5 * 64, n % 5 * 64, std::min(n / 5 * 64 + 64, 200), n % 5 * 64 + 64}; }

struct Outcome {
    int16 result = 0;
    std::vector<WrittenRect> written;
    int advances = 0;
    int aborts = 0;
};

Outcome RunWith(PixelDocument& doc, PixelProtocol protocol, int abortFromCall, const BubbleLook& look = {}) {
    HostSession session;
    PixelHostOptions options;
    options.protocol = protocol;
    options.tileWidth = options.tileHeight = 64;
    PixelHost host(session, doc, options);
    if (abortFromCall > 0) session.callbacks().Set(HostCallback::Abort, CallbackMode::Failing, paramErr, abortFromCall);
    FilterRun run(Module(), session);
    RunOptions runOptions;
    runOptions.settings = look.ToSettings();
    runOptions.playInfo = plugInDialogDontDisplay;
    runOptions.keepState = false;
    const RunReport report = run.Run(runOptions);
    for (const std::string& problem : report.problems) ADD_FAILURE() << "run problem: " << problem;
    EXPECT_FALSE(host.outstanding().any()) << host.outstanding().Describe();
    return Outcome{report.result, host.written().entries(), host.classic().advances(),
                   session.callbacks().Calls(HostCallback::Abort)};
}

bool Inside(const VRect& r, const VRect& outer) {
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

TEST(RunControl, TheHostsAbortStopsTheRunBetweenTiles) {
    REQUIRE_DISPLAY();
    ColorEngine engine;
    for (const PixelProtocol protocol : {PixelProtocol::Classic, PixelProtocol::Ports}) {
        SCOPED_TRACE(PixelProtocolName(protocol));
        // The user asks to stop before the ninth tile: eight tiles are done, nothing after them.
        auto doc = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
        const std::vector<Plane> before = Snapshot(*doc);
        const Outcome stopped = RunWith(*doc, protocol, 9);
        EXPECT_EQ(stopped.result, userCanceledErr);
        EXPECT_EQ(stopped.aborts, 9);
        for (const WrittenRect& w : stopped.written) {
            bool early = false;
            for (int n = 0; n < 8; ++n) early = early || Inside(w.rect, TileAt(n));
            EXPECT_TRUE(early) << "written after the abort: " << w.rect.left << "," << w.rect.top;
        }
        for (int n = 8; n < kTiles; ++n) {
            const VRect t = TileAt(n);
            for (int p = 0; p < doc->target().planeCount(); ++p)
                for (int32 y = t.top; y < t.bottom; ++y)
                    ASSERT_EQ(std::memcmp(doc->target().plane(p).At(t.left, y), before[std::size_t(p)].At(t.left, y),
                                          std::size_t(t.right - t.left)),
                              0);
        }
        // Stopped before the first tile: nothing at all.
        auto untouched = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
        const Outcome first = RunWith(*untouched, protocol, 1);
        EXPECT_EQ(first.result, userCanceledErr);
        EXPECT_TRUE(first.written.empty());
        // Never asked to stop: every tile is asked about once.
        auto whole = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
        const Outcome done = RunWith(*whole, protocol, 0);
        EXPECT_EQ(done.result, noErr);
        EXPECT_EQ(done.aborts, kTiles);
    }
}

TEST(RunControl, ClassicServesEachTilesInputOnceWithItsOutput) {
    REQUIRE_DISPLAY();
    ColorEngine engine;
    // A bubble over the whole document: every tile is drawn, none is left as it was.
    BubbleLook big;
    big.width = 600;
    big.height = 400;
    auto doc = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
    const Outcome drawn = RunWith(*doc, PixelProtocol::Classic, 0, big);
    EXPECT_EQ(drawn.result, noErr);
    // Per tile: one advance for input and output, and one on each side that clears the
    // requests (the last one takes the output back).
    EXPECT_LE(drawn.advances, 3 * kTiles + 2);
    ASSERT_EQ(drawn.written.size(), std::size_t(kTiles) * 3);

    // The default bubble: most tiles are passed through, also in one advance each.
    auto plain = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
    const std::vector<Plane> before = Snapshot(*plain);
    const Outcome passed = RunWith(*plain, PixelProtocol::Classic, 0);
    EXPECT_LE(passed.advances, 3 * kTiles + 2);
    const VRect farCorner = TileAt(kTiles - 1);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(std::memcmp(plain->target().plane(p).At(farCorner.left, farCorner.top),
                              before[std::size_t(p)].At(farCorner.left, farCorner.top), 64),
                  0);
}

// One scripted use on a fresh host: the script is a descriptor file or settings by name; the
// host's close of the read descriptor fails with `closeFault` when it is not 0.
struct Replay {
    RunReport report;
    std::vector<Plane> pixels;
};
Replay Play(const std::string& scriptFile, const Settings& settings, OSErr closeFault) {
    ColorEngine engine;
    auto doc = MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine);
    HostSession session;
    PixelHostOptions options;
    PixelHost host(session, *doc, options);
    if (closeFault) session.callbacks().Set(HostCallback::CloseReadDescriptor, CallbackMode::Failing, closeFault);
    FilterRun run(Module(), session);
    RunOptions runOptions;
    runOptions.scriptFile = scriptFile;
    runOptions.settings = settings;
    runOptions.playInfo = plugInDialogDontDisplay;
    runOptions.keepState = false;
    Replay replay{run.Run(runOptions), Snapshot(*doc)};
    for (const std::string& problem : replay.report.problems) ADD_FAILURE() << "run problem: " << problem;
    return replay;
}

TEST(RunControl, AReplayWhoseCloseReportsAnErrorStillRenders) {
    REQUIRE_DISPLAY();
    ColorEngine engine;
    const std::vector<Plane> original =
        Snapshot(*MakeDocument(kWidth, kHeight, plugInModeRGBColor, false, Content::Textured, engine));
    // Only the text: the host closes the replay with errMissingParameter for the other keys.
    const Replay onlyText = Play("", {{"Text", "Only"}}, 0);
    EXPECT_EQ(onlyText.report.result, noErr) << onlyText.report.errorText;
    ASSERT_TRUE(onlyText.report.recorded);
    EXPECT_EQ(onlyText.report.recorded->Find(FourCC("Wzak"))->text, "Only");
    EXPECT_NE(onlyText.pixels, original) << "rendered";

    // The values it used, played back whole: the same picture, whether the close answers 0 or
    // an error of the host's.
    const std::string whole = ::testing::TempDir() + "replay_" + std::to_string(::getpid()) + ".txt";
    WriteStateFile(whole, FormatDescriptor(*onlyText.report.recorded));
    for (const OSErr closeFault : {OSErr(noErr), OSErr(errMissingParameter), OSErr(paramErr)}) {
        SCOPED_TRACE(closeFault);
        const Replay replay = Play(whole, {}, closeFault);
        EXPECT_EQ(replay.report.result, noErr) << replay.report.errorText;
        EXPECT_TRUE(replay.report.succeeded);
        EXPECT_EQ(replay.pixels, onlyText.pixels);
    }
    // Another text draws another picture: the text read is the one drawn.
    EXPECT_NE(Play(whole, {{"Text", "Else"}}, 0).pixels, onlyText.pixels);
    std::filesystem::remove(whole);
}

}  // namespace
}  // namespace bubble_host
