// Real input and window lookups for the Windows tests that work the plug-in's dialog: keys
// through SendInput, as a keyboard sends them, and the dialog's controls found by window id.
#pragma once
#include <windows.h>

#include <string>

namespace window_input {

inline void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Presses a key, with Shift or Ctrl held when asked.
inline void Press(WORD key, bool shift = false, bool control = false) {
    if (shift) SendKey(VK_SHIFT, false);
    if (control) SendKey(VK_CONTROL, false);
    SendKey(key, false);
    SendKey(key, true);
    if (control) SendKey(VK_CONTROL, true);
    if (shift) SendKey(VK_SHIFT, true);
}

inline void Type(const std::string& text) {
    for (char c : text) {
        const SHORT key = VkKeyScanW(wchar_t(c));
        Press(WORD(LOBYTE(key)), (HIBYTE(key) & 1) != 0);
    }
}

// The descendant of `parent` with the window id.
inline HWND FindChild(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control's text, also of another process's window: GetWindowText gives only the caption
// such a window was created with, WM_GETTEXT asks the control.
inline std::string TextOf(HWND window) {
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c) narrow += char(*c);
    return narrow;
}

}  // namespace window_input
