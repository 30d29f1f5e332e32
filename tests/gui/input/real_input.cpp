#include "real_input.h"

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <gtk/gtk.h>

#include <chrono>

namespace real_input {
namespace {

wxUIActionSimulator& Simulator() {
    static wxUIActionSimulator simulator;
    return simulator;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int boundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // Only when nothing is pending, rest a moment instead of spinning.
        if (!wxTheApp->Yield(true)) wxMilliSleep(2);
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    }
    return true;
}

bool Activate(GtkWidget* window) {
    if (!window) return false;
    if (!WaitUntil([window] { return gtk_widget_get_mapped(window) && gtk_widget_get_window(window); })) return false;
    // Without a window manager GDK hands the X input focus straight to the window.
    gtk_window_present(GTK_WINDOW(window));
    return WaitUntil([window] { return gtk_window_is_active(GTK_WINDOW(window)) != FALSE; });
}

bool Activate(wxTopLevelWindow* window) {
    if (!window || !WaitUntil([window] { return window->IsShownOnScreen(); })) return false;
    return Activate(static_cast<GtkWidget*>(window->GetHandle())) && WaitUntil([window] { return window->IsActive(); });
}

void ClickAt(int x, int y) {
    Simulator().MouseMove(x, y);
    Simulator().MouseClick();
}

void Click(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    ClickAt(r.x + r.width / 2, r.y + r.height / 2);
}

void Click(GtkWidget* widget) {
    // A widget's allocation is relative to its parent's GDK window.
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    GdkWindow* parent = gtk_widget_get_parent_window(widget);
    if (!parent) parent = gtk_widget_get_window(widget);
    int x = 0, y = 0;
    gdk_window_get_origin(parent, &x, &y);
    ClickAt(x + a.x + a.width / 2, y + a.y + a.height / 2);
}

void DoubleClick(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    Simulator().MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    Simulator().MouseDblClick();
}

void Type(const std::string& text) { Simulator().Text(text.c_str()); }

void Key(int key, int modifiers) { Simulator().Char(key, modifiers); }

}  // namespace real_input
