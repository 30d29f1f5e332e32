#include "child_process.h"

#include "tests/host/run_command.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

namespace lifecycle {

ProcessResult RunProcess(const std::string& command) {
    host_tests::CommandResult run = host_tests::RunCommand(command);
    return ProcessResult{run.exitCode, std::move(run.output)};
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
