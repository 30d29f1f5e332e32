// The host's own top-level window, handed to the plug-in as platformData->hwnd so that its
// dialog has a parent, as in an image editor. A GTK window; made only when GTK can start.
#pragma once
#include <memory>
#include <string>

namespace hostsim {

class HostWindow {
public:
    // A shown, realised window, or null when GTK cannot start (no display); `why` then says so.
    static std::unique_ptr<HostWindow> Create(const std::string& title, std::string* why = nullptr);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The GtkWidget* of the window: what the filter record's platformData->hwnd carries.
    void* handle() const { return widget_; }

    // Whether the window takes input now (the plug-in disables it while its dialog is up).
    bool sensitive() const;

private:
    explicit HostWindow(void* widget) : widget_(widget) {}
    void* widget_;
};

}  // namespace hostsim
