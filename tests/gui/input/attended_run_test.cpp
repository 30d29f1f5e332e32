// The dialog in a host with nobody at a terminal, as in every image editor on Windows: the host
// has no console, its standard input is a regular file and it did not ask for a batch run. The
// dialog stays until the user answers it; here the test is the user, clicking OK or Cancel on
// the screen with the system's own input. Runs on Linux with filterhost and, under wine, with a
// filterhost built as a GUI-subsystem program.
#include "attended_host.h"

#include "hostsim/png_io.h"

namespace attended {
namespace {

class AttendedRun : public AttendedTest {
protected:
    // Runs the dialog, checks that it is still waiting five seconds after it came up, and
    // clicks `button`.
    lifecycle::ProcessResult AnswerAfterFiveSeconds(int button) {
        AttendedHost host(folder, "--out " + lifecycle::QuotedProgram(Out()));
        EXPECT_TRUE(host.process().Started());
        if (!host.WaitForDialog()) {
            ADD_FAILURE() << "the run ended without showing the dialog: " << host.process().Output();
            return {};
        }
        // A person takes their time: five seconds on, the dialog is still waiting.
        EXPECT_FALSE(WaitFor([&] { return !host.process().Running(); }, 5000));
        if (!host.process().Running()) {
            ADD_FAILURE() << "the dialog ended without an answer: " << host.process().Output();
            return {};
        }
        EXPECT_TRUE(host.Click(button)) << "no button " << button << " in the dialog's map";
        return host.process().Wait(60000);
    }
    std::string Out() const { return (folder / "out.png").string(); }

    // Inside the default bubble (an ellipse 100 pixels wide at 1 % and 15 %), below its text.
    static std::pair<int, int> InsideTheBubble(const hostsim::PngImage& image) {
        return {image.width / 100 + 50, image.height * 15 / 100 + 80};
    }
};

TEST_F(AttendedRun, OkAppliesTheFilterAfterTheUserTookTheirTime) {
    const lifecycle::ProcessResult run = AnswerAfterFiveSeconds(kOk);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("result 0\n"), std::string::npos) << run.output;
    ASSERT_TRUE(std::filesystem::exists(Out())) << run.output;

    const hostsim::PngImage before = hostsim::ReadPng(TELLORA_SAMPLE), after = hostsim::ReadPng(Out());
    const auto [x, y] = InsideTheBubble(before);
    ASSERT_NE(before.at(x, y, 0) + before.at(x, y, 1) + before.at(x, y, 2), 3 * 255);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(after.at(x, y, c), 255) << "the bubble's white fill, channel " << c;
}

TEST_F(AttendedRun, CancelLeavesTheDocumentAlone) {
    const lifecycle::ProcessResult run = AnswerAfterFiveSeconds(kCancel);
    EXPECT_EQ(run.exitCode, 3) << "the user's own choice, no failure: " << run.output;
    EXPECT_NE(run.output.find("result -128\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("filterhost: the user cancelled"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("failed"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(Out())) << "a cancelled run wrote the document";
}

}  // namespace
}  // namespace attended
