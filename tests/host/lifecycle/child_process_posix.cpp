#include "child_process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace lifecycle {

ProcessResult RunProcess(const std::string& command) {
    ProcessResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string QuotedProgram(const std::string& path) { return "'" + path + "'"; }

std::string WithoutDisplayPrefix() { return "env -u DISPLAY -u WAYLAND_DISPLAY "; }

void SetEnvironment(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

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
