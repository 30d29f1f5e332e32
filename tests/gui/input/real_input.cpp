#include "real_input.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>

namespace real_input {
namespace {

wxUIActionSimulator& Simulator() {
    static wxUIActionSimulator simulator;
    return simulator;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int boundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // Only when nothing is pending, rest a moment instead of spinning.
        if (!wxTheApp->Yield(true)) wxMilliSleep(2);
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    }
    return true;
}

bool Activate(GtkWidget* window) {
    if (!window) return false;
    if (!WaitUntil([window] { return gtk_widget_get_mapped(window) && gtk_widget_get_window(window); })) return false;
    // Without a window manager GDK hands the X input focus straight to the window.
    gtk_window_present(GTK_WINDOW(window));
    return WaitUntil([window] { return gtk_window_is_active(GTK_WINDOW(window)) != FALSE; });
}

bool Activate(wxTopLevelWindow* window) {
    if (!window || !WaitUntil([window] { return window->IsShownOnScreen(); })) return false;
    return Activate(static_cast<GtkWidget*>(window->GetHandle())) && WaitUntil([window] { return window->IsActive(); });
}

void ClickAt(int x, int y) {
    Simulator().MouseMove(x, y);
    Simulator().MouseClick();
}

void Click(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    ClickAt(r.x + r.width / 2, r.y + r.height / 2);
}

void Click(GtkWidget* widget) {
    // A widget's allocation is relative to its parent's GDK window.
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    GdkWindow* parent = gtk_widget_get_parent_window(widget);
    if (!parent) parent = gtk_widget_get_window(widget);
    int x = 0, y = 0;
    gdk_window_get_origin(parent, &x, &y);
    ClickAt(x + a.x + a.width / 2, y + a.y + a.height / 2);
}

void ClickRow(wxListBox* list, int row) {
    GdkRectangle cell;
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_view_get_cell_area(list->m_treeview, path, nullptr, &cell);
    gtk_tree_path_free(path);
    int x = 0, y = 0;
    gtk_tree_view_convert_bin_window_to_widget_coords(list->m_treeview, cell.x + 20, cell.y + cell.height / 2, &x, &y);
    int inListX = 0, inListY = 0;
    gtk_widget_translate_coordinates(GTK_WIDGET(list->m_treeview), static_cast<GtkWidget*>(list->GetHandle()), x, y,
                                     &inListX, &inListY);
    const wxPoint origin = list->GetScreenPosition();
    ClickAt(origin.x + inListX, origin.y + inListY);
}

void DoubleClick(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    Simulator().MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    Simulator().MouseDblClick();
}

namespace {

struct Pending {
    std::function<bool()> ready;
    std::function<void()> step;
    std::chrono::steady_clock::time_point end;
};

}  // namespace

void AbandonModals() {
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data)))
            gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
    g_list_free(windows);
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
}

namespace {

gboolean PollPending(gpointer data) {
    auto* pending = static_cast<Pending*>(data);
    if (!pending->ready()) {
        if (std::chrono::steady_clock::now() < pending->end) return G_SOURCE_CONTINUE;
        ADD_FAILURE() << "the awaited window never came up";
        delete pending;
        AbandonModals();
        return G_SOURCE_REMOVE;
    }
    const std::function<void()> step = std::move(pending->step);
    delete pending;
    step();
    // A step that stopped at a failed assertion leaves its window up: close it, so that the
    // test ends.
    if (::testing::Test::HasFatalFailure()) AbandonModals();
    return G_SOURCE_REMOVE;
}

}  // namespace

void When(std::function<bool()> ready, std::function<void()> step, int boundMs) {
    auto* pending = new Pending{std::move(ready), std::move(step),
                                std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs)};
    g_idle_add(PollPending, pending);
}

GtkWidget* FindMessageBox() {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_MESSAGE_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) found = GTK_WIDGET(w->data);
    g_list_free(windows);
    return found;
}

bool SaveScreen(const std::string& path) {
    GdkWindow* root = gdk_get_default_root_window();
    gdk_display_sync(gdk_window_get_display(root));
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root), gdk_window_get_height(root));
    if (!shot) return false;
    const bool saved = gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(shot);
    return saved;
}

void Type(const std::string& text) { Simulator().Text(text.c_str()); }

void Key(int key, int modifiers) { Simulator().Char(key, modifiers); }

}  // namespace real_input
