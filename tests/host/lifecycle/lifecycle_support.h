// Shared by the lifecycle tests: the real module, per-test registry and state folders, sessions
// on an empty document, and filterhost runs in a process of their own.
#pragma once
#include "child_process.h"

#include "hostsim/descriptor_registry.h"
#include "hostsim/descriptor_text.h"
#include "hostsim/filter_run.h"
#include "hostsim/host_session.h"
#include "hostsim/plugin_module.h"
#include "hostsim/state_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>  // getpid (also in the Windows C runtime)

namespace lifecycle {

inline const std::string kModulePath = TELLORA_MODULE_PATH;
inline const std::string kFilterHostPath = FILTERHOST_PATH;

// Keys of the filter's scripting terminology.
constexpr DescriptorKeyID kFontSize = FourCC("Wzao");
constexpr DescriptorKeyID kText = FourCC("Wzak");
// The descriptor registry entry the filter keeps its last values under.
inline const std::string kRegistryEntry = "Corvantis Tellora";

// Whether a run can be made without a display, to show that it would need one.
inline bool CanHideDisplay() { return !WithoutDisplayPrefix().empty(); }

// Where the display cannot be taken away, there always is one.
inline bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return !CanHideDisplay() || (display && *display);
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline std::string Describe(const hostsim::RunReport& r) {
    std::string text;
    for (const auto& call : r.calls)
        text += std::string(hostsim::SelectorName(call.selector)) + " " + std::to_string(call.result) + " " + call.errorText + "\n";
    for (const auto& p : r.problems) text += "problem: " + p + "\n";
    for (const auto& n : r.notes) text += "note: " + n + "\n";
    return text;
}

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        // The process id keeps runs of the same test in other builds out of this one's way.
        root_ = ::testing::TempDir() + "lifecycle_" + name + "_" + std::to_string(::getpid());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        registryRoot_ = root_ + "/registry";
        state_ = root_ + "/state";
        // Both reach filterhost processes started by the test, too.
        SetEnvironment("TELLORA_REGISTRY_ROOT", registryRoot_);
        SetEnvironment("TELLORA_HOSTSIM_STATE", state_);
        ClearRegistryStore();
        module_ = hostsim::PluginModule::Load(kModulePath);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // A session on an empty document: no tile is drawn, so only a dialog needs a display. Its
    // descriptor registry is the test's own.
    std::unique_ptr<hostsim::HostSession> NewSession(const hostsim::HostOptions& options = {}) const {
        hostsim::Document document;
        document.width = document.height = 0;
        auto session = std::make_unique<hostsim::HostSession>(options, document);
        session->actionSuites().SetRegistry(hostsim::DescriptorRegistry::ForFile(state_ + "/descriptor-registry.txt"));
        return session;
    }

    hostsim::RunOptions Options() const {
        hostsim::RunOptions o;
        o.stateFolder = state_;
        return o;
    }

    // The plug-in data byte; the handle's master pointer comes first whoever made it.
    static uint8 DataByte(hostsim::HostSession& s) { return **reinterpret_cast<uint8**>(s.data()); }

    // `filterhost run MODULE --size 0x0 ARGS`, without a display when `display` is false (where
    // the platform can take it away).
    ProcessResult FilterHost(const std::string& args, bool display = true) const {
        return RunProcess((display ? "" : WithoutDisplayPrefix()) + QuotedProgram(kFilterHostPath) + " run '" +
                          kModulePath + "' --size 0x0 " + args);
    }

    std::string Path(const std::string& name) const { return root_ + "/" + name; }

    static hostsim::Descriptor ReadRecord(const std::string& path) {
        const auto text = hostsim::ReadStateFile(path);
        if (!text) {
            ADD_FAILURE() << "no record at " << path;
            return {};
        }
        return hostsim::ParseDescriptor(*text, path);
    }

    static double FontSize(const hostsim::Descriptor& d) {
        const hostsim::DescriptorValue* v = d.Find(kFontSize);
        return v ? v->number : -1;
    }

    // Entries of the plug-in's Windows-registry store.
    std::size_t RegistryFiles() const { return RegistryStoreEntries(registryRoot_); }

    std::string root_;
    std::string registryRoot_;
    std::string state_;
    std::unique_ptr<hostsim::PluginModule> module_;
};

}  // namespace lifecycle
