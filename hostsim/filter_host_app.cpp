#include "hostsim/filter_host_app.h"

#include "hostsim/host_error.h"
#include "hostsim/info_report.h"
#include "hostsim/plugin_module.h"

namespace hostsim {

int FilterHostApp::Run(const std::vector<std::string>& args) {
    try {
        const CommandLine line = CommandLine::Parse(args);
        switch (line.command) {
            case CommandLine::Command::Help: out_ << CommandLine::Usage(); return kSuccess;
            case CommandLine::Command::Info: return Info(line);
            case CommandLine::Command::About: return About(line);
            case CommandLine::Command::Run: return FilterImage(line);
        }
        return kFailure;
    } catch (const UsageError& e) {
        err_ << "filterhost: " << e.what() << "\n(filterhost --help shows the usage)\n";
        return kUsage;
    } catch (const std::exception& e) {
        err_ << "filterhost: " << e.what() << '\n';
        return kFailure;
    }
}

void FilterHostApp::ApplyHostOptions(const CommandLine& line, HostSession& session) {
    session.SetOptions(line.host);
    for (const std::string& name : line.disabledSuites) session.basicSuite().SetEnabled(name, false);
}

int FilterHostApp::Info(const CommandLine& line) {
    // Loading checks what reading alone would not: that the module links and exports its entry.
    const auto module = PluginModule::Load(line.plugin);
    InfoReport::Print(out_, module->resources());
    return kSuccess;
}

int FilterHostApp::About(const CommandLine& line) {
    const auto module = PluginModule::Load(line.plugin);
    HostSession session;
    ApplyHostOptions(line, session);
    const int16 result = session.Call(*module, filterSelectorAbout);
    out_ << "result " << result << '\n';
    if (!session.ErrorText().empty()) out_ << "error string: " << session.ErrorText() << '\n';
    if (session.errorStringOverrun()) err_ << "filterhost: the plug-in wrote past the end of the error string\n";
    if (const int outstanding = session.basicSuite().OutstandingAcquires()) {
        err_ << "filterhost: the plug-in kept " << outstanding << " suite(s) acquired\n";
    }
    return result == noErr ? kSuccess : kFailure;
}

int FilterHostApp::FilterImage(const CommandLine& line) {
    (void)line;
    err_ << "filterhost: the run command is not available yet\n";
    return kFailure;
}

}  // namespace hostsim
