// Real keyboard and mouse input for the toolkit's own controls: the X server's test extension
// (wxUIActionSimulator) presses keys and moves and clicks the pointer, so every event passes
// through GTK and the toolkit exactly as a user's would. Waits are for conditions, never for
// time: events are processed until the awaited state holds, with a generous bound.
#pragma once
#include <functional>
#include <string>

class wxListBox;
class wxTopLevelWindow;
class wxWindow;
struct _GtkWidget;

namespace real_input {

// Processes events until `done` holds; false when it still does not after `boundMs`.
bool WaitUntil(const std::function<bool()>& done, int boundMs = 30000);

// Gives the X input focus to the top-level window (no window manager runs here) and waits
// until the toolkit sees it active.
bool Activate(wxTopLevelWindow* window);
// The same for a GTK top-level window that the toolkit does not know (a native dialog).
bool Activate(_GtkWidget* window);

// Moves the pointer to the point (x, y) of the screen / to the middle of the window, and clicks.
void ClickAt(int x, int y);
void Click(wxWindow* window);
void Click(_GtkWidget* widget);
void DoubleClick(wxWindow* window);
// Clicks the list's entry `row`, near the start of its text.
void ClickRow(wxListBox* list, int row);

// Runs `step` as soon as `ready` holds, from the event loop then running: inside the modal
// loop (a dialog's, a native box's) that input sent after this call brings up. Polled when
// the loop is idle, after the window system's events. Should `ready` not come within the
// bound, or should the step stop at a failed assertion, the test fails and every modal window
// is closed, so that the test ends.
void When(std::function<bool()> ready, std::function<void()> step, int boundMs = 30000);

// The message box (a GTK message dialog) that is up, or null.
_GtkWidget* FindMessageBox();
// Ends every modal window that is up: native boxes and choosers, the toolkit's dialogs.
void AbandonModals();

// Saves the whole screen as a PNG file.
bool SaveScreen(const std::string& path);

// Types the characters (ASCII), or presses one key (a wxKeyCode or character) with modifiers.
void Type(const std::string& text);
void Key(int key, int modifiers = 0);

}  // namespace real_input
