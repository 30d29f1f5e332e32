// The dialog's fields and presets list under real keys and clicks: Enter in a number field
// commits the number and then presses OK, Enter in the zoom field zooms and leaves the dialog
// open, a rejected key leaves a selected number alone, and the presets list opens with nothing
// selected.
#include "dialog_fixture.h"
#include "real_input.h"

#include "ui/viewer_base.h"

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

namespace dialog_test {
namespace {

using real_input::Activate;
using real_input::Click;
using real_input::Key;
using real_input::Type;
using real_input::WaitUntil;

class Typing : public DialogTest {
protected:
    // Opens the dialog, gives it the input focus and counts the clicks on OK.
    void OpenForInput(int32 width = 200, int32 height = 150) {
        Open(width, height);
        dialog->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            if (e.GetId() == wxID_OK) {
                ++okClicks;
                events += events.empty() ? "OK" : " OK";
            }
            e.Skip();
        });
        ASSERT_TRUE(Activate(dialog));
    }
    // Clicks into the field and selects what it shows, as a user about to type over it.
    wxTextCtrl* ClickInto(int id) {
        auto* field = Find<wxTextCtrl>(id);
        Click(field);
        EXPECT_TRUE(WaitUntil([field] { return wxWindow::FindFocus() == field; }));
        field->SelectAll();
        return field;
    }
    // GTK presses a button activated by a key on screen first and clicks it a moment later, so
    // an Enter passed on to the default button shows here as OK held down.
    bool OkIsBeingPressed() const {
        auto* ok = static_cast<GtkWidget*>(dialog->FindWindow(wxID_OK)->GetHandle());
        return (gtk_widget_get_state_flags(ok) & GTK_STATE_FLAG_ACTIVE) != 0;
    }
    int okClicks = 0;
};

TEST_F(Typing, EnterInANumberFieldCommitsItAndThenPressesOk) {
    OpenForInput();
    auto* width = ClickInto(kIdWidthText);
    Type("150");
    Key(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return okClicks == 1; })) << width->GetValue();
    // The number was taken before OK, as one undoable step.
    EXPECT_EQ(TakeEvents(), "B1 C1 OK");
    EXPECT_EQ(Value(kParamEllipseWidth), 150.0);
    EXPECT_EQ(UndoSteps(), 1u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Typing, EnterInANumberFieldCorrectsItWithABoxAndThenPressesOk) {
    OpenForInput();
    auto* height = ClickInto(kIdHeightText);
    Type("99999");
    Key(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return okClicks == 1; })) << height->GetValue();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Input error");
    EXPECT_EQ(height->GetValue(), "15000.00");
    EXPECT_EQ(TakeEvents(), "B2 C2 OK");
    EXPECT_EQ(Value(kParamEllipseHeight), 15000.0);
}

TEST_F(Typing, EnterInTheZoomFieldZoomsAndTheDialogStaysOpen) {
    OpenForInput(2000, 1500);  // fitted far below 50 %
    auto& viewer = *dialog->GetViewer();
    ASSERT_LT(viewer.zoom, 0.4f);
    ClickInto(kIdZoomText);
    Type("50");
    Key(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([&viewer] { return viewer.zoom == 0.5f; })) << viewer.zoom;
    EXPECT_FALSE(OkIsBeingPressed());
    EXPECT_EQ(okClicks, 0);
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(Typing, EnterInTheTextStartsANewLineAndOnOkItEndsTheDialog) {
    OpenForInput();
    auto* text = ClickInto(kIdText);
    Type("ab");
    Key(WXK_RETURN);
    Type("c");
    ASSERT_TRUE(WaitUntil([text] { return text->GetValue() == "ab\nc"; })) << text->GetValue();
    EXPECT_FALSE(OkIsBeingPressed());
    EXPECT_EQ(okClicks, 0);

    // On a button Enter does what the platform does: it presses it.
    auto* ok = dialog->FindWindow(wxID_OK);
    ok->SetFocus();
    ASSERT_TRUE(WaitUntil([ok] { return wxWindow::FindFocus() == ok; }));
    Key(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return okClicks == 1; }));
    EXPECT_EQ(list.parameters[kParamText].value.text, "ab\nc");
}

TEST_F(Typing, ARejectedKeyLeavesASelectedNumberAsItWas) {
    OpenForInput();
    auto* width = ClickInto(kIdWidthText);
    ASSERT_EQ(width->GetValue(), "100.00");
    Type("x");
    // A key that passes, after the cursor goes to the end, shows that the rejected one was
    // handled: it lands behind the number that is still there.
    Key(WXK_END);
    Type("5");
    ASSERT_TRUE(WaitUntil([width] { return width->GetValue().EndsWith("5"); })) << width->GetValue();
    EXPECT_EQ(width->GetValue(), "100.005");
    // Leaving the field takes that number, not the default.
    Key(WXK_TAB);
    ASSERT_TRUE(WaitUntil([this] { return !TakeEvents().empty(); }));
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.005);
    EXPECT_TRUE(boxes.empty());

    // 'e' belongs to a floating-point number and passes.
    width = ClickInto(kIdWidthText);
    Type("1e2");
    ASSERT_TRUE(WaitUntil([width] { return width->GetValue() == "1e2"; })) << width->GetValue();
}

TEST_F(Typing, ThePresetsListOpensWithNothingSelected) {
    const auto folder = temp / "docs/Corvantis/Tellora/Presets";
    std::filesystem::create_directories(folder);
    for (const char* name : {"first.txt", "second.txt"}) {
        PS::Parameters values;
        AppendTelloraParameters(values);
        values.parameters[kParamEllipseWidth].value.SetFloat(name[0] == 'f' ? 222 : 333);
        ASSERT_TRUE(values.SavePreset((folder / name).wstring(), "Tellora", "1.0"));
    }
    OpenForInput();
    auto* presets = Find<wxListBox>(kIdPresetList);
    ASSERT_EQ(presets->GetCount(), 2u);
    // The list takes the keyboard focus, as the first control that accepts it or by Tab.
    for (int i = 0; i < 40 && wxWindow::FindFocus() != presets; ++i) {
        wxWindow* before = wxWindow::FindFocus();
        Key(WXK_TAB);
        ASSERT_TRUE(WaitUntil([before] { return wxWindow::FindFocus() != before; }));
    }
    ASSERT_EQ(wxWindow::FindFocus(), presets);
    EXPECT_EQ(presets->GetSelection(), wxNOT_FOUND);

    // Apply with nothing chosen does nothing; after the user clicks an entry it applies that one.
    int applied = 0;
    dialog->Bind(wxEVT_BUTTON, [&applied](wxCommandEvent& e) {
        ++applied;
        e.Skip();
    }, kIdApplyPreset);
    auto* apply = dialog->FindWindow(kIdApplyPreset);
    Click(apply);
    ASSERT_TRUE(WaitUntil([&applied] { return applied == 1; }));
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.0);

    const int first = presets->FindString("first");
    ASSERT_NE(first, wxNOT_FOUND);
    real_input::ClickRow(presets, first);
    ASSERT_TRUE(WaitUntil([presets, first] { return presets->GetSelection() == first; }))
        << "selection " << presets->GetSelection() << " focus " << (wxWindow::FindFocus() == presets);
    Click(apply);
    ASSERT_TRUE(WaitUntil([&applied] { return applied == 2; }));
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 222.0);
    EXPECT_EQ(UndoSteps(), 1u);
}

}  // namespace
}  // namespace dialog_test
