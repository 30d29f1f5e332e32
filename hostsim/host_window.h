// The host's own top-level window, handed to the plug-in as platformData->hwnd so that its
// dialog has a parent, as in an image editor. Per platform: a GTK window, made only when GTK
// can start (host_window_gtk.cpp); a Win32 window (host_window_win.cpp).
#pragma once
#include <memory>
#include <string>

namespace hostsim {

class HostWindow {
public:
    // Whether there is a display to show windows on (for GTK: DISPLAY is set).
    static bool DisplayAvailable();
    // A shown, realised window, or null when none can be made (no display); `why` then says so.
    static std::unique_ptr<HostWindow> Create(const std::string& title, std::string* why = nullptr);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The GtkWidget* or HWND of the window: what the filter record's platformData->hwnd carries.
    void* handle() const { return widget_; }

    // Whether the window takes input now (the plug-in disables it while its dialog is up).
    bool sensitive() const;

private:
    explicit HostWindow(void* widget) : widget_(widget) {}
    void* widget_;
};

}  // namespace hostsim
