// Failures the host meets at Start and Finish reach the result, values that were not stored
// where they should be are found again, numbers that are not finite are never used or kept,
// and what the host writes and allocates fails cleanly.
#include "lifecycle_support.h"

#include <fstream>

using namespace hostsim;
using namespace lifecycle;

namespace {

constexpr DescriptorKeyID kEllipseWidth = FourCC("Wzae");

class FailuresReported : public LifecycleTest {
protected:
    ProcessResult Succeed(const std::string& args) {
        const ProcessResult r = FilterHost(args, false);
        EXPECT_EQ(r.exitCode, 0) << args << "\n" << r.output;
        EXPECT_TRUE(Contains(r.output, "result 0")) << r.output;
        return r;
    }
    ProcessResult Fail(const std::string& args) {
        const ProcessResult r = FilterHost(args, false);
        EXPECT_NE(r.exitCode, 0) << args << "\n" << r.output;
        EXPECT_FALSE(Contains(r.output, "result 0\n")) << r.output;
        return r;
    }
    double Recorded(const std::string& name, DescriptorKeyID key) {
        const Descriptor d = ReadRecord(Path(name));
        const DescriptorValue* v = d.Find(key);
        return v ? v->number : -1;
    }
    void WriteText(const std::string& name, const std::string& text) { std::ofstream(Path(name)) << text; }
};

}  // namespace

TEST_F(FailuresReported, AScriptedReadTheHostFailsEndsStartWithItsError) {
    for (const char* fault : {"getText", "getFloat"}) {
        const ProcessResult r = Fail(std::string("--fresh --set Text=ZZZ --set fontSize=30 --no-dialog --fail ") + fault);
        EXPECT_FALSE(Contains(r.output, "selector Start: 0")) << fault << "\n" << r.output;
    }
    // A host that tells of its trouble only when the replay is closed: the run goes on, without
    // the dialog even when the replay asks for it (run here without a display, a dialog fails).
    for (const char* fault : {"getKey", "closeReadDescriptor"}) {
        Succeed(std::string("--fresh --set Text=ZZZ --set fontSize=30 --no-dialog --fail ") + fault);
        Succeed(std::string("--fresh --set Text=ZZZ --dialog --fail ") + fault);
    }
}

TEST_F(FailuresReported, ARecordingThatCannotBeWrittenIsReportedByFinish) {
    for (const char* fault : {"putText", "putFloat", "putObject", "openWriteDescriptor", "closeWriteDescriptor"}) {
        const ProcessResult r =
            Fail(std::string("--fresh --no-dialog --fail ") + fault + " --record '" + Path("f.txt") + "'");
        EXPECT_TRUE(Contains(r.output, "selector Start: 0")) << fault << "\n" << r.output;
        EXPECT_FALSE(Contains(r.output, "selector Finish: 0")) << fault << "\n" << r.output;
    }
}

TEST_F(FailuresReported, ValuesTheRegistryRefusedComeBackFromTheWindowsRegistry) {
    Succeed("--fresh --set fontSize=20 --no-dialog");  // an older entry in the descriptor registry
    Succeed("--set fontSize=33 --no-dialog --fail DescriptorRegistry.Register");
    EXPECT_GT(RegistryFiles(), 0u);
    Succeed("--no-dialog --record '" + Path("next.txt") + "'");
    EXPECT_EQ(Recorded("next.txt", kFontSize), 33.0);

    // With no descriptor to be made at all, too; and a run that stores normally again wins
    // over the Windows registry the next time.
    Succeed("--set fontSize=44 --no-dialog --fail ActionDescriptor.Make");
    Succeed("--no-dialog --record '" + Path("make.txt") + "'");
    EXPECT_EQ(Recorded("make.txt", kFontSize), 44.0);
    Succeed("--set fontSize=50 --no-dialog");
    // Only the Windows registry gets 7: the registry's 50 is not stale, it stays first.
    Succeed("--disable-suite DescriptorRegistry --set fontSize=7 --no-dialog");
    Succeed("--no-dialog --record '" + Path("last.txt") + "'");
    EXPECT_EQ(Recorded("last.txt", kFontSize), 50.0);
}

TEST_F(FailuresReported, AnInfiniteWidthInAScriptIsNeitherUsedNorRemembered) {
    Succeed("--fresh --set ellipseWidth=40% --no-dialog");
    for (const char* number : {"inf", "-inf", "nan"}) {
        WriteText("script.txt", std::string("'Wzae' unitFloat '#Prc' ") + number + "\n");
        Succeed("--no-dialog --script '" + Path("script.txt") + "' --record '" + Path("played.txt") + "'");
        EXPECT_EQ(Recorded("played.txt", kEllipseWidth), 40.0) << number;
        Succeed("--no-dialog --record '" + Path("next.txt") + "'");
        EXPECT_EQ(Recorded("next.txt", kEllipseWidth), 40.0) << number;
    }
    // Nor when the descriptor registry hands it over.
    const std::string registry = state_ + "/descriptor-registry.txt";
    std::string text = *ReadStateFile(registry);
    const std::string width = "'Wzae' unitFloat '#Prc' 40";
    ASSERT_NE(text.find(width), std::string::npos) << text;
    text.replace(text.find(width), width.size(), "'Wzae' unitFloat '#Prc' inf");
    WriteStateFile(registry, text);
    Succeed("--no-dialog --record '" + Path("registry.txt") + "'");
    EXPECT_EQ(Recorded("registry.txt", kEllipseWidth), 40.0);
}

TEST_F(FailuresReported, FreshForgetsTheDescriptorRegistryToo) {
    Succeed("--set fontSize=33 --no-dialog");
    Succeed("--fresh --no-dialog --record '" + Path("fresh.txt") + "'");
    EXPECT_EQ(Recorded("fresh.txt", kFontSize), 12.0) << "the default";
}

TEST_F(FailuresReported, ADocumentLargerThanMemoryIsRefusedWithAMessage) {
    const ProcessResult r = FilterHost(
        "--no-dialog --size 16384x16384 --layers 64 --mode cmyk --depth 16 --out '" + Path("big.png") + "'", false);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "needs")) << r.output;
    EXPECT_TRUE(Contains(r.output, "GB of memory")) << r.output;
    EXPECT_FALSE(Contains(r.output, "bad_alloc")) << r.output;
}

TEST_F(FailuresReported, AnOutputThatCannotBeWrittenLeavesTheEarlierFile) {
    if (!HasDisplay()) GTEST_SKIP() << "drawing needs a display";
    const std::string out = Path("out.png");
    WriteText("out.png", "the earlier file");
    // A file size limit of 64 KB makes the picture's write fail part-way, as a full disk would;
    // the host's own small state files still fit.
    const std::string input = std::string("--in '") + TELLORA_SAMPLE_PATH + "'";
    const std::string command = "trap '' XFSZ; ulimit -f 64; '" + kFilterHostPath + "' run '" + kModulePath +
                                "' --no-dialog " + input + " --out '" + out + "' > '" + Path("log.txt") + "' 2>&1";
    EXPECT_NE(std::system(("bash -c \"" + command + "\"").c_str()), 0);
    const std::string log = ReadStateFile(Path("log.txt")).value_or("");
    EXPECT_TRUE(Contains(log, "out.png")) << "the failure names the output: " << log;
    std::filesystem::remove(Path("log.txt"));
    EXPECT_EQ(ReadStateFile(out).value_or("(no file)"), "the earlier file");
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1u) << "no temporary file left behind";

    const ProcessResult written = FilterHost("--no-dialog " + input + " --out '" + out + "'");
    EXPECT_EQ(written.exitCode, 0) << written.output;
    EXPECT_NE(ReadStateFile(out).value_or("the earlier file"), "the earlier file");
}
