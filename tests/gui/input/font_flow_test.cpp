// The font flow as a user meets it: the Font button, the font dialog opened on the face drawn
// for the stored one, the text colour picked in the toolkit's colour chooser by typing its name,
// and OK. What the user did not touch, the underline among it, stays as it was.
#include "dialog_fixture.h"
#include "real_input.h"

#include "ui/font_dialog.h"

#include <wx/listbox.h>

#include <gtk/gtk.h>

namespace dialog_test {
namespace {

using real_input::Activate;
using real_input::Click;
using real_input::Key;
using real_input::When;
using real_input::WaitUntil;

BubbleFontDialog* FontDialog() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<BubbleFontDialog*>(window); dialog && dialog->IsModal()) return dialog;
    return nullptr;
}

GtkWidget* ColourChooser() {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_COLOR_CHOOSER_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) found = GTK_WIDGET(w->data);
    g_list_free(windows);
    return found;
}

// The first visible widget of the type below `widget`, internal children included.
GtkWidget* FindVisible(GtkWidget* widget, GType type) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type) && gtk_widget_is_visible(widget)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    std::pair<GType, GtkWidget*> search{type, nullptr};
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            auto* s = static_cast<std::pair<GType, GtkWidget*>*>(data);
            if (!s->second) s->second = FindVisible(child, s->first);
        },
        &search);
    return search.second;
}

TEST_F(DialogTest, TheFontFlowKeepsTheUnderlineAndTakesThePickedColour) {
    list.parameters[kParamFontUnderline].value.SetBoolean(true);
    Open();
    ASSERT_TRUE(real_input::Activate(dialog));

    struct Seen {
        wxString face;
        bool okEnabled = false;
        bool picked = false;
    } seen;
    // In the font dialog: look at it, then open the colour chooser.
    auto inFontDialog = [&seen] {
        BubbleFontDialog* font = FontDialog();
        ASSERT_TRUE(Activate(font));
        seen.face = dynamic_cast<wxListBox*>(font->FindWindow(BubbleFontDialog::kIdFaces))->GetStringSelection();
        seen.okEnabled = font->FindWindow(wxID_OK)->IsEnabled();
        Click(font->FindWindow(BubbleFontDialog::kIdColour));
        // In the chooser: type the colour's name, leave the field, press Select.
        When([] { return ColourChooser() != nullptr; }, [&seen] {
            GtkWidget* chooser = ColourChooser();
            ASSERT_TRUE(Activate(chooser));
            GtkWidget* entry = FindVisible(chooser, GTK_TYPE_ENTRY);
            ASSERT_NE(entry, nullptr);
            Click(entry);
            ASSERT_TRUE(WaitUntil([entry] { return gtk_widget_has_focus(entry) != FALSE; }));
            Key('A', wxMOD_CONTROL);
            real_input::Type("#3366CC");
            Key(WXK_TAB);
            ASSERT_TRUE(WaitUntil([chooser] {
                GdkRGBA rgba;
                gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &rgba);
                return std::lround(rgba.red * 255) == 0x33 && std::lround(rgba.green * 255) == 0x66 &&
                       std::lround(rgba.blue * 255) == 0xCC;
            }));
            seen.picked = true;
            Click(gtk_dialog_get_widget_for_response(GTK_DIALOG(chooser), GTK_RESPONSE_OK));
            // Back in the font dialog: the swatch and sample show the colour; OK.
            When([] { return ColourChooser() == nullptr && FontDialog(); }, [] {
                BubbleFontDialog* font = FontDialog();
                ASSERT_TRUE(WaitUntil([font] { return font->GetChoice().colour == wxColour(0x33, 0x66, 0xCC); }));
                EXPECT_TRUE(real_input::SaveScreen(TELLORA_ARTEFACTS "/font-dialog.png"));
                Click(font->FindWindow(wxID_OK));
            });
        });
    };
    Click(dialog->FindWindow(kIdFont));
    When([] { return FontDialog() != nullptr; }, inFontDialog);
    ASSERT_TRUE(WaitUntil([this] { return list.parameters[kParamTextColor].value.GetColor().red != 0.0; }));

    EXPECT_EQ(seen.face, BubbleFontDialog::ResolveFace("Arial"));
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_TRUE(seen.picked);
    const auto colour = list.parameters[kParamTextColor].value.GetColor();
    EXPECT_DOUBLE_EQ(colour.red, 0x33 / 255.0);
    EXPECT_DOUBLE_EQ(colour.green, 0x66 / 255.0);
    EXPECT_DOUBLE_EQ(colour.blue, 0xCC / 255.0);
    EXPECT_TRUE(list.parameters[kParamFontUnderline].value.GetBoolean());
    EXPECT_EQ(list.parameters[kParamFontFacename].value.text, "Arial");
    EXPECT_DOUBLE_EQ(Value(kParamFontSize), 12.0);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_TRUE(dialog->IsShown());
}

}  // namespace
}  // namespace dialog_test
