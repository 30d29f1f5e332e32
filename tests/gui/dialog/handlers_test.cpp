// The dialog's handlers: field, slider, choice and colour edits with undo and redo, the zoom
// controls, the "Bounding Box" toggle and the font dialog.
#include "dialog_fixture.h"

#include "ui/font_dialog.h"
#include "ui/viewer_base.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/spinctrl.h>
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

// Answers the font dialog after `edit` has set its controls, noting what it opened with.
class ChooseFont : public wxExpectModalBase<BubbleFontDialog, ChooseFont> {
public:
    ChooseFont(std::function<void(BubbleFontDialog&)> edit, int answer = wxID_OK)
        : edit(std::move(edit)), answer(answer) {}
    int OnInvoked(BubbleFontDialog* dialog) const override {
        offered = dialog->GetChoice();
        shownFace = dynamic_cast<wxListBox*>(dialog->FindWindow(BubbleFontDialog::kIdFaces))->GetStringSelection();
        okEnabled = dialog->FindWindow(wxID_OK)->IsEnabled();
        edit(*dialog);
        return answer;
    }
    std::function<void(BubbleFontDialog&)> edit;
    int answer;
    mutable BubbleFontChoice offered;
    mutable wxString shownFace;
    mutable bool okEnabled = false;
};

template <class T>
T* In(BubbleFontDialog& dialog, int id) {
    return dynamic_cast<T*>(dialog.FindWindow(id));
}

TEST_F(DialogTest, TheFontDialogWritesFontAndTextColourWithoutUndo) {
    Open();
    list.parameters[kParamTextColor].value.SetColor(0.5, 0.5, 0.5);
    ChooseFont chosen([](BubbleFontDialog& d) {
        auto* faces = In<wxListBox>(d, BubbleFontDialog::kIdFaces);
        faces->SetSelection(faces->FindString("Liberation Serif"));
        In<wxSpinCtrl>(d, BubbleFontDialog::kIdSize)->SetValue(20);
        In<wxChoice>(d, BubbleFontDialog::kIdStyle)->SetSelection(1);
        In<wxChoice>(d, BubbleFontDialog::kIdWeight)->SetSelection(2);
        In<wxCheckBox>(d, BubbleFontDialog::kIdUnderline)->SetValue(true);
        d.SetColour(wxColour(128, 0, 255));
    });
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), chosen);
    EXPECT_EQ(chosen.offered.colour, wxColour(127, 127, 127));
    EXPECT_EQ(chosen.offered.face, "Arial");
    EXPECT_EQ(chosen.offered.points, 12);
    // Arial is not installed here: the dialog opens on the face drawn in its place, ready for OK.
    EXPECT_EQ(chosen.shownFace, BubbleFontDialog::ResolveFace("Arial"));
    EXPECT_NE(chosen.shownFace, "");
    EXPECT_TRUE(chosen.okEnabled);
    EXPECT_EQ(list.parameters[kParamFontFacename].value.text, "Liberation Serif");
    EXPECT_DOUBLE_EQ(Value(kParamFontSize), 20.0);
    EXPECT_TRUE(list.parameters[kParamFontUnderline].value.GetBoolean());
    EXPECT_EQ(list.parameters[kParamFontStyle].value.GetInteger(), 1);
    EXPECT_EQ(list.parameters[kParamFontWeight].value.GetInteger(), 2);
    const auto colour = list.parameters[kParamTextColor].value.GetColor();
    EXPECT_DOUBLE_EQ(colour.red, 128 / 255.0);
    EXPECT_DOUBLE_EQ(colour.blue, 1.0);
    EXPECT_EQ(UndoSteps(), 0u);

    // Cancelled: nothing changes.
    const PS::Parameters before = list;
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), ChooseFont([](BubbleFontDialog& d) {
                      d.SetColour(*wxRED);
                      In<wxCheckBox>(d, BubbleFontDialog::kIdUnderline)->SetValue(false);
                  }, wxID_CANCEL));
    for (std::size_t i = 0; i < list.parameters.size(); ++i)
        EXPECT_TRUE(list.parameters[i].value == before.parameters[i].value) << i;
}

TEST_F(DialogTest, TheFontDialogChangesOnlyWhatTheUserChanged) {
    Open();
    // Values that a round trip through a toolkit font would lose or rewrite: a face that is
    // not installed, a fractional size, codes without a choice of their own, the underline.
    auto& p = list.parameters;
    p[kParamFontSize].value.SetFloat(12.5);
    p[kParamFontWeight].value.SetInteger(57);
    p[kParamFontFamily].value.SetInteger(6);
    p[kParamFontUnderline].value.SetBoolean(true);
    const PS::Parameters before = list;
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont), ChooseFont([](BubbleFontDialog& d) { d.SetColour(wxColour(0, 128, 255)); }));
    for (std::size_t i = 0; i < p.size(); ++i)
        if (i != kParamTextColor) {
            EXPECT_TRUE(p[i].value == before.parameters[i].value) << i;
        }
    EXPECT_DOUBLE_EQ(p[kParamTextColor].value.GetColor().green, 128 / 255.0);

    // The style alone: underline, size and face stay.
    wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdFont),
                  ChooseFont([](BubbleFontDialog& d) { In<wxChoice>(d, BubbleFontDialog::kIdStyle)->SetSelection(2); }));
    EXPECT_EQ(p[kParamFontStyle].value.GetInteger(), 2);
    EXPECT_TRUE(p[kParamFontUnderline].value.GetBoolean());
    EXPECT_DOUBLE_EQ(Value(kParamFontSize), 12.5);
    EXPECT_EQ(p[kParamFontFacename].value.text, "Arial");
    EXPECT_EQ(p[kParamFontWeight].value.GetInteger(), 57);
}

}  // namespace
}  // namespace dialog_test
