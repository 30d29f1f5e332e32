// The host's colour chooser of interactive runs, answered with real keys and clicks.
#include "real_input.h"

#include "hostsim/color_chooser.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/defs.h>
#include <wx/init.h>

namespace {

using real_input::Activate;
using real_input::Click;
using real_input::Key;
using real_input::WaitUntil;
using real_input::When;

GtkWidget* Chooser() {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_COLOR_CHOOSER_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) found = GTK_WIDGET(w->data);
    g_list_free(windows);
    return found;
}

GtkWidget* FindEntry(GtkWidget* widget) {
    if (GTK_IS_ENTRY(widget) && gtk_widget_is_visible(widget)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    GtkWidget* found = nullptr;
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            auto* result = static_cast<GtkWidget**>(data);
            if (!*result) *result = FindEntry(child);
        },
        &found);
    return found;
}

// Types a colour's name into the open chooser and ends it with `response`'s button.
void AnswerChooser(const char* name, int response, bool& answered) {
    When([] { return Chooser() != nullptr; }, [name, response, &answered] {
        GtkWidget* chooser = Chooser();
        ASSERT_TRUE(Activate(chooser));
        EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(chooser)), "Choose Color");
        GtkWidget* entry = FindEntry(chooser);
        ASSERT_NE(entry, nullptr);
        Click(entry);
        ASSERT_TRUE(WaitUntil([entry] { return gtk_widget_has_focus(entry) != FALSE; }));
        Key('A', wxMOD_CONTROL);
        real_input::Type(name);
        Key(WXK_TAB);
        ASSERT_TRUE(WaitUntil([entry] { return gtk_widget_has_focus(entry) == FALSE; }));
        answered = true;
        Click(gtk_dialog_get_widget_for_response(GTK_DIALOG(chooser), response));
    });
}

TEST(HostColourChooser, ShowsTheOfferedColourAndGivesBackThePickedOne) {
    // The simulated input goes through the toolkit, which starts GTK as the plug-in would.
    wxInitializer toolkit;
    ASSERT_TRUE(toolkit.IsOk());
    bool answered = false;
    AnswerChooser("#0A80FF", GTK_RESPONSE_OK, answered);
    const auto picked = hostsim::ChooseColourOnScreen({255, 0, 0}, "Choose Color");
    EXPECT_TRUE(answered);
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(*picked, (std::array<int16, 3>{10, 128, 255}));

    answered = false;
    AnswerChooser("#000000", GTK_RESPONSE_CANCEL, answered);
    EXPECT_FALSE(hostsim::ChooseColourOnScreen({1, 2, 3}, "Choose Color").has_value());
    EXPECT_TRUE(answered);
}

}  // namespace
