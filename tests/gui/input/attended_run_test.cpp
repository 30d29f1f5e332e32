// The dialog in a host with nobody at a terminal, as in every image editor on Windows: the host
// has no console, its standard input is a regular file and it did not ask for a batch run. The
// dialog stays until the user answers it; here the test is the user, clicking OK or Cancel on
// the screen with the system's own input. Runs on Linux with filterhost and, under wine, with a
// filterhost built as a GUI-subsystem program.
#include "hostsim/png_io.h"
#include "tests/host/lifecycle/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using lifecycle::BackgroundProcess;
using lifecycle::QuotedProgram;

constexpr int kOk = 5100;      // the dialog's OK and Cancel buttons
constexpr int kCancel = 5101;

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The control `id` in the map the plug-in writes once its dialog is on screen
// (TELLORA_DIALOG_MAP): one line per control, "id x y width height label".
std::optional<ScreenRect> FindInMap(const std::filesystem::path& map, int id) {
    std::ifstream in(map);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        int found = 0;
        ScreenRect r;
        if (fields >> found >> r.x >> r.y >> r.width >> r.height && found == id) return r;
    }
    return std::nullopt;
}

// Sets the variables for the programs the test starts, and puts them back afterwards.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        Remember(name);
        lifecycle::SetEnvironment(name, value);
    }
    void Unset(const char* name) {
        Remember(name);
        lifecycle::UnsetEnvironment(name);
    }
    ~ScopedEnvironment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                lifecycle::SetEnvironment(it->first.c_str(), *it->second);
            else
                lifecycle::UnsetEnvironment(it->first.c_str());
        }
    }

private:
    void Remember(const char* name) {
        const char* value = std::getenv(name);
        saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

template <class Done>
bool WaitFor(Done done, int boundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

class AttendedRun : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("tellora-attended-" + std::to_string(GetParam()) + "-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
};

TEST_P(AttendedRun, TheDialogWaitsForTheUserInAHostWithoutATerminal) {
    const int button = GetParam();
    const auto map = folder / "map", input = folder / "stdin.txt", log = folder / "run.log",
               out = folder / "out.png";
    std::ofstream(input) << "a host's standard input is no terminal\n";
    ScopedEnvironment environment;
    environment.Unset("TELLORA_BATCH");
    environment.Set("TELLORA_DIALOG_MAP", map.string());
    environment.Set("TELLORA_HOSTSIM_STATE", (folder / "state").string());
    environment.Set("TELLORA_REGISTRY_ROOT", (folder / "registry").string());
    environment.Set("TELLORA_DOCUMENTS_DIR", (folder / "documents").string());

    BackgroundProcess host(QuotedProgram(TELLORA_ATTENDED_HOST) + " run " + QuotedProgram(TELLORA_MODULE) +
                               " --dialog --in " + QuotedProgram(TELLORA_SAMPLE) + " --out " +
                               QuotedProgram(out.string()),
                           input.string(), log.string());
    ASSERT_TRUE(host.Started());
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(map) || !host.Running(); }, 90000))
        << "the dialog did not come up: " << host.Output();
    ASSERT_TRUE(std::filesystem::exists(map)) << "the run ended without showing the dialog: " << host.Output();

    // A person takes their time: five seconds on, the dialog is still waiting.
    EXPECT_FALSE(WaitFor([&] { return !host.Running(); }, 5000));
    ASSERT_TRUE(host.Running()) << "the dialog ended without an answer: " << host.Output();

    const std::optional<ScreenRect> target = FindInMap(map, button);
    ASSERT_TRUE(target) << "no button " << button << " in the dialog's map";
    ASSERT_TRUE(lifecycle::ClickScreenAt(target->x + target->width / 2, target->y + target->height / 2));
    const lifecycle::ProcessResult run = host.Wait(60000);

    const hostsim::PngImage before = hostsim::ReadPng(TELLORA_SAMPLE);
    // Inside the default bubble (an ellipse 100 pixels wide at 1 % and 15 %), below its text.
    const int x = before.width / 100 + 50, y = before.height * 15 / 100 + 80;
    ASSERT_NE(before.at(x, y, 0) + before.at(x, y, 1) + before.at(x, y, 2), 3 * 255);
    if (button == kOk) {
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("result 0\n"), std::string::npos) << run.output;
        ASSERT_TRUE(std::filesystem::exists(out)) << run.output;
        const hostsim::PngImage after = hostsim::ReadPng(out.string());
        for (int c = 0; c < 3; ++c) EXPECT_EQ(after.at(x, y, c), 255) << "the bubble's white fill, channel " << c;
    } else {
        EXPECT_NE(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("result -128\n"), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << "a cancelled run wrote the document";
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, AttendedRun, ::testing::Values(kOk, kCancel),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == kOk ? "Ok" : "Cancel");
                         });

}  // namespace
