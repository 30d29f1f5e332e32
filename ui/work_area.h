// Where a top-level window's normal (not maximised) size and place may lie: within the work
// area of the screen it opens on, so that a dialog restored from maximised shows all of itself.
#pragma once

class wxRect;
class wxTopLevelWindow;
class wxWindow;

// The work area of the screen that shows most of `near`; the primary screen's when `near` is
// null or on no screen.
wxRect WorkAreaNear(const wxWindow* near);

// Caps the window's minimum and current size at that work area, centres the window on `near`
// (on the work area when `near` is null or off it) and moves it wholly inside the work area.
// Call it before the window is shown or maximised: it sets the size and place that a restore
// returns to.
void PlaceInWorkArea(wxTopLevelWindow* window, const wxWindow* near);
