#include "hostsim/host_window.h"

#include "hostsim/windows_text.h"

#include <windows.h>

namespace hostsim {
namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 640;
constexpr wchar_t kClassName[] = L"TelloraFilterHostWindow";

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool RegisterClassOnce(std::string* why) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered && why) *why = "cannot register the window class: " + SystemErrorText(GetLastError());
    return registered;
}

}  // namespace

bool HostWindow::DisplayAvailable() { return true; }

std::unique_ptr<HostWindow> HostWindow::Create(const std::string& title, std::string* why) {
    if (!RegisterClassOnce(why)) return nullptr;
    HWND window = CreateWindowExW(0, kClassName, Widen(title).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kWidth, kHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        if (why) *why = "no window: " + SystemErrorText(GetLastError());
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    DrainMessages();
    return std::unique_ptr<HostWindow>(new HostWindow(window));
}

HostWindow::~HostWindow() {
    DestroyWindow(static_cast<HWND>(widget_));
    DrainMessages();
}

bool HostWindow::sensitive() const { return IsWindowEnabled(static_cast<HWND>(widget_)) != FALSE; }

}  // namespace hostsim
