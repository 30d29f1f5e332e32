#include "hostsim/host_window.h"

#include <gtk/gtk.h>

#include <cstdlib>

namespace hostsim {
namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 640;

void DrainEvents() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace

bool HostWindow::DisplayAvailable() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

std::unique_ptr<HostWindow> HostWindow::Create(const std::string& title, std::string* why) {
    // GTK must not change the host's locale: numbers on the command line and in files are
    // read the C way. (A toolkit the plug-in starts later and that asks the same gets a GTK
    // warning that GTK runs already; nothing else comes of it.)
    static bool started = false;
    if (!started) {
        gtk_disable_setlocale();
        started = gtk_init_check(nullptr, nullptr) != FALSE;
    }
    if (!started) {
        if (why) *why = "GTK cannot start (no display?)";
        return nullptr;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (!window) {
        if (why) *why = "GTK made no window";
        return nullptr;
    }
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
    gtk_widget_show(window);
    gtk_widget_realize(window);
    DrainEvents();
    return std::unique_ptr<HostWindow>(new HostWindow(window));
}

HostWindow::~HostWindow() {
    gtk_widget_destroy(GTK_WIDGET(widget_));
    DrainEvents();
}

bool HostWindow::sensitive() const { return gtk_widget_get_sensitive(GTK_WIDGET(widget_)) != FALSE; }

}  // namespace hostsim
