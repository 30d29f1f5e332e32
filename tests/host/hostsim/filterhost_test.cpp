#include "hostsim/command_line.h"
#include "hostsim/filter_state.h"
#include "hostsim/host_error.h"
#include "hostsim/state_folder.h"
#include "test_support.h"

#include <filesystem>

using hostsim::CommandLine;
using hostsim::UsageError;
using namespace hostsim_test;

namespace {
bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}  // namespace

TEST(FilterHost, InfoPrintsPropertiesAndTerminology) {
    const ProcessResult r = RunFilterHost("info '" + kFixturePath + "'");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    for (const char* expected : {
             "kind:", "'8BFM' (filter)", "name:", "\"Fixture...\"", "category:", "\"Hostsim\"", "version:       4.1",
             "entry point:   PluginMain", "modes:         Grayscale, RGB, CMYK, HSL, HSB, Lab", "enable:        \"true\"",
             "30000 high x 40000 wide", "flags 80 00 00 00", "class 'Fxt1', event 'Fxt1', terminology 16000",
             "flat image, no selection: input 1 (straight data), output 1 (straight data), flags 0x06 0x00",
             "floating selection: input 0,", "other property 'xtra'", "suite \"Fixture\" 'Fxt1'",
             "event \"Fix\" class 'Fxt1' id 'Fxt1'", "direct parameter type '#ImR', flags 0xB000",
             "\"shape\" key 'Fxab' type 'Fxac' flags 0xA000 (optional, enumerated)",
             "\"caption\" key 'Fxad' type 'TEXT'", "enumeration 'Fxac' (2 values)", "\"Hard\" 'Fxaf'"}) {
        EXPECT_TRUE(Contains(r.output, expected)) << "missing: " << expected << "\n" << r.output;
    }
}

TEST(FilterHost, AboutPrintsTheResultCode) {
    ProcessResult r = RunFilterHost("about '" + kFixturePath + "'");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(Contains(r.output, "result 0")) << r.output;
    r = RunFilterHost("about --no-basic-suite --no-error-string '" + kFixturePath + "'");
    EXPECT_EQ(r.exitCode, 0) << r.output;
}

TEST(FilterHost, UnusableFilesFailWithAMessage) {
    const std::string text = TempPath("text");
    WriteBytes(text, {'t', 'e', 'x', 't'});
    std::vector<uint8> module = ReadBytes(kFixturePath);
    const std::string truncated = TempPath("truncated");
    WriteBytes(truncated, std::vector<uint8>(module.begin(), module.begin() + 3000));

    for (const char* command : {"info", "about"}) {
        for (const std::string& file : {text, truncated, kTestBinaryPath, TempPath("missing")}) {
            const ProcessResult r = RunFilterHost(std::string(command) + " '" + file + "'");
            EXPECT_EQ(r.exitCode, 1) << command << " " << file << "\n" << r.output;
            EXPECT_TRUE(Contains(r.output, "filterhost: " + file + ":")) << r.output;
        }
    }
}

TEST(FilterHost, UsageErrorsExitWithTwo) {
    ProcessResult r = RunFilterHost("--help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(Contains(r.output, "usage: filterhost"));
    for (const char* args : {"", "frobnicate x", "info", "about --in x.png plugin", "info --no-basic-suite plugin",
                             "about a b", "run p --play-info 3", "run p --dialog --no-dialog", "run p --size 10",
                             "run p --resolution 0", "run p --resolution 32768", "about --set a=1 p"}) {
        r = RunFilterHost(args);
        EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.output;
    }
    // The records hold the resolution as a 16.16 fixed-point number.
    r = RunFilterHost("run p --resolution 40000");
    EXPECT_TRUE(Contains(r.output, "filterhost: --resolution must be from 1 to 32767, got 40000\n")) << r.output;
}

TEST(CommandLine, RunTakesImagesSettingsAndHostOptions) {
    const CommandLine line = CommandLine::Parse({"run", "f.8bf", "--in", "a.png", "--set", "Text=a=b", "--out",
                                                 "b.png", "--set", "Font Size=", "--no-big-document",
                                                 "--disable-suite", "S1"});
    EXPECT_EQ(line.command, CommandLine::Command::Run);
    EXPECT_EQ(line.plugin, "f.8bf");
    EXPECT_EQ(line.input, "a.png");
    EXPECT_EQ(line.output, "b.png");
    ASSERT_EQ(line.run.settings.size(), 2u);
    EXPECT_EQ(line.run.settings[0], std::make_pair(std::string("Text"), std::string("a=b")));
    EXPECT_EQ(line.run.settings[1], std::make_pair(std::string("Font Size"), std::string()));
    EXPECT_FALSE(line.host.bigDocument);
    EXPECT_TRUE(line.host.basicSuite);
    EXPECT_EQ(line.disabledSuites, std::vector<std::string>{"S1"});

    EXPECT_FALSE(line.run.playInfo);

    const CommandLine scripted = CommandLine::Parse({"run", "f", "--script", "s.txt", "--record", "r.txt", "--no-dialog",
                                                     "--fresh", "--size", "0x3", "--resolution", "300",
                                                     "--no-handle-procs", "--fail", "lockHandle", "--absent", "putText"});
    EXPECT_EQ(scripted.run.scriptFile, "s.txt");
    EXPECT_EQ(scripted.run.recordFile, "r.txt");
    EXPECT_EQ(scripted.run.playInfo, plugInDialogDontDisplay);
    EXPECT_TRUE(scripted.run.fresh);
    EXPECT_EQ(scripted.size, std::make_pair(0, 3));
    EXPECT_EQ(scripted.resolution, 300);
    EXPECT_FALSE(scripted.host.handleProcs);
    EXPECT_EQ(scripted.failing, std::vector<std::string>{"lockHandle"});
    EXPECT_EQ(scripted.absent, std::vector<std::string>{"putText"});
    EXPECT_EQ(CommandLine::Parse({"run", "f", "--play-info", "2"}).run.playInfo, plugInDialogSilent);
    EXPECT_EQ(CommandLine::Parse({"run", "f", "--resolution", "32767"}).resolution, 32767);

    EXPECT_THROW(CommandLine::Parse({"run", "f", "--in", "a", "--out", "b", "--set", "=1"}), UsageError);
    EXPECT_THROW(CommandLine::Parse({"run", "f", "--in"}), UsageError);
    EXPECT_EQ(CommandLine::Parse({"about", "f", "--help"}).command, CommandLine::Command::Help);
}

// The fixture returns an error at Finish and asks for a suite the command line does not offer,
// so runs stop with the plug-in's code; what matters here is what the host says and does.
class FilterHostRun : public ::testing::Test {
protected:
    void SetUp() override {
        state_ = TempPath("state");
        std::filesystem::remove_all(state_);
        setenv("TELLORA_HOSTSIM_STATE", state_.c_str(), 1);
    }
    ProcessResult Run(const std::string& args) {
        return RunFilterHost("run '" + kFixturePath + "' " + args);
    }
    std::string state_;
};

TEST_F(FilterHostRun, PrintsEachSelectorAndStopsAtTheFirstFailure) {
    const ProcessResult r = Run("");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "selector Parameters: 0\nselector Prepare: -30900\nresult -30900\n")) << r.output;
    EXPECT_TRUE(Contains(r.output, "filterhost: the Prepare selector failed")) << r.output;
    EXPECT_FALSE(Contains(r.output, "Start")) << r.output;
    // The fixture keeps a counter, not a handle, in the data slot: nothing can be stored.
    EXPECT_TRUE(Contains(r.output, "note: the plug-in keeps handles of its own")) << r.output;
}

TEST_F(FilterHostRun, BadInputIsRefusedBeforeThePluginRuns) {
    ProcessResult r = Run("--set size=1");
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_TRUE(Contains(r.output, "no parameter 'size'; its parameters are: amount, shape, caption")) << r.output;
    r = Run("--set shape=Round");
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_TRUE(Contains(r.output, "shape: 'Round' is not one of: Soft, Hard")) << r.output;
    r = Run("--fail bogus");
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_TRUE(Contains(r.output, "unknown callback 'bogus'")) << r.output;

    const std::string script = TempPath("script.txt");
    WriteBytes(script, {'\'', 'a', 'b', 'c', 'd', '\'', ' ', 'x'});
    r = Run("--script '" + script + "'");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, script + ":1: unknown value kind 'x'")) << r.output;
    r = Run("--script '" + TempPath("missing.txt") + "'");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "cannot open the script")) << r.output;

    hostsim::WriteStateFile(hostsim::FilterStatePath(state_, "Hostsim-Fixture..."), "plugin \"x\"\ndata 1");
    r = Run("");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, ".state:2: hex bytes come in pairs of digits (--fresh forgets the stored state)"))
        << r.output;
    r = Run("--fresh");
    EXPECT_TRUE(Contains(r.output, "selector Parameters: 0")) << r.output;

    hostsim::WriteStateFile(state_ + "/descriptor-registry.txt", "entry");
    r = Run("");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "descriptor-registry.txt:1: expected the entry's name in double quotes")) << r.output;
    EXPECT_FALSE(Contains(r.output, "selector")) << r.output;
}
