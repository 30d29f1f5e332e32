// The module run by a host that knows the interface only as published byte offsets: About,
// Parameters, Prepare, Start and Finish on an 8-bit RGB document over the classic protocol,
// with no suites. With the default values the bubble's white body sits left of centre.
#include "raw_host.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace raw_abi {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

#ifndef _WIN32
bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}
#endif

// A document without a white pixel anywhere, so the bubble's fill stands out.
Document Pattern() {
    Document d;
    d.width = kWidth;
    d.height = kHeight;
    d.planes = 3;
    d.samples.resize(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = d.At(x, y);
            p[0] = uint8_t(40 + x % 50);
            p[1] = uint8_t(60 + y % 40);
            p[2] = uint8_t(90 + (x + y) % 20);
        }
    return d;
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return int(getpid());
#endif
}

// The module, loaded as a host loads it, and its one export.
class Module {
public:
    Module() {
#ifdef _WIN32
        handle_ = LoadLibraryA(TELLORA_MODULE_PATH);
        if (handle_) entry_ = reinterpret_cast<PluginEntry>(GetProcAddress(handle_, "PluginMain"));
#else
        // Kept mapped after closing, as hosts do, so that the toolkit libraries it pulled in stay too.
        handle_ = dlopen(TELLORA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (handle_) entry_ = reinterpret_cast<PluginEntry>(dlsym(handle_, "PluginMain"));
#endif
    }
    ~Module() {
#ifdef _WIN32
        if (handle_) FreeLibrary(handle_);
#else
        if (handle_) dlclose(handle_);
#endif
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    PluginEntry entry() const { return entry_; }

private:
#ifdef _WIN32
    HMODULE handle_ = nullptr;
#else
    void* handle_ = nullptr;
#endif
    PluginEntry entry_ = nullptr;
};

class RawHostTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        if (!HaveDisplay()) GTEST_SKIP() << "the module's dialog needs a display";
#endif
        // A fresh registry: the filter starts from its default values and runs unattended.
        registry_ = std::filesystem::temp_directory_path() / ("tellora-raw-abi-" + std::to_string(ProcessId()));
        std::filesystem::remove_all(registry_);
        std::filesystem::create_directories(registry_);
        SetEnv("TELLORA_REGISTRY_ROOT", registry_.string());
        SetEnv("TELLORA_BATCH", "1");
    }
    void TearDown() override {
        if (!registry_.empty()) std::filesystem::remove_all(registry_);
    }

    std::filesystem::path registry_;
};

TEST_F(RawHostTest, TheModuleDrawsItsBubbleThroughThePublishedLayout) {
    Module module;
    ASSERT_NE(module.entry(), nullptr) << "cannot load " << TELLORA_MODULE_PATH << " or find PluginMain";
    const Document original = Pattern();
    RawHost host(original);
    // Anything but 0 is a failure to this host: the module must say 0 itself.
    host.presetResult = 1;

    EXPECT_EQ(host.Call(module.entry(), 0), 0) << "About";
    EXPECT_EQ(host.Call(module.entry(), 1), 0) << "Parameters";
    EXPECT_EQ(host.Call(module.entry(), 2), 0) << "Prepare";
    EXPECT_LE(host.record().Get<int32_t>(fr::maxSpace), 64 * 1024 * 1024);
    ASSERT_EQ(host.Call(module.entry(), 3), 0) << "Start";
    EXPECT_GT(host.advanceCalls(), 0) << "the pixels come through advanceState at offset 280";
    EXPECT_GT(host.abortCalls(), 0) << "asked between tiles through abortProc at offset 4";
    EXPECT_EQ(host.Call(module.entry(), 5), 0) << "Finish";
    // The flat parameters, in a handle of the host's at offset 20.
    EXPECT_EQ(host.HandleSize(host.record().Get<char**>(fr::parameters)), 467);
    for (const std::string& problem : host.problems()) ADD_FAILURE() << problem;
    EXPECT_EQ(host.liveBuffers(), 0u);

    // Inside the body, above and below the text: the white fill.
    const Document& out = host.document();
    for (const auto& [x, y] : {std::pair{50, 45}, std::pair{50, 100}, std::pair{20, 72}, std::pair{85, 60}}) {
        const uint8_t* p = out.At(x, y);
        EXPECT_EQ(p[0], 255) << x << "," << y;
        EXPECT_EQ(p[1], 255) << x << "," << y;
        EXPECT_EQ(p[2], 255) << x << "," << y;
    }
    // Far from the bubble nothing changed: the right part, the top and the bottom rows.
    int changed = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (x < 120 && y >= 15 && y < 130) continue;
            for (int c = 0; c < 3; ++c) changed += out.At(x, y)[c] != original.At(x, y)[c];
        }
    EXPECT_EQ(changed, 0);
}

// Bitmap, Indexed colour and modes the interface does not name: Start refuses them before it
// asks for a pixel, and the document stays as it was, even on a host that lends what it has of
// a request for more planes than the document holds.
TEST_F(RawHostTest, ModesWithoutSamplesToFilterAreRefusedBeforeAnyPixelIsAsked) {
    Module module;
    ASSERT_NE(module.entry(), nullptr);
    for (const int16_t mode : {int16_t(0), int16_t(2), int16_t(18), int16_t(-1), int16_t(1000)}) {
        SCOPED_TRACE(mode);
        Document original = Pattern();
        original.planes = 1;
        original.samples.resize(std::size_t(kWidth) * kHeight);
        RawHost host(original);
        host.clampPlanes = true;
        host.record().Put(fr::imageMode, mode);
        host.record().Put(fr::planes, int16_t(1));
        host.record().Put(fr::depth, int32_t(mode == 0 ? 1 : 8));
        EXPECT_EQ(host.Call(module.entry(), 1), 0) << "Parameters";
        EXPECT_EQ(host.Call(module.entry(), 2), 0) << "Prepare";
        EXPECT_EQ(host.Call(module.entry(), 3), -30101) << "Start: filterBadMode";
        EXPECT_EQ(host.advanceCalls(), 0);
        EXPECT_EQ(host.document().samples, original.samples);
        for (const std::string& problem : host.problems()) ADD_FAILURE() << problem;
        EXPECT_EQ(host.liveBuffers(), 0u);
    }
}

}  // namespace
}  // namespace raw_abi
