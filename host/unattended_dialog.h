// Ending the plug-in's modal dialog in a batch run.
//
// Only the host decides that nobody is there, by asking for a batch run (TELLORA_BATCH, the
// rule the message boxes follow too): an editor without a terminal or a console has a user at
// the screen, and its dialog waits for OK or Cancel. In a batch run the modal runner hands the
// dialog to an UnattendedDialog before it shows it: once the dialog is on screen and each panel
// in it (the preview) has painted once, it saves a PNG screenshot of the dialog when
// TELLORA_DIALOG_SCREENSHOT names a file, then presses OK, so that the dialog validates and
// takes its values as after a user's click. Should that not end the modal loop, the dialog is
// ended with OK directly; a dialog that never paints is ended the same way after a few seconds.
// While it watches, toolkit assertions are printed instead of asking a user in a box.
// So batch runs and tests go through the real dialog and never wait for a user.
#pragma once
#include <wx/debug.h>

#include <functional>
#include <memory>
#include <string>

class wxDialog;
class wxWindow;

namespace Corvantis::Host::PS {

class UnattendedDialog {
public:
    // Watches `dialog`, which must outlive this object; starts counting when constructed.
    explicit UnattendedDialog(wxDialog* dialog);
    ~UnattendedDialog();
    UnattendedDialog(const UnattendedDialog&) = delete;
    UnattendedDialog& operator=(const UnattendedDialog&) = delete;

    struct State;

private:
    class Ticker;
    std::shared_ptr<State> state;
    std::unique_ptr<Ticker> ticker;
    wxAssertHandler_t previousAssertHandler = nullptr;
};

// In-process tests: called in place of the OK press, with the dialog ready on screen; returns
// the button to press (wxID_OK or wxID_CANCEL). Null restores the OK press.
void SetUnattendedDialogAnswer(std::function<int(wxDialog&)> answer);

// Saves what the window shows on screen (the part inside the screen) as a PNG file.
bool SaveWindowScreenshot(wxWindow* window, const std::string& path, std::string* error = nullptr);

}  // namespace Corvantis::Host::PS
