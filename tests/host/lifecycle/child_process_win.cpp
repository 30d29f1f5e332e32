#include "child_process.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

namespace lifecycle {

namespace {

// The plug-in's key under HKEY_CURRENT_USER.
constexpr char kPluginKey[] = "Software\\Corvantis\\Tellora";

// The tests' texts are UTF-8, as filterhost's are.
std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::size_t CountValues(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD subKeys = 0, values = 0, longestName = 0;
    std::size_t count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestName, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS) {
        count = values;
        std::vector<char> subName(longestName + 1);
        for (DWORD i = 0; i < subKeys; ++i) {
            DWORD length = DWORD(subName.size());
            if (RegEnumKeyExA(key, i, subName.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                count += CountValues(key, subName.data());
        }
    }
    RegCloseKey(key);
    return count;
}

}  // namespace

ProcessResult RunProcess(const std::string& command) {
    ProcessResult result;
    std::string line = command;
    for (char& c : line) {
        if (c == '\'') c = '"';
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring wide = Widen(line);
    const BOOL started =
        CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        result.output = "cannot start: " + line;
        return result;
    }
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) result.output.append(buffer, n);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.exitCode = int(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The programs write text mode: line ends as on any other platform for the tests.
    std::string text;
    for (char c : result.output) {
        if (c != '\r') text += c;
    }
    result.output = text;
    return result;
}

std::string QuotedProgram(const std::string& path) { return "\"" + path + "\""; }

std::string WithoutDisplayPrefix() { return {}; }

void SetEnvironment(const char* name, const std::string& value) {
    // The C runtime's copy for getenv in this process (and the module it loads), the system's
    // for the programs it starts; as UTF-16, so that any name arrives whole.
    const std::wstring wideName = Widen(name), wideValue = Widen(value);
    _wputenv_s(wideName.c_str(), wideValue.c_str());
    SetEnvironmentVariableW(wideName.c_str(), value.empty() ? nullptr : wideValue.c_str());
}

std::size_t RegistryStoreEntries(const std::string&) { return CountValues(HKEY_CURRENT_USER, kPluginKey); }

void ClearRegistryStore() { RegDeleteTreeA(HKEY_CURRENT_USER, kPluginKey); }

}  // namespace lifecycle
