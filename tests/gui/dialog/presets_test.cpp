// The presets list: which files it shows, saving through the file dialog, applying as one undo
// step, and deleting with the Delete key after a question.
#include "dialog_fixture.h"

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <fstream>

namespace dialog_test {
namespace {

class Presets : public PresetsTest {
protected:
    void Save(const std::filesystem::path& path, int answer = wxID_OK) {
        wxTEST_DIALOG(Command(wxEVT_BUTTON, kIdSavePreset), SaveAs(path.string(), answer));
    }
    void PressKey(int code) {
        wxListBox* presets = Find<wxListBox>(kIdPresetList);
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.SetEventObject(presets);
        presets->GetEventHandler()->ProcessEvent(key);
    }
};

TEST_F(Presets, TheListShowsTheTextFilesOfTheFolder) {
    Write("a.txt", "a", 1);
    Write("b.txt", "b", 2);
    Write("c.dat", "c", 3);
    Write(".hidden.txt", "h", 4);
    std::filesystem::create_directory(folder / "d.txt");
    Open();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(Presets, SavingWritesATextFileAndListsEachPresetOnce) {
    Open();
    list.parameters[kParamText].value.text = "saved";
    Save(folder / "mine");
    EXPECT_TRUE(std::filesystem::exists(folder / "mine.txt"));
    Save(folder / "other.dat");  // every preset is a text file, whatever its name holds
    EXPECT_TRUE(std::filesystem::exists(folder / "other.dat.txt"));
    Save(folder / "mine.txt");
    EXPECT_EQ(Names(), (std::vector<std::string>{"mine", "other.dat"}));
    Save(folder / "cancelled", wxID_CANCEL);
    EXPECT_FALSE(std::filesystem::exists(folder / "cancelled.txt"));
    EXPECT_TRUE(boxes.empty());

    // A file that cannot be written is reported, not passed off as saved.
    std::filesystem::create_directory(folder / "blocked.txt");
    Save(folder / "blocked");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Preset saving error");
    EXPECT_EQ(boxes[0].caption, "Message");
    std::ifstream saved(folder / "mine.txt");
    const std::string content((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("\"saved\""), std::string::npos);
}

TEST_F(Presets, ApplyingIsOneUndoStepForEveryParameter) {
    Write("big.txt", "From a preset", 222);
    Open();
    const PS::Parameters before = list;
    Find<wxListBox>(kIdPresetList)->SetSelection(wxNOT_FOUND);
    Command(wxEVT_BUTTON, kIdApplyPreset);  // nothing selected
    EXPECT_EQ(UndoSteps(), 0u);

    Find<wxListBox>(kIdPresetList)->SetSelection(0);
    Command(wxEVT_BUTTON, kIdApplyPreset);
    EXPECT_EQ(list.parameters[kParamText].value.text, "From a preset");
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 222.0);
    EXPECT_EQ(Find<wxTextCtrl>(kIdWidthText)->GetValue(), "222.00");
    EXPECT_EQ(Find<wxTextCtrl>(kIdText)->GetValue(), "From a preset");
    EXPECT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(list.undo.front().size(), list.parameters.size());

    Menu(6007);
    for (std::size_t i = 0; i < list.parameters.size(); ++i)
        EXPECT_TRUE(list.parameters[i].value == before.parameters[i].value) << i;
    Command(wxEVT_LISTBOX_DCLICK, kIdPresetList);
    EXPECT_DOUBLE_EQ(Value(kParamEllipseWidth), 222.0);
}

TEST_F(Presets, DeleteAsksFirstAndRemovesTheSelectedPreset) {
    Write("a.txt", "a", 1);
    Write("b.txt", "b", 2);
    Open();
    PressKey('A');
    EXPECT_TRUE(boxes.empty());
    Find<wxListBox>(kIdPresetList)->SetSelection(wxNOT_FOUND);
    PressKey(WXK_DELETE);  // nothing selected: asked all the same, nothing removed
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Delete Preset ?");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].type, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(Names().size(), 2u);

    wxListBox* presets = Find<wxListBox>(kIdPresetList);
    presets->SetSelection(presets->FindString("a"));
    boxAnswer = IDCANCEL;
    PressKey(WXK_DELETE);
    EXPECT_TRUE(std::filesystem::exists(folder / "a.txt"));
    boxAnswer = IDOK;
    PressKey(WXK_DELETE);
    EXPECT_FALSE(std::filesystem::exists(folder / "a.txt"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b"}));
}

TEST_F(Presets, WithoutADocumentsFolderTheListStaysEmpty) {
    Open();
    dialog->SetPresetFolder(wxEmptyString);
    dialog->FillPresetList();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, " No directory here ");
    EXPECT_EQ(boxes[0].caption, "Message");
    EXPECT_TRUE(Names().empty());
}

}  // namespace
}  // namespace dialog_test
