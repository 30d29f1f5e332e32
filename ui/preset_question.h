// The question asked before a preset that exists already is replaced.
#pragma once
#include "win32/message_box.h"

#include <wx/string.h>

// Asks whether the preset `name` is to be replaced, in a box owned by `owner`; true for Yes.
// The name is shown whole, whatever its characters (on Windows through the wide box).
bool UserAllowsReplacingPreset(HWND owner, const wxString& name);
