// Shared pieces of the selector tests: a plug-in with the real parameter table and a dialog the
// test answers, a fixture with a fake host and a private registry folder.
#pragma once
#include "fake_host.h"
#include "filter/parameter_table.h"
#include "host/host.h"
#include "param/ps_parameters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace selectors_test {

using Corvantis::Host::PS::Parameters;
constexpr char kTitle[] = "Corvantis Tellora";
constexpr char kPrefix[] = "Software\\Corvantis\\Tellora\\";

struct TestPlugin : Corvantis::Host::PS::Host {
    std::function<bool(Parameters*)> dialog;
    int dialogs = 0;
    bool RunDialog(Parameters* list) override {
        ++dialogs;
        return dialog ? dialog(list) : true;
    }
    void DefineParameters(Parameters* list) override { AppendTelloraParameters(*list); }
    void RenderTile(Parameters*, Corvantis::Host::PS::ImageBuffer&, Corvantis::Host::PS::ImageBuffer&,
                    Corvantis::Host::PS::ImageBuffer&, Corvantis::Host::PS::ImageBuffer*) override {}
};

// The 21 records with their defaults.
inline Parameters TableList() {
    Parameters list;
    AppendTelloraParameters(list);
    return list;
}

class SelectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "tellora-sel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
        folder_ = pattern;
        ::setenv("TELLORA_REGISTRY_ROOT", (folder_ / "registry").c_str(), 1);
    }
    void TearDown() override {
        host.DisposeHeldHandles();
        EXPECT_EQ(host.LiveHandles(), 0u) << "handles leaked";
        EXPECT_TRUE(host.Balanced()) << "suites, descriptors or tokens left over";
        EXPECT_EQ(host.BadHandleCalls(), 0) << "a handle call with a handle the host never gave out";
        ::unsetenv("TELLORA_REGISTRY_ROOT");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // One selector call with a fresh plug-in object, as the entry point makes it. Returns the
    // result slot; `last` keeps the values the plug-in held at the end of the call.
    int16 Run(int16 selector) {
        int16 result = 0;
        TestPlugin plugin;
        plugin.dialog = dialog;
        plugin.Init(&host.record, false, &host.data, &result, kTitle);
        plugin.registryPrefix = prefix;
        plugin.Dispatch(selector);
        dialogs += plugin.dialogs;
        if (plugin.params) last = *plugin.params;
        else last = Parameters{};
        return result;
    }

    uint8 DataByte() const {
        const std::string bytes = host.Bytes(reinterpret_cast<Handle>(host.data));
        return bytes.empty() ? 0xFF : uint8(bytes[0]);
    }

    fake::Host host;
    std::function<bool(Parameters*)> dialog;
    const char* prefix = kPrefix;
    int dialogs = 0;
    Parameters last;
    std::filesystem::path folder_;
};

}  // namespace selectors_test
