// filterhost as a user runs it, each run a process of its own: what `info` prints, a use of the
// filter on the sample picture through every selector, host calls that fail, an unattended
// dialog run that leaves a screenshot, one with values far beyond their ranges, a blank page
// without an image, and names and texts beyond ASCII.
#include "lifecycle_support.h"

#include "hostsim/info_report.h"
#include "hostsim/module_resources.h"
#include "hostsim/png_io.h"

#include "resources/pipl.h"
#include "resources/terminology.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace hostsim;
using namespace lifecycle;

namespace {

// The resource bytes the module is built from, as a host would find them in the file.
class BuiltResources : public ResourceSource {
public:
    std::optional<int> FirstId(const std::string& type) const override {
        if (type == "PIPL") return ModuleResources::kDefaultResourceId;
        return std::nullopt;
    }
    std::optional<std::vector<uint8>> Bytes(const std::string& type, int id) const override {
        if (id != ModuleResources::kDefaultResourceId) return std::nullopt;
        if (type == "PIPL") return std::vector<uint8>(kTelloraPipl, kTelloraPipl + kTelloraPiplSize);
        if (type == "AETE")
            return std::vector<uint8>(kTelloraTerminology, kTelloraTerminology + kTelloraTerminologySize);
        return std::nullopt;
    }
    std::string Describe(const std::string& type, int id) const override { return type + " " + std::to_string(id); }
};

// The output begins with `expected` (a sanitizer's report may follow at the process's exit).
::testing::AssertionResult StartsWith(const std::string& output, const std::string& expected) {
    if (output.compare(0, expected.size(), expected) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "output:\n" << output << "\nexpected it to begin with:\n" << expected;
}

class FilterHostRuns : public LifecycleTest {
protected:
    ProcessResult Run(const std::string& args) const { return RunProcess(QuotedProgram(kFilterHostPath) + " " + args); }

    // A scripted use of the filter on the sample picture, written to `out`.
    ProcessResult OnSample(const std::string& out, const std::string& more) const {
        return Run("run '" + kModulePath + "' --fresh --in '" + std::string(TELLORA_SAMPLE_PATH) + "' --out '" +
                   Path(out) + "' --set Text=Hi --set fontSize=20 " + more);
    }
};

}  // namespace

TEST_F(FilterHostRuns, InfoPrintsWhatTheResourceBytesSay) {
    const ProcessResult r = Run("info '" + kModulePath + "'");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::ostringstream expected;
    InfoReport::Print(expected, ModuleResources::FromSource(kModulePath, BuiltResources()));
    EXPECT_TRUE(StartsWith(r.output, expected.str()));

    // Unattended, the About box goes to standard error. On Windows it is the system's own box,
    // which the host records and answers.
#ifndef _WIN32
    if (!CanHideDisplay()) return;
#endif
    const ProcessResult about = Run("about '" + kModulePath + "'");
    EXPECT_EQ(about.exitCode, 0) << about.output;
    EXPECT_TRUE(Contains(about.output, "[Tellora]\nTellora 1.0\n")) << about.output;
    EXPECT_TRUE(Contains(about.output, "\nresult 0\n")) << about.output;
#ifdef _WIN32
    // The box is owned by the window the host hands the plug-in.
    SetEnvironment("TELLORA_MESSAGEBOX_LOG", Path("boxes.txt"));
    const ProcessResult owned = Run("about --host-window '" + kModulePath + "'");
    SetEnvironment("TELLORA_MESSAGEBOX_LOG", "");
    EXPECT_EQ(owned.exitCode, 0) << owned.output;
    std::ifstream log(Path("boxes.txt"), std::ios::binary);
    const std::string boxes{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(StartsWith(boxes, "caption: Tellora\nowner: host window\nanswer: 1\ntext:\nTellora 1.0\n"));
#endif
}

TEST_F(FilterHostRuns, AUseOnTheSampleGoesThroughEverySelectorInBothProtocols) {
    const PngImage sample = ReadPng(TELLORA_SAMPLE_PATH);
    for (const std::string protocol : {"ports", "classic"}) {
        const std::string out = protocol + ".png";
        const ProcessResult r = OnSample(out, "--protocol " + protocol + " --no-dialog");
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_TRUE(StartsWith(
            r.output, "selector Parameters: 0\nselector Prepare: 0\nselector Start: 0\nselector Finish: 0\nresult 0\n"));
        const PngImage result = ReadPng(Path(out));
        ASSERT_EQ(result.width, sample.width);
        ASSERT_EQ(result.height, sample.height);
        // The default bubble sits at the top left; the bottom right corner stays as it was.
        EXPECT_NE(result.samples, sample.samples) << protocol;
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(result.at(sample.width - 1, sample.height - 1, c), sample.at(sample.width - 1, sample.height - 1, c));
    }
}

TEST_F(FilterHostRuns, AFailingHostCallEndsTheUseWithItsResult) {
    // Out of memory for the plug-in's data handle: Parameters reports it, nothing is written.
    ProcessResult r = OnSample("none.png", "--no-dialog --fail newHandle");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "selector Parameters: -108\nresult -108\n")) << r.output;
    EXPECT_FALSE(std::filesystem::exists(Path("none.png")));

    // The pixels cannot be had: Start ends with the host's error.
    r = OnSample("none.png", "--no-dialog --protocol classic --fail advanceState");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "selector Start: -50\nresult -50\n")) << r.output;
    EXPECT_TRUE(Contains(r.output, "the Start selector failed")) << r.output;

    // The next use, on a whole host, works.
    r = OnSample("healed.png", "--no-dialog");
    EXPECT_EQ(r.exitCode, 0) << r.output;
}

// Without an image, filterhost filters a blank page of --size as an editor filters a new
// document, with and without the dialog, and writes nothing.
TEST_F(FilterHostRuns, ABlankPageOfTheGivenSizeIsFiltered) {
    for (const char* dialog : {"--no-dialog", "--dialog"}) {
        if (std::string(dialog) == "--dialog" && !HasDisplay()) continue;
        const ProcessResult r = Run("run '" + kModulePath + "' --fresh --size 120x80 " + dialog);
        EXPECT_EQ(r.exitCode, 0) << dialog << "\n" << r.output;
        EXPECT_TRUE(Contains(r.output, "selector Start: 0\n")) << dialog << "\n" << r.output;
        EXPECT_FALSE(Contains(r.output, "Viewer Error")) << r.output;
    }
}

// Two outputs that name one file, however they name it, are refused before the plug-in runs:
// the last one written would silently replace the other.
TEST_F(FilterHostRuns, TwoOutputsNamingOneFileAreRefusedBeforeThePluginRuns) {
    namespace fs = std::filesystem;
    fs::create_directories(Path("sub"));
    fs::create_directories(state_);
    WriteStateFile(Path("kept.txt"), "the user's");
    std::vector<std::string> cases = {"--out same.png --record same.png",
                                      "--out ./same.png --record '" + Path("same.png") + "'",
                                      "--out '" + Path("sub/../same.png") + "' --record same.png",
                                      "--record ./kept.txt --out kept.txt",
                                      "--out '" + state_ + "/descriptor-registry.txt'"};
#ifdef _WIN32
    std::string other = Path("SAME.PNG");  // the same name in other letters and slashes
    std::transform(other.begin(), other.end(), other.begin(), [](char c) { return c == '/' ? '\\' : char(std::toupper(c)); });
    cases.push_back("--out '" + other + "' --record same.png");
#endif
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    for (const std::string& outputs : cases) {
        const ProcessResult r = FilterHost(outputs);
        EXPECT_EQ(r.exitCode, 2) << outputs << "\n" << r.output;
        EXPECT_TRUE(Contains(r.output, "name the same file")) << r.output;
        EXPECT_FALSE(Contains(r.output, "selector")) << r.output;
    }
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(Path("same.png")));
    EXPECT_EQ(ReadStateFile(Path("kept.txt")), "the user's");
    EXPECT_FALSE(fs::exists(state_ + "/descriptor-registry.txt"));
}

// A played text in a single-byte code page goes through a dialog that closes with OK untouched
// and stays the text the next use draws.
TEST_F(FilterHostRuns, ALegacyTextSurvivesAnUntouchedDialog) {
    if (!HasDisplay()) GTEST_SKIP() << "a dialog run needs a display";
    WriteStateFile(Path("latin.txt"), "'Wzak' text \"caf\xE9\"\n");
    const ProcessResult shown = Run("run '" + kModulePath + "' --fresh --in '" + std::string(TELLORA_SAMPLE_PATH) +
                                    "' --script '" + Path("latin.txt") + "' --dialog --record '" + Path("shown.txt") + "'");
    ASSERT_EQ(shown.exitCode, 0) << shown.output;
    EXPECT_EQ(ReadRecord(Path("shown.txt")).Find(kText)->text, "caf\xE9");
    const ProcessResult next = FilterHost("--no-dialog --record '" + Path("next.txt") + "'");
    ASSERT_EQ(next.exitCode, 0) << next.output;
    EXPECT_EQ(ReadRecord(Path("next.txt")).Find(kText)->text, "caf\xE9");
}

TEST_F(FilterHostRuns, AnUnattendedDialogRunLeavesAScreenshot) {
    if (!HasDisplay()) GTEST_SKIP() << "a dialog run needs a display";
    SetEnvironment("TELLORA_DIALOG_SCREENSHOT", Path("dialog.png"));
    const ProcessResult r = OnSample("shown.png", "--dialog");
    SetEnvironment("TELLORA_DIALOG_SCREENSHOT", "");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(Contains(r.output, "selector Parameters: 0\n")) << r.output;
    const PngImage shot = ReadPng(Path("dialog.png"));
    // The whole dialog: preview, controls and buttons.
    EXPECT_GE(shot.width, 400);
    EXPECT_GE(shot.height, 300);
    EXPECT_TRUE(std::filesystem::exists(Path("shown.png")));
}

// The dialog's preview draws values far beyond their ranges (sizes and positions outside the
// picture, huge pens and fonts) before OK; the positions, which have no numeric field to
// bring them within their range at OK, are kept as they were given.
TEST_F(FilterHostRuns, ADialogShowsValuesFarBeyondTheirRanges) {
    if (!HasDisplay()) GTEST_SKIP() << "a dialog run needs a display";
    for (const char* sets : {" --set ellipseWidth=1e300 --set ellipseHeight=1e300 --set indicatorWidth=1e300",
                             " --set ellipseChoice=Rectangle --set ellipseWidth=-1e300 --set ellipseHeight=-1e300",
                             " --set fontSize=1e6 --set edgeThickness=1e9 --set indicatorThickness=1e9",
                             " --set xPosition=1e300 --set yPosition=-1e300 --set xindiPosition=-1e300"}) {
        // The screenshot is taken once the dialog has painted, before it closes with OK.
        std::filesystem::remove(Path("far.png"));
        SetEnvironment("TELLORA_DIALOG_SCREENSHOT", Path("far.png"));
        const ProcessResult r = OnSample("far-out.png", "--dialog --record '" + Path("far.txt") + "'" + sets);
        SetEnvironment("TELLORA_DIALOG_SCREENSHOT", "");
        ASSERT_EQ(r.exitCode, 0) << sets << "\n" << r.output;
        EXPECT_TRUE(std::filesystem::exists(Path("far.png"))) << sets;
    }
    EXPECT_EQ(ReadRecord(Path("far.txt")).Find(FourCC("Wzap"))->number, -1e300) << "the last run's tip";
}

TEST_F(FilterHostRuns, NamesAndTextsBeyondASCIIArriveWhole) {
    // The module in a folder of Chinese characters, the pictures in "Bilder ö", the state in
    // "Zustand ö", the bubble's text "Grüße" (UTF-8 here; UTF-16 for Windows).
    namespace fs = std::filesystem;
    const std::string modules = Path("插件 Module"), pictures = Path("Bilder ö"), state = Path("Zustand ö");
    fs::create_directories(fs::u8path(modules));
    fs::create_directories(fs::u8path(pictures));
    const std::string module = modules + "/Tellora.8bf", in = pictures + "/Eingabe ö.png",
                      out = pictures + "/Ausgabe ö.png", record = pictures + "/Aufnahme ö.txt";
    fs::copy_file(fs::u8path(kModulePath), fs::u8path(module));
    fs::copy_file(fs::u8path(TELLORA_SAMPLE_PATH), fs::u8path(in));
    // Files of the user's whose names end like temporary files once did: the saves leave them.
    for (const std::string name : {"/notes.saving-2023", "/Ausgabe ö.png.saving-99999"}) WriteStateFile(pictures + name, "");
    SetEnvironment("TELLORA_HOSTSIM_STATE", state);

    const ProcessResult r = RunProcess(QuotedProgram(kFilterHostPath) + " run '" + module + "' --no-dialog --in '" + in +
                                       "' --out '" + out + "' --set 'Text=Grüße' --record '" + record + "'");
    SetEnvironment("TELLORA_HOSTSIM_STATE", state_);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const PngImage written = ReadPng(out);
    EXPECT_EQ(written.width, ReadPng(TELLORA_SAMPLE_PATH).width);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(pictures))) names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Aufnahme ö.txt", "Ausgabe ö.png", "Ausgabe ö.png.saving-99999",
                                                "Eingabe ö.png", "notes.saving-2023"}));
    const Descriptor recorded = ReadRecord(record);
    ASSERT_NE(recorded.Find(kText), nullptr);
    EXPECT_EQ(recorded.Find(kText)->text, "Grüße");
    EXPECT_TRUE(fs::is_directory(fs::u8path(state + "/filters"))) << "the state went elsewhere";
}
