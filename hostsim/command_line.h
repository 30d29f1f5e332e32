// The command line of filterhost.
#pragma once
#include "hostsim/host_session.h"

#include <string>
#include <utility>
#include <vector>

namespace hostsim {

// filterhost COMMAND PLUGIN [OPTIONS]. Host options switch off what a host may lack, so a
// plug-in's behaviour on such a host can be tried from the shell.
struct CommandLine {
    enum class Command { Help, Info, About, Run };

    Command command = Command::Help;
    std::string plugin;
    // run: the image to filter, where to write the result, and parameter values by name.
    std::string input;
    std::string output;
    std::vector<std::pair<std::string, std::string>> settings;
    // about, run: what the host offers.
    HostOptions host;
    std::vector<std::string> disabledSuites;

    // `args` excludes the program name. Throws UsageError.
    static CommandLine Parse(const std::vector<std::string>& args);
    static std::string Usage();
};

}  // namespace hostsim
