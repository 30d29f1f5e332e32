#include "toolkit_fixture.h"
#include "ui/param_validator.h"
#include "ui/toggle_validator.h"

#include <wx/textctrl.h>

#include <set>

using namespace Corvantis::Host::Param;

namespace {

class GenericDialog : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        list.parameters.push_back(Parameter("Width", FourCharCode("widt"), 100.0, 0, 0.0, 400.0));
        list.parameters.push_back(Parameter("Box", FourCharCode("boxx"), false, 0));
        dialog = new LoggingDialog(&list);
    }
    void TearDown() override {
        delete dialog;
        ToolkitTest::TearDown();
    }
    void Command(wxEventType type, int id, wxWindow* from = nullptr) {
        wxCommandEvent event(type, id);
        event.SetEventObject(from ? from : dialog);
        (from ? from : dialog)->GetEventHandler()->ProcessEvent(event);
    }

    Corvantis::Host::PS::Parameters list;
    LoggingDialog* dialog = nullptr;
};

}  // namespace

TEST_F(GenericDialog, EventTypesAreDistinctAndSentSynchronously) {
    const std::set<wxEventType> ours{EVT_COLOR_CHANGED, EVT_PARAM_BEGIN_CHANGE, EVT_PARAM_CHANGED, EVT_PARAM_CHANGING};
    EXPECT_EQ(ours.size(), 4u);
    EXPECT_LT(EVT_COLOR_CHANGED, EVT_PARAM_CHANGING);  // made in order at load
    const wxEventType toolkit[] = {wxEVT_NULL, wxEVT_BUTTON, wxEVT_TEXT, wxEVT_CHOICE, wxEVT_MENU, wxEVT_PAINT};
    for (wxEventType type : toolkit) EXPECT_EQ(ours.count(type), 0u);
    EXPECT_GT(wxNewEventType(), EVT_PARAM_CHANGING);

    wxObject sender;
    EXPECT_TRUE(SendFrameworkEvent(dialog->GetEventHandler(), EVT_PARAM_CHANGED, 42, &sender, 1));
    ASSERT_EQ(dialog->log.size(), 1u);  // handled before the call returned
    EXPECT_EQ(dialog->log[0].id, 42);
    EXPECT_EQ(dialog->log[0].object, &sender);
}

TEST_F(GenericDialog, BeginChangeRecordsOnlyIndicesOfTheList) {
    SendFrameworkEvent(dialog, EVT_PARAM_BEGIN_CHANGE, wxID_ANY, dialog, 1);
    EXPECT_EQ(list.undo.size(), 1u);
    for (long outside : {2L, 1000000L, -1L}) SendFrameworkEvent(dialog, EVT_PARAM_BEGIN_CHANGE, wxID_ANY, dialog, outside);
    EXPECT_EQ(list.undo.size(), 1u);
}

TEST_F(GenericDialog, ResetIsOneUndoStepAndShowsTheDefaults) {
    auto* field = new wxTextCtrl(dialog, 10, "");
    BindParameterControls(&list.parameters[0], 0, field, nullptr);
    list.parameters[0].value.SetFloat(42.0);
    list.parameters[1].value.SetBoolean(true);
    dialog->viewer.resetPending = false;
    dialog->viewer.needsRender = false;
    Command(wxEVT_BUTTON, wxID_RESET);
    EXPECT_EQ(list.parameters[0].value.GetFloat(), 100.0);
    EXPECT_FALSE(list.parameters[1].value.GetBoolean());
    EXPECT_EQ(field->GetValue(), "100.00");
    EXPECT_TRUE(dialog->viewer.resetPending);
    EXPECT_TRUE(dialog->viewer.needsRender);
    EXPECT_EQ(dialog->changedCalls, 1);
    Command(wxEVT_MENU, wxID_UNDO);
    EXPECT_EQ(list.parameters[0].value.GetFloat(), 42.0);
    EXPECT_TRUE(list.parameters[1].value.GetBoolean());
}

TEST_F(GenericDialog, ToggleValidatorNeverReleasesUnlessAllowed) {
    auto* sticky = new wxToggleButton(dialog, 20, "sticky");
    sticky->SetValidator(ToggleValidator());
    auto* loose = new wxToggleButton(dialog, 21, "loose");
    loose->SetValidator(ToggleValidator(true));
    for (wxToggleButton* button : {sticky, loose}) {
        button->SetValue(false);  // what a click on a pressed button does
        Command(wxEVT_TOGGLEBUTTON, button->GetId(), button);
    }
    EXPECT_TRUE(sticky->GetValue());
    EXPECT_FALSE(loose->GetValue());
}
