// colorServices and the host window, as the plug-in meets them through the filter record.
#include "hostsim/host_session.h"
#include "hostsim/host_window.h"

#include "pluginapi/color_space.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

using namespace hostsim;

namespace {

Str255 kPrompt = "\x0c" "Choose Color";

ColorServicesInfo Request(int16 selector, int16 from, int16 to, std::array<int16, 4> components) {
    ColorServicesInfo info;
    std::memset(&info, 0, sizeof info);
    info.infoSize = int32(sizeof info);
    info.selector = selector;
    info.sourceSpace = from;
    info.resultSpace = to;
    std::copy(components.begin(), components.end(), info.colorComponents);
    info.selectorParameter.pickerPrompt = &kPrompt;
    return info;
}

class ColorServices : public ::testing::Test {
protected:
    // Calls the record's callback as the plug-in would, inside a call of the session.
    OSErr Call(ColorServicesInfo& info) {
        HostSession::CallScope scope(session_);
        return session_.filterRecord().colorServices(&info);
    }

    HostSession session_;
};

bool HaveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

}  // namespace

TEST_F(ColorServices, ChooseColourAnswersTheOfferedOrTheSetColour) {
    ColorServicesInfo info = Request(plugIncolorServicesChooseColor, 0, 0, {255, 127, 0, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[0], 255);
    EXPECT_EQ(info.colorComponents[1], 127);
    EXPECT_EQ(info.colorComponents[2], 0);

    HostOptions options;
    options.pickColor = PickAnswer{false, {10, 20, 30}};
    session_.SetOptions(options);
    info = Request(plugIncolorServicesChooseColor, 0, 0, {255, 127, 0, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[2], 30);

    options.pickColor = PickAnswer{true, {}};
    session_.SetOptions(options);
    info = Request(plugIncolorServicesChooseColor, 0, 0, {1, 2, 3, 0});
    EXPECT_EQ(Call(info), userCanceledErr);
    EXPECT_EQ(info.colorComponents[0], 1);

    const auto& log = session_.colorServices().requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].prompt, "Choose Color");
    EXPECT_EQ(log[1].answered[0], 10);
    EXPECT_NE(log[2].Describe().find("-128"), std::string::npos);
}

TEST_F(ColorServices, AChooserAsksTheUserUnlessAnAnswerIsSet) {
    std::vector<std::array<int16, 3>> offered;
    std::optional<std::array<int16, 3>> userAnswer = std::array<int16, 3>{0, 128, 255};
    HostOptions options;
    options.colourChooser = [&](const std::array<int16, 3>& rgb, const std::string& prompt) {
        offered.push_back(rgb);
        EXPECT_EQ(prompt, "Choose Color");
        return userAnswer;
    };
    session_.SetOptions(options);
    // Offered in HSB (red), shown to the user in RGB, answered in the space asked for.
    ColorServicesInfo info = Request(plugIncolorServicesChooseColor, plugIncolorServicesHSBSpace,
                                     plugIncolorServicesRGBSpace, {0, 255, 255, 0});
    ASSERT_EQ(Call(info), noErr);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], (std::array<int16, 3>{255, 0, 0}));
    EXPECT_EQ(info.colorComponents[1], 128);
    EXPECT_EQ(info.colorComponents[2], 255);

    userAnswer.reset();  // the user cancels
    info = Request(plugIncolorServicesChooseColor, 0, 0, {1, 2, 3, 0});
    EXPECT_EQ(Call(info), userCanceledErr);
    EXPECT_EQ(info.colorComponents[0], 1);

    // --pick-color answers without showing the chooser.
    options.pickColor = PickAnswer{false, {10, 20, 30}};
    session_.SetOptions(options);
    info = Request(plugIncolorServicesChooseColor, 0, 0, {1, 2, 3, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[0], 10);
    EXPECT_EQ(offered.size(), 2u);
}

TEST_F(ColorServices, ConvertsBetweenSpacesAndBack) {
    ColorServicesInfo info = Request(plugIncolorServicesConvertColor, plugIncolorServicesRGBSpace,
                                     plugIncolorServicesHSBSpace, {255, 0, 0, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[0], 0);    // hue in degrees
    EXPECT_EQ(info.colorComponents[1], 255);
    EXPECT_EQ(info.colorComponents[2], 255);

    for (const int16 space : {plugIncolorServicesHSBSpace, plugIncolorServicesHSLSpace, plugIncolorServicesLabSpace,
                              plugIncolorServicesCMYKSpace}) {
        info = Request(plugIncolorServicesConvertColor, plugIncolorServicesRGBSpace, space, {40, 160, 220, 0});
        ASSERT_EQ(Call(info), noErr) << space;
        info.selector = plugIncolorServicesConvertColor;
        info.sourceSpace = space;
        info.resultSpace = plugIncolorServicesRGBSpace;
        ASSERT_EQ(Call(info), noErr) << space;
        // Whole-number components lose a little, Lab's the most.
        EXPECT_NEAR(info.colorComponents[0], 40, 3) << space;
        EXPECT_NEAR(info.colorComponents[1], 160, 3) << space;
        EXPECT_NEAR(info.colorComponents[2], 220, 3) << space;
    }

    info = Request(plugIncolorServicesConvertColor, plugIncolorServicesRGBSpace, plugIncolorServicesGraySpace,
                   {200, 200, 200, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_NEAR(info.colorComponents[0], 200, 1);

    // The host's choice of space: the space it was given.
    info = Request(plugIncolorServicesChooseColor, plugIncolorServicesHSBSpace, -1, {120, 255, 255, 0});
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.resultSpace, plugIncolorServicesHSBSpace);
    EXPECT_EQ(info.colorComponents[0], 120);
}

TEST_F(ColorServices, RefusesMalformedRequestsAndCanFailOrBeAbsent) {
    ColorServicesInfo info = Request(plugIncolorServicesConvertColor, 0, 0, {256, 0, 0, 0});
    EXPECT_EQ(Call(info), paramErr);
    info = Request(plugIncolorServicesConvertColor, 0, 9, {1, 0, 0, 0});
    EXPECT_EQ(Call(info), paramErr);
    info = Request(7, 0, 0, {1, 0, 0, 0});
    EXPECT_EQ(Call(info), paramErr);
    info = Request(plugIncolorServicesChooseColor, 0, 0, {1, 0, 0, 0});
    info.infoSize = 40;
    EXPECT_EQ(Call(info), paramErr);
    EXPECT_EQ(session_.problems().count(), 4u);
    info = Request(plugIncolorServicesSamplePoint, 0, 0, {});
    EXPECT_EQ(Call(info), errPlugInHostInsufficient);

    // Special colours: the record's background (white) and foreground (black).
    info = Request(plugIncolorServicesGetSpecialColor, 0, plugIncolorServicesGraySpace, {});
    info.selectorParameter.specialColorID = plugIncolorServicesBackgroundColor;
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[0], 255);
    info = Request(plugIncolorServicesGetSpecialColor, 0, plugIncolorServicesGraySpace, {});
    info.selectorParameter.specialColorID = plugIncolorServicesForegroundColor;
    ASSERT_EQ(Call(info), noErr);
    EXPECT_EQ(info.colorComponents[0], 0);

    session_.callbacks().ResetCounts();
    session_.callbacks().Set(HostCallback::ColorServices, CallbackMode::Failing, memFullErr, 2);
    info = Request(plugIncolorServicesChooseColor, 0, 0, {1, 2, 3, 0});
    EXPECT_EQ(Call(info), noErr);
    EXPECT_EQ(Call(info), memFullErr);
    session_.callbacks().Set(HostCallback::ColorServices, CallbackMode::Absent);
    session_.callbacks().Set(HostCallback::DisplayPixels, CallbackMode::Absent);
    session_.ResetFilterRecord();
    EXPECT_TRUE(session_.filterRecord().colorServices == nullptr);
    EXPECT_TRUE(session_.filterRecord().displayPixels == nullptr);
}

TEST(HostWindowTest, TheRecordCarriesTheSessionsWindowUntilItIsSwitchedOff) {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    HostOptions options;
    options.makeHostWindow = true;
    HostSession session(options);
    ASSERT_NE(session.ownWindow(), nullptr) << session.ownWindowProblem();
    void* window = static_cast<PlatformData*>(session.filterRecord().platformData)->hwnd;
    ASSERT_EQ(window, session.ownWindow()->handle());
    EXPECT_TRUE(GTK_IS_WINDOW(window));
    EXPECT_TRUE(gtk_widget_get_realized(GTK_WIDGET(window)));
    EXPECT_TRUE(session.ownWindow()->sensitive());

    // A window the caller gives wins; switching the flag off takes the own window away.
    int other = 0;
    options.hostWindow = &other;
    session.SetOptions(options);
    EXPECT_EQ(session.ownWindow(), nullptr);
    EXPECT_EQ(static_cast<PlatformData*>(session.filterRecord().platformData)->hwnd, &other);
    options = HostOptions{};
    session.SetOptions(options);
    EXPECT_EQ(static_cast<PlatformData*>(session.filterRecord().platformData)->hwnd, nullptr);
}
