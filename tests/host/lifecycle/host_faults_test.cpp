// Every host callback and suite function failing, or missing, one at a time: the plug-in
// answers with a result code, gives back what it borrowed, and the next run works again.
// Under the sanitizer build any memory the plug-in loses shows at the test's exit.
#include "lifecycle_support.h"

#include "hostsim/action_suites.h"

#include <set>

using namespace hostsim;
using namespace lifecycle;

namespace {

struct Fault {
    std::string name;  // a CallbackTable name, "Suite.Function", or a suite's short name
    CallbackMode mode;
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name << (f.mode == CallbackMode::Failing ? " failing" : " absent"); }

std::vector<Fault> AllFaults() {
    std::vector<Fault> faults;
    for (std::size_t i = 0; i < CallbackTable::kCount; ++i) {
        faults.push_back({CallbackTable::Name(HostCallback(i)), CallbackMode::Failing});
        faults.push_back({CallbackTable::Name(HostCallback(i)), CallbackMode::Absent});
    }
    for (const std::string& name : ActionSuiteFunctionNames()) {
        faults.push_back({name, CallbackMode::Failing});
        faults.push_back({name, CallbackMode::Absent});
    }
    for (const ActionSuiteInfo& suite : ActionSuiteInfos()) faults.push_back({suite.shortName, CallbackMode::Absent});
    return faults;
}

std::string TestName(const ::testing::TestParamInfo<Fault>& info) {
    std::string name = info.param.name + (info.param.mode == CallbackMode::Failing ? "_failing" : "_absent");
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

// Faults after which the host, not the plug-in, keeps what was lent: a dispose or free that
// does nothing, and handle procs the plug-in does not count as usable (it then disposes the
// host's handles with its own, which cannot free them).
bool HostKeepsWhatWasLent(const Fault& f) {
    static const std::set<std::string> disposers = {"disposeHandle", "disposeRegularHandle", "ActionDescriptor.Free",
                                                    "ActionReference.Free"};
    static const std::set<std::string> required = {"newHandle", "disposeHandle", "getHandleSize", "setHandleSize"};
    return disposers.count(f.name) || (f.mode == CallbackMode::Absent && required.count(f.name));
}

class HostFaults : public LifecycleTest, public ::testing::WithParamInterface<Fault> {
protected:
    void Apply(HostSession& s, const Fault& f, bool faulty = true) {
        const CallbackMode mode = faulty ? f.mode : CallbackMode::Normal;
        if (const auto callback = CallbackTable::FromName(f.name)) {
            s.callbacks().Set(*callback, mode, memFullErr);
        } else if (f.name.find('.') != std::string::npos) {
            s.callbacks().SetSuiteFunction(f.name, mode, -1);
        } else {
            s.basicSuite().SetEnabled(SuiteIdFor(f.name), !faulty);
        }
        s.ResetFilterRecord();
    }

    RunOptions Scripted() const {
        RunOptions o = Options();
        o.settings = {{"fontSize", "30"}, {"Text", "Hi"}, {"TextColor", "255,0,0"}, {"ellipseChoice", "Rectangle"}};
        o.playInfo = plugInDialogDontDisplay;
        return o;
    }
};

}  // namespace

TEST_P(HostFaults, GiveAResultCodeAndLeakNothing) {
    const Fault fault = GetParam();
    auto s = NewSession();
    Apply(*s, fault);
    FilterRun run(*module_, *s);
    const RunReport r = run.Run(Scripted());
    ASSERT_FALSE(r.calls.empty());
    EXPECT_EQ(r.succeeded, r.result == noErr) << Describe(r);
    if (!r.succeeded) {
        EXPECT_NE(r.result, noErr);
    }

    // Faults whose result the plug-in's rules fix.
    if (fault.mode == CallbackMode::Failing && (fault.name == "newHandle" || fault.name == "lockHandle")) {
        EXPECT_EQ(r.calls.front().selector, filterSelectorParameters);
        EXPECT_EQ(r.result, memFullErr) << Describe(r);
    }

    if (!HostKeepsWhatWasLent(fault)) {
        for (const std::string& p : r.problems) {
            EXPECT_FALSE(Contains(p, "undisposed") || Contains(p, "did not free") || Contains(p, "acquired") ||
                         Contains(p, "tokens open"))
                << p << "\n" << Describe(r);
        }
        EXPECT_EQ(s->LeakedHandles(), 0u) << Describe(r);
    }
    EXPECT_EQ(s->basicSuite().OutstandingAcquires(), 0) << Describe(r);
    EXPECT_EQ(s->basicSuite().strayReleases(), 0);

    // With the host whole again, the filter runs.
    s = NewSession();
    FilterRun again(*module_, *s);
    const RunReport healed = again.Run(Scripted());
    EXPECT_TRUE(healed.succeeded) << Describe(healed);
}

INSTANTIATE_TEST_SUITE_P(Each, HostFaults, ::testing::ValuesIn(AllFaults()), TestName);

// The values a use remembers (in the parameters handle the host keeps and in the descriptor
// registry) outlive a use on a faulty host: that use either ends with the host's error or
// goes on with the values it had, and never puts defaults, or colours it could not read, in
// their place.
TEST_P(HostFaults, NeverReplaceTheRememberedValues) {
    const Fault fault = GetParam();
    auto s = NewSession();
    FilterRun run(*module_, *s);
    const RunReport remembered = run.Run(Scripted());
    ASSERT_TRUE(remembered.succeeded) << Describe(remembered);

    Apply(*s, fault);
    RunOptions faulty = Options();
    faulty.settings = {{"Text", "New"}};
    faulty.playInfo = plugInDialogDontDisplay;
    const RunReport r = run.Run(faulty);

    Apply(*s, fault, false);
    const RunReport next = run.Run(Options());
    ASSERT_TRUE(next.succeeded) << Describe(r) << Describe(next);
    ASSERT_TRUE(next.recorded);
    const Descriptor& d = *next.recorded;
    EXPECT_EQ(FontSize(d), 30.0) << Describe(r);
    const std::string text = d.Find(kText)->text;
    EXPECT_TRUE(text == "Hi" || text == "New") << text << "\n" << Describe(r);
    EXPECT_EQ(d.Find(FourCC("Wzaa"))->enumValue, FourCC("Wzad")) << "the rectangle";
    const DescriptorValue* colour = d.Find(FourCC("Wzal"));
    ASSERT_TRUE(colour && colour->type == typeObject);
    EXPECT_EQ(colour->AsObject().Find(FourCC("Rd  "))->number, 1.0) << "red text\n" << Describe(r);
}
