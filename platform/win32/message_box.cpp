#include "win32/message_box.h"
#include "win32/toolkit_state.h"

#include <wx/app.h>

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

std::function<int(const MessageBoxRecord&)>& Observer() {
    static std::function<int(const MessageBoxRecord&)> observer;
    return observer;
}

bool& AlwaysShown() {
    static bool shown = false;
    return shown;
}

// A box is shown for real whenever the toolkit runs, unless the host asked for a batch run: a
// host without a terminal is an editor with a user at the screen all the same.
bool Interactive() {
    if (!AlwaysShown() && BatchRunRequested()) return false;
    return ToolkitReady() && wxTheApp != nullptr;
}

// A host can ask for a log of every box (one record per box) through TELLORA_MESSAGEBOX_LOG.
void LogBox(const MessageBoxRecord& box) {
    const char* path = std::getenv("TELLORA_MESSAGEBOX_LOG");
    if (!path || !*path) return;
    std::ofstream out(path, std::ios::app | std::ios::binary);
    out << "caption: " << box.caption << "\ntype: " << box.type << "\ntoolkit: " << (ToolkitReady() ? "ready" : "none")
        << "\ntext:\n" << box.text << "\n--\n";
}

// The top-level GTK window of the owner handle (a GtkWidget, as the host's window and the
// toolkit's native handles are here), or null for no owner.
GtkWindow* OwnerWindow(HWND owner) {
    if (!owner || !GTK_IS_WIDGET(owner)) return nullptr;
    GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(owner));
    return top && gtk_widget_is_toplevel(top) && GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

// A GTK message dialog, transient for the owner's window and modal, as a Windows box is owned by
// its window: it stays above it and the owner takes no input while it is up. The buttons
// answer with the Windows ids.
int ShowWithToolkit(const MessageBoxRecord& box) {
    GtkMessageType kind = GTK_MESSAGE_OTHER;
    switch (box.type & MB_ICONMASK) {
        case MB_ICONHAND: kind = GTK_MESSAGE_ERROR; break;
        case MB_ICONQUESTION: kind = GTK_MESSAGE_QUESTION; break;
        case MB_ICONEXCLAMATION: kind = GTK_MESSAGE_WARNING; break;
        case MB_ICONASTERISK: kind = GTK_MESSAGE_INFO; break;
        default: break;
    }
    GtkWindow* owner = OwnerWindow(box.owner);
    GtkWidget* dialog = gtk_message_dialog_new(owner, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), kind,
                                               GTK_BUTTONS_NONE, "%s", box.text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), box.caption.c_str());
    if (!owner) gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);

    int closeAnswer = IDOK;  // what closing the box (Escape, close box) answers
    std::vector<int> answers;
    switch (box.type & MB_TYPEMASK) {
        case MB_OKCANCEL: answers = {IDOK, IDCANCEL}; closeAnswer = IDCANCEL; break;
        case MB_YESNO: answers = {IDYES, IDNO}; closeAnswer = IDNO; break;
        case MB_YESNOCANCEL: answers = {IDYES, IDNO, IDCANCEL}; closeAnswer = IDCANCEL; break;
        default: answers = {IDOK}; break;
    }
    for (int answer : answers) {
        const char* label = answer == IDOK ? "_OK" : answer == IDCANCEL ? "_Cancel" : answer == IDYES ? "_Yes" : "_No";
        gtk_dialog_add_button(GTK_DIALOG(dialog), label, answer);
    }
    const bool second = (box.type & MB_DEFMASK) == MB_DEFBUTTON2 && answers.size() > 1;
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), answers[second ? 1 : 0]);

    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    for (int answer : answers)
        if (response == answer) return answer;
    return closeAnswer;
}

}  // namespace

void SetMessageBoxObserver(std::function<int(const MessageBoxRecord&)> observer) {
    Observer() = std::move(observer);
}

void ShowMessageBoxesAlways(bool always) { AlwaysShown() = always; }

int DefaultMessageBoxAnswer(UINT type) {
    const bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
        case MB_YESNO:
        case MB_YESNOCANCEL: return second ? IDNO : IDYES;
        default: return IDOK;
    }
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const MessageBoxRecord box{owner, text ? text : "", caption ? caption : "", type};
    LogBox(box);
    if (Observer()) return Observer()(box);
    if (Interactive()) return ShowWithToolkit(box);
    std::fprintf(stderr, "[%s]\n%s\n", box.caption.c_str(), box.text.c_str());
    return DefaultMessageBoxAnswer(type);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const wxString wideText(text ? text : L""), wideCaption(caption ? caption : L"");
    return MessageBoxA(owner, wideText.utf8_str(), wideCaption.utf8_str(), type);
}
