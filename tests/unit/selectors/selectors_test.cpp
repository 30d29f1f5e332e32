// The selector handlers over a fake host: the plug-in data byte, Prepare's memory, Start's
// dialog decision, cancel, persistence, and hosts that fail or lack what is asked of them.
#include "host/descriptor_property.h"
#include "host/fallback_handles.h"
#include "host/host_handles.h"
#include "host/parameter_handle.h"
#include "selector_support.h"
#include "win32/global_memory.h"

#include <vector>

using namespace Corvantis::Host::PS;
using namespace selectors_test;
using fake::Descriptor;
using fake::Site;
using fake::Value;
using Corvantis::Host::Param::FourCharCode;

namespace {

constexpr uint32 kWidthKey = FourCharCode("Wzae");
constexpr uint32 kTextKey = FourCharCode("Wzak");

TEST_F(SelectorTest, ParametersSetsTheDataByteToOneEvenOverAnExistingZero) {
    EXPECT_EQ(Run(filterSelectorParameters), 0);
    ASSERT_NE(host.data, 0);
    EXPECT_EQ(host.Bytes(reinterpret_cast<Handle>(host.data)).size(), 1u);
    EXPECT_EQ(DataByte(), 1);
    EXPECT_EQ(host.LockCount(reinterpret_cast<Handle>(host.data)), 0) << "Dispatch unlocks what was locked";
    EXPECT_EQ(last.parameters.size(), 21u);
    EXPECT_TRUE(host.record.parameters == nullptr) << "the parameters handle is not written here";

    Handle existing = reinterpret_cast<Handle>(host.data);
    *reinterpret_cast<char*>(*existing) = 0;
    EXPECT_EQ(Run(filterSelectorParameters), 0);
    EXPECT_EQ(reinterpret_cast<Handle>(host.data), existing);
    EXPECT_EQ(DataByte(), 1);
}

TEST_F(SelectorTest, StartClearsTheDataByteAndWritesTheFlatHandle) {
    Run(filterSelectorParameters);
    EXPECT_EQ(Run(filterSelectorStart), 0);
    EXPECT_EQ(DataByte(), 0);
    EXPECT_EQ(dialogs, 1) << "the byte was 1";
    EXPECT_EQ(host.Bytes(host.record.parameters).size(), 467u);

    EXPECT_EQ(Run(filterSelectorStart), 0);
    EXPECT_EQ(dialogs, 1) << "a repeat runs without the dialog";
}

TEST_F(SelectorTest, StartAndFinishWithoutDataHandleDoNothingBut30100) {
    for (int16 selector : {filterSelectorStart, filterSelectorFinish}) {
        host.called.clear();
        EXPECT_EQ(Run(selector), filterBadParameters);
        EXPECT_EQ(host.data, 0);
        EXPECT_TRUE(host.record.parameters == nullptr);
        EXPECT_EQ(host.descriptorParameters.descriptor, nullptr);
        EXPECT_TRUE(host.registry.empty());
        EXPECT_TRUE(host.called.empty()) << "no host call was made";
    }
    EXPECT_EQ(dialogs, 0);
}

TEST_F(SelectorTest, PrepareLowersMaxSpaceToTwoTilesOfEveryPlane) {
    host.record.filterRect = {10, 20, 60, 120};  // 100 x 50
    host.record.planes = 3;
    char mask = 0;
    host.record.maskData = &mask;
    host.record.bufferSpace = 99;
    host.record.maxSpace = 1 << 30;
    EXPECT_EQ(Run(filterSelectorPrepare), 0);
    EXPECT_EQ(host.record.maxSpace, 40000);
    EXPECT_EQ(host.record.bufferSpace, 0);

    host.record.maxSpace = 39999;
    Run(filterSelectorPrepare);
    EXPECT_EQ(host.record.maxSpace, 39999) << "a smaller maxSpace stays";

    host.record.filterRect = {0, 0, 3000, 4000};  // capped at 256 x 256
    host.record.maskData = nullptr;
    host.record.planes = 4;
    host.record.maxSpace = 1 << 30;
    Run(filterSelectorPrepare);
    EXPECT_EQ(host.record.maxSpace, 2 * 4 * 256 * 256);

    host.record.filterRect = {50, 50, 0, 0};  // inverted: needs nothing, never negative
    Run(filterSelectorPrepare);
    EXPECT_EQ(host.record.maxSpace, 0);
}

TEST_F(SelectorTest, CancelRestoresTheLoadedValuesIntoTheFlatHandle) {
    Run(filterSelectorParameters);
    Descriptor remembered;
    remembered.Set(kWidthKey, Value::UnitFloat(unitPercent, 250.0));
    host.registry[kTitle] = remembered;
    dialog = [](Parameters* list) {
        list->parameters[kParamEllipseWidth].value.SetFloat(999.0);
        list->parameters[kParamText].value.text = "edited";
        return false;
    };
    EXPECT_EQ(Run(filterSelectorStart), userCanceledErr);
    EXPECT_EQ(last.parameters[kParamEllipseWidth].value.GetFloat(), 250.0);
    EXPECT_EQ(last.parameters[kParamText].value.text, "Text");
    EXPECT_EQ(DataByte(), 0);

    Parameters stored = TableList();
    UnflattenParameters(&stored, &host.record);
    EXPECT_EQ(stored.parameters[kParamEllipseWidth].value.GetFloat(), 250.0);
    EXPECT_EQ(stored.parameters[kParamText].value.text, "Text");
}

TEST_F(SelectorTest, ScriptingPlayInfoDecidesOverTheDataByte) {
    Run(filterSelectorParameters);  // byte 1
    for (int32 playInfo : {plugInDialogDontDisplay, plugInDialogSilent, plugInDialogDisplay}) {
        *reinterpret_cast<char*>(*reinterpret_cast<Handle>(host.data)) = 1;
        Descriptor d;
        d.Set(kTextKey, Value::Text("played"));
        host.descriptorParameters.descriptor = host.NewDescriptorHandle(d);
        host.descriptorParameters.playInfo = playInfo;
        const int before = dialogs;
        EXPECT_EQ(Run(filterSelectorStart), 0);
        EXPECT_EQ(dialogs - before, playInfo == plugInDialogDisplay ? 1 : 0) << "playInfo " << playInfo;
        EXPECT_EQ(last.parameters[kParamText].value.text, "played");
        EXPECT_EQ(host.descriptorParameters.descriptor, nullptr) << "the descriptor is consumed";
    }
    // Without a descriptor the byte decides again, whatever playInfo says.
    host.descriptorParameters.playInfo = plugInDialogDontDisplay;
    *reinterpret_cast<char*>(*reinterpret_cast<Handle>(host.data)) = 1;
    const int before = dialogs;
    Run(filterSelectorStart);
    EXPECT_EQ(dialogs - before, 1);
}

TEST_F(SelectorTest, FinishRegistersAndStartLoadsTheLastValues) {
    Run(filterSelectorParameters);
    dialog = [](Parameters* list) {
        list->parameters[kParamEllipseWidth].value.SetFloat(42.0);
        list->parameters[kParamFontFacename].value.text = "Liberation Sans";
        return true;
    };
    Run(filterSelectorStart);
    dialog = nullptr;
    EXPECT_EQ(Run(filterSelectorFinish), 0);
    ASSERT_EQ(host.registry.count(kTitle), 1u);
    EXPECT_EQ(host.registry[kTitle].Find(kWidthKey)->number, 42.0);
    ASSERT_NE(host.descriptorParameters.descriptor, nullptr);
    EXPECT_EQ(host.descriptorParameters.recordInfo, plugInDialogOptional);
    const Descriptor script = host.ReadDescriptorHandle(host.descriptorParameters.descriptor);
    EXPECT_EQ(script.entries.size(), 21u);
    EXPECT_EQ(script.Find(FourCharCode("Wzat"))->text, "Liberation Sans");

    // A new use of the filter: fresh handles, values from the registry.
    host.DisposeHeldHandles();
    Run(filterSelectorParameters);
    Run(filterSelectorStart);
    EXPECT_EQ(last.parameters[kParamEllipseWidth].value.GetFloat(), 42.0);
    EXPECT_EQ(last.parameters[kParamFontFacename].value.text, "Liberation Sans");

    // A Finish without values in a parameters handle keeps what is remembered, not the defaults.
    HostDisposeHandle(host.record.handleProcs, host.record.parameters);
    host.record.parameters = nullptr;
    EXPECT_EQ(Run(filterSelectorFinish), 0);
    EXPECT_EQ(host.registry[kTitle].Find(kWidthKey)->number, 42.0);
}

TEST_F(SelectorTest, WithoutTheRegistrySuiteTheWindowsRegistryIsUsed) {
    host.absentSuites.insert(kPSDescriptorRegistrySuite);
    Run(filterSelectorParameters);
    dialog = [](Parameters* list) {
        list->parameters[kParamEllipseHeight].value.SetFloat(77.0);
        return true;
    };
    Run(filterSelectorStart);
    dialog = nullptr;
    EXPECT_EQ(Run(filterSelectorFinish), 0);
    EXPECT_TRUE(std::filesystem::exists(folder_ / "registry")) << "the values went to the Windows registry";

    host.DisposeHeldHandles();
    Run(filterSelectorParameters);
    Run(filterSelectorStart);
    EXPECT_EQ(last.parameters[kParamEllipseHeight].value.GetFloat(), 77.0);

    // Without a prefix there is no Windows-registry fallback.
    host.DisposeHeldHandles();
    prefix = nullptr;
    Run(filterSelectorParameters);
    Run(filterSelectorStart);
    EXPECT_EQ(last.parameters[kParamEllipseHeight].value.GetFloat(), 100.0);
}

TEST_F(SelectorTest, AnEmptyDescriptorRegistryLoadsNothingAndDoesNotFallBack) {
    Parameters saved = TableList();
    saved.parameters[kParamEllipseHeight].value.SetFloat(5.0);
    ASSERT_TRUE(saved.SaveToRegistry(kPrefix));
    Run(filterSelectorParameters);
    Run(filterSelectorStart);
    EXPECT_EQ(last.parameters[kParamEllipseHeight].value.GetFloat(), 100.0);
}

TEST_F(SelectorTest, ContinueAsksForNothingMore) {
    host.record.inRect = {1, 2, 3, 4};
    host.record.outRect = {1, 2, 3, 4};
    host.record.maskRect = {1, 2, 3, 4};
    EXPECT_EQ(Run(filterSelectorContinue), 0);
    for (const ::Rect& r : {host.record.inRect, host.record.outRect, host.record.maskRect})
        EXPECT_TRUE(r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0);
    EXPECT_EQ(host.called.count(Site::AdvanceState), 0u);
}

// The whole use of the filter with the host's handle procedures switched off: both handles are
// our own global-memory handles, and the values still travel from Start to Finish.
TEST_F(SelectorTest, LifecycleWithoutHostHandleProcedures) {
    const std::size_t blocks = TelloraGlobalBlockCount();
    host.record.handleProcs = nullptr;
    host.record.descriptorParameters = nullptr;
    EXPECT_EQ(Run(filterSelectorParameters), 0);
    Handle data = reinterpret_cast<Handle>(host.data);
    ASSERT_TRUE(IsFallbackHandle(data));
    EXPECT_EQ(*static_cast<uint8*>(FallbackHandleData(data)), 1);
    EXPECT_EQ(Run(filterSelectorPrepare), 0);
    dialog = [](Parameters* list) {
        list->parameters[kParamText].value.text = "kept in global memory";
        return true;
    };
    EXPECT_EQ(Run(filterSelectorStart), 0);
    EXPECT_EQ(*static_cast<uint8*>(FallbackHandleData(data)), 0);
    ASSERT_TRUE(IsFallbackHandle(host.record.parameters));
    EXPECT_EQ(FallbackGetHandleSize(host.record.parameters), 467 - 5 + 22);
    dialog = nullptr;
    EXPECT_EQ(Run(filterSelectorFinish), 0);
    EXPECT_EQ(last.parameters[kParamText].value.text, "kept in global memory");
    EXPECT_EQ(host.registry[kTitle].Find(kTextKey)->text, "kept in global memory");

    FallbackDisposeHandle(data);
    FallbackDisposeHandle(host.record.parameters);
    host.data = 0;
    host.record.parameters = nullptr;
    EXPECT_EQ(TelloraGlobalBlockCount(), blocks);
}

TEST_F(SelectorTest, ResultsOfTheFallbackHandlesNeverReachTheHost) {
    // A host without handle procedures that passes a parameters handle of its own: the plug-in's
    // fallback handles refuse it (-109), and the host hears that it could not do what was needed.
    host.record.handleProcs = nullptr;
    host.record.descriptorParameters = nullptr;
    EXPECT_EQ(Run(filterSelectorParameters), 0);
    EXPECT_EQ(Run(filterSelectorPrepare), 0);
    host.record.parameters = host.NewHandleWith("the host's own");
    EXPECT_EQ(Run(filterSelectorStart), errPlugInHostInsufficient);
    FallbackDisposeHandle(reinterpret_cast<Handle>(host.data));
    host.data = 0;
}

TEST_F(SelectorTest, DataHandleOfNoBytesIsGrownNotOverrun) {
    host.data = reinterpret_cast<intptr_t>(host.NewHandleWith(""));
    EXPECT_EQ(Run(filterSelectorStart), 0);
    EXPECT_EQ(host.Bytes(reinterpret_cast<Handle>(host.data)), std::string(1, '\0'));
    EXPECT_EQ(dialogs, 1) << "it starts over as a new handle";
}

// Every host callback that the filter's use touches, made to fail one at a time: each selector
// ends with a result code, and no handle, descriptor, token or suite is left behind.
TEST_F(SelectorTest, EachFailingHostCallGivesAResultAndLeaksNothing) {
    auto useOfTheFilter = [this]() {
        std::vector<int16> results;
        host.record.parameters = host.NewHandleWith("left by another version");
        results.push_back(Run(filterSelectorParameters));
        results.push_back(Run(filterSelectorPrepare));
        Descriptor played;
        Descriptor color;
        color.Set(kKeyRed, Value::Float(0.5));
        played.Set(FourCharCode("Wzas"), Value::Object(kClassRGBColor, color));
        played.Set(kTextKey, Value::Text("played"));
        played.Set(FourCharCode("Wzam"), Value::UnitFloat(unitDistance, 3.0));
        played.Set(FourCharCode("Wzaa"), Value::Enumerated(FourCharCode("Wzab"), FourCharCode("Wzad")));
        played.Set(FourCharCode("Wzar"), Value::Boolean(false));
        played.Set(FourCharCode("Wzax"), Value::Integer(700));
        played.Set(FourCharCode("Wzah"), Value::Float(3.0));
        host.descriptorParameters.descriptor = host.NewDescriptorHandle(played);
        results.push_back(Run(filterSelectorStart));
        results.push_back(Run(filterSelectorContinue));
        results.push_back(Run(filterSelectorFinish));
        return results;
    };

    // A first use without faults finds the sites the filter touches.
    Descriptor remembered;
    remembered.Set(FourCharCode("Wzav"), Value::Integer(3));
    host.registry[kTitle] = remembered;
    for (int16 r : useOfTheFilter()) EXPECT_EQ(r, 0);
    const std::set<Site> sites = host.called;
    for (Site site : {Site::NewHandle, Site::SetHandleSize, Site::GetHandleSize, Site::LockHandle, Site::OpenRead,
                      Site::GetText, Site::GetObject, Site::GetUnitFloat, Site::CloseRead, Site::OpenWrite,
                      Site::PutText, Site::PutObject, Site::CloseWrite, Site::AcquireRegistry, Site::RegistryGet,
                      Site::RegistryRegister, Site::DescriptorMake, Site::DescriptorPut, Site::DescriptorGet,
                      Site::ControlGet, Site::ReferenceMake})
        EXPECT_EQ(sites.count(site), 1u) << "not reached: " << fake::SiteName(site);

    for (Site site : sites) {
        SCOPED_TRACE(fake::SiteName(site));
        host.DisposeHeldHandles();
        host.registry[kTitle] = remembered;
        host.called.clear();
        host.FailAt(site);
        // A scripted read or a recording the host failed ends with the host's own code, or with
        // -30900 when no descriptor could be opened for the recording.
        for (int16 r : useOfTheFilter()) {
            EXPECT_TRUE(r == 0 || r == memFullErr || r == filterBadParameters || r == fake::kFailureCode ||
                        r == errPlugInHostInsufficient)
                << r;
        }
        host.hasFault = false;
        host.DisposeHeldHandles();
        EXPECT_EQ(host.LiveHandles(), 0u);
        EXPECT_TRUE(host.Balanced());
    }
}

}  // namespace
