#include "win32/message_box.h"
#include "win32/toolkit_state.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

std::function<int(const MessageBoxRecord&)>& Observer() {
    static std::function<int(const MessageBoxRecord&)> observer;
    return observer;
}

// A box is shown for real only in an interactive session: the toolkit runs, there is a
// display and a terminal, and the host did not ask for batch operation.
bool Interactive() {
    if (std::getenv("TELLORA_BATCH")) return false;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return false;
    if (!isatty(STDIN_FILENO)) return false;
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

int ShowWithToolkit(const MessageBoxRecord& box) {
    long style = 0;
    switch (box.type & MB_TYPEMASK) {
        case MB_OKCANCEL: style = wxOK | wxCANCEL; break;
        case MB_YESNO: style = wxYES_NO; break;
        case MB_YESNOCANCEL: style = wxYES_NO | wxCANCEL; break;
        default: style = wxOK; break;
    }
    if ((box.type & MB_DEFMASK) == MB_DEFBUTTON2) style |= (style & wxYES_NO) ? wxNO_DEFAULT : wxCANCEL_DEFAULT;
    switch (box.type & MB_ICONMASK) {
        case MB_ICONHAND: style |= wxICON_ERROR; break;
        case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
        case MB_ICONEXCLAMATION: style |= wxICON_WARNING; break;
        case MB_ICONASTERISK: style |= wxICON_INFORMATION; break;
        default: break;
    }
    wxMessageDialog dialog(nullptr, wxString::FromUTF8(box.text.c_str()), wxString::FromUTF8(box.caption.c_str()),
                           style);
    switch (dialog.ShowModal()) {
        case wxID_OK: return IDOK;
        case wxID_YES: return IDYES;
        case wxID_NO: return IDNO;
        default: return IDCANCEL;
    }
}

}  // namespace

void SetMessageBoxObserver(std::function<int(const MessageBoxRecord&)> observer) {
    Observer() = std::move(observer);
}

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
