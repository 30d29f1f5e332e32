// Where the Windows tests find the module: Tellora.8bf beside the test program.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring ModuleBesideThisProgram() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program(self, length);
    return program.substr(0, program.find_last_of(L"\\/") + 1) + L"Tellora.8bf";
}
