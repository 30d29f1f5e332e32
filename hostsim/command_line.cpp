#include "hostsim/command_line.h"

#include "hostsim/host_error.h"

namespace hostsim {

std::string CommandLine::Usage() {
    return "usage: filterhost COMMAND PLUGIN [OPTIONS]\n"
           "\n"
           "Loads a filter plug-in module and calls it the way an image editor does.\n"
           "\n"
           "commands:\n"
           "  info PLUGIN             print the plug-in's properties and scripting terminology\n"
           "  about PLUGIN            call the About selector and print the result code\n"
           "  run PLUGIN --in IN.png --out OUT.png [--set NAME=VALUE]...\n"
           "                          filter an image (not available yet)\n"
           "  --help, -h              print this text\n"
           "\n"
           "host options (about, run):\n"
           "  --no-basic-suite        offer no basic suite\n"
           "  --no-error-string       offer no error string\n"
           "  --no-big-document       offer no 32-bit document record\n"
           "  --disable-suite NAME    refuse the suite NAME (may be repeated)\n"
           "\n"
           "exit status: 0 success; 1 the plug-in could not be loaded or reported an error;\n"
           "2 bad command line\n";
}

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine line;
    if (args.empty()) throw UsageError("no command given");

    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help") return line;
    if (verb == "info") {
        line.command = Command::Info;
    } else if (verb == "about") {
        line.command = Command::About;
    } else if (verb == "run") {
        line.command = Command::Run;
    } else {
        throw UsageError("unknown command '" + verb + "'");
    }

    const bool hostOptions = line.command != Command::Info;
    const bool runOptions = line.command == Command::Run;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError("option " + arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            line.command = Command::Help;
            return line;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!line.plugin.empty()) throw UsageError("unexpected argument '" + arg + "'");
            line.plugin = arg;
        } else if (hostOptions && arg == "--no-basic-suite") {
            line.host.basicSuite = false;
        } else if (hostOptions && arg == "--no-error-string") {
            line.host.errorString = false;
        } else if (hostOptions && arg == "--no-big-document") {
            line.host.bigDocument = false;
        } else if (hostOptions && arg == "--disable-suite") {
            line.disabledSuites.push_back(value());
        } else if (runOptions && arg == "--in") {
            line.input = value();
        } else if (runOptions && arg == "--out") {
            line.output = value();
        } else if (runOptions && arg == "--set") {
            const std::string& setting = value();
            const std::size_t eq = setting.find('=');
            if (eq == std::string::npos || eq == 0) throw UsageError("--set needs NAME=VALUE, got '" + setting + "'");
            line.settings.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
        } else {
            throw UsageError("unknown option '" + arg + "' for " + verb);
        }
    }

    if (line.plugin.empty()) throw UsageError(verb + " needs a PLUGIN file");
    if (runOptions && (line.input.empty() || line.output.empty())) throw UsageError("run needs --in and --out");
    return line;
}

}  // namespace hostsim
