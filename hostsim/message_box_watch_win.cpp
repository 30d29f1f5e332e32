#include "hostsim/message_box_watch.h"

#include "hostsim/color_chooser.h"
#include "hostsim/environment.h"
#include "hostsim/windows_text.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace hostsim {
namespace {

// The watch of this thread: a window hook is per thread and carries no context.
thread_local MessageBoxWatch* activeWatch = nullptr;

constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return Narrow(text);
}

// The box's text control: the one with the message box text id, else the first static control
// that is not its icon.
HWND TextControl(HWND box) {
    HWND control = GetDlgItem(box, kMessageTextId);
    if (control && _wcsicmp(ClassOf(control).c_str(), L"Static") == 0) return control;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) return child;
    }
    return nullptr;
}

// A dialog of the system's class with a static text and at least one push button.
bool IsMessageBox(HWND window) {
    if (ClassOf(window) != L"#32770") return false;
    bool button = false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        button = button || _wcsicmp(ClassOf(child).c_str(), L"Button") == 0;
    return button && TextControl(window) != nullptr;
}

// The id of the box's default button: the button styled as the default (wine leaves the
// dialog's default id at OK whatever the buttons), else the dialog's default id when it names
// a button of the box, else OK.
int DefaultButton(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
    }
    const LRESULT id = SendMessageW(box, DM_GETDEFID, 0, 0);
    if (HIWORD(id) == DC_HASDEFID && GetDlgItem(box, LOWORD(id))) return LOWORD(id);
    return IDOK;
}

void AppendToLog(const WatchedBox& box, bool ownedByHost) {
    const std::optional<std::string> path = EnvironmentValue("TELLORA_MESSAGEBOX_LOG");
    if (!path) return;
    std::ofstream out(std::filesystem::u8path(*path), std::ios::app | std::ios::binary);
    out << "caption: " << box.caption << "\nowner: " << (ownedByHost ? "host window" : box.owner ? "other window" : "none")
        << "\nanswer: " << box.answer << "\ntext:\n" << box.text << "\n--\n";
}

// Once a box has handled WM_INITDIALOG its text, buttons and default button are in place and
// its modal loop has not begun: the answer posted now is the first thing that loop handles.
LRESULT CALLBACK WatchHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && activeWatch && call->message == WM_INITDIALOG && IsMessageBox(call->hwnd))
        activeWatch->Answer(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool MessageBoxWatch::Wanted() { return !RunIsInteractive(); }

MessageBoxWatch::MessageBoxWatch(void* hostWindow) : hostWindow_(hostWindow), outer_(activeWatch) {
    // One hook per thread: it hands each box to the innermost watch.
    if (!outer_) hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchHook, nullptr, GetCurrentThreadId());
    activeWatch = this;
}

MessageBoxWatch::~MessageBoxWatch() {
    activeWatch = outer_;
    if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
}

void MessageBoxWatch::Answer(void* handle) {
    HWND box = static_cast<HWND>(handle);
    WatchedBox seen;
    seen.caption = TextOf(box);
    seen.text = TextOf(TextControl(box));
    seen.owner = GetWindow(box, GW_OWNER);
    seen.answer = DefaultButton(box);
    std::fprintf(stderr, "[%s]\n%s\n", seen.caption.c_str(), seen.text.c_str());
    std::fflush(stderr);
    AppendToLog(seen, hostWindow_ && seen.owner == hostWindow_);
    // What pressing the default button sends.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(seen.answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, seen.answer)));
    boxes_.push_back(std::move(seen));
}

}  // namespace hostsim
