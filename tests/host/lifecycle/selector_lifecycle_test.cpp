// The plug-in's state across the selector calls of one session: the data byte, the
// parameters handle, and a host without handle procs.
#include "lifecycle_support.h"

#include "hostsim/descriptor_registry.h"

using namespace hostsim;
using namespace lifecycle;

namespace {
class SelectorLifecycle : public LifecycleTest {};
}  // namespace

TEST_F(SelectorLifecycle, TheDataByteIsOneAfterParametersAndZeroAfterStart) {
    auto s = NewSession();
    ASSERT_EQ(s->Call(*module_, filterSelectorParameters), noErr) << s->ErrorText();
    const Handle data = reinterpret_cast<Handle>(s->data());
    ASSERT_TRUE(s->handles().Owns(data));
    EXPECT_EQ(s->handles().Size(data), 1);
    EXPECT_EQ(DataByte(*s), 1);
    EXPECT_TRUE(s->filterRecord().parameters == nullptr) << "Parameters writes no parameters handle";

    ASSERT_EQ(s->Call(*module_, filterSelectorPrepare), noErr);
    // A played action that asks for no dialog, so Start needs no display.
    // A percent value given in points stays as it is whatever the resolution: the plug-in asks
    // for the resolution, but does not scale a percent by it.
    Document document = s->document();
    document.resolution = 300;
    s->SetDocument(document);
    Descriptor script;
    script.Put(kFontSize, DescriptorValue::Float(20));
    script.Put(FourCC("Wzae"), DescriptorValue::UnitFloat(unitDistance, 10));
    ASSERT_TRUE(s->scriptDescriptors().Offer(s->handles(), script, plugInDialogDontDisplay));
    ASSERT_EQ(s->Call(*module_, filterSelectorStart), noErr) << s->ErrorText();
    EXPECT_EQ(DataByte(*s), 0);
    EXPECT_EQ(s->filterRecord().descriptorParameters->descriptor, nullptr) << "Start consumes the descriptor";
    // The defaults, flattened: 19 values of 24 bytes and the texts "Text" and "Arial".
    EXPECT_EQ(s->handles().Size(s->filterRecord().parameters), 19 * 24 + 5 + 6);

    ASSERT_EQ(s->Call(*module_, filterSelectorFinish), noErr);
    EXPECT_EQ(DataByte(*s), 0);
    const auto returned = DescriptorFromHandle(s->handles(), s->filterRecord().descriptorParameters->descriptor);
    ASSERT_TRUE(returned) << "Finish returns a descriptor";
    EXPECT_EQ(FontSize(*returned), 20.0);
    EXPECT_EQ(*returned->Find(FourCC("Wzae")), DescriptorValue::UnitFloat(unitPercent, 10));

    ASSERT_EQ(s->Call(*module_, filterSelectorParameters), noErr);
    EXPECT_EQ(reinterpret_cast<Handle>(s->data()), data) << "the existing handle is used again";
    EXPECT_EQ(DataByte(*s), 1);
    // Between calls the plug-in holds nothing locked and nothing it has not handed back.
    EXPECT_EQ(s->handles().LockCount(data), 0);
    EXPECT_EQ(s->handles().LockCount(s->filterRecord().parameters), 0);
    EXPECT_EQ(s->LeakedHandles(), 0u);
    EXPECT_EQ(s->basicSuite().OutstandingAcquires(), 0);
    EXPECT_GE(s->callbacks().SuiteFunctionCalls("ActionControl.Get"), 1) << "the resolution is looked up";
    EXPECT_TRUE(s->problems().empty()) << s->problems().entries().front();
}

TEST_F(SelectorLifecycle, StartAndFinishWithoutTheDataHandleGiveBadParameters) {
    auto s = NewSession();
    EXPECT_EQ(s->Call(*module_, filterSelectorStart), filterBadParameters);
    EXPECT_EQ(s->Call(*module_, filterSelectorFinish), filterBadParameters);
    EXPECT_EQ(s->data(), 0);
    EXPECT_TRUE(s->filterRecord().parameters == nullptr);
    EXPECT_EQ(s->handles().Outstanding(), 0u);
    EXPECT_EQ(s->basicSuite().OutstandingAcquires(), 0);
}

// Hosts that pre-set the result slot (one editor sets 1 before About) and read anything but 0
// as a failure: every selector the plug-in knows answers for itself, and only others leave it.
TEST_F(SelectorLifecycle, EverySelectorSetsTheResultWhateverTheHostPreSet) {
    for (const int16 preset : {int16(1), int16(-1)}) {
        SCOPED_TRACE(preset);
        HostOptions options;
        options.initialResult = preset;
        auto s = NewSession(options);
        EXPECT_EQ(s->Call(*module_, filterSelectorStart), filterBadParameters) << "no data handle yet";
        EXPECT_EQ(s->Call(*module_, filterSelectorFinish), filterBadParameters);
        EXPECT_EQ(s->Call(*module_, filterSelectorAbout), noErr);
        EXPECT_EQ(s->Call(*module_, filterSelectorParameters), noErr);
        EXPECT_EQ(s->Call(*module_, filterSelectorPrepare), noErr);
        ASSERT_TRUE(s->scriptDescriptors().Offer(s->handles(), Descriptor{}, plugInDialogDontDisplay));
        EXPECT_EQ(s->Call(*module_, filterSelectorStart), noErr) << s->ErrorText();
        EXPECT_EQ(s->Call(*module_, filterSelectorContinue), noErr);
        EXPECT_EQ(s->Call(*module_, filterSelectorFinish), noErr);
        for (const int16 unknown : {int16(6), int16(-1), int16(1000)})
            EXPECT_EQ(s->Call(*module_, unknown), preset) << "selector " << unknown;
    }
}

TEST_F(SelectorLifecycle, ARepeatedUseKeepsTheValuesWithoutAskingAgain) {
    auto s = NewSession();
    FilterRun run(*module_, *s);
    RunOptions first = Options();
    first.settings = {{"fontSize", "30"}, {"Text", "Hi"}};
    first.playInfo = plugInDialogDontDisplay;
    const RunReport r1 = run.Run(first);
    ASSERT_TRUE(r1.succeeded) << Describe(r1);
    EXPECT_TRUE(r1.Called(filterSelectorParameters));
    ASSERT_TRUE(r1.recorded);
    EXPECT_EQ(FontSize(*r1.recorded), 30.0);
    EXPECT_EQ(r1.recorded->Find(kText)->text, "Hi");

    // Nothing scripted: the data byte (0) decides, so no dialog and no display are needed.
    const RunReport r2 = run.Run(Options());
    ASSERT_TRUE(r2.succeeded) << Describe(r2);
    EXPECT_FALSE(r2.Called(filterSelectorParameters));
    ASSERT_TRUE(r2.recorded);
    EXPECT_EQ(FontSize(*r2.recorded), 30.0);
    EXPECT_TRUE(r2.problems.empty()) << Describe(r2);
}

TEST_F(SelectorLifecycle, TheWholeLifecycleWorksWithoutHandleProcs) {
    HostOptions options;
    options.handleProcs = false;
    auto s = NewSession(options);
    FilterRun run(*module_, *s);
    RunOptions first = Options();
    first.settings = {{"fontSize", "30"}};
    first.playInfo = plugInDialogDontDisplay;
    const RunReport r1 = run.Run(first);
    ASSERT_TRUE(r1.succeeded) << Describe(r1);
    EXPECT_TRUE(r1.Called(filterSelectorParameters));
    // The plug-in made its own handles for its data and parameters.
    ASSERT_NE(s->data(), 0);
    EXPECT_FALSE(s->handles().Owns(reinterpret_cast<Handle>(s->data())));
    EXPECT_TRUE(s->filterRecord().parameters != nullptr);
    EXPECT_FALSE(s->handles().Owns(s->filterRecord().parameters));
    EXPECT_EQ(DataByte(*s), 0);

    const RunReport r2 = run.Run(Options());
    ASSERT_TRUE(r2.succeeded) << Describe(r2);
    EXPECT_FALSE(r2.Called(filterSelectorParameters));
    EXPECT_EQ(DataByte(*s), 0);
    const auto entry = s->actionSuites().registry().Get(kRegistryEntry);
    ASSERT_TRUE(entry);
    EXPECT_EQ(FontSize(*entry), 30.0);
    // What the host lent and the plug-in could not give back was reclaimed.
    EXPECT_EQ(s->handles().Outstanding(), 0u);
    EXPECT_EQ(s->basicSuite().OutstandingAcquires(), 0);
}

// Without handle procs the plug-in cannot size the host's text handle: that is no empty text
// to draw and remember, and the text the descriptor registry holds survives.
TEST_F(SelectorLifecycle, AHostWithoutHandleProcsDoesNotLoseTheRememberedText) {
    RunOptions text = Options();
    text.settings = {{"Text", "Kept"}};
    text.playInfo = plugInDialogDontDisplay;
    auto s = NewSession();
    ASSERT_TRUE(FilterRun(*module_, *s).Run(text).succeeded);

    HostOptions withoutProcs;
    withoutProcs.handleProcs = false;
    s = NewSession(withoutProcs);
    text.settings = {{"Text", "New"}};
    const RunReport lost = FilterRun(*module_, *s).Run(text);

    s = NewSession();
    RunOptions plain = Options();
    plain.playInfo = plugInDialogDontDisplay;
    const RunReport next = FilterRun(*module_, *s).Run(plain);
    ASSERT_TRUE(next.succeeded) << Describe(next);
    const std::string kept = next.recorded->Find(kText)->text;
    EXPECT_TRUE(kept == "Kept" || (lost.succeeded && kept == "New")) << kept << "\n" << Describe(lost);
}
