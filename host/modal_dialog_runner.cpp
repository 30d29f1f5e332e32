#include "host/modal_dialog_runner.h"

#include "host/dialog_map.h"
#include "host/unattended_dialog.h"
#include "win32/focus.h"
#include "win32/host_window.h"
#include "win32/toolkit_state.h"

#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/nativewin.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include <memory>
#include <stdexcept>

namespace Corvantis::Host::PS {
namespace {

// Everything the runner must undo, undone in reverse order on every way out.
class HostWindowSession {
public:
    explicit HostWindowSession(HWND hostWindow) : window(hostWindow) {
        int argc = 0;
        started = wxInitialize(argc, static_cast<wxChar**>(nullptr));
        if (!started) {
            wxUninitialize();  // a failed start still counts as one level
            throw std::runtime_error("Tellora could not start its user interface toolkit to show its dialog.");
        }
        if (void* handle = HostWindowContainerHandle(window)) {
            container = new wxNativeContainerWindow(static_cast<wxNativeContainerWindowHandle>(handle));
            if (!container->GetHandle()) {
                delete container;
                container = nullptr;
            }
        }
        // The host window takes no input while the dialog is up.
        if (IsWindow(window)) {
            EnableWindow(window, 0);
            disabled = true;
        }
    }
    ~HostWindowSession() {
        delete dialog;
        if (disabled) EnableWindow(window, 1);
        // Our container owns only its own widget; the host's window is left alone. The toolkit
        // connected the container's handlers to the host's widget and to its frame clock, and
        // leaves them there when the container goes: the host window's next layout would call
        // into the freed container.
#ifdef __WXGTK__
        if (container) {
            if (GtkWidget* widget = container->GetHandle()) {
                if (GdkFrameClock* clock = gtk_widget_get_frame_clock(widget))
                    g_signal_handlers_disconnect_matched(G_OBJECT(clock), G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                                         container);
                g_signal_handlers_disconnect_matched(G_OBJECT(widget), G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                                     container);
            }
        }
#endif
        delete container;
        wxUninitialize();
        SetFocus(window);
    }
    HostWindowSession(const HostWindowSession&) = delete;
    HostWindowSession& operator=(const HostWindowSession&) = delete;

    HWND window;
    wxNativeContainerWindow* container = nullptr;
    wxDialog* dialog = nullptr;
    bool started = false;
    bool disabled = false;
};

}  // namespace

bool RunModalInHostWindow(Host* host, Parameters* params, const DialogFactory& factory) {
    FilterRecord* record = host ? host->filterRecord : nullptr;
    const PlatformData* platform = record ? static_cast<const PlatformData*>(record->platformData) : nullptr;
    HWND hostWindow = platform ? static_cast<HWND>(platform->hwnd) : nullptr;

    HostWindowSession session(hostWindow);
    if (factory) session.dialog = factory(host, params, session.container);
    if (!session.dialog) throw std::runtime_error("Tellora could not create its dialog.");
    session.dialog->Centre(wxBOTH);
    // Batch runs go through the real dialog, which ends itself with OK once it is on screen
    // (see unattended_dialog.h); otherwise it waits for the user.
    std::unique_ptr<UnattendedDialog> unattended;
    if (BatchRunRequested()) unattended = std::make_unique<UnattendedDialog>(session.dialog);
    MapDialogWhenShown(session.dialog);
    return session.dialog->ShowModal() == wxID_OK;
}

}  // namespace Corvantis::Host::PS
