// Runs the plug-in's modal dialog inside the host's window.
#pragma once
#include "host/host.h"

#include <functional>

class wxDialog;
class wxWindow;

namespace Corvantis::Host::PS {

// Builds a new dialog over the parameter list, owned by `parent` (null when the host gives no
// window).
using DialogFactory = std::function<wxDialog*(Host* host, Parameters* params, wxWindow* parent)>;

// Starts the toolkit once more, parents the factory's dialog to the host's window, keeps that
// window disabled for the length of the modal loop, and gives it the focus back afterwards.
// True when the dialog ended with wxID_OK. The dialog is deleted before the call returns.
// Throws std::runtime_error when the toolkit cannot start or the factory returns no dialog;
// the host window is re-enabled on every way out. In a batch run (the host set TELLORA_BATCH)
// the dialog is shown all the same and ends itself with OK once it has painted, after a
// screenshot into $TELLORA_DIALOG_SCREENSHOT when that is set (unattended_dialog.h).
bool RunModalInHostWindow(Host* host, Parameters* params, const DialogFactory& factory);

}  // namespace Corvantis::Host::PS
