// Message boxes shown for real and answered with real keys: each is owned by the window it
// belongs to (transient for it and modal): the dialog for its own boxes, the host's window for
// the About box.
#include "dialog_fixture.h"
#include "real_input.h"

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

namespace dialog_test {
namespace {

using real_input::Activate;
using real_input::Key;
using real_input::WaitUntil;

// What a box showed when it was up.
struct SeenBox {
    bool seen = false;
    GtkWindow* owner = nullptr;
    bool modal = false;
    std::string title;
};

// Looks at the box that the next input brings up, optionally saves the screen, and closes the
// box with `key` as a user would.
void AnswerNextBox(SeenBox& seen, int key, const std::string& screenshot = "") {
    real_input::When([] { return real_input::FindMessageBox() != nullptr; }, [&seen, key, screenshot] {
        GtkWidget* box = real_input::FindMessageBox();
        if (!Activate(box)) {
            ADD_FAILURE() << "the box never took the input focus";
            real_input::AbandonModals();
            return;
        }
        seen.seen = true;
        seen.owner = gtk_window_get_transient_for(GTK_WINDOW(box));
        seen.modal = gtk_window_get_modal(GTK_WINDOW(box)) != FALSE;
        seen.title = gtk_window_get_title(GTK_WINDOW(box)) ? gtk_window_get_title(GTK_WINDOW(box)) : "";
        if (!screenshot.empty()) {
            EXPECT_TRUE(real_input::SaveScreen(screenshot));
        }
        // The key must answer the box; should it not, the test fails instead of waiting forever.
        static bool answered;
        answered = false;
        g_signal_connect(box, "response", G_CALLBACK(+[](GtkDialog*, gint, gpointer) { answered = true; }), nullptr);
        Key(key);
        if (!WaitUntil([] { return answered; }, 10000)) {
            ADD_FAILURE() << "the box did not close";
            real_input::AbandonModals();
        }
    });
}

class OwnedBoxes : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;  // no display, or the toolkit did not start
        SetMessageBoxObserver(nullptr);
        ShowMessageBoxesAlways(true);
    }
    void TearDown() override {
        ShowMessageBoxesAlways(false);
        DialogTest::TearDown();
    }
    GtkWindow* DialogWindow() const { return GTK_WINDOW(dialog->GetHandle()); }
};

TEST_F(OwnedBoxes, TheInputErrorBoxIsOwnedByTheDialog) {
    Open();
    ASSERT_TRUE(Activate(dialog));
    auto* height = Find<wxTextCtrl>(kIdHeightText);
    real_input::Click(height);
    ASSERT_TRUE(WaitUntil([height] { return wxWindow::FindFocus() == height; }));
    height->SelectAll();
    real_input::Type("99999");
    SeenBox seen;
    AnswerNextBox(seen, WXK_RETURN, TELLORA_ARTEFACTS "/owned-input-error-box.png");
    Key(WXK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return Value(kParamEllipseHeight) == 15000.0; }));
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Input error");
    EXPECT_EQ(seen.owner, DialogWindow());
    EXPECT_TRUE(seen.modal);
    // Answered, the box gives way to OK, which ends the dialog.
    EXPECT_TRUE(WaitUntil([this] { return !dialog->IsShown(); }));
}

TEST_F(OwnedBoxes, ThePresetQuestionIsOwnedByTheDialog) {
    const auto folder = temp / "docs/Corvantis/Tellora/Presets";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(list.SavePreset((folder / "kept.txt").wstring(), "Tellora", "1.0"));
    Open();
    ASSERT_TRUE(Activate(dialog));
    auto* presets = Find<wxListBox>(kIdPresetList);
    const wxRect area = presets->GetScreenRect();
    real_input::ClickAt(area.x + 20, area.y + 12);  // on the one entry
    ASSERT_TRUE(WaitUntil([presets] { return wxWindow::FindFocus() == presets && presets->GetSelection() == 0; }));
    SeenBox seen;
    AnswerNextBox(seen, WXK_ESCAPE);
    Key(WXK_DELETE);
    ASSERT_TRUE(WaitUntil([&seen] { return seen.seen; }));
    EXPECT_EQ(seen.title, "");
    EXPECT_EQ(seen.owner, DialogWindow());
    EXPECT_TRUE(seen.modal);
    // Escape cancels the question: nothing is deleted.
    EXPECT_TRUE(std::filesystem::exists(folder / "kept.txt"));
    EXPECT_EQ(presets->GetCount(), 1u);
}

TEST_F(OwnedBoxes, TheAboutBoxIsOwnedByTheHostsWindow) {
    GtkWidget* host = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(host), "host");
    gtk_window_set_default_size(GTK_WINDOW(host), 600, 400);
    gtk_widget_show(host);
    ASSERT_TRUE(Activate(host));

    PlatformData platform{};
    platform.hwnd = host;
    AboutRecord about{};
    about.platformData = &platform;
    TelloraPluginPS call;
    int16 code = 0;
    call.Init(&about, true, nullptr, &code, "Corvantis Tellora");
    SeenBox seen;
    AnswerNextBox(seen, WXK_RETURN, TELLORA_ARTEFACTS "/owned-about-box.png");
    call.Dispatch(0);  // returns when the box is answered
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "Tellora");
    EXPECT_EQ(seen.owner, GTK_WINDOW(host));
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(code, 0);
    gtk_widget_destroy(host);
}

}  // namespace
}  // namespace dialog_test
