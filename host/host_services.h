// Small services through which the dialog reaches the host and the system: the host's colour
// picker, the presets folder and the busy-cursor guard of the preview. The display of pixels
// is Host::DisplayPixels (host.h); the modal runner is in modal_dialog_runner.h.
#pragma once
#include "pluginapi/pixel_map.h"

#include <wx/string.h>

namespace Corvantis::Host::PS {

// Offers `rgb` (red, green, blue in 0..1) to the host's colour picker. On 0 the chosen colour
// has replaced `rgb`; any other result leaves it as it was. A host without the callback gets
// errPlugInHostInsufficient and no call.
OSErr PickColor(ColorServicesProc colorServices, double* rgb);

// <shared documents>/Corvantis/<product>/<subfolder>/ with the platform's separator, always
// ending in it. Nothing is created. Empty when the documents folder cannot be found, so that
// callers never fall back to a folder at the file-system root.
wxString GetPresetFolder(const wxString& product, const wxString& subfolder);

// Ends the busy cursor when released with the flag set, so that an exception leaving the
// preview render does not leave the cursor busy.
struct EndBusyCursorIfSet {
    bool set = false;
    EndBusyCursorIfSet() = default;
    EndBusyCursorIfSet(const EndBusyCursorIfSet&) = delete;
    EndBusyCursorIfSet& operator=(const EndBusyCursorIfSet&) = delete;
    ~EndBusyCursorIfSet();
};

}  // namespace Corvantis::Host::PS
