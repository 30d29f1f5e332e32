#include "win32/host_window.h"

#include "win32/gtk_calls.h"

BOOL IsWindow(HWND window) { return TelloraGtk::IsWidget(window) ? 1 : 0; }

BOOL IsWindowEnabled(HWND window) {
    const auto& gtk = TelloraGtk::Get();
    if (!IsWindow(window) || !gtk.widgetSensitive) return 0;
    return gtk.widgetSensitive(window) ? 1 : 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    const auto& gtk = TelloraGtk::Get();
    if (!IsWindow(window) || !gtk.setSensitive) return 0;
    const BOOL wasDisabled = IsWindowEnabled(window) ? 0 : 1;
    gtk.setSensitive(window, enable ? 1 : 0);
    return wasDisabled;
}

void* HostWindowContainerHandle(HWND window) {
    const auto& gtk = TelloraGtk::Get();
    if (!IsWindow(window) || !gtk.widgetWindow) return nullptr;
    return gtk.widgetWindow(window);
}
