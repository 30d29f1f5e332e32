// The filterhost program, apart from main(), so tests can run it in-process.
#pragma once
#include "hostsim/command_line.h"

#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

class FilterHostApp {
public:
    enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2, kCancelled = 3 };

    FilterHostApp(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // `args` excludes the program name. Never throws: every failure becomes a message on the
    // error stream and an exit code.
    int Run(const std::vector<std::string>& args);

private:
    int Info(const CommandLine& line);
    int About(const CommandLine& line);
    int FilterImage(const CommandLine& line);
    // Prepares a session with the host options of the command line. Throws UsageError for a
    // callback or suite function name it does not know.
    // `windowByDefault`: whether the host makes its window when the command line does not say.
    void ApplyHostOptions(const CommandLine& line, HostSession& session, bool windowByDefault);
    // Prints the selectors' results, the notes and the plug-in's faults.
    void PrintRunReport(const RunReport& report);
    // The colour requests the host answered.
    void PrintColorRequests(const HostSession& session);

    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace hostsim
