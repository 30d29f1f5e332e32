// A text that an older host or a recorded action hands over in a single-byte code page: the
// dialog shows its characters, a real click on OK that leaves it alone keeps its bytes, and a
// text typed over it is kept as UTF-8.
#include "dialog_fixture.h"
#include "real_input.h"

#include <wx/textctrl.h>

namespace dialog_test {
namespace {

using real_input::Activate;
using real_input::Click;
using real_input::Type;
using real_input::WaitUntil;

class LegacyText : public DialogTest {
protected:
    const std::string& Text() const { return list.parameters[kParamText].value.text; }
    // Opens the dialog over the text `bytes`, checks what its field shows and clicks OK.
    wxTextCtrl* OpenOver(const std::string& bytes) {
        list.parameters[kParamText].value.text = bytes;
        Open();
        EXPECT_TRUE(Activate(dialog));
        return Find<wxTextCtrl>(kIdText);
    }
    void ClickOk() {
        Click(dialog->FindWindow(wxID_OK));
        EXPECT_TRUE(WaitUntil([this] { return !dialog->IsShown(); })) << "OK closes the dialog";
    }
};

TEST_F(LegacyText, AnUntouchedOkKeepsItsBytes) {
    wxTextCtrl* field = OpenOver("caf\xE9");
    EXPECT_EQ(field->GetValue(), wxString(L"caf\u00E9"));
    ClickOk();
    EXPECT_EQ(Text(), "caf\xE9");
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(LegacyText, ATextTypedOverItIsKeptAsUtf8) {
    wxTextCtrl* field = OpenOver("caf\xE9");
    Click(field);
    ASSERT_TRUE(WaitUntil([field] { return wxWindow::FindFocus() == field; }));
    field->SetInsertionPointEnd();
    Type("s");
    ASSERT_TRUE(WaitUntil([field] { return field->GetValue() == wxString(L"caf\u00E9s"); })) << field->GetValue();
    ClickOk();
    EXPECT_EQ(Text(), "caf\xC3\xA9s");
}

}  // namespace
}  // namespace dialog_test
