// System message boxes. Shown as a real toolkit dialog, owned by (transient for and modal to)
// the owner's top-level window, when the toolkit runs and the host did not ask for a batch run;
// otherwise the caption and text go to standard error and the default button answers.
#pragma once

#ifdef _WIN32
// On Windows these are the system's own MessageBoxA and MessageBoxW.
#include "win32/windows_api.h"
#else
#include <functional>
#include <string>

using HWND = void*;
using UINT = unsigned int;
using LPCSTR = const char*;
using LPCWSTR = const wchar_t*;

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFMASK = 0xF00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The same box for wide texts (which the narrow box takes as UTF-8 here).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// What a box showed; for tests and for hosts that log boxes.
struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
// While set, every box is passed to the observer instead of being shown; its answer is the
// box's answer.
void SetMessageBoxObserver(std::function<int(const MessageBoxRecord&)> observer);
// Tests that answer boxes with real input: show every box while the toolkit runs, also in a
// batch run.
void ShowMessageBoxesAlways(bool always);
// The answer a non-interactive box gives: the default button of its type.
int DefaultMessageBoxAnswer(UINT type);
#endif
