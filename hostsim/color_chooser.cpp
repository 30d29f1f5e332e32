#include "hostsim/color_chooser.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hostsim {
namespace {

bool StartGtk() {
    static const bool started = [] {
        gtk_disable_setlocale();  // the host reads numbers the C way
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return started;
}

// The window the chooser belongs above: the modal window that is up (the plug-in's dialog),
// else none.
GtkWindow* OwnerWindow() {
    GtkWindow* owner = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        GtkWindow* window = GTK_WINDOW(w->data);
        if (gtk_widget_get_mapped(GTK_WIDGET(window)) && gtk_window_get_modal(window)) owner = window;
    }
    g_list_free(windows);
    return owner;
}

}  // namespace

bool RunIsInteractive() {
    if (std::getenv("TELLORA_BATCH")) return false;
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

std::optional<std::array<int16, 3>> ChooseColourOnScreen(const std::array<int16, 3>& rgb, const std::string& prompt) {
    if (!StartGtk()) return std::nullopt;
    GtkWidget* chooser = gtk_color_chooser_dialog_new(prompt.empty() ? "Choose Color" : prompt.c_str(), OwnerWindow());
    gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(chooser), FALSE);
    auto unit = [](int16 v) { return std::clamp<int>(v, 0, 255) / 255.0; };
    const GdkRGBA start{unit(rgb[0]), unit(rgb[1]), unit(rgb[2]), 1.0};
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &start);
    g_object_set(chooser, "show-editor", TRUE, nullptr);
    std::optional<std::array<int16, 3>> chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_OK) {
        GdkRGBA picked;
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &picked);
        auto channel = [](double v) { return int16(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
        chosen = std::array<int16, 3>{channel(picked.red), channel(picked.green), channel(picked.blue)};
    }
    gtk_widget_destroy(chooser);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    return chosen;
}

}  // namespace hostsim
