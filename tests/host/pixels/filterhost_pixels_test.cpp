// filterhost run with images: PNG in and out, modes it converts, input it refuses, and outputs
// that cannot be written.
#include "pixel_test_support.h"

#include "hostsim/png_io.h"
#include "hostsim/progress_bar.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace pixel_test {
namespace {

class FilterHostPixelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        input = TempPath("in.png");
        output = TempPath("out.png");
        std::remove(output.c_str());
        PngImage image;
        image.width = 70;
        image.height = 40;
        image.channels = 4;
        image.bitDepth = 8;
        for (int32 y = 0; y < image.height; ++y)
            for (int32 x = 0; x < image.width; ++x)
                for (int c = 0; c < 4; ++c) image.samples.push_back(uint16(Pattern(x, y, c) * 255));
        WritePng(input, image);
        original = image;
    }
    ProcessResult Run(const std::string& options) {
        return RunFilterHost("run '" + kCopyThroughPath + "' --fresh --no-dialog --in '" + input + "' --out '" + output +
                             "' " + options);
    }

    std::string input, output;
    PngImage original;
};

TEST_F(FilterHostPixelsTest, CopiesAnImageThroughEitherProtocol) {
    for (const char* protocol : {"classic", "ports"}) {
        const ProcessResult r = Run(std::string("--transparency --tile 32x16 --protocol ") + protocol);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output.find("\r["), std::string::npos);  // no progress bar off a terminal
        const PngImage out = ReadPng(output);
        EXPECT_EQ(out.channels, 4);
        EXPECT_EQ(out.samples, original.samples) << protocol;
    }
}

TEST_F(FilterHostPixelsTest, SaysWhatItConverts) {
    const ProcessResult r = Run("--mode lab --depth 16 --layers 2 --select 5,5,20,10");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("note: the RGB image is converted to Lab for the document"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("note: the image's alpha is not used"), std::string::npos);
    EXPECT_NE(r.output.find("note: the Lab document is converted to RGB for the PNG"), std::string::npos);
    const PngImage out = ReadPng(output);
    EXPECT_EQ(out.bitDepth, 16);
    EXPECT_EQ(out.channels, 3);
}

TEST_F(FilterHostPixelsTest, RefusesBadInputClearly) {
    std::FILE* f = std::fopen(input.c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\n garbage", f);
    std::fclose(f);
    ProcessResult r = Run("");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("unreadable PNG"), std::string::npos) << r.output;

    r = RunFilterHost("run '" + kCopyThroughPath + "' --out '" + output + "' --mode hsb --depth 16");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("there is no 16-bit hsb mode"), std::string::npos) << r.output;

    r = RunFilterHost("run '" + kCopyThroughPath + "' --out '" + output + "' --select 1,2,3");
    EXPECT_EQ(r.exitCode, 2);
    r = RunFilterHost("run '" + kCopyThroughPath + "' --out '" + output + "' --size 10x10 --select 20,20,5,5");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("the selection lies outside the document"), std::string::npos) << r.output;
    r = RunFilterHost("run '" + kCopyThroughPath + "' --out '" + output + "' --protocol magic");
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(FilterHostPixelsTest, MakesABlankDocumentWithoutInput) {
    const ProcessResult r = RunFilterHost("run '" + kCopyThroughPath + "' --fresh --no-dialog --size 9x5 --mode cmyk --out '" +
                                          output + "'");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const PngImage out = ReadPng(output);
    EXPECT_EQ(out.width, 9);
    EXPECT_EQ(out.at(8, 4, 2), 255);  // white
}

TEST_F(FilterHostPixelsTest, TheImageIsWrittenFirstAndWhatCannotBeWrittenIsToldWithItsReason) {
    // A state folder that cannot be made: the image is written all the same, then the state's
    // loss is reported.
    const std::string blocked = TempPath("state-is-a-file");
    std::ofstream(blocked).put('x');
    ProcessResult r = host_tests::RunCommand("TELLORA_HOSTSIM_STATE='" + blocked + "' TELLORA_REGISTRY_ROOT='" +
                                             TempPath("registry") + "' '" + kFilterHostPath + "' run '" + kCopyThroughPath +
                                             "' --no-dialog --transparency --in '" + input + "' --out '" + output + "'");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("selector Finish: 0\nresult 0\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("filterhost: the filter's state is not kept for its next use: cannot create the folder " +
                            blocked + "/filters: " + std::strerror(ENOTDIR)),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("plug-in fault"), std::string::npos) << r.output;
    EXPECT_EQ(ReadPng(output).samples, original.samples);

    // A disk that takes no more than a block per file: the image is not written, and the
    // reason is given.
    std::remove(output.c_str());
    r = host_tests::RunCommand("trap '' XFSZ; ulimit -f 1; TELLORA_HOSTSIM_STATE='" + ProcessFolder() + "state' '" +
                               kFilterHostPath + "' run '" + kCopyThroughPath + "' --fresh --no-dialog --in '" + input +
                               "' --out '" + output + "'");
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("filterhost: cannot write " + output + ": " + std::strerror(EFBIG)), std::string::npos)
        << r.output;
    EXPECT_FALSE(std::filesystem::exists(output));
    for (const auto& entry : std::filesystem::directory_iterator(ProcessFolder()))
        EXPECT_NE(entry.path().filename().string().rfind(".filterhost-", 0), 0u) << entry.path();
}

TEST_F(FilterHostPixelsTest, AnOutputKeepsItsPermissionsAndWhatIsNoFileIsRefusedBeforeTheRun) {
    std::ofstream(output).put('x');
    ::chmod(output.c_str(), 0600);
    ProcessResult r = Run("--transparency");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    struct stat info {};
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadPng(output).samples, original.samples);

    const std::string folder = TempPath("folder"), pipe = TempPath("pipe");
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::pair<std::string, std::string> refused[] = {
        {"--out '" + folder + "'", "cannot write " + folder + ": it is a folder"},
        {"--out '" + pipe + "'", "cannot write " + pipe + ": it is a pipe, not a file"},
        {"--out '" + folder + "/none/out.png'", "cannot write " + folder + "/none/out.png: the folder " + folder +
                                                    "/none does not exist"},
        {"--record '" + folder + "'", "cannot write " + folder + ": it is a folder"},
    };
    for (const auto& [option, message] : refused) {
        r = RunFilterHost("run '" + kCopyThroughPath + "' --no-dialog --in '" + input + "' " + option);
        EXPECT_EQ(r.exitCode, 1) << option << "\n" << r.output;
        EXPECT_NE(r.output.find("filterhost: " + message + "\n"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("selector"), std::string::npos) << r.output;  // the plug-in never ran
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST(ProgressBarTest, RedrawsOnlyWhenThePercentageChanges) {
    std::ostringstream out;
    {
        ProgressBar bar(out, true, 10);
        bar.Update(1000, 2000);
        bar.Update(1001, 2000);  // still 50 %
        bar.Update(3000, 2000);  // nonsense: ignored
        bar.Update(2000, 2000);
    }
    EXPECT_EQ(out.str(), "\r[#####.....]  50%\r[##########] 100%\n");
    std::ostringstream quiet;
    ProgressBar off(quiet, false);
    off.Update(1, 2);
    off.Finish();
    EXPECT_TRUE(quiet.str().empty());
}

}  // namespace
}  // namespace pixel_test
