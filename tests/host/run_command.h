// Runs a shell command and takes what it prints, for the tests that start other programs of the
// build (filterhost, the test binaries themselves).
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace host_tests {

struct CommandResult {
    int exitCode = -1;   // -1 when the command could not start or did not exit normally
    std::string output;  // standard output and error together
};

// `command` runs under the shell with its standard error joined to its output; waits for it.
inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace host_tests
