#include "win32/focus.h"

#include "win32/host_window.h"

#include <gtk/gtk.h>

namespace {
HWND gFocus = nullptr;
}

HWND SetFocus(HWND window) {
    if (!IsWindow(window)) return nullptr;
    GtkWidget* widget = GTK_WIDGET(window);
    if (gtk_widget_is_toplevel(widget) && GTK_IS_WINDOW(widget)) gtk_window_present(GTK_WINDOW(widget));
    else gtk_widget_grab_focus(widget);
    const HWND previous = gFocus;
    gFocus = window;
    return previous;
}

HWND GetFocus() { return gFocus; }
