#include "win32/host_window.h"

#include <gtk/gtk.h>

// A host window is a GtkWidget; anything else (including null) is no window.
BOOL IsWindow(HWND window) { return window && GTK_IS_WIDGET(window) ? 1 : 0; }

BOOL IsWindowEnabled(HWND window) {
    if (!IsWindow(window)) return 0;
    return gtk_widget_get_sensitive(GTK_WIDGET(window)) ? 1 : 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (!IsWindow(window)) return 0;
    const BOOL wasDisabled = IsWindowEnabled(window) ? 0 : 1;
    gtk_widget_set_sensitive(GTK_WIDGET(window), enable ? TRUE : FALSE);
    return wasDisabled;
}

void* HostWindowContainerHandle(HWND window) {
    if (!IsWindow(window)) return nullptr;
    return gtk_widget_get_window(GTK_WIDGET(window));
}
