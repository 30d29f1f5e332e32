#include "toolkit_fixture.h"
#include "ui/color_button.h"
#include "ui/numeric_entry.h"
#include "ui/param_validator.h"

#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

using namespace Corvantis::Host::Param;

namespace {

class Validators : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        const uint32_t key = FourCharCode("test");
        list.parameters.push_back(Parameter("Ellipse Width", key, 100.0, 0, 0.0, 400.0, 0.0, 15000.0));  // 0
        list.parameters.push_back(Parameter("Count", key, int32_t(50), 0, 0, 100));                      // 1
        list.parameters.push_back(Parameter("Edge", key, 2.0, 0, 0.0, 20.0));                            // 2
        list.parameters.push_back(Parameter("Bounding Box", key, false, 0));                             // 3
        list.parameters.push_back(Parameter("Fill", key, 1.0, 0.5, 0.25, 0u));                           // 4
        list.parameters.push_back(Parameter::MakeEnumerated("Shape", key, key));                         // 5
        list.parameters[5].AddEnumValue(FourCharCode("elli"), "Ellipse");
        list.parameters[5].AddEnumValue(FourCharCode("rect"), "Rectangle");
        dialog = new LoggingDialog(&list);
        wxValidator::SuppressBellOnError(true);
    }
    void TearDown() override {
        delete dialog;
        ToolkitTest::TearDown();
    }
    // A control (a text field unless given) and optionally a slider bound to parameter i.
    wxTextCtrl* Field(long i, wxSlider** slider = nullptr) {
        auto* field = new wxTextCtrl(dialog, 100 + i, "");
        wxSlider* bar = slider ? new wxSlider(dialog, 200 + i, 0, 0, 1) : nullptr;
        BindParameterControls(&list.parameters[i], i, field, bar);
        if (slider) *slider = bar;
        field->GetValidator()->TransferToWindow();
        return field;
    }
    template <class Event>
    static bool Send(wxWindow* window, Event& event) {
        event.SetEventObject(window);  // validators see only their own window's events
        return window->GetEventHandler()->ProcessEvent(event);
    }
    static void Leave(wxWindow* field) {
        wxFocusEvent leave(wxEVT_KILL_FOCUS, field->GetId());
        Send(field, leave);
    }
    static void Scroll(wxSlider* slider, wxEventType type, int position) {
        slider->SetValue(position);
        wxScrollEvent event(type, slider->GetId(), position);
        Send(slider, event);
    }
    static bool Swallowed(wxWindow* field, wxChar key) {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_uniChar = key;
        event.m_keyCode = key < 256 ? key : 0;
        return Send(field, event);
    }
    double Value(long i) const { return list.parameters[i].value.GetFloat(); }

    Corvantis::Host::PS::Parameters list;
    LoggingDialog* dialog = nullptr;
};

}  // namespace

TEST_F(Validators, BadEntriesAreCorrectedInPlaceAndExplained) {
    list.parameters[0].value.SetFloat(50.0);
    wxTextCtrl* width = Field(0);
    width->ChangeValue("abc");
    Leave(width);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Input error");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes[0].text, "\"Ellipse Width\": Invalid numeric entry.  A number between 0.00 and 15000.00 is "
                             "required.  Default value inserted.");
    EXPECT_EQ(width->GetValue(), "100.00");
    EXPECT_EQ(Value(0), 100.0);
    EXPECT_EQ(list.undo.front().at(0).GetFloat(), 50.0);  // recorded before the change

    width->ChangeValue("20000");
    Leave(width);
    EXPECT_EQ(boxes.back().text,
              "\"Ellipse Width\": A number between 0.00 and 15000.00 is required.  Closest value inserted.");
    EXPECT_EQ(width->GetValue(), "15000.00");

    width->ChangeValue("nan");  // no number either
    Leave(width);
    EXPECT_EQ(width->GetValue(), "100.00");

    wxTextCtrl* count = Field(1);
    count->ChangeValue("150");
    wxCommandEvent enter(wxEVT_TEXT_ENTER, count->GetId());
    Send(count, enter);
    EXPECT_EQ(boxes.back().text, "\"Count\": A number between 0 and 100 is required.  Closest value inserted.");
    EXPECT_EQ(count->GetValue(), "100");
    EXPECT_EQ(dialog->Summary(), "B0 C0 B0 C0 B0 C0 B1 C1");
}

TEST_F(Validators, NoEventsWithoutARealChange) {
    list.parameters[0].value.SetFloat(1.234);
    wxTextCtrl* field = Field(0);
    EXPECT_EQ(field->GetValue(), "1.23");
    Leave(field);
    EXPECT_EQ(Value(0), 1.234);  // the two-decimal display is taken as the value itself
    EXPECT_EQ(dialog->Summary(), "");
    // Showing a value keeps a text that already says it.
    list.parameters[0].value.SetFloat(12.5);
    field->ChangeValue("12.5");
    field->GetValidator()->TransferToWindow();
    EXPECT_EQ(field->GetValue(), "12.5");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(list.undo.empty());
}

TEST_F(Validators, SliderAndFieldStayInStep) {
    EXPECT_DOUBLE_EQ(SliderStepFor(0, 40), 0.1);
    EXPECT_DOUBLE_EQ(SliderStepFor(0, 1), 0.01);
    EXPECT_EQ(SliderStepFor(0, 0), 1.0);  // no zero step for a degenerate range
    wxSlider* edgeSlider = nullptr;
    wxTextCtrl* edge = Field(2, &edgeSlider);
    EXPECT_EQ(edgeSlider->GetMax(), 200);
    Scroll(edgeSlider, wxEVT_SCROLL_CHANGED, 57);
    EXPECT_EQ(edge->GetValue(), "5.70");
    EXPECT_EQ(edgeSlider->GetValue(), 57);  // 5.7 / 0.1 falls just short of 57
    EXPECT_EQ(dialog->Summary(), "B2 C2");

    wxSlider* widthSlider = nullptr;
    wxTextCtrl* width = Field(0, &widthSlider);
    width->SetValue("12.5");  // typing: the slider follows, the value waits
    EXPECT_EQ(widthSlider->GetValue(), 12);
    EXPECT_EQ(Value(0), 100.0);
    EXPECT_EQ(dialog->Summary(), "B2 C2");
}

TEST_F(Validators, ThumbDragIsOneEdit) {
    wxSlider* slider = nullptr;
    Field(2, &slider);
    for (int position : {3, 4, 4, 5}) Scroll(slider, wxEVT_SCROLL_THUMBTRACK, position);
    Scroll(slider, wxEVT_SCROLL_THUMBRELEASE, 5);
    Scroll(slider, wxEVT_SCROLL_CHANGED, 5);
    Scroll(slider, wxEVT_SCROLL_LINEUP, 5);
    EXPECT_EQ(dialog->Summary(), "B2 G2 G2 G2 C2");
    EXPECT_DOUBLE_EQ(Value(2), 0.5);
    ASSERT_EQ(list.undo.size(), 1u);
    EXPECT_EQ(list.undo.front().at(2).GetFloat(), 2.0);
    EXPECT_EQ(dialog->log[0].id, 102);  // the field's id and its validator
    EXPECT_EQ(dialog->log[0].object, dialog->FindWindow(102)->GetValidator());
}

TEST_F(Validators, KeyFilterLetsOnlyNumberCharactersThrough) {
    wxTextCtrl* count = Field(1);
    wxTextCtrl* width = Field(0);
    for (wxChar key : {wxChar('7'), wxChar(','), wxChar('-'), wxChar('+'), wxChar(8)}) EXPECT_FALSE(Swallowed(count, key)) << key;
    for (wxChar key : {wxChar('.'), wxChar('a'), wxChar(0x20AC)}) EXPECT_TRUE(Swallowed(count, key)) << key;
    for (wxChar key : {'.', 'e', 'E'}) EXPECT_FALSE(Swallowed(width, key)) << key;
    EXPECT_TRUE(Swallowed(width, 'x'));
}

TEST_F(Validators, ToggleChoiceAndColourControls) {
    auto* toggle = new wxToggleButton(dialog, 300, "Bounding Box");
    BindParameterControls(&list.parameters[3], 3, toggle, nullptr);
    toggle->SetValue(true);
    wxCommandEvent click(wxEVT_TOGGLEBUTTON, 300);
    Send(toggle, click);
    EXPECT_TRUE(list.parameters[3].value.GetBoolean());
    EXPECT_FALSE(list.undo.front().at(3).GetBoolean());  // begin came while the record was old

    auto* choice = new wxChoice(dialog, 400);
    choice->Append("Ellipse");
    choice->Append("Rectangle");
    BindParameterControls(&list.parameters[5], 5, choice, nullptr);
    choice->SetSelection(1);
    wxCommandEvent pick(wxEVT_CHOICE, 400);
    Send(choice, pick);
    EXPECT_EQ(list.parameters[5].value.GetInteger(), 1);
    list.parameters[5].value.SetInteger(7);  // e.g. from a preset file: selects nothing
    EXPECT_TRUE(choice->GetValidator()->TransferToWindow());
    EXPECT_EQ(choice->GetSelection(), wxNOT_FOUND);

    auto* button = new ColorButton(dialog, 500, wxNullBitmap);
    BindParameterControls(&list.parameters[4], 4, button, nullptr);
    button->GetValidator()->TransferToWindow();
    SendFrameworkEvent(button, EVT_COLOR_CHANGED, 500, button, 0);  // same colour: nothing stored
    button->blue = 0.75;
    SendFrameworkEvent(button, EVT_COLOR_CHANGED, 500, button, 0);
    EXPECT_EQ(list.parameters[4].value.GetColor().blue, 0.75);
    EXPECT_EQ(dialog->Summary(), "B3 C3 B5 C5 D0 D0 B4 C4");
}
