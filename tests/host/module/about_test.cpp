#include "hostsim/host_session.h"
#include "hostsim/plugin_module.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The toolkit's application instance, read from the toolkit library the module loaded.
void* ToolkitAppInstance() {
    void* library = dlopen("libwx_baseu-3.2.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!library) return nullptr;
    auto** instance = static_cast<void**>(dlsym(library, "_ZN17wxAppConsoleBase13ms_appInstanceE"));
    dlclose(library);
    return instance ? *instance : nullptr;
}

TEST(AboutSelector, TwoCallsInOneProcessEachShowTheBoxAndStopTheToolkit) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "needs a display";
    const auto log = std::filesystem::temp_directory_path() / ("tellora-about-" + std::to_string(getpid()));
    std::filesystem::remove(log);
    setenv("TELLORA_MESSAGEBOX_LOG", log.c_str(), 1);

    auto module = hostsim::PluginModule::Load(TELLORA_MODULE_PATH);
    hostsim::HostSession session;
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(session.Call(*module, filterSelectorAbout), 0);
        void* toolkit = dlopen("libwx_baseu-3.2.so.0", RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(toolkit, nullptr) << "the module brings the toolkit in";
        dlclose(toolkit);
        EXPECT_EQ(ToolkitAppInstance(), nullptr) << "the toolkit is stopped at the end of every call";
    }
    unsetenv("TELLORA_MESSAGEBOX_LOG");

    const std::string boxes = ReadFile(log);
    std::filesystem::remove(log);
    EXPECT_EQ(Count(boxes, "caption: Tellora\n"), 2u) << boxes;
    EXPECT_EQ(Count(boxes, "toolkit: ready\n"), 2u) << "each call started the toolkit: " << boxes;
    EXPECT_EQ(Count(boxes, "text:\nTellora 1.0\n"), 2u) << boxes;
}

TEST(AboutSelector, FilterhostPrintsTheBoxWithoutAnInteractiveDisplay) {
    const std::string command = std::string(FILTERHOST_PATH) + " about " + TELLORA_MODULE_PATH + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) output += buffer;
    const int status = pclose(pipe.release());
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[Tellora]\nTellora 1.0\n"), std::string::npos) << output;
    EXPECT_NE(output.find("result 0"), std::string::npos) << output;
}

}  // namespace
