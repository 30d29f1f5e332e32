// The dialog in a host with nobody at a terminal, as in every image editor on Windows: the host
// has no console, its standard input is a regular file and it did not ask for a batch run. The
// dialog stays until the user answers it; here the test is the user, dragging in the preview and
// clicking OK or Cancel on the screen with the system's own input. Runs on Linux with filterhost
// and, under wine, with a filterhost built as a GUI-subsystem program.
#include "attended_host.h"

#include "hostsim/descriptor_text.h"
#include "hostsim/png_io.h"
#include "hostsim/state_folder.h"

#include <algorithm>

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

TEST_F(AttendedRun, ATipDraggedLeftOfThePictureStaysWhereTheUserPutIt) {
    const std::string out = (folder / "dragged.png").string(), record = (folder / "dragged.txt").string();
    AttendedHost host(folder, "--out " + lifecycle::QuotedProgram(out) + " --record " + lifecycle::QuotedProgram(record));
    ASSERT_TRUE(host.WaitForDialog()) << host.process().Output();
    const std::optional<ScreenRect> preview = host.Find(kPreview);
    ASSERT_TRUE(preview);
    // Pressed in the middle of the preview, which shows the picture fitted and centred, and
    // dragged to left of the preview (the screen's edge at the most; the preview has a frame):
    // the pointer's tip lies left of the picture, at a negative position. Each step waits until
    // the preview shows it, as a hand follows the eye: a move the dialog has not taken the press
    // for yet would be no part of the drag. The default bubble's centre is (54, 95) of the
    // picture; pointing at the picture's middle, the pointer's white fill covers the point
    // halfway there, and no longer once it points left.
    const hostsim::PngImage sample = hostsim::ReadPng(TELLORA_SAMPLE);
    const double viewWidth = preview->width - 4, viewHeight = preview->height - 4;
    const double zoom = std::min(viewWidth / sample.width, viewHeight / sample.height);
    const int halfwayX = int(preview->x + 2 + (viewWidth - sample.width * zoom) / 2 + (54 + sample.width / 2) / 2.0 * zoom);
    const int halfwayY = int(preview->y + 2 + (viewHeight - sample.height * zoom) / 2 + (95 + sample.height / 2) / 2.0 * zoom);
    const auto white = [&] { return (ScreenColourAt(halfwayX, halfwayY) & 0xF0F0F0) == 0xF0F0F0; };
    ASSERT_FALSE(white()) << "the picture's own colours are there";
    const int y = preview->y + preview->height / 2;
    ASSERT_TRUE(lifecycle::PressScreenAt(preview->x + preview->width / 2, y));
    ASSERT_TRUE(WaitFor(white, 30000)) << "the press did not move the tip";
    ASSERT_TRUE(lifecycle::MovePointerTo(std::max(preview->x - 40, 0), y));
    ASSERT_TRUE(WaitFor([&] { return !white(); }, 30000)) << "the drag did not move the tip";
    ASSERT_TRUE(lifecycle::ReleaseScreen());
    ASSERT_TRUE(host.Click(kOk));
    const lifecycle::ProcessResult run = host.process().Wait(60000);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const auto tipX = [](const std::string& path) {
        const std::optional<std::string> text = hostsim::ReadStateFile(path);
        if (!text) return std::optional<double>();
        const hostsim::Descriptor recorded = hostsim::ParseDescriptor(*text, path);
        const hostsim::DescriptorValue* v = recorded.Find(FourCC("Wzap"));
        return v ? std::optional<double>(v->number) : std::nullopt;
    };
    const std::optional<double> placed = tipX(record);
    ASSERT_TRUE(placed) << run.output;
    EXPECT_LT(*placed, 0.0);

    // The next use of the filter, without the dialog and without a script, as an editor repeats
    // it: the same tip, drawn and recorded where the user put it.
    const std::string again = (folder / "again.png").string(), repeated = (folder / "again.txt").string();
    const lifecycle::ProcessResult repeat = lifecycle::RunProcess(
        lifecycle::QuotedProgram(TELLORA_ATTENDED_HOST) + " run " + lifecycle::QuotedProgram(TELLORA_MODULE) + " --in " +
        lifecycle::QuotedProgram(TELLORA_SAMPLE) + " --out " + lifecycle::QuotedProgram(again) + " --record " +
        lifecycle::QuotedProgram(repeated));
    ASSERT_EQ(repeat.exitCode, 0) << repeat.output;
    EXPECT_EQ(tipX(repeated), placed);
    const hostsim::PngImage first = hostsim::ReadPng(out), second = hostsim::ReadPng(again);
    EXPECT_TRUE(first.samples == second.samples) << "the repeat drew another picture";
}

}  // namespace
}  // namespace attended
