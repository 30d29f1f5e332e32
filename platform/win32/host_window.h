// Stand-ins for the Windows calls made on the host's window. On this platform the host's
// window handle (platformData->hwnd) is a GTK top-level window (a GtkWidget*, as
// wxWindow::GetHandle gives it) or null; any other handle is treated as no window.
#pragma once

#ifdef _WIN32
// On Windows the host's window is an HWND and these are the system's own functions.
#include "win32/windows_api.h"

// The native handle under which a toolkit window can be parented to `window`: on Windows the
// HWND itself; null when it is no window.
inline void* HostWindowContainerHandle(HWND window) { return IsWindow(window) ? window : nullptr; }
#else
using HWND = void*;
typedef int BOOL;

// Makes the window accept input or not (GTK sensitivity). Returns TRUE (non-zero) when the
// window was disabled before the call, as on Windows.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
// Whether the handle is a window of the toolkit.
BOOL IsWindow(HWND window);

// The native handle under which a toolkit window can be parented to `window`
// (wxNativeContainerWindowHandle: on GTK the window's GdkWindow); null when the window is not
// realised or is no window.
void* HostWindowContainerHandle(HWND window);
#endif
