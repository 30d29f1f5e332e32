// The presets list under real keys and clicks: a name given to the file dialog becomes a ".txt"
// preset that the list shows, a preset that exists is replaced only after a question whatever
// name was given, and a deleted entry leaves nothing selected for Apply.
#include "dialog_fixture.h"
#include "real_input.h"

#include <wx/listbox.h>

#include <gtk/gtk.h>

namespace dialog_test {
namespace {

using real_input::Activate;
using real_input::Click;
using real_input::Key;
using real_input::WaitUntil;

class PresetsInput : public PresetsTest {
protected:
    void OpenForInput() {
        Open();
        presets = Find<wxListBox>(kIdPresetList);
        dialog->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            ++applies;
            e.Skip();
        }, kIdApplyPreset);
        dialog->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
            ++saves;
            e.Skip();
        }, kIdSavePreset);
        ASSERT_TRUE(Activate(dialog));
    }
    // Saves as a user does: a click on "Save Preset" and the name given to the file dialog.
    void SaveAs(const std::string& name) {
        wxTEST_DIALOG(ClickSave(), dialog_test::SaveAs((folder / name).string(), wxID_OK));
    }
    void ClickSave() {
        const int before = saves;
        Click(dialog->FindWindow(kIdSavePreset));
        // The handler has run to its end when the wait sees the click counted.
        ASSERT_TRUE(WaitUntil([this, before] { return saves == before + 1; }));
    }
    // Clicks the entry and waits until it is the selection.
    void Choose(int row) {
        real_input::ClickRow(presets, row);
        ASSERT_TRUE(WaitUntil([this, row] { return presets->GetSelection() == row; }));
    }
    void ClickApply() {
        const int before = applies;
        Click(dialog->FindWindow(kIdApplyPreset));
        ASSERT_TRUE(WaitUntil([this, before] { return applies == before + 1; }));
    }

    wxListBox* presets = nullptr;
    int applies = 0, saves = 0;
};

TEST_F(PresetsInput, ANameWithADotIsSavedAsAPresetThatCanBeApplied) {
    list.parameters[kParamEllipseWidth].value.SetFloat(234);
    OpenForInput();
    SaveAs("v1.2 big");
    EXPECT_TRUE(boxes.empty());
    EXPECT_DOUBLE_EQ(WidthIn("v1.2 big.txt"), 234.0);
    EXPECT_FALSE(std::filesystem::exists(folder / "v1.2 big"));
    ASSERT_EQ(Names(), (std::vector<std::string>{"v1.2 big"}));
    EXPECT_TRUE(real_input::SaveScreen(TELLORA_ARTEFACTS "/presets-after-save.png"));

    list.parameters[kParamEllipseWidth].value.SetFloat(100);
    Choose(0);
    ClickApply();
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 234.0);
}

TEST_F(PresetsInput, APresetIsReplacedOnlyAfterAQuestionWhateverTheNameGiven) {
    Write("Sunny.txt", "Sunny", 222);
    OpenForInput();  // the defaults: width 100

    // Typed without ".txt": the chooser saw no such file; the dialog asks.
    boxAnswer = IDNO;
    SaveAs("Sunny");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The preset \"Sunny\" exists already. Replace it?");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_DOUBLE_EQ(WidthIn("Sunny.txt"), 222.0);
    boxAnswer = IDYES;
    SaveAs("Sunny");
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_DOUBLE_EQ(WidthIn("Sunny.txt"), 100.0);

    // Chosen with ".txt": the file dialog has asked, and the question is not asked twice.
    Write("Sunny.txt", "Sunny", 222);
    SaveAs("Sunny.txt");
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_DOUBLE_EQ(WidthIn("Sunny.txt"), 100.0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Sunny"}));
}

TEST_F(PresetsInput, AfterADeleteNothingIsSelectedAndApplyDoesNothing) {
    Write("a.txt", "a", 111);
    Write("b.txt", "b", 222);
    Write("c.txt", "c", 333);
    OpenForInput();
    ASSERT_EQ(presets->GetCount(), 3u);
    // The last entry, then the first: each time the list keeps its neighbours unselected.
    for (const int row : {2, 0}) {
        const unsigned count = presets->GetCount();
        Choose(row);
        Key(WXK_DELETE);  // the question is answered with OK
        ASSERT_TRUE(WaitUntil([this, count] { return presets->GetCount() == count - 1; }));
        EXPECT_EQ(presets->GetSelection(), wxNOT_FOUND) << "row " << row;
        EXPECT_EQ(gtk_tree_selection_count_selected_rows(gtk_tree_view_get_selection(presets->m_treeview)), 0);
        ClickApply();
        EXPECT_EQ(UndoSteps(), 0u);
        EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 100.0);
    }
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(presets->GetCount(), 1u);
}

}  // namespace
}  // namespace dialog_test
