// filterhost run with images: PNG in and out, modes it converts, and input it refuses.
#include "pixel_test_support.h"

#include "hostsim/png_io.h"
#include "hostsim/progress_bar.h"

#include <sstream>

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
