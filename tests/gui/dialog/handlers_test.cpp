// The dialog's handlers: field, slider, choice and colour edits with undo and redo, the zoom
// controls, the "Bounding Box" toggle and the font dialog.
#include "dialog_fixture.h"

#include "ui/viewer_base.h"

#include <wx/choice.h>
#include <wx/fontdlg.h>
#include <wx/slider.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

namespace dialog_test {
namespace {

namespace Param = Corvantis::Host::Param;

TEST_F(DialogTest, FieldSliderChoiceAndColourEditsUndoStepByStep) {
    Open();
    auto* width = Find<wxTextCtrl>(kIdWidthText);
    width->ChangeValue("150");
    Command(wxEVT_TEXT_ENTER, kIdWidthText);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 150.0);

    auto* slider = Find<wxSlider>(kIdIndicatorWidthSlider);
    slider->SetValue(50);
    wxScrollEvent scroll(wxEVT_SCROLL_CHANGED, kIdIndicatorWidthSlider, 50);
    scroll.SetEventObject(slider);
    slider->GetEventHandler()->ProcessEvent(scroll);
    EXPECT_DOUBLE_EQ(Value(kParamIndicatorWidth), 50.0);
    EXPECT_EQ(Find<wxTextCtrl>(kIdIndicatorWidthText)->GetValue(), "50.00");

    Find<wxChoice>(kIdShape)->SetSelection(1);
    Command(wxEVT_CHOICE, kIdShape);
    EXPECT_EQ(list.parameters[kParamShape].value.GetInteger(), 1);

    Command(wxEVT_BUTTON, kIdEdgeColor);  // the host's picker answers red
    EXPECT_EQ(list.parameters[kParamEdgeColor].value.GetColor().red, 1.0);
    EXPECT_EQ(TakeEvents(), "B1 C1 B3 C3 B0 C0 B7 C7");
    EXPECT_EQ(UndoSteps(), 4u);

    for (int i = 0; i < 3; ++i) Menu(6007);
    EXPECT_DOUBLE_EQ(Value(kParamIndicatorWidth), 20.0);
    EXPECT_EQ(Find<wxTextCtrl>(kIdIndicatorWidthText)->GetValue(), "20.00");
    EXPECT_EQ(Find<wxSlider>(kIdIndicatorWidthSlider)->GetValue(), 20);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 150.0);
    Menu(6007);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.0);
    EXPECT_EQ(width->GetValue(), "100.00");
    Menu(6006);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 150.0);
}

TEST_F(DialogTest, ZoomButtonsMenuAndFieldRecordNoUndo) {
    Open(2000, 1500);  // fitted far below 100 %
    Param::ViewerBase& viewer = *dialog->GetViewer();
    const float fitted = viewer.zoom;
    ASSERT_LT(fitted, 0.5f);
    auto field = [&] { return Find<wxTextCtrl>(kIdZoomText)->GetValue(); };
    Command(wxEVT_BUTTON, kIdZoomIn);
    EXPECT_FLOAT_EQ(viewer.zoom, Param::ViewerBase::NextZoomIn(fitted));
    EXPECT_EQ(field(), wxString::Format("%.2f", viewer.zoom * 100));
    Command(wxEVT_BUTTON, kIdZoomOut);
    EXPECT_FLOAT_EQ(viewer.zoom, Param::ViewerBase::NextZoomOut(Param::ViewerBase::NextZoomIn(fitted)));
    Menu(6000);
    Menu(6000);
    EXPECT_GT(viewer.zoom, fitted);
    Menu(6001);
    // Back to 100 % through the field.
    Find<wxTextCtrl>(kIdZoomText)->ChangeValue("100");
    Command(wxEVT_TEXT_ENTER, kIdZoomText);
    Settle(150);
    EXPECT_FLOAT_EQ(viewer.zoom, 1.0f);
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(DialogTest, TheBoundingBoxToggleChangesItsParameterWithoutUndo) {
    Open();
    Find<wxToggleButton>(kIdBoundingBox)->SetValue(false);
    Command(wxEVT_TOGGLEBUTTON, kIdBoundingBox);
    EXPECT_FALSE(list.parameters[kParamBoundingBox].value.GetBoolean());
    EXPECT_TRUE(dialog->GetViewer()->needsRender);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_EQ(TakeEvents(), "");
}

// Answers the font dialog with a font and a colour, noting what it was opened with.
class ChooseFont : public wxExpectModalBase<wxFontDialog, ChooseFont> {
public:
    ChooseFont(const wxFont& font, const wxColour& colour, int answer = wxID_OK)
        : font(font), colour(colour), answer(answer) {}
    int OnInvoked(wxFontDialog* dialog) const override {
        offeredColour = dialog->GetFontData().GetColour();
        offeredFont = dialog->GetFontData().GetInitialFont();
        dialog->GetFontData().SetChosenFont(font);
        dialog->GetFontData().SetColour(colour);
        return answer;
    }
    wxFont font;
    wxColour colour;
    int answer;
    mutable wxColour offeredColour;
    mutable wxFont offeredFont;
};

TEST_F(DialogTest, TheFontDialogWritesFontAndTextColourWithoutUndo) {
    Open();
    list.parameters[kParamTextColor].value.SetColor(0.5, 0.5, 0.5);
    const wxFont bold(20, wxFONTFAMILY_ROMAN, wxFONTSTYLE_ITALIC, wxFONTWEIGHT_BOLD, true, "Liberation Serif");
    ChooseFont chosen(bold, wxColour(128, 0, 255));
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), chosen);
    EXPECT_EQ(chosen.offeredColour, wxColour(127, 127, 127));
    EXPECT_EQ(chosen.offeredFont.GetFaceName(), "Arial");
    EXPECT_EQ(chosen.offeredFont.GetPointSize(), 12);
    EXPECT_EQ(list.parameters[kParamFontFacename].value.text, "Liberation Serif");
    EXPECT_DOUBLE_EQ(Value(kParamFontSize), 20.0);
    EXPECT_TRUE(list.parameters[kParamFontUnderline].value.GetBoolean());
    EXPECT_EQ(list.parameters[kParamFontStyle].value.GetInteger(), 1);
    EXPECT_EQ(list.parameters[kParamFontWeight].value.GetInteger(), 2);
    const auto colour = list.parameters[kParamTextColor].value.GetColor();
    EXPECT_DOUBLE_EQ(colour.red, 128 / 255.0);
    EXPECT_DOUBLE_EQ(colour.blue, 1.0);
    EXPECT_EQ(UndoSteps(), 0u);

    // A weight without a code of its own leaves the weight as it was; the rest changes.
    wxFont medium(14, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_MEDIUM, false, "Liberation Sans");
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), ChooseFont(medium, *wxBLACK));
    EXPECT_EQ(list.parameters[kParamFontWeight].value.GetInteger(), 2);
    EXPECT_EQ(list.parameters[kParamFontStyle].value.GetInteger(), 0);
    EXPECT_DOUBLE_EQ(Value(kParamFontSize), 14.0);

    // Cancelled: nothing changes.
    const PS::Parameters before = list;
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), ChooseFont(bold, *wxRED, wxID_CANCEL));
    for (std::size_t i = 0; i < list.parameters.size(); ++i)
        EXPECT_TRUE(list.parameters[i].value == before.parameters[i].value) << i;
}

}  // namespace
}  // namespace dialog_test
