// Stand-in for giving the keyboard focus to a window. On this platform a window handle is a
// GTK widget (see host_window.h): a top-level window is presented (raised and given the
// focus), any other widget grabs the focus inside its window.
#pragma once

#ifdef _WIN32
// On Windows these are the system's own SetFocus and GetFocus.
#include "win32/windows_api.h"
#else
using HWND = void*;

// Gives `window` the focus; returns the window that last had it through this call (Windows
// returns the previous focus window). A handle that is no window changes nothing and gives
// null.
HWND SetFocus(HWND window);
// The window that last got the focus through SetFocus, or null.
HWND GetFocus();
#endif
