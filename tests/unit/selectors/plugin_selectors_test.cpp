// The real plug-in class through its selectors, with the dialog answered by a stand-in.
#include "filter/dialog_hook.h"
#include "filter/tellora_plugin.h"
#include "host/parameter_handle.h"
#include "selector_support.h"

using namespace Corvantis::Host::PS;
using namespace selectors_test;

namespace {

class PluginSelectorTest : public SelectorTest {
protected:
    int16 RunPlugin(int16 selector) {
        int16 result = 0;
        TelloraPluginPS plugin;
        plugin.Init(&host.record, false, &host.data, &result, kTitle);
        plugin.registryPrefix = kPrefix;
        plugin.Dispatch(selector);
        return result;
    }
    void TearDown() override {
        SetDialogStandIn(nullptr);
        SelectorTest::TearDown();
    }
};

TEST_F(PluginSelectorTest, RepeatedRunUsesTheStoredValuesWithoutADialog) {
    EXPECT_EQ(RunPlugin(filterSelectorParameters), 0);
    *reinterpret_cast<char*>(*reinterpret_cast<Handle>(host.data)) = 0;  // as after an earlier Start
    Parameters values = TableList();
    values.parameters[kParamText].value.text = "stored";
    ASSERT_EQ(FlattenParameters(&values, &host.record), 0);
    const int before = DialogRequestCount();
    EXPECT_EQ(RunPlugin(filterSelectorStart), 0);
    EXPECT_EQ(DialogRequestCount(), before);
    EXPECT_EQ(RunPlugin(filterSelectorFinish), 0);
    EXPECT_EQ(host.registry[kTitle].Find(Corvantis::Host::Param::FourCharCode("Wzak"))->text, "stored");
}

TEST_F(PluginSelectorTest, CancelledDialogLeavesMinus128AndTheOldValues) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the dialog needs a display";
    SetDialogStandIn([](Parameters* list) {
        list->parameters[kParamText].value.text = "thrown away";
        return false;
    });
    EXPECT_EQ(RunPlugin(filterSelectorParameters), 0);
    EXPECT_EQ(RunPlugin(filterSelectorStart), userCanceledErr);
    Parameters stored = TableList();
    UnflattenParameters(&stored, &host.record);
    EXPECT_EQ(stored.parameters[kParamText].value.text, "Text");
    EXPECT_EQ(DataByte(), 0);
}

}  // namespace
