#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/plugin_module.h"
#include "fixture_report.h"
#include "test_support.h"

#include <elf.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

using hostsim::HostError;
using hostsim::HostSession;
using hostsim::PluginModule;
using namespace hostsim_test;

namespace {

int32 FixtureSuiteValue() { return 42; }
const FixtureSuite kFixtureSuite = {&FixtureSuiteValue};

std::string LoadError(const std::string& path) {
    try {
        PluginModule::Load(path);
    } catch (const HostError& e) {
        return e.what();
    }
    return "";
}

// Replaces the first occurrence of `from` at or after `start` by `to` (same length).
void Replace(std::vector<uint8>& bytes, const std::string& from, const std::string& to, std::size_t start = 0) {
    const auto at = std::search(bytes.begin() + start, bytes.end(), from.begin(), from.end());
    ASSERT_NE(at, bytes.end()) << from;
    std::copy(to.begin(), to.end(), at);
}

class FixtureTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = PluginModule::Load(kFixturePath);
        const auto lastReport = reinterpret_cast<FixtureLastReportProc>(module_->FindSymbol("FixtureLastReport"));
        ASSERT_NE(lastReport, nullptr);
        report_ = lastReport();
        session_.basicSuite().Register(kFixtureSuiteName, kFixtureSuiteVersion, &kFixtureSuite);
    }

    int16 Call(int16 selector) { return session_.Call(*module_, selector); }

    std::unique_ptr<PluginModule> module_;
    const FixtureReport* report_ = nullptr;
    HostSession session_;
};

}  // namespace

TEST(PluginModule, RefusesFilesItCannotUse) {
    const std::string text = TempPath("text.8bf");
    WriteBytes(text, {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    EXPECT_NE(LoadError(text).find("not an ELF file"), std::string::npos);
    EXPECT_NE(LoadError(TempPath("missing.8bf")).find("cannot open"), std::string::npos);

    std::vector<uint8> module = ReadBytes(kFixturePath);
    const std::string truncated = TempPath("truncated.8bf");
    WriteBytes(truncated, std::vector<uint8>(module.begin(), module.begin() + module.size() / 2));
    EXPECT_NE(LoadError(truncated).find("truncated"), std::string::npos);

    // An ELF file without a property list.
    EXPECT_NE(LoadError(kTestBinaryPath).find("no plug-in property list"), std::string::npos);

    const std::size_t pipl = FixtureSectionOffset(kPiplSection);
    const std::string notFilter = PatchedFixture("kind.8bf", [&](std::vector<uint8>& b) {
        std::copy_n("XXXX", 4, b.begin() + pipl + 26);  // the 'kind' code
    });
    EXPECT_NE(LoadError(notFilter).find("not a filter plug-in (kind 'XXXX'"), std::string::npos);

    const std::string noEntry = PatchedFixture("entry.8bf", [&](std::vector<uint8>& b) {
        Replace(b, "PluginMain", "PluginMaim", pipl);
    });
    EXPECT_NE(LoadError(noEntry).find("entry point 'PluginMaim' not found"), std::string::npos);

    const std::string noTerminology = PatchedFixture("aete.8bf", [](std::vector<uint8>& b) {
        Replace(b, ".rsrc.AETE.16000", ".rsrc.AETE.16001");
    });
    EXPECT_NE(LoadError(noTerminology).find("names terminology resource 16000"), std::string::npos);

    const std::string relocatable = PatchedFixture("rel.8bf", [](std::vector<uint8>& b) {
        Elf64_Half type = ET_REL;
        std::memcpy(b.data() + offsetof(Elf64_Ehdr, e_type), &type, sizeof type);
    });
    EXPECT_NE(LoadError(relocatable).find("cannot load module"), std::string::npos);
}

TEST_F(FixtureTest, AboutReceivesTheAboutRecord) {
    int window = 0;
    hostsim::HostOptions options;
    options.hostWindow = &window;
    session_.SetOptions(options);
    EXPECT_EQ(Call(filterSelectorAbout), noErr);
    EXPECT_EQ(report_->selector, filterSelectorAbout);
    EXPECT_TRUE(report_->hasPlatformData);
    EXPECT_EQ(report_->hostWindow, &window);
    EXPECT_TRUE(report_->hasBasicSuite);
    EXPECT_EQ(module_->pipl().name, "Fixture...");
    ASSERT_NE(module_->terminology(), nullptr);
}

TEST_F(FixtureTest, SwitchedOffRecordsAreNull) {
    hostsim::HostOptions options;
    options.basicSuite = false;
    options.errorString = false;
    options.bigDocument = false;
    session_.SetOptions(options);
    Call(filterSelectorAbout);
    EXPECT_FALSE(report_->hasBasicSuite);
    Call(filterSelectorParameters);
    EXPECT_FALSE(report_->hasBasicSuite);
    EXPECT_FALSE(report_->hasErrorString);
    EXPECT_FALSE(report_->hasBigDocument);
    EXPECT_TRUE(report_->hasPlatformData);
    EXPECT_EQ(report_->hostWindow, nullptr);
}

TEST_F(FixtureTest, DataAndResultSlotsBehaveAsAHostKeepsThem) {
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(Call(filterSelectorParameters), noErr);
    EXPECT_EQ(report_->dataOnEntry, 1);
    EXPECT_EQ(session_.data(), 2);

    // A selector the plug-in ignores leaves the result as the host set it.
    hostsim::HostOptions options;
    options.initialResult = 77;
    session_.SetOptions(options);
    EXPECT_EQ(Call(42), 77);
    EXPECT_EQ(report_->resultOnEntry, 77);
    EXPECT_EQ(session_.data(), 2);  // new options do not reset the plug-in's data
}

TEST_F(FixtureTest, FilterRecordDescribesTheDocument) {
    hostsim::Document doc;
    doc.width = 40000;
    doc.height = 300;
    doc.mode = plugInModeGray16;
    doc.depth = 16;
    doc.colorPlanes = 1;
    doc.transparency = true;
    session_.SetDocument(doc);
    Call(filterSelectorParameters);
    EXPECT_EQ(report_->width, 40000);
    EXPECT_EQ(report_->height, 300);
    EXPECT_EQ(report_->planes, 2);
    EXPECT_EQ(report_->imageMode, plugInModeGray16);
    EXPECT_EQ(report_->depth, 16);
    EXPECT_EQ(report_->filterCase, filterCaseEditableTransparencyNoSelection);
    // Without the 32-bit record the 16-bit rectangle is all there is; it cannot exceed 32767.
    EXPECT_EQ(session_.filterRecord().filterRect.right, 32767);
    EXPECT_EQ(session_.bigDocument().filterRect32.right, 40000);
}

TEST_F(FixtureTest, SuitesTheModuleAcquiresAreCounted) {
    EXPECT_EQ(Call(filterSelectorPrepare), noErr);
    EXPECT_EQ(report_->suiteValue, 42);
    EXPECT_EQ(session_.basicSuite().OutstandingAcquires(), 0);

    EXPECT_EQ(Call(filterSelectorStart), noErr);  // keeps the suite acquired
    EXPECT_EQ(session_.basicSuite().OutstandingAcquires(), 1);

    session_.basicSuite().SetEnabled(kFixtureSuiteName, false);
    EXPECT_EQ(Call(filterSelectorPrepare), errPlugInHostInsufficient);
    EXPECT_EQ(report_->acquireError, kSPSuiteNotFoundError);
    EXPECT_EQ(session_.basicSuite().Find(kFixtureSuiteName, kFixtureSuiteVersion)->refusals, 1);
}

TEST_F(FixtureTest, ErrorStringCarriesThePluginsText) {
    EXPECT_EQ(Call(filterSelectorFinish), errReportString);
    EXPECT_EQ(session_.ErrorText(), "fixture failed");

    EXPECT_EQ(Call(filterSelectorContinue), errReportString);  // 300 characters, cut to 255
    EXPECT_EQ(session_.ErrorText(), std::string(255, 'x'));
    EXPECT_FALSE(session_.errorStringOverrun());

    EXPECT_EQ(Call(filterSelectorParameters), noErr);  // each call starts with an empty string
    EXPECT_EQ(session_.ErrorText(), "");

    EXPECT_EQ(Call(kFixtureOverrunErrorString), noErr);
    EXPECT_TRUE(session_.errorStringOverrun());
    Call(filterSelectorParameters);
    EXPECT_FALSE(session_.errorStringOverrun());

    hostsim::HostOptions options;
    options.errorString = false;
    session_.SetOptions(options);
    EXPECT_EQ(Call(filterSelectorFinish), userCanceledErr);
    EXPECT_EQ(session_.ErrorText(), "");
}

TEST_F(FixtureTest, CallbacksCanFailOrBeAbsent) {
    using hostsim::CallbackMode;
    using hostsim::HostCallback;
    auto& callbacks = session_.callbacks();
    EXPECT_EQ(Call(filterSelectorStart), noErr);
    EXPECT_EQ(callbacks.Calls(HostCallback::AdvanceState), 1);

    callbacks.Set(HostCallback::AdvanceState, CallbackMode::Failing, memFullErr);
    EXPECT_EQ(Call(filterSelectorStart), memFullErr);
    EXPECT_EQ(callbacks.Calls(HostCallback::AdvanceState), 2);

    callbacks.Set(HostCallback::AdvanceState, CallbackMode::Absent);
    EXPECT_EQ(Call(filterSelectorStart), noErr);
    EXPECT_FALSE(report_->hasAdvanceState);
    EXPECT_EQ(callbacks.Calls(HostCallback::AdvanceState), 2);
}

namespace {
HostSession* seenSession = nullptr;
hostsim::BasicSuite* seenSuite = nullptr;
void RecordingEntry(int16, void*, intptr_t*, int16* result) {
    seenSession = HostSession::Current();
    seenSuite = hostsim::BasicSuite::Active();
    // Callbacks reach the session that is calling.
    HostSession::Current()->filterRecord().progressProc(3, 4);
    *result = noErr;
}
}  // namespace

TEST(HostSession, CallbacksFindTheCallingSessionOnlyDuringTheCall) {
    HostSession session;
    EXPECT_EQ(session.Call(&RecordingEntry, filterSelectorStart), noErr);
    EXPECT_EQ(seenSession, &session);
    EXPECT_EQ(seenSuite, &session.basicSuite());
    EXPECT_EQ(session.progressDone(), 3);
    EXPECT_EQ(session.progressTotal(), 4);
    EXPECT_EQ(HostSession::Current(), nullptr);
    EXPECT_EQ(hostsim::BasicSuite::Active(), nullptr);
    // Outside a call a callback has no session and does nothing.
    session.filterRecord().progressProc(9, 9);
    EXPECT_EQ(session.progressDone(), 3);
    EXPECT_EQ(session.filterRecord().advanceState(), paramErr);
}
