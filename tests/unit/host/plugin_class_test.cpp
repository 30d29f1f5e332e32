#include "filter/dialog_hook.h"
#include "filter/tellora_plugin.h"
#include "param/ps_parameters.h"
#include "win32/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace Corvantis::Host::PS;

namespace {

bool HaveDisplay() { return std::getenv("DISPLAY") != nullptr; }

TEST(TelloraPlugin, AboutBoxIsOwnedByTheAboutRecordsWindow) {
    std::vector<MessageBoxRecord> boxes;
    SetMessageBoxObserver([&](const MessageBoxRecord& box) {
        boxes.push_back(box);
        return IDOK;
    });
    int window = 0;
    PlatformData platform{&window};
    AboutRecord about{};
    about.platformData = &platform;
    intptr_t data = 0;
    int16 result = 7;
    {
        TelloraPluginPS plugin;
        plugin.Init(&about, true, &data, &result, "Corvantis Tellora");
        plugin.Dispatch(filterSelectorAbout);
        EXPECT_EQ(plugin.filterRecord, nullptr);
    }
    SetMessageBoxObserver(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Tellora");
    EXPECT_EQ(boxes[0].owner, &window);
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(boxes[0].text.substr(0, 12), "Tellora 1.0\n");
    EXPECT_NE(boxes[0].text.find("\n\nTODO: About text goes here..."), std::string::npos);
    EXPECT_EQ(result, 0) << "About answers for its result, whatever the host pre-set";
}

TEST(TelloraPlugin, DialogHookSetsGrayscaleModeAndIsAskedFor) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
    Parameters list;
    int16 result = 0;
    const int before = DialogRequestCount();
    const std::pair<int16, bool> cases[] = {{plugInModeGrayScale, true},  {plugInModeGray16, true},
                                            {plugInModeGray32, true},     {plugInModeDuotone, true},
                                            {plugInModeDuotone16, true},  {plugInModeRGBColor, false},
                                            {plugInModeCMYKColor, false}, {plugInModeLabColor, false}};
    for (auto [mode, gray] : cases) {
        FilterRecord record{};
        record.imageMode = mode;
        TelloraPluginPS plugin;
        plugin.Init(&record, false, nullptr, &result, "Corvantis Tellora");
        EXPECT_TRUE(plugin.RunDialog(&list));
        EXPECT_EQ(GrayscaleMode, gray) << "mode " << mode;
    }
    EXPECT_EQ(DialogRequestCount(), before + 8);
}

TEST(TelloraPlugin, EachObjectStartsAndStopsTheToolkit) {
    if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
    for (int i = 0; i < 3; ++i) {
        TelloraPluginPS plugin;
        EXPECT_TRUE(plugin.ToolkitStarted());
    }
}

TEST(TelloraPlugin, DefinesItsParameterTable) {
    TelloraPluginPS plugin;
    Parameters list;
    plugin.DefineParameters(&list);
    EXPECT_EQ(list.parameters.size(), 21u);
}

}  // namespace

namespace {

// Registered a second time with an empty DISPLAY (see CMakeLists.txt): without a display the
// toolkit cannot start, and what needs it must fail with a text for the host, not abort.
TEST(TelloraPluginWithoutDisplay, DialogReportsAClearErrorThroughTheHost) {
    const char* display = std::getenv("DISPLAY");
    if (display && *display) GTEST_SKIP() << "runs only without a display";
    uint8 errorString[256]{};
    FilterRecord record{};
    record.errorString = &errorString;
    record.imageMode = plugInModeRGBColor;
    int16 result = 0;
    for (int call = 0; call < 2; ++call) {
        TelloraPluginPS plugin;
        EXPECT_FALSE(plugin.ToolkitStarted());
        plugin.Init(&record, false, nullptr, &result, "Corvantis Tellora");
        Parameters list;
        try {
            plugin.RunDialog(&list);
            ADD_FAILURE() << "the dialog ran without a toolkit";
        } catch (const std::exception& e) {
            plugin.ReportError(e.what());
        }
        EXPECT_EQ(result, errReportString);
        const std::string text(reinterpret_cast<char*>(errorString + 1), errorString[0]);
        EXPECT_NE(text.find("no display"), std::string::npos) << text;
    }
}

}  // namespace
