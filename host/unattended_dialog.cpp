#include "host/unattended_dialog.h"

#include <wx/debug.h>
#include <wx/dialog.h>
#include <wx/panel.h>
#include <wx/timer.h>
#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#else
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace Corvantis::Host::PS {
namespace {

constexpr int kTickMs = 50;
// A dialog whose panels never paint is ended all the same after this long.
constexpr int kGiveUpMs = 10000;

// A failed toolkit assertion would open a box of its own and wait for a user: print it.
void PrintAssertion(const wxString& file, int line, const wxString& function, const wxString& condition,
                    const wxString& message) {
    std::fprintf(stderr, "Tellora: toolkit assertion \"%s\" failed in %s (%s:%d): %s\n",
                 static_cast<const char*>(condition.utf8_str()), static_cast<const char*>(function.utf8_str()),
                 static_cast<const char*>(file.utf8_str()), line, static_cast<const char*>(message.utf8_str()));
}

std::function<int(wxDialog&)>& Answer() {
    static std::function<int(wxDialog&)> answer;
    return answer;
}

void CollectPanels(wxWindow* window, std::vector<wxWindow*>& panels) {
    for (wxWindow* child : window->GetChildren()) {
        if (child->IsTopLevel()) continue;  // nested dialogs are not part of this one
        if (dynamic_cast<wxPanel*>(child)) panels.push_back(child);
        CollectPanels(child, panels);
    }
}

// Clicks the button `id` of the dialog the way a user would; ends the dialog directly when the
// click did not (no such button, or a validator kept it open).
void Press(wxDialog& dialog, int id) {
    if (!dialog.IsModal()) return;
    wxWindow* button = dialog.FindWindow(id);
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button ? button : &dialog);
    (button ? button : &dialog)->ProcessWindowEvent(click);
    if (dialog.IsModal()) dialog.EndModal(id);
}

}  // namespace

struct UnattendedDialog::State {
    wxDialog* dialog = nullptr;
    std::vector<wxWindow*> panels;
    std::vector<bool> painted;
    int elapsedMs = 0;
    int readyTicks = 0;  // ticks since everything was on screen and painted
    bool done = false;
};

class UnattendedDialog::Ticker : public wxTimer {
public:
    explicit Ticker(std::shared_ptr<State> s) : state(std::move(s)) {}
    void Notify() override {
        State& s = *state;
        if (s.done) return;
        s.elapsedMs += kTickMs;
        const bool painted = std::all_of(s.painted.begin(), s.painted.end(), [](bool p) { return p; });
        if (s.dialog->IsShownOnScreen() && painted) ++s.readyTicks;
        // One tick more after the paint, so that the drawing has reached the screen; for a
        // screenshot, long enough for the theme's transitions (buttons fade their colours in).
        const char* path = std::getenv("TELLORA_DIALOG_SCREENSHOT");
        const bool screenshot = path && *path;
        if (s.readyTicks < (screenshot ? 8 : 2) && s.elapsedMs < kGiveUpMs) return;
        s.done = true;
        Stop();
        if (screenshot) {
            std::string error;
            if (!SaveWindowScreenshot(s.dialog, path, &error))
                std::fprintf(stderr, "Tellora: no screenshot of the dialog: %s\n", error.c_str());
        }
        Press(*s.dialog, Answer() ? Answer()(*s.dialog) : wxID_OK);
    }

private:
    std::shared_ptr<State> state;
};

UnattendedDialog::UnattendedDialog(wxDialog* dialog) : state(std::make_shared<State>()) {
    state->dialog = dialog;
    CollectPanels(dialog, state->panels);
    state->painted.assign(state->panels.size(), false);
    for (std::size_t i = 0; i < state->panels.size(); ++i) {
        // Bound handlers run before the panel's own paint handler, which the skip lets run.
        state->panels[i]->Bind(wxEVT_PAINT, [weak = std::weak_ptr<State>(state), i](wxPaintEvent& event) {
            event.Skip();
            if (auto s = weak.lock()) s->painted[i] = true;
        });
    }
    previousAssertHandler = wxSetAssertHandler(PrintAssertion);
    ticker = std::make_unique<Ticker>(state);
    ticker->Start(kTickMs);
}

UnattendedDialog::~UnattendedDialog() {
    ticker->Stop();
    state->done = true;
    wxSetAssertHandler(previousAssertHandler);
}

void SetUnattendedDialogAnswer(std::function<int(wxDialog&)> answer) { Answer() = std::move(answer); }

#ifdef __WXGTK__
bool SaveWindowScreenshot(wxWindow* window, const std::string& path, std::string* error) {
    auto fail = [error](const char* text) {
        if (error) *error = text;
        return false;
    };
    GtkWidget* widget = window ? static_cast<GtkWidget*>(window->GetHandle()) : nullptr;
    GdkWindow* gdkWindow = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!gdkWindow || !gdk_window_is_viewable(gdkWindow)) return fail("the window is not on screen");

    // Only the part inside the screen can be read back.
    int originX = 0, originY = 0;
    gdk_window_get_origin(gdkWindow, &originX, &originY);
    GdkWindow* root = gdk_screen_get_root_window(gdk_window_get_screen(gdkWindow));
    const int left = std::max(0, -originX), top = std::max(0, -originY);
    const int right = std::min(gdk_window_get_width(gdkWindow), gdk_window_get_width(root) - originX);
    const int bottom = std::min(gdk_window_get_height(gdkWindow), gdk_window_get_height(root) - originY);
    if (right <= left || bottom <= top) return fail("the window lies outside the screen");

    gdk_display_sync(gdk_window_get_display(gdkWindow));
    GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdkWindow, left, top, right - left, bottom - top);
    if (!pixbuf) return fail("the window's pixels could not be read");
    GError* gerror = nullptr;
    const bool saved = gdk_pixbuf_save(pixbuf, path.c_str(), "png", &gerror, nullptr);
    g_object_unref(pixbuf);
    if (!saved) {
        if (error) *error = gerror ? gerror->message : "the file could not be written";
        if (gerror) g_error_free(gerror);
        return false;
    }
    return true;
}
#else
bool SaveWindowScreenshot(wxWindow* window, const std::string& path, std::string* error) {
    auto fail = [error](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (!window || !window->IsShownOnScreen()) return fail("the window is not on screen");
    // The whole window, frame included, as it is on the screen.
    const wxSize size = window->GetSize();
    if (size.x <= 0 || size.y <= 0) return fail("the window has no size");
    wxWindowDC screen(window);
    wxBitmap bitmap(size.x, size.y, 24);
    {
        wxMemoryDC copy(bitmap);
        if (!copy.Blit(0, 0, size.x, size.y, &screen, 0, 0)) return fail("the window's pixels could not be read");
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    if (!bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(path.c_str()), wxBITMAP_TYPE_PNG))
        return fail("the file could not be written");
    return true;
}
#endif

}  // namespace Corvantis::Host::PS
