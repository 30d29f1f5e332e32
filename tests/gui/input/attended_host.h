// A host run with the plug-in's dialog up and a user in front of it, for the tests that answer
// the dialog from outside as a person would: filterhost (on Windows a GUI-subsystem build of it)
// in a process of its own, no batch run asked for, standard input a regular file, and the map of
// the dialog's controls on screen (TELLORA_DIALOG_MAP) to find where to click.
#pragma once
#include "tests/host/lifecycle/child_process.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace attended {

constexpr int kOk = 5100;  // the dialog's buttons and fields by window id
constexpr int kCancel = 5101;
constexpr int kPreview = 10000;
constexpr int kZoomText = 10005;
constexpr int kZoomIn = 10006;
constexpr int kWidthText = 10010;
constexpr int kHeightText = 10014;
constexpr int kText = 10016;

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
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

// The colour of the screen's pixel (x, y) as a person sees it: 0xRRGGBB.
inline unsigned ScreenColourAt(int x, int y) {
#ifdef _WIN32
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return unsigned(GetRValue(c)) << 16 | unsigned(GetGValue(c)) << 8 | GetBValue(c);
#else
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    XImage* shot = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned colour = shot ? unsigned(XGetPixel(shot, 0, 0)) & 0xFFFFFFu : 0;
    if (shot) XDestroyImage(shot);
    XCloseDisplay(display);
    return colour;
#endif
}

// Sets variables for the programs the test starts, and puts them back afterwards.
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

class AttendedHost {
public:
    // Starts `filterhost run MODULE --dialog --in SAMPLE ARGS` with its files in `folder`.
    AttendedHost(const std::filesystem::path& folder, const std::string& args) : folder_(folder) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "stdin.txt") << "a host's standard input is no terminal\n";
        environment_.Unset("TELLORA_BATCH");
        environment_.Set("TELLORA_DIALOG_MAP", (folder / "map").string());
        environment_.Set("TELLORA_HOSTSIM_STATE", (folder / "state").string());
        environment_.Set("TELLORA_REGISTRY_ROOT", (folder / "registry").string());
        environment_.Set("TELLORA_DOCUMENTS_DIR", (folder / "documents").string());
        process_ = std::make_unique<lifecycle::BackgroundProcess>(
            lifecycle::QuotedProgram(TELLORA_ATTENDED_HOST) + " run " + lifecycle::QuotedProgram(TELLORA_MODULE) +
                " --dialog --in " + lifecycle::QuotedProgram(TELLORA_SAMPLE) + " " + args,
            (folder / "stdin.txt").string(), (folder / "run.log").string());
    }

    lifecycle::BackgroundProcess& process() { return *process_; }

    // Waits until the dialog is on screen (its map written); false when the run ended first.
    bool WaitForDialog() {
        const auto map = folder_ / "map";
        WaitFor([&] { return std::filesystem::exists(map) || !process_->Running(); }, 90000);
        return std::filesystem::exists(map);
    }

    // Where the control `id` is on screen, from the dialog's map: "id x y width height label".
    std::optional<ScreenRect> Find(int id) const {
        std::ifstream in(folder_ / "map");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            int found = 0;
            ScreenRect r;
            if (fields >> found >> r.x >> r.y >> r.width >> r.height && found == id) return r;
        }
        return std::nullopt;
    }

    // Clicks the middle of the control `id` with the system's own input.
    bool Click(int id) const {
        const std::optional<ScreenRect> r = Find(id);
        return r && lifecycle::ClickScreenAt(r->x + r->width / 2, r->y + r->height / 2);
    }

private:
    std::filesystem::path folder_;
    ScopedEnvironment environment_;
    std::unique_ptr<lifecycle::BackgroundProcess> process_;
};

// A folder of the test's own under the temporary folder, removed afterwards.
class AttendedTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name) {
            if (c == '/') c = '-';
        }
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("tellora-" + name + "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
};

}  // namespace attended
