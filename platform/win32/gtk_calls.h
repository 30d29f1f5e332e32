// The few GTK calls the window stand-ins make, resolved at run time from the toolkit that the
// process has already loaded (no GTK headers or link-time dependency). Internal to win32/.
#pragma once

namespace TelloraGtk {

struct Calls {
    int (*widgetSensitive)(void* widget) = nullptr;
    void (*setSensitive)(void* widget, int sensitive) = nullptr;
    int (*isToplevel)(void* widget) = nullptr;
    void (*present)(void* window) = nullptr;
    void (*grabFocus)(void* widget) = nullptr;
    void* (*widgetWindow)(void* widget) = nullptr;
};

// The resolved calls; null members when GTK is not in the process.
const Calls& Get();
// Whether `handle` is a GtkWidget (checked through the GObject type system).
bool IsWidget(void* handle);

}  // namespace TelloraGtk
