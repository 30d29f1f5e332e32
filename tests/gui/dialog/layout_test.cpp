// What the dialog is made of: every control with its id and label and bound to its parameter,
// the window's style, its accelerators, and a parameter list shorter than the table.
#include "dialog_fixture.h"

#include "ui/param_validator.h"
#include "ui/slider_validator.h"
#include "ui/viewer_base.h"

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

namespace dialog_test {
namespace {

namespace Param = Corvantis::Host::Param;

TEST_F(DialogTest, EveryControlShowsItsParameter) {
    Open();
    struct Bound {
        std::size_t index;
        int control, slider;
    };
    const Bound bound[] = {{kParamShape, 10008, 0},         {kParamEllipseWidth, 10010, 10011},
                           {kParamEllipseHeight, 10014, 10015}, {kParamIndicatorWidth, 10012, 10013},
                           {kParamEdgeThickness, 10020, 10021}, {kParamIndicatorThickness, 10022, 10023},
                           {kParamFillColor, 10018, 0},     {kParamEdgeColor, 10019, 0},
                           {kParamText, 10016, 0},          {kParamBoundingBox, 10007, 0}};
    for (const Bound& b : bound) {
        auto* validator = dynamic_cast<Param::ParamValidator*>(dialog->FindWindow(b.control)->GetValidator());
        ASSERT_NE(validator, nullptr) << b.control;
        EXPECT_EQ(validator->GetParameter(), &list.parameters[b.index]) << b.control;
        EXPECT_EQ(validator->GetIndex(), long(b.index));
        EXPECT_EQ(validator->GetSlider(), b.slider ? dialog->FindWindow(b.slider)->GetValidator() : nullptr);
    }
    // Shown when the dialog opened, sliders ranged by their parameters.
    EXPECT_EQ(Find<wxTextCtrl>(kIdWidthText)->GetValue(), "100.00");
    EXPECT_EQ(Find<wxTextCtrl>(kIdText)->GetValue(), "Text");
    EXPECT_EQ(Find<wxChoice>(kIdShape)->GetSelection(), 0);
    EXPECT_TRUE(Find<wxToggleButton>(kIdBoundingBox)->GetValue());
    EXPECT_EQ(Find<wxSlider>(kIdWidthSlider)->GetMax(), 400);
    // The zoom field edits the viewer's own record, without a slider; preview and viewer know each other.
    auto* zoom = dynamic_cast<Param::ParamValidator*>(Find<wxTextCtrl>(kIdZoomText)->GetValidator());
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->GetIndex(), Param::kZoomParameterIndex);
    EXPECT_EQ(zoom->GetSlider(), nullptr);
    EXPECT_EQ(preview->viewer, dialog->GetViewer());
    EXPECT_EQ(dialog->GetViewer()->panel, preview);
}

TEST_F(DialogTest, LabelsStyleFolderAndKeysAreAsLaidOut) {
    Open();
    EXPECT_EQ(dialog->GetTitle(), "Tellora");
    const long style = dialog->GetWindowStyleFlag();
    EXPECT_EQ(style & (wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER | wxMINIMIZE_BOX),
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER);
    std::vector<wxString> labels;
    for (wxWindow* child : dialog->GetChildren())
        if (child->GetId() == kIdLabel) labels.push_back(child->GetLabel());
    EXPECT_EQ(labels, (std::vector<wxString>{"Width", "Indicator Width", "Height", "Text", "Bubble Color", "Edge Color",
                                             "Bubble Edge Thickness", "Indicator Thickness"}));
    EXPECT_EQ(dialog->FindWindow(kIdLabel)->GetLabel(), "Width");
    const std::pair<int, const char*> buttons[] = {{kIdSavePreset, "Save Preset"}, {kIdApplyPreset, "Apply Preset"},
                                                   {kIdZoomOut, "-"},              {kIdZoomIn, "+"},
                                                   {kIdBoundingBox, "Bounding Box"}, {kIdFont, "Font"}};
    for (auto [id, text] : buttons) EXPECT_EQ(dialog->FindWindow(id)->GetLabel(), text);
    EXPECT_EQ(Find<wxChoice>(kIdShape)->GetString(1), "Rectangle");
    EXPECT_EQ(preview->GetName(), "panel");
    EXPECT_EQ(dialog->GetDefaultItem(), dialog->FindWindow(wxID_OK));
    EXPECT_NE(dialog->FindWindow(wxID_CANCEL), nullptr);

    // The presets folder lies in the documents folder and is made by the first fill.
    EXPECT_EQ(dialog->GetPresetFolder().ToStdString(), (temp / "docs/Corvantis/Tellora/Presets/").string());
    EXPECT_TRUE(std::filesystem::is_directory(temp / "docs/Corvantis/Tellora/Presets"));

    // Ctrl+I, Ctrl+O, Ctrl+Y, Ctrl+Z as the toolkit reports them (upper-case letter codes).
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.SetControlDown(true);
    const std::pair<int, int> keys[] = {{'I', 6000}, {'O', 6001}, {'Y', 6006}, {'Z', 6007}};
    for (auto [code, command] : keys) {
        key.m_keyCode = code;
        EXPECT_EQ(dialog->GetAcceleratorTable()->GetCommand(key), command) << char(code);
    }
}

TEST_F(DialogTest, AListShorterThanTheTableOpensAndBindsWhatItHolds) {
    list.parameters.resize(kParamEllipseHeight + 1);
    Open();
    EXPECT_NE(Find<wxTextCtrl>(kIdHeightText)->GetValidator(), nullptr);
    EXPECT_EQ(Find<wxTextCtrl>(kIdText)->GetValidator(), nullptr);
    Command(wxEVT_TOGGLEBUTTON, kIdBoundingBox);
    Command(wxEVT_BUTTON, kIdFont);  // no font parameters: nothing to choose
    Mouse(wxEVT_LEFT_DOWN, 10, 10);
    Mouse(wxEVT_LEFT_UP, 10, 10);
    EXPECT_EQ(list.parameters.size(), kParamEllipseHeight + 1);
}

}  // namespace
}  // namespace dialog_test
