#include "win32/focus.h"

#include "win32/gtk_calls.h"
#include "win32/host_window.h"

namespace {
HWND gFocus = nullptr;
}

HWND SetFocus(HWND window) {
    if (!IsWindow(window)) return nullptr;
    const auto& gtk = TelloraGtk::Get();
    if (gtk.isToplevel && gtk.isToplevel(window)) {
        if (gtk.present) gtk.present(window);
    } else if (gtk.grabFocus) {
        gtk.grabFocus(window);
    }
    const HWND previous = gFocus;
    gFocus = window;
    return previous;
}

HWND GetFocus() { return gFocus; }
