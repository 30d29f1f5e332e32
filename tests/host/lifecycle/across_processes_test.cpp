// What one filterhost process leaves for the next: the descriptor registry, the plug-in's
// Windows-registry store, the stored handles, recorded descriptors; and what the play
// information makes of the dialog.
#include "lifecycle_support.h"

#include "hostsim/png_io.h"

using namespace hostsim;
using namespace lifecycle;

namespace {

class AcrossProcesses : public LifecycleTest {
protected:
    // Runs filterhost and expects it to succeed.
    ProcessResult Succeed(const std::string& args, bool display = true) {
        const ProcessResult r = FilterHost(args, display);
        EXPECT_EQ(r.exitCode, 0) << args << "\n" << r.output;
        return r;
    }

    // Where the display cannot be taken away (Windows), an unattended run (TELLORA_BATCH) that
    // shows the dialog saves a screenshot of it: whether it did tells whether it was shown.
    bool ShowsDialog(const std::string& args) {
        const std::string shot = Path("dialog.png");
        std::filesystem::remove(shot);
        SetEnvironment("TELLORA_DIALOG_SCREENSHOT", shot);
        Succeed(args);
        SetEnvironment("TELLORA_DIALOG_SCREENSHOT", "");
        return std::filesystem::exists(shot);
    }
};

constexpr const char* kNoDisplayError = "could not start its user interface toolkit";

}  // namespace

TEST_F(AcrossProcesses, ScriptedValuesComeBackThroughTheDescriptorRegistry) {
    Succeed("--set fontSize=24 --set Text='Hello there' --no-dialog");
    EXPECT_EQ(RegistryFiles(), 0u) << "the descriptor registry was there: no Windows-registry fallback";

    // Without the stored handles only the registry can bring the values back.
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(state_)) {
        if (entry.path().filename() != "descriptor-registry.txt") kept.push_back(entry.path());
    }
    for (const auto& path : kept) std::filesystem::remove_all(path);
    const ProcessResult r = Succeed("--no-dialog --record '" + Path("next.txt") + "'");
    EXPECT_TRUE(Contains(r.output, "selector Parameters: 0")) << r.output;
    const Descriptor next = ReadRecord(Path("next.txt"));
    EXPECT_EQ(FontSize(next), 24.0);
    ASSERT_NE(next.Find(kText), nullptr);
    EXPECT_EQ(next.Find(kText)->text, "Hello there");
}

TEST_F(AcrossProcesses, WithoutTheRegistrySuiteTheWindowsRegistryKeepsTheValues) {
    Succeed("--disable-suite DescriptorRegistry --set fontSize=24 --no-dialog");
    EXPECT_GT(RegistryFiles(), 0u);
    EXPECT_FALSE(ReadStateFile(state_ + "/descriptor-registry.txt")) << "nothing went to the descriptor registry";

    Succeed("--disable-suite DescriptorRegistry --fresh --no-dialog --record '" + Path("next.txt") + "'");
    EXPECT_EQ(FontSize(ReadRecord(Path("next.txt"))), 24.0);
}

// A host that answers 0 for every handle's size and has no descriptor registry keeps the values
// only in the Windows registry: what a run set is drawn and recorded by the next plain run. (A
// played text is a handle too: that host can hand over none, so an earlier run sets it.)
TEST_F(AcrossProcesses, AHostThatCannotSizeHandlesStillRemembers) {
    const std::string host = "--unsized-handles --disable-suite DescriptorRegistry ";
    Succeed("--disable-suite DescriptorRegistry --set Text=Kept --no-dialog");
    Succeed(host + "--set ellipseWidth=150 --set bubblefillColor=30,144,77 --no-dialog");
    Succeed(host + "--size 200x200 --out '" + Path("plain.png") + "' --record '" + Path("plain.txt") + "'");
    const Descriptor plain = ReadRecord(Path("plain.txt"));
    ASSERT_NE(plain.Find(kText), nullptr);
    EXPECT_EQ(plain.Find(kText)->text, "Kept");
    EXPECT_EQ(plain.Find(FourCC("Wzae"))->number, 150.0);
    // Inside the body, left of the text: the fill colour as it was chosen.
    const hostsim::PngImage drawn = hostsim::ReadPng(Path("plain.png"));
    ASSERT_EQ(drawn.width, 200);
    EXPECT_EQ((std::vector<int>{drawn.at(20, 80, 0), drawn.at(20, 80, 1), drawn.at(20, 80, 2)}),
              (std::vector<int>{30, 144, 77}));
}

TEST_F(AcrossProcesses, AnEmptyDescriptorRegistryLoadsNothingAndDoesNotFallBack) {
    // The Windows registry holds 30 from a run on a host without the registry suite.
    Succeed("--disable-suite DescriptorRegistry --set fontSize=30 --no-dialog");
    ASSERT_GT(RegistryFiles(), 0u);

    Succeed("--fresh --no-dialog --record '" + Path("next.txt") + "'");
    EXPECT_EQ(FontSize(ReadRecord(Path("next.txt"))), 12.0) << "the default, not the Windows registry's 30";
}

TEST_F(AcrossProcesses, ARepeatedRunGetsTheParametersHandleAndDataByteBack) {
    Succeed("--set fontSize=30 --no-dialog");
    // Without the registry entry only the stored parameters handle can bring 30 back.
    std::filesystem::remove(state_ + "/descriptor-registry.txt");

    // No descriptor: the stored data byte decides. Had it come back as 1, the dialog would fail
    // for want of a display.
    const ProcessResult r = Succeed("--record '" + Path("next.txt") + "'", false);
    EXPECT_FALSE(Contains(r.output, "Parameters")) << "a repeated use does not ask: " << r.output;
    EXPECT_EQ(FontSize(ReadRecord(Path("next.txt"))), 30.0);

    // After --fresh the filter is used for the first time again: Parameters, data byte 1.
    if (!CanHideDisplay()) {
        EXPECT_TRUE(ShowsDialog("--fresh"));
        return;
    }
    const ProcessResult fresh = FilterHost("--fresh", false);
    EXPECT_NE(fresh.exitCode, 0) << fresh.output;
    EXPECT_TRUE(Contains(fresh.output, "selector Parameters: 0")) << fresh.output;
    EXPECT_TRUE(Contains(fresh.output, kNoDisplayError)) << fresh.output;
}

TEST_F(AcrossProcesses, ThePlayInformationDecidesTheDialog) {
    // Every run starts afresh, so the data byte is 1 and only the descriptor can say "no".
    if (!CanHideDisplay()) {
        for (const char* silent : {"--play-info 0", "--play-info 2", "--no-dialog"})
            EXPECT_FALSE(ShowsDialog(std::string("--fresh ") + silent)) << silent;
        for (const char* asking : {"--play-info 1", "--dialog", "--set fontSize=20 --dialog"})
            EXPECT_TRUE(ShowsDialog(std::string("--fresh ") + asking)) << asking;
        // Without a descriptor the data byte (1 on a first use) decides.
        EXPECT_TRUE(ShowsDialog("--fresh"));
        Succeed("--fresh --dialog --set fontSize=20 --record '" + Path("shown.txt") + "'");
        EXPECT_EQ(FontSize(ReadRecord(Path("shown.txt"))), 20.0);
        return;
    }
    for (const char* silent : {"--play-info 0", "--play-info 2", "--no-dialog"}) {
        Succeed(std::string("--fresh ") + silent, false);
    }
    for (const char* asking : {"--play-info 1", "--dialog", "--set fontSize=20 --dialog"}) {
        const ProcessResult r = FilterHost(std::string("--fresh ") + asking, false);
        EXPECT_EQ(r.exitCode, 1) << asking << "\n" << r.output;
        EXPECT_TRUE(Contains(r.output, "selector Start: -30904")) << r.output;
        EXPECT_TRUE(Contains(r.output, kNoDisplayError)) << r.output;
    }
    // Without a descriptor the data byte (1 on a first use) decides.
    EXPECT_TRUE(Contains(FilterHost("--fresh", false).output, kNoDisplayError));

    if (!HasDisplay()) GTEST_SKIP() << "a dialog run needs a display";
    const ProcessResult shown = Succeed("--fresh --dialog --set fontSize=20 --record '" + Path("shown.txt") + "'");
    EXPECT_EQ(FontSize(ReadRecord(Path("shown.txt"))), 20.0);
}

TEST_F(AcrossProcesses, ARecordedDescriptorReplays) {
    Succeed("--set fontSize=18 --set Text=Recorded --set ellipseChoice=Rectangle --set TextColor=255,0,0 "
            "--set fontUnderline=true --set fontFamily=2 --no-dialog --record '" + Path("first.txt") + "'");
    const Descriptor recorded = ReadRecord(Path("first.txt"));
    EXPECT_EQ(recorded.Count(), 21u);

    // Other values in the registry and the stored handles ...
    Succeed("--set fontSize=99 --set Text=Other --set ellipseChoice=Ellipse --no-dialog");
    // ... and the replay wins over them.
    Succeed("--script '" + Path("first.txt") + "' --record '" + Path("replayed.txt") + "'");
    EXPECT_EQ(ReadRecord(Path("replayed.txt")), recorded);

    // Settings apply on top of a script.
    Succeed("--script '" + Path("first.txt") + "' --set fontSize=7 --record '" + Path("changed.txt") + "'");
    Descriptor expected = recorded;
    expected.Put(kFontSize, DescriptorValue::Float(7));
    EXPECT_EQ(ReadRecord(Path("changed.txt")), expected);
}
