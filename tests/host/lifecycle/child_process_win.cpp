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

// The command's single quotes become the double quotes of a Windows command line.
std::string CommandLineOf(const std::string& command) {
    std::string line = command;
    for (char& c : line) {
        if (c == '\'') c = '"';
    }
    return line;
}

// The programs write text mode: line ends as on any other platform for the tests.
std::string WithoutCarriageReturns(const std::string& output) {
    std::string text;
    for (char c : output) {
        if (c != '\r') text += c;
    }
    return text;
}

}  // namespace

ProcessResult RunProcess(const std::string& command) {
    ProcessResult result;
    const std::string line = CommandLineOf(command);
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
        result.output = "cannot start (system error " + std::to_string(GetLastError()) + "): " + line;
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
    result.output = WithoutCarriageReturns(result.output);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::string& command, const std::string& inputFile,
                                     const std::string& outputFile)
    : outputFile_(outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE in = CreateFileW(Widen(inputFile).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out = CreateFileW(Widen(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out;
        startup.hStdError = out;
        PROCESS_INFORMATION process{};
        std::wstring wide = Widen(CommandLineOf(command));
        if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            pid_ = long(process.dwProcessId);
        }
    }
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
}

BackgroundProcess::~BackgroundProcess() {
    if (Running()) Wait(0);
    if (process_) CloseHandle(static_cast<HANDLE>(process_));
}

bool BackgroundProcess::Started() const { return process_ != nullptr; }

bool BackgroundProcess::Running() {
    if (!Started() || ended_) return false;
    if (WaitForSingleObject(static_cast<HANDLE>(process_), 0) == WAIT_TIMEOUT) return true;
    DWORD code = 0;
    exitCode_ = GetExitCodeProcess(static_cast<HANDLE>(process_), &code) ? int(code) : -1;
    ended_ = true;
    return false;
}

ProcessResult BackgroundProcess::Wait(int boundMs) {
    if (Started() && !ended_ &&
        WaitForSingleObject(static_cast<HANDLE>(process_), DWORD(boundMs < 0 ? 0 : boundMs)) == WAIT_TIMEOUT) {
        TerminateProcess(static_cast<HANDLE>(process_), DWORD(-1));
        WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
        ended_ = true;
        exitCode_ = -1;
    }
    Running();
    return ProcessResult{exitCode_, Output()};
}

std::string BackgroundProcess::Output() const {
    std::string text;
    HANDLE file = CreateFileW(Widen(outputFile_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(file);
    return WithoutCarriageReturns(text);
}

namespace {

// The pointer moved to the point (x, y) of the primary screen, whose absolute positions are in
// 1/65536 of it, and then `button` (a button's flag, or 0 for none).
bool SendPointer(int x, int y, DWORD button) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1) return false;
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dx = LONG((x * 65535 + (width - 1) / 2) / (width - 1));
    inputs[0].mi.dy = LONG((y * 65535 + (height - 1) / 2) / (height - 1));
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = button;
    const UINT count = button ? 2 : 1;
    return SendInput(count, inputs, sizeof(INPUT)) == count;
}

}  // namespace

bool PressScreenAt(int x, int y) { return SendPointer(x, y, MOUSEEVENTF_LEFTDOWN); }

bool MovePointerTo(int x, int y) { return SendPointer(x, y, 0); }

bool ReleaseScreen() {
    INPUT up = {};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(1, &up, sizeof(INPUT)) == 1;
}

bool ClickScreenAt(int x, int y) { return PressScreenAt(x, y) && ReleaseScreen(); }

std::string QuotedProgram(const std::string& path) { return "\"" + path + "\""; }

std::string WithoutDisplayPrefix() { return {}; }

void SetEnvironment(const char* name, const std::string& value) {
    // The C runtime's copy for getenv in this process (and the module it loads), the system's
    // for the programs it starts; as UTF-16, so that any name arrives whole.
    const std::wstring wideName = Widen(name), wideValue = Widen(value);
    _wputenv_s(wideName.c_str(), wideValue.c_str());
    SetEnvironmentVariableW(wideName.c_str(), value.empty() ? nullptr : wideValue.c_str());
}

void UnsetEnvironment(const char* name) {
    _putenv_s(name, "");  // an empty value takes it out of the C runtime's copy
    SetEnvironmentVariableA(name, nullptr);
}

std::size_t RegistryStoreEntries(const std::string&) { return CountValues(HKEY_CURRENT_USER, kPluginKey); }

void ClearRegistryStore() { RegDeleteTreeA(HKEY_CURRENT_USER, kPluginKey); }

}  // namespace lifecycle
