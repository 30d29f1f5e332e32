// The filterhost program, apart from main(), so tests can run it in-process.
#pragma once
#include "hostsim/command_line.h"

#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

class FilterHostApp {
public:
    enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

    FilterHostApp(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // `args` excludes the program name. Never throws: every failure becomes a message on the
    // error stream and an exit code.
    int Run(const std::vector<std::string>& args);

private:
    int Info(const CommandLine& line);
    int About(const CommandLine& line);
    int FilterImage(const CommandLine& line);
    // Prepares a session with the host options of the command line.
    static void ApplyHostOptions(const CommandLine& line, HostSession& session);

    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace hostsim
