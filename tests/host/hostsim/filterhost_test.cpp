#include "hostsim/command_line.h"
#include "hostsim/host_error.h"
#include "test_support.h"

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
                             "run plugin --in a.png", "about a b"}) {
        r = RunFilterHost(args);
        EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.output;
    }
    r = RunFilterHost("run '" + kFixturePath + "' --in a.png --out b.png");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.output, "not available yet"));
}

TEST(CommandLine, RunTakesImagesSettingsAndHostOptions) {
    const CommandLine line = CommandLine::Parse({"run", "f.8bf", "--in", "a.png", "--set", "Text=a=b", "--out",
                                                 "b.png", "--set", "Font Size=", "--no-big-document",
                                                 "--disable-suite", "S1"});
    EXPECT_EQ(line.command, CommandLine::Command::Run);
    EXPECT_EQ(line.plugin, "f.8bf");
    EXPECT_EQ(line.input, "a.png");
    EXPECT_EQ(line.output, "b.png");
    ASSERT_EQ(line.settings.size(), 2u);
    EXPECT_EQ(line.settings[0], std::make_pair(std::string("Text"), std::string("a=b")));
    EXPECT_EQ(line.settings[1], std::make_pair(std::string("Font Size"), std::string()));
    EXPECT_FALSE(line.host.bigDocument);
    EXPECT_TRUE(line.host.basicSuite);
    EXPECT_EQ(line.disabledSuites, std::vector<std::string>{"S1"});

    EXPECT_THROW(CommandLine::Parse({"run", "f", "--in", "a", "--out", "b", "--set", "=1"}), UsageError);
    EXPECT_THROW(CommandLine::Parse({"run", "f", "--in"}), UsageError);
    EXPECT_EQ(CommandLine::Parse({"about", "f", "--help"}).command, CommandLine::Command::Help);
}
