#include "hostsim/filter_host_app.h"

#include "hostsim/color_chooser.h"
#include "hostsim/host_error.h"
#include "hostsim/host_window.h"
#include "hostsim/info_report.h"
#include "hostsim/output_files.h"
#include "hostsim/plugin_module.h"

#include <algorithm>
#include <memory>

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

namespace {

// A callback of the filter record, "Suite.Function" or "Suite.*" of the host's action suites.
void SetCallbackMode(HostSession& session, const std::string& name, CallbackMode mode) {
    if (const auto callback = CallbackTable::FromName(name)) {
        session.callbacks().Set(*callback, mode);
        return;
    }
    const std::vector<std::string> functions = ActionSuiteFunctionNames();
    bool known = std::find(functions.begin(), functions.end(), name) != functions.end();
    for (const ActionSuiteInfo& info : ActionSuiteInfos()) known = known || name == std::string(info.shortName) + ".*";
    if (!known) {
        std::string names;
        for (std::size_t i = 0; i < CallbackTable::kCount; ++i) names += std::string(" ") + CallbackTable::Name(HostCallback(i));
        throw UsageError("unknown callback '" + name + "'; callbacks:" + names +
                         "; suite functions: ActionDescriptor.Make, DescriptorRegistry.Get, ... or Suite.*");
    }
    session.callbacks().SetSuiteFunction(name, mode);
}

}  // namespace

void FilterHostApp::ApplyHostOptions(const CommandLine& line, HostSession& session, bool windowByDefault) {
    HostOptions host = line.host;
    host.makeHostWindow = line.hostWindow.value_or(windowByDefault);
    // With someone at the screen, the plug-in's colour requests show a chooser, as an image
    // editor's do; --pick-color answers them instead for unattended runs.
    if (RunIsInteractive()) host.colourChooser = ChooseColourOnScreen;
    session.SetOptions(host);
    if (line.hostWindow.value_or(false) && !session.ownWindow())
        err_ << "filterhost: note: no host window: " << session.ownWindowProblem() << '\n';
    for (const std::string& name : line.disabledSuites) session.basicSuite().SetEnabled(SuiteIdFor(name), false);
    for (const std::string& name : line.failing) SetCallbackMode(session, name, CallbackMode::Failing);
    for (const std::string& name : line.absent) SetCallbackMode(session, name, CallbackMode::Absent);
    // Absent entries are taken out of the record and the suites' tables now.
    session.ResetFilterRecord();
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
    ApplyHostOptions(line, session, false);
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
    // A file the run cannot write is refused before the plug-in runs, not after.
    CheckOutputFile(line.output);
    CheckOutputFile(line.run.recordFile);
    const auto module = PluginModule::Load(line.plugin);
    HostSession session;
    FilterRun run(*module, session);
    // Nor may one file be written twice: the last write would silently replace the other.
    const FilterRun::StateFiles state = run.StateFilesFor(line.run);
    CheckDistinctOutputs({{"the image (--out)", line.output},
                          {"the recording (--record)", line.run.recordFile},
                          {"the host's stored state of the filter", state.filterState},
                          {"the host's descriptor registry", state.registry}});
    // A run that shows the dialog gets a window to parent it to, when there is a display.
    const bool showsDialog = line.run.playInfo == plugInDialogDisplay;
    ApplyHostOptions(line, session, showsDialog && HostWindow::DisplayAvailable());
    Document document = session.document();
    if (line.size) {
        document.width = line.size->first;
        document.height = line.size->second;
    }
    if (line.resolution) document.resolution = *line.resolution;
    session.SetDocument(document);
    // Pixels are served when there is an image to read or to write, or a page to filter: a run
    // on a blank page of --size works as in an editor, it just writes nothing.
    std::unique_ptr<PixelJob> pixels;
    if (!line.input.empty() || !line.output.empty() || (document.width > 0 && document.height > 0)) {
        pixels = std::make_unique<PixelJob>(session, line.input, std::make_pair(document.width, document.height),
                                            line.pixels, err_);
        if (line.resolution) pixels->document().resolution = *line.resolution;
        pixels->host().Refresh();
    }

    const RunReport report = run.Run(line.run);
    // The image first: what else cannot be kept must not cost the user the picture.
    std::string imageProblem;
    if (pixels) {
        try {
            pixels->Finish(report.succeeded ? line.output : std::string());
        } catch (const std::exception& e) {
            imageProblem = e.what();
        }
    }
    PrintColorRequests(session);
    PrintRunReport(report);
    if (!imageProblem.empty()) err_ << "filterhost: " << imageProblem << '\n';
    for (const std::string& unsaved : report.unsaved) err_ << "filterhost: " << unsaved << '\n';
    if (!imageProblem.empty() || !report.unsaved.empty()) return kFailure;
    if (report.succeeded) return kSuccess;
    return report.result == userCanceledErr ? kCancelled : kFailure;
}

void FilterHostApp::PrintColorRequests(const HostSession& session) {
    for (const ColorRequest& request : session.colorServices().requests())
        err_ << "filterhost: " << request.Describe() << '\n';
}

void FilterHostApp::PrintRunReport(const RunReport& report) {
    for (std::size_t i = 0; i < report.calls.size(); ++i) {
        const SelectorCall& call = report.calls[i];
        // A run of Continue calls with the same result is one line.
        std::size_t same = 1;
        while (i + same < report.calls.size() && report.calls[i + same].selector == call.selector &&
               report.calls[i + same].result == call.result)
            ++same;
        out_ << "selector " << SelectorName(call.selector) << ": " << call.result;
        if (same > 1) out_ << " (x" << same << ")";
        out_ << '\n';
        i += same - 1;
    }
    out_ << "result " << report.result << '\n';
    if (!report.errorText.empty()) out_ << "error string: " << report.errorText << '\n';
    if (!report.succeeded && !report.calls.empty()) {
        const char* selector = SelectorName(report.calls.back().selector);
        // The user's own choice, as when the dialog is cancelled: no failure of the plug-in.
        if (report.result == userCanceledErr)
            err_ << "filterhost: the user cancelled (the " << selector << " selector returned " << userCanceledErr
                 << ")\n";
        else
            err_ << "filterhost: the " << selector << " selector failed\n";
    }
    for (const std::string& note : report.notes) err_ << "filterhost: note: " << note << '\n';
    for (const std::string& problem : report.problems) err_ << "filterhost: plug-in fault: " << problem << '\n';
}

}  // namespace hostsim
