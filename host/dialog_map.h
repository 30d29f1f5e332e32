// For scripts that drive an attended dialog with real input (xdotool): when TELLORA_DIALOG_MAP
// names a file, the dialog's controls are written to it once the dialog is on screen, one line
// each: window id, then the screen rectangle (x y width height), then the label, if any.
#pragma once

class wxDialog;

namespace Corvantis::Host::PS {

// Arranges for the map of `dialog` to be written when TELLORA_DIALOG_MAP is set: to that file
// plus `suffix` (dialogs opened from the plug-in's own use a suffix of their own).
void MapDialogWhenShown(wxDialog* dialog, const char* suffix = "");

}  // namespace Corvantis::Host::PS
