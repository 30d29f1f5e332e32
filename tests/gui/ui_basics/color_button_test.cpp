#include "host/host_services.h"
#include "toolkit_fixture.h"
#include "ui/color_button.h"
#include "ui/grayscale_mode.h"

#include <string>

using namespace Corvantis::Host::Param;
using Corvantis::Host::PS::PickColor;

namespace {

// The host's picker: keeps what it was offered and answers as told.
struct Picker {
    static inline ColorServicesInfo offered{};
    static inline int calls = 0;
    static inline OSErr answer = noErr;
    static inline int16 chosen[3] = {};
    static OSErr Call(ColorServicesInfo* info) {
        ++calls;
        offered = *info;
        if (answer == noErr)
            for (int i = 0; i < 3; ++i) info->colorComponents[i] = chosen[i];
        return answer;
    }
    static void Reset(OSErr result, int16 r, int16 g, int16 b) {
        calls = 0;
        answer = result;
        chosen[0] = r, chosen[1] = g, chosen[2] = b;
    }
};

std::string Shown(const wxColour& c) {
    return std::to_string(c.Red()) + "," + std::to_string(c.Green()) + "," + std::to_string(c.Blue());
}

class ColourButton : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        dialog = new LoggingDialog(&list);
        button = new ColorButton(dialog, 777, wxNullBitmap);
        record.colorServices = &Picker::Call;
        MakeCurrent(host, &record);
    }
    void TearDown() override {
        ClearCurrent();
        delete dialog;
        ToolkitTest::TearDown();
    }
    void Click() {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    Corvantis::Host::PS::Parameters list;
    LoggingDialog* dialog = nullptr;
    ColorButton* button = nullptr;
    FilterRecord record{};
    TestHost host;
};

}  // namespace

TEST_F(ColourButton, SwatchTruncatesAndTurnsGreyInGrayscaleDocuments) {
    EXPECT_STREQ(button->GetClassInfo()->GetClassName(), L"ColorButton");
    EXPECT_EQ(button->red + button->green + button->blue, 3.0);  // white until told otherwise
    button->red = button->green = button->blue = 0.5;
    button->Update();
    EXPECT_EQ(Shown(button->GetBackgroundColour()), "127,127,127");
    GrayscaleMode = true;
    EXPECT_EQ(Shown(ColorButton::SwatchColour(1, 0, 0)), "76,76,76");
    EXPECT_EQ(Shown(ColorButton::SwatchColour(0, 1, 0)), "153,153,153");
    EXPECT_EQ(Shown(ColorButton::SwatchColour(0, 0, 1)), "25,25,25");
    EXPECT_EQ(Shown(ColorButton::SwatchColour(1, 1, 1)), "255,255,255");
}

TEST_F(ColourButton, PickerRequestAndAnswer) {
    Picker::Reset(noErr, 128, 0, 255);
    double colour[3] = {1.0, 0.5, 0.0};
    EXPECT_EQ(PickColor(&Picker::Call, colour), noErr);
    EXPECT_EQ(Picker::offered.infoSize, 56);
    EXPECT_EQ(Picker::offered.selector, plugIncolorServicesChooseColor);
    EXPECT_EQ(Picker::offered.colorComponents[0], 255);
    EXPECT_EQ(Picker::offered.colorComponents[1], 127);  // truncated, not rounded
    EXPECT_EQ(Picker::offered.colorComponents[3], 0);
    const uint8* prompt = *Picker::offered.selectorParameter.pickerPrompt;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(prompt + 1), prompt[0]), "Choose Color");
    EXPECT_EQ(colour[0], static_cast<double>(128.0f / 255.0f));  // the single-precision quotient
    EXPECT_EQ(colour[2], 1.0);

    EXPECT_EQ(PickColor(nullptr, colour), errPlugInHostInsufficient);  // no picker, no call
}

TEST_F(ColourButton, ClickAnnouncesAPickedColourOnly) {
    Picker::Reset(userCanceledErr, 0, 0, 0);
    Click();
    EXPECT_EQ(button->red + button->green + button->blue, 3.0);
    EXPECT_TRUE(dialog->log.empty());

    Picker::Reset(noErr, 255, 0, 0);
    Click();
    EXPECT_EQ(Shown(button->GetBackgroundColour()), "255,0,0");
    ASSERT_EQ(dialog->log.size(), 1u);
    EXPECT_EQ(dialog->log[0].type, EVT_COLOR_CHANGED);
    EXPECT_EQ(dialog->log[0].index, 0);
    EXPECT_EQ(dialog->log[0].id, 777);
    EXPECT_EQ(dialog->log[0].object, button);

    record.colorServices = nullptr;  // a host without a picker
    Click();
    ClearCurrent();  // no running call
    record.colorServices = &Picker::Call;
    Click();
    EXPECT_EQ(Picker::calls, 1);
    EXPECT_EQ(dialog->log.size(), 1u);
}
