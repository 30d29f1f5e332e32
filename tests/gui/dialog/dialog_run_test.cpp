// The dialog in real runs: the Start selector through the modal runner, which ends the dialog by
// itself when nobody can answer it, and the command-line host running the module in a batch.
#include "dialog_fixture.h"

#include "host/fallback_handles.h"
#include "host/parameter_handle.h"
#include "host/unattended_dialog.h"

#include <wx/display.h>
#include <wx/image.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace dialog_test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether a virtual screen of our own can be had.
bool HasXvfb() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

// Runs `command` on a screen of its own (large, true colour, unless `size` says otherwise) when
// Xvfb is there, else on the current display; its output goes to `log`. Returns the exit status.
int RunOnOwnScreen(const std::string& command, const std::filesystem::path& log,
                   const std::string& size = "1400x900x24") {
    const std::string screen = HasXvfb() ? "env TELLORA_SCREEN=" + size + " '" TELLORA_WITH_DISPLAY "' " : "";
    const int status = std::system(("timeout 180 " + screen + command + " </dev/null >'" + log.string() + "' 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DialogRun : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        ::setenv("TELLORA_BATCH", "1", 1);  // the runner must end the dialog by itself
        document = std::make_unique<FakeDocument>(160, 120);
    }
    void TearDown() override {
        Corvantis::Host::PS::SetUnattendedDialogAnswer(nullptr);
        if (document && document->record.parameters) PS::FallbackDisposeHandle(document->record.parameters);
        if (data) PS::FallbackDisposeHandle(reinterpret_cast<Handle>(data));
        DialogTest::TearDown();
    }
    int16 Run(int16 selector) {
        int16 code = 0;
        TelloraPluginPS call;
        call.Init(&document->record, false, &data, &code, "Corvantis Tellora");
        call.registryPrefix = "Software\\Corvantis\\Tellora\\";
        call.Dispatch(selector);
        return code;
    }
    double StoredX() {
        PS::Parameters stored;
        AppendTelloraParameters(stored);
        EXPECT_EQ(PS::UnflattenParameters(&stored, &document->record), 0);
        return stored.parameters[kParamXPosition].value.GetFloat();
    }
};

TEST_F(DialogRun, StartShowsTheDialogAndCancelKeepsTheValuesBeforeIt) {
    int answer = wxID_CANCEL, shown = 0;
    Corvantis::Host::PS::SetUnattendedDialogAnswer([&](wxDialog& shownDialog) {
        ++shown;
        EXPECT_EQ(shownDialog.GetTitle(), "Tellora");
        EXPECT_TRUE(shownDialog.IsShownOnScreen());
        // Drag the bubble 40 pixels to the right in the dialog's own preview.
        auto* target = dynamic_cast<ImagePreview*>(shownDialog.FindWindow(kIdPreview));
        double x, y, w, h;
        target->GetBubbleRect(x, y, w, h);
        for (auto [type, dx] : {std::pair{wxEVT_LEFT_DOWN, 0}, {wxEVT_MOTION, 40}, {wxEVT_LEFT_UP, 40}}) {
            wxMouseEvent mouse(type);
            mouse.SetPosition(wxPoint(int(x + w / 2) + dx, int(y + h / 2)));
            mouse.m_leftDown = type != wxEVT_LEFT_UP;
            target->GetEventHandler()->ProcessEvent(mouse);
        }
        return answer;
    });
    ASSERT_EQ(Run(filterSelectorParameters), 0);
    EXPECT_EQ(Run(filterSelectorStart), userCanceledErr);
    EXPECT_DOUBLE_EQ(StoredX(), 1.0);

    answer = wxID_OK;
    ASSERT_EQ(Run(filterSelectorParameters), 0);
    EXPECT_EQ(Run(filterSelectorStart), 0);
    EXPECT_DOUBLE_EQ(StoredX(), 1.0 + 40 * 100.0 / 160);
    EXPECT_EQ(shown, 2);
}

// Run again on a screen of its own, this test saves the screenshot of the painted dialog next
// to the build and checks in it that the preview shows the bubble with its handles.
TEST_F(DialogTest, TheScreenshotShowsTheBubbleInThePreview) {
    if (!std::getenv("TELLORA_SCREENSHOT_CHILD")) {
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const int status = RunOnOwnScreen("env TELLORA_SCREENSHOT_CHILD=1 TELLORA_BATCH=1 '" + self +
                                              "' --gtest_filter=DialogTest.TheScreenshotShowsTheBubbleInThePreview",
                                          temp / "child.log");
        EXPECT_EQ(status, 0) << ReadFile(temp / "child.log");
        EXPECT_TRUE(std::filesystem::exists(TELLORA_SCREENSHOT));
        return;
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    wxImage sample(TELLORA_SAMPLES "/landscape.png", wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(sample.IsOk());
    list.parameters[kParamText].value.text = "Hello from Tellora!";
    list.parameters[kParamXPosition].value.SetFloat(30);
    list.parameters[kParamYPosition].value.SetFloat(8);
    list.parameters[kParamEllipseWidth].value.SetFloat(160);
    list.parameters[kParamXIndicatorPosition].value.SetFloat(20);
    list.parameters[kParamYIndicatorPosition].value.SetFloat(70);
    document = std::make_unique<FakeDocument>(sample.GetWidth(), sample.GetHeight(), sample.GetData());
    Open(sample.GetWidth(), sample.GetHeight());
    Settle(300);
    ASSERT_TRUE(Corvantis::Host::PS::SaveWindowScreenshot(dialog, TELLORA_SCREENSHOT));

    wxImage shot(TELLORA_SCREENSHOT, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(shot.IsOk());
    double x, y, w, h;
    preview->GetBubbleRect(x, y, w, h);
    const wxPoint origin = preview->GetScreenPosition() - dialog->GetScreenPosition();
    auto rgb = [&](double px, double py) {
        const int sx = origin.x + int(px), sy = origin.y + int(py);
        return (shot.GetRed(sx, sy) << 16) | (shot.GetGreen(sx, sy) << 8) | shot.GetBlue(sx, sy);
    };
    EXPECT_EQ(rgb(x + w / 2, y + h * 0.85), 0xFFFFFF) << "the bubble's fill";
    EXPECT_EQ(rgb(int(x - 5 + w) + 5, int(y - 5 + h) + 5), 0x00FF00) << "the bottom-right handle";
}

// On a screen narrower than the layout asks for, the dialog's normal size and place (what a
// restore from maximised returns to) still lie within the work area. Run again on a small
// screen of its own.
TEST_F(DialogTest, TheNormalSizeLiesWithinTheWorkArea) {
    if (!std::getenv("TELLORA_SMALL_SCREEN_CHILD")) {
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        if (!HasXvfb()) GTEST_SKIP() << "no screen of its own to be had";
        const int status = RunOnOwnScreen("env TELLORA_SMALL_SCREEN_CHILD=1 TELLORA_BATCH=1 '" + self +
                                              "' --gtest_filter=DialogTest.TheNormalSizeLiesWithinTheWorkArea",
                                          temp / "child.log", "1024x600x24");
        EXPECT_EQ(status, 0) << ReadFile(temp / "child.log");
        return;
    }
    Open();
    const wxRect area = wxDisplay(static_cast<unsigned>(std::max(0, wxDisplay::GetFromWindow(dialog)))).GetClientArea();
    ASSERT_EQ(area.width, 1024);
    const wxRect placed = dialog->GetScreenRect();
    EXPECT_TRUE(area.Contains(placed)) << placed.x << "," << placed.y << " " << placed.width << " x " << placed.height;
    EXPECT_LE(dialog->GetMinSize().x, area.width);
    EXPECT_LE(dialog->GetMinSize().y, area.height);
    // Every control keeps at least its own minimum: OK, the rightmost, is whole on the screen.
    EXPECT_TRUE(area.Contains(dialog->FindWindow(wxID_OK)->GetScreenRect()));
}

}  // namespace

TEST(DialogBatchRun, TheHostsDialogRunEndsByItselfAndLeavesAScreenshot) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tellora-batch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    const std::filesystem::path temp = pattern;
    const std::string command = "env TELLORA_BATCH=1 TELLORA_DIALOG_SCREENSHOT='" + (temp / "shot.png").string() +
                                "' TELLORA_HOSTSIM_STATE='" + (temp / "state").string() + "' TELLORA_DOCUMENTS_DIR='" +
                                temp.string() + "' TELLORA_REGISTRY_ROOT='" + (temp / "registry").string() + "' " +
                                TELLORA_FILTERHOST " run " TELLORA_MODULE " --dialog --in " TELLORA_SAMPLES
                                "/landscape.png --out '" + (temp / "out.png").string() + "'";
    if (!std::getenv("DISPLAY") && !HasXvfb())
        GTEST_SKIP() << "no display";
    const int status = RunOnOwnScreen(command, temp / "run.log");
    const std::string log = ReadFile(temp / "run.log");
    EXPECT_EQ(status, 0) << log;
    EXPECT_NE(log.find("result 0"), std::string::npos) << log;
    EXPECT_EQ(ReadFile(temp / "shot.png").substr(0, 4), "\x89PNG");
    EXPECT_TRUE(std::filesystem::exists(temp / "out.png"));
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
}

}  // namespace dialog_test
