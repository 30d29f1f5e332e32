#include "hostsim/filter_state.h"
#include "hostsim/host_error.h"
#include "hostsim/state_folder.h"
#include "test_support.h"

#include <cstdlib>

using namespace hostsim;
using hostsim_test::TempPath;

namespace {

std::string ParseError(const std::string& text) {
    try {
        ParseFilterState(text, "f.state");
    } catch (const HostError& e) {
        return e.what();
    }
    return "(no error)";
}

// Sets an environment variable for the scope's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(FilterState, HandlesSurviveTheTextForm) {
    StoredFilterState state;
    state.plugin = "Corvantis-\"Tellora...\"";
    state.data = std::vector<uint8>{1};
    state.parameters.emplace();
    for (int i = 0; i < 467; ++i) state.parameters->push_back(uint8(i * 7));
    const std::string text = FormatFilterState(state);
    EXPECT_EQ(ParseFilterState(text, "t"), state);

    StoredFilterState empty;
    empty.plugin = "p";
    empty.parameters = std::vector<uint8>{};
    EXPECT_EQ(ParseFilterState(FormatFilterState(empty), "t"), empty);

    const std::string path = TempPath("state/f.state");
    SaveFilterState(path, state);
    EXPECT_EQ(LoadFilterState(path), state);
    ForgetFilterState(path);
    EXPECT_EQ(LoadFilterState(path), std::nullopt);
    ForgetFilterState(path);
}

TEST(FilterState, BadFilesAreRefusedWithTheirLine) {
    EXPECT_EQ(ParseError("plugin \"p\"\ndata 0"), "f.state:2: hex bytes come in pairs of digits");
    EXPECT_EQ(ParseError("plugin \"p\"\nparameters 00zz"), "f.state:2: 'zz' is not a hex byte");
    EXPECT_EQ(ParseError("# c\nplugin p"), "f.state:2: the plug-in's name must be in double quotes");
    EXPECT_EQ(ParseError("plugin \"p\"\nplugin \"q\""), "f.state:2: 'plugin' appears twice");
    EXPECT_EQ(ParseError("plugin \"p\"\ndata 01\ndata 00"), "f.state:3: 'data' appears twice");
    EXPECT_EQ(ParseError("plugin \"p\"\nhandle 00"), "f.state:2: unknown entry 'handle' (expected plugin, data or parameters)");
    EXPECT_EQ(ParseError("data 01"), "f.state: no 'plugin' line");
    EXPECT_EQ(ParseError(std::string("plugin \"p\"\ndata \0", 17)), "f.state:2: hex bytes come in pairs of digits");
}

TEST(FilterState, FilesAreNamedSafelyInTheStateFolder) {
    EXPECT_EQ(FilterStatePath("/s", "Corvantis-Tellora..."), "/s/filters/Corvantis-Tellora___.state");
    EXPECT_EQ(FilterStatePath("/s", "../../etc/passwd"), "/s/filters/______etc_passwd.state");
    EXPECT_EQ(FilterStatePath("/s", ""), "/s/filters/_.state");

    {
        ScopedEnv state("TELLORA_HOSTSIM_STATE", "/x/state");
        EXPECT_EQ(StateFolder(), "/x/state");
    }
    ScopedEnv none("TELLORA_HOSTSIM_STATE", nullptr);
    {
        ScopedEnv xdg("XDG_STATE_HOME", "/xdg");
        EXPECT_EQ(StateFolder(), "/xdg/tellora/hostsim");
    }
    ScopedEnv relative("XDG_STATE_HOME", "relative");
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(StateFolder(), "/home/u/.local/state/tellora/hostsim");
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_THROW(StateFolder(), HostError);

    const std::string folderAsFile = TempPath("plain-file");
    WriteStateFile(folderAsFile, "x");
    EXPECT_THROW(WriteStateFile(folderAsFile + "/below", "x"), HostError);
    EXPECT_THROW(ReadStateFile(::testing::TempDir()), HostError) << "a folder is no state file";
}

TEST(FilterState, WhatTheHostWritesItCanReadBack) {
    const std::string path = TempPath("state/large.state");
    std::string contents(kMaxStateFileBytes, 'x');
    WriteStateFile(path, contents);
    EXPECT_EQ(ReadStateFile(path)->size(), kMaxStateFileBytes);

    // One byte more is refused as it is written, not when the next run reads it.
    contents += 'x';
    const std::string over = TempPath("state/over.state");
    try {
        WriteStateFile(over, contents);
        ADD_FAILURE() << "a state file too large to be read back was written";
    } catch (const HostError& e) {
        EXPECT_EQ(std::string(e.what()), "cannot write " + over + ": " + std::to_string(contents.size()) +
                                             " bytes, more than the 64 MiB a state file may hold");
    }
    EXPECT_FALSE(std::filesystem::exists(over));
    std::filesystem::remove(path);
}
