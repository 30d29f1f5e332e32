#include "child_process.h"

#include "tests/host/run_command.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lifecycle {

ProcessResult RunProcess(const std::string& command) {
    host_tests::CommandResult run = host_tests::RunCommand(command);
    return ProcessResult{run.exitCode, std::move(run.output)};
}

BackgroundProcess::BackgroundProcess(const std::string& command, const std::string& inputFile,
                                     const std::string& outputFile)
    : outputFile_(outputFile) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(inputFile.c_str(), O_RDONLY);
        const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0) ::_exit(126);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::setsid();  // its own group, so that ending it ends what it started
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    pid_ = child;
}

BackgroundProcess::~BackgroundProcess() {
    if (Running()) Wait(0);
}

bool BackgroundProcess::Started() const { return pid_ > 0; }

bool BackgroundProcess::Running() {
    if (!Started() || ended_) return false;
    int status = 0;
    if (::waitpid(pid_t(pid_), &status, WNOHANG) == 0) return true;
    ended_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

ProcessResult BackgroundProcess::Wait(int boundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (Running() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (Running()) {
        ::kill(-pid_t(pid_), SIGKILL);
        int status = 0;
        ::waitpid(pid_t(pid_), &status, 0);
        ended_ = true;
        exitCode_ = -1;
    }
    return ProcessResult{exitCode_, Output()};
}

std::string BackgroundProcess::Output() const {
    std::ifstream in(outputFile_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ClickScreenAt(int x, int y) {
    return RunProcess("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1").exitCode == 0;
}

bool PressScreenAt(int x, int y) {
    return RunProcess("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1").exitCode == 0;
}

bool MovePointerTo(int x, int y) {
    return RunProcess("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)).exitCode == 0;
}

bool ReleaseScreen() { return RunProcess("xdotool mouseup 1").exitCode == 0; }

std::string QuotedProgram(const std::string& path) { return "'" + path + "'"; }

std::string WithoutDisplayPrefix() { return "env -u DISPLAY -u WAYLAND_DISPLAY "; }

void SetEnvironment(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

void UnsetEnvironment(const char* name) { ::unsetenv(name); }

std::size_t RegistryStoreEntries(const std::string& root) {
    std::size_t files = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); ++it)
        files += it->is_regular_file() ? 1 : 0;
    return files;
}

void ClearRegistryStore() {}

}  // namespace lifecycle
